#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/form_design.h"
#include "core/localisation.h"
#include "win/gdi.h"
#include "win/window_base.h"

namespace zelk {

class UiServices;
class Localisation;

// A modal window built from a table of named controls: Tab order, Enter for the default
// button, Escape for Cancel, per-control colours, a dark title bar in the dark theme, and
// captions that LocaliseForm reaches by name and index.
class DialogForm : public WindowBase<DialogForm>, public LocalisableForm {
public:
    DialogForm(UiServices& services, const Localisation* language, const FormDesign& design);
    ~DialogForm() override;
    DialogForm(const DialogForm&) = delete;
    DialogForm& operator=(const DialogForm&) = delete;

    // Creates the window and runs it until it is closed; the owner is disabled meanwhile.
    void ShowModal(HWND owner);
    // Creates the window without running it (tests drive it directly).
    void Create(HWND owner);
    // Unload: the window goes and ShowModal returns.
    void Unload();
    bool IsOpen() const { return hwnd_ != nullptr; }

    HWND Control(const std::wstring& name, int index = -1) const;
    std::wstring TextOf(const std::wstring& name, int index = -1) const;
    void SetText(const std::wstring& name, int index, const std::wstring& text);
    bool IsChecked(const std::wstring& name, int index) const;
    void Check(const std::wstring& name, int index);
    void Enable(const std::wstring& name, int index, bool enabled);
    void SetColours(const std::wstring& name, int index, COLORREF back, COLORREF text);
    void SetFormBackColour(COLORREF colour);
    void SetDarkTitleBar(bool dark);
    void ShowFrame(const std::wstring& name, int index, bool shown);
    // A picture control's image, taken from the loader at the control's own size in pixels,
    // so it is drawn at that size rather than stretched from another.
    void LoadPicture(const std::wstring& name, int index,
                     const std::function<HICON(int size)>& loader);
    // What a control sits on: its own colour when it has one, else the panel under it, else
    // the form's.
    COLORREF BackColourOf(HWND control) const;
    // Presses a button as a click would (tests and keyboard shortcuts).
    void Click(const std::wstring& name, int index = -1);
    // Where a control is, in pixels of the form's client area (a list's host area included).
    RECT Area(const std::wstring& name, int index = -1) const;
    double Scale() const { return scale_; }
    int Px(int logical) const;

    // LocalisableForm
    std::wstring FormName() const override { return formName_; }
    void SetFormCaption(const std::wstring& text) override;
    void SetFormToolTip(const std::wstring& text) override { SetFormToolTipText(text); }
    std::vector<ControlRef> Controls() const override;
    void SetControlCaption(size_t control, const std::wstring& text) override;
    void SetControlToolTip(size_t control, const std::wstring& text) override;
    void SetFormToolTipText(const std::wstring& text);
    std::wstring ToolTipOf(const std::wstring& name, int index = -1) const;

protected:
    virtual void Form_Load() {}
    virtual void OnClick(const std::wstring& name, int index) { (void)name, (void)index; }
    // The window's close box; the form goes unless this returns false.
    virtual bool Form_QueryUnload() { return true; }
    virtual void Form_Unload() {}
    // The form was laid out again at another scale (moved to another monitor): what the form
    // placed itself follows Area() and Scale() here.
    virtual void Form_Rescaled() {}
    // Anything else the form wants to handle; handled = true stops the default handling.
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
        (void)message, (void)wParam, (void)lParam, (void)handled;
        return 0;
    }

    // Widens what a caption does not fit, from the captions' measured extents, and the form
    // with it. Run after the texts change (Create does it after the language file).
    void FitToCaptions();
    // A numbered string in the form's language, English without one.
    std::wstring LocalString(int number) const;
    // One brush per colour, kept for the form's life.
    HBRUSH Brush(COLORREF colour);

    UiServices& services_;
    const Localisation* language_;

private:
    friend class WindowBase<DialogForm>;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    const ControlDesign* ControlDesignOf(int id) const;
    // Lays the controls and fonts out again at scale, as Windows asks when the form moves to a
    // monitor of another scale.
    void Rescale(double scale);
    int IdOf(const std::wstring& name, int index) const;
    int NeededWidth(size_t control);
    void PlaceControl(size_t control);
    void FollowLabels();
    void DrawPicture(const DRAWITEMSTRUCT& item);

    std::wstring formName_, caption_;
    int width_, height_;
    std::vector<ControlDesign> controls_;
    std::map<int, HWND> windows_;
    std::vector<RECT> rects_; // each control's area, in pixels
    std::map<int, unique_icon> pictures_;
    std::map<int, RECT> frames_; // panels: their area, painted by the form
    std::set<int> hiddenFrames_;
    HWND toolTips_ = nullptr;
    std::map<HWND, std::wstring> tipTexts_;
    void AddToolTip(HWND target, const std::wstring& text);
    std::map<int, std::pair<COLORREF, COLORREF>> colours_;
    std::map<COLORREF, unique_hbrush> brushes_;
    COLORREF formBack_ = ::GetSysColor(COLOR_BTNFACE);
    std::map<std::pair<int, bool>, unique_hfont> fonts_;
    HFONT FontFor(int points, bool bold);
    double scale_;
    HWND owner_ = nullptr;
};

} // namespace zelk
