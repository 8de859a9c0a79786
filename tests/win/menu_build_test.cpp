#include <gtest/gtest.h>

#include <shlobj.h>

#include "app/ClsLink.h"
#include "core/text.h"
#include "list_support.h"
#include "main_support.h"
#include "settings/reg_settings.h"

using namespace zelk;

namespace {

struct MenuFixture : testing::Test, MainFolders {
    TempFolder tree;
};

} // namespace

// The numbering and the filter are the core's (menu_tree_test); these show them on real folders.
TEST_F(MenuFixture, FolderTreeBecomesListsWithoutWindowsOrIcons) {
    const std::wstring root = tree / L"Tools";
    for (const wchar_t* folder : {L"A\\A1", L"Hidden"}) {
        std::filesystem::create_directories(std::filesystem::path(root + L"\\" + folder));
    }
    for (const wchar_t* file : {L"Setup.exe", L"photo.png", L"secret.exe"}) {
        WriteBytes(root + L"\\" + file, "x");
    }
    ::SetFileAttributesW((root + L"\\secret.exe").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ::SetFileAttributesW((root + L"\\Hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);

    auto form =
        StartForm(ToolbarLine(root, "") + ToolbarLine(tree / L"Missing", "Gone"), Environment());
    ASSERT_EQ(form->TopListEntries().size(), 2u);
    EXPECT_EQ(form->TopListEntries()[0].title, L"Tools");
    ASSERT_EQ(form->MenuListCount(), 5u); // top, Tools, A, A1, Missing
    ucList& tools = form->MenuListAt(1);
    ASSERT_EQ(tools.Items().ListCount(), 2);
    EXPECT_EQ(tools.ItemText(0) + L"," + tools.ItemText(1), L"A,Setup");
    EXPECT_EQ(tools.Items().Item(0).SubMenu, &form->MenuListAt(2));
    EXPECT_EQ(form->MenuListAt(2).Items().Item(0).SubMenu, &form->MenuListAt(3));
    EXPECT_EQ(std::get<std::wstring>(tools.Items().Item(1).ItemData), root + L"\\Setup.exe");
    EXPECT_EQ(form->MenuListAt(4).Items().ListCount(), 0); // the missing folder: empty
    for (size_t i = 1; i < form->MenuListCount(); ++i) {
        EXPECT_EQ(form->MenuListAt(i).hWnd(), nullptr) << i;         // no window until shown
        EXPECT_EQ(form->MenuListAt(i).Images().ImageListCount(), 0); // icons wait too
    }
}

TEST_F(MenuFixture, ListsPastTheLimitAreEmptyAndObjectsStaySmall) {
    const std::wstring root = tree / L"Wide";
    for (int i = 0; i < 2000; ++i) {
        const std::wstring folder = root + L"\\f" + std::to_wstring(i);
        std::filesystem::create_directories(std::filesystem::path(folder));
        if (i % 500 == 0) {
            WriteBytes(folder + L"\\inside.exe", "x");
        }
    }
    const long windowsBefore = ProcessWindows();
    const long gdiBefore = GdiObjects();
    ASSERT_GE(gdiBefore, 0) << "the GDI handle table cannot be read";
    auto form = StartForm(ToolbarLine(root, "Wide"), Environment());
    EXPECT_EQ(form->MenuListCount(), 512u); // real lists end at number 511
    ucList& wide = form->MenuListAt(1);
    ASSERT_EQ(wide.Items().ListCount(), 2000);
    // Every folder entry still leads somewhere; past the limit it is an empty list.
    const auto* last = static_cast<const ucList*>(wide.Items().Item(1999).SubMenu);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->Items().ListCount(), 0);
    // 2,000 submenus, 512 lists: no list has a window until it is shown, and the objects
    // the form itself needs do not grow with the tree.
    EXPECT_LT(ProcessWindows(), windowsBefore + 20);
    EXPECT_LT(GdiObjects(), gdiBefore + 40);
}

// A shortcut stands for its target only when that is a program. The runner's thread has
// started OLE, as the program's has.
TEST_F(MenuFixture, ShortcutsToProgramsShowTheProgramsIcon) {
    const std::wstring root = tree / L"Links";
    const std::wstring tool = root + L"\\tool.exe", document = root + L"\\doc.txt";
    WriteBytes(tool, "x");
    WriteBytes(document, "x");
    const auto makeLink = [](const std::wstring& link, const std::wstring& target) {
        com_ptr<IShellLinkW> made;
        ASSERT_TRUE(SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                                 IID_IShellLinkW, made.put_void())));
        made->SetPath(target.c_str());
        com_ptr<IPersistFile> file;
        made->QueryInterface(IID_IPersistFile, file.put_void());
        file->Save(link.c_str(), TRUE);
    };
    makeLink(root + L"\\Tool.lnk", tool);
    makeLink(root + L"\\Doc.lnk", document);
    ClsLink link;
    EXPECT_EQ(AsciiLower(link.GetLinkTargetIfExe(root + L"\\Tool.lnk")), AsciiLower(tool));
    EXPECT_EQ(link.GetLinkTargetIfExe(root + L"\\Doc.lnk"), root + L"\\Doc.lnk");
    EXPECT_EQ(link.GetLinkTargetIfExe(root + L"\\missing.lnk"), L"");
    EXPECT_EQ(link.GetLinkTargetIfExe(document), document);
}

TEST_F(MenuFixture, OpeningRowsGoesThroughTheShell) {
    const std::wstring root = tree / L"Open";
    std::filesystem::create_directories(std::filesystem::path(root + L"\\Sub"));
    WriteBytes(root + L"\\setup.exe.txt", "x");
    auto form = StartForm(ToolbarLine(root, "Open"), Environment());
    ucList& list = form->MenuListAt(1);
    const long file = list.Items().Item(0).SubMenu ? 1 : 0;
    list.Items().SetListIndex(file);
    ASSERT_TRUE(list.ItemClick);
    list.ItemClick();
    ASSERT_EQ(services.opens.size(), 1u);
    EXPECT_EQ(services.opens[0].file, root + L"\\setup.exe.txt"); // whole: it exists
    EXPECT_EQ(services.opens[0].directory, root);

    list.ItemRightClick(L"Sub", std::wstring(root + L"\\Sub"), true, 0, 0);
    EXPECT_EQ(services.opens.back().file, root + L"\\Sub");
    list.ItemRightClick(L"setup.exe", std::wstring(root + L"\\setup.exe.txt"), false, 0, 0);
    EXPECT_EQ(services.properties, std::vector<std::wstring>{root + L"\\setup.exe.txt"});
}

// A Refresh rebuilds every list, shown ones too, in the theme chosen now.
TEST_F(MenuFixture, RefreshWhileTheMenuIsOpenIsSafeAndTheThemeReachesEverySubList) {
    const auto saved = GetRegSetting(kSettingsApp, kSettingsSection, L"Theme", L"<none>");
    EXPECT_FALSE(SaveRegSetting(kSettingsApp, kSettingsSection, L"Theme", L"0"));
    const std::wstring root = tree / L"Live";
    std::filesystem::create_directories(std::filesystem::path(root + L"\\Deeper"));
    WriteBytes(root + L"\\a.exe", "x");
    auto form = StartForm(ToolbarLine(root, "Live"), Environment());
    for (size_t i = 0; i < form->MenuListCount(); ++i) {
        EXPECT_EQ(form->MenuListAt(i).Properties().BackColor, 0xFFFFFFu) << i;
        EXPECT_EQ(form->MenuListAt(i).Properties().ListDesign, 1) << i;
    }
    form->ShowMenu();
    ucList& top = form->MenuListAt(0);
    ASSERT_TRUE(top.IsListVisible());
    form->MenuListAt(1).SetParentMenu(&top);
    Show(form->MenuListAt(1), 600, 300);
    ASSERT_TRUE(form->MenuListAt(1).IsListVisible());
    EXPECT_FALSE(SaveRegSetting(kSettingsApp, kSettingsSection, L"Theme", L"1"));
    form->RunCommand(mnuRefresh);
    EXPECT_FALSE(form->MenuListAt(0).IsListVisible());
    ASSERT_EQ(form->MenuListCount(), 3u);
    for (size_t i = 0; i < form->MenuListCount(); ++i) {
        EXPECT_EQ(form->MenuListAt(i).Properties().BackColor, 0u) << i;
    }
    form->ShowMenu();
    EXPECT_TRUE(form->MenuListAt(0).IsListVisible());
    form->MenuListAt(0).HideList();
    EXPECT_FALSE(SaveRegSetting(kSettingsApp, kSettingsSection, L"Theme",
                                saved.value == L"<none>" ? L"1" : saved.value));
}
