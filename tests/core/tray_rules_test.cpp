#include <gtest/gtest.h>

#include "core/screen_corner.h"
#include "core/tray_rules.h"

using namespace zelk;

TEST(TrayRules, NotificationsMapToEventsAndButtons) {
    struct Case {
        uint32_t code;
        TrayNotification expected;
    };
    const Case cases[] = {
        {0x200, {TrayEvent::MouseMove, 0, false}},
        {0x201, {TrayEvent::MouseDown, 1, false}},
        {0x204, {TrayEvent::MouseDown, 2, false}},
        {0x207, {TrayEvent::MouseDown, 4, false}},
        {0x202, {TrayEvent::MouseUp, 1, false}},
        {0x205, {TrayEvent::MouseUp, 2, false}},
        {0x208, {TrayEvent::MouseUp, 4, false}},
        {0x203, {TrayEvent::MouseDblClick, 1, false}},
        {0x206, {TrayEvent::MouseDblClick, 2, false}},
        {0x209, {TrayEvent::MouseDblClick, 4, false}},
        {0x402, {TrayEvent::BalloonShown, 0, true}},
        {0x403, {TrayEvent::BalloonHidden, 0, true}},
        {0x404, {TrayEvent::BalloonTimedOut, 0, true}},
        {0x405, {TrayEvent::BalloonClicked, 0, true}},
        {0x400, {}},
        {0x20A, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClassifyTrayNotification(c.code), c.expected) << std::hex << c.code;
    }
}

TEST(TrayRules, RecordKindAndFieldFitting) {
    EXPECT_EQ(NotifyRecordKindForShell(4), NotifyRecordKind::V1);
    EXPECT_EQ(NotifyRecordKindForShell(5), NotifyRecordKind::V2);
    EXPECT_EQ(NotifyRecordKindForShell(6), NotifyRecordKind::Full);
    EXPECT_EQ(NotifyRecordKindForShell(10), NotifyRecordKind::Full);
    EXPECT_FALSE(BalloonsExist(NotifyRecordKind::V1));
    EXPECT_TRUE(BalloonsExist(NotifyRecordKind::V2));

    EXPECT_EQ(FitToField(std::wstring(200, L'a'), 128).size(), 127u);
    EXPECT_EQ(FitToField(std::wstring(127, L'a'), 128).size(), 127u);
    EXPECT_EQ(FitToField(L"short", 128), L"short");
    EXPECT_EQ(FitToField(L"x", 0), L"");
}

TEST(ScreenCorner, PrimaryWorkAreaCornerAnchorsTheMenu) {
    const std::vector<MonitorDesc> monitors = {
        {{-1920, 0, 0, 1040}, false},
        {{0, 0, 1280, 780}, true},
        {{1280, 0, 2560, 1000}, true},
    };
    const auto work = PrimaryWorkArea(monitors);
    ASSERT_TRUE(work.has_value());
    EXPECT_EQ(*work, (ScreenRect{0, 0, 1280, 780}));
    EXPECT_EQ(MenuCornerRequest(*work), (ShowListRequest{1280, 780, 0, 780}));
    // A taskbar at the top leaves the work area's bottom at the screen's bottom.
    EXPECT_EQ(MenuCornerRequest({0, 40, 1920, 1080}), (ShowListRequest{1920, 1080, 0, 1080}));
    EXPECT_FALSE(PrimaryWorkArea({{{0, 0, 10, 10}, false}}).has_value());
}
