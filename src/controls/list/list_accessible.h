#pragma once

#include <windows.h>
#include <oleacc.h>

namespace zelk {

class ucList;
class ListAccessible;

// Posted to a list by a screen reader's default action: choose row wParam as Enter would,
// once the reader's call has returned (choosing may open a program or close the menu).
inline constexpr UINT kAccessibleChooseMessage = WM_APP + 0x52;

// A list as screen readers see it: the list is the object, each row a simple child (child id
// = row + 1). The list's window answers WM_GETOBJECT with it and tells when its current row
// changes or its popup shows. A reader may hold the object longer than the window lives:
// once the window goes, every call answers CO_E_OBJNOTCONNECTED.
class ListAccessibility {
public:
    explicit ListAccessibility(ucList& list) : list_(list) {}
    ~ListAccessibility() { Disconnect(); }
    ListAccessibility(const ListAccessibility&) = delete;
    ListAccessibility& operator=(const ListAccessibility&) = delete;

    // WM_GETOBJECT: the object for OBJID_CLIENT, 0 (the system's own answer) for the rest.
    LRESULT Answer(HWND window, WPARAM wParam, LPARAM lParam);
    // The window is being destroyed (until its last message, nothing more is handed out).
    void Disconnect();
    void WindowGone() { closing_ = false; }
    // After each paint: a new current row is announced, as the focus and the selection.
    void AnnounceRow(HWND window);
    void AnnouncePopup(HWND window, bool shown);
    // The default action arrived (kAccessibleChooseMessage).
    void Choose(long row);
    // Whether the list's current row has the keyboard: the frontmost popup, or the focus.
    static bool HasKeys(const ucList& list);

private:
    ucList& list_;
    ListAccessible* object_ = nullptr;
    long announced_ = -1;
    bool closing_ = false;
};

} // namespace zelk
