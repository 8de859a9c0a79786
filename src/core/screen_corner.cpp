#include "core/screen_corner.h"

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

} // namespace zelk
