#pragma once

#include <cstdint>
#include <string>

#include "core/localisation.h"

namespace zelk {

class AnsiCodec;

// modLocalisation: the language chosen at start-up, its numbered strings and its form
// sections, read from the Lng folder beside the executable.
class Localisation {
public:
    // GetLanguage then LoadStrings: writes Lng\Local.ini when missing, maps the locale id
    // to a code and reads that code's language file once.
    static Localisation Load(const std::wstring& programFolder, uint32_t localeId,
                             const AnsiCodec& ansi);

    const std::wstring& CurrentLanguage() const { return code_; }
    std::wstring GetString(int number, std::wstring_view defaultText) const {
        return strings_.GetString(number, defaultText);
    }
    void Localise(LocalisableForm& form) const { LocaliseForm(form, languageFile_); }

private:
    std::wstring code_ = L"eng";
    IniDocument languageFile_;
    StringTable strings_;
};

// Language files far beyond any real translation are treated as missing.
inline constexpr size_t kMaxIniBytes = 16u << 20;

IniDocument ReadIniFile(const std::wstring& path, const AnsiCodec& ansi);
std::wstring LanguageFolder(const std::wstring& programFolder);
// Writes Lng\Local.ini (creating Lng) when it does not exist; true when it exists after.
[[nodiscard]] bool EnsureLocalIni(const std::wstring& programFolder);
std::wstring GetLanguage(const std::wstring& programFolder, uint32_t localeId,
                         const AnsiCodec& ansi);

// The user's locale identifier, as the locale-properties control reports it.
uint32_t UserLocaleId();

} // namespace zelk
