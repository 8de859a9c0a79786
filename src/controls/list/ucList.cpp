#include "controls/list/ucList.h"

#include <utility>

#include "core/rounding.h"
#include "core/text.h"
#include "win/message_pump.h"
#include "win/system_look.h"
#include "win/ui_services.h"
#include "win/user_case_folding.h"

namespace zelk {

namespace {

constexpr wchar_t kClassName[] = L"ZelkList";
constexpr UINT_PTR kTimer1 = 1;

int Round(double v) {
    return static_cast<int>(RoundHalfEven(v));
}

// The Shift argument of the events: 1 Shift, 2 Ctrl, 4 Alt.
int KeyboardShift() {
    return (::GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (::GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
           (::GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

int MouseShift(WPARAM keys) {
    return ((keys & MK_SHIFT) ? 1 : 0) | ((keys & MK_CONTROL) ? 2 : 0) |
           (::GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

} // namespace

int CompareForUser(const std::wstring& a, const std::wstring& b) {
    const int result = ::CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, a.c_str(),
                                         static_cast<int>(a.size()), b.c_str(),
                                         static_cast<int>(b.size()), nullptr, nullptr, 0);
    return result == 0 ? AsciiCaseInsensitiveCompare(a, b) : result - CSTR_EQUAL;
}

ucList::ucList(UiServices& services, const ListProperties& properties)
    : services_(services), properties_(properties), shadow_(services),
      scale_(shadow_.GetWindowsDPI()) {
    shadow_.SetShadowSize(2);
    model_.SetCaseFolding(UserCaseFolding());
    ComputeMetrics();
}

ucList::ucList(UiServices& services, const PropertyBag& designValues)
    : ucList(services, ReadProperties(designValues, FormAmbient())) {}

ListAmbient FormAmbient() {
    ListAmbient ambient;
    ambient.font = {L"Segoe UI", 8.25};
    ambient.backColor = 0xFFFFFF;
    ambient.resolve = [](int index) { return static_cast<Colour>(::GetSysColor(index)); };
    return ambient;
}

ucList::~ucList() {
    // A submenu unloaded while open closes with what it opened; its parent stays open.
    if (parentMenu_ != nullptr && parentMenu_->childMenu_ == this) {
        parentMenu_->childMenu_ = nullptr;
    }
    parentMenu_ = nullptr;
    HideList();
    if (childMenu_ != nullptr) {
        childMenu_->parentMenu_ = nullptr;
    }
    StopListeningToHostForm();
    PopupChain::ForThisThread().Untrack(*this);
    scrollBar_.reset();
    if (dropTarget_ && hwnd_ != nullptr) {
        // The window is going: a refused revoke leaves nothing more to do than let go.
        static_cast<void>(::RevokeDragDrop(hwnd_));
    }
    dropTarget_.reset();
    DestroyOwnWindow();
}

void ucList::ComputeMetrics() {
    margin_ = Round(8 * scale_);
    glyphBox_ = Round(16 * scale_);
    rowHeight_ = Round(properties_.ItemHeight * scale_);
    borderRadius_ = Round(properties_.BorderRadius * scale_);
    images_.SetImagesRadius(properties_.ImagesRadius);
    images_.SetScale(scale_);
    shadow_.SetBorderRadius(properties_.BorderRadius);
    shadow_.BorderColor = properties_.BorderColor;
    shadow_.BackColor = properties_.BackColor;
}

void ucList::SetProperties(const ListProperties& properties) {
    const bool filterChanged = properties.ShowFilter != properties_.ShowFilter;
    const bool bordersChanged = properties.BorderVisible != properties_.BorderVisible;
    properties_ = properties;
    ComputeMetrics();
    if (hwnd_ == nullptr) {
        return;
    }
    if (filterChanged) {
        filterShown_ = properties_.ShowFilter;
        Update(true); // the header changes height at once
    } else if (properties_.ListStyle == 1) {
        OnResize();
    }
    if (bordersChanged) {
        const bool shown = IsPopup() ? listVisible_ : ::IsWindowVisible(hwnd_) != FALSE;
        if (properties_.BorderVisible && shown) {
            shadow_.ShowBorders(hwnd_, !IsPopup());
        } else if (!properties_.BorderVisible) {
            shadow_.HideBorders();
        }
    }
}

void ucList::CreateScrollBar() {
    scrollBar_ = std::make_unique<ucScrollbar>(hwnd_, services_, 0, 0, Round(8 * scale_), 10);
    scrollBar_->Change = [this] {
        Refresh();
        if (scrollBar_->Value() == scrollBar_->Model().Max()) {
            Raise(ScrollBottom);
        }
    };
    scrollBar_->OnPaint = [this](HDC dc, int l, int t, int r, int b, int part, int state) {
        PaintScrollPart(dc, l, t, r, b, part, state);
    };
    // While the bar is dragged there is no hover to follow and no outside click to see.
    scrollBar_->MouseDown = [this](int&, int&, float&, float&) {
        if (hwnd_ != nullptr) {
            ::KillTimer(hwnd_, kTimer1);
        }
    };
    scrollBar_->MouseUp = [this](int&, int&, float&, float&) {
        if (hwnd_ != nullptr && IsPopup() && listVisible_) {
            ::SetTimer(hwnd_, kTimer1, 1, nullptr);
        }
    };
}

void ucList::PlaceInForm(HWND parent, int x, int y, int width, int height) {
    properties_.ListStyle = 1;
    const HINSTANCE instance =
        reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    RegisterWindowClass(instance, kClassName, CS_DBLCLKS);
    ::CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                      x, y, width, height, parent, nullptr, instance, this);
    CreateScrollBar();
    UpdateDropRegistration();
    ::ShowWindow(hwnd_, SW_SHOWNA);
    OnResize();
    if (properties_.BorderVisible) {
        shadow_.ShowBorders(hwnd_, true);
    }
}

void ucList::SetScale(double scale) {
    if (scale == scale_) {
        return;
    }
    scale_ = scale;
    shadow_.SetScale(scale);
    ComputeMetrics();
    LayoutHeader();
}

int ucList::ClientWidth() const {
    RECT r{};
    ::GetClientRect(hwnd_, &r);
    return r.right;
}

int ucList::ClientHeight() const {
    RECT r{};
    ::GetClientRect(hwnd_, &r);
    return r.bottom;
}

void ucList::SetListIndex(long index) {
    model_.SetListIndex(index);
    Refresh();
}

void ucList::SetHotIndex(long index) {
    model_.SetHotIndex(index);
    Refresh();
}

void ucList::BSort(long order) {
    model_.BSort(order, CompareForUser);
    Refresh();
}

void ucList::QSort(long order) {
    model_.QSort(order, CompareForUser);
    Refresh();
}

long ucList::ScrollValue() const {
    return scrollBar_ ? scrollBar_->Value() : 0;
}

void ucList::Update(bool resize) {
    if (hwnd_ == nullptr) {
        return;
    }
    LayoutHeader();
    const int visible = Round(ClientHeight() - headerHeight_ - margin_);
    const long separators = model_.SeparatorCount();
    const double content = static_cast<double>(model_.ListCount() - separators) * rowHeight_ +
                           static_cast<double>(separators) * rowHeight_ / 2.0;
    const long maximum = static_cast<long>(RoundHalfEven(content - visible));
    scrollBar_->SetMax(std::max(maximum, 0L));
    if (maximum > 0) {
        const bool wide = properties_.ListDesign != 0;
        scrollBar_->SetShowButtons(wide);
        scrollBar_->SetStyle(wide ? 2 : 3);
        ScrollbarModel& bar = scrollBar_->Model();
        bar.SetSmallChange(3 * rowHeight_);
        bar.SetLargeChange(std::max(visible - rowHeight_, 1));
        bar.SetWheelChange(3 * rowHeight_);
        bar.SetSmoothScrollFactor(30);
        scrollBar_->TrackMouseWheelOnHwnd(hwnd_);
        scrollBar_->SetVisible(true);
    } else {
        scrollBar_->TrackMouseWheelOnHwndStop();
        scrollBar_->SetVisible(false);
    }
    if (resize) {
        OnResize();
        return;
    }
    if (layingOutPopup_) {
        return; // ShowList draws the shadow and the rows once the layout is done
    }
    if (properties_.BorderVisible && (!IsPopup() || listVisible_)) {
        shadow_.Refresh(); // a hidden popup's shadow stays hidden
    }
    Refresh();
}

void ucList::OnResize() {
    const int width = ClientWidth(), height = ClientHeight();
    // An in-place list keeps its bar inside its one-pixel frame; a popup has none.
    const int k = IsPopup() ? 0 : Round(scale_);
    if (properties_.ListDesign != 0) {
        const int ws = Round(16 * scale_);
        if (FilterIsShown()) {
            scrollBar_->Move(width - ws - 2 * k, headerHeight_, ws,
                             height - headerHeight_ - borderRadius_ / 2 - 2 * k);
        } else {
            scrollBar_->Move(width - ws - 2 * k, borderRadius_ / 2 + k, ws,
                             height - borderRadius_ - 3 * k);
        }
    } else {
        const int ws = Round(8 * scale_);
        scrollBar_->Move(Round(width - ws - 2 * scale_), headerHeight_, ws,
                         height - headerHeight_ - margin_);
    }
    ::SetWindowRgn(hwnd_,
                   ::CreateRoundRectRgn(0, 0, width + 1, height + 1, borderRadius_, borderRadius_),
                   TRUE);
    Update(false);
}

void ucList::Refresh() {
    if (hwnd_ == nullptr) {
        return;
    }
    const int width = ClientWidth(), height = ClientHeight();
    if (!backBuffer_ || backBuffer_->width() != width || backBuffer_->height() != height) {
        backBuffer_ = std::make_unique<DibSurface>(width, height);
    }
    if (!*backBuffer_) {
        return;
    }
    ++paintCount_;
    if (!glyphs_) {
        glyphs_ = GlyphFonts::Detect();
    }
    GdiCanvas canvas(*backBuffer_, properties_.Font, scale_, &images_, *glyphs_, hwnd_);
    ListPaintInput in;
    in.model = &model_;
    in.properties = &properties_;
    in.resolve = [](int index) { return static_cast<Colour>(::GetSysColor(index)); };
    in.scale = scale_;
    in.highContrast = ReadHighContrast();
    in.width = width;
    in.height = height;
    in.headerHeight = headerHeight_;
    in.rowHeight = rowHeight_;
    in.scrollBarVisible = scrollBar_ && scrollBar_->Visible();
    if (in.scrollBarVisible) {
        RECT bar{};
        ::GetWindowRect(scrollBar_->hwnd(), &bar);
        ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&bar), 2);
        in.scrollBarLeft = bar.left;
    }
    in.scrollValue = static_cast<int>(ScrollValue());
    in.scrollMax = scrollBar_ ? static_cast<int>(scrollBar_->Model().Max()) : 0;
    if (FilterIsShown()) {
        in.filterShown = true;
        const int length = ::GetWindowTextLengthW(filterBox_);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        ::GetWindowTextW(filterBox_, text.data(), length + 1);
        text.resize(static_cast<size_t>(length));
        in.filterText = text;
        RECT box{};
        ::GetWindowRect(filterBox_, &box);
        ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&box), 2);
        in.filterBox = {box.left, box.top, box.right, box.bottom};
    }
    in.imageCount = static_cast<int>(images_.ImageListCount());
    in.imageWidth = images_.ImgListWidth();
    in.imageHeight = images_.ImgListHeight();
    if (ItemCustomDraw) {
        const HDC dc = backBuffer_->dc();
        in.itemCustomDraw = [this, dc](long& index, int& left, int& top, int& w, int& h) {
            ItemCustomDraw(index, dc, left, top, w, h);
        };
    }
    ListPaintResult result = PaintList(in, canvas);
    properties_.LineColor = result.lineColor;
    rowHeight_ = result.rowHeight;
    paintedRows_ = std::move(result.rows);
    accessibility_.AnnounceRow(hwnd_);
}

void ucList::SelectRow(long row) {
    model_.SetListIndex(row);
    if (scrollBar_ && hwnd_ != nullptr) {
        const int view = ClientHeight() - headerHeight_ - margin_;
        scrollBar_->SetValue(EnsureVisibleValue(model_, row, ScrollValue(), view, rowHeight_));
    }
    Refresh();
    Raise(SelectionChange);
}

void ucList::SetKeyDown(int KeyCode) {
    HandleKey(KeyCode);
}

bool ucList::HandleKey(int keyCode) {
    const int view = hwnd_ != nullptr ? ClientHeight() - headerHeight_ - margin_ : 0;
    const int pageRows = rowHeight_ > 0 ? view / Round(properties_.ItemHeight * scale_) : 0;
    switch (keyCode) {
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
        if (const auto row = NavigateKey(model_, keyCode, pageRows)) {
            SelectRow(*row);
        }
        return true;
    case VK_ESCAPE:
        if (!IsPopup()) {
            return false;
        }
        if (parentMenu_ == nullptr) {
            HideList();
            return true;
        }
        [[fallthrough]];
    case VK_LEFT:
        if (IsPopup() && parentMenu_ != nullptr) {
            // Only this level closes; the parent keeps the row that opened it selected.
            ucList* parent = std::exchange(parentMenu_, nullptr);
            parent->childMenu_ = nullptr;
            HideList();
            if (parent->listVisible_) {
                if (parent->properties_.BorderVisible) {
                    parent->shadow_.Refresh();
                }
                parent->TakeFocus();
            }
            return true;
        }
        return false;
    case VK_RIGHT:
        if (model_.ListIndex() >= 0 && model_.ListIndex() < model_.ListCount() &&
            model_.Item(model_.ListIndex()).SubMenu != nullptr) {
            OpenSubMenu(model_.ListIndex(), false);
            return true;
        }
        return false;
    case VK_TAB:
        if (IsPopup()) {
            HideList();
        }
        return false; // the host still sees Tab, to move on to its next control
    case VK_APPS:
    case VK_F10: {
        // The Menu key, or Shift + F10 (the only F10 the menu holds): the shell's menu for the
        // focused row, at the row.
        const long index = model_.ListIndex();
        if (!IsPopup() || index < 0 || index >= model_.ListCount() || !ItemRightClick) {
            return false;
        }
        const ListItem& item = model_.Item(index);
        RECT row{};
        if (!::GetWindowRect(hwnd_, &row)) {
            return false; // no window to place the menu by
        }
        const long top = row.top + HeaderHeight() + (index - ScrollValue()) * RowHeight();
        shellMenuWanted_ = true;
        ItemRightClick(item.Text, item.ItemData, item.SubMenu != nullptr, row.left + RowHeight(),
                       top + RowHeight() / 2);
        shellMenuWanted_ = false;
        return true;
    }
    case VK_RETURN: {
        const long index = model_.ListIndex();
        if (index < 0 || index >= model_.ListCount()) {
            if (textBox_ != nullptr) {
                HideList();
                ::SendMessageW(textBox_, WM_CHAR, VK_RETURN, 0); // the host's box handles it
            } else {
                services_.Beep();
            }
            return true;
        }
        ListItem& item = model_.MutableItem(index);
        if (properties_.MultiSelect) {
            item.Selected = !item.Selected;
            Refresh();
        } else if (IsPopup()) {
            HideList();
        }
        choseWithControl_ = keyWithControl_;
        Raise(ItemClick);
        choseWithControl_ = false;
        if (!properties_.MultiSelect) {
            WriteChoiceToTextBox();
        }
        return true;
    }
    default:
        return false;
    }
}

void ucList::SetKeyPress(wchar_t KeyAscii) {
    int key = KeyAscii;
    if (KeyPress) {
        KeyPress(key);
    }
    // Control characters (Backspace, the Enter and Escape that follow their key-down) are
    // reported but choose nothing: they would only beep in a menu.
    if (key < 32) {
        return;
    }
    if (properties_.ListStyle == 2) {
        if (const auto row = FindAccelerator(model_, static_cast<wchar_t>(key))) {
            model_.SetListIndex(*row);
            HideList();
            Raise(ItemClick);
        } else {
            services_.Beep();
        }
        return;
    }
    if (const auto row = TypeAhead(model_, static_cast<wchar_t>(key))) {
        SelectRow(*row);
    }
}

long ucList::ItemHitest(long Y) const {
    return HitTestRows(model_, static_cast<int>(Y), 0, rowHeight_, 1 << 30);
}

void ucList::OnMouseMove(int x, int y, WPARAM keys) {
    if (scrollBar_ && scrollBar_->Visible()) {
        RECT bar{};
        ::GetWindowRect(scrollBar_->hwnd(), &bar);
        ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&bar), 2);
        if (x > bar.left) {
            return;
        }
    }
    if (!IsPopup()) {
        ::SetTimer(hwnd_, kTimer1, 100, nullptr);
    } else if (!trackingLeave_) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd_, 0};
        trackingLeave_ = ::TrackMouseEvent(&track) != FALSE;
    }
    const long hot = HitTestRows(model_, y, headerHeight_ - static_cast<int>(ScrollValue()),
                                 rowHeight_, ClientHeight());
    if (hot != model_.HotIndex()) {
        model_.SetHotIndex(hot);
        if (hot >= 0) {
            hover_.HotRowChanged(hot, model_.Item(hot).SubMenu != nullptr);
        }
        Refresh();
    }
    int button = (keys & MK_LBUTTON) ? 1 : (keys & MK_RBUTTON) ? 2 : 0, shift = MouseShift(keys);
    float fx = static_cast<float>(x), fy = static_cast<float>(y);
    if (MouseMove) {
        MouseMove(button, shift, fx, fy);
    }
}

void ucList::OnButtonDown(int button, int x, int y, WPARAM keys) {
    const long hot = model_.HotIndex();
    if (hot >= 0 && hot < model_.ListCount()) {
        const ListItem& item = model_.Item(hot);
        POINT cursor{};
        ::GetCursorPos(&cursor);
        if (!IsPopup()) {
            ::SetFocus(hwnd_);
            model_.SetListIndex(hot);
            pressed_ = true;
            Refresh();
            Raise(SelectionChange);
        } else if (item.SubMenu == nullptr) {
            if (button == 1) {
                pressed_ = true;
                Refresh();
            } else {
                rightPressed_ = true;
                shellMenuWanted_ = (keys & MK_SHIFT) != 0;
                if (ItemRightClick) {
                    ItemRightClick(item.Text, item.ItemData, false, cursor.x, cursor.y);
                }
                shellMenuWanted_ = false;
            }
        } else if (button == 1) {
            hover_.Cancel();
            OpenSubMenu(hot, true);
        } else {
            rightPressed_ = true;
            shellMenuWanted_ = (keys & MK_SHIFT) != 0;
            if (ItemRightClick) {
                ItemRightClick(item.Text, item.ItemData, true, cursor.x, cursor.y);
            }
            shellMenuWanted_ = false;
        }
    }
    int shift = MouseShift(keys);
    float fx = static_cast<float>(x), fy = static_cast<float>(y);
    if (MouseDown) {
        MouseDown(button, shift, fx, fy);
    }
}

void ucList::OnButtonUp(int button, int x, int y, WPARAM keys) {
    if (!pressed_ && !rightPressed_) {
        return;
    }
    pressed_ = false;
    const long hot = model_.HotIndex();
    if (hot >= 0 && hot < model_.ListCount()) {
        model_.SetListIndex(hot);
        ListItem& item = model_.MutableItem(hot);
        if (rightPressed_) {
            HideList();
        } else if (properties_.MultiSelect) {
            item.Selected = !item.Selected;
            Refresh();
            Raise(ItemClick);
        } else {
            if (!IsPopup()) {
                Refresh();
            } else if (item.SubMenu == nullptr) {
                HideList();
            }
            choseWithControl_ = (keys & MK_CONTROL) != 0;
            Raise(ItemClick);
            choseWithControl_ = false;
            WriteChoiceToTextBox();
        }
    }
    rightPressed_ = false;
    int shift = MouseShift(keys);
    float fx = static_cast<float>(x), fy = static_cast<float>(y);
    if (MouseUp) {
        MouseUp(button, shift, fx, fy);
    }
}

void ucList::PaintScrollPart(HDC dc, int left, int top, int right, int bottom, int part,
                             int state) {
    const HighContrast highContrast = ReadHighContrast();
    const Colour back =
        highContrast ? highContrast->window : ResolveSystemColour(properties_.BackColor);
    RECT r{left, top, right, bottom};
    if (part != 5) {
        unique_hbrush brush(::CreateSolidBrush(back));
        ::FillRect(dc, &r, brush.get());
        return;
    }
    const int w = right - left, h = bottom - top;
    if (w <= 0 || h <= 0) {
        return;
    }
    DibSurface pill(w, h);
    {
        Gdiplus::Graphics g(pill.dc());
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        Gdiplus::SolidBrush fill{Gdiplus::Color(RGBtoARGB(back, 100))};
        g.FillRectangle(&fill, Round(-scale_), Round(-scale_), Round(w + scale_),
                        Round(h + scale_));
        Gdiplus::GraphicsPath path;
        BuildRoundPath(path, 0, 0, Round(w - scale_), Round(h - scale_), w - 1);
        Gdiplus::SolidBrush thumb{
            Gdiplus::Color(RGBtoARGB(ThumbColour(back, state, highContrast), 100))};
        g.FillPath(&thumb, &path);
    }
    ::BitBlt(dc, left, top, w, h, pill.dc(), 0, 0, SRCCOPY);
}

LRESULT ucList::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PaintScope paint(hwnd_);
        if (backBuffer_ && *backBuffer_) {
            ::BitBlt(paint.get(), 0, 0, backBuffer_->width(), backBuffer_->height(),
                     backBuffer_->dc(), 0, 0, SRCCOPY);
        }
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        if (scrollBar_) {
            OnResize();
        }
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_MOUSEMOVE:
        OnMouseMove(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)), wParam);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        OnButtonDown(message == WM_LBUTTONDOWN ? 1 : 2, static_cast<short>(LOWORD(lParam)),
                     static_cast<short>(HIWORD(lParam)), wParam);
        return 0;
    case WM_LBUTTONDBLCLK:
        // The first click chose already; the second is only the double click.
        Raise(DblClick);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (!IsPopup()) {
            // An in-place list shows that it has the keyboard with its frame and shadow.
            const bool focused = message == WM_SETFOCUS;
            shadow_.SetShadowOpacity(focused ? 25 : 10);
            shadow_.SetShadowColor(focused ? properties_.SelectionColor : 0);
            shadow_.BorderColor = focused ? properties_.SelectionColor : properties_.BorderColor;
            if (properties_.BorderVisible) {
                shadow_.Refresh();
            }
            Refresh();
        }
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        OnButtonUp(message == WM_LBUTTONUP ? 1 : 2, static_cast<short>(LOWORD(lParam)),
                   static_cast<short>(HIWORD(lParam)), wParam);
        return 0;
    case WM_MOUSELEAVE:
        trackingLeave_ = false;
        model_.SetHotIndex(-1);
        hover_.Cancel();
        Refresh();
        return 0;
    case WM_HOTKEY: {
        // A hot key is meant for the frontmost list. One pressed while the keys were moving
        // (a submenu just shown or just hidden) was posted to the list that held them then:
        // it goes on to the one that is frontmost now, instead of closing the wrong level or
        // being lost.
        ucList* frontmost = PopupChain::ForThisThread().Frontmost();
        ucList& target = frontmost != nullptr ? *frontmost : *this;
        if (target.listVisible_ || !target.IsPopup()) {
            // The hot key names its modifiers: the key state may not have seen them.
            target.keyWithControl_ = (LOWORD(lParam) & MOD_CONTROL) != 0;
            target.HandleKey(static_cast<int>(wParam) & ~(kControlHotKeyBit | kShiftHotKeyBit));
            target.keyWithControl_ = false;
        }
        return 0;
    }
    case WM_KEYDOWN: {
        int key = static_cast<int>(wParam), shift = KeyboardShift();
        keyWithControl_ = ::GetKeyState(VK_CONTROL) < 0;
        const bool used = HandleKey(key);
        keyWithControl_ = false;
        if (used) {
            key = 0; // the list used it
        }
        if (KeyDown) {
            KeyDown(key, shift);
        }
        return 0;
    }
    case WM_GETDLGCODE:
        // In a form the arrows and typed letters move in the list, not to the next control.
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SYSKEYDOWN:
        // A key with Alt belongs to the host (a dialog's shortcuts); what it leaves goes on.
        if (KeyDown && (HIWORD(lParam) & KF_ALTDOWN) != 0) {
            int key = static_cast<int>(wParam), shift = KeyboardShift() | 4;
            KeyDown(key, shift);
            if (key == 0) {
                return 0;
            }
        }
        return DefaultProc(message, wParam, lParam);
    case WM_KEYUP: {
        int key = static_cast<int>(wParam), shift = KeyboardShift();
        if (KeyUp) {
            KeyUp(key, shift);
        }
        return 0;
    }
    case WM_CHAR:
        SetKeyPress(static_cast<wchar_t>(wParam));
        return 0;
    case WM_TIMER:
        if (wParam == kTimer1) {
            TimerTick();
        }
        return 0;
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) == filterBox_ && HIWORD(wParam) == EN_CHANGE &&
            !suppress_) {
            RunFilter();
        }
        return 0;
    case WM_CTLCOLOREDIT:
        if (reinterpret_cast<HWND>(lParam) == filterBox_ && filterBrush_) {
            const COLORREF back = filterBrushColour_; // the list's, or high contrast's
            const HighContrast highContrast = ReadHighContrast();
            ::SetTextColor(reinterpret_cast<HDC>(wParam), highContrast ? highContrast->windowText
                                                          : IsDarkColor(back) ? RGB(255, 255, 255)
                                                                              : RGB(0, 0, 0));
            ::SetBkColor(reinterpret_cast<HDC>(wParam), back);
            return reinterpret_cast<LRESULT>(filterBrush_.get());
        }
        return DefaultProc(message, wParam, lParam);
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
        Refresh(); // high contrast may have come or gone, or its colours changed
        return DefaultProc(message, wParam, lParam);
    case kOutsidePressMessage:
        PopupChain::ForThisThread().HandlePendingPresses();
        return 0;
    case WM_DESTROY:
        accessibility_.Disconnect();
        if (IsPopup()) {
            OnWindowDestroyed();
        }
        return 0;
    case WM_NCDESTROY:
        accessibility_.WindowGone();
        return DefaultProc(message, wParam, lParam);
    case WM_GETOBJECT:
        return accessibility_.Answer(hwnd_, wParam, lParam);
    case kAccessibleChooseMessage:
        accessibility_.Choose(static_cast<long>(wParam));
        return 0;
    case WM_ACTIVATE:
        // A drop-down closes when another window takes the activation; a menu does not. Only
        // the loss counts: the list is activated itself when it takes the keyboard at showing.
        if (LOWORD(wParam) == WA_INACTIVE && properties_.ListStyle == 0 && listVisible_) {
            const HWND next = reinterpret_cast<HWND>(lParam);
            bool ours = false;
            for (const ucList* list : PopupChain::ForThisThread().Lists()) {
                ours = ours || (next != nullptr && list->hwnd_ == next);
            }
            if (!ours) {
                HideList();
            }
        }
        return DefaultProc(message, wParam, lParam);
    default:
        return DefaultProc(message, wParam, lParam);
    }
}

} // namespace zelk
