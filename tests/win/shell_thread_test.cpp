#include <gtest/gtest.h>

#include <objbase.h>

#include <mutex>
#include <stdexcept>

#include "test_support.h"
#include "win/unique_handle.h"

using namespace zelk;

namespace {

// Called from the hand-over thread; tells the test when something was logged.
class ThreadSafeRecorder : public RecordingUiServices {
public:
    ThreadSafeRecorder() : logged_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
    void LogEvent(WORD type, const std::wstring& source, const std::wstring& text) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            RecordingUiServices::LogEvent(type, source, text);
        }
        ::SetEvent(logged_.get());
    }
    bool WaitForLog() { return ::WaitForSingleObject(logged_.get(), 5000) == WAIT_OBJECT_0; }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        logs.clear();
        ::ResetEvent(logged_.get());
    }
    std::vector<Log> Logs() {
        std::lock_guard<std::mutex> lock(mutex_);
        return logs;
    }

private:
    std::mutex mutex_;
    unique_handle<HandleTraits<HANDLE, ::CloseHandle>> logged_;
};

} // namespace

// The hand-over thread is a boundary: what its work throws is logged and the thread ends,
// instead of std::terminate taking the program down with it. Its work runs with COM in a
// single-threaded apartment, as ShellExecuteEx asks.
TEST(ShellThread, WorkThatThrowsIsLoggedAndTheProgramGoesOn) {
    // Outlive the detached thread whatever happens to the test.
    static ThreadSafeRecorder services;
    static APTTYPE type = APTTYPE_MTA;
    static HRESULT asked = E_FAIL;
    services.Clear();
    RunOnShellThread(services, [] {
        APTTYPEQUALIFIER qualifier{};
        asked = ::CoGetApartmentType(&type, &qualifier);
        throw std::runtime_error("shell extension failed");
    });
    ASSERT_TRUE(services.WaitForLog());
    const auto logs = services.Logs();
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_TRUE(logs[0].Is(EVENTLOG_ERROR_TYPE, L"",
                           {L"Shell hand-over thread", L"shell extension failed"}));
    EXPECT_EQ(asked, S_OK);
    EXPECT_TRUE(type == APTTYPE_STA || type == APTTYPE_MAINSTA) << type;
}
