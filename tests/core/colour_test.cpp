#include <gtest/gtest.h>

#include "core/colour.h"

using namespace zelk;

namespace {

Colour FakeSystem(int index) {
    return index == 0x0D ? 0xD77800 : index == 0x0F ? 0xF0F0F0 : 0x123456;
}

} // namespace

TEST(Colour, BlendAndDarkness) {
    EXPECT_EQ(BlendColors(0xFFFFFF, 0x000000, 255), 0xFFFFFFu);
    EXPECT_EQ(BlendColors(0xFFFFFF, 0x000000, 0), 0x000000u);
    EXPECT_EQ(BlendColors(0x0000FF, 0x000000, 128), 0x000080u);     // 127.99 -> 128
    EXPECT_EQ(BlendColors(0x000001, 0x000000, 128), 0x000001u);     // 0.502 -> 1
    EXPECT_EQ(BlendColors(0x8000000D, 0x000000, 255), 0x8000000Du); // top byte of a
    EXPECT_EQ(BlendColors(0x204060, 0xFFFFFF, 200), 0x506982u);     // 130.3, 105.2, 80.1

    // (R + 3G + B) / 2 below 382: 0x7F7F7F is 317.5, 0x00BF00 286.5, 0x00FF80 446.5 (green
    // weighs three times), 0xFA58FA 382, 0xFA58F9 381.5.
    std::vector<bool> dark;
    for (Colour c : {0x000000, 0xFFFFFF, 0x7F7F7F, 0x00BF00, 0x00FF80, 0xFA58FA, 0xFA58F9}) {
        dark.push_back(IsDarkColor(c));
    }
    EXPECT_EQ(dark, std::vector<bool>({true, false, true, true, false, false, true}));
    // A system colour stays one while nothing can resolve it.
    EXPECT_EQ(ResolveColour(kSystemHighlight, {}), kSystemHighlight);
    EXPECT_EQ(ResolveColour(kSystemHighlight, FakeSystem), 0xD77800u);
}

TEST(Colour, RgbToArgbSwapsChannelsAndScalesOpacity) {
    EXPECT_EQ(RGBtoARGB(0x0000FF, 100, FakeSystem), 0xFFFF0000u);
    EXPECT_EQ(RGBtoARGB(0xFF0000, 0, FakeSystem), 0x000000FFu);
    EXPECT_EQ(RGBtoARGB(0x112233, 50, FakeSystem), 0x80332211u); // 127.5 -> 128
    EXPECT_EQ(RGBtoARGB(0x112233, -100, FakeSystem), 0xFF332211u);
    EXPECT_EQ(RGBtoARGB(kSystemHighlight, 100, FakeSystem), 0xFF0078D7u);
    EXPECT_FALSE(RGBtoARGB(0, 101, FakeSystem).has_value());
}

TEST(Colour, ImageMatrices) {
    const ColourMatrix identity = ImageColourMatrix(std::nullopt, false);
    for (size_t i = 0; i < 5; ++i) {
        for (size_t j = 0; j < 5; ++j) {
            EXPECT_EQ(identity[i][j], i == j ? 1.0f : 0.0f);
        }
    }
    const ColourMatrix tint = ImageColourMatrix(0x0000FF, false); // red
    EXPECT_EQ(std::vector<float>({tint[0][0], tint[1][1], tint[3][3], tint[4][0], tint[4][4]}),
              std::vector<float>({1, 0, 1, 1, 1}));
    const ColourMatrix grey = ImageColourMatrix(std::nullopt, true);
    EXPECT_EQ(std::vector<float>({grey[0][2], grey[1][0], grey[2][1], grey[3][3]}),
              std::vector<float>({0.299f, 0.587f, 0.114f, 1.0f}));
}

TEST(Colour, ImagesFitTheirCellKeepingTheirShape) {
    EXPECT_EQ(FitImageInCell(64, 32, 32, 32), (FittedImage{0, 8, 32, 16}));
    EXPECT_EQ(FitImageInCell(16, 16, 32, 32), (FittedImage{0, 0, 32, 32}));
    EXPECT_EQ(FitImageInCell(10, 30, 18, 18), (FittedImage{6, 0, 6, 18}));
    EXPECT_EQ(FitImageInCell(20, 10, 0, 0), (FittedImage{0, 0, 20, 10}));
    EXPECT_EQ(FitImageInCell(0, 10, 32, 32), (FittedImage{0, 0, 0, 0}));
}
