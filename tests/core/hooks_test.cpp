#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "core/hook_stub.h"

using namespace zelk;

TEST(MessageTable, LimitsDuplicatesAndRemoval) {
    MessageTable table;
    for (int32_t m = 1; m <= MSG_ENTRIES; ++m) {
        ASSERT_EQ(table.Add(0x100 + m), MessageTable::Result::Ok);
    }
    EXPECT_EQ(table.Count(), 32);
    EXPECT_EQ(table.Add(0x100 + 5), MessageTable::Result::Ok); // already present
    EXPECT_EQ(table.Add(0x999), MessageTable::Result::Overflow);
    EXPECT_EQ(std::tuple(table.Contains(0x999), table.Contains(0x101), table.Contains(0x120)),
              std::tuple(false, true, true));

    EXPECT_EQ(table.Del(0x105), MessageTable::Result::Ok);
    EXPECT_FALSE(table.Contains(0x105));
    EXPECT_EQ(table.Del(0x105), MessageTable::Result::NotFound);
    EXPECT_EQ(table.Count(), 32); // the highest slot in use, gaps included
    // The freed slot is reused rather than refusing a 32nd message.
    EXPECT_EQ(table.Add(0x999), MessageTable::Result::Ok);
    EXPECT_TRUE(table.Contains(0x999));

    EXPECT_EQ(table.Del(ALL_MESSAGES), MessageTable::Result::Ok);
    EXPECT_EQ(std::tuple(table.Count(), table.Contains(0x101)), std::tuple(0, false));
    EXPECT_EQ(table.Add(ALL_MESSAGES), MessageTable::Result::Ok);
    EXPECT_EQ(std::tuple(table.Count(), table.Contains(0), table.Contains(0xC123)),
              std::tuple(-1, true, true));

    EXPECT_EQ(table.Del(ALL_MESSAGES), MessageTable::Result::Ok);
    EXPECT_FALSE(table.Contains(0));

    MessageTable fresh;
    EXPECT_EQ(fresh.Add(0), MessageTable::Result::Ok); // WM_NULL is a message like any other
    EXPECT_EQ(std::tuple(fresh.Contains(0), fresh.Count()), std::tuple(true, 1));
    fresh.Add(7);
    fresh.Del(0);
    fresh.Add(8); // into the first free slot
    EXPECT_EQ(fresh.Count(), 2);
}

// The callback before and after the previous procedure, as the table of each
// asks for it; a callback that handles the message first keeps the previous
// procedure from it.
TEST(HookStub, BeforePreviousAfterOrder) {
    struct Case {
        int32_t before, after; // the one message each table holds
        bool handleBefore;
        uint32_t message;
        const char* steps;
        intptr_t result;
        bool removeNow;
    };
    const Case cases[] = {
        {0x10, 0x10, false, 0x10, "before previous after:7 ", 107, false},
        {0x10, 0x10, false, 0x11, "previous ", 7, false},
        {0x10, 0x11, true, 0x10, "before ", 42, false},
        // Destroy reaches before and previous, then removes the hook without
        // after.
        {ALL_MESSAGES, ALL_MESSAGES, false, kWmDestroy, "before previous ", 7, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        HookStubState state;
        state.before.Add(c.before);
        state.after.Add(c.after);
        std::string steps;
        const auto callback = [&](bool before, bool& handled, intptr_t& ret) {
            steps += before ? "before " : "after:" + std::to_string(ret) + " ";
            if (before && c.handleBefore) {
                handled = true;
                ret = 42;
            }
            ret += before ? 0 : 100;
        };
        const auto previous = [&] {
            steps += "previous ";
            return intptr_t{7};
        };
        const auto outcome = RunHookStub(state, c.message, {callback, previous});
        EXPECT_EQ(std::tuple(steps, outcome.result, outcome.removeNow, state.nesting),
                  std::tuple(c.steps, c.result, c.removeNow, 0));
    }
}

TEST(HookStub, NestedShutdownWaitsForTheOutermostCall) {
    HookStubState state;
    state.after.Add(0x10);
    bool innerRemoved = true;
    HookCalls outer{[](bool, bool&, intptr_t&) {},
                    [&] {
                        // The window handles a message by sending itself another,
                        // during which an unhook is requested.
                        state.shutdown = true;
                        innerRemoved =
                            RunHookStub(state, 0x11,
                                        {[](bool, bool&, intptr_t&) {}, [] { return intptr_t{1}; }})
                                .removeNow;
                        return intptr_t{2};
                    }};
    const auto outcome = RunHookStub(state, 0x10, outer);
    EXPECT_EQ(std::tuple(innerRemoved, outcome.removeNow, state.nesting),
              std::tuple(false, true, 0));
}

TEST(HookStub, ErrorTexts) {
    const auto overflow = FormatHookError(L"clsSubClass", TableOverflowError());
    EXPECT_EQ(overflow.boxTitle, L"Error in clsSubClass.zAddMsg");
    EXPECT_EQ(overflow.boxText, L"Message table overflow. Either increase the value of Const "
                                L"MSG_ENTRIES or use "
                                L"ALL_MESSAGES instead of specific message values.");
    EXPECT_EQ(overflow.logLine.substr(0, 22), L"clsSubClass.zAddMsg: M");

    EXPECT_EQ(MessageNotFoundError(0x20A).message, L"Message &H20A not found in table");
    EXPECT_EQ(FormatHookError(L"cSystray", MessageNotFoundError(15)).boxTitle,
              L"Error in cSystray.zDelMsg");
    EXPECT_EQ(UnknownWindowError(65598).message, L"Thunk type for ID of 65598 does not exist");
    EXPECT_EQ(NotInitialisedError().routine, L"zMap_VFunction");
    EXPECT_EQ(SubclassFailedError(5).message, L"SetWindowLong failed, error #5");
}
