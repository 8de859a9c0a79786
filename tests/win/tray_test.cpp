#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <tuple>

#include "app/cSystray.h"
#include "test_support.h"

using namespace zelk;

namespace {

struct NotifyRecorder {
    struct Call {
        DWORD op;
        NOTIFYICONDATAW data;
        BOOL answer;
    };
    std::vector<Call> calls;
    int refuseNext = 0;  // how many calls the shell refuses from now on
    bool refuse = false; // refuses everything while set (Explorer not there)
    cSystray::NotifyIconFn Fn() {
        return [this](DWORD op, NOTIFYICONDATAW* data) {
            BOOL answer = TRUE;
            if (refuse || refuseNext > 0) {
                refuseNext = refuse ? refuseNext : refuseNext - 1;
                answer = FALSE;
                ::SetLastError(ERROR_TIMEOUT);
            }
            calls.push_back({op, *data, answer});
            return answer;
        };
    }
    // Records that carry a balloon: each one makes a real shell show it, with its sound.
    int Balloons() const {
        return static_cast<int>(std::count_if(calls.begin(), calls.end(), [](const Call& c) {
            return (c.op == NIM_ADD || c.op == NIM_MODIFY) && (c.data.uFlags & NIF_INFO) &&
                   c.data.szInfo[0] != L'\0';
        }));
    }
    int Count(DWORD op, BOOL answer) const {
        return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const Call& c) {
            return c.op == op && c.answer == answer;
        }));
    }
};

void Notify(cSystray& tray, UINT code) {
    ::SendMessageW(tray.MessageWindow(), WM_MOUSEMOVE, 0, static_cast<LPARAM>(code));
}

void TaskbarCreated(cSystray& tray) {
    ::SendMessageW(tray.MessageWindow(), ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
}

} // namespace

TEST(Tray, AddModifyDeleteCarryTheRightFields) {
    RecordingUiServices services;
    NotifyRecorder shell;
    auto tray = std::make_unique<cSystray>(::GetModuleHandleW(nullptr), services, shell.Fn(), 6);
    tray->SysTrayIconFromHandle(::LoadIconW(nullptr, IDI_APPLICATION));
    EXPECT_TRUE(shell.calls.empty()); // nothing to update before the icon is shown

    tray->SetSysTrayToolTip(L"  " + std::wstring(200, L't') + L"  ");
    EXPECT_EQ(tray->SysTrayToolTip().size(), 200u);
    tray->SysTrayShow(true); // its icon and clicks reaching the program: the end-to-end tests'
    EXPECT_EQ(shell.calls.back().op, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(std::wstring(shell.calls.back().data.szTip), std::wstring(127, L't'));

    tray->SysTrayShow(true);
    EXPECT_EQ(shell.calls.back().op, static_cast<DWORD>(NIM_MODIFY));

    tray->SysTrayShow(false);
    EXPECT_EQ(shell.calls.back().op, static_cast<DWORD>(NIM_DELETE));
    const size_t count = shell.calls.size();
    tray->SysTrayShow(false);
    EXPECT_EQ(shell.calls.size(), count); // removing twice sends nothing
}

// A real shell shows a balloon, with its sound, for every record that carries a balloon text:
// each balloon is raised by exactly one record, and a second one replaces the first without a
// record that takes it down in between.
TEST(Tray, EachBalloonIsOneRecordTakenDownByItsTimer) {
    RecordingUiServices services;
    NotifyRecorder shell;
    cSystray tray(::GetModuleHandleW(nullptr), services, shell.Fn(), 6);
    tray.SysTrayShow(true);
    ASSERT_TRUE(tray.IsBalloonCapable());
    const size_t added = shell.calls.size();
    tray.SetBalloonIcon(kBalloonIconUser);
    tray.SetBalloonTitle(L"ToolBars Menu");
    tray.SetBalloonText(std::wstring(300, L'b'));
    EXPECT_EQ(shell.calls.size(), added); // kept for BalloonShow, not sent

    ASSERT_TRUE(tray.BalloonShow(true, 50, true));
    const auto& shown = shell.calls.back().data;
    EXPECT_EQ(std::tuple(shown.uFlags, shown.dwInfoFlags, std::wstring(shown.szInfoTitle),
                         std::wstring(shown.szInfo).size()),
              std::tuple(UINT{NIF_INFO}, kBalloonIconUser | 0x10u, L"ToolBars Menu", 255u));
    tray.BalloonShow(true, 50, false);
    EXPECT_EQ(shell.calls.back().data.dwInfoFlags, kBalloonIconUser);
    EXPECT_EQ(shell.calls.size(), added + 2);
    EXPECT_EQ(shell.Balloons(), 2);

    // Wine sends no balloon notifications, so post the "shown" one as the shell would;
    // the balloon must then be taken down when the kept timeout expires.
    int shownEvents = 0;
    tray.BalloonShowEvent = [&] { ++shownEvents; };
    Notify(tray, 0x402);
    EXPECT_EQ(shownEvents, 1);
    ASSERT_TRUE(PumpUntil([&] { return shell.calls.size() > added + 2; }, 3000));
    EXPECT_EQ(shell.calls.back().data.uFlags, static_cast<UINT>(NIF_INFO));
    EXPECT_EQ(shell.calls.back().data.szInfo[0], L'\0');
    const size_t down = shell.calls.size();
    ASSERT_TRUE(tray.BalloonShow(false)); // nothing up any more: nothing to send
    EXPECT_EQ(shell.calls.size(), down);

    // Tip, icon and re-show of the icon never carry the balloon again.
    tray.SetSysTrayToolTip(L"tip");
    tray.SysTrayIconFromHandle(::LoadIconW(nullptr, IDI_APPLICATION));
    tray.SysTrayShow(true);
    EXPECT_EQ(shell.Balloons(), 2);

    EXPECT_TRUE(services.logs.empty());
}

// Explorer refuses icons while it starts. The icon counts as shown only once accepted; adding
// it is tried again on a timer, a bounded number of times, and when the taskbar announces
// itself; a balloon asked for meanwhile comes once, right after the icon.
TEST(Tray, ARefusedIconIsTriedAgainAndShownOnlyOnceAccepted) {
    RecordingUiServices services;
    struct Retrying {
        NotifyRecorder shell;
        cSystray tray;
        Retrying(RecordingUiServices& log, int attempts, bool refuse)
            : tray(::GetModuleHandleW(nullptr), log, shell.Fn(), 6) {
            tray.SetRetryPolicy(10, attempts);
            shell.refuse = refuse;
        }
    };
    {
        SCOPED_TRACE("accepted at the third attempt");
        auto [shell, tray] = Retrying(services, 5, false);
        tray.SetBalloonTitle(L"Welcome");
        tray.SetBalloonText(L"Click the icon");
        shell.refuseNext = 4; // two attempts: NIM_ADD, then NIM_MODIFY in case it got there
        tray.SysTrayShow(true);
        EXPECT_FALSE(tray.IsShown());
        ASSERT_TRUE(tray.BalloonShow(true, 10000, false));
        EXPECT_EQ(shell.Balloons(), 0);
        ASSERT_TRUE(PumpUntil([&] { return tray.IsShown(); }));
        EXPECT_EQ(shell.Count(NIM_ADD, FALSE), 2);
        EXPECT_EQ(shell.Count(NIM_ADD, TRUE), 1);
        EXPECT_EQ(shell.Balloons(), 1);
        EXPECT_EQ(shell.calls.back().op, static_cast<DWORD>(NIM_MODIFY));
        EXPECT_EQ(std::wstring(shell.calls.back().data.szInfo), L"Click the icon");
        const size_t settled = shell.calls.size();
        PumpFor(100); // ten more intervals: no attempt once shown
        EXPECT_EQ(shell.calls.size(), settled);
        EXPECT_TRUE(services.logs.empty());
    }
    {
        SCOPED_TRACE("never accepted, then the taskbar starts");
        auto [shell, tray] = Retrying(services, 3, true);
        tray.SysTrayShow(true);
        ASSERT_TRUE(PumpUntil([&] { return !services.logs.empty(); }));
        EXPECT_EQ(shell.Count(NIM_ADD, FALSE), 4); // the first attempt and three more
        EXPECT_TRUE(services.logs[0].Is(EVENTLOG_WARNING_TYPE, L"", {L"1460"})); // ERROR_TIMEOUT
        PumpFor(100);
        EXPECT_EQ(shell.Count(NIM_ADD, FALSE), 4); // given up
        EXPECT_FALSE(tray.IsShown());

        shell.refuse = false;
        TaskbarCreated(tray);
        EXPECT_TRUE(tray.IsShown());
        EXPECT_EQ(shell.Count(NIM_ADD, TRUE), 1);
        TaskbarCreated(tray); // Explorer restarted: it knows no icon, shown or not
        EXPECT_EQ(shell.Count(NIM_ADD, TRUE), 2);
        services.logs.clear();
    }
    {
        SCOPED_TRACE("shown, then the shell forgets it");
        auto [shell, tray] = Retrying(services, 5, false);
        tray.SysTrayShow(true);
        ASSERT_TRUE(tray.IsShown());
        shell.refuseNext = 3; // the tip's NIM_MODIFY, then one more attempt
        tray.SetSysTrayToolTip(L"New tip");
        EXPECT_FALSE(tray.IsShown());
        ASSERT_TRUE(PumpUntil([&] { return tray.IsShown(); }));
        EXPECT_EQ(shell.calls.back().op, static_cast<DWORD>(NIM_ADD));
        EXPECT_EQ(std::wstring(shell.calls.back().data.szTip), L"New tip");
        tray.SysTrayShow(false);
        EXPECT_EQ(shell.calls.back().op, static_cast<DWORD>(NIM_DELETE));
        EXPECT_TRUE(services.logs.empty());
    }
    {
        SCOPED_TRACE("hidden while still refused");
        auto [shell, tray] = Retrying(services, 5, true);
        tray.SysTrayShow(true);
        tray.SysTrayShow(false);
        const size_t calls = shell.calls.size();
        PumpFor(100);
        EXPECT_EQ(shell.calls.size(), calls); // no attempt for an icon nobody wants
        TaskbarCreated(tray);
        EXPECT_EQ(shell.calls.size(), calls);
    }
}

// The shell's callbacks reach the owner through the subclass stub as events; a handler that
// throws is logged there, and the icon keeps working.
TEST(Tray, CallbacksBecomeEventsAndAThrowingHandlerIsLogged) {
    RecordingUiServices services;
    NotifyRecorder shell;
    cSystray tray(::GetModuleHandleW(nullptr), services, shell.Fn(), 6);
    std::vector<std::string> events;
    tray.MouseMove = [&] { events.push_back("move"); };
    tray.MouseDown = [&](int16_t b) { events.push_back("down" + std::to_string(b)); };
    tray.MouseDblClick = [&](int16_t b) { events.push_back("dbl" + std::to_string(b)); };
    tray.BalloonClick = [&] { events.push_back("balloonclick"); };
    tray.MouseUp = [](int16_t) { throw std::runtime_error("menu could not open"); };
    for (UINT code : {0x200u, 0x204u, 0x209u, 0x405u, 0x20Au, 0x202u, 0x201u}) {
        Notify(tray, code);
    }
    EXPECT_EQ(events, (std::vector<std::string>{"move", "down2", "dbl4", "balloonclick", "down1"}));
    ASSERT_EQ(services.logs.size(), 1u);
    EXPECT_TRUE(services.logs[0].Is(EVENTLOG_ERROR_TYPE, L"cSystray",
                                    {L"HookProc", L"menu could not open"}));
    EXPECT_TRUE(services.boxes.empty());
}
