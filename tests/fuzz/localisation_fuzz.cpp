#include "core/localisation.h"
#include "core/text.h"
#include "fuzz_target.h"
#include "latin1_codec.h"

using namespace zelk;

namespace {

class Form : public LocalisableForm {
public:
    std::wstring FormName() const override { return L"frmParameters"; }
    void SetFormCaption(const std::wstring& text) override { FUZZ_CHECK(!text.empty()); }
    void SetFormToolTip(const std::wstring& text) override { FUZZ_CHECK(!text.empty()); }
    std::vector<ControlRef> Controls() const override {
        return {{L"cmdOk"}, {L"OptTheme", 0}, {L"OptTheme", 1}};
    }
    void SetControlCaption(size_t control, const std::wstring& text) override {
        FUZZ_CHECK(control < 3 && !text.empty());
    }
    void SetControlToolTip(size_t control, const std::wstring& text) override {
        FUZZ_CHECK(control < 3 && !text.empty());
    }
};

} // namespace

// A language file (Lng\<code>.lng) and Local.ini: the string table, the forms' texts, the
// language of a locale.
ZELK_FUZZ_TARGET(localisation) {
    const IniDocument file =
        IniDocument::Parse(DecodeTextFile(fuzz::Bytes(data, size), Latin1Codec()));
    StringTable table;
    table.Load(file);
    FUZZ_CHECK(table.size() <= StringTable::kMaxStrings + 2);
    for (const int number : {-1, 0, 1, 2, 3, 20, 33, 999, 32000, 32001}) {
        const std::wstring text = table.GetString(number, L"default");
        FUZZ_CHECK(!text.empty() && text.find(L'|') == std::wstring::npos);
    }
    Form form;
    LocaliseForm(form, file);
    const uint32_t locale = size >= 2 ? static_cast<uint32_t>(data[0] << 8 | data[1]) : 1036;
    const std::wstring code =
        LanguageForLocale(locale, file, [](std::wstring_view c) { return c.size() == 3; });
    FUZZ_CHECK(code == L"eng" || code.size() == 3);
    return 0;
}
