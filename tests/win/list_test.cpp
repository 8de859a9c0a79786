#include <gtest/gtest.h>

#include <algorithm>

#include "core/rounding.h"
#include "core/theme.h"
#include "win/system_look.h"
#include "list_support.h"

using namespace zelk;

namespace {

ListProperties Themed() {
    ListProperties p = PlainList();
    p.BackColor = 0x000000;
    p.SelectionColor = 0xD77800;
    return p;
}

uint32_t Pixel(const ucList& list, int x, int y) {
    const DibSurface* b = list.BackBuffer();
    return b->pixels()[static_cast<size_t>(y * b->width() + x)] & 0xFFFFFF;
}

// Row 0's background right of its text, the selected row 1, and text somewhere in row 0.
void ExpectRowColours(const ucList& list, uint32_t back, uint32_t selected, uint32_t text) {
    const int row = list.RowHeight(), top = list.HeaderHeight();
    EXPECT_EQ(Pixel(list, 150, top + row / 2), back);
    EXPECT_EQ(Pixel(list, 150, top + row + row / 2), selected);
    bool seen = false;
    for (int x = 16; x < 80; ++x) {
        for (int y = top; y < top + row; ++y) {
            seen = seen || Pixel(list, x, y) == text;
        }
    }
    EXPECT_TRUE(seen) << "no text pixel of " << std::hex << text;
}

// Lists placed in a form, as the dialogs place theirs.
struct List : testing::Test {
    RecordingUiServices services;
    TestWindow host{0, 0, 400, 400};
};

} // namespace

// Declared through saved values, as the dialogs' form designs declare their lists.
TEST_F(List, PaintsItsRowsAndRepaintsForEveryChangeAUserSees) {
    PropertyBag design;
    for (const auto& [name, value] : {std::pair{L"ItemHeight", L"24"},
                                      {L"BorderVisible", L"False"},
                                      {L"BackColor", L"0"},
                                      {L"SelectionColor", L"14120960"}}) {
        design.Write(name, value);
    }
    ucList list(services, design);
    for (int i = 0; i < 50; ++i) {
        list.AddItem(L"row " + std::to_wstring(i));
    }
    list.PlaceInForm(host.window, 0, 0, 200, 200);
    list.SetListIndex(1);
    ExpectRowColours(list, 0, 0x0078D7, 0xFFFFFF); // selected: 0xD77800 in BGRA

    const int paints = list.PaintCount();
    list.SetItemData(0, std::wstring(L"C:\\x"));
    EXPECT_EQ(list.PaintCount(), paints); // data is not drawn
    EXPECT_THROW(list.SetItemText(50, L"x"), ListIndexError);
    EXPECT_THROW(list.ItemBold(-1), ListIndexError);

    ASSERT_TRUE(list.ScrollBar()->Visible());
    EXPECT_EQ(list.ScrollBar()->Model().Max(), 50 * 24 - (200 - 16)); // the last row reachable
    list.ScrollBar()->SetValue(240);
    EXPECT_GT(list.PaintCount(), paints) << "scrolling did not repaint";
    EXPECT_EQ(list.ScrollValue(), 240);
}

TEST_F(List, ItemCustomDrawSeesEveryDrawnRow) {
    ucList list(services, Themed());
    AddItems(list, {L"a", L"-"});
    list.OpenGroup(L"g");
    std::vector<long> rows;
    list.ItemCustomDraw = [&](long& index, HDC dc, int&, int&, int&, int&) {
        EXPECT_NE(dc, nullptr);
        rows.push_back(index);
    };
    list.PlaceInForm(host.window, 0, 0, 200, 200);
    rows.clear();
    list.Refresh();
    EXPECT_EQ(rows, (std::vector<long>{0, 2}));
}

TEST_F(List, NoGdiLeakOverManyPaintsAndImageFills) {
    ListProperties p = Themed();
    p.SelectionRadius = 6;
    p.MultiSelect = true;
    ucList list(services, p);
    list.ImageListInitialize(18, 18);
    for (int i = 0; i < 40; ++i) {
        list.AddItem(L"row " + std::to_wstring(i) + L"\tkey", i % 2, MissingValue{}, L"",
                     i % 3 == 0);
    }
    list.PlaceInForm(host.window, 0, 0, 200, 200);
    HICON icon = ::LoadIconW(nullptr, IDI_APPLICATION);
    list.Refresh();
    const long before = GdiObjects();
    ASSERT_GE(before, 0) << "the GDI handle table cannot be read";
    for (int fill = 0; fill < 100; ++fill) {
        list.ImageListInitialize(18, 18);
        EXPECT_GT(list.Images().ImageListAddImage(GdiHandleSource{icon}), 0);
        EXPECT_GT(list.Images().ImageListAddImage(GdiHandleSource{icon}), 0);
    }
    for (int paint = 0; paint < 1000; ++paint) {
        list.Items().SetHotIndex(paint % 40);
        list.ScrollBar()->SetValue(paint % 300);
        list.Refresh();
    }
    EXPECT_EQ(GdiObjects(), before);
    EXPECT_GE(list.PaintCount(), 1000);
}

// High contrast paints lists in the system's colours whatever the Theme setting says, with a
// focus rectangle on the keyboard's row, and lets go when it is turned off. Wine 8 refuses
// SPI_SETHIGHCONTRAST: the flag is said through the override, the colours are the system's.
TEST_F(List, HighContrastPaintsInTheSystemColoursInEitherTheme) {
    const int which[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT};
    // Red equals blue in each, so a COLORREF reads as the pixel it paints.
    const COLORREF chosen[] = {RGB(16, 32, 16), RGB(200, 250, 200), RGB(0, 160, 0),
                               RGB(255, 0, 255)};
    COLORREF saved[4];
    std::transform(std::begin(which), std::end(which), saved, ::GetSysColor);
    ASSERT_TRUE(::SetSysColors(4, which, chosen));
    for (const bool dark : {true, false}) {
        OverrideHighContrast(true);
        ListProperties p = PlainList();
        p.BackColor = MenuTheme(dark).backColor;
        p.SelectionColor = kSystemHighlight;
        ucList list(services, p);
        AddItems(list, {L"Documents", L"Music"});
        list.PlaceInForm(host.window, 0, 0, 200, 200);
        list.SetListIndex(1);
        ExpectRowColours(list, chosen[0], chosen[2], chosen[1]);
        const int focus = list.HeaderHeight() + list.RowHeight() +
                          static_cast<int>(RoundHalfEven(2 * list.Scale()));
        EXPECT_EQ(Pixel(list, 150, focus), chosen[3]) << "no focus rectangle";
        OverrideHighContrast(false);
        list.Refresh();
        EXPECT_EQ(Pixel(list, 150, list.HeaderHeight() + 2), dark ? 0u : 0xFFFFFFu);
    }
    ::SetSysColors(4, which, saved);
    OverrideHighContrast(std::nullopt);
}
