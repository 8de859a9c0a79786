#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

#include "controls/message_hooks.h"
#include "core/colour.h"
#include "core/shadow_geometry.h"
#include "win/gdi.h"
#include "win/unique_handle.h"

namespace zelk {

class UiServices;

// A soft drop shadow, a rounded frame and a border drawn with per-pixel alpha in a window
// right behind its owner: a layered tool window for a popup owner, an opaque child window
// of the owner's parent for an owner drawn in place on a form.
class ClsShadow : public HookCallback {
public:
    explicit ClsShadow(UiServices& services);
    ~ClsShadow() override;
    ClsShadow(const ClsShadow&) = delete;
    ClsShadow& operator=(const ClsShadow&) = delete;

    // Settings in logical pixels. The shadow's own settings mark the template for rebuilding.
    ShadowSettings& Settings() { return settings_; }
    void SetShadowSize(int value);
    void SetShadowOpacity(int value);
    void SetShadowColor(Colour value);
    void SetBorderRadius(int value);
    void SetShadowOffsetX(int value) { settings_.ShadowOffsetX = value; }
    void SetShadowOffsetY(int value) { settings_.ShadowOffsetY = value; }
    Colour BackColor = 0x80000005;
    int BackColorOpacity = 100;
    Colour BorderColor = kSystemActiveBorder;
    int BorderOpacity = 100;
    Colour ContainerBkColor = 0xFFFFFFFFu; // -1: the parent's background

    HWND hWnd() const { return shadow_.get(); }
    double GetWindowsDPI() const { return scale_; }
    // The scale of the monitor the owner is shown on.
    void SetScale(double scale);
    int TemplateBuilds() const { return templateBuilds_; }
    // How many times a popup's layer was composed and pushed to the screen.
    int LayerComposes() const { return layerComposes_; }

    void ShowBorders(HWND owner, bool child);
    // Makes the shadow's window for that owner without showing it (ShowBorders does it first).
    void Attach(HWND owner, bool child);
    void HideBorders();
    void Refresh();
    void Update();
    void DrawBitmap(HBITMAP bitmap, HWND owner, int width, int height);

    // While shown after a composition, the layer pushed to the screen (premultiplied BGRA,
    // top-down, LayerWidth() × LayerHeight()); null otherwise. No copy is kept for a hidden
    // popup: a tall list's layer is megabytes.
    const uint32_t* LayerPixels() const {
        return surface_ && *surface_ ? surface_->pixels() : nullptr;
    }
    int LayerWidth() const { return layout_.layerWidth; }
    int LayerHeight() const { return layout_.layerHeight; }
    const ShadowLayout& Layout() const { return layout_; }

private:
    void HookProc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND lng_hWnd, UINT uMsg,
                  WPARAM wParam, LPARAM lParam, LPARAM& lParamUser) override;
    void BuildShadowTemplate();
    void Push(DibSurface& surface);
    Gdiplus::Region OwnerRegion(int x, int y) const;

    // What a popup's layer was composed from. A layered window keeps what was pushed to it
    // while it is hidden: opened again at the same size and look, nothing is composed.
    struct LayerKey {
        ShadowLayout layout;
        ShadowSettings settings;
        Colour back, border, shadow;
        int backOpacity, borderOpacity, templateBuilds;
        std::vector<BYTE> ownerRegion;
        bool operator==(const LayerKey&) const = default;
    };
    LayerKey CurrentKey() const;
    std::optional<LayerKey> pushed_;
    int layerComposes_ = 0;

    GdiplusSession gdiplus_;
    MessageHooks hooks_;
    ShadowSettings settings_;
    double scale_;
    HWND owner_ = nullptr;
    HWND parent_ = nullptr;
    unique_window shadow_;
    bool child_ = false;
    bool attached_ = false;
    int ownerWidth_ = 0, ownerHeight_ = 0;
    ShadowLayout layout_{};
    std::vector<uint32_t> template_; // premultiplied, templateSide_ square
    int templateSide_ = 0;
    bool rebuild_ = true;
    int templateBuilds_ = 0;
    Colour shadowColor_ = 0;
    std::unique_ptr<DibSurface> surface_;
};

// A closed path of four arcs in r × r boxes, or a plain rectangle when r is 0.
void BuildRoundPath(Gdiplus::GraphicsPath& path, int x, int y, int width, int height, int r);

} // namespace zelk
