#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <string>

#include "controls/message_hooks.h"
#include "core/tray_rules.h"
#include "win/unique_handle.h"

namespace zelk {

class UiServices;

// One icon in the notification area: adds, changes and removes it, shows balloons,
// re-adds the icon when the taskbar restarts and turns the shell's callbacks into events.
class cSystray : public HookCallback {
public:
    // The shell call, replaceable so tests can read the records the icon would send.
    using NotifyIconFn = std::function<BOOL(DWORD, NOTIFYICONDATAW*)>;

    // shellMajorVersion < 0: read shell32.dll's file version.
    cSystray(HINSTANCE instance, UiServices& services, NotifyIconFn notify = nullptr,
             int shellMajorVersion = -1);
    ~cSystray() override;
    cSystray(const cSystray&) = delete;
    cSystray& operator=(const cSystray&) = delete;

    void SysTrayShow(bool bShow);
    void SysTrayIconFromHandle(HICON lIcon);
    const std::wstring& SysTrayToolTip() const { return toolTip_; }
    void SetSysTrayToolTip(const std::wstring& text);
    const std::wstring& BalloonTitle() const { return balloonTitle_; }
    void SetBalloonTitle(const std::wstring& text);
    const std::wstring& BalloonText() const { return balloonText_; }
    void SetBalloonText(const std::wstring& text);
    uint32_t BalloonIcon() const { return balloonIcon_; }
    void SetBalloonIcon(uint32_t kind);
    bool IsBalloonCapable() const { return BalloonsExist(recordKind_); }
    bool BalloonShow(bool bShow, long lTimeout = -1, bool bNoSound = false);
    void BeforePopup();

    bool IsShown() const { return shown_; }
    HWND MessageWindow() const { return messageWindow_.get(); }
    UINT TrayIconId() const { return iconId_; }
    UINT_PTR BalloonTimerId() const { return iconId_ + 1; }
    DWORD RecordSize() const;

    std::function<void()> MouseMove;
    std::function<void(int16_t)> MouseDown;
    std::function<void(int16_t)> MouseUp;
    std::function<void(int16_t)> MouseDblClick;
    std::function<void()> BalloonClose;
    std::function<void()> BalloonClick;
    std::function<void()> BalloonShowEvent; // the "BalloonShow" event; the name is the method's
    std::function<void()> BalloonHide;

private:
    void HookProc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND lng_hWnd, UINT uMsg,
                  WPARAM wParam, LPARAM lParam, LPARAM& lParamUser) override;
    void OnNotification(uint32_t code);
    void Send(DWORD operation, UINT flags);
    void UpdateBalloonField(const std::function<void()>& keep);
    void StopBalloonTimer();
    static void Raise(const std::function<void()>& event) {
        if (event) {
            event();
        }
    }
    static void Raise(const std::function<void(int16_t)>& event, int16_t button) {
        if (event) {
            event(button);
        }
    }

    NotifyIconFn notify_;
    NotifyRecordKind recordKind_;
    NOTIFYICONDATAW record_{};
    std::wstring toolTip_, balloonTitle_, balloonText_;
    uint32_t balloonIcon_ = 0;
    HICON icon_ = nullptr;
    bool shown_ = false;
    long balloonTimeout_ = -1;
    UINT taskbarCreated_ = 0;
    UINT iconId_ = 0;
    unique_window messageWindow_;
    MessageHooks hooks_;
};

// The major file version of shell32.dll, 0 when it cannot be read.
int ShellMajorVersion();

} // namespace zelk
