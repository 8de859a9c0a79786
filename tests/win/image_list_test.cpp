#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <new>
#include <stdexcept>
#include <thread>

#include "controls/list/image_list.h"
#include "test_support.h"

using namespace zelk;

namespace {

std::vector<uint8_t> EncodePng(Gdiplus::Bitmap& bitmap) {
    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<uint8_t> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, size, encoders);
    CLSID png{};
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(encoders[i].MimeType) == L"image/png") {
            png = encoders[i].Clsid;
        }
    }
    IStream* stream = ::SHCreateMemStream(nullptr, 0);
    bitmap.Save(stream, &png, nullptr);
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    std::vector<uint8_t> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
    LARGE_INTEGER zero{};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    ULONG read = 0;
    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    stream->Release();
    return bytes;
}

std::vector<uint8_t> SolidPng(int w, int h, Gdiplus::ARGB colour) {
    Gdiplus::Bitmap bitmap(w, h, PixelFormat32bppARGB);
    Gdiplus::Graphics g(&bitmap);
    g.Clear(Gdiplus::Color(colour));
    return EncodePng(bitmap);
}

std::wstring Base64(const std::vector<uint8_t>& bytes) {
    DWORD size = 0;
    ::CryptBinaryToStringW(bytes.data(), static_cast<DWORD>(bytes.size()),
                           CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF, nullptr, &size);
    std::wstring text(size, L'\0');
    ::CryptBinaryToStringW(bytes.data(), static_cast<DWORD>(bytes.size()),
                           CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF, text.data(), &size);
    text.resize(size);
    return text;
}

uint8_t Alpha(uint32_t p) {
    return static_cast<uint8_t>(p >> 24);
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
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
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
            std::string head;
            std::string body;
            if (line.find("GET /icon.png") == 0) {
                body.assign(body_.begin(), body_.end());
                head = "HTTP/1.0 200 OK\r\nContent-Type: image/png\r\n";
            } else {
                body = "missing";
                head = "HTTP/1.0 404 Not Found\r\n";
            }
            head +=
                "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
            const std::string reply = head + body;
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

TEST(ImageList, EverySourceKind) {
    TempFolder temp;
    RecordingUiServices services;
    ImageList list(services);
    list.ImageListInitialize(16, 16, 1.5); // cells of 24 × 24
    EXPECT_EQ(list.ImgListWidth(), 24);
    const auto png = SolidPng(8, 8, 0xFF00FF00);

    EXPECT_EQ(list.ImageListAddImage(png), 1);
    EXPECT_EQ(list.ImageListAddImage(L"data:image/png;base64," + Base64(png)), 2);
    EXPECT_EQ(list.ImageListAddImage(L"data:image/png;base64,"), 0);
    EXPECT_EQ(list.ImageListAddImage(L"data:no comma at all"), 0);
    WriteBytes(temp / L"icon.png", std::string(png.begin(), png.end()));
    EXPECT_EQ(list.ImageListAddImage(temp / L"icon.png"), 3);
    EXPECT_EQ(list.ImageListAddImage(temp / L"missing.png"), 0);
    EXPECT_EQ(list.ImageListAddImage(std::vector<uint8_t>{1, 2, 3}), 0);
    EXPECT_EQ(list.ImageListAddImage(std::vector<uint8_t>{}), 0);

    IStream* stream = ::SHCreateMemStream(png.data(), static_cast<UINT>(png.size()));
    EXPECT_EQ(list.ImageListAddImage(stream), 4);
    stream->Release();

    // An icon with an alpha channel keeps it.
    std::vector<uint32_t> argb(16 * 16, 0x800000FF);
    HBITMAP colour = ::CreateBitmap(16, 16, 1, 32, argb.data());
    HBITMAP mask = ::CreateBitmap(16, 16, 1, 1, std::vector<uint8_t>(32, 0).data());
    ICONINFO info{TRUE, 0, 0, mask, colour};
    HICON icon = ::CreateIconIndirect(&info);
    EXPECT_EQ(list.ImageListAddImage(GdiHandleSource{icon}), 5);
    EXPECT_EQ(Alpha(list.Pixels(5)[12 * 24 + 12]), 0x80);
    EXPECT_EQ(list.ImageListAddImage(GdiHandleSource{colour}), 6);
    ::DestroyIcon(icon);
    ::DeleteObject(colour);
    ::DeleteObject(mask);
    for (long i = 1; i <= 4; ++i) {
        EXPECT_EQ(list.Pixels(i)[12 * 24 + 12], 0xFF00FF00u) << i; // scaled up to fill
    }
    // A wide image is fitted and centred on a transparent cell.
    ASSERT_EQ(list.ImageListAddImage(SolidPng(16, 8, 0xFFFF0000)), 7);
    EXPECT_EQ(Alpha(list.Pixels(7)[2 * 24 + 12]), 0);
    EXPECT_EQ(list.Pixels(7)[12 * 24 + 2], 0xFFFF0000u);
    EXPECT_EQ(Alpha(list.Pixels(7)[21 * 24 + 12]), 0);
}

TEST(ImageList, RoundedImagesAreInsetAndOutlined) {
    RecordingUiServices services;
    ImageList list(services);
    list.ImageListInitialize(32, 32, 1.0);
    list.SetImagesRadius(12);
    ASSERT_EQ(list.ImageListAddImage(SolidPng(32, 32, 0xFF0000FF)), 1);
    const auto pixels = list.Pixels(1);
    EXPECT_EQ(Alpha(pixels[0]), 0);               // the cut corner
    EXPECT_EQ(pixels[16 * 32 + 16], 0xFF0000FFu); // the image itself
    const COLORREF face = ::GetSysColor(COLOR_3DFACE);
    const uint32_t outline =
        0xFF000000u | GetRValue(face) << 16 | GetGValue(face) << 8 | GetBValue(face);
    bool outlined = false;
    for (int x = 10; x < 22; ++x) {
        outlined = outlined || pixels[static_cast<size_t>(x)] == outline ||
                   pixels[static_cast<size_t>(32 + x)] == outline;
    }
    EXPECT_TRUE(outlined); // the 3D-face line along the top edge
}

TEST(ImageList, KeyedCollectionRules) {
    RecordingUiServices services;
    ImageList list(services);
    list.ImageListInitialize(4, 4, 1.0);
    const auto red = SolidPng(4, 4, 0xFFFF0000), green = SolidPng(4, 4, 0xFF00FF00),
               blue = SolidPng(4, 4, 0xFF0000FF);
    EXPECT_GT(list.ImageListAddImage(red, L"red"), 0);
    EXPECT_GT(list.ImageListAddImage(green, L"green"), 0);
    EXPECT_GT(list.ImageListAddImage(blue, L"blue"), 0);
    EXPECT_EQ(list.ImageListAddImage(red, L"GREEN"), 0);
    ASSERT_TRUE(list.LastError());
    EXPECT_EQ(list.LastError()->number, 457);
    EXPECT_EQ(list.ImageListCount(), 3);

    EXPECT_EQ(list.ImageListRemoveImage(1L), 2);
    EXPECT_EQ(list.Pixels(1)[0], 0xFF00FF00u); // the former second answers to 1
    EXPECT_EQ(list.ImageListRemoveImage(std::wstring(L"blue")), 1);
    EXPECT_EQ(list.ImageListRemoveImage(7L), 1);
    EXPECT_EQ(list.LastError()->number, 5);

    EXPECT_EQ(list.ImageListInsertImage(red, std::nullopt, ImageIndex(std::wstring(L"green")),
                                        std::nullopt),
              2);
    EXPECT_EQ(list.Pixels(1)[0], 0xFFFF0000u);
    EXPECT_EQ(list.ImageListInsertImage(blue, std::nullopt, std::nullopt, ImageIndex(1L)), 3);
    EXPECT_EQ(list.Pixels(2)[0], 0xFF0000FFu);
    list.ImageListInitialize(4, 4, 1.0);
    EXPECT_EQ(list.ImageListCount(), 0);
}

TEST(ImageList, DrawingPlainTintedAndGrey) {
    RecordingUiServices services;
    ImageList list(services);
    list.ImageListInitialize(8, 8, 1.0);
    EXPECT_GT(list.ImageListAddImage(SolidPng(8, 8, 0xFFC83214)), 0); // R 200, G 50, B 20
    DibSurface surface(24, 8);
    for (int i = 0; i < 24 * 8; ++i) {
        surface.pixels()[i] = 0xFFFFFFFF;
    }
    EXPECT_TRUE(list.ImageListDraw(surface.dc(), 1, 0, 0, 8, 8));
    EXPECT_TRUE(list.ImageListDraw(surface.dc(), 1, 8, 0, 8, 8, Colour{0xFF0000})); // blue tint
    EXPECT_TRUE(list.ImageListDraw(surface.dc(), 1, 16, 0, 8, 8, std::nullopt, true));
    EXPECT_FALSE(list.ImageListDraw(surface.dc(), 2, 0, 0, 8, 8));
    const auto rgb = [&](int x) { return surface.pixels()[4 * 24 + x] & 0xFFFFFF; };
    EXPECT_EQ(rgb(4), 0xC83214u);
    EXPECT_EQ(rgb(12), 0x0000FFu); // every pixel in the tint colour
    const uint32_t grey = rgb(20);
    const uint32_t level = static_cast<uint32_t>(0.299 * 200 + 0.587 * 50 + 0.114 * 20 + 0.5);
    EXPECT_NEAR(static_cast<int>(grey & 0xFF), static_cast<int>(level), 2);
    EXPECT_EQ(grey & 0xFF, (grey >> 8) & 0xFF);
    EXPECT_EQ(grey & 0xFF, (grey >> 16) & 0xFF);
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
    EXPECT_EQ(services.logs[0].type, EVENTLOG_ERROR_TYPE);
    EXPECT_EQ(services.logs[0].source, L"ImageList");
    EXPECT_NE(services.logs[0].text.find(L"decoder gave up"), std::wstring::npos);
    EXPECT_NE(services.logs[0].text.find(L"a.png"), std::wstring::npos);
    EXPECT_NE(services.logs[1].text.find(L"bad_alloc"), std::wstring::npos);
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
