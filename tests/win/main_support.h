#pragma once

#include "app/frmMain.h"
#include "test_support.h"

// The main form's folders in a temporary place: nothing of the user's is read or written.
struct MainFolders {
    TempFolder program, localAppData;
    RecordingUiServices services;
    std::vector<std::pair<DWORD, NOTIFYICONDATAW>> shell; // every icon call, in order
    bool shellRefuses = false;                            // Explorer still starting

    std::wstring ToolbarFile() const { return localAppData / L"Tanvel\\ToolBars\\ToolBars.txt"; }
    zelk::MainEnvironment Environment() {
        zelk::MainEnvironment env;
        env.programFolder = program.Folder();
        env.localAppData = localAppData.Folder().substr(0, localAppData.Folder().size() - 1);
        env.quitOnDestroy = false;
        env.shellMajorVersion = 6;
        env.notifyIcon = [this](DWORD op, NOTIFYICONDATAW* data) {
            shell.emplace_back(op, data != nullptr ? *data : NOTIFYICONDATAW{});
            return shellRefuses ? FALSE : TRUE;
        };
        return env;
    }
    // The main form started on a toolbar file of these lines.
    std::unique_ptr<zelk::frmMain> StartForm(const std::string& toolbars,
                                             zelk::MainEnvironment env) {
        WriteBytes(ToolbarFile(), toolbars);
        auto form =
            std::make_unique<zelk::frmMain>(::GetModuleHandleW(nullptr), services, std::move(env));
        form->Form_Load();
        return form;
    }
    std::ptrdiff_t IconCalls(DWORD op) const {
        return std::ranges::count_if(shell, [&](const auto& call) { return call.first == op; });
    }
    // The balloons shown whose text holds `part`.
    std::ptrdiff_t Balloons(const std::wstring& part = L"") const {
        return std::ranges::count_if(shell, [&](const auto& call) {
            const NOTIFYICONDATAW& data = call.second;
            return (data.uFlags & NIF_INFO) != 0 && data.szInfo[0] != L'\0' &&
                   std::wstring_view(data.szInfo).find(part) != std::wstring_view::npos;
        });
    }
};

// One line of a toolbar file, for a folder of plain ASCII.
inline std::string ToolbarLine(const std::wstring& folder, const std::string& title) {
    return std::string(folder.begin(), folder.end()) + "|" + title + "\r\n";
}

// The list a row of the top list leads to.
inline zelk::ucList& SubList(const zelk::ucList& list, long row) {
    return *const_cast<zelk::ucList*>(
        static_cast<const zelk::ucList*>(list.Items().Item(row).SubMenu));
}
