#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zelk {

// An INI file read the way the platform's profile-string function reads it: sections in
// brackets, key=value lines, names compared without regard to case, white space around
// names and values dropped, one pair of surrounding quotes removed, the first section and
// the first key of a name winning. Parsed once, so thousands of lookups cost no file reads.
class IniDocument {
public:
    static IniDocument Parse(std::wstring_view text);

    std::optional<std::wstring> Find(std::wstring_view section, std::wstring_view key) const;

    // Value or default, cut to what a 255-character buffer holds (254 characters).
    std::wstring Read(std::wstring_view section, std::wstring_view key,
                      std::wstring_view defaultValue) const;

    // Every key of a section (names in lower case) with its value as Read returns it.
    std::vector<std::pair<std::wstring, std::wstring>> Entries(std::wstring_view section) const;

    static constexpr size_t kMaxValueLength = 254;

private:
    using Section = std::unordered_map<std::wstring, std::wstring>;
    std::unordered_map<std::wstring, Section> sections_;
};

} // namespace zelk
