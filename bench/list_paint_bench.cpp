// Timed under Wine: one full paint of a 257-row menu list with icons at 24-pixel rows,
// against a baseline measured in the same run: the same visible rows drawn as bare GDI
// text into the same kind of back buffer.
#include <windows.h>

#include <chrono>
#include <cstdio>

#include "controls/list/ucList.h"
#include "win/ui_services.h"

using namespace zelk;

namespace {

template <class F> double MillisecondsPerCall(F f, int calls) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < calls; ++i) {
        f();
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
               .count() /
           calls;
}

} // namespace

int wmain() {
    RealUiServices services;
    HWND host = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 700, nullptr, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    ListProperties p;
    p.BackColor = 0;
    p.ItemHeight = 24;
    p.BorderVisible = false;
    p.Font = {L"Segoe UI", 10};
    ucList list(services, p);
    list.ImageListInitialize(18, 18);
    HICON icon = ::LoadIconW(nullptr, IDI_APPLICATION);
    for (int i = 0; i < 257; ++i) {
        static_cast<void>(list.Images().ImageListAddImage(GdiHandleSource{icon}));
        list.AddItem(L"Program number " + std::to_wstring(i), i);
    }
    list.PlaceInForm(host, 0, 0, 350, 600);
    list.SetListIndex(5);

    const double paint = MillisecondsPerCall([&] { list.Refresh(); }, 200);

    DibSurface surface(350, 600);
    HFONT font =
        ::CreateFontW(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Segoe UI");
    const double bare = MillisecondsPerCall(
        [&] {
            RECT all{0, 0, 350, 600};
            ::FillRect(surface.dc(), &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
            SelectScope select(surface.dc(), font);
            for (int row = 0; row < 25; ++row) {
                RECT r{16, 8 + row * 24, 330, 32 + row * 24};
                const std::wstring text = L"Program number " + std::to_wstring(row);
                ::DrawTextW(surface.dc(), text.c_str(), -1, &r, DT_VCENTER | DT_SINGLELINE);
            }
        },
        200);
    ::DeleteObject(font);
    std::printf("list paint, 257 rows with icons: %.2f ms per paint, %.1fx bare GDI text of the "
                "same rows (%.3f ms)\n",
                paint, paint / bare, bare);
    ::DestroyWindow(host);
    return 0;
}
