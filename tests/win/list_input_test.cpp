// The list's input as a person meets it: what a click chooses, what closes a popup, and where
// the scroll bar goes.
#include <gtest/gtest.h>

#include <functional>

#include "list_support.h"

using namespace zelk;

// A double click on a row is one choice: the program behind it starts once.
TEST(ListInput, ADoubleClickChoosesTheRowOnce) {
    RecordingUiServices services;
    Form form;
    ucList list(services, PlainList(1));
    AddItems(list, {L"a", L"b", L"c"});
    list.PlaceInForm(form.window, 0, 0, 200, 150);
    int selections = 0, clicks = 0;
    list.SelectionChange = [&] { ++selections; };
    list.ItemClick = [&] { ++clicks; };
    const LPARAM row2 = RowPoint(list, 2);
    for (const UINT message : std::initializer_list<UINT>{
             WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
        const bool down = message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK;
        ::SendMessageW(list.hWnd(), message, down ? MK_LBUTTON : 0, row2);
    }
    EXPECT_EQ(list.ListIndex(), 2);
    EXPECT_EQ(selections, 1);
    EXPECT_EQ(clicks, 1);
}

TEST(ListInput, ControlCharactersDoNotBeep) {
    RecordingUiServices services;
    ucList menu(services, PlainList(2));
    menu.AddItem(L"&Open");
    Show(menu);
    for (WPARAM c : {WPARAM{VK_BACK}, WPARAM{VK_RETURN}, WPARAM{VK_ESCAPE}, WPARAM{L'z'}}) {
        ::SendMessageW(menu.hWnd(), WM_CHAR, c, 1);
    }
    EXPECT_EQ(services.beeps, 1); // only "z", which no accelerator answers
    EXPECT_TRUE(menu.IsListVisible());
    menu.HideList();
}

// What closes a shown popup: its form resized or unloaded, and for a drop-down (not a menu)
// another window activated.
TEST(ListInput, TheHostFormsResizeUnloadOrActivationCloseThePopup) {
    RecordingUiServices services;
    const auto activate = [](HWND form) { ::SetActiveWindow(form); };
    const struct {
        const char* name;
        long style;
        std::function<void(HWND)> act;
        bool closes;
    } cases[] = {
        {"resize", 2,
         [](HWND form) {
             ::SetWindowPos(form, nullptr, 0, 0, 500, 350,
                            SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
         },
         true},
        {"unload", 2, [](HWND form) { ::DestroyWindow(form); }, true},
        {"a drop-down's form activated", 0, activate, true},
        {"a menu's form activated", 2, activate, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Form form;
        ucList list(services, PlainList(c.style));
        list.SetHomeParent(form.window);
        list.AddItem(L"a");
        Show(list);
        PumpMessages();
        ASSERT_TRUE(list.IsListVisible()) << "taking the keyboard at showing closed it";
        c.act(form.window);
        PumpMessages();
        EXPECT_EQ(list.IsListVisible(), !c.closes);
        if (!::IsWindow(form.window)) {
            // The list outlives its form's windows and can be shown again on its own.
            list.SetHomeParent(nullptr);
            Show(list);
            EXPECT_TRUE(::IsWindowVisible(list.hWnd()));
        }
        list.HideList();
    }
}

// The wide scroll bar keeps inside the rounded corners.
TEST(ListInput, TheWideBarOfAShownMenu) {
    RecordingUiServices services;
    Form form;
    ListProperties p = PlainList(2);
    p.ListDesign = 1;
    p.MaxVisibleItems = 5;
    ucList list(services, p);
    list.SetHomeParent(form.window);
    for (int i = 0; i < 30; ++i) {
        list.AddItem(L"row " + std::to_wstring(i));
    }
    Show(list);
    RECT client{}, bar{};
    ::GetClientRect(list.hWnd(), &client);
    ::GetWindowRect(list.ScrollBar()->hwnd(), &bar);
    ::MapWindowPoints(nullptr, list.hWnd(), reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_GT(bar.top, 0);
    EXPECT_LT(bar.bottom, client.bottom);
    EXPECT_EQ(bar.right, client.right);
    list.HideList();
}

// A shown menu ticks fast enough for its hover delay of 31 ticks to pass in a second, and
// rests while its scroll bar is held.
TEST(ListInput, TheTimerTicksWhileTheMenuIsShownAndRestsWhileTheScrollBarIsHeld) {
    RecordingUiServices services;
    ListProperties p = PlainList(2);
    p.MaxVisibleItems = 4;
    ucList list(services, p);
    for (int i = 0; i < 30; ++i) {
        list.AddItem(L"row " + std::to_wstring(i));
    }
    Show(list);
    ASSERT_TRUE(list.ScrollBar()->Visible());
    auto ticksOver = [&](DWORD ms) {
        const long before = list.TimerTicks();
        PumpFor(ms);
        return list.TimerTicks() - before;
    };
    EXPECT_GT(ticksOver(320), 10);
    const HWND bar = list.ScrollBar()->hwnd();
    RECT r{};
    ::GetClientRect(bar, &r);
    const LPARAM track = MAKELPARAM(r.right / 2, r.bottom - 2);
    ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, track);
    EXPECT_EQ(ticksOver(150), 0) << "the hover timer ran while the bar was held";
    ::SendMessageW(bar, WM_LBUTTONUP, 0, track);
    EXPECT_GT(ticksOver(320), 10) << "the timer did not come back after the release";
    list.HideList();
}
