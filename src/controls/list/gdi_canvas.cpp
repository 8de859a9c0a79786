#include "controls/list/gdi_canvas.h"

#include "controls/ClsShadow.h"
#include "controls/list/image_list.h"
#include "core/rounding.h"

namespace zelk {

namespace {

bool FontExists(const wchar_t* face) {
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    wcsncpy_s(lf.lfFaceName, face, _TRUNCATE);
    unique_hfont font(::CreateFontIndirectW(&lf));
    WindowDC screen(nullptr);
    SelectScope select(screen.get(), font.get());
    wchar_t actual[LF_FACESIZE] = {};
    ::GetTextFaceW(screen.get(), LF_FACESIZE, actual);
    return ::_wcsicmp(actual, face) == 0;
}

Gdiplus::Color GdipColour(Colour c, BYTE alpha = 255) {
    const COLORREF rgb = ResolveSystemColour(c);
    return Gdiplus::Color(alpha, GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

} // namespace

GlyphFonts GlyphFonts::Detect() {
    GlyphFonts g;
    g.symbolFont = FontExists(L"Segoe MDL2 Assets");
    if (!g.symbolFont) {
        g.wingdings2 = FontExists(L"Wingdings 2");
        g.wingdings3 = FontExists(L"Wingdings 3");
    }
    return g;
}

int FontHeightForPoints(double points) {
    WindowDC screen(nullptr);
    return -static_cast<int>(
        RoundHalfEven(points * ::GetDeviceCaps(screen.get(), LOGPIXELSY) / 72.0));
}

GdiCanvas::GdiCanvas(DibSurface& surface, const FontDesc& font, double scale,
                     const ImageList* images, const GlyphFonts& glyphs, HWND present)
    : surface_(surface), font_(font), scale_(scale), images_(images), glyphs_(glyphs),
      present_(present) {
    ::SetBkMode(surface_.dc(), TRANSPARENT);
}

HFONT GdiCanvas::Font(const TextStyle& style) {
    auto& slot = fonts_[{style.bold, style.sizeDelta}];
    if (!slot) {
        LOGFONTW lf{};
        lf.lfHeight = FontHeightForPoints(font_.size + style.sizeDelta);
        lf.lfWeight = (font_.bold || style.bold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = font_.italic;
        lf.lfUnderline = font_.underline;
        lf.lfStrikeOut = font_.strikethrough;
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfQuality = CLEARTYPE_QUALITY;
        wcsncpy_s(lf.lfFaceName, font_.name.c_str(), _TRUNCATE);
        slot.reset(::CreateFontIndirectW(&lf));
    }
    return slot.get();
}

HFONT GdiCanvas::GlyphFont(const wchar_t* face, int points) {
    auto& slot = glyphFonts_[{face, points}];
    if (!slot) {
        LOGFONTW lf{};
        lf.lfHeight = FontHeightForPoints(points);
        lf.lfCharSet = SYMBOL_CHARSET;
        wcsncpy_s(lf.lfFaceName, face, _TRUNCATE);
        slot.reset(::CreateFontIndirectW(&lf));
    }
    return slot.get();
}

void GdiCanvas::Clear(Colour colour) {
    FillSolid({0, 0, surface_.width(), surface_.height()}, colour);
}

void GdiCanvas::FillSolid(const PaintRect& r, Colour colour) {
    unique_hbrush brush(::CreateSolidBrush(ResolveSystemColour(colour)));
    RECT rect{r.left, r.top, r.right, r.bottom};
    ::FillRect(surface_.dc(), &rect, brush.get());
}

void GdiCanvas::DrawSolidLine(int x1, int y1, int x2, int y2, Colour colour) {
    unique_hpen pen(::CreatePen(PS_SOLID, 1, ResolveSystemColour(colour)));
    SelectScope select(surface_.dc(), pen.get());
    ::MoveToEx(surface_.dc(), x1, y1, nullptr);
    ::LineTo(surface_.dc(), x2, y2);
}

void GdiCanvas::FillGradient(int x, int y, int width, int height, uint32_t argbTop,
                             uint32_t argbBottom) {
    if (width <= 0 || height <= 0) {
        return;
    }
    Gdiplus::Graphics g(surface_.dc());
    Gdiplus::LinearGradientBrush brush(Gdiplus::Rect(x, y, width, height), Gdiplus::Color(argbTop),
                                       Gdiplus::Color(argbBottom), 90.0f, FALSE);
    brush.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    g.FillRectangle(&brush, x, y, width, height);
}

void GdiCanvas::DrawRoundRect(int x, int y, int width, int height, uint32_t argbFill,
                              uint32_t argbBorder, int radius) {
    Gdiplus::Graphics g(surface_.dc());
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    Gdiplus::GraphicsPath path;
    BuildRoundPath(path, x, y, width, height, radius);
    if (argbFill != 0) {
        Gdiplus::SolidBrush brush{Gdiplus::Color(argbFill)};
        g.FillPath(&brush, &path);
    }
    if (argbBorder != 0) {
        Gdiplus::Pen pen(Gdiplus::Color(argbBorder), static_cast<Gdiplus::REAL>(scale_));
        g.DrawPath(&pen, &path);
    }
}

void GdiCanvas::DrawText(const std::wstring& text, const PaintRect& r, uint32_t flags,
                         Colour colour, const TextStyle& style) {
    SelectScope select(surface_.dc(), Font(style));
    ::SetTextColor(surface_.dc(), ResolveSystemColour(colour));
    RECT rect{r.left, r.top, r.right, r.bottom};
    ::DrawTextW(surface_.dc(), text.c_str(), static_cast<int>(text.size()), &rect, flags);
}

int GdiCanvas::MeasureText(const std::wstring& text, const TextStyle& style) {
    if (text.empty()) {
        return 0;
    }
    SelectScope select(surface_.dc(), Font(style));
    RECT rect{0, 0, 0, 0};
    ::DrawTextW(surface_.dc(), text.c_str(), static_cast<int>(text.size()), &rect,
                DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
    return rect.right - rect.left;
}

int GdiCanvas::TextHeight() {
    SelectScope select(surface_.dc(), Font({}));
    RECT rect{0, 0, 0, 0};
    ::DrawTextW(surface_.dc(), L"\u00C0j", 2, &rect, DT_CALCRECT | DT_SINGLELINE);
    return rect.bottom - rect.top;
}

void GdiCanvas::DrawImage(int image, int x, int y, int width, int height,
                          std::optional<Colour> tint, bool disabled) {
    if (images_ != nullptr) {
        images_->ImageListDraw(surface_.dc(), image, x, y, width, height, tint, disabled);
    }
}

void GdiCanvas::DrawGlyph(Glyph glyph, const PaintRect& r, Colour colour) {
    const wchar_t* face = nullptr;
    wchar_t character = 0;
    int points = 12;
    if (glyphs_.symbolFont) {
        face = L"Segoe MDL2 Assets";
        character = glyph == Glyph::CheckOn        ? 0xE005
                    : glyph == Glyph::CheckOff     ? 0xE003
                    : glyph == Glyph::SubMenuArrow ? 0xE970
                                                   : 0xE094;
        points = glyph == Glyph::SubMenuArrow ? static_cast<int>(font_.size) : 12;
    } else if ((glyph == Glyph::CheckOn || glyph == Glyph::CheckOff) && glyphs_.wingdings2) {
        face = L"Wingdings 2";
        character = glyph == Glyph::CheckOn ? 82 : 163;
        points = 14;
    } else if (glyph == Glyph::SubMenuArrow && glyphs_.wingdings3) {
        face = L"Wingdings 3";
        character = 125;
        points = static_cast<int>(font_.size);
    }
    if (face == nullptr) {
        // Neither font on this system: draw the glyph instead of showing a missing-glyph box.
        DrawVectorGlyph(glyph, r, colour);
        return;
    }
    SelectScope select(surface_.dc(), GlyphFont(face, points));
    ::SetTextColor(surface_.dc(), ResolveSystemColour(colour));
    RECT rect{r.left, r.top, r.right, r.bottom};
    ::DrawTextW(surface_.dc(), &character, 1, &rect,
                glyph == Glyph::Search ? DT_VCENTER | DT_SINGLELINE
                                       : DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void GdiCanvas::DrawVectorGlyph(Glyph glyph, const PaintRect& r, Colour colour) {
    Gdiplus::Graphics g(surface_.dc());
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    const float s = static_cast<float>(scale_);
    const float cx = static_cast<float>(r.left + r.right) / 2.0f;
    const float cy = static_cast<float>(r.top + r.bottom) / 2.0f;
    Gdiplus::Pen pen(GdipColour(colour), 1.5f * s);
    pen.SetLineJoin(Gdiplus::LineJoinRound);
    pen.SetStartCap(Gdiplus::LineCapRound);
    pen.SetEndCap(Gdiplus::LineCapRound);
    switch (glyph) {
    case Glyph::CheckOn:
    case Glyph::CheckOff: {
        const float half = 6.0f * s;
        Gdiplus::GraphicsPath box;
        BuildRoundPath(box, static_cast<int>(cx - half), static_cast<int>(cy - half),
                       static_cast<int>(2 * half), static_cast<int>(2 * half),
                       static_cast<int>(4 * s));
        g.DrawPath(&pen, &box);
        if (glyph == Glyph::CheckOn) {
            const Gdiplus::PointF tick[] = {{cx - 3.5f * s, cy + 0.2f * s},
                                            {cx - 1.0f * s, cy + 2.8f * s},
                                            {cx + 3.8f * s, cy - 2.8f * s}};
            g.DrawLines(&pen, tick, 3);
        }
        break;
    }
    case Glyph::SubMenuArrow: {
        const Gdiplus::PointF chevron[] = {
            {cx - 1.5f * s, cy - 4.0f * s}, {cx + 2.5f * s, cy}, {cx - 1.5f * s, cy + 4.0f * s}};
        g.DrawLines(&pen, chevron, 3);
        break;
    }
    case Glyph::Search: {
        const float lx = static_cast<float>(r.left) + 4.0f * s;
        const float radius = 4.0f * s;
        g.DrawEllipse(&pen, lx, cy - radius - 1.5f * s, 2 * radius, 2 * radius);
        g.DrawLine(&pen, lx + 2 * radius - 1.0f * s, cy + radius - 2.5f * s,
                   lx + 2 * radius + 3.0f * s, cy + radius + 1.5f * s);
        break;
    }
    }
}

void GdiCanvas::Present() {
    if (present_ == nullptr) {
        return;
    }
    WindowDC dc(present_);
    ::BitBlt(dc.get(), 0, 0, surface_.width(), surface_.height(), surface_.dc(), 0, 0, SRCCOPY);
}

} // namespace zelk
