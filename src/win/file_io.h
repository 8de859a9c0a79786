#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace zelk {

// True when the platform can tell the item's size; never fails loudly.
bool FileExists(const std::wstring& path);

// Creates each missing folder of the path; every error is ignored (an existing or denied
// folder shows up later as a file that cannot be written).
void CreateFolderPath(const std::wstring& path);

// The whole file, or nullopt when it is missing, unreadable or larger than maxBytes, so
// a stray huge file cannot exhaust memory.
std::optional<std::string> ReadWholeFile(const std::wstring& path, size_t maxBytes);

// Writes a sibling temporary file, flushes it and moves it over the target in one step:
// the target holds either its old or its new content, never half of one. Returns
// ERROR_SUCCESS or the platform error of the step that failed.
DWORD WriteFileAtomically(const std::wstring& path, const std::string& bytes);

std::wstring EnvironmentVariable(const wchar_t* name);
// The text with each %NAME% of an existing variable replaced by its value (unknown names
// stay as written), as the shell expands a shortcut's target; nullopt when it cannot be
// done (the result would exceed the 32K characters the call allows).
[[nodiscard]] std::optional<std::wstring> ExpandEnvironment(const std::wstring& text);
// The folder the executable was started from, with a trailing backslash.
std::wstring ProgramFolder();

} // namespace zelk
