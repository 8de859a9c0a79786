#include <gtest/gtest.h>

#include "core/ini_document.h"
#include "core/text.h"
#include "core/toolbar_file.h"
#include "latin1_codec.h"

using namespace zelk;

TEST(Text, Utf8RoundTripAndMalformedInput) {
    const std::wstring text = L"a\u00e9\u20ac\U0001F600z";
    EXPECT_EQ(Utf8ToWide(WideToUtf8(text)), text);
    // Truncated, overlong, stray continuation and surrogate encodings become U+FFFD and
    // never read past the end.
    EXPECT_EQ(Utf8ToWide("\xE2\x82"), L"\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToWide("\xC0\xAF"), L"\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToWide("\x80x"), L"\uFFFDx");
    EXPECT_EQ(Utf8ToWide("\xED\xA0\x80"), L"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToWide(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
}

TEST(Text, Utf16FileWithByteOrderMarkIsRead) {
    const Latin1Codec ansi;
    const std::string bytes("\xFF\xFE"
                            "C\0:\0|\0"
                            "A\0\r\0\n\0",
                            14);
    EXPECT_EQ(DecodeTextFile(bytes, ansi), L"C:|A\r\n");
    EXPECT_EQ(DecodeTextFile(std::string("\xFF\xFE"
                                         "C",
                                         3),
                             ansi),
              L"");
}

// Garbage that any reader of the program's files may meet: each must give a definite
// result without crashing, hanging or growing without bound.
TEST(Text, ReadersTolerateBadInput) {
    const Latin1Codec ansi;
    std::string binary;
    for (int i = 0; i < 4096; ++i) {
        binary.push_back(static_cast<char>((i * 7919) & 0xFF));
    }
    const std::string hugeLine(1 << 20, 'x');
    std::string manyLines;
    for (int i = 0; i < 100000; ++i) {
        manyLines += "C:\\T" + std::to_string(i) + "|T\r\n";
    }
    const std::string longPath = "C:\\" + std::string(300, 'p') + "|Long";

    struct Case {
        const char* name;
        std::string bytes;
        size_t toolbars;
    };
    const Case cases[] = {
        {"binary", binary, 0},
        {"1 MB line", hugeLine, 1},
        {"100000 lines", manyLines, 100000},
        {"no line end at the end", "C:\\A|A\r\nC:\\B|B", 2},
        {"UTF-8 with BOM",
         "\xEF\xBB\xBF"
         "C:\\\xC3\xA9|e\r\n",
         1},
        {"path longer than 260", longPath, 1},
        {"lone CR and NUL", std::string("C:\\A\0|A\r", 8), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring text = DecodeTextFile(c.bytes, ansi);
        const auto toolbars = ParseToolbarText(text);
        if (std::string(c.name) != "binary") {
            EXPECT_EQ(toolbars.size(), c.toolbars);
        }
        const auto ini = IniDocument::Parse(text);
        EXPECT_LE(ini.Read(L"Strings", L"1String", L"d").size(), IniDocument::kMaxValueLength);
    }
    EXPECT_EQ(ParseToolbarText(DecodeTextFile("\xEF\xBB\xBF"
                                              "C:\\\xC3\xA9|e\r\n",
                                              ansi))[0]
                  .path,
              L"C:\\\u00e9");
    EXPECT_EQ(ParseToolbarText(DecodeTextFile(longPath, ansi))[0].path.size(), 303u);
}
