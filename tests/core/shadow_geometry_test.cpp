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

TEST(ShadowGeometry, NegativeOffsetsWidenTheLayerOnTheirSide) {
    ShadowSettings st;
    st.ShadowOffsetX = -4;
    const ShadowLayout l = ComputeShadowLayout(st, 1.0, 100, 50);
    EXPECT_EQ(l.layerWidth, 4 + 2 * 7 + 100);
    EXPECT_EQ(l.frame.x, 7 + 4 - 1); // round(6.5) = 6, then + 4
    EXPECT_EQ(l.ownerOriginX, 11);
    EXPECT_EQ(l.shadowDestination.x, 0);
    int x = 0, y = 0;
    ShadowPositionForOwner(st, 1.0, 500, 300, x, y);
    EXPECT_EQ(x, 500 - 7 - 4);
    EXPECT_EQ(y, 300 - 7);

    ShadowSettings none;
    none.ShadowOpacity = 0;
    EXPECT_FALSE(ComputeShadowLayout(none, 1.0, 10, 10).drawsShadow);
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
}

TEST(ShadowGeometry, PremultipliedPixels) {
    EXPECT_EQ(PremultipliedPixel(0x0000FF, 0), 0u);
    EXPECT_EQ(PremultipliedPixel(0x0000FF, 255), 0xFFFF0000u);
    EXPECT_EQ(PremultipliedPixel(0x0080FF, 128), 0x80804000u); // 128×255/255, 128×128/255 = 64
}
