#include "core/ini_document.h"

#include "core/text.h"

namespace zelk {

namespace {

std::wstring TrimBlanks(std::wstring_view text) {
    const auto first = text.find_first_not_of(L" \t");
    if (first == std::wstring_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(L" \t");
    return std::wstring(text.substr(first, last - first + 1));
}

std::wstring StripQuotes(std::wstring value) {
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

} // namespace

IniDocument IniDocument::Parse(std::wstring_view text) {
    IniDocument doc;
    Section* current = nullptr;
    for (const auto& rawLine : SplitLines(text)) {
        const std::wstring line = TrimBlanks(rawLine);
        if (line.empty()) {
            continue;
        }
        if (line.front() == L'[') {
            const auto close = line.find(L']');
            const std::wstring name = AsciiLower(TrimBlanks(std::wstring_view(line).substr(
                1, close == std::wstring::npos ? line.npos : close - 1)));
            // A repeated section adds nothing: the first one with a name is the one read.
            const bool isNew = doc.sections_.find(name) == doc.sections_.end();
            current = isNew ? &doc.sections_[name] : nullptr;
            continue;
        }
        if (current == nullptr) {
            continue;
        }
        const auto equals = line.find(L'=');
        const std::wstring key = AsciiLower(TrimBlanks(std::wstring_view(line).substr(0, equals)));
        std::wstring value =
            equals == std::wstring::npos
                ? std::wstring()
                : StripQuotes(TrimBlanks(std::wstring_view(line).substr(equals + 1)));
        current->emplace(key, std::move(value));
    }
    return doc;
}

std::optional<std::wstring> IniDocument::Find(std::wstring_view section,
                                              std::wstring_view key) const {
    const auto s = sections_.find(AsciiLower(TrimBlanks(section)));
    if (s == sections_.end()) {
        return std::nullopt;
    }
    const auto k = s->second.find(AsciiLower(TrimBlanks(key)));
    if (k == s->second.end()) {
        return std::nullopt;
    }
    return k->second;
}

std::vector<std::pair<std::wstring, std::wstring>>
IniDocument::Entries(std::wstring_view section) const {
    std::vector<std::pair<std::wstring, std::wstring>> entries;
    const auto s = sections_.find(AsciiLower(TrimBlanks(section)));
    if (s != sections_.end()) {
        for (const auto& [key, value] : s->second) {
            entries.emplace_back(key, value.substr(0, kMaxValueLength));
        }
    }
    return entries;
}

std::wstring IniDocument::Read(std::wstring_view section, std::wstring_view key,
                               std::wstring_view defaultValue) const {
    auto found = Find(section, key);
    std::wstring value = found ? std::move(*found) : std::wstring(defaultValue);
    if (value.size() > kMaxValueLength) {
        value.resize(kMaxValueLength);
    }
    return value;
}

} // namespace zelk
