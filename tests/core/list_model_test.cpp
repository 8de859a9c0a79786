#include <gtest/gtest.h>

#include "core/list_model.h"

using namespace zelk;

namespace {

std::vector<std::wstring> Texts(const ListModel& list) {
    std::vector<std::wstring> texts;
    for (const auto& item : list.Items()) {
        texts.push_back(item.Text);
    }
    return texts;
}

ListModel ThreeRows() {
    ListModel list;
    for (auto text : {L"a", L"b", L"c"}) {
        list.AddItem(text);
    }
    return list;
}

} // namespace

TEST(ListModel, SeparatorsAreOnlyAnExactDashAddedAsAnItem) {
    ListModel list;
    list.AddItem(L"-");
    list.AddItem(L" -");
    list.AddSubMenu(L"-", &list);
    EXPECT_TRUE(list.Item(0).IsSeparator);
    EXPECT_FALSE(list.Item(1).IsSeparator);
    EXPECT_FALSE(list.Item(2).IsSeparator);
    EXPECT_EQ(list.SeparatorCount(), 1);
    list.RemoveItem(0);
    EXPECT_EQ(list.SeparatorCount(), 0);
}

TEST(ListModel, InsertIndexesAndAppends) {
    const std::pair<long, std::vector<std::wstring>> cases[] = {
        {0, {L"x", L"a", L"b", L"c"}},  {1, {L"a", L"x", L"b", L"c"}},
        {3, {L"a", L"b", L"c", L"x"}},  {7, {L"a", L"b", L"c", L"x"}},
        {-1, {L"a", L"b", L"c", L"x"}}, {-5, {L"a", L"b", L"c", L"x"}}};
    for (const auto& [index, expected] : cases) {
        ListModel list = ThreeRows();
        list.SetListIndex(1);
        list.AddItem(L"x", -1, MissingValue{}, L"", false, false, index);
        EXPECT_EQ(Texts(list), expected) << index;
        EXPECT_EQ(list.ListIndex(), 1); // not adjusted for inserts
    }
}

TEST(ListModel, NewRowsCarryTheirFieldsAndDefaults) {
    ListModel list;
    list.AddItem(L"t", 4, std::wstring(L"C:\\x"), L"sub", true, true);
    list.AddItem(L"plain");
    const ListItem& row = list.Item(0);
    EXPECT_EQ(row.Icon, 4);
    EXPECT_EQ(row.ItemData, ItemValue(std::wstring(L"C:\\x")));
    EXPECT_TRUE(row.Selected);
    EXPECT_TRUE(row.Disabled);
    EXPECT_TRUE(row.Visible);
    EXPECT_EQ(row.TextColor, kDefaultColour);
    EXPECT_EQ(list.Item(1).ItemData, ItemValue(MissingValue{}));
    EXPECT_NE(list.Item(1).ItemData, ItemValue(EmptyValue{}));
}

TEST(ListModel, GroupsAndTheirQueries) {
    ListModel list;
    list.AddItem(L"outside");       // 0
    list.OpenGroup(L"G1");          // 1
    list.AddItem(L"c1");            // 2
    list.AddItem(L"c2");            // 3
    list.AddSubMenu(L"sub", &list); // 4: never a child
    list.CloseGroup();
    list.AddItem(L"after"); // 5
    list.OpenGroup(L"G2");  // 6
    list.OpenGroup(L"G3");  // 7: last row
    EXPECT_TRUE(list.Item(2).IsChild);
    EXPECT_FALSE(list.Item(4).IsChild);
    EXPECT_FALSE(list.Item(5).IsChild);
    EXPECT_EQ(list.GetItemParentGroup(2), 1);
    EXPECT_EQ(list.GetItemParentGroup(3), 1);
    EXPECT_EQ(list.GetItemParentGroup(0), 0);
    EXPECT_EQ(list.GetItemParentGroup(1), 1);
    EXPECT_EQ(list.GetGroupChildCounts(1), 2);
    EXPECT_EQ(list.GetGroupChildCounts(6), 0);
    EXPECT_EQ(list.GetGroupChildCounts(7), -1);
    EXPECT_EQ(list.GetGroupChildCounts(2), -1);

    // Sorting does not keep groups together: a child can end up above every header.
    list.QSort(0, AsciiCaseInsensitiveCompare);
    ASSERT_EQ(list.Item(1).Text, L"c1");
    EXPECT_EQ(list.GetItemParentGroup(1), -1);
    list.AddItem(L"-");
    list.SetHotIndex(2);
    list.Clear();
    EXPECT_EQ(list.HotIndex(), -1);
    EXPECT_EQ(list.SeparatorCount(), 0);
    list.AddItem(L"x");
    EXPECT_FALSE(list.Item(0).IsChild); // Clear closes the group
    list.Clear();
    list.OpenGroup(L"first");
    list.AddItem(L"child");
    EXPECT_EQ(list.GetItemParentGroup(1), 0);
}

TEST(ListModel, RemovalMovesTheSelectionOnlyWhenItIsRemoved) {
    ListModel list = ThreeRows();
    list.SetListIndex(1);
    list.RemoveItem(1);
    EXPECT_EQ(list.ListIndex(), 0);
    EXPECT_EQ(Texts(list), (std::vector<std::wstring>{L"a", L"c"}));
    list.RemoveItem(0);
    EXPECT_EQ(list.ListIndex(), -1);

    list = ThreeRows();
    list.SetListIndex(2);
    list.RemoveItem(0);
    EXPECT_EQ(list.ListIndex(), 2); // below the removed row: not adjusted
    EXPECT_THROW(list.Text(), ListIndexError);
    EXPECT_THROW(list.RemoveItem(5), ListIndexError);
    EXPECT_THROW(list.Item(2), ListIndexError);
    EXPECT_THROW(list.RemoveItem(-1), ListIndexError);
    EXPECT_EQ(list.ListCount(), 2);

    list.SetListIndex(-1);
    EXPECT_EQ(list.Text(), L"");
    EXPECT_EQ(list.SelectedItemData(), ItemValue(EmptyValue{}));
}

TEST(ListModel, SortsInBothDirectionsAndBubbleSortIsStable) {
    const std::tuple<const wchar_t*, const wchar_t*, int> orders[] = {{L"Z", L"z", 0},
                                                                      {L"ab", L"abc", -1},
                                                                      {L"abc", L"AB", 1},
                                                                      {L"a", L"B", -1},
                                                                      {L"Z", L"[", 1}};
    for (auto [a, b, order] : orders) {
        EXPECT_EQ(AsciiCaseInsensitiveCompare(a, b), order)
            << testing::PrintToString(std::wstring(a)) << testing::PrintToString(std::wstring(b));
    }
    ListModel two;
    two.AddItem(L"b");
    two.AddItem(L"a");
    two.QSort(0, AsciiCaseInsensitiveCompare);
    EXPECT_EQ(Texts(two), (std::vector<std::wstring>{L"a", L"b"}));
    for (auto sort : {&ListModel::BSort, &ListModel::QSort}) {
        ListModel list;
        for (auto text : {L"b", L"A", L"c"}) {
            list.AddItem(text);
        }
        (list.*sort)(0, AsciiCaseInsensitiveCompare);
        EXPECT_EQ(Texts(list), (std::vector<std::wstring>{L"A", L"b", L"c"}));
        (list.*sort)(1, AsciiCaseInsensitiveCompare);
        EXPECT_EQ(Texts(list), (std::vector<std::wstring>{L"c", L"b", L"A"}));
    }
    ListModel list;
    const wchar_t* texts[] = {L"b", L"a", L"B", L"a", L"A"};
    for (int i = 0; i < 5; ++i) {
        list.AddItem(texts[i], i); // the icon remembers the original order
    }
    list.BSort(0, AsciiCaseInsensitiveCompare);
    std::vector<int32_t> order;
    for (const auto& item : list.Items()) {
        order.push_back(item.Icon);
    }
    EXPECT_EQ(order, (std::vector<int32_t>{1, 3, 4, 0, 2}));

    // Quicksort on many rows orders them and keeps every record whole.
    ListModel many;
    for (int i = 0; i < 500; ++i) {
        many.AddItem(std::to_wstring((i * 7919) % 1000), i);
    }
    many.QSort(0, AsciiCaseInsensitiveCompare);
    for (long i = 1; i < many.ListCount(); ++i) {
        EXPECT_LE(AsciiCaseInsensitiveCompare(many.Item(i - 1).Text, many.Item(i).Text), 0);
        EXPECT_EQ(many.Item(i).Text, std::to_wstring((many.Item(i).Icon * 7919) % 1000));
    }
}

TEST(ListModel, RowTopsAfterSeparatorsAndFilteredRows) {
    RowGeometry g;
    g.scale = 1.5;
    g.itemHeight = 25; // H = round(37.5) = 38 (halves to even), M = 12
    ListModel list;
    list.AddItem(L"a");
    list.AddItem(L"-");
    list.AddItem(L"-");
    list.AddItem(L"b");
    list.AddItem(L"c");
    EXPECT_EQ(list.GetItemTop(0, g), 12);
    EXPECT_EQ(list.GetItemTop(1, g), 50);
    EXPECT_EQ(list.GetItemTop(2, g), 69);
    EXPECT_EQ(list.GetItemTop(3, g), 88);
    EXPECT_EQ(list.GetItemTop(4, g), 126);
    EXPECT_EQ(list.GetItemTop(99, g), 12);
    EXPECT_EQ(list.GetItemTop(5, g), 12); // the row past the end
    EXPECT_EQ(list.GetItemTop(-1, g), 12);

    g.itemHeight = 23; // H = round(34.5) = 34: H/2 = 17
    list.MutableItem(0).Visible = false;
    g.scrollValue = 5;
    EXPECT_EQ(list.GetItemTop(3, g), 12 - 5 + 17 + 17);
    g.filterShown = true;
    g.filterBoxHeight = 20;
    EXPECT_EQ(ListModel::HeaderHeight(g), 20 + 48);

    // Half rows that do not divide evenly are rounded after each separator.
    RowGeometry odd;
    odd.itemHeight = 25; // H = 25, H/2 = 12.5
    ListModel seps;
    for (int i = 0; i < 4; ++i) {
        seps.AddItem(L"-");
    }
    seps.AddItem(L"z");
    // 8 -> round(20.5)=20 -> round(32.5)=32 -> round(44.5)=44 -> round(56.5)=56
    EXPECT_EQ(seps.GetItemTop(4, odd), 56);
}

TEST(ListModel, ChrW2) {
    EXPECT_EQ(ChrW2(0x41), u"A");
    EXPECT_EQ(ChrW2(0xE73E), u"\uE73E");
    EXPECT_EQ(ChrW2(0xFFFF), u"\uFFFF");
    EXPECT_EQ(ChrW2(0x1F600), u"\U0001F600");
}
