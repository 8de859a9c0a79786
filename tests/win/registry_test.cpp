#include <gtest/gtest.h>

#include "settings/reg_settings.h"
#include "test_support.h"
#include "win/unique_handle.h"

using namespace zelk;

namespace {

constexpr wchar_t kApp[] = L"ZelkToolBarsTests";
constexpr wchar_t kKeyPath[] = L"SOFTWARE\\ZelkToolBarsTests\\Settings\\Windows";

class Registry : public testing::Test {
protected:
    void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, L"SOFTWARE\\ZelkToolBarsTests"); }
    void TearDown() override { SetUp(); }

    static void WriteRaw(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
        unique_hkey key;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                                    nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), bytes),
                  ERROR_SUCCESS);
    }
    static bool KeyExists() {
        unique_hkey key;
        return ::RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\ZelkToolBarsTests", 0, KEY_READ,
                               key.put()) == ERROR_SUCCESS;
    }
};

} // namespace

// Reading and refused names create nothing; the numbers and texts of the errors are the core's.
TEST_F(Registry, MissingKeyOrValueGivesTheDefaultEmptyIsNotMissingAndBadNamesWriteNothing) {
    auto read = GetRegSetting(kApp, L"Windows", L"Theme", L"1");
    EXPECT_EQ(read.value, L"1");
    EXPECT_FALSE(read.error);
    EXPECT_TRUE(SaveRegSetting(L"   ", L"Windows", L"Theme", L"1"));
    EXPECT_TRUE(SaveRegSetting(kApp, L"", L"Theme", L"1"));
    EXPECT_TRUE(GetRegSetting(kApp, L"Windows", L" ", L"1").error);
    EXPECT_FALSE(KeyExists());

    ASSERT_FALSE(SaveRegSetting(kApp, L"Windows", L"AutoStart", L"0"));
    EXPECT_EQ(GetRegSetting(kApp, L"Windows", L"Theme", L"1").value, L"1");
    ASSERT_FALSE(SaveRegSetting(kApp, L"Windows", L"Theme", L""));
    read = GetRegSetting(kApp, L"Windows", L"Theme", L"1");
    EXPECT_EQ(read.value, L"");
    EXPECT_FALSE(read.error);
}

TEST_F(Registry, ValuesRoundTripExactly) {
    const std::wstring values[] = {L"0", L"  spaced  ", L"Ωμέγα € 日本",
                                   std::wstring(100000, L'x')};
    for (const auto& value : values) {
        ASSERT_FALSE(SaveRegSetting(kApp, L" Windows ", L"Key With Spaces ", value));
        EXPECT_EQ(GetRegSetting(kApp, L"Windows", L"Key With Spaces ", L"d").value, value);
    }
    // The key name is used as passed: the trimmed name is another value.
    EXPECT_EQ(GetRegSetting(kApp, L"Windows", L"Key With Spaces", L"d").value, L"d");
}

// Data of other types or shapes than a whole REG_SZ, as other tools may write it: read safely,
// and a value of another type raises the type error (its text is the core's).
TEST_F(Registry, ValuesOfOtherTypesOrOddDataAreReadSafely) {
    const DWORD dword = 1;
    const wchar_t noTerminator[] = {L'4', L'2'};
    const char odd[] = {'7', 0, '8'};
    const std::string binary(4096, '\xAB');
    const std::wstring huge(1 << 20, L'9');
    const struct {
        DWORD type;
        const void* data;
        size_t bytes;
        std::wstring value;
        int32_t error; // 0: none
    } cases[] = {
        {REG_SZ, nullptr, 0, L"", 0},
        {REG_SZ, noTerminator, sizeof(noTerminator), L"42", 0},
        {REG_SZ, odd, sizeof(odd), L"7", 0},
        {REG_SZ, huge.c_str(), (huge.size() + 1) * 2, huge, 0},
        {REG_DWORD, &dword, sizeof(dword), L"d", -2147219504 + REG_DWORD},
        {REG_BINARY, binary.data(), binary.size(), L"d", -2147219504 + REG_BINARY},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        WriteRaw(L"Theme", c.type, c.data, static_cast<DWORD>(c.bytes));
        const auto read = GetRegSetting(kApp, L"Windows", L"Theme", L"d");
        EXPECT_EQ(read.value, c.value);
        EXPECT_EQ(read.error ? read.error->number : 0, c.error);
    }
    EXPECT_EQ(GetRegSettingOrDefault(kApp, L"Windows", L"Theme", L"d"), L"d");
}
