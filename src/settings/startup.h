#pragma once

#include <string>

namespace zelk {

inline constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunValueName[] = L"ToolBars";

// modAddToStartUpWindows: writes (1) or deletes (0) the per-user Run value that starts the
// program at logon, quoting the path; -1 when the key cannot be opened or written.
int RegisterStartUp(const std::wstring& ValueName, const std::wstring& Path, bool Add,
                    bool& AllUsers);

} // namespace zelk
