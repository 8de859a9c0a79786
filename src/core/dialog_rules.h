#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/settings_rules.h"

namespace zelk {

// A toolbar as the sort dialog drags it between its lists: the title, fifty spaces, the
// folder, split again where it is dropped.
inline constexpr size_t kSortGap = 50;
std::wstring SortRowText(std::wstring_view title, std::wstring_view path);
// (title, path) from a row: split at the first run of fifty spaces.
std::pair<std::wstring, std::wstring> SplitSortRow(std::wstring_view row);

// Where Alt+Up (step -1) or Alt+Down (+1) moves the selected one of count rows, the
// selection going with it; nothing at either end or with no row selected.
std::optional<long> MovedRow(long count, long selected, int step);

// The folder picker's cancel code, as the thread's last error.
inline constexpr int32_t kPickerCancelled = static_cast<int32_t>(0x800704C7);
// The picker's error for a code, with the "Common Dialog " source.
AppError PickerError(int32_t code, std::wstring_view operation);

// "Dialog failed with error: " (or its translation) and the code as a signed decimal number.
std::wstring PickerFailureText(int32_t code, std::wstring_view lead = L"Dialog failed with error:");

// "Version : 1.0.12": each part a plain decimal number.
std::wstring VersionText(unsigned major, unsigned minor, unsigned revision);

// The quoted command the Run key stores: the program's folder with a backslash, its name
// and ".exe", in double quotes, so a folder with spaces still starts the right file.
std::wstring StartUpCommand(std::wstring_view programFolder, std::wstring_view exeName);

} // namespace zelk
