#include "core/hot_key.h"

#include <array>
#include <utility>

#include "core/text.h"

namespace zelk {

namespace {

constexpr std::array<std::pair<const wchar_t*, uint32_t>, 5> kModifiers{{
    {L"CTRL", kHotKeyControl},
    {L"CONTROL", kHotKeyControl},
    {L"ALT", kHotKeyAlt},
    {L"SHIFT", kHotKeyShift},
    {L"WIN", kHotKeyWin},
}};
struct NamedKey {
    const wchar_t* name; // as written; read in any case
    uint32_t code;
};
constexpr std::array<NamedKey, 8> kNamedKeys{{
    {L"Space", 0x20},
    {L"PageUp", 0x21},
    {L"PageDown", 0x22},
    {L"End", 0x23},
    {L"Home", 0x24},
    {L"Insert", 0x2D},
    {L"Delete", 0x2E},
    {L"Pause", 0x13},
}};
constexpr uint32_t kF1 = 0x70;

std::wstring_view Trimmed(std::wstring_view part) {
    while (!part.empty() && part.front() == L' ') {
        part.remove_prefix(1);
    }
    while (!part.empty() && part.back() == L' ') {
        part.remove_suffix(1);
    }
    return part;
}

std::optional<uint32_t> KeyCode(const std::wstring& name) {
    if (name.size() == 1 &&
        ((name[0] >= L'A' && name[0] <= L'Z') || (name[0] >= L'0' && name[0] <= L'9'))) {
        return static_cast<uint32_t>(name[0]); // virtual-key codes of letters and digits
    }
    if (name.size() >= 2 && name.size() <= 3 && name[0] == L'F') {
        uint32_t number = 0;
        for (size_t i = 1; i < name.size(); ++i) {
            if (name[i] < L'0' || name[i] > L'9') {
                return std::nullopt;
            }
            number = number * 10 + static_cast<uint32_t>(name[i] - L'0');
        }
        if (number >= 1 && number <= 24 && name[1] != L'0') {
            return kF1 + number - 1;
        }
        return std::nullopt;
    }
    for (const auto& named : kNamedKeys) {
        if (name == AsciiUpper(named.name)) {
            return named.code;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<HotKey> ParseHotKey(std::wstring_view text) {
    HotKey hotKey;
    bool haveKey = false;
    while (true) {
        const size_t plus = text.find(L'+');
        const std::wstring part = AsciiUpper(std::wstring(Trimmed(text.substr(0, plus))));
        if (part.empty()) {
            return std::nullopt;
        }
        bool modifier = false;
        for (const auto& [name, flag] : kModifiers) {
            if (part == name) {
                if ((hotKey.modifiers & flag) != 0) {
                    return std::nullopt; // a modifier twice is a typing slip, not a key
                }
                hotKey.modifiers |= flag;
                modifier = true;
            }
        }
        if (!modifier) {
            const auto code = KeyCode(part);
            if (!code || haveKey) {
                return std::nullopt;
            }
            hotKey.key = *code;
            haveKey = true;
        }
        if (plus == std::wstring_view::npos) {
            break;
        }
        text.remove_prefix(plus + 1);
    }
    // A key without a modifier would take that key from every program.
    if (!haveKey || hotKey.modifiers == 0) {
        return std::nullopt;
    }
    return hotKey;
}

std::wstring HotKeyText(const HotKey& hotKey) {
    std::wstring text;
    const std::pair<uint32_t, const wchar_t*> order[] = {{kHotKeyControl, L"Ctrl+"},
                                                         {kHotKeyAlt, L"Alt+"},
                                                         {kHotKeyShift, L"Shift+"},
                                                         {kHotKeyWin, L"Win+"}};
    for (const auto& [flag, name] : order) {
        if ((hotKey.modifiers & flag) != 0) {
            text += name;
        }
    }
    if (hotKey.key >= kF1 && hotKey.key < kF1 + 24) {
        return text + L"F" + std::to_wstring(hotKey.key - kF1 + 1);
    }
    for (const auto& named : kNamedKeys) {
        if (hotKey.key == named.code) {
            return text + named.name;
        }
    }
    return text + static_cast<wchar_t>(hotKey.key);
}

HotKeySetting HotKeyFromSetting(std::wstring_view value) {
    if (Trimmed(value).empty()) {
        return {std::nullopt, false};
    }
    const auto hotKey = ParseHotKey(value);
    return {hotKey, !hotKey};
}

} // namespace zelk
