#include <windows.h>
#include <shellapi.h>

#include "app/cSystray.h"

#include <cwchar>
#include <vector>

#include "core/text.h"

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
      // Unique per instance for as long as the object lives; the balloon timer uses id + 1.
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

void cSystray::Send(DWORD operation, UINT flags) {
    record_.uFlags = flags;
    notify_(operation, &record_); // a refused call changes only what is kept here
}

void cSystray::SysTrayShow(bool bShow) {
    if (!bShow) {
        if (shown_) {
            StopBalloonTimer();
            Send(NIM_DELETE, record_.uFlags);
            shown_ = false;
        }
        return;
    }
    if (!shown_) {
        record_.uVersion = NOTIFYICON_VERSION;
        record_.cbSize = RecordSize();
        record_.hWnd = messageWindow_.get();
        record_.uID = iconId_;
        record_.uCallbackMessage = kCallbackMessage;
    }
    UINT flags = NIF_MESSAGE;
    if (icon_ != nullptr) {
        flags |= NIF_ICON;
        record_.hIcon = icon_;
    }
    if (!toolTip_.empty()) {
        flags |= NIF_TIP;
        CopyToField(record_.szTip, toolTip_);
    }
    Send(shown_ ? NIM_MODIFY : NIM_ADD, flags);
    shown_ = true;
}

void cSystray::SysTrayIconFromHandle(HICON lIcon) {
    icon_ = lIcon;
    if (shown_) {
        record_.hIcon = icon_;
        Send(NIM_MODIFY, NIF_ICON);
    }
}

void cSystray::SetSysTrayToolTip(const std::wstring& text) {
    toolTip_ = TrimSpaces(text);
    CopyToField(record_.szTip, toolTip_);
    Send(NIM_MODIFY, NIF_TIP);
}

void cSystray::UpdateBalloonField(const std::function<void()>& keep) {
    // Without balloons the value is not even kept.
    if (!IsBalloonCapable()) {
        return;
    }
    keep();
    Send(NIM_MODIFY, NIF_TIP | NIF_INFO);
}

void cSystray::SetBalloonTitle(const std::wstring& text) {
    UpdateBalloonField([&] {
        balloonTitle_ = text;
        CopyToField(record_.szInfoTitle, balloonTitle_);
    });
}

void cSystray::SetBalloonText(const std::wstring& text) {
    UpdateBalloonField([&] {
        balloonText_ = text;
        CopyToField(record_.szInfo, balloonText_);
    });
}

void cSystray::SetBalloonIcon(uint32_t kind) {
    UpdateBalloonField([&] {
        balloonIcon_ = kind;
        record_.dwInfoFlags = kind;
    });
}

bool cSystray::BalloonShow(bool bShow, long lTimeout, bool bNoSound) {
    if (!IsBalloonCapable()) {
        return false;
    }
    if (bShow) {
        BalloonShow(false);
        balloonTimeout_ = lTimeout;
        CopyToField(record_.szInfo, balloonText_);
        CopyToField(record_.szInfoTitle, balloonTitle_);
        record_.dwInfoFlags = balloonIcon_ | (bNoSound ? kBalloonNoSound : 0);
        Send(NIM_MODIFY, NIF_INFO);
    } else {
        record_.szInfo[0] = L'\0';
        record_.szInfoTitle[0] = L'\0';
        Send(NIM_MODIFY, NIF_INFO);
        StopBalloonTimer();
    }
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
    } else if (uMsg == taskbarCreated_ && shown_) {
        // The taskbar restarted and forgot the icon.
        shown_ = false;
        SysTrayShow(true);
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
        Raise(BalloonHide);
        break;
    case TrayEvent::BalloonTimedOut:
        Raise(BalloonClose);
        break;
    case TrayEvent::BalloonClicked:
        Raise(BalloonClick);
        break;
    case TrayEvent::None:
        break;
    }
}

} // namespace zelk
