#include <windows.h>
#include <shellapi.h>

#include "app/cSystray.h"

#include <cwchar>
#include <vector>

#include "core/text.h"
#include "win/ui_services.h"

namespace zelk {

namespace {

constexpr UINT kCallbackMessage = WM_MOUSEMOVE;

template <size_t N> void CopyToField(wchar_t (&field)[N], const std::wstring& text) {
    const std::wstring fitted = FitToField(text, N);
    std::wmemcpy(field, fitted.c_str(), fitted.size());
    field[fitted.size()] = L'\0';
}

} // namespace

int ShellMajorVersion() {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(L"shell32.dll", &ignored);
    if (size == 0) {
        return 0;
    }
    std::vector<BYTE> data(size);
    if (!::GetFileVersionInfoW(L"shell32.dll", 0, size, data.data())) {
        return 0;
    }
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) ||
        info == nullptr || length < sizeof(VS_FIXEDFILEINFO)) {
        return 0;
    }
    return HIWORD(info->dwFileVersionMS);
}

cSystray::cSystray(HINSTANCE instance, UiServices& services, NotifyIconFn notify,
                   int shellMajorVersion)
    : notify_(notify ? std::move(notify) : NotifyIconFn(&::Shell_NotifyIconW)),
      recordKind_(NotifyRecordKindForShell(shellMajorVersion < 0 ? ShellMajorVersion()
                                                                 : shellMajorVersion)),
      services_(services),
      // Unique per instance for as long as the object lives; the timers use id + 1 and + 2.
      iconId_(static_cast<UINT>(reinterpret_cast<uintptr_t>(this) & 0x7FFFFFF0u)),
      messageWindow_(
          ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr)),
      hooks_(L"cSystray", services) {
    taskbarCreated_ = ::RegisterWindowMessageW(L"TaskbarCreated");
    if (messageWindow_ && hooks_.ssc_Subclass(messageWindow_.get(), *this)) {
        hooks_.ssc_AddMsg(messageWindow_.get(), static_cast<int32_t>(kCallbackMessage), MSG_AFTER);
        hooks_.ssc_AddMsg(messageWindow_.get(), static_cast<int32_t>(taskbarCreated_), MSG_AFTER);
        hooks_.ssc_AddMsg(messageWindow_.get(), WM_TIMER, MSG_AFTER);
    }
}

cSystray::~cSystray() {
    SysTrayShow(false);
    if (messageWindow_) {
        hooks_.ssc_UnSubclass(messageWindow_.get());
    }
}

DWORD cSystray::RecordSize() const {
    switch (recordKind_) {
    case NotifyRecordKind::V1:
        return NOTIFYICONDATAW_V1_SIZE;
    case NotifyRecordKind::V2:
        return NOTIFYICONDATAW_V2_SIZE;
    default:
        return sizeof(NOTIFYICONDATAW);
    }
}

bool cSystray::Send(DWORD operation, UINT flags) {
    record_.uFlags = flags;
    if (notify_(operation, &record_)) {
        return true;
    }
    lastError_ = ::GetLastError();
    return false;
}

void cSystray::SysTrayShow(bool bShow) {
    if (!bShow) {
        wanted_ = false;
        StopRetrying();
        balloonPending_ = false;
        if (shown_) {
            StopBalloonTimer();
            // Refused only when the shell has forgotten the icon already (Explorer gone).
            static_cast<void>(Send(NIM_DELETE, 0));
            shown_ = false;
            balloonUp_ = false;
        }
        return;
    }
    wanted_ = true;
    if (shown_) {
        if (!Send(NIM_MODIFY, IconFlags())) {
            IconLost();
        }
        return;
    }
    if (!retrying_ && !TryAdd()) {
        StartRetrying();
    }
}

UINT cSystray::IconFlags() {
    record_.uVersion = NOTIFYICON_VERSION;
    record_.cbSize = RecordSize();
    record_.hWnd = messageWindow_.get();
    record_.uID = iconId_;
    record_.uCallbackMessage = kCallbackMessage;
    UINT flags = NIF_MESSAGE;
    if (icon_ != nullptr) {
        flags |= NIF_ICON;
        record_.hIcon = icon_;
    }
    if (!toolTip_.empty()) {
        flags |= NIF_TIP;
        CopyToField(record_.szTip, toolTip_);
    }
    return flags;
}

bool cSystray::TryAdd() {
    const UINT flags = IconFlags();
    // An add that timed out in a busy shell may have added the icon all the same; adding it
    // again is then refused, and only a modify finds it.
    if (!Send(NIM_ADD, flags) && !Send(NIM_MODIFY, flags)) {
        return false;
    }
    shown_ = true;
    StopRetrying();
    if (balloonPending_) {
        RaiseBalloon();
    }
    return true;
}

void cSystray::IconLost() {
    shown_ = false;
    balloonUp_ = false;
    StartRetrying();
}

void cSystray::StartRetrying() {
    if (retrying_ || !wanted_) {
        return;
    }
    retriesLeft_ = maxRetries_;
    retrying_ = messageWindow_ &&
                ::SetTimer(messageWindow_.get(), RetryTimerId(), retryIntervalMs_, nullptr) != 0;
    if (!retrying_) {
        services_.LogEvent(EVENTLOG_WARNING_TYPE, L"cSystray",
                           L"The notification area refused the icon (error " +
                               std::to_wstring(lastError_) +
                               L") and no retry could be scheduled; it comes back when the "
                               L"taskbar restarts");
    }
}

void cSystray::StopRetrying() {
    if (retrying_ && messageWindow_) {
        ::KillTimer(messageWindow_.get(), RetryTimerId());
    }
    retrying_ = false;
}

void cSystray::OnRetryTimer() {
    if (!retrying_) {
        return;
    }
    if (!wanted_ || shown_ || TryAdd()) {
        StopRetrying();
        return;
    }
    if (--retriesLeft_ <= 0) {
        StopRetrying();
        services_.LogEvent(EVENTLOG_WARNING_TYPE, L"cSystray",
                           L"The notification area refused the icon " +
                               std::to_wstring(maxRetries_ + 1) + L" times (last error " +
                               std::to_wstring(lastError_) +
                               L"); it comes back when the taskbar restarts");
    }
}

void cSystray::SysTrayIconFromHandle(HICON lIcon) {
    icon_ = lIcon;
    if (shown_) {
        record_.hIcon = icon_;
        if (!Send(NIM_MODIFY, NIF_ICON)) {
            IconLost();
        }
    }
}

void cSystray::SetSysTrayToolTip(const std::wstring& text) {
    toolTip_ = TrimSpaces(text);
    CopyToField(record_.szTip, toolTip_);
    if (shown_ && !Send(NIM_MODIFY, NIF_TIP)) {
        IconLost();
    }
}

void cSystray::SetBalloonTitle(const std::wstring& text) {
    // Without balloons the value is not even kept.
    if (IsBalloonCapable()) {
        balloonTitle_ = text;
    }
}

void cSystray::SetBalloonText(const std::wstring& text) {
    if (IsBalloonCapable()) {
        balloonText_ = text;
    }
}

void cSystray::SetBalloonIcon(uint32_t kind) {
    if (IsBalloonCapable()) {
        balloonIcon_ = kind;
    }
}

void cSystray::RaiseBalloon() {
    balloonPending_ = false;
    CopyToField(record_.szInfo, balloonText_);
    CopyToField(record_.szInfoTitle, balloonTitle_);
    record_.dwInfoFlags = balloonIcon_ | (balloonNoSound_ ? kBalloonNoSound : 0);
    if (!Send(NIM_MODIFY, NIF_INFO)) {
        balloonPending_ = true; // never seen: it follows the icon when that is back
        IconLost();
        return;
    }
    balloonUp_ = !balloonText_.empty();
}

bool cSystray::BalloonShow(bool bShow, long lTimeout, bool bNoSound) {
    if (!IsBalloonCapable()) {
        return false;
    }
    StopBalloonTimer();
    if (bShow) {
        // One record with the text, so one balloon and one sound: a new balloon replaces
        // one that is up without taking that down first.
        balloonTimeout_ = lTimeout;
        balloonNoSound_ = bNoSound;
        if (shown_) {
            RaiseBalloon();
        } else {
            balloonPending_ = true;
        }
        return true;
    }
    balloonPending_ = false;
    if (balloonUp_ && shown_) {
        record_.szInfo[0] = L'\0';
        record_.szInfoTitle[0] = L'\0';
        if (!Send(NIM_MODIFY, NIF_INFO)) {
            IconLost();
        }
    }
    balloonUp_ = false;
    return true;
}

void cSystray::BeforePopup() {
    ::SetForegroundWindow(messageWindow_.get());
}

void cSystray::StopBalloonTimer() {
    if (messageWindow_) {
        ::KillTimer(messageWindow_.get(), BalloonTimerId());
    }
}

void cSystray::HookProc(bool, bool&, LRESULT&, HWND lng_hWnd, UINT uMsg, WPARAM wParam,
                        LPARAM lParam, LPARAM&) {
    if (lng_hWnd != messageWindow_.get()) {
        return;
    }
    if (uMsg == kCallbackMessage) {
        OnNotification(static_cast<uint32_t>(LOWORD(lParam)));
    } else if (uMsg == WM_TIMER && wParam == BalloonTimerId()) {
        BalloonShow(false);
    } else if (uMsg == WM_TIMER && wParam == RetryTimerId()) {
        OnRetryTimer();
    } else if (uMsg == taskbarCreated_ && wanted_) {
        // The taskbar (re)started: it knows no icon of ours, shown before or refused.
        shown_ = false;
        balloonUp_ = false;
        StopRetrying();
        if (!TryAdd()) {
            StartRetrying();
        }
    }
}

void cSystray::OnNotification(uint32_t code) {
    const TrayNotification n = ClassifyTrayNotification(code);
    if (n.stopsBalloonTimer) {
        StopBalloonTimer();
    }
    switch (n.event) {
    case TrayEvent::MouseMove:
        Raise(MouseMove);
        break;
    case TrayEvent::MouseDown:
        Raise(MouseDown, n.button);
        break;
    case TrayEvent::MouseUp:
        Raise(MouseUp, n.button);
        break;
    case TrayEvent::MouseDblClick:
        Raise(MouseDblClick, n.button);
        break;
    case TrayEvent::BalloonShown:
        if (balloonTimeout_ != -1 && messageWindow_) {
            ::SetTimer(messageWindow_.get(), BalloonTimerId(), static_cast<UINT>(balloonTimeout_),
                       nullptr);
        }
        Raise(BalloonShowEvent);
        break;
    case TrayEvent::BalloonHidden:
        balloonUp_ = false;
        Raise(BalloonHide);
        break;
    case TrayEvent::BalloonTimedOut:
        balloonUp_ = false;
        Raise(BalloonClose);
        break;
    case TrayEvent::BalloonClicked:
        balloonUp_ = false;
        Raise(BalloonClick);
        break;
    case TrayEvent::None:
        break;
    }
}

} // namespace zelk
