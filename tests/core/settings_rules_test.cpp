#include <gtest/gtest.h>

#include "core/settings_rules.h"

using namespace zelk;

TEST(SettingsRules, NameChecksInOrderWithExactNumbersAndTexts) {
    struct Case {
        SettingsOp op;
        const wchar_t *app, *section, *key;
        int32_t number;
        const wchar_t* text;
    };
    const Case cases[] = {
        {SettingsOp::Save, L"   ", L"", L"", -2147220504, L"AppName doit être renseigné"},
        {SettingsOp::Get, L"", L"Windows", L"Theme", -2147220504, L"AppName doit être renseigné"},
        {SettingsOp::Save, L"ToolBars", L" ", L"", -2147220503, L"Section doit être renseigné"},
        {SettingsOp::Save, L"ToolBars", L"Windows", L"  ", -2147220502, L"Key doit être renseigné"},
        {SettingsOp::Get, L"ToolBars", L"Windows", L"", -2147220502, L"Key  doit être renseigné"},
    };
    for (const auto& c : cases) {
        const auto error = CheckSettingNames(c.op, c.app, c.section, c.key);
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->number, c.number);
        EXPECT_EQ(error->description, c.text);
    }
    EXPECT_FALSE(CheckSettingNames(SettingsOp::Get, L"ToolBars", L"Windows", L" Theme "));
}

TEST(SettingsRules, KeyPathAndRegistryErrors) {
    EXPECT_EQ(SettingsKeyPath(L"  ToolBars ", L" Windows"),
              L"SOFTWARE\\ToolBars\\Settings\\Windows");
    EXPECT_EQ(NotAStringError(4).number, -2147219500);
    EXPECT_EQ(NotAStringError(4).description,
              L"Les données de la clef de registre ne sont pas une chaine de caractères");
    EXPECT_EQ(KeyAccessError(SettingsOp::Get, 5).number, -2147219504 + 5);
    EXPECT_EQ(KeyAccessError(SettingsOp::Get, 5).description,
              L"Impossible d'ouvrir cette clef de registre");
    EXPECT_EQ(KeyAccessError(SettingsOp::Save, 5).description,
              L"Impossible d'ouvrir ou de créer la clef de registre");
    EXPECT_EQ(ValueWriteError(1021).description, L"Impossible d'écrire la clef de registre");
    EXPECT_EQ(ValueWriteError(1021).number, -2147219504 + 1021);
}
