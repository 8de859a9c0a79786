// Screen readers read the owner-drawn menus through the object each list's window hands out.
#include <gtest/gtest.h>

#include <oleacc.h>

#include "controls/list/popup_chain.h"
#include "list_support.h"

using namespace zelk;

namespace {

// What a reader holds: the object the window hands out for its client area (oleacc asks the
// window with WM_GETOBJECT; Wine 8 does so for a window class of our own too).
com_ptr<IAccessible> ClientObject(HWND window) {
    com_ptr<IAccessible> object;
    EXPECT_EQ(::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                           __uuidof(IAccessible), object.put_void()),
              S_OK);
    return object;
}

VARIANT Child(long id) {
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

std::wstring Name(const com_ptr<IAccessible>& object, long child) {
    BSTR name = nullptr;
    object->get_accName(Child(child), &name);
    std::wstring text = name != nullptr ? name : L"";
    ::SysFreeString(name);
    return text;
}

long Number(IAccessible& object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*),
            long child) {
    VARIANT v;
    ::VariantInit(&v);
    return SUCCEEDED((object.*get)(Child(child), &v)) && v.vt == VT_I4 ? v.lVal : -1;
}

// The rows that took the focus, -1 for a popup shown, -2 for one hidden. The system's own focus
// events for the window itself (child 0) do not count.
std::vector<long> events;
void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT && (event != EVENT_OBJECT_FOCUS || child > 0)) {
        events.push_back(event == EVENT_SYSTEM_MENUPOPUPSTART ? -1
                         : event == EVENT_SYSTEM_MENUPOPUPEND ? -2
                                                              : child);
    }
}

} // namespace

TEST(Accessible, AReaderFindsTheMenusRowsTheirStatesTheFocusAndWhereEachIsDrawn) {
    RecordingUiServices services;
    ListProperties p = PlainList(2);
    p.BackColor = 0x000000;
    p.SelectionColor = 0xD77800;
    ucList top(services, p), tools(services, p);
    auto games = std::make_unique<ucList>(services, p);
    AddItems(*games, {L"a", L"b"});
    top.AddSubMenu(L"&Tools", &tools);
    top.AddSubMenu(L"Games", games.get());
    AddItems(top, {L"-", L"&Quit"});
    // Out of context, the events come through this thread's message queue.
    const HWINEVENTHOOK hook =
        ::SetWinEventHook(EVENT_SYSTEM_MENUPOPUPSTART, EVENT_OBJECT_FOCUS, nullptr, OnEvent,
                          ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    Show(top, 300, 200);
    com_ptr<IAccessible> menu = ClientObject(top.hWnd());
    ASSERT_TRUE(menu);
    long count = 0;
    EXPECT_EQ(menu->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(Number(*menu.get(), &IAccessible::get_accRole, CHILDID_SELF), ROLE_SYSTEM_MENUPOPUP);
    EXPECT_EQ(Name(menu, 1) + L"," + Name(menu, 2) + L"," + Name(menu, 4), L"Tools,Games,Quit");
    EXPECT_EQ(Number(*menu.get(), &IAccessible::get_accRole, 1), ROLE_SYSTEM_MENUITEM);
    EXPECT_EQ(Number(*menu.get(), &IAccessible::get_accRole, 3), ROLE_SYSTEM_SEPARATOR);
    EXPECT_TRUE(Number(*menu.get(), &IAccessible::get_accState, 2) & STATE_SYSTEM_HASPOPUP);
    EXPECT_FALSE(Number(*menu.get(), &IAccessible::get_accState, 4) & STATE_SYSTEM_HASPOPUP);
    const auto navigate = [&](long direction, long from) {
        VARIANT to;
        ::VariantInit(&to);
        menu->accNavigate(direction, Child(from), &to);
        return to.vt == VT_I4 ? to.lVal : -1;
    };
    EXPECT_EQ(navigate(NAVDIR_NEXT, 2), 3);
    EXPECT_EQ(navigate(NAVDIR_LASTCHILD, CHILDID_SELF), 4);
    EXPECT_EQ(navigate(NAVDIR_PREVIOUS, 1), -1);

    for (const UINT key : std::initializer_list<UINT>{VK_DOWN, VK_DOWN, VK_DOWN, VK_UP, VK_UP}) {
        ::SendMessageW(top.hWnd(), WM_KEYDOWN, key, 0);
        PumpMessages();
    }
    ::SendMessageW(top.hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 80)); // the hot row is no focus
    PumpMessages();
    VARIANT focus;
    ::VariantInit(&focus);
    EXPECT_EQ(menu->get_accFocus(&focus), S_OK);
    EXPECT_EQ(focus.lVal, 1);

    // Where the reader draws its focus box is where the row's highlight was painted, past the
    // half-height separator.
    ::SendMessageW(top.hWnd(), WM_KEYDOWN, VK_END, 0);
    long x = 0, y = 0, w = 0, h = 0;
    ASSERT_EQ(menu->accLocation(&x, &y, &w, &h, Child(4)), S_OK);
    POINT corner{x, y};
    ::ScreenToClient(top.hWnd(), &corner);
    const RowGeometry geometry{top.Scale(), p.ItemHeight, false, 0, 0};
    EXPECT_EQ(corner.y, top.Items().GetItemTop(3, geometry) - ListModel::HeaderHeight(geometry) +
                            top.HeaderHeight());
    EXPECT_EQ(h, top.RowHeight());
    const DibSurface& painted = *top.BackBuffer();
    EXPECT_EQ(painted.pixels()[(corner.y + h / 2) * painted.width() + corner.x + w / 2] & 0xFFFFFF,
              0x0078D7u);
    VARIANT hit;
    EXPECT_EQ(menu->accHitTest(x + w / 2, y + h / 2, &hit), S_OK);
    EXPECT_EQ(hit.lVal, 4);

    // An open submenu is named after the row that opened it; once its list is gone, a reader
    // that still holds it is told so instead of reaching a destroyed list.
    ::SendMessageW(top.hWnd(), WM_KEYDOWN, VK_UP, 0);
    ::SendMessageW(top.hWnd(), WM_KEYDOWN, VK_RIGHT, 0);
    ASSERT_TRUE(games->IsListVisible());
    com_ptr<IAccessible> submenu = ClientObject(games->hWnd());
    ASSERT_TRUE(submenu);
    EXPECT_EQ(Name(submenu, CHILDID_SELF), L"Games");
    ::SendMessageW(games->hWnd(), WM_KEYDOWN, VK_LEFT, 0);
    PumpMessages(); // Wine drops a queued event whose window is gone
    games.reset();
    EXPECT_EQ(submenu->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(submenu->accLocation(&x, &y, &w, &h, Child(1)), CO_E_OBJNOTCONNECTED);

    // The default action chooses the row as Enter does, once the reader's call has returned.
    long chosen = -1;
    top.ItemClick = [&] { chosen = top.ListIndex(); };
    EXPECT_EQ(menu->accDoDefaultAction(Child(4)), S_OK);
    PumpMessages();
    EXPECT_EQ(chosen, 3);
    EXPECT_FALSE(top.IsListVisible());
    ::UnhookWinEvent(hook);
    EXPECT_EQ(events, (std::vector<long>{-1, 1, 2, 4, 2, 1, 4, 2, -1, -2, -2}));
}

// A list in a form is named by its label; the filter box by a label of its own.
TEST(Accessible, ListsInFormsAndFilterBoxesHaveNames) {
    RecordingUiServices services;
    TestWindow host(0, 0, 400, 400, true);
    ::CreateWindowExW(0, L"STATIC", L"&Toolbars", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, host.window,
                      nullptr, nullptr, nullptr);
    ucList placed(services, PlainList(1));
    placed.PlaceInForm(host.window, 0, 30, 200, 200);
    com_ptr<IAccessible> list = ClientObject(placed.hWnd());
    ASSERT_TRUE(list);
    EXPECT_EQ(Name(list, CHILDID_SELF), L"Toolbars");
    EXPECT_EQ(Number(*list.get(), &IAccessible::get_accRole, CHILDID_SELF), ROLE_SYSTEM_LIST);
    // A row the program selects takes no focus from elsewhere; one chosen with the keys does.
    AddItems(placed, {L"a", L"b"});
    events.clear();
    const HWINEVENTHOOK hook =
        ::SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, OnEvent,
                          ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    placed.SetListIndex(0);
    ::SetFocus(placed.hWnd());
    ::SendMessageW(placed.hWnd(), WM_KEYDOWN, VK_DOWN, 0);
    PumpMessages();
    ::UnhookWinEvent(hook);
    EXPECT_EQ(events, std::vector<long>{2});

    ListProperties p = PlainList(2);
    p.ShowFilter = true;
    ucList filtered(services, p);
    AddItems(filtered, {L"one", L"two"});
    Show(filtered);
    ASSERT_NE(filtered.FilterBox(), nullptr);
    com_ptr<IAccessible> box = ClientObject(filtered.FilterBox());
    ASSERT_TRUE(box);
    EXPECT_EQ(Name(box, CHILDID_SELF), L"Filter"); // the system's edit box object
    filtered.HideList();
}
