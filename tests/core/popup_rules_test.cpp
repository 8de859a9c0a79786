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
