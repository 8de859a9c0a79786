#pragma once

#include <windows.h>

#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "core/popup_rules.h"
#include "win/unique_handle.h"

namespace zelk {

class ucList;

// The keys a shown popup takes from the whole desktop, so menus work without the focus.
inline constexpr UINT kPopupHotKeys[] = {VK_DOWN,  VK_UP,   VK_RETURN, VK_ESCAPE, VK_HOME, VK_END,
                                         VK_PRIOR, VK_NEXT, VK_TAB,    VK_LEFT,   VK_RIGHT};

// Ctrl + Enter chooses the row to be shown in its folder; held as a hot key of its own, under
// the key code with this bit added.
inline constexpr UINT kControlReturnHotKey = VK_RETURN;
inline constexpr int kControlHotKeyBit = 0x1000;
// The Menu key and Shift + F10 ask for the shell's menu of the focused row.
inline constexpr UINT kMenuKeyHotKey = VK_APPS;
inline constexpr UINT kShiftF10HotKey = VK_F10;
inline constexpr int kShiftHotKeyBit = 0x2000;
// Every hot key a shown popup holds: the plain keys, Ctrl + Enter, the Menu key, Shift + F10.
inline constexpr size_t kPopupHotKeyCount = std::size(kPopupHotKeys) + 3;

// Set on a shown submenu's window, holding its parent list's window, so that a checker in
// another process can see which list opened which.
inline constexpr wchar_t kParentMenuProperty[] = L"ZelkToolBars.ParentMenu";

// Posted by the mouse hook to the frontmost list: a button went down, and its press waits in
// the chain (PopupChain::HandlePendingPresses).
inline constexpr UINT kOutsidePressMessage = WM_APP + 0x51;

// The hot keys of one window, given back by whatever ends their registration.
class HotKeyRegistration {
public:
    HotKeyRegistration() = default;
    HotKeyRegistration(const HotKeyRegistration&) = delete;
    HotKeyRegistration& operator=(const HotKeyRegistration&) = delete;
    ~HotKeyRegistration() { Release(); }
    // Registers every key it can; a key another program holds is left to it for now.
    void Register(HWND window);
    // Asks again for the keys another program held at Register (it may have let go).
    void RegisterMissing();
    void Release();
    HWND Owner() const { return owner_; }
    size_t Count() const { return ids_.size(); }
    bool Complete() const { return ids_.size() == kPopupHotKeyCount; }

private:
    HWND owner_ = nullptr;
    std::vector<int> ids_;
};

using unique_hhook = unique_handle<HandleTraits<HHOOK, ::UnhookWindowsHookEx>>;

// The open popup lists of this thread, from the top list to the frontmost submenu.
//
// Invariants (CheckInvariants): every list of the chain is visible; each is the only open
// submenu of the one before it; no popup list of the thread outside the chain is visible;
// the navigation hot keys are held by the frontmost list alone and the low-level mouse hook
// is installed exactly while the chain is not empty. Hot keys and the hook are system-wide,
// so one chain per thread is all there can be: showing a second top list closes the first.
class PopupChain {
public:
    static PopupChain& ForThisThread();
    PopupChain(const PopupChain&) = delete;
    PopupChain& operator=(const PopupChain&) = delete;

    // A popup list exists (it has a window) / is going away.
    void Track(ucList& list);
    void Untrack(ucList& list);

    // `list` is being shown. With a parent that is open, it becomes that parent's one open
    // submenu (whatever was open from the parent closes first); otherwise it is a new top list
    // and any other chain closes.
    void Showing(ucList& list);
    // `list` hid: it leaves the chain with everything opened from it, and the keys go to the
    // list that is frontmost now.
    void Hidden(ucList& list);
    // A button went down at this screen point: outside every list of the chain, it closes
    // them, unless it is the second press of a double click on what opened the menu.
    struct Press {
        POINT at{};
        DWORD time = 0; // tick count
        bool left = true;
    };
    void PressAt(const Press& press);
    // The click that opened the top list (on the tray icon): the next left press that completes
    // a double click with it leaves the menu open, as the double click's notification expects.
    // Forgotten when the chain closes.
    void ExpectSecondClick(POINT at, DWORD time);
    // The presses the mouse hook saw that no list has handled yet. The hook's message and the
    // shell's notifications for the same press reach the thread in either order: a decision
    // taken on a notification first handles every press made before it.
    void HandlePendingPresses();
    // What the mouse hook does with a press: notes it, and wakes the frontmost list (whose
    // timer also handles what is noted, should the wake-up not be posted).
    void NotePress(const Press& press);
    void CloseAll();

    // Keys and the hook move once, when the outermost batch ends: hiding a chain of five
    // lists hands them over once, and no half-closed chain is ever checked.
    class Batch {
    public:
        Batch();
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        PopupChain& chain_;
    };

    const std::vector<ucList*>& Lists() const { return lists_; }
    ucList* Frontmost() const { return lists_.empty() ? nullptr : lists_.back(); }
    bool Contains(const ucList& list) const;
    HWND HotKeyHolder() const { return hotKeys_.Owner(); }
    size_t HotKeysHeld() const { return hotKeys_.Count(); }
    // Called at the frontmost list's ticks: keys that another program held when the menu
    // opened are asked for again, at most every 100 ms, so the menu does not stay deaf to them.
    void RetryMissingHotKeys();
    bool WatchingPresses() const { return static_cast<bool>(mouseHook_); }
    // Empty when every invariant holds, else what is broken.
    std::string CheckInvariants() const;

private:
    PopupChain() = default;
    // Hands the keys and the hook to the chain as it is now.
    void Settle();
    // The keys go to the frontmost list before it is seen: a key pressed the moment a menu
    // appears must reach it, not the window behind.
    void HandKeysToFrontmost();
    static LRESULT CALLBACK MouseHook(int code, WPARAM wParam, LPARAM lParam);

    std::vector<ucList*> lists_;
    std::vector<ucList*> tracked_;
    int depth_ = 0;
    std::vector<Press> pendingPresses_;
    std::optional<TimedPoint> openingClick_;
    unsigned long long lastRetry_ = 0;
    HotKeyRegistration hotKeys_;
    unique_hhook mouseHook_;
};

} // namespace zelk
