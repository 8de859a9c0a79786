#include <gtest/gtest.h>

#include "controls/clsSubClass.h"
#include "test_support.h"

using namespace zelk;

namespace {

constexpr UINT kProbe = WM_APP + 1;
constexpr UINT kNested = WM_APP + 2;

// A plain window whose own procedure records what reaches it.
struct ProbeWindow {
    static std::vector<UINT>& Seen() {
        static std::vector<UINT> seen;
        return seen;
    }
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == kProbe || msg == WM_DESTROY || msg == kNested) {
            Seen().push_back(msg);
        }
        if (msg == kProbe) {
            return 5;
        }
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    ProbeWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ZelkHookProbe";
        ::RegisterClassW(&wc);
        hwnd = ::CreateWindowExW(0, L"ZelkHookProbe", L"", 0, 0, 0, 10, 10, nullptr, nullptr,
                                 wc.hInstance, nullptr);
        Seen().clear();
    }
    ~ProbeWindow() {
        if (::IsWindow(hwnd)) {
            ::DestroyWindow(hwnd);
        }
    }
    HWND hwnd;
};

} // namespace

TEST(Hooks, BeforeAndAfterCallbacksAroundThePreviousProcedure) {
    RecordingUiServices services;
    ProbeWindow window;
    clsSubClass sc(services);
    std::vector<std::string> calls;
    bool handleBefore = false;
    sc.WindowProc = [&](bool& handled, LRESULT& ret, HWND&, UINT& msg, WPARAM&, LPARAM&) {
        if (msg != kProbe) {
            return;
        }
        calls.push_back("cb:" + std::to_string(ret));
        if (handleBefore && calls.size() == 1) {
            handled = true;
            ret = 9;
        } else if (!handleBefore) {
            ret += 1;
        }
    };
    ASSERT_TRUE(sc.ssc_Subclass(window.hwnd));
    sc.ssc_AddMsg(window.hwnd, kProbe, MSG_BEFORE_AND_AFTER);
    sc.ssc_AddMsg(window.hwnd, kProbe, MSG_AFTER); // already there: no change

    EXPECT_EQ(::SendMessageW(window.hwnd, kProbe, 0, 0), 6);
    EXPECT_EQ(calls, (std::vector<std::string>{"cb:0", "cb:5"}));
    EXPECT_EQ(ProbeWindow::Seen(), std::vector<UINT>{kProbe});

    calls.clear();
    ProbeWindow::Seen().clear();
    handleBefore = true;
    // The after call still comes, with the value the before call returned.
    EXPECT_EQ(::SendMessageW(window.hwnd, kProbe, 0, 0), 9);
    EXPECT_EQ(calls, (std::vector<std::string>{"cb:0", "cb:9"}));
    EXPECT_TRUE(ProbeWindow::Seen().empty()); // the window's own procedure never ran

    sc.ssc_DelMsg(window.hwnd, kProbe, MSG_BEFORE_AND_AFTER);
    calls.clear();
    EXPECT_EQ(::SendMessageW(window.hwnd, kProbe, 0, 0), 5);
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(services.boxes.empty());
}

TEST(Hooks, MisuseIsReportedWithTheExactTexts) {
    RecordingUiServices services;
    ProbeWindow window;
    clsSubClass sc(services);
    sc.ssc_AddMsg(window.hwnd, kProbe); // nothing hooked yet
    ASSERT_EQ(services.boxes.size(), 1u);
    EXPECT_EQ(services.boxes[0].caption, L"Error in clsSubClass.zMap_VFunction");
    EXPECT_EQ(services.boxes[0].text, L"Thunk hasn't been initialized.");
    EXPECT_EQ(services.boxes[0].flags, static_cast<UINT>(MB_ICONEXCLAMATION));
    ASSERT_EQ(services.logs.size(), 1u);
    EXPECT_EQ(services.logs[0].type, EVENTLOG_ERROR_TYPE);
    EXPECT_EQ(services.logs[0].text, L"clsSubClass.zMap_VFunction: Thunk hasn't been initialized");

    EXPECT_FALSE(sc.ssc_Subclass(reinterpret_cast<HWND>(0x7FFF0)));
    EXPECT_EQ(services.boxes.back().text, L"Invalid window handle.");

    ASSERT_TRUE(sc.ssc_Subclass(window.hwnd));
    for (UINT m = 0; m < 32; ++m) {
        sc.ssc_AddMsg(window.hwnd, static_cast<int32_t>(WM_APP + 100 + m));
    }
    const size_t reports = services.boxes.size();
    sc.ssc_AddMsg(window.hwnd, WM_APP + 500);
    ASSERT_EQ(services.boxes.size(), reports + 1);
    EXPECT_EQ(services.boxes.back().caption, L"Error in clsSubClass.zAddMsg");

    sc.ssc_DelMsg(window.hwnd, 0x20A);
    EXPECT_EQ(services.boxes.back().text, L"Message &H20A not found in table.");
    EXPECT_EQ(services.boxes.back().caption, L"Error in clsSubClass.zDelMsg");

    HWND other =
        ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    sc.ssc_AddMsg(other, kProbe);
    EXPECT_EQ(services.boxes.back().text, L"Thunk type for ID of " +
                                              std::to_wstring(reinterpret_cast<intptr_t>(other)) +
                                              L" does not exist.");
    ::DestroyWindow(other);
}

TEST(Hooks, DestroyReachesEveryoneThenTheHookRemovesItself) {
    RecordingUiServices services;
    ProbeWindow window;
    clsSubClass sc(services);
    std::vector<std::string> calls;
    sc.WindowProc = [&](bool&, LRESULT&, HWND&, UINT& msg, WPARAM&, LPARAM&) {
        if (msg == WM_DESTROY) {
            calls.push_back("destroy");
        }
    };
    ASSERT_TRUE(sc.ssc_Subclass(window.hwnd));
    sc.ssc_AddMsg(window.hwnd, ALL_MESSAGES, MSG_BEFORE_AND_AFTER);
    ::DestroyWindow(window.hwnd);
    EXPECT_EQ(calls, std::vector<std::string>{"destroy"}); // before only: no after call
    EXPECT_EQ(ProbeWindow::Seen(), std::vector<UINT>{WM_DESTROY});
    // The hook is gone: asking about the window now reports it unknown.
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
                ::SendMessageW(hwnd, kProbe, 0, 0); // nested call of the same hook
                sc.ssc_UnSubclass(hwnd);
            }
        };
        ASSERT_TRUE(sc.ssc_Subclass(window.hwnd));
        sc.ssc_AddMsg(window.hwnd, kNested);
        sc.ssc_AddMsg(window.hwnd, kProbe);
        ::SendMessageW(window.hwnd, kNested, 0, 0);
        EXPECT_EQ(callbacks, 2);
        EXPECT_EQ(::SendMessageW(window.hwnd, kProbe, 0, 0), 5);
        EXPECT_EQ(callbacks, 2);
        // A second object hooking the same window after the first left works normally.
        clsSubClass second(services);
        ASSERT_TRUE(second.ssc_Subclass(window.hwnd));
    } // both owners gone: the window must keep working on its own procedure
    EXPECT_EQ(::SendMessageW(window.hwnd, kProbe, 0, 0), 5);
    EXPECT_TRUE(services.boxes.empty());
}
