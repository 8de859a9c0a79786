#include <gtest/gtest.h>

#include "controls/ClsShadow.h"
#include "test_support.h"

using namespace zelk;

namespace {

HWND PopupOwner(int x, int y, int w, int h) {
    HWND owner = ::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, x, y, w, h, nullptr,
                                   nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::ShowWindow(owner, SW_SHOWNA);
    return owner;
}

uint8_t AlphaAt(const ClsShadow& shadow, int x, int y) {
    return static_cast<uint8_t>(
        shadow.LayerPixels()[static_cast<size_t>(y * shadow.LayerWidth() + x)] >> 24);
}

} // namespace

TEST(Shadow, PopupLayerLeavesTheOwnerAreaTransparent) {
    RecordingUiServices services;
    HWND owner = PopupOwner(300, 200, 200, 100);
    {
        ClsShadow shadow(services);
        shadow.SetShadowOffsetX(2);
        shadow.SetShadowOffsetY(2);
        shadow.BackColor = 0x202020;
        shadow.ShowBorders(owner, false);
        ASSERT_NE(shadow.hWnd(), nullptr);
        const ShadowLayout& l = shadow.Layout();
        ASSERT_NE(shadow.LayerPixels(), nullptr);
        for (int y = 0; y < 100; y += 3) {
            for (int x = 0; x < 200; x += 3) {
                ASSERT_EQ(AlphaAt(shadow, l.inset + x, l.inset + y), 0) << x << "," << y;
            }
        }
        // The border ring just outside the owner is opaque; the shadow fades outwards.
        EXPECT_EQ(AlphaAt(shadow, l.inset - 1, l.inset + 50), 255);
        EXPECT_GT(AlphaAt(shadow, l.layerWidth - 3, l.layerHeight / 2), 0);

        // The shadow sits right behind the owner and follows it without redrawing.
        RECT before{}, after{};
        ::GetWindowRect(shadow.hWnd(), &before);
        EXPECT_EQ(before.left, 300 - l.inset);
        EXPECT_EQ(::GetWindow(owner, GW_OWNER), shadow.hWnd());
        const int builds = shadow.TemplateBuilds();
        ::SetWindowPos(owner, nullptr, 340, 260, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ::GetWindowRect(shadow.hWnd(), &after);
        EXPECT_EQ(after.left - before.left, 40);
        EXPECT_EQ(after.top - before.top, 60);

        // Only shadow settings rebuild the blurred template.
        shadow.BackColor = 0xFFFFFF;
        shadow.Refresh();
        EXPECT_EQ(shadow.TemplateBuilds(), builds);
        shadow.SetShadowColor(0x0000FF);
        shadow.Refresh();
        EXPECT_EQ(shadow.TemplateBuilds(), builds + 1);
    }
    ::DestroyWindow(owner);
    EXPECT_TRUE(services.boxes.empty());
}

TEST(Shadow, TheHoleFollowsARoundedOwnerRegion) {
    RecordingUiServices services;
    HWND owner = PopupOwner(100, 100, 120, 80);
    ::SetWindowRgn(owner, ::CreateRoundRectRgn(0, 0, 120, 80, 30, 30), TRUE);
    ClsShadow shadow(services);
    shadow.BackColor = 0x000000;
    shadow.ShowBorders(owner, false);
    const int p = shadow.Layout().inset;
    EXPECT_EQ(AlphaAt(shadow, p + 60, p + 40), 0); // inside the region
    EXPECT_EQ(AlphaAt(shadow, p + 1, p + 1), 255); // the cut corner is frame, not hole
    ::DestroyWindow(owner);
}

// Opened again at the same size and look, a popup's layer is not composed again: the layered
// window kept what was pushed to it while hidden, and that is what the screen shows.
TEST(Shadow, AReopenedPopupShowsItsKeptLayerWithoutComposingIt) {
    RecordingUiServices services;
    HWND owner = PopupOwner(300, 200, 200, 100);
    ClsShadow shadow(services);
    shadow.BorderColor = 0x0000FF;
    const auto ringOnScreen = [&] {
        PumpFor(100);
        HDC screen = ::GetDC(nullptr);
        const COLORREF pixel = ::GetPixel(screen, 300 - 1, 250);
        ::ReleaseDC(nullptr, screen);
        return pixel;
    };
    shadow.ShowBorders(owner, false);
    const COLORREF shown = ringOnScreen();
    EXPECT_EQ(shown, RGB(255, 0, 0)) << "the border ring is not on the screen";
    shadow.HideBorders();
    EXPECT_NE(ringOnScreen(), shown);
    shadow.ShowBorders(owner, false);
    EXPECT_EQ(shadow.LayerComposes(), 1);
    EXPECT_EQ(ringOnScreen(), shown) << "the kept layer did not come back with the window";
    // Anything that changes the picture composes it again.
    shadow.BorderColor = 0x00FF00;
    shadow.Refresh();
    EXPECT_EQ(shadow.LayerComposes(), 2);
    EXPECT_EQ(ringOnScreen(), RGB(0, 255, 0));
    ::SetWindowPos(owner, nullptr, 0, 0, 240, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    shadow.Refresh();
    EXPECT_EQ(shadow.LayerComposes(), 3);
    ::DestroyWindow(owner);
}
