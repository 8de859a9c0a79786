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
    if (hwnd_ != nullptr) {
        ::KillTimer(hwnd_, kHotTimer);
        ::KillTimer(hwnd_, kPageDelayTimer);
        ::KillTimer(hwnd_, kRepeatTimer);
        ::KillTimer(hwnd_, kSmoothTimer);
        ::DestroyWindow(hwnd_);
    }
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
    ::EnableWindow(hwnd_, enabled);
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
    if (model_.AnimationRunning()) {
        ::SetTimer(hwnd_, kSmoothTimer, 10, nullptr);
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

void ucScrollbar::OnTimer(UINT_PTR id) {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::ScreenToClient(hwnd_, &cursor);
    switch (id) {
    case kSmoothTimer:
        model_.Tick();
        if (!model_.AnimationRunning()) {
            ::KillTimer(hwnd_, kSmoothTimer);
        }
        break;
    case kPageDelayTimer:
        ::KillTimer(hwnd_, kPageDelayTimer);
        ::SetTimer(hwnd_, kRepeatTimer, static_cast<UINT>(model_.ChangeFrequency()), nullptr);
        break;
    case kRepeatTimer: {
        const int pressed = model_.PressedPart();
        model_.RepeatStep(cursor.x, cursor.y);
        StartSmoothTimer();
        if (pressed == kArrow1 || pressed == kArrow2) {
            ::SetTimer(hwnd_, kRepeatTimer, 50, nullptr);
        }
        Refresh();
        break;
    }
    case kHotTimer:
        if (hotPart_ != kNoPart && !model_.Part(hotPart_).Contains(cursor.x, cursor.y)) {
            hotPart_ = kNoPart;
            ::KillTimer(hwnd_, kHotTimer);
            Refresh();
        }
        break;
    default:
        break;
    }
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
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONDOWN: {
        if (!enabled_) {
            return 0;
        }
        ::SetCapture(hwnd_);
        model_.Press(x, y);
        const int pressed = model_.PressedPart();
        if (pressed == kArrow1 || pressed == kArrow2) {
            ::SetTimer(hwnd_, kRepeatTimer, static_cast<UINT>(model_.ChangeDelay()), nullptr);
        } else if (pressed == kTrack1 || pressed == kTrack2) {
            ::SetTimer(hwnd_, kPageDelayTimer, static_cast<UINT>(model_.ChangeDelay()), nullptr);
        }
        StartSmoothTimer();
        Refresh();
        return 0;
    }
    case WM_MOUSEMOVE:
        if ((wParam & MK_LBUTTON) && model_.PressedPart() == kThumb) {
            if (model_.DragTo(x, y)) {
                StartSmoothTimer();
                Refresh();
            }
        } else if (!(wParam & MK_LBUTTON)) {
            const int part = model_.HitTest(x, y);
            const int hot = (part == kArrow1 || part == kArrow2 || part == kThumb) ? part : kNoPart;
            if (hot != hotPart_) {
                hotPart_ = hot;
                if (hot != kNoPart) {
                    ::SetTimer(hwnd_, kHotTimer, 25, nullptr);
                }
                Refresh();
            }
        }
        return 0;
    case WM_LBUTTONUP:
    case WM_CANCELMODE:
        ::KillTimer(hwnd_, kHotTimer);
        ::KillTimer(hwnd_, kPageDelayTimer);
        ::KillTimer(hwnd_, kRepeatTimer);
        model_.Release();
        if (::GetCapture() == hwnd_) {
            ::ReleaseCapture();
        }
        Refresh();
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
