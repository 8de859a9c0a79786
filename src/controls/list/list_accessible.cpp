#include "controls/list/list_accessible.h"

#include <new>
#include <string>

#include "controls/list/ucList.h"
#include "core/row_accessibility.h"
#include "win/boundary.h"
#include "win/unique_handle.h"

namespace zelk {

static_assert(kRoleMenuItem == ROLE_SYSTEM_MENUITEM && kRoleListItem == ROLE_SYSTEM_LISTITEM &&
              kRoleSeparator == ROLE_SYSTEM_SEPARATOR &&
              kRoleStaticText == ROLE_SYSTEM_STATICTEXT &&
              kRoleMenuPopup == ROLE_SYSTEM_MENUPOPUP && kRoleList == ROLE_SYSTEM_LIST);
static_assert(
    kStateUnavailable == STATE_SYSTEM_UNAVAILABLE && kStateSelected == STATE_SYSTEM_SELECTED &&
    kStateFocused == STATE_SYSTEM_FOCUSED && kStateChecked == STATE_SYSTEM_CHECKED &&
    kStateHotTracked == STATE_SYSTEM_HOTTRACKED && kStateInvisible == STATE_SYSTEM_INVISIBLE &&
    kStateOffscreen == STATE_SYSTEM_OFFSCREEN && kStateFocusable == STATE_SYSTEM_FOCUSABLE &&
    kStateSelectable == STATE_SYSTEM_SELECTABLE && kStateHasPopup == STATE_SYSTEM_HASPOPUP);

namespace {

std::wstring WindowText(HWND window) {
    const int length = window != nullptr ? ::GetWindowTextLengthW(window) : 0;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(
        static_cast<size_t>(length > 0 ? ::GetWindowTextW(window, text.data(), length + 1) : 0));
    return text;
}

HRESULT Text(const std::wstring& text, BSTR* out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = nullptr;
    if (text.empty()) {
        return S_FALSE;
    }
    *out = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT ChildOrEmpty(long child, VARIANT* out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    ::VariantInit(out);
    if (child < 0) {
        return S_FALSE;
    }
    out->vt = VT_I4;
    out->lVal = child;
    return S_OK;
}

} // namespace

// The COM face of one list. It points at the list only while the list's window lives.
class ListAccessible final : public IAccessible {
public:
    explicit ListAccessible(ucList& list) : list_(&list) {}
    void Disconnect() { list_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        // __uuidof rather than IID_IAccessible: MinGW's uuid and oleacc libraries both define
        // that one, and the link refuses the pair.
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(IAccessible)) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(::InterlockedIncrement(&refs_));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = ::InterlockedDecrement(&refs_);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // Readers use IAccessible directly; no type information is offered.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 0;
        return list_ != nullptr ? S_OK : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override {
        return list_ != nullptr ? E_NOTIMPL : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return list_ != nullptr ? E_NOTIMPL : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return list_ != nullptr ? E_NOTIMPL : CO_E_OBJNOTCONNECTED;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return Call([&](ucList& list) {
            if (parent == nullptr) {
                return E_POINTER;
            }
            *parent = nullptr;
            if (FAILED(::AccessibleObjectFromWindow(list.hwnd_, OBJID_WINDOW, IID_IDispatch,
                                                    reinterpret_cast<void**>(parent)))) {
                *parent = nullptr;
                return S_FALSE;
            }
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return Call([&](ucList& list) {
            if (count == nullptr) {
                return E_POINTER;
            }
            *count = list.model_.ListCount();
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return Call([&](ucList& list) {
            if (object == nullptr) {
                return E_POINTER;
            }
            *object = nullptr;
            // Rows are simple children: the list answers for them.
            return Row(list, child) >= 0 ? S_FALSE : E_INVALIDARG;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return Call([&](ucList& list) {
            const long row = Row(list, child);
            if (row == kInvalid) {
                return E_INVALIDARG;
            }
            return Text(row == kSelf ? ListName(list) : Describe(list, row).name, name);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return Call([&](ucList& list) {
            if (value != nullptr) {
                *value = nullptr;
            }
            return Row(list, child) == kInvalid ? E_INVALIDARG : DISP_E_MEMBERNOTFOUND;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return Call([&](ucList& list) {
            const long row = Row(list, child);
            if (row == kInvalid) {
                return E_INVALIDARG;
            }
            return Text(row == kSelf ? std::wstring() : list.model_.Item(row).SubText, description);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return Call([&](ucList& list) {
            const long row = Row(list, child);
            if (row == kInvalid || role == nullptr) {
                return E_INVALIDARG;
            }
            const bool menu = list.properties_.ListStyle == 2;
            return ChildOrEmpty(static_cast<long>(row == kSelf ? (menu ? kRoleMenuPopup : kRoleList)
                                                               : Describe(list, row).role),
                                role);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return Call([&](ucList& list) {
            const long row = Row(list, child);
            if (row == kInvalid || state == nullptr) {
                return E_INVALIDARG;
            }
            long bits = static_cast<long>(row == kSelf ? 0 : Describe(list, row).state);
            if (row == kSelf) {
                bits |= ::IsWindowVisible(list.hwnd_) ? 0 : STATE_SYSTEM_INVISIBLE;
                bits |= HasKeys(list) ? STATE_SYSTEM_FOCUSED : 0;
            }
            return ChildOrEmpty(bits, state);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override {
        return Call([&](ucList&) { return Text({}, help); });
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        return Call([&](ucList&) {
            if (file != nullptr) {
                *file = nullptr;
            }
            if (topic != nullptr) {
                *topic = 0;
            }
            return DISP_E_MEMBERNOTFOUND;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return Call([&](ucList& list) {
            const long row = Row(list, child);
            if (row == kInvalid) {
                return E_INVALIDARG;
            }
            return Text(row == kSelf ? std::wstring() : Describe(list, row).shortcut, shortcut);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        return Call([&](ucList& list) {
            const long row = list.model_.ListIndex();
            const bool onRow = row >= 0 && row < list.model_.ListCount();
            return ChildOrEmpty(!HasKeys(list) ? -1 : onRow ? row + 1 : CHILDID_SELF, focus);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        return Call([&](ucList& list) {
            const long row = list.model_.ListIndex();
            return ChildOrEmpty(row >= 0 && row < list.model_.ListCount() ? row + 1 : -1,
                                selection);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return Call([&](ucList& list) {
            const long row = Row(list, child);
            if (row == kInvalid) {
                return E_INVALIDARG;
            }
            const bool has = row != kSelf && Describe(list, row).hasDefaultAction;
            return Text(has ? L"Open" : L"", action);
        });
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return Call([&](ucList& list) {
            const long row = Row(list, child);
            if (row < 0 || !Describe(list, row).hasDefaultAction) {
                return E_INVALIDARG;
            }
            if ((flags & (SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION)) != 0) {
                list.SelectRow(row);
            }
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        return Call([&](ucList& list) {
            const long row = Row(list, child);
            if (row == kInvalid || !left || !top || !width || !height) {
                return E_INVALIDARG;
            }
            RECT r{};
            if (row == kSelf) {
                ::GetWindowRect(list.hwnd_, &r);
            } else {
                r = RowRect(list, row);
                ::MapWindowPoints(list.hwnd_, nullptr, reinterpret_cast<POINT*>(&r), 2);
            }
            *left = r.left;
            *top = r.top;
            *width = r.right - r.left;
            *height = r.bottom - r.top;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return Call([&](ucList& list) {
            const long from = Row(list, start);
            const long count = list.model_.ListCount();
            if (from == kInvalid || end == nullptr) {
                return E_INVALIDARG;
            }
            long row = -1, step = 1;
            switch (direction) {
            case NAVDIR_FIRSTCHILD:
            case NAVDIR_LASTCHILD:
                if (from != kSelf) {
                    return ChildOrEmpty(-1, end); // rows have no children
                }
                step = direction == NAVDIR_FIRSTCHILD ? 1 : -1;
                row = direction == NAVDIR_FIRSTCHILD ? 0 : count - 1;
                break;
            case NAVDIR_NEXT:
            case NAVDIR_DOWN:
            case NAVDIR_PREVIOUS:
            case NAVDIR_UP:
                if (from == kSelf) {
                    return ChildOrEmpty(-1, end); // the list's siblings are its window's
                }
                step = direction == NAVDIR_NEXT || direction == NAVDIR_DOWN ? 1 : -1;
                row = from + step;
                break;
            default:
                return ChildOrEmpty(-1, end);
            }
            // Rows the filter hides are passed over, as they are on the screen.
            while (row >= 0 && row < count && !list.model_.Item(row).Visible) {
                row += step;
            }
            return ChildOrEmpty(row >= 0 && row < count ? row + 1 : -1, end);
        });
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
        return Call([&](ucList& list) {
            POINT at{x, y};
            RECT window{};
            ::GetWindowRect(list.hwnd_, &window);
            if (!::PtInRect(&window, at)) {
                return ChildOrEmpty(-1, hit);
            }
            ::ScreenToClient(list.hwnd_, &at);
            for (long row = 0; row < static_cast<long>(list.paintedRows_.size()); ++row) {
                const PaintRect& r = list.paintedRows_[static_cast<size_t>(row)];
                if (at.x >= r.left && at.x < r.right && at.y >= r.top && at.y < r.bottom) {
                    return ChildOrEmpty(row + 1, hit);
                }
            }
            return ChildOrEmpty(CHILDID_SELF, hit);
        });
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return Call([&](ucList& list) {
            const long row = Row(list, child);
            if (row < 0 || !Describe(list, row).hasDefaultAction) {
                return row == kInvalid ? E_INVALIDARG : DISP_E_MEMBERNOTFOUND;
            }
            return ::PostMessageW(list.hwnd_, kAccessibleChooseMessage, static_cast<WPARAM>(row), 0)
                       ? S_OK
                       : HRESULT_FROM_WIN32(::GetLastError());
        });
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return Call(Unsupported); }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return Call(Unsupported); }

private:
    static constexpr long kSelf = -1, kInvalid = -2;
    static HRESULT Unsupported(ucList&) { return E_NOTIMPL; }

    // A call on a live list; nothing thrown crosses back into the reader.
    template <class Body> HRESULT Call(Body&& body) noexcept {
        if (list_ == nullptr || list_->hwnd_ == nullptr) {
            return CO_E_OBJNOTCONNECTED;
        }
        try {
            return body(*list_);
        } catch (...) {
            LogEscapedException(list_->services_, L"ucList", L"IAccessible");
            return E_FAIL;
        }
    }
    // The row a child id names, kSelf for the list, kInvalid for anything else.
    static long Row(const ucList& list, const VARIANT& child) {
        if (child.vt != VT_I4) {
            return kInvalid;
        }
        if (child.lVal == CHILDID_SELF) {
            return kSelf;
        }
        return child.lVal >= 1 && child.lVal <= list.model_.ListCount() ? child.lVal - 1 : kInvalid;
    }
    static bool HasKeys(const ucList& list) { return ListAccessibility::HasKeys(list); }
    static RowAccessibility Describe(const ucList& list, long row) {
        const bool painted = static_cast<size_t>(row) < list.paintedRows_.size() &&
                             list.paintedRows_[static_cast<size_t>(row)] != PaintRect{};
        return DescribeRow(list.model_, row,
                           {list.properties_.ListStyle == 2, list.properties_.MultiSelect,
                            HasKeys(list), painted});
    }
    // Where the row was drawn; a row scrolled out of view is where the flow of rows puts it.
    static RECT RowRect(const ucList& list, long row) {
        if (static_cast<size_t>(row) < list.paintedRows_.size()) {
            const PaintRect& r = list.paintedRows_[static_cast<size_t>(row)];
            if (r != PaintRect{}) {
                return {r.left, r.top, r.right, r.bottom};
            }
        }
        if (!list.model_.Item(row).Visible) {
            return {};
        }
        const RowGeometry geometry{list.scale_, list.properties_.ItemHeight, false, 0,
                                   static_cast<int>(list.ScrollValue())};
        const long top = list.model_.GetItemTop(row, geometry) - ListModel::HeaderHeight(geometry) +
                         list.headerHeight_;
        const int height =
            list.model_.Item(row).IsSeparator ? list.rowHeight_ / 2 : list.rowHeight_;
        return {0, top, list.ClientWidth(), top + height};
    }
    // What the row that opens the list says; a top menu is named after its form (the
    // program); a list in a form after its label.
    static std::wstring ListName(const ucList& list) {
        if (const ucList* parent = list.parentMenu_) {
            for (const ListItem& item : parent->model_.Items()) {
                if (item.SubMenu == &list) {
                    return ReadableCaption(item.Text);
                }
            }
        }
        if (std::wstring own = WindowText(list.hwnd_); !own.empty()) {
            return own;
        }
        if (list.IsPopup()) {
            return list.homeParent_ != nullptr
                       ? WindowText(::GetAncestor(list.homeParent_, GA_ROOT))
                       : std::wstring();
        }
        // As the system names a control: by the label just before it.
        wchar_t kind[16] = {};
        const HWND label = ::GetWindow(list.hwnd_, GW_HWNDPREV);
        return label != nullptr && ::GetClassNameW(label, kind, 16) > 0 &&
                       ::lstrcmpiW(kind, L"Static") == 0
                   ? ReadableCaption(WindowText(label))
                   : std::wstring();
    }

    ucList* list_;
    LONG refs_ = 1;
};

LRESULT ListAccessibility::Answer(HWND window, WPARAM wParam, LPARAM lParam) {
    if (static_cast<LONG>(lParam) != OBJID_CLIENT || closing_) {
        return ::DefWindowProcW(window, WM_GETOBJECT, wParam, lParam);
    }
    if (object_ == nullptr) {
        object_ = new (std::nothrow) ListAccessible(list_);
        if (object_ == nullptr) {
            return 0;
        }
    }
    return ::LresultFromObject(__uuidof(IAccessible), wParam, object_);
}

void ListAccessibility::Disconnect() {
    closing_ = true;
    if (ListAccessible* object = std::exchange(object_, nullptr)) {
        object->Disconnect();
        object->Release();
    }
    announced_ = -1;
}

bool ListAccessibility::HasKeys(const ucList& list) {
    if (list.IsPopup()) {
        return list.listVisible_ && PopupChain::ForThisThread().Frontmost() == &list;
    }
    const HWND focus = ::GetFocus();
    return focus != nullptr && (focus == list.hwnd_ || ::GetParent(focus) == list.hwnd_);
}

void ListAccessibility::AnnounceRow(HWND window) {
    const long row = list_.model_.ListIndex();
    if (row == announced_ || window == nullptr) {
        return;
    }
    announced_ = row;
    if (row < 0 || row >= list_.model_.ListCount()) {
        return;
    }
    if (HasKeys(list_)) {
        ::NotifyWinEvent(EVENT_OBJECT_FOCUS, window, OBJID_CLIENT, row + 1);
    }
    ::NotifyWinEvent(EVENT_OBJECT_SELECTION, window, OBJID_CLIENT, row + 1);
}

void ListAccessibility::AnnouncePopup(HWND window, bool shown) {
    if (window != nullptr) {
        ::NotifyWinEvent(shown ? EVENT_SYSTEM_MENUPOPUPSTART : EVENT_SYSTEM_MENUPOPUPEND, window,
                         OBJID_CLIENT, CHILDID_SELF);
    }
    if (!shown) {
        announced_ = -1; // the row is told again at the next opening
    }
}

void ListAccessibility::Choose(long row) {
    if (row < 0 || row >= list_.model_.ListCount() || !IsSelectable(list_.model_.Item(row)) ||
        (list_.IsPopup() && !list_.listVisible_)) {
        return;
    }
    list_.model_.SetListIndex(row);
    list_.HandleKey(VK_RETURN);
}

} // namespace zelk
