// Drag and drop passed through from the list window to its host.
#include "controls/list/ucList.h"

#include <cwchar>

#include "win/ole_thread.h"
#include "win/ui_services.h"

namespace zelk {

namespace {

std::wstring Hex(HRESULT value) {
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(value));
    return text;
}

} // namespace

std::optional<AppError> ucList::SetOLEDropMode(long mode) {
    if (auto error = zelk::SetOLEDropMode(properties_, mode)) {
        return error;
    }
    UpdateDropRegistration();
    return std::nullopt;
}

void ucList::UpdateDropRegistration() {
    if (hwnd_ == nullptr) {
        return;
    }
    if (properties_.OLEDropMode == 1 && !dropTarget_) {
        // Windows refuses RegisterDragDrop (E_OUTOFMEMORY) on a thread without OleInitialize,
        // CoInitializeEx or not; say so plainly instead of relying on that answer.
        if (!OleThread::IsInitialisedHere()) {
            services_.LogEvent(EVENTLOG_ERROR_TYPE, L"ucList",
                               L"RegisterDragDrop skipped: OLE is not initialised on this "
                               L"thread (OleInitialize); the list takes no drops");
            return;
        }
        ListDropTarget::Callbacks callbacks;
        callbacks.dragOver = [this](IDataObject* data, DWORD& effect, int button, int shift,
                                    POINT client, int state) {
            if (!OLEDragOver) {
                return;
            }
            long e = static_cast<long>(effect);
            float x = static_cast<float>(client.x), y = static_cast<float>(client.y);
            OLEDragOver(data, e, button, shift, x, y, state);
            effect = static_cast<DWORD>(e);
        };
        callbacks.drop = [this](IDataObject* data, DWORD& effect, int button, int shift,
                                POINT client) {
            if (!OLEDragDrop) {
                return;
            }
            long e = static_cast<long>(effect);
            float x = static_cast<float>(client.x), y = static_cast<float>(client.y);
            OLEDragDrop(data, e, button, shift, x, y);
            effect = static_cast<DWORD>(e);
        };
        com_ptr<ListDropTarget> target(new ListDropTarget(hwnd_, services_, std::move(callbacks)));
        const HRESULT registered = ::RegisterDragDrop(hwnd_, target.get());
        if (FAILED(registered)) {
            services_.LogEvent(EVENTLOG_ERROR_TYPE, L"ucList",
                               L"RegisterDragDrop failed with " + Hex(registered) +
                                   L"; the list takes no drops");
            return;
        }
        dropTarget_ = std::move(target); // OLE holds a reference of its own until revoked
    } else if (properties_.OLEDropMode != 1 && dropTarget_) {
        const HRESULT revoked = ::RevokeDragDrop(hwnd_);
        if (FAILED(revoked)) {
            services_.LogEvent(EVENTLOG_WARNING_TYPE, L"ucList",
                               L"RevokeDragDrop failed with " + Hex(revoked));
        }
        dropTarget_.reset();
    }
}

void ucList::OLEDrag() {
    if (!OleThread::IsInitialisedHere()) {
        services_.LogEvent(EVENTLOG_ERROR_TYPE, L"ucList",
                           L"DoDragDrop skipped: OLE is not initialised on this thread");
        return;
    }
    std::wstring text;
    long allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    if (OLEStartDrag) {
        OLEStartDrag(text, allowed);
    }
    if (text.empty()) {
        return;
    }
    long effect = static_cast<long>(DragText(text, static_cast<DWORD>(allowed)));
    if (OLECompleteDrag) {
        OLECompleteDrag(effect);
    }
}

} // namespace zelk
