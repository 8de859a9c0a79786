#include "core/list_properties.h"

#include <cstdlib>
#include <cwchar>
#include <functional>

namespace zelk {

namespace {

std::wstring FromBool(bool v) {
    return v ? L"True" : L"False";
}

std::optional<bool> ToBool(const std::wstring& text) {
    if (text == L"True" || text == L"-1" || text == L"1") {
        return true;
    }
    if (text == L"False" || text == L"0") {
        return false;
    }
    return std::nullopt;
}

std::optional<long long> ToInteger(const std::wstring& text) {
    if (text.empty() || text.size() > 20) {
        return std::nullopt;
    }
    wchar_t* end = nullptr;
    const long long value = std::wcstoll(text.c_str(), &end, 10);
    return *end == L'\0' ? std::optional<long long>(value) : std::nullopt;
}

std::wstring FromFont(const FontDesc& f) {
    wchar_t size[32];
    std::swprintf(size, 32, L"%.2f", f.size);
    return f.name + L";" + size + L";" + (f.bold ? L"B" : L"") + (f.italic ? L"I" : L"") +
           (f.underline ? L"U" : L"") + (f.strikethrough ? L"S" : L"");
}

std::optional<FontDesc> ToFont(const std::wstring& text) {
    const auto first = text.find(L';');
    const auto second = first == std::wstring::npos ? first : text.find(L';', first + 1);
    if (second == std::wstring::npos || first == 0) {
        return std::nullopt;
    }
    FontDesc f;
    f.name = text.substr(0, first);
    const std::wstring size = text.substr(first + 1, second - first - 1);
    wchar_t* end = nullptr;
    f.size = std::wcstod(size.c_str(), &end);
    if (*end != L'\0' || !(f.size > 0 && f.size < 2000)) {
        return std::nullopt;
    }
    const std::wstring style = text.substr(second + 1);
    f.bold = style.find(L'B') != std::wstring::npos;
    f.italic = style.find(L'I') != std::wstring::npos;
    f.underline = style.find(L'U') != std::wstring::npos;
    f.strikethrough = style.find(L'S') != std::wstring::npos;
    return f;
}

// One persisted property: how to move it between the record and the bag.
struct PropertyCodec {
    const wchar_t* name;
    std::function<std::wstring(const ListProperties&)> write;
    std::function<bool(ListProperties&, const std::wstring&)> read; // false: wrong form
    bool alwaysWritten = false;
};

template <class T> PropertyCodec BoolCodec(const wchar_t* name, T ListProperties::*field) {
    return {name, [field](const ListProperties& p) { return FromBool(p.*field); },
            [field](ListProperties& p, const std::wstring& v) {
                const auto b = ToBool(v);
                if (b) {
                    p.*field = *b;
                }
                return b.has_value();
            }};
}

template <class T>
PropertyCodec IntegerCodec(const wchar_t* name, T ListProperties::*field, bool always = false) {
    return {name, [field](const ListProperties& p) { return std::to_wstring(p.*field); },
            [field](ListProperties& p, const std::wstring& v) {
                const auto n = ToInteger(v);
                if (n) {
                    p.*field = static_cast<T>(*n);
                }
                return n.has_value();
            },
            always};
}

const std::vector<PropertyCodec>& Codecs() {
    static const std::vector<PropertyCodec> codecs = {
        {L"Font", [](const ListProperties& p) { return FromFont(p.Font); },
         [](ListProperties& p, const std::wstring& v) {
             const auto f = ToFont(v);
             if (f) {
                 p.Font = *f;
             }
             return f.has_value();
         }},
        BoolCodec(L"SubTitleVisible", &ListProperties::SubTitleVisible),
        BoolCodec(L"ShowFilter", &ListProperties::ShowFilter),
        IntegerCodec(L"ItemHeight", &ListProperties::ItemHeight),
        IntegerCodec(L"MaxListHeight", &ListProperties::MaxListHeight),
        IntegerCodec(L"ListWidth", &ListProperties::ListWidth),
        IntegerCodec(L"ListDesign", &ListProperties::ListDesign),
        BoolCodec(L"MultiSelect", &ListProperties::MultiSelect),
        BoolCodec(L"UseMonocromeIcons", &ListProperties::UseMonocromeIcons),
        IntegerCodec(L"BorderRadius", &ListProperties::BorderRadius),
        BoolCodec(L"DrawSeparatorLine", &ListProperties::DrawSeparatorLine),
        IntegerCodec(L"ImagesRadius", &ListProperties::ImagesRadius),
        IntegerCodec(L"SelectionRadius", &ListProperties::SelectionRadius),
        IntegerCodec(L"BackColor", &ListProperties::BackColor, true),
        IntegerCodec(L"FindTextColor", &ListProperties::FindTextColor),
        IntegerCodec(L"SelectionColor", &ListProperties::SelectionColor, true),
        IntegerCodec(L"MaxVisibleItems", &ListProperties::MaxVisibleItems),
        IntegerCodec(L"LineColor", &ListProperties::LineColor),
        IntegerCodec(L"BorderColor", &ListProperties::BorderColor),
        BoolCodec(L"BorderVisible", &ListProperties::BorderVisible),
        BoolCodec(L"Enabled", &ListProperties::Enabled),
        IntegerCodec(L"ListStyle", &ListProperties::ListStyle),
        {L"OLEDropMode", [](const ListProperties& p) { return std::to_wstring(p.OLEDropMode); },
         [](ListProperties& p, const std::wstring& v) {
             const auto n = ToInteger(v);
             return n && !SetOLEDropMode(p, static_cast<long>(*n));
         }},
        IntegerCodec(L"MousePointer", &ListProperties::MousePointer),
        {L"MouseIcon", [](const ListProperties& p) { return p.MouseIcon; },
         [](ListProperties& p, const std::wstring& v) {
             p.MouseIcon = v;
             return true;
         }},
        IntegerCodec(L"DisplayDirection", &ListProperties::DisplayDirection),
    };
    return codecs;
}

ListProperties Defaults(const ListAmbient& ambient) {
    ListProperties p;
    p.Font = ambient.font;
    p.BackColor = ambient.backColor;
    p.Enabled = ambient.enabled;
    p.FindTextColor = DefaultFindTextColor(ambient.backColor, ambient.resolve);
    return p;
}

} // namespace

Colour DefaultFindTextColor(Colour backColor, const SystemColourResolver& resolve) {
    // Blending the raw system-colour value would give a meaningless "system colour" (for a
    // black list, the active border's); the highlight is blended as it looks.
    return BlendColors(ResolveColour(kSystemHighlight, resolve), ResolveColour(backColor, resolve),
                       200);
}

void PropertyBag::Write(const std::wstring& name, std::wstring value) {
    for (auto& entry : entries_) {
        if (entry.first == name) {
            entry.second = std::move(value);
            return;
        }
    }
    entries_.emplace_back(name, std::move(value));
}

std::optional<std::wstring> PropertyBag::Read(const std::wstring& name) const {
    for (const auto& entry : entries_) {
        if (entry.first == name) {
            return entry.second;
        }
    }
    return std::nullopt;
}

const std::vector<std::wstring>& ListPropertyNames() {
    static const std::vector<std::wstring> names = [] {
        std::vector<std::wstring> n;
        for (const auto& codec : Codecs()) {
            n.emplace_back(codec.name);
        }
        return n;
    }();
    return names;
}

ListProperties ReadProperties(const PropertyBag& bag, const ListAmbient& ambient) {
    const ListProperties defaults = Defaults(ambient);
    ListProperties p = defaults;
    for (const auto& codec : Codecs()) {
        if (const auto value = bag.Read(codec.name)) {
            codec.read(p, *value);
        }
    }
    // The filter colour's default follows the back colour actually read.
    if (!bag.Read(L"FindTextColor") && p.BackColor != defaults.BackColor) {
        p.FindTextColor = DefaultFindTextColor(p.BackColor, ambient.resolve);
    }
    return p;
}

PropertyBag WriteProperties(const ListProperties& properties, const ListAmbient& ambient) {
    ListAmbient own = ambient;
    own.backColor = properties.BackColor;
    const ListProperties defaults = Defaults(own);
    PropertyBag bag;
    for (const auto& codec : Codecs()) {
        const std::wstring value = codec.write(properties);
        if (codec.alwaysWritten || value != codec.write(defaults)) {
            bag.Write(codec.name, value);
        }
    }
    return bag;
}

ListProperties InitProperties(ListModel& model, const ListAmbient& ambient) {
    ListProperties p = Defaults(ambient);
    model.Clear();
    for (int i = 1; i <= 7; ++i) {
        if (i % 3 == 0) {
            model.AddItem(L"-");
        } else {
            model.AddItem(L"Item " + std::to_wstring(i), -1, MissingValue{}, L"Sub Text", i == 5);
        }
    }
    model.SetListIndex(3);
    model.SetHotIndex(-1);
    return p;
}

std::optional<AppError> SetOLEDropMode(ListProperties& properties, long value) {
    if (value < 0 || value > 1) {
        return AppError{380, L"ucList", L"Invalid property value"};
    }
    properties.OLEDropMode = value;
    return std::nullopt;
}

} // namespace zelk
