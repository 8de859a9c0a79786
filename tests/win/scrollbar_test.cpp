#include <gtest/gtest.h>

#include "controls/ucScrollbar.h"
#include "test_support.h"

using namespace zelk;

namespace {

struct Host {
    HWND window = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 300, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr);
    ~Host() { ::DestroyWindow(window); }
};

void PumpFor(DWORD ms) {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < ms) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        PumpMessages();
    }
}

} // namespace

TEST(ScrollbarWindow, ArrowPressGlidesAndRaisesChange) {
    RecordingUiServices services;
    Host host;
    ucScrollbar bar(host.window, services, 0, 0, 16, 232);
    bar.SetShowButtons(true);
    int changes = 0;
    bar.Change = [&] { ++changes; };
    const int arrow = ::GetSystemMetrics(SM_CYVSCROLL);
    ::SendMessageW(bar.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 232 - arrow / 2));
    ::SendMessageW(bar.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(8, 232 - arrow / 2));
    EXPECT_EQ(bar.Model().Target(), 10);
    PumpFor(600);
    EXPECT_EQ(bar.Value(), 10);
    EXPECT_GE(changes, 2); // it glided there in steps
    EXPECT_TRUE(services.boxes.empty());
}

TEST(ScrollbarWindow, OwnerDrawnLookLeavesEveryPartToTheContainer) {
    RecordingUiServices services;
    Host host;
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
    RecordingUiServices services;
    Host host;
    ::ShowWindow(host.window, SW_SHOWNA);
    ucScrollbar bar(host.window, services, 84, 0, 16, 300);
    bar.SetVisible(true);
    bar.Model().SetWheelChange(30);
    // Over the container, not the bar. The pointer moves asynchronously under X, and a
    // desktop that is still starting may move it again: put it back before each wheel turn.
    const auto pointAt = [](int x, int y) {
        POINT at{};
        for (int i = 0; i < 100; ++i) {
            ::SetCursorPos(x, y);
            PumpFor(10);
            ::GetCursorPos(&at);
            if (at.x == x && at.y == y) {
                return true;
            }
        }
        return false;
    };
    ASSERT_TRUE(pointAt(20, 150));
    ::SendMessageW(host.window, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(20, 150));
    EXPECT_EQ(bar.Model().Target(), 0); // not taken
    bar.TrackMouseWheelOnHwnd(host.window);
    ASSERT_TRUE(pointAt(20, 150));
    ::SendMessageW(host.window, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(20, 150));
    EXPECT_EQ(bar.Model().Target(), 30);
    PumpFor(500);
    EXPECT_EQ(bar.Value(), 30);
}
