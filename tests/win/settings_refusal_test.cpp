// Windows may refuse the Run key or the settings key (a policy, a security tool, a locked
// profile). The Parameters dialog must say which choice did not take instead of closing as if
// everything were saved.
#include <gtest/gtest.h>

#include <windows.h>

#include <sddl.h>

#include "dialogs/frmParameters.h"
#include "settings/reg_settings.h"
#include "settings/startup.h"
#include "test_support.h"
#include "win/unique_handle.h"

using namespace zelk;

namespace {

// Makes a key read-only for everyone while alive, then puts its own security back; the handle
// kept open with WRITE_DAC is what lets the restore work after the lock.
class LockedKey {
public:
    explicit LockedKey(const wchar_t* path) {
        EXPECT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0,
                                    READ_CONTROL | WRITE_DAC, nullptr, key_.put(), nullptr),
                  ERROR_SUCCESS);
        DWORD size = 0;
        ::RegGetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, nullptr, &size);
        saved_.resize(size);
        EXPECT_EQ(::RegGetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, saved_.data(), &size),
                  ERROR_SUCCESS);
        PSECURITY_DESCRIPTOR readOnly = nullptr;
        EXPECT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(
            L"D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly, nullptr));
        EXPECT_EQ(::RegSetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, readOnly),
                  ERROR_SUCCESS);
        ::LocalFree(readOnly);
    }
    ~LockedKey() {
        EXPECT_EQ(::RegSetKeySecurity(key_.get(), DACL_SECURITY_INFORMATION, saved_.data()),
                  ERROR_SUCCESS);
    }
    LockedKey(const LockedKey&) = delete;
    LockedKey& operator=(const LockedKey&) = delete;

private:
    unique_hkey key_;
    std::vector<BYTE> saved_;
};

constexpr wchar_t kSettingsKey[] = L"SOFTWARE\\ToolBars\\Settings\\Windows";

} // namespace

TEST(SettingsRefusal, EveryRefusedChoiceIsToldAndTheListIsStillSaved) {
    struct Case {
        bool lockRun, lockSettings, startWithWindows;
        std::vector<std::wstring> told; // empty: no box at all
    };
    const Case cases[] = {
        {false, false, true, {}},
        {true, false, true, {L"could not be turned on (error 5)"}},
        {true, false, false, {L"could not be turned off (error 5)"}},
        {false, true, false, {L"AutoStart could not be saved", L"Theme could not be saved"}},
        {true, true, true, {L"turned on", L"AutoStart", L"Theme"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "run locked " << c.lockRun << ", settings locked "
                                        << c.lockSettings << ", start " << c.startWithWindows);
        TempFolder data, program;
        RecordingUiServices services;
        bool allUsers = false;
        // Something to turn off, so the refused delete is a real one.
        ASSERT_EQ(RegisterStartUp(kRunValueName, L"\"C:\\old.exe\"", true, allUsers), 1);
        ASSERT_FALSE(SaveRegSetting(kSettingsApp, kSettingsSection, L"Theme", L"1"));
        WriteBytes(data / L"ToolBars.txt", "C:\\A|A\r\n");
        DialogContext context;
        context.services = &services;
        context.toolbarFile = data / L"ToolBars.txt";
        context.programFolder = program.Folder();
        context.exeName = L"ZelkToolBars";
        {
            std::optional<LockedKey> run, settings;
            if (c.lockRun) {
                run.emplace(kRunKey);
            }
            if (c.lockSettings) {
                settings.emplace(kSettingsKey);
            }
            frmParameters form(context);
            form.Create(nullptr);
            form.ucList1().AddItem(L"B", -1, std::wstring(L"C:\\B"));
            form.Check(L"OptYes", c.startWithWindows ? 0 : 1);
            form.Click(L"cmdOk");
            EXPECT_FALSE(form.IsOpen());
        }
        EXPECT_EQ(ReadBytes(data / L"ToolBars.txt"), "C:\\A|A\r\nC:\\B|B\r\n");
        if (c.told.empty()) {
            EXPECT_TRUE(services.boxes.empty());
        } else {
            ASSERT_EQ(services.boxes.size(), 1u);
            for (const std::wstring& part : c.told) {
                EXPECT_NE(services.boxes[0].text.find(part), std::wstring::npos)
                    << "missing \"" << testing::PrintToString(part) << "\" in "
                    << testing::PrintToString(services.boxes[0].text);
            }
        }
        EXPECT_EQ(RegisterStartUp(kRunValueName, L"", false, allUsers), 0);
    }
}
