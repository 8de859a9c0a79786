#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <tuple>

#include "main_support.h"

using namespace zelk;

namespace {

// Runs test code from the thread's message queue: it happens wherever the program next lets
// messages run (the menu build's pumping, a dialog's own loop), as a user's click would.
class QueuedCalls {
public:
    QueuedCalls() {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ZelkQueuedCalls";
        static_cast<void>(::RegisterClassExW(&wc)); // each fixture after the first finds it
        window_ = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    wc.hInstance, nullptr);
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~QueuedCalls() { ::DestroyWindow(window_); }
    QueuedCalls(const QueuedCalls&) = delete;
    QueuedCalls& operator=(const QueuedCalls&) = delete;

    void Post(std::function<void()> call) {
        calls_.push_back(std::move(call));
        ::PostMessageW(window_, WM_APP, 0, 0);
    }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<QueuedCalls*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_APP && self != nullptr && !self->calls_.empty()) {
            auto call = std::move(self->calls_.front());
            self->calls_.pop_front();
            call();
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    HWND window_ = nullptr;
    std::deque<std::function<void()>> calls_;
};

std::string Toolbars(const char* prefix, int count) {
    std::string lines;
    for (int i = 1; i <= count; ++i) {
        const std::string name = prefix + std::to_string(i);
        lines += ToolbarLine(L"C:\\Fake\\" + std::wstring(name.begin(), name.end()), name);
    }
    return lines;
}

// The top list as the toolbar file would list it.
std::string TopRows(const frmMain& form) {
    std::string rows;
    for (const auto& toolbar : form.TopListEntries()) {
        rows += ToolbarLine(toolbar.path, std::string(toolbar.title.begin(), toolbar.title.end()));
    }
    return rows;
}

// Counts the Parameters dialogs the thread creates. Every one after the first is told to close
// as it is created, so a test that finds a second dialog never waits on it.
class ParametersWatch {
public:
    ParametersWatch() {
        created_ = 0;
        hook_ = ::SetWindowsHookExW(WH_CBT, &Proc, nullptr, ::GetCurrentThreadId());
    }
    ~ParametersWatch() { ::UnhookWindowsHookEx(hook_); }
    ParametersWatch(const ParametersWatch&) = delete;
    ParametersWatch& operator=(const ParametersWatch&) = delete;
    bool Hooked() const { return hook_ != nullptr; }
    int Created() const { return created_; }

private:
    static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND) {
            const auto* create = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
            const wchar_t* caption = create->lpcs->lpszName;
            if (caption != nullptr && !IS_INTRESOURCE(caption) &&
                std::wstring(caption) == L"ToolBars Parameters" && ++created_ > 1) {
                ::PostMessageW(reinterpret_cast<HWND>(wParam), WM_CLOSE, 0, 0);
            }
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline HHOOK hook_ = nullptr;
    static inline int created_ = 0;
};

struct CommandsFixture : testing::Test, MainFolders {
    QueuedCalls calls;
    std::map<std::wstring, int> listings; // folder -> times the menu build listed it
    // Runs inside the build, while the named folder is being listed.
    std::wstring arriveAt = L"C:\\Fake\\T3\\";
    std::function<void()> arrive;
    int parameterShowings = 0;
    std::function<void()> duringParameters;
    bool realParameters = false;

    MainEnvironment Environment() {
        MainEnvironment env = MainFolders::Environment();
        // Every toolbar folder holds three programs; no disk is read.
        env.listFolder = [this](const std::wstring& folder,
                                const std::function<bool(const DirEntry&)>& visit) {
            ++listings[folder];
            if (folder == arriveAt && arrive) {
                std::exchange(arrive, nullptr)();
            }
            for (const wchar_t* name : {L"a.exe", L"b.exe", L"c.exe"}) {
                if (!visit({name, false})) {
                    break;
                }
            }
        };
        if (!realParameters) {
            env.showParameters = [this] {
                if (++parameterShowings == 1 && duringParameters) {
                    duringParameters();
                }
            };
        }
        return env;
    }
};

void PostCommand(frmMain& form, UINT command) {
    ::PostMessageW(form.hwnd(), WM_COMMAND, command, 0);
}

} // namespace

// While a Refresh rebuilds eight toolbars, the user changes the file and asks again; each
// time the build is on its third toolbar. The menu must come out once, from the new file.
TEST_F(CommandsFixture, RequestsDuringABuildBecomeOneRebuildAfterIt) {
    struct Case {
        const char* name;
        std::function<void(frmMain&)> requests;
        int parameterShowings;
    };
    const Case cases[] = {
        {"three Refreshes",
         [](frmMain& form) {
             for (int i = 0; i < 3; ++i) {
                 PostCommand(form, mnuRefresh);
             }
         },
         0},
        {"a ReInit from a message handler",
         [this](frmMain& form) { calls.Post([&form] { form.ReInit(); }); }, 0},
        {"Refresh, Parameters, Refresh",
         [](frmMain& form) {
             PostCommand(form, mnuRefresh);
             PostCommand(form, mnuParam);
             PostCommand(form, mnuRefresh);
         },
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        parameterShowings = 0;
        arrive = nullptr;
        auto form = StartForm(Toolbars("T", 8), Environment());
        ASSERT_EQ(TopRows(*form), Toolbars("T", 8));
        const size_t oneBuild = form->MenuListCount();
        ASSERT_EQ(oneBuild, 9u); // the top list and one list per toolbar

        listings.clear();
        arrive = [&] {
            WriteBytes(ToolbarFile(), Toolbars("N", 5));
            c.requests(*form);
        };
        form->RunCommand(mnuRefresh);
        EXPECT_FALSE(arrive) << "the build never reached the third toolbar";

        EXPECT_EQ(TopRows(*form), Toolbars("N", 5));
        // As one build of five toolbars, nothing kept: exactly one rebuild follows, and the
        // first build is not started again.
        const auto built = [&] {
            return std::tuple(form->MenuListCount(), listings[L"C:\\Fake\\N1\\"],
                              listings[L"C:\\Fake\\T1\\"], parameterShowings);
        };
        EXPECT_EQ(built(), std::tuple(6u, 1, 1, c.parameterShowings));
        // Nothing was left waiting: a later Refresh is one ordinary build.
        listings.clear();
        form->RunCommand(mnuRefresh);
        EXPECT_EQ(built(), std::tuple(6u, 1, 0, c.parameterShowings));
    }
}

TEST_F(CommandsFixture, TrayClickDuringABuildOpensTheWholeMenuOnceBuilt) {
    auto form = StartForm(Toolbars("T", 8), Environment());
    bool shownDuringBuild = true;
    arrive = [&] {
        ::PostMessageW(form->Systray()->MessageWindow(), WM_MOUSEMOVE, 0, 0x202); // left up
        calls.Post([&] { shownDuringBuild = form->LastShowListRequest().has_value(); });
    };
    form->RunCommand(mnuRefresh);
    EXPECT_FALSE(shownDuringBuild) << "a half-built menu was shown";
    EXPECT_TRUE(form->MenuListAt(0).IsListVisible()) << "the click was lost";
    EXPECT_EQ(TopRows(*form), Toolbars("T", 8));
    form->MenuListAt(0).HideList();
}

// Quit while the menu is being built: the icon goes at once, the build stops where it is,
// nothing queued behind the quit runs, and the program ends (its main window goes).
TEST_F(CommandsFixture, QuitDuringABuildEndsOnceTheBuildHasUnwound) {
    enum class Trigger { Refresh, StartUp };
    struct Case {
        const char* name;
        Trigger trigger;
        std::function<void(frmMain&)> quit;
        bool windowGoes;
    };
    const Case cases[] = {
        {"Quit from the tray menu during a Refresh", Trigger::Refresh,
         [](frmMain& form) { PostCommand(form, mnuQuit); }, true},
        {"WM_CLOSE during the start-up build", Trigger::StartUp,
         [](frmMain& form) { ::PostMessageW(form.hwnd(), WM_CLOSE, 0, 0); }, true},
        {"the session ends during the start-up build", Trigger::StartUp,
         [this](frmMain& form) {
             calls.Post([&form] { ::SendMessageW(form.hwnd(), WM_QUERYENDSESSION, 0, 0); });
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        shell.clear();
        listings.clear();
        WriteBytes(ToolbarFile(), Toolbars("T", 8));
        frmMain form(::GetModuleHandleW(nullptr), services, Environment());
        const auto quitArrives = [&] {
            c.quit(form);
            // Commands already queued behind the quit: the user chose again meanwhile.
            PostCommand(form, mnuParam);
            PostCommand(form, mnuRefresh);
        };
        if (c.trigger == Trigger::StartUp) {
            arrive = quitArrives;
            form.Form_Load();
            EXPECT_EQ(IconCalls(NIM_ADD), 0) << "the icon came after the program was told to go";
        } else {
            form.Form_Load();
            listings.clear();
            arrive = quitArrives;
            form.RunCommand(mnuRefresh);
            EXPECT_EQ(shell.back().first, static_cast<DWORD>(NIM_DELETE));
        }
        EXPECT_FALSE(arrive) << "the build never reached the third toolbar";
        PumpMessages();
        // Nothing was built (T4) or asked after the quit.
        EXPECT_EQ(std::tuple(form.Systray(), form.hwnd() == nullptr, listings[L"C:\\Fake\\T4\\"],
                             listings[L"C:\\Fake\\T1\\"], parameterShowings),
                  std::tuple(nullptr, c.windowGoes, 0, 1, 0));
        form.ShowMenu();
        EXPECT_FALSE(form.LastShowListRequest().has_value());
    }
}

// The Parameters dialog is open (the stand-in): Parameters again opens nothing, and Refreshes
// wait for the rebuild that follows the dialog.
TEST_F(CommandsFixture, RequestsWhileParametersIsOpenAreServedByItsRebuild) {
    auto form = StartForm(Toolbars("T", 2), Environment());
    listings.clear();
    duringParameters = [&] {
        form->RunCommand(mnuParam);
        PostCommand(*form, mnuParam);
        PostCommand(*form, mnuRefresh);
        PumpMessages();
        form->ReInit();
        WriteBytes(ToolbarFile(), Toolbars("N", 1));
    };
    form->RunCommand(mnuParam);
    // No Refresh ran while the dialog was open; exactly one rebuild follows it.
    EXPECT_EQ(std::tuple(parameterShowings, listings[L"C:\\Fake\\T1\\"],
                         listings[L"C:\\Fake\\N1\\"], TopRows(*form)),
              std::tuple(1, 0, 1, Toolbars("N", 1)));
}

// The real dialog: a second request (the tray menu's Parameters while it is open) brings the
// open one to the front instead of opening another on top of it; Quit then closes it without
// saving and the program ends instead of rebuilding.
TEST_F(CommandsFixture, ParametersAgainBringsTheOpenDialogForwardAndQuitClosesItUnsaved) {
    realParameters = true;
    auto form = StartForm(Toolbars("T", 1), Environment());
    const std::string file = ReadBytes(ToolbarFile());
    listings.clear();
    // Something else has the foreground when the second request comes.
    const HWND other =
        ::CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr,
                          nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    ParametersWatch watch;
    ASSERT_TRUE(watch.Hooked());
    HWND before = nullptr, after = nullptr, left = nullptr;
    HWND foregroundBefore = nullptr, foregroundAfter = nullptr;
    calls.Post([&] {
        before = ::FindWindowW(nullptr, L"ToolBars Parameters");
        ::SetForegroundWindow(other);
        foregroundBefore = ::GetForegroundWindow();
        PostCommand(*form, mnuParam);
        calls.Post([&] {
            after = ::FindWindowW(nullptr, L"ToolBars Parameters");
            foregroundAfter = ::GetForegroundWindow();
            PostCommand(*form, mnuQuit);
            calls.Post([&] {
                left = ::FindWindowW(nullptr, L"ToolBars Parameters");
                ::PostMessageW(left, WM_CLOSE, 0, 0);
            });
        });
    });
    form->RunCommand(mnuParam);
    ::DestroyWindow(other);
    ASSERT_NE(before, nullptr);
    // One dialog, brought forward; after Quit it is closed, the program gone, the menu not
    // built again and the file unsaved.
    EXPECT_EQ(std::tuple(foregroundBefore, watch.Created(), after, foregroundAfter, left),
              std::tuple(other, 1, before, before, nullptr));
    EXPECT_EQ(std::tuple(form->hwnd(), listings.size(), ReadBytes(ToolbarFile())),
              std::tuple(nullptr, 0u, file));
}

// A toolbar whose folder makes the build fail stays in the menu, greyed and saying why; the
// others are built as usual.
TEST_F(CommandsFixture, AToolbarThatCannotBeBuiltIsShownGreyedNotDropped) {
    arriveAt = L"C:\\Broken\\";
    arrive = [] { throw std::runtime_error("the folder went away mid-listing"); };
    auto form = StartForm("C:\\One|One\r\nC:\\Broken|Broken\r\nC:\\Two|Two\r\n", Environment());
    const ucList& top = form->MenuListAt(0);
    ASSERT_EQ(top.Items().ListCount(), 3);
    EXPECT_EQ(std::tuple(top.ItemText(1), top.ItemDisabled(1), top.Items().Item(1).SubMenu,
                         top.ItemDisabled(0), top.ItemText(2), services.logs.empty()),
              std::tuple(L"Broken \u2014 could not be read", true, nullptr, false, L"Two", false));
}
