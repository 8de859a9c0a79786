#pragma once

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <span>
#include <fstream>
#include <string>
#include <vector>

#include <shlwapi.h>

#include "../common/object_counts.h"
#include "win/ui_services.h"

// Records everything that would otherwise stop for a person or leave the program.
class RecordingUiServices : public zelk::UiServices {
public:
    struct Box {
        std::wstring text, caption;
        UINT flags;
    };
    struct Log {
        WORD type;
        std::wstring source, text;
        // Of that type and source (any, when empty), its text holding every part.
        bool Is(WORD t, const std::wstring& s, std::initializer_list<const wchar_t*> parts) const {
            return type == t && (s.empty() || source == s) &&
                   std::all_of(parts.begin(), parts.end(), [&](const wchar_t* part) {
                       return text.find(part) != std::wstring::npos;
                   });
        }
    };
    struct Open {
        std::wstring file, parameters, directory;
        int show;
    };
    std::vector<Box> boxes;
    std::vector<Log> logs;
    std::vector<Open> opens;
    std::vector<std::wstring> properties, shownInFolder, shellMenus;
    int beeps = 0;
    int answer = IDOK; // what every message box "returns"

    int ShowMessageBox(HWND, const std::wstring& text, const std::wstring& caption,
                       UINT flags) override {
        boxes.push_back({text, caption, flags});
        return answer;
    }
    void Beep() override { ++beeps; }
    void LogEvent(WORD type, const std::wstring& source, const std::wstring& text) override {
        logs.push_back({type, source, text});
    }
    INT_PTR ShellExecuteOpen(const std::wstring& file, const std::wstring& parameters,
                             const std::wstring& directory, int show) override {
        opens.push_back({file, parameters, directory, show});
        return 33;
    }
    void ShowShellProperties(const std::wstring& path) override { properties.push_back(path); }
    void ShowInFolder(const std::wstring& path) override { shownInFolder.push_back(path); }
    void ShowShellMenu(HWND, const std::wstring& path, POINT) override {
        shellMenus.push_back(path);
    }
};

// A fresh folder under the temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        static int counter = 0;
        path_ = std::filesystem::temp_directory_path() /
                (L"zelk-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                 std::to_wstring(++counter));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    // With a trailing backslash, as the program's folders are.
    std::wstring Folder() const { return path_.wstring() + L"\\"; }
    std::wstring operator/(const std::wstring& name) const { return Folder() + name; }

private:
    std::filesystem::path path_;
};

inline void WriteBytes(const std::wstring& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::wstring ThisExe() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

// Runs a command line to its end, for up to `ms`: its exit code, ~0 when it did not start.
inline DWORD RunToEnd(std::wstring command, DWORD ms) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION child{};
    DWORD code = ~DWORD{0};
    if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &child)) {
        ::WaitForSingleObject(child.hProcess, ms);
        ::GetExitCodeProcess(child.hProcess, &code);
        ::CloseHandle(child.hThread);
        ::CloseHandle(child.hProcess);
    }
    return code;
}

inline void PumpMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// This process's live GDI objects and windows, counted in a way that works under Wine 8 (where
// GetGuiResources always answers 0). A GDI count of -1 means the table could not be read.
inline long GdiObjects() {
    return object_counts::CountGdiObjects(::GetCurrentProcess()).total;
}
inline long ProcessWindows() {
    return object_counts::CountWindows(::GetCurrentProcessId());
}

// Lets messages, timers included, run until done() holds or capMs have passed; says which.
template <typename Done> bool PumpUntil(Done done, DWORD capMs = 5000) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > capMs) {
            return false;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        PumpMessages();
    }
    return true;
}
inline void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

// Presses and releases a key as a keyboard does (SendInput), Alt held around it when asked.
inline bool PressKey(WORD key, bool alt = false) {
    std::vector<INPUT> keys;
    for (const auto& [vk, up] :
         {std::pair{WORD{VK_MENU}, false}, {key, false}, {key, true}, {WORD{VK_MENU}, true}}) {
        if (alt || vk != VK_MENU) {
            keys.push_back({INPUT_KEYBOARD, {}});
            keys.back().ki = {vk, 0, up ? DWORD{KEYEVENTF_KEYUP} : 0, 0, 0};
        }
    }
    return ::SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT)) == keys.size();
}

// Pumps for `ms` and counts the WM_TIMER messages it takes for `window` (any, when null): what
// is idle takes none, and every one wakes the program.
inline int CountTimers(HWND window, DWORD ms) {
    int count = 0;
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < ms) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            count += msg.message == WM_TIMER && (window == nullptr || msg.hwnd == window) ? 1 : 0;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return count;
}

// The file opened as another program holds it: no sharing, so nobody else may read it.
inline HANDLE HoldFile(const std::wstring& path, DWORD access = GENERIC_READ,
                       DWORD disposition = OPEN_EXISTING) {
    return ::CreateFileW(path.c_str(), access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
}

// A file of the given size with nothing written: only the size matters to a reader's cap.
inline bool MakeSparse(const std::wstring& path, unsigned long long bytes) {
    const HANDLE file = HoldFile(path, GENERIC_WRITE, CREATE_ALWAYS);
    LARGE_INTEGER size{};
    size.QuadPart = static_cast<LONGLONG>(bytes);
    const bool done = file != INVALID_HANDLE_VALUE &&
                      ::SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && ::SetEndOfFile(file);
    ::CloseHandle(file);
    return done;
}

// The keys (with those modifiers) some other window of the desktop holds as hot keys: a probe
// window asks for each and gives back at once what it got.
inline std::vector<UINT> HeldHotKeys(std::span<const UINT> keys, UINT modifiers = 0) {
    const HWND probe = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                         ::GetModuleHandleW(nullptr), nullptr);
    std::vector<UINT> held;
    for (UINT key : keys) {
        if (::RegisterHotKey(probe, 0xB000 + static_cast<int>(key), modifiers, key)) {
            ::UnregisterHotKey(probe, 0xB000 + static_cast<int>(key));
        } else {
            held.push_back(key);
        }
    }
    ::DestroyWindow(probe);
    return held;
}
