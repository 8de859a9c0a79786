#pragma once

#include <windows.h>
#include <objidl.h>
#include <oleidl.h>

#include <functional>
#include <string>

#include "win/unique_handle.h"

namespace zelk {

class UiServices;

// Plain text (CF_UNICODETEXT) as an OLE data object, for drags that start in a list.
IDataObject* CreateTextDataObject(const std::wstring& text);
// The text a data object carries, empty when it has none.
std::wstring DataObjectText(IDataObject* data);

// Hands a window's drop notifications to callbacks, with client pixel coordinates.
// State: 0 enter, 1 leave, 2 over (as the forms toolkit numbers them). The methods are
// called by OLE: a callback that throws is logged through the services, the drop is refused
// (no effect) and the method answers E_UNEXPECTED.
class ListDropTarget final : public IDropTarget {
public:
    struct Callbacks {
        std::function<void(IDataObject*, DWORD& effect, int button, int shift, POINT client,
                           int state)>
            dragOver;
        std::function<void(IDataObject*, DWORD& effect, int button, int shift, POINT client)> drop;
    };
    ListDropTarget(HWND window, UiServices& log, Callbacks callbacks)
        : window_(window), log_(log), callbacks_(std::move(callbacks)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL pt,
                                        DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL pt, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL pt,
                                   DWORD* effect) override;

private:
    POINT Client(POINTL pt) const;
    template <class Body> HRESULT Guard(const wchar_t* method, DWORD* effect, Body&& body);
    HWND window_;
    UiServices& log_;
    Callbacks callbacks_;
    com_ptr<IDataObject> current_; // between DragEnter and DragLeave or Drop
    ULONG refs_ = 1;
};

// Starts a drag of text from the current thread; the resulting effect, or DROPEFFECT_NONE.
DWORD DragText(const std::wstring& text, DWORD allowedEffects);

// Button (1 left, 2 right, 4 middle) and shift state (1 Shift, 2 Ctrl, 4 Alt) from key flags.
int ButtonFromKeys(DWORD keys);
int ShiftFromKeys(DWORD keys);

} // namespace zelk
