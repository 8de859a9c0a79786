#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/list_model.h"

namespace zelk {

// What a screen reader is told about the rows of a list. Roles and states carry the numbers
// Active Accessibility gives them, so the Windows side hands them on unchanged.
enum AccessibleRole : uint32_t {
    kRoleMenuPopup = 0x0B,
    kRoleMenuItem = 0x0C,
    kRoleSeparator = 0x15,
    kRoleList = 0x21,
    kRoleListItem = 0x22,
    kRoleStaticText = 0x29,
};
enum AccessibleState : uint32_t {
    kStateUnavailable = 0x1,
    kStateSelected = 0x2,
    kStateFocused = 0x4,
    kStateChecked = 0x10,
    kStateHotTracked = 0x80,
    kStateInvisible = 0x8000,
    kStateOffscreen = 0x10000,
    kStateFocusable = 0x100000,
    kStateSelectable = 0x200000,
    kStateHasPopup = 0x40000000,
};

// How the list around the row is shown.
struct RowContext {
    bool menu = false;        // a menu (ListStyle 2) rather than a list
    bool multiSelect = false; // rows show check boxes
    bool hasKeys = false;     // the list holds the keyboard: its current row has the focus
    bool painted = true;      // the row was drawn at the last paint (false: scrolled away)
};

struct RowAccessibility {
    uint32_t role = kRoleListItem;
    uint32_t state = 0;
    std::wstring name;
    std::wstring shortcut; // the accelerator's character, empty without one
    bool hasDefaultAction = false;
};

RowAccessibility DescribeRow(const ListModel& model, long index, const RowContext& context);

// A caption as it reads: the part before a tab, "&&" as "&", the accelerator's "&" gone.
std::wstring ReadableCaption(std::wstring_view text);

} // namespace zelk
