// The floor the menu's memory is judged against: the least a Win32 tray program built with the
// same tool chain costs under the same Wine (a window, an icon, a message loop). It says
// "ready" once its icon is up, then waits for its standard input to close. With the argument
// "shell-icons" it also asks the shell for one file's small icon, as any program showing files
// with their icons must: what that costs is the shell's, not the menu's.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZelkTrayFloor";
    if (::RegisterClassExW(&wc) == 0) {
        return 1;
    }
    const HWND window = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 0, 0,
                                          nullptr, nullptr, wc.hInstance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof(icon);
    icon.hWnd = window;
    icon.uID = 1;
    icon.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    icon.uCallbackMessage = WM_APP;
    icon.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    lstrcpynW(icon.szTip, L"Floor", ARRAYSIZE(icon.szTip));
    const bool shown = ::Shell_NotifyIconW(NIM_ADD, &icon) != FALSE;
    if (argc > 1 && std::wcscmp(argv[1], L"shell-icons") == 0) {
        const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        SHFILEINFOW file{};
        if (::SHGetFileInfoW(L"x.txt", FILE_ATTRIBUTE_NORMAL, &file, sizeof(file),
                             SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES) == 0) {
            return 1;
        }
        ::DestroyIcon(file.hIcon);
        if (SUCCEEDED(com)) {
            ::CoUninitialize();
        }
    }
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::DispatchMessageW(&msg);
    }
    std::printf(shown ? "ready\n" : "ready (no icon)\n");
    std::fflush(stdout);
    char line[16];
    static_cast<void>(std::fgets(line, sizeof(line), stdin)); // until the bench lets go
    if (shown) {
        ::Shell_NotifyIconW(NIM_DELETE, &icon);
    }
    ::DestroyWindow(window);
    return 0;
}
