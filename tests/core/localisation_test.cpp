#include <gtest/gtest.h>

#include <map>

#include "core/localisation.h"

using namespace zelk;

// The code names the file "Lng\\<code>.lng": anything else (a path out of Lng, a drive, a
// share, a device name) falls back to English before any file is looked for.
TEST(Localisation, OnlyPlainLanguageCodesNameAFile) {
    const std::pair<std::wstring, bool> cases[] = {
        {L"pt-BR", true},  {L"zh_Hans", true},      {L"abcdefghij", true},
        {L"COM", true},    {L"abcdefghijk", false}, {L"..\\..\\x", false},
        {L"C:\\x", false}, {L"\\\\host\\x", false}, {L"fra.", false},
        {L"fra-", false},  {L"pt-BR-x", false},     {L"fr-\\x", false},
        {L"1036", false},  {L"fr\u00E0", false},    {L"Nul", false},
        {L"COM1", false},  {L"lpt9", false}};
    for (const auto& [code, plain] : cases) {
        bool asked = false;
        const auto everything = [&](std::wstring_view) { return asked = true; };
        const auto localIni = IniDocument::Parse(L"[LocaleID]\r\n1033=" + code);
        EXPECT_EQ(LanguageForLocale(1033, localIni, everything), plain ? code : L"eng") << code;
        EXPECT_EQ(asked, plain) << code;
    }
}

TEST(Localisation, IniReadsLikeTheProfileFunction) {
    const auto ini = IniDocument::Parse(L"stray=ignored\r\n"
                                        L"[Strings]\r\n"
                                        L"  1String =  Hello  \r\n"
                                        L"1string=second wins not\r\n"
                                        L"2String=\"  quoted  \"\r\n"
                                        L"NoEquals\r\n"
                                        L"\t4String\t=\tTabbed\t\r\n"
                                        L"5String=\"\"\r\n"
                                        L"6String=\"mixed'\r\n"
                                        L"7String='single'\r\n"
                                        L"[strings]\r\n"
                                        L"3String=in a repeated section\r\n"
                                        L"[ Other ]\r\n"
                                        L"Long=" +
                                        std::wstring(400, L'v'));
    EXPECT_EQ(ini.Read(L"STRINGS", L"1STRING", L"d"), L"Hello");
    std::vector<std::wstring> values;
    for (auto key : {L"2String", L"NoEquals", L"4String", L"5String", L"6String", L"7String",
                     L"3String", L"stray"}) {
        values.push_back(ini.Read(L"Strings", key, L"d"));
    }
    EXPECT_EQ(values, (std::vector<std::wstring>{L"  quoted  ", L"", L"Tabbed", L"", L"\"mixed'",
                                                 L"single", L"d", L"d"}));
    EXPECT_EQ(ini.Read(L"Other", L"Long", L"d").size(), 254u);
    EXPECT_EQ(ini.Read(L"Missing", L"x", std::wstring(300, L'z')).size(), 254u);
}

TEST(Localisation, StringTableStopsAtEndMarkerAndExpandsBars) {
    StringTable table;
    table.Load(IniDocument::Parse(L"[Strings]\r\n1String=Menu barres\r\n2String=first|second\r\n"
                                  L"3String=three\r\n4String=###END###\r\n5String=never\r\n"));
    const auto strings = [](const StringTable& t, std::initializer_list<int> numbers) {
        std::vector<std::wstring> out;
        for (int n : numbers) {
            out.push_back(t.GetString(n, L"d"));
        }
        return out;
    };
    EXPECT_EQ(strings(table, {1, 2, 3, 4, 5, 9}),
              (std::vector<std::wstring>{L"Menu barres", L"first\r\nsecond", L"three", L"d", L"d",
                                         L"d"}));
    EXPECT_EQ(table.GetString(-1, L"a|b"), L"a\r\nb");

    // Order in the file does not matter, only the numbers; keys the table would never ask
    // for are not strings.
    StringTable shuffled;
    shuffled.Load(IniDocument::Parse(L"[Strings]\r\n7String=seven\r\n01String=padded\r\n"
                                     L"3string=three\r\n5String=###END###\r\n"
                                     L"32001String=far\r\n+2String=signed\r\n"));

    // The last number a table holds, an empty text, and a text cut to the buffer.
    StringTable limits;
    limits.Load(IniDocument::Parse(L"[Strings]\r\n32000String=last\r\n2String=\r\n"
                                   L"100000String=six digits\r\n3String=" +
                                   std::wstring(400, L'v')));
    EXPECT_EQ(strings(limits, {32000, 2, 10000}), (std::vector<std::wstring>{L"last", L"d", L"d"}));
    EXPECT_EQ(limits.GetString(3, L"d").size(), 254u);
    // 7 comes after the end marker.
    EXPECT_EQ(strings(shuffled, {1, 2, 3, 7, 32001}),
              (std::vector<std::wstring>{L"d", L"d", L"three", L"d", L"d"}));

    StringTable empty;
    empty.Load(IniDocument::Parse(L""));
    EXPECT_EQ(empty.GetString(1, L"Toolbars Menu"), L"Toolbars Menu");
    EXPECT_EQ(empty.size(), 0u);
}

namespace {

class FakeForm : public LocalisableForm {
public:
    std::wstring caption = L"Toolbars menu", tip;
    std::vector<ControlRef> controls{{L"mnuParam"}, {L"OptTheme", 0}, {L"OptTheme", 1}, {L"cmdOk"}};
    std::map<size_t, std::wstring> captions, tips;

    std::wstring FormName() const override { return L"frmParameters"; }
    void SetFormCaption(const std::wstring& t) override { caption = t; }
    void SetFormToolTip(const std::wstring& t) override { tip = t; }
    std::vector<ControlRef> Controls() const override { return controls; }
    void SetControlCaption(size_t i, const std::wstring& t) override { captions[i] = t; }
    void SetControlToolTip(size_t i, const std::wstring& t) override { tips[i] = t; }
};

} // namespace

TEST(Localisation, FormTableReachesArrayMembersByIndex) {
    FakeForm form;
    LocaliseForm(form, IniDocument::Parse(L"[frmParameters]\r\nForm=Paramètres\r\n"
                                          L"ToolTipText=Réglages\r\nOptTheme0=Sombre\r\n"
                                          L"OptTheme1=Clair\r\ncmdOkToolTipText=Valider\r\n"
                                          L"mnuParam=\r\n[frmMain]\r\nmnuParam=Wrong form\r\n"));
    EXPECT_EQ(form.caption, L"Paramètres");
    EXPECT_EQ(form.tip, L"Réglages");
    EXPECT_EQ(form.captions, (std::map<size_t, std::wstring>{{1, L"Sombre"}, {2, L"Clair"}}));
    EXPECT_EQ(form.tips, (std::map<size_t, std::wstring>{{3, L"Valider"}}));
}
