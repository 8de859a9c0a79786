#include <gtest/gtest.h>

#include "settings/localisation_files.h"
#include "test_support.h"
#include "win/ansi_codec.h"

using namespace zelk;

namespace {

// Written out in full here rather than taken from the program, so a change to the
// program's table shows up as a failure.
const char kExpectedLocalIni[] =
    "[LocaleID]\r\n1036=fra\r\n2060=fra\r\n3084=fra\r\n5132=fra\r\n4108=fra\r\n1031=deu\r\n"
    "3079=deu\r\n5127=deu\r\n2055=deu\r\n1040=ita\r\n2064=ita\r\n1034=spa\r\n11274=spa\r\n"
    "16394=spa\r\n13322=spa\r\n9226=spa\r\n5130=spa\r\n7178=spa\r\n12298=spa\r\n4106=spa\r\n"
    "18442=spa\r\n2058=spa\r\n19466=spa\r\n6154=spa\r\n10250=spa\r\n20490=spa\r\n15370=spa\r\n"
    "17418=spa\r\n14346=spa\r\n8202=spa\r\n2070=por\r\n1046=por\r\n1043=nld\r\n2067=nld\r\n"
    "3082=spa\r\n//case else =eng\r\n";

} // namespace

TEST(LocalisationFiles, LocalIniIsWrittenByteForByteAndOnlyWhenMissing) {
    TempFolder program;
    const WindowsAnsiCodec ansi;
    EXPECT_EQ(GetLanguage(program.Folder(), 1033, ansi), L"eng");
    EXPECT_EQ(ReadBytes(program / L"Lng\\Local.ini"), kExpectedLocalIni);

    WriteBytes(program / L"Lng\\Local.ini", "[LocaleID]\r\n1033=fra\r\n");
    WriteBytes(program / L"Lng\\fra.lng", "[Strings]\r\n");
    EXPECT_EQ(GetLanguage(program.Folder(), 1033, ansi), L"fra");
    EXPECT_EQ(ReadBytes(program / L"Lng\\Local.ini"), "[LocaleID]\r\n1033=fra\r\n");

    std::filesystem::remove(std::filesystem::path(program / L"Lng\\Local.ini"));
    EXPECT_EQ(GetLanguage(program.Folder(), 1036, ansi), L"fra");
    EXPECT_EQ(ReadBytes(program / L"Lng\\Local.ini"), kExpectedLocalIni);
    EXPECT_EQ(GetLanguage(program.Folder(), 1031, ansi), L"eng"); // no deu.lng
    EXPECT_EQ(GetLanguage(program.Folder(), 2057, ansi), L"eng");

    // A Local.ini that cannot be read (here a folder has its name) must not cost the user
    // the language files shipped beside it: the program's own table maps the locale.
    std::filesystem::remove(std::filesystem::path(program / L"Lng\\Local.ini"));
    std::filesystem::create_directory(std::filesystem::path(program / L"Lng\\Local.ini"));
    WriteBytes(program / L"Lng\\deu.lng", "[Strings]\r\n");
    EXPECT_EQ(GetLanguage(program.Folder(), 1031, ansi), L"deu");
}

// A language file read whole, whatever its size or encoding; garbage is the fuzzer's matter
// and the 254-character cap the core's.
TEST(LocalisationFiles, LanguageFilesOfEverySizeAndEncoding) {
    const WindowsAnsiCodec ansi;
    std::string manyLines = "[Strings]\r\n";
    for (int i = 0; i < 100000; ++i) {
        manyLines += "k" + std::to_string(i) + "=v\r\n";
    }
    const struct {
        const char* name;
        std::string lng;
        std::wstring string1;
    } cases[] = {
        {"100000 lines before it", manyLines + "1String=Un", L"Un"},
        {"ANSI", "[Strings]\r\n1String=Menu d\xE9marrer\r\n2String=x", L"Menu démarrer"},
        {"UTF-8 with BOM", "\xEF\xBB\xBF[Strings]\r\n1String=Men\xC3\xBA", L"Menú"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder program;
        WriteBytes(program / L"Lng\\Local.ini", "[LocaleID]\r\n1036=fra\r\n");
        WriteBytes(program / L"Lng\\fra.lng", c.lng);
        const Localisation loc = Localisation::Load(program.Folder(), 1036, ansi);
        EXPECT_EQ(loc.CurrentLanguage(), L"fra");
        EXPECT_EQ(loc.GetString(1, L"Toolbars Menu"), c.string1);
    }
}
