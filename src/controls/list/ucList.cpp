#include "controls/list/ucList.h"

#include <utility>

#include "core/rounding.h"
#include "core/text.h"
#include "win/message_pump.h"
#include "win/ui_services.h"
#include "win/user_case_folding.h"

namespace zelk {

namespace {

constexpr wchar_t kClassName[] = L"ZelkList";
constexpr UINT_PTR kTimer1 = 1;
// The keys a shown popup takes from the whole desktop, so menus work without the focus.
constexpr UINT kHotKeys[] = {VK_DOWN,  VK_UP,   VK_RETURN, VK_ESCAPE, VK_HOME, VK_END,
                             VK_PRIOR, VK_NEXT, VK_TAB,    VK_LEFT,   VK_RIGHT};

bool ButtonDown() {
    return (::GetAsyncKeyState(VK_LBUTTON) & 0x8000) || (::GetAsyncKeyState(VK_RBUTTON) & 0x8000);
}

constexpr UINT kOutsidePress = WM_APP + 0x51;

// Presses anywhere on the desktop while a menu is open, seen in the order they happen: a quick
// click between two timer ticks still counts, and at the place it happened. A low-level hook
// has no user data, so the list to tell is kept per thread: Windows forces that one.
thread_local HWND t_frontmostPopup = nullptr;
thread_local HHOOK t_mouseHook = nullptr;

LRESULT CALLBACK OutsidePressHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && t_frontmostPopup != nullptr &&
        (wParam == WM_LBUTTONDOWN || wParam == WM_RBUTTONDOWN || wParam == WM_MBUTTONDOWN)) {
        const auto* info = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
        ::PostMessageW(t_frontmostPopup, kOutsidePress, static_cast<WPARAM>(info->pt.x),
                       static_cast<LPARAM>(info->pt.y));
    }
    return ::CallNextHookEx(t_mouseHook, code, wParam, lParam);
}

void WatchPresses(HWND frontmost) {
    t_frontmostPopup = frontmost;
    if (frontmost != nullptr && t_mouseHook == nullptr) {
        t_mouseHook =
            ::SetWindowsHookExW(WH_MOUSE_LL, &OutsidePressHook, ::GetModuleHandleW(nullptr), 0);
    } else if (frontmost == nullptr && t_mouseHook != nullptr) {
        ::UnhookWindowsHookEx(t_mouseHook);
        t_mouseHook = nullptr;
    }
}

int Round(double v) {
    return static_cast<int>(RoundHalfEven(v));
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
    HideList();
    if (childMenu_ != nullptr) {
        childMenu_->parentMenu_ = nullptr;
    }
    if (parentMenu_ != nullptr && parentMenu_->childMenu_ == this) {
        parentMenu_->childMenu_ = nullptr;
    }
    scrollBar_.reset();
    if (dropTarget_ != nullptr) {
        if (hwnd_ != nullptr) {
            ::RevokeDragDrop(hwnd_);
        }
        dropTarget_->Release();
    }
    if (hwnd_ != nullptr) {
        ::DestroyWindow(hwnd_);
    }
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
    properties_ = properties;
    ComputeMetrics();
    if (hwnd_ != nullptr && properties_.ListStyle == 1) {
        OnResize();
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
}

void ucList::EnsurePopupWindow() {
    if (hwnd_ != nullptr) {
        return;
    }
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    RegisterWindowClass(instance, kClassName, CS_DBLCLKS);
    ::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClassName, L"", WS_POPUP | WS_CLIPCHILDREN,
                      0, 0, 10, 10, homeParent_, nullptr, instance, this);
    CreateScrollBar();
}

void ucList::PlaceInForm(HWND parent, int x, int y, int width, int height) {
    properties_.ListStyle = 1;
    const HINSTANCE instance =
        reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    RegisterWindowClass(instance, kClassName, CS_DBLCLKS);
    ::CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, x, y, width,
                      height, parent, nullptr, instance, this);
    CreateScrollBar();
    UpdateDropRegistration();
    ::ShowWindow(hwnd_, SW_SHOWNA);
    OnResize();
    if (properties_.BorderVisible) {
        shadow_.ShowBorders(hwnd_, true);
    }
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
    if (properties_.BorderVisible) {
        shadow_.Refresh();
    }
    Refresh();
}

void ucList::OnResize() {
    const int width = ClientWidth(), height = ClientHeight();
    const int k = Round(scale_);
    if (properties_.ListDesign != 0) {
        const int ws = Round(16 * scale_);
        scrollBar_->Move(width - ws - 2 * k, borderRadius_ / 2 + k, ws,
                         height - borderRadius_ - 3 * k);
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
    const ListPaintResult result = PaintList(in, canvas);
    properties_.LineColor = result.lineColor;
    rowHeight_ = result.rowHeight;
}

void ucList::RegisterHotKeys() {
    if (hotKeysRegistered_ || hwnd_ == nullptr) {
        return;
    }
    for (UINT key : kHotKeys) {
        ::RegisterHotKey(hwnd_, static_cast<int>(key), 0, key);
    }
    hotKeysRegistered_ = true;
}

void ucList::UnregisterHotKeys() {
    if (!hotKeysRegistered_) {
        return;
    }
    for (UINT key : kHotKeys) {
        ::UnregisterHotKey(hwnd_, static_cast<int>(key));
    }
    hotKeysRegistered_ = false;
}

void ucList::ShowList(long& Left, long& Top, long& BtnLeft, long& BtnTop) {
    if (!IsPopup()) {
        return;
    }
    if (listVisible_) {
        HideList();
    }
    hover_.Cancel();
    model_.SetHotIndex(-1);
    pressed_ = rightPressed_ = false;
    EnsurePopupWindow();
    if (!shownOnce_) {
        shownOnce_ = true;
        if (BeforeFirstShow) {
            BeforeFirstShow(*this);
        }
    }
    // A host form parked off-screen (as the hidden main form is) gets no filter box.
    RECT home{};
    filterShown_ = !(homeParent_ != nullptr && ::GetWindowRect(homeParent_, &home) &&
                     (home.left < 0 || (properties_.ShowFilter && home.top < 0)));
    if (filterBox_ != nullptr) {
        suppress_ = true;
        ::SetWindowTextW(filterBox_, L"");
        suppress_ = false;
    }
    for (long i = 0; i < model_.ListCount(); ++i) {
        model_.MutableItem(i).Visible = true; // the last opening's filter is gone
    }
    LayoutHeader();
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    RegisterHotKeys();
    PlacementRequest request;
    request.left = Left;
    request.top = Top;
    request.btnLeft = BtnLeft;
    request.btnTop = BtnTop;
    request.screenWidth = screenWidth;
    request.screenHeight = screenHeight;
    request.width = Round(properties_.ListWidth * scale_);
    request.height = PopupHeight(model_, rowHeight_, headerHeight_, margin_, screenHeight,
                                 properties_.MaxVisibleItems, properties_.MaxListHeight);
    request.displayDirection = properties_.DisplayDirection;
    placement_ = PlacePopup(request);
    Left = placement_.left;
    Top = placement_.top;
    ::SetWindowPos(hwnd_, HWND_TOPMOST, placement_.left, placement_.top, placement_.width,
                   placement_.height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    ::SetFocus(hwnd_);
    listVisible_ = true;
    layingOutPopup_ = true;
    OnResize();
    layingOutPopup_ = false;
    shadow_.BackColor = properties_.BackColor;
    if (properties_.BorderVisible) {
        shadow_.ShowBorders(hwnd_, false);
    }
    if (model_.ListIndex() > -1 && model_.ListIndex() < model_.ListCount()) {
        const int view = ClientHeight() - headerHeight_ - margin_;
        scrollBar_->SetValue(
            EnsureVisibleValue(model_, model_.ListIndex(), ScrollValue(), view, rowHeight_));
    }
    Refresh();
    // The click that opened the list must not close it again.
    if (ButtonDown()) {
        DoEvents();
        while (ButtonDown() && listVisible_) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            DoEvents();
        }
    }
    if (listVisible_) {
        ::SetTimer(hwnd_, kTimer1, 1, nullptr);
        WatchPresses(hwnd_);
    }
}

void ucList::HideList() {
    if (!listVisible_) {
        return;
    }
    listVisible_ = false;
    if (ucList* child = std::exchange(childMenu_, nullptr)) {
        child->HideList();
        child->parentMenu_ = nullptr;
    }
    ::KillTimer(hwnd_, kTimer1);
    UnregisterHotKeys();
    keysHandedOver_ = false;
    if (t_frontmostPopup == hwnd_) {
        WatchPresses(parentMenu_ != nullptr && parentMenu_->listVisible_ ? parentMenu_->hwnd_
                                                                         : nullptr);
    }
    ::ShowWindow(hwnd_, SW_HIDE);
    shadow_.HideBorders();
    if (ucList* parent = std::exchange(parentMenu_, nullptr)) {
        parent->HideList();
    }
    Raise(ListHide);
}

void ucList::OpenSubMenu(long row, bool checkTag) {
    if (row < 0 || row >= model_.ListCount() || (checkTag && row == model_.ListIndex())) {
        return;
    }
    auto* child = const_cast<ucList*>(static_cast<const ucList*>(model_.Item(row).SubMenu));
    if (child == nullptr || child == this) {
        return;
    }
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    model_.SetListIndex(row);
    Refresh();
    child->parentMenu_ = this;
    childMenu_ = child;
    keysHandedOver_ = true;
    UnregisterHotKeys();
    child->model_.SetListIndex(-1);
    const RowGeometry geometry{scale_, properties_.ItemHeight, false, 0,
                               static_cast<int>(ScrollValue())};
    long left = r.right;
    long top = r.top + model_.GetItemTop(row, geometry) - headerHeight_;
    long btnLeft = r.left;
    long btnTop = 0;
    child->ShowList(left, top, btnLeft, btnTop);
}

void ucList::TakeKeysBack() {
    RegisterHotKeys();
    if (properties_.BorderVisible && listVisible_) {
        shadow_.Refresh();
    }
    ::SetFocus(hwnd_);
    keysHandedOver_ = false;
}

void ucList::CloseSubMenu() {
    ucList* child = childMenu_;
    if (child == nullptr) {
        return;
    }
    child->parentMenu_ = nullptr; // hiding it must not close this list
    child->HideList();
    childMenu_ = nullptr;
    TakeKeysBack();
    model_.SetListIndex(-1);
    Refresh();
}

void ucList::TimerTick() {
    ++timerTicks_;
    const HoverDelay::Step step = hover_.Tick();
    if (step.closeSubMenu) {
        CloseSubMenu();
    }
    if (step.openSubMenu) {
        OpenSubMenu(hover_.PendingRow(), true);
    }
    if (keysHandedOver_) {
        if (childMenu_ != nullptr && childMenu_->IsListVisible()) {
            return;
        }
        keysHandedOver_ = false;
    }
    POINT cursor{};
    ::GetCursorPos(&cursor);
    if (!IsPopup()) {
        if (::WindowFromPoint(cursor) != hwnd_) {
            model_.SetHotIndex(-1);
            ::KillTimer(hwnd_, kTimer1);
            Refresh();
        }
        return;
    }
    if (t_mouseHook == nullptr && ButtonDown()) {
        OnOutsidePress(cursor); // without the hook, look at the buttons at each tick
    }
}

void ucList::OnOutsidePress(POINT at) {
    if (!listVisible_ || (keysHandedOver_ && childMenu_ != nullptr && childMenu_->listVisible_)) {
        return;
    }
    const HWND under = ::WindowFromPoint(at);
    if (under == hwnd_ || (scrollBar_ && under == scrollBar_->hwnd()) ||
        (filterBox_ != nullptr && under == filterBox_)) {
        return;
    }
    if (parentMenu_ != nullptr && parentMenu_->hwnd_ == under) {
        return; // a press on the parent is not outside
    }
    HideList();
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

void ucList::HandleKey(int keyCode) {
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
        return;
    case VK_ESCAPE:
        if (!IsPopup()) {
            return;
        }
        if (parentMenu_ == nullptr) {
            HideList();
            return;
        }
        [[fallthrough]];
    case VK_LEFT:
        if (IsPopup() && parentMenu_ != nullptr) {
            ucList* parent = std::exchange(parentMenu_, nullptr);
            parent->childMenu_ = nullptr;
            // Hot keys belong to one window at a time: free them before the parent asks.
            HideList();
            parent->TakeKeysBack();
        }
        return;
    case VK_RIGHT:
        if (model_.ListIndex() >= 0 && model_.ListIndex() < model_.ListCount() &&
            model_.Item(model_.ListIndex()).SubMenu != nullptr) {
            OpenSubMenu(model_.ListIndex(), false);
        }
        return;
    case VK_TAB:
        if (IsPopup()) {
            HideList();
        }
        return;
    case VK_RETURN: {
        const long index = model_.ListIndex();
        if (index == -1) {
            if (textBox_ != nullptr) {
                HideList();
                ::SendMessageW(textBox_, WM_CHAR, VK_RETURN, 0); // the host's box handles it
            } else {
                services_.Beep();
            }
            return;
        }
        ListItem& item = model_.MutableItem(index);
        if (properties_.MultiSelect) {
            item.Selected = !item.Selected;
            Refresh();
        } else if (IsPopup()) {
            HideList();
        }
        Raise(ItemClick);
        if (!properties_.MultiSelect) {
            WriteChoiceToTextBox();
        }
        return;
    }
    default:
        return;
    }
}

void ucList::SetKeyPress(wchar_t KeyAscii) {
    int key = KeyAscii;
    if (KeyPress) {
        KeyPress(key);
    }
    if (key == 0) {
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
    int button = (keys & MK_LBUTTON) ? 1 : (keys & MK_RBUTTON) ? 2 : 0, shift = 0;
    float fx = static_cast<float>(x), fy = static_cast<float>(y);
    if (MouseMove) {
        MouseMove(button, shift, fx, fy);
    }
}

void ucList::OnButtonDown(int button, int x, int y, WPARAM) {
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
                if (ItemRightClick) {
                    ItemRightClick(item.Text, item.ItemData, false, cursor.x, cursor.y);
                }
            }
        } else if (button == 1) {
            hover_.Cancel();
            OpenSubMenu(hot, true);
        } else {
            rightPressed_ = true;
            if (ItemRightClick) {
                ItemRightClick(item.Text, item.ItemData, true, cursor.x, cursor.y);
            }
        }
    }
    int shift = 0;
    float fx = static_cast<float>(x), fy = static_cast<float>(y);
    if (MouseDown) {
        MouseDown(button, shift, fx, fy);
    }
}

void ucList::OnButtonUp(int button, int x, int y, WPARAM) {
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
            Raise(ItemClick);
            WriteChoiceToTextBox();
        }
    }
    rightPressed_ = false;
    int shift = 0;
    float fx = static_cast<float>(x), fy = static_cast<float>(y);
    if (MouseUp) {
        MouseUp(button, shift, fx, fy);
    }
}

void ucList::LayoutHeader() {
    const bool show = IsPopup() && properties_.ShowFilter && filterShown_ && listVisible_;
    if (show && filterBox_ == nullptr && hwnd_ != nullptr) {
        filterBox_ = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 10, 10,
                                       hwnd_, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    }
    if (!show) {
        if (filterBox_ != nullptr) {
            ::ShowWindow(filterBox_, SW_HIDE);
        }
        headerHeight_ = margin_;
        return;
    }
    LOGFONTW lf{};
    lf.lfHeight = FontHeightForPoints(properties_.Font.size);
    lf.lfCharSet = DEFAULT_CHARSET;
    wcsncpy_s(lf.lfFaceName, properties_.Font.name.c_str(), _TRUNCATE);
    filterFont_.reset(::CreateFontIndirectW(&lf));
    ::SendMessageW(filterBox_, WM_SETFONT, reinterpret_cast<WPARAM>(filterFont_.get()), FALSE);
    filterBrush_.reset(::CreateSolidBrush(ResolveSystemColour(properties_.BackColor)));
    const int boxHeight = Round(properties_.Font.size * 1.5 * scale_);
    ::ShowWindow(filterBox_, SW_SHOWNA);
    headerHeight_ = boxHeight + 4 * margin_;
}

void ucList::SetFilterText(const std::wstring& text) {
    if (filterBox_ != nullptr) {
        suppress_ = true;
        ::SetWindowTextW(filterBox_, text.c_str());
        suppress_ = false;
    }
    pendingFilter_ = text;
    RunFilter();
}

void ucList::RunFilter() {
    if (filterBox_ != nullptr) {
        const int length = ::GetWindowTextLengthW(filterBox_);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        ::GetWindowTextW(filterBox_, text.data(), length + 1);
        text.resize(static_cast<size_t>(length));
        pendingFilter_ = text;
    }
    const FilterResult result = ApplyFilter(model_, pendingFilter_, rowHeight_);
    matchCount_ = result.matches;
    model_.SetHotIndex(-1);
    if (IsPopup() && listVisible_ && hwnd_ != nullptr) {
        RECT r{};
        ::GetWindowRect(hwnd_, &r);
        const int width = r.right - r.left;
        const int wanted = headerHeight_ + static_cast<int>(result.contentHeight) + margin_;
        // Never shrink the window at each keystroke: fit what matches, within the limit
        // and the screen.
        int limit = properties_.MaxListHeight > 0 ? properties_.MaxListHeight
                                                  : ::GetSystemMetrics(SM_CYSCREEN);
        const int height = std::min(wanted, limit);
        int top = r.top;
        if (placement_.anchorBottom > 0) {
            top = placement_.anchorBottom - height; // opened upwards: keep the bottom
        }
        ::SetWindowPos(hwnd_, nullptr, r.left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        const int view = height - headerHeight_ - margin_;
        if (result.contentHeight <= view) {
            scrollBar_->SetMax(0);
            scrollBar_->SetVisible(false);
            scrollBar_->TrackMouseWheelOnHwndStop();
        } else {
            scrollBar_->SetMax(static_cast<long>(result.contentHeight) - view);
            scrollBar_->Model().SetSmallChange(rowHeight_);
            scrollBar_->Model().SetLargeChange(std::max(view - rowHeight_, 1));
            scrollBar_->SetVisible(true);
            scrollBar_->TrackMouseWheelOnHwnd(hwnd_);
        }
        if (properties_.BorderVisible) {
            shadow_.Refresh();
        }
    }
    if (scrollBar_ && scrollBar_->Value() != 0) {
        scrollBar_->SetValue(0); // repaints through the bar's change
    } else {
        Refresh();
    }
}

void ucList::AutoCompleteTextBox(HWND oTextBox, long OffsetLeft, long OffsetTop, long OffsetRight,
                                 long OffsetBottom) {
    if (!hooks_) {
        hooks_ = std::make_unique<MessageHooks>(L"ucList", services_);
    }
    if (textBox_ != nullptr && hooks_->IsHooked(textBox_)) {
        hooks_->ssc_UnSubclass(textBox_);
    }
    textBox_ = oTextBox;
    textBoxOffsets_ = {OffsetLeft, OffsetTop, OffsetRight, OffsetBottom};
    SetFilterText(L"");
    if (textBox_ != nullptr && hooks_->ssc_Subclass(textBox_, *this)) {
        hooks_->ssc_AddMsg(textBox_, WM_CHAR, MSG_AFTER);
    }
}

void ucList::HookProc(bool, bool&, LRESULT&, HWND lng_hWnd, UINT uMsg, WPARAM wParam, LPARAM,
                      LPARAM&) {
    if (lng_hWnd == textBox_ && uMsg == WM_CHAR && wParam != VK_RETURN && !suppress_) {
        OnTextBoxChar(static_cast<wchar_t>(wParam));
    }
}

void ucList::OnTextBoxChar(wchar_t) {
    RECT r{};
    ::GetWindowRect(textBox_, &r);
    const int length = ::GetWindowTextLengthW(textBox_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    ::GetWindowTextW(textBox_, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    if (listVisible_ && text.empty()) {
        HideList();
        return;
    }
    if (!listVisible_) {
        bool found = false;
        for (const auto& item : model_.Items()) {
            found = found || (!item.IsGroup && FoldedContains(model_.Folding(), item.Text, text));
        }
        if (!found) {
            return;
        }
        properties_.ListWidth =
            Round((r.right + textBoxOffsets_.right - r.left - textBoxOffsets_.left) / scale_);
        long left = r.left + textBoxOffsets_.left, top = r.bottom + textBoxOffsets_.top;
        long btnLeft = 0, btnTop = r.top + textBoxOffsets_.bottom;
        ShowList(left, top, btnLeft, btnTop);
    }
    SetFilterText(text);
    if (matchCount_ == 0) {
        HideList();
    }
}

void ucList::WriteChoiceToTextBox() {
    if (textBox_ == nullptr || model_.ListIndex() < 0 || model_.ListIndex() >= model_.ListCount()) {
        return;
    }
    const std::wstring& text = model_.Item(model_.ListIndex()).Text;
    suppress_ = true;
    ::SendMessageW(textBox_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    ::SendMessageW(textBox_, EM_SETSEL, text.size(), static_cast<LPARAM>(text.size()));
    suppress_ = false;
    Raise(PostAutoComplete);
}

std::optional<AppError> ucList::SetOLEDropMode(long mode) {
    if (auto error = zelk::SetOLEDropMode(properties_, mode)) {
        return error;
    }
    UpdateDropRegistration();
    return std::nullopt;
}

void ucList::UpdateDropRegistration() {
    if (hwnd_ == nullptr) {
        return;
    }
    if (properties_.OLEDropMode == 1 && dropTarget_ == nullptr) {
        ListDropTarget::Callbacks callbacks;
        callbacks.dragOver = [this](IDataObject* data, DWORD& effect, int button, int shift,
                                    POINT client, int state) {
            if (!OLEDragOver) {
                return;
            }
            long e = static_cast<long>(effect);
            float x = static_cast<float>(client.x), y = static_cast<float>(client.y);
            OLEDragOver(data, e, button, shift, x, y, state);
            effect = static_cast<DWORD>(e);
        };
        callbacks.drop = [this](IDataObject* data, DWORD& effect, int button, int shift,
                                POINT client) {
            if (!OLEDragDrop) {
                return;
            }
            long e = static_cast<long>(effect);
            float x = static_cast<float>(client.x), y = static_cast<float>(client.y);
            OLEDragDrop(data, e, button, shift, x, y);
            effect = static_cast<DWORD>(e);
        };
        dropTarget_ = new ListDropTarget(hwnd_, std::move(callbacks));
        ::RegisterDragDrop(hwnd_, dropTarget_);
    } else if (properties_.OLEDropMode != 1 && dropTarget_ != nullptr) {
        ::RevokeDragDrop(hwnd_);
        dropTarget_->Release();
        dropTarget_ = nullptr;
    }
}

void ucList::OLEDrag() {
    std::wstring text;
    long allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    if (OLEStartDrag) {
        OLEStartDrag(text, allowed);
    }
    if (text.empty()) {
        return;
    }
    long effect = static_cast<long>(DragText(text, static_cast<DWORD>(allowed)));
    if (OLECompleteDrag) {
        OLECompleteDrag(effect);
    }
}

void ucList::PaintScrollPart(HDC dc, int left, int top, int right, int bottom, int part,
                             int state) {
    const Colour back = ResolveSystemColour(properties_.BackColor);
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
        Gdiplus::SolidBrush thumb{Gdiplus::Color(RGBtoARGB(ThumbColour(back, state), 100))};
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
        // The second press of a double click is still a press, then the double click.
        OnButtonDown(1, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)),
                     wParam);
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
    case WM_HOTKEY:
        HandleKey(static_cast<int>(wParam));
        return 0;
    case WM_KEYDOWN: {
        int key = static_cast<int>(wParam), shift = 0;
        HandleKey(key);
        if (KeyDown) {
            KeyDown(key, shift);
        }
        return 0;
    }
    case WM_KEYUP: {
        int key = static_cast<int>(wParam), shift = 0;
        if (KeyUp) {
            KeyUp(key, shift);
        }
        return 0;
    }
    case WM_CHAR:
        if (wParam >= 32) {
            SetKeyPress(static_cast<wchar_t>(wParam));
        }
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
            const COLORREF back = ResolveSystemColour(properties_.BackColor);
            ::SetTextColor(reinterpret_cast<HDC>(wParam),
                           IsDarkColor(back) ? RGB(255, 255, 255) : RGB(0, 0, 0));
            ::SetBkColor(reinterpret_cast<HDC>(wParam), back);
            return reinterpret_cast<LRESULT>(filterBrush_.get());
        }
        return DefaultProc(message, wParam, lParam);
    case kOutsidePress:
        OnOutsidePress({static_cast<LONG>(wParam), static_cast<LONG>(lParam)});
        return 0;
    case WM_IME_SETCONTEXT:
        if (properties_.ListStyle == 0 && listVisible_) {
            HideList(); // a drop-down closes when its window loses activation; menus do not
        }
        return DefaultProc(message, wParam, lParam);
    default:
        return DefaultProc(message, wParam, lParam);
    }
}

} // namespace zelk
