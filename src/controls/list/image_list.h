#pragma once

#include <windows.h>
#include <objidl.h>

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/colour.h"
#include "core/settings_rules.h"
#include "win/gdi.h"

namespace zelk {

class UiServices;

// A GDI handle whose kind (bitmap or icon) is asked of the platform.
struct GdiHandleSource {
    HANDLE handle;
};
// A file path, a web address or a "data:" address.
using ImageSource = std::variant<GdiHandleSource, std::wstring, std::vector<uint8_t>, IStream*>;

// Either a 1-based position or a key, as a keyed collection names its elements.
using ImageIndex = std::variant<long, std::wstring>;

// The images of one list, all normalised at insertion to the cell size in premultiplied
// 32-bit ARGB, so drawing a row only copies pixels through a colour matrix.
class ImageList {
public:
    // What goes wrong out of sight (a download worker that stops on an exception) is logged here.
    explicit ImageList(UiServices& log);
    ~ImageList();
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;

    void ImageListInitialize(int width, int height, double scale);
    int ImgListWidth() const { return cellWidth_; }
    int ImgListHeight() const { return cellHeight_; }
    void SetImagesRadius(int radius) { imagesRadius_ = radius; }
    void SetScale(double scale) { scale_ = scale; }

    // The new count, or 0 when the source gives no image (nothing is stored). A duplicate
    // key is the caller's error.
    [[nodiscard]] long ImageListAddImage(const ImageSource& SrcImg,
                                         const std::optional<std::wstring>& Key = {});
    [[nodiscard]] long ImageListInsertImage(const ImageSource& SrcImg,
                                            const std::optional<std::wstring>& Key,
                                            const std::optional<ImageIndex>& Before,
                                            const std::optional<ImageIndex>& After);
    long ImageListRemoveImage(const ImageIndex& Index);
    // Puts a new picture in place of the one at a position (its key stays); false when the
    // position is empty or the source gives no image.
    [[nodiscard]] bool ImageListReplaceImage(long position, const ImageSource& SrcImg);
    // An image made for this list's cell size, to add to many lists of the same size
    // without decoding and scaling it again.
    std::unique_ptr<Gdiplus::Bitmap> PrepareImage(const ImageSource& SrcImg) const {
        return MakeListImage(SrcImg);
    }
    [[nodiscard]] long
    ImageListAddPrepared(Gdiplus::Bitmap& cell); // GDI+'s accessors are not const
    void ImageListClear();
    long ImageListCount() const { return static_cast<long>(images_.size()); }
    bool ImageListDraw(HDC dc, long index, int x, int y, int width, int height,
                       std::optional<Colour> tint = std::nullopt, bool disabled = false) const;

    // The last error a keyed operation raised (duplicate key, unknown index).
    const std::optional<AppError>& LastError() const { return lastError_; }

    // Premultiplied BGRA pixels of one stored image, for checks and the shadow's tests.
    std::vector<uint32_t> Pixels(long index) const;

    // Web addresses are given this long before they count as unreachable.
    void SetDownloadTimeout(DWORD milliseconds) { downloadTimeoutMs_ = milliseconds; }

private:
    struct Entry {
        std::optional<std::wstring> key;
        std::unique_ptr<Gdiplus::Bitmap> bitmap;
    };
    std::unique_ptr<Gdiplus::Bitmap> MakeListImage(const ImageSource& source) const;
    std::unique_ptr<Gdiplus::Bitmap> FitIntoCell(Gdiplus::Bitmap& source) const;
    std::optional<size_t> Find(const ImageIndex& index) const;
    bool KeyTaken(const std::optional<std::wstring>& key);

    UiServices& log_;
    GdiplusSession gdiplus_;
    std::vector<Entry> images_;
    int cellWidth_ = 16, cellHeight_ = 16;
    int imagesRadius_ = 0;
    double scale_ = 1.0;
    DWORD downloadTimeoutMs_ = 10000;
    std::optional<AppError> lastError_;
};

// One web download, shared by the thread that waits and the worker that transfers.
struct DownloadJob {
    std::wstring url;
    DWORD timeoutMs = 0;
    std::atomic<bool> cancel{false}; // raised by the waiting thread at its deadline
    DWORD status = 0;                // the HTTP status; 0 when the transfer did not finish
    std::vector<uint8_t> body;
};
// The transfer, on the worker thread: a synchronous WinHTTP GET that owns its handles from
// start to end (no other thread ever closes or uses them), gives up on any step after the
// job's timeout and stops between steps once cancel is raised.
void WinHttpTransfer(DownloadJob& job);
using DownloadTransfer = void (*)(DownloadJob&);

// Image bytes from a web address: a GET run on a worker thread while the calling thread
// keeps dispatching its window messages, for at most about timeoutMs (twice that when the
// network does not honour its timeouts). nullopt for anything but status 200. What stops
// the worker (an exception included) is logged, never thrown.
[[nodiscard]] std::optional<std::vector<uint8_t>>
DownloadBytes(const std::wstring& url, DWORD timeoutMs, UiServices& log,
              DownloadTransfer transfer = &WinHttpTransfer);
std::optional<std::vector<uint8_t>> Base64ToBytes(const std::wstring& text);

} // namespace zelk
