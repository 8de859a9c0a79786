#include <gtest/gtest.h>

#include <cstdio>

#include "test_support.h"
#include "win/ole_thread.h"

// The tests' UI thread starts OLE as wWinMain does, so the lists take drops here exactly when
// they would in the program.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    RecordingUiServices services;
    const zelk::OleThread ole(services);
    if (!ole.ok()) {
        std::fprintf(stderr, "OleInitialize failed: 0x%08lX\n",
                     static_cast<unsigned long>(ole.Result()));
        return 1;
    }
    return RUN_ALL_TESTS();
}
