#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "win/unique_handle.h"

namespace zelk {

// The folder-browsing side of the common dialog class: the system's folder browser, with a
// caption, a root the user cannot leave and an initial folder.
class CmnDialogEx {
public:
    CmnDialogEx();
    ~CmnDialogEx();
    CmnDialogEx(const CmnDialogEx&) = delete;
    CmnDialogEx& operator=(const CmnDialogEx&) = delete;

    void Clear();
    std::wstring DialogTitle;
    std::wstring InitDir;
    long FlagsFolderBrowsing = 0;
    bool CancelError = false;
    const std::wstring& FileName() const { return fileName_; }
    // An empty path leaves the whole namespace; false when the path names no folder.
    [[nodiscard]] bool SetRootFolder(const std::wstring& path);
    bool HasRoot() const { return static_cast<bool>(root_); }

    // True when a folder was chosen; on cancel false with the thread's last error set to
    // the cancel code (0x800704C7).
    bool ShowBrowseForFolder(HWND ParentHwnd, const std::wstring& BrowserHint = L"",
                             bool ReturnFriendlyPath = false);

private:
    static int CALLBACK BrowseCallback(HWND hwnd, UINT message, LPARAM lParam, LPARAM data);
    unique_cotaskmem<ITEMIDLIST_ABSOLUTE> root_;
    std::wstring fileName_;
};

} // namespace zelk
