#pragma once

#include <optional>
#include <utility>
#include <vector>

namespace zelk {

struct ScreenRect {
    long left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const ScreenRect&) const = default;
};

struct MonitorDesc {
    ScreenRect work;
    bool primary = false;
    ScreenRect monitor; // the whole monitor, taskbar included; empty: the work area
    int dpi = 0;        // its own, under per-monitor awareness; 0: unknown
};

// The first monitor flagged primary, in enumeration order.
std::optional<ScreenRect> PrimaryWorkArea(const std::vector<MonitorDesc>& monitors);

// Where the top menu list is asked to appear: its corner is the work area's bottom-right
// corner, the point the taskbar's notification area sits next to.
struct ShowListRequest {
    long left = 0, top = 0, btnLeft = 0, btnTop = 0;
    bool operator==(const ShowListRequest&) const = default;
};
ShowListRequest MenuCornerRequest(const ScreenRect& workArea);

// The side of its monitor that a work area gives up to the taskbar (the largest strip cut
// off); Bottom, where Windows 11 puts it, when none is.
enum class TaskbarEdge { Bottom, Top, Left, Right };
TaskbarEdge TaskbarEdgeOf(const MonitorDesc& monitor);
// The menu's corner next to the notification area for a taskbar on that edge: bottom-right
// (Bottom, Right: exactly MenuCornerRequest), top-right (Top, opening downwards), bottom-left
// (Left: a list listWidth wide, opening leftwards from its corner, lands flush with the edge).
ShowListRequest MenuCornerRequest(const ScreenRect& workArea, TaskbarEdge edge, long listWidth);
// The monitor that holds the point (the tray icon's centre), else the primary one.
std::optional<MonitorDesc> MenuMonitor(const std::vector<MonitorDesc>& monitors,
                                       std::optional<std::pair<long, long>> trayIcon);

// The scale of a menu opening at a point: the DPI of the monitor that holds it, else of the
// nearest one (a point on no monitor, between two or past an edge); 1.0 with none.
double MonitorScaleAt(const std::vector<MonitorDesc>& monitors, long x, long y);

} // namespace zelk
