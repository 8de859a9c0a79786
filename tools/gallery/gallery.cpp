// The list control's gallery: in-place lists in the dark and the light theme with groups,
// separators, sub-titles, check marks, a tab column, icons from several sources, both
// scroll-bar designs and rounded selection, plus a popup with its drop shadow. Used by the
// screenshot tests; handy when changing the painter. Not part of the shipped program.
// "--high-contrast" shows it all under the High Contrast Black colours, as a user with that
// theme sees it (the session's colours are put back when the gallery closes).
#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <iterator>
#include <memory>
#include <string_view>
#include <vector>

#include "../../res/resource.h"
#include "controls/list/ucList.h"
#include "controls/list/ucSelect.h"
#include "win/system_look.h"
#include "win/ui_services.h"

using namespace zelk;

namespace {

// An 8×8 blue PNG, to show "data:" addresses in the image list.
constexpr wchar_t kDataImage[] = L"data:image/"
                                 L"png;base64,"
                                 L"iVBORw0KGgoAAAANSUhEUgAAAAgAAAAICAYAAADED76LAAAAEklEQVR4nGNQaHjw"
                                 L"Hx9mGBkKAAU2n8GbaBpYAAAAAElFTkSuQmCC";

struct Gallery {
    RealUiServices services;
    HWND window = nullptr;
    std::vector<std::unique_ptr<ucList>> lists;
    HWND popup = nullptr;
    std::unique_ptr<ucList> popupList;
    std::unique_ptr<ClsShadow> popupShadow;
    std::unique_ptr<ucSelect> select;
};

ListProperties Theme(bool dark, int design) {
    ListProperties p;
    p.Font = {L"Segoe UI", 9};
    p.BackColor = dark ? 0x202020 : 0xFFFFFF;
    p.SelectionColor = kSystemHighlight;
    p.FindTextColor = 0x00A5FF;
    p.ItemHeight = 28;
    p.ListDesign = design;
    p.BorderColor = dark ? kSystemActiveBorder : 0x000000;
    p.BorderRadius = 10;
    return p;
}

void FillIcons(ucList& list, HINSTANCE instance) {
    list.ImageListInitialize(18, 18);
    for (int id : {IDI_TRAY, IDI_FOLDER, IDI_FILE, IDI_TOOLBAR}) {
        HICON icon =
            static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, 32, 32, 0));
        static_cast<void>(list.Images().ImageListAddImage(GdiHandleSource{icon}));
        ::DestroyIcon(icon);
    }
    static_cast<void>(list.Images().ImageListAddImage(std::wstring(kDataImage)));
}

void FillRows(ucList& list, bool withChecks) {
    list.OpenGroup(L"Programs", 0);
    list.AddItem(L"Notepad\tCtrl+N", 2);
    list.AddItem(L"Paint", 3, MissingValue{}, L"", withChecks);
    list.AddItem(L"Calculator", 4);
    list.CloseGroup();
    list.AddItem(L"-");
    list.AddSubMenu(L"Documents", &list, 1);
    list.AddItem(L"Disabled entry", 2, MissingValue{}, L"", false, true);
    list.AddItem(L"-");
    for (int i = 1; i <= 14; ++i) {
        list.AddItem(L"Entry " + std::to_wstring(i) + L"\tF" + std::to_wstring(i), i % 5,
                     MissingValue{}, L"", withChecks && i % 3 == 0);
    }
}

void Build(Gallery& g, HINSTANCE instance) {
    const int w = 260, h = 330;
    struct Variant {
        bool dark;
        int design;
        bool multi;
        bool subtitles;
        int radius;
    } variants[] = {{true, 0, true, false, 6},
                    {true, 1, false, true, 0},
                    {false, 0, false, false, 6},
                    {false, 1, true, true, 0}};
    for (int i = 0; i < 4; ++i) {
        ListProperties p = Theme(variants[i].dark, variants[i].design);
        p.MultiSelect = variants[i].multi;
        p.SubTitleVisible = variants[i].subtitles;
        p.SelectionRadius = variants[i].radius;
        if (variants[i].subtitles) {
            p.ItemHeight = 40;
        }
        auto list = std::make_unique<ucList>(g.services, p);
        FillIcons(*list, instance);
        if (variants[i].subtitles) {
            list->AddItem(L"Report.docx", 2, MissingValue{}, L"Modified today\t12 KB");
            list->AddItem(L"Budget.xlsx", 3, MissingValue{}, L"Modified yesterday\t40 KB");
            list->AddItem(L"-");
        }
        FillRows(*list, variants[i].multi);
        list->PlaceInForm(g.window, 20 + i * (w + 30), 20, w, h);
        list->SetListIndex(variants[i].subtitles ? 0 : 2);
        list->SetHotIndex(variants[i].subtitles ? 1 : 5);
        g.lists.push_back(std::move(list));
    }

    // A popup with its layered drop shadow, as menus show themselves.
    g.popup = ::CreateWindowExW(WS_EX_TOOLWINDOW, L"ZelkGalleryPopup", L"", WS_POPUP, 120, 420, 240,
                                150, g.window, nullptr, instance, nullptr);
    // Declared the way forms declare their lists: saved design-time values.
    PropertyBag design;
    design.Write(L"Font", L"Segoe UI;9.00;");
    design.Write(L"ItemHeight", L"28");
    design.Write(L"BackColor", L"2105376");
    design.Write(L"BorderVisible", L"False");
    design.Write(L"ListStyle", L"2");
    g.popupList = std::make_unique<ucList>(g.services, design);
    g.popupList->ImageListInitialize(18, 18);
    FillIcons(*g.popupList, instance);
    for (auto text : {L"Tools", L"Games", L"Documents", L"Downloads"}) {
        g.popupList->AddSubMenu(text, g.popupList.get(), 1);
    }
    g.popupList->PlaceInForm(g.popup, 0, 0, 240, 150);
    g.popupList->SetListIndex(1);
    ::SetWindowRgn(g.popup, ::CreateRoundRectRgn(0, 0, 241, 151, 10, 10), TRUE);
    ::ShowWindow(g.popup, SW_SHOWNA);
    g.popupShadow = std::make_unique<ClsShadow>(g.services);
    g.popupShadow->SetShadowOffsetX(2);
    g.popupShadow->SetShadowOffsetY(2);
    g.popupShadow->SetShadowOpacity(30);
    g.popupShadow->BackColor = 0x202020;
    g.popupShadow->ShowBorders(g.popup, false);

    // The drop-down selector, showing its chosen entry with its icon.
    g.select = std::make_unique<ucSelect>(g.services, g.window, 460, 430, 240, 30);
    FillIcons(g.select->List(), instance);
    for (auto text : {L"Tools", L"Games", L"Documents", L"Downloads"}) {
        g.select->List().AddItem(text, 1);
    }
    g.select->List().SetListIndex(1);
    g.select->SetText(L"Games");
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_MOUSEWHEEL: {
        // Wheel messages go to the focused window: hand them to the list under the cursor.
        POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        HWND under = ::WindowFromPoint(at);
        if (under != nullptr && under != hwnd && ::IsChild(hwnd, under)) {
            return ::SendMessageW(under, msg, wParam, lParam);
        }
        return 0;
    }
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

} // namespace

constexpr int kContrastIndexes[] = {COLOR_WINDOW,        COLOR_WINDOWTEXT, COLOR_HIGHLIGHT,
                                    COLOR_HIGHLIGHTTEXT, COLOR_GRAYTEXT,   COLOR_HOTLIGHT,
                                    COLOR_BTNFACE,       COLOR_BTNTEXT};

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    const bool highContrast =
        std::wstring_view(commandLine).find(L"--high-contrast") != std::wstring_view::npos;
    COLORREF saved[std::size(kContrastIndexes)] = {};
    if (highContrast) {
        const COLORREF black[] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(26, 235, 255),
                                  RGB(0, 0, 0), RGB(63, 242, 63),   RGB(255, 255, 0),
                                  RGB(0, 0, 0), RGB(255, 255, 255)};
        for (size_t i = 0; i < std::size(saved); ++i) {
            saved[i] = ::GetSysColor(kContrastIndexes[i]);
        }
        ::SetSysColors(static_cast<int>(std::size(saved)), kContrastIndexes, black);
        OverrideHighContrast(true); // Wine cannot turn the theme itself on
    }
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    WNDCLASSW wc{};
    wc.lpfnWndProc = &WindowProc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"ZelkGallery";
    ::RegisterClassW(&wc);
    wc.lpszClassName = L"ZelkGalleryPopup";
    wc.lpfnWndProc = &::DefWindowProcW;
    ::RegisterClassW(&wc);

    Gallery g;
    g.window = ::CreateWindowExW(0, L"ZelkGallery", L"ZelkToolBars list gallery",
                                 WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 1200, 760, nullptr,
                                 nullptr, instance, nullptr);
    ::ShowWindow(g.window, SW_SHOW);
    Build(g, instance);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (highContrast) {
        ::SetSysColors(static_cast<int>(std::size(saved)), kContrastIndexes, saved);
    }
    return 0;
}
