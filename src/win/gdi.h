#pragma once

#include <windows.h>

#include <memory>

#include "win/gdiplus_include.h"
#include "win/unique_handle.h"

namespace zelk {

// GDI objects are freed with DeleteObject, memory DCs with DeleteDC.
using unique_gdi_object = unique_handle<HandleTraits<HGDIOBJ, ::DeleteObject>>;
using unique_hbitmap = unique_handle<HandleTraits<HBITMAP, ::DeleteObject>>;
using unique_hfont = unique_handle<HandleTraits<HFONT, ::DeleteObject>>;
using unique_hbrush = unique_handle<HandleTraits<HBRUSH, ::DeleteObject>>;
using unique_hpen = unique_handle<HandleTraits<HPEN, ::DeleteObject>>;
using unique_hrgn = unique_handle<HandleTraits<HRGN, ::DeleteObject>>;
using unique_memory_dc = unique_handle<HandleTraits<HDC, ::DeleteDC>>;

// An object selected into a DC for as long as the scope lasts.
class SelectScope {
public:
    SelectScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~SelectScope() { ::SelectObject(dc_, previous_); }
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// GetDC / ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND hwnd) : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
    ~WindowDC() { ::ReleaseDC(hwnd_, dc_); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// BeginPaint / EndPaint.
class PaintScope {
public:
    explicit PaintScope(HWND hwnd) : hwnd_(hwnd) { dc_ = ::BeginPaint(hwnd, &ps_); }
    ~PaintScope() { ::EndPaint(hwnd_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC get() const { return dc_; }
    const RECT& area() const { return ps_.rcPaint; }

private:
    HWND hwnd_;
    HDC dc_;
    PAINTSTRUCT ps_{};
};

// GdiplusStartup / GdiplusShutdown: every object that draws with GDI+ holds one.
class GdiplusSession {
public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession() {
        if (ok_) {
            Gdiplus::GdiplusShutdown(token_);
        }
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool ok() const { return ok_; }

private:
    ULONG_PTR token_ = 0;
    bool ok_ = false;
};

// A 32-bit top-down DIB section selected into its own memory DC: the back buffer that a
// control draws into and presents in one copy.
class DibSurface {
public:
    DibSurface() = default;
    DibSurface(int width, int height, bool topDown = true);
    // The selection refers to the DC and bitmap: hold a surface by pointer to replace it.
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;
    HDC dc() const { return dc_.get(); }
    HBITMAP bitmap() const { return bitmap_.get(); }
    uint32_t* pixels() const { return pixels_; }
    int width() const { return width_; }
    int height() const { return height_; }
    explicit operator bool() const { return pixels_ != nullptr; }

private:
    unique_memory_dc dc_;
    unique_hbitmap bitmap_;
    std::unique_ptr<SelectScope> selection_;
    uint32_t* pixels_ = nullptr;
    int width_ = 0, height_ = 0;
};

// The screen's logical pixels per inch / 96, 1.0 when the device reports 0.
double ScreenScale();

// A system colour (top bit set) as it looks now; other colours as they are.
COLORREF ResolveSystemColour(uint32_t colour);
int SystemColourIndexToRgb(int index);

// GDI+ ARGB from a 0x00BBGGRR colour or a system colour; opacity in percent (clamped).
uint32_t RGBtoARGB(uint32_t colour, int opacityPercent);

} // namespace zelk
