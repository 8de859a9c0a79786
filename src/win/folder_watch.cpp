#include "win/folder_watch.h"

#include <atomic>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "win/unique_handle.h"

namespace zelk {

struct FolderWatch::Shared {
    std::wstring folder;
    HWND window = nullptr;
    UINT message = 0;
    WPARAM cookie = 0;
    unique_process stop; // a manual-reset event, set when the watch ends
    std::atomic<bool> posted{false};

    void Post() {
        if (!posted.exchange(true)) {
            // Refused only when the window is gone, and then nobody is listening.
            if (!::PostMessageW(window, message, cookie, 0)) {
                posted = false;
            }
        }
    }
    bool Stopping(DWORD waitMs) const {
        return ::WaitForSingleObject(stop.get(), waitMs) != WAIT_TIMEOUT;
    }
};

namespace {

enum class WatchEnd { Stopped, Lost };

// Waits for changes under the open folder until the watch is stopped or the folder is lost.
WatchEnd WatchOpenFolder(FolderWatch::Shared& shared, HANDLE folder) {
    const unique_process done(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!done) {
        return WatchEnd::Lost;
    }
    // DWORD-aligned, as the records must be, and within the 64 KB a network share allows.
    std::vector<DWORD> records(8192);
    for (;;) {
        OVERLAPPED overlapped{};
        overlapped.hEvent = done.get();
        ::ResetEvent(done.get());
        // Only names matter to the menu: a file written to (its size, its time) changes no row.
        if (!::ReadDirectoryChangesW(folder, records.data(),
                                     static_cast<DWORD>(records.size() * sizeof(DWORD)), TRUE,
                                     FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME,
                                     nullptr, &overlapped, nullptr)) {
            return WatchEnd::Lost;
        }
        const HANDLE waits[] = {shared.stop.get(), done.get()};
        const DWORD woken = ::WaitForMultipleObjects(2, waits, FALSE, INFINITE);
        DWORD bytes = 0;
        if (woken != WAIT_OBJECT_0 + 1) {
            // The buffer belongs to the pending read until the system lets go of it.
            ::CancelIoEx(folder, &overlapped);
            ::GetOverlappedResult(folder, &overlapped, &bytes, TRUE);
            return woken == WAIT_OBJECT_0 ? WatchEnd::Stopped : WatchEnd::Lost;
        }
        if (!::GetOverlappedResult(folder, &overlapped, &bytes, FALSE)) {
            shared.Post(); // the folder went away or its drive stopped answering
            return WatchEnd::Lost;
        }
        // No bytes: more changes than the buffer held. Either way the toolbar is read again.
        shared.Post();
    }
}

void Watch(const std::shared_ptr<FolderWatch::Shared>& shared) {
    bool missing = false;
    while (!shared->Stopping(0)) {
        const unique_file folder(::CreateFileW(
            shared->folder.c_str(), FILE_LIST_DIRECTORY,
            // Watching must never stop the user from renaming or deleting what is watched.
            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
            FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
        if (!folder) {
            missing = true;
            if (shared->Stopping(FolderWatch::kLookAgainMs)) {
                return;
            }
            continue;
        }
        if (std::exchange(missing, false)) {
            shared->Post(); // back again: what it holds now is not what was read
        }
        if (WatchOpenFolder(*shared, folder.get()) == WatchEnd::Stopped) {
            return;
        }
        // Lost: looked for again at once, then every few seconds while it stays away.
        missing = true;
        if (shared->Stopping(FolderWatch::kLookAgainMs / 10)) {
            return;
        }
    }
}

} // namespace

FolderWatch::FolderWatch(std::wstring folder, HWND window, UINT message, WPARAM cookie)
    : shared_(std::make_shared<Shared>()) {
    shared_->folder = std::move(folder);
    shared_->window = window;
    shared_->message = message;
    shared_->cookie = cookie;
    shared_->stop.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!shared_->stop) {
        return; // no watch: the menu still follows Refresh
    }
    try {
        std::thread([shared = shared_] { Watch(shared); }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: no watch, as above.
    }
}

FolderWatch::~FolderWatch() {
    if (shared_->stop) {
        ::SetEvent(shared_->stop.get());
    }
}

void FolderWatch::Taken() {
    shared_->posted = false;
}

} // namespace zelk
