#include "controls/list/popup_chain.h"

#include <algorithm>
#include <cassert>
#include <sstream>
#include <utility>

#include "controls/list/ucList.h"

namespace zelk {

void HotKeyRegistration::Register(HWND window) {
    Release();
    owner_ = window;
    RegisterMissing();
}

void HotKeyRegistration::RegisterMissing() {
    if (owner_ == nullptr) {
        return;
    }
    for (UINT key : kPopupHotKeys) {
        const int id = static_cast<int>(key);
        // The key code is the identifier: WM_HOTKEY then names the key it stands for.
        if (std::find(ids_.begin(), ids_.end(), id) == ids_.end() &&
            ::RegisterHotKey(owner_, id, 0, key)) {
            ids_.push_back(id);
        }
    }
    const struct {
        int id;
        UINT modifiers, key;
    } chords[] = {
        {kControlHotKeyBit | static_cast<int>(kControlReturnHotKey), MOD_CONTROL,
         kControlReturnHotKey},
        {static_cast<int>(kMenuKeyHotKey), 0, kMenuKeyHotKey},
        {kShiftHotKeyBit | static_cast<int>(kShiftF10HotKey), MOD_SHIFT, kShiftF10HotKey},
    };
    for (const auto& chord : chords) {
        if (std::find(ids_.begin(), ids_.end(), chord.id) == ids_.end() &&
            ::RegisterHotKey(owner_, chord.id, chord.modifiers, chord.key)) {
            ids_.push_back(chord.id);
        }
    }
}

void HotKeyRegistration::Release() {
    for (int id : ids_) {
        ::UnregisterHotKey(owner_, id);
    }
    ids_.clear();
    owner_ = nullptr;
}

PopupChain& PopupChain::ForThisThread() {
    // The desktop's hot keys and a low-level mouse hook, which carries no user data, are what
    // a chain holds: there can be one per thread, and the hook must find it from its thread.
    thread_local PopupChain chain;
    return chain;
}

PopupChain::Batch::Batch() : chain_(ForThisThread()) {
    ++chain_.depth_;
}

PopupChain::Batch::~Batch() {
    if (--chain_.depth_ == 0) {
        chain_.Settle();
    }
}

void PopupChain::Track(ucList& list) {
    if (std::find(tracked_.begin(), tracked_.end(), &list) == tracked_.end()) {
        tracked_.push_back(&list);
    }
}

void PopupChain::Untrack(ucList& list) {
    std::erase(tracked_, &list);
    if (Contains(list)) {
        // Going away while still open (its owner was destroyed under it): what it opened
        // closes with it, the list before it stays.
        Batch batch;
        const auto at = std::find(lists_.begin(), lists_.end(), &list);
        const std::vector<ucList*> below(at + 1, lists_.end());
        lists_.erase(at, lists_.end());
        if (!lists_.empty() && lists_.back()->childMenu_ == &list) {
            lists_.back()->childMenu_ = nullptr;
        }
        for (ucList* other : below) {
            other->parentMenu_ = nullptr;
            other->HideList();
        }
    }
}

bool PopupChain::Contains(const ucList& list) const {
    return std::find(lists_.begin(), lists_.end(), &list) != lists_.end();
}

void PopupChain::Showing(ucList& list) {
    Batch batch;
    ucList* parent = list.parentMenu_;
    if (parent != nullptr && parent != &list && Contains(*parent)) {
        // One open submenu per list: whatever the parent had open goes first.
        const auto at = std::find(lists_.begin(), lists_.end(), parent);
        const std::vector<ucList*> below(at + 1, lists_.end());
        lists_.erase(at + 1, lists_.end());
        for (ucList* other : below) {
            if (other != &list && other->listVisible_) {
                other->parentMenu_ = nullptr; // hiding it must not close the parent
                other->HideList();
            }
        }
        parent->childMenu_ = &list;
        lists_.push_back(&list);
        if (list.hwnd_ != nullptr) {
            ::SetPropW(list.hwnd_, kParentMenuProperty, parent->hwnd_);
        }
        HandKeysToFrontmost();
        return;
    }
    // A new top list: a parent that is not open cannot own it, and another chain closes.
    list.parentMenu_ = nullptr;
    if (!lists_.empty() && lists_.front() != &list) {
        CloseAll();
    }
    lists_.assign(1, &list);
    HandKeysToFrontmost();
}

void PopupChain::Hidden(ucList& list) {
    Batch batch;
    if (list.hwnd_ != nullptr) {
        ::RemovePropW(list.hwnd_, kParentMenuProperty);
    }
    const auto at = std::find(lists_.begin(), lists_.end(), &list);
    if (at == lists_.end()) {
        return;
    }
    const std::vector<ucList*> below(at + 1, lists_.end());
    lists_.erase(at, lists_.end());
    for (ucList* other : below) {
        if (other->listVisible_) {
            other->parentMenu_ = nullptr;
            other->HideList();
        }
    }
}

void PopupChain::RetryMissingHotKeys() {
    if (depth_ != 0 || hotKeys_.Owner() == nullptr || hotKeys_.Complete()) {
        return;
    }
    const unsigned long long now = ::GetTickCount64();
    if (now - lastRetry_ < 100) {
        return;
    }
    lastRetry_ = now;
    hotKeys_.RegisterMissing();
}

void PopupChain::PressAt(const Press& press) {
    if (lists_.empty()) {
        return;
    }
    // Kept while it matches: without the hook, a held button is seen at every tick.
    if (openingClick_ && press.left &&
        CompletesDoubleClick(*openingClick_, {press.at.x, press.at.y, press.time},
                             ::GetSystemMetrics(SM_CXDOUBLECLK), ::GetSystemMetrics(SM_CYDOUBLECLK),
                             ::GetDoubleClickTime())) {
        return;
    }
    openingClick_.reset();
    const POINT screen = press.at;
    const HWND under = ::WindowFromPoint(screen);
    for (const ucList* list : lists_) {
        // The list itself, its scroll bar or its filter box: the press is the list's own.
        if (list->hwnd_ != nullptr && (under == list->hwnd_ || ::IsChild(list->hwnd_, under))) {
            return;
        }
    }
    CloseAll();
}

void PopupChain::ExpectSecondClick(POINT at, DWORD time) {
    openingClick_ = TimedPoint{at.x, at.y, time};
}

void PopupChain::HandlePendingPresses() {
    // One at a time: a press may close the chain, and a hook call during that may add more.
    while (!pendingPresses_.empty()) {
        const Press press = pendingPresses_.front();
        pendingPresses_.erase(pendingPresses_.begin());
        PressAt(press);
    }
}

void PopupChain::NotePress(const Press& press) {
    const ucList* frontmost = Frontmost();
    if (frontmost != nullptr && frontmost->hwnd_ != nullptr) {
        pendingPresses_.push_back(press);
        ::PostMessageW(frontmost->hwnd_, kOutsidePressMessage, 0, 0);
    }
}

void PopupChain::CloseAll() {
    Batch batch;
    // Hiding the top list closes its submenus; a list cut off from it is closed on its own.
    while (!lists_.empty()) {
        ucList* list = lists_.front();
        list->HideList();
        if (!lists_.empty() && lists_.front() == list) {
            lists_.erase(lists_.begin()); // it was hidden already and never said so
        }
    }
}

void PopupChain::HandKeysToFrontmost() {
    const HWND frontmost = lists_.empty() ? nullptr : lists_.back()->hwnd_;
    if (hotKeys_.Owner() != frontmost) {
        // Free the keys before the next list asks: a key can be held by one window only.
        hotKeys_.Release();
        if (frontmost != nullptr) {
            hotKeys_.Register(frontmost);
        }
    }
}

void PopupChain::Settle() {
    HandKeysToFrontmost();
    if (lists_.empty()) {
        mouseHook_.reset();
        pendingPresses_.clear();
        openingClick_.reset();
    } else if (!mouseHook_) {
        // Without the hook the frontmost list watches the buttons at each tick instead.
        mouseHook_.reset(
            ::SetWindowsHookExW(WH_MOUSE_LL, &MouseHook, ::GetModuleHandleW(nullptr), 0));
    }
#ifndef NDEBUG
    const std::string broken = CheckInvariants();
    if (!broken.empty()) {
        ::OutputDebugStringA(("popup chain: " + broken + "\n").c_str());
        assert(broken.empty());
    }
#endif
}

std::string PopupChain::CheckInvariants() const {
    std::ostringstream out;
    for (size_t i = 0; i < lists_.size(); ++i) {
        const ucList& list = *lists_[i];
        if (!list.listVisible_) {
            out << "list " << i << " of the chain is hidden; ";
        }
        const ucList* parent = i == 0 ? nullptr : lists_[i - 1];
        if (list.parentMenu_ != parent) {
            out << "list " << i << " does not name the list before it as its parent; ";
        }
        const ucList* child = i + 1 < lists_.size() ? lists_[i + 1] : nullptr;
        if (list.childMenu_ != child &&
            !(child == nullptr && list.childMenu_ != nullptr && !list.childMenu_->listVisible_)) {
            out << "list " << i << " names another open submenu; ";
        }
    }
    for (const ucList* list : tracked_) {
        if (list->listVisible_ && !Contains(*list)) {
            out << "a visible list is outside the chain; ";
        }
    }
    const HWND frontmost = lists_.empty() ? nullptr : lists_.back()->hwnd_;
    if (hotKeys_.Owner() != frontmost) {
        out << "the hot keys are not held by the frontmost list; ";
    }
    if (static_cast<bool>(mouseHook_) && lists_.empty()) {
        out << "the mouse hook outlives the chain; ";
    }
    return out.str();
}

LRESULT CALLBACK PopupChain::MouseHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION &&
        (wParam == WM_LBUTTONDOWN || wParam == WM_RBUTTONDOWN || wParam == WM_MBUTTONDOWN)) {
        // Only noted: the hook must answer at once, and the chain may change on the way. The
        // hook runs on the chain's thread, between its messages.
        const auto* info = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
        ForThisThread().NotePress({info->pt, info->time, wParam == WM_LBUTTONDOWN});
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace zelk
