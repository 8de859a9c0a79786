// Timed under Wine: building the menu of a generated tree (400 folders, 20,000 files of
// mixed kinds) against a bare FindFirstFileExW walk of the same tree in the same run; the
// tray click until the top list is painted; a 257-row submenu opened for the first time
// (icons fetched) and again; memory and USER/GDI objects with the tree built.
#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/frmMain.h"
#include "../tests/common/object_counts.h"
#include "win/ui_services.h"

using namespace zelk;

namespace {

using Clock = std::chrono::steady_clock;
double Ms(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

long Walk(const std::wstring& folder) {
    long count = 0;
    WIN32_FIND_DATAW data{};
    HANDLE find = ::FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        return 0;
    }
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        ++count;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            count += Walk(folder + L"\\" + name);
        }
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return count;
}

class SilentServices : public RealUiServices {
public:
    INT_PTR ShellExecuteOpen(const std::wstring&, const std::wstring&, const std::wstring&,
                             int) override {
        return 33;
    }
};

} // namespace

int wmain() {
    const auto base = std::filesystem::temp_directory_path() / L"zelk-menu-bench";
    const std::wstring tree = (base / L"Tree").wstring();
    if (!std::filesystem::exists(base / L"ready")) {
        std::filesystem::remove_all(base);
        const wchar_t* kinds[] = {L".exe", L".lnk", L".txt", L".pdf",
                                  L".doc", L".url", L".cmd", L".htm"};
        for (int f = 0; f < 400; ++f) {
            const auto folder = std::filesystem::path(tree) /
                                (L"Folder" + std::to_wstring(f / 20)) /
                                (L"Sub" + std::to_wstring(f));
            std::filesystem::create_directories(folder);
            for (int i = 0; i < 50; ++i) {
                std::ofstream(folder / (L"item" + std::to_wstring(i) + kinds[(f + i) % 8])) << "x";
            }
        }
        std::ofstream(base / L"ready") << "1";
    }
    const auto walkStart = Clock::now();
    const long entries = Walk(tree);
    const double walk = Ms(walkStart);

    std::filesystem::create_directories(base / L"Local" / L"Tanvel" / L"ToolBars");
    std::ofstream(base / L"Local" / L"Tanvel" / L"ToolBars" / L"ToolBars.txt")
        << std::filesystem::path(tree).string() << "|Tree\r\n";
    SilentServices services;
    MainEnvironment env;
    env.programFolder = (base / L"").wstring();
    env.localAppData = (base / L"Local").wstring();
    env.quitOnDestroy = false;
    env.shellMajorVersion = 6;
    env.notifyIcon = [](DWORD, NOTIFYICONDATAW*) { return TRUE; };
    frmMain form(::GetModuleHandleW(nullptr), services, env);
    // GetGuiResources answers 0 under Wine 8: count windows and the GDI handle table instead.
    const long userBefore = object_counts::CountWindows(::GetCurrentProcessId());
    const long gdiBefore = object_counts::CountGdiObjects(::GetCurrentProcess()).total;
    const auto buildStart = Clock::now();
    form.Form_Load();
    const double build = Ms(buildStart);

    const auto clickStart = Clock::now();
    ::SendMessageW(form.Systray()->MessageWindow(), WM_MOUSEMOVE, 0, WM_LBUTTONUP);
    const double click = Ms(clickStart);
    form.MenuListAt(0).HideList();
    const auto secondStart = Clock::now();
    ::SendMessageW(form.Systray()->MessageWindow(), WM_MOUSEMOVE, 0, WM_LBUTTONUP);
    const double secondClick = Ms(secondStart);
    form.MenuListAt(0).HideList();

    // The first folder's list: 20 subfolders; pick a leaf with 50 files.
    ucList& leaf = form.MenuListAt(3);
    long left = 600, top = 100, btnLeft = 0, btnTop = 0;
    const auto firstStart = Clock::now();
    leaf.ShowList(left, top, btnLeft, btnTop);
    const double firstShow = Ms(firstStart);
    leaf.HideList();
    const auto againStart = Clock::now();
    leaf.ShowList(left, top, btnLeft, btnTop);
    const double againShow = Ms(againStart);
    leaf.HideList();

    // A list of 257 rows with icons, painted as a submenu is.
    ucList& big = form.MenuListAt(0);
    (void)big;
    ListProperties p = form.MenuListAt(3).Properties();
    ucList rows(services, p);
    rows.ImageListInitialize(18, 18);
    HICON icon = ::LoadIconW(nullptr, IDI_APPLICATION);
    for (int i = 0; i < 257; ++i) {
        static_cast<void>(rows.Images().ImageListAddImage(GdiHandleSource{icon}));
        rows.AddItem(L"Program " + std::to_wstring(i), i);
    }
    rows.ShowList(left, top, btnLeft, btnTop); // the first opening builds the shadow template
    rows.HideList();
    const auto bigStart = Clock::now();
    rows.ShowList(left, top, btnLeft, btnTop);
    const double bigShow = Ms(bigStart);
    const auto paintStart = Clock::now();
    rows.Refresh();
    const double bigPaint = Ms(paintStart);
    const auto shadowStart = Clock::now();
    rows.Shadow().Refresh();
    const double shadow = Ms(shadowStart);
    rows.HideList();

    PROCESS_MEMORY_COUNTERS_EX memory{};
    ::GetProcessMemoryInfo(::GetCurrentProcess(),
                           reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory));
    std::printf("menu build: %ld entries, %zu lists: %.0f ms, %.2fx a bare walk (%.0f ms)\n",
                entries, form.MenuListCount(), build, build / walk, walk);
    std::printf("tray click to painted top list: %.1f ms the first time, %.1f ms after\n", click,
                secondClick);
    std::printf("50-file submenu, first opening (icons fetched): %.1f ms; again: %.1f ms\n",
                firstShow, againShow);
    std::printf(
        "257-row submenu shown and painted: %.1f ms (its paint %.1f ms, its shadow %.1f ms)\n",
        bigShow, bigPaint, shadow);
    std::printf("working set %.1f MB; windows %+ld, GDI objects %+ld with the tree built\n",
                static_cast<double>(memory.WorkingSetSize) / 1048576.0,
                object_counts::CountWindows(::GetCurrentProcessId()) - userBefore,
                object_counts::CountGdiObjects(::GetCurrentProcess()).total - gdiBefore);
    return 0;
}
