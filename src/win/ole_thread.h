#pragma once

#include <windows.h>

namespace zelk {

class UiServices;

// OleInitialize / OleUninitialize on the calling thread for the object's life. Drag and drop
// (RegisterDragDrop, DoDragDrop) and the clipboard need OLE, not just COM: with only
// CoInitializeEx Windows answers E_OUTOFMEMORY (Wine lets it pass). Every thread that
// registers drop targets holds one for as long as its windows live: wWinMain does, and so
// does the test runner. A failure is logged through the services.
class OleThread {
public:
    explicit OleThread(UiServices& log);
    ~OleThread();
    OleThread(const OleThread&) = delete;
    OleThread& operator=(const OleThread&) = delete;

    [[nodiscard]] bool ok() const { return SUCCEEDED(result_); }
    [[nodiscard]] HRESULT Result() const { return result_; }

    // Whether an OleThread has OLE initialised on the calling thread. Windows offers no
    // question for it, so code that needs OLE asks this before calling into it.
    [[nodiscard]] static bool IsInitialisedHere();

private:
    HRESULT result_;
};

} // namespace zelk
