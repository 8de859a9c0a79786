#include "controls/ucScrollbar.h"

#include <uxtheme.h>
#include <vssym32.h>

namespace zelk {

namespace {

constexpr wchar_t kClassName[] = L"ZelkScrollbar";
constexpr UINT_PTR kPageDelayTimer = 1;
constexpr UINT_PTR kRepeatTimer = 2;
constexpr UINT_PTR kHotTimer = 3;
constexpr UINT_PTR kSmoothTimer = 4;
constexpr UINT kHotPollMs = 25;

// Button numbers of the mouse events.
constexpr int kLeftButton = 1;
constexpr int kRightButton = 2;
constexpr int kMiddleButton = 4;

int ShiftState(WPARAM keys) {
    return ((keys & MK_SHIFT) != 0 ? 1 : 0) | ((keys & MK_CONTROL) != 0 ? 2 : 0) |
           (::GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

// For a press that ends without a button message.
int ShiftStateNow() {
    WPARAM keys = 0;
    if (::GetKeyState(VK_SHIFT) < 0) {
        keys |= MK_SHIFT;
    }
    if (::GetKeyState(VK_CONTROL) < 0) {
        keys |= MK_CONTROL;
    }
    return ShiftState(keys);
}

RECT ToRect(const PartRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

unique_hbrush HalftoneBrush() {
    const WORD rows[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    unique_hbitmap pattern(::CreateBitmap(8, 8, 1, 1, rows));
    return unique_hbrush(::CreatePatternBrush(pattern.get()));
}

} // namespace

ucScrollbar::ucScrollbar(HWND container, UiServices& services, int x, int y, int width, int height)
    : container_(container), halftone_(HalftoneBrush()), hooks_(L"ucScrollbar", services) {
    const HINSTANCE instance =
        reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(container, GWLP_HINSTANCE));
    RegisterWindowClass(instance, kClassName);
    ::CreateWindowExW(0, kClassName, L"", WS_CHILD, x, y, width, height, container, nullptr,
                      instance, this);
    model_.Change = [this] {
        Refresh();
        if (Change) {
            Change();
        }
    };
    if (container_ != nullptr && hooks_.ssc_Subclass(container_, *this)) {
        hooks_.ssc_AddMsg(container_, WM_MOUSEWHEEL, MSG_BEFORE);
    }
    Relayout();
}

ucScrollbar::~ucScrollbar() {
    // The host is tearing the bar down: no event may reach it now (the window's destruction
    // ends a press and stops every timer).
    Change = nullptr;
    OnPaint = nullptr;
    MouseDown = nullptr;
    MouseUp = nullptr;
    DestroyOwnWindow();
}

int ucScrollbar::RunningTimers() const {
    int count = 0;
    for (unsigned bits = timers_; bits != 0; bits &= bits - 1) {
        ++count;
    }
    return count;
}

bool ucScrollbar::StartTimer(UINT_PTR id, UINT milliseconds) {
    // Without a window SetTimer would make a thread timer with an id of its own choosing.
    if (hwnd_ == nullptr || ::SetTimer(hwnd_, id, milliseconds, nullptr) == 0) {
        return false;
    }
    timers_ |= 1u << id;
    return true;
}

void ucScrollbar::StopTimer(UINT_PTR id) {
    if (hwnd_ != nullptr && TimerRunning(id)) {
        ::KillTimer(hwnd_, id);
    }
    timers_ &= ~(1u << id);
}

void ucScrollbar::SetMax(long value) {
    model_.SetMax(value);
    Refresh();
}

void ucScrollbar::SetStyle(long style) {
    model_.SetStyle(style);
    Refresh();
}

void ucScrollbar::SetShowButtons(bool show) {
    model_.SetShowButtons(show);
    Relayout();
}

void ucScrollbar::SetEnabled(bool enabled) {
    enabled_ = enabled;
    ::EnableWindow(hwnd_, enabled); // disabling sends WM_CANCELMODE, which ends a press
    if (!enabled) {
        SetHot(kNoPart);
    }
    Refresh();
}

void ucScrollbar::Move(int x, int y, int width, int height) {
    ::MoveWindow(hwnd_, x, y, width, height, TRUE);
    Relayout();
}

void ucScrollbar::SetVisible(bool visible) {
    ::ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

void ucScrollbar::Relayout() {
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    const int arrow = ::GetSystemMetrics(model_.Orientation() == 0 ? SM_CYVSCROLL : SM_CXHSCROLL);
    model_.Layout(client.right, client.bottom, arrow);
    Refresh();
}

void ucScrollbar::StartSmoothTimer() {
    // A running timer is left alone: restarting it at every wheel notch would hold the glide.
    if (!model_.AnimationRunning() || TimerRunning(kSmoothTimer)) {
        return;
    }
    if (!StartTimer(kSmoothTimer, 10)) {
        model_.FinishAnimation(); // no ticks will come: get there at once
    }
}

void ucScrollbar::ScrollToValue(long target) {
    model_.ScrollToValue(target);
    StartSmoothTimer();
}

void ucScrollbar::WheelScrollTopLeft() {
    model_.WheelScrollTopLeft();
    StartSmoothTimer();
}

void ucScrollbar::WheelScrollBotRight() {
    model_.WheelScrollBotRight();
    StartSmoothTimer();
}

void ucScrollbar::TrackMouseWheelOnHwnd(HWND window) {
    trackedWindow_ = window;
}
void ucScrollbar::TrackMouseWheelOnHwndStop() {
    trackedWindow_ = nullptr;
}

bool ucScrollbar::CursorOver(HWND window) const {
    if (window == nullptr || !::IsWindowVisible(window)) {
        return false;
    }
    POINT cursor{};
    ::GetCursorPos(&cursor);
    RECT r{};
    ::GetWindowRect(window, &r);
    return ::PtInRect(&r, cursor) != FALSE;
}

void ucScrollbar::HookProc(bool, bool& bHandled, LRESULT& lReturn, HWND, UINT uMsg, WPARAM wParam,
                           LPARAM, LPARAM&) {
    if (uMsg != WM_MOUSEWHEEL || !enabled_) {
        return;
    }
    if (!CursorOver(hwnd_) && !CursorOver(trackedWindow_)) {
        return;
    }
    bHandled = true;
    lReturn = 0;
    if (static_cast<short>(HIWORD(wParam)) < 0) {
        WheelScrollBotRight();
    } else {
        WheelScrollTopLeft();
    }
}

int ucScrollbar::HotPartAt(int x, int y) const {
    if (!enabled_) {
        return kNoPart;
    }
    const int part = model_.HitTest(x, y);
    return (part == kArrow1 || part == kArrow2 || part == kThumb) ? part : kNoPart;
}

// The hot part under the real pointer: none when the bar is not the window there (moved
// away, hidden, disabled, covered by another window).
int ucScrollbar::PartUnderCursor() const {
    POINT cursor{};
    if (hwnd_ == nullptr || !::GetCursorPos(&cursor) || ::WindowFromPoint(cursor) != hwnd_ ||
        !::ScreenToClient(hwnd_, &cursor)) {
        return kNoPart;
    }
    return HotPartAt(cursor.x, cursor.y);
}

// The hot-tracking timer runs exactly while a part is hot: it is how the bar sees the
// pointer leave without a message.
void ucScrollbar::SetHot(int part) {
    if (part != hotPart_) {
        hotPart_ = part;
        Refresh();
    }
    if (hotPart_ == kNoPart) {
        StopTimer(kHotTimer);
    } else if (!TimerRunning(kHotTimer) && !StartTimer(kHotTimer, kHotPollMs)) {
        hotPart_ = kNoPart; // it could never be cleared
    }
}

void ucScrollbar::OnTimer(UINT_PTR id) {
    if (!TimerRunning(id)) {
        return; // not one of ours, or a late tick of one already stopped
    }
    switch (id) {
    case kSmoothTimer: {
        const std::weak_ptr<int> alive = life_;
        model_.Tick(); // raises Change: host code
        if (!alive.expired() && !model_.AnimationRunning()) {
            StopTimer(kSmoothTimer);
        }
        break;
    }
    case kPageDelayTimer:
        StopTimer(kPageDelayTimer);
        if ((held_ & kLeftButton) != 0 &&
            (model_.PressedPart() == kTrack1 || model_.PressedPart() == kTrack2)) {
            StartTimer(kRepeatTimer, static_cast<UINT>(model_.ChangeFrequency()));
        }
        break;
    case kRepeatTimer: {
        if ((held_ & kLeftButton) == 0) {
            StopTimer(kRepeatTimer);
            break;
        }
        POINT cursor{};
        ::GetCursorPos(&cursor);
        ::ScreenToClient(hwnd_, &cursor);
        model_.RepeatStep(cursor.x, cursor.y);
        StartSmoothTimer();
        const int pressed = model_.PressedPart();
        if (pressed == kArrow1 || pressed == kArrow2) {
            StartTimer(kRepeatTimer, 50);
        } else if (pressed == kNoPart) {
            StopTimer(kRepeatTimer); // the thumb reached the pointer: paging is over
        }
        Refresh();
        break;
    }
    case kHotTimer:
        SetHot(PartUnderCursor());
        break;
    default:
        break;
    }
}

bool ucScrollbar::RaiseMouse(const std::function<void(int&, int&, float&, float&)>& event,
                             int button, int shift, int x, int y) {
    if (!event) {
        return true;
    }
    const std::weak_ptr<int> alive = life_;
    const auto handler = event; // the member may go with the bar while it runs
    float fx = static_cast<float>(x), fy = static_cast<float>(y);
    handler(button, shift, fx, fy);
    return !alive.expired();
}

void ucScrollbar::OnButtonDown(int button, int x, int y, WPARAM keys) {
    if (!enabled_) {
        return;
    }
    if ((held_ & button) != 0 && !OnButtonUp(button, x, y, keys)) {
        return; // its release never came: end that press first
    }
    held_ |= button;
    if (::GetCapture() != hwnd_) {
        ::SetCapture(hwnd_);
    }
    if (button == kLeftButton) {
        model_.Press(x, y);
        const int pressed = model_.PressedPart();
        if (pressed == kArrow1 || pressed == kArrow2) {
            StartTimer(kRepeatTimer, static_cast<UINT>(model_.ChangeDelay()));
        } else if (pressed == kTrack1 || pressed == kTrack2) {
            StartTimer(kPageDelayTimer, static_cast<UINT>(model_.ChangeDelay()));
        }
        StartSmoothTimer();
        Refresh();
    }
    RaiseMouse(MouseDown, button, ShiftState(keys), x, y);
}

void ucScrollbar::EndLeftPress() {
    StopTimer(kPageDelayTimer);
    StopTimer(kRepeatTimer);
    model_.Release();
    // Moves during the press did not track the hot part: take it from where the pointer is.
    SetHot(PartUnderCursor());
    Refresh();
}

// False when host code run by MouseUp destroyed the bar.
bool ucScrollbar::OnButtonUp(int button, int x, int y, WPARAM keys) {
    if ((held_ & button) == 0) {
        return true; // pressed somewhere else
    }
    held_ &= ~button;
    if (button == kLeftButton) {
        EndLeftPress();
    }
    if (held_ == 0 && ::GetCapture() == hwnd_) {
        ::ReleaseCapture(); // its WM_CAPTURECHANGED finds nothing left to end
    }
    return RaiseMouse(MouseUp, button, ShiftState(keys), x, y);
}

// Ends every press without its release (the capture went elsewhere). False when host code
// run by MouseUp destroyed the bar.
bool ucScrollbar::EndPresses() {
    const int held = held_;
    held_ = 0;
    if ((held & kLeftButton) != 0) {
        EndLeftPress();
    }
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::ScreenToClient(hwnd_, &cursor);
    const int shift = ShiftStateNow();
    for (int button : {kLeftButton, kRightButton, kMiddleButton}) {
        if ((held & button) != 0 && !RaiseMouse(MouseUp, button, shift, cursor.x, cursor.y)) {
            return false;
        }
    }
    return true;
}

// Gives the capture back and ends every press. False when host code run by MouseUp
// destroyed the bar.
bool ucScrollbar::ReleaseMouse() {
    if (::GetCapture() == hwnd_ && hwnd_ != nullptr) {
        const std::weak_ptr<int> alive = life_;
        ::ReleaseCapture(); // its WM_CAPTURECHANGED ends the presses
        if (alive.expired()) {
            return false;
        }
    }
    return held_ == 0 || EndPresses();
}

// Hidden or destroyed: nothing of the bar may keep running.
void ucScrollbar::GoIdle() {
    if (!ReleaseMouse()) {
        return;
    }
    model_.StopAnimation();
    StopTimer(kSmoothTimer);
    StopTimer(kPageDelayTimer);
    StopTimer(kRepeatTimer);
    SetHot(kNoPart);
}

LRESULT ucScrollbar::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const int x = static_cast<short>(LOWORD(lParam));
    const int y = static_cast<short>(HIWORD(lParam));
    switch (message) {
    case WM_PAINT: {
        PaintScope paint(hwnd_);
        Paint(paint.get());
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        Relayout();
        return 0;
    case WM_WINDOWPOSCHANGED: {
        const bool hidden = (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_HIDEWINDOW);
        const LRESULT result = DefaultProc(message, wParam, lParam); // sends WM_SIZE
        if (hidden) {
            GoIdle();
        }
        return result;
    }
    case WM_DESTROY:
        GoIdle();
        return 0;
    case WM_ENABLE:
        if (wParam == FALSE) {
            SetHot(kNoPart);
        }
        return 0;
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONDOWN:
        OnButtonDown(kLeftButton, x, y, wParam);
        return 0;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        OnButtonDown(message == WM_RBUTTONDOWN ? kRightButton : kMiddleButton, x, y, wParam);
        return 0;
    case WM_MOUSEMOVE:
        if ((wParam & MK_LBUTTON) && model_.PressedPart() == kThumb) {
            if (model_.DragTo(x, y)) {
                StartSmoothTimer();
                Refresh();
            }
        } else if (!(wParam & MK_LBUTTON)) {
            SetHot(HotPartAt(x, y));
        }
        return 0;
    case WM_LBUTTONUP:
        OnButtonUp(kLeftButton, x, y, wParam);
        return 0;
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        if (OnButtonUp(message == WM_RBUTTONUP ? kRightButton : kMiddleButton, x, y, wParam) &&
            hwnd_ != nullptr) {
            return DefaultProc(message, wParam, lParam); // WM_CONTEXTMENU, as before
        }
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != hwnd_ && held_ != 0) {
            EndPresses();
        }
        return 0;
    case WM_CANCELMODE:
        if (ReleaseMouse()) {
            SetHot(kNoPart);
        }
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
        Refresh();
        return 0;
    default:
        return DefaultProc(message, wParam, lParam);
    }
}

int ucScrollbar::PartState(int part) const {
    if (hotPart_ == part) {
        return 2;
    }
    return model_.PressedPart() == part ? 1 : 0;
}

void ucScrollbar::Paint(HDC dc) {
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    DibSurface buffer(client.right, client.bottom);
    if (!buffer) {
        return;
    }
    ::FillRect(buffer.dc(), &client, ::GetSysColorBrush(COLOR_WINDOW));
    switch (model_.Style()) {
    case 0:
        PaintClassic(buffer.dc(), false);
        break;
    case 2:
        if (!PaintThemed(buffer.dc())) {
            PaintClassic(buffer.dc(), false);
        }
        break;
    case 3:
        PaintOwnerDrawn(buffer.dc());
        break;
    default:
        PaintClassic(buffer.dc(), true);
        break;
    }
    ::BitBlt(dc, 0, 0, client.right, client.bottom, buffer.dc(), 0, 0, SRCCOPY);
}

void ucScrollbar::PaintClassic(HDC dc, bool flat) {
    const bool vertical = model_.Orientation() == 0;
    for (int part : {kArrow1, kArrow2}) {
        RECT r = ToRect(model_.Part(part));
        if (::IsRectEmpty(&r)) {
            continue;
        }
        UINT state = part == kArrow1 ? (vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT)
                                     : (vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT);
        if (!enabled_) {
            state |= DFCS_INACTIVE;
        } else if (PartState(part) == 1) {
            state |= DFCS_PUSHED | DFCS_FLAT;
        }
        if (flat) {
            state |= DFCS_FLAT;
        }
        ::DrawFrameControl(dc, &r, DFC_SCROLL, state);
        if (flat && enabled_ && (PartState(part) == 2 || PartState(part) == 1)) {
            ::InvertRect(dc, &r); // hot and pressed arrows stand out in the flat look
        }
    }
    for (int part : {kTrack1, kTrack2}) {
        RECT r = ToRect(model_.Part(part));
        const bool pressed = enabled_ && model_.PressedPart() == part;
        ::FillRect(dc, &r,
                   pressed ? static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)) : halftone_.get());
    }
    RECT gap = ToRect(model_.Gap());
    ::FillRect(dc, &gap, halftone_.get());
    RECT thumb = ToRect(model_.Part(kThumb));
    if (!enabled_ || ::IsRectEmpty(&thumb)) {
        return;
    }
    if (!flat) {
        ::FillRect(dc, &thumb, ::GetSysColorBrush(COLOR_BTNFACE));
        ::DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT);
    } else if (PartState(kThumb) != 0) {
        ::FillRect(dc, &thumb, ::GetSysColorBrush(COLOR_BTNSHADOW));
    }
}

bool ucScrollbar::PaintThemed(HDC dc) {
    HTHEME theme = ::OpenThemeData(hwnd_, L"Scrollbar");
    if (theme == nullptr) {
        return false;
    }
    const bool vertical = model_.Orientation() == 0;
    const bool arrowHot = hotPart_ == kArrow1 || hotPart_ == kArrow2;
    const auto arrowState = [&](int part) {
        const int base = part == kArrow1 ? (vertical ? ABS_UPNORMAL : ABS_LEFTNORMAL)
                                         : (vertical ? ABS_DOWNNORMAL : ABS_RIGHTNORMAL);
        if (!enabled_) {
            return base + 3;
        }
        if (arrowHot) {
            return base + 1;
        }
        return model_.PressedPart() == part ? base + 2 : base;
    };
    for (int part : {kArrow1, kArrow2}) {
        RECT r = ToRect(model_.Part(part));
        if (!::IsRectEmpty(&r)) {
            ::DrawThemeBackground(theme, dc, SBP_ARROWBTN, arrowState(part), &r, nullptr);
        }
    }
    const auto trackState = [&](int part) {
        return !enabled_ ? SCRBS_DISABLED
                         : (model_.PressedPart() == part ? SCRBS_PRESSED : SCRBS_NORMAL);
    };
    RECT r1 = ToRect(model_.Part(kTrack1)), r2 = ToRect(model_.Part(kTrack2)),
         gap = ToRect(model_.Gap());
    ::DrawThemeBackground(theme, dc, vertical ? SBP_UPPERTRACKVERT : SBP_UPPERTRACKHORZ,
                          trackState(kTrack1), &r1, nullptr);
    ::DrawThemeBackground(theme, dc, vertical ? SBP_LOWERTRACKVERT : SBP_LOWERTRACKHORZ,
                          trackState(kTrack2), &r2, nullptr);
    if (!::IsRectEmpty(&gap)) {
        ::DrawThemeBackground(theme, dc, vertical ? SBP_UPPERTRACKVERT : SBP_UPPERTRACKHORZ,
                              SCRBS_NORMAL, &gap, nullptr);
    }
    RECT thumb = ToRect(model_.Part(kThumb));
    if (!::IsRectEmpty(&thumb)) {
        const int state = !enabled_                ? SCRBS_DISABLED
                          : PartState(kThumb) == 2 ? SCRBS_HOT
                          : PartState(kThumb) == 1 ? SCRBS_PRESSED
                                                   : SCRBS_NORMAL;
        ::DrawThemeBackground(theme, dc, vertical ? SBP_THUMBBTNVERT : SBP_THUMBBTNHORZ, state,
                              &thumb, nullptr);
        if (model_.ThumbSize() >= 16) {
            ::DrawThemeBackground(theme, dc, vertical ? SBP_GRIPPERVERT : SBP_GRIPPERHORZ, state,
                                  &thumb, nullptr);
        }
    }
    ::CloseThemeData(theme);
    return true;
}

void ucScrollbar::PaintOwnerDrawn(HDC dc) {
    if (!OnPaint) {
        return;
    }
    const auto raise = [&](const PartRect& r, int part, int state) {
        OnPaint(dc, r.left, r.top, r.right, r.bottom, part, state);
    };
    raise(model_.Part(kArrow1), 0, PartState(kArrow1));
    raise(model_.Part(kArrow2), 1, PartState(kArrow2));
    if (model_.HasTrack()) {
        raise(model_.Part(kTrack1), 2, model_.PressedPart() == kTrack1 ? 1 : 0);
        raise(model_.Part(kTrack2), 3, model_.PressedPart() == kTrack2 ? 1 : 0);
        raise(model_.Part(kThumb), 5, PartState(kThumb));
    }
    if (!model_.Gap().Empty()) {
        raise(model_.Gap(), 4, 0);
    }
}

} // namespace zelk
