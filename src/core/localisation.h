#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ini_document.h"

namespace zelk {

// The content of Lng\Local.ini as the program writes it when missing: 36 lines, CR LF.
const std::vector<std::string>& LocalIniLines();
std::string LocalIniBytes();

// Whether a Local.ini value may name a language file: ASCII letters, optionally one '-' or
// '_' followed by letters or digits, at most kMaxLanguageCodeChars in all ("fra", "pt-BR",
// "zh_Hans"). The code becomes part of a path, so dots, slashes, drive letters and the like
// must never get through, nor a device name (CON, NUL, COM1...).
inline constexpr size_t kMaxLanguageCodeChars = 10;
bool IsPlainLanguageCode(std::wstring_view code);

// The language code of a locale id: the Local.ini entry when it is a plain code and its
// language file exists, "eng" otherwise (the code "eng" itself needs no file).
std::wstring
LanguageForLocale(uint32_t localeId, const IniDocument& localIni,
                  const std::function<bool(std::wstring_view code)>& languageFileExists);

// "|" in a stored string stands for a line break.
std::wstring ExpandLineBreaks(std::wstring_view text);

// The numbered strings of a language file ("1String", "2String", ... up to "###END###").
class StringTable {
public:
    static constexpr int kMaxStrings = 32000;
    void Load(const IniDocument& languageFile);
    std::wstring GetString(int number, std::wstring_view defaultText) const;
    size_t size() const { return strings_.size(); }

private:
    std::vector<std::wstring> strings_;
};

// A control as a language file names it: its name, plus its index when it belongs to a
// control array (OptTheme1, cmdOpenDir2).
struct ControlRef {
    std::wstring name;
    int index = -1;
    std::wstring Key() const { return index < 0 ? name : name + std::to_wstring(index); }
};

// What a form exposes so that its captions and tool tips can be translated.
class LocalisableForm {
public:
    virtual ~LocalisableForm() = default;
    virtual std::wstring FormName() const = 0;
    virtual void SetFormCaption(const std::wstring& text) = 0;
    virtual void SetFormToolTip(const std::wstring& text) = 0;
    virtual std::vector<ControlRef> Controls() const = 0;
    virtual void SetControlCaption(size_t control, const std::wstring& text) = 0;
    virtual void SetControlToolTip(size_t control, const std::wstring& text) = 0;
};

// Applies the form's section of a language file; an empty or missing entry keeps the
// form's own English text.
void LocaliseForm(LocalisableForm& form, const IniDocument& languageFile);

} // namespace zelk
