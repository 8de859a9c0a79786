// Drives and inspects the Wine desktop from inside it, where X tools cannot reach:
//   windows             every top-level window: handle, process, class, visibility, rectangle,
//   title keys NAME...        presses and releases keys through SendInput (up, down, left, right,
//                       return, escape, tab, or one letter/digit)
//   menu                the items of the visible popup menu, one per line
//   locale              the user's locale id
//   version PATH        the file's version resource: fixed=a.b.c.d file=... product=...
//   alive PID           "alive" or "gone": whether that process still runs
//   close CLASS         sends WM_CLOSE to every top-level window of that class and waits up
//                       to ten seconds for their processes to end (clean-up after a test)
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

void PrintUtf8(const std::wstring& text) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
    std::fputs(out.c_str(), stdout);
}

BOOL CALLBACK ListWindow(HWND hwnd, LPARAM) {
    wchar_t cls[256] = {}, title[256] = {};
    ::GetClassNameW(hwnd, cls, 256);
    ::GetWindowTextW(hwnd, title, 256);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    POINT client{0, 0};
    ::ClientToScreen(hwnd, &client);
    wchar_t line[800];
    std::swprintf(line, 800, L"%llu\t%lu\t%ls\t%d\t%ld,%ld,%ld,%ld\t%ls\t%ld,%ld\n",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(hwnd)), pid, cls,
                  ::IsWindowVisible(hwnd) ? 1 : 0, r.left, r.top, r.right, r.bottom, title,
                  client.x, client.y);
    PrintUtf8(line);
    return TRUE;
}

WORD KeyOf(const std::wstring& name) {
    static const struct {
        const wchar_t* name;
        WORD key;
    } keys[] = {{L"up", VK_UP},         {L"down", VK_DOWN},     {L"left", VK_LEFT},
                {L"right", VK_RIGHT},   {L"home", VK_HOME},     {L"end", VK_END},
                {L"pageup", VK_PRIOR},  {L"pagedown", VK_NEXT}, {L"return", VK_RETURN},
                {L"escape", VK_ESCAPE}, {L"tab", VK_TAB}};
    for (const auto& k : keys) {
        if (name == k.name) {
            return k.key;
        }
    }
    return name.size() == 1 ? static_cast<WORD>(::towupper(name[0])) : 0;
}

int Keys(int argc, wchar_t** argv) {
    for (int i = 2; i < argc; ++i) {
        const WORD vk = KeyOf(argv[i]);
        if (vk == 0) {
            std::fprintf(stderr, "unknown key\n");
            return 2;
        }
        INPUT input[2] = {};
        input[0].type = input[1].type = INPUT_KEYBOARD;
        input[0].ki.wVk = input[1].ki.wVk = vk;
        input[1].ki.dwFlags = KEYEVENTF_KEYUP;
        ::SendInput(2, input, sizeof(INPUT));
        ::Sleep(150);
    }
    return 0;
}

int Menu() {
    HWND popup = nullptr;
    while ((popup = ::FindWindowExW(nullptr, popup, L"#32768", nullptr)) != nullptr) {
        if (::IsWindowVisible(popup)) {
            break;
        }
    }
    if (popup == nullptr) {
        return 1;
    }
    const HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0));
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        ::GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
        PrintUtf8(std::wstring(text) + L"\n");
    }
    return count > 0 ? 0 : 1;
}

std::wstring VersionString(const std::vector<BYTE>& data, const wchar_t* name) {
    struct Translation {
        WORD language;
        WORD codePage;
    }* translations = nullptr;
    UINT bytes = 0;
    if (!::VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                          reinterpret_cast<void**>(&translations), &bytes) ||
        bytes < sizeof(Translation)) {
        return L"?";
    }
    wchar_t query[128];
    std::swprintf(query, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translations[0].language,
                  translations[0].codePage, name);
    wchar_t* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(data.data(), query, reinterpret_cast<void**>(&value), &length) ||
        value == nullptr) {
        return L"?";
    }
    return std::wstring(value, wcsnlen(value, length));
}

int Version(const wchar_t* path) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0) {
        std::fprintf(stderr, "no version resource\n");
        return 1;
    }
    std::vector<BYTE> data(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!::GetFileVersionInfoW(path, 0, size, data.data()) ||
        !::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
        fixed == nullptr || length < sizeof(VS_FIXEDFILEINFO)) {
        std::fprintf(stderr, "unreadable version resource\n");
        return 1;
    }
    wchar_t line[512];
    std::swprintf(line, 512, L"fixed=%u.%u.%u.%u file=%ls product=%ls\n",
                  HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                  HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS),
                  VersionString(data, L"FileVersion").c_str(),
                  VersionString(data, L"ProductVersion").c_str());
    PrintUtf8(line);
    return 0;
}

int Alive(const wchar_t* pid) {
    const HANDLE process =
        ::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(std::wcstoul(pid, nullptr, 10)));
    const bool alive = process != nullptr && ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    if (process != nullptr) {
        ::CloseHandle(process);
    }
    std::puts(alive ? "alive" : "gone");
    return 0;
}

int Close(const wchar_t* windowClass) {
    std::vector<HANDLE> processes;
    HWND window = nullptr;
    while ((window = ::FindWindowExW(nullptr, window, windowClass, nullptr)) != nullptr) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(window, &pid);
        if (const HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, pid)) {
            processes.push_back(process);
        }
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutW(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    }
    int status = 0;
    for (const HANDLE process : processes) {
        if (::WaitForSingleObject(process, 10000) != WAIT_OBJECT_0) {
            status = 1;
        }
        ::CloseHandle(process);
    }
    return status;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"windows") {
        ::EnumWindows(&ListWindow, 0);
        return 0;
    }
    if (command == L"keys") {
        return Keys(argc, argv);
    }
    if (command == L"menu") {
        return Menu();
    }
    if (command == L"locale") {
        std::printf("%lu\n", static_cast<unsigned long>(::GetUserDefaultLCID()));
        return 0;
    }
    if (command == L"version" && argc == 3) {
        return Version(argv[2]);
    }
    if (command == L"alive" && argc == 3) {
        return Alive(argv[2]);
    }
    if (command == L"close" && argc == 3) {
        return Close(argv[2]);
    }
    std::fprintf(stderr, "usage: e2e_helper windows | keys NAME... | menu | locale | version PATH"
                         " | alive PID | close CLASS\n");
    return 2;
}
