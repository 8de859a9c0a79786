#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "controls/ClsShadow.h"
#include "controls/list/gdi_canvas.h"
#include "controls/list/image_list.h"
#include "controls/list/list_accessible.h"
#include "controls/list/ole_drag.h"
#include "controls/list/popup_chain.h"
#include "controls/ucScrollbar.h"
#include "core/list_model.h"
#include "core/list_painter.h"
#include "core/list_properties.h"
#include "core/popup_rules.h"
#include "win/unique_handle.h"
#include "win/window_base.h"

namespace zelk {

class UiServices;

// The owner-drawn list: the tray menu, every submenu and the dialogs' lists. Its window
// exists only once the list is placed on a form or shown, so a list that is never shown
// costs no window at all.
class ucList : public WindowBase<ucList>, public HookCallback {
public:
    ucList(UiServices& services, const ListProperties& properties);
    // A list declared by a form through its saved design-time values.
    ucList(UiServices& services, const PropertyBag& designValues);
    ~ucList();
    ucList(const ucList&) = delete;
    ucList& operator=(const ucList&) = delete;

    // An in-place list (ListStyle 1) inside a form.
    void PlaceInForm(HWND parent, int x, int y, int width, int height);
    // The scale of the monitor the list is on (a form moved to a monitor of another scale).
    void SetScale(double scale);
    HWND hWnd() const { return hwnd_; }

    // Popups (ListStyle 0 and 2): shown at screen coordinates, hidden again with their chain.
    void ShowList(long& Left, long& Top, long& BtnLeft, long& BtnTop);
    // Makes a popup's windows (its own, its scroll bar's and its shadow's) ahead of its first
    // opening, so that an idle moment pays for them instead of the click.
    void PrepareWindows();
    void HideList();
    bool IsListVisible() const { return listVisible_; }
    ucList* ParentMenu() const { return parentMenu_; }
    ucList* ChildMenu() const { return childMenu_; }
    void SetParentMenu(ucList* parent) { parentMenu_ = parent; }
    // The window popups are owned by (the host form); none for a free-standing popup.
    void SetHomeParent(HWND parent) { homeParent_ = parent; }

    // Keys as the list handles them: navigation codes and typed characters.
    void SetKeyDown(int KeyCode);
    void SetKeyPress(wchar_t KeyAscii);
    long ItemHitest(long Y) const;

    // The filter box of a popup (ShowFilter): what is typed narrows the rows.
    HWND FilterBox() const { return filterBox_; }
    void SetFilterText(const std::wstring& text);
    long MatchCount() const { return matchCount_; }

    // Turns the list into the drop-down of a text box: typing there opens and filters it,
    // choosing a row writes its text back. A null box detaches.
    void AutoCompleteTextBox(HWND oTextBox, long OffsetLeft = 0, long OffsetTop = 0,
                             long OffsetRight = 0, long OffsetBottom = 0);

    // One tick of the list's timer (the hover delay, outside clicks); public for tests.
    void TimerTick();
    const HoverDelay& Hover() const { return hover_; }
    long TimerTicks() const { return timerTicks_; }
    // Where the popup went on the screen.
    const Placement& LastPlacement() const { return placement_; }

    ListModel& Items() { return model_; }
    const ListModel& Items() const { return model_; }
    ImageList& Images() { return images_; }
    ClsShadow& Shadow() { return shadow_; }
    ucScrollbar* ScrollBar() { return scrollBar_.get(); }
    const ListProperties& Properties() const { return properties_; }
    // Changes properties; metrics follow and an in-place list repaints.
    void SetProperties(const ListProperties& properties);

    // Rows (none repaints by itself; call Refresh).
    void AddItem(std::wstring Text = L"", int32_t Icon = -1, ItemValue ItemData = MissingValue{},
                 const std::wstring& SubText = L"", bool Checked = false, bool Disabled = false,
                 long Index = -1) {
        model_.AddItem(std::move(Text), Icon, std::move(ItemData), SubText, Checked, Disabled,
                       Index);
    }
    void AddSubMenu(std::wstring title, const ucList* GList, int32_t Icon = -1,
                    ItemValue ItemData = MissingValue{}) {
        model_.AddSubMenu(std::move(title), GList, Icon, std::move(ItemData));
    }
    void OpenGroup(const std::wstring& title, int32_t Icon = -1) { model_.OpenGroup(title, Icon); }
    void ReserveRows(size_t rows) { model_.Reserve(rows); }
    void CloseGroup() { model_.CloseGroup(); }
    void Clear() { model_.Clear(); }
    // Per-row properties: a row that does not exist throws ListIndexError and changes
    // nothing; every setter but ItemData repaints.
    const std::wstring& ItemText(long i) const { return model_.Item(i).Text; }
    void SetItemText(long i, const std::wstring& v) {
        Change(i, [&](ListItem& r) { r.Text = v; });
    }
    const std::wstring& ItemSubText(long i) const { return model_.Item(i).SubText; }
    void SetItemSubText(long i, const std::wstring& v) {
        Change(i, [&](ListItem& r) { r.SubText = v; });
    }
    Colour ItemTextColor(long i) const { return model_.Item(i).TextColor; }
    void SetItemTextColor(long i, Colour v) {
        Change(i, [&](ListItem& r) { r.TextColor = v; });
    }
    Colour ItemSubTextColor(long i) const { return model_.Item(i).SubTextColor; }
    void SetItemSubTextColor(long i, Colour v) {
        Change(i, [&](ListItem& r) { r.SubTextColor = v; });
    }
    Colour ItemBackColor(long i) const { return model_.Item(i).BackColor; }
    void SetItemBackColor(long i, Colour v) {
        Change(i, [&](ListItem& r) { r.BackColor = v; });
    }
    bool ItemBold(long i) const { return model_.Item(i).Bold; }
    void SetItemBold(long i, bool v) {
        Change(i, [&](ListItem& r) { r.Bold = v; });
    }
    int32_t ItemIcon(long i) const { return model_.Item(i).Icon; }
    void SetItemIcon(long i, int32_t v) {
        Change(i, [&](ListItem& r) { r.Icon = v; });
    }
    bool ItemDisabled(long i) const { return model_.Item(i).Disabled; }
    void SetItemDisabled(long i, bool v) {
        Change(i, [&](ListItem& r) { r.Disabled = v; });
    }
    bool ItemSelected(long i) const { return model_.Item(i).Selected; }
    void SetItemSelected(long i, bool v) {
        Change(i, [&](ListItem& r) { r.Selected = v; });
    }
    const ItemValue& ItemData(long i) const { return model_.Item(i).ItemData; }
    void SetItemData(long i, ItemValue v) { model_.MutableItem(i).ItemData = std::move(v); }
    bool ItemIsChild(long i) const { return model_.Item(i).IsChild; }
    bool ItemIsGroup(long i) const { return model_.Item(i).IsGroup; }
    void RemoveItem(long i) { model_.RemoveItem(i); }

    long ListIndex() const { return model_.ListIndex(); }
    // During ItemClick: the row was chosen with Ctrl held (Ctrl + click, Ctrl + Enter).
    bool ChoseWithControl() const { return choseWithControl_; }
    // During ItemRightClick: the shell's own menu is asked for (Shift + right click, the Menu
    // key, Shift + F10).
    bool ShellMenuWanted() const { return shellMenuWanted_; }
    void SetListIndex(long index);
    void SetHotIndex(long index);
    void BSort(long order);
    void QSort(long order);

    void ImageListInitialize(int width, int height) {
        images_.ImageListInitialize(width, height, scale_);
    }

    void Refresh(); // DrawList
    void Update(bool resize = false);
    long ScrollValue() const;

    double Scale() const { return scale_; }
    int RowHeight() const { return rowHeight_; }
    int HeaderHeight() const { return headerHeight_; }
    const DibSurface* BackBuffer() const { return backBuffer_.get(); }
    int PaintCount() const { return paintCount_; }

    // ItemCustomDraw(Index, hDC, Left, Top, Width, Height)
    std::function<void(long&, HDC, int&, int&, int&, int&)> ItemCustomDraw;
    std::function<void()> SelectionChange;
    std::function<void()> ItemClick;
    std::function<void()> ListHide;
    std::function<void()> ScrollBottom;
    std::function<void()> DblClick;
    std::function<void()> PostAutoComplete;
    // MouseDown / MouseMove / MouseUp(Button, Shift, X, Y)
    std::function<void(int&, int&, float&, float&)> MouseDown;
    std::function<void(int&, int&, float&, float&)> MouseMove;
    std::function<void(int&, int&, float&, float&)> MouseUp;
    std::function<void(int&)> KeyPress;
    std::function<void(int&, int&)> KeyDown;
    std::function<void(int&, int&)> KeyUp;
    // ItemRightClick(Caption, ItemData, IsSubMenu, X, Y)
    std::function<void(const std::wstring&, const ItemValue&, bool, long, long)> ItemRightClick;
    // Drag and drop passed through from the window, X and Y in client pixels.
    // OLEDragOver(Data, Effect, Button, Shift, X, Y, State), State 0 enter, 1 leave, 2 over.
    std::function<void(IDataObject*, long&, int&, int&, float&, float&, int&)> OLEDragOver;
    std::function<void(IDataObject*, long&, int&, int&, float&, float&)> OLEDragDrop;
    // OLEStartDrag(Data, AllowedEffects): the host sets the text to drag.
    std::function<void(std::wstring&, long&)> OLEStartDrag;
    std::function<void(long&)> OLECompleteDrag;
    // Starts a drag of what OLEStartDrag provides; a host calls it from MouseDown/MouseMove.
    void OLEDrag();
    // Sets OLEDropMode (0 none, 1 manual); other values are refused with error 380. The
    // window takes drops only on a thread that holds an OleThread; otherwise, or when OLE
    // refuses, the failure is logged and DropTarget() stays empty.
    [[nodiscard]] std::optional<AppError> SetOLEDropMode(long mode);
    IDropTarget* DropTarget() const { return dropTarget_.get(); }

    // Raised before a popup shows for the first time: the host fills what it deferred
    // (the menu's icons are fetched only for lists that are opened).
    std::function<void(ucList&)> BeforeFirstShow;

private:
    friend class WindowBase<ucList>;
    friend class PopupChain;
    friend class ListAccessible;
    friend class ListAccessibility;
    template <class F> void Change(long index, F apply) {
        apply(model_.MutableItem(index));
        Refresh();
    }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void ComputeMetrics();
    void OnResize();
    void EnsurePopupWindow();
    void CreateScrollBar();
    void OnMouseMove(int x, int y, WPARAM keys);
    void OnButtonDown(int button, int x, int y, WPARAM keys);
    void OnButtonUp(int button, int x, int y, WPARAM keys);
    void SelectRow(long row);
    void OpenSubMenu(long row, bool checkTag);
    // Runs a navigation key; false when the list had no use for it.
    bool HandleKey(int keyCode);
    void ListenToHostForm();
    void StopListeningToHostForm();
    void OnWindowDestroyed();
    void HookProc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND lng_hWnd, UINT uMsg,
                  WPARAM wParam, LPARAM lParam, LPARAM& lParamUser) override;
    void LayoutHeader();
    void RunFilter();
    void OnTextBoxChar(wchar_t typed);
    void WriteChoiceToTextBox();
    bool FilterIsShown() const {
        return filterBox_ != nullptr && filterShown_ && properties_.ShowFilter;
    }
    void CloseSubMenu();
    // The keyboard for this list: its attached text box keeps it, else the filter box when
    // shown, else the list window.
    void TakeFocus();
    bool KeysHandedOver() const { return childMenu_ != nullptr && childMenu_->listVisible_; }
    bool IsPopup() const { return properties_.ListStyle != 1; }
    static void Raise(const std::function<void()>& event) {
        if (event) {
            event();
        }
    }
    void PaintScrollPart(HDC dc, int left, int top, int right, int bottom, int part, int state);
    int ClientWidth() const;
    int ClientHeight() const;

    UiServices& services_;
    ListModel model_;
    ListProperties properties_;
    ImageList images_{services_};
    ClsShadow shadow_;
    std::unique_ptr<ucScrollbar> scrollBar_;
    std::unique_ptr<DibSurface> backBuffer_;
    std::optional<GlyphFonts> glyphs_; // looked up at the first paint
    double scale_ = 1.0;
    int margin_ = 8, glyphBox_ = 16, rowHeight_ = 32, borderRadius_ = 10;
    int headerHeight_ = 8;
    int paintCount_ = 0;

    bool listVisible_ = false;
    ucList* parentMenu_ = nullptr;
    ucList* childMenu_ = nullptr;
    HWND homeParent_ = nullptr;
    HoverDelay hover_;
    HWND hostForm_ = nullptr; // listened to while shown: its resize and unload close the list
    bool pressed_ = false;
    bool keyWithControl_ = false;   // the key being handled came with Ctrl
    bool choseWithControl_ = false; // set while ItemClick runs
    bool shellMenuWanted_ = false;  // set while ItemRightClick runs
    bool rightPressed_ = false;
    bool shownOnce_ = false;
    bool trackingLeave_ = false;
    bool layingOutPopup_ = false;
    long timerTicks_ = 0;
    HWND filterBox_ = nullptr;
    unique_hfont filterFont_;
    FontDesc filterFontDesc_;
    double filterScale_ = 0;
    unique_hbrush filterBrush_;
    Colour filterBrushColour_ = 0;
    bool filterShown_ = false;
    long matchCount_ = 0;
    std::wstring pendingFilter_;
    HWND textBox_ = nullptr;
    RECT textBoxOffsets_{};
    bool suppress_ = false;
    std::unique_ptr<MessageHooks> hooks_;
    com_ptr<ListDropTarget> dropTarget_;
    void UpdateDropRegistration();
    Placement placement_;
    std::vector<PaintRect> paintedRows_; // where the last paint put each row
    ListAccessibility accessibility_{*this};
};

// What a form supplies to its lists: its font, a white back colour, the system colours.
ListAmbient FormAmbient();

// The user's locale-aware, case-insensitive order for sorting rows.
int CompareForUser(const std::wstring& a, const std::wstring& b);

} // namespace zelk
