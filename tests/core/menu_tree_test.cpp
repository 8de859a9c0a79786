#include <gtest/gtest.h>

#include <map>
#include <random>

#include "core/menu_tree.h"

using namespace zelk;

namespace {

// An in-memory folder tree, listed in insertion order as a file system would.
struct FakeTree {
    std::map<std::wstring, std::vector<DirEntry>> folders;
    int listings = 0;
    void Add(const std::wstring& folder, const std::wstring& name, bool dir) {
        folders[folder].push_back({name, dir});
    }
    DirectoryLister Lister() {
        return
            [this](const std::wstring& folder, const std::function<bool(const DirEntry&)>& visit) {
                ++listings;
                auto it = folders.find(folder);
                if (it == folders.end()) {
                    return;
                }
                for (const auto& entry : it->second) {
                    if (!visit(entry)) {
                        return;
                    }
                }
            };
    }
};

} // namespace

// What a folder watch reports is reread only when it may show: junk files are not.
TEST(MenuTree, OnlyNamesThatMayShowAskForARereading) {
    for (const wchar_t* name : {L"Tool.exe", L"sub\\Tool.LNK", L"New folder", L"a\\Tools 2.0",
                                L"v1.2b", L"trailing.", L"deep\\x/y.bat"}) {
        EXPECT_TRUE(NameChangeMayShowInMenu(name)) << std::wstring(name).c_str();
    }
    for (const wchar_t* name : {L"setup.tmp", L"sub\\video.part", L"x.exe\\log.log",
                                L"a.b/c.Crdownload", L"pack.zip", L"OLD.ZA"}) {
        EXPECT_FALSE(NameChangeMayShowInMenu(name)) << std::wstring(name).c_str();
    }
}

TEST(MenuTree, DepthFirstNumberingSubfoldersFirst) {
    FakeTree tree;
    tree.Add(L"C:\\T\\", L".", true);
    tree.Add(L"C:\\T\\", L"..", true);
    tree.Add(L"C:\\T\\", L"b.exe", false);
    tree.Add(L"C:\\T\\", L"A", true);
    tree.Add(L"C:\\T\\", L"skip.png", false);
    tree.Add(L"C:\\T\\", L"B", true);
    tree.Add(L"C:\\T\\A\\", L"A1", true);
    tree.Add(L"C:\\T\\A\\", L"readme.txt", false);
    MenuTreePlanner planner(tree.Lister(), 0);
    EXPECT_EQ(planner.PlanToolbar(L"C:\\T"), 1);
    // Each list: its number, its folder, then each row's text and its list or file.
    std::wstring plan;
    for (const PlannedList& list : planner.Lists()) {
        plan += std::to_wstring(list.number) + L" " + list.folder + L":";
        for (const PlannedRow& row : list.rows) {
            plan += L" " + row.text + L"=" + (row.isFolder ? std::to_wstring(row.list) : row.path);
        }
        plan += L"\n";
    }
    // A1 takes number 3 before B, which gets 4.
    EXPECT_EQ(plan, L"1 C:\\T\\: A=2 B=4 b=C:\\T\\b.exe\n"
                    L"2 C:\\T\\A\\: A1=3 readme=C:\\T\\A\\readme.txt\n"
                    L"3 C:\\T\\A\\A1\\:\n"
                    L"4 C:\\T\\B\\:\n");
    EXPECT_EQ(planner.LastListIndex(), 4);
}

TEST(MenuTree, TheFileCapEndsTheScanAndHidesLaterFolders) {
    FakeTree tree;
    for (int i = 0; i < 300; ++i) {
        tree.Add(L"D:\\P\\", L"p" + std::to_wstring(i) + L".exe", false);
        if (i == 10 || i == 280) {
            tree.Add(L"D:\\P\\", L"dir" + std::to_wstring(i), true);
        }
    }
    MenuTreePlanner planner(tree.Lister(), 0);
    planner.PlanToolbar(L"D:\\P\\");
    const auto& rows = planner.Lists()[0].rows;
    EXPECT_EQ(rows.size(), 1u + 257u); // dir10, then 257 programs; dir280 came too late
    EXPECT_EQ(rows[0].text, L"dir10");
}

TEST(MenuTree, ListsPastTheLimitStayEmptyAndTheCounterNeverOverflows) {
    FakeTree tree;
    for (int i = 0; i < 600; ++i) {
        tree.Add(L"E:\\Many\\", L"f" + std::to_wstring(i), true);
        tree.Add(L"E:\\Many\\f" + std::to_wstring(i) + L"\\", L"x.exe", false);
    }
    MenuTreePlanner planner(tree.Lister(), 0);
    planner.PlanToolbar(L"E:\\Many");
    EXPECT_EQ(planner.LastListIndex(), 601);
    const auto& lists = planner.Lists();
    ASSERT_EQ(lists.size(), 601u);
    EXPECT_EQ(lists[1].rows.size(), 1u);   // f0, number 2: scanned
    EXPECT_EQ(lists[510].rows.size(), 1u); // number 511: the last scanned
    EXPECT_FALSE(lists[511].scanned);      // number 512: an empty entry
    EXPECT_TRUE(lists[511].rows.empty());
    EXPECT_EQ(tree.listings, 511);
    EXPECT_EQ(lists[0].rows.back().list, 601);
    // Numbers go on past what 16 bits hold.
    MenuTreePlanner late(tree.Lister(), 40000);
    EXPECT_EQ(late.PlanToolbar(L"E:\\Many"), 40001);
    EXPECT_EQ(late.LastListIndex(), 40001);
}

// A toolbar whose folder answered late is planned from the number it started at and placed
// at a later one: its menu must be the one a planning from the later number makes, near and
// past the list limit, though the counter may have run further.
TEST(MenuTree, APlanMovedToALaterNumberIsThePlanFromThatNumber) {
    std::mt19937 random(20261207);
    for (int round = 0; round < 20; ++round) {
        FakeTree tree;
        std::vector<std::wstring> folders{L"R:\\T\\"};
        const int size = 1 + static_cast<int>(random() % 1400);
        for (int i = 0; i < size; ++i) {
            const std::wstring parent = folders[random() % folders.size()];
            const std::wstring name = L"n" + std::to_wstring(i);
            const bool dir = random() % 2 == 0;
            tree.Add(parent, dir ? name : name + (random() % 2 ? L".exe" : L".png"), dir);
            if (dir) {
                folders.push_back(parent + name + L"\\");
            }
        }
        const long from = static_cast<long>(random() % 40);
        MenuTreePlanner early(tree.Lister(), from);
        early.PlanToolbar(L"R:\\T");
        for (long to : {from, from + 1, from + 300, 505L, 511L, 900L}) {
            MenuTreePlanner late(tree.Lister(), to);
            late.PlanToolbar(L"R:\\T");
            std::vector<PlannedList> moved = early.Lists();
            MoveToolbarPlan(moved, to - from);
            // The menu: each list within the limit, by number, with its rows; past it, nothing.
            const auto menu = [](const std::vector<PlannedList>& lists) {
                std::map<long, std::vector<std::pair<std::wstring, long>>> shown;
                for (const auto& list : lists) {
                    if (list.number <= kLastScannedList) {
                        auto& rows = shown[list.number];
                        for (const auto& row : list.rows) {
                            rows.emplace_back(row.path, std::min(row.list, kLastScannedList + 1));
                        }
                    } else {
                        EXPECT_TRUE(list.rows.empty() && !list.scanned) << list.number;
                    }
                }
                return shown;
            };
            ASSERT_EQ(menu(moved), menu(late.Lists())) << round << " from " << from << " to " << to;
            EXPECT_EQ(moved.front().number, to + 1);
            if (early.LastListIndex() + (to - from) != late.LastListIndex()) {
                EXPECT_GT(late.LastListIndex(), kLastScannedList) << "a counter that matters";
            }
        }
    }
}
