#pragma once

#include <windows.h>

#include <string>

namespace zelk {

class UiServices;

// Hands an item to the shell's "open" verb: a path, a web address or a command line.
// The result is the shell's; no caller looks at it.
INT_PTR ShellOpen(UiServices& services, const std::wstring& item, int showCommand = SW_SHOWNORMAL);

// The shell's Properties sheet for a file.
void ShowProperties(UiServices& services, const std::wstring& path);

} // namespace zelk
