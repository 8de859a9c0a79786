#include <windows.h>
#include <winhttp.h>

#include "win/unique_handle.h"

#include <atomic>

namespace zelk {

namespace {

// Counters only: handles of every thread pass through here.
std::atomic<long> g_internetCloses{0};
std::atomic<long> g_internetCloseFailures{0};

} // namespace

void InternetHandleTraits::close(pointer h) {
    if (::WinHttpCloseHandle(h)) {
        ++g_internetCloses;
    } else {
        ++g_internetCloseFailures;
    }
}

InternetHandleCloseCounts InternetHandleCloses() {
    return {g_internetCloses.load(), g_internetCloseFailures.load()};
}

} // namespace zelk
