#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/toolbar_file.h"
#include "win/file_io.h"

namespace zelk {

class AnsiCodec;

// A toolbar file far larger than any real list is not read at all.
inline constexpr size_t kMaxToolbarFileBytes = 64u << 20;

// What reading ToolBars.txt found. Missing (no file, or 0 bytes) means "no toolbars yet";
// Unreadable (locked, denied, a folder in its place, over the cap, an I/O error) does not:
// the list is there but cannot be had now, and must never be taken for empty.
enum class ToolbarFileStatus { Read, Missing, Unreadable };
struct ToolbarFileRead {
    ToolbarFileStatus status = ToolbarFileStatus::Missing;
    std::vector<Toolbar> toolbars;
    DWORD error = ERROR_SUCCESS; // why it is unreadable
};
[[nodiscard]] ToolbarFileRead LoadToolbarFile(const std::wstring& path, const AnsiCodec& ansi);

// Every line of ToolBars.txt, or nullopt when there is none to be had (missing, empty or
// unreadable). For callers that only display the list.
[[nodiscard]] std::optional<std::vector<Toolbar>> ReadToolbarFile(const std::wstring& path,
                                                                  const AnsiCodec& ansi);

// Where each save keeps the previous version.
std::wstring BackupPathOf(const std::wstring& path);

// Replaces the file atomically, as ANSI when that is lossless and as UTF-8 with a
// byte-order mark otherwise, keeping the previous version as the backup. ERROR_SUCCESS, or
// the error that left the old file in place.
[[nodiscard]] DWORD WriteToolbarFile(const std::wstring& path, const std::vector<Toolbar>& toolbars,
                                     const AnsiCodec& ansi,
                                     const std::function<void(SaveStep)>& onStep = {});

// A save cut short (the program ended half-way) leaves its temporary file: it is never the
// list, and it goes at the next start.
void RemoveLeftoverSave(const std::wstring& path);

} // namespace zelk
