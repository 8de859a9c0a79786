#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/ucScrollbar.h"
#include "list_support.h"

using namespace zelk;

namespace {

// The pointer moves asynchronously under X: in the Wine desktop the motion of an earlier
// SetCursorPos can arrive just after a later one and put the pointer back where it was. Put
// it where it is wanted until it stays there.
bool PointAt(POINT screen) {
    const auto there = [&] {
        POINT at{};
        return ::GetCursorPos(&at) && at.x == screen.x && at.y == screen.y;
    };
    for (int i = 0; i < 100; ++i) {
        ::SetCursorPos(screen.x, screen.y);
        PumpFor(10);
        if (there()) {
            PumpFor(60);
            if (there()) {
                return true;
            }
        }
    }
    return false;
}

// Pumps for `ms` and counts the WM_TIMER messages addressed to `window`.
int CountTimers(HWND window, DWORD ms) {
    int count = 0;
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < ms) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_TIMER && msg.hwnd == window) {
                ++count;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return count;
}

// Pumps until a WM_TIMER for `window` arrives; false when none comes within two seconds.
bool TimerArrives(HWND window) {
    for (int i = 0; i < 200; ++i) {
        if (CountTimers(window, 10) > 0) {
            return true;
        }
    }
    return false;
}

// A plain window class: its windows take the pointer.
const wchar_t* CoverClass() {
    static const ATOM atom = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ZelkTestCover";
        return ::RegisterClassExW(&wc);
    }();
    return reinterpret_cast<const wchar_t*>(static_cast<ULONG_PTR>(atom));
}

// A shown, topmost container with a shown bar 16 x 300 on its right, somewhere on the screen
// where nothing else is, so that the pointer can be put on each part.
struct Stage {
    RecordingUiServices services;
    TestWindow host{0, 0, 100, 300};
    ucScrollbar bar{host.window, services, 84, 0, 16, 300};
    HWND cover = nullptr;
    int arrow = ::GetSystemMetrics(SM_CYVSCROLL);

    Stage() {
        ::SetWindowPos(host.window, HWND_TOPMOST, 300, 200, 100, 300, SWP_NOACTIVATE);
        ::ShowWindow(host.window, SW_SHOWNA);
        bar.SetShowButtons(true);
        bar.SetVisible(true);
        bar.Model().SetSmoothScrollFactor(100); // a glide ends after one step
        PumpMessages();
    }
    ~Stage() {
        if (cover != nullptr) {
            ::DestroyWindow(cover);
        }
    }
    HWND window() const { return bar.hwnd(); }
    POINT Screen(int x, int y) const {
        POINT p{x, y};
        ::ClientToScreen(bar.hwnd(), &p);
        return p;
    }
    // Where each part is, in the bar's client pixels.
    POINT Arrow1() const { return {8, arrow / 2}; }
    POINT Arrow2() const { return {8, 300 - arrow / 2}; }
    POINT Thumb() const { return {8, arrow + 4}; }
    POINT Track2() const { return {8, 300 - arrow - 6}; }
    // The pointer onto a point of the bar, with the move message the bar then gets.
    void Hover(POINT client) {
        ASSERT_TRUE(PointAt(Screen(client.x, client.y)));
        ::SendMessageW(bar.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
    }
    // Rests on a hot part until the bar's hot tracking is seen running.
    void HoverHot(POINT client) {
        Hover(client);
        ASSERT_TRUE(TimerArrives(bar.hwnd()));
    }
    void Send(UINT message, WPARAM keys, POINT client) {
        ::SendMessageW(bar.hwnd(), message, keys, MAKELPARAM(client.x, client.y));
    }
};

} // namespace

// Whatever a person does with the pointer and the buttons, the host sees each press begin and
// end once, and the bar ends with no timer left to wake the program.
TEST(ScrollbarWindow, EveryPressRaisesMouseDownThenOneMouseUpAndTheBarFallsIdle) {
    using Events = std::vector<std::string>;
    struct Case {
        const char* name;
        // Acts on the bar and answers the events it should have raised.
        std::function<Events(Stage&)> run;
    };
    const auto at = [](POINT p) { return std::to_string(p.x) + "," + std::to_string(p.y); };
    const Case cases[] = {
        {"hot arrow, then the track",
         [](Stage& s) {
             s.HoverHot(s.Arrow1());
             s.Hover(s.Track2());
             return Events{};
         }},
        {"hot arrow, then the container beside the bar",
         [](Stage& s) {
             s.HoverHot(s.Arrow2());
             EXPECT_TRUE(PointAt(s.Screen(-40, 150))); // the bar gets no message for that
             return Events{};
         }},
        {"hot arrow, then the bar is disabled under the pointer",
         [](Stage& s) {
             s.HoverHot(s.Arrow1());
             s.bar.SetEnabled(false);
             return Events{};
         }},
        {"hot arrow, then another window covers the bar",
         [](Stage& s) {
             s.HoverHot(s.Arrow2());
             const POINT cover = s.Screen(-10, 200);
             // Not a STATIC: those let the pointer through to what lies below.
             s.cover = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, CoverClass(), L"",
                                         WS_POPUP, cover.x, cover.y, 60, 200, nullptr, nullptr,
                                         ::GetModuleHandleW(nullptr), nullptr);
             ::ShowWindow(s.cover, SW_SHOWNA);
             return Events{};
         }},
        {"left on an arrow: it scrolls",
         [&](Stage& s) {
             s.Send(WM_LBUTTONDOWN, MK_LBUTTON, s.Arrow2());
             s.Send(WM_LBUTTONUP, 0, s.Arrow2());
             CountTimers(s.window(), 200);
             EXPECT_EQ(s.bar.Value(), 10);
             return Events{"down 1 0 " + at(s.Arrow2()) + " captured pressed",
                           "up 1 0 " + at(s.Arrow2()) + " free"};
         }},
        {"shift and left on a hot arrow, held, released away from the bar",
         [&](Stage& s) {
             s.HoverHot(s.Arrow2());
             s.Send(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, s.Arrow2());
             CountTimers(s.window(), 400); // the auto-repeat starts
             EXPECT_TRUE(PointAt({700, 600}));
             s.Send(WM_LBUTTONUP, MK_SHIFT, {-50, 400});
             return Events{"down 1 1 " + at(s.Arrow2()) + " captured pressed",
                           "up 1 1 -50,400 free"};
         }},
        {"control and right on the thumb",
         [&](Stage& s) {
             s.Send(WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, s.Thumb());
             s.Send(WM_RBUTTONUP, MK_CONTROL, s.Thumb());
             EXPECT_EQ(s.bar.Model().Target(), 0); // only the left button scrolls
             return Events{"down 2 2 " + at(s.Thumb()) + " captured",
                           "up 2 2 " + at(s.Thumb()) + " free"};
         }},
        {"left and right held together",
         [&](Stage& s) {
             s.Send(WM_LBUTTONDOWN, MK_LBUTTON, s.Arrow2());
             s.Send(WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, s.Arrow2());
             s.Send(WM_LBUTTONUP, MK_RBUTTON, s.Arrow2());
             s.Send(WM_RBUTTONUP, 0, s.Arrow2());
             return Events{"down 1 0 " + at(s.Arrow2()) + " captured pressed",
                           "down 2 0 " + at(s.Arrow2()) + " captured pressed",
                           "up 1 0 " + at(s.Arrow2()) + " captured", // the right one still holds it
                           "up 2 0 " + at(s.Arrow2()) + " free"};
         }},
        {"track held until the thumb reaches the pointer, button still down",
         [&](Stage& s) {
             EXPECT_TRUE(PointAt(s.Screen(s.Track2().x, s.Track2().y)));
             s.Send(WM_LBUTTONDOWN, MK_LBUTTON, s.Track2());
             for (int i = 0; i < 500 && s.bar.Model().PressedPart() != kNoPart; ++i) {
                 CountTimers(s.window(), 10);
             }
             EXPECT_EQ(s.bar.Model().PressedPart(), kNoPart);
             return Events{"down 1 0 " + at(s.Track2()) + " captured pressed"};
         }},
        {"arrow held, repeating, when another window takes the capture",
         [&](Stage& s) {
             const POINT rest{-30, 100}; // a press that ends by itself reports the pointer
             s.HoverHot(s.Arrow2());
             s.Send(WM_LBUTTONDOWN, MK_LBUTTON, s.Arrow2());
             CountTimers(s.window(), 400);
             EXPECT_TRUE(PointAt(s.Screen(rest.x, rest.y)));
             ::SetCapture(s.host.window);
             ::ReleaseCapture();
             s.Send(WM_LBUTTONUP, 0, s.Arrow2()); // too late: that press is over
             return Events{"down 1 0 " + at(s.Arrow2()) + " captured pressed",
                           "up 1 0 " + at(rest) + " free"};
         }},
        {"left held when the bar is hidden",
         [&](Stage& s) {
             const POINT rest{-20, 150};
             EXPECT_TRUE(PointAt(s.Screen(rest.x, rest.y)));
             s.Send(WM_LBUTTONDOWN, MK_LBUTTON, s.Thumb());
             s.bar.SetVisible(false);
             s.Send(WM_LBUTTONUP, 0, s.Thumb());
             return Events{"down 1 0 " + at(s.Thumb()) + " captured pressed",
                           "up 1 0 " + at(rest) + " free"};
         }},
        {"a release without a press on the bar",
         [&](Stage& s) {
             s.Send(WM_LBUTTONUP, 0, s.Arrow1());
             return Events{};
         }},
        {"a disabled bar",
         [&](Stage& s) {
             s.bar.SetEnabled(false);
             s.Send(WM_LBUTTONDOWN, MK_LBUTTON, s.Arrow1());
             s.Send(WM_LBUTTONUP, 0, s.Arrow1());
             return Events{};
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(PointAt({700, 600}));
        Stage stage;
        Events events;
        // The bar's own handling comes first: in MouseDown it holds the mouse and (for the
        // left button) the pressed part; in MouseUp it has let both go.
        const auto record = [&](const char* what, int button, int shift, float x, float y) {
            std::string line = std::string(what) + " " + std::to_string(button) + " " +
                               std::to_string(shift) + " " + std::to_string(static_cast<int>(x)) +
                               "," + std::to_string(static_cast<int>(y));
            line += ::GetCapture() == stage.window() ? " captured" : " free";
            events.push_back(line + (stage.bar.Model().PressedPart() != kNoPart ? " pressed" : ""));
        };
        stage.bar.MouseDown = [&](int& b, int& s, float& x, float& y) {
            record("down", b, s, x, y);
        };
        stage.bar.MouseUp = [&](int& b, int& s, float& x, float& y) { record("up", b, s, x, y); };
        EXPECT_EQ(c.run(stage), events);
        // Seeing the pointer gone may take the bar one tick of its hot tracking; wait for it
        // to say it is idle rather than trusting the clock, then check that nothing comes.
        CountTimers(stage.window(), 100);
        for (int i = 0; i < 200 && stage.bar.RunningTimers() != 0; ++i) {
            CountTimers(stage.window(), 10);
        }
        EXPECT_EQ(stage.bar.RunningTimers(), 0);
        EXPECT_EQ(CountTimers(stage.window(), 300), 0);
    }
}

TEST(ScrollbarWindow, OwnerDrawnLookLeavesEveryPartToTheContainer) {
    RecordingUiServices services;
    TestWindow host(0, 0, 100, 300);
    ucScrollbar bar(host.window, services, 0, 0, 8, 200);
    bar.SetShowButtons(false);
    bar.SetStyle(3);
    std::vector<int> parts;
    bar.OnPaint = [&](HDC dc, int, int, int, int, int part, int) {
        EXPECT_NE(dc, nullptr);
        parts.push_back(part);
    };
    ::ShowWindow(host.window, SW_SHOWNA);
    ::ShowWindow(bar.hwnd(), SW_SHOWNA);
    ::RedrawWindow(bar.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(parts, (std::vector<int>{0, 1, 2, 3, 5}));
}

TEST(ScrollbarWindow, WheelOverTheTrackedWindowScrolls) {
    Stage s;
    s.bar.Model().SetWheelChange(30);
    const auto wheel = [&] {
        // Over the container, not the bar; put back before each wheel turn.
        ASSERT_TRUE(PointAt(s.Screen(-40, 150)));
        ::SendMessageW(s.host.window, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    };
    wheel();
    EXPECT_EQ(s.bar.Model().Target(), 0); // not taken
    s.bar.TrackMouseWheelOnHwnd(s.host.window);
    wheel();
    EXPECT_EQ(s.bar.Model().Target(), 30);
    PumpFor(100);
    EXPECT_EQ(s.bar.Value(), 30);
}
