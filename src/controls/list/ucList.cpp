#include "controls/list/ucList.h"

#include "core/rounding.h"

namespace zelk {

namespace {

constexpr wchar_t kClassName[] = L"ZelkList";

int Round(double v) {
    return static_cast<int>(RoundHalfEven(v));
}

} // namespace

int CompareForUser(const std::wstring& a, const std::wstring& b) {
    const int result = ::CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, a.c_str(),
                                         static_cast<int>(a.size()), b.c_str(),
                                         static_cast<int>(b.size()), nullptr, nullptr, 0);
    return result == 0 ? AsciiCaseInsensitiveCompare(a, b) : result - CSTR_EQUAL;
}

ucList::ucList(UiServices& services, const ListProperties& properties)
    : services_(services), properties_(properties), shadow_(services),
      glyphs_(GlyphFonts::Detect()), scale_(shadow_.GetWindowsDPI()) {
    shadow_.SetShadowSize(2);
    ComputeMetrics();
}

ucList::ucList(UiServices& services, const PropertyBag& designValues)
    : ucList(services, ReadProperties(designValues, FormAmbient())) {}

ListAmbient FormAmbient() {
    ListAmbient ambient;
    ambient.font = {L"Segoe UI", 8.25};
    ambient.backColor = 0xFFFFFF;
    ambient.resolve = [](int index) { return static_cast<Colour>(::GetSysColor(index)); };
    return ambient;
}

ucList::~ucList() {
    scrollBar_.reset();
    if (hwnd_ != nullptr) {
        ::DestroyWindow(hwnd_);
    }
}

void ucList::ComputeMetrics() {
    margin_ = Round(8 * scale_);
    glyphBox_ = Round(16 * scale_);
    rowHeight_ = Round(properties_.ItemHeight * scale_);
    borderRadius_ = Round(properties_.BorderRadius * scale_);
    images_.SetImagesRadius(properties_.ImagesRadius);
    images_.SetScale(scale_);
    shadow_.SetBorderRadius(properties_.BorderRadius);
    shadow_.BorderColor = properties_.BorderColor;
    shadow_.BackColor = properties_.BackColor;
}

void ucList::SetProperties(const ListProperties& properties) {
    properties_ = properties;
    ComputeMetrics();
    if (hwnd_ != nullptr && properties_.ListStyle == 1) {
        OnResize();
    }
}

void ucList::PlaceInForm(HWND parent, int x, int y, int width, int height) {
    properties_.ListStyle = 1;
    const HINSTANCE instance =
        reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    RegisterWindowClass(instance, kClassName);
    ::CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, x, y, width,
                      height, parent, nullptr, instance, this);
    scrollBar_ = std::make_unique<ucScrollbar>(hwnd_, services_, 0, 0, Round(8 * scale_), 10);
    scrollBar_->Change = [this] { Refresh(); };
    scrollBar_->OnPaint = [this](HDC dc, int l, int t, int r, int b, int part, int state) {
        PaintScrollPart(dc, l, t, r, b, part, state);
    };
    ::ShowWindow(hwnd_, SW_SHOWNA);
    OnResize();
    if (properties_.BorderVisible) {
        shadow_.ShowBorders(hwnd_, true);
    }
}

int ucList::ClientWidth() const {
    RECT r{};
    ::GetClientRect(hwnd_, &r);
    return r.right;
}

int ucList::ClientHeight() const {
    RECT r{};
    ::GetClientRect(hwnd_, &r);
    return r.bottom;
}

void ucList::SetListIndex(long index) {
    model_.SetListIndex(index);
    Refresh();
}

void ucList::SetHotIndex(long index) {
    model_.SetHotIndex(index);
    Refresh();
}

void ucList::BSort(long order) {
    model_.BSort(order, CompareForUser);
    Refresh();
}

void ucList::QSort(long order) {
    model_.QSort(order, CompareForUser);
    Refresh();
}

long ucList::ScrollValue() const {
    return scrollBar_ ? scrollBar_->Value() : 0;
}

void ucList::Update(bool resize) {
    if (hwnd_ == nullptr) {
        return;
    }
    headerHeight_ = margin_; // the filter box belongs to popups
    const int visible = Round(ClientHeight() - headerHeight_ - margin_);
    const long separators = model_.SeparatorCount();
    const double content = static_cast<double>(model_.ListCount() - separators) * rowHeight_ +
                           static_cast<double>(separators) * rowHeight_ / 2.0;
    const long maximum = static_cast<long>(RoundHalfEven(content - visible));
    scrollBar_->SetMax(std::max(maximum, 0L));
    if (maximum > 0) {
        const bool wide = properties_.ListDesign != 0;
        scrollBar_->SetShowButtons(wide);
        scrollBar_->SetStyle(wide ? 2 : 3);
        ScrollbarModel& bar = scrollBar_->Model();
        bar.SetSmallChange(3 * rowHeight_);
        bar.SetLargeChange(std::max(visible - rowHeight_, 1));
        bar.SetWheelChange(3 * rowHeight_);
        bar.SetSmoothScrollFactor(30);
        scrollBar_->TrackMouseWheelOnHwnd(hwnd_);
        scrollBar_->SetVisible(true);
    } else {
        scrollBar_->TrackMouseWheelOnHwndStop();
        scrollBar_->SetVisible(false);
    }
    if (resize) {
        OnResize();
        return;
    }
    if (properties_.BorderVisible) {
        shadow_.Refresh();
    }
    Refresh();
}

void ucList::OnResize() {
    const int width = ClientWidth(), height = ClientHeight();
    const int k = Round(scale_);
    if (properties_.ListDesign != 0) {
        const int ws = Round(16 * scale_);
        scrollBar_->Move(width - ws - 2 * k, borderRadius_ / 2 + k, ws,
                         height - borderRadius_ - 3 * k);
    } else {
        const int ws = Round(8 * scale_);
        scrollBar_->Move(Round(width - ws - 2 * scale_), headerHeight_, ws,
                         height - headerHeight_ - margin_);
    }
    ::SetWindowRgn(hwnd_,
                   ::CreateRoundRectRgn(0, 0, width + 1, height + 1, borderRadius_, borderRadius_),
                   TRUE);
    Update(false);
}

void ucList::Refresh() {
    if (hwnd_ == nullptr) {
        return;
    }
    const int width = ClientWidth(), height = ClientHeight();
    if (!backBuffer_ || backBuffer_->width() != width || backBuffer_->height() != height) {
        backBuffer_ = std::make_unique<DibSurface>(width, height);
    }
    if (!*backBuffer_) {
        return;
    }
    ++paintCount_;
    GdiCanvas canvas(*backBuffer_, properties_.Font, scale_, &images_, glyphs_, hwnd_);
    ListPaintInput in;
    in.model = &model_;
    in.properties = &properties_;
    in.resolve = [](int index) { return static_cast<Colour>(::GetSysColor(index)); };
    in.scale = scale_;
    in.width = width;
    in.height = height;
    in.headerHeight = headerHeight_;
    in.rowHeight = rowHeight_;
    in.scrollBarVisible = scrollBar_ && scrollBar_->Visible();
    if (in.scrollBarVisible) {
        RECT bar{};
        ::GetWindowRect(scrollBar_->hwnd(), &bar);
        ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&bar), 2);
        in.scrollBarLeft = bar.left;
    }
    in.scrollValue = static_cast<int>(ScrollValue());
    in.scrollMax = scrollBar_ ? static_cast<int>(scrollBar_->Model().Max()) : 0;
    in.imageCount = static_cast<int>(images_.ImageListCount());
    in.imageWidth = images_.ImgListWidth();
    in.imageHeight = images_.ImgListHeight();
    if (ItemCustomDraw) {
        const HDC dc = backBuffer_->dc();
        in.itemCustomDraw = [this, dc](long& index, int& left, int& top, int& w, int& h) {
            ItemCustomDraw(index, dc, left, top, w, h);
        };
    }
    const ListPaintResult result = PaintList(in, canvas);
    properties_.LineColor = result.lineColor;
    rowHeight_ = result.rowHeight;
}

void ucList::PaintScrollPart(HDC dc, int left, int top, int right, int bottom, int part,
                             int state) {
    const Colour back = ResolveSystemColour(properties_.BackColor);
    RECT r{left, top, right, bottom};
    if (part != 5) {
        unique_hbrush brush(::CreateSolidBrush(back));
        ::FillRect(dc, &r, brush.get());
        return;
    }
    const int w = right - left, h = bottom - top;
    if (w <= 0 || h <= 0) {
        return;
    }
    DibSurface pill(w, h);
    {
        Gdiplus::Graphics g(pill.dc());
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        Gdiplus::SolidBrush fill{Gdiplus::Color(RGBtoARGB(back, 100))};
        g.FillRectangle(&fill, Round(-scale_), Round(-scale_), Round(w + scale_),
                        Round(h + scale_));
        Gdiplus::GraphicsPath path;
        BuildRoundPath(path, 0, 0, Round(w - scale_), Round(h - scale_), w - 1);
        Gdiplus::SolidBrush thumb{Gdiplus::Color(RGBtoARGB(ThumbColour(back, state), 100))};
        g.FillPath(&thumb, &path);
    }
    ::BitBlt(dc, left, top, w, h, pill.dc(), 0, 0, SRCCOPY);
}

LRESULT ucList::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PaintScope paint(hwnd_);
        if (backBuffer_ && *backBuffer_) {
            ::BitBlt(paint.get(), 0, 0, backBuffer_->width(), backBuffer_->height(),
                     backBuffer_->dc(), 0, 0, SRCCOPY);
        }
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        if (scrollBar_) {
            OnResize();
        }
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    default:
        return DefaultProc(message, wParam, lParam);
    }
}

} // namespace zelk
