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
        if (there() && (PumpFor(60), there())) {
            return true;
        }
    }
    return false;
}

// A shown, topmost container with a shown bar 16 x 300 on its right, somewhere on the screen
// where nothing else is, so that the pointer can be put on each part. The host's events are
// recorded as the host sees them: MouseDown after the bar holds the mouse and (for the left
// button) the pressed part, MouseUp after it has let both go.
struct Stage {
    RecordingUiServices services;
    TestWindow host{0, 0, 100, 300};
    ucScrollbar bar{host.window, services, 84, 0, 16, 300};
    unique_window cover;
    int arrow = ::GetSystemMetrics(SM_CYVSCROLL);
    std::vector<std::string> events;

    Stage() {
        ::SetWindowPos(host.window, HWND_TOPMOST, 300, 200, 100, 300, SWP_NOACTIVATE);
        ::ShowWindow(host.window, SW_SHOWNA);
        bar.SetShowButtons(true);
        bar.SetVisible(true);
        bar.Model().SetSmoothScrollFactor(100); // a glide ends after one step
        const auto record = [this](const char* what, int button) {
            events.push_back(what + std::to_string(button) +
                             (::GetCapture() == window() ? " captured" : " free") +
                             (bar.Model().PressedPart() != kNoPart ? " pressed" : ""));
        };
        bar.MouseDown = [record](int& button, int&, float&, float&) { record("down ", button); };
        bar.MouseUp = [record](int& button, int&, float&, float&) { record("up ", button); };
        PumpMessages();
    }
    HWND window() const { return bar.hwnd(); }
    POINT Screen(POINT client) const {
        ::ClientToScreen(bar.hwnd(), &client);
        return client;
    }
    // Where each part is, in the bar's client pixels.
    POINT Arrow1() const { return {8, arrow / 2}; }
    POINT Arrow2() const { return {8, 300 - arrow / 2}; }
    POINT Thumb() const { return {8, arrow + 4}; }
    POINT Track2() const { return {8, 300 - arrow - 6}; }
    // Rests the pointer on a hot part: the bar's hot tracking runs.
    void HoverHot(POINT client) {
        ASSERT_TRUE(PointAt(Screen(client)));
        Send(WM_MOUSEMOVE, 0, client);
        ASSERT_NE(bar.RunningTimers(), 0);
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
    const Events click{"down 1 captured pressed", "up 1 free"};
    const struct {
        const char* name;
        std::function<void(Stage&)> run;
        Events events;
    } cases[] = {
        // The bar gets no message for that: its hot tracking sees it.
        {"hot arrow, then another window covers the bar",
         [](Stage& s) {
             s.HoverHot(s.Arrow2());
             const POINT at = s.Screen({-10, 200});
             s.cover.reset(::CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, L"BUTTON", L"",
                                             WS_POPUP, at.x, at.y, 60, 200, nullptr, nullptr,
                                             ::GetModuleHandleW(nullptr), nullptr));
             ::ShowWindow(s.cover.get(), SW_SHOWNA);
         },
         {}},
        {"left on an arrow: it scrolls",
         [](Stage& s) {
             s.Send(WM_LBUTTONDOWN, MK_LBUTTON, s.Arrow2());
             s.Send(WM_LBUTTONUP, 0, s.Arrow2());
             CountTimers(s.window(), 200);
             EXPECT_EQ(s.bar.Value(), 10);
         },
         click},
        {"left held on a hot arrow, repeating, released away from the bar",
         [](Stage& s) {
             s.HoverHot(s.Arrow2());
             s.Send(WM_LBUTTONDOWN, MK_LBUTTON, s.Arrow2());
             CountTimers(s.window(), 400);
             EXPECT_TRUE(PointAt({700, 600}));
             s.Send(WM_LBUTTONUP, 0, {-50, 400});
         },
         click},
        {"right, then left held together: only the left one scrolls",
         [](Stage& s) {
             s.Send(WM_RBUTTONDOWN, MK_RBUTTON, s.Arrow2());
             EXPECT_EQ(s.bar.Model().Target(), 0);
             s.Send(WM_LBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, s.Arrow2());
             s.Send(WM_LBUTTONUP, MK_RBUTTON, s.Arrow2());
             s.Send(WM_RBUTTONUP, 0, s.Arrow2());
         },
         {"down 2 captured", "down 1 captured pressed", "up 1 captured", "up 2 free"}},
        {"track held until the thumb reaches the pointer, button still down",
         [](Stage& s) {
             EXPECT_TRUE(PointAt(s.Screen(s.Track2())));
             s.Send(WM_LBUTTONDOWN, MK_LBUTTON, s.Track2());
             for (int i = 0; i < 500 && s.bar.Model().PressedPart() != kNoPart; ++i) {
                 CountTimers(s.window(), 10);
             }
             EXPECT_EQ(s.bar.Model().PressedPart(), kNoPart);
         },
         {"down 1 captured pressed"}},
        {"arrow held, repeating, when another window takes the capture",
         [](Stage& s) {
             s.HoverHot(s.Arrow2());
             s.Send(WM_LBUTTONDOWN, MK_LBUTTON, s.Arrow2());
             CountTimers(s.window(), 400);
             EXPECT_TRUE(PointAt(s.Screen({-30, 100})));
             ::SetCapture(s.host.window);
             ::ReleaseCapture();
         },
         click},
        {"left held when the bar is hidden",
         [](Stage& s) {
             s.Send(WM_LBUTTONDOWN, MK_LBUTTON, s.Thumb());
             s.bar.SetVisible(false);
         },
         click},
        {"a disabled bar",
         [](Stage& s) {
             s.bar.SetEnabled(false);
             s.Send(WM_LBUTTONDOWN, MK_LBUTTON, s.Arrow1());
             s.Send(WM_LBUTTONUP, 0, s.Arrow1());
         },
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(PointAt({700, 600}));
        Stage stage;
        c.run(stage);
        EXPECT_EQ(stage.events, c.events);
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
    Stage s;
    s.bar.SetShowButtons(false);
    s.bar.SetStyle(3);
    std::vector<int> parts;
    s.bar.OnPaint = [&](HDC dc, int, int, int, int, int part, int) {
        parts.push_back(dc != nullptr ? part : -1);
    };
    ::RedrawWindow(s.window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(parts, (std::vector<int>{0, 1, 2, 3, 5}));
}

TEST(ScrollbarWindow, WheelOverTheTrackedWindowScrolls) {
    Stage s;
    s.bar.Model().SetWheelChange(30);
    const auto wheel = [&] {
        // Over the container, not the bar; put back before each wheel turn.
        ASSERT_TRUE(PointAt(s.Screen({-40, 150})));
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
