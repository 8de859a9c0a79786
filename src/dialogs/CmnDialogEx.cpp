#include "dialogs/CmnDialogEx.h"

#include <shobjidl.h>

#include "core/dialog_rules.h"

namespace zelk {

CmnDialogEx::CmnDialogEx() = default;
CmnDialogEx::~CmnDialogEx() {
    Clear();
}

void CmnDialogEx::Clear() {
    root_.reset();
    DialogTitle.clear();
    InitDir.clear();
    FlagsFolderBrowsing = 0;
    CancelError = false;
    fileName_.clear();
}

bool CmnDialogEx::SetRootFolder(const std::wstring& path) {
    root_.reset();
    if (path.empty()) {
        return true;
    }
    return SUCCEEDED(::SHParseDisplayName(path.c_str(), nullptr, root_.put(), 0, nullptr));
}

int CALLBACK CmnDialogEx::BrowseCallback(HWND hwnd, UINT message, LPARAM, LPARAM data) {
    const auto* self = reinterpret_cast<const CmnDialogEx*>(data);
    if (message == BFFM_INITIALIZED) {
        if (!self->DialogTitle.empty()) {
            ::SetWindowTextW(hwnd, self->DialogTitle.c_str());
        }
        if (!self->InitDir.empty()) {
            ::SendMessageW(hwnd, BFFM_SETSELECTIONW, TRUE,
                           reinterpret_cast<LPARAM>(self->InitDir.c_str()));
        }
    }
    return 0;
}

bool CmnDialogEx::ShowBrowseForFolder(HWND ParentHwnd, const std::wstring& BrowserHint,
                                      bool ReturnFriendlyPath) {
    UINT flags = static_cast<UINT>(FlagsFolderBrowsing);
    if (flags == 0 || (flags & 0x8000)) {
        flags |= BIF_NEWDIALOGSTYLE;
    }
    if (flags & 0x80) {
        flags |= 0x4050;
    }
    wchar_t display[MAX_PATH] = {};
    BROWSEINFOW info{};
    info.hwndOwner = ParentHwnd;
    info.pidlRoot = root_.get();
    info.pszDisplayName = display;
    info.lpszTitle = BrowserHint.c_str();
    info.ulFlags = flags;
    if (!DialogTitle.empty() || !InitDir.empty()) {
        info.lpfn = &BrowseCallback;
        info.lParam = reinterpret_cast<LPARAM>(this);
    }
    fileName_.clear();
    const unique_cotaskmem<ITEMIDLIST_ABSOLUTE> chosen(::SHBrowseForFolderW(&info));
    if (!chosen) {
        ::SetLastError(static_cast<DWORD>(kPickerCancelled));
        return false;
    }
    com_ptr<IShellItem> item;
    if (SUCCEEDED(::SHCreateItemFromIDList(chosen.get(), IID_IShellItem, item.put_void()))) {
        unique_cotaskmem<wchar_t> name;
        if (SUCCEEDED(item->GetDisplayName(ReturnFriendlyPath ? SIGDN_DESKTOPABSOLUTEEDITING
                                                              : SIGDN_DESKTOPABSOLUTEPARSING,
                                           name.put()))) {
            fileName_ = name.get();
            // Some shells end a folder's parsing name with a backslash; the folder's own name
            // (and so the toolbar's title) must not come out empty. Drive roots keep theirs.
            if (fileName_.size() > 3 && fileName_.back() == L'\\') {
                fileName_.pop_back();
            }
        }
    }
    return true;
}

} // namespace zelk
