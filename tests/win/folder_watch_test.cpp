#include <gtest/gtest.h>

#include <windows.h>

#include <dbt.h>

#include "test_support.h"
#include "win/folder_watch.h"

using namespace zelk;

namespace {

constexpr UINT kChanged = WM_APP + 1;

struct PostCounter {
    HWND window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    nullptr, nullptr);
    ~PostCounter() { ::DestroyWindow(window); }
    // Takes the posts that arrive within ms, answering each as the menu does.
    int Count(FolderWatch& watch, DWORD ms) {
        int posts = 0;
        for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < ms;) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_POSTMESSAGE);
            MSG msg;
            while (::PeekMessageW(&msg, window, kChanged, kChanged, PM_REMOVE)) {
                ++posts;
                watch.Taken();
            }
        }
        return posts;
    }
};

} // namespace

// A drive about to be removed is let go at once (so the user can remove it safely), the menu
// is told, and the folder is looked for again; a burst of changes is one post until taken.
TEST(FolderWatch, LetsGoOfADriveAskedForAndCoalescesABurst) {
    TempFolder folder;
    PostCounter posts;
    FolderWatch watch(folder.Folder(), posts.window, kChanged, 7);
    ::Sleep(300); // the watch's thread opens the folder
    for (int i = 0; i < 50; ++i) {
        WriteBytes(folder / (L"f" + std::to_wstring(i) + L".exe"), "");
    }
    ::Sleep(300);
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, posts.window, kChanged, kChanged, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(::PeekMessageW(&msg, posts.window, kChanged, kChanged, PM_NOREMOVE))
        << "a second post before the first was taken";
    watch.Taken();
    EXPECT_EQ(posts.Count(watch, 300), 0) << "changes already told were told again";

    // The system asks the watch's window, as it does before removing a drive.
    const HWND removal = ::FindWindowExW(HWND_MESSAGE, nullptr, L"ZelkFolderWatchRemoval", nullptr);
    ASSERT_NE(removal, nullptr);
    DEV_BROADCAST_HANDLE asked{};
    asked.dbch_size = sizeof(asked);
    asked.dbch_devicetype = DBT_DEVTYP_HANDLE;
    DWORD_PTR answer = 0;
    ASSERT_NE(::SendMessageTimeoutW(removal, WM_DEVICECHANGE, DBT_DEVICEQUERYREMOVE,
                                    reinterpret_cast<LPARAM>(&asked), SMTO_ABORTIFHUNG, 3000,
                                    &answer),
              0)
        << "the removal request went unanswered";
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
    EXPECT_EQ(posts.Count(watch, FolderWatch::kLookAgainMs - 500), 1)
        << "the menu was not told the drive is going, or the drive was taken again at once";
    EXPECT_EQ(posts.Count(watch, 1500), 1) << "the folder was not looked for again";
    WriteBytes(folder / L"later.exe", "");
    EXPECT_EQ(posts.Count(watch, 500), 1) << "changes after the drive came back went unseen";
}

// Names that do not matter to the watcher (a download's part file) tell it nothing.
TEST(FolderWatch, NamesThatDoNotMatterAreNotTold) {
    TempFolder folder;
    PostCounter posts;
    FolderWatch watch(folder.Folder(), posts.window, kChanged, 1, [](std::wstring_view name) {
        return name.size() < 5 || name.substr(name.size() - 5) != L".part";
    });
    ::Sleep(300);
    WriteBytes(folder / L"sub\\video.part", ""); // the folder sub matters, its file does not
    EXPECT_EQ(posts.Count(watch, 500), 1);
    WriteBytes(folder / L"sub\\music.part", "");
    EXPECT_EQ(posts.Count(watch, 500), 0);
    WriteBytes(folder / L"sub\\tool.exe", "");
    EXPECT_EQ(posts.Count(watch, 500), 1);
}
