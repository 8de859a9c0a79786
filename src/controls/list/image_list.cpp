#include "controls/list/image_list.h"

#include <shlwapi.h>
#include <wincrypt.h>
#include <winhttp.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "core/rounding.h"
#include "win/message_pump.h"

namespace zelk {

namespace {

int Round(double v) {
    return static_cast<int>(RoundHalfEven(v));
}

std::unique_ptr<Gdiplus::Bitmap> FromStream(IStream* stream) {
    if (stream == nullptr) {
        return nullptr;
    }
    std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream));
    if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok) {
        return nullptr;
    }
    return bitmap;
}

// The stream is copied into the bitmap before it goes, so the bytes need not outlive it.
std::unique_ptr<Gdiplus::Bitmap> FromBytes(const std::vector<uint8_t>& bytes) {
    if (bytes.empty() || bytes.size() > 64u * 1024 * 1024) {
        return nullptr;
    }
    IStream* stream = ::SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size()));
    if (stream == nullptr) {
        return nullptr;
    }
    auto decoded = FromStream(stream);
    std::unique_ptr<Gdiplus::Bitmap> copy;
    if (decoded) {
        copy.reset(decoded->Clone(0, 0, static_cast<INT>(decoded->GetWidth()),
                                  static_cast<INT>(decoded->GetHeight()), PixelFormat32bppPARGB));
    }
    decoded.reset();
    stream->Release();
    return copy;
}

// Icons keep their alpha channel (GDI+'s own conversion drops it); icons without one get
// their transparency from the mask.
std::unique_ptr<Gdiplus::Bitmap> FromIcon(HICON icon) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) {
        return nullptr;
    }
    unique_hbitmap colour(info.hbmColor);
    unique_hbitmap mask(info.hbmMask);
    BITMAP bm{};
    if (!colour || !::GetObjectW(colour.get(), sizeof(bm), &bm) || bm.bmWidth <= 0 ||
        bm.bmHeight <= 0) {
        return nullptr;
    }
    const int w = bm.bmWidth, h = bm.bmHeight;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
    std::vector<uint32_t> maskPixels(pixels.size());
    WindowDC screen(nullptr);
    ::GetDIBits(screen.get(), colour.get(), 0, static_cast<UINT>(h), pixels.data(), &bi,
                DIB_RGB_COLORS);
    ::GetDIBits(screen.get(), mask.get(), 0, static_cast<UINT>(h), maskPixels.data(), &bi,
                DIB_RGB_COLORS);
    bool hasAlpha = false;
    for (uint32_t p : pixels) {
        hasAlpha = hasAlpha || (p >> 24) != 0;
    }
    if (!hasAlpha) {
        for (size_t i = 0; i < pixels.size(); ++i) {
            pixels[i] = (maskPixels[i] & 0xFFFFFF) ? 0 : (pixels[i] | 0xFF000000u);
        }
    }
    auto bitmap = std::make_unique<Gdiplus::Bitmap>(w, h, PixelFormat32bppARGB);
    Gdiplus::BitmapData data{};
    Gdiplus::Rect all(0, 0, w, h);
    if (bitmap->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data) !=
        Gdiplus::Ok) {
        return nullptr;
    }
    for (int y = 0; y < h; ++y) {
        std::memcpy(static_cast<uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride,
                    pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(w),
                    static_cast<size_t>(w) * 4);
    }
    bitmap->UnlockBits(&data);
    return bitmap;
}

void AddRoundPath(Gdiplus::GraphicsPath& path, int x, int y, int w, int h, int r) {
    path.AddArc(x, y, r, r, 180, 90);
    path.AddArc(x + w - r, y, r, r, 270, 90);
    path.AddArc(x + w - r, y + h - r, r, r, 0, 90);
    path.AddArc(x, y + h - r, r, r, 90, 90);
    path.CloseFigure();
}

struct Download {
    std::wstring url;
    std::atomic<HINTERNET> request{nullptr};
    std::atomic<bool> done{false};
    DWORD status = 0;
    std::vector<uint8_t> body;
};

void RunDownload(Download& d) {
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof(parts);
    wchar_t host[256] = {}, path[2048] = {};
    parts.lpszHostName = host;
    parts.dwHostNameLength = 256;
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = 2048;
    if (!::WinHttpCrackUrl(d.url.c_str(), 0, 0, &parts)) {
        d.done = true;
        return;
    }
    HINTERNET session = ::WinHttpOpen(L"ZelkToolBars/1.0", WINHTTP_ACCESS_TYPE_NO_PROXY,
                                      WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    HINTERNET connection = session ? ::WinHttpConnect(session, host, parts.nPort, 0) : nullptr;
    HINTERNET request =
        connection
            ? ::WinHttpOpenRequest(connection, L"GET", path, nullptr, WINHTTP_NO_REFERER,
                                   WINHTTP_DEFAULT_ACCEPT_TYPES,
                                   parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0)
            : nullptr;
    d.request = request;
    if (request &&
        ::WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0,
                             0, 0) &&
        ::WinHttpReceiveResponse(request, nullptr)) {
        DWORD size = sizeof(d.status);
        ::WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                              WINHTTP_HEADER_NAME_BY_INDEX, &d.status, &size,
                              WINHTTP_NO_HEADER_INDEX);
        uint8_t chunk[16384];
        DWORD read = 0;
        while (d.body.size() < 64u * 1024 * 1024 &&
               ::WinHttpReadData(request, chunk, sizeof(chunk), &read) && read > 0) {
            d.body.insert(d.body.end(), chunk, chunk + read);
        }
    }
    d.request = nullptr;
    if (request) {
        ::WinHttpCloseHandle(request);
    }
    if (connection) {
        ::WinHttpCloseHandle(connection);
    }
    if (session) {
        ::WinHttpCloseHandle(session);
    }
    d.done = true;
}

} // namespace

uint32_t RGBtoARGB(uint32_t colour, int opacityPercent) {
    const int opacity = std::clamp(opacityPercent, -100, 100);
    return zelk::RGBtoARGB(colour, opacity, [](int index) { return ::GetSysColor(index); })
        .value_or(0);
}

std::optional<std::vector<uint8_t>> DownloadBytes(const std::wstring& url, DWORD timeoutMs) {
    auto d = std::make_shared<Download>();
    d->url = url;
    std::thread worker([d] { RunDownload(*d); });
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (!d->done && ::GetTickCount64() < deadline) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        DoEvents();
    }
    if (!d->done) {
        // Closing the request ends a blocked call on the worker at once.
        if (HINTERNET request = d->request.exchange(nullptr)) {
            ::WinHttpCloseHandle(request);
        }
        worker.detach(); // it owns a share of the state and finishes on its own
        return std::nullopt;
    }
    worker.join();
    if (d->status != 200) {
        return std::nullopt;
    }
    return std::move(d->body);
}

std::optional<std::vector<uint8_t>> Base64ToBytes(const std::wstring& text) {
    DWORD size = 0;
    if (text.empty() || text.size() > 0x7FFFFFFF ||
        !::CryptStringToBinaryW(text.c_str(), static_cast<DWORD>(text.size()), CRYPT_STRING_BASE64,
                                nullptr, &size, nullptr, nullptr) ||
        size == 0) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes(size);
    if (!::CryptStringToBinaryW(text.c_str(), static_cast<DWORD>(text.size()), CRYPT_STRING_BASE64,
                                bytes.data(), &size, nullptr, nullptr)) {
        return std::nullopt;
    }
    bytes.resize(size);
    return bytes;
}

ImageList::ImageList() = default;
ImageList::~ImageList() {
    ImageListClear();
}

void ImageList::ImageListInitialize(int width, int height, double scale) {
    scale_ = scale;
    cellWidth_ = Round(width * scale);
    cellHeight_ = Round(height * scale);
    ImageListClear();
}

void ImageList::ImageListClear() {
    images_.clear();
}

std::unique_ptr<Gdiplus::Bitmap> ImageList::MakeListImage(const ImageSource& source) const {
    std::unique_ptr<Gdiplus::Bitmap> image;
    if (const auto* handle = std::get_if<GdiHandleSource>(&source)) {
        if (::GetObjectType(handle->handle) == OBJ_BITMAP) {
            image.reset(
                Gdiplus::Bitmap::FromHBITMAP(static_cast<HBITMAP>(handle->handle), nullptr));
        } else {
            image = FromIcon(static_cast<HICON>(handle->handle));
        }
    } else if (const auto* text = std::get_if<std::wstring>(&source)) {
        if (::PathIsURLW(text->c_str())) {
            if (::_wcsnicmp(text->c_str(), L"data:", 5) != 0) {
                if (auto bytes = DownloadBytes(*text, downloadTimeoutMs_)) {
                    image = FromBytes(*bytes);
                }
            } else {
                const auto comma = text->find(L',');
                std::wstring payload =
                    comma == std::wstring::npos ? std::wstring() : text->substr(comma + 1);
                payload = payload.substr(0, payload.find(L','));
                if (auto bytes = Base64ToBytes(payload)) {
                    image = FromBytes(*bytes);
                }
            }
        } else if (!text->empty()) {
            std::unique_ptr<Gdiplus::Bitmap> file(Gdiplus::Bitmap::FromFile(text->c_str()));
            if (file && file->GetLastStatus() == Gdiplus::Ok) {
                image = std::move(file);
            }
        }
    } else if (const auto* bytes = std::get_if<std::vector<uint8_t>>(&source)) {
        image = FromBytes(*bytes);
    } else if (const auto* stream = std::get_if<IStream*>(&source)) {
        image = FromStream(*stream);
    }
    if (!image || image->GetLastStatus() != Gdiplus::Ok || image->GetWidth() == 0 ||
        image->GetHeight() == 0) {
        return nullptr;
    }
    return FitIntoCell(*image);
}

std::unique_ptr<Gdiplus::Bitmap> ImageList::FitIntoCell(Gdiplus::Bitmap& source) const {
    const int w0 = static_cast<int>(source.GetWidth());
    const int h0 = static_cast<int>(source.GetHeight());
    const int cw = cellWidth_ == 0 ? w0 : cellWidth_;
    const int ch = cellHeight_ == 0 ? h0 : cellHeight_;
    const FittedImage fit = FitImageInCell(w0, h0, cw, ch);
    auto cell = std::make_unique<Gdiplus::Bitmap>(cw, ch, PixelFormat32bppPARGB);
    Gdiplus::Graphics g(cell.get());
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    if (imagesRadius_ > 0) {
        const int r = Round(scale_ * imagesRadius_);
        const int x = Round(scale_ + fit.x), y = Round(scale_ + fit.y);
        const int w = Round(fit.width - 2 * scale_), h = Round(fit.height - 2 * scale_);
        Gdiplus::GraphicsPath path;
        AddRoundPath(path, x, y, w, h, r);
        g.SetClip(&path, Gdiplus::CombineModeIntersect);
        g.DrawImage(&source, Gdiplus::Rect(x, y, w, h), 0, 0, w0, h0, Gdiplus::UnitPixel);
        g.ResetClip();
        Gdiplus::Pen pen(Gdiplus::Color(RGBtoARGB(0x8000000F, 100)),
                         static_cast<Gdiplus::REAL>(scale_));
        g.DrawPath(&pen, &path);
    } else {
        g.DrawImage(&source, Gdiplus::Rect(fit.x, fit.y, fit.width, fit.height), 0, 0, w0, h0,
                    Gdiplus::UnitPixel);
    }
    return cell;
}

bool ImageList::KeyTaken(const std::optional<std::wstring>& key) {
    if (key && Find(*key)) {
        lastError_ = AppError{457, L"ImageList",
                              L"This key is already associated with an element of this collection"};
        return true;
    }
    return false;
}

long ImageList::ImageListAddImage(const ImageSource& SrcImg,
                                  const std::optional<std::wstring>& Key) {
    return ImageListInsertImage(SrcImg, Key, std::nullopt, std::nullopt);
}

long ImageList::ImageListInsertImage(const ImageSource& SrcImg,
                                     const std::optional<std::wstring>& Key,
                                     const std::optional<ImageIndex>& Before,
                                     const std::optional<ImageIndex>& After) {
    lastError_.reset();
    size_t at = images_.size();
    if (Before || After) {
        const auto found = Find(Before ? *Before : *After);
        if (!found) {
            lastError_ = AppError{5, L"ImageList", L"Invalid procedure call or argument"};
            return 0;
        }
        at = Before ? *found : *found + 1;
    }
    if (KeyTaken(Key)) {
        return 0;
    }
    auto image = MakeListImage(SrcImg);
    if (!image) {
        return 0;
    }
    images_.insert(images_.begin() + static_cast<ptrdiff_t>(at), Entry{Key, std::move(image)});
    return ImageListCount();
}

long ImageList::ImageListRemoveImage(const ImageIndex& Index) {
    lastError_.reset();
    const auto found = Find(Index);
    if (!found) {
        lastError_ = AppError{5, L"ImageList", L"Invalid procedure call or argument"};
        return ImageListCount();
    }
    images_.erase(images_.begin() + static_cast<ptrdiff_t>(*found));
    return ImageListCount();
}

long ImageList::ImageListAddPrepared(Gdiplus::Bitmap& cell) {
    std::unique_ptr<Gdiplus::Bitmap> copy(cell.Clone(0, 0, static_cast<INT>(cell.GetWidth()),
                                                     static_cast<INT>(cell.GetHeight()),
                                                     PixelFormat32bppPARGB));
    if (!copy || copy->GetLastStatus() != Gdiplus::Ok) {
        return 0;
    }
    images_.push_back({std::nullopt, std::move(copy)});
    return ImageListCount();
}

bool ImageList::ImageListReplaceImage(long position, const ImageSource& SrcImg) {
    const auto found = Find(position);
    if (!found) {
        return false;
    }
    auto image = MakeListImage(SrcImg);
    if (!image) {
        return false;
    }
    images_[*found].bitmap = std::move(image);
    return true;
}

std::optional<size_t> ImageList::Find(const ImageIndex& index) const {
    if (const auto* position = std::get_if<long>(&index)) {
        if (*position >= 1 && *position <= ImageListCount()) {
            return static_cast<size_t>(*position - 1);
        }
        return std::nullopt;
    }
    const auto& key = std::get<std::wstring>(index);
    for (size_t i = 0; i < images_.size(); ++i) {
        if (images_[i].key && ::_wcsicmp(images_[i].key->c_str(), key.c_str()) == 0) {
            return i;
        }
    }
    return std::nullopt;
}

bool ImageList::ImageListDraw(HDC dc, long index, int x, int y, int width, int height,
                              std::optional<Colour> tint, bool disabled) const {
    const auto found = Find(index);
    if (!found) {
        return false;
    }
    const std::optional<Colour> resolvedTint =
        tint ? std::optional<Colour>(ResolveSystemColour(*tint)) : std::nullopt;
    const ColourMatrix m = ImageColourMatrix(resolvedTint, disabled);
    Gdiplus::ColorMatrix matrix{};
    for (size_t r = 0; r < 5; ++r) {
        for (size_t c = 0; c < 5; ++c) {
            matrix.m[r][c] = m[r][c];
        }
    }
    Gdiplus::ImageAttributes attributes;
    attributes.SetColorMatrix(&matrix);
    Gdiplus::Graphics g(dc);
    return g.DrawImage(images_[*found].bitmap.get(), Gdiplus::Rect(x, y, width, height), 0, 0,
                       width, height, Gdiplus::UnitPixel, &attributes) == Gdiplus::Ok;
}

std::vector<uint32_t> ImageList::Pixels(long index) const {
    const auto found = Find(index);
    if (!found) {
        return {};
    }
    Gdiplus::Bitmap& bitmap = *images_[*found].bitmap;
    const int w = static_cast<int>(bitmap.GetWidth()), h = static_cast<int>(bitmap.GetHeight());
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
    Gdiplus::BitmapData data{};
    data.Width = static_cast<UINT>(w);
    data.Height = static_cast<UINT>(h);
    data.Stride = w * 4;
    data.PixelFormat = PixelFormat32bppPARGB;
    data.Scan0 = pixels.data();
    Gdiplus::Rect all(0, 0, w, h);
    if (bitmap.LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                        PixelFormat32bppPARGB, &data) == Gdiplus::Ok) {
        bitmap.UnlockBits(&data);
    }
    return pixels;
}

} // namespace zelk
