// Drag and drop passed through from the list window to its host.
#include "controls/list/ucList.h"

namespace zelk {

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
    if (properties_.OLEDropMode == 1 && dropTarget_ == nullptr) {
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
        dropTarget_ = new ListDropTarget(hwnd_, std::move(callbacks));
        ::RegisterDragDrop(hwnd_, dropTarget_);
    } else if (properties_.OLEDropMode != 1 && dropTarget_ != nullptr) {
        ::RevokeDragDrop(hwnd_);
        dropTarget_->Release();
        dropTarget_ = nullptr;
    }
}

void ucList::OLEDrag() {
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
