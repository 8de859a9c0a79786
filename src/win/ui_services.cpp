#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <objbase.h>

#include <thread>

#include "win/ui_services.h"
#include "win/boundary.h"
#include "win/shell_menu.h"
#include "win/shell_open.h"
#include "win/unique_handle.h"

namespace zelk {

namespace {

const wchar_t* OrNull(const std::wstring& text) {
    return text.empty() ? nullptr : text.c_str();
}

} // namespace

int RealUiServices::ShowMessageBox(HWND owner, const std::wstring& text,
                                   const std::wstring& caption, UINT flags) {
    return ::MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
}

void RealUiServices::Beep() {
    ::MessageBeep(MB_OK);
}

void RealUiServices::LogEvent(WORD type, const std::wstring& source, const std::wstring& text) {
    unique_event_source log(::RegisterEventSourceW(nullptr, source.c_str()));
    if (!log) {
        return;
    }
    const wchar_t* strings[] = {text.c_str()};
    // The event log is where failures go: one it refuses has nowhere further to go.
    static_cast<void>(::ReportEventW(log.get(), type, 0, 0, nullptr, 1, 0, strings, nullptr));
}

void RunOnShellThread(UiServices& log, std::function<void()> work) {
    try {
        std::thread([&log, work = std::move(work)] {
            // ShellExecuteEx may hand the item to shell extensions that are COM objects.
            const bool com = SUCCEEDED(
                ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
            RunGuarded(log, L"ZelkToolBars", L"Shell hand-over thread", work);
            if (com) {
                ::CoUninitialize();
            }
        }).detach();
    } catch (...) {
        LogEscapedException(log, L"ZelkToolBars", L"Starting a shell hand-over thread");
    }
}

INT_PTR RealUiServices::ShellExecuteOpen(const std::wstring& file, const std::wstring& parameters,
                                         const std::wstring& directory, int showCommand) {
    // The shell may take seconds to return (Wine waits about ten for a web address): the
    // menu must not freeze meanwhile. The real services live as long as the program and
    // keep no state, so the thread may log through them.
    RunOnShellThread(*this, [this, file, parameters, directory, showCommand] {
        // The thread ends right after: the shell must finish any activation before returning.
        SHELLEXECUTEINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = SEE_MASK_NOASYNC;
        info.lpVerb = L"open";
        info.lpFile = file.c_str();
        info.lpParameters = OrNull(parameters);
        info.lpDirectory = OrNull(directory);
        info.nShow = showCommand;
        if (!::ShellExecuteExW(&info)) {
            // The shell has told the user already (its own box); the log keeps the cause.
            const DWORD error = ::GetLastError();
            LogEvent(EVENTLOG_WARNING_TYPE, L"ZelkToolBars",
                     L"The shell could not open " + file + L" (error " + std::to_wstring(error) +
                         L")");
        }
    });
    return 42; // handed over; the shell's own outcome is not waited for
}

void RealUiServices::ShowInFolder(const std::wstring& path) {
    RunOnShellThread(*this, [this, path] {
        PIDLIST_ABSOLUTE parsed = nullptr;
        HRESULT result = ::SHParseDisplayName(path.c_str(), nullptr, &parsed, 0, nullptr);
        const unique_cotaskmem<ITEMIDLIST_ABSOLUTE> item(parsed);
        if (SUCCEEDED(result)) {
            // No children named: the item's parent opens with the item itself selected.
            result = ::SHOpenFolderAndSelectItems(item.get(), 0, nullptr, 0);
        }
        if (FAILED(result)) {
            // Gone since the menu was built, or no file browser: nothing shows, the log says so.
            LogEvent(EVENTLOG_WARNING_TYPE, L"ZelkToolBars",
                     L"The folder of " + path + L" could not be shown (error " +
                         std::to_wstring(static_cast<unsigned long>(result)) + L")");
        }
    });
}

void RealUiServices::ShowShellMenu(HWND owner, const std::wstring& path, POINT at) {
    if (ShowShellContextMenu(*this, owner, path, at) == ShellMenuChoice::Open) {
        ShellOpen(*this, path);
    }
}

void RealUiServices::ShowShellProperties(const std::wstring& path) {
    RunOnShellThread(*this, [this, path] {
        SHELLEXECUTEINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI |
                     SEE_MASK_NOASYNC;
        info.lpVerb = L"properties";
        info.lpFile = path.c_str();
        info.nShow = SW_HIDE;
        if (!::ShellExecuteExW(&info)) {
            // No box of the shell's own here (SEE_MASK_FLAG_NO_UI): the log keeps the cause.
            const DWORD error = ::GetLastError();
            LogEvent(EVENTLOG_WARNING_TYPE, L"ZelkToolBars",
                     L"The shell could not show the properties of " + path + L" (error " +
                         std::to_wstring(error) + L")");
            return;
        }
        const unique_process process(info.hProcess); // asked for only so it can be closed
    });
}

} // namespace zelk
