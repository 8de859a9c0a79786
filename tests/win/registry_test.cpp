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
    // A zero-length REG_SZ, as other tools write it, is empty too.
    WriteRaw(L"Theme", REG_SZ, nullptr, 0);
    EXPECT_EQ(GetRegSetting(kApp, L"Windows", L"Theme", L"1").value, L"");
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

// The error carries the value's type; its text is the core's.
TEST_F(Registry, ValuesOfOtherTypesRaiseTheTypeError) {
    const DWORD dword = 1;
    WriteRaw(L"Theme", REG_DWORD, &dword, sizeof(dword));
    auto read = GetRegSetting(kApp, L"Windows", L"Theme", L"1");
    ASSERT_TRUE(read.error);
    EXPECT_EQ(read.error->number, -2147219504 + REG_DWORD);
    EXPECT_EQ(read.value, L"1");
    EXPECT_EQ(GetRegSettingOrDefault(kApp, L"Windows", L"Theme", L"1"), L"1");
    const std::string binary(4096, '\xAB');
    WriteRaw(L"Theme", REG_BINARY, binary.data(), static_cast<DWORD>(binary.size()));
    EXPECT_EQ(GetRegSetting(kApp, L"Windows", L"Theme", L"1").error->number, -2147219504 + 3);
}

TEST_F(Registry, OddOrUnterminatedStringDataIsReadSafely) {
    const wchar_t noTerminator[] = {L'4', L'2'};
    WriteRaw(L"Theme", REG_SZ, noTerminator, sizeof(noTerminator));
    EXPECT_EQ(GetRegSetting(kApp, L"Windows", L"Theme", L"d").value, L"42");

    const char odd[] = {'7', 0, '8'};
    WriteRaw(L"Theme", REG_SZ, odd, sizeof(odd));
    EXPECT_EQ(GetRegSetting(kApp, L"Windows", L"Theme", L"d").value, L"7");

    const std::wstring huge(1 << 20, L'9');
    WriteRaw(L"Theme", REG_SZ, huge.c_str(), static_cast<DWORD>((huge.size() + 1) * 2));
    EXPECT_EQ(GetRegSetting(kApp, L"Windows", L"Theme", L"d").value.size(), huge.size());
}
