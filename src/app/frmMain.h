#pragma once

#include <windows.h>

#include <array>
#include <map>
#include <deque>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/ClsLink.h"
#include "app/cSystray.h"
#include "app/menu_icons.h"
#include "app/toolbar_scan.h"
#include "controls/list/ucList.h"
#include "core/menu_tree.h"
#include "core/rescan_schedule.h"
#include "dialogs/dialog_context.h"
#include "core/hot_key.h"
#include "core/localisation.h"
#include "core/screen_corner.h"
#include "core/theme.h"
#include "core/toolbar_file.h"
#include "settings/localisation_files.h"
#include "win/ansi_codec.h"
#include "win/folder_watch.h"
#include "win/unique_handle.h"
#include "win/window_base.h"
#include "zelk_version.h"

namespace zelk {

class UiServices;

// The help page shipped beside the exe, opened by a double click on the tray icon.
inline constexpr wchar_t kHelpFileName[] = L"help.html";
// The maker's web page, a build setting (ZELK_MAKER_PAGE_URL); empty when there is none.
inline constexpr wchar_t kMakerPageUrl[] = ZELK_MAKER_PAGE_URL;

enum ContextMenuCommand : UINT {
    mnuParam = 101,
    mnuRefresh = 102,
    mnuAbout = 103,
    mnuQuit = 104,
};

// Where the program finds its files and who it is talking to.
struct MainEnvironment {
    std::wstring programFolder; // with a trailing backslash
    std::wstring localAppData;  // the LOCALAPPDATA value, possibly empty
    uint32_t localeId = 1033;
    bool quitOnDestroy = true;         // the real program ends with its main form
    cSystray::NotifyIconFn notifyIcon; // empty: the shell's own
    int shellMajorVersion = -1;        // -1: read shell32's version
    // Shows the Parameters dialog; empty: the real modal dialog (tests put a stand-in here).
    std::function<void()> showParameters;
    // Lists a folder for the menu; empty: the file system's own listing (tests put a tree
    // of their own here, or a folder that takes its time). Called on the toolbars' own
    // threads: it must be safe there and hold nothing of a caller's stack.
    DirectoryLister listFolder;
    // How long a build waits for one toolbar's folder before going on without it (its entry
    // fills when the folder answers). INFINITE: every toolbar is whole when the build ends.
    DWORD scanPatienceMs = INFINITE;
    // Whether the toolbars' folders are watched, so the menu follows the disk without a
    // Refresh (tests of trees that exist only in their lister leave it off).
    bool watchFolders = false;
    // Opened by a double click when help.html is not beside the program; empty: none.
    std::wstring makerPageUrl;
};

MainEnvironment RealEnvironment();

// The hidden main form: owns the tray icon, the toolbar menu and the program's life cycle.
class frmMain : public WindowBase<frmMain>, public LocalisableForm {
public:
    frmMain(HINSTANCE instance, UiServices& services, MainEnvironment environment);
    ~frmMain() override;
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;

    void Form_Load();
    // Asks for the menu to be built again from the file. Asked while a build or the
    // Parameters dialog is running, it is remembered and done once when that ends: builds
    // never nest and never run side by side.
    void ReInit();
    void Theme();
    void AddToolbar(const std::wstring& strpath, std::wstring strTitle);
    // Opens the toolbar menu; while it is being built, once it is complete.
    void ShowMenu();
    void Form_QueryUnload();
    void RunCommand(UINT command);

    void f_cSystray_MouseUp(int16_t Button);
    void f_cSystray_MouseDblClick(int16_t Button);

    std::wstring DataFolder() const;
    std::wstring ToolbarFilePath() const;
    // The toolbars as the top list shows them: title and folder.
    std::vector<Toolbar> TopListEntries() const;
    MenuThemeColours TopListTheme() const;
    // MenuList(0) .. MenuList(LastListIndex), as far as they are real lists; past the
    // scanning limit every submenu entry leads to one shared empty list.
    ucList& MenuListAt(size_t index) { return *MenuList.at(index); }
    size_t MenuListCount() const { return MenuList.size(); }
    long LastListIndexValue() const { return LastListIndex; }
    const MenuIcons* Icons() const { return icons_.get(); }
    bool AboutIsOpen() const { return aboutForm_ != nullptr; }
    size_t PendingPictures() const { return pendingPictures_.size(); }
    // Toolbars whose folders had not answered by the end of the build and still have not.
    size_t ToolbarsBeingRead() const;
    // How many times a toolbar was read again after its folder changed, since the start.
    uint64_t ToolbarRereadings() const { return rereadings_; }
    const std::optional<ShowListRequest>& LastShowListRequest() const { return lastShowList_; }
    cSystray* Systray() const { return f_cSystray.get(); }
    HMENU ContextMenu() const { return mnuMenu_.get(); }
    HICON IconPic(size_t index) const { return iconPic_.at(index).get(); }
    const Localisation& Language() const { return language_; }
    // The menu's hot key as registered, none when off or not to be had.
    const std::optional<HotKey>& MenuHotKey() const { return hotKey_; }
    // The platform's reason the toolbar file could not be read at the last attempt, 0 if it
    // could.
    DWORD ToolbarFileProblem() const { return fileProblem_; }

    // LocalisableForm
    std::wstring FormName() const override { return L"frmMain"; }
    void SetFormCaption(const std::wstring& text) override;
    void SetFormToolTip(const std::wstring&) override {}
    std::vector<ControlRef> Controls() const override;
    void SetControlCaption(size_t control, const std::wstring& text) override;
    void SetControlToolTip(size_t, const std::wstring&) override {}

private:
    friend class WindowBase<frmMain>;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void PopupContextMenu();
    void ShowParameters();
    // Builds the menu once from the file; false when the file holds no toolbars.
    [[nodiscard]] bool Init();
    void ClearMenu();
    // Runs what was asked, one thing at a time, until nothing is left.
    void RunPendingWork();
    // The build running now will be thrown away: something asked for another, or the program
    // is ending.
    bool Superseded() const { return unloaded_ || pending_.rebuild || pending_.parameters; }
    void Quit();
    DialogContext MakeDialogContext();
    void BuildContextMenu();
    void LoadIconPictures();
    std::unique_ptr<ucList> NewMenuList();
    void ConfigureTopList();
    void FillIcons(ucList& list);
    // Waits for the walk, letting messages run, until it ends, the patience runs out or the
    // build is superseded.
    void WaitForScan(const ToolbarScan& scan);
    // Adds a walked toolbar's lists; into entryList when its entry is already in the top list.
    void PlaceToolbar(size_t toolbar, ToolbarScan::Plan plan, std::unique_ptr<ucList>* entryList);
    // The list a row numbered `number` leads to: past the scanning limit, the shared empty one.
    ucList* ListNumbered(long number);
    // Gives the planned lists, already in MenuList, their look and their rows.
    void FillPlannedLists(std::vector<PlannedList>& plans);
    // Places the late toolbars whose walks have ended, unless their entry's list is open.
    void PlaceLateToolbars();
    void MenuList_ItemClick(ucList& list);
    void MenuList_ItemRightClick(bool IsSubMenu, const ItemValue& ItemData);

    HINSTANCE instance_;
    UiServices& services_;
    MainEnvironment environment_;
    WindowsAnsiCodec ansi_;
    Localisation language_;
    std::unique_ptr<cSystray> f_cSystray;
    unique_menu mnuMenu_;
    std::array<unique_icon, 4> iconPic_;

    std::vector<std::unique_ptr<ucList>> MenuList;
    std::unique_ptr<ucList> pastLimitList_;
    // A toolbar whose folder outlasted the build's patience: its entry leads to list, which
    // takes the rows once the walk ends. Past the list limit the list stays empty here.
    struct LateToolbar {
        std::shared_ptr<ToolbarScan> scan; // null once placed
        size_t toolbar;                    // in watched_
        std::unique_ptr<ucList> list;
    };
    std::vector<LateToolbar> lateToolbars_;
    std::unique_ptr<ClsLink> link_;
    std::unique_ptr<MenuIcons> icons_;
    class frmAbout* aboutForm_ = nullptr;
    class frmParameters* parametersForm_ = nullptr; // the real dialog while it is open
    bool parametersOpen_ = false;                   // the real one or the tests' stand-in
    // Asked while a build or the Parameters dialog was running; each is done once, after it.
    struct PendingWork {
        bool rebuild = false;
        bool parameters = false;
        bool showMenu = false;
    };
    PendingWork pending_;
    bool working_ = false;   // RunPendingWork is on the stack
    bool menuReady_ = false; // the lists hold one complete build
    // Why ToolBars.txt cannot be read now (0 when it can): the menu keeps the last list read
    // in this run, every tray click and Refresh tries again, nothing is written over it.
    DWORD fileProblem_ = ERROR_SUCCESS;
    bool fileProblemPosted_ = false;
    void TellFileProblem();
    bool quitting_ = false;        // the main window goes once the work on the stack has unwound
    bool contextMenuOpen_ = false; // the icon's menu is being tracked
    bool quitAfterMenu_ = false;   // WM_CLOSE came while it was: quit once it has returned
    // Pictures still to fetch for lists that have been opened, a few at each idle moment.
    struct PendingPicture {
        ucList* list;
        long position;
        std::wstring path;
    };
    std::deque<PendingPicture> pendingPictures_;
    void FetchSomePictures();
    // One file of each type met in the menu, whose type picture is asked of the shell while
    // the program is idle after a build, a few at each posted turn: the first opening of a
    // list then finds them ready.
    std::map<std::wstring, std::wstring> typesToPrepare_; // extension as found -> a path
    bool preparingTypes_ = false;                         // a turn is posted
    void PrepareSomeTypes();
    // Registers the "HotKey" setting's combination; what stands in its way, empty when
    // nothing does.
    std::wstring RegisterMenuHotKey();
    void OpenMenuFromKeyboard();
    std::optional<HotKey> hotKey_;

    // Every toolbar of the menu, in the top list's order (its row there has the same number),
    // with the watch on its folder: a change on disk reads that toolbar again, and only its
    // lists are replaced, once the menu is closed.
    struct WatchedToolbar {
        std::wstring path, title;
        WPARAM cookie = 0; // names the watch in its posts; never reused within a run
        std::unique_ptr<FolderWatch> watch;
        long first = 0; // its lists are MenuList[first, first + count)
        long count = 0; // none while it is being read late, greyed, or past the list limit
        std::shared_ptr<ToolbarScan> rereading;
    };
    std::vector<WatchedToolbar> watched_;
    RescanSchedule rescans_;
    WPARAM lastWatchCookie_ = 0;
    uint64_t rereadings_ = 0;
    void FolderChanged(WPARAM cookie);
    void StartDueRereadings();
    void ArmRereadTimer();
    // Puts the ended rereadings into the menu, unless it is open or a build is running.
    void PlaceRereadings();
    // Replaces the toolbar's lists with what its rereading found; false when only a whole
    // rebuild can (the list limit is in play, or the menu is not as the toolbar left it).
    [[nodiscard]] bool PlaceRereading(size_t toolbar);
    std::wstring GreyedTitle(const std::wstring& title) const;
    // The row whose shell menu was asked for, and where, until the posted request is served.
    std::optional<std::pair<std::wstring, POINT>> shellMenuFor_;
    std::optional<ShowListRequest> lastShowList_;
    // Wide on purpose: a folder with more than 32,767 subfolders must not overflow it.
    long LastListIndex = 0;
    bool ReinitPending = false;
    bool TopListConfigured = false;
    bool unloaded_ = false;
};

} // namespace zelk
