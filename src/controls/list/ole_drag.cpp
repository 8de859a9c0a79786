#include "controls/list/ole_drag.h"

#include <shlobj.h>

#include <cstring>

#include "win/boundary.h"
#include "win/unique_handle.h"

namespace zelk {

namespace {

// IUnknown for a single-interface object that deletes itself with its last reference.
template <class Interface, const IID* Iid> class ComObject : public Interface {
public:
    virtual ~ComObject() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (riid == IID_IUnknown || riid == *Iid) {
            *object = static_cast<Interface*>(this);
            this->AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

private:
    ULONG refs_ = 1;
};

class TextDataObject final : public ComObject<IDataObject, &IID_IDataObject> {
public:
    explicit TextDataObject(std::wstring text) : text_(std::move(text)) {}

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (QueryGetData(format) != S_OK) {
            return DV_E_FORMATETC;
        }
        const size_t bytes = (text_.size() + 1) * sizeof(wchar_t);
        HGLOBAL global = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
        if (global == nullptr) {
            return E_OUTOFMEMORY;
        }
        std::memcpy(::GlobalLock(global), text_.c_str(), bytes);
        ::GlobalUnlock(global);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = global;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return format != nullptr && format->cfFormat == CF_UNICODETEXT &&
                       (format->tymed & TYMED_HGLOBAL)
                   ? S_OK
                   : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
        if (direction != DATADIR_GET) {
            return E_NOTIMPL;
        }
        FORMATETC format{CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        return ::SHCreateStdEnumFmtEtc(1, &format, out);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }

private:
    std::wstring text_;
};

class DropSource final : public ComObject<IDropSource, &IID_IDropSource> {
public:
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
        if (escape) {
            return DRAGDROP_S_CANCEL;
        }
        return (keys & (MK_LBUTTON | MK_RBUTTON)) ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

} // namespace

IDataObject* CreateTextDataObject(const std::wstring& text) {
    return new TextDataObject(text);
}

std::wstring DataObjectText(IDataObject* data) {
    if (data == nullptr) {
        return {};
    }
    FORMATETC format{CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (FAILED(data->GetData(&format, &medium))) {
        return {};
    }
    std::wstring text;
    if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(medium.hGlobal))) {
        const size_t limit = ::GlobalSize(medium.hGlobal) / sizeof(wchar_t);
        text.assign(chars, ::wcsnlen(chars, limit));
        ::GlobalUnlock(medium.hGlobal);
    }
    ::ReleaseStgMedium(&medium);
    return text;
}

int ButtonFromKeys(DWORD keys) {
    return ((keys & MK_LBUTTON) ? 1 : 0) | ((keys & MK_RBUTTON) ? 2 : 0) |
           ((keys & MK_MBUTTON) ? 4 : 0);
}

int ShiftFromKeys(DWORD keys) {
    return ((keys & MK_SHIFT) ? 1 : 0) | ((keys & MK_CONTROL) ? 2 : 0) | ((keys & MK_ALT) ? 4 : 0);
}

HRESULT ListDropTarget::QueryInterface(REFIID riid, void** object) {
    if (riid == IID_IUnknown || riid == IID_IDropTarget) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG ListDropTarget::Release() {
    const ULONG left = --refs_;
    if (left == 0) {
        delete this;
    }
    return left;
}

POINT ListDropTarget::Client(POINTL pt) const {
    POINT p{pt.x, pt.y};
    ::ScreenToClient(window_, &p);
    return p;
}

template <class Body>
HRESULT ListDropTarget::Guard(const wchar_t* method, DWORD* effect, Body&& body) {
    if (RunGuarded(log_, L"ucList", method, body)) {
        return S_OK;
    }
    if (effect != nullptr) {
        *effect = DROPEFFECT_NONE;
    }
    return E_UNEXPECTED;
}

HRESULT ListDropTarget::DragEnter(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) {
    if (effect == nullptr) {
        return E_INVALIDARG;
    }
    return Guard(L"IDropTarget::DragEnter", effect, [&] {
        current_ = com_ptr<IDataObject>::Borrowed(data);
        if (callbacks_.dragOver) {
            callbacks_.dragOver(data, *effect, ButtonFromKeys(keys), ShiftFromKeys(keys),
                                Client(pt), 0);
        }
    });
}

HRESULT ListDropTarget::DragOver(DWORD keys, POINTL pt, DWORD* effect) {
    if (effect == nullptr) {
        return E_INVALIDARG;
    }
    return Guard(L"IDropTarget::DragOver", effect, [&] {
        if (callbacks_.dragOver) {
            callbacks_.dragOver(current_.get(), *effect, ButtonFromKeys(keys), ShiftFromKeys(keys),
                                Client(pt), 2);
        }
    });
}

HRESULT ListDropTarget::DragLeave() {
    const HRESULT result = Guard(L"IDropTarget::DragLeave", nullptr, [&] {
        if (callbacks_.dragOver) {
            DWORD effect = DROPEFFECT_NONE;
            POINT cursor{};
            ::GetCursorPos(&cursor);
            ::ScreenToClient(window_, &cursor);
            callbacks_.dragOver(current_.get(), effect, 0, 0, cursor, 1);
        }
    });
    current_.reset();
    return result;
}

HRESULT ListDropTarget::Drop(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) {
    current_.reset();
    if (effect == nullptr) {
        return E_INVALIDARG;
    }
    return Guard(L"IDropTarget::Drop", effect, [&] {
        if (callbacks_.drop) {
            callbacks_.drop(data, *effect, ButtonFromKeys(keys), ShiftFromKeys(keys), Client(pt));
        }
    });
}

DWORD DragText(const std::wstring& text, DWORD allowedEffects) {
    const com_ptr<IDataObject> data(CreateTextDataObject(text));
    const com_ptr<IDropSource> source(new DropSource());
    DWORD effect = DROPEFFECT_NONE;
    if (::DoDragDrop(data.get(), source.get(), allowedEffects, &effect) != DRAGDROP_S_DROP) {
        effect = DROPEFFECT_NONE;
    }
    return effect;
}

} // namespace zelk
