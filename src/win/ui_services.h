#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace zelk {

// Everything that would stop for a person or leave the program: message boxes, the beep,
// the event log and the hand-overs to the shell. The program uses the real services;
// tests install a recorder so nothing modal ever waits and every hand-over can be checked.
class UiServices {
public:
    virtual ~UiServices() = default;
    virtual int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption,
                               UINT flags) = 0;
    virtual void Beep() = 0;
    virtual void LogEvent(WORD type, const std::wstring& source, const std::wstring& text) = 0;
    // The shell's "open" verb. The program is not told the outcome: a result above 32 means
    // the item was handed over.
    virtual INT_PTR ShellExecuteOpen(const std::wstring& file, const std::wstring& parameters,
                                     const std::wstring& directory, int showCommand) = 0;
    // The shell's Properties sheet for a path.
    virtual void ShowShellProperties(const std::wstring& path) = 0;
    // The folder that holds path, in the file browser, with path selected.
    virtual void ShowInFolder(const std::wstring& path) = 0;
    // The shell's own context menu for path at a screen point, owned by owner; returns once
    // the user has chosen (the command then runs) or dismissed it.
    virtual void ShowShellMenu(HWND owner, const std::wstring& path, POINT at) = 0;
};

// Runs work on a short-lived thread of its own, with COM started as the shell asks, so a
// slow hand-over never freezes the caller. What the work throws is logged through log (from
// that thread: the services must outlive it and accept calls from any thread) and the
// thread ends normally; a thread that cannot be started is logged too.
void RunOnShellThread(UiServices& log, std::function<void()> work);

class RealUiServices : public UiServices {
public:
    int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption,
                       UINT flags) override;
    void Beep() override;
    void LogEvent(WORD type, const std::wstring& source, const std::wstring& text) override;
    INT_PTR ShellExecuteOpen(const std::wstring& file, const std::wstring& parameters,
                             const std::wstring& directory, int showCommand) override;
    void ShowShellProperties(const std::wstring& path) override;
    void ShowInFolder(const std::wstring& path) override;
    void ShowShellMenu(HWND owner, const std::wstring& path, POINT at) override;
};

} // namespace zelk
