#include <windows.h>

#include "app/frmMain.h"

#include "../../res/resource.h"
#include "app/shell_open.h"
#include "app/toolbar_store.h"
#include "core/paths.h"
#include "core/tray_rules.h"
#include "settings/reg_settings.h"
#include "win/file_io.h"
#include "win/message_pump.h"
#include "win/ui_services.h"

namespace zelk {

namespace {

constexpr wchar_t kClassName[] = L"ZelkToolBarsMain";

// The named controls of the form, in the form's control order, as language files name them.
struct NamedControl {
    ControlRef ref;
    UINT menuCommand; // 0 for controls without a caption
    const wchar_t* caption;
};

const std::vector<NamedControl>& FormControls() {
    static const std::vector<NamedControl> controls = {
        {{L"MenuList", 0}, 0, nullptr},
        {{L"IconPic", 0}, 0, nullptr},
        {{L"IconPic", 1}, 0, nullptr},
        {{L"IconPic", 2}, 0, nullptr},
        {{L"IconPic", 3}, 0, nullptr},
        {{L"Locale_Properties1"}, 0, nullptr},
        {{L"mnuMenu"}, 0, nullptr},
        {{L"mnuParam"}, mnuParam, L"Parameters"},
        {{L"mnuRefresh"}, mnuRefresh, L"Refresh"},
        {{L"mnuAbout"}, mnuAbout, L"About"},
        {{L"mnuQuit"}, mnuQuit, L"Quit"},
    };
    return controls;
}

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    auto* monitors = reinterpret_cast<std::vector<MonitorDesc>*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (::GetMonitorInfoW(monitor, &info)) {
        const RECT& w = info.rcWork;
        monitors->push_back(
            {{w.left, w.top, w.right, w.bottom}, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    }
    return TRUE;
}

} // namespace

MainEnvironment RealEnvironment() {
    MainEnvironment environment;
    environment.programFolder = ProgramFolder();
    environment.localAppData = EnvironmentVariable(L"LOCALAPPDATA");
    environment.localeId = UserLocaleId();
    return environment;
}

frmMain::frmMain(HINSTANCE instance, UiServices& services, MainEnvironment environment)
    : instance_(instance), services_(services), environment_(std::move(environment)) {
    RegisterWindowClass(instance_, kClassName);
    ::CreateWindowExW(0, kClassName, L"Toolbars menu", WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, nullptr,
                      nullptr, instance_, this);
    BuildContextMenu();
    LoadIconPictures();
}

frmMain::~frmMain() {
    Form_QueryUnload();
    if (hwnd_ != nullptr) {
        ::DestroyWindow(hwnd_);
    }
}

std::wstring frmMain::DataFolder() const {
    return DataFolderFrom(environment_.localAppData);
}

std::wstring frmMain::ToolbarFilePath() const {
    return ToolbarFilePathFrom(environment_.localAppData);
}

void frmMain::BuildContextMenu() {
    mnuMenu_.reset(::CreatePopupMenu());
    bool first = true;
    for (const auto& control : FormControls()) {
        if (control.menuCommand == 0) {
            continue;
        }
        if (!first) {
            ::AppendMenuW(mnuMenu_.get(), MF_SEPARATOR, 0, nullptr);
        }
        ::AppendMenuW(mnuMenu_.get(), MF_STRING, control.menuCommand, control.caption);
        first = false;
    }
}

void frmMain::LoadIconPictures() {
    const int small = ::GetSystemMetrics(SM_CXSMICON);
    const struct {
        int id;
        int size;
    } pictures[] = {{IDI_TRAY, small}, {IDI_TOOLBAR, 32}, {IDI_FOLDER, 16}, {IDI_FILE, 16}};
    for (size_t i = 0; i < iconPic_.size(); ++i) {
        iconPic_[i].reset(
            static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(pictures[i].id), IMAGE_ICON,
                                            pictures[i].size, pictures[i].size, 0)));
    }
}

void frmMain::Form_Load() {
    language_ = Localisation::Load(environment_.programFolder, environment_.localeId, ansi_);
    language_.Localise(*this);

    f_cSystray = std::make_unique<cSystray>(instance_, services_, environment_.notifyIcon,
                                            environment_.shellMajorVersion);
    f_cSystray->MouseUp = [this](int16_t button) { f_cSystray_MouseUp(button); };
    f_cSystray->MouseDblClick = [this](int16_t button) { f_cSystray_MouseDblClick(button); };

    CreateFolderPath(DataFolder());
    Theme();
    Init();

    f_cSystray->SysTrayIconFromHandle(IconPic(0));
    f_cSystray->SetSysTrayToolTip(language_.GetString(1, L"Toolbars Menu"));
    f_cSystray->SysTrayShow(true);
    if (f_cSystray->IsBalloonCapable()) {
        f_cSystray->SetBalloonIcon(kBalloonIconUser);
        f_cSystray->SetBalloonTitle(language_.GetString(1, L"ToolBars Menu"));
        f_cSystray->SetBalloonText(
            language_.GetString(3, L"Click the icon to open your toolbars."));
        f_cSystray->BalloonShow(true, kWelcomeBalloonTimeoutMs, false);
    }
}

void frmMain::Init() {
    const auto toolbars = ReadToolbarFile(ToolbarFilePath(), ansi_);
    if (!toolbars) {
        return; // no toolbars yet: the menu stays empty
    }
    for (const auto& toolbar : *toolbars) {
        try {
            AddToolbar(toolbar.path, toolbar.title);
        } catch (...) {
            // One toolbar that cannot be built must not cost the user the others.
        }
        if (unloaded_) {
            return; // the user quit while the menu was being built
        }
    }
}

void frmMain::ReInit() {
    ReinitPending = true;
    LastListIndex = 0;
    topEntries_.clear();
    Theme();
    Init();
}

void frmMain::Theme() {
    topTheme_ = MenuTheme(ReadThemeIsDark());
}

void frmMain::AddToolbar(const std::wstring& strpath, std::wstring strTitle) {
    if (strpath.empty()) {
        return;
    }
    if (!TopListConfigured || ReinitPending) {
        ReinitPending = false;
        TopListConfigured = true;
    }
    if (strTitle.empty()) {
        strTitle = BaseNameOf(strpath);
    }
    topEntries_.push_back({strpath, strTitle});
}

void frmMain::ShowMenu() {
    std::vector<MonitorDesc> monitors;
    ::EnumDisplayMonitors(nullptr, nullptr, &CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
    if (const auto work = PrimaryWorkArea(monitors)) {
        lastShowList_ = MenuCornerRequest(*work);
    }
}

void frmMain::f_cSystray_MouseUp(int16_t Button) {
    if (Button == 1) {
        ShowMenu();
    } else if (Button == 2) {
        f_cSystray->BeforePopup();
        PopupContextMenu();
    }
}

void frmMain::f_cSystray_MouseDblClick(int16_t Button) {
    if (Button == 1) {
        ShellOpen(services_, kMakerPageUrl);
    }
}

void frmMain::PopupContextMenu() {
    POINT at{};
    ::GetCursorPos(&at);
    const HWND owner = f_cSystray->MessageWindow();
    const UINT command = static_cast<UINT>(
        ::TrackPopupMenuEx(mnuMenu_.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x,
                           at.y, owner, nullptr));
    // The shell's advice: a message to the owner makes the menu close properly next time.
    ::PostMessageW(owner, WM_NULL, 0, 0);
    if (command != 0) {
        // Run the command once the tray's callback has returned: "Quit" destroys the
        // window that is delivering it.
        ::PostMessageW(hwnd_, WM_COMMAND, command, 0);
    }
}

void frmMain::RunCommand(UINT command) {
    switch (command) {
    case mnuParam:
        // The Parameters dialog is shown here once it exists; the menu is rebuilt either way.
        ReInit();
        break;
    case mnuRefresh:
        ReInit();
        break;
    case mnuAbout:
        services_.ShowMessageBox(hwnd_, L"ZelkToolBars 1.0.0", L"ZelkToolBars",
                                 MB_OK | MB_ICONINFORMATION);
        break;
    case mnuQuit:
        Form_QueryUnload();
        ::DestroyWindow(hwnd_);
        break;
    default:
        break;
    }
}

void frmMain::Form_QueryUnload() {
    if (unloaded_) {
        return;
    }
    unloaded_ = true;
    if (f_cSystray) {
        f_cSystray->SysTrayShow(false);
        DoEvents();
        f_cSystray.reset();
    }
}

void frmMain::SetFormCaption(const std::wstring& text) {
    if (hwnd_ != nullptr) {
        ::SetWindowTextW(hwnd_, text.c_str());
    }
}

std::vector<ControlRef> frmMain::Controls() const {
    std::vector<ControlRef> refs;
    for (const auto& control : FormControls()) {
        refs.push_back(control.ref);
    }
    return refs;
}

void frmMain::SetControlCaption(size_t control, const std::wstring& text) {
    const auto& controls = FormControls();
    if (control >= controls.size() || controls[control].menuCommand == 0) {
        return;
    }
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    std::wstring caption = text;
    info.dwTypeData = caption.data();
    ::SetMenuItemInfoW(mnuMenu_.get(), controls[control].menuCommand, FALSE, &info);
}

LRESULT frmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        RunCommand(LOWORD(wParam));
        return 0;
    case WM_CLOSE:
    case WM_QUERYENDSESSION:
        Form_QueryUnload();
        if (message == WM_CLOSE) {
            ::DestroyWindow(hwnd_);
            return 0;
        }
        return TRUE;
    case WM_DESTROY:
        if (environment_.quitOnDestroy) {
            ::PostQuitMessage(0);
        }
        return 0;
    default:
        return DefaultProc(message, wParam, lParam);
    }
}

} // namespace zelk
