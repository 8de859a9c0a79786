#include "core/localisation.h"

#include "core/text.h"

namespace zelk {

const std::vector<std::string>& LocalIniLines() {
    static const std::vector<std::string> lines = {
        "[LocaleID]", "1036=fra",  "2060=fra",  "3084=fra",  "5132=fra",  "4108=fra",
        "1031=deu",   "3079=deu",  "5127=deu",  "2055=deu",  "1040=ita",  "2064=ita",
        "1034=spa",   "11274=spa", "16394=spa", "13322=spa", "9226=spa",  "5130=spa",
        "7178=spa",   "12298=spa", "4106=spa",  "18442=spa", "2058=spa",  "19466=spa",
        "6154=spa",   "10250=spa", "20490=spa", "15370=spa", "17418=spa", "14346=spa",
        "8202=spa",   "2070=por",  "1046=por",  "1043=nld",  "2067=nld",  "//case else =eng"};
    return lines;
}

std::string LocalIniBytes() {
    std::string bytes;
    for (const auto& line : LocalIniLines()) {
        bytes += line + "\r\n";
    }
    return bytes;
}

std::wstring LanguageForLocale(uint32_t localeId, const IniDocument& localIni,
                               const std::function<bool(std::wstring_view)>& languageFileExists) {
    std::wstring code = localIni.Read(L"LocaleID", std::to_wstring(localeId), L"eng");
    if (code != L"eng" && !languageFileExists(code)) {
        code = L"eng";
    }
    return code;
}

std::wstring ExpandLineBreaks(std::wstring_view text) {
    return ReplaceAll(text, L"|", L"\r\n");
}

void StringTable::Load(const IniDocument& languageFile) {
    strings_.clear();
    for (int n = 1; n <= kMaxStrings; ++n) {
        const auto key = std::to_wstring(n) + L"String";
        std::wstring value = languageFile.Read(L"Strings", key, L"");
        if (value == L"###END###") {
            break;
        }
        if (value.empty() && !languageFile.Find(L"Strings", key)) {
            // Missing keys are empty entries; a file without the end marker would leave
            // 32000 of them, so only grow the table for keys that exist.
            continue;
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
