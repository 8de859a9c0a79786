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
        {{-1920, 0, 0, 1040}, false, {}},
        {{0, 0, 1280, 780}, true, {}},
        {{1280, 0, 2560, 1000}, true, {}},
    };
    const auto work = PrimaryWorkArea(monitors);
    ASSERT_TRUE(work.has_value());
    EXPECT_EQ(*work, (ScreenRect{0, 0, 1280, 780}));
    EXPECT_EQ(MenuCornerRequest(*work), (ShowListRequest{1280, 780, 0, 780}));
    // A taskbar at the top leaves the work area's bottom at the screen's bottom.
    EXPECT_EQ(MenuCornerRequest({0, 40, 1920, 1080}), (ShowListRequest{1920, 1080, 0, 1080}));
    EXPECT_FALSE(PrimaryWorkArea({{{0, 0, 10, 10}, false, {}}}).has_value());
}

// The menu opens on the monitor that holds the tray icon, at the corner next to the
// notification area for a taskbar on any edge; on one monitor with the taskbar at the bottom
// the request is exactly the single-monitor one.
TEST(ScreenCorner, TheMenuOpensWhereTheTaskbarIs) {
    const MonitorDesc left{{-1920, 0, -1880, 1080}, false, {-1920, 0, 0, 1080}};
    const MonitorDesc main{{0, 0, 1280, 780}, true, {0, 0, 1280, 800}};
    const MonitorDesc above{{0, -1000, 1920, -40}, false, {0, -1080, 1920, -40}};
    const std::vector<MonitorDesc> monitors{left, main, above};
    const struct {
        std::optional<std::pair<long, long>> icon;
        ScreenRect work;
        TaskbarEdge edge;
        ShowListRequest request;
    } cases[] = {
        {std::nullopt, main.work, TaskbarEdge::Bottom, {1280, 780, 0, 780}},
        {std::pair{1270L, 790L}, main.work, TaskbarEdge::Bottom, {1280, 780, 0, 780}},
        {std::pair{-1900L, 1070L}, left.work, TaskbarEdge::Right, {-1880, 1080, 0, 1080}},
        {std::pair{1900L, -1070L}, above.work, TaskbarEdge::Top, {1920, -1000, 0, 0}},
        {std::pair{5000L, 5000L}, main.work, TaskbarEdge::Bottom, {1280, 780, 0, 780}},
        {std::pair{0L, 0L}, main.work, TaskbarEdge::Bottom, {1280, 780, 0, 780}}, // edges meet
    };
    for (const auto& c : cases) {
        const auto m = MenuMonitor(monitors, c.icon);
        ASSERT_TRUE(m.has_value());
        EXPECT_EQ(m->work, c.work);
        EXPECT_EQ(TaskbarEdgeOf(*m), c.edge);
        EXPECT_EQ(MenuCornerRequest(m->work, TaskbarEdgeOf(*m), 300), c.request);
    }
    const MonitorDesc leftBar{{48, 0, 1280, 800}, true, {0, 0, 1280, 800}};
    EXPECT_EQ(TaskbarEdgeOf(leftBar), TaskbarEdge::Left);
    EXPECT_EQ(MenuCornerRequest(leftBar.work, TaskbarEdge::Left, 300),
              (ShowListRequest{348, 800, 0, 800}));
    EXPECT_EQ(TaskbarEdgeOf({{0, 0, 1280, 800}, true, {0, 0, 1280, 800}}), TaskbarEdge::Bottom);
    EXPECT_EQ(TaskbarEdgeOf({{0, 0, 1280, 780}, true, {}}), TaskbarEdge::Bottom);
}
