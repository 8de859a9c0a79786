#include <gtest/gtest.h>

#include "core/row_accessibility.h"

using namespace zelk;

// What a screen reader hears for each kind of row: a plain row in a menu and in a list, a
// submenu, a disabled row, a separator, a group heading, a checked row, the current row.
TEST(RowAccessibility, EachKindOfRowHasItsRoleStateNameAndShortcut) {
    ListModel model;
    static const int folder = 0;
    model.AddItem(L"&Open\tCtrl+O");               // 0
    model.AddSubMenu(L"Tools && &Games", &folder); // 1
    model.AddItem(L"Gone", -1, MissingValue{}, L"", false, true);
    model.AddItem(L"-");
    model.OpenGroup(L"Group");
    model.AddItem(L"Ticked", -1, MissingValue{}, L"", true); // 5
    model.MutableItem(0).Visible = false;
    model.SetListIndex(5);
    model.SetHotIndex(1);
    constexpr uint32_t kChoosable = kStateFocusable | kStateSelectable;
    struct Case {
        long row;
        RowContext context;
        uint32_t role, state;
        const wchar_t *name, *shortcut;
        bool action;
    } cases[] = {
        {0, {true, false, true, true}, kRoleMenuItem, kStateInvisible, L"Open", L"", false},
        {1,
         {true, false, true, false},
         kRoleMenuItem,
         kChoosable | kStateHotTracked | kStateHasPopup | kStateOffscreen,
         L"Tools & Games",
         L"G",
         true},
        {2, {false, false, true, true}, kRoleListItem, kStateUnavailable, L"Gone", L"", false},
        {3, {true, false, true, true}, kRoleSeparator, 0, L"", L"", false},
        {4, {true, false, true, true}, kRoleStaticText, 0, L"Group", L"", false},
        {5,
         {false, true, true, true},
         kRoleListItem,
         kChoosable | kStateSelected | kStateFocused | kStateChecked,
         L"Ticked",
         L"",
         true},
        {5,
         {true, false, false, true},
         kRoleMenuItem,
         kChoosable | kStateSelected,
         L"Ticked",
         L"",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        const RowAccessibility row = DescribeRow(model, c.row, c.context);
        EXPECT_EQ(row.role, c.role);
        EXPECT_EQ(row.state, c.state);
        EXPECT_EQ(row.name, c.name);
        EXPECT_EQ(row.shortcut, c.shortcut);
        EXPECT_EQ(row.hasDefaultAction, c.action);
    }
    EXPECT_EQ(ReadableCaption(L"Save &As...&"), L"Save As...");
}
