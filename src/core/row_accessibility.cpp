#include "core/row_accessibility.h"

#include "core/case_folding.h"
#include "core/popup_rules.h"

namespace zelk {

namespace {

// The character drawn underlined: the one after the first "&" that is not doubled.
std::wstring AcceleratorOf(std::wstring_view text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'&') {
            continue;
        }
        if (text[i + 1] == L'&') {
            ++i;
            continue;
        }
        const std::wstring_view marked = text.substr(i + 1);
        return std::wstring(marked.substr(0, CharacterLength(marked)));
    }
    return {};
}

} // namespace

std::wstring ReadableCaption(std::wstring_view text) {
    text = text.substr(0, text.find(L'\t'));
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&') {
            if (i + 1 == text.size()) {
                break;
            }
            ++i; // the next character stands, an "&" of "&&" included
        }
        out += text[i];
    }
    return out;
}

RowAccessibility DescribeRow(const ListModel& model, long index, const RowContext& context) {
    const ListItem& item = model.Item(index);
    RowAccessibility row;
    row.name = ReadableCaption(item.Text);
    // A group's heading names the rows under it; nothing happens when it is chosen.
    row.role = item.IsSeparator ? kRoleSeparator
               : item.IsGroup   ? kRoleStaticText
               : context.menu   ? kRoleMenuItem
                                : kRoleListItem;
    if (item.IsSeparator) {
        row.name.clear();
    }
    if (item.Disabled) {
        row.state |= kStateUnavailable;
    }
    if (!item.Visible) {
        row.state |= kStateInvisible;
    } else if (!context.painted) {
        row.state |= kStateOffscreen;
    }
    if (IsSelectable(item)) {
        row.state |= kStateFocusable | kStateSelectable;
        row.hasDefaultAction = true;
        if (context.menu) {
            row.shortcut = AcceleratorOf(item.Text);
        }
    }
    if (index == model.ListIndex()) {
        row.state |= kStateSelected;
        if (context.hasKeys) {
            row.state |= kStateFocused;
        }
    }
    if (index == model.HotIndex()) {
        row.state |= kStateHotTracked;
    }
    if (item.SubMenu != nullptr) {
        row.state |= kStateHasPopup;
    } else if (context.multiSelect && item.Selected && !item.IsGroup && !item.IsSeparator) {
        row.state |= kStateChecked;
    }
    return row;
}

} // namespace zelk
