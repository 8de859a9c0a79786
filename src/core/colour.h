#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace zelk {

// Colours are 0x00BBGGRR; a value with the top bit set names a system colour by the index
// in its low byte and must be resolved before its channels mean anything.
using Colour = uint32_t;
using SystemColourResolver = std::function<Colour(int index)>;

inline constexpr Colour kSystemHighlight = 0x8000000D;
inline constexpr Colour kSystemActiveBorder = 0x8000000A;
inline constexpr Colour kSystem3DFace = 0x8000000F;

inline bool IsSystemColour(Colour c) {
    return (c & 0x80000000u) != 0;
}
Colour ResolveColour(Colour c, const SystemColourResolver& resolve);

// Per channel (a × w + b × (255 - w)) / 255 rounded to the nearest; the top byte is a's.
Colour BlendColors(Colour a, Colour b, int weight);
// (R + 3 × G + B) / 2 below 382.
bool IsDarkColor(Colour c);

// A GDI+ ARGB value with opacity in percent; nullopt when |opacity| exceeds 100 (the
// alpha would not fit a byte).
std::optional<uint32_t> RGBtoARGB(Colour colour, int opacityPercent,
                                  const SystemColourResolver& resolve);

// The colours a list derives from its back colour B and selection colour S at each paint.
struct ListPalette {
    Colour contrast;      // C: text and glyphs on B
    Colour selectionText; // text on S
    Colour hover;
    Colour line;         // separators and row lines
    Colour disabledText; // BlendColors(C, B, 120)
};
ListPalette DerivePalette(Colour back, Colour selection);

// The 5 × 5 GDI+ colour matrix that draws an image as it is (no tint, enabled), as a
// silhouette in one colour (tint), and/or in luminance grey (disabled).
using ColourMatrix = std::array<std::array<float, 5>, 5>;
ColourMatrix ImageColourMatrix(std::optional<Colour> resolvedTint, bool disabled);

// Where an image of w0 × h0 lands in a cell: scaled to fit keeping its aspect, centred.
struct FittedImage {
    int x, y, width, height;
    bool operator==(const FittedImage&) const = default;
};
FittedImage FitImageInCell(int w0, int h0, int cellWidth, int cellHeight);

} // namespace zelk
