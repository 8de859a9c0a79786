#include "core/localisation.h"

#include <algorithm>

#include "core/text.h"

namespace zelk {

const std::vector<std::string>& LocalIniLines() {
    static const std::vector<std::string> lines = {
        "[LocaleID]", "1036=fra", "2060=fra", "3084=fra", "5132=fra", "4108=fra", "1031=deu",
        "3079=deu", "5127=deu", "2055=deu", "1040=ita", "2064=ita", "1034=spa", "11274=spa",
        "16394=spa", "13322=spa", "9226=spa", "5130=spa", "7178=spa", "12298=spa", "4106=spa",
        "18442=spa", "2058=spa", "19466=spa", "6154=spa", "10250=spa", "20490=spa", "15370=spa",
        "17418=spa", "14346=spa", "8202=spa", "2070=por", "1046=por", "1043=nld", "2067=nld",
        // Spain's own Spanish since Windows Vista (modern sort); 1034 is the traditional sort.
        "3082=spa", "//case else =eng"};
    return lines;
}

std::string LocalIniBytes() {
    std::string bytes;
    for (const auto& line : LocalIniLines()) {
        bytes += line + "\r\n";
    }
    return bytes;
}

namespace {

bool IsAsciiDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

bool IsAsciiLetter(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

// CON, PRN, AUX, NUL, COM0-9, LPT0-9: "Lng\NUL.lng" names a device, not a file.
bool IsReservedDeviceName(std::wstring_view code) {
    const std::wstring name = AsciiUpper(code);
    if (name == L"CON" || name == L"PRN" || name == L"AUX" || name == L"NUL") {
        return true;
    }
    return name.size() == 4 && (name.starts_with(L"COM") || name.starts_with(L"LPT")) &&
           IsAsciiDigit(name[3]);
}

} // namespace

bool IsPlainLanguageCode(std::wstring_view code) {
    if (code.empty() || code.size() > kMaxLanguageCodeChars || IsReservedDeviceName(code)) {
        return false;
    }
    size_t i = 0;
    while (i < code.size() && IsAsciiLetter(code[i])) {
        ++i;
    }
    if (i == 0) {
        return false;
    }
    if (i == code.size()) {
        return true;
    }
    if (code[i] != L'-' && code[i] != L'_') {
        return false;
    }
    ++i;
    if (i == code.size()) {
        return false; // a separator must lead somewhere
    }
    for (; i < code.size(); ++i) {
        if (!IsAsciiLetter(code[i]) && !IsAsciiDigit(code[i])) {
            return false;
        }
    }
    return true;
}

std::wstring LanguageForLocale(uint32_t localeId, const IniDocument& localIni,
                               const std::function<bool(std::wstring_view)>& languageFileExists) {
    std::wstring code = localIni.Read(L"LocaleID", std::to_wstring(localeId), L"eng");
    if (!IsPlainLanguageCode(code)) {
        return L"eng";
    }
    if (code != L"eng" && !languageFileExists(code)) {
        code = L"eng";
    }
    return code;
}

std::wstring ExpandLineBreaks(std::wstring_view text) {
    return ReplaceAll(text, L"|", L"\r\n");
}

namespace {

// n for a key "<n>string" written the way the table asks for it (no sign, no leading zero).
int StringNumberOf(const std::wstring& key) {
    constexpr std::wstring_view suffix = L"string";
    if (key.size() <= suffix.size() ||
        key.compare(key.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return 0;
    }
    const std::wstring digits = key.substr(0, key.size() - suffix.size());
    if (digits.size() > 5 || digits[0] == L'0') {
        return 0;
    }
    int n = 0;
    for (wchar_t c : digits) {
        if (c < L'0' || c > L'9') {
            return 0;
        }
        n = n * 10 + (c - L'0');
    }
    return n <= StringTable::kMaxStrings ? n : 0;
}

} // namespace

void StringTable::Load(const IniDocument& languageFile) {
    // The same table as asking for 1String, 2String, ... in turn until "###END###", built
    // from one pass over the section instead of 32,000 lookups.
    std::vector<std::pair<int, std::wstring>> numbered;
    for (auto& [key, value] : languageFile.Entries(L"Strings")) {
        if (const int n = StringNumberOf(key); n > 0) {
            numbered.emplace_back(n, std::move(value));
        }
    }
    std::sort(numbered.begin(), numbered.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    strings_.clear();
    for (auto& [n, value] : numbered) {
        if (value == L"###END###") {
            break;
        }
        strings_.resize(static_cast<size_t>(n) + 2);
        strings_[static_cast<size_t>(n)] = std::move(value);
    }
}

std::wstring StringTable::GetString(int number, std::wstring_view defaultText) const {
    if (number >= 0 && static_cast<size_t>(number) < strings_.size() &&
        !strings_[static_cast<size_t>(number)].empty()) {
        return ExpandLineBreaks(strings_[static_cast<size_t>(number)]);
    }
    return ExpandLineBreaks(defaultText);
}

void LocaliseForm(LocalisableForm& form, const IniDocument& languageFile) {
    const std::wstring section = form.FormName();
    if (auto caption = languageFile.Read(section, L"Form", L""); !caption.empty()) {
        form.SetFormCaption(caption);
    }
    if (auto tip = languageFile.Read(section, L"ToolTipText", L""); !tip.empty()) {
        form.SetFormToolTip(tip);
    }
    const auto controls = form.Controls();
    for (size_t i = 0; i < controls.size(); ++i) {
        const std::wstring key = controls[i].Key();
        if (auto caption = languageFile.Read(section, key, L""); !caption.empty()) {
            form.SetControlCaption(i, caption);
        }
        if (auto tip = languageFile.Read(section, key + L"ToolTipText", L""); !tip.empty()) {
            form.SetControlToolTip(i, tip);
        }
    }
}

} // namespace zelk
