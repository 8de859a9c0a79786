#include "win/gdi.h"

#include <algorithm>

#include "core/colour.h"
#include "core/rounding.h"

namespace zelk {

DibSurface::DibSurface(int width, int height, bool topDown) : width_(width), height_(height) {
    if (width <= 0 || height <= 0) {
        return;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = topDown ? -height : height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
    dc_.reset(::CreateCompatibleDC(nullptr));
    void* bits = nullptr;
    bitmap_.reset(::CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dc_ || !bitmap_) {
        return;
    }
    selection_ = std::make_unique<SelectScope>(dc_.get(), bitmap_.get());
    pixels_ = static_cast<uint32_t*>(bits);
}

double ScreenScale() {
    WindowDC screen(nullptr);
    return ScaleFromDpi(::GetDeviceCaps(screen.get(), LOGPIXELSX));
}

COLORREF ResolveSystemColour(uint32_t colour) {
    return (colour & 0x80000000u) ? ::GetSysColor(static_cast<int>(colour & 0xFF)) : colour;
}

int SystemColourIndexToRgb(int index) {
    return static_cast<int>(::GetSysColor(index));
}

uint32_t RGBtoARGB(uint32_t colour, int opacityPercent) {
    const int opacity = std::clamp(opacityPercent, -100, 100);
    return zelk::RGBtoARGB(colour, opacity, [](int index) { return ::GetSysColor(index); })
        .value_or(0);
}

} // namespace zelk
