#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/colour.h"
#include "core/list_model.h"
#include "core/list_properties.h"
#include "core/theme.h"

namespace zelk {

struct PaintRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const PaintRect&) const = default;
};

enum class Glyph { CheckOn, CheckOff, SubMenuArrow, Search };

// DrawTextW flags the painter uses.
inline constexpr uint32_t kTextLeft = 0x40024; // DT_VCENTER|DT_SINGLELINE|DT_WORD_ELLIPSIS
inline constexpr uint32_t kTextRight = 0x26;   // DT_RIGHT|DT_VCENTER|DT_SINGLELINE

struct TextStyle {
    bool bold = false;
    int sizeDelta = 0; // points relative to the control's font
    bool operator==(const TextStyle&) const = default;
};

// What the list draws on. The Windows side draws with GDI and GDI+ into a back buffer and
// presents it once; tests record the operations.
class Canvas {
public:
    virtual ~Canvas() = default;
    virtual void Clear(Colour colour) = 0;
    virtual void FillSolid(const PaintRect& rect, Colour colour) = 0;
    virtual void DrawSolidLine(int x1, int y1, int x2, int y2, Colour colour) = 0;
    virtual void FillGradient(int x, int y, int width, int height, uint32_t argbTop,
                              uint32_t argbBottom) = 0;
    virtual void DrawRoundRect(int x, int y, int width, int height, uint32_t argbFill,
                               uint32_t argbBorder, int radius) = 0;
    virtual void DrawText(const std::wstring& text, const PaintRect& rect, uint32_t flags,
                          Colour colour, const TextStyle& style) = 0;
    virtual int MeasureText(const std::wstring& text, const TextStyle& style) = 0;
    virtual int TextHeight() = 0;
    // image: 1-based position in the image list.
    virtual void DrawImage(int image, int x, int y, int width, int height,
                           std::optional<Colour> tint, bool disabled) = 0;
    virtual void DrawGlyph(Glyph glyph, const PaintRect& rect, Colour colour) = 0;
    virtual void Present() = 0;
};

// Everything one paint reads. The row height is in and out: a host drawing a row may change
// it for the rest of the paint and it stays so.
struct ListPaintInput {
    const ListModel* model = nullptr;
    const ListProperties* properties = nullptr;
    SystemColourResolver resolve;
    double scale = 1.0;
    HighContrast highContrast; // the system's colours while high contrast is on
    int width = 0, height = 0; // ScaleWidth, ScaleHeight
    int headerHeight = 0;      // T
    int rowHeight = 0;         // H
    bool scrollBarVisible = false;
    int scrollBarLeft = 0;
    int scrollValue = 0, scrollMax = 0;
    bool pressed = false;
    int imageCount = 0, imageWidth = 0, imageHeight = 0;
    bool filterShown = false;
    std::wstring filterText;
    PaintRect filterBox; // the filter text box: left, top, right, bottom
    // ItemCustomDraw(Index, Left, Top, Width, Height), raised after each drawn row. Changes
    // count for the rest of the paint: the next row follows at Top + Height, spans Left to
    // Left + Width, and is the one after Index (a host that drew rows itself moves Index on;
    // it cannot move it back).
    std::function<void(long&, int&, int&, int&, int&)> itemCustomDraw;
};

struct ListPaintResult {
    Colour lineColor; // the stored LineColor, replaced at every paint
    int rowHeight;
    // Where each row was drawn, by row number; an empty rectangle for a row not drawn (hidden,
    // or scrolled out of the view). Screen readers are shown the rows exactly there.
    std::vector<PaintRect> rows{};
};

ListPaintResult PaintList(ListPaintInput& input, Canvas& canvas);

// Thumb colour of the owner-drawn scroll bar: state 0 normal, 1 pressed, 2 hot.
Colour ThumbColour(Colour back, int state, const HighContrast& highContrast = std::nullopt);

} // namespace zelk
