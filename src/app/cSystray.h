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
// The shell refuses the icon while Explorer starts or restarts: a refused icon is not
// shown, and adding it is tried again on a timer (kRetryIntervalMs, at most kMaxRetries
// times) and whenever the taskbar announces itself.
class cSystray : public HookCallback {
public:
    // The shell call, replaceable so tests can read the records the icon would send and
    // make the shell refuse them.
    using NotifyIconFn = std::function<BOOL(DWORD, NOTIFYICONDATAW*)>;
    static constexpr UINT kRetryIntervalMs = 2000;
    static constexpr int kMaxRetries = 15; // 30 s

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
    // The balloon's title, text and icon are kept for the next BalloonShow(true); setting
    // them sends nothing, since every record that carries a balloon text raises it again.
    const std::wstring& BalloonTitle() const { return balloonTitle_; }
    void SetBalloonTitle(const std::wstring& text);
    const std::wstring& BalloonText() const { return balloonText_; }
    void SetBalloonText(const std::wstring& text);
    uint32_t BalloonIcon() const { return balloonIcon_; }
    void SetBalloonIcon(uint32_t kind);
    bool IsBalloonCapable() const { return BalloonsExist(recordKind_); }
    // Raises the balloon once (when the icon is not in the notification area yet, as soon as
    // it is), or takes it down; false only when the shell has no balloons.
    bool BalloonShow(bool bShow, long lTimeout = -1, bool bNoSound = false);
    void BeforePopup();

    // True only once the shell accepted the icon.
    bool IsShown() const { return shown_; }
    HWND MessageWindow() const { return messageWindow_.get(); }
    UINT TrayIconId() const { return iconId_; }
    UINT_PTR BalloonTimerId() const { return iconId_ + 1; }
    UINT_PTR RetryTimerId() const { return iconId_ + 2; }
    // Tests shorten the wait between attempts.
    void SetRetryPolicy(UINT intervalMs, int maxRetries) {
        retryIntervalMs_ = intervalMs;
        maxRetries_ = maxRetries;
    }
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
    [[nodiscard]] bool Send(DWORD operation, UINT flags);
    // The record's fixed fields, icon and tip; the flags that carry them.
    UINT IconFlags();
    // NIM_ADD with every field kept; on success the pending balloon follows.
    [[nodiscard]] bool TryAdd();
    // A refused NIM_MODIFY: the icon is not there (any more); add it again.
    void IconLost();
    void StartRetrying();
    void StopRetrying();
    void OnRetryTimer();
    void RaiseBalloon();
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
    bool wanted_ = false; // SysTrayShow(true) until SysTrayShow(false)
    bool shown_ = false;  // the shell accepted the icon
    bool balloonPending_ = false;
    bool balloonUp_ = false;
    bool balloonNoSound_ = false;
    long balloonTimeout_ = -1;
    DWORD lastError_ = 0;
    UINT retryIntervalMs_ = kRetryIntervalMs;
    int maxRetries_ = kMaxRetries;
    int retriesLeft_ = 0;
    bool retrying_ = false;
    UiServices& services_;
    UINT taskbarCreated_ = 0;
    UINT iconId_ = 0;
    unique_window messageWindow_;
    MessageHooks hooks_;
};

// The major file version of shell32.dll, 0 when it cannot be read.
int ShellMajorVersion();

} // namespace zelk
