#include "win/system_look.h"

#include <shellscalingapi.h>

#include "core/rounding.h"
#include "win/gdi.h"

namespace zelk {

namespace {

std::optional<bool>& HighContrastOverride() {
    static std::optional<bool> on;
    return on;
}

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!::GetMonitorInfoW(monitor, &info)) {
        return TRUE;
    }
    // Windows before 8.1 has no per-monitor DPI: shcore is looked up, not linked.
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, MONITOR_DPI_TYPE, UINT*, UINT*);
    static const auto getDpi = [] {
        // Only from System32: a plain name would search the program's folder first.
        const HMODULE shcore =
            ::LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return shcore ? reinterpret_cast<GetDpiForMonitorFn>(
                            reinterpret_cast<void*>(::GetProcAddress(shcore, "GetDpiForMonitor")))
                      : nullptr;
    }();
    UINT dpiX = 0, dpiY = 0;
    int dpi = static_cast<int>(RoundHalfEven(ScreenScale() * 96));
    if (getDpi != nullptr && SUCCEEDED(getDpi(monitor, MDT_EFFECTIVE_DPI, &dpiX, &dpiY))) {
        dpi = static_cast<int>(dpiX);
    }
    const RECT& w = info.rcWork;
    const RECT& m = info.rcMonitor;
    reinterpret_cast<std::vector<MonitorDesc>*>(data)->push_back(
        {{w.left, w.top, w.right, w.bottom},
         (info.dwFlags & MONITORINFOF_PRIMARY) != 0,
         {m.left, m.top, m.right, m.bottom},
         dpi});
    return TRUE;
}

} // namespace

HighContrast ReadHighContrast() {
    bool on = false;
    if (HighContrastOverride()) {
        on = *HighContrastOverride();
    } else {
        HIGHCONTRASTW state{};
        state.cbSize = sizeof(state);
        on = ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(state), &state, 0) &&
             (state.dwFlags & HCF_HIGHCONTRASTON) != 0;
    }
    if (!on) {
        return std::nullopt;
    }
    const auto c = [](int index) { return static_cast<Colour>(::GetSysColor(index)); };
    return SystemColours{c(COLOR_WINDOW),        c(COLOR_WINDOWTEXT), c(COLOR_HIGHLIGHT),
                         c(COLOR_HIGHLIGHTTEXT), c(COLOR_GRAYTEXT),   c(COLOR_HOTLIGHT)};
}

void OverrideHighContrast(std::optional<bool> on) {
    HighContrastOverride() = on;
}

std::vector<MonitorDesc> MonitorsWithDpi() {
    std::vector<MonitorDesc> monitors;
    ::EnumDisplayMonitors(nullptr, nullptr, &CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

double MonitorScale(long x, long y) {
    // No monitor told (the enumeration refused): the screen's own scale, not 100 %.
    const std::vector<MonitorDesc> monitors = MonitorsWithDpi();
    return monitors.empty() ? ScreenScale() : MonitorScaleAt(monitors, x, y);
}

} // namespace zelk
