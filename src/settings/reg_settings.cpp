#include <windows.h>

#include "settings/reg_settings.h"

#include "core/theme.h"
#include "win/unique_handle.h"

namespace zelk {

namespace {

HKEY RootOf(bool machineBranch) {
    return machineBranch ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// Registry data may be of any length and need not end with a terminator: take whole
// characters only and drop one terminating zero, so what was written comes back exactly.
std::wstring TextFromRegistryData(const std::wstring& buffer, DWORD bytes) {
    std::wstring text = buffer.substr(0, bytes / sizeof(wchar_t));
    if (!text.empty() && text.back() == L'\0') {
        text.pop_back();
    }
    return text;
}

} // namespace

std::optional<AppError> SaveRegSetting(const std::wstring& appName, const std::wstring& section,
                                       const std::wstring& key, const std::wstring& value,
                                       bool machineBranch) {
    if (auto error = CheckSettingNames(SettingsOp::Save, appName, section, key)) {
        return error;
    }
    unique_hkey hkey;
    const LSTATUS created = ::RegCreateKeyExW(
        RootOf(machineBranch), SettingsKeyPath(appName, section).c_str(), 0, nullptr,
        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, hkey.put(), nullptr);
    if (created != ERROR_SUCCESS) {
        return KeyAccessError(SettingsOp::Save, created);
    }
    if (value.size() >= (MAXDWORD / sizeof(wchar_t)) - 1) {
        return ValueWriteError(ERROR_INVALID_PARAMETER);
    }
    const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    const LSTATUS written = ::RegSetValueExW(hkey.get(), key.c_str(), 0, REG_SZ,
                                             reinterpret_cast<const BYTE*>(value.c_str()), bytes);
    if (written != ERROR_SUCCESS) {
        return ValueWriteError(written);
    }
    return std::nullopt;
}

RegSettingRead GetRegSetting(const std::wstring& appName, const std::wstring& section,
                             const std::wstring& key, const std::wstring& defaultValue,
                             bool machineBranch) {
    if (auto error = CheckSettingNames(SettingsOp::Get, appName, section, key)) {
        return {defaultValue, error};
    }
    unique_hkey hkey;
    const LSTATUS opened = ::RegOpenKeyExW(
        RootOf(machineBranch), SettingsKeyPath(appName, section).c_str(), 0, KEY_READ, hkey.put());
    if (opened == ERROR_FILE_NOT_FOUND) {
        return {defaultValue, std::nullopt};
    }
    if (opened != ERROR_SUCCESS) {
        return {defaultValue, KeyAccessError(SettingsOp::Get, opened)};
    }
    DWORD type = 0;
    DWORD bytes = 0;
    if (::RegQueryValueExW(hkey.get(), key.c_str(), nullptr, &type, nullptr, &bytes) !=
        ERROR_SUCCESS) {
        return {defaultValue, std::nullopt};
    }
    if (type != REG_SZ) {
        return {defaultValue, NotAStringError(type)};
    }
    if (bytes == 0) {
        return {std::wstring(), std::nullopt};
    }
    // The value may grow between the two calls; ask again a few times with the new size.
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::wstring buffer((bytes + sizeof(wchar_t) - 1) / sizeof(wchar_t), L'\0');
        DWORD got = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        const LSTATUS read = ::RegQueryValueExW(hkey.get(), key.c_str(), nullptr, &type,
                                                reinterpret_cast<BYTE*>(buffer.data()), &got);
        if (read == ERROR_MORE_DATA) {
            bytes = got;
            continue;
        }
        if (read != ERROR_SUCCESS) {
            break;
        }
        if (type != REG_SZ) {
            return {defaultValue, NotAStringError(type)};
        }
        return {TextFromRegistryData(buffer, got), std::nullopt};
    }
    return {defaultValue, std::nullopt};
}

std::wstring GetRegSettingOrDefault(const std::wstring& appName, const std::wstring& section,
                                    const std::wstring& key, const std::wstring& defaultValue) {
    return GetRegSetting(appName, section, key, defaultValue).value;
}

bool ReadThemeIsDark() {
    return ThemeIsDark(
        GetRegSettingOrDefault(kSettingsApp, kSettingsSection, L"Theme", kThemeDefault));
}

} // namespace zelk
