#include <windows.h>
#include <ole2.h>

#include "win/ole_thread.h"

#include <cwchar>
#include <string>

#include "win/ui_services.h"

namespace zelk {

namespace {

// OLE's own state is per thread; this mirrors it for the threads that went through here.
thread_local int t_oleDepth = 0;

} // namespace

OleThread::OleThread(UiServices& log) : result_(::OleInitialize(nullptr)) {
    if (SUCCEEDED(result_)) {
        ++t_oleDepth; // S_FALSE too: already initialised, and to be balanced all the same
        return;
    }
    wchar_t code[16];
    std::swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(result_));
    log.LogEvent(EVENTLOG_ERROR_TYPE, L"ZelkToolBars",
                 std::wstring(L"OleInitialize failed with ") + code +
                     L": drag and drop is off on this thread");
}

OleThread::~OleThread() {
    if (SUCCEEDED(result_)) {
        --t_oleDepth;
        ::OleUninitialize();
    }
}

bool OleThread::IsInitialisedHere() {
    return t_oleDepth > 0;
}

} // namespace zelk
