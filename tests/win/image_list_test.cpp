#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <mutex>
#include <new>
#include <stdexcept>
#include <thread>

#include "controls/list/image_list.h"
#include "test_support.h"

using namespace zelk;

namespace {

// A PNG of one colour, encoded by GDI+'s own PNG encoder (its class id is fixed).
std::vector<uint8_t> SolidPng(int w, int h, Gdiplus::ARGB colour) {
    Gdiplus::Bitmap bitmap(w, h, PixelFormat32bppARGB);
    Gdiplus::Graphics(&bitmap).Clear(Gdiplus::Color(colour));
    const CLSID png = {
        0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
    IStream* stream = ::SHCreateMemStream(nullptr, 0);
    bitmap.Save(stream, &png, nullptr);
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    std::vector<uint8_t> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
    ULONG read = 0;
    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    stream->Release();
    return bytes;
}

// A one-thread HTTP server on 127.0.0.1 that answers each request with the given body for
// "/icon.png", 404 for anything else, and never answers "/hang".
class LoopbackServer {
public:
    explicit LoopbackServer(std::vector<uint8_t> body) : body_(std::move(body)) {
        WSADATA wsa;
        ::WSAStartup(MAKEWORD(2, 2), &wsa);
        listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        int length = sizeof(address);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        ::listen(listener_, 4);
        thread_ = std::thread([this] { Serve(); });
    }
    ~LoopbackServer() {
        stop_ = true;
        ::closesocket(listener_);
        thread_.join();
        for (SOCKET s : held_) {
            ::closesocket(s);
        }
        ::WSACleanup();
    }
    std::wstring Url(const std::wstring& path) const {
        return L"http://127.0.0.1:" + std::to_wstring(port_) + path;
    }

    // The request lines received so far ("GET /icon.png HTTP/1.1").
    std::vector<std::string> Requests() {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

private:
    void Serve() {
        while (!stop_) {
            SOCKET client = ::accept(listener_, nullptr, nullptr);
            if (client == INVALID_SOCKET) {
                return;
            }
            char request[2048] = {};
            ::recv(client, request, sizeof(request) - 1, 0);
            const std::string line(request);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                requests_.push_back(line.substr(0, line.find("\r\n")));
            }
            if (line.find("GET /hang") == 0) {
                held_.push_back(client); // never answered
                continue;
            }
            const bool found = line.starts_with("GET /icon.png");
            const std::string body = found ? std::string(body_.begin(), body_.end()) : "missing";
            const std::string reply = (found ? "HTTP/1.0 200 OK\r\nContent-Type: image/png\r\n"
                                             : "HTTP/1.0 404 Not Found\r\n") +
                                      ("Content-Length: " + std::to_string(body.size()) +
                                       "\r\nConnection: close\r\n\r\n" + body);
            ::send(client, reply.data(), static_cast<int>(reply.size()), 0);
            ::shutdown(client, SD_SEND);
            ::closesocket(client);
        }
    }

    std::vector<uint8_t> body_;
    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::vector<SOCKET> held_;
    std::mutex mutex_;
    std::vector<std::string> requests_;
};

} // namespace

// The program adds icons and bitmaps; every image is scaled to fill its cell, or fitted and
// centred on a transparent one.
TEST(ImageList, ImagesFillOrFitTheirCellAndIconsKeepTheirAlpha) {
    RecordingUiServices services;
    ImageList list(services);
    list.ImageListInitialize(16, 16, 1.5); // cells of 24 × 24
    EXPECT_EQ(list.ImgListWidth(), 24);
    EXPECT_EQ(list.ImageListAddImage(SolidPng(8, 8, 0xFF00FF00)), 1);
    EXPECT_EQ(list.ImageListAddImage(std::vector<uint8_t>{1, 2, 3}), 0);
    std::vector<uint32_t> argb(16 * 16, 0x800000FF);
    HBITMAP colour = ::CreateBitmap(16, 16, 1, 32, argb.data());
    HBITMAP mask = ::CreateBitmap(16, 16, 1, 1, std::vector<uint8_t>(32, 0).data());
    ICONINFO info{TRUE, 0, 0, mask, colour};
    HICON icon = ::CreateIconIndirect(&info);
    EXPECT_EQ(list.ImageListAddImage(GdiHandleSource{icon}), 2);
    EXPECT_EQ(list.ImageListAddImage(GdiHandleSource{colour}), 3);
    ::DestroyIcon(icon);
    ::DeleteObject(colour);
    ::DeleteObject(mask);
    ASSERT_EQ(list.ImageListAddImage(SolidPng(16, 8, 0xFFFF0000)), 4);
    EXPECT_EQ(std::tuple(list.Pixels(1)[12 * 24 + 12], list.Pixels(2)[12 * 24 + 12] >> 24,
                         list.Pixels(4)[2 * 24 + 12] >> 24, list.Pixels(4)[12 * 24 + 2],
                         list.Pixels(4)[21 * 24 + 12] >> 24),
              std::tuple(0xFF00FF00u, 0x80u, 0u, 0xFFFF0000u, 0u));
}

TEST(ImageList, DrawingPlainTintedAndGrey) {
    RecordingUiServices services;
    ImageList list(services);
    list.ImageListInitialize(8, 8, 1.0);
    EXPECT_GT(list.ImageListAddImage(SolidPng(8, 8, 0xFFC83214)), 0); // R 200, G 50, B 20
    DibSurface surface(24, 8);
    std::fill_n(surface.pixels(), 24 * 8, 0xFFFFFFFFu);
    EXPECT_TRUE(list.ImageListDraw(surface.dc(), 1, 0, 0, 8, 8));
    EXPECT_TRUE(list.ImageListDraw(surface.dc(), 1, 8, 0, 8, 8, Colour{0xFF0000})); // blue tint
    EXPECT_TRUE(list.ImageListDraw(surface.dc(), 1, 16, 0, 8, 8, std::nullopt, true));
    EXPECT_FALSE(list.ImageListDraw(surface.dc(), 2, 0, 0, 8, 8));
    const auto rgb = [&](int x) { return surface.pixels()[4 * 24 + x] & 0xFFFFFF; };
    EXPECT_EQ(rgb(4), 0xC83214u);
    EXPECT_EQ(rgb(12), 0x0000FFu); // every pixel in the tint colour
    const uint32_t grey = rgb(20);
    const uint32_t level =
        static_cast<uint32_t>(std::lround(0.299 * 200 + 0.587 * 50 + 0.114 * 20));
    EXPECT_NEAR(static_cast<int>(grey & 0xFF), static_cast<int>(level), 2);
    EXPECT_EQ(grey, (grey & 0xFF) * 0x010101u); // the same level in each channel
}

// After a timeout nobody but the worker may close its handles: on Windows a value closed
// twice may by then belong to another download. Every download, whatever its end, closes
// exactly its session, connection and request, each once and successfully, by the time the
// call returns.
TEST(ImageList, WebImagesComeFromALoopbackServerAndEachDownloadClosesItsOwnHandlesOnce) {
    LoopbackServer server(SolidPng(10, 10, 0xFF0000FF));
    RecordingUiServices services;
    ImageList list(services);
    list.ImageListInitialize(10, 10, 1.0);
    const struct {
        const char* name;
        std::wstring url;
        DWORD timeoutMs;
        long image;
    } cases[] = {
        {"found", server.Url(L"/icon.png?size=10&theme=dark"), 3000, 1},
        {"not found", server.Url(L"/missing.png"), 3000, 0},
        {"no answer, timed out", server.Url(L"/hang"), 300, 0},
        {"refused", L"http://127.0.0.1:1/refused.png", 3000, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const InternetHandleCloseCounts before = InternetHandleCloses();
        const DWORD start = ::GetTickCount();
        list.SetDownloadTimeout(c.timeoutMs);
        EXPECT_EQ(list.ImageListAddImage(c.url), c.image);
        EXPECT_LT(::GetTickCount() - start, 2500u); // bounded, not a hang
        const InternetHandleCloseCounts after = InternetHandleCloses();
        EXPECT_EQ(after.closed - before.closed, 3);
        EXPECT_EQ(after.failed, before.failed);
    }
    EXPECT_EQ(list.Pixels(1)[55], 0xFF0000FFu);
    EXPECT_EQ(server.Requests().front().substr(0, 35), "GET /icon.png?size=10&theme=dark HT");
    EXPECT_TRUE(services.logs.empty());
}

// The worker thread is a boundary: what it throws is logged and the caller just gets no
// image, instead of std::terminate ending the program.
TEST(ImageList, AWorkerThatThrowsIsLoggedAndTheProgramGoesOn) {
    RecordingUiServices services;
    const auto throwing = [](DownloadJob& job) {
        if (job.url.find(L"alloc") != std::wstring::npos) {
            throw std::bad_alloc();
        }
        throw std::runtime_error("decoder gave up");
    };
    EXPECT_FALSE(DownloadBytes(L"http://127.0.0.1/a.png", 1000, services, throwing));
    EXPECT_FALSE(DownloadBytes(L"http://127.0.0.1/alloc.png", 1000, services, throwing));
    ASSERT_EQ(services.logs.size(), 2u);
    EXPECT_TRUE(
        services.logs[0].Is(EVENTLOG_ERROR_TYPE, L"ImageList", {L"decoder gave up", L"a.png"}));
    EXPECT_TRUE(services.logs[1].Is(EVENTLOG_ERROR_TYPE, L"ImageList", {L"bad_alloc"}));
}

TEST(ImageList, NoGdiObjectLeaks) {
    RecordingUiServices services;
    ImageList list(services);
    const auto png = SolidPng(40, 20, 0xFF336699);
    DibSurface surface(64, 64);
    const long before = GdiObjects();
    ASSERT_GE(before, 0) << "the GDI handle table cannot be read";
    for (int fill = 0; fill < 100; ++fill) {
        list.ImageListInitialize(16, 16, 1.0);
        list.SetImagesRadius(fill % 2 ? 4 : 0);
        for (int i = 0; i < 5; ++i) {
            EXPECT_GT(list.ImageListAddImage(png), 0);
        }
    }
    for (int draw = 0; draw < 1000; ++draw) {
        list.ImageListDraw(surface.dc(), 1 + draw % 5, 0, 0, 16, 16,
                           draw % 3 ? std::optional<Colour>(0x00FF00) : std::nullopt, draw % 2);
    }
    EXPECT_EQ(GdiObjects(), before);
}
