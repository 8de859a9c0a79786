#include <gtest/gtest.h>

#include <string>
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
    EXPECT_FALSE(table.Contains(0x999));
    EXPECT_TRUE(table.Contains(0x101));
    EXPECT_TRUE(table.Contains(0x120));

    EXPECT_EQ(table.Del(0x105), MessageTable::Result::Ok);
    EXPECT_FALSE(table.Contains(0x105));
    EXPECT_EQ(table.Del(0x105), MessageTable::Result::NotFound);
    EXPECT_EQ(table.Count(), 32); // the highest slot in use, gaps included
    // The freed slot is reused rather than refusing a 32nd message.
    EXPECT_EQ(table.Add(0x999), MessageTable::Result::Ok);
    EXPECT_TRUE(table.Contains(0x999));

    EXPECT_EQ(table.Del(ALL_MESSAGES), MessageTable::Result::Ok);
    EXPECT_EQ(table.Count(), 0);
    EXPECT_FALSE(table.Contains(0x101));
    EXPECT_EQ(table.Add(ALL_MESSAGES), MessageTable::Result::Ok);
    EXPECT_EQ(table.Count(), -1);
    EXPECT_TRUE(table.Contains(0));
    EXPECT_TRUE(table.Contains(0xC123));

    EXPECT_EQ(table.Del(ALL_MESSAGES), MessageTable::Result::Ok);
    EXPECT_FALSE(table.Contains(0));

    MessageTable fresh;
    EXPECT_EQ(fresh.Add(0), MessageTable::Result::Ok); // WM_NULL is a message like any other
    EXPECT_TRUE(fresh.Contains(0));
    EXPECT_EQ(fresh.Count(), 1);
    fresh.Add(7);
    fresh.Del(0);
    fresh.Add(8); // into the first free slot
    EXPECT_EQ(fresh.Count(), 2);
}

namespace {

struct Trace {
    std::vector<std::string> steps;
    bool handleBefore = false;
    intptr_t beforeReturn = 0;
    intptr_t previousReturn = 7;

    HookCalls Calls() {
        return {[this](bool before, bool& handled, intptr_t& ret) {
                    steps.push_back(before ? "before" : "after:" + std::to_string(ret));
                    if (before && handleBefore) {
                        handled = true;
                        ret = beforeReturn;
                    }
                    if (!before) {
                        ret += 100;
                    }
                },
                [this] {
                    steps.push_back("previous");
                    return previousReturn;
                }};
    }
};

} // namespace

TEST(HookStub, BeforePreviousAfterOrder) {
    HookStubState state;
    state.before.Add(0x10);
    state.after.Add(0x10);
    Trace trace;
    const auto outcome = RunHookStub(state, 0x10, trace.Calls());
    EXPECT_EQ(trace.steps, (std::vector<std::string>{"before", "previous", "after:7"}));
    EXPECT_EQ(outcome.result, 107);
    EXPECT_FALSE(outcome.removeNow);
    EXPECT_EQ(state.nesting, 0);

    trace.steps.clear();
    RunHookStub(state, 0x11, trace.Calls());
    EXPECT_EQ(trace.steps, (std::vector<std::string>{"previous"}));
}

TEST(HookStub, HandledBeforeSkipsThePreviousProcedure) {
    HookStubState state;
    state.before.Add(0x10);
    Trace trace;
    trace.handleBefore = true;
    trace.beforeReturn = 42;
    const auto outcome = RunHookStub(state, 0x10, trace.Calls());
    EXPECT_EQ(trace.steps, (std::vector<std::string>{"before"}));
    EXPECT_EQ(outcome.result, 42);
}

TEST(HookStub, DestroyReachesBeforeAndPreviousThenRemovesWithoutAfter) {
    HookStubState state;
    state.before.Add(ALL_MESSAGES);
    state.after.Add(ALL_MESSAGES);
    Trace trace;
    const auto outcome = RunHookStub(state, kWmDestroy, trace.Calls());
    EXPECT_EQ(trace.steps, (std::vector<std::string>{"before", "previous"}));
    EXPECT_TRUE(outcome.removeNow);
}

TEST(HookStub, NestedShutdownWaitsForTheOutermostCall) {
    HookStubState state;
    state.after.Add(0x10);
    bool innerRemoved = true;
    HookCalls outer{[](bool, bool&, intptr_t&) {},
                    [&] {
                        // The window handles a message by sending itself another, during
                        // which an unhook is requested.
                        state.shutdown = true;
                        innerRemoved =
                            RunHookStub(state, 0x11,
                                        {[](bool, bool&, intptr_t&) {}, [] { return intptr_t{1}; }})
                                .removeNow;
                        return intptr_t{2};
                    }};
    const auto outcome = RunHookStub(state, 0x10, outer);
    EXPECT_FALSE(innerRemoved);
    EXPECT_TRUE(outcome.removeNow);
    EXPECT_EQ(state.nesting, 0);
}

TEST(HookStub, ErrorTexts) {
    const auto overflow = FormatHookError(L"clsSubClass", TableOverflowError());
    EXPECT_EQ(overflow.boxTitle, L"Error in clsSubClass.zAddMsg");
    EXPECT_EQ(overflow.boxText,
              L"Message table overflow. Either increase the value of Const MSG_ENTRIES or use "
              L"ALL_MESSAGES instead of specific message values.");
    EXPECT_EQ(overflow.logLine.substr(0, 22), L"clsSubClass.zAddMsg: M");

    EXPECT_EQ(MessageNotFoundError(0x20A).message, L"Message &H20A not found in table");
    EXPECT_EQ(FormatHookError(L"cSystray", MessageNotFoundError(15)).boxTitle,
              L"Error in cSystray.zDelMsg");
    EXPECT_EQ(UnknownWindowError(65598).message, L"Thunk type for ID of 65598 does not exist");
    EXPECT_EQ(NotInitialisedError().routine, L"zMap_VFunction");
    EXPECT_EQ(SubclassFailedError(5).message, L"SetWindowLong failed, error #5");
}
