#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace zelk {

// Watches a folder and everything below it on a thread of its own, and posts message to
// window (with cookie as wParam) when what the folder holds may have changed: a name added,
// removed or changed anywhere below it, more changes than could be told apart, or the folder
// itself going away or coming back (a removable or network drive). A post waits to be taken
// (Taken) before the next is sent, so a burst of changes never floods the window's queue.
class FolderWatch {
public:
    // How often a folder that cannot be opened is looked for again.
    static constexpr DWORD kLookAgainMs = 2000;
    // How long the constructor waits for the watch to be in place.
    static constexpr DWORD kReadyWaitMs = 250;

    // Which changed names matter, given their path below the folder; empty: every one.
    using NameFilter = std::function<bool(std::wstring_view)>;

    // Returns once the watch is in place (every later change is seen) or after kReadyWaitMs.
    FolderWatch(std::wstring folder, HWND window, UINT message, WPARAM cookie,
                NameFilter matters = {});
    // Stops the watch. The thread is told and never waited for: a folder on a drive that
    // does not answer must not hold up the menu.
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // The window has taken the last post; the next change may be posted.
    void Taken();

    struct Shared; // what the watch's thread and its owner both hold

private:
    std::shared_ptr<Shared> shared_;
};

} // namespace zelk
