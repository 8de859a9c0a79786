#include "core/popup_rules.h"

#include <algorithm>
#include <cstdlib>

#include "core/rounding.h"

namespace zelk {

namespace {

// The height a row takes in the flow, as the list places rows.
double Advance(double y, const ListItem& item, int rowHeight) {
    return item.IsSeparator ? static_cast<double>(RoundHalfEven(y + rowHeight / 2.0))
                            : y + rowHeight;
}

} // namespace

Placement PlacePopup(const PlacementRequest& r) {
    Placement p{r.left, r.top, r.width, r.height, 0, 0};
    // An anchor of 1 or more takes the edge that does not fit; without one, the fallback.
    const auto edgeAt = [](long anchor, bool given, long fallback, long& kept) {
        if (given || anchor >= 1) {
            kept = anchor;
            return anchor;
        }
        return fallback;
    };
    const long right = r.screenLeft + r.screenWidth, bottom = r.screenTop + r.screenHeight;
    if (p.top + p.height > bottom) {
        p.top = edgeAt(r.btnTop, false, bottom, p.anchorBottom) - p.height;
    }
    if (r.displayDirection == 1) {
        p.left = edgeAt(r.btnLeft, r.btnLeftIsParentEdge, p.left, p.anchorLeft) - p.width;
        // A cascade that reaches the left edge turns back: the list opens on the other side
        // of the point it was given (its parent's right edge), and its own submenus go on
        // that way, as the system's menus do. Room on neither side: the rules below bring it
        // back to the anchor, and onto the screen.
        if (p.left < r.screenLeft) {
            p.left = r.left;
            p.anchorLeft = 0;
        }
    }
    if (p.left + p.width > right) {
        p.left = edgeAt(r.btnLeft, r.btnLeftIsParentEdge, right, p.anchorLeft) - p.width;
    }
    // Whatever the anchors say, a list stays on the screen, from its left or top edge when it
    // is bigger.
    p.left = std::max(std::min(p.left, right - p.width), r.screenLeft);
    p.top = std::max(std::min(p.top, bottom - p.height), r.screenTop);
    p.rightwards = p.left >= r.left;
    return p;
}

int PopupHeight(const ListModel& model, int rowHeight, int header, int margin, int screenHeight,
                int maxVisibleItems, int& maxListHeight) {
    double h = header + margin;
    for (const auto& item : model.Items()) {
        h = Advance(h, item, rowHeight);
        if (h > screenHeight) {
            h = screenHeight;
            break;
        }
    }
    if (maxVisibleItems > 0) {
        maxListHeight = header + maxVisibleItems * rowHeight + margin;
    }
    if (maxListHeight > 0 && h > maxListHeight) {
        h = maxListHeight;
    }
    return static_cast<int>(RoundHalfEven(h));
}

void HoverDelay::HotRowChanged(long row, bool hasSubMenu) {
    ticks_ = 0;
    if (hasSubMenu) {
        openPending_ = true;
        closePending_ = false;
        tag_ = row;
    } else {
        closePending_ = true;
        openPending_ = false;
        tag_ = -1;
    }
}

void HoverDelay::Cancel() {
    openPending_ = closePending_ = false;
}

HoverDelay::Step HoverDelay::Tick() {
    Step step;
    if (openPending_ && ++ticks_ > kTicks) {
        openPending_ = false;
        step.closeSubMenu = step.openSubMenu = true;
    }
    if (closePending_ && ++ticks_ > kTicks) {
        closePending_ = false;
        step.closeSubMenu = true;
    }
    return step;
}

bool CompletesDoubleClick(const TimedPoint& first, const TimedPoint& press, int rectWidth,
                          int rectHeight, uint32_t doubleClickTime) {
    const long long elapsed = static_cast<int32_t>(press.time - first.time);
    const long long dx = press.x - first.x, dy = press.y - first.y;
    return std::llabs(dx) <= rectWidth / 2 && std::llabs(dy) <= rectHeight / 2 &&
           std::llabs(elapsed) <= static_cast<long long>(doubleClickTime);
}

bool IsSelectable(const ListItem& item) {
    return item.Visible && !item.Disabled && !item.IsGroup && !item.IsSeparator;
}

std::optional<long> NavigateKey(const ListModel& model, int keyCode, int pageRows) {
    const long last = model.ListCount() - 1;
    const long current = model.ListIndex();
    const auto scanUp = [&](long from) -> std::optional<long> { // towards the end
        for (long i = std::max(from, 0L); i <= last; ++i) {
            if (IsSelectable(model.Items()[static_cast<size_t>(i)])) {
                return i;
            }
        }
        return std::nullopt;
    };
    const auto scanDown = [&](long from) -> std::optional<long> { // towards row 0
        for (long i = std::min(from, last); i >= 0; --i) {
            if (IsSelectable(model.Items()[static_cast<size_t>(i)])) {
                return i;
            }
        }
        return std::nullopt;
    };
    std::optional<long> target;
    switch (keyCode) {
    case kKeyUp:
        target = current - 1 >= 0 ? scanDown(current - 1) : std::nullopt;
        break;
    case kKeyDown:
        target = scanUp(current + 1);
        break;
    case kKeyHome:
        target = scanUp(0);
        break;
    case kKeyEnd:
        target = scanDown(last);
        break;
    case kKeyPageDown: {
        const long from = current + pageRows;
        target = from > last ? std::nullopt : scanUp(from);
        if (!target) {
            target = scanDown(last);
        }
        break;
    }
    case kKeyPageUp: {
        const long from = current - pageRows;
        target = from < 0 ? std::nullopt : scanDown(from);
        if (!target) {
            target = scanUp(0);
        }
        break;
    }
    default:
        return std::nullopt;
    }
    if (target && *target == current) {
        return std::nullopt;
    }
    return target;
}

std::optional<long> FindAccelerator(const ListModel& model, wchar_t typed) {
    for (long i = 0; i < model.ListCount(); ++i) {
        const ListItem& item = model.Items()[static_cast<size_t>(i)];
        if (item.Disabled || item.IsGroup || item.IsSeparator) {
            continue;
        }
        const auto amp = item.Text.find(L'&');
        if (amp == std::wstring::npos) {
            continue;
        }
        const std::wstring_view marked = std::wstring_view(item.Text).substr(amp + 1);
        if (!marked.empty() &&
            FoldedEquals(model.Folding(), marked.substr(0, CharacterLength(marked)),
                         std::wstring_view(&typed, 1))) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<long> TypeAhead(const ListModel& model, wchar_t typed) {
    const long count = model.ListCount();
    if (count == 0) {
        return std::nullopt;
    }
    const long start = model.ListIndex();
    for (long step = 1; step <= count; ++step) {
        const long i = ((start < 0 ? -1 : start) + step) % count;
        if (i == start) {
            break;
        }
        const ListItem& item = model.Items()[static_cast<size_t>(i)];
        if (!item.Disabled && !item.IsGroup && !item.Text.empty() &&
            FoldedStartsWith(model.Folding(), item.Text, std::wstring_view(&typed, 1))) {
            return i;
        }
    }
    return std::nullopt;
}

FilterResult ApplyFilter(ListModel& model, const std::wstring& text, int rowHeight) {
    FilterResult result;
    model.SetListIndex(-1);
    ListItem* header = nullptr;
    for (long i = 0; i < model.ListCount(); ++i) {
        ListItem& item = model.MutableItem(i);
        if (item.IsGroup) {
            item.Visible = false;
            header = &item;
            continue;
        }
        item.Visible = !item.Text.empty() && FoldedContains(model.Folding(), item.Text, text);
        if (item.Visible) {
            result.contentHeight += rowHeight;
            ++result.matches;
            if (item.IsChild && header != nullptr && !header->Visible) {
                header->Visible = true;
                result.contentHeight += rowHeight;
            }
        }
    }
    return result;
}

long HitTestRows(const ListModel& model, int y, int top, int rowHeight, int clientHeight) {
    double rowTop = top;
    for (const auto& item : model.Items()) {
        if (rowTop > clientHeight) {
            break;
        }
        if (!item.Visible) {
            continue;
        }
        const int t = static_cast<int>(rowTop);
        if (y >= t && y < t + rowHeight) {
            if (IsSelectable(item)) {
                return static_cast<long>(&item - model.Items().data());
            }
        }
        rowTop = Advance(rowTop, item, rowHeight);
    }
    return -1;
}

long EnsureVisibleValue(const ListModel& model, long row, long value, int viewHeight,
                        int rowHeight) {
    double bottom = 0;
    for (long i = 0; i <= row && i < model.ListCount(); ++i) {
        const ListItem& item = model.Items()[static_cast<size_t>(i)];
        if (item.Visible) {
            bottom = Advance(bottom, item, rowHeight);
        }
    }
    const long b = static_cast<long>(RoundHalfEven(bottom));
    if (b > value + viewHeight) {
        return b - viewHeight;
    }
    if (b - rowHeight < value) {
        return b - rowHeight;
    }
    return value;
}

} // namespace zelk
