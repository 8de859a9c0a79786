#include "win/folder_watch.h"

#include <dbt.h>

#include <atomic>
#include <cstddef>
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
    FolderWatch::NameFilter matters;
    unique_process stop;  // a manual-reset event, set when the watch ends
    unique_process ready; // set once the first read is asked for, or the folder is missing
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

enum class WatchEnd { Stopped, Lost, LetGo };

// The open folder and its pending read, as the removal window sees them.
struct OpenFolder {
    unique_file& handle;
    OVERLAPPED* pending = nullptr;
    bool letGo = false;

    // Ends the pending read (its buffer is the system's until then) and closes the folder.
    void Close() {
        if (pending != nullptr) {
            DWORD bytes = 0;
            ::CancelIoEx(handle.get(), pending);
            ::GetOverlappedResult(handle.get(), pending, &bytes, TRUE);
            pending = nullptr;
        }
        handle.reset();
    }
};

constexpr wchar_t kRemovalWindowClass[] = L"ZelkFolderWatchRemoval";

// An open folder keeps its drive from being removed safely: when the system asks to remove
// the drive, the watch lets go of it at once (and looks for it again later, as for a folder
// that went away).
LRESULT CALLBACK RemovalWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DEVICECHANGE &&
        (wParam == DBT_DEVICEQUERYREMOVE || wParam == DBT_DEVICEREMOVEPENDING ||
         wParam == DBT_DEVICEREMOVECOMPLETE) &&
        lParam != 0 &&
        reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam)->dbch_devicetype == DBT_DEVTYP_HANDLE) {
        if (auto* open =
                reinterpret_cast<OpenFolder*>(::GetWindowLongPtrW(window, GWLP_USERDATA))) {
            open->Close();
            open->letGo = true;
        }
        return TRUE;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// The thread's window for the drive's removal requests; null when there can be none (the
// watch then works all the same, holding the drive).
unique_window RemovalWindow(OpenFolder* open) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &RemovalWindowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kRemovalWindowClass;
    // Refused from the second watch on: the class is there.
    static_cast<void>(::RegisterClassExW(&windowClass));
    unique_window window(::CreateWindowExW(0, kRemovalWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                           nullptr, windowClass.hInstance, nullptr));
    if (window) {
        ::SetWindowLongPtrW(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(open));
    }
    return window;
}

class DeviceNotification {
public:
    DeviceNotification(HWND window, HANDLE handle) {
        if (window != nullptr) {
            DEV_BROADCAST_HANDLE filter{};
            filter.dbch_size = sizeof(filter);
            filter.dbch_devicetype = DBT_DEVTYP_HANDLE;
            filter.dbch_handle = handle;
            notify_ = ::RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
        }
    }
    ~DeviceNotification() {
        if (notify_ != nullptr) {
            ::UnregisterDeviceNotification(notify_);
        }
    }
    DeviceNotification(const DeviceNotification&) = delete;
    DeviceNotification& operator=(const DeviceNotification&) = delete;

private:
    HDEVNOTIFY notify_ = nullptr;
};

bool AnyNameMatters(const FolderWatch::Shared& shared, const DWORD* records, DWORD bytes) {
    if (!shared.matters) {
        return true;
    }
    const auto* base = reinterpret_cast<const BYTE*>(records);
    for (DWORD offset = 0; offset + sizeof(FILE_NOTIFY_INFORMATION) <= bytes;) {
        const auto* record = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(base + offset);
        const size_t length = record->FileNameLength / sizeof(wchar_t);
        if (offsetof(FILE_NOTIFY_INFORMATION, FileName) + record->FileNameLength > bytes - offset ||
            shared.matters(std::wstring_view(record->FileName, length))) {
            return true; // a record cut short is read as one that matters
        }
        if (record->NextEntryOffset == 0) {
            break;
        }
        offset += record->NextEntryOffset;
    }
    return false;
}

// Waits for changes under the open folder until the watch is stopped or the folder is lost;
// the folder is closed when it returns.
WatchEnd WatchOpenFolder(FolderWatch::Shared& shared, unique_file& handle) {
    OpenFolder open{handle};
    const unique_process done(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!done) {
        return WatchEnd::Lost;
    }
    const unique_window removalWindow = RemovalWindow(&open);
    const DeviceNotification removal(removalWindow.get(), handle.get());
    // DWORD-aligned, as the records must be, and within the 64 KB a network share allows.
    std::vector<DWORD> records(8192);
    for (;;) {
        OVERLAPPED overlapped{};
        overlapped.hEvent = done.get();
        ::ResetEvent(done.get());
        // Only names matter to the menu: a file written to (its size, its time) changes no row.
        if (!::ReadDirectoryChangesW(handle.get(), records.data(),
                                     static_cast<DWORD>(records.size() * sizeof(DWORD)), TRUE,
                                     FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME,
                                     nullptr, &overlapped, nullptr)) {
            return WatchEnd::Lost;
        }
        open.pending = &overlapped;
        ::SetEvent(shared.ready.get()); // from here on every change is seen
        const HANDLE waits[] = {shared.stop.get(), done.get()};
        DWORD woken = WAIT_FAILED;
        // The removal request is a sent message: it is answered only while this thread looks
        // at its messages.
        for (;;) {
            woken = ::MsgWaitForMultipleObjectsEx(2, waits, INFINITE, QS_SENDMESSAGE,
                                                  MWMO_INPUTAVAILABLE);
            if (woken != WAIT_OBJECT_0 + 2) {
                break;
            }
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::DispatchMessageW(&msg);
            }
            if (open.letGo) {
                shared.Post(); // the drive is going: the menu shows what is left of it
                return WatchEnd::LetGo;
            }
        }
        if (woken != WAIT_OBJECT_0 + 1) {
            open.Close();
            return woken == WAIT_OBJECT_0 ? WatchEnd::Stopped : WatchEnd::Lost;
        }
        open.pending = nullptr;
        DWORD bytes = 0;
        if (!::GetOverlappedResult(handle.get(), &overlapped, &bytes, FALSE)) {
            shared.Post(); // the folder went away or its drive stopped answering
            return WatchEnd::Lost;
        }
        // No bytes: more changes than the buffer held, any of which may matter.
        if (bytes == 0 || AnyNameMatters(shared, records.data(), bytes)) {
            shared.Post();
        }
    }
}

void Watch(const std::shared_ptr<FolderWatch::Shared>& shared) {
    bool missing = false;
    while (!shared->Stopping(0)) {
        unique_file folder(::CreateFileW(
            shared->folder.c_str(), FILE_LIST_DIRECTORY,
            // Watching must never stop the user from renaming or deleting what is watched.
            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
            FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
        if (!folder) {
            ::SetEvent(shared->ready.get()); // its coming back will be seen
            missing = true;
            if (shared->Stopping(FolderWatch::kLookAgainMs)) {
                return;
            }
            continue;
        }
        if (std::exchange(missing, false)) {
            shared->Post(); // back again: what it holds now is not what was read
        }
        const WatchEnd end = WatchOpenFolder(*shared, folder);
        if (end == WatchEnd::Stopped) {
            return;
        }
        // Lost: looked for again at once, then every few seconds while it stays away. A drive
        // let go is given the time to go: opened again at once, it could not be removed.
        missing = true;
        if (shared->Stopping(end == WatchEnd::LetGo ? FolderWatch::kLookAgainMs
                                                    : FolderWatch::kLookAgainMs / 10)) {
            return;
        }
    }
}

} // namespace

FolderWatch::FolderWatch(std::wstring folder, HWND window, UINT message, WPARAM cookie,
                         NameFilter matters)
    : shared_(std::make_shared<Shared>()) {
    shared_->matters = std::move(matters);
    shared_->folder = std::move(folder);
    shared_->window = window;
    shared_->message = message;
    shared_->cookie = cookie;
    shared_->stop.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    shared_->ready.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!shared_->stop || !shared_->ready) {
        return; // no watch: the menu still follows Refresh
    }
    try {
        std::thread([shared = shared_] { Watch(shared); }).detach();
    } catch (const std::system_error&) {
        return; // no thread to be had: no watch, as above
    }
    // The system records changes from the first read on: the menu's walk starts after it, or
    // what changes between the walk and the watch would go unseen. A folder slow to open (a
    // network drive waking) is not waited for long.
    ::WaitForSingleObject(shared_->ready.get(), kReadyWaitMs);
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
