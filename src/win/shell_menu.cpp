#include "win/shell_menu.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "win/ui_services.h"
#include "win/unique_handle.h"

namespace zelk {

namespace {

constexpr UINT kFirstCommand = 1;
constexpr UINT kLastCommand = 0x7FFF;
constexpr wchar_t kHostClass[] = L"ZelkToolBarsShellMenuHost";

// The menu's owner while it is tracked: the shell's owner-drawn submenus are built and drawn
// through the messages their owner receives, passed on here to the menu's handler.
LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* menu = reinterpret_cast<IContextMenu*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (menu != nullptr && (message == WM_INITMENUPOPUP || message == WM_DRAWITEM ||
                            message == WM_MEASUREITEM || message == WM_MENUCHAR)) {
        com_ptr<IContextMenu3> third;
        if (SUCCEEDED(menu->QueryInterface(IID_IContextMenu3, third.put_void()))) {
            LRESULT result = 0;
            if (SUCCEEDED(third->HandleMenuMsg2(message, wParam, lParam, &result))) {
                return result;
            }
        }
        com_ptr<IContextMenu2> second;
        if (SUCCEEDED(menu->QueryInterface(IID_IContextMenu2, second.put_void())) &&
            SUCCEEDED(second->HandleMenuMsg(message, wParam, lParam))) {
            return message == WM_INITMENUPOPUP ? 0 : TRUE;
        }
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void Log(UiServices& log, const std::wstring& path, const wchar_t* step, HRESULT result) {
    log.LogEvent(EVENTLOG_WARNING_TYPE, L"ZelkToolBars",
                 L"The shell's menu for " + path + L": " + step + L" failed (error " +
                     std::to_wstring(static_cast<unsigned long>(result)) + L")");
}

} // namespace

ShellMenuChoice ShowShellContextMenu(UiServices& log, HWND owner, const std::wstring& path,
                                     POINT at) {
    PIDLIST_ABSOLUTE parsed = nullptr;
    HRESULT result = ::SHParseDisplayName(path.c_str(), nullptr, &parsed, 0, nullptr);
    const unique_cotaskmem<ITEMIDLIST_ABSOLUTE> item(parsed);
    if (FAILED(result)) {
        Log(log, path, L"finding the item", result);
        return ShellMenuChoice::None;
    }
    com_ptr<IShellFolder> folder;
    PCUITEMID_CHILD child = nullptr;
    result = ::SHBindToParent(item.get(), IID_IShellFolder, folder.put_void(), &child);
    com_ptr<IContextMenu> menu;
    if (SUCCEEDED(result)) {
        result =
            folder->GetUIObjectOf(owner, 1, &child, IID_IContextMenu, nullptr, menu.put_void());
    }
    if (FAILED(result)) {
        Log(log, path, L"asking the folder for it", result);
        return ShellMenuChoice::None;
    }
    const unique_menu popup(::CreatePopupMenu());
    if (!popup) {
        Log(log, path, L"making the menu", HRESULT_FROM_WIN32(::GetLastError()));
        return ShellMenuChoice::None;
    }
    result = menu->QueryContextMenu(popup.get(), 0, kFirstCommand, kLastCommand,
                                    CMF_NORMAL | CMF_EXTENDEDVERBS);
    if (FAILED(result)) {
        Log(log, path, L"filling the menu", result);
        return ShellMenuChoice::None;
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &HostProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kHostClass;
    static_cast<void>(::RegisterClassExW(&wc)); // already registered after the first menu
    const unique_window host(::CreateWindowExW(0, kHostClass, L"", WS_POPUP, 0, 0, 0, 0, owner,
                                               nullptr, wc.hInstance, nullptr));
    if (!host) {
        Log(log, path, L"making its owner window", HRESULT_FROM_WIN32(::GetLastError()));
        return ShellMenuChoice::None;
    }
    ::SetWindowLongPtrW(host.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(menu.get()));
    // A menu whose owner is not in the foreground is not dismissed by a click elsewhere
    // (TrackPopupMenu, Remarks); the message after it lets the next menu close properly.
    // Granted: the process has just received the click or key that asked for the menu.
    // Refused, the menu still works; only a click elsewhere then fails to close it.
    static_cast<void>(::SetForegroundWindow(host.get()));
    const UINT command = static_cast<UINT>(::TrackPopupMenuEx(
        popup.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, host.get(), nullptr));
    ::PostMessageW(host.get(), WM_NULL, 0, 0);
    ::SetWindowLongPtrW(host.get(), GWLP_USERDATA, 0);
    if (command < kFirstCommand) {
        return ShellMenuChoice::None; // dismissed
    }
    wchar_t verb[64] = {};
    if (SUCCEEDED(menu->GetCommandString(command - kFirstCommand, GCS_VERBW, nullptr,
                                         reinterpret_cast<char*>(verb), ARRAYSIZE(verb))) &&
        ::CompareStringOrdinal(verb, -1, L"open", -1, TRUE) == CSTR_EQUAL) {
        return ShellMenuChoice::Open;
    }
    // The command by its offset, as the menu numbered it: no verb text to convert.
    CMINVOKECOMMANDINFO invoke{};
    invoke.cbSize = sizeof(invoke);
    invoke.hwnd = owner;
    invoke.lpVerb = MAKEINTRESOURCEA(command - kFirstCommand);
    invoke.nShow = SW_SHOWNORMAL;
    result = menu->InvokeCommand(&invoke);
    if (FAILED(result)) {
        Log(log, path, L"running the chosen command", result);
    }
    return ShellMenuChoice::Handled;
}

} // namespace zelk
