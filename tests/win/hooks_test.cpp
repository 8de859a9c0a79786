// The order of the calls and the error texts are the core's (hooks_test there); these show
// the order on real windows.
#include <gtest/gtest.h>

#include "controls/clsSubClass.h"
#include "test_support.h"

using namespace zelk;

namespace {

constexpr UINT kProbe = WM_APP + 1;
constexpr UINT kNested = WM_APP + 2;

// A plain window whose own procedure records what reaches it.
struct ProbeWindow {
    static inline std::vector<UINT> seen;
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == kProbe || msg == WM_DESTROY) {
            seen.push_back(msg);
        }
        return msg == kProbe ? 5 : ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    ProbeWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ZelkHookProbe";
        ::RegisterClassW(&wc);
        hwnd = ::CreateWindowExW(0, L"ZelkHookProbe", L"", 0, 0, 0, 10, 10, nullptr, nullptr,
                                 wc.hInstance, nullptr);
        seen.clear();
    }
    ~ProbeWindow() { ::DestroyWindow(hwnd); }
    HWND hwnd;
};

} // namespace

TEST(Hooks, BeforeAndAfterCallbacksAroundTheWindowsOwnProcedure) {
    RecordingUiServices services;
    ProbeWindow window;
    clsSubClass sc(services);
    std::vector<LRESULT> calls;
    bool handleBefore = false;
    int destroys = 0;
    sc.WindowProc = [&](bool& handled, LRESULT& ret, HWND&, UINT& msg, WPARAM&, LPARAM&) {
        destroys += msg == WM_DESTROY ? 1 : 0;
        if (msg == kProbe) {
            calls.push_back(ret);
            handled = handleBefore && calls.size() == 1;
            ret = handled ? 9 : ret + 1;
        }
    };
    ASSERT_TRUE(sc.ssc_Subclass(window.hwnd));
    sc.ssc_AddMsg(window.hwnd, kProbe, MSG_BEFORE_AND_AFTER);
    EXPECT_EQ(::SendMessageW(window.hwnd, kProbe, 0, 0), 6);
    EXPECT_EQ(calls, (std::vector<LRESULT>{0, 5}));
    EXPECT_EQ(ProbeWindow::seen, std::vector<UINT>{kProbe});

    calls.clear();
    ProbeWindow::seen.clear();
    handleBefore = true;
    EXPECT_EQ(::SendMessageW(window.hwnd, kProbe, 0, 0), 10);
    EXPECT_EQ(calls, (std::vector<LRESULT>{0, 9}));
    EXPECT_TRUE(ProbeWindow::seen.empty());
    EXPECT_TRUE(services.boxes.empty());

    // The destroy reaches everyone once, then the hook removes itself: nothing is hooked.
    sc.ssc_AddMsg(window.hwnd, ALL_MESSAGES, MSG_BEFORE_AND_AFTER);
    ::DestroyWindow(window.hwnd);
    EXPECT_EQ(destroys, 1);
    EXPECT_EQ(ProbeWindow::seen, std::vector<UINT>{WM_DESTROY});
    sc.ssc_AddMsg(window.hwnd, kProbe);
    EXPECT_EQ(services.boxes.back().caption, L"Error in clsSubClass.zMap_VFunction");
}

TEST(Hooks, UnhookFromInsideANestedCallIsSafe) {
    RecordingUiServices services;
    ProbeWindow window;
    int callbacks = 0;
    {
        clsSubClass sc(services);
        sc.WindowProc = [&](bool&, LRESULT&, HWND& hwnd, UINT& msg, WPARAM&, LPARAM&) {
            ++callbacks;
            if (msg == kNested) {
                ::SendMessageW(hwnd, kProbe, 0, 0);
                sc.ssc_UnSubclass(hwnd);
            }
        };
        ASSERT_TRUE(sc.ssc_Subclass(window.hwnd));
        sc.ssc_AddMsg(window.hwnd, kNested);
        sc.ssc_AddMsg(window.hwnd, kProbe);
        ::SendMessageW(window.hwnd, kNested, 0, 0);
        EXPECT_EQ(::SendMessageW(window.hwnd, kProbe, 0, 0), 5);
        EXPECT_EQ(callbacks, 2);
        clsSubClass second(services); // hooks the window the first one left
        ASSERT_TRUE(second.ssc_Subclass(window.hwnd));
    } // both owners gone: the window must keep working on its own procedure
    EXPECT_EQ(::SendMessageW(window.hwnd, kProbe, 0, 0), 5);
    EXPECT_TRUE(services.boxes.empty());
}
