#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "core/screen_corner.h"
#include "core/theme.h"

namespace zelk {

// The system's colours while a high-contrast theme is on (SPI_GETHIGHCONTRAST), nothing
// otherwise. Read afresh at each call, so a list repaints in the new colours as soon as the
// setting or the colours change.
HighContrast ReadHighContrast();
// Says high contrast is on (true) or off (false) whatever the system says; nullopt hands it
// back. Wine 8 refuses SPI_SETHIGHCONTRAST, so its tests turn it on here; the colours still
// come from GetSysColor.
void OverrideHighContrast(std::optional<bool> on);

// Every monitor with its work area and its own DPI (GetDpiForMonitor, where shcore has it).
std::vector<MonitorDesc> MonitorsWithDpi();
// The scale of the monitor holding a screen point, or the nearest one.
double MonitorScale(long x, long y);

} // namespace zelk
