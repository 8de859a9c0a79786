// The floor the menu's memory is judged against: the least a Win32 tray program built with the
// same tool chain costs under the same Wine (a window, an icon, a message loop). It says
// "ready" once its icon is up, then waits for its standard input to close.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>

int wmain() {
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
