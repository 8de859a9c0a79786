#pragma once

#include "app/frmMain.h"
#include "test_support.h"

// The main form's folders in a temporary place: nothing of the user's is read or written.
struct MainFolders {
    TempFolder program, localAppData;
    RecordingUiServices services;

    std::wstring ToolbarFile() const { return localAppData / L"Tanvel\\ToolBars\\ToolBars.txt"; }
    // The shell accepts every icon call unless the test puts its own notifyIcon.
    zelk::MainEnvironment Environment() const {
        zelk::MainEnvironment env;
        env.programFolder = program.Folder();
        env.localAppData = localAppData.Folder().substr(0, localAppData.Folder().size() - 1);
        env.quitOnDestroy = false;
        env.shellMajorVersion = 6;
        env.notifyIcon = [](DWORD, NOTIFYICONDATAW*) { return TRUE; };
        return env;
    }
};

// The list a row of the top list leads to.
inline zelk::ucList& SubList(const zelk::ucList& list, long row) {
    return *const_cast<zelk::ucList*>(
        static_cast<const zelk::ucList*>(list.Items().Item(row).SubMenu));
}
