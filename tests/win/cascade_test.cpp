// Where a deep cascade of submenus goes: every list on the work area, each beside its parent,
// turning back at either edge instead of leaving the screen.
#include <gtest/gtest.h>

#include "list_support.h"

using namespace zelk;

TEST(Cascade, DeepMenusTurnBackAtTheEdgesAndStayInTheWorkArea) {
    RecordingUiServices services;
    std::vector<std::unique_ptr<ucList>> lists;
    for (int i = 0; i < 7; ++i) {
        ListProperties p = PlainList(2);
        p.ListWidth = 300;
        p.DisplayDirection = 1; // as the program's menus open
        lists.push_back(std::make_unique<ucList>(services, p));
    }
    for (size_t i = lists.size() - 1; i > 0; --i) {
        lists[i]->AddItem(L"file");
        lists[i - 1]->AddSubMenu(L"folder", lists[i].get());
    }
    RECT work{};
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    ASSERT_GE(work.right - work.left, 1000) << "the walk below needs three lists side by side";
    // The top list hangs left of a point 700 pixels in: two lists fit on its left, not three.
    Show(*lists[0], work.left + 700, work.top + 100);
    const auto rectOf = [](const ucList& list) {
        RECT r{};
        ::GetWindowRect(list.hWnd(), &r);
        return r;
    };
    std::vector<long> lefts{rectOf(*lists[0]).left - work.left};
    for (size_t i = 1; i < lists.size(); ++i) {
        ::SendMessageW(lists[i - 1]->hWnd(), WM_KEYDOWN, VK_DOWN, 0);
        ::SendMessageW(lists[i - 1]->hWnd(), WM_KEYDOWN, VK_RIGHT, 0);
        ASSERT_TRUE(lists[i]->IsListVisible()) << i;
        const RECT child = rectOf(*lists[i]), parent = rectOf(*lists[i - 1]);
        SCOPED_TRACE(testing::Message() << "level " << i << " at " << child.left);
        EXPECT_GE(child.left, work.left);
        EXPECT_LE(child.right, work.right);
        EXPECT_TRUE(child.right == parent.left || child.left == parent.right) << "beside";
        lefts.push_back(child.left - work.left);
    }
    // Left, left, back right at the left edge, on rightwards, and back left at the right edge
    // (when the work area is narrower than 1300).
    const long width = rectOf(*lists[0]).right - rectOf(*lists[0]).left;
    ASSERT_EQ(lefts.size(), 7u);
    EXPECT_EQ(lefts[1], 700 - 2 * width);
    EXPECT_EQ(lefts[2], 700 - width) << "turned back at the left edge";
    EXPECT_EQ(lefts[3], 700);
    if (work.right - work.left < 700 + 2 * width) {
        EXPECT_EQ(lefts[4], 700 - width) << "turned back at the right edge";
        EXPECT_EQ(lefts[5], 700 - 2 * width) << "and on leftwards";
    }
    lists[0]->HideList();
}
