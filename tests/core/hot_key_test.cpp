#include <gtest/gtest.h>

#include "core/hot_key.h"

using namespace zelk;

TEST(HotKey, ReadsCombinationsInAnyCaseAndOrderAndWritesThemBack) {
    const struct {
        const wchar_t* text;
        uint32_t modifiers, key;
        const wchar_t* written;
    } cases[] = {
        {L"Ctrl+Alt+F11", kHotKeyControl | kHotKeyAlt, 0x7A, L"Ctrl+Alt+F11"},
        {L"alt + control + f1", kHotKeyControl | kHotKeyAlt, 0x70, L"Ctrl+Alt+F1"},
        {L"Shift+Win+m", kHotKeyShift | kHotKeyWin, 'M', L"Shift+Win+M"},
        {L"Ctrl+Shift+9", kHotKeyControl | kHotKeyShift, '9', L"Ctrl+Shift+9"},
        {L"Win+F24", kHotKeyWin, 0x87, L"Win+F24"},
        {L"Ctrl+pageup", kHotKeyControl, 0x21, L"Ctrl+PageUp"},
        {L"Alt+Space", kHotKeyAlt, 0x20, L"Alt+Space"},
        {L"Ctrl+Alt+Shift+Win+Pause", 0xF, 0x13, L"Ctrl+Alt+Shift+Win+Pause"},
    };
    for (const auto& c : cases) {
        const auto hotKey = ParseHotKey(c.text);
        ASSERT_TRUE(hotKey.has_value()) << std::wstring(c.text).c_str();
        EXPECT_EQ(*hotKey, (HotKey{c.modifiers, c.key})) << std::wstring(c.text).c_str();
        EXPECT_EQ(HotKeyText(*hotKey), c.written);
        EXPECT_EQ(ParseHotKey(HotKeyText(*hotKey)), hotKey);
    }
}

TEST(HotKey, RefusesWhatIsNotOneKeyWithModifiers) {
    for (const wchar_t* text :
         {L"", L"F11", L"A", L"Ctrl+Alt", L"Ctrl++A", L"Ctrl+A+B", L"Ctrl+Ctrl+A", L"Ctrl+F0",
          L"Ctrl+F25", L"Ctrl+F01", L"Ctrl+F011", L"Ctrl+F1x", L"Ctrl+Tab", L"Ctrl+ä", L"Ctrl+a+",
          L"+Ctrl+A", L"Strg+A", L"Ctrl+Alt+Delete+"}) {
        EXPECT_FALSE(ParseHotKey(text).has_value()) << std::wstring(text).c_str();
    }
}

TEST(HotKey, TheSettingIsOffWhenEmptiedAndToldWhenUnreadable) {
    EXPECT_EQ(HotKeyFromSetting(kDefaultHotKey).hotKey,
              (HotKey{kHotKeyControl | kHotKeyAlt, 0x7A}));
    for (const wchar_t* off : {L"", L"  "}) {
        const HotKeySetting setting = HotKeyFromSetting(off);
        EXPECT_FALSE(setting.hotKey.has_value());
        EXPECT_FALSE(setting.unreadable);
    }
    const HotKeySetting garbage = HotKeyFromSetting(L"Ctrl+Alt+Ü");
    EXPECT_FALSE(garbage.hotKey.has_value());
    EXPECT_TRUE(garbage.unreadable);
    EXPECT_EQ(HotKeyFromSetting(L"Win+Q").hotKey, (HotKey{kHotKeyWin, 'Q'}));
}
