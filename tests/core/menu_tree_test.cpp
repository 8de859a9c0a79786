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

TEST(MenuTree, ExecutableFilterIsASubstringTest) {
    for (auto name : {L"tool", L"main.c", L"api.h", L"Setup.EXE", L"x.lnk", L"page.ht", L"a.js"}) {
        EXPECT_TRUE(IsExecutable(name)) << std::wstring(name).c_str();
    }
    for (auto name : {L"photo.png", L"pack.zip", L"archive.tar.gz", L"C:\\dir.exe\\song.mp3"}) {
        EXPECT_FALSE(IsExecutable(name));
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
    const auto& lists = planner.Lists();
    ASSERT_EQ(lists.size(), 4u);
    EXPECT_EQ(lists[0].number, 1);
    ASSERT_EQ(lists[0].rows.size(), 3u);
    EXPECT_EQ(lists[0].rows[0].text, L"A");
    EXPECT_EQ(lists[0].rows[0].list, 2);
    EXPECT_EQ(lists[0].rows[1].text, L"B");
    EXPECT_EQ(lists[0].rows[1].list, 4); // A1 took number 3 first
    EXPECT_EQ(lists[0].rows[2].text, L"b");
    EXPECT_EQ(lists[0].rows[2].path, L"C:\\T\\b.exe");
    EXPECT_EQ(lists[1].folder, L"C:\\T\\A\\");
    EXPECT_EQ(lists[1].rows[1].text, L"readme");
    EXPECT_EQ(lists[2].number, 3);
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

// A walk recorded once, away from the menu, must plan exactly as the disk would from whatever
// number the toolbar lands on, including near and past the list limit, reading nothing again.
TEST(MenuTree, PlanningFromARecordedWalkIsPlanningFromTheDisk) {
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
        const RecordedListings record = RecordedListings::Walk(tree.Lister(), L"R:\\T");
        const int walked = tree.listings;
        for (long base : {0L, 3L, 200L, 505L, 510L, 511L, 900L}) {
            MenuTreePlanner disk(tree.Lister(), base), replay(record.Replay(), base);
            ASSERT_EQ(replay.PlanToolbar(L"R:\\T"), disk.PlanToolbar(L"R:\\T"));
            ASSERT_EQ(replay.LastListIndex(), disk.LastListIndex()) << round << " " << base;
            ASSERT_EQ(replay.Lists().size(), disk.Lists().size());
            for (size_t l = 0; l < disk.Lists().size(); ++l) {
                const PlannedList &a = replay.Lists()[l], &b = disk.Lists()[l];
                ASSERT_EQ(a.scanned, b.scanned);
                ASSERT_EQ(a.rows.size(), b.rows.size()) << round << " " << base << " " << l;
                for (size_t r = 0; r < a.rows.size(); ++r) {
                    ASSERT_EQ(a.rows[r].path, b.rows[r].path);
                    ASSERT_EQ(a.rows[r].list, b.rows[r].list);
                }
            }
        }
        tree.listings = 0;
        MenuTreePlanner again(record.Replay(), 0);
        again.PlanToolbar(L"R:\\T");
        EXPECT_EQ(tree.listings, 0) << "a replay read the disk";
        EXPECT_LE(record.FolderCount(), static_cast<size_t>(walked));
    }
}
