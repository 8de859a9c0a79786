#include <gtest/gtest.h>

#include "list_support.h"
#include "win/user_case_folding.h"

using namespace zelk;

// The user's locale lowers case and keeps accents: "é" finds "Éditeur" and "été" but not
// "Editeur". To users of accented languages "e" and "é" are different letters, and lowering
// case through LCMapStringEx (not a sort key that ignores diacritics) is what keeps them apart.

TEST(ListFolding, TheUsersFoldingComesFromWindows) {
    // Full-width letters lie beyond the platform-free tables: only Windows lowers them.
    EXPECT_EQ(UserCaseFolding().Fold(L"\uFF3A\uFF25\uFF2C\uFF2B"), L"\uFF5A\uFF45\uFF4C\uFF4B");
    // Lowering alone would leave ß apart from SS and ς apart from Σ.
    EXPECT_EQ(UserCaseFolding().Fold(L"Stra\u00DFe \u1E9E \u03A3\u039F\u03A6\u039F\u03A3 "
                                     L"\u03C3\u03BF\u03C6\u03CC\u03C2 \u0401"),
              L"strasse ss \u03C3\u03BF\u03C6\u03BF\u03C3 \u03C3\u03BF\u03C6\u03CC\u03C3 \u0451");
    EXPECT_EQ(UserCaseFolding().Fold(L""), L"");
    // The locale's own rules: Turkish lowers I to the dotless ı.
    EXPECT_EQ(FoldForLocale(L"tr-TR", L"I"), L"\u0131");
    // A locale Windows does not know still folds, through the platform-free tables.
    EXPECT_EQ(FoldForLocale(L"xx-NOWHERE-at-all", L"\u00C9\u03A3\uFF3A"), L"\u00E9\u03C3\uFF3A");
    // A match ending on a character outside the basic plane covers both of its halves.
    EXPECT_EQ(FoldedFind(UserCaseFolding(), L"xA\U0001F600b", L"a\U0001F600"), (TextSpan{1, 3}));
}

// The rules themselves are the core's; these show the list matching with Windows' folding,
// which alone lowers full-width letters.
TEST(ListFolding, TypeAheadAndAcceleratorsFollowTheUsersLanguage) {
    RecordingUiServices services;
    ucList drop(services, PlainList());
    AddItems(drop,
             {L"Editeur", L"\u00C9diteur", L"\uFF3A\uFF25\uFF2C\uFF2B"}); // ＺＥＬＫ: full width
    // Type-ahead moves to a row of a drop-down; an accelerator chooses a menu row or beeps.
    ucList menu(services, PlainList(2));
    AddItems(menu, {L"&Editer", L"&\u00C9diter", L"&\uFF3A"});
    std::vector<long> clicked;
    menu.ItemClick = [&] { clicked.push_back(menu.ListIndex()); };
    const struct {
        ucList* list;
        wchar_t typed;
        long row;
    } cases[] = {
        {&drop, L'\u00E9', 1}, // é: Éditeur, not Editeur before it
        {&drop, L'\uFF5A', 2}, // ｚ: ＺＥＬＫ
        {&menu, L'e', 0},      // e: &Editer, not the accented one
        {&menu, L'\uFF5A', 2}, // ｚ: &Ｚ
        {&menu, L'q', -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.typed));
        clicked.clear();
        const int beeps = services.beeps;
        c.list->SetListIndex(-1);
        c.list->SetKeyPress(c.typed);
        if (c.list == &drop) {
            EXPECT_EQ(drop.ListIndex(), c.row);
        } else {
            EXPECT_EQ(clicked, c.row < 0 ? std::vector<long>{} : std::vector<long>{c.row});
            EXPECT_EQ(services.beeps, beeps + (c.row < 0 ? 1 : 0));
        }
    }
}
