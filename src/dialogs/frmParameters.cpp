#include "dialogs/frmParameters.h"

#include "win/shell_open.h"
#include "settings/toolbar_store.h"
#include "core/dialog_rules.h"
#include "core/paths.h"
#include "core/theme.h"
#include "dialogs/FrmSort.h"
#include "dialogs/frmAddToolBar.h"
#include "settings/localisation_files.h"
#include "settings/reg_settings.h"
#include "settings/startup.h"
#include "win/ansi_codec.h"
#include "win/file_io.h"
#include "win/message_pump.h"
#include "win/ui_services.h"

namespace zelk {

bool DialogThemeIsDark() {
    return ReadThemeIsDark();
}

namespace {

PropertyBag ListDesign() {
    PropertyBag bag;
    bag.Write(L"Font", L"Segoe UI;9.75;");
    bag.Write(L"BackColor", std::to_wstring(0x00404040));
    bag.Write(L"LineColor", std::to_wstring(0x00656565));
    bag.Write(L"BorderColor", std::to_wstring(0x00FFFFFF));
    bag.Write(L"BorderVisible", L"False");
    bag.Write(L"BorderRadius", L"15");
    bag.Write(L"SelectionColor", std::to_wstring(kSystemHighlight));
    bag.Write(L"FindTextColor", std::to_wstring(kSystemHighlight));
    bag.Write(L"ListStyle", L"1");
    return bag;
}

std::wstring StartMenuPrograms(const wchar_t* variable) {
    return AddBackslash(EnvironmentVariable(variable)) +
           L"Microsoft\\Windows\\Start Menu\\Programs";
}

} // namespace

frmParameters::frmParameters(const DialogContext& context)
    : DialogForm(*context.services, context.language, DesignOf(L"frmParameters")),
      context_(context) {}

frmParameters::~frmParameters() = default;

void frmParameters::Form_Rescaled() {
    const RECT area = Area(L"ucList1");
    list_->SetScale(Scale());
    ::MoveWindow(list_->hWnd(), area.left, area.top, area.right - area.left, area.bottom - area.top,
                 TRUE);
}

void frmParameters::Form_Load() {
    SetFormBackColour(0x00E0E0E0);
    list_ = std::make_unique<ucList>(services_, ListDesign());
    const RECT area = Area(L"ucList1");
    list_->PlaceInForm(hwnd(), area.left, area.top, area.right - area.left, area.bottom - area.top);
    Theme();
    Init();
    if (fileProblem_ != ERROR_SUCCESS) {
        TellFileProblem(); // the list below does not come from the file: say so first
    }
}

void frmParameters::Theme() {
    const bool dark = DialogThemeIsDark();
    const COLORREF back = dark ? 0x000000 : 0x00E0E0E0;
    const COLORREF text = dark ? 0xFFFFFF : 0x000000;
    for (int i = 0; i <= 3; ++i) {
        SetColours(L"Frame1", i, back, text);
    }
    for (int i = 0; i <= 1; ++i) {
        SetColours(L"OptTheme", i, back, text);
        SetColours(L"OptYes", i, back, text);
    }
    SetDarkTitleBar(dark);
}

bool frmParameters::BringToFront() {
    const HWND window = hwnd();
    if (window == nullptr) {
        return false;
    }
    if (::IsIconic(window)) {
        ::ShowWindow(window, SW_RESTORE);
    }
    if (::SetForegroundWindow(window)) {
        return true;
    }
    // Windows gives the foreground only to the process the user is working with; the
    // flashing caption then shows where the open dialog is.
    FLASHWINFO flash{};
    flash.cbSize = sizeof(flash);
    flash.hwnd = window;
    flash.dwFlags = FLASHW_ALL | FLASHW_TIMERNOFG;
    ::FlashWindowEx(&flash);
    return false;
}

void frmParameters::LoadFile() {
    const WindowsAnsiCodec ansi;
    const ToolbarFileRead read = LoadToolbarFile(context_.toolbarFile, ansi);
    fileProblem_ = read.status == ToolbarFileStatus::Unreadable ? read.error : ERROR_SUCCESS;
    for (const auto& toolbar : read.toolbars) {
        AddToolbar(toolbar.path, toolbar.title);
    }
}

std::wstring frmParameters::Text(int number, std::wstring_view defaultText) const {
    return language_ ? language_->GetString(number, defaultText) : std::wstring(defaultText);
}

void frmParameters::TellFileProblem() {
    services_.ShowMessageBox(
        hwnd(),
        UnreadableToolbarFileMessage(context_.toolbarFile, fileProblem_, L"",
                                     [this](int n, std::wstring_view t) { return Text(n, t); }),
        L"ZelkToolbars", MB_OK | MB_ICONWARNING);
}

void frmParameters::Init() {
    LoadFile();
    const bool autoStart =
        GetRegSettingOrDefault(kSettingsApp, kSettingsSection, L"AutoStart", L"0") == L"1";
    Check(L"OptYes", autoStart ? 0 : 1);
    // The option compares the text with "0" while the colours follow the numeric rule:
    // "00" colours the dialog light but selects Dark, as it always has.
    const bool light =
        GetRegSettingOrDefault(kSettingsApp, kSettingsSection, L"Theme", kThemeDefault) == L"0";
    Check(L"OptTheme", light ? 0 : 1);
    list_->Refresh();
}

void frmParameters::AddToolbar(const std::wstring& strpath, std::wstring strTitle) {
    if (strpath.empty()) {
        return;
    }
    if (!ListConfigured) {
        ListProperties p = list_->Properties();
        p.UseMonocromeIcons = false;
        p.ItemHeight = 38;
        p.DrawSeparatorLine = false;
        p.Font.size = 12;
        list_->SetProperties(p);
        list_->ImageListInitialize(32, 32);
        list_->Shadow().BorderColor = 0;
        list_->Shadow().SetShadowOpacity(0);
        ListConfigured = true;
    }
    if (strTitle.empty()) {
        strTitle = BaseNameOf(strpath);
    }
    list_->AddItem(strTitle, -1, strpath);
}

void frmParameters::OnClick(const std::wstring& name, int index) {
    if (name == L"cmdAdd") {
        ToolbarsChanged = false;
        frmAddToolBar add(*this);
        add.ShowModal(hwnd());
        if (ToolbarsChanged) {
            list_->Update(true);
        }
    } else if (name == L"cmdRemove") {
        const long selected = list_->ListIndex();
        if (selected == -1) {
            return;
        }
        const std::wstring question =
            Text(2, EnglishString(2)) + L"\r\n" + list_->Items().Text() + L" ? ";
        if (services_.ShowMessageBox(hwnd(), question, L"ZelkToolbars",
                                     MB_YESNO | MB_ICONQUESTION) == IDYES) {
            list_->RemoveItem(selected);
            list_->Update(true);
        }
    } else if (name == L"cmdSort" && fileProblem_ != ERROR_SUCCESS) {
        TellFileProblem(); // sorting starts from the file, which cannot be read
    } else if (name == L"cmdSort") {
        ToolbarsChanged = false;
        FrmSort sort(*this);
        sort.ShowModal(hwnd());
        if (ToolbarsChanged) {
            list_->Clear();
            LoadFile();
            list_->Update(true);
        }
    } else if (name == L"cmdOpenDir") {
        std::wstring folder;
        if (index == 0) {
            if (list_->ListIndex() == -1) {
                services_.Beep();
                ::SetFocus(list_->hWnd());
                return;
            }
            if (const auto* path =
                    std::get_if<std::wstring>(&list_->ItemData(list_->ListIndex()))) {
                folder = *path;
            }
        } else {
            folder = StartMenuPrograms(index == 1 ? L"APPDATA" : L"ProgramData");
        }
        ShellOpen(services_, folder);
    } else if (name == L"cmdOk") {
        cmdOk_Click();
    }
}

void frmParameters::cmdOk_Click() {
    std::vector<Toolbar> toolbars;
    for (long i = 0; i < list_->Items().ListCount(); ++i) {
        const auto* path = std::get_if<std::wstring>(&list_->ItemData(i));
        toolbars.push_back({path ? *path : std::wstring(), list_->ItemText(i)});
    }
    const WindowsAnsiCodec ansi;
    if (fileProblem_ != ERROR_SUCCESS) {
        // The list shown did not start from the file: replace it only when the user says so.
        const int answer = services_.ShowMessageBox(
            hwnd(),
            ReplaceUnreadableQuestion(context_.toolbarFile, BackupPathOf(context_.toolbarFile),
                                      [this](int n, std::wstring_view t) { return Text(n, t); }),
            L"ZelkToolbars", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
        if (answer != IDYES) {
            return;
        }
    }
    CreateFolderPath(FolderOf(context_.toolbarFile) + L"\\");
    if (const DWORD error = WriteToolbarFile(context_.toolbarFile, toolbars, ansi)) {
        // The user's edit must not vanish behind a dialog that closes as if it had saved.
        services_.ShowMessageBox(hwnd(),
                                 LocalString(35) + L"\r\n" + context_.toolbarFile + L"\r\n(" +
                                     LocalString(37) + L" " + std::to_wstring(error) + L"). " +
                                     LocalString(36),
                                 L"ZelkToolbars", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // The list is saved; the rest is attempted in full and every refusal told at once, so the
    // user never believes Windows will start the program when it will not (or the reverse).
    std::wstring refused;
    bool allUsers = false;
    long runError = ERROR_SUCCESS;
    const bool startWithWindows = IsChecked(L"OptYes", 0);
    if (RegisterStartUp(kRunValueName, StartUpCommand(context_.programFolder, context_.exeName),
                        startWithWindows, allUsers, &runError) < 0) {
        refused += L"\r\n" + LocalString(startWithWindows ? 39 : 40) + L" (" + LocalString(37) +
                   L" " + std::to_wstring(runError) + L").";
    }
    const std::pair<const wchar_t*, const wchar_t*> settings[] = {
        {L"AutoStart", startWithWindows ? L"1" : L"0"},
        {L"Theme", IsChecked(L"OptTheme", 0) ? L"0" : L"1"}};
    for (const auto& [key, value] : settings) {
        if (const auto error = SaveRegSetting(kSettingsApp, kSettingsSection, key, value)) {
            refused += L"\r\n" + LocalString(41) + L" " + key + L" " + LocalString(42) + L" (" +
                       LocalString(37) + L" " + std::to_wstring(error->number) + L": " +
                       error->description + L").";
        }
    }
    if (!refused.empty()) {
        services_.ShowMessageBox(hwnd(), LocalString(43) + refused, L"ZelkToolbars",
                                 MB_OK | MB_ICONEXCLAMATION);
    }
    Unload();
}

} // namespace zelk
