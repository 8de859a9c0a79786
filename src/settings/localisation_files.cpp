#include <windows.h>

#include "settings/localisation_files.h"

#include "core/text.h"
#include "win/file_io.h"

namespace zelk {

IniDocument ReadIniFile(const std::wstring& path, const AnsiCodec& ansi) {
    const auto bytes = ReadWholeFile(path, kMaxIniBytes);
    return bytes ? IniDocument::Parse(DecodeTextFile(*bytes, ansi)) : IniDocument();
}

std::wstring LanguageFolder(const std::wstring& programFolder) {
    return programFolder + L"Lng\\";
}

bool EnsureLocalIni(const std::wstring& programFolder) {
    const std::wstring path = LanguageFolder(programFolder) + L"Local.ini";
    if (FileExists(path)) {
        return true;
    }
    CreateFolderPath(LanguageFolder(programFolder));
    // A read-only program folder leaves no Local.ini; the language then stays "eng".
    return WriteFileAtomically(path, LocalIniBytes()) == ERROR_SUCCESS;
}

std::wstring GetLanguage(const std::wstring& programFolder, uint32_t localeId,
                         const AnsiCodec& ansi) {
    const std::wstring folder = LanguageFolder(programFolder);
    // A program folder that cannot be written (a read-only share, a locked-down copy) keeps no
    // Local.ini, and one may be there but unreadable: the program's own table then maps the
    // locale, so the shipped language files are still found.
    const auto written = EnsureLocalIni(programFolder)
                             ? ReadWholeFile(folder + L"Local.ini", kMaxIniBytes)
                             : std::nullopt;
    const IniDocument table =
        IniDocument::Parse(DecodeTextFile(written ? *written : LocalIniBytes(), ansi));
    return LanguageForLocale(localeId, table, [&](std::wstring_view code) {
        return FileExists(folder + std::wstring(code) + L".lng");
    });
}

Localisation Localisation::Load(const std::wstring& programFolder, uint32_t localeId,
                                const AnsiCodec& ansi) {
    Localisation loc;
    loc.code_ = GetLanguage(programFolder, localeId, ansi);
    loc.languageFile_ = ReadIniFile(LanguageFolder(programFolder) + loc.code_ + L".lng", ansi);
    loc.strings_.Load(loc.languageFile_);
    return loc;
}

uint32_t UserLocaleId() {
    return static_cast<uint32_t>(::GetUserDefaultLCID());
}

} // namespace zelk
