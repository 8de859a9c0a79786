#include <windows.h>
#include <shellapi.h>

#include "app/menu_icons.h"

#include "app/ClsLink.h"
#include "controls/list/image_list.h"
#include "core/paths.h"
#include "core/text.h"

namespace zelk {

HICON GetFileIcon(const std::wstring& path, bool large, bool useAttributes) {
    std::wstring target = path;
    if (target.empty() && useAttributes) {
        target = L"x";
    }
    UINT flags = SHGFI_ICON | (large ? 0 : SHGFI_SMALLICON);
    if (useAttributes) {
        flags |= SHGFI_USEFILEATTRIBUTES;
    }
    SHFILEINFOW info{};
    if (::SHGetFileInfoW(target.c_str(), useAttributes ? FILE_ATTRIBUTE_NORMAL : 0, &info,
                         sizeof(info), flags) == 0) {
        return nullptr;
    }
    return info.hIcon;
}

bool HasOwnIcon(const std::wstring& path) {
    const std::wstring e = AsciiLower(ExtensionOf(path));
    return e == L"exe" || e == L"lnk" || e == L"ico" || e == L"cur" || e == L"ani" || e == L"url" ||
           e == L"msc" || e == L"scr" || e == L"cpl";
}

HICON MenuIcons::CachedTypeIcon(const std::wstring& extension) {
    auto& slot = byType_[extension];
    if (!slot) {
        ++shellCalls_;
        slot.reset(GetFileIcon(L"x." + extension, false, true));
    }
    return slot.get();
}

void MenuIcons::AddPicture(ImageList& images, const std::wstring& path, bool isFolder) {
    const std::wstring target = link_.GetLinkTargetIfExe(path);
    HICON icon = nullptr;
    unique_icon own;
    if (!target.empty()) {
        if (!isFolder && !HasOwnIcon(target)) {
            icon = CachedTypeIcon(AsciiLower(ExtensionOf(target)));
        } else {
            ++shellCalls_;
            own.reset(GetFileIcon(target, false, false));
            icon = own.get();
        }
    }
    if (icon == nullptr) {
        icon = isFolder ? folderFallback_ : fileFallback_;
    }
    // A picture that cannot be made still takes its place, so row icons stay in step.
    if (images.ImageListAddImage(GdiHandleSource{icon}) == 0) {
        images.ImageListAddImage(GdiHandleSource{isFolder ? folderFallback_ : fileFallback_});
    }
}

} // namespace zelk
