#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include "app/ClsLink.h"

#include <cwchar>

#include "core/text.h"
#include "win/file_io.h"
#include "win/unique_handle.h"

namespace zelk {

namespace {

bool EndsWithIgnoringCase(const std::wstring& text, const wchar_t* suffix) {
    const std::wstring end(suffix);
    return text.size() >= end.size() &&
           EqualsIgnoreCase(std::wstring_view(text).substr(text.size() - end.size()), end);
}

} // namespace

ClsLink::ClsLink() {
    const HRESULT hr = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    comStarted_ = SUCCEEDED(hr);
}

ClsLink::~ClsLink() {
    if (comStarted_) {
        ::CoUninitialize();
    }
}

std::wstring ClsLink::GetLinkTarget(const std::wstring& LinkPath) const {
    if (!FileExists(LinkPath) || !EndsWithIgnoringCase(LinkPath, L".lnk")) {
        return {};
    }
    com_ptr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  link.put_void()))) {
        return {};
    }
    com_ptr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void())) ||
        FAILED(file->Load(LinkPath.c_str(), STGM_READ))) {
        return {};
    }
    // The raw target is what the shortcut stores: start-menu shortcuts often keep it as
    // "%ProgramFiles%\..." or "%windir%\...", to be expanded on this machine, as the shell
    // does when it opens them. Without the raw flag Windows answers from the stored item
    // list instead, which may describe another machine's folders.
    std::wstring raw(32768, L'\0');
    if (link->GetPath(raw.data(), static_cast<int>(raw.size()), nullptr, SLGP_RAWPATH) != S_OK) {
        return {}; // S_FALSE: no path (a shortcut to a virtual item)
    }
    raw.resize(::wcsnlen(raw.c_str(), raw.size()));
    return ExpandEnvironment(raw).value_or(std::wstring());
}

std::wstring ClsLink::GetLinkTargetIfExe(const std::wstring& LinkPath) const {
    if (!FileExists(LinkPath)) {
        return {};
    }
    if (EndsWithIgnoringCase(LinkPath, L".lnk")) {
        const std::wstring target = GetLinkTarget(LinkPath);
        return EndsWithIgnoringCase(target, L".exe") ? target : LinkPath;
    }
    return LinkPath;
}

} // namespace zelk
