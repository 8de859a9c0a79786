#include <gtest/gtest.h>

#include "core/popup_rules.h"

using namespace zelk;

namespace {

PlacementRequest Request(long left, long top, long btnLeft, long btnTop) {
    PlacementRequest r;
    r.left = left;
    r.top = top;
    r.btnLeft = btnLeft;
    r.btnTop = btnTop;
    r.screenWidth = 1280;
    r.screenHeight = 800;
    r.width = 300;
    r.height = 200;
    return r;
}

ListModel Rows(int count) {
    ListModel model;
    for (int i = 0; i < count; ++i) {
        model.AddItem(L"row" + std::to_wstring(i));
    }
    return model;
}

} // namespace

TEST(Placement, FitsOrFlipsAgainstItsAnchors) {
    // Fits: unchanged.
    EXPECT_EQ(PlacePopup(Request(100, 100, 0, 0)), (Placement{100, 100, 300, 200, 0, 0}));
    // Too far right without an anchor: flush with the screen's right edge.
    EXPECT_EQ(PlacePopup(Request(1100, 100, 0, 0)).left, 980);
    // Too far right with an anchor: the right edge goes to the anchor.
    EXPECT_EQ(PlacePopup(Request(1100, 100, 500, 0)), (Placement{200, 100, 300, 200, 500, 0}));
    // Too low with a bottom anchor: it opens upwards from the anchor.
    EXPECT_EQ(PlacePopup(Request(100, 700, 0, 650)), (Placement{100, 450, 300, 200, 0, 650}));
    // Too low without one: pushed up to the screen's bottom.
    EXPECT_EQ(PlacePopup(Request(100, 700, 0, 0)).top, 600);
    // No clamping at the left or top edge.
    EXPECT_EQ(PlacePopup(Request(-50, -20, 0, 0)), (Placement{-50, -20, 300, 200, 0, 0}));
}

TEST(Placement, TheTrayMenuOpensLeftwardsFromTheWorkAreaCorner) {
    PlacementRequest r = Request(1280, 780, 0, 780);
    r.displayDirection = 1;
    EXPECT_EQ(PlacePopup(r), (Placement{980, 580, 300, 200, 0, 780}));
    // A submenu opening to the left of its parent at x = 980.
    PlacementRequest sub = Request(1280, 300, 980, 0);
    sub.displayDirection = 1;
    EXPECT_EQ(PlacePopup(sub), (Placement{680, 300, 300, 200, 980, 0}));
}

TEST(Placement, HeightCountsRowsAndHonoursTheLimits) {
    ListModel model = Rows(20);
    int maxHeight = 0;
    EXPECT_EQ(PopupHeight(model, 24, 8, 8, 800, 0, maxHeight), 8 + 20 * 24 + 8);
    EXPECT_EQ(PopupHeight(model, 24, 8, 8, 800, 5, maxHeight), 8 + 5 * 24 + 8);
    EXPECT_EQ(maxHeight, 136); // kept by the list
    maxHeight = 100;
    EXPECT_EQ(PopupHeight(model, 24, 8, 8, 800, 0, maxHeight), 100);
    maxHeight = 0;
    EXPECT_EQ(PopupHeight(Rows(100), 24, 8, 8, 800, 0, maxHeight), 800); // the screen at most
    model.AddItem(L"-");
    EXPECT_EQ(PopupHeight(model, 25, 8, 8, 800, 0, maxHeight), 8 + 20 * 25 + 12 + 8);
}

TEST(HoverDelay, OpensAfterThirtyOneTicksAndAPlainRowCloses) {
    HoverDelay delay;
    delay.HotRowChanged(3, true);
    for (int tick = 1; tick <= 30; ++tick) {
        const auto step = delay.Tick();
        ASSERT_FALSE(step.openSubMenu) << tick;
    }
    const auto open = delay.Tick();
    EXPECT_TRUE(open.closeSubMenu && open.openSubMenu);
    EXPECT_EQ(delay.PendingRow(), 3);
    EXPECT_FALSE(delay.Tick().openSubMenu);

    // A plain row before the delay ran out cancels the opening and later closes.
    delay.HotRowChanged(5, true);
    for (int tick = 0; tick < 10; ++tick) {
        delay.Tick();
    }
    delay.HotRowChanged(6, false);
    EXPECT_FALSE(delay.OpenPending());
    for (int tick = 1; tick <= 30; ++tick) {
        ASSERT_FALSE(delay.Tick().closeSubMenu);
    }
    const auto close = delay.Tick();
    EXPECT_TRUE(close.closeSubMenu);
    EXPECT_FALSE(close.openSubMenu);
}

TEST(Navigation, KeysSkipWhatCannotBeChosen) {
    ListModel model;
    model.OpenGroup(L"header");                                       // 0
    model.AddItem(L"a");                                              // 1
    model.AddItem(L"-");                                              // 2
    model.AddItem(L"disabled", -1, MissingValue{}, L"", false, true); // 3
    model.AddItem(L"b");                                              // 4
    model.AddItem(L"hidden");                                         // 5
    model.AddItem(L"c");                                              // 6
    model.MutableItem(5).Visible = false;
    model.CloseGroup();

    EXPECT_EQ(NavigateKey(model, kKeyDown, 5), 1); // from -1
    model.SetListIndex(1);
    EXPECT_EQ(NavigateKey(model, kKeyDown, 5), 4);
    EXPECT_EQ(NavigateKey(model, kKeyUp, 5), std::nullopt); // nothing above row 1
    model.SetListIndex(4);
    EXPECT_EQ(NavigateKey(model, kKeyDown, 5), 6);
    EXPECT_EQ(NavigateKey(model, kKeyUp, 5), 1);
    EXPECT_EQ(NavigateKey(model, kKeyHome, 5), 1);
    EXPECT_EQ(NavigateKey(model, kKeyEnd, 5), 6);
    model.SetListIndex(6);
    EXPECT_EQ(NavigateKey(model, kKeyDown, 5), std::nullopt);
    EXPECT_EQ(NavigateKey(model, kKeyEnd, 5), std::nullopt);
    EXPECT_EQ(NavigateKey(model, 65, 5), std::nullopt);
}

TEST(Navigation, PagingJumpsAPageOrToTheEnd) {
    ListModel model = Rows(50);
    model.SetListIndex(5);
    EXPECT_EQ(NavigateKey(model, kKeyPageDown, 10), 15);
    model.SetListIndex(45);
    EXPECT_EQ(NavigateKey(model, kKeyPageDown, 10), 49);
    EXPECT_EQ(NavigateKey(model, kKeyPageUp, 10), 35);
    model.SetListIndex(4);
    EXPECT_EQ(NavigateKey(model, kKeyPageUp, 10), 0);
    model.MutableItem(15).Disabled = true;
    model.SetListIndex(5);
    EXPECT_EQ(NavigateKey(model, kKeyPageDown, 10), 16);
}

TEST(Navigation, AcceleratorsAndTypeAhead) {
    ListModel menu;
    menu.AddItem(L"&Open");
    menu.AddItem(L"-");
    menu.AddItem(L"Disabled &File", -1, MissingValue{}, L"", false, true);
    menu.AddItem(L"Save &file");
    menu.AddItem(L"&File again");
    EXPECT_EQ(FindAccelerator(menu, L'f'), 3);
    EXPECT_EQ(FindAccelerator(menu, L'O'), 0);
    EXPECT_EQ(FindAccelerator(menu, L'z'), std::nullopt);

    ListModel drop;
    for (auto text : {L"Apple", L"fig", L"Banana", L"Fennel", L"cherry"}) {
        drop.AddItem(text);
    }
    EXPECT_EQ(TypeAhead(drop, L'F'), 1);
    drop.SetListIndex(1);
    EXPECT_EQ(TypeAhead(drop, L'f'), 3);
    drop.SetListIndex(3);
    EXPECT_EQ(TypeAhead(drop, L'f'), 1); // wraps round
    drop.SetListIndex(1);
    EXPECT_EQ(TypeAhead(drop, L'z'), std::nullopt);
}

TEST(Filter, MatchesShowWithTheirGroupHeaders) {
    ListModel model;
    model.AddItem(L"Documents");
    model.OpenGroup(L"Office");
    model.AddItem(L"Word doc");
    model.AddItem(L"Excel");
    model.CloseGroup();
    model.OpenGroup(L"Empty group");
    model.CloseGroup();
    model.AddItem(L"-");
    model.SetListIndex(2);
    const FilterResult result = ApplyFilter(model, L"DOC", 24);
    EXPECT_EQ(result.matches, 2);
    EXPECT_EQ(result.contentHeight, 3 * 24);
    EXPECT_EQ(model.ListIndex(), -1);
    const bool visible[] = {true, true, true, false, false, false};
    for (long i = 0; i < model.ListCount(); ++i) {
        EXPECT_EQ(model.Item(i).Visible, visible[i]) << i;
    }
    const FilterResult all = ApplyFilter(model, L"", 24);
    EXPECT_EQ(all.matches, 4); // the separator's "-" counts as a text
    EXPECT_TRUE(model.Item(1).Visible);
    EXPECT_FALSE(model.Item(4).Visible); // a header without children stays hidden
}

// Rows in several languages; the filter, type-ahead and accelerators follow the folding.
ListModel Languages() {
    ListModel model;
    for (auto text : {
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
         }) {
        model.AddItem(text);
    }
    return model;
}

TEST(Filter, FollowsTheFoldingNotAscii) {
    struct Case {
        const wchar_t* filter;
        std::vector<long> rows;
    };
    const Case cases[] = {
        {L"\u00E9", {1, 2}},     // é: Éditeur, été, not Editeur
        {L"\u00C9T\u00C9", {2}}, // ÉTÉ
        {L"\u00DF", {3, 4}},     // ß: Straße, STRASSE
        {L"strasse", {3, 4}},
        {L"\u03C2", {5, 6}},          // ς: both sigmas
        {L"\u03CC\u03A3", {5}},       // ΌΣ: the accented Ό only
        {L"\u03AC", {6}},             // ά
        {L"\u0451", {8}},             // ё: not Ель
        {L"\u0434\u043E\u043C", {9}}, // дом
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.filter)));
        ListModel model = Languages();
        EXPECT_EQ(ApplyFilter(model, c.filter, 10).matches, static_cast<long>(c.rows.size()));
        std::vector<long> shown;
        for (long i = 0; i < model.ListCount(); ++i) {
            if (model.Item(i).Visible) {
                shown.push_back(i);
            }
        }
        EXPECT_EQ(shown, c.rows);
    }
}

TEST(Navigation, TypeAheadAndAcceleratorsFollowTheFolding) {
    struct Case {
        wchar_t typed;
        std::optional<long> row;
    };
    const Case typeAhead[] = {
        {L'\u00E9', 1}, // é: Éditeur, after Editeur
        {L'\u00C9', 1}, // É
        {L'\u03C2', 5}, // ς: Σοφός
        {L'\u03AC', 6}, // ά: ΆΓΙΟΣ
        {L'\u0451', 8}, // ё: Ёлка, not Ель
        {L'\u0434', 9}, // д: ДОМ
        {L'\u00E8', std::nullopt},
    };
    const ListModel drop = Languages();
    for (const Case& c : typeAhead) {
        EXPECT_EQ(TypeAhead(drop, c.typed), c.row) << static_cast<int>(c.typed);
    }

    ListModel menu;
    for (auto text : {L"&Editer", L"&\u00C9diter", L"&\u03A3\u03BF\u03C6\u03CC\u03C2",
                      L"&\u0401\u043B\u043A\u0430", L"&\u00DF"}) {
        menu.AddItem(text); // Editer, Éditer, Σοφός, Ёлка, ß
    }
    const Case accelerators[] = {
        {L'\u00E9', 1},       {L'\u00C9', 1}, {L'e', 0},      {L'\u03C2', 2},
        {L'\u03C3', 2},       {L'\u0451', 3}, {L'\u1E9E', 4}, // ẞ
        {L's', std::nullopt}, // "ß" is two letters folded: no single key is it but ß and ẞ
    };
    for (const Case& c : accelerators) {
        EXPECT_EQ(FindAccelerator(menu, c.typed), c.row) << static_cast<int>(c.typed);
    }
}

TEST(HitTest, RowsUnderThePointer) {
    ListModel model;
    model.AddItem(L"a");
    model.AddItem(L"-");
    model.AddItem(L"b");
    model.AddItem(L"disabled", -1, MissingValue{}, L"", false, true);
    EXPECT_EQ(HitTestRows(model, 10, 8, 24, 200), 0);
    EXPECT_EQ(HitTestRows(model, 33, 8, 24, 200), -1); // the separator's upper half
    EXPECT_EQ(HitTestRows(model, 45, 8, 24, 200), 2);  // below the half-height separator
    EXPECT_EQ(HitTestRows(model, 70, 8, 24, 200), -1); // disabled
    EXPECT_EQ(HitTestRows(model, 2, 8, 24, 200), -1);  // the header area
    EXPECT_EQ(HitTestRows(model, 20, 0, 24, 200), 0);  // ItemHitest: content coordinates
}

TEST(HitTest, EnsureVisibleScrollsJustEnough) {
    ListModel model = Rows(20);
    EXPECT_EQ(EnsureVisibleValue(model, 10, 0, 100, 24), 11 * 24 - 100);
    EXPECT_EQ(EnsureVisibleValue(model, 2, 100, 100, 24), 2 * 24);
    EXPECT_EQ(EnsureVisibleValue(model, 5, 100, 100, 24), 100);
}
