#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "controls/message_hooks.h"
#include "core/scrollbar_model.h"
#include "win/gdi.h"
#include "win/window_base.h"

namespace zelk {

class UiServices;

// A self-drawn scroll bar: smooth scrolling, auto-repeat, thumb dragging, wheel tracking on
// its container and one named window, and four looks (classic, flat, visual style, drawn by
// the container through OnPaint).
class ucScrollbar : public WindowBase<ucScrollbar>, public HookCallback {
public:
    ucScrollbar(HWND container, UiServices& services, int x, int y, int width, int height);
    ~ucScrollbar() override;
    ucScrollbar(const ucScrollbar&) = delete;
    ucScrollbar& operator=(const ucScrollbar&) = delete;

    ScrollbarModel& Model() { return model_; }
    const ScrollbarModel& Model() const { return model_; }
    long Value() const { return model_.Value(); }
    void SetValue(long value) { model_.SetValue(value); }
    void SetMax(long value);
    void SetStyle(long style);
    void SetShowButtons(bool show);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    void Move(int x, int y, int width, int height);
    void SetVisible(bool visible);
    // Its own flag: a bar inside a hidden form still counts as shown.
    bool Visible() const { return (::GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0; }

    void ScrollToValue(long target);
    void WheelScrollTopLeft();
    void WheelScrollBotRight();
    void TrackMouseWheelOnHwnd(HWND window);
    void TrackMouseWheelOnHwndStop();
    void Refresh() { ::InvalidateRect(hwnd_, nullptr, FALSE); }

    // Change, and OnPaint(hDC, Left, Top, Right, Bottom, Part, State) for the drawn look.
    std::function<void()> Change;
    std::function<void(HDC, int, int, int, int, int, int)> OnPaint;

private:
    friend class WindowBase<ucScrollbar>;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void HookProc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND lng_hWnd, UINT uMsg,
                  WPARAM wParam, LPARAM lParam, LPARAM& lParamUser) override;
    void Relayout();
    void Paint(HDC dc);
    void PaintClassic(HDC dc, bool flat);
    bool PaintThemed(HDC dc);
    void PaintOwnerDrawn(HDC dc);
    void OnTimer(UINT_PTR id);
    void StartSmoothTimer();
    int PartState(int part) const;
    bool CursorOver(HWND window) const;

    ScrollbarModel model_;
    HWND container_;
    HWND trackedWindow_ = nullptr;
    bool enabled_ = true;
    int hotPart_ = kNoPart;
    unique_hbrush halftone_;
    MessageHooks hooks_;
};

} // namespace zelk
