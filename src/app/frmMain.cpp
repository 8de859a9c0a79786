#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "app/frmMain.h"

#include "../../res/resource.h"
#include "win/shell_open.h"
#include "settings/toolbar_store.h"
#include "core/form_design.h"
#include "core/rounding.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmParameters.h"
#include "core/paths.h"
#include "core/tray_rules.h"
#include "controls/list/popup_chain.h"
#include "settings/reg_settings.h"
#include "win/file_io.h"
#include "win/message_pump.h"
#include "win/system_look.h"
#include "win/ui_services.h"
#include "win/unique_handle.h"

namespace zelk {

namespace {

constexpr wchar_t kClassName[] = L"ZelkToolBarsMain";
constexpr UINT_PTR kPictureTimer = 7; // fetches the pictures of opened lists
constexpr UINT kTellFileProblemMessage = WM_APP + 0x60;
constexpr UINT kScanEndedMessage = WM_APP + 0x61; // a toolbar's walk has ended
constexpr int kMenuHotKeyId = 1;
constexpr UINT kShellMenuMessage = WM_APP + 0x62;     // the shell's menu for shellMenuFor_
constexpr UINT kFolderChangedMessage = WM_APP + 0x63; // wParam: the watch's cookie
constexpr UINT kRereadEndedMessage = WM_APP + 0x64;   // a toolbar's rereading has ended
constexpr UINT_PTR kRereadTimer = 8;                  // the next rereading falls due
constexpr UINT kPrepareTypesMessage = WM_APP + 0x65;  // the next few type pictures
// Names the window property that tells test tools how many rereadings were made.
constexpr wchar_t kRereadingsProperty[] = L"ZelkToolbarRereadings";
// A folder that has not answered in this time no longer holds up the icon or the others.
constexpr DWORD kScanPatienceMs = 250;

// The named controls of the form, in the form's control order, as language files name them.
struct NamedControl {
    ControlRef ref;
    UINT menuCommand; // 0 for controls without a caption
    std::wstring caption;
};

UINT MenuCommandOf(const std::wstring& name) {
    const std::pair<const wchar_t*, UINT> commands[] = {{L"mnuParam", mnuParam},
                                                        {L"mnuRefresh", mnuRefresh},
                                                        {L"mnuAbout", mnuAbout},
                                                        {L"mnuQuit", mnuQuit}};
    for (const auto& [menu, command] : commands) {
        if (name == menu) {
            return command;
        }
    }
    return 0;
}

const std::vector<NamedControl>& FormControls() {
    static const std::vector<NamedControl> controls = [] {
        std::vector<NamedControl> named;
        for (const auto& c : DesignOf(L"frmMain").controls) {
            named.push_back({{c.name, c.index}, MenuCommandOf(c.name), c.caption});
        }
        return named;
    }();
    return controls;
}

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    auto* monitors = reinterpret_cast<std::vector<MonitorDesc>*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (::GetMonitorInfoW(monitor, &info)) {
        const RECT& w = info.rcWork;
        const RECT& m = info.rcMonitor;
        monitors->push_back({{w.left, w.top, w.right, w.bottom},
                             (info.dwFlags & MONITORINFOF_PRIMARY) != 0,
                             {m.left, m.top, m.right, m.bottom}});
    }
    return TRUE;
}

} // namespace

MainEnvironment RealEnvironment() {
    MainEnvironment environment;
    environment.programFolder = ProgramFolder();
    environment.localAppData = EnvironmentVariable(L"LOCALAPPDATA");
    environment.localeId = UserLocaleId();
    environment.makerPageUrl = kMakerPageUrl;
    environment.scanPatienceMs = kScanPatienceMs;
    environment.watchFolders = true;
    return environment;
}

frmMain::frmMain(HINSTANCE instance, UiServices& services, MainEnvironment environment)
    : instance_(instance), services_(services), environment_(std::move(environment)) {
    RegisterWindowClass(instance_, kClassName);
    ::CreateWindowExW(0, kClassName, DesignOf(L"frmMain").caption.c_str(), WS_OVERLAPPEDWINDOW, 0,
                      0, 0, 0, nullptr, nullptr, instance_, this);
    BuildContextMenu();
    LoadIconPictures();
    MenuList.push_back(NewMenuList());
}

frmMain::~frmMain() {
    MenuList.front()->HideList();
    pendingPictures_.clear();
    Form_QueryUnload();
    DestroyOwnWindow();
}

std::wstring frmMain::DataFolder() const {
    return DataFolderFrom(environment_.localAppData);
}

std::wstring frmMain::ToolbarFilePath() const {
    return ToolbarFilePathFrom(environment_.localAppData);
}

void frmMain::BuildContextMenu() {
    mnuMenu_.reset(::CreatePopupMenu());
    bool first = true, whole = static_cast<bool>(mnuMenu_);
    for (const auto& control : FormControls()) {
        if (!mnuMenu_ || control.menuCommand == 0) {
            continue;
        }
        if (!first) {
            whole = ::AppendMenuW(mnuMenu_.get(), MF_SEPARATOR, 0, nullptr) && whole;
        }
        whole = ::AppendMenuW(mnuMenu_.get(), MF_STRING, control.menuCommand,
                              control.caption.c_str()) &&
                whole;
        first = false;
    }
    if (!whole) {
        // Out of USER objects: the icon's menu lacks entries (or is gone); the log says why.
        const DWORD error = ::GetLastError();
        services_.LogEvent(EVENTLOG_ERROR_TYPE, L"ZelkToolBars",
                           L"The tray icon's menu could not be built whole (error " +
                               std::to_wstring(error) + L")");
    }
}

void frmMain::LoadIconPictures() {
    const int small = ::GetSystemMetrics(SM_CXSMICON);
    // The toolbar picture fills a 32-pixel cell at the screen's scale; load that size.
    const int toolbar = static_cast<int>(RoundHalfEven(32 * ScreenScale()));
    const struct {
        int id;
        int size;
    } pictures[] = {{IDI_TRAY, small}, {IDI_TOOLBAR, toolbar}, {IDI_FOLDER, 16}, {IDI_FILE, 16}};
    for (size_t i = 0; i < iconPic_.size(); ++i) {
        iconPic_[i].reset(
            static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(pictures[i].id), IMAGE_ICON,
                                            pictures[i].size, pictures[i].size, 0)));
    }
    // The tray icon as the shell recommends: the small size at the current DPI, scaled down
    // from a larger image rather than up from a smaller one.
    HICON tray = nullptr;
    if (SUCCEEDED(::LoadIconMetric(instance_, MAKEINTRESOURCEW(IDI_TRAY), LIM_SMALL, &tray))) {
        iconPic_[0].reset(tray);
    }
}

void frmMain::Form_Load() {
    language_ = Localisation::Load(environment_.programFolder, environment_.localeId, ansi_);
    language_.Localise(*this);

    link_ = std::make_unique<ClsLink>();
    icons_ = std::make_unique<MenuIcons>(*link_, IconPic(2), IconPic(3));
    f_cSystray = std::make_unique<cSystray>(instance_, services_, environment_.notifyIcon,
                                            environment_.shellMajorVersion);
    f_cSystray->MouseUp = [this](int16_t button) { f_cSystray_MouseUp(button); };
    f_cSystray->MouseDblClick = [this](int16_t button) { f_cSystray_MouseDblClick(button); };

    CreateFolderPath(DataFolder());
    RemoveLeftoverSave(ToolbarFilePath()); // a save cut short is never the list
    pending_.rebuild = true;
    RunPendingWork();
    if (unloaded_) {
        return; // told to go while the first menu was being built or asked for
    }

    f_cSystray->SysTrayIconFromHandle(IconPic(0));
    f_cSystray->SetSysTrayToolTip(language_.GetString(1, L"Toolbars Menu"));
    f_cSystray->SysTrayShow(true);
    const std::wstring hotKeyProblem = RegisterMenuHotKey();
    if (!hotKeyProblem.empty()) {
        services_.LogEvent(EVENTLOG_WARNING_TYPE, L"ZelkToolBars", hotKeyProblem);
    }
    // Said once, at start: the key the user counts on does nothing, and the icon still works.
    if (f_cSystray->IsBalloonCapable() && !hotKeyProblem.empty()) {
        f_cSystray->SetBalloonIcon(kBalloonIconWarning);
        f_cSystray->SetBalloonTitle(language_.GetString(1, L"ToolBars Menu"));
        f_cSystray->SetBalloonText(hotKeyProblem);
        f_cSystray->BalloonShow(true, kWelcomeBalloonTimeoutMs, false);
    } else if (f_cSystray->IsBalloonCapable() && fileProblem_ == ERROR_SUCCESS) {
        // With a list that cannot be read, the message that says so is the welcome.
        f_cSystray->SetBalloonIcon(kBalloonIconUser);
        f_cSystray->SetBalloonTitle(language_.GetString(1, L"ToolBars Menu"));
        f_cSystray->SetBalloonText(language_.GetString(3, EnglishString(3)));
        f_cSystray->BalloonShow(true, kWelcomeBalloonTimeoutMs, false);
    }
}

std::wstring frmMain::RegisterMenuHotKey() {
    const std::wstring asked =
        GetRegSettingOrDefault(kSettingsApp, kSettingsSection, L"HotKey", kDefaultHotKey);
    const HotKeySetting setting = HotKeyFromSetting(asked);
    const auto tell = [&](const std::wstring& key, int why) {
        return language_.GetString(46, EnglishString(46)) + L" " + key + L" " +
               language_.GetString(why, EnglishString(why));
    };
    if (setting.unreadable) {
        return tell(asked, 48);
    }
    if (!setting.hotKey || hwnd_ == nullptr) {
        return {}; // turned off
    }
    // MOD_NOREPEAT: a key held down opens the menu once, not at the keyboard's repeat rate.
    if (!::RegisterHotKey(hwnd_, kMenuHotKeyId, setting.hotKey->modifiers | MOD_NOREPEAT,
                          setting.hotKey->key)) {
        return tell(HotKeyText(*setting.hotKey), 47);
    }
    hotKey_ = setting.hotKey;
    return {};
}

void frmMain::OpenMenuFromKeyboard() {
    if (unloaded_) {
        return;
    }
    if (aboutForm_ != nullptr) {
        aboutForm_->Unload();
    }
    f_cSystray->BalloonShow(false);
    ucList& top = *MenuList.front();
    if (top.IsListVisible()) {
        top.HideList(); // the key again closes what it opened
        return;
    }
    if (fileProblem_ != ERROR_SUCCESS) {
        pending_.showMenu = true;
        ReInit();
        return;
    }
    ShowMenu();
    // Ready for the arrows and type-ahead: the first row has the focus, as in a menu opened
    // from the keyboard.
    if (top.IsListVisible() && top.Items().ListCount() > 0) {
        top.SetListIndex(0);
    }
}

void frmMain::TellFileProblem() {
    // Posted: the start-up shows its icon first, and a build is never held up by a box.
    if (!fileProblemPosted_ && hwnd_ != nullptr &&
        ::PostMessageW(hwnd_, kTellFileProblemMessage, 0, 0)) {
        fileProblemPosted_ = true;
    }
}

bool frmMain::Init() {
    ToolbarFileRead read = LoadToolbarFile(ToolbarFilePath(), ansi_);
    if (read.status == ToolbarFileStatus::Unreadable) {
        // The list is there but cannot be had now: it is not an empty list. The menu of the
        // last list read in this run stays, and the user is told why and what to do.
        fileProblem_ = read.error;
        TellFileProblem();
        if (!menuReady_) {
            ClearMenu();
            Theme();
            menuReady_ = true;
        }
        return true;
    }
    fileProblem_ = ERROR_SUCCESS;
    ClearMenu();
    Theme();
    if (read.status == ToolbarFileStatus::Missing) {
        return false;
    }
    for (const auto& toolbar : read.toolbars) {
        const long entries = MenuList.front()->Items().ListCount();
        try {
            AddToolbar(toolbar.path, toolbar.title);
        } catch (...) {
            // One toolbar that cannot be built must not cost the user the others, nor vanish
            // without a word: it stays in the menu, greyed, saying why.
            ucList& top = *MenuList.front();
            while (top.Items().ListCount() > entries) {
                top.RemoveItem(top.Items().ListCount() - 1);
            }
            const std::wstring title =
                toolbar.title.empty() ? BaseNameOf(toolbar.path) : toolbar.title;
            top.AddItem(GreyedTitle(title), 0, std::wstring(toolbar.path), L"", false, true);
            if (watched_.size() < static_cast<size_t>(top.Items().ListCount())) {
                rescans_.Add(); // keeps the toolbars' numbers those of their rows
                watched_.emplace_back();
                watched_.back().path = toolbar.path;
                watched_.back().title = title;
            }
            watched_.back().count = 0;
            rescans_.SetReadable(watched_.size() - 1); // a change may yet make it readable
            services_.LogEvent(EVENTLOG_WARNING_TYPE, L"ZelkToolBars",
                               L"The toolbar " + toolbar.path + L" could not be built.");
        }
        // The build lets messages run between toolbars: a Refresh, Parameters or Quit met
        // there makes the rest of it useless. Its lists go now rather than with the next
        // build, so two builds' worth never stay in memory.
        if (Superseded()) {
            if (!unloaded_) {
                ClearMenu();
            }
            return true;
        }
    }
    menuReady_ = true;
    return true;
}

void frmMain::ClearMenu() {
    menuReady_ = false;
    // Close any open chain first: no list may be destroyed while it is shown, linked or
    // waiting for pictures.
    MenuList.front()->HideList();
    pendingPictures_.clear();
    if (hwnd_ != nullptr) {
        ::KillTimer(hwnd_, kPictureTimer);
    }
    MenuList.resize(1);
    pastLimitList_.reset();
    lateToolbars_.clear(); // their walks end unheard
    watched_.clear();      // and so do the watches and rereadings
    rescans_.Clear();
    if (hwnd_ != nullptr) {
        ::KillTimer(hwnd_, kRereadTimer);
    }
    ReinitPending = true;
    LastListIndex = 0;
    MenuList.front()->Clear();
}

void frmMain::ReInit() {
    if (unloaded_) {
        return;
    }
    pending_.rebuild = true;
    RunPendingWork();
}

namespace {

// Clears a "running" flag however the work ends: a flag left set would refuse every later
// request.
class RunningFlag {
public:
    explicit RunningFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~RunningFlag() { flag_ = false; }
    RunningFlag(const RunningFlag&) = delete;
    RunningFlag& operator=(const RunningFlag&) = delete;

private:
    bool& flag_;
};

} // namespace

void frmMain::RunPendingWork() {
    if (working_) {
        return; // the work running further up the stack takes it on when it ends
    }
    {
        RunningFlag working(working_);
        // The Parameters dialog goes first: a rebuild follows it anyway, and takes every
        // Refresh asked meanwhile with it.
        while (!unloaded_ && (pending_.parameters || pending_.rebuild)) {
            if (pending_.parameters) {
                pending_.parameters = false;
                ShowParameters();
                pending_.rebuild = true; // whatever the dialog's outcome
            } else {
                pending_.rebuild = false;
                if (!Init()) {
                    // No toolbars yet: ask for them. The dialog comes back each time it is
                    // closed until the file has content.
                    pending_.parameters = true;
                }
            }
        }
    }
    if (unloaded_) {
        pending_ = {};
        if (quitting_ && hwnd_ != nullptr) {
            ::DestroyWindow(hwnd_);
        }
        return;
    }
    PlaceLateToolbars(); // walks that ended while the build was still running
    PlaceRereadings();
    if (!preparingTypes_ && hwnd_ != nullptr) {
        preparingTypes_ = ::PostMessageW(hwnd_, kPrepareTypesMessage, 0, 0) != FALSE;
    }
    if (std::exchange(pending_.showMenu, false)) {
        ShowMenu(); // the tray click that came during the build
    }
}

void frmMain::Theme() {
    const MenuThemeColours colours = MenuTheme(ReadThemeIsDark());
    ucList& top = *MenuList.front();
    ListProperties p = top.Properties();
    p.BackColor = colours.backColor;
    p.BorderColor = colours.borderColor;
    p.ListDesign = colours.listDesign;
    top.SetProperties(p);
}

MenuThemeColours frmMain::TopListTheme() const {
    const ListProperties& p = MenuList.front()->Properties();
    return {p.BackColor, p.BorderColor, static_cast<int>(p.ListDesign)};
}

std::vector<Toolbar> frmMain::TopListEntries() const {
    std::vector<Toolbar> entries;
    for (const auto& item : MenuList.front()->Items().Items()) {
        const auto* path = std::get_if<std::wstring>(&item.ItemData);
        entries.push_back({path ? *path : std::wstring(), item.Text});
    }
    return entries;
}

std::unique_ptr<ucList> frmMain::NewMenuList() {
    ListProperties p;
    if (MenuList.empty()) {
        // MenuList(0)'s design-time values.
        p.Font = {L"Segoe UI", 8.25};
        p.ItemHeight = 24;
        p.BackColor = 0x000000;
        p.FindTextColor = kSystemHighlight;
        p.SelectionColor = kSystemHighlight;
        p.LineColor = 0x00CDCDCD;
        p.DisplayDirection = 1;
    } else {
        p = MenuList.front()->Properties(); // a new element starts as the top list is now
    }
    p.ListStyle = 2;
    auto list = std::make_unique<ucList>(services_, p);
    list->SetHomeParent(hwnd_);
    ucList* raw = list.get();
    list->ItemClick = [this, raw] { MenuList_ItemClick(*raw); };
    list->ItemRightClick = [this, raw](const std::wstring&, const ItemValue& data, bool isSubMenu,
                                       long x, long y) {
        if (raw->ShellMenuWanted()) {
            if (const auto* path = std::get_if<std::wstring>(&data)) {
                // Shown once the list's own handling has returned: the shell's menu runs a
                // message loop of its own, in which a rebuild could take the list away.
                shellMenuFor_ = {*path, {static_cast<LONG>(x), static_cast<LONG>(y)}};
                ::PostMessageW(hwnd_, kShellMenuMessage, 0, 0);
            }
            return;
        }
        MenuList_ItemRightClick(isSubMenu, data);
    };
    return list;
}

void frmMain::ConfigureTopList() {
    ReinitPending = false;
    ucList& top = *MenuList.front();
    ListProperties p = top.Properties();
    p.UseMonocromeIcons = false;
    p.ListWidth = 300;
    p.ItemHeight = 38;
    p.DrawSeparatorLine = false;
    p.Font.size = 12;
    top.SetProperties(p);
    top.ImageListInitialize(32, 32);
    top.Shadow().SetShadowOffsetX(2);
    top.Shadow().SetShadowOffsetY(2);
    // Rereadings that ended while the menu was open go in once it has closed.
    top.ListHide = [this] { ::PostMessageW(hwnd_, kRereadEndedMessage, 0, 0); };
    TopListConfigured = true;
    // Without its picture the top list still works: its rows simply show none.
    static_cast<void>(top.Images().ImageListAddImage(GdiHandleSource{IconPic(1)}));
}

namespace {

// The platform's listing of a folder: normal files and folders, hidden and system entries
// left out, in the file system's own order.
void ListFolder(const std::wstring& folder, const std::function<bool(const DirEntry&)>& visit) {
    std::wstring pattern = folder + L"*.*";
    if (pattern.size() >= MAX_PATH && pattern.rfind(L"\\\\", 0) != 0) {
        pattern = L"\\\\?\\" + pattern; // names beyond MAX_PATH
    }
    WIN32_FIND_DATAW data{};
    const unique_find find(::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data,
                                              FindExSearchNameMatch, nullptr,
                                              FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        return;
    }
    do {
        if (data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) {
            continue;
        }
        if (!visit({data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0})) {
            break;
        }
    } while (::FindNextFileW(find.get(), &data));
}

} // namespace

void frmMain::AddToolbar(const std::wstring& strpath, std::wstring strTitle) {
    if (strpath.empty()) {
        return;
    }
    ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    DoEvents();
    if (Superseded()) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        return;
    }
    if (!TopListConfigured || ReinitPending) {
        ConfigureTopList();
    }
    if (strTitle.empty()) {
        strTitle = BaseNameOf(strpath);
    }
    // Watched from before the walk: nothing that changes while it runs goes unseen.
    const size_t toolbar = rescans_.Add();
    watched_.emplace_back();
    watched_.back().path = strpath;
    watched_.back().title = strTitle;
    watched_.back().cookie = ++lastWatchCookie_;
    if (environment_.watchFolders) {
        watched_.back().watch = std::make_unique<FolderWatch>(strpath, hwnd_, kFolderChangedMessage,
                                                              watched_.back().cookie);
    }
    const auto scan = ToolbarScan::Start(environment_.listFolder ? environment_.listFolder
                                                                 : DirectoryLister(&ListFolder),
                                         strpath, LastListIndex, hwnd_, kScanEndedMessage);
    WaitForScan(*scan);
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    if (Superseded()) {
        return;
    }
    if (scan->Done()) {
        PlaceToolbar(toolbar, scan->TakePlan(), nullptr);
    } else {
        // The entry is there at once; its rows follow when the folder answers.
        auto list = NewMenuList();
        MenuList.front()->AddSubMenu(strTitle, list.get(), 0, std::wstring(strpath));
        lateToolbars_.push_back({scan, toolbar, std::move(list)});
    }
    DoEvents();
}

void frmMain::WaitForScan(const ToolbarScan& scan) {
    const DWORD patience = environment_.scanPatienceMs;
    const ULONGLONG start = ::GetTickCount64();
    // Without a limit the walk is always seen to its end, even by a build that is being
    // superseded: nothing of it runs on behind the build's back.
    while (!scan.Done() && (patience == INFINITE || !Superseded())) {
        const ULONGLONG waited = ::GetTickCount64() - start;
        if (patience != INFINITE && waited >= patience) {
            return;
        }
        const DWORD wait = patience == INFINITE ? INFINITE : static_cast<DWORD>(patience - waited);
        // The walk's end is a posted message: it wakes this wait as any input does. A wait the
        // system refuses must not turn the loop into a spin that starves the walk's thread.
        if (::MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE) ==
            WAIT_FAILED) {
            ::Sleep(10);
        }
        DoEvents();
    }
    // What the lister posted before it ended is seen before the build goes on.
    DoEvents();
}

void frmMain::PlaceToolbar(size_t toolbar, ToolbarScan::Plan plan,
                           std::unique_ptr<ucList>* entryList) {
    WatchedToolbar& watched = watched_.at(toolbar);
    // Toolbars placed meanwhile moved the numbering on (only when this one answered late).
    const long by = LastListIndex - plan.from;
    MoveToolbarPlan(plan.lists, by);
    const long first = plan.first + by;
    LastListIndex = plan.last + by;
    std::vector<PlannedList>& plans = plan.lists;

    // Every list of this toolbar exists before rows point at them; numbers past the
    // scanning limit share one empty list.
    watched.first = static_cast<long>(MenuList.size());
    for (const auto& list : plans) {
        if (list.number <= kLastScannedList) {
            const bool entry = list.number == first && entryList != nullptr;
            MenuList.push_back(entry ? std::move(*entryList) : NewMenuList());
        }
    }
    watched.count = static_cast<long>(MenuList.size()) - watched.first;
    if (entryList == nullptr) {
        MenuList.front()->AddSubMenu(watched.title, ListNumbered(first), 0,
                                     std::wstring(watched.path));
    }
    FillPlannedLists(plans);
    rescans_.SetReadable(toolbar);
}

ucList* frmMain::ListNumbered(long number) {
    if (number <= kLastScannedList) {
        return MenuList.at(static_cast<size_t>(number)).get();
    }
    if (!pastLimitList_) {
        pastLimitList_ = NewMenuList();
    }
    return pastLimitList_.get();
}

void frmMain::FillPlannedLists(std::vector<PlannedList>& plans) {
    // The planned texts and paths move into the rows: a copy would hold the tree twice at the
    // build's peak, and the heap keeps what it once held.
    for (auto& planned : plans) {
        if (!planned.scanned || planned.number > kLastScannedList) {
            continue;
        }
        ucList& list = *ListNumbered(planned.number);
        ListProperties p = list.Properties();
        p.UseMonocromeIcons = false;
        p.ListWidth = 350;
        p.ItemHeight = 24;
        p.Font.size = 10;
        list.SetProperties(p);
        list.ImageListInitialize(18, 18);
        list.Shadow().SetShadowOffsetX(2);
        list.Shadow().SetShadowOffsetY(2);
        int32_t picture = 0;
        list.ReserveRows(planned.rows.size());
        for (auto& row : planned.rows) {
            if (row.isFolder) {
                list.AddSubMenu(std::move(row.text), ListNumbered(row.list), picture++,
                                std::move(row.path));
            } else {
                const size_t dot = row.path.rfind(L'.');
                if (dot != std::wstring::npos) {
                    typesToPrepare_.try_emplace(row.path.substr(dot), row.path);
                }
                list.AddItem(std::move(row.text), picture++, std::move(row.path));
            }
        }
        // The shell's icons are fetched when the list is first opened, not for every
        // folder of the tree up front.
        list.BeforeFirstShow = [this](ucList& shown) { FillIcons(shown); };
    }
}

size_t frmMain::ToolbarsBeingRead() const {
    return static_cast<size_t>(std::count_if(lateToolbars_.begin(), lateToolbars_.end(),
                                             [](const LateToolbar& late) { return late.scan; }));
}

void frmMain::PlaceLateToolbars() {
    if (working_ || unloaded_) {
        return; // a build places nothing behind its own back; it runs this when it ends
    }
    for (auto& late : lateToolbars_) {
        if (!late.scan || !late.scan->Done()) {
            continue;
        }
        if (late.list->IsListVisible()) {
            // Never filled under the pointer: placed when the user leaves it.
            late.list->ListHide = [this] { ::PostMessageW(hwnd_, kScanEndedMessage, 0, 0); };
            continue;
        }
        late.list->ListHide = nullptr;
        const auto scan = std::exchange(late.scan, nullptr);
        ucList* entry = late.list.get();
        try {
            PlaceToolbar(late.toolbar, scan->TakePlan(), &late.list);
        } catch (...) {
            ucList& top = *MenuList.front();
            WatchedToolbar& watched = watched_.at(late.toolbar);
            for (long row = 0; row < top.Items().ListCount(); ++row) {
                if (top.Items().Item(row).SubMenu == entry) {
                    top.RemoveItem(row);
                    top.AddItem(GreyedTitle(watched.title), 0, std::wstring(watched.path), L"",
                                false, true, row);
                    break;
                }
            }
            watched.count = 0;
            rescans_.SetReadable(late.toolbar); // a change may yet make it readable
            services_.LogEvent(EVENTLOG_WARNING_TYPE, L"ZelkToolBars",
                               L"The toolbar " + watched.path + L" could not be built.");
        }
        if (MenuList.front()->IsListVisible()) {
            MenuList.front()->Refresh();
        }
    }
}

std::wstring frmMain::GreyedTitle(const std::wstring& title) const {
    return title + L" \u2014 " + language_.GetString(34, EnglishString(34));
}

void frmMain::FolderChanged(WPARAM cookie) {
    const auto found =
        std::find_if(watched_.begin(), watched_.end(),
                     [cookie](const WatchedToolbar& w) { return w.cookie == cookie; });
    if (found == watched_.end()) {
        return; // a watch of a menu since rebuilt
    }
    if (found->watch) {
        found->watch->Taken();
    }
    rescans_.Changed(static_cast<size_t>(found - watched_.begin()), ::GetTickCount64());
    ArmRereadTimer();
}

void frmMain::ArmRereadTimer() {
    // Set only while a rereading waits for its time: an idle program is never woken.
    const auto due = rescans_.NextDue();
    if (!due || unloaded_) {
        ::KillTimer(hwnd_, kRereadTimer);
        return;
    }
    const ULONGLONG now = ::GetTickCount64();
    const ULONGLONG wait = *due > now ? *due - now : 0;
    ::SetTimer(hwnd_, kRereadTimer,
               static_cast<UINT>(std::max<ULONGLONG>(wait, USER_TIMER_MINIMUM)), nullptr);
}

void frmMain::StartDueRereadings() {
    for (const size_t toolbar : rescans_.StartDue(::GetTickCount64())) {
        WatchedToolbar& watched = watched_.at(toolbar);
        // Planned from any number: the plan is moved to where the toolbar's lists are when
        // it is placed.
        watched.rereading = ToolbarScan::Start(
            environment_.listFolder ? environment_.listFolder : DirectoryLister(&ListFolder),
            watched.path, 0, hwnd_, kRereadEndedMessage);
        ++rereadings_;
        ::SetPropW(hwnd_, kRereadingsProperty,
                   reinterpret_cast<HANDLE>(static_cast<uintptr_t>(rereadings_)));
    }
    ArmRereadTimer();
}

void frmMain::PlaceRereadings() {
    for (size_t toolbar = 0; toolbar < watched_.size(); ++toolbar) {
        if (watched_[toolbar].rereading && watched_[toolbar].rereading->Done()) {
            rescans_.Ended(toolbar);
        }
    }
    if (working_ || unloaded_ || !menuReady_) {
        return; // the build places nothing behind its own back; it runs this when it ends
    }
    // Never under the pointer: what ended while the menu is open waits for it to close.
    for (const size_t toolbar : rescans_.TakeFinished(MenuList.front()->IsListVisible())) {
        if (!PlaceRereading(toolbar)) {
            pending_.rebuild = true;
            RunPendingWork();
            return;
        }
    }
    ArmRereadTimer(); // changes seen while a rereading waited for the menu to close
}

bool frmMain::PlaceRereading(size_t toolbar) {
    WatchedToolbar& watched = watched_.at(toolbar);
    const auto rereading = std::exchange(watched.rereading, nullptr);
    ucList& top = *MenuList.front();
    const long row = static_cast<long>(toolbar);
    if (!rereading || row >= top.Items().ListCount()) {
        return false;
    }
    const auto* rowPath = std::get_if<std::wstring>(&top.Items().Item(row).ItemData);
    // The list limit makes numbers depend on every toolbar; lists left over by a toolbar
    // that failed half-built leave no place to put new ones: both take a whole rebuild.
    const long first = watched.count > 0 ? watched.first : LastListIndex + 1;
    if (rowPath == nullptr || *rowPath != watched.path || LastListIndex > kLastScannedList ||
        (watched.count == 0 && MenuList.size() != static_cast<size_t>(first))) {
        return false;
    }
    ToolbarScan::Plan plan;
    bool failed = false;
    try {
        plan = rereading->TakePlan();
    } catch (...) {
        failed = true; // greyed, as a toolbar that could not be built
    }
    long count = 0;
    if (!failed) {
        MoveToolbarPlan(plan.lists, (first - 1) - plan.from);
        count = plan.last - plan.from;
        if (LastListIndex - watched.count + count > kLastScannedList) {
            return false;
        }
    }
    // Out with the old lists (none is open: the menu is closed) and whatever waits for them.
    const auto oldBegin = MenuList.begin() + first;
    const auto oldEnd = oldBegin + watched.count;
    pendingPictures_.erase(std::remove_if(pendingPictures_.begin(), pendingPictures_.end(),
                                          [&](const PendingPicture& waiting) {
                                              return std::any_of(
                                                  oldBegin, oldEnd, [&](const auto& list) {
                                                      return list.get() == waiting.list;
                                                  });
                                          }),
                           pendingPictures_.end());
    std::vector<std::unique_ptr<ucList>> fresh;
    for (long i = 0; i < count; ++i) {
        fresh.push_back(NewMenuList());
    }
    const auto inserted = MenuList.erase(oldBegin, oldEnd);
    MenuList.insert(inserted, std::make_move_iterator(fresh.begin()),
                    std::make_move_iterator(fresh.end()));
    const long moved = count - watched.count;
    for (WatchedToolbar& other : watched_) {
        if (&other != &watched && other.count > 0 && other.first > first) {
            other.first += moved;
        }
    }
    LastListIndex += moved;
    watched.first = first;
    watched.count = count;
    FillPlannedLists(plan.lists);
    ListItem& entry = top.Items().MutableItem(row);
    entry.SubMenu = count > 0 ? MenuList.at(static_cast<size_t>(first)).get() : nullptr;
    entry.Text = count > 0 ? watched.title : GreyedTitle(watched.title);
    entry.Disabled = count == 0;
    return true;
}

void frmMain::FillIcons(ucList& list) {
    if (!icons_) {
        return;
    }
    long position = 0;
    for (const auto& item : list.Items().Items()) {
        ++position;
        const auto* path = std::get_if<std::wstring>(&item.ItemData);
        const std::wstring itemPath = path ? *path : std::wstring();
        const bool isFolder = item.SubMenu != nullptr;
        if (!icons_->AddPictureNow(list.Images(), itemPath, isFolder)) {
            pendingPictures_.push_back({&list, position, itemPath});
        }
    }
    if (!pendingPictures_.empty()) {
        // The list opens at once with the type pictures; its own pictures follow.
        ::SetTimer(hwnd_, kPictureTimer, 1, nullptr);
    }
}

void frmMain::PrepareSomeTypes() {
    // A few at a time: a click or a key waiting behind them is answered between turns.
    if (!icons_) {
        typesToPrepare_.clear(); // nothing to ask: posting again would spin
    }
    for (int i = 0; i < 4 && !typesToPrepare_.empty(); ++i) {
        icons_->PrepareTypeOf(typesToPrepare_.begin()->second);
        typesToPrepare_.erase(typesToPrepare_.begin());
    }
    preparingTypes_ = !typesToPrepare_.empty() && !unloaded_ &&
                      ::PostMessageW(hwnd_, kPrepareTypesMessage, 0, 0) != FALSE;
    // Last, the top list's windows: under Wine, making a popup and its shadow is most of a
    // first click's time.
    if (!preparingTypes_ && !unloaded_ && !MenuList.empty()) {
        MenuList.front()->PrepareWindows();
    }
}

void frmMain::FetchSomePictures() {
    const ULONGLONG until = ::GetTickCount64() + 8;
    std::vector<ucList*> touched;
    while (!pendingPictures_.empty() && ::GetTickCount64() <= until) {
        PendingPicture next = std::move(pendingPictures_.front());
        pendingPictures_.pop_front();
        icons_->ReplaceWithOwnPicture(next.list->Images(), next.position, next.path);
        if (std::find(touched.begin(), touched.end(), next.list) == touched.end()) {
            touched.push_back(next.list);
        }
    }
    for (ucList* list : touched) {
        if (list->IsListVisible()) {
            list->Refresh();
        }
    }
    if (pendingPictures_.empty()) {
        ::KillTimer(hwnd_, kPictureTimer);
    }
}

void frmMain::MenuList_ItemClick(ucList& list) {
    const long index = list.ListIndex();
    if (index < 0 || index >= list.Items().ListCount()) {
        return;
    }
    if (const auto* path = std::get_if<std::wstring>(&list.Items().Item(index).ItemData)) {
        if (list.ChoseWithControl()) {
            services_.ShowInFolder(*path); // Ctrl: where it lives, not the item itself
        } else {
            ShellOpen(services_, *path);
        }
    }
}

void frmMain::MenuList_ItemRightClick(bool IsSubMenu, const ItemValue& ItemData) {
    const auto* path = std::get_if<std::wstring>(&ItemData);
    if (path == nullptr) {
        return;
    }
    if (IsSubMenu) {
        ShellOpen(services_, *path); // the folder opens in the file browser
    } else {
        ShowProperties(services_, *path);
    }
}

void frmMain::ShowMenu() {
    if (unloaded_) {
        return;
    }
    if (!menuReady_) {
        // Never a half-built menu: the click is answered once the build is complete.
        pending_.showMenu = true;
        return;
    }
    ucList& top = *MenuList.front();
    if (top.IsListVisible()) {
        return;
    }
    if (top.Items().ListCount() == 0 && fileProblem_ != ERROR_SUCCESS) {
        return; // nothing read yet: the message about the file is the answer
    }
    top.SetListIndex(-1);
    std::vector<MonitorDesc> monitors;
    ::EnumDisplayMonitors(nullptr, nullptr, &CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
    // The taskbar's monitor is the one its notification area, and so the icon, is on.
    std::optional<std::pair<long, long>> icon;
    NOTIFYICONIDENTIFIER id{};
    id.cbSize = sizeof(id);
    id.hWnd = f_cSystray->MessageWindow();
    id.uID = f_cSystray->TrayIconId();
    RECT iconRect{};
    if (SUCCEEDED(::Shell_NotifyIconGetRect(&id, &iconRect))) {
        icon =
            std::pair{(iconRect.left + iconRect.right) / 2L, (iconRect.top + iconRect.bottom) / 2L};
    }
    if (const auto monitor = MenuMonitor(monitors, icon)) {
        const double scale = MonitorScale(monitor->work.right - 1, monitor->work.bottom - 1);
        const long width = static_cast<long>(RoundHalfEven(top.Properties().ListWidth * scale));
        lastShowList_ = MenuCornerRequest(monitor->work, TaskbarEdgeOf(*monitor), width);
        long left = lastShowList_->left, topEdge = lastShowList_->top;
        long btnLeft = lastShowList_->btnLeft, btnTop = lastShowList_->btnTop;
        top.ShowList(left, topEdge, btnLeft, btnTop);
    }
}

DialogContext frmMain::MakeDialogContext() {
    DialogContext context;
    context.services = &services_;
    context.language = &language_;
    context.toolbarFile = ToolbarFilePath();
    context.programFolder = environment_.programFolder;
    wchar_t exe[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    context.exeName = BaseNameOf(exe);
    context.localeId = environment_.localeId;
    context.productIcon = [instance = instance_](int size) {
        return static_cast<HICON>(
            ::LoadImageW(instance, MAKEINTRESOURCEW(IDI_TRAY), IMAGE_ICON, size, size, 0));
    };
    return context;
}

void frmMain::ShowParameters() {
    RunningFlag open(parametersOpen_);
    if (environment_.showParameters) {
        environment_.showParameters();
        return;
    }
    frmParameters parameters(MakeDialogContext());
    parametersForm_ = &parameters;
    parameters.ShowModal(hwnd_);
    parametersForm_ = nullptr;
}

void frmMain::f_cSystray_MouseUp(int16_t Button) {
    if (aboutForm_ != nullptr) {
        aboutForm_->Unload(); // an open About box closes on any tray click
    }
    // The welcome balloon sits over the corner where the menu opens: once the user clicks
    // the icon it has done its job.
    if (Button == 1 || Button == 2) {
        f_cSystray->BalloonShow(false);
    }
    if (Button == 1) {
        // A press on the icon while the menu is open reaches the menu through the mouse hook,
        // perhaps after this release: it is handled first, so the release decides alone. The
        // click noted here lets the second press of a double click leave the menu open.
        PopupChain& chain = PopupChain::ForThisThread();
        chain.HandlePendingPresses();
        POINT click{};
        if (::GetCursorPos(&click)) {
            chain.ExpectSecondClick(click, ::GetTickCount());
        }
        if (fileProblem_ != ERROR_SUCCESS) {
            // The list could not be read last time: try again, and open the menu when built.
            pending_.showMenu = true;
            ReInit();
            return;
        }
        ShowMenu();
    } else if (Button == 2) {
        pending_.showMenu = false; // the user has moved on from a menu still being built
        f_cSystray->BeforePopup();
        PopupContextMenu();
    }
}

void frmMain::f_cSystray_MouseDblClick(int16_t Button) {
    if (Button != 1) {
        return;
    }
    // The page beside the program answers without a network and matches this version; the
    // web page stands in only for a lone exe. With neither, the shell says the file is missing.
    const std::wstring help = environment_.programFolder + kHelpFileName;
    if (FileExists(help) || environment_.makerPageUrl.empty()) {
        ShellOpen(services_, help);
    } else {
        ShellOpen(services_, environment_.makerPageUrl);
    }
}

void frmMain::PopupContextMenu() {
    if (!mnuMenu_) {
        return;
    }
    POINT at{};
    ::GetCursorPos(&at);
    const HWND owner = f_cSystray->MessageWindow();
    contextMenuOpen_ = true;
    const UINT command = static_cast<UINT>(
        ::TrackPopupMenuEx(mnuMenu_.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x,
                           at.y, owner, nullptr));
    contextMenuOpen_ = false;
    // The shell's advice: a message to the owner makes the menu close properly next time.
    ::PostMessageW(owner, WM_NULL, 0, 0);
    if (quitAfterMenu_) {
        quitAfterMenu_ = false;
        ::PostMessageW(hwnd_, WM_CLOSE, 0, 0); // once the tray's callback has returned
        return;
    }
    if (command != 0) {
        // Run the command once the tray's callback has returned: "Quit" destroys the
        // window that is delivering it.
        ::PostMessageW(hwnd_, WM_COMMAND, command, 0);
    }
}

void frmMain::RunCommand(UINT command) {
    if (unloaded_) {
        return; // chosen before a Quit that has already been served
    }
    switch (command) {
    case mnuParam:
        if (parametersOpen_) {
            // One dialog only: two would each save over the other's choices.
            if (parametersForm_ != nullptr) {
                parametersForm_->BringToFront();
            }
            break;
        }
        pending_.parameters = true;
        RunPendingWork();
        break;
    case mnuRefresh:
        ReInit();
        break;
    case mnuAbout: {
        if (aboutForm_ != nullptr) {
            break;
        }
        frmAbout about(MakeDialogContext());
        aboutForm_ = &about;
        about.ShowModal(hwnd_);
        aboutForm_ = nullptr;
        break;
    }
    case mnuQuit:
        Quit();
        break;
    default:
        break;
    }
}

void frmMain::Quit() {
    quitting_ = true;
    // Open dialogs close without saving; their loops then return to whatever runs below.
    if (parametersForm_ != nullptr) {
        parametersForm_->Unload();
    }
    if (aboutForm_ != nullptr) {
        aboutForm_->Unload();
    }
    Form_QueryUnload(); // the icon goes at once, and a build stops at its next toolbar
    // The main window owns the lists' windows: while a build is on the stack it stays until
    // the build has let go of its lists.
    if (!working_ && hwnd_ != nullptr) {
        ::DestroyWindow(hwnd_);
    }
    // Told to quit by a sent message (the setup's WM_CLOSE), a dialog's loop further down is
    // waiting in GetMessage and would not see its window gone before the next posted message
    // (the one Form_QueryUnload's DoEvents took does not count): post it one.
    ::PostMessageW(nullptr, WM_NULL, 0, 0);
}

void frmMain::Form_QueryUnload() {
    if (unloaded_) {
        return;
    }
    unloaded_ = true;
    if (hotKey_ && hwnd_ != nullptr) {
        static_cast<void>(::UnregisterHotKey(hwnd_, kMenuHotKeyId)); // it goes with the window
        hotKey_.reset();
    }
    if (f_cSystray) {
        f_cSystray->SysTrayShow(false);
        DoEvents();
        f_cSystray.reset();
    }
}

void frmMain::SetFormCaption(const std::wstring& text) {
    if (hwnd_ != nullptr) {
        ::SetWindowTextW(hwnd_, text.c_str());
    }
}

std::vector<ControlRef> frmMain::Controls() const {
    std::vector<ControlRef> refs;
    for (const auto& control : FormControls()) {
        refs.push_back(control.ref);
    }
    return refs;
}

void frmMain::SetControlCaption(size_t control, const std::wstring& text) {
    const auto& controls = FormControls();
    if (control >= controls.size() || controls[control].menuCommand == 0) {
        return;
    }
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    std::wstring caption = text;
    info.dwTypeData = caption.data();
    ::SetMenuItemInfoW(mnuMenu_.get(), controls[control].menuCommand, FALSE, &info);
}

LRESULT frmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        RunCommand(LOWORD(wParam));
        return 0;
    case WM_TIMER:
        if (wParam == kPictureTimer) {
            FetchSomePictures();
        } else if (wParam == kRereadTimer) {
            ::KillTimer(hwnd_, kRereadTimer);
            StartDueRereadings();
        }
        return 0;
    case WM_CLOSE:
        // Sent from outside (the setup asks a running copy to quit this way). Inside the icon's
        // menu, the menu's loop and the tray's callback are on the stack and Quit would destroy
        // the windows under them (Wine then even loses the quit message): end the menu first.
        if (contextMenuOpen_) {
            quitAfterMenu_ = true;
            ::EndMenu();
            return 0;
        }
        Quit();
        return 0;
    case kScanEndedMessage:
        PlaceLateToolbars();
        return 0;
    case kFolderChangedMessage:
        FolderChanged(wParam);
        return 0;
    case kRereadEndedMessage:
        PlaceRereadings();
        return 0;
    case kPrepareTypesMessage:
        PrepareSomeTypes();
        return 0;
    case kShellMenuMessage:
        if (shellMenuFor_ && !unloaded_) {
            const auto [path, at] = *std::exchange(shellMenuFor_, std::nullopt);
            // The chain closes first: the shell's menu needs the keys it holds, and whatever
            // the command does (a rename, a delete) the menu is read again at the next Refresh.
            MenuList.front()->HideList();
            services_.ShowShellMenu(hwnd_, path, at);
        }
        return 0;
    case WM_HOTKEY:
        if (wParam == kMenuHotKeyId) {
            OpenMenuFromKeyboard();
        }
        return 0;
    case kTellFileProblemMessage:
        fileProblemPosted_ = false;
        if (fileProblem_ != ERROR_SUCCESS && !unloaded_) {
            std::wstring systemText;
            wchar_t* buffer = nullptr;
            if (::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, fileProblem_, 0, reinterpret_cast<wchar_t*>(&buffer), 0,
                                 nullptr) != 0 &&
                buffer != nullptr) {
                systemText = buffer;
                ::LocalFree(buffer);
                while (!systemText.empty() &&
                       (systemText.back() == L'\n' || systemText.back() == L'\r' ||
                        systemText.back() == L' ' || systemText.back() == L'.')) {
                    systemText.pop_back();
                }
            }
            services_.ShowMessageBox(
                hwnd_,
                UnreadableToolbarFileMessage(ToolbarFilePath(), fileProblem_, systemText,
                                             [this](int number, std::wstring_view text) {
                                                 return language_.GetString(number, text);
                                             }),
                // A program started at logon is not in the foreground: the box must not open
                // behind the user's windows.
                language_.GetString(1, L"ToolBars Menu"),
                MB_OK | MB_ICONWARNING | MB_SETFOREGROUND | MB_TOPMOST);
        }
        return 0;
    case WM_QUERYENDSESSION:
        Form_QueryUnload();
        return TRUE;
    case WM_DESTROY:
        if (environment_.quitOnDestroy) {
            ::PostQuitMessage(0);
        }
        return 0;
    default:
        return DefaultProc(message, wParam, lParam);
    }
}

} // namespace zelk
