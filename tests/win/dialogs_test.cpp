#include <gtest/gtest.h>

#include <windows.h>

#include <sddl.h>

#include "core/dialog_rules.h"
#include "settings/toolbar_store.h"
#include "dialogs/CmnDialogEx.h"
#include "dialogs/FrmSort.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmAddToolBar.h"
#include "dialogs/frmParameters.h"
#include "settings/localisation_files.h"
#include "settings/reg_settings.h"
#include "win/ansi_codec.h"
#include "settings/startup.h"
#include "test_support.h"
#include "win/gdi.h"
#include "win/unique_handle.h"
#include "zelk_version.h"

using namespace zelk;

namespace {

constexpr wchar_t kSettingsKey[] = L"SOFTWARE\\ToolBars\\Settings\\Windows";

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

struct DialogFixture : testing::Test {
    TempFolder data, program;
    RecordingUiServices services;
    std::wstring savedTheme, savedAutoStart;

    void SetUp() override {
        savedTheme = GetRegSetting(kSettingsApp, kSettingsSection, L"Theme", L"<none>").value;
        savedAutoStart =
            GetRegSetting(kSettingsApp, kSettingsSection, L"AutoStart", L"<none>").value;
    }
    void TearDown() override {
        for (auto [key, value] :
             {std::pair{L"Theme", savedTheme}, {L"AutoStart", savedAutoStart}}) {
            if (value == L"<none>") {
                ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, key);
            } else {
                EXPECT_FALSE(SaveRegSetting(kSettingsApp, kSettingsSection, key, value));
            }
        }
        bool allUsers = false;
        EXPECT_GE(RegisterStartUp(kRunValueName, L"", false, allUsers), 0);
    }
    DialogContext Context() {
        DialogContext c;
        c.services = &services;
        c.toolbarFile = data / L"ToolBars.txt";
        c.programFolder = program / L"Program Files With Spaces\\";
        c.exeName = L"ZelkToolBars";
        c.localeId = 1036;
        return c;
    }
    static std::wstring RunValue() {
        wchar_t value[1024] = {};
        DWORD size = sizeof(value);
        return ::RegGetValueW(HKEY_CURRENT_USER, kRunKey, kRunValueName, RRF_RT_REG_SZ, nullptr,
                              value, &size) == ERROR_SUCCESS
                   ? value
                   : L"<none>";
    }
};

} // namespace

TEST_F(DialogFixture, ParametersLoadsFileAndSettings) {
    WriteBytes(Context().toolbarFile, "C:\\Tools|\r\nC:\\Games|Games\r\n\r\n");
    EXPECT_FALSE(SaveRegSetting(kSettingsApp, kSettingsSection, L"Theme", L"00"));
    EXPECT_FALSE(SaveRegSetting(kSettingsApp, kSettingsSection, L"AutoStart", L"1"));
    frmParameters form(Context());
    form.Create(nullptr);
    ASSERT_EQ(form.ucList1().Items().ListCount(), 2);
    EXPECT_EQ(form.ucList1().ItemText(0), L"Tools"); // the empty title filled from the folder
    EXPECT_EQ(form.ucList1().ItemData(1), ItemValue(std::wstring(L"C:\\Games")));
    // "00" reads as light for the colours but is not the text "0": Dark is selected.
    EXPECT_TRUE(form.IsChecked(L"OptTheme", 1));
    EXPECT_TRUE(form.IsChecked(L"OptYes", 0));

    form.Click(L"cmdOk");
    EXPECT_FALSE(form.IsOpen());
    EXPECT_EQ(ReadBytes(Context().toolbarFile), "C:\\Tools|Tools\r\nC:\\Games|Games\r\n");
    EXPECT_EQ(RunValue(),
              L"\"" + program.Folder() + L"Program Files With Spaces\\ZelkToolBars.exe\"");
    EXPECT_EQ(GetRegSettingOrDefault(kSettingsApp, kSettingsSection, L"AutoStart", L"x"), L"1");
    EXPECT_EQ(GetRegSettingOrDefault(kSettingsApp, kSettingsSection, L"Theme", L"x"), L"1");
}

TEST_F(DialogFixture, LanguageFilesReachCaptionsToolTipsAndArrayMembers) {
    WriteBytes(program / L"Lng\\fra.lng",
               "[frmParameters]\r\nForm=Param\xE8tres des barres\r\nOptTheme0=Clair\r\n"
               "OptTheme1=Sombre\r\ncmdOpenDir2=Menu D\xE9marrer commun\r\n"
               "cmdAddToolTipText=Ajoute une barre\r\n");
    WriteBytes(program / L"Lng\\Local.ini", "[LocaleID]\r\n1036=fra\r\n");
    const WindowsAnsiCodec ansi;
    const Localisation language = Localisation::Load(program.Folder(), 1036, ansi);
    DialogContext context = Context();
    context.language = &language;
    frmParameters form(context);
    form.Create(nullptr);
    wchar_t caption[128] = {};
    ::GetWindowTextW(form.hwnd(), caption, 128);
    EXPECT_STREQ(caption, L"Paramètres des barres");
    EXPECT_EQ(form.TextOf(L"OptTheme", 0), L"Clair");
    EXPECT_EQ(form.TextOf(L"OptTheme", 1), L"Sombre");
    EXPECT_EQ(form.TextOf(L"cmdOpenDir", 2), L"Menu Démarrer commun");
    EXPECT_EQ(form.TextOf(L"cmdOpenDir", 1), L"Open &User Startup menu directory");
    EXPECT_EQ(form.ToolTipOf(L"cmdAdd"), L"Ajoute une barre");
}

TEST_F(DialogFixture, OkWritesNoAndLightAndTheCloseBoxWritesNothing) {
    WriteBytes(Context().toolbarFile, "C:\\A|A\r\n");
    bool allUsers = false;
    EXPECT_GE(RegisterStartUp(kRunValueName, L"\"C:\\old.exe\"", true, allUsers), 0);
    {
        frmParameters form(Context());
        form.Create(nullptr);
        form.Check(L"OptYes", 1);
        form.Check(L"OptTheme", 0);
        form.Click(L"cmdOk");
    }
    EXPECT_EQ(RunValue(), L"<none>");
    EXPECT_EQ(GetRegSettingOrDefault(kSettingsApp, kSettingsSection, L"AutoStart", L"x"), L"0");
    EXPECT_EQ(GetRegSettingOrDefault(kSettingsApp, kSettingsSection, L"Theme", L"x"), L"0");

    frmParameters form(Context());
    form.Create(nullptr);
    form.ucList1().AddItem(L"New", -1, std::wstring(L"C:\\New"));
    form.Check(L"OptYes", 0);
    ::SendMessageW(form.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(form.IsOpen());
    EXPECT_EQ(ReadBytes(Context().toolbarFile), "C:\\A|A\r\n");
    EXPECT_EQ(RunValue(), L"<none>");
}

TEST_F(DialogFixture, RemoveAsksOnlyWithASelectionAndOpenDirBeeps) {
    WriteBytes(Context().toolbarFile, "C:\\A|A\r\nC:\\B|Bee\r\n");
    frmParameters form(Context());
    form.Create(nullptr);
    form.Click(L"cmdRemove");
    EXPECT_TRUE(services.boxes.empty());
    form.Click(L"cmdOpenDir", 0);
    EXPECT_EQ(services.beeps, 1);
    EXPECT_TRUE(services.opens.empty());

    form.ucList1().SetListIndex(1);
    services.answer = IDNO;
    form.Click(L"cmdRemove");
    ASSERT_EQ(services.boxes.size(), 1u);
    EXPECT_EQ(services.boxes[0].text, L"Are you sure you want to remove the toolbar\r\nBee ? ");
    EXPECT_EQ(services.boxes[0].caption, L"ZelkToolbars");
    EXPECT_EQ(services.boxes[0].flags, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(form.ucList1().Items().ListCount(), 2);
    services.answer = IDYES;
    form.Click(L"cmdRemove");
    EXPECT_EQ(form.ucList1().Items().ListCount(), 1);
    EXPECT_EQ(form.ucList1().ListIndex(), 0); // the selection moves up

    form.Click(L"cmdOpenDir", 0);
    ASSERT_EQ(services.opens.size(), 1u);
    EXPECT_EQ(services.opens[0].file, L"C:\\A");
    form.Click(L"cmdOpenDir", 1);
    EXPECT_NE(services.opens.back().file.find(L"Microsoft\\Windows\\Start Menu\\Programs"),
              std::wstring::npos);
}

TEST_F(DialogFixture, AFailedSaveKeepsTheDialogAndTheFile) {
    WriteBytes(Context().toolbarFile, "C:\\A|A\r\n");
    ::SetFileAttributesW(Context().toolbarFile.c_str(), FILE_ATTRIBUTE_READONLY);
    frmParameters form(Context());
    form.Create(nullptr);
    form.ucList1().AddItem(L"B", -1, std::wstring(L"C:\\B"));
    form.Click(L"cmdOk");
    EXPECT_TRUE(form.IsOpen());
    ASSERT_EQ(services.boxes.size(), 1u);
    EXPECT_EQ(services.boxes[0].flags, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    ::SetFileAttributesW(Context().toolbarFile.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(Context().toolbarFile), "C:\\A|A\r\n");
}

TEST_F(DialogFixture, AddToolbarUsesThePickerAndItsErrorCodes) {
    frmParameters parameters(Context());
    DialogContext context = Context();
    std::vector<int> asked;
    int32_t nextError = kPickerCancelled;
    std::optional<std::wstring> nextPath;
    context.pickFolder = [&](HWND, int which, int32_t& error) {
        asked.push_back(which);
        error = nextError;
        return nextPath;
    };
    frmParameters host(context);
    host.Create(nullptr);
    frmAddToolBar add(host);
    add.Create(host.hwnd());
    add.Click(L"cmd", 1);
    EXPECT_EQ(asked, std::vector<int>{1});
    EXPECT_TRUE(services.boxes.empty()); // cancel is silent
    EXPECT_FALSE(add.OnStep2());
    nextError = 5;
    add.Click(L"cmd", 0);
    ASSERT_EQ(services.boxes.size(), 1u);
    EXPECT_EQ(services.boxes[0].text, L"Dialog failed with error: 5");

    nextPath = L"C:\\Data\\Archive.2023";
    add.Click(L"cmd", 2);
    ASSERT_TRUE(add.OnStep2());
    EXPECT_EQ(add.TextOf(L"txtText1"), L"Archive");
    add.SetText(L"txtText1", -1, L"");
    add.Click(L"cmdOk");
    EXPECT_TRUE(host.ToolbarsChanged);
    ASSERT_EQ(host.ucList1().Items().ListCount(), 1);
    EXPECT_EQ(host.ucList1().ItemText(0), L"Archive");
    EXPECT_EQ(host.ucList1().ItemData(0), ItemValue(std::wstring(L"C:\\Data\\Archive.2023")));
}

TEST_F(DialogFixture, SortDropIndexesAndSaveOrder) {
    WriteBytes(Context().toolbarFile, "C:\\A|A\r\nC:\\B|\r\nC:\\C|C\r\n");
    frmParameters host(Context());
    host.Create(nullptr);
    FrmSort sort(host);
    sort.Create(host.hwnd());
    ASSERT_EQ(sort.ucList1().Items().ListCount(), 3);
    EXPECT_FALSE(::IsWindowEnabled(sort.Control(L"cmdSave")));

    // What a drag carries: the text the list's own start of a drag gives.
    const auto dragged = [](ucList& list, long row) {
        list.SetListIndex(row);
        std::wstring text;
        long allowed = 0;
        list.OLEStartDrag(text, allowed);
        return text;
    };
    const auto move = [&](long row, float y) {
        const std::wstring text = dragged(sort.ucList1(), row);
        sort.DragOver(2, y, 2);
        sort.Drop(2, text);
    };
    const float h = static_cast<float>(sort.uclist2().RowHeight());
    const float top = static_cast<float>(sort.uclist2().HeaderHeight());
    move(2, 300); // C below everything: appended
    EXPECT_EQ(sort.RightDropIndex, -2);
    move(0, top + h + 5); // A below C (past the last row)
    move(0, top + h + 5); // B over the second row: inserted before A
    // Rows show the title alone, never the folder, which travels with the drag.
    const wchar_t* shown[] = {L"C", L"B", L"A"};
    for (long i = 0; i < 3; ++i) {
        EXPECT_EQ(sort.uclist2().ItemText(i), shown[i]);
    }
    EXPECT_EQ(dragged(sort.uclist2(), 1), SortRowText(L"B", L"C:\\B"));
    // A drop on the list the drag started in changes nothing.
    sort.Drop(2, dragged(sort.uclist2(), 0));
    EXPECT_EQ(sort.uclist2().Items().ListCount(), 3);
    EXPECT_TRUE(::IsWindowEnabled(sort.Control(L"cmdSave")));
    // Reorder to C, A, B: drag B back left, then to the end.
    const std::wstring back = dragged(sort.uclist2(), 1);
    sort.DragOver(1, 100, 2);
    sort.Drop(1, back);
    EXPECT_FALSE(::IsWindowEnabled(sort.Control(L"cmdSave")));
    move(0, 300);
    sort.Click(L"cmdSave");
    EXPECT_FALSE(sort.IsOpen());
    EXPECT_TRUE(host.ToolbarsChanged);
    EXPECT_EQ(ReadBytes(Context().toolbarFile), "C:\\C|C\r\nC:\\A|A\r\nC:\\B|B\r\n");
}

TEST_F(DialogFixture, AboutShowsVersionNoticeAndLocale) {
    frmAbout about(Context());
    about.Create(nullptr);
    EXPECT_EQ(about.TextOf(L"lblLabel1", 1), L"Version : " ZELK_VERSION_WTEXT);
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    const std::wstring notice = about.TextOf(L"lblLabel1", 2);
    EXPECT_EQ(notice.substr(notice.size() - 4), std::to_wstring(now.wYear));
    EXPECT_EQ(about.TextOf(L"lblLabel1", 3), L"LOCALE ID : 1036");
    ::SendMessageW(about.hwnd(), WM_KEYDOWN, 'X', 0);
    EXPECT_FALSE(about.IsOpen());
}

// The version resource is made from the project's version alone: its numbers (read by the
// About box and Explorer) and its texts (shown in the file's details) must both follow it.
TEST(VersionResource, CarriesTheProjectVersion) {
    unsigned major = 0, minor = 0, revision = 0;
    ASSERT_TRUE(ProgramVersion(major, minor, revision));
    EXPECT_EQ(major, static_cast<unsigned>(ZELK_VERSION_MAJOR));
    EXPECT_EQ(minor, static_cast<unsigned>(ZELK_VERSION_MINOR));
    EXPECT_EQ(revision, static_cast<unsigned>(ZELK_VERSION_PATCH));

    wchar_t path[MAX_PATH] = {};
    ASSERT_NE(::GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> data(size);
    ASSERT_TRUE(::GetFileVersionInfoW(path, 0, size, data.data()));
    for (const wchar_t* name : {L"FileVersion", L"ProductVersion"}) {
        SCOPED_TRACE(testing::Message() << name);
        wchar_t* value = nullptr;
        UINT length = 0;
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        ASSERT_TRUE(::VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&value),
                                     &length));
        EXPECT_EQ(std::wstring(value, wcsnlen(value, length)), ZELK_VERSION_WTEXT);
    }
}

TEST(FolderPicker, CancelLeavesTheCancelCodeAsTheLastError) {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        CmnDialogEx picker;
        picker.DialogTitle = L"Select a folder on disk";
        EXPECT_TRUE(picker.SetRootFolder(L"C:\\windows"));
        EXPECT_TRUE(picker.HasRoot());
        // Cancel the browser as soon as it shows: no test may wait for a person.
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR, DWORD) {
            if (HWND browser = ::FindWindowW(L"#32770", L"Select a folder on disk")) {
                ::PostMessageW(browser, WM_COMMAND, IDCANCEL, 0);
            }
        });
        EXPECT_FALSE(
            picker.ShowBrowseForFolder(nullptr, L"Choose the root folder of your toolbar"));
        EXPECT_EQ(static_cast<int32_t>(::GetLastError()), kPickerCancelled);
        EXPECT_EQ(picker.FileName(), L"");
        ::KillTimer(nullptr, timer);
        picker.Clear();
        EXPECT_FALSE(picker.HasRoot());
        EXPECT_EQ(picker.DialogTitle, L"");
    }
    ::CoUninitialize();
}

// Parameters opened while the list cannot be read: it says so, and Ok replaces the file only
// when the user confirms, keeping the old one as the backup.
TEST_F(DialogFixture, ParametersNeverWritesOverAListItCouldNotRead) {
    const std::wstring path = Context().toolbarFile;
    const std::string list = "C:\\A|A\r\nC:\\B|B\r\nC:\\C|C\r\n";
    WriteBytes(path, list);
    for (int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer == IDYES ? "confirmed" : "not confirmed");
        services.boxes.clear();
        services.answer = answer;
        unique_file lock(HoldFile(path));
        ASSERT_TRUE(lock);
        frmParameters form(Context());
        form.Create(nullptr);
        ASSERT_EQ(services.boxes.size(), 1u) << "the dialog did not say the list is unreadable";
        EXPECT_NE(services.boxes[0].text.find(path), std::wstring::npos);
        EXPECT_NE(services.boxes[0].text.find(L"Another program has the file open"),
                  std::wstring::npos);
        form.Click(L"cmdSort"); // sorting starts from the file: it says so again instead
        EXPECT_EQ(services.boxes.size(), 2u);
        lock.reset(); // the other program lets go before the user chooses Ok
        form.ucList1().AddItem(L"New", -1, std::wstring(L"C:\\New"));
        form.Click(L"cmdOk");
        ASSERT_EQ(services.boxes.size(), 3u);
        EXPECT_EQ(services.boxes[2].flags & MB_YESNO, static_cast<UINT>(MB_YESNO));
        if (answer == IDNO) {
            EXPECT_TRUE(form.IsOpen());
            EXPECT_EQ(ReadBytes(path), list) << "written over without the user's word";
        } else {
            EXPECT_FALSE(form.IsOpen());
            EXPECT_EQ(ReadBytes(path), "C:\\New|New\r\n");
            EXPECT_EQ(ReadBytes(BackupPathOf(path)), list);
        }
    }
}

namespace {

// Which captions of a form do not show whole: each button's or label's text measured with its
// own font against its client area (a label may wrap when it is tall enough), and each control
// against the form's client area.
std::vector<std::wstring> ClippedCaptions(HWND form) {
    std::vector<std::wstring> clipped;
    RECT client{};
    ::GetClientRect(form, &client);
    const double s = ScreenScale();
    for (HWND c = ::GetWindow(form, GW_CHILD); c != nullptr; c = ::GetWindow(c, GW_HWNDNEXT)) {
        wchar_t cls[32] = {}, text[256] = {};
        ::GetClassNameW(c, cls, 32);
        ::GetWindowTextW(c, text, 256);
        const bool button = _wcsicmp(cls, L"Button") == 0;
        if ((!button && _wcsicmp(cls, L"Static") != 0) || text[0] == L'\0') {
            continue;
        }
        RECT area{}, at{};
        ::GetClientRect(c, &area);
        ::GetWindowRect(c, &at);
        ::MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&at), 2);
        const HDC dc = ::GetDC(c);
        const HGDIOBJ old =
            ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(c, WM_GETFONT, 0, 0)));
        RECT line{}, wrapped{0, 0, area.right, 0};
        ::DrawTextW(dc, text, -1, &line, DT_CALCRECT | DT_SINGLELINE);
        ::DrawTextW(dc, text, -1, &wrapped, DT_CALCRECT | DT_WORDBREAK);
        ::SelectObject(dc, old);
        ::ReleaseDC(c, dc);
        const LONG type = ::GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK;
        // A push button's border and focus rectangle, or a radio button's round box, take room.
        const LONG margin = !button                      ? 0
                            : type == BS_AUTORADIOBUTTON ? static_cast<LONG>(16 * s)
                                                         : static_cast<LONG>(8 * s);
        const bool fits = line.right + margin <= area.right ||
                          (!button && wrapped.right <= area.right && wrapped.bottom <= area.bottom);
        if (!fits || at.left < 0 || at.top < 0 || at.right > client.right ||
            at.bottom > client.bottom) {
            clipped.push_back(text);
        }
    }
    return clipped;
}

} // namespace

// Every dialog in English and in each shipped language shows its captions whole, at the
// scale of this run and at 150 % (this test again, in a process started at 144 dpi).
TEST_F(DialogFixture, CaptionsFitTheirControlsInEveryLanguageAndAt150Percent) {
    wchar_t exe[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    const std::wstring self = exe;
    const std::wstring programFolder =
        self.substr(0, self.rfind(L'\\') + 1) + ZELK_PROGRAM_FOLDER_FROM_TESTS;
    const WindowsAnsiCodec ansi;
    for (const auto& [code, locale] :
         std::vector<std::pair<std::wstring, uint32_t>>{{L"eng", 1033},
                                                        {L"fra", 1036},
                                                        {L"deu", 1031},
                                                        {L"ita", 1040},
                                                        {L"spa", 1034},
                                                        {L"por", 1046},
                                                        {L"nld", 1043}}) {
        const Localisation language = Localisation::Load(programFolder, locale, ansi);
        ASSERT_EQ(language.CurrentLanguage(), code);
        DialogContext context = Context();
        context.language = &language;
        frmParameters parameters(context);
        parameters.Create(nullptr);
        frmAddToolBar add(parameters);
        add.Create(nullptr);
        FrmSort sort(parameters);
        sort.Create(nullptr);
        frmAbout about(context);
        about.Create(nullptr);
        for (DialogForm* form :
             std::initializer_list<DialogForm*>{&parameters, &add, &sort, &about}) {
            EXPECT_EQ(ClippedCaptions(form->hwnd()), std::vector<std::wstring>())
                << form->FormName() << " in " << testing::PrintToString(code) << " at "
                << ScreenScale();
        }
    }
    if (::GetEnvironmentVariableW(L"ZELK_AT_150", nullptr, 0) != 0) {
        EXPECT_EQ(ScreenScale(), 1.5);
        return;
    }
    // The scale is the prefix's LogPixels, read when a process starts.
    unique_hkey desktop;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0,
                                KEY_ALL_ACCESS, nullptr, desktop.put(), nullptr),
              ERROR_SUCCESS);
    DWORD saved = 0, size = sizeof(saved);
    const bool had = ::RegQueryValueExW(desktop.get(), L"LogPixels", nullptr, nullptr,
                                        reinterpret_cast<BYTE*>(&saved), &size) == ERROR_SUCCESS;
    const DWORD dpi = 144;
    ::RegSetValueExW(desktop.get(), L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                     sizeof(dpi));
    ::SetEnvironmentVariableW(L"ZELK_AT_150", L"1");
    const testing::TestInfo& test = *testing::UnitTest::GetInstance()->current_test_info();
    const std::string filter = std::string(test.test_suite_name()) + "." + test.name();
    std::wstring command =
        L"\"" + self + L"\" --gtest_filter=" + std::wstring(filter.begin(), filter.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION child{};
    const BOOL started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0,
                                          nullptr, nullptr, &startup, &child);
    DWORD exitCode = 1;
    if (started) {
        ::WaitForSingleObject(child.hProcess, 120000);
        ::GetExitCodeProcess(child.hProcess, &exitCode);
        ::CloseHandle(child.hThread);
        ::CloseHandle(child.hProcess);
    }
    ::SetEnvironmentVariableW(L"ZELK_AT_150", nullptr);
    if (had) {
        ::RegSetValueExW(desktop.get(), L"LogPixels", 0, REG_DWORD,
                         reinterpret_cast<const BYTE*>(&saved), sizeof(saved));
    } else {
        ::RegDeleteValueW(desktop.get(), L"LogPixels");
    }
    ASSERT_TRUE(started);
    EXPECT_EQ(exitCode, 0u) << "the run at 150 % failed (its output is above)";
}

// A plain opaque square of one colour, made at the size asked for.
HICON SquareIcon(int size) {
    const std::vector<uint32_t> bits(static_cast<size_t>(size * size), 0xFF2060C0);
    unique_hbitmap colour(::CreateBitmap(size, size, 1, 32, bits.data()));
    unique_hbitmap mask(::CreateBitmap(size, size, 1, 1, nullptr));
    ICONINFO info{TRUE, 0, 0, mask.get(), colour.get()};
    return ::CreateIconIndirect(&info);
}

// How many pixels of a shown control have exactly that colour, as the form painted it.
int PixelsOf(HWND control, COLORREF colour) {
    ::RedrawWindow(::GetParent(control), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
    RECT r{};
    ::GetClientRect(control, &r);
    WindowDC dc(control);
    int count = 0;
    for (int y = 0; y < r.bottom; ++y) {
        for (int x = 0; x < r.right; ++x) {
            count += ::GetPixel(dc.get(), x, y) == colour;
        }
    }
    return count;
}

// The dialogs' finish, in both themes: the pictures fill their boxes, the About title shows
// its grey shade behind it, and the Sort lists' shadows lie on the panel's own colour, with
// no column missing where the shadow's slices meet.
TEST_F(DialogFixture, PicturesTitleShadeAndListShadowsInBothThemes) {
    WriteBytes(Context().toolbarFile, "C:\\A|A\r\n");
    DialogContext context = Context();
    context.productIcon = SquareIcon;
    const COLORREF icon = 0xC06020;
    for (const auto& [theme, panel] : {std::pair{L"0", 0xE0E0E0u}, {L"1", 0x000000u}}) {
        SCOPED_TRACE(testing::Message() << "Theme " << theme);
        EXPECT_FALSE(SaveRegSetting(kSettingsApp, kSettingsSection, L"Theme", theme));
        frmAbout about(context);
        about.Create(nullptr);
        ::ShowWindow(about.hwnd(), SW_SHOWNOACTIVATE);
        const int box = about.Px(128);
        EXPECT_EQ(PixelsOf(about.Control(L"Image1"), icon), box * box);
        const int shade = PixelsOf(about.Control(L"lblZelkToolbars", 0), 0xC0C0C0);
        EXPECT_GT(shade, 50);
        EXPECT_GT(PixelsOf(about.Control(L"lblZelkToolbars", 0), 0xFF4070), shade);

        frmParameters host(context);
        host.Create(nullptr);
        frmAddToolBar add(host);
        add.Create(host.hwnd());
        ::ShowWindow(add.hwnd(), SW_SHOWNOACTIVATE);
        EXPECT_EQ(PixelsOf(add.Control(L"Picture1"), icon), add.Px(64) * add.Px(64));
        add.Unload();

        FrmSort sort(host);
        sort.Create(host.hwnd());
        for (ucList* list : {&sort.ucList1(), &sort.uclist2()}) {
            const ClsShadow& shadow = list->Shadow();
            const int w = shadow.LayerWidth(), h = shadow.LayerHeight();
            ASSERT_EQ(shadow.LayerPixels().size(), static_cast<size_t>(w * h));
            const auto at = [&](int x, int y) {
                return shadow.LayerPixels()[static_cast<size_t>(y * w + x)] & 0xFFFFFFu;
            };
            for (const auto& [x, y] : {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}}) {
                EXPECT_EQ(at(x, y), panel) << "corner " << x << "," << y;
            }
            const int corner = shadow.Layout().corner;
            for (int y = 0; y < shadow.Layout().frame.y; ++y) {
                for (int x = corner - 1; x <= w - corner; ++x) {
                    ASSERT_EQ(at(x, y), at(w / 2, y)) << "seam at " << x << "," << y;
                }
            }
        }
    }
}

// Windows may refuse the Run key or the settings key (a policy, a security tool, a locked
// profile): Parameters says which choice did not take instead of closing as if all were saved.
TEST_F(DialogFixture, EveryRefusedChoiceIsToldAndTheListIsStillSaved) {
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
        services.boxes.clear();
        bool allUsers = false;
        // Something to turn off, so the refused delete is a real one.
        ASSERT_EQ(RegisterStartUp(kRunValueName, L"\"C:\\old.exe\"", true, allUsers), 1);
        ASSERT_FALSE(SaveRegSetting(kSettingsApp, kSettingsSection, L"Theme", L"1"));
        WriteBytes(Context().toolbarFile, "C:\\A|A\r\n");
        {
            std::optional<LockedKey> run, settings;
            if (c.lockRun) {
                run.emplace(kRunKey);
            }
            if (c.lockSettings) {
                settings.emplace(kSettingsKey);
            }
            frmParameters form(Context());
            form.Create(nullptr);
            form.ucList1().AddItem(L"B", -1, std::wstring(L"C:\\B"));
            form.Check(L"OptYes", c.startWithWindows ? 0 : 1);
            form.Click(L"cmdOk");
            EXPECT_FALSE(form.IsOpen());
        }
        EXPECT_EQ(ReadBytes(Context().toolbarFile), "C:\\A|A\r\nC:\\B|B\r\n");
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
