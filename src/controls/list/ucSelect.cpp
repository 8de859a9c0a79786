#include "controls/list/ucSelect.h"

#include "core/rounding.h"
#include "win/system_look.h"

namespace zelk {

namespace {

constexpr wchar_t kClassName[] = L"ZelkSelect";
int Round(double v) {
    return static_cast<int>(RoundHalfEven(v));
}

} // namespace

ucSelect::ucSelect(UiServices& services, HWND parent, int x, int y, int width, int height)
    : shadow_(services), hooks_(L"ucSelect", services), scale_(shadow_.GetWindowsDPI()) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    RegisterWindowClass(instance, kClassName);
    ::CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, x, y, width, height,
                      parent, nullptr, instance, this);
    ListProperties p;
    p.ListStyle = 0;
    p.ItemHeight = 26;
    p.BackColor = back_;
    p.MaxVisibleItems = 8;
    list_ = std::make_unique<ucList>(services, p);
    list_->SetHomeParent(::GetAncestor(parent, GA_ROOT));
    list_->SelectionChange = [this] { Choose(); };
    list_->ItemClick = [this] { Choose(); };
    LOGFONTW lf{};
    lf.lfHeight = FontHeightForPoints(9);
    lf.lfCharSet = DEFAULT_CHARSET;
    wcsncpy_s(lf.lfFaceName, L"Segoe UI", _TRUNCATE);
    font_.reset(::CreateFontIndirectW(&lf));
    if (hooks_.ssc_Subclass(hwnd_, *this)) {
        hooks_.ssc_AddMsg(hwnd_, WM_MOUSEWHEEL, MSG_AFTER);
    }
    shadow_.SetShadowColor(0x00FF9033);
    shadow_.SetShadowSize(5);
    shadow_.Settings().Margin = 3;
    shadow_.SetShadowOpacity(0);
    shadow_.BackColor = back_;
    shadow_.ShowBorders(hwnd_, true);
}

ucSelect::~ucSelect() {
    if (hwnd_ != nullptr) {
        hooks_.ssc_UnSubclass(hwnd_);
    }
    DestroyOwnWindow(); // before the shadow and the list that hang on this window go
}

void ucSelect::SetText(const std::wstring& text) {
    text_ = text;
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void ucSelect::SetBackColor(Colour colour) {
    back_ = colour;
    shadow_.BackColor = colour;
    shadow_.Refresh();
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void ucSelect::Toggle() {
    if (list_->IsListVisible()) {
        list_->HideList();
        return;
    }
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    const int margin = Round(shadow_.Settings().Margin * scale_);
    long left = r.left - margin;
    long top = r.bottom + margin + Round(2 * scale_);
    long btnLeft = 0, btnTop = 0;
    ListProperties p = list_->Properties();
    p.ListWidth = Round((r.right - r.left + 2 * margin) / scale_);
    list_->SetProperties(p);
    list_->ShowList(left, top, btnLeft, btnTop);
}

void ucSelect::Choose() {
    const long index = list_->ListIndex();
    if (index < 0 || index >= list_->Items().ListCount()) {
        return;
    }
    SetText(list_->ItemText(index));
    if (EntryChosen) {
        EntryChosen();
    }
}

void ucSelect::HookProc(bool, bool&, LRESULT&, HWND, UINT uMsg, WPARAM wParam, LPARAM, LPARAM&) {
    if (uMsg == WM_MOUSEWHEEL) {
        // The wheel steps the selection without opening the list.
        list_->SetKeyDown(static_cast<short>(HIWORD(wParam)) < 0 ? VK_DOWN : VK_UP);
    }
}

void ucSelect::Paint(HDC dc) {
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    const HighContrast highContrast = ReadHighContrast();
    const COLORREF backColour = highContrast ? highContrast->window : ResolveSystemColour(back_);
    const COLORREF ink = highContrast              ? highContrast->windowText
                         : IsDarkColor(backColour) ? RGB(255, 255, 255)
                                                   : 0;
    unique_hbrush back(::CreateSolidBrush(backColour));
    ::FillRect(dc, &client, back.get());
    const int margin = Round(8 * scale_);
    const int button = client.bottom;
    if (!text_.empty()) {
        RECT text{2 * margin, 0, client.right - button, client.bottom};
        const ImageList& images = list_->Images();
        const long index = list_->ListIndex();
        if (images.ImageListCount() >= 1 && index >= 0 && index < list_->Items().ListCount() &&
            list_->ItemIcon(index) >= 0) {
            images.ImageListDraw(dc, list_->ItemIcon(index) + 1, 2 * margin,
                                 Round(client.bottom / 2.0 - images.ImgListHeight() / 2.0),
                                 images.ImgListWidth(), images.ImgListHeight());
            text.left = 2 * margin + images.ImgListWidth() + margin;
        }
        SelectScope select(dc, font_.get());
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ink);
        ::DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &text,
                    DT_VCENTER | DT_SINGLELINE);
    }
    // The arrow button: a chevron drawn as a shape, crisp at any scale and with any fonts.
    Gdiplus::Graphics g(dc);
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    const float cx = static_cast<float>(client.right) - static_cast<float>(button) / 2.0f;
    const float cy = static_cast<float>(client.bottom) / 2.0f;
    const float s = static_cast<float>(scale_);
    Gdiplus::Pen pen(Gdiplus::Color(255, GetRValue(ink), GetGValue(ink), GetBValue(ink)), 1.5f * s);
    const Gdiplus::PointF chevron[] = {
        {cx - 4 * s, cy - 2 * s}, {cx, cy + 2 * s}, {cx + 4 * s, cy - 2 * s}};
    g.DrawLines(&pen, chevron, 3);
}

LRESULT ucSelect::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PaintScope paint(hwnd_);
        Paint(paint.get());
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
        ::SetFocus(hwnd_);
        Toggle();
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
        if (wParam == VK_F4) {
            Toggle();
        } else {
            list_->SetKeyDown(static_cast<int>(wParam));
        }
        return 0;
    case WM_CHAR:
        list_->SetKeyPress(static_cast<wchar_t>(wParam));
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        const bool focused = message == WM_SETFOCUS;
        shadow_.SetShadowOpacity(focused ? 30 : 0);
        shadow_.BorderColor = focused ? 0x00FF9033 : kSystemActiveBorder;
        shadow_.Refresh();
        return 0;
    }
    default:
        return DefaultProc(message, wParam, lParam);
    }
}

} // namespace zelk
