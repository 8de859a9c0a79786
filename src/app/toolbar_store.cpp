#include <windows.h>

#include "app/toolbar_store.h"

#include "core/text.h"
#include "win/file_io.h"

namespace zelk {

std::optional<std::vector<Toolbar>> ReadToolbarFile(const std::wstring& path,
                                                    const AnsiCodec& ansi) {
    const auto bytes = ReadWholeFile(path, kMaxToolbarFileBytes);
    if (!bytes || bytes->empty()) {
        return std::nullopt;
    }
    return ParseToolbarText(DecodeTextFile(*bytes, ansi));
}

DWORD WriteToolbarFile(const std::wstring& path, const std::vector<Toolbar>& toolbars,
                       const AnsiCodec& ansi) {
    return WriteFileAtomically(path, EncodeTextFile(FormatToolbarText(toolbars), ansi));
}

} // namespace zelk
