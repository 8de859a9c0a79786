#include "core/rescan_schedule.h"

#include <gtest/gtest.h>

#include <random>

namespace zelk {
namespace {

// Random days of a running program: changes on disk, the clock moving on, the menu opened and
// closed, readings ending, a toolbar becoming readable. Whatever the order:
// - nothing reaches the menu while it is open;
// - a toolbar never has two readings at once, nor one before it is readable;
// - no reading starts before the quiet period after its last change, unless the longest wait
//   since its first change has passed;
// - once things settle with the menu closed, every change is covered by a reading that started
//   after it and reached the menu (no change is lost).
TEST(RescanSchedule, RandomDaysLoseNoChangeAndNeverTouchAnOpenMenu) {
    for (unsigned walk = 0; walk < 300; ++walk) {
        std::mt19937 random(walk);
        RescanSchedule schedule;
        const size_t count = 1 + random() % 4;
        struct Seen {
            bool readable = false, reading = false;
            uint64_t readingStart = 0, lastChange = 0, firstUncovered = 0;
            bool uncovered = false;
            uint64_t appliedStart = 0; // start of the last reading put into the menu
            bool anyApplied = false;
        };
        std::vector<Seen> seen(count);
        for (size_t i = 0; i < count; ++i) {
            ASSERT_EQ(schedule.Add(), i);
        }
        uint64_t now = 1000;
        bool menuOpen = false;
        const auto start = [&] {
            for (size_t t : schedule.StartDue(now)) {
                SCOPED_TRACE(testing::Message() << "walk " << walk << " toolbar " << t);
                ASSERT_TRUE(seen[t].readable);
                ASSERT_FALSE(seen[t].reading);
                ASSERT_TRUE(seen[t].uncovered);
                ASSERT_TRUE(now >= seen[t].lastChange + RescanSchedule::kQuietMs ||
                            now >= seen[t].firstUncovered + RescanSchedule::kLongestWaitMs);
                seen[t] = {true,
                           true,
                           now,
                           seen[t].lastChange,
                           0,
                           false,
                           seen[t].appliedStart,
                           seen[t].anyApplied};
            }
        };
        const auto apply = [&] {
            const auto finished = schedule.TakeFinished(menuOpen);
            ASSERT_TRUE(!menuOpen || finished.empty()) << "walk " << walk;
            for (size_t t : finished) {
                seen[t].appliedStart = seen[t].readingStart;
                seen[t].anyApplied = true;
            }
        };
        for (int step = 0; step < 200; ++step) {
            const size_t t = random() % count;
            switch (random() % 7) {
            case 0:
            case 1:
                schedule.Changed(t, now);
                if (!seen[t].uncovered) {
                    seen[t].firstUncovered = now;
                }
                seen[t].uncovered = true;
                seen[t].lastChange = now;
                break;
            case 2:
                now += random() % 700;
                break;
            case 3:
                menuOpen = !menuOpen;
                break;
            case 4:
                if (seen[t].reading) {
                    seen[t].reading = false;
                    schedule.Ended(t);
                }
                break;
            case 5:
                seen[t].readable = true;
                schedule.SetReadable(t);
                break;
            default:
                if (const auto due = schedule.NextDue()) {
                    now = std::max(now, *due);
                }
                break;
            }
            start();
            apply();
        }
        // Settling: every toolbar readable, the menu closed, time passing, readings ending.
        menuOpen = false;
        for (size_t t = 0; t < count; ++t) {
            seen[t].readable = true;
            schedule.SetReadable(t);
        }
        for (int round = 0; round < 4; ++round) {
            now += RescanSchedule::kLongestWaitMs;
            start();
            for (size_t t = 0; t < count; ++t) {
                if (std::exchange(seen[t].reading, false)) {
                    schedule.Ended(t);
                }
            }
            apply();
        }
        EXPECT_FALSE(schedule.NextDue()) << "walk " << walk;
        for (size_t t = 0; t < count; ++t) {
            if (seen[t].lastChange > 0) {
                EXPECT_TRUE(seen[t].anyApplied && seen[t].appliedStart >= seen[t].lastChange)
                    << "walk " << walk << ": the change at " << seen[t].lastChange << " to toolbar "
                    << t << " never reached the menu";
            }
        }
    }
}

TEST(RescanSchedule, ABurstCostsOneReadingAndATrickleIsReadAtTheLongestWait) {
    RescanSchedule schedule;
    schedule.SetReadable(schedule.Add());
    // A thousand files in one second: one reading, a quiet period after the last.
    for (uint64_t ms = 0; ms < 1000; ++ms) {
        schedule.Changed(0, 10'000 + ms);
        EXPECT_TRUE(schedule.StartDue(10'000 + ms).empty());
    }
    EXPECT_EQ(schedule.NextDue(), 10'999 + RescanSchedule::kQuietMs);
    EXPECT_EQ(schedule.StartDue(10'999 + RescanSchedule::kQuietMs).size(), 1u);
    // A change every 100 ms for ever: read at the longest wait, not never.
    for (uint64_t ms = 0; ms <= RescanSchedule::kLongestWaitMs; ms += 100) {
        schedule.Changed(0, 20'000 + ms);
    }
    EXPECT_EQ(schedule.NextDue(), std::nullopt) << "a reading is still running";
    schedule.Ended(0);
    EXPECT_EQ(schedule.TakeFinished(false).size(), 1u);
    EXPECT_EQ(schedule.NextDue(), 20'000 + RescanSchedule::kLongestWaitMs);
    EXPECT_EQ(schedule.ReadingsStarted(), 1u);
    // The timer is set for whichever toolbar falls due first.
    schedule.SetReadable(schedule.Add());
    schedule.Changed(1, 21'900);
    EXPECT_EQ(schedule.NextDue(), 20'000 + RescanSchedule::kLongestWaitMs);
}

} // namespace
} // namespace zelk
