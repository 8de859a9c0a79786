#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "core/toolbar_file.h"

namespace zelk {

class AnsiCodec;

// A toolbar file far larger than any real list is not read at all.
inline constexpr size_t kMaxToolbarFileBytes = 64u << 20;

// Every line of ToolBars.txt, or nullopt when it is missing, empty (0 bytes) or unreadable:
// all three mean "no toolbars yet".
std::optional<std::vector<Toolbar>> ReadToolbarFile(const std::wstring& path,
                                                    const AnsiCodec& ansi);

// Replaces the file atomically, as ANSI when that is lossless and as UTF-8 with a
// byte-order mark otherwise. ERROR_SUCCESS, or the error that left the old file in place.
DWORD WriteToolbarFile(const std::wstring& path, const std::vector<Toolbar>& toolbars,
                       const AnsiCodec& ansi);

} // namespace zelk
