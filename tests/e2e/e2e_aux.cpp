// What the end-to-end tests need from inside Wine beyond keys and the window list:
//   lock PATH FLAGFILE [SECONDS]  opens PATH (environment variables expanded) with no sharing,
//                       prints "locked <expanded path>" and holds it until FLAGFILE is gone or
//                       SECONDS (default 120) have passed, so a test that dies never leaves
//                       the file held for ever
//   dialogtext HWND     the window's title, then one line per child window: class, tab, text,
//                       and " (default)" after the default push button
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

void PrintUtf8(const std::wstring& text) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0) {
        return;
    }
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
    std::fputs(out.c_str(), stdout);
}

std::wstring Expanded(const wchar_t* text) {
    const DWORD n = ::ExpandEnvironmentStringsW(text, nullptr, 0);
    if (n == 0) {
        return text;
    }
    std::wstring out(n, L'\0');
    const DWORD written = ::ExpandEnvironmentStringsW(text, out.data(), n);
    if (written == 0 || written > n) {
        return text;
    }
    out.resize(written - 1);
    return out;
}

int Lock(const wchar_t* path, const wchar_t* flag, const wchar_t* seconds) {
    const std::wstring file = Expanded(path);
    const HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        std::printf("error %lu\n", ::GetLastError());
        return 1;
    }
    PrintUtf8(L"locked " + file + L"\n");
    std::fflush(stdout);
    const ULONGLONG limitMs =
        (seconds != nullptr ? std::wcstoull(seconds, nullptr, 10) : 120ULL) * 1000ULL;
    const ULONGLONG start = ::GetTickCount64();
    while (::GetFileAttributesW(flag) != INVALID_FILE_ATTRIBUTES &&
           ::GetTickCount64() - start < limitMs) {
        ::Sleep(100);
    }
    ::CloseHandle(handle);
    std::printf("released\n");
    return 0;
}

// WM_GETTEXT, not GetWindowTextW: another process's controls answer only the message. With a
// time-out, so a hung program fails the test instead of holding it.
std::wstring TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) {
        return L"";
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXT, text.size(),
                               reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 2000,
                               &got)) {
        return L"";
    }
    text.resize(got < text.size() ? got : text.size() - 1);
    return text;
}

BOOL CALLBACK ListChild(HWND child, LPARAM) {
    wchar_t cls[256] = {};
    ::GetClassNameW(child, cls, 256);
    // The default push button is the one Return presses.
    const bool isDefault = std::wstring(cls) == L"Button" &&
                           (::GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    PrintUtf8(std::wstring(cls) + L"\t" + TextOf(child) + (isDefault ? L" (default)" : L"") +
              L"\n");
    return TRUE;
}

int DialogText(const wchar_t* handle) {
    const HWND window =
        reinterpret_cast<HWND>(static_cast<uintptr_t>(std::wcstoull(handle, nullptr, 10)));
    if (!::IsWindow(window)) {
        std::fprintf(stderr, "no such window\n");
        return 1;
    }
    PrintUtf8(TextOf(window) + L"\n");
    ::EnumChildWindows(window, &ListChild, 0);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"lock" && argc >= 4) {
        return Lock(argv[2], argv[3], argc > 4 ? argv[4] : nullptr);
    }
    if (command == L"dialogtext" && argc == 3) {
        return DialogText(argv[2]);
    }
    std::fprintf(stderr, "usage: e2e_aux lock PATH FLAGFILE [SECONDS] | dialogtext HWND\n");
    return 2;
}
