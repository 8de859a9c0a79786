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
    static std::wstring Setting(const wchar_t* name) {
        return GetRegSettingOrDefault(kSettingsApp, kSettingsSection, name, L"x");
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

// Ok saves the list, then the Run value and the settings. Windows may refuse the Run key or the
// settings key (a policy, a security tool, a locked profile): each refusal is told instead of
// closing as if all were saved (a read-only list, and the Run value written, are the end-to-end
// test's).
TEST_F(DialogFixture, OkSavesEveryChoiceAndTellsEachRefusal) {
    struct Case {
        bool lockRun, lockSettings, startWithWindows, light;
        std::vector<std::wstring> told; // empty: no box at all
    };
    const Case cases[] = {
        {false, false, false, true, {}},
        {true, false, true, false, {L"could not be turned on (error 5)"}},
        {true, false, false, false, {L"could not be turned off (error 5)"}},
        {false, true, false, false, {L"AutoStart could not be saved", L"Theme could not"}},
        {true, true, true, false, {L"turned on", L"AutoStart", L"Theme"}},
    };
    const std::wstring file = Context().toolbarFile, old = L"\"C:\\old.exe\"";
    const std::string before = "C:\\A|\r\n\r\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "run locked " << c.lockRun << ", settings locked "
                                        << c.lockSettings << ", start " << c.startWithWindows);
        services.boxes.clear();
        bool allUsers = false;
        // Something to turn off, so the refused delete is a real one.
        ASSERT_EQ(RegisterStartUp(kRunValueName, old, true, allUsers), 1);
        ASSERT_FALSE(SaveRegSetting(kSettingsApp, kSettingsSection, L"Theme", L"00"));
        ASSERT_FALSE(SaveRegSetting(kSettingsApp, kSettingsSection, L"AutoStart", L"1"));
        WriteBytes(file, before);
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
            ASSERT_EQ(form.ucList1().Items().ListCount(), 1);
            EXPECT_EQ(form.ucList1().ItemText(0), L"A"); // the empty title filled from the folder
            // "00" reads as light for the colours but is not the text "0": Dark is selected.
            EXPECT_TRUE(form.IsChecked(L"OptTheme", 1));
            EXPECT_TRUE(form.IsChecked(L"OptYes", 0));
            form.ucList1().AddItem(L"B", -1, std::wstring(L"C:\\B"));
            form.Check(L"OptYes", c.startWithWindows ? 0 : 1);
            form.Check(L"OptTheme", c.light ? 0 : 1);
            form.Click(L"cmdOk");
            EXPECT_FALSE(form.IsOpen());
        }
        EXPECT_EQ(ReadBytes(file), "C:\\A|A\r\nC:\\B|B\r\n");
        if (!c.lockRun) {
            EXPECT_EQ(RunValue(), L"<none>");
        }
        if (!c.lockSettings) {
            EXPECT_EQ(Setting(L"AutoStart"), c.startWithWindows ? L"1" : L"0");
            EXPECT_EQ(Setting(L"Theme"), c.light ? L"0" : L"1");
        }
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

// The buttons of Parameters: Remove asks only with a selection, Open beeps without one, a
// language file's tool tips reach them, and the close box saves nothing.
TEST_F(DialogFixture, ParametersButtonsToolTipsAndTheCloseBox) {
    WriteBytes(Context().toolbarFile, "C:\\A|A\r\nC:\\B|Bee\r\n");
    WriteBytes(program / L"Lng\\fra.lng",
               "[frmParameters]\r\ncmdAddToolTipText=Ajoute une barre\r\n");
    WriteBytes(program / L"Lng\\Local.ini", "[LocaleID]\r\n1036=fra\r\n");
    const WindowsAnsiCodec ansi;
    const Localisation language = Localisation::Load(program.Folder(), 1036, ansi);
    DialogContext context = Context();
    context.language = &language;
    frmParameters form(context);
    form.Create(nullptr);
    EXPECT_EQ(form.ToolTipOf(L"cmdAdd"), L"Ajoute une barre");
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

    form.Check(L"OptYes", 0);
    ::SendMessageW(form.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(form.IsOpen());
    EXPECT_EQ(ReadBytes(Context().toolbarFile), "C:\\A|A\r\nC:\\B|Bee\r\n");
    EXPECT_EQ(RunValue(), L"<none>");
}

TEST_F(DialogFixture, AddToolbarUsesThePickerAndItsErrorCodes) {
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

// Save comes only once every row is placed; a drop past the last row appends, one over a row
// inserts before it, one on the list the drag started in changes nothing; rows show the title
// alone while the folder travels. With the keyboard, through the form's own loop
// (IsDialogMessage first): Tab into a list, Alt+Right sends a row across, Alt+Up and Alt+Down
// reorder (nothing past an end), Enter saves. A move to a monitor of another scale takes the
// size Windows suggests.
TEST_F(DialogFixture, SortPlacesDropsAndKeysAndSavesOnlyAWholeList) {
    WriteBytes(Context().toolbarFile, "C:\\A|A\r\nC:\\B|\r\nC:\\C|C\r\nC:\\D|D\r\n");
    frmParameters host(Context());
    host.Create(nullptr);
    FrmSort sort(host);
    sort.Create(host.hwnd());
    RECT suggested{10, 20, 900, 700}, now{}, listBefore{}, listAfter{};
    ::GetWindowRect(sort.ucList1().hWnd(), &listBefore);
    const auto fontHeight = [&] {
        LOGFONTW font{};
        ::GetObjectW(reinterpret_cast<HFONT>(
                         ::SendMessageW(::GetWindow(sort.hwnd(), GW_CHILD), WM_GETFONT, 0, 0)),
                     sizeof(font), &font);
        return font.lfHeight;
    };
    const LONG fontBefore = fontHeight();
    ::SendMessageW(sort.hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                   reinterpret_cast<LPARAM>(&suggested));
    ::GetWindowRect(sort.hwnd(), &now);
    ::GetWindowRect(sort.ucList1().hWnd(), &listAfter);
    EXPECT_TRUE(::EqualRect(&now, &suggested)) << "a new monitor's scale ignored";
    EXPECT_NEAR((listAfter.right - listAfter.left) * 2.0 / 3.0, listBefore.right - listBefore.left,
                2)
        << "the lists kept their size at a scale half as large again";
    EXPECT_NEAR(fontHeight() * 2.0 / 3.0, fontBefore, 1) << "the controls kept their fonts";
    const auto move = [&](ucList& from, long row, float y) {
        from.SetListIndex(row);
        std::wstring text;
        long allowed = 0;
        from.OLEStartDrag(text, allowed);
        sort.DragOver(2, y, 2);
        sort.Drop(2, text);
    };
    const float second =
        static_cast<float>(sort.uclist2().HeaderHeight() + sort.uclist2().RowHeight() + 5);
    move(sort.ucList1(), 2, 300);    // C below everything: appended
    move(sort.ucList1(), 0, second); // A below C (past the last row)
    move(sort.uclist2(), 0, 300);    // C within its own list: stays first
    move(sort.ucList1(), 0, second); // B over the second row: inserted before A
    EXPECT_FALSE(::IsWindowEnabled(sort.Control(L"cmdSave")));

    ::ShowWindow(sort.hwnd(), SW_SHOW);
    ::SetForegroundWindow(sort.hwnd());
    const auto press = [&](WORD key, bool alt = false) {
        ASSERT_TRUE(PressKey(key, alt));
        for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < 80;) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            for (MSG msg; ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) {
                if (!sort.IsOpen() || !::IsDialogMessageW(sort.hwnd(), &msg)) {
                    ::TranslateMessage(&msg);
                    ::DispatchMessageW(&msg);
                }
            }
        }
    };
    for (int i = 0; i < 5 && ::GetFocus() != sort.ucList1().hWnd(); ++i) {
        press(VK_TAB);
    }
    ASSERT_EQ(::GetFocus(), sort.ucList1().hWnd());
    press(VK_DOWN);
    press(VK_RIGHT, true); // D after C B A
    EXPECT_TRUE(::IsWindowEnabled(sort.Control(L"cmdSave")));
    // In the new order Alt+Down leaves D, the last row, where it is; Alt+Up takes it to the top
    // and no further.
    for (const auto& [key, alt] : {std::pair{VK_TAB, false},
                                   {VK_DOWN, true},
                                   {VK_UP, true},
                                   {VK_UP, true},
                                   {VK_UP, true},
                                   {VK_UP, true}}) {
        press(static_cast<WORD>(key), alt);
    }
    EXPECT_EQ(sort.uclist2().ListIndex(), 0);
    press(VK_RETURN);
    EXPECT_FALSE(sort.IsOpen());
    EXPECT_TRUE(host.ToolbarsChanged);
    EXPECT_EQ(ReadBytes(Context().toolbarFile), "C:\\D|D\r\nC:\\C|C\r\nC:\\B|B\r\nC:\\A|A\r\n");
}

// The About box's numbers come from the version resource (its texts, shown in the file's
// details, are the installer test's).
TEST_F(DialogFixture, AboutShowsVersionNoticeAndLocaleFromTheVersionResource) {
    frmAbout about(Context());
    about.Create(nullptr);
    EXPECT_EQ(about.TextOf(L"lblLabel1", 1), L"Version : " ZELK_VERSION_WTEXT);
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    const std::wstring notice = about.TextOf(L"lblLabel1", 2);
    EXPECT_EQ(notice.substr(notice.size() - 4), std::to_wstring(now.wYear));
    EXPECT_EQ(about.TextOf(L"lblLabel1", 3), L"LOCALE ID : 1036");
}

TEST(FolderPicker, CancelLeavesTheCancelCodeAsTheLastError) {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        CmnDialogEx picker;
        picker.DialogTitle = L"Select a folder on disk";
        EXPECT_TRUE(picker.SetRootFolder(L"C:\\windows"));
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
    }
    ::CoUninitialize();
}

// Sort starts from the file: over a list that cannot be read it only says so again (what
// Parameters and its Ok do then is the end-to-end test's).
TEST_F(DialogFixture, SortOverAListThatCannotBeReadOnlySaysSo) {
    WriteBytes(Context().toolbarFile, "C:\\A|A\r\n");
    unique_file lock(HoldFile(Context().toolbarFile));
    ASSERT_TRUE(lock);
    frmParameters form(Context());
    form.Create(nullptr);
    form.Click(L"cmdSort");
    EXPECT_EQ(services.boxes.size(), 2u);
}

namespace {

// The edit boxes and lists of a form that a screen reader could not name: their window does
// not come right after a label with text.
std::vector<std::wstring> UnlabelledControls(HWND form) {
    std::vector<std::wstring> unlabelled;
    for (HWND c = ::GetWindow(form, GW_CHILD); c != nullptr; c = ::GetWindow(c, GW_HWNDNEXT)) {
        wchar_t cls[32] = {}, before[32] = {};
        ::GetClassNameW(c, cls, 32);
        const HWND label = ::GetWindow(c, GW_HWNDPREV);
        ::GetClassNameW(label, before, 32);
        if ((_wcsicmp(cls, L"Edit") == 0 || _wcsicmp(cls, L"ZelkList") == 0) &&
            (_wcsicmp(before, L"Static") != 0 || ::GetWindowTextLengthW(label) == 0)) {
            unlabelled.push_back(cls);
        }
    }
    return unlabelled;
}

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
    const std::wstring self = ThisExe();
    const std::wstring programFolder =
        self.substr(0, self.rfind(L'\\') + 1) + ZELK_PROGRAM_FOLDER_FROM_TESTS;
    const WindowsAnsiCodec ansi;
    const std::pair<std::wstring, uint32_t> languages[] = {
        {L"eng", 1033}, {L"fra", 1036}, {L"deu", 1031}, {L"ita", 1040},
        {L"spa", 1034}, {L"por", 1046}, {L"nld", 1043}};
    for (const auto& [code, locale] : languages) {
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
            EXPECT_EQ(UnlabelledControls(form->hwnd()), std::vector<std::wstring>())
                << form->FormName();
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
    const DWORD exitCode = RunToEnd(
        L"\"" + self + L"\" --gtest_filter=" + std::wstring(filter.begin(), filter.end()), 120000);
    ::SetEnvironmentVariableW(L"ZELK_AT_150", nullptr);
    if (had) {
        ::RegSetValueExW(desktop.get(), L"LogPixels", 0, REG_DWORD,
                         reinterpret_cast<const BYTE*>(&saved), sizeof(saved));
    } else {
        ::RegDeleteValueW(desktop.get(), L"LogPixels");
    }
    EXPECT_EQ(exitCode, 0u) << "the run at 150 % failed (its output is above)";
}
