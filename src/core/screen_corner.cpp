#include "core/screen_corner.h"

#include <algorithm>

#include "core/rounding.h"

namespace zelk {

std::optional<ScreenRect> PrimaryWorkArea(const std::vector<MonitorDesc>& monitors) {
    for (const auto& monitor : monitors) {
        if (monitor.primary) {
            return monitor.work;
        }
    }
    return std::nullopt;
}

ShowListRequest MenuCornerRequest(const ScreenRect& workArea) {
    return {workArea.right, workArea.bottom, 0, workArea.bottom};
}

TaskbarEdge TaskbarEdgeOf(const MonitorDesc& m) {
    const ScreenRect& w = m.work;
    const std::pair<long, TaskbarEdge> strips[] = {
        {m.monitor.bottom - w.bottom, TaskbarEdge::Bottom},
        {w.top - m.monitor.top, TaskbarEdge::Top},
        {w.left - m.monitor.left, TaskbarEdge::Left},
        {m.monitor.right - w.right, TaskbarEdge::Right}};
    if (m.monitor == ScreenRect{}) {
        return TaskbarEdge::Bottom; // nothing known of the monitor itself
    }
    TaskbarEdge edge = TaskbarEdge::Bottom;
    long widest = 0;
    for (const auto& [strip, side] : strips) {
        if (strip > widest) {
            widest = strip;
            edge = side;
        }
    }
    return edge;
}

ShowListRequest MenuCornerRequest(const ScreenRect& w, TaskbarEdge edge, long listWidth) {
    switch (edge) {
    case TaskbarEdge::Top:
        return {w.right, w.top, 0, 0};
    case TaskbarEdge::Left:
        return {w.left + listWidth, w.bottom, 0, w.bottom};
    case TaskbarEdge::Bottom:
    case TaskbarEdge::Right:
        break;
    }
    return MenuCornerRequest(w);
}

std::optional<MonitorDesc> MenuMonitor(const std::vector<MonitorDesc>& monitors,
                                       std::optional<std::pair<long, long>> trayIcon) {
    if (trayIcon) {
        for (const auto& m : monitors) {
            const ScreenRect& r = m.monitor;
            if (trayIcon->first >= r.left && trayIcon->first < r.right &&
                trayIcon->second >= r.top && trayIcon->second < r.bottom) {
                return m;
            }
        }
    }
    for (const auto& m : monitors) {
        if (m.primary) {
            return m;
        }
    }
    return std::nullopt;
}

double MonitorScaleAt(const std::vector<MonitorDesc>& monitors, long x, long y) {
    const MonitorDesc* nearest = nullptr;
    double best = 0;
    for (const auto& m : monitors) {
        const ScreenRect& r = m.monitor == ScreenRect{} ? m.work : m.monitor;
        // Distance from the point to the rectangle, right and bottom edges exclusive.
        const double dx = static_cast<double>(std::max({r.left - x, 0L, x - (r.right - 1)}));
        const double dy = static_cast<double>(std::max({r.top - y, 0L, y - (r.bottom - 1)}));
        const double distance = dx * dx + dy * dy;
        if (nearest == nullptr || distance < best) {
            nearest = &m;
            best = distance;
        }
    }
    return ScaleFromDpi(nearest != nullptr ? nearest->dpi : 0);
}

} // namespace zelk
