#pragma once

#include <optional>
#include <vector>

namespace zelk {

struct ScreenRect {
    long left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const ScreenRect&) const = default;
};

struct MonitorDesc {
    ScreenRect work;
    bool primary = false;
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

} // namespace zelk
