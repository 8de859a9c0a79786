#include "core/shadow_geometry.h"

#include <algorithm>
#include <cstdlib>

#include "core/rounding.h"

namespace zelk {

namespace {

int Round(double v) {
    return static_cast<int>(RoundHalfEven(v));
}

} // namespace

ShadowLayout ComputeShadowLayout(const ShadowSettings& st, double s, int ownerWidth,
                                 int ownerHeight) {
    ShadowLayout l{};
    l.inset = Round((2.0 * st.ShadowSize + st.BorderWidth + st.Margin) * s);
    l.layerWidth = Round(std::abs(st.ShadowOffsetX) * s + 2 * l.inset + ownerWidth);
    l.layerHeight = Round(std::abs(st.ShadowOffsetY) * s + 2 * l.inset + ownerHeight);
    l.layerOffsetX = st.ShadowOffsetX < 0 ? Round(st.ShadowOffsetX * s) : 0;
    l.layerOffsetY = st.ShadowOffsetY < 0 ? Round(st.ShadowOffsetY * s) : 0;
    l.templateSize = Round((4.0 * st.ShadowSize + 2.0 * st.BorderRadius) * s);
    l.blurRadius = Round(st.ShadowSize * s);

    const auto origin = [&](int offset, double base) {
        int v = Round(base * s);
        if (offset < 0) {
            v = Round(v - offset * s);
        }
        return std::max(v, 0);
    };
    const double frameBase = 2.0 * st.ShadowSize + st.BorderWidth / 2.0;
    const double extra = (2.0 * st.Margin + st.BorderWidth) * s;
    l.frame = {origin(st.ShadowOffsetX, frameBase), origin(st.ShadowOffsetY, frameBase),
               Round(extra + ownerWidth), Round(extra + ownerHeight)};
    l.frameRadius = Round(s * st.BorderRadius);

    l.shadowDestination = {st.ShadowOffsetX > 0 ? Round(st.ShadowOffsetX * s) : 0,
                           st.ShadowOffsetY > 0 ? Round(st.ShadowOffsetY * s) : 0,
                           Round(l.layerWidth - std::abs(st.ShadowOffsetX) * s),
                           Round(l.layerHeight - std::abs(st.ShadowOffsetY) * s)};
    l.templateSource = Round(2.0 * st.ShadowSize * s + l.templateSize);
    l.corner = Round(s * (2.0 * st.ShadowSize + st.BorderRadius));

    const double ownerBase = 2.0 * st.ShadowSize + st.BorderWidth;
    l.ownerOriginX = origin(st.ShadowOffsetX, ownerBase);
    l.ownerOriginY = origin(st.ShadowOffsetY, ownerBase);
    l.drawsShadow = st.ShadowSize >= 1 && st.ShadowOpacity >= 1;
    return l;
}

void ShadowPositionForOwner(const ShadowSettings& st, double s, int ownerX, int ownerY, int& x,
                            int& y) {
    const double inset = (2.0 * st.ShadowSize + st.BorderWidth + st.Margin) * s;
    x = Round(ownerX - inset);
    y = Round(ownerY - inset);
    if (st.ShadowOffsetX < 0) {
        x = Round(x + st.ShadowOffsetX * s);
    }
    if (st.ShadowOffsetY < 0) {
        y = Round(y + st.ShadowOffsetY * s);
    }
}

int NineSliceSource(int t, int destinationLength, int sourceLength, int corner) {
    const int dl = destinationLength, sl = sourceLength, c = corner;
    int source = 0;
    if (dl < 2 * c) {
        source = t < dl / 2 ? t : sl - (dl - t); // corners only, each keeping its own half
    } else if (t < c) {
        source = t;
    } else if (t >= dl - c) {
        source = sl - (dl - t);
    } else if (sl > 2 * c) {
        // The middle, each destination pixel taking the source pixel under its centre.
        const long long dm = dl - 2 * c, sm = sl - 2 * c;
        source = c + static_cast<int>((2LL * (t - c) + 1) * sm / (2 * dm));
    } else {
        source = c;
    }
    return std::clamp(source, 0, sl - 1);
}

std::vector<uint32_t> NineSliceImage(const std::vector<uint32_t>& tpl, int size, const LayerRect& d,
                                     int corner, int width, int height) {
    std::vector<uint32_t> out(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    if (size <= 0 || tpl.size() < static_cast<size_t>(size) * static_cast<size_t>(size)) {
        return out;
    }
    const int top = std::max(d.y, 0), bottom = std::min(d.y + d.height, height);
    const int left = std::max(d.x, 0), right = std::min(d.x + d.width, width);
    for (int y = top; y < bottom; ++y) {
        const int ty = y - d.y;
        const int sy = NineSliceSource(ty, d.height, size, corner);
        const bool middleRow = ty >= corner && ty < d.height - corner;
        for (int x = left; x < right; ++x) {
            const int tx = x - d.x;
            if (middleRow && tx >= corner && tx < d.width - corner) {
                x = d.x + d.width - corner - 1; // the centre lies under the frame
                continue;
            }
            out[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
                tpl[static_cast<size_t>(sy) * static_cast<size_t>(size) +
                    static_cast<size_t>(NineSliceSource(tx, d.width, size, corner))];
        }
    }
    return out;
}

std::vector<uint8_t> BlurAlpha(const std::vector<uint8_t>& alpha, int width, int height, int k) {
    const int d = 2 * std::max(k, 0);
    const int outW = width + d;
    const int outH = height + d;
    const int window = d + 1;
    const long long area = static_cast<long long>(window) * window;
    std::vector<uint8_t> out(static_cast<size_t>(outW) * static_cast<size_t>(outH), 0);
    if (width <= 0 || height <= 0) {
        return out;
    }
    // Column sums over the rows currently in the window, updated one row at a time.
    std::vector<long long> columns(static_cast<size_t>(width), 0);
    for (int y = 0; y < outH; ++y) {
        const int entering = y;         // source row joining the window
        const int leaving = y - window; // source row leaving it
        if (entering < height) {
            for (int x = 0; x < width; ++x) {
                columns[static_cast<size_t>(x)] +=
                    alpha[static_cast<size_t>(entering) * static_cast<size_t>(width) +
                          static_cast<size_t>(x)];
            }
        }
        if (leaving >= 0 && leaving < height) {
            for (int x = 0; x < width; ++x) {
                columns[static_cast<size_t>(x)] -=
                    alpha[static_cast<size_t>(leaving) * static_cast<size_t>(width) +
                          static_cast<size_t>(x)];
            }
        }
        long long total = 0;
        for (int x = 0; x < outW; ++x) {
            if (x < width) {
                total += columns[static_cast<size_t>(x)];
            }
            if (x - window >= 0 && x - window < width) {
                total -= columns[static_cast<size_t>(x - window)];
            }
            out[static_cast<size_t>(y) * static_cast<size_t>(outW) + static_cast<size_t>(x)] =
                static_cast<uint8_t>(total / area);
        }
    }
    return out;
}

std::vector<uint8_t> BlurAlphaNaive(const std::vector<uint8_t>& alpha, int width, int height,
                                    int k) {
    const int d = 2 * std::max(k, 0);
    const int outW = width + d;
    const int outH = height + d;
    const long long area = static_cast<long long>(d + 1) * (d + 1);
    std::vector<uint8_t> out(static_cast<size_t>(outW) * static_cast<size_t>(outH), 0);
    for (int y = 0; y < outH; ++y) {
        for (int x = 0; x < outW; ++x) {
            long long sum = 0;
            for (int sy = std::max(0, y - d); sy <= std::min(y, height - 1); ++sy) {
                for (int sx = std::max(0, x - d); sx <= std::min(x, width - 1); ++sx) {
                    sum += alpha[static_cast<size_t>(sy) * static_cast<size_t>(width) +
                                 static_cast<size_t>(sx)];
                }
            }
            out[static_cast<size_t>(y) * static_cast<size_t>(outW) + static_cast<size_t>(x)] =
                static_cast<uint8_t>(sum / area);
        }
    }
    return out;
}

uint32_t PremultipliedPixel(uint32_t colour, uint8_t alpha) {
    if (alpha == 0) {
        return 0;
    }
    const uint32_t r = colour & 0xFF;
    const uint32_t g = (colour >> 8) & 0xFF;
    const uint32_t b = (colour >> 16) & 0xFF;
    if (alpha == 255) {
        return 0xFF000000u | r << 16 | g << 8 | b;
    }
    return static_cast<uint32_t>(alpha) << 24 | (alpha * r / 255) << 16 | (alpha * g / 255) << 8 |
           (alpha * b / 255);
}

} // namespace zelk
