#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <tuple>

#include "win/gdiplus_include.h"
#include <string>

#include "win/unique_handle.h"

namespace zelk {

class ClsLink;
class ImageList;

// The shell's small (or large) icon for a path; nullptr when the shell has none.
HICON GetFileIcon(const std::wstring& path, bool large, bool useAttributes);

// The pictures of menu entries. Icons that depend only on the file's type are asked of the
// shell once per extension; programs, shortcuts and icon files have their own.
class MenuIcons {
public:
    MenuIcons(const ClsLink& link, HICON folderFallback, HICON fileFallback)
        : link_(link), folderFallback_(folderFallback), fileFallback_(fileFallback) {}

    // Adds the picture of one entry to the image list (GetPicture). Pictures that take a
    // shell call of their own (programs, shortcuts, folders) get the fallback picture now and
    // false is returned: ReplaceWithOwnPicture puts the real one in later.
    [[nodiscard]] bool AddPictureNow(ImageList& images, const std::wstring& path, bool isFolder);
    void ReplaceWithOwnPicture(ImageList& images, long position, const std::wstring& path);
    size_t ShellCalls() const { return shellCalls_; }
    // Asks the shell now for the picture of files of this path's type, if it takes one of
    // its type, so that a first opening does not wait for it.
    void PrepareTypeOf(const std::wstring& path);

private:
    HICON CachedTypeIcon(const std::wstring& extension);
    // Adds a shared icon, made once per cell size.
    void AddShared(ImageList& images, HICON icon);

    const ClsLink& link_;
    HICON folderFallback_;
    HICON fileFallback_;
    std::map<std::wstring, unique_icon> byType_;
    std::map<std::tuple<HICON, int, int>, std::unique_ptr<Gdiplus::Bitmap>> prepared_;
    size_t shellCalls_ = 0;
};

// Extensions whose icon belongs to the file itself, not to its type.
bool HasOwnIcon(const std::wstring& path);

} // namespace zelk
