#include <gtest/gtest.h>

#include "app/cSystray.h"
#include "test_support.h"

using namespace zelk;

namespace {

struct NotifyRecorder {
    struct Call {
        DWORD op;
        NOTIFYICONDATAW data;
    };
    std::vector<Call> calls;
    cSystray::NotifyIconFn Fn() {
        return [this](DWORD op, NOTIFYICONDATAW* data) {
            calls.push_back({op, *data});
            return TRUE;
        };
    }
};

void Notify(cSystray& tray, UINT code) {
    ::SendMessageW(tray.MessageWindow(), WM_MOUSEMOVE, 0, static_cast<LPARAM>(code));
}

} // namespace

TEST(Tray, AddModifyDeleteCarryTheRightFields) {
    RecordingUiServices services;
    NotifyRecorder shell;
    auto tray = std::make_unique<cSystray>(::GetModuleHandleW(nullptr), services, shell.Fn(), 6);
    const HICON icon = ::LoadIconW(nullptr, IDI_APPLICATION);
    tray->SysTrayIconFromHandle(icon);
    EXPECT_TRUE(shell.calls.empty()); // nothing to update before the icon is shown

    tray->SetSysTrayToolTip(L"  " + std::wstring(200, L't') + L"  ");
    EXPECT_EQ(tray->SysTrayToolTip().size(), 200u);
    tray->SysTrayShow(true);
    const auto& add = shell.calls.back();
    EXPECT_EQ(add.op, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(add.data.cbSize, sizeof(NOTIFYICONDATAW));
    EXPECT_EQ(add.data.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(add.data.hWnd, tray->MessageWindow());
    EXPECT_EQ(add.data.uID, tray->TrayIconId());
    EXPECT_EQ(add.data.uCallbackMessage, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(add.data.hIcon, icon);
    EXPECT_EQ(std::wstring(add.data.szTip), std::wstring(127, L't'));

    tray->SysTrayShow(true);
    EXPECT_EQ(shell.calls.back().op, static_cast<DWORD>(NIM_MODIFY));

    tray->SysTrayShow(false);
    EXPECT_EQ(shell.calls.back().op, static_cast<DWORD>(NIM_DELETE));
    const size_t count = shell.calls.size();
    tray->SysTrayShow(false);
    EXPECT_EQ(shell.calls.size(), count); // removing twice sends nothing
}

TEST(Tray, BalloonFlagsTimerAndShellsWithoutBalloons) {
    RecordingUiServices services;
    NotifyRecorder shell;
    cSystray tray(::GetModuleHandleW(nullptr), services, shell.Fn(), 6);
    tray.SysTrayShow(true);
    ASSERT_TRUE(tray.IsBalloonCapable());
    tray.SetBalloonIcon(4);
    tray.SetBalloonTitle(L"ToolBars Menu");
    EXPECT_EQ(shell.calls.back().data.uFlags, static_cast<UINT>(NIF_TIP | NIF_INFO));
    tray.SetBalloonText(std::wstring(300, L'b'));

    ASSERT_TRUE(tray.BalloonShow(true, 50, true));
    const auto& shown = shell.calls.back().data;
    EXPECT_EQ(shown.uFlags, static_cast<UINT>(NIF_INFO));
    EXPECT_EQ(shown.dwInfoFlags, 4u | 0x10u);
    EXPECT_EQ(std::wstring(shown.szInfoTitle), L"ToolBars Menu");
    EXPECT_EQ(std::wstring(shown.szInfo).size(), 255u);
    tray.BalloonShow(true, 50, false);
    EXPECT_EQ(shell.calls.back().data.dwInfoFlags, 4u);

    // Wine sends no balloon notifications, so post the "shown" one as the shell would;
    // the balloon must then be taken down when the kept timeout expires.
    int shownEvents = 0;
    tray.BalloonShowEvent = [&] { ++shownEvents; };
    Notify(tray, 0x402);
    EXPECT_EQ(shownEvents, 1);
    const size_t before = shell.calls.size();
    const DWORD start = ::GetTickCount();
    while (shell.calls.size() == before && ::GetTickCount() - start < 3000) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        PumpMessages();
    }
    ASSERT_GT(shell.calls.size(), before);
    EXPECT_EQ(shell.calls.back().data.uFlags, static_cast<UINT>(NIF_INFO));
    EXPECT_EQ(shell.calls.back().data.szInfo[0], L'\0');

    NotifyRecorder oldShell;
    cSystray old(::GetModuleHandleW(nullptr), services, oldShell.Fn(), 4);
    old.SysTrayShow(true);
    EXPECT_FALSE(old.IsBalloonCapable());
    EXPECT_EQ(oldShell.calls.back().data.cbSize, static_cast<DWORD>(NOTIFYICONDATAW_V1_SIZE));
    old.SetBalloonTitle(L"ignored");
    EXPECT_EQ(old.BalloonTitle(), L"");
    EXPECT_FALSE(old.BalloonShow(true, 10000, false));
    EXPECT_EQ(oldShell.calls.size(), 1u);
}

TEST(Tray, CallbacksBecomeEventsAndTaskbarRestartReAdds) {
    RecordingUiServices services;
    NotifyRecorder shell;
    cSystray tray(::GetModuleHandleW(nullptr), services, shell.Fn(), 6);
    std::vector<std::string> events;
    tray.MouseMove = [&] { events.push_back("move"); };
    tray.MouseDown = [&](int16_t b) { events.push_back("down" + std::to_string(b)); };
    tray.MouseUp = [&](int16_t b) { events.push_back("up" + std::to_string(b)); };
    tray.MouseDblClick = [&](int16_t b) { events.push_back("dbl" + std::to_string(b)); };
    tray.BalloonClick = [&] { events.push_back("balloonclick"); };
    for (UINT code :
         {0x200u, 0x201u, 0x202u, 0x203u, 0x204u, 0x205u, 0x207u, 0x208u, 0x209u, 0x405u, 0x20Au}) {
        Notify(tray, code);
    }
    EXPECT_EQ(events, (std::vector<std::string>{"move", "down1", "up1", "dbl1", "down2", "up2",
                                                "down4", "up4", "dbl4", "balloonclick"}));

    ::SendMessageW(tray.MessageWindow(), ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(shell.calls.empty()); // not shown: nothing to restore
    tray.SetSysTrayToolTip(L"Toolbars Menu");
    tray.SysTrayShow(true);
    ::SendMessageW(tray.MessageWindow(), ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_EQ(shell.calls.back().op, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(std::wstring(shell.calls.back().data.szTip), L"Toolbars Menu");
    EXPECT_TRUE(services.boxes.empty());
}
