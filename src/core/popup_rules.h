#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/list_model.h"

namespace zelk {

// Where a popup list goes on the screen, from the point it is wanted at and its anchors.
struct PlacementRequest {
    long left = 0, top = 0;       // the wanted top-left corner
    long btnLeft = 0, btnTop = 0; // anchors (>= 1): right edge / bottom edge when it does not fit
    // A submenu's btnLeft is its parent's left edge: an anchor even at 0 or below, as it is on a
    // monitor left of the main one.
    bool btnLeftIsParentEdge = false;
    int screenWidth = 0, screenHeight = 0;
    long screenLeft = 0,
         screenTop = 0;       // the monitor's origin: negative left of or above the main one
    int width = 0;            // ListWidth × s
    int height = 0;           // from PopupHeight
    int displayDirection = 0; // 1: the list opens to the left of the point
};
// The bounds are the work area of the monitor the list opens on: a list never leaves it when it
// fits there. Leftward lists that reach its left edge turn back to the right of the point.
struct Placement {
    long left = 0, top = 0;
    int width = 0, height = 0;
    long anchorLeft = 0, anchorBottom = 0; // 0 when not anchored
    // Whether the list lies right of its point: a cascade goes on in the way its last list went.
    bool rightwards = false;
    bool operator==(const Placement&) const = default;
};
Placement PlacePopup(const PlacementRequest& request);

// The popup's height: header, every row (half rows for separators, rounded after each), the
// margin, never more than the screen, then limited by MaxListHeight. MaxVisibleItems above 0
// first replaces maxListHeight (which the list keeps).
int PopupHeight(const ListModel& model, int rowHeight, int header, int margin, int screenHeight,
                int maxVisibleItems, int& maxListHeight);

// The submenu hover delay, one tick of the list's timer at a time.
class HoverDelay {
public:
    static constexpr int kTicks = 30; // the submenu moves on the 31st tick
    // The hot row changed to a row (not to -1).
    void HotRowChanged(long row, bool hasSubMenu);
    void Cancel();
    struct Step {
        bool closeSubMenu = false;
        bool openSubMenu = false;
    };
    Step Tick();
    long PendingRow() const { return tag_; }
    bool OpenPending() const { return openPending_; }
    bool ClosePending() const { return closePending_; }

private:
    bool openPending_ = false, closePending_ = false;
    int ticks_ = 0;
    long tag_ = -1;
};

// A press that completes the double click begun by the click which opened a menu: inside the
// double-click rectangle centred on that click and within the double-click time of it, either
// way (the click is noted when its notification is answered, which may be after the second
// press was made). Such a press is the second half of the user's double click, not a press that
// dismisses the menu. Times are tick counts, which wrap.
struct TimedPoint {
    long x = 0, y = 0;
    uint32_t time = 0;
};
bool CompletesDoubleClick(const TimedPoint& first, const TimedPoint& press, int rectWidth,
                          int rectHeight, uint32_t doubleClickTime);

bool IsSelectable(const ListItem& item);

// The row a navigation key selects, or nullopt when nothing moves. pageRows = V \ H.
enum NavigationKey : int {
    kKeyPageUp = 33,
    kKeyPageDown = 34,
    kKeyEnd = 35,
    kKeyHome = 36,
    kKeyUp = 38,
    kKeyDown = 40,
};
std::optional<long> NavigateKey(const ListModel& model, int keyCode, int pageRows);

// Menus: the first row with "&" followed by the character (case-insensitive).
std::optional<long> FindAccelerator(const ListModel& model, wchar_t typed);
// Other lists: the next row after ListIndex, wrapping, whose text starts with the character.
std::optional<long> TypeAhead(const ListModel& model, wchar_t typed);

// Narrows the rows to those containing the text (case-insensitive); group headers show when a
// child of theirs matches. Returns the match count and the content height of what shows.
struct FilterResult {
    long matches = 0;
    long contentHeight = 0;
};
FilterResult ApplyFilter(ListModel& model, const std::wstring& text, int rowHeight);

// The selectable row whose band holds y (client coordinates, rows starting at top), or -1.
long HitTestRows(const ListModel& model, int y, int top, int rowHeight, int clientHeight);

// The scroll value that brings a row into a view of the given height.
long EnsureVisibleValue(const ListModel& model, long row, long value, int viewHeight,
                        int rowHeight);

} // namespace zelk
