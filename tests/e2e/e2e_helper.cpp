// Drives and inspects the Wine desktop from inside it, where X tools cannot reach:
//   windows             each top-level window: handle, pid, class, visible, rectangle, title,
//                       client origin
//   keys NAME...        presses and releases keys through SendInput: up, down, left, right,
//                       home, end, pageup, pagedown, return, escape, tab, apps, a letter or
//                       digit, f1 to f24, each after any of ctrl+, alt+, shift+ (ctrl+alt+f11)
//   texts CLASS         the title of the visible top-level window of that class, then the
//                       texts of its controls, one a line
//   serve               answers commands read one a line, each answer ending with "end" (a
//                       Wine process start costs about a second a step): state, windows,
//                       keys NAME..., hotkeys, objects PID, dir FOLDER, close HWND, quit
//   hold NAME           holds a key as a hot key until standard input closes
//   leaker              a stand-in that leaks one object per line read ("brush", "dc",
//                       "window"; "balanced" frees what it makes), to show the counts see it
//   version PATH        the version resource: fixed=a.b.c.d file=... product=...
//   alive PID           "alive" or "gone"
//   close CLASS         WM_CLOSE to every top-level window of that class, then waits up to
//                       ten seconds for their processes to end
//   lock PATH FLAGFILE [SECONDS]  opens PATH (variables expanded) with no sharing, prints
//                       "locked <path>" and holds it until FLAGFILE is gone or SECONDS
//                       (120) have passed, so a test that dies never holds it for ever
//   dialogtext HWND     the window's title, then per child: class, tab, text, and
//                       " (default)" after the default push button
//   prop CLASS NAME     the number a window of that class keeps under that property name
#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "../common/object_counts.h"

namespace {

std::string ToUtf8(const std::wstring& text) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
    return out.c_str();
}

void PrintUtf8(const std::wstring& text) {
    std::fputs(ToUtf8(text).c_str(), stdout);
}

std::wstring FromUtf8(const std::string& text) {
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 1), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), n);
    out.resize(out.size() - 1);
    return out;
}

unsigned long long Number(HANDLE handle) {
    return static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(handle));
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
    std::swprintf(line, 800, L"%llu\t%lu\t%ls\t%d\t%ld,%ld,%ld,%ld\t%ls\t%ld,%ld\n", Number(hwnd),
                  pid, cls, ::IsWindowVisible(hwnd) ? 1 : 0, r.left, r.top, r.right, r.bottom,
                  title, client.x, client.y);
    PrintUtf8(line);
    return TRUE;
}

struct KeyName {
    const char* name;
    WORD key;
};
// The keys a shown menu takes from the whole desktop, in the order the checks report them.
constexpr KeyName kNavigationKeys[] = {
    {"up", VK_UP},         {"down", VK_DOWN},     {"left", VK_LEFT},    {"right", VK_RIGHT},
    {"home", VK_HOME},     {"end", VK_END},       {"pageup", VK_PRIOR}, {"pagedown", VK_NEXT},
    {"return", VK_RETURN}, {"escape", VK_ESCAPE}, {"tab", VK_TAB},      {"apps", VK_APPS}};

WORD KeyOf(const std::string& name) {
    for (const auto& k : kNavigationKeys) {
        if (name == k.name) {
            return k.key;
        }
    }
    return name.size() == 1 ? static_cast<WORD>(::toupper(static_cast<unsigned char>(name[0]))) : 0;
}

// "ctrl+alt+f11": RegisterHotKey's modifiers and the key; a plain name has none.
struct Chord {
    UINT modifiers = 0;
    WORD key = 0;
};
Chord ChordOf(const std::string& name) {
    Chord chord;
    size_t start = 0;
    while (true) {
        const size_t plus = name.find('+', start);
        const std::string part = name.substr(start, plus - start);
        if (plus == std::string::npos) {
            chord.key = KeyOf(part);
            if (part.size() >= 2 && part.size() <= 3 && part[0] == 'f') {
                const int number = std::atoi(part.c_str() + 1);
                chord.key = number >= 1 && number <= 24 ? static_cast<WORD>(VK_F1 + number - 1) : 0;
            }
            return chord;
        }
        chord.modifiers |= part == "ctrl"    ? MOD_CONTROL
                           : part == "alt"   ? MOD_ALT
                           : part == "shift" ? MOD_SHIFT
                                             : 0;
        start = plus + 1;
    }
}

bool Press(const Chord& chord) {
    const std::pair<UINT, WORD> modifiers[] = {
        {MOD_CONTROL, VK_CONTROL}, {MOD_ALT, VK_MENU}, {MOD_SHIFT, VK_SHIFT}};
    std::vector<INPUT> input;
    const auto add = [&](WORD vk, DWORD flags) {
        INPUT one{};
        one.type = INPUT_KEYBOARD;
        one.ki.wVk = vk;
        one.ki.dwFlags = flags;
        input.push_back(one);
    };
    for (const auto& [flag, vk] : modifiers) {
        if (chord.modifiers & flag) {
            add(vk, 0);
        }
    }
    add(chord.key, 0);
    add(chord.key, KEYEVENTF_KEYUP);
    for (const auto& [flag, vk] : modifiers) {
        if (chord.modifiers & flag) {
            add(vk, KEYEVENTF_KEYUP);
        }
    }
    const UINT count = static_cast<UINT>(input.size());
    return ::SendInput(count, input.data(), sizeof(INPUT)) == count;
}

// Presses the keys one after the other, PAUSE apart, naming each one it could not press;
// false when a name is no key at all.
bool PressKeys(const std::vector<std::string>& names, DWORD pause) {
    bool known = true;
    for (const std::string& name : names) {
        const Chord chord = ChordOf(name);
        known = known && chord.key != 0;
        if (chord.key == 0 || !Press(chord)) {
            std::printf("error key %s\n", name.c_str());
        }
        ::Sleep(pause);
    }
    return known;
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

int Texts(const wchar_t* cls) {
    HWND top = nullptr;
    while ((top = ::FindWindowExW(nullptr, top, cls, nullptr)) != nullptr &&
           !::IsWindowVisible(top)) {
    }
    if (top == nullptr) {
        return 1;
    }
    PrintUtf8(TextOf(top) + L"\n");
    for (HWND c = ::GetWindow(top, GW_CHILD); c != nullptr; c = ::GetWindow(c, GW_HWNDNEXT)) {
        if (const std::wstring text = TextOf(c); !text.empty()) {
            PrintUtf8(text + L"\n");
        }
    }
    return 0;
}

// --- serve ------------------------------------------------------------------------------

// The menu lists and the program's main window, as "list HWND PID VISIBLE L,T,R,B PARENT" and
// "main HWND PID". PARENT is the list a shown submenu names as its parent (0 for none). Shown
// folder windows come as "folder HWND".
BOOL CALLBACK ListMenuWindow(HWND hwnd, LPARAM) {
    wchar_t cls[64] = {};
    if (::GetClassNameW(hwnd, cls, 64) == 0) {
        return TRUE;
    }
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (std::wcscmp(cls, L"ZelkList") == 0) {
        RECT r{};
        ::GetWindowRect(hwnd, &r);
        const HANDLE parent = ::GetPropW(hwnd, L"ZelkToolBars.ParentMenu");
        std::printf("list %llu %lu %d %ld,%ld,%ld,%ld %llu\n", Number(hwnd), pid,
                    ::IsWindowVisible(hwnd) ? 1 : 0, r.left, r.top, r.right, r.bottom,
                    Number(parent));
    } else if (std::wcscmp(cls, L"ZelkToolBarsMain") == 0) {
        std::printf("main %llu %lu\n", Number(hwnd), pid);
    } else if ((std::wcscmp(cls, L"ExplorerWClass") == 0 ||
                std::wcscmp(cls, L"CabinetWClass") == 0) &&
               ::IsWindowVisible(hwnd)) {
        std::printf("folder %llu\n", Number(hwnd)); // a folder handed to the shell
    }
    return TRUE;
}

// Which navigation keys someone already holds as a hot key (no modifiers). Each key this
// process gets is given back at once, so the holder is never disturbed for longer than a call.
void HeldHotKeys() {
    std::string held, errors;
    int id = 0x5A00;
    for (const auto& k : kNavigationKeys) {
        ++id;
        if (::RegisterHotKey(nullptr, id, 0, k.key)) {
            ::UnregisterHotKey(nullptr, id);
            continue;
        }
        const DWORD error = ::GetLastError();
        if (error == ERROR_HOTKEY_ALREADY_REGISTERED) {
            held += std::string(" ") + k.name;
        } else {
            errors += std::string(" ") + k.name + ":" + std::to_string(error);
        }
    }
    std::printf("held%s\n", held.c_str());
    if (!errors.empty()) {
        std::printf("error%s\n", errors.c_str());
    }
}

// The process if it still runs, else null.
HANDLE OpenRunning(DWORD pid, DWORD access) {
    const HANDLE process = ::OpenProcess(access | SYNCHRONIZE, FALSE, pid);
    if (process != nullptr && ::WaitForSingleObject(process, 0) != WAIT_TIMEOUT) {
        ::CloseHandle(process);
        return nullptr;
    }
    return process;
}

// "objects windows=N gdi=M types=T:n,..." (gdi=-1 when the table cannot be read); "gone"
// when the process has ended.
void Objects(DWORD pid) {
    const HANDLE process = OpenRunning(pid, PROCESS_QUERY_INFORMATION | PROCESS_VM_READ);
    if (process == nullptr) {
        std::printf("gone\n");
        return;
    }
    const object_counts::GdiCount counted = object_counts::CountGdiObjects(process);
    ::CloseHandle(process);
    std::string types;
    for (const auto& [type, count] : counted.byType) {
        types += (types.empty() ? "" : ",") + std::to_string(type) + ":" + std::to_string(count);
    }
    std::printf("objects windows=%ld gdi=%ld types=%s\n", object_counts::CountWindows(pid),
                counted.total, types.c_str());
}

// A folder's entries as the program lists them: FindFirstFileEx order, hidden and system
// entries left out; "d NAME" or "f NAME".
void Directory(const std::wstring& folder) {
    WIN32_FIND_DATAW data{};
    const std::wstring pattern = folder + (folder.ends_with(L"\\") ? L"*.*" : L"\\*.*");
    const HANDLE find =
        ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                           FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        if (data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) {
            continue;
        }
        const bool folderEntry = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        PrintUtf8((folderEntry ? L"d " : L"f ") + std::wstring(data.cFileName) + L"\n");
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
}

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    return {std::istream_iterator<std::string>(in), {}};
}

std::string Trim(const std::string& text) {
    const size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string::npos) {
        return {};
    }
    return text.substr(start, text.find_last_not_of(" \t\r\n") - start + 1);
}

int Serve() {
    std::string line;
    while (std::getline(std::cin, line)) {
        const std::vector<std::string> words = Words(line);
        const std::string command = words.empty() ? "" : words[0];
        if (command == "quit") {
            break;
        }
        if (command == "state") {
            ::EnumWindows(&ListMenuWindow, 0);
        } else if (command == "windows") {
            ::EnumWindows(&ListWindow, 0);
        } else if (command == "keys") {
            PressKeys({words.begin() + 1, words.end()}, 0);
        } else if (command == "close" && words.size() == 2) {
            const HWND target =
                reinterpret_cast<HWND>(static_cast<uintptr_t>(std::stoull(words[1])));
            if (!::PostMessageW(target, WM_CLOSE, 0, 0)) {
                std::printf("error %lu\n", ::GetLastError());
            }
        } else if (command == "hotkeys") {
            HeldHotKeys();
        } else if (command == "objects" && words.size() == 2) {
            Objects(static_cast<DWORD>(std::stoul(words[1])));
        } else if (command == "dir" && words.size() >= 2) {
            Directory(FromUtf8(Trim(line.substr(line.find("dir") + 3))));
        } else {
            std::printf("error unknown command\n");
        }
        std::printf("end\n");
        std::fflush(stdout);
    }
    return 0;
}

int Hold(const wchar_t* name) {
    const Chord chord = ChordOf(ToUtf8(name));
    if (chord.key == 0 || !::RegisterHotKey(nullptr, 1, chord.modifiers, chord.key)) {
        std::printf("failed %lu\n", ::GetLastError());
        std::fflush(stdout);
        return 1;
    }
    std::printf("held\n");
    std::fflush(stdout);
    std::string line;
    std::getline(std::cin, line); // until the test lets go
    ::UnregisterHotKey(nullptr, 1);
    return 0;
}

int Leaker() {
    std::printf("pid %lu\n", ::GetCurrentProcessId());
    std::fflush(stdout);
    std::string line;
    while (std::getline(std::cin, line)) {
        const std::vector<std::string> words = Words(line);
        const std::string what = words.empty() ? "" : words[0];
        if (what == "quit") {
            break;
        }
        bool made = true;
        if (what == "brush") {
            made = ::CreateSolidBrush(RGB(9, 9, 9)) != nullptr; // never deleted, on purpose
        } else if (what == "window") {
            made = ::CreateWindowExW(0, L"STATIC", L"leak", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                     nullptr, nullptr) != nullptr; // never destroyed
        } else if (what == "dc") {
            made = ::CreateCompatibleDC(nullptr) != nullptr; // never deleted, on purpose
        } else if (what == "balanced") {
            const HBRUSH brush = ::CreateSolidBrush(RGB(9, 9, 9));
            made = brush != nullptr && ::DeleteObject(brush);
        }
        std::printf(made ? "ok\n" : "failed\n");
        std::fflush(stdout);
    }
    return 0;
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
    const HANDLE process = OpenRunning(static_cast<DWORD>(std::wcstoul(pid, nullptr, 10)), 0);
    if (process != nullptr) {
        ::CloseHandle(process);
    }
    std::puts(process != nullptr ? "alive" : "gone");
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

// --- the unreadable list: a lock held from inside Wine, a box read through its controls ---

std::wstring Expanded(const wchar_t* text) {
    std::wstring out(32768, L'\0');
    const DWORD n = ::ExpandEnvironmentStringsW(text, out.data(), static_cast<DWORD>(out.size()));
    if (n == 0 || n > out.size()) {
        return text;
    }
    out.resize(n - 1);
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
    const std::pair<const wchar_t*, int (*)(const wchar_t*)> takingOne[] = {
        {L"texts", &Texts}, {L"hold", &Hold},   {L"version", &Version},
        {L"alive", &Alive}, {L"close", &Close}, {L"dialogtext", &DialogText}};
    for (const auto& [name, run] : takingOne) {
        if (command == name && argc == 3) {
            return run(argv[2]);
        }
    }
    if (command == L"windows") {
        return ::EnumWindows(&ListWindow, 0) ? 0 : 1;
    }
    if (command == L"keys") {
        std::vector<std::string> names(static_cast<size_t>(argc - 2));
        std::transform(argv + 2, argv + argc, names.begin(), ToUtf8);
        return PressKeys(names, 150) ? 0 : 2;
    }
    if (command == L"serve") {
        return Serve();
    }
    if (command == L"leaker") {
        return Leaker();
    }
    if (command == L"prop" && argc == 4) {
        const HWND window = ::FindWindowW(argv[2], nullptr);
        if (window == nullptr) {
            return 1;
        }
        std::printf("%llu\n", Number(::GetPropW(window, argv[3])));
        return 0;
    }
    if (command == L"point" && argc == 4) {
        // Where the mouse goes at a point, that thread's focus and capture, the buttons' state.
        const HWND under = ::WindowFromPoint(
            {std::wcstol(argv[2], nullptr, 10), std::wcstol(argv[3], nullptr, 10)});
        wchar_t cls[64] = {};
        ::GetClassNameW(under, cls, 64);
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        ::GetGUIThreadInfo(::GetWindowThreadProcessId(under, nullptr), &info);
        const auto held = [](int key) { return (::GetAsyncKeyState(key) & 0x8000) != 0; };
        std::printf("under %llu (%s) focus %llu capture %llu foreground %llu buttons %d%d\n",
                    Number(under), ToUtf8(cls).c_str(), Number(info.hwndFocus),
                    Number(info.hwndCapture), Number(::GetForegroundWindow()), held(VK_LBUTTON),
                    held(VK_RBUTTON));
        return under != nullptr ? 0 : 1;
    }
    if (command == L"lock" && argc >= 4) {
        return Lock(argv[2], argv[3], argc > 4 ? argv[4] : nullptr);
    }
    std::fprintf(stderr,
                 "usage: e2e_helper windows | keys NAME... | texts CLASS | serve | "
                 "hold NAME | leaker | version PATH | alive PID | close CLASS | "
                 "lock PATH FLAGFILE [SECONDS] | dialogtext HWND | prop CLASS NAME | point X Y\n");
    return 2;
}
