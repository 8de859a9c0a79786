// The list's input contract as a person meets it: where the filter box sits and who has the
// keyboard, what the key and mouse events report, and where submenus and scroll bars go.
#include <gtest/gtest.h>

#include "list_support.h"

using namespace zelk;

namespace {

RECT ClientRectOf(HWND child, HWND parent) {
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

LPARAM RowPoint(const ucList& list, long row) {
    return MAKELPARAM(20, list.HeaderHeight() + row * list.RowHeight() + list.RowHeight() / 2);
}

// Every event of a list, counted.
struct EventLog {
    int mouseDown = 0, mouseUp = 0, selectionChange = 0, itemClick = 0, dblClick = 0;
    std::vector<int> keyDown, keyPress, mouseShift, keyShift;
    explicit EventLog(ucList& list) {
        list.MouseDown = [this](int&, int& shift, float&, float&) {
            ++mouseDown;
            mouseShift.push_back(shift);
        };
        list.MouseUp = [this](int&, int&, float&, float&) { ++mouseUp; };
        list.SelectionChange = [this] { ++selectionChange; };
        list.ItemClick = [this] { ++itemClick; };
        list.DblClick = [this] { ++dblClick; };
        list.KeyDown = [this](int& key, int& shift) {
            keyDown.push_back(key);
            keyShift.push_back(shift);
        };
        list.KeyPress = [this](int& key) { keyPress.push_back(key); };
    }
};

} // namespace

// What the list tells its host: 0 for the keys it used, the shift state with the mouse and
// the keys, and a double click as DblClick alone.
TEST(ListInput, EventsReportUsedKeysShiftStatesAndDoubleClicks) {
    RecordingUiServices services;
    Form form;
    ucList list(services, PlainList(1));
    AddItems(list, {L"a", L"b", L"c"});
    list.PlaceInForm(form.window, 0, 0, 200, 150);
    const auto send = [&](UINT message, WPARAM wParam, LPARAM lParam) {
        ::SendMessageW(list.hWnd(), message, wParam, lParam);
    };
    EventLog keys(list);
    const std::pair<WPARAM, int> cases[] = {{VK_DOWN, 0},     {VK_END, 0}, {VK_UP, 0},
                                            {VK_TAB, VK_TAB}, {'Q', 'Q'},  {VK_F5, VK_F5}};
    for (const auto& [key, reported] : cases) {
        send(WM_KEYDOWN, key, 1);
        ASSERT_FALSE(keys.keyDown.empty());
        EXPECT_EQ(keys.keyDown.back(), reported) << "key " << key;
    }
    EXPECT_EQ(keys.keyDown.size(), std::size(cases));
    EXPECT_EQ(list.ListIndex(), 1); // Down, End, Up

    EventLog shifts(list);
    const LPARAM first = RowPoint(list, 0), last = RowPoint(list, 2);
    send(WM_MOUSEMOVE, 0, first);
    send(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, first);
    send(WM_LBUTTONUP, MK_SHIFT, first);
    send(WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, first);
    send(WM_LBUTTONUP, MK_CONTROL, first);
    EXPECT_EQ(shifts.mouseShift, (std::vector<int>{1, 2}));
    BYTE saved[256] = {}, state[256] = {};
    ::GetKeyboardState(saved);
    std::copy(std::begin(saved), std::end(saved), std::begin(state));
    state[VK_SHIFT] = state[VK_LSHIFT] = 0x80;
    ::SetKeyboardState(state);
    send(WM_KEYDOWN, 'Q', 1);
    ::SetKeyboardState(saved);
    send(WM_KEYDOWN, 'Q', 1);
    EXPECT_EQ(shifts.keyShift, (std::vector<int>{1, 0}));

    EventLog clicks(list);
    send(WM_MOUSEMOVE, 0, last);
    send(WM_LBUTTONDOWN, MK_LBUTTON, last);
    send(WM_LBUTTONUP, 0, last);
    send(WM_LBUTTONDBLCLK, MK_LBUTTON, last);
    send(WM_LBUTTONUP, 0, last);
    EXPECT_EQ(clicks.mouseDown, 1);
    EXPECT_EQ(clicks.selectionChange, 1);
    EXPECT_EQ(clicks.itemClick, 1);
    EXPECT_EQ(clicks.mouseUp, 1);
    EXPECT_EQ(clicks.dblClick, 1);
}

TEST(ListInput, EveryCharacterIsReportedAndControlCharactersDoNotBeep) {
    RecordingUiServices services;
    ucList menu(services, PlainList(2));
    menu.AddItem(L"&Open");
    EventLog events(menu);
    Show(menu);
    for (WPARAM c : {WPARAM{VK_BACK}, WPARAM{VK_RETURN}, WPARAM{VK_ESCAPE}, WPARAM{L'z'}}) {
        ::SendMessageW(menu.hWnd(), WM_CHAR, c, 1);
    }
    EXPECT_EQ(events.keyPress, (std::vector<int>{VK_BACK, VK_RETURN, VK_ESCAPE, L'z'}));
    EXPECT_EQ(services.beeps, 1); // only "z", which no accelerator answers
    EXPECT_TRUE(menu.IsListVisible());
    menu.HideList();
}

TEST(ListInput, ASubmenuLinesUpWithItsRowBelowTheParentsFilter) {
    RecordingUiServices services;
    Form form;
    ListProperties p = PlainList(2);
    p.ShowFilter = true;
    ucList top(services, p);
    top.SetHomeParent(form.window);
    ucList child(services, PlainList(2));
    child.AddItem(L"inside");
    top.AddItem(L"first");
    top.AddSubMenu(L"folder", &child);
    Show(top, 200, 120);
    ASSERT_TRUE(::IsWindowVisible(top.FilterBox()));
    top.SetKeyDown(VK_DOWN);
    top.SetKeyDown(VK_DOWN);
    top.SetKeyDown(VK_RIGHT);
    ASSERT_TRUE(child.IsListVisible());
    RECT parent{}, sub{};
    ::GetWindowRect(top.hWnd(), &parent);
    ::GetWindowRect(child.hWnd(), &sub);
    // The child starts at its row's offset below the parent's header, whatever that header
    // holds: the filter box must not pull it up by its own height.
    EXPECT_EQ(sub.top, parent.top + top.RowHeight())
        << "child at " << sub.top << ", parent at " << parent.top;
    top.HideList();
}

TEST(ListInput, TheHostFormsResizeAndUnloadCloseThePopup) {
    RecordingUiServices services;
    for (bool unload : {false, true}) {
        SCOPED_TRACE(unload ? "unload" : "resize");
        Form form;
        ucList list(services, PlainList(2)); // a menu: activation changes alone do not close it
        list.SetHomeParent(form.window);
        list.AddItem(L"a");
        Show(list);
        ASSERT_TRUE(list.IsListVisible());
        if (unload) {
            ::DestroyWindow(form.window); // takes the windows it owns with it
        } else {
            ::SetWindowPos(form.window, nullptr, 0, 0, 500, 350,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        PumpMessages();
        EXPECT_FALSE(list.IsListVisible());
        if (unload) {
            // The list outlives its form's windows and can be shown again on its own.
            list.SetHomeParent(nullptr);
            Show(list);
            EXPECT_TRUE(list.IsListVisible());
            EXPECT_TRUE(::IsWindowVisible(list.hWnd()));
            list.HideList();
        }
    }
}

// The filter box sits in the header with the keyboard, the wide scroll bar below it.
TEST(ListInput, TheFilterBoxAndTheBorderFollowTheirPropertiesOnAShownPopup) {
    RecordingUiServices services;
    Form form;
    ListProperties p = PlainList(0);
    p.ShowFilter = true;
    p.ListDesign = 1;
    p.MaxVisibleItems = 5;
    ucList list(services, p);
    list.SetHomeParent(form.window);
    for (int i = 0; i < 30; ++i) {
        list.AddItem(L"row " + std::to_wstring(i));
    }
    Show(list);
    const HWND box = list.FilterBox();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(::IsWindowVisible(box));
    EXPECT_EQ(::GetFocus(), box) << "typed keys would go to type-ahead, not to the box";
    RECT client{};
    ::GetClientRect(list.hWnd(), &client);
    const RECT r = ClientRectOf(box, list.hWnd());
    const RECT bar = ClientRectOf(list.ScrollBar()->hwnd(), list.hWnd());
    EXPECT_GT(r.top, 0);
    EXPECT_LT(r.bottom, list.HeaderHeight());
    EXPECT_GT(r.left, 0);
    EXPECT_LT(r.right, client.right);
    EXPECT_EQ(bar.top, list.HeaderHeight());
    EXPECT_LT(bar.bottom, client.bottom); // inside the rounded corner
    EXPECT_EQ(bar.right, client.right);

    const int filterHeader = list.HeaderHeight();
    p.ShowFilter = false;
    list.SetProperties(p);
    EXPECT_FALSE(::IsWindowVisible(box));
    EXPECT_LT(list.HeaderHeight(), filterHeader);
    for (bool border : {true, false}) {
        p.BorderVisible = border;
        list.SetProperties(p);
        ASSERT_NE(list.Shadow().hWnd(), nullptr);
        EXPECT_EQ(::IsWindowVisible(list.Shadow().hWnd()) != FALSE, border);
    }
    list.HideList();
}

TEST(ListInput, ADropDownClosesWhenAnotherWindowIsActivatedAMenuDoesNot) {
    RecordingUiServices services;
    for (long style : {0L, 2L}) {
        SCOPED_TRACE(style == 0 ? "drop-down" : "menu");
        Form form;
        ucList list(services, PlainList(style));
        list.SetHomeParent(form.window);
        list.AddItem(L"a");
        Show(list);
        PumpMessages();
        ASSERT_TRUE(list.IsListVisible()) << "taking the keyboard at showing closed it";
        ::SetActiveWindow(form.window);
        PumpMessages();
        EXPECT_EQ(list.IsListVisible(), style == 2);
        list.HideList();
    }
}

TEST(ListInput, TheTimerRestsWhileTheScrollBarIsHeld) {
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
    const HWND bar = list.ScrollBar()->hwnd();
    RECT r{};
    ::GetClientRect(bar, &r);
    const LPARAM track = MAKELPARAM(r.right / 2, r.bottom - 2);
    ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, track);
    EXPECT_EQ(ticksOver(150), 0) << "the hover timer ran while the bar was held";
    ::SendMessageW(bar, WM_LBUTTONUP, 0, track);
    EXPECT_GT(ticksOver(150), 0) << "the timer did not come back after the release";
    list.HideList();
}
