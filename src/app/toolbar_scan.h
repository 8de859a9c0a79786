#pragma once

#include <windows.h>

#include <atomic>
#include <exception>
#include <memory>
#include <string>

#include "core/menu_tree.h"

namespace zelk {

// One walk of a toolbar's folder tree on a thread of its own, so that a folder slow to answer
// (a disconnected network drive, a disk spinning up) holds up nothing but its own toolbar.
// The thread is never waited for: if the folder never answers, it ends with the program.
class ToolbarScan {
public:
    // Starts the walk; message is posted to window when it ends (window may be null). The
    // lister is called on the walk's thread and must not depend on the caller's stack.
    static std::shared_ptr<ToolbarScan> Start(DirectoryLister lister, std::wstring folder,
                                              HWND window, UINT message);

    bool Done() const { return done_.load(std::memory_order_acquire); }
    // Once Done: what the walk saw; rethrows what stopped it, if anything did.
    const RecordedListings& Listings() const;

private:
    void Run(const DirectoryLister& lister, const std::wstring& folder);

    std::atomic<bool> done_{false};
    RecordedListings listings_;
    std::exception_ptr failure_;
};

} // namespace zelk
