#pragma once

#include <windows.h>

#include <atomic>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "core/menu_tree.h"

namespace zelk {

// One walk of a toolbar's folder tree on a thread of its own, so that a folder slow to answer
// (a disconnected network drive, a disk spinning up) holds up nothing but its own toolbar.
// The thread is never waited for: if the folder never answers, it ends with the program.
class ToolbarScan {
public:
    // What the walk planned, numbered from the number it started at.
    struct Plan {
        long from = 0; // the last list number before this toolbar's
        long first = 0;
        long last = 0;
        std::vector<PlannedList> lists;
    };

    // Starts the walk, planning the toolbar's lists from lastListIndex; message is posted to
    // window when it ends (window may be null). The lister is called on the walk's thread and
    // must not depend on the caller's stack.
    static std::shared_ptr<ToolbarScan> Start(DirectoryLister lister, std::wstring folder,
                                              long lastListIndex, HWND window, UINT message);

    bool Done() const { return done_.load(std::memory_order_acquire); }
    // Once Done: the plan, taken once; rethrows what stopped the walk, if anything did.
    Plan TakePlan();

private:
    void Run(const DirectoryLister& lister, const std::wstring& folder, long lastListIndex);

    std::atomic<bool> done_{false};
    Plan plan_;
    std::exception_ptr failure_;
};

} // namespace zelk
