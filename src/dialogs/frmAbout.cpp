#include "dialogs/frmAbout.h"

#include "zelk_version.h"

#include <vector>

#include "core/dialog_rules.h"
#include "settings/localisation_files.h"

namespace zelk {

namespace {

constexpr COLORREF kTitleColour = 0x00FF4070, kShadeColour = 0x00C0C0C0;

} // namespace

bool ProgramVersion(unsigned& major, unsigned& minor, unsigned& revision) {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path, &ignored);
    std::vector<BYTE> data(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (size == 0 || !::GetFileVersionInfoW(path, 0, size, data.data()) ||
        !::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) ||
        info == nullptr) {
        return false;
    }
    major = HIWORD(info->dwFileVersionMS);
    minor = LOWORD(info->dwFileVersionMS);
    revision = HIWORD(info->dwFileVersionLS);
    return true;
}

frmAbout::frmAbout(const DialogContext& context)
    : DialogForm(*context.services, nullptr, DesignOf(L"frmAbout")), context_(context) {}

void frmAbout::Form_Load() {
    const bool dark = DialogThemeIsDark();
    unsigned major = 0, minor = 0, revision = 0;
    if (!ProgramVersion(major, minor, revision)) {
        // An exe without its version resource (a stripped copy) still says which build it is.
        major = ZELK_VERSION_MAJOR;
        minor = ZELK_VERSION_MINOR;
        revision = ZELK_VERSION_PATCH;
    }
    SetText(L"lblLabel1", 1, VersionText(major, minor, revision));
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    SetText(L"lblLabel1", 2,
            L"\u00A9 Tanvel. " +
                (context_.language ? context_.language->GetString(45, EnglishString(45))
                                   : std::wstring(EnglishString(45))) +
                L", " + std::to_wstring(now.wYear));
    SetText(L"lblLabel1", 3, L"LOCALE ID : " + std::to_wstring(context_.localeId));
    if (context_.language != nullptr) {
        context_.language->Localise(*this); // after the texts above, so a translation wins
    }
    FitToCaptions();
    LoadPicture(L"Image1", -1, context_.productIcon);
    // The shade is only a caption and a place: the title draws it behind its own text, as two
    // opaque labels would hide one another.
    ::ShowWindow(Control(L"lblZelkToolbars", 1), SW_HIDE);
    const COLORREF back = dark ? 0x000000 : 0xFFFFFF;
    SetFormBackColour(back);
    SetColours(L"Image1", -1, back, 0);
    SetColours(L"lblZelkToolbars", 0, back, kTitleColour);
    SetColours(L"lblZelkToolbars", 1, back, kShadeColour);
    for (int i = 0; i <= 2; ++i) {
        SetColours(L"lblLabel1", i, back, dark ? 0xFFFFFF : 0);
    }
    SetColours(L"lblLabel1", 3, back, 0x000080FF);
    SetDarkTitleBar(dark);
}

void frmAbout::DrawTitle(const DRAWITEMSTRUCT& item) {
    const HWND title = Control(L"lblZelkToolbars", 0), shade = Control(L"lblZelkToolbars", 1);
    RECT titleAt{}, shadeAt{};
    ::GetWindowRect(title, &titleAt);
    ::GetWindowRect(shade, &shadeAt);
    const HDC dc = item.hDC;
    ::FillRect(dc, &item.rcItem, Brush(BackColourOf(title)));
    SelectScope font(dc, reinterpret_cast<HFONT>(::SendMessageW(title, WM_GETFONT, 0, 0)));
    ::SetBkMode(dc, TRANSPARENT);
    const UINT format = DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX;
    RECT box = item.rcItem;
    ::OffsetRect(&box, shadeAt.left - titleAt.left, shadeAt.top - titleAt.top);
    ::SetTextColor(dc, kShadeColour);
    ::DrawTextW(dc, TextOf(L"lblZelkToolbars", 1).c_str(), -1, &box, format);
    box = item.rcItem;
    ::SetTextColor(dc, kTitleColour);
    ::DrawTextW(dc, TextOf(L"lblZelkToolbars", 0).c_str(), -1, &box, format);
}

LRESULT frmAbout::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    switch (message) {
    case WM_DRAWITEM:
        if (reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem ==
            Control(L"lblZelkToolbars", 0)) {
            handled = true;
            DrawTitle(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        handled = true;
        Unload();
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            handled = true; // Enter and Escape close it like any key
            Unload();
        }
        return 0;
    default:
        return 0;
    }
}

} // namespace zelk
