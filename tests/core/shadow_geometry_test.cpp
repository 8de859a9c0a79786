#include <gtest/gtest.h>

#include <random>

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

TEST(ShadowGeometry, BlurOfAnOpaqueSquareIsOpaqueInsideAndFadesOutside) {
    const std::vector<uint8_t> square(20 * 20, 255);
    const auto out = BlurAlpha(square, 20, 20, 2); // 24 x 24
    ASSERT_EQ(out.size(), 24u * 24u);
    EXPECT_EQ(out[12 * 24 + 12], 255);
    EXPECT_EQ(out[0], 255 / 25);
    EXPECT_LT(out[12 * 24 + 0], out[12 * 24 + 2]);
    EXPECT_EQ(BlurAlpha(square, 20, 20, 0), square);
}

TEST(ShadowGeometry, SizesAtOneAndAHalfScale) {
    ShadowSettings st;
    st.ShadowSize = 3;
    st.ShadowOffsetX = 2;
    st.ShadowOffsetY = 2;
    const ShadowLayout l = ComputeShadowLayout(st, 1.5, 300, 200);
    EXPECT_EQ(l.blurRadius, 4);   // round(4.5)
    EXPECT_EQ(l.inset, 10);       // round(7 × 1.5 = 10.5)
    EXPECT_EQ(l.layerWidth, 323); // 3 + 20 + 300
    EXPECT_EQ(l.layerHeight, 223);
    EXPECT_EQ(l.templateSize, 48);                     // (12 + 20) × 1.5
    EXPECT_EQ(l.templateSource, 57);                   // 9 + 48
    EXPECT_EQ(l.corner, 24);                           // 16 × 1.5
    EXPECT_EQ(l.frame, (LayerRect{10, 10, 302, 202})); // round(6.5 × 1.5 = 9.75)
    EXPECT_EQ(l.frameRadius, 15);
    EXPECT_EQ(l.shadowDestination, (LayerRect{3, 3, 320, 220}));
    EXPECT_EQ(l.ownerOriginX, 10); // round(7 × 1.5 = 10.5)
    EXPECT_TRUE(l.drawsShadow);
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
        EXPECT_EQ(l.inset, 8);
        EXPECT_EQ(l.layerWidth, c.layerWidth);
        EXPECT_EQ(l.layerHeight, c.layerHeight);
        EXPECT_EQ(l.layerOffsetX, c.layerOffsetX);
        EXPECT_EQ(l.layerOffsetY, c.layerOffsetY);
        EXPECT_EQ(l.frame, c.frame);
        EXPECT_EQ(l.shadowDestination, c.shadow);
        EXPECT_EQ(l.ownerOriginX, c.ownerX);
        EXPECT_EQ(l.ownerOriginY, c.ownerY);
        int x = 0, y = 0;
        ShadowPositionForOwner(st, 1.0, 500, 300, x, y);
        EXPECT_EQ(x, c.windowX);
        EXPECT_EQ(y, c.windowY);
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

TEST(ShadowGeometry, NineSlicesCoverTheDestination) {
    const auto slices = NineSlices({3, 3, 320, 220}, {0, 0, 57, 57}, 24);
    ASSERT_EQ(slices.size(), 9u);
    EXPECT_EQ(slices[0].destination, (LayerRect{3, 3, 24, 24}));
    EXPECT_EQ(slices[1].source, (LayerRect{24, 0, 9, 24}));
    EXPECT_EQ(slices[1].destination, (LayerRect{27, 3, 272, 24}));
    EXPECT_EQ(slices[4].destination, (LayerRect{27, 27, 272, 172}));
    EXPECT_EQ(slices[8].destination, (LayerRect{299, 199, 24, 24}));
    long long area = 0;
    for (const auto& slice : slices) {
        area += static_cast<long long>(slice.destination.width) * slice.destination.height;
    }
    EXPECT_EQ(area, 320 * 220);
    // A source that is not square: the far column and row start a corner from its edges.
    const auto wide = NineSlices({0, 0, 100, 100}, {0, 0, 60, 50}, 20);
    EXPECT_EQ(wide[4].source, (LayerRect{20, 20, 20, 10}));
    EXPECT_EQ(wide[8].source, (LayerRect{40, 30, 20, 20}));
}

TEST(ShadowGeometry, PremultipliedPixels) {
    EXPECT_EQ(PremultipliedPixel(0x0000FF, 0), 0u);
    EXPECT_EQ(PremultipliedPixel(0x0000FF, 255), 0xFFFF0000u);
    EXPECT_EQ(PremultipliedPixel(0x0080FF, 128), 0x80804000u); // 128×255/255, 128×128/255 = 64
}
