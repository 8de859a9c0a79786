#include "controls/ClsShadow.h"

#include <cstring>

#include "core/rounding.h"

namespace zelk {

namespace {

int Round(double v) {
    return static_cast<int>(RoundHalfEven(v));
}

} // namespace

void BuildRoundPath(Gdiplus::GraphicsPath& path, int x, int y, int width, int height, int r) {
    if (r <= 0) {
        path.AddRectangle(Gdiplus::Rect(x, y, width, height));
        return;
    }
    path.AddArc(x, y, r, r, 180, 90);
    path.AddArc(x + width - r, y, r, r, 270, 90);
    path.AddArc(x + width - r, y + height - r, r, r, 0, 90);
    path.AddArc(x, y + height - r, r, r, 90, 90);
    path.CloseFigure();
}

ClsShadow::ClsShadow(UiServices& services) : hooks_(L"ClsShadow", services), scale_(ScreenScale()) {
    settings_.ShadowSize = 3;
}

ClsShadow::~ClsShadow() {
    if (owner_ != nullptr && hooks_.IsHooked(owner_)) {
        hooks_.ssc_UnSubclass(owner_);
    }
    if (shadow_ && hooks_.IsHooked(shadow_.get())) {
        hooks_.ssc_UnSubclass(shadow_.get());
    }
    if (!child_ && owner_ != nullptr && ::IsWindow(owner_)) {
        ::SetWindowLongPtrW(owner_, GWLP_HWNDPARENT, 0);
    }
    // shadow_ ends its window; a child one already ended with its parent was let go.
}

void ClsShadow::SetShadowSize(int value) {
    settings_.ShadowSize = value;
    rebuild_ = true;
}
void ClsShadow::SetShadowOpacity(int value) {
    rebuild_ = rebuild_ || settings_.ShadowOpacity != value;
    settings_.ShadowOpacity = value;
}
void ClsShadow::SetScale(double scale) {
    rebuild_ = rebuild_ || scale_ != scale;
    scale_ = scale;
}
void ClsShadow::SetShadowColor(Colour value) {
    shadowColor_ = value;
    rebuild_ = true;
}
void ClsShadow::SetBorderRadius(int value) {
    settings_.BorderRadius = value;
    rebuild_ = true;
}

void ClsShadow::Attach(HWND owner, bool child) {
    if (attached_) {
        return;
    }
    const HINSTANCE instance =
        reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(owner, GWLP_HINSTANCE));
    attached_ = true;
    owner_ = owner;
    parent_ = ::GetParent(owner);
    child_ = child;
    if (child_) {
        shadow_.reset(::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                                        parent_, nullptr, instance, nullptr));
        if (shadow_ && hooks_.ssc_Subclass(shadow_.get(), *this)) {
            hooks_.ssc_AddMsg(shadow_.get(), WM_PAINT, MSG_AFTER);
            hooks_.ssc_AddMsg(shadow_.get(), WM_DESTROY, MSG_BEFORE);
        }
    } else {
        shadow_.reset(::CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP,
                                        0, 0, 0, 0, nullptr, nullptr, instance, nullptr));
        if (shadow_ && hooks_.ssc_Subclass(owner_, *this)) {
            hooks_.ssc_AddMsg(owner_, WM_MOVE, MSG_AFTER);
        }
    }
}

void ClsShadow::ShowBorders(HWND owner, bool child) {
    RECT ownerRect{};
    ::GetWindowRect(owner, &ownerRect);
    ownerWidth_ = ownerRect.right - ownerRect.left;
    ownerHeight_ = ownerRect.bottom - ownerRect.top;
    layout_ = ComputeShadowLayout(settings_, scale_, ownerWidth_, ownerHeight_);
    Attach(owner, child);
    POINT origin{ownerRect.left, ownerRect.top};
    if (child_) {
        origin = {0, 0};
        ::ClientToScreen(owner_, &origin);
        ::ScreenToClient(parent_, &origin);
    }
    if (!shadow_) {
        return; // Windows refused the window: the list goes without a shadow
    }
    if (rebuild_) {
        BuildShadowTemplate();
        rebuild_ = false;
    }
    const int x = origin.x - layout_.inset + layout_.layerOffsetX;
    const int y = origin.y - layout_.inset + layout_.layerOffsetY;
    ::SetWindowPos(shadow_.get(), owner_, x, y, layout_.layerWidth, layout_.layerHeight,
                   SWP_SHOWWINDOW | SWP_NOACTIVATE);
    if (!child_) {
        // An owned window always stays above its owner: the list above its shadow.
        ::SetWindowLongPtrW(owner_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(shadow_.get()));
    }
    Update();
}

void ClsShadow::HideBorders() {
    if (shadow_) {
        ::ShowWindow(shadow_.get(), SW_HIDE);
    }
    surface_.reset();
}

void ClsShadow::Refresh() {
    if (attached_) {
        ShowBorders(owner_, child_);
    }
}

void ClsShadow::BuildShadowTemplate() {
    ++templateBuilds_;
    template_.clear();
    templateSide_ = 0;
    const int st = layout_.templateSize;
    const int k = layout_.blurRadius;
    if (st <= 0) {
        return;
    }
    Gdiplus::Bitmap square(st, st, PixelFormat32bppPARGB);
    {
        Gdiplus::Graphics g(&square);
        Gdiplus::GraphicsPath path;
        BuildRoundPath(path, 0, 0, st, st, Round(settings_.BorderRadius * 1.5 * scale_));
        Gdiplus::SolidBrush brush(Gdiplus::Color(RGBtoARGB(shadowColor_, settings_.ShadowOpacity)));
        g.FillPath(&brush, &path);
    }
    std::vector<uint32_t> pixels(static_cast<size_t>(st) * static_cast<size_t>(st));
    Gdiplus::BitmapData data{};
    data.Width = data.Height = static_cast<UINT>(st);
    data.Stride = st * 4;
    data.PixelFormat = PixelFormat32bppPARGB;
    data.Scan0 = pixels.data();
    Gdiplus::Rect all(0, 0, st, st);
    if (square.LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                        PixelFormat32bppPARGB, &data) != Gdiplus::Ok) {
        return;
    }
    square.UnlockBits(&data);
    std::vector<uint8_t> alpha(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i) {
        alpha[i] = static_cast<uint8_t>(pixels[i] >> 24);
    }
    const auto blurred = BlurAlpha(alpha, st, st, k);
    templateSide_ = st + 2 * k;
    const Colour colour = ResolveSystemColour(shadowColor_);
    template_.resize(blurred.size());
    for (size_t i = 0; i < blurred.size(); ++i) {
        template_[i] = PremultipliedPixel(colour, blurred[i]);
    }
}

Gdiplus::Region ClsShadow::OwnerRegion(int x, int y) const {
    unique_hrgn region(::CreateRectRgn(0, 0, ownerWidth_, ownerHeight_));
    if (::GetWindowRgn(owner_, region.get()) == ERROR) {
        region.reset(::CreateRectRgn(0, 0, ownerWidth_, ownerHeight_));
    }
    ::OffsetRgn(region.get(), x, y);
    return Gdiplus::Region(region.get());
}

ClsShadow::LayerKey ClsShadow::CurrentKey() const {
    LayerKey key{layout_,          settings_,     BackColor,       BorderColor, shadowColor_,
                 BackColorOpacity, BorderOpacity, templateBuilds_, {}};
    unique_hrgn region(::CreateRectRgn(0, 0, 0, 0));
    if (region && ::GetWindowRgn(owner_, region.get()) != ERROR) {
        const DWORD size = ::GetRegionData(region.get(), 0, nullptr);
        key.ownerRegion.resize(size);
        if (size == 0 ||
            ::GetRegionData(region.get(), size,
                            reinterpret_cast<RGNDATA*>(key.ownerRegion.data())) != size) {
            key.ownerRegion.assign(1, 0xFF); // unknown: never equal to what was pushed
            key.templateBuilds = -1;
        }
    }
    return key;
}

void ClsShadow::Update() {
    std::optional<LayerKey> key;
    if (!child_) {
        key = CurrentKey();
        if (pushed_ && *pushed_ == *key && key->templateBuilds >= 0) {
            return;
        }
    }
    surface_ = std::make_unique<DibSurface>(layout_.layerWidth, layout_.layerHeight);
    if (!*surface_) {
        return;
    }
    const int w = layout_.layerWidth, h = layout_.layerHeight;
    std::memset(surface_->pixels(), 0, static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
    if (child_) {
        // -1: what the container paints behind it, asked as any static child asks its parent
        // (a fresh DC of the parent only knows white, whatever the parent paints).
        unique_hbrush own;
        HBRUSH container = nullptr;
        if (ContainerBkColor == 0xFFFFFFFFu) {
            container = reinterpret_cast<HBRUSH>(
                ::SendMessageW(parent_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(surface_->dc()),
                               reinterpret_cast<LPARAM>(shadow_.get())));
        }
        if (container == nullptr) {
            own.reset(::CreateSolidBrush(ResolveSystemColour(
                ContainerBkColor == 0xFFFFFFFFu ? kSystem3DFace : ContainerBkColor)));
            container = own.get();
        }
        RECT all{0, 0, w, h};
        ::FillRect(surface_->dc(), &all, container);
        for (int i = 0; i < w * h; ++i) {
            surface_->pixels()[i] |= 0xFF000000u;
        }
    }
    {
        Gdiplus::Bitmap canvas(w, h, w * 4, PixelFormat32bppPARGB,
                               reinterpret_cast<BYTE*>(surface_->pixels()));
        Gdiplus::Graphics g(&canvas);
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        Gdiplus::GraphicsPath frame;
        BuildRoundPath(frame, layout_.frame.x, layout_.frame.y, layout_.frame.width,
                       layout_.frame.height, layout_.frameRadius);
        if (layout_.drawsShadow && !template_.empty()) {
            // Stretched here pixel by pixel rather than by nine scaled image copies, whose
            // edges GDI+ blends with what lies outside each slice: a seam where slices meet.
            std::vector<uint32_t> shadow = NineSliceImage(
                template_, templateSide_, layout_.shadowDestination, layout_.corner, w, h);
            Gdiplus::Bitmap image(w, h, w * 4, PixelFormat32bppPARGB,
                                  reinterpret_cast<BYTE*>(shadow.data()));
            g.SetClip(&frame, Gdiplus::CombineModeExclude);
            g.DrawImage(&image, Gdiplus::Rect(0, 0, w, h), 0, 0, w, h, Gdiplus::UnitPixel);
            g.ResetClip();
        }
        // The hole follows where the owner really is inside the layer, negative offsets
        // included, and takes the owner's own window region.
        Gdiplus::Region hole =
            OwnerRegion(layout_.inset - layout_.layerOffsetX, layout_.inset - layout_.layerOffsetY);
        g.SetClip(&hole, Gdiplus::CombineModeExclude);
        Gdiplus::SolidBrush fill(Gdiplus::Color(RGBtoARGB(BackColor, BackColorOpacity)));
        g.FillPath(&fill, &frame);
        if (settings_.BorderWidth > 0 && BorderOpacity > 0) {
            Gdiplus::Pen pen(Gdiplus::Color(RGBtoARGB(BorderColor, BorderOpacity)),
                             static_cast<Gdiplus::REAL>(settings_.BorderWidth * scale_));
            g.DrawPath(&pen, &frame);
        }
    }
    Push(*surface_);
    if (child_) {
        surface_.reset();
    } else {
        ++layerComposes_;
        pushed_ = std::move(key);
    }
}

void ClsShadow::Push(DibSurface& surface) {
    const int w = surface.width(), h = surface.height();
    if (child_) {
        WindowDC dc(shadow_.get());
        ::BitBlt(dc.get(), 0, 0, w, h, surface.dc(), 0, 0, SRCCOPY);
        return;
    }
    SIZE size{w, h};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::UpdateLayeredWindow(shadow_.get(), nullptr, nullptr, &size, surface.dc(), &source, 0, &blend,
                          ULW_ALPHA);
}

void ClsShadow::DrawBitmap(HBITMAP bitmap, HWND owner, int width, int height) {
    if (!surface_ || !*surface_ || child_) {
        return;
    }
    const int w = surface_->width(), h = surface_->height();
    {
        Gdiplus::Bitmap canvas(w, h, w * 4, PixelFormat32bppPARGB,
                               reinterpret_cast<BYTE*>(surface_->pixels()));
        Gdiplus::Graphics g(&canvas);
        const int x = layout_.ownerOriginX, y = layout_.ownerOriginY;
        unique_hrgn region(::CreateRectRgn(0, 0, width, height));
        if (::GetWindowRgn(owner, region.get()) == ERROR) {
            region.reset(::CreateRectRgn(0, 0, width, height));
        }
        ::OffsetRgn(region.get(), x, y);
        Gdiplus::Region clip(region.get());
        g.SetClip(&clip, Gdiplus::CombineModeIntersect);
        std::unique_ptr<Gdiplus::Bitmap> picture(Gdiplus::Bitmap::FromHBITMAP(bitmap, nullptr));
        if (picture) {
            g.DrawImage(picture.get(), x, y, width, height);
        }
    }
    Push(*surface_);
    pushed_.reset(); // the layer no longer shows the plain composition
}

void ClsShadow::HookProc(bool, bool&, LRESULT&, HWND lng_hWnd, UINT uMsg, WPARAM, LPARAM lParam,
                         LPARAM&) {
    if (uMsg == WM_MOVE && lng_hWnd == owner_ && !child_) {
        int x = 0, y = 0;
        ShadowPositionForOwner(settings_, scale_, static_cast<short>(LOWORD(lParam)),
                               static_cast<short>(HIWORD(lParam)), x, y);
        ::SetWindowPos(shadow_.get(), nullptr, x, y, 0, 0,
                       SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOZORDER);
    } else if (uMsg == WM_PAINT && lng_hWnd == shadow_.get()) {
        Update();
    } else if (uMsg == WM_DESTROY && lng_hWnd == shadow_.get()) {
        // The parent is taking its children with it: the value may soon name another window.
        hooks_.ssc_UnSubclass(shadow_.get());
        static_cast<void>(shadow_.release());
    }
}

} // namespace zelk
