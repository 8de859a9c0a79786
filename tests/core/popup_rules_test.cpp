#include <gtest/gtest.h>

#include <algorithm>
#include <random>

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

// Rows from a pattern, one character each: a row, 'd' disabled, 'g' a group header, '-' a
// separator, 'h' hidden.
ListModel Pattern(std::wstring_view rows) {
    ListModel model;
    for (const wchar_t kind : rows) {
        if (kind == L'g') {
            model.OpenGroup(L"group");
        } else {
            model.AddItem(kind == L'-' ? L"-" : L"row", -1, MissingValue{}, L"", false,
                          kind == L'd');
        }
        model.MutableItem(model.ListCount() - 1).Visible = kind != L'h';
    }
    return model;
}

} // namespace

TEST(Placement, FitsOrFlipsAgainstItsAnchors) {
    const struct {
        long left, top, btnLeft, btnTop;
        Placement placed;
    } cases[] = {
        // Fits: unchanged, up to the last pixel of the screen.
        {100, 100, 0, 0, {100, 100, 300, 200, 0, 0, true}},
        {980, 600, 500, 650, {980, 600, 300, 200, 0, 0, true}},
        // Too far right without an anchor: flush with the screen's right edge.
        {981, 100, 0, 0, {980, 100, 300, 200, 0, 0, false}},
        // Too far right with an anchor: the right edge goes to the anchor (1 is one too), but
        // never past the screen's left edge.
        {1100, 100, 500, 0, {200, 100, 300, 200, 500, 0, false}},
        {1100, 100, 1, 0, {0, 100, 300, 200, 1, 0, false}},
        // Too low with a bottom anchor: it opens upwards from the anchor; without one it is
        // pushed up to the screen's bottom.
        {100, 700, 0, 650, {100, 450, 300, 200, 0, 650, true}},
        {100, 601, 0, 0, {100, 600, 300, 200, 0, 0, true}},
        // Asked for above or left of the screen: brought onto it.
        {-50, -20, 0, 0, {0, 0, 300, 200, 0, 0, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.left << "," << c.top << " " << c.btnLeft);
        EXPECT_EQ(PlacePopup(Request(c.left, c.top, c.btnLeft, c.btnTop)), c.placed);
    }
}

// A leftward cascade that reaches the left edge turns back to the right of its parent and goes
// on rightwards (the caller passes direction 0 on), turning left again at the right edge.
TEST(Placement, ACascadeTurnsBackAtEitherEdgeOfTheMonitor) {
    for (const long origin : {0L, -1280L}) {
        SCOPED_TRACE(origin);
        const auto child = [&](long parentLeft, long parentRight, int direction, int width) {
            PlacementRequest r = Request(origin + parentRight, 100, origin + parentLeft, 0);
            r.screenLeft = origin;
            r.displayDirection = direction;
            r.width = width;
            r.btnLeftIsParentEdge = true;
            return PlacePopup(r);
        };
        const Placement turned = child(100, 400, 1, 300);
        EXPECT_EQ(turned.left, origin + 400);
        EXPECT_EQ(turned.anchorLeft, 0);
        EXPECT_TRUE(turned.rightwards);
        const Placement onwards = child(400, 700, 0, 300);
        EXPECT_EQ(onwards.left, origin + 700);
        EXPECT_TRUE(onwards.rightwards);
        const Placement back = child(700, 1000, 0, 300);
        EXPECT_EQ(back.left, origin + 400);
        EXPECT_FALSE(back.rightwards);
        // Room on neither side: on the screen, from its left edge.
        EXPECT_EQ(child(350, 650, 1, 700).left, origin);
    }
}

// Whatever is asked, a list no bigger than the screen lands on it, on the side it asked for
// when that side has room.
TEST(Placement, AListThatFitsTheScreenNeverLeavesIt) {
    std::mt19937 random(20261207);
    for (int i = 0; i < 5000; ++i) {
        const auto between = [&](long low, long high) {
            return std::uniform_int_distribution<long>(low, high)(random);
        };
        PlacementRequest r;
        r.screenLeft = between(-2000, 2000);
        r.screenTop = between(-1000, 1000);
        r.screenWidth = static_cast<int>(between(400, 2560));
        r.screenHeight = static_cast<int>(between(300, 1440));
        r.width = static_cast<int>(between(50, r.screenWidth));
        r.height = static_cast<int>(between(20, r.screenHeight));
        r.left = r.screenLeft + between(-100, r.screenWidth + 100);
        r.top = r.screenTop + between(-100, r.screenHeight + 100);
        r.btnLeft = between(0, 1) == 0 ? 0 : std::max(1L, r.left - between(0, 400));
        r.btnTop = between(0, 1) == 0 ? 0 : std::max(1L, r.top + between(0, 30));
        r.displayDirection = static_cast<int>(between(0, 1));
        r.btnLeftIsParentEdge = between(0, 1) == 1;
        const Placement p = PlacePopup(r);
        SCOPED_TRACE(testing::Message() << "case " << i);
        ASSERT_GE(p.left, r.screenLeft);
        ASSERT_LE(p.left + p.width, r.screenLeft + r.screenWidth);
        ASSERT_GE(p.top, r.screenTop);
        ASSERT_LE(p.top + p.height, r.screenTop + r.screenHeight);
        ASSERT_EQ(p.rightwards, p.left >= r.left);
        const bool anchored = r.btnLeft >= 1 || r.btnLeftIsParentEdge;
        const long wantedLeft = (anchored ? r.btnLeft : r.left) - r.width;
        if (r.displayDirection == 1 && wantedLeft >= r.screenLeft &&
            wantedLeft + r.width <= r.screenLeft + r.screenWidth) {
            ASSERT_EQ(p.left, wantedLeft) << "room on its own side";
        }
        if (r.displayDirection == 0 && r.left >= r.screenLeft &&
            r.left + r.width <= r.screenLeft + r.screenWidth) {
            ASSERT_EQ(p.left, r.left) << "room on its own side";
        }
    }
}

TEST(Placement, HeightCountsRowsAndHonoursTheLimits) {
    ListModel model = Rows(20);
    int maxHeight = 0;
    EXPECT_EQ(PopupHeight(model, 24, 8, 8, 800, 0, maxHeight), 8 + 20 * 24 + 8);
    EXPECT_EQ(maxHeight, 0);
    EXPECT_EQ(PopupHeight(model, 24, 8, 8, 800, 5, maxHeight), 8 + 5 * 24 + 8);
    EXPECT_EQ(maxHeight, 136); // kept by the list
    maxHeight = 100;
    EXPECT_EQ(PopupHeight(model, 24, 8, 8, 800, 0, maxHeight), 100);
    maxHeight = 0;
    EXPECT_EQ(PopupHeight(Rows(100), 24, 8, 8, 800, 0, maxHeight), 800); // the screen at most
    model.AddItem(L"-");
    // Half a row, rounded half to even: 516 + 12.5 and 517 + 12.5.
    EXPECT_EQ(PopupHeight(model, 25, 8, 8, 800, 0, maxHeight), 8 + 20 * 25 + 12 + 8);
    EXPECT_EQ(PopupHeight(model, 25, 9, 8, 800, 0, maxHeight), 9 + 20 * 25 + 13 + 8);
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
    EXPECT_EQ(delay.PendingRow(), -1);
    for (int tick = 1; tick <= 30; ++tick) {
        ASSERT_FALSE(delay.Tick().closeSubMenu);
    }
    const auto close = delay.Tick();
    EXPECT_TRUE(close.closeSubMenu);
    EXPECT_FALSE(close.openSubMenu);

    // Cancel drops whatever is pending.
    for (const bool hasSubMenu : {true, false}) {
        delay.HotRowChanged(2, hasSubMenu);
        delay.Cancel();
        for (int tick = 0; tick < 40; ++tick) {
            const auto step = delay.Tick();
            ASSERT_FALSE(step.openSubMenu || step.closeSubMenu) << hasSubMenu;
        }
    }
}

TEST(DoubleClick, TheSecondPressMustLieInTheRectangleAndTheTime) {
    const TimedPoint first{100, 200, 0xFFFFFF00u}; // the tick count wraps between the clicks
    // {dx, dy, ms after the first click, completes} in a 4 × 5 rectangle and 500 ms
    const std::tuple<long, long, int, bool> cases[] = {
        {0, 0, 0, true},   {2, -2, 500, true}, {-2, 2, -500, true},
        {3, 0, 0, false},  {-3, 0, 0, false},  {0, 3, 0, false},
        {0, -3, 0, false}, {0, 0, 501, false}, {0, 0, -501, false}};
    for (const auto& [dx, dy, ms, completes] : cases) {
        const TimedPoint press{first.x + dx, first.y + dy, first.time + static_cast<uint32_t>(ms)};
        EXPECT_EQ(CompletesDoubleClick(first, press, 4, 5, 500), completes)
            << dx << "," << dy << ", " << ms;
    }
}

TEST(Navigation, KeysSkipWhatCannotBeChosen) {
    struct Case {
        const wchar_t* rows;
        long current;
        int key;
        std::optional<long> row;
    };
    constexpr int page = 3;
    const Case cases[] = {
        {L"aaaa", -1, kKeyDown, 0},
        {L"aaaa", 2, kKeyDown, 3},
        {L"aaa", 2, kKeyDown, std::nullopt},
        {L"a-dha", 0, kKeyDown, 4},
        {L"aaaa", 1, kKeyUp, 0},
        {L"daaa", 1, kKeyUp, std::nullopt},
        {L"aaaa", 2, kKeyHome, 0},
        {L"ghda", 3, kKeyHome, std::nullopt},
        {L"daad", -1, kKeyHome, 1},
        {L"aaaa", 1, kKeyEnd, 3},
        {L"daad", -1, kKeyEnd, 2},
        {L"aaa", 2, kKeyEnd, std::nullopt},
        {L"aaaaaaa", 1, kKeyPageDown, 4},
        {L"aaaadaa", 1, kKeyPageDown, 5}, // lands on a disabled row: the next one
        {L"aaaaa", 3, kKeyPageDown, 4},   // past the end: the last row
        {L"aaaad", 1, kKeyPageDown, 3},   // on a last row that cannot be chosen
        {L"aaaad", 3, kKeyPageDown, std::nullopt},
        {L"aaaaa", 4, kKeyPageUp, 1},
        {L"adaaa", 4, kKeyPageUp, 0}, // lands on a disabled row: the one before
        {L"aaaaa", 1, kKeyPageUp, 0}, // before the start: the first row
        {L"daaaa", 2, kKeyPageUp, 1}, // on a first row that cannot be chosen
        {L"g-aaa", 4, kKeyPageUp, 2},
        {L"aaa", 1, 65, std::nullopt}, // not a navigation key
    };
    for (const Case& c : cases) {
        ListModel model = Pattern(c.rows);
        model.SetListIndex(c.current);
        EXPECT_EQ(NavigateKey(model, c.key, page), c.row)
            << testing::PrintToString(std::wstring(c.rows)) << " from " << c.current << " key "
            << c.key;
    }
}

TEST(Navigation, AcceleratorsAndTypeAhead) {
    ListModel menu;
    menu.AddItem(L"&Open");
    menu.AddItem(L"-");
    menu.AddItem(L"Disabled &File", -1, MissingValue{}, L"", false, true);
    menu.AddItem(L"Save &file");
    menu.AddItem(L"&File again");
    menu.OpenGroup(L"&Group");
    EXPECT_EQ(FindAccelerator(menu, L'f'), 3);
    EXPECT_EQ(FindAccelerator(menu, L'O'), 0);
    EXPECT_EQ(FindAccelerator(menu, L'g'), std::nullopt);
    EXPECT_EQ(FindAccelerator(menu, L'z'), std::nullopt);

    // Type-ahead: the next row after the selection, wrapping round, that starts with the key;
    // "D" marks a disabled row, "G" a group header.
    struct Case {
        std::vector<const wchar_t*> rows;
        long current;
        std::optional<long> row;
    };
    const Case cases[] = {
        {{L"Apple", L"banana", L"fig"}, -1, 2}, // nothing selected: the last row is reached
        {{L"fig", L"Apple", L"Fennel"}, -1, 0}, // nothing selected: row 0 comes first
        {{L"fig", L"Apple", L"Fennel"}, 0, 2},
        {{L"fig", L"Apple", L"Fennel"}, 2, 0}, // wraps round
        {{L"fig", L"Apple"}, 0, std::nullopt}, // only the selected row matches
        {{L"Dfig", L"Apple", L"Dfennel", L"fir"}, -1, 3},
        {{L"Dfig", L"Dfennel"}, -1, std::nullopt},
        {{L"GFruit", L"fig"}, -1, 1},
        {{L"leaf", L"fig"}, -1, 1}, // the start of the text, not anywhere in it
        {{}, -1, std::nullopt},
    };
    for (const Case& c : cases) {
        ListModel drop;
        for (const wchar_t* text : c.rows) {
            if (text[0] == L'G') {
                drop.OpenGroup(text + 1);
            } else {
                drop.AddItem(text[0] == L'D' ? text + 1 : text, -1, MissingValue{}, L"", false,
                             text[0] == L'D');
            }
        }
        drop.SetListIndex(c.current);
        EXPECT_EQ(TypeAhead(drop, L'f'), c.row) << c.rows.size() << " rows from " << c.current;
    }
}

TEST(Filter, MatchesShowWithTheirGroupHeaders) {
    ListModel model;
    model.AddItem(L"Documents"); // 0
    model.OpenGroup(L"Office");  // 1
    model.AddItem(L"Word doc");  // 2
    model.AddItem(L"Docs list"); // 3
    model.AddItem(L"Excel");     // 4
    model.CloseGroup();
    model.OpenGroup(L"Empty group"); // 5
    model.CloseGroup();
    model.AddItem(L"Doc notes"); // 6: after the groups, in none
    model.AddItem(L"-");         // 7
    model.AddItem(L"");          // 8
    model.SetListIndex(2);
    const FilterResult result = ApplyFilter(model, L"DOC", 24);
    EXPECT_EQ(result.matches, 4);
    EXPECT_EQ(result.contentHeight, 5 * 24); // the header once
    EXPECT_EQ(model.ListIndex(), -1);
    const bool visible[] = {true, true, true, true, false, false, true, false, false};
    for (long i = 0; i < model.ListCount(); ++i) {
        EXPECT_EQ(model.Item(i).Visible, visible[i]) << i;
    }
    const FilterResult all = ApplyFilter(model, L"", 24);
    EXPECT_EQ(all.matches, 6); // the separator's "-" counts as a text, an empty row does not
    EXPECT_TRUE(model.Item(1).Visible);
    EXPECT_FALSE(model.Item(5).Visible); // a header without children stays hidden
    EXPECT_FALSE(model.Item(8).Visible);
}

TEST(HitTest, RowsUnderThePointer) {
    ListModel model;
    model.AddItem(L"a");                                              // 0: 8 .. 32
    model.AddItem(L"-");                                              // 1: 33 .. 45 (45.5 even)
    model.AddItem(L"b");                                              // 2: 46 .. 70
    model.AddItem(L"disabled", -1, MissingValue{}, L"", false, true); // 3: 71 .. 95
    model.AddItem(L"hidden");                                         // 4: takes no room
    model.AddItem(L"c");                                              // 5: 96 .. 120
    model.MutableItem(4).Visible = false;
    const std::pair<int, long> cases[] = {{7, -1},  {8, 0},  {32, 0},  {33, -1},
                                          {45, -1}, {46, 2}, {70, 2},  {71, -1},
                                          {95, -1}, {96, 5}, {120, 5}, {121, -1}};
    for (auto [y, row] : cases) {
        EXPECT_EQ(HitTestRows(model, y, 8, 25, 200), row) << "y " << y;
    }
    EXPECT_EQ(HitTestRows(model, 20, 0, 25, 200), 0); // ItemHitest: content coordinates
}

TEST(HitTest, EnsureVisibleScrollsJustEnough) {
    ListModel model = Rows(20);
    EXPECT_EQ(EnsureVisibleValue(model, 10, 0, 100, 24), 11 * 24 - 100);
    EXPECT_EQ(EnsureVisibleValue(model, 2, 100, 100, 24), 2 * 24);
    EXPECT_EQ(EnsureVisibleValue(model, 5, 100, 100, 24), 100);
    model.MutableItem(3).Visible = false;
    EXPECT_EQ(EnsureVisibleValue(model, 10, 0, 100, 24), 10 * 24 - 100);
}
