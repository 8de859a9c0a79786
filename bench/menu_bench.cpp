// Timed under Wine, each figure beside a baseline measured in the same run and the target it
// is held to: building the menu of generated trees (1,000 to 200,000 files) against a bare
// FindFirstFileExW walk of the same tree; the tray click until the top list is painted; a
// 257-row submenu and its shadow; memory with the 20,000-file tree built against a minimal
// tray program; timer wake-ups once the menu is closed; windows and GDI objects after 1,000
// openings of a submenu. Lines "plot FILES BUILD_MS WALK_MS" feed docs/bench.png.
#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/frmMain.h"
#include "../tests/common/object_counts.h"
#include "win/ui_services.h"
#include "win/unique_handle.h"

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

// Folders of 20 leaves each, every leaf with files of mixed kinds; made once and kept.
std::wstring MakeTree(const std::filesystem::path& base, const std::wstring& name, int leaves,
                      int filesPerLeaf) {
    const auto root = base / name;
    const auto ready = base / (name + L".ready");
    if (!std::filesystem::exists(ready)) {
        std::filesystem::remove_all(root);
        const wchar_t* kinds[] = {L".exe", L".lnk", L".txt", L".pdf",
                                  L".doc", L".url", L".cmd", L".htm"};
        for (int f = 0; f < leaves; ++f) {
            const auto folder =
                root / (L"Folder" + std::to_wstring(f / 20)) / (L"Sub" + std::to_wstring(f));
            std::filesystem::create_directories(folder);
            for (int i = 0; i < filesPerLeaf; ++i) {
                std::ofstream(folder / (L"item" + std::to_wstring(i) + kinds[(f + i) % 8])) << "x";
            }
        }
        std::ofstream(ready) << "1";
    }
    return root.wstring();
}

class SilentServices : public RealUiServices {
public:
    INT_PTR ShellExecuteOpen(const std::wstring&, const std::wstring&, const std::wstring&,
                             int) override {
        return 33;
    }
};

MainEnvironment BenchEnvironment(const std::filesystem::path& base, const std::wstring& tree,
                                 const std::wstring& profile) {
    const auto local = base / profile;
    std::filesystem::create_directories(local / L"Tanvel" / L"ToolBars");
    std::ofstream(local / L"Tanvel" / L"ToolBars" / L"ToolBars.txt")
        << std::filesystem::path(tree).string() << "|Tree\r\n";
    MainEnvironment env;
    env.programFolder = (base / L"").wstring();
    env.localAppData = local.wstring();
    env.quitOnDestroy = false;
    env.shellMajorVersion = 6;
    env.notifyIcon = [](DWORD, NOTIFYICONDATAW*) { return TRUE; };
    return env; // the whole tree is read before the build ends: the build is what is timed
}

struct Memory {
    double workingSetMb = 0, privateMb = 0;
};
// Private bytes summed from the committed private regions: Wine 8 answers 0 for PrivateUsage.
Memory MemoryOf(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!::GetProcessMemoryInfo(process, &counters, sizeof(counters))) {
        return {-1, -1};
    }
    double privateBytes = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (const BYTE* at = nullptr;
         ::VirtualQueryEx(process, at, &region, sizeof(region)) == sizeof(region);
         at = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) {
            privateBytes += static_cast<double>(region.RegionSize);
        }
    }
    return {static_cast<double>(counters.WorkingSetSize) / 1048576.0, privateBytes / 1048576.0};
}

// The minimal tray program beside this one, measured once its icon is up; `argument` is given
// to it ("shell-icons": it also asks the shell for a file's icon).
Memory FloorMemory(const wchar_t* argument = L"") {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command =
        L"\"" + (std::filesystem::path(self).parent_path() / L"zelk_tray_floor.exe").wstring() +
        L"\" " + argument;
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE inRead = nullptr, inWrite = nullptr, outRead = nullptr, outWrite = nullptr;
    if (!::CreatePipe(&inRead, &inWrite, &inherit, 0) ||
        !::CreatePipe(&outRead, &outWrite, &inherit, 0)) {
        return {-1, -1};
    }
    ::SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inRead;
    startup.hStdOutput = outWrite;
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    Memory memory{-1, -1};
    if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                         &startup, &process)) {
        char ready[32] = {};
        DWORD read = 0;
        if (::ReadFile(outRead, ready, sizeof(ready) - 1, &read, nullptr) && read > 0) {
            ::Sleep(200); // let the icon's round trip with the shell settle
            memory = MemoryOf(process.hProcess);
        }
        ::CloseHandle(inWrite);
        inWrite = nullptr;
        ::WaitForSingleObject(process.hProcess, 5000);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    for (HANDLE h : {inRead, inWrite, outRead, outWrite}) {
        if (h != nullptr) {
            ::CloseHandle(h);
        }
    }
    return memory;
}

int TimerWakeupsOver(DWORD milliseconds) {
    static int wakeups = 0;
    wakeups = 0;
    const unique_hhook hook(::SetWindowsHookExW(
        WH_GETMESSAGE,
        [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (code == HC_ACTION && wParam == PM_REMOVE &&
                reinterpret_cast<const MSG*>(lParam)->message == WM_TIMER) {
                ++wakeups;
            }
            return ::CallNextHookEx(nullptr, code, wParam, lParam);
        },
        nullptr, ::GetCurrentThreadId()));
    const ULONGLONG end = ::GetTickCount64() + milliseconds;
    MSG msg;
    while (::GetTickCount64() < end) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return wakeups;
}

void Row(const char* figure, const std::string& measured, const std::string& baseline,
         const char* target) {
    std::printf("| %-58s | %-22s | %-30s | %-14s |\n", figure, measured.c_str(), baseline.c_str(),
                target);
}
std::string Format(const char* format, double a, double b = 0) {
    char text[96];
    std::snprintf(text, sizeof(text), format, a, b);
    return text;
}

} // namespace

// What any first opening pays under this system before drawing a row: a popup window and a
// layered window behind it made and shown, as a list and its shadow are.
double TwoWindowsMadeAndShown() {
    const auto start = Clock::now();
    HWND popup = ::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 600, 100, 350, 600,
                                   nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    HWND layer =
        ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 596, 96, 358,
                          608, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowPos(layer, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    ::SetWindowPos(popup, HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    ::UpdateWindow(popup);
    const double took = Ms(start);
    ::DestroyWindow(popup);
    ::DestroyWindow(layer);
    return took;
}

int wmain() {
    const auto base = std::filesystem::temp_directory_path() / L"zelk-menu-bench";
    std::filesystem::create_directories(base);
    const std::wstring tree = MakeTree(base, L"Tree", 400, 50);
    SilentServices services;
    DWORD idleSeconds = 30;
    if (const char* asked = std::getenv("BENCH_IDLE_SECONDS")) {
        idleSeconds = static_cast<DWORD>(std::strtoul(asked, nullptr, 10));
    }

    const Memory floor = FloorMemory();
    const Memory shellFloor = FloorMemory(L"shell-icons");
    const Memory before = MemoryOf(::GetCurrentProcess());
    // The bare walk twice: the first pays for Wine's first look at the folders, which the
    // build below would otherwise be spared.
    static_cast<void>(Walk(tree));
    const auto walkStart = Clock::now();
    const long entries = Walk(tree);
    const double walk = Ms(walkStart);
    frmMain form(::GetModuleHandleW(nullptr), services, BenchEnvironment(base, tree, L"Local"));
    const auto buildStart = Clock::now();
    form.Form_Load();
    const double build = Ms(buildStart);
    const Memory justBuilt = MemoryOf(::GetCurrentProcess());
    const auto refreshStart = Clock::now();
    form.ReInit(); // Refresh: the same tree read and built again
    const double refresh = Ms(refreshStart);

    // The user's first click comes after the program has been idle a moment: what it
    // prepares then (the type pictures) is ready.
    for (MSG msg; ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) {
        ::DispatchMessageW(&msg);
    }
    const auto clickStart = Clock::now();
    ::SendMessageW(form.Systray()->MessageWindow(), WM_MOUSEMOVE, 0, WM_LBUTTONUP);
    const double click = Ms(clickStart);
    form.MenuListAt(0).HideList();
    const auto secondStart = Clock::now();
    ::SendMessageW(form.Systray()->MessageWindow(), WM_MOUSEMOVE, 0, WM_LBUTTONUP);
    const double secondClick = Ms(secondStart);
    form.MenuListAt(0).HideList();

    // The first folder's list: 20 subfolders; its leaf lists hold 50 files.
    ucList& leaf = form.MenuListAt(3);
    long left = 600, top = 100, btnLeft = 0, btnTop = 0;
    const double twoWindows = TwoWindowsMadeAndShown();
    const auto firstStart = Clock::now();
    leaf.ShowList(left, top, btnLeft, btnTop);
    const double firstShow = Ms(firstStart);
    leaf.HideList();
    const auto againStart = Clock::now();
    leaf.ShowList(left, top, btnLeft, btnTop);
    const double againShow = Ms(againStart);
    leaf.HideList();

    // A list of 257 rows with icons, painted as a submenu is; its baseline is the same list
    // painted without a shadow.
    ListProperties p = leaf.Properties();
    ucList rows(services, p);
    rows.ImageListInitialize(18, 18);
    HICON icon = ::LoadIconW(nullptr, IDI_APPLICATION);
    for (int i = 0; i < 257; ++i) {
        static_cast<void>(rows.Images().ImageListAddImage(GdiHandleSource{icon}));
        rows.AddItem(L"Program " + std::to_wstring(i), i);
    }
    const auto bigFirstStart = Clock::now();
    rows.ShowList(left, top, btnLeft, btnTop); // the first opening builds the shadow template
    const double bigFirst = Ms(bigFirstStart);
    rows.HideList();
    const auto bigStart = Clock::now();
    rows.ShowList(left, top, btnLeft, btnTop);
    const double bigShow = Ms(bigStart);
    const auto paintStart = Clock::now();
    rows.Refresh();
    const double bigPaint = Ms(paintStart);
    // Composing the layer, as a new size or look needs (opened again as it was, the layered
    // window keeps its layer and nothing is composed).
    rows.Shadow().BackColor ^= 1;
    const auto shadowStart = Clock::now();
    rows.Shadow().Refresh();
    const double shadow = Ms(shadowStart);
    rows.HideList();

    const Memory built = MemoryOf(::GetCurrentProcess());

    // 1,000 openings of one submenu: what the first made is reused by every later one.
    leaf.ShowList(left, top, btnLeft, btnTop);
    leaf.HideList();
    const long windowsFirst = object_counts::CountWindows(::GetCurrentProcessId());
    const long gdiFirst = object_counts::CountGdiObjects(::GetCurrentProcess()).total;
    for (int i = 0; i < 1000; ++i) {
        leaf.ShowList(left, top, btnLeft, btnTop);
        leaf.HideList();
    }
    const long windowsMoved = object_counts::CountWindows(::GetCurrentProcessId()) - windowsFirst;
    const long gdiMoved = object_counts::CountGdiObjects(::GetCurrentProcess()).total - gdiFirst;

    // Awake while open (the baseline), asleep once closed.
    leaf.ShowList(left, top, btnLeft, btnTop);
    const int openWakeups = TimerWakeupsOver(1000);
    leaf.HideList();
    const int idleWakeups = TimerWakeupsOver(idleSeconds * 1000);

    std::printf("| %-58s | %-22s | %-30s | %-14s |\n", "figure", "measured", "baseline", "target");
    Row("257-row submenu shown and painted", Format("%.1f ms", bigShow),
        Format("its paint alone %.1f ms", bigPaint), "<= 8 ms");
    Row("  the same, its very first opening", Format("%.1f ms", bigFirst),
        Format("opened again %.1f ms", bigShow), "(template and layer made)");
    Row("  its shadow composed", Format("%.1f ms", shadow),
        Format("the rows' paint %.1f ms", bigPaint), "<= 1 ms");
    Row("tray click -> top list painted, first time", Format("%.1f ms", click),
        "one frame, 16.7 ms", "<= 16 ms");
    Row("tray click -> top list painted, later", Format("%.1f ms", secondClick),
        "one frame, 16.7 ms", "<= 8 ms");
    Row("50-file submenu, first opening (type pictures shown)", Format("%.1f ms", firstShow),
        Format("again: %.1f ms", againShow), "<= 16 ms");
    Row("  two bare windows made and shown (a first opening's floor)",
        Format("%.1f ms", twoWindows), "", "");
    Row("menu build, 20k files / 400 leaves, / bare walk",
        Format("%.2fx (%.0f ms)", build / walk, build),
        Format("walk of %.0f entries: %.0f ms", static_cast<double>(entries), walk), "<= 1.3x");
    Row("  the same, built again by a Refresh", Format("%.2fx (%.0f ms)", refresh / walk, refresh),
        Format("walk of %.0f entries: %.0f ms", static_cast<double>(entries), walk), "<= 1.3x");
    Row("working set over the floor, 20k tree built",
        Format("%+.1f MB (%.1f MB)", built.workingSetMb - floor.workingSetMb, built.workingSetMb),
        Format("tray floor %.1f MB; bench bare %.1f MB", floor.workingSetMb, before.workingSetMb),
        "<= 8 MB");
    Row("private bytes over the floor, 20k tree built",
        Format("%+.1f MB (%.1f MB)", built.privateMb - floor.privateMb, built.privateMb),
        Format("tray floor %.1f MB; bench bare %.1f MB", floor.privateMb, before.privateMb),
        "<= 8 MB");
    Row("  of which the shell's file icons (the floor asking one icon)",
        Format("%+.1f MB", shellFloor.privateMb - floor.privateMb),
        Format("floor with one icon %.1f MB", shellFloor.privateMb), "");
    Row("  of which the build itself (private bytes)",
        Format("%+.1f MB", justBuilt.privateMb - before.privateMb),
        Format("%.0f bytes an entry", (justBuilt.privateMb - before.privateMb) * 1048576.0 /
                                          static_cast<double>(entries ? entries : 1)),
        "");
    Row("timer wake-ups per second, menu closed after use",
        Format("%.2f /s", idleWakeups / static_cast<double>(idleSeconds ? idleSeconds : 1)),
        Format("open: %.0f /s", openWakeups), "0");
    Row("windows / GDI objects after 1,000 openings, minus the first",
        Format("%+.0f / %+.0f", static_cast<double>(windowsMoved), static_cast<double>(gdiMoved)),
        Format("after the first: %.0f / %.0f", static_cast<double>(windowsFirst),
               static_cast<double>(gdiFirst)),
        "0 / 0");
    std::fflush(stdout);

    // Build time against tree size, beside the bare walk: the menu reads at most 511 lists,
    // so past that the walk keeps growing and the build does not.
    const struct {
        const wchar_t* name;
        int leaves, files;
    } sizes[] = {{L"Tree1k", 20, 50},
                 {L"Tree5k", 100, 50},
                 {L"Tree", 400, 50},
                 {L"Tree50k", 1000, 50},
                 {L"Tree200k", 2000, 100}};
    for (const auto& size : sizes) {
        const std::wstring root = MakeTree(base, size.name, size.leaves, size.files);
        static_cast<void>(Walk(root));
        const auto sizeWalkStart = Clock::now();
        const long sizeEntries = Walk(root);
        const double sizeWalk = Ms(sizeWalkStart);
        frmMain sized(::GetModuleHandleW(nullptr), services,
                      BenchEnvironment(base, root, std::wstring(L"Local-") + size.name));
        const auto sizeStart = Clock::now();
        sized.Form_Load();
        const double sizeBuild = Ms(sizeStart);
        std::printf("plot %ld %.1f %.1f\n", sizeEntries, sizeBuild, sizeWalk);
        if (size.leaves == 2000) {
            Row("menu build, 200k files / 2,000 leaves, / bare walk",
                Format("%.2fx (%.0f ms)", sizeBuild / sizeWalk, sizeBuild),
                Format("walk of %.0f entries: %.0f ms", static_cast<double>(sizeEntries), sizeWalk),
                "<= 1.3x");
        }
        std::fflush(stdout);
    }
    return 0;
}
