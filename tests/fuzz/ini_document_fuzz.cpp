#include "core/ini_document.h"
#include "core/text.h"
#include "fuzz_target.h"
#include "latin1_codec.h"

using namespace zelk;

// An INI file (Local.ini, a language file) as the program reads it.
ZELK_FUZZ_TARGET(ini_document) {
    const std::wstring text = DecodeTextFile(fuzz::Bytes(data, size), Latin1Codec());
    const IniDocument ini = IniDocument::Parse(text);
    // Every name the file itself uses, looked up the way the program does.
    for (const std::wstring& line : SplitLines(text)) {
        const auto equals = line.find(L'=');
        const std::wstring key = line.substr(0, equals);
        for (const wchar_t* section : {L"Strings", L"LocaleID", L"frmParameters"}) {
            const std::wstring value = ini.Read(section, key, std::wstring(300, L'd'));
            FUZZ_CHECK(value.size() <= IniDocument::kMaxValueLength);
            if (const auto found = ini.Find(section, key)) {
                FUZZ_CHECK(value == found->substr(0, IniDocument::kMaxValueLength));
            }
        }
        if (!line.empty() && line.front() == L'[') {
            for (const auto& [name, value] : ini.Entries(line.substr(1, line.find(L']') - 1))) {
                FUZZ_CHECK(name == AsciiLower(name));
                FUZZ_CHECK(value.size() <= IniDocument::kMaxValueLength);
            }
        }
    }
    return 0;
}
