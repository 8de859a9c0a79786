#include <windows.h>
#include <shellapi.h>

#include "app/menu_icons.h"

#include "app/ClsLink.h"
#include "controls/list/image_list.h"
#include "core/paths.h"
#include "core/text.h"
#include "win/file_io.h"

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

void MenuIcons::PrepareTypeOf(const std::wstring& path) {
    if (!HasOwnIcon(path)) {
        static_cast<void>(CachedTypeIcon(AsciiLower(ExtensionOf(path))));
    }
}

HICON MenuIcons::CachedTypeIcon(const std::wstring& extension) {
    auto& slot = byType_[extension];
    if (!slot) {
        ++shellCalls_;
        slot.reset(GetFileIcon(L"x." + extension, false, true));
    }
    return slot.get();
}

bool MenuIcons::AddPictureNow(ImageList& images, const std::wstring& path, bool isFolder) {
    HICON icon = nullptr;
    bool final = true;
    if (!isFolder && !HasOwnIcon(path) && FileExists(path)) {
        icon = CachedTypeIcon(AsciiLower(ExtensionOf(path)));
    } else {
        final = false; // its own picture: a shell call each, fetched once the list shows
    }
    if (icon == nullptr) {
        icon = isFolder ? folderFallback_ : fileFallback_;
    }
    AddShared(images, icon);
    return final;
}

void MenuIcons::AddShared(ImageList& images, HICON icon) {
    auto& cell = prepared_[{icon, images.ImgListWidth(), images.ImgListHeight()}];
    if (!cell) {
        cell = images.PrepareImage(GdiHandleSource{icon});
    }
    // A picture that cannot be made still takes its place, so row icons stay in step.
    if (!cell || images.ImageListAddPrepared(*cell) == 0) {
        static_cast<void>(images.ImageListAddImage(GdiHandleSource{fileFallback_}));
    }
}

void MenuIcons::ReplaceWithOwnPicture(ImageList& images, long position, const std::wstring& path) {
    const std::wstring target = link_.GetLinkTargetIfExe(path);
    if (target.empty()) {
        return; // gone since the build: the fallback stays
    }
    ++shellCalls_;
    unique_icon own(GetFileIcon(target, false, false));
    if (own) {
        // Refused, the row keeps the fallback picture it already shows.
        static_cast<void>(images.ImageListReplaceImage(position, GdiHandleSource{own.get()}));
    }
}

} // namespace zelk
