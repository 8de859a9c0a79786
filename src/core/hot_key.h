#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zelk {

// A key combination as RegisterHotKey takes it: MOD_* flags and a virtual-key code.
struct HotKey {
    uint32_t modifiers = 0;
    uint32_t key = 0;
    bool operator==(const HotKey&) const = default;
};
inline constexpr uint32_t kHotKeyAlt = 0x1, kHotKeyControl = 0x2, kHotKeyShift = 0x4,
                          kHotKeyWin = 0x8;

// Opens the menu from the keyboard. Windows 11 binds nothing to it, function keys make no
// character with AltGr (Ctrl + Alt) on any keyboard layout, and the Windows key is left to
// Windows, as RegisterHotKey asks.
inline constexpr wchar_t kDefaultHotKey[] = L"Ctrl+Alt+F11";

// "Ctrl+Alt+F11", "shift + win + M": modifiers (Ctrl or Control, Alt, Shift, Win) and one key
// (a letter, a digit, F1 to F24, Space, Insert, Delete, Home, End, PageUp, PageDown, Pause),
// in any case and order, with spaces around the plus signs. A key alone, a modifier twice or
// anything else is not a hot key: nullopt.
std::optional<HotKey> ParseHotKey(std::wstring_view text);
// The combination written as ParseHotKey reads it, modifiers first: "Ctrl+Alt+F11".
std::wstring HotKeyText(const HotKey& hotKey);

// What the "HotKey" setting asks for (kDefaultHotKey when it was never set): nothing when it
// is empty (the user turned it off) or cannot be read as a hot key.
struct HotKeySetting {
    std::optional<HotKey> hotKey;
    bool unreadable = false; // set but not a hot key: the user is told
};
HotKeySetting HotKeyFromSetting(std::wstring_view value);

} // namespace zelk
