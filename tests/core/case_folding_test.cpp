#include <gtest/gtest.h>

#include "core/case_folding.h"

using namespace zelk;

namespace {

const CaseFolding& fold = FallbackCaseFolding();

} // namespace

TEST(CaseFolding, FallbackLowersEachScriptAndLeavesTheRest) {
    struct Case {
        const wchar_t* text;
        const wchar_t* folded;
    };
    const Case cases[] = {
        {L"\u00C9diteur", L"\u00E9diteur"},                         // Éditeur
        {L"\u00C0\u00D6\u00D8\u00DE", L"\u00E0\u00F6\u00F8\u00FE"}, // À Ö Ø Þ
        {L"\u00D7\u00F7\u00B5", L"\u00D7\u00F7\u00B5"},             // × ÷ µ: no case
        {L"\u0178", L"\u00FF"},                                     // Ÿ
        {L"\u0100\u012E\u0141\u0143\u0152\u0160\u017D\u0132",       // Ā Į Ł Ń Œ Š Ž Ĳ
         L"\u0101\u012F\u0142\u0144\u0153\u0161\u017E\u0133"},
        {L"\u0101\u0142\u0138\u0149\u017F", L"\u0101\u0142\u0138\u0149\u017F"}, // small stay
        {L"\u0130\u0131I", L"i\u0131i"},                                        // İ ı I
        {L"Stra\u00DFe \u1E9E", L"strasse ss"},                                 // Straße ẞ
        {L"\u03A3\u039F\u03A6\u039F\u03A3", L"\u03C3\u03BF\u03C6\u03BF\u03C3"}, // ΣΟΦΟΣ
        {L"\u03C3\u03BF\u03C6\u03CC\u03C2", L"\u03C3\u03BF\u03C6\u03CC\u03C3"}, // σοφός
        {L"\u0386\u0388\u0389\u038A\u038C\u038E\u038F", // Ά Έ Ή Ί Ό Ύ Ώ
         L"\u03AC\u03AD\u03AE\u03AF\u03CC\u03CD\u03CE"},
        {L"\u03A9\u03AA\u03AB\u03DA\u03F4", L"\u03C9\u03CA\u03CB\u03DB\u03B8"}, // Ω Ϊ Ϋ Ϛ ϴ
        {L"\u0401\u041B\u041A\u0410", L"\u0451\u043B\u043A\u0430"},             // ЁЛКА
        {L"\u0400\u040F\u0414\u042F", L"\u0450\u045F\u0434\u044F"},             // Ѐ Џ Д Я
        {L"\u0490\u04C0\u04C1\u04D0\u0500", L"\u0491\u04CF\u04C2\u04D1\u0501"}, // Ґ Ӏ Ӂ Ӑ Ԁ
        {L"\u0531\u0556", L"\u0561\u0586"},                                     // Armenian
        {L"\u1EDE\u1E00", L"\u1EDF\u1E01"},                                     // Ở Ḁ
        {L"\u4E2D\u6587 42 \u20AC", L"\u4E2D\u6587 42 \u20AC"},                 // no case at all
        // The first and last letter of every block the fallback knows.
        {L"AZ\u00C0\u00D6\u00D8\u00DE\u0178\u037F\u0386\u0388\u038A\u038C\u038E\u038F\u0391"
         L"\u03A1\u03A3\u03AB\u03CF\u03F4\u03F9\u03FD\u03FF\u0400\u040F\u0410\u042F\u04C0"
         L"\u0531\u0556",
         L"az\u00E0\u00F6\u00F8\u00FE\u00FF\u03F3\u03AC\u03AD\u03AF\u03CC\u03CD\u03CE\u03B1"
         L"\u03C1\u03C3\u03CB\u03D7\u03B8\u03F2\u037B\u037D\u0450\u045F\u0430\u044F\u04CF"
         L"\u0561\u0586"},
        {L"\u0100\u012E\u012F\u0132\u0136\u0137\u0139\u0147\u0148\u014A\u0176\u0177\u0179"
         L"\u017D\u017E\u0370\u0372\u0373\u0376\u0377\u03D8\u03EE\u03EF\u03F7\u03F8\u03FA"
         L"\u03FB\u0460\u0480\u0481\u048A\u04BE\u04BF\u04C1\u04CD\u04CE\u04D0\u052E\u052F"
         L"\u1E00\u1E94\u1E95\u1EA0\u1EFE\u1EFF",
         L"\u0101\u012F\u012F\u0133\u0137\u0137\u013A\u0148\u0148\u014B\u0177\u0177\u017A"
         L"\u017E\u017E\u0371\u0373\u0373\u0377\u0377\u03D9\u03EF\u03EF\u03F8\u03F8\u03FB"
         L"\u03FB\u0461\u0481\u0481\u048B\u04BF\u04BF\u04C2\u04CE\u04CE\u04D1\u052F\u052F"
         L"\u1E01\u1E95\u1E95\u1EA1\u1EFF\u1EFF"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fold.Fold(c.text), c.folded) << testing::PrintToString(std::wstring(c.text));
    }
}

TEST(CaseFolding, ComparisonsIgnoreCaseButNotAccents) {
    struct Case {
        const wchar_t* text;
        const wchar_t* part;
        bool contains, startsWith;
    };
    const Case cases[] = {
        {L"\u00C9diteur", L"\u00E9", true, true},         // Éditeur, é
        {L"\u00E9t\u00E9", L"\u00C9T\u00C9", true, true}, // été, ÉTÉ
        {L"Editeur", L"\u00E9", false, false},            // e is not é
        {L"STRASSE", L"\u00DF", true, false},             // STRASSE, ß
        {L"Stra\u00DFe", L"SS", true, false},             // Straße, SS
        {L"\u00DFa", L"Sa", true, false},                 // ßa: the second s of ß starts it
        {L"\u03A3\u039F\u03A6\u039F\u03A3", L"\u03C2", true, true}, // ΣΟΦΟΣ, ς
        {L"\u0401\u043B\u043A\u0430", L"\u0451", true, true},       // Ёлка, ё
        {L"\u0415\u043B\u043A\u0430", L"\u0451", false, false},     // Елка, ё
        {L"anything", L"", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)) + " / " +
                     testing::PrintToString(std::wstring(c.part)));
        EXPECT_EQ(FoldedContains(fold, c.text, c.part), c.contains);
        EXPECT_EQ(FoldedStartsWith(fold, c.text, c.part), c.startsWith);
    }
    EXPECT_TRUE(FoldedEquals(fold, L"\u00C9", L"\u00E9")); // É é
    EXPECT_TRUE(FoldedEquals(fold, L"\u03C2", L"\u03A3")); // ς Σ
    EXPECT_FALSE(FoldedEquals(fold, L"\u00E9", L"e"));
    EXPECT_EQ(CharacterLength(L""), 0u);
    EXPECT_EQ(CharacterLength(L"ab"), 1u);
}

TEST(CaseFolding, FindGivesTheOriginalCharactersAcrossLengthChanges) {
    struct Case {
        const wchar_t* text;
        const wchar_t* part;
        std::optional<TextSpan> span;
    };
    const Case cases[] = {
        {L"Stra\u00DFe", L"SS", TextSpan{4, 1}}, // ß answers SS
        {L"STRASSE", L"\u00DF", TextSpan{4, 2}}, // SS answers ß
        {L"Stra\u00DFe", L"e", TextSpan{5, 1}},  // after ß: one character, not two
        {L"Stra\u00DFe", L"as", TextSpan{3, 2}}, // ends inside ß: "aß"
        {L"Stra\u00DFe", L"se", TextSpan{4, 2}}, // starts inside ß: "ße"
        {L"Gr\u00FC\u00DFe \u00E9t\u00E9", L"\u00C9T\u00C9", TextSpan{6, 3}}, // Grüße été
        {L"\u1E9E\u00DFx", L"sssx", TextSpan{0, 3}}, // ẞßx: begins in ẞ, which counts whole
        {L"\u03A3\u03BF\u03C6\u03CC\u03C2", L"\u038C\u03A3", TextSpan{3, 2}}, // Σοφός, ΌΣ
        {L"Editeur", L"\u00E9", std::nullopt},
        {L"abc", L"", TextSpan{0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)) + " / " +
                     testing::PrintToString(std::wstring(c.part)));
        const auto span = FoldedFind(fold, c.text, c.part);
        ASSERT_EQ(span.has_value(), c.span.has_value());
        if (span) {
            EXPECT_EQ(span->position, c.span->position);
            EXPECT_EQ(span->length, c.span->length);
        }
    }
}
