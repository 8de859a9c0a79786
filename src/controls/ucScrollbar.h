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
    void Refresh() {
        if (hwnd_ != nullptr) { // a null window would mean the whole screen
            ::InvalidateRect(hwnd_, nullptr, FALSE);
        }
    }
    // How many of its timers run (hot tracking, page delay, auto-repeat, smooth scrolling):
    // 0 whenever no part is hot, no button is held and no glide is under way.
    int RunningTimers() const;

    // Change, and OnPaint(hDC, Left, Top, Right, Bottom, Part, State) for the drawn look.
    std::function<void()> Change;
    std::function<void(HDC, int, int, int, int, int, int)> OnPaint;
    // MouseDown / MouseUp(Button, Shift, X, Y), raised after the bar's own handling. Button is
    // 1 left, 2 right, 4 middle; Shift 1 shift, 2 control, 4 alt; X, Y in client pixels. Every
    // MouseDown is followed by exactly one MouseUp for its button, also when the press ends
    // without a release (capture taken away, bar hidden, disabled or destroyed).
    std::function<void(int&, int&, float&, float&)> MouseDown;
    std::function<void(int&, int&, float&, float&)> MouseUp;

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
    bool StartTimer(UINT_PTR id, UINT milliseconds);
    void StopTimer(UINT_PTR id);
    bool TimerRunning(UINT_PTR id) const { return (timers_ & (1u << id)) != 0; }
    void StartSmoothTimer();
    int PartState(int part) const;
    bool CursorOver(HWND window) const;
    int HotPartAt(int x, int y) const;
    int PartUnderCursor() const;
    void SetHot(int part);
    void OnButtonDown(int button, int x, int y, WPARAM keys);
    bool OnButtonUp(int button, int x, int y, WPARAM keys);
    void EndLeftPress();
    bool EndPresses();
    bool ReleaseMouse();
    void GoIdle();
    bool RaiseMouse(const std::function<void(int&, int&, float&, float&)>& event, int button,
                    int shift, int x, int y);

    ScrollbarModel model_;
    HWND container_;
    HWND trackedWindow_ = nullptr;
    bool enabled_ = true;
    int hotPart_ = kNoPart;
    unsigned timers_ = 0; // one bit per running timer id
    int held_ = 0;        // buttons pressed on the bar whose MouseUp is still to come
    // Expires with the bar: host code run by an event may have destroyed it.
    std::shared_ptr<int> life_ = std::make_shared<int>(0);
    unique_hbrush halftone_;
    MessageHooks hooks_;
};

} // namespace zelk
