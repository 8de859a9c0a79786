#pragma once

#include <windows.h>

#include <string>

namespace zelk {

class UiServices;

// The shell's context menu for one file or folder (what Explorer shows on a right click), at a
// screen point. Its owner-drawn submenus ("Send to", "Open with") are drawn by the shell's
// handlers through IContextMenu2/3. Runs on the calling thread, which must be a COM
// single-threaded apartment; returns once the chosen command has been handed to the shell or
// the menu was dismissed. What the shell refuses is logged through log.
enum class ShellMenuChoice { None, Handled, Open };
// Open is returned, not run: it means what a click on the row means in this program (the
// same working folder, the same refusals), and Wine's menu runs nothing for it on a file.
ShellMenuChoice ShowShellContextMenu(UiServices& log, HWND owner, const std::wstring& path,
                                     POINT at);

} // namespace zelk
