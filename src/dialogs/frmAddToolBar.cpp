#include "dialogs/frmAddToolBar.h"

#include "core/dialog_rules.h"
#include "core/paths.h"
#include "dialogs/CmnDialogEx.h"
#include "dialogs/frmParameters.h"
#include "settings/localisation_files.h"
#include "win/file_io.h"
#include "win/ui_services.h"

namespace zelk {

namespace {

bool IsStep2Control(const std::wstring& name, int index) {
    return (name == L"Frame1" && index == 1) || name == L"lblLabel1" || name == L"txtText1" ||
           name == L"cmdOk" || (name == L"cmdCancel" && index == 1);
}

} // namespace

frmAddToolBar::frmAddToolBar(frmParameters& parameters)
    : DialogForm(*parameters.Context().services, parameters.Context().language,
                 DesignOf(L"frmAddToolBar")),
      parameters_(parameters) {}

void frmAddToolBar::Form_Load() {
    LoadPicture(L"Picture1", -1, parameters_.Context().productIcon);
    ShowStep(false);
    Theme();
}

void frmAddToolBar::ShowStep(bool second) {
    step2_ = second;
    for (const auto& ref : Controls()) {
        const bool shown = IsStep2Control(ref.name, ref.index) == second;
        if (ref.name == L"Frame1") {
            ShowFrame(ref.name, ref.index, shown);
        } else if (HWND control = Control(ref.name, ref.index)) {
            ::ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
        }
    }
    ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void frmAddToolBar::Theme() {
    const bool dark = DialogThemeIsDark();
    const COLORREF panel = dark ? 0x000000 : 0x00E0E0E0;
    SetFormBackColour(panel);
    SetColours(L"Frame1", 0, panel, dark ? 0xFFFFFF : 0);
    SetColours(L"Frame1", 1, panel, dark ? 0xFFFFFF : 0);
    SetColours(L"Picture1", -1, panel, 0);
    for (int i = 0; i <= 2; ++i) {
        SetColours(L"lblLabel2", i, panel, dark ? 0xFFFFFF : 0);
    }
    SetColours(L"lblLabel1", -1, panel, dark ? 0x008080FF : 0);
    SetDarkTitleBar(dark);
}

void frmAddToolBar::OnClick(const std::wstring& name, int index) {
    if (name == L"cmd") {
        cmd_Click(index);
    } else if (name == L"cmdOk" && step2_) {
        parameters_.ToolbarsChanged = true;
        std::wstring title = TextOf(L"txtText1");
        if (title.empty()) {
            title = BaseNameOf(selectedPath_);
        }
        parameters_.ucList1().AddItem(title, -1, selectedPath_);
        Unload();
    } else if (name == L"cmdCancel") {
        parameters_.ToolbarsChanged = false;
        Unload();
    }
}

void frmAddToolBar::cmd_Click(int index) {
    selectedPath_.clear();
    const DialogContext& context = parameters_.Context();
    int32_t lastError = 0;
    std::optional<std::wstring> path;
    if (context.pickFolder) {
        path = context.pickFolder(hwnd(), index, lastError);
    } else {
        CmnDialogEx picker;
        const std::wstring_view english = EnglishString(4 + index);
        picker.DialogTitle =
            language_ ? language_->GetString(4 + index, english) : std::wstring(english);
        if (index == 1 || index == 2) {
            // A start menu folder that cannot be the root leaves the picker at the whole disk,
            // which still lets the user reach it.
            static_cast<void>(picker.SetRootFolder(
                AddBackslash(EnvironmentVariable(index == 1 ? L"APPDATA" : L"ProgramData")) +
                L"Microsoft\\Windows\\Start Menu\\Programs\\"));
        }
        if (picker.ShowBrowseForFolder(hwnd(), L"Choose the root folder of your toolbar")) {
            path = picker.FileName();
        } else {
            lastError = static_cast<int32_t>(::GetLastError());
        }
    }
    if (path) {
        const std::wstring chosen = path->substr(0, path->find(L'\0'));
        if (!chosen.empty()) {
            selectedPath_ = chosen;
            SetText(L"txtText1", -1, BaseNameOf(selectedPath_));
            ShowStep(true);
            ::SetFocus(Control(L"txtText1"));
        }
        return;
    }
    if (lastError != kPickerCancelled) {
        services_.ShowMessageBox(hwnd(), PickerFailureText(lastError, LocalString(44)), L"", MB_OK);
    }
}

} // namespace zelk
