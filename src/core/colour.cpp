#include "core/colour.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/rounding.h"

namespace zelk {

namespace {

int Channel(Colour c, int shift) {
    return static_cast<int>((c >> shift) & 0xFF);
}

} // namespace

Colour ResolveColour(Colour c, const SystemColourResolver& resolve) {
    return IsSystemColour(c) && resolve ? (resolve(static_cast<int>(c & 0xFF)) & 0xFFFFFF) : c;
}

Colour BlendColors(Colour a, Colour b, int weight) {
    Colour result = a & 0xFF000000u;
    for (int shift = 0; shift <= 16; shift += 8) {
        const double mixed =
            (Channel(a, shift) * weight + Channel(b, shift) * (255 - weight)) / 255.0;
        const auto value = static_cast<Colour>(std::clamp<long long>(RoundHalfEven(mixed), 0, 255));
        result |= value << shift;
    }
    return result;
}

bool IsDarkColor(Colour c) {
    return (Channel(c, 0) + 3 * Channel(c, 8) + Channel(c, 16)) / 2.0 < 382;
}

std::optional<uint32_t> RGBtoARGB(Colour colour, int opacityPercent,
                                  const SystemColourResolver& resolve) {
    if (std::abs(opacityPercent) > 100) {
        return std::nullopt;
    }
    const Colour c = ResolveColour(colour, resolve);
    const auto alpha = static_cast<uint32_t>(RoundHalfEven(std::abs(opacityPercent) / 100.0 * 255));
    return alpha << 24 | static_cast<uint32_t>(Channel(c, 0)) << 16 |
           static_cast<uint32_t>(Channel(c, 8)) << 8 | static_cast<uint32_t>(Channel(c, 16));
}

ListPalette DerivePalette(Colour back, Colour selection) {
    ListPalette p{};
    p.contrast = IsDarkColor(back) ? 0xFFFFFF : 0x000000;
    p.selectionText = IsDarkColor(selection) ? 0xFFFFFF : 0x000000;
    p.hover =
        IsDarkColor(back) ? BlendColors(back, 0xFFFFFF, 200) : BlendColors(back, 0x000000, 240);
    p.line = BlendColors(p.contrast, back, 50);
    p.disabledText = BlendColors(p.contrast, back, 120);
    return p;
}

ColourMatrix ImageColourMatrix(std::optional<Colour> resolvedTint, bool disabled) {
    ColourMatrix m{};
    for (int i = 0; i < 5; ++i) {
        m[static_cast<size_t>(i)][static_cast<size_t>(i)] = 1.0f;
    }
    if (resolvedTint) {
        const float r = static_cast<float>(Channel(*resolvedTint, 0)) / 255.0f;
        const float g = static_cast<float>(Channel(*resolvedTint, 8)) / 255.0f;
        const float b = static_cast<float>(Channel(*resolvedTint, 16)) / 255.0f;
        m[0] = {r, g, b, 0, 0};
        m[1] = {0, 0, 0, 0, 0};
        m[2] = {0, 0, 0, 0, 0};
        m[3] = {0, 0, 0, 1, 0};
        m[4] = {r, g, b, 0, 1};
    }
    if (disabled) {
        const float grey[3] = {0.299f, 0.587f, 0.114f};
        for (size_t row = 0; row < 3; ++row) {
            for (size_t col = 0; col < 3; ++col) {
                m[row][col] = grey[row];
            }
        }
    }
    return m;
}

FittedImage FitImageInCell(int w0, int h0, int cellWidth, int cellHeight) {
    if (w0 <= 0 || h0 <= 0) {
        return {0, 0, 0, 0};
    }
    const int cw = cellWidth == 0 ? w0 : cellWidth;
    const int ch = cellHeight == 0 ? h0 : cellHeight;
    const float f = std::min(static_cast<float>(cw) / static_cast<float>(w0),
                             static_cast<float>(ch) / static_cast<float>(h0));
    const int dw = static_cast<int>(RoundHalfEven(f * static_cast<float>(w0)));
    const int dh = static_cast<int>(RoundHalfEven(f * static_cast<float>(h0)));
    return {(cw - dw) / 2, (ch - dh) / 2, dw, dh};
}

} // namespace zelk
