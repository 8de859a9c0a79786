#pragma once

#include <cstdint>
#include <vector>

namespace zelk {

// The logical settings of a drop shadow and border around an owner window.
struct ShadowSettings {
    int Margin = 0;
    int BorderWidth = 1;
    int ShadowSize = 3;
    int ShadowOpacity = 8;
    int ShadowOffsetX = 0;
    int ShadowOffsetY = 0;
    int BorderRadius = 10;
    bool operator==(const ShadowSettings&) const = default;
};

struct LayerRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const LayerRect&) const = default;
};

// Every size the shadow window needs, in device pixels, for an owner of the given size.
struct ShadowLayout {
    int inset; // P: layer edge to owner edge, before offsets
    int layerWidth, layerHeight;
    int layerOffsetX; // where the layer goes relative to owner origin - P (negative offsets)
    int layerOffsetY;
    int templateSize; // St
    int blurRadius;   // k
    LayerRect frame;  // the frame path's rectangle inside the layer
    int frameRadius;
    LayerRect shadowDestination;    // nine-slice destination of the template
    int templateSource;             // nine-slice source width and height
    int corner;                     // nine-slice corner
    int ownerOriginX, ownerOriginY; // the owner's area inside the layer (for the hole)
    bool drawsShadow;
    bool operator==(const ShadowLayout&) const = default;
};
ShadowLayout ComputeShadowLayout(const ShadowSettings& settings, double scale, int ownerWidth,
                                 int ownerHeight);

// Where the shadow window goes when its owner moves to (x, y).
void ShadowPositionForOwner(const ShadowSettings& settings, double scale, int ownerX, int ownerY,
                            int& x, int& y);

// Which source pixel a nine-slice copy takes for the destination pixel at offset t along one
// axis: the first and last `corner` pixels one to one, the middle stretched to the nearest
// source pixel. Every destination pixel has exactly one source, so the slices meet without
// a gap or a blend with what lies outside the source.
int NineSliceSource(int t, int destinationLength, int sourceLength, int corner);

// A square template (size × size pixels) nine-sliced onto a width × height image at the
// destination rectangle; the centre, which the frame covers, and everything outside stay 0.
std::vector<uint32_t> NineSliceImage(const std::vector<uint32_t>& tpl, int size,
                                     const LayerRect& destination, int corner, int width,
                                     int height);

// A box blur of an alpha plane over a (2k + 1)² window whose output is 2k larger in each
// direction; running sums make the cost per output pixel independent of k.
std::vector<uint8_t> BlurAlpha(const std::vector<uint8_t>& alpha, int width, int height, int k);
// The same by direct summation: the reference the fast one is tested against.
std::vector<uint8_t> BlurAlphaNaive(const std::vector<uint8_t>& alpha, int width, int height,
                                    int k);

// One blurred alpha as a premultiplied pixel of the shadow colour (0x00BBGGRR in, BGRA out).
uint32_t PremultipliedPixel(uint32_t colour, uint8_t alpha);

} // namespace zelk
