#include "app/toolbar_scan.h"

#include <system_error>
#include <thread>

namespace zelk {

std::shared_ptr<ToolbarScan> ToolbarScan::Start(DirectoryLister lister, std::wstring folder,
                                                long lastListIndex, HWND window, UINT message) {
    auto scan = std::make_shared<ToolbarScan>();
    // The thread owns its share of the scan: the menu may drop it (a Refresh, the program
    // ending) long before a hung folder answers.
    auto walk = [scan, lister = std::move(lister), folder = std::move(folder), lastListIndex,
                 window, message] {
        scan->Run(lister, folder, lastListIndex);
        if (window != nullptr) {
            // Refused only when the menu's window is gone, and then nobody is waiting.
            static_cast<void>(::PostMessageW(window, message, 0, 0));
        }
    };
    try {
        std::thread(walk).detach();
    } catch (const std::system_error&) {
        walk(); // no thread to be had: walk here rather than lose the toolbar
    }
    return scan;
}

void ToolbarScan::Run(const DirectoryLister& lister, const std::wstring& folder,
                      long lastListIndex) {
    try {
        MenuTreePlanner planner(lister, lastListIndex);
        plan_.from = lastListIndex;
        plan_.first = planner.PlanToolbar(folder);
        plan_.last = planner.LastListIndex();
        plan_.lists = planner.TakeLists();
    } catch (...) {
        failure_ = std::current_exception(); // the menu says the toolbar could not be read
    }
    done_.store(true, std::memory_order_release);
}

ToolbarScan::Plan ToolbarScan::TakePlan() {
    if (failure_) {
        std::rethrow_exception(failure_);
    }
    return std::move(plan_);
}

} // namespace zelk
