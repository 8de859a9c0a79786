#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace zelk {

// True when the platform can tell the item's size; never fails loudly.
bool FileExists(const std::wstring& path);

// Creates each missing folder of the path; every error is ignored (an existing or denied
// folder shows up later as a file that cannot be written).
void CreateFolderPath(const std::wstring& path);

// A file's bytes, or why there are none: the platform's error, ERROR_FILE_TOO_LARGE over
// the cap (so a stray huge file cannot exhaust memory), ERROR_DIRECTORY when a folder has
// the name.
struct FileRead {
    std::optional<std::string> bytes;
    DWORD error = ERROR_SUCCESS;
};
[[nodiscard]] FileRead ReadFileWhole(const std::wstring& path, size_t maxBytes);

// The whole file, or nullopt when it is missing, unreadable or larger than maxBytes.
[[nodiscard]] std::optional<std::string> ReadWholeFile(const std::wstring& path, size_t maxBytes);

// The steps of an atomic save, in order; a test may watch them (and end the process at one).
enum class SaveStep { TemporaryWritten, Flushed, BackupKept, Replaced };

// The sibling file a save writes first; a save cut short leaves it behind.
std::wstring SavingPathOf(const std::wstring& path);

// Writes the sibling temporary file, flushes it, copies the old target to `backup` (when
// given and the target exists) and moves the temporary file over the target in one step:
// the target holds either its old or its new content, never half of one. Returns
// ERROR_SUCCESS or the platform error of the step that failed; the target is then unchanged
// and the temporary file removed.
[[nodiscard]] DWORD WriteFileAtomically(const std::wstring& path, const std::string& bytes,
                                        const std::wstring& backup = {},
                                        const std::function<void(SaveStep)>& onStep = {});

std::wstring EnvironmentVariable(const wchar_t* name);
// The text with each %NAME% of an existing variable replaced by its value (unknown names
// stay as written), as the shell expands a shortcut's target; nullopt when it cannot be
// done (the result would exceed the 32K characters the call allows).
[[nodiscard]] std::optional<std::wstring> ExpandEnvironment(const std::wstring& text);
// The folder the executable was started from, with a trailing backslash.
std::wstring ProgramFolder();

} // namespace zelk
