#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/colour.h"
#include "core/list_model.h"
#include "core/settings_rules.h"

namespace zelk {

struct FontDesc {
    std::wstring name = L"Segoe UI";
    double size = 8.25;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    bool operator==(const FontDesc&) const = default;
};

// The saved design-time values of a list, in the order they are read and written.
struct ListProperties {
    FontDesc Font;
    bool SubTitleVisible = false;
    bool ShowFilter = false;
    int ItemHeight = 32;
    int MaxListHeight = 0;
    int ListWidth = 250;
    long ListDesign = 0;
    bool MultiSelect = false;
    bool UseMonocromeIcons = false;
    int BorderRadius = 10;
    bool DrawSeparatorLine = false;
    int ImagesRadius = 0;
    int SelectionRadius = 0;
    Colour BackColor = 0xFFFFFF;
    Colour FindTextColor = 0;
    Colour SelectionColor = kSystemHighlight;
    int MaxVisibleItems = 0;
    Colour LineColor = kSystemActiveBorder;
    Colour BorderColor = kSystemActiveBorder;
    bool BorderVisible = true;
    bool Enabled = true;
    long ListStyle = 0;
    long OLEDropMode = 0;
    long MousePointer = 0;
    std::wstring MouseIcon; // a picture's source; empty for none
    int DisplayDirection = 0;
    bool operator==(const ListProperties&) const = default;
};

// What the container supplies: its font, the control's current back colour and state, and
// how system colours look (the filter colour's default blends the resolved highlight).
struct ListAmbient {
    FontDesc font;
    Colour backColor = 0xFFFFFF;
    bool enabled = true;
    SystemColourResolver resolve;
};

Colour DefaultFindTextColor(Colour backColor, const SystemColourResolver& resolve);

// A saved property bag: names and texts in the order they were written.
class PropertyBag {
public:
    void Write(const std::wstring& name, std::wstring value);
    std::optional<std::wstring> Read(const std::wstring& name) const;
    const std::vector<std::pair<std::wstring, std::wstring>>& Entries() const { return entries_; }

private:
    std::vector<std::pair<std::wstring, std::wstring>> entries_;
};

// The 26 persisted names, in order.
const std::vector<std::wstring>& ListPropertyNames();

// A value of the wrong form in the bag counts as missing: its default applies.
ListProperties ReadProperties(const PropertyBag& bag, const ListAmbient& ambient);
// Values equal to their default are not written, except BackColor and SelectionColor.
PropertyBag WriteProperties(const ListProperties& properties, const ListAmbient& ambient);

// A list placed on a form for the first time: defaults plus seven sample rows, row 3 chosen.
ListProperties InitProperties(ListModel& model, const ListAmbient& ambient);

// Only 0 (none) and 1 (manual) exist; anything else is error 380 and keeps the old value.
std::optional<AppError> SetOLEDropMode(ListProperties& properties, long value);

} // namespace zelk
