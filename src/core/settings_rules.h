#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zelk {

// An error raised to a caller: number, source and description, as the callers map them.
struct AppError {
    int32_t number = 0;
    std::wstring source;
    std::wstring description;
    bool operator==(const AppError&) const = default;
};

inline constexpr int32_t kObjectErrorBase = -2147221504; // 0x80040000

enum class SettingsOp { Save, Get };

// The first of application, section and key that is empty after trimming, as its error.
std::optional<AppError> CheckSettingNames(SettingsOp op, std::wstring_view app,
                                          std::wstring_view section, std::wstring_view key);

// "SOFTWARE\<app>\Settings\<section>", both names trimmed.
std::wstring SettingsKeyPath(std::wstring_view app, std::wstring_view section);

AppError KeyAccessError(SettingsOp op, long code);
AppError ValueWriteError(long code);
AppError NotAStringError(unsigned long valueType);

} // namespace zelk
