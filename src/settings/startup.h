#pragma once

#include <string>

namespace zelk {

inline constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunValueName[] = L"ToolBars";

// modAddToStartUpWindows: writes (1) or deletes (0) the per-user Run value that starts the
// program at logon, quoting the path; -1 when the key cannot be opened, written or the value
// deleted (a value already absent is not a failure), with the registry's code in *error.
[[nodiscard]] int RegisterStartUp(const std::wstring& ValueName, const std::wstring& Path, bool Add,
                                  bool& AllUsers, long* error = nullptr);

} // namespace zelk
