#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>

#include "controls/list/popup_chain.h"
#include "list_support.h"
#include "main_support.h"
#include "settings/reg_settings.h"

using namespace zelk;

namespace {

// A toolbar folder that does not answer until it is let go (or 10 s pass), as a sleeping
// network drive would. Shared with the walk's thread, which may outlive the test.
struct SlowFolder {
    HANDLE letGo = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> fails{false};
    ~SlowFolder() { ::CloseHandle(letGo); }
};

struct StartedProgram : testing::Test, MainFolders {
    std::shared_ptr<SlowFolder> slow = std::make_shared<SlowFolder>();

    std::unique_ptr<frmMain> Start() {
        WriteBytes(ToolbarFile(), "C:\\One|One\r\nS:\\Sleeping|Sleeping\r\nC:\\Two|Two\r\n");
        MainEnvironment env = Environment();
        env.scanPatienceMs = RealEnvironment().scanPatienceMs;
        env.listFolder = [slow = slow](const std::wstring& folder,
                                       const std::function<bool(const DirEntry&)>& visit) {
            if (folder == L"S:\\Sleeping\\") {
                ::WaitForSingleObject(slow->letGo, 10000);
                if (slow->fails) {
                    throw std::runtime_error("the drive went away");
                }
            }
            for (const wchar_t* name : {L"a.exe", L"b.exe", L"c.exe"}) {
                if (!visit({name, false})) {
                    break;
                }
            }
        };
        auto form = std::make_unique<frmMain>(::GetModuleHandleW(nullptr), services, env);
        const auto start = std::chrono::steady_clock::now();
        form->Form_Load();
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_LT(took, std::chrono::seconds(1)) << "the sleeping folder held up the start";
        return form;
    }
    // Started with every folder answering, and every toolbar read.
    std::unique_ptr<frmMain> StartWhole() {
        ::SetEvent(slow->letGo);
        auto form = Start();
        EXPECT_TRUE(PumpUntil([&] { return form->ToolbarsBeingRead() == 0; }));
        return form;
    }
    static ucList& EntryList(frmMain& form, long row) { return SubList(form.MenuListAt(0), row); }
};

} // namespace

// The icon and the other toolbars are there at once; the sleeping toolbar's entry is in its
// place and takes its rows when the folder answers, even with the menu open meanwhile.
TEST_F(StartedProgram, ASleepingFolderHoldsUpNothingAndFillsItsEntryWhenItAnswers) {
    auto form = Start();
    const ucList& top = form->MenuListAt(0);
    ASSERT_EQ(top.Items().ListCount(), 3);
    EXPECT_EQ(std::tuple(IconCalls(NIM_ADD) > 0, top.ItemText(1),
                         EntryList(*form, 0).Items().ListCount(),
                         EntryList(*form, 2).Items().ListCount(),
                         EntryList(*form, 1).Items().ListCount(), form->ToolbarsBeingRead()),
              std::tuple(true, L"Sleeping", 3, 3, 0, 1u));

    form->ShowMenu();
    ASSERT_TRUE(top.IsListVisible()) << "the menu waited for the sleeping folder";
    ::SetEvent(slow->letGo);
    ASSERT_TRUE(PumpUntil([&] { return form->ToolbarsBeingRead() == 0; }));
    EXPECT_TRUE(top.IsListVisible()) << "the answer closed the open menu";
    ucList& late = EntryList(*form, 1);
    ASSERT_EQ(late.Items().ListCount(), 3);
    EXPECT_EQ(late.ItemText(0), L"a");
    EXPECT_EQ(form->MenuListCount(), 4u) << "the late toolbar's list is numbered after the others";
    EXPECT_EQ(&form->MenuListAt(3), &late);
    form->MenuListAt(0).HideList();
}

// A late entry that is open when its folder answers is filled once it is closed, never under
// the pointer; a folder that fails late greys its entry and says why, as one that fails at once.
TEST_F(StartedProgram, ALateAnswerWaitsForItsOpenEntryAndALateFailureIsShownGreyed) {
    for (const bool fails : {false, true}) {
        SCOPED_TRACE(fails ? "fails" : "answers");
        slow = std::make_shared<SlowFolder>();
        slow->fails = fails;
        auto form = Start();
        ucList& late = EntryList(*form, 1);
        Show(late, 300, 200);
        ASSERT_TRUE(late.IsListVisible());
        ::SetEvent(slow->letGo);
        PumpFor(300);
        EXPECT_EQ(late.Items().ListCount(), 0) << "filled while open";
        EXPECT_EQ(form->ToolbarsBeingRead(), 1u);
        late.HideList();
        ASSERT_TRUE(PumpUntil([&] { return form->ToolbarsBeingRead() == 0; }));
        const ucList& top = form->MenuListAt(0);
        if (fails) {
            EXPECT_EQ(top.ItemText(1), L"Sleeping \u2014 could not be read");
            EXPECT_TRUE(top.ItemDisabled(1));
            EXPECT_FALSE(services.logs.empty());
        } else {
            EXPECT_EQ(late.Items().ListCount(), 3);
        }
        EXPECT_EQ(top.ItemText(2), L"Two");
    }
}

namespace {

// Opens the menu and, with a click, the first toolbar's list (a.exe, b.exe, c.exe in C:\One).
bool OpenFirstToolbar(frmMain& form) {
    form.ShowMenu();
    Click(form.MenuListAt(0), 0);
    return SubList(form.MenuListAt(0), 0).IsListVisible();
}

} // namespace

// Once its menu was used (a submenu opened, its pictures fetched) and closed, nothing wakes the
// program until the user comes back: a laptop pays for every wake-up.
TEST_F(StartedProgram, NothingWakesTheProgramOnceItsMenuIsClosed) {
    auto form = StartWhole();
    ASSERT_TRUE(OpenFirstToolbar(*form)) << "the submenu did not open";
    // Open, the menu is awake (hover delays, outside clicks, pictures): the count sees timers.
    EXPECT_GT(CountTimers(nullptr, 300), 0);
    form->MenuListAt(0).HideList();
    EXPECT_EQ(CountTimers(nullptr, 5000), 0) << "a timer outlived the menu";
}

namespace {

// The "HotKey" setting for one test, removed after.
struct HotKeyInRegistry {
    explicit HotKeyInRegistry(const wchar_t* value) {
        EXPECT_FALSE(SaveRegSetting(kSettingsApp, kSettingsSection, L"HotKey", value));
    }
    ~HotKeyInRegistry() {
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"SOFTWARE\\ToolBars\\Settings\\Windows",
                             L"HotKey");
    }
};

} // namespace

// A hot key setting that names no key is said once, not again at each Refresh, and an emptied
// one turns the key off silently; the tray icon works either way (a key another program holds
// and the key itself are the end-to-end test's).
TEST_F(StartedProgram, AHotKeySettingThatIsNoKeyIsSaidOnce) {
    ::SetEvent(slow->letGo);
    for (const auto& [value, told] : {std::pair{L"Ctrl+Alt+\u00dc", 1}, {L"", 0}}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(value)));
        HotKeyInRegistry setting(value);
        shell.clear();
        auto form = Start();
        ASSERT_TRUE(PumpUntil([&] { return form->ToolbarsBeingRead() == 0; }));
        const wchar_t* aboutTheKey = L"The hot key Ctrl+Alt+\u00dc is not a key";
        EXPECT_EQ(Balloons(aboutTheKey), told);
        EXPECT_FALSE(form->MenuHotKey().has_value());
        ucList& top = form->MenuListAt(0);
        ::SendMessageW(form->Systray()->MessageWindow(), WM_MOUSEMOVE, 0, WM_LBUTTONUP);
        EXPECT_TRUE(top.IsListVisible()) << "the tray click no longer opens the menu";
        top.HideList();
        form->RunCommand(mnuRefresh);
        EXPECT_EQ(Balloons(aboutTheKey), told) << "said again";
    }
}

// Ctrl + click and Ctrl + Enter show the row in its folder; Shift + F10 asks for the shell's own
// menu of the row, shown once the chain has closed (Shift + right click and the Menu key are the
// end-to-end test's); a plain Enter opens the row and a plain right click shows its Properties.
TEST_F(StartedProgram, ModifierKeysChooseWhatARowDoes) {
    auto form = StartWhole();
    ucList& top = form->MenuListAt(0);
    ucList& one = EntryList(*form, 0);
    const auto key = [&](long row, WPARAM id, UINT modifiers, UINT vk) {
        one.SetListIndex(row);
        ::SendMessageW(one.hWnd(), WM_HOTKEY, id, MAKELPARAM(modifiers, vk));
    };
    const struct {
        const char* name;
        std::function<void()> act;
        std::wstring done;
    } cases[] = {
        {"Ctrl + click", [&] { Click(one, 1, MK_CONTROL); }, L"folder C:\\One\\b.exe"},
        {"Ctrl + Enter", [&] { key(2, kControlHotKeyBit | VK_RETURN, MOD_CONTROL, VK_RETURN); },
         L"folder C:\\One\\c.exe"},
        {"Enter", [&] { key(0, VK_RETURN, 0, VK_RETURN); }, L"open C:\\One\\a.exe"},
        {"Shift + F10", [&] { key(2, kShiftHotKeyBit | VK_F10, MOD_SHIFT, VK_F10); },
         L"shell menu C:\\One\\c.exe"},
        {"right click", [&] { Click(one, 0, 0, true); }, L"properties C:\\One\\a.exe"},
    };
    const std::pair<UINT, UINT> menuKeys[] = {
        {MOD_CONTROL, VK_RETURN}, {0, VK_APPS}, {MOD_SHIFT, VK_F10}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        services.shownInFolder.clear();
        services.shellMenus.clear();
        services.properties.clear();
        services.opens.clear();
        ASSERT_TRUE(OpenFirstToolbar(*form));
        for (const auto& [modifiers, vk] : menuKeys) {
            EXPECT_EQ(HeldHotKeys(std::array{vk}, modifiers).size(), 1u)
                << vk << " does not reach the menu";
        }
        c.act();
        PumpMessages();
        std::wstring done;
        for (const auto& [what, paths] : {std::pair{L"folder ", services.shownInFolder},
                                          {L"shell menu ", services.shellMenus},
                                          {L"properties ", services.properties}}) {
            for (const std::wstring& path : paths) {
                done += what + path;
            }
        }
        for (const auto& open : services.opens) {
            done += L"open " + open.file;
        }
        EXPECT_EQ(done, c.done);
        if (c.done.starts_with(L"properties")) {
            top.HideList();
        }
        EXPECT_FALSE(top.IsListVisible()) << "the chain stayed open";
        PumpMessages();
        for (const auto& [modifiers, vk] : menuKeys) {
            EXPECT_EQ(HeldHotKeys(std::array{vk}, modifiers).size(), 0u)
                << vk << " kept after the menu closed";
        }
    }
}

// The type pictures of the menu's files are asked of the shell while the program is idle after
// its build: a list's first opening asks for none of them.
TEST(IdleStart, TypePicturesAreReadyBeforeTheFirstOpening) {
    MainFolders started;
    TempFolder disk;
    for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.pdf", L"d.exe"}) {
        WriteBytes(disk / name, "");
    }
    const auto form = started.StartForm(ToolbarLine(disk.Folder(), "T"), started.Environment());
    PumpFor(300);
    EXPECT_EQ(form->Icons()->ShellCalls(), 2u)
        << "one call per type, .exe has a picture of its own";
    EXPECT_NE(form->MenuListAt(0).hWnd(), nullptr) << "the top list's windows are made while idle";
    ucList& list = SubList(form->MenuListAt(0), 0);
    Show(list, 300, 200);
    EXPECT_EQ(form->Icons()->ShellCalls(), 2u) << "the first opening asked the shell for a type";
    list.HideList();
}
