#include <gtest/gtest.h>

#include <tuple>

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

ListModel Rows(std::initializer_list<const wchar_t*> texts) {
    ListModel list;
    for (auto text : texts) {
        list.AddItem(text);
    }
    return list;
}

} // namespace

TEST(ListModel, SeparatorsAreOnlyAnExactDashAddedAsAnItem) {
    ListModel list = Rows({L"-", L" -"});
    list.AddSubMenu(L"-", &list);
    EXPECT_EQ(std::vector<bool>(
                  {list.Item(0).IsSeparator, list.Item(1).IsSeparator, list.Item(2).IsSeparator}),
              std::vector<bool>({true, false, false}));
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
        ListModel list = Rows({L"a", L"b", L"c"});
        list.SetListIndex(1);
        list.AddItem(L"x", -1, MissingValue{}, L"", false, false, index);
        EXPECT_EQ(Texts(list), expected) << index;
        EXPECT_EQ(list.ListIndex(), 1); // not adjusted for inserts
    }
}

TEST(ListModel, GroupsAndTheirQueries) {
    ListModel list;
    list.AddItem(L"outside");       // 0
    list.OpenGroup(L"G1");          // 1
    list.AddItem(L"c1");            // 2
    list.AddItem(L"c2");            // 3
    list.AddSubMenu(L"sub", &list); // 4: never a child
    list.CloseGroup();
    list.AddItem(L"after");                      // 5
    list.OpenGroup(L"G2");                       // 6
    list.OpenGroup(L"G3");                       // 7: last row
    std::vector<long> children, parents, counts; // rows 0 .. 7
    for (long i = 0; i < list.ListCount(); ++i) {
        children.push_back(list.Item(i).IsChild);
        parents.push_back(list.GetItemParentGroup(i));
        counts.push_back(list.GetGroupChildCounts(i));
    }
    EXPECT_EQ(children, (std::vector<long>{0, 0, 1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(parents, (std::vector<long>{0, 1, 1, 1, 4, 5, 6, 7}));
    EXPECT_EQ(counts, (std::vector<long>{-1, 2, -1, -1, -1, -1, 0, -1}));

    // Sorting does not keep groups together: a child can end up above every header.
    list.QSort(0, AsciiCaseInsensitiveCompare);
    ASSERT_EQ(list.Item(1).Text, L"c1");
    EXPECT_EQ(list.GetItemParentGroup(1), -1);
    list.AddItem(L"-");
    list.SetHotIndex(2);
    list.Clear();
    EXPECT_EQ(std::tuple(list.HotIndex(), list.SeparatorCount()), std::tuple(-1L, 0L));
    list.AddItem(L"x");
    EXPECT_FALSE(list.Item(0).IsChild); // Clear closes the group
    list.Clear();
    list.OpenGroup(L"first");
    list.AddItem(L"child");
    EXPECT_EQ(list.GetItemParentGroup(1), 0);
}

TEST(ListModel, RemovalMovesTheSelectionOnlyWhenItIsRemoved) {
    ListModel list = Rows({L"a", L"b", L"c"});
    list.SetListIndex(1);
    list.RemoveItem(1);
    EXPECT_EQ(std::tuple(list.ListIndex(), Texts(list)),
              std::tuple(0L, std::vector<std::wstring>{L"a", L"c"}));
    list.RemoveItem(0);
    EXPECT_EQ(list.ListIndex(), -1);

    list = Rows({L"a", L"b", L"c"});
    list.SetListIndex(2);
    list.RemoveItem(0);
    EXPECT_EQ(list.ListIndex(), 2); // below the removed row: not adjusted
    EXPECT_THROW(list.Text(), ListIndexError);
    EXPECT_THROW(list.RemoveItem(5), ListIndexError);
    EXPECT_THROW(list.Item(2), ListIndexError);
    EXPECT_THROW(list.RemoveItem(-1), ListIndexError);
    EXPECT_EQ(list.ListCount(), 2);

    list.SetListIndex(-1);
    EXPECT_EQ(std::tuple(list.Text(), list.SelectedItemData()),
              std::tuple(std::wstring(), ItemValue(EmptyValue{})));
}

TEST(ListModel, SortsInBothDirectionsAndBubbleSortIsStable) {
    std::vector<int> orders;
    for (auto [a, b] :
         {std::pair{L"Z", L"z"}, {L"ab", L"abc"}, {L"abc", L"AB"}, {L"a", L"B"}, {L"Z", L"["}}) {
        orders.push_back(AsciiCaseInsensitiveCompare(a, b));
    }
    EXPECT_EQ(orders, (std::vector<int>{0, -1, 1, -1, 1}));
    ListModel two = Rows({L"b", L"a"});
    two.QSort(0, AsciiCaseInsensitiveCompare);
    EXPECT_EQ(Texts(two), (std::vector<std::wstring>{L"a", L"b"}));
    for (auto sort : {&ListModel::BSort, &ListModel::QSort}) {
        ListModel list = Rows({L"b", L"A", L"c"});
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
    ListModel list = Rows({L"a", L"-", L"-", L"b", L"c"});
    std::vector<long> tops; // rows 0 .. 4, then one past the end, far past it and -1
    for (long row : {0, 1, 2, 3, 4, 5, 99, -1}) {
        tops.push_back(list.GetItemTop(row, g));
    }
    EXPECT_EQ(tops, (std::vector<long>{12, 50, 69, 88, 126, 12, 12, 12}));

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
    ListModel seps = Rows({L"-", L"-", L"-", L"-", L"z"});
    // 8 -> round(20.5)=20 -> round(32.5)=32 -> round(44.5)=44 -> round(56.5)=56
    EXPECT_EQ(seps.GetItemTop(4, odd), 56);
}

TEST(ListModel, ChrW2) {
    EXPECT_EQ(ChrW2(0x41) + ChrW2(0xE73E) + ChrW2(0xFFFF) + ChrW2(0x1F600),
              u"A\uE73E\uFFFF\U0001F600");
}
