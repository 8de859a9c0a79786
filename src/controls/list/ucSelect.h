#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "controls/ClsShadow.h"
#include "controls/list/ucList.h"
#include "controls/message_hooks.h"
#include "win/window_base.h"

namespace zelk {

// A drop-down selector: the chosen entry's icon and text with an arrow button; a click or F4
// drops the embedded list below the box, the wheel steps the selection without opening it,
// and the focus shows as a coloured glow around the frame.
class ucSelect : public WindowBase<ucSelect>, public HookCallback {
public:
    ucSelect(UiServices& services, HWND parent, int x, int y, int width, int height);
    ~ucSelect() override;
    ucSelect(const ucSelect&) = delete;
    ucSelect& operator=(const ucSelect&) = delete;

    ucList& List() { return *list_; }
    const std::wstring& Text() const { return text_; }
    void SetText(const std::wstring& text);
    Colour BackColor() const { return back_; }
    void SetBackColor(Colour colour);
    void Toggle();
    std::function<void()> EntryChosen;

private:
    friend class WindowBase<ucSelect>;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void HookProc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND lng_hWnd, UINT uMsg,
                  WPARAM wParam, LPARAM lParam, LPARAM& lParamUser) override;
    void Paint(HDC dc);
    void Choose();

    std::unique_ptr<ucList> list_;
    ClsShadow shadow_;
    MessageHooks hooks_;
    std::wstring text_;
    Colour back_ = 0xFFFFFF;
    unique_hfont font_;
    double scale_;
};

} // namespace zelk
