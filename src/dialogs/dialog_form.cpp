#include "dialogs/dialog_form.h"

#include <commctrl.h>

#include "controls/list/gdi_canvas.h"
#include "core/colour.h"
#include "core/rounding.h"
#include "settings/localisation_files.h"
#include "win/message_pump.h"
#include "win/system_look.h"
#include "win/ui_services.h"
#include "win/unique_handle.h"

namespace zelk {

namespace {

constexpr wchar_t kClassName[] = L"ZelkDialog";
constexpr int kFirstId = 1000;

} // namespace

DialogForm::DialogForm(UiServices& services, const Localisation* language, const FormDesign& design)
    : services_(services), language_(language), formName_(design.name), caption_(design.caption),
      width_(design.width), height_(design.height), controls_(design.controls),
      scale_(ScreenScale()) {}

DialogForm::~DialogForm() {
    DestroyOwnWindow();
}

int DialogForm::Px(int logical) const {
    return static_cast<int>(RoundHalfEven(logical * scale_));
}

int DialogForm::IdOf(const std::wstring& name, int index) const {
    for (size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i].name == name && controls_[i].index == index) {
            const ControlKind kind = controls_[i].kind;
            if (kind == ControlKind::DefaultButton) {
                return IDOK;
            }
            if (kind == ControlKind::CancelButton) {
                return IDCANCEL;
            }
            return kFirstId + static_cast<int>(i);
        }
    }
    return 0;
}

const ControlDesign* DialogForm::ControlDesignOf(int id) const {
    for (const ControlDesign& c : controls_) {
        if (IdOf(c.name, c.index) == id) {
            return &c;
        }
    }
    return nullptr;
}

HWND DialogForm::Control(const std::wstring& name, int index) const {
    const auto it = windows_.find(IdOf(name, index));
    return it == windows_.end() ? nullptr : it->second;
}

std::wstring DialogForm::TextOf(const std::wstring& name, int index) const {
    const HWND control = Control(name, index);
    const int length = control ? ::GetWindowTextLengthW(control) : 0;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    if (control) {
        ::GetWindowTextW(control, text.data(), length + 1);
    }
    text.resize(static_cast<size_t>(length));
    return text;
}

void DialogForm::SetText(const std::wstring& name, int index, const std::wstring& text) {
    if (HWND control = Control(name, index)) {
        ::SetWindowTextW(control, text.c_str());
    }
}

bool DialogForm::IsChecked(const std::wstring& name, int index) const {
    const HWND control = Control(name, index);
    return control && ::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void DialogForm::Check(const std::wstring& name, int index) {
    for (const ControlDesign& c : controls_) {
        if (c.name == name) {
            if (HWND control = Control(name, c.index)) {
                ::SendMessageW(control, BM_SETCHECK, c.index == index ? BST_CHECKED : BST_UNCHECKED,
                               0);
            }
        }
    }
}

void DialogForm::Enable(const std::wstring& name, int index, bool enabled) {
    if (HWND control = Control(name, index)) {
        ::EnableWindow(control, enabled);
    }
}

void DialogForm::SetColours(const std::wstring& name, int index, COLORREF back, COLORREF text) {
    colours_[IdOf(name, index)] = {back, text};
    if (HWND control = Control(name, index)) {
        ::InvalidateRect(control, nullptr, TRUE);
    }
}

void DialogForm::SetFormBackColour(COLORREF colour) {
    formBack_ = colour;
    if (hwnd_ != nullptr) {
        ::InvalidateRect(hwnd_, nullptr, TRUE);
    }
}

void DialogForm::SetDarkTitleBar(bool dark) {
    // Windows 10 1809 and later; elsewhere (Wine included) the call simply does nothing.
    using SetAttribute = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
    // Only from System32: a plain name would search the program's folder first.
    const unique_module dwm(::LoadLibraryExW(L"dwmapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (!dwm) {
        return;
    }
    if (auto set = reinterpret_cast<SetAttribute>(
            reinterpret_cast<void*>(::GetProcAddress(dwm.get(), "DwmSetWindowAttribute")))) {
        const BOOL value = dark && !ReadHighContrast(); // high contrast draws its own
        set(hwnd_, 20 /* DWMWA_USE_IMMERSIVE_DARK_MODE */, &value, sizeof(value));
    }
}

void DialogForm::ShowFrame(const std::wstring& name, int index, bool shown) {
    const int id = IdOf(name, index);
    if (shown) {
        hiddenFrames_.erase(id);
    } else {
        hiddenFrames_.insert(id);
    }
    if (HWND caption = Control(name, index); caption && ::GetWindowTextLengthW(caption) > 0) {
        ::ShowWindow(caption, shown ? SW_SHOW : SW_HIDE);
    }
    if (hwnd_ != nullptr) {
        ::InvalidateRect(hwnd_, nullptr, TRUE);
    }
}

void DialogForm::LoadPicture(const std::wstring& name, int index,
                             const std::function<HICON(int size)>& loader) {
    const HWND control = Control(name, index);
    if (control == nullptr || !loader) {
        return;
    }
    RECT box{};
    ::GetClientRect(control, &box);
    pictures_[IdOf(name, index)].reset(loader(std::min(box.right, box.bottom)));
    ::InvalidateRect(control, nullptr, TRUE);
}

void DialogForm::DrawPicture(const DRAWITEMSTRUCT& item) {
    const RECT& box = item.rcItem;
    ::FillRect(item.hDC, &box, Brush(BackColourOf(item.hwndItem)));
    const auto it = pictures_.find(static_cast<int>(item.CtlID));
    if (it == pictures_.end() || !it->second) {
        return;
    }
    const int side = std::min(box.right - box.left, box.bottom - box.top);
    ::DrawIconEx(item.hDC, box.left + (box.right - box.left - side) / 2,
                 box.top + (box.bottom - box.top - side) / 2, it->second.get(), side, side, 0,
                 nullptr, DI_NORMAL);
}

COLORREF DialogForm::BackColourOf(HWND control) const {
    if (const int id = ::GetDlgCtrlID(control); id != 0) {
        if (const auto it = colours_.find(id); it != colours_.end()) {
            return it->second.first;
        }
    }
    RECT r{};
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    for (const auto& [id, area] : frames_) {
        if (hiddenFrames_.count(id) == 0 && ::PtInRect(&area, centre)) {
            const auto it = colours_.find(id);
            return it != colours_.end() ? it->second.first : formBack_;
        }
    }
    return formBack_;
}

void DialogForm::Click(const std::wstring& name, int index) {
    const int id = IdOf(name, index);
    if (id != 0 && hwnd_ != nullptr) {
        ::SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                       reinterpret_cast<LPARAM>(Control(name, index)));
    }
}

HFONT DialogForm::FontFor(int points, bool bold) {
    auto& font = fonts_[{points, bold}];
    if (!font) {
        LOGFONTW lf{};
        lf.lfHeight = -static_cast<int>(RoundHalfEven(points * 96.0 * scale_ / 72.0));
        lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
        lf.lfCharSet = DEFAULT_CHARSET;
        wcsncpy_s(lf.lfFaceName, L"Segoe UI", _TRUNCATE);
        font.reset(::CreateFontIndirectW(&lf));
    }
    return font.get();
}

HBRUSH DialogForm::Brush(COLORREF colour) {
    auto& brush = brushes_[colour];
    if (!brush) {
        brush.reset(::CreateSolidBrush(colour));
    }
    return brush.get();
}

void DialogForm::Create(HWND owner) {
    owner_ = owner;
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    RegisterWindowClass(instance, kClassName);
    RECT frame{0, 0, Px(width_), Px(height_)};
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    ::AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
    const int formWidth = frame.right - frame.left, formHeight = frame.bottom - frame.top;
    const int formLeft = (::GetSystemMetrics(SM_CXSCREEN) - formWidth) / 2;
    const int formTop = (::GetSystemMetrics(SM_CYSCREEN) - formHeight) / 2;
    if (::CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kClassName, caption_.c_str(),
                          style, formLeft, formTop, formWidth, formHeight, owner, nullptr, instance,
                          this) == nullptr) {
        // Without the form its controls would become windows of their own on the desktop.
        const DWORD error = ::GetLastError();
        services_.LogEvent(EVENTLOG_ERROR_TYPE, L"ZelkToolBars",
                           L"The window of " + formName_ + L" could not be made (error " +
                               std::to_wstring(error) + L")");
        return;
    }
    rects_.clear();
    for (size_t i = 0; i < controls_.size(); ++i) {
        const ControlDesign& c = controls_[i];
        const int x = Px(c.x), y = Px(c.y);
        rects_.push_back({x, y, x + Px(c.width), y + Px(c.height)});
        const wchar_t* cls = L"BUTTON";
        DWORD controlStyle = WS_CHILD | WS_VISIBLE;
        switch (c.kind) {
        case ControlKind::Host:
        case ControlKind::MenuItem:
            continue; // no window of its own
        case ControlKind::Frame:
            // A panel: the form paints its area and border; the control is its caption, so
            // the caption takes the panel's colours in both themes.
            cls = L"STATIC";
            if (c.caption.empty()) {
                controlStyle &= ~static_cast<DWORD>(WS_VISIBLE);
            }
            break;
        case ControlKind::Label:
            cls = L"STATIC";
            controlStyle |= c.ownerDrawn ? static_cast<DWORD>(SS_OWNERDRAW) : 0;
            break;
        case ControlKind::Picture:
            cls = L"STATIC";
            controlStyle |= SS_OWNERDRAW;
            break;
        case ControlKind::Button:
        case ControlKind::CancelButton:
            controlStyle |= BS_PUSHBUTTON | WS_TABSTOP;
            break;
        case ControlKind::DefaultButton:
            controlStyle |= BS_DEFPUSHBUTTON | WS_TABSTOP;
            break;
        case ControlKind::GroupStartOption:
            controlStyle |= BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP;
            break;
        case ControlKind::Option:
            controlStyle |= BS_AUTORADIOBUTTON;
            break;
        case ControlKind::Edit:
            cls = L"EDIT";
            controlStyle |= WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
            break;
        }
        const int id = IdOf(c.name, c.index);
        HWND control =
            ::CreateWindowExW(0, cls, c.caption.c_str(), controlStyle, 0, 0, 1, 1, hwnd_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(c.points, c.bold)),
                       FALSE);
        windows_[id] = control;
        PlaceControl(i);
    }
    if (language_ != nullptr) {
        language_->Localise(*this);
    }
    FitToCaptions();
    Form_Load();
    FollowLabels();
}

void DialogForm::FollowLabels() {
    // The lists placed by Form_Load came last; each goes back to its place in the design, just
    // after the control before it (its label), for the tab order and for screen readers.
    HWND before = nullptr;
    for (size_t i = 0; i < controls_.size() && i < rects_.size(); ++i) {
        if (const HWND own = Control(controls_[i].name, controls_[i].index)) {
            before = own;
            continue;
        }
        for (HWND child = ::GetWindow(hwnd_, GW_CHILD); child != nullptr && before != nullptr;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            RECT r{};
            ::GetWindowRect(child, &r);
            ::MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&r), 2);
            if (controls_[i].kind == ControlKind::Host && r.left == rects_[i].left &&
                r.top == rects_[i].top && rects_[i].right > rects_[i].left) {
                ::SetWindowPos(child, before, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
                before = child;
                break;
            }
        }
    }
}

void DialogForm::PlaceControl(size_t control) {
    const ControlDesign& c = controls_[control];
    RECT r = rects_[control];
    const int id = IdOf(c.name, c.index);
    if (c.kind == ControlKind::Frame) {
        frames_[id] = r;
        // The caption sits on the panel's top edge, inset from its sides.
        r = {r.left + Px(10), r.top + Px(4), std::max(r.right - Px(10), r.left + Px(10) + 1),
             r.top + Px(24)};
    }
    if (HWND window = Control(c.name, c.index)) {
        ::MoveWindow(window, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
    }
}

int DialogForm::NeededWidth(size_t control) {
    const ControlDesign& c = controls_[control];
    const HWND window = Control(c.name, c.index);
    const std::wstring text = window ? TextOf(c.name, c.index) : std::wstring();
    if (text.empty() || c.kind == ControlKind::Edit || c.kind == ControlKind::Picture) {
        return 0;
    }
    WindowDC dc(window);
    SelectScope font(dc.get(), FontFor(c.points, c.bold));
    RECT line{};
    ::DrawTextW(dc.get(), text.c_str(), -1, &line, DT_CALCRECT | DT_SINGLELINE);
    const int extent = line.right - line.left;
    const RECT& area = rects_[control];
    switch (c.kind) {
    case ControlKind::Button:
    case ControlKind::DefaultButton:
    case ControlKind::CancelButton:
        return extent + Px(20); // clear of the border and the focus rectangle
    case ControlKind::Option:
    case ControlKind::GroupStartOption:
        return extent + Px(26); // the round box, its gap and the focus rectangle
    case ControlKind::Frame:
        return extent + Px(22); // the caption's insets
    default: {
        // A label tall enough for several lines may wrap instead of widening.
        RECT wrapped{0, 0, area.right - area.left, 0};
        ::DrawTextW(dc.get(), text.c_str(), -1, &wrapped, DT_CALCRECT | DT_WORDBREAK);
        if (wrapped.bottom <= area.bottom - area.top && wrapped.right <= area.right - area.left) {
            return 0;
        }
        return extent + Px(2);
    }
    }
}

void DialogForm::Rescale(double scale) {
    if (scale <= 0 || scale == scale_ || hwnd_ == nullptr) {
        return;
    }
    const double ratio = scale / scale_;
    scale_ = scale;
    const auto scaled = [ratio](LONG v) { return static_cast<LONG>(RoundHalfEven(v * ratio)); };
    // The controls take the new fonts before the old ones go.
    auto oldFonts = std::move(fonts_);
    fonts_.clear();
    for (size_t i = 0; i < controls_.size() && i < rects_.size(); ++i) {
        RECT& r = rects_[i];
        r = {scaled(r.left), scaled(r.top), scaled(r.right), scaled(r.bottom)};
        const ControlDesign& c = controls_[i];
        if (HWND window = Control(c.name, c.index)) {
            ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(c.points, c.bold)),
                           FALSE);
        }
        PlaceControl(i);
    }
    Form_Rescaled();
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void DialogForm::FitToCaptions() {
    if (hwnd_ == nullptr) {
        return;
    }
    std::vector<LayoutBox> boxes;
    for (size_t i = 0; i < controls_.size(); ++i) {
        const RECT& r = rects_[i];
        const ControlKind kind = controls_[i].kind;
        const BoxRole role =
            kind == ControlKind::Frame ? BoxRole::Panel
            : kind == ControlKind::Label || kind == ControlKind::Edit || kind == ControlKind::Host
                ? BoxRole::Stretch
                : BoxRole::Move;
        boxes.push_back({r.left, r.top, r.right - r.left, r.bottom - r.top, role, NeededWidth(i)});
    }
    const int grown = WidenToFit(boxes);
    if (grown == 0) {
        return;
    }
    for (size_t i = 0; i < controls_.size(); ++i) {
        rects_[i] = {boxes[i].x, boxes[i].y, boxes[i].x + boxes[i].width,
                     boxes[i].y + boxes[i].height};
        PlaceControl(i);
    }
    RECT window{};
    ::GetWindowRect(hwnd_, &window);
    const int width = window.right - window.left + grown;
    ::SetWindowPos(hwnd_, nullptr, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2, window.top, width,
                   window.bottom - window.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

std::wstring DialogForm::LocalString(int number) const {
    return language_ ? language_->GetString(number, EnglishString(number))
                     : std::wstring(EnglishString(number));
}

RECT DialogForm::Area(const std::wstring& name, int index) const {
    for (size_t i = 0; i < controls_.size() && i < rects_.size(); ++i) {
        if (controls_[i].name == name && controls_[i].index == index) {
            return rects_[i];
        }
    }
    return {};
}

void DialogForm::ShowModal(HWND owner) {
    Create(owner);
    if (hwnd_ == nullptr) {
        return;
    }
    if (owner != nullptr) {
        ::EnableWindow(owner, FALSE);
    }
    ::ShowWindow(hwnd_, SW_SHOW);
    ::SetForegroundWindow(hwnd_);
    MSG msg;
    bool quit = false;
    while (hwnd_ != nullptr) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            quit = got == 0;
            break;
        }
        if (hwnd_ == nullptr || !::IsDialogMessageW(hwnd_, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    if (owner != nullptr) {
        ::EnableWindow(owner, TRUE);
    }
    if (quit) {
        ::PostQuitMessage(static_cast<int>(msg.wParam));
    }
}

void DialogForm::Unload() {
    if (hwnd_ != nullptr) {
        Form_Unload();
        if (owner_ != nullptr) {
            ::EnableWindow(owner_, TRUE); // before the window goes, so the focus returns
        }
        ::DestroyWindow(hwnd_);
    }
}

void DialogForm::SetFormCaption(const std::wstring& text) {
    caption_ = text;
    if (hwnd_ != nullptr) {
        ::SetWindowTextW(hwnd_, text.c_str());
    }
}

std::vector<ControlRef> DialogForm::Controls() const {
    std::vector<ControlRef> refs;
    for (const auto& c : controls_) {
        refs.push_back({c.name, c.index});
    }
    return refs;
}

void DialogForm::AddToolTip(HWND target, const std::wstring& text) {
    if (target == nullptr || hwnd_ == nullptr) {
        return;
    }
    if (toolTips_ == nullptr) {
        toolTips_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                      WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0, hwnd_,
                                      nullptr, ::GetModuleHandleW(nullptr), nullptr);
    }
    tipTexts_[target] = text;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(target);
    tool.lpszText = tipTexts_[target].data();
    ::SendMessageW(toolTips_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(toolTips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void DialogForm::SetFormToolTipText(const std::wstring& text) {
    AddToolTip(hwnd_, text);
}

void DialogForm::SetControlToolTip(size_t control, const std::wstring& text) {
    if (control < controls_.size()) {
        AddToolTip(Control(controls_[control].name, controls_[control].index), text);
    }
}

std::wstring DialogForm::ToolTipOf(const std::wstring& name, int index) const {
    const auto it = tipTexts_.find(Control(name, index));
    return it == tipTexts_.end() ? std::wstring() : it->second;
}

void DialogForm::SetControlCaption(size_t control, const std::wstring& text) {
    if (control < controls_.size()) {
        controls_[control].caption = text;
        SetText(controls_[control].name, controls_[control].index, text);
    }
}

LRESULT DialogForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    bool handled = false;
    const LRESULT result = OnMessage(message, wParam, lParam, handled);
    if (handled) {
        return result;
    }
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (HIWORD(wParam) != BN_CLICKED) {
            return 0;
        }
        if (const ControlDesign* clicked = ControlDesignOf(id)) {
            OnClick(clicked->name, clicked->index);
        } else if (id == IDCANCEL && Form_QueryUnload()) {
            Unload(); // Escape on a form without a Cancel button: as the close box
        }
        return 0;
    }
    case WM_CLOSE:
        if (Form_QueryUnload()) {
            Unload();
        }
        return 0;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
        // Only top-level windows hear of it: the form's lists and controls repaint with it.
        for (HWND child = ::GetWindow(hwnd_, GW_CHILD); child != nullptr;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            ::SendMessageW(child, message, wParam, lParam);
        }
        ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return DefaultProc(message, wParam, lParam);
    case WM_DPICHANGED: {
        // Moved to a monitor of another scale: the controls and fonts at that scale, in the
        // size Windows suggests for the form there.
        Rescale(HIWORD(wParam) / 96.0);
        const RECT& r = *reinterpret_cast<const RECT*>(lParam);
        ::SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_ERASEBKGND: {
        RECT r{};
        ::GetClientRect(hwnd_, &r);
        const HDC dc = reinterpret_cast<HDC>(wParam);
        if (const HighContrast system = ReadHighContrast()) {
            ::FillRect(dc, &r, Brush(system->window)); // panels and all: the system's colours
            return 1;
        }
        ::FillRect(dc, &r, Brush(formBack_));
        // Frames are panels: their own background fills them, with a thin border.
        for (const auto& [id, area] : frames_) {
            if (hiddenFrames_.count(id) != 0) {
                continue;
            }
            const auto it = colours_.find(id);
            const COLORREF back = it != colours_.end() ? it->second.first : formBack_;
            const COLORREF line =
                it != colours_.end() && IsDarkColor(back) ? 0x00505050 : 0x00A0A0A0;
            ::FillRect(dc, &area, Brush(line));
            RECT inner{area.left + 1, area.top + 1, area.right - 1, area.bottom - 1};
            ::FillRect(dc, &inner, Brush(back));
        }
        return 1;
    }
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (const ControlDesign* design = ControlDesignOf(static_cast<int>(item.CtlID));
            design != nullptr && design->kind == ControlKind::Picture) {
            DrawPicture(item);
            return TRUE;
        }
        return DefaultProc(message, wParam, lParam);
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT: {
        const HWND control = reinterpret_cast<HWND>(lParam);
        const int id = ::GetDlgCtrlID(control);
        const auto it = id != 0 ? colours_.find(id) : colours_.end();
        const HDC dc = reinterpret_cast<HDC>(wParam);
        if (const HighContrast system = ReadHighContrast(); system && message != WM_CTLCOLOREDIT) {
            ::SetTextColor(dc, system->windowText);
            ::SetBkColor(dc, system->window);
            return reinterpret_cast<LRESULT>(Brush(system->window));
        }
        if (it == colours_.end()) {
            if (message == WM_CTLCOLOREDIT) {
                return DefaultProc(message, wParam, lParam);
            }
            // Whatever has no colours of its own (an in-place list's shadow among them) takes
            // the panel it lies on.
            const COLORREF back = BackColourOf(control);
            ::SetBkColor(dc, back);
            return reinterpret_cast<LRESULT>(Brush(back));
        }
        ::SetTextColor(dc, it->second.second);
        ::SetBkColor(dc, it->second.first);
        return reinterpret_cast<LRESULT>(Brush(it->second.first));
    }
    default:
        return DefaultProc(message, wParam, lParam);
    }
}

} // namespace zelk
