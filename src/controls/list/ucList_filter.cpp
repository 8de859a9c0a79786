// The list's filter box, and the list as the drop-down of an attached text box.
#include "controls/list/ucList.h"
#include "core/rounding.h"
#include "core/case_folding.h"
#include "win/system_look.h"

namespace zelk {

namespace {

int Round(double v) {
    return static_cast<int>(RoundHalfEven(v));
}

} // namespace

void ucList::LayoutHeader() {
    const bool show = IsPopup() && properties_.ShowFilter && filterShown_;
    if (show && filterBox_ == nullptr && hwnd_ != nullptr) {
        // Screen readers name an edit box after the label just before it; this box shows none.
        ::CreateWindowExW(0, L"STATIC", L"Filter", WS_CHILD, 0, 0, 0, 0, hwnd_, nullptr,
                          ::GetModuleHandleW(nullptr), nullptr);
        filterBox_ = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 10, 10,
                                       hwnd_, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        if (filterBox_ != nullptr) {
            if (!hooks_) {
                hooks_ = std::make_unique<MessageHooks>(L"ucList", services_);
            }
            // Navigation keys typed in the box move in the list (when the hot keys could
            // not be had), and Enter does not beep in it.
            if (hooks_->ssc_Subclass(filterBox_, *this)) {
                hooks_->ssc_AddMsg(filterBox_, WM_KEYDOWN, MSG_BEFORE);
                hooks_->ssc_AddMsg(filterBox_, WM_CHAR, MSG_BEFORE);
            }
        }
    }
    if (!show || filterBox_ == nullptr) {
        if (filterBox_ != nullptr) {
            ::ShowWindow(filterBox_, SW_HIDE);
        }
        headerHeight_ = margin_;
        return;
    }
    const HighContrast highContrast = ReadHighContrast();
    const Colour back =
        highContrast ? highContrast->window : ResolveSystemColour(properties_.BackColor);
    if (!filterFont_ || filterFontDesc_ != properties_.Font || filterScale_ != scale_) {
        LOGFONTW lf{};
        lf.lfHeight = FontHeightForPoints(properties_.Font.size);
        lf.lfWeight = properties_.Font.bold ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = properties_.Font.italic ? TRUE : FALSE;
        lf.lfCharSet = DEFAULT_CHARSET;
        wcsncpy_s(lf.lfFaceName, properties_.Font.name.c_str(), _TRUNCATE);
        unique_hfont font(::CreateFontIndirectW(&lf));
        if (font) {
            // The box lets go of the old font before it is deleted.
            ::SendMessageW(filterBox_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
            filterFont_ = std::move(font);
            filterFontDesc_ = properties_.Font;
            filterScale_ = scale_;
        }
    }
    if (!filterBrush_ || filterBrushColour_ != back) {
        filterBrush_.reset(::CreateSolidBrush(back));
        filterBrushColour_ = back;
    }
    const int boxHeight = Round(properties_.Font.size * 1.5 * scale_);
    headerHeight_ = boxHeight + 4 * margin_;
    if (hwnd_ != nullptr) {
        const int width = ClientWidth() - 4 * margin_ - Round(16 * scale_);
        ::SetWindowPos(filterBox_, nullptr, 2 * margin_, 2 * margin_, std::max(width, 0), boxHeight,
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
}

void ucList::SetFilterText(const std::wstring& text) {
    if (filterBox_ != nullptr) {
        suppress_ = true;
        ::SetWindowTextW(filterBox_, text.c_str());
        suppress_ = false;
    }
    pendingFilter_ = text;
    RunFilter();
}

void ucList::RunFilter() {
    if (filterBox_ != nullptr) {
        const int length = ::GetWindowTextLengthW(filterBox_);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        ::GetWindowTextW(filterBox_, text.data(), length + 1);
        text.resize(static_cast<size_t>(length));
        pendingFilter_ = text;
    }
    const FilterResult result = ApplyFilter(model_, pendingFilter_, rowHeight_);
    matchCount_ = result.matches;
    model_.SetHotIndex(-1);
    if (IsPopup() && listVisible_ && hwnd_ != nullptr) {
        RECT r{};
        ::GetWindowRect(hwnd_, &r);
        const int width = r.right - r.left;
        const int wanted = headerHeight_ + static_cast<int>(result.contentHeight) + margin_;
        // Never shrink the window at each keystroke: fit what matches, within the limit
        // and the screen.
        int limit = properties_.MaxListHeight > 0 ? properties_.MaxListHeight
                                                  : ::GetSystemMetrics(SM_CYSCREEN);
        const int height = std::min(wanted, limit);
        int top = r.top;
        if (placement_.anchorBottom > 0) {
            top = placement_.anchorBottom - height; // opened upwards: keep the bottom
        }
        ::SetWindowPos(hwnd_, nullptr, r.left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        const int view = height - headerHeight_ - margin_;
        if (result.contentHeight <= view) {
            scrollBar_->SetMax(0);
            scrollBar_->SetVisible(false);
            scrollBar_->TrackMouseWheelOnHwndStop();
        } else {
            scrollBar_->SetMax(static_cast<long>(result.contentHeight) - view);
            scrollBar_->Model().SetSmallChange(rowHeight_);
            scrollBar_->Model().SetLargeChange(std::max(view - rowHeight_, 1));
            scrollBar_->SetVisible(true);
            scrollBar_->TrackMouseWheelOnHwnd(hwnd_);
        }
        if (properties_.BorderVisible) {
            shadow_.Refresh();
        }
    }
    if (scrollBar_ && scrollBar_->Value() != 0) {
        scrollBar_->SetValue(0); // repaints through the bar's change
    } else {
        Refresh();
    }
}

void ucList::AutoCompleteTextBox(HWND oTextBox, long OffsetLeft, long OffsetTop, long OffsetRight,
                                 long OffsetBottom) {
    if (!hooks_) {
        hooks_ = std::make_unique<MessageHooks>(L"ucList", services_);
    }
    if (textBox_ != nullptr && hooks_->IsHooked(textBox_)) {
        hooks_->ssc_UnSubclass(textBox_);
    }
    textBox_ = oTextBox;
    textBoxOffsets_ = {OffsetLeft, OffsetTop, OffsetRight, OffsetBottom};
    SetFilterText(L"");
    if (textBox_ != nullptr && hooks_->ssc_Subclass(textBox_, *this)) {
        hooks_->ssc_AddMsg(textBox_, WM_CHAR, MSG_AFTER);
    }
}

void ucList::HookProc(bool, bool& bHandled, LRESULT& lReturn, HWND lng_hWnd, UINT uMsg,
                      WPARAM wParam, LPARAM, LPARAM&) {
    if (lng_hWnd == textBox_ && uMsg == WM_CHAR && wParam != VK_RETURN && !suppress_) {
        OnTextBoxChar(static_cast<wchar_t>(wParam));
    } else if (lng_hWnd == filterBox_ && filterBox_ != nullptr) {
        if (uMsg == WM_KEYDOWN && HandleKey(static_cast<int>(wParam))) {
            bHandled = true;
            lReturn = 0;
        } else if (uMsg == WM_CHAR && wParam == VK_RETURN) {
            bHandled = true; // already chosen on the key-down
            lReturn = 0;
        }
    } else if (lng_hWnd == hostForm_ && hostForm_ != nullptr &&
               (uMsg == WM_SIZE || uMsg == WM_DESTROY)) {
        HideList(); // the form this list belongs to changed size or is going away
    }
}

void ucList::OnTextBoxChar(wchar_t) {
    RECT r{};
    ::GetWindowRect(textBox_, &r);
    const int length = ::GetWindowTextLengthW(textBox_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    ::GetWindowTextW(textBox_, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    if (listVisible_ && text.empty()) {
        HideList();
        return;
    }
    if (!listVisible_) {
        bool found = false;
        for (const auto& item : model_.Items()) {
            found = found || (!item.IsGroup && FoldedContains(model_.Folding(), item.Text, text));
        }
        if (!found) {
            return;
        }
        properties_.ListWidth =
            Round((r.right + textBoxOffsets_.right - r.left - textBoxOffsets_.left) / scale_);
        long left = r.left + textBoxOffsets_.left, top = r.bottom + textBoxOffsets_.top;
        long btnLeft = 0, btnTop = r.top + textBoxOffsets_.bottom;
        ShowList(left, top, btnLeft, btnTop);
    }
    SetFilterText(text);
    if (matchCount_ == 0) {
        HideList();
    }
}

void ucList::WriteChoiceToTextBox() {
    if (textBox_ == nullptr || model_.ListIndex() < 0 || model_.ListIndex() >= model_.ListCount()) {
        return;
    }
    const std::wstring& text = model_.Item(model_.ListIndex()).Text;
    suppress_ = true;
    ::SendMessageW(textBox_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    ::SendMessageW(textBox_, EM_SETSEL, text.size(), static_cast<LPARAM>(text.size()));
    suppress_ = false;
    Raise(PostAutoComplete);
}

} // namespace zelk
