#include <gtest/gtest.h>

#include <memory>

#include "core/text.h"
#include "latin1_codec.h"

using namespace zelk;

namespace {

// The bytes in a heap block of exactly their size, so reading one past the end is caught.
struct ExactBytes {
    explicit ExactBytes(std::string_view bytes)
        : size(bytes.size()), data(std::make_unique<char[]>(bytes.size())) {
        std::copy(bytes.begin(), bytes.end(), data.get());
    }
    operator std::string_view() const { return {data.get(), size}; }
    size_t size;
    std::unique_ptr<char[]> data;
};

const std::wstring kBad = L"\uFFFD";

} // namespace

TEST(Text, Utf8DecodingReplacesEachBadByteAndNeverReadsPastTheEnd) {
    struct Case {
        const char* name;
        std::string bytes;
        std::wstring text;
    };
    const Case cases[] = {
        {"limits of each length", "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF",
         L"\x7F\u0080\u07FF\u0800\uFFFF"},
        {"four bytes", "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", L"\U00010000\U0010FFFF"},
        {"around the surrogates", "\xED\x9F\xBF\xEE\x80\x80", L"\uD7FF\uE000"},
        {"NUL is a character", std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
        {"cut off after one of two", "\xC3", kBad},
        {"cut off after two of three", "\xE2\x82", kBad + kBad},
        {"cut off after three of four", "a\xF0\x9F\x98", L"a" + kBad + kBad + kBad},
        {"bad continuation", "\xC3(", kBad + L"("},
        {"lead after lead", "\xC3\xC3\xA9", kBad + L"\u00E9"},
        {"stray continuation", "\x80x", kBad + L"x"},
        {"overlong two", "\xC1\xBF", kBad + kBad},
        {"overlong three", "\xE0\x9F\xBF", kBad + kBad + kBad},
        {"overlong four", "\xF0\x8F\xBF\xBF", kBad + kBad + kBad + kBad},
        {"first surrogate", "\xED\xA0\x80", kBad + kBad + kBad},
        {"last surrogate", "\xED\xBF\xBF", kBad + kBad + kBad},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", kBad + kBad + kBad + kBad},
        {"five-byte lead", "\xF9\x80\x80\x80", kBad + kBad + kBad + kBad},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Utf8ToWide(ExactBytes(c.bytes)), c.text);
    }
}

TEST(Text, Utf8EncodingAtEachLengthLimitRoundTrips) {
    const std::wstring text = L"\x7F\u0080\u07FF\u0800\uFFFF\U00010000\U0010FFFF";
    const std::string bytes = WideToUtf8(text);
    EXPECT_EQ(bytes,
              "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF");
    EXPECT_EQ(Utf8ToWide(bytes), text);
    // What cannot be a character is written as U+FFFD.
    const std::wstring invalid = {static_cast<wchar_t>(0xD800), static_cast<wchar_t>(0xDFFF),
                                  static_cast<wchar_t>(0x110000)};
    EXPECT_EQ(WideToUtf8(invalid), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Text, FilesAreAnsiOrCarryAByteOrderMark) {
    const Latin1Codec ansi;
    struct Case {
        const char* name;
        std::string bytes;
        std::wstring text;
    };
    const Case cases[] = {
        {"UTF-16 LE", std::string("\xFF\xFE\x43\0:\0\xAC\x20\r\0\n\0", 12), L"C:\u20AC\r\n"},
        {"UTF-16 with an odd last byte", "\xFF\xFE\x43", L""},
        {"UTF-16 BOM alone", "\xFF\xFE", L""},
        {"UTF-8", "\xEF\xBB\xBF\xC3\xA9", L"\u00E9"},
        {"UTF-8 BOM alone", "\xEF\xBB\xBF", L""},
        {"ANSI", "\xEF\xBB", L"\u00EF\u00BB"},
        {"ANSI that starts like UTF-16", "\xFF", L"\u00FF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DecodeTextFile(ExactBytes(c.bytes), ansi), c.text);
    }
    EXPECT_EQ(EncodeTextFile(L"Caf\u00E9", ansi), "Caf\xE9");
    EXPECT_EQ(EncodeTextFile(L"\u03A9", ansi), "\xEF\xBB\xBF\xCE\xA9");
}

TEST(Text, TrimmingCaseAndReplacement) {
    EXPECT_EQ(TrimSpaces(L"  a b\t "), L"a b\t");
    EXPECT_EQ(TrimSpaces(L"x"), L"x");
    EXPECT_EQ(TrimSpaces(L"   "), L"");
    EXPECT_EQ(TrimTrailingSpaces(L" a  "), L" a");
    EXPECT_EQ(TrimTrailingSpaces(L"  "), L"");
    EXPECT_EQ(AsciiLower(L"@AZ[`az{\u00C9"), L"@az[`az{\u00C9");
    EXPECT_EQ(AsciiUpper(L"@AZ[`az{\u00E9"), L"@AZ[`AZ{\u00E9");
    EXPECT_TRUE(EqualsIgnoreCase(L".LNK", L".lnk"));
    EXPECT_FALSE(EqualsIgnoreCase(L".lnk", L".lnkx"));
    EXPECT_FALSE(EqualsIgnoreCase(L".lnkx", L".lnk"));
    EXPECT_EQ(ReplaceAll(L"a|b||c", L"|", L"\r\n"), L"a\r\nb\r\n\r\nc");
    EXPECT_EQ(ReplaceAll(L"aaa", L"aa", L"b"), L"ba");
    EXPECT_EQ(ReplaceAll(L"abc", L"", L"x"), L"abc");
}
