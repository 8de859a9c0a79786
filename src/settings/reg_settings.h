#pragma once

#include <optional>
#include <string>

#include "core/settings_rules.h"

namespace zelk {

// modZelkRegSettings: the program's settings as REG_SZ values under
// HKCU (or HKLM) \SOFTWARE\<app>\Settings\<section>.
[[nodiscard]] std::optional<AppError>
SaveRegSetting(const std::wstring& appName, const std::wstring& section, const std::wstring& key,
               const std::wstring& value, bool machineBranch = false);

struct RegSettingRead {
    std::wstring value;
    std::optional<AppError> error; // when set, value holds the default
};
[[nodiscard]] RegSettingRead GetRegSetting(const std::wstring& appName, const std::wstring& section,
                                           const std::wstring& key,
                                           const std::wstring& defaultValue,
                                           bool machineBranch = false);

// The value, or the default when the store reports an error (a value of the wrong type):
// a setting must never stop the window that reads it.
std::wstring GetRegSettingOrDefault(const std::wstring& appName, const std::wstring& section,
                                    const std::wstring& key, const std::wstring& defaultValue);

// The "Theme" setting read with its rule: true for dark.
bool ReadThemeIsDark();

inline constexpr wchar_t kSettingsApp[] = L"ToolBars";
inline constexpr wchar_t kSettingsSection[] = L"Windows";

} // namespace zelk
