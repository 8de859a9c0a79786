#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <tuple>

#include "core/shadow_geometry.h"

using namespace zelk;

TEST(ShadowGeometry, BlurMatchesTheNaiveSumOnRandomImages) {
    std::mt19937 random(1234);
    for (int round = 0; round < 30; ++round) {
        const int w = 1 + static_cast<int>(random() % 40);
        const int h = 1 + static_cast<int>(random() % 40);
        const int k = static_cast<int>(random() % 7);
        std::vector<uint8_t> alpha(static_cast<size_t>(w * h));
        for (auto& a : alpha) {
            a = static_cast<uint8_t>(random() % 4 == 0 ? 0 : random() % 256);
        }
        SCOPED_TRACE(testing::Message() << w << "x" << h << " k=" << k);
        ASSERT_EQ(BlurAlpha(alpha, w, h, k), BlurAlphaNaive(alpha, w, h, k));
    }
}

TEST(ShadowGeometry, EachOffsetWidensTheLayerOnItsOwnAxisAndSide) {
    struct Case {
        int offsetX, offsetY;
        int layerWidth, layerHeight, layerOffsetX, layerOffsetY;
        LayerRect frame, shadow;
        int ownerX, ownerY;   // inside the layer
        int windowX, windowY; // for an owner at (500, 300)
    };
    // Margin 1, border 1, shadow 3: the inset is 8; owner 100 x 50.
    const Case cases[] = {
        {2, 5, 118, 71, 0, 0, {6, 6, 103, 53}, {2, 5, 116, 66}, 7, 7, 492, 292},
        {-4, -3, 120, 69, -4, -3, {10, 9, 103, 53}, {0, 0, 116, 66}, 11, 10, 488, 289},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.offsetX << "," << c.offsetY);
        ShadowSettings st;
        st.Margin = 1;
        st.ShadowOffsetX = c.offsetX;
        st.ShadowOffsetY = c.offsetY;
        const ShadowLayout l = ComputeShadowLayout(st, 1.0, 100, 50);
        int x = 0, y = 0;
        ShadowPositionForOwner(st, 1.0, 500, 300, x, y);
        EXPECT_EQ(std::tuple(l.inset, l.layerWidth, l.layerHeight, l.layerOffsetX, l.layerOffsetY,
                             l.ownerOriginX, l.ownerOriginY, x, y),
                  std::tuple(8, c.layerWidth, c.layerHeight, c.layerOffsetX, c.layerOffsetY,
                             c.ownerX, c.ownerY, c.windowX, c.windowY));
        EXPECT_EQ(l.frame, c.frame);
        EXPECT_EQ(l.shadowDestination, c.shadow);
    }
}

TEST(ShadowGeometry, AShadowNeedsASizeAndAnOpacity) {
    const std::pair<ShadowSettings, bool> cases[] = {
        {{0, 1, 1, 1}, true},
        {{0, 1, 0, 8}, false},
        {{0, 1, 3, 0}, false},
    };
    for (const auto& [st, draws] : cases) {
        EXPECT_EQ(ComputeShadowLayout(st, 1.0, 10, 10).drawsShadow, draws)
            << st.ShadowSize << "/" << st.ShadowOpacity;
    }
}

// Corners are copied one to one, the edges stretched from the template's middle, and the
// slices meet with no column or row left out, whatever the stretch.
TEST(ShadowGeometry, NineSliceImageMeetsWithoutSeams) {
    const int size = 6, c = 2; // template pixels numbered by position
    std::vector<uint32_t> tpl(size * size);
    for (uint32_t i = 0; i < tpl.size(); ++i) {
        tpl[i] = i + 1;
    }
    for (const int width : {11, 40}) {
        SCOPED_TRACE(width);
        const auto out = NineSliceImage(tpl, size, {1, 1, width - 2, 9}, c, width, 11);
        const auto at = [&](int x, int y) { return out[static_cast<size_t>(y * width + x)]; };
        EXPECT_EQ(at(0, 0), 0u); // outside the destination
        EXPECT_EQ(at(1, 1), tpl[0]);
        EXPECT_EQ(at(width - 2, 9), tpl[35]); // the far corner's last pixel
        EXPECT_EQ(at(width / 2, 5), 0u);      // the centre is left to the frame
        const long painted = std::count_if(out.begin(), out.end(), [](uint32_t p) { return p; });
        EXPECT_EQ(painted, (width - 2) * 9 - (width - 2 - 2 * c) * (9 - 2 * c)); // and no more
        std::vector<uint32_t> top; // the top row: the template's first row, in order, whole
        for (int x = 1; x < width - 1; ++x) {
            top.push_back(at(x, 1));
        }
        EXPECT_TRUE(std::is_sorted(top.begin(), top.end()));
        EXPECT_EQ(std::set<uint32_t>(top.begin(), top.end()),
                  (std::set<uint32_t>{1, 2, 3, 4, 5, 6}));
        EXPECT_EQ(at(1 + c, 1), tpl[2]); // the first middle column: no gap after the corner
        EXPECT_EQ(at(width - 2 - c, 1), tpl[3]);
    }
    EXPECT_EQ(NineSliceSource(0, 3, 6, 2), 0); // shorter than two corners: each keeps its half
    EXPECT_EQ(NineSliceSource(2, 3, 6, 2), 5);
}

TEST(ShadowGeometry, PremultipliedPixels) {
    EXPECT_EQ(PremultipliedPixel(0x0000FF, 0), 0u);
    EXPECT_EQ(PremultipliedPixel(0x0000FF, 255), 0xFFFF0000u);
    EXPECT_EQ(PremultipliedPixel(0x0080FF, 128), 0x80804000u); // 128×255/255, 128×128/255 = 64
}
