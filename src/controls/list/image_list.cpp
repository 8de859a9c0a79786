#include "controls/list/image_list.h"

#include <shlwapi.h>
#include <wincrypt.h>
#include <winhttp.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "core/rounding.h"
#include "win/boundary.h"
#include "win/message_pump.h"
#include "win/ui_services.h"
#include "win/unique_handle.h"

namespace zelk {

namespace {

constexpr size_t kMaxDownloadBytes = 64u * 1024 * 1024;

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
    if (bytes.empty() || bytes.size() > kMaxDownloadBytes) {
        return nullptr;
    }
    const com_ptr<IStream> stream(
        ::SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size())));
    if (!stream) {
        return nullptr;
    }
    auto decoded = FromStream(stream.get());
    std::unique_ptr<Gdiplus::Bitmap> copy;
    if (decoded) {
        copy.reset(decoded->Clone(0, 0, static_cast<INT>(decoded->GetWidth()),
                                  static_cast<INT>(decoded->GetHeight()), PixelFormat32bppPARGB));
    }
    decoded.reset(); // before the stream it reads from
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

} // namespace

void WinHttpTransfer(DownloadJob& job) {
    // Pointers into the address itself, so no length limit but the address's own.
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof(parts);
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!::WinHttpCrackUrl(job.url.c_str(), 0, 0, &parts) || parts.lpszHostName == nullptr ||
        parts.dwHostNameLength == 0) {
        return;
    }
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring object = parts.lpszUrlPath != nullptr
                              ? std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength)
                              : std::wstring();
    if (parts.lpszExtraInfo != nullptr) {
        object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    }
    if (object.empty()) {
        object = L"/";
    }

    // Closed in reverse order (request, connection, session) as the scopes end.
    unique_hinternet session(::WinHttpOpen(L"ZelkToolBars/1.0", WINHTTP_ACCESS_TYPE_NO_PROXY,
                                           WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) {
        return;
    }
    // Every step (name resolution, connection, sending, each wait for data) gives up on its
    // own, so the worker ends without another thread closing its handles under it.
    const int limit =
        static_cast<int>(std::min<DWORD>(std::max<DWORD>(job.timeoutMs, 1), 0x7FFFFFFF));
    if (!::WinHttpSetTimeouts(session.get(), limit, limit, limit, limit)) {
        return;
    }
    unique_hinternet connection(::WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
    if (!connection || job.cancel) {
        return;
    }
    unique_hinternet request(
        ::WinHttpOpenRequest(connection.get(), L"GET", object.c_str(), nullptr, WINHTTP_NO_REFERER,
                             WINHTTP_DEFAULT_ACCEPT_TYPES,
                             parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0));
    if (!request) {
        return;
    }
    // The wait for the response headers has a limit of its own (90 s by default); a
    // refusal leaves the receive limit above in force.
    DWORD headersLimit = static_cast<DWORD>(limit);
    ::WinHttpSetOption(request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &headersLimit,
                       sizeof(headersLimit));
    if (job.cancel ||
        !::WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                              WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        job.cancel || !::WinHttpReceiveResponse(request.get(), nullptr)) {
        return;
    }
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!::WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                               WINHTTP_HEADER_NAME_BY_INDEX, &status, &size,
                               WINHTTP_NO_HEADER_INDEX)) {
        return;
    }
    std::vector<uint8_t> body;
    uint8_t chunk[16384];
    for (;;) {
        DWORD read = 0;
        if (job.cancel || !::WinHttpReadData(request.get(), chunk, sizeof(chunk), &read)) {
            return; // a cut-off body is no image
        }
        if (read == 0) {
            break;
        }
        if (body.size() + read > kMaxDownloadBytes) {
            return;
        }
        body.insert(body.end(), chunk, chunk + read);
    }
    job.body = std::move(body);
    job.status = status;
}

std::optional<std::vector<uint8_t>> DownloadBytes(const std::wstring& url, DWORD timeoutMs,
                                                  UiServices& log, DownloadTransfer transfer) {
    // Shared with the worker, which may outlive this call if the network ignores its limits.
    auto job = std::make_shared<DownloadJob>();
    auto escaped = std::make_shared<std::wstring>();
    auto done = std::make_shared<std::atomic<bool>>(false);
    job->url = url;
    job->timeoutMs = timeoutMs;
    std::thread worker;
    try {
        worker = std::thread([job, escaped, done, transfer] {
            // The thread's boundary: an exception must not reach std::terminate. It is kept
            // for the waiting thread to log, so only one thread talks to the services.
            try {
                transfer(*job);
            } catch (...) {
                try {
                    *escaped = DescribeCurrentException();
                } catch (...) {
                    *escaped = L"?";
                }
            }
            *done = true;
        });
    } catch (...) {
        LogEscapedException(log, L"ImageList", L"Starting the download of " + url);
        return std::nullopt;
    }
    const ULONGLONG start = ::GetTickCount64();
    const ULONGLONG deadline = start + timeoutMs;
    // Past the deadline the worker is asked to stop and given as long again to notice.
    const ULONGLONG lastResort = deadline + timeoutMs;
    while (!*done) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) {
            job->cancel = true;
        }
        if (now >= lastResort) {
            worker.detach(); // it owns its handles and its share of the job
            log.LogEvent(EVENTLOG_WARNING_TYPE, L"ImageList",
                         L"The download of " + url + L" did not stop in time; left to end alone");
            return std::nullopt;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        DoEvents();
    }
    worker.join();
    if (!escaped->empty()) {
        log.LogEvent(EVENTLOG_ERROR_TYPE, L"ImageList",
                     L"The download of " + url + L" stopped: " + *escaped);
        return std::nullopt;
    }
    if (job->status != 200) {
        return std::nullopt;
    }
    return std::move(job->body);
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

ImageList::ImageList(UiServices& log) : log_(log) {}
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
                if (auto bytes = DownloadBytes(*text, downloadTimeoutMs_, log_)) {
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
