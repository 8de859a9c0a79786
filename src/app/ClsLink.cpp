#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include "app/ClsLink.h"

#include "core/text.h"
#include "win/file_io.h"

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
    IShellLinkW* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&link)))) {
        return {};
    }
    std::wstring target;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        if (SUCCEEDED(file->Load(LinkPath.c_str(), STGM_READ))) {
            wchar_t path[32768] = {};
            if (SUCCEEDED(link->GetPath(path, 32768, nullptr, SLGP_RAWPATH))) {
                target = path;
            }
        }
        file->Release();
    }
    link->Release();
    return target;
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
