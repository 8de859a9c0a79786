// The list as a popup: showing and hiding it, its submenus, its timer, and the host form it
// follows. The open lists of a menu and the keys and hook they hold belong to PopupChain.
#include <utility>

#include "controls/list/ucList.h"
#include "core/rounding.h"
#include "win/message_pump.h"
#include "win/system_look.h"

namespace zelk {

namespace {

constexpr wchar_t kClassName[] = L"ZelkList";
constexpr UINT_PTR kTimer1 = 1;

bool ButtonDown() {
    return (::GetAsyncKeyState(VK_LBUTTON) & 0x8000) || (::GetAsyncKeyState(VK_RBUTTON) & 0x8000);
}

int Round(double v) {
    return static_cast<int>(RoundHalfEven(v));
}

} // namespace

void ucList::EnsurePopupWindow() {
    if (hwnd_ != nullptr) {
        return;
    }
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    RegisterWindowClass(instance, kClassName, CS_DBLCLKS);
    // A home parent that is gone (its form was unloaded) cannot own the popup.
    const HWND owner = homeParent_ != nullptr && ::IsWindow(homeParent_) ? homeParent_ : nullptr;
    if (::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClassName, L"",
                          WS_POPUP | WS_CLIPCHILDREN, 0, 0, 10, 10, owner, nullptr, instance,
                          this) == nullptr) {
        return;
    }
    CreateScrollBar();
    PopupChain::ForThisThread().Track(*this);
}

void ucList::PrepareWindows() {
    if (!IsPopup()) {
        return;
    }
    EnsurePopupWindow();
    if (hwnd_ != nullptr && properties_.BorderVisible) {
        shadow_.Attach(hwnd_, false);
    }
}

void ucList::ShowList(long& Left, long& Top, long& BtnLeft, long& BtnTop) {
    if (!IsPopup()) {
        return;
    }
    if (listVisible_) {
        HideList();
    }
    {
        PopupChain::Batch batch;
        hover_.Cancel();
        model_.SetHotIndex(-1);
        pressed_ = rightPressed_ = false;
        EnsurePopupWindow();
        if (hwnd_ == nullptr) {
            return;
        }
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
        // The monitor it opens on: a submenu's is its parent's, whatever side it opens to; a
        // first list's is the one its corner point lies in: just inside it when the list hangs
        // left of the point (the exclusive corner of a work area), the point itself when it
        // hangs right (a drop-down under a box at a monitor's left edge).
        RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        const long cornerX = properties_.DisplayDirection == 1 ? Left - 1 : Left;
        const HMONITOR opensOn =
            parentMenu_ != nullptr && parentMenu_->hwnd_ != nullptr
                ? ::MonitorFromWindow(parentMenu_->hwnd_, MONITOR_DEFAULTTONEAREST)
                : ::MonitorFromPoint({static_cast<LONG>(cornerX), static_cast<LONG>(Top - 1)},
                                     MONITOR_DEFAULTTONEAREST);
        // The work area, not the monitor: a list under the taskbar cannot be reached.
        if (opensOn != nullptr && ::GetMonitorInfoW(opensOn, &monitor)) {
            screen = monitor.rcWork;
        }
        // Each monitor its own scale: a submenu's is its parent's, a first list's is the one
        // of the monitor its corner point is on.
        const double scale =
            parentMenu_ != nullptr ? parentMenu_->scale_ : MonitorScale(cornerX, Top - 1);
        SetScale(scale);
        const int screenWidth = screen.right - screen.left;
        const int screenHeight = screen.bottom - screen.top;
        PlacementRequest request;
        request.left = Left;
        request.top = Top;
        request.btnLeft = BtnLeft;
        request.btnTop = BtnTop;
        request.btnLeftIsParentEdge = parentMenu_ != nullptr;
        request.screenWidth = screenWidth;
        request.screenHeight = screenHeight;
        request.screenLeft = screen.left;
        request.screenTop = screen.top;
        request.width = Round(properties_.ListWidth * scale_);
        request.height = PopupHeight(model_, rowHeight_, headerHeight_, margin_, screenHeight,
                                     properties_.MaxVisibleItems, properties_.MaxListHeight);
        // A submenu goes the way its parent went, so a cascade turned back at the screen's
        // edge does not come back over its own lists.
        request.displayDirection = parentMenu_ != nullptr
                                       ? (parentMenu_->placement_.rightwards ? 0 : 1)
                                       : properties_.DisplayDirection;
        placement_ = PlacePopup(request);
        Left = placement_.left;
        Top = placement_.top;
        listVisible_ = true;
        // Joining the chain closes a sibling submenu or another menu before this one shows.
        PopupChain::ForThisThread().Showing(*this);
        ListenToHostForm();
        ::SetWindowPos(hwnd_, HWND_TOPMOST, placement_.left, placement_.top, placement_.width,
                       placement_.height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
        accessibility_.AnnouncePopup(hwnd_, true);
        layingOutPopup_ = true;
        OnResize();
        layingOutPopup_ = false;
        TakeFocus();
        if (!listVisible_) {
            return; // taking the focus let a waiting message in, and it closed the list
        }
        shadow_.BackColor = properties_.BackColor;
        // High contrast wants a plain edge in the text colour, not a soft shadow.
        const HighContrast highContrast = ReadHighContrast();
        shadow_.SetShadowOpacity(highContrast ? 0 : ShadowSettings{}.ShadowOpacity);
        shadow_.BorderColor = highContrast ? highContrast->windowText : properties_.BorderColor;
        if (highContrast) {
            shadow_.BackColor = highContrast->window;
        }
        if (properties_.BorderVisible) {
            shadow_.ShowBorders(hwnd_, false);
        }
        if (model_.ListIndex() > -1 && model_.ListIndex() < model_.ListCount()) {
            const int view = ClientHeight() - headerHeight_ - margin_;
            scrollBar_->SetValue(
                EnsureVisibleValue(model_, model_.ListIndex(), ScrollValue(), view, rowHeight_));
        }
        Refresh();
    }
    // The click that opened the list must not close it again when the buttons are polled.
    // With the hook, the presses come as they happen: a button held (or one the system
    // believes held, as Wine may after a release it lost) must not keep the list from its timer.
    if (!PopupChain::ForThisThread().WatchingPresses() && ButtonDown()) {
        DoEvents();
        while (ButtonDown() && listVisible_) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            DoEvents();
        }
    }
    if (listVisible_ && hwnd_ != nullptr) {
        ::SetTimer(hwnd_, kTimer1, 1, nullptr);
    }
}

void ucList::HideList() {
    if (!listVisible_) {
        return;
    }
    {
        PopupChain::Batch batch;
        listVisible_ = false;
        StopListeningToHostForm();
        if (ucList* child = std::exchange(childMenu_, nullptr)) {
            child->parentMenu_ = nullptr;
            child->HideList();
        }
        hover_.Cancel();
        PopupChain::ForThisThread().Hidden(*this);
        if (hwnd_ != nullptr) {
            ::KillTimer(hwnd_, kTimer1);
            accessibility_.AnnouncePopup(hwnd_, false);
            ::ShowWindow(hwnd_, SW_HIDE);
        }
        shadow_.HideBorders();
        // Hiding a submenu closes the whole chain; CloseSubMenu cuts this link first.
        if (ucList* parent = std::exchange(parentMenu_, nullptr)) {
            parent->childMenu_ = nullptr;
            parent->HideList();
        }
    }
    Raise(ListHide);
}

void ucList::OpenSubMenu(long row, bool checkTag) {
    if (!listVisible_ || row < 0 || row >= model_.ListCount()) {
        return;
    }
    auto* child = const_cast<ucList*>(static_cast<const ucList*>(model_.Item(row).SubMenu));
    if (child == nullptr || child == this) {
        return;
    }
    const bool alreadyOpen = childMenu_ == child && child->listVisible_;
    if (alreadyOpen && row == model_.ListIndex()) {
        return; // that child is open
    }
    (void)checkTag; // a row whose child closed (Left) opens again: the open child decides
    if (childMenu_ != nullptr) {
        CloseSubMenu(); // one open submenu per list
        if (!listVisible_) {
            return; // the host closed the menu while the child hid
        }
    }
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    model_.SetListIndex(row);
    Refresh();
    child->parentMenu_ = this;
    childMenu_ = child;
    child->model_.SetListIndex(-1);
    // The child's top is its row's offset below this list's header, whatever the header holds.
    const RowGeometry geometry{scale_, properties_.ItemHeight, false, 0,
                               static_cast<int>(ScrollValue())};
    long left = r.right;
    long top = r.top + model_.GetItemTop(row, geometry) - ListModel::HeaderHeight(geometry);
    long btnLeft = r.left;
    long btnTop = 0;
    child->ShowList(left, top, btnLeft, btnTop);
}

void ucList::TakeFocus() {
    if (hwnd_ == nullptr || textBox_ != nullptr) {
        return; // an attached text box keeps the keyboard: the user is typing there
    }
    if (FilterIsShown() && ::IsWindowVisible(filterBox_)) {
        ::SetFocus(filterBox_);
    } else {
        ::SetFocus(hwnd_);
    }
}

void ucList::CloseSubMenu() {
    ucList* child = childMenu_;
    if (child == nullptr) {
        return;
    }
    child->parentMenu_ = nullptr; // hiding it must not close this list
    childMenu_ = nullptr;
    child->HideList();
    if (listVisible_) {
        if (properties_.BorderVisible) {
            shadow_.Refresh();
        }
        TakeFocus();
    }
    model_.SetListIndex(-1);
    Refresh();
}

void ucList::TimerTick() {
    ++timerTicks_;
    const HoverDelay::Step step = hover_.Tick();
    const long pending = hover_.PendingRow();
    const bool pendingIsOpen = step.openSubMenu && pending == model_.ListIndex() &&
                               childMenu_ != nullptr && childMenu_->listVisible_ && pending >= 0 &&
                               pending < model_.ListCount() &&
                               model_.Item(pending).SubMenu == childMenu_;
    if (!pendingIsOpen) {
        if (step.closeSubMenu) {
            CloseSubMenu();
        }
        if (step.openSubMenu) {
            OpenSubMenu(pending, true);
        }
    }
    if (KeysHandedOver()) {
        return; // the open child watches the mouse
    }
    if (hwnd_ == nullptr) {
        return;
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
    PopupChain& chain = PopupChain::ForThisThread();
    if (listVisible_ && chain.Frontmost() == this) {
        chain.RetryMissingHotKeys();
        chain.HandlePendingPresses(); // noted presses whose wake-up could not be posted
    }
    if (listVisible_ && !chain.WatchingPresses() && ButtonDown()) {
        // Without the hook, look at the buttons at each tick. They are the physical buttons:
        // for a left-handed mouse the primary one is the right.
        const int primary = ::GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
        chain.PressAt({cursor, ::GetTickCount(), (::GetAsyncKeyState(primary) & 0x8000) != 0});
    }
}

void ucList::ListenToHostForm() {
    StopListeningToHostForm();
    if (homeParent_ == nullptr || !::IsWindow(homeParent_)) {
        return;
    }
    const HWND form = ::GetAncestor(homeParent_, GA_ROOT);
    if (form == nullptr) {
        return;
    }
    if (!hooks_) {
        hooks_ = std::make_unique<MessageHooks>(L"ucList", services_);
    }
    if (form == textBox_) {
        return; // already hooked for typing; a text box is no form
    }
    if (hooks_->ssc_Subclass(form, *this)) {
        hooks_->ssc_AddMsg(form, WM_SIZE, MSG_AFTER);
        hooks_->ssc_AddMsg(form, WM_DESTROY, MSG_BEFORE);
        hostForm_ = form;
    }
}

void ucList::StopListeningToHostForm() {
    const HWND form = std::exchange(hostForm_, nullptr);
    if (form != nullptr && hooks_ && hooks_->IsHooked(form)) {
        hooks_->ssc_UnSubclass(form);
    }
}

void ucList::OnWindowDestroyed() {
    // The window went with its owner: the list lives on and makes a new one when shown.
    HideList();
    if (filterBox_ != nullptr) {
        filterBox_ = nullptr; // a child of the window that is going
    }
    PopupChain::ForThisThread().Untrack(*this);
}

} // namespace zelk
