#include <gtest/gtest.h>

#include "main_support.h"
#include "settings/toolbar_store.h"
#include "win/unique_handle.h"

#include <tuple>

using namespace zelk;

namespace {

struct MainFormFixture : testing::Test, MainFolders {
    int parameterShowings = 0;

    MainEnvironment Environment() {
        MainEnvironment env = MainFolders::Environment();
        // The Parameters dialog stand-in: the user adds one toolbar on the second showing.
        env.showParameters = [this] {
            if (++parameterShowings >= 2) {
                WriteBytes(ToolbarFile(), "C:\\Added|Added\r\n");
            }
        };
        return env;
    }
};

} // namespace

// An icon Explorer refuses at start-up (it is still starting) comes with the taskbar, and the
// welcome balloon with it: raised once either way, one balloon, one sound.
TEST_F(MainFormFixture, StartUpShowsIconTipAndOneBalloonEvenWhenTheShellComesLate) {
    for (bool late : {false, true}) {
        SCOPED_TRACE(late ? "refused at start-up" : "accepted");
        shell.clear();
        shellRefuses = late;
        auto form = StartForm("C:\\Data\\Tools|Tools\r\n", Environment());
        EXPECT_TRUE(std::filesystem::exists(program / L"Lng\\Local.ini"));
        EXPECT_EQ(form->TopListEntries(), (std::vector<Toolbar>{{L"C:\\Data\\Tools", L"Tools"}}));
        if (late) {
            EXPECT_FALSE(form->Systray()->IsShown());
            EXPECT_EQ(Balloons(), 0);
            shellRefuses = false;
            ::SendMessageW(form->Systray()->MessageWindow(),
                           ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
        }
        EXPECT_TRUE(form->Systray()->IsShown());
        const auto add = std::find_if(shell.begin(), shell.end(),
                                      [](const auto& call) { return call.first == NIM_ADD; });
        ASSERT_NE(add, shell.end());
        EXPECT_EQ(std::wstring(add->second.szTip), L"Toolbars Menu");
        EXPECT_EQ(add->second.hIcon, form->IconPic(0));
        EXPECT_NE(form->IconPic(0), nullptr);
        EXPECT_NE(form->IconPic(3), nullptr);
        const auto& [op, balloon] = shell.back();
        EXPECT_EQ(std::tuple(op, balloon.uFlags, std::wstring(balloon.szInfoTitle),
                             balloon.dwInfoFlags), // 4: with its sound
                  std::tuple(DWORD{NIM_MODIFY}, UINT{NIF_INFO}, L"ToolBars Menu", 4u));
        EXPECT_EQ(Balloons(), 1);
    }
    EXPECT_TRUE(services.boxes.empty());
}

// A list emptied meanwhile (0 bytes, like no file) makes Refresh ask for toolbars until there
// are some; the first start's asking is the end-to-end test's.
TEST_F(MainFormFixture, RefreshOfAnEmptiedListAsksForToolbarsUntilThereAreSome) {
    auto form = StartForm("C:\\X|X\r\n", Environment());
    EXPECT_EQ(parameterShowings, 0);
    WriteBytes(ToolbarFile(), "");
    form->RunCommand(mnuRefresh);
    EXPECT_EQ(parameterShowings, 2); // closed with nothing saved, shown again: one was added
    EXPECT_EQ(form->TopListEntries(), (std::vector<Toolbar>{{L"C:\\Added", L"Added"}}));
}

TEST_F(MainFormFixture, TrayClicksOpenTheMenuCornerAndTheHelpPage) {
    const std::wstring help = program / L"help.html", web = L"https://zelk.test/help/";
    // The page beside the exe whenever it is there; the web page only stands in for it.
    // Handed over as the shell's items are: a file with its folder as the working folder.
    const std::wstring folder = program.Folder().substr(0, program.Folder().size() - 1);
    const struct {
        const char* name;
        bool helpBeside;
        std::wstring url, opened, directory;
    } cases[] = {
        {"help beside, a web page", true, web, help, folder},
        {"no help, a web page", false, web, web, L""},
        {"no help, no web page: the shell tells", false, L"", help, folder},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        services.opens.clear();
        std::filesystem::remove(std::filesystem::path(help));
        if (c.helpBeside) {
            WriteBytes(help, "<html></html>");
        }
        MainEnvironment environment = Environment();
        environment.makerPageUrl = c.url;
        frmMain form(::GetModuleHandleW(nullptr), services, std::move(environment));
        form.Form_Load();
        const HWND message = form.Systray()->MessageWindow();
        ::SendMessageW(message, WM_MOUSEMOVE, 0, 0x202); // left button up
        RECT work{};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        ASSERT_TRUE(form.LastShowListRequest().has_value());
        EXPECT_EQ(*form.LastShowListRequest(),
                  (ShowListRequest{work.right, work.bottom, 0, work.bottom}));
        EXPECT_TRUE(services.opens.empty());

        ::SendMessageW(message, WM_MOUSEMOVE, 0, 0x203); // left double click
        ASSERT_EQ(services.opens.size(), 1u);
        const auto& [file, parameters, directory, show] = services.opens[0];
        EXPECT_EQ(std::tuple(file, parameters, directory, show),
                  std::tuple(c.opened, L"", c.directory, SW_SHOWNORMAL));
        ::SendMessageW(message, WM_MOUSEMOVE, 0, 0x209); // middle double click: nothing
        EXPECT_EQ(services.opens.size(), 1u);
    }
}

// A list that cannot be read on a Refresh (held by another program) is told and never taken
// for an empty one: the menu keeps the last list read, the file is left as it is, and it is read
// again once it can be (a start over such a list is the end-to-end test's).
TEST_F(MainFormFixture, ARefreshOverAnUnreadableListKeepsTheMenuAndSaysSo) {
    const std::string list = "C:\\A|A\r\nC:\\B|B\r\nC:\\C|C\r\n";
    auto form = StartForm(list, Environment());
    PumpMessages();
    unique_file lock(HoldFile(ToolbarFile()));
    ASSERT_TRUE(lock);
    form->RunCommand(mnuRefresh);
    PumpMessages();
    EXPECT_EQ(form->TopListEntries().size(), 3u) << "the last list read was dropped";
    EXPECT_EQ(parameterShowings, 0) << "taken for a first start";
    ASSERT_EQ(services.boxes.size(), 1u);
    EXPECT_NE(services.boxes[0].text.find(L"Another program has the file open"),
              std::wstring::npos);
    lock.reset();
    EXPECT_EQ(ReadBytes(ToolbarFile()), list);
    form->RunCommand(mnuRefresh);
    PumpMessages();
    EXPECT_EQ(form->ToolbarFileProblem(), 0u) << "not read again once it could be";
    form->Form_QueryUnload();
}
