#include <gtest/gtest.h>

#include <cstdio>

#include "test_support.h"
#include "win/ole_thread.h"

namespace {

// No test may leave the desktop's navigation keys taken: a menu that forgets them takes them
// from every other program. Checked after each test, so the one that leaked is named.
class HotKeyLeakCheck : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo& test) override {
        const UINT down[] = {VK_DOWN};
        if (!HeldHotKeys(down).empty()) {
            std::fprintf(stderr, "%s.%s left the Down key taken as a hot key\n",
                         test.test_suite_name(), test.name());
            ++leaks;
        }
    }

public:
    int leaks = 0;
};

} // namespace

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
    auto* check = new HotKeyLeakCheck; // the listener list owns it
    testing::UnitTest::GetInstance()->listeners().Append(check);
    const int result = RUN_ALL_TESTS();
    return result != 0 ? result : (check->leaks != 0 ? 1 : 0);
}
