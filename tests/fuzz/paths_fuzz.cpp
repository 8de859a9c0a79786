#include "core/paths.h"
#include "core/text.h"
#include "fuzz_target.h"

using namespace zelk;

// Paths from the toolbar file and from folder listings, taken apart and built up.
ZELK_FUZZ_TARGET(paths) {
    const std::wstring path = Utf8ToWide(fuzz::Bytes(data, size));
    const std::wstring name = FileNameOf(path);
    FUZZ_CHECK(name.find(L'\\') == std::wstring::npos && path.ends_with(name));
    if (path.find(L'\\') != std::wstring::npos) {
        FUZZ_CHECK(FolderOf(path) + L"\\" + name == path);
    } else {
        FUZZ_CHECK(FolderOf(path).empty() && name == path);
    }
    const std::wstring base = BaseNameOf(path);
    const std::wstring extension = ExtensionOf(path);
    FUZZ_CHECK(name == base + (name.find(L'.') == std::wstring::npos ? L"" : L"." + extension));
    const std::wstring folder = AddBackslash(path);
    FUZZ_CHECK(folder.ends_with(L'\\'));
    FUZZ_CHECK(AddBackslash(folder) == folder);
    for (const std::wstring& prefix : FolderPrefixesToCreate(path)) {
        FUZZ_CHECK(path.starts_with(prefix));
    }
    return 0;
}
