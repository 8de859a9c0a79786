#include <gtest/gtest.h>

#include "list_support.h"
#include "win/user_case_folding.h"

using namespace zelk;

// The user's locale lowers case and keeps accents: "é" finds "Éditeur" and "été" but not
// "Editeur". To users of accented languages "e" and "é" are different letters, and lowering
// case through LCMapStringEx (not a sort key that ignores diacritics) is what keeps them apart.

namespace {

// Rows in several languages, shared by the filter and type-ahead cases.
void AddLanguages(ucList& list) {
    AddItems(list, {
                       L"Editeur",                        // 0
                       L"\u00C9diteur",                   // 1 Éditeur
                       L"\u00E9t\u00E9",                  // 2 été
                       L"Stra\u00DFe",                    // 3 Straße
                       L"STRASSE",                        // 4
                       L"\u03A3\u03BF\u03C6\u03CC\u03C2", // 5 Σοφός
                       L"\u0386\u0393\u0399\u039F\u03A3", // 6 ΆΓΙΟΣ
                       L"\u0415\u043B\u044C",             // 7 Ель
                       L"\u0401\u043B\u043A\u0430",       // 8 Ёлка
                       L"\u0414\u041E\u041C",             // 9 ДОМ
                       L"\uFF3A\uFF25\uFF2C\uFF2B",       // 10 ＺＥＬＫ, full width
                   });
}

std::vector<long> Shown(const ucList& list) {
    std::vector<long> rows;
    for (long i = 0; i < list.Items().ListCount(); ++i) {
        if (list.Items().Item(i).Visible) {
            rows.push_back(i);
        }
    }
    return rows;
}

} // namespace

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

TEST(ListFolding, FilterAndAutoCompleteFollowTheUsersLanguage) {
    struct Case {
        const wchar_t* filter;
        std::vector<long> rows;
    };
    // The rules themselves are the core's; these show the list matches with Windows' folding.
    const Case cases[] = {
        {L"\u00E9", {1, 2}}, // é: Éditeur, été
        {L"\u00DF", {3, 4}}, // ß: Straße, STRASSE
        {L"\u03C2", {5, 6}}, // ς: every sigma
        {L"\uFF4B", {10}},   // ｋ: only Windows folds full width
    };
    RecordingUiServices services;
    ucList list(services, PlainList());
    AddLanguages(list);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.filter)));
        list.SetFilterText(c.filter);
        EXPECT_EQ(list.MatchCount(), static_cast<long>(c.rows.size()));
        EXPECT_EQ(Shown(list), c.rows);
    }
    list.SetFilterText(L"");

    // Typing into a box the list completes opens it only when some row holds the text, here
    // only in the other case.
    TestWindow form(50, 50, 300, 200, true);
    const HWND host = form.window;
    HWND box = EditBox(host);
    list.AutoCompleteTextBox(box);
    for (const wchar_t typed : {L'\u0451', L'\u03AC', L'\uFF5A'}) { // ё: Ёлка, ά: Ά, ｚ: Ｚ
        SCOPED_TRACE(static_cast<int>(typed));
        ::SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        ::SendMessageW(box, WM_CHAR, typed, 0);
        EXPECT_TRUE(list.IsListVisible());
        EXPECT_EQ(list.MatchCount(), 1);
        list.HideList();
    }
    list.AutoCompleteTextBox(nullptr);
}

// Type-ahead moves to a row of a drop-down; an accelerator chooses a menu row or beeps.
TEST(ListFolding, TypeAheadAndAcceleratorsAnswerTheLetterInEitherCase) {
    RecordingUiServices services;
    ucList drop(services, PlainList());
    AddLanguages(drop);
    ucList menu(services, PlainList(2));
    AddItems(menu, {L"&Editer", L"&\u00C9diter", L"&\uFF3A"});
    std::vector<long> clicked;
    menu.ItemClick = [&] { clicked.push_back(menu.ListIndex()); };
    const struct {
        ucList* list;
        wchar_t typed;
        long row;
    } cases[] = {
        {&drop, L'\u00E9', 1},  // é: Éditeur, not Editeur before it
        {&drop, L'\u0451', 8},  // ё: Ёлка, not Ель
        {&drop, L'\uFF5A', 10}, // ｚ: ＺＥＬＫ
        {&drop, L'\u00E8', -1}, // è: nothing moves
        {&menu, L'\u00E9', 1},  // é: &Éditer
        {&menu, L'e', 0},       // e: &Editer, not the accented one
        {&menu, L'\uFF5A', 2},  // ｚ: &Ｚ
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
