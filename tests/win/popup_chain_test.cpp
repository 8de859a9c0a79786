// The chain of open popup lists: what a person can do with the mouse and the keyboard must
// always leave one chain on screen, at most one open submenu per list, and the desktop's
// navigation keys held exactly while a list of the chain is visible.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "controls/list/popup_chain.h"
#include "list_support.h"

using namespace zelk;

namespace {

// Counts lists that come on screen while the desktop's navigation keys are still free: a key
// pressed at that moment would reach the window behind the menu.
int shownWithoutKeys = 0;
LRESULT CALLBACK WatchShowing(int code, WPARAM wParam, LPARAM lParam) {
    static constexpr UINT kDown[] = {VK_DOWN};
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    wchar_t cls[16] = {};
    if (code == HC_ACTION && sent->message == WM_WINDOWPOSCHANGING &&
        (reinterpret_cast<const WINDOWPOS*>(sent->lParam)->flags & SWP_SHOWWINDOW) &&
        !::IsWindowVisible(sent->hwnd) && ::GetClassNameW(sent->hwnd, cls, 16) > 0 &&
        std::wstring(cls) == L"ZelkList" && HeldHotKeys(kDown).empty()) {
        ++shownWithoutKeys;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// A menu three levels deep: the top list with four toolbars, each with two folders of two
// files and a few files of its own; the last toolbar scrolls.
struct MenuTree {
    RecordingUiServices services;
    std::vector<std::unique_ptr<ucList>> lists;

    ucList& NewList(bool shadows) {
        ListProperties p = PlainList(2);
        p.ListWidth = 120;
        p.BorderVisible = shadows; // as the program's menus are; slow to compose under Wine
        lists.push_back(std::make_unique<ucList>(services, p));
        return *lists.back();
    }
    explicit MenuTree(bool shadows = false) {
        ucList& top = NewList(shadows);
        for (int t = 0; t < 4; ++t) {
            ucList& toolbar = NewList(shadows);
            for (int f = 0; f < 2; ++f) {
                ucList& folder = NewList(shadows);
                AddItems(folder, {L"file a", L"file b"});
                toolbar.AddSubMenu(L"folder " + std::to_wstring(f), &folder);
            }
            toolbar.AddItem(L"-");
            const int files = t == 3 ? 60 : 3;
            for (int i = 0; i < files; ++i) {
                toolbar.AddItem(L"file " + std::to_wstring(i));
            }
            top.AddSubMenu(L"toolbar " + std::to_wstring(t), &toolbar);
        }
        top.AddItem(L"plain");
    }
    ucList& Top() { return *lists.front(); }
    std::vector<ucList*> Visible() const {
        std::vector<ucList*> visible;
        for (const auto& list : lists) {
            if (list->IsListVisible()) {
                visible.push_back(list.get());
            }
        }
        return visible;
    }
    void ShowTop() { Show(Top(), 700, 300); }
};

// What must hold after every step, as text (empty when all is well).
std::string ChainFaults(const MenuTree& tree) {
    std::ostringstream out;
    const auto fault = [&](bool broken, const auto&... what) {
        if (broken) {
            ((out << what), ...) << "; ";
        }
    };
    const std::vector<ucList*> visible = tree.Visible();
    for (ucList* list : visible) {
        const ucList* parent = list->ParentMenu();
        fault(parent != nullptr && !parent->IsListVisible(), "a visible list's parent is hidden");
        fault(parent == nullptr && list != tree.lists.front().get(),
              "a visible submenu has no parent");
        // Checkers outside the program find the chain through this property.
        fault(::GetPropW(list->hWnd(), kParentMenuProperty) != (parent ? parent->hWnd() : nullptr),
              "a list's window does not name its parent list");
        fault(!::IsWindowVisible(list->hWnd()), "a list says it is visible but its window is not");
        const auto children = std::count_if(visible.begin(), visible.end(), [&](ucList* other) {
            return other->ParentMenu() == list;
        });
        fault(children > 1, children, " open submenus of one list");
    }
    PopupChain& chain = PopupChain::ForThisThread();
    // Asking the desktop costs 22 calls: only where it matters most, once nothing is shown;
    // while a menu is open the chain says who holds the keys.
    if (visible.empty()) {
        const std::vector<UINT> held = HeldHotKeys(kPopupHotKeys);
        fault(!held.empty(), held.size(), " navigation keys still held with no list on screen");
    } else {
        // The frontmost list is the one visible list with no visible submenu.
        std::vector<HWND> tips;
        for (ucList* list : visible) {
            if (list->ChildMenu() == nullptr || !list->ChildMenu()->IsListVisible()) {
                tips.push_back(list->hWnd());
            }
        }
        fault(tips.size() != 1 || chain.HotKeyHolder() != tips.front(),
              "the keys are not with the one frontmost list");
    }
    const std::string broken = chain.CheckInvariants();
    fault(!broken.empty(), "chain: ", broken);
    fault(chain.Lists().size() != visible.size(), "the chain has ", chain.Lists().size(),
          " lists, ", visible.size(), " are visible");
    fault(chain.WatchingPresses() != !visible.empty(), "the mouse hook is ",
          chain.WatchingPresses() ? "held" : "missing");
    return out.str();
}

} // namespace

// A second menu closes the first; a rebuild unloads the lists while the menu is open.
TEST(PopupChain, ASecondMenuOrASubmenuDestroyedWhileOpenGivesEverythingBack) {
    PopupChain& chain = PopupChain::ForThisThread();
    {
        MenuTree first, tree;
        first.ShowTop();
        Click(first.Top(), 1);
        tree.ShowTop();
        EXPECT_EQ(std::tuple(first.Visible().empty(), ChainFaults(tree)), std::tuple(true, ""));
        Click(tree.Top(), 0);
        ucList* child = tree.Top().ChildMenu();
        ASSERT_NE(child, nullptr);
        std::find_if(tree.lists.begin(), tree.lists.end(), [&](auto& list) {
            return list.get() == child;
        })->reset();
        EXPECT_EQ(std::tuple(chain.CheckInvariants(), tree.Top().ChildMenu(), chain.HotKeyHolder()),
                  std::tuple("", nullptr, tree.Top().hWnd()));
        std::erase(tree.lists, nullptr);
    }
    EXPECT_EQ(
        std::tuple(HeldHotKeys(kPopupHotKeys), chain.Lists().empty(), chain.WatchingPresses()),
        std::tuple(std::vector<UINT>{}, true, false));
}

// The tray's notifications and the hook's presses arrive in either order: a press waits until
// handled, and the second press of the double click that opened the menu (left button, inside
// the double-click rectangle and time) keeps it open; any other press closes it.
TEST(PopupChain, OnlyTheSecondPressOfTheOpeningDoubleClickKeepsTheMenu) {
    PopupChain& chain = PopupChain::ForThisThread();
    MenuTree tree;
    const POINT at{1200, 790};
    const DWORD t = ::GetTickCount(), late = t + ::GetDoubleClickTime() + 1;
    const LONG off = ::GetSystemMetrics(SM_CXDOUBLECLK) / 2 + 1;
    const PopupChain::Press presses[] = {{{at.x + 1, at.y}, t + 50, true},
                                         {{at.x + 1, at.y}, t + 50, false},
                                         {at, late, true},
                                         {{at.x + off, at.y}, t + 50, true},
                                         {{at.x - off, at.y}, t, true}};
    for (const auto& press : presses) {
        tree.ShowTop();
        chain.ExpectSecondClick(at, t);
        chain.NotePress(press);
        const bool waited = tree.Top().IsListVisible();
        chain.HandlePendingPresses();
        EXPECT_EQ(std::tuple(waited, tree.Top().IsListVisible()),
                  std::tuple(true, &press == &presses[0]))
            << press.at.x - at.x << " px after " << press.time - t << " ms, left " << press.left;
    }
    tree.Top().HideList();
}

// Taking the focus lets waiting messages in (the window losing it is told at once, another
// thread's sent message may be answered): one may close the list, which then shows nothing.
TEST(PopupChain, AListClosedWhileTakingTheFocusLeavesNoShadowBehind) {
    MenuTree tree(true);
    static ucList* closing = &tree.Top();
    static WNDPROC original = nullptr;
    const unique_window focused(::CreateWindowExW(0, L"EDIT", L"", WS_POPUP | WS_VISIBLE, 0, 0, 50,
                                                  20, nullptr, nullptr, nullptr, nullptr));
    original = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
        focused.get(), GWLP_WNDPROC,
        reinterpret_cast<LONG_PTR>(+[](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
            if (m == WM_KILLFOCUS) {
                closing->HideList();
            }
            return ::CallWindowProcW(original, w, m, wp, lp);
        })));
    ::SetFocus(focused.get());
    tree.ShowTop();
    const HWND shadow = tree.Top().Shadow().hWnd();
    EXPECT_EQ(std::tuple(tree.Top().IsListVisible(), shadow && ::IsWindowVisible(shadow),
                         ChainFaults(tree)),
              std::tuple(false, false, ""));
}

// People move through menus in every order: hovering with short and long pauses, clicking
// rows at any level, keys at the frontmost list or at a list behind it, presses outside.
// After every step the chain must be whole, and no list comes on screen before it has the keys.
TEST(PopupChain, RandomWalksKeepTheChainWhole) {
    shownWithoutKeys = 0;
    const unique_hhook watch(
        ::SetWindowsHookExW(WH_CALLWNDPROC, &WatchShowing, nullptr, ::GetCurrentThreadId()));
    for (unsigned walk = 1; walk <= 5; ++walk) {
        MenuTree tree;
        std::mt19937 random(walk);
        auto pick = [&](size_t n) {
            return static_cast<size_t>(std::uniform_int_distribution<size_t>(0, n - 1)(random));
        };
        std::vector<std::string> actions;
        const UINT keys[] = {VK_UP,   VK_DOWN,  VK_HOME, VK_END,    VK_PRIOR, VK_NEXT,
                             VK_LEFT, VK_RIGHT, VK_TAB,  VK_ESCAPE, VK_RETURN};
        for (int step = 0; step < 300; ++step) {
            std::vector<ucList*> visible = tree.Visible();
            std::ostringstream action;
            std::string stepFault;
            const size_t kind = visible.empty() ? 0 : pick(8);
            if (kind == 0) {
                action << "show top";
                tree.ShowTop();
            } else {
                ucList& list = *visible[pick(visible.size())];
                const long row =
                    static_cast<long>(pick(static_cast<size_t>(list.Items().ListCount())));
                const size_t at = static_cast<size_t>(
                    std::find(visible.begin(), visible.end(), &list) - visible.begin());
                switch (kind) {
                case 1:
                case 2: {
                    const int dwell = pick(2) == 0 ? 5 : 40;
                    action << "hover list " << at << " row " << row << " for " << dwell;
                    ::SendMessageW(list.hWnd(), WM_MOUSEMOVE, 0, RowPoint(list, row));
                    for (int i = 0; i < dwell && list.IsListVisible(); ++i) {
                        list.TimerTick();
                    }
                    break;
                }
                case 3:
                case 4:
                    action << "click list " << at << " row " << row;
                    Click(list, row);
                    break;
                case 5: {
                    const UINT key = keys[pick(std::size(keys))];
                    action << "hot key " << key;
                    if (HWND holder = PopupChain::ForThisThread().HotKeyHolder()) {
                        ::SendMessageW(holder, WM_HOTKEY, key, MAKELPARAM(0, key));
                    }
                    break;
                }
                case 6: {
                    const UINT key = keys[pick(std::size(keys))];
                    action << "key " << key << " at list " << at;
                    list.SetKeyDown(static_cast<int>(key));
                    break;
                }
                default:
                    if (step % 2 == 0) {
                        action << "press outside";
                        PopupChain::ForThisThread().PressAt({{2, 2}});
                        break;
                    }
                    RECT r{};
                    ::GetWindowRect(list.hWnd(), &r);
                    action << "press on list " << at;
                    PopupChain::ForThisThread().PressAt({{r.left + 3, r.top + 3}});
                    if (tree.Visible() != visible) {
                        action << ": closed lists of the chain";
                        stepFault = "a press on a list of the chain closed lists; ";
                    }
                    break;
                }
            }
            PumpMessages();
            actions.push_back(action.str());
            if (const std::string faults = stepFault + ChainFaults(tree); !faults.empty()) {
                std::string trail;
                for (size_t i = actions.size() > 20 ? actions.size() - 20 : 0; i < actions.size();
                     ++i) {
                    trail += "  " + actions[i] + "\n";
                }
                FAIL() << "walk " << walk << ", step " << step << ": " << faults
                       << "\nlast actions:\n"
                       << trail;
            }
        }
        tree.Top().HideList();
        ASSERT_EQ(HeldHotKeys(kPopupHotKeys), std::vector<UINT>{}) << "walk " << walk;
        // A closed menu leaves nothing that wakes the program (a laptop's battery pays for it).
        EXPECT_EQ(CountTimers(nullptr, 200), 0) << "walk " << walk << ": awake when closed";
    }
    EXPECT_EQ(shownWithoutKeys, 0) << "lists shown before they held the keys";
}

// Someone who lives in the menu opens the same submenus all day: nothing may pile up. Windows,
// GDI objects and shell pictures come from the process's own tables (GetGuiResources answers 0
// under Wine), counted after the first opening, which creates what later ones reuse.
TEST(PopupChain, HundredsOfOpeningsOfSubmenusLeaveNoObjectBehind) {
    MenuTree tree(true);
    tree.ShowTop();
    ucList& top = tree.Top();
    const auto cycle = [&](int n) {
        Click(top, n % 4); // opens that toolbar's submenu, closing the one open before
        ucList* child = top.ChildMenu();
        ASSERT_NE(child, nullptr);
        Click(*child, 0); // and a folder below it
        for (int back = 0; back < 2; ++back) {
            ::SendMessageW(PopupChain::ForThisThread().HotKeyHolder(), WM_HOTKEY, VK_LEFT,
                           VK_LEFT << 16);
        }
        PumpMessages();
    };
    for (int n = 0; n < 4; ++n) {
        cycle(n);
    }
    const long gdi = GdiObjects(), windows = ProcessWindows();
    ASSERT_GE(gdi, 0) << "the GDI handle table cannot be read";
    for (int n = 0; n < 100; ++n) {
        cycle(n);
    }
    EXPECT_EQ(std::tuple(GdiObjects(), ProcessWindows(), tree.Visible().size()),
              std::tuple(gdi, windows, 1u));
}

// A key pressed while the keys were moving was posted to the list that held them then: it is
// meant for the list that is frontmost now.
TEST(PopupChain, AHotKeyPostedToTheFormerHolderGoesToTheFrontmostList) {
    MenuTree tree;
    ucList& top = tree.Top();
    tree.ShowTop();
    const HWND topWindow = top.hWnd();
    Click(top, 0);
    ucList* child = top.ChildMenu();
    ASSERT_NE(child, nullptr);
    // Escape reached the top list just as the submenu appeared: only the submenu closes.
    ::SendMessageW(topWindow, WM_HOTKEY, VK_ESCAPE, MAKELPARAM(0, VK_ESCAPE));
    EXPECT_FALSE(child->IsListVisible());
    EXPECT_TRUE(top.IsListVisible()) << "the whole menu closed";
    // Down reached the submenu just after it hid: the top list moves.
    const HWND childWindow = child->hWnd();
    top.SetListIndex(-1);
    ::SendMessageW(childWindow, WM_HOTKEY, VK_DOWN, MAKELPARAM(0, VK_DOWN));
    EXPECT_EQ(top.ListIndex(), 0);
    top.HideList();
}

// A key another program held when the menu opened is asked for again: the menu must not stay
// deaf to it once the other program lets go.
TEST(PopupChain, KeysHeldElsewhereAtOpeningAreTakenOnceFree) {
    const HWND other = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                         ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(::RegisterHotKey(other, 1, 0, VK_RIGHT));
    MenuTree tree;
    tree.ShowTop();
    PopupChain& chain = PopupChain::ForThisThread();
    EXPECT_EQ(chain.HotKeysHeld(), kPopupHotKeyCount - 1);
    ::UnregisterHotKey(other, 1);
    ::DestroyWindow(other);
    PumpUntil([&] { return chain.HotKeysHeld() == kPopupHotKeyCount; }, 2000);
    EXPECT_EQ(chain.HotKeysHeld(), kPopupHotKeyCount) << "Right stayed with nobody";
    tree.Top().HideList();
    EXPECT_EQ(chain.HotKeysHeld(), 0u);
}
