#include <gtest/gtest.h>

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

} // namespace

TEST(List, PaintsItsRowsAndRepaintsForEveryChangeAUserSees) {
    RecordingUiServices services;
    TestWindow host(0, 0, 400, 400);
    ucList list(services, Themed());
    for (int i = 0; i < 50; ++i) {
        list.AddItem(L"row " + std::to_wstring(i));
    }
    list.PlaceInForm(host.window, 0, 0, 200, 200);
    list.SetListIndex(1);
    const int row = list.RowHeight(), top = list.HeaderHeight();
    EXPECT_EQ(Pixel(list, 150, top + row / 2), 0u);              // row 0, right of its text
    EXPECT_EQ(Pixel(list, 150, top + row + row / 2), 0x0078D7u); // selected: 0xD77800 in BGRA
    bool textSeen = false;
    for (int x = 16; x < 80 && !textSeen; ++x) {
        for (int y = top; y < top + row; ++y) {
            textSeen = textSeen || Pixel(list, x, y) == 0xFFFFFFu;
        }
    }
    EXPECT_TRUE(textSeen);

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

// The dialogs declare their lists through saved values, as a form designer would.
TEST(List, FormsDeclareListsThroughSavedValues) {
    RecordingUiServices services;
    PropertyBag design;
    design.Write(L"ItemHeight", L"40");
    const ucList list(services, design);
    EXPECT_EQ(list.RowHeight(), static_cast<int>(RoundHalfEven(40 * list.Scale())));
}

TEST(List, ItemCustomDrawSeesEveryDrawnRow) {
    RecordingUiServices services;
    TestWindow host(0, 0, 400, 400);
    ucList list(services, Themed());
    list.AddItem(L"a");
    list.AddItem(L"-");
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

TEST(List, NoGdiLeakOverManyPaintsAndImageFills) {
    RecordingUiServices services;
    TestWindow host(0, 0, 400, 400);
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

// High contrast paints the menu in the system's colours whatever the Theme setting says, with
// a focus rectangle on the keyboard's row, and lets go as soon as it is turned off. Wine 8
// refuses SPI_SETHIGHCONTRAST: there the test turns it on through the override, and the
// colours, set with SetSysColors, still come from the system.
TEST(List, HighContrastPaintsInTheSystemColoursInEitherTheme) {
    HIGHCONTRASTW state{sizeof(state), HCF_HIGHCONTRASTON, nullptr};
    const bool systemOn = ::SystemParametersInfoW(SPI_SETHIGHCONTRAST, sizeof(state), &state, 0);
    OverrideHighContrast(systemOn ? std::nullopt : std::optional<bool>(true));
    const int which[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT};
    const COLORREF chosen[] = {RGB(16, 32, 48), RGB(255, 255, 0), RGB(0, 160, 0), RGB(255, 0, 255)};
    COLORREF saved[4];
    for (int i = 0; i < 4; ++i) {
        saved[i] = ::GetSysColor(which[i]);
    }
    ASSERT_TRUE(::SetSysColors(4, which, chosen));
    const auto pixel = [](COLORREF c) {
        return uint32_t{GetRValue(c)} << 16 | GetGValue(c) << 8 | GetBValue(c);
    };
    RecordingUiServices services;
    TestWindow host(0, 0, 400, 400);
    for (const bool dark : {true, false}) {
        SCOPED_TRACE(dark ? "dark" : "light");
        ListProperties p = PlainList();
        p.BackColor = MenuTheme(dark).backColor;
        p.SelectionColor = kSystemHighlight;
        ucList list(services, p);
        AddItems(list, {L"Documents", L"Music", L"Pictures"});
        list.PlaceInForm(host.window, 0, 0, 200, 200);
        list.SetListIndex(1);
        const int row = list.RowHeight(), top = list.HeaderHeight();
        EXPECT_EQ(Pixel(list, 150, top + row / 2), pixel(chosen[0]));
        EXPECT_EQ(Pixel(list, 150, top + row + row / 2), pixel(chosen[2]));
        const int inset = static_cast<int>(RoundHalfEven(2 * list.Scale()));
        EXPECT_EQ(Pixel(list, 150, top + row + inset), pixel(chosen[3])) << "no focus rectangle";
        bool text = false, selectedText = false;
        for (int x = 16; x < 80; ++x) {
            for (int y = 0; y < row; ++y) {
                text = text || Pixel(list, x, top + y) == pixel(chosen[1]);
                selectedText = selectedText || Pixel(list, x, top + row + y) == pixel(chosen[3]);
            }
        }
        EXPECT_TRUE(text && selectedText);
        OverrideHighContrast(false);
        list.Refresh();
        EXPECT_EQ(Pixel(list, 150, top + row / 2), dark ? 0u : 0xFFFFFFu) << "stays high contrast";
        OverrideHighContrast(systemOn ? std::nullopt : std::optional<bool>(true));
    }
    ::SetSysColors(4, which, saved);
    state.dwFlags = 0;
    ::SystemParametersInfoW(SPI_SETHIGHCONTRAST, sizeof(state), &state, 0);
    OverrideHighContrast(std::nullopt);
}
