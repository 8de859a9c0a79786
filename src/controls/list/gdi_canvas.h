#pragma once

#include <windows.h>

#include <map>
#include <utility>

#include "core/list_painter.h"
#include "win/gdi.h"

namespace zelk {

class ImageList;

// Which glyph fonts this system has; found once per list.
struct GlyphFonts {
    bool symbolFont = false; // "Segoe MDL2 Assets"
    bool wingdings2 = false;
    bool wingdings3 = false;
    static GlyphFonts Detect();
};

// The list's drawing surface: GDI text and lines, GDI+ for anything anti-aliased, all into
// a back buffer that is presented in one copy.
class GdiCanvas : public Canvas {
public:
    GdiCanvas(DibSurface& surface, const FontDesc& font, double scale, const ImageList* images,
              const GlyphFonts& glyphs, HWND present);

    void Clear(Colour colour) override;
    void FillSolid(const PaintRect& rect, Colour colour) override;
    void DrawSolidLine(int x1, int y1, int x2, int y2, Colour colour) override;
    void FillGradient(int x, int y, int width, int height, uint32_t argbTop,
                      uint32_t argbBottom) override;
    void DrawRoundRect(int x, int y, int width, int height, uint32_t argbFill, uint32_t argbBorder,
                       int radius) override;
    void DrawText(const std::wstring& text, const PaintRect& rect, uint32_t flags, Colour colour,
                  const TextStyle& style) override;
    int MeasureText(const std::wstring& text, const TextStyle& style) override;
    int TextHeight() override;
    void DrawImage(int image, int x, int y, int width, int height, std::optional<Colour> tint,
                   bool disabled) override;
    void DrawGlyph(Glyph glyph, const PaintRect& rect, Colour colour) override;
    void Present() override;

private:
    HFONT Font(const TextStyle& style);
    HFONT GlyphFont(const wchar_t* face, int points);
    void DrawVectorGlyph(Glyph glyph, const PaintRect& rect, Colour colour);

    DibSurface& surface_;
    FontDesc font_;
    double scale_;
    const ImageList* images_;
    GlyphFonts glyphs_;
    HWND present_;
    std::map<std::pair<bool, int>, unique_hfont> fonts_;
    std::map<std::pair<std::wstring, int>, unique_hfont> glyphFonts_;
};

// Point size to a font height for the screen's DPI.
int FontHeightForPoints(double points);

} // namespace zelk
