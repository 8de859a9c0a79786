#include <windows.h>

#include "settings/toolbar_store.h"

#include "core/text.h"
#include "win/file_io.h"

namespace zelk {

ToolbarFileRead LoadToolbarFile(const std::wstring& path, const AnsiCodec& ansi) {
    ToolbarFileRead result;
    const FileRead file = ReadFileWhole(path, kMaxToolbarFileBytes);
    if (!file.bytes) {
        const bool missing =
            file.error == ERROR_FILE_NOT_FOUND || file.error == ERROR_PATH_NOT_FOUND;
        result.status = missing ? ToolbarFileStatus::Missing : ToolbarFileStatus::Unreadable;
        result.error = missing ? ERROR_SUCCESS : file.error;
        return result;
    }
    if (file.bytes->empty()) {
        result.status = ToolbarFileStatus::Missing;
        return result;
    }
    result.status = ToolbarFileStatus::Read;
    result.toolbars = ParseToolbarText(DecodeTextFile(*file.bytes, ansi));
    return result;
}

std::optional<std::vector<Toolbar>> ReadToolbarFile(const std::wstring& path,
                                                    const AnsiCodec& ansi) {
    ToolbarFileRead read = LoadToolbarFile(path, ansi);
    if (read.status != ToolbarFileStatus::Read) {
        return std::nullopt;
    }
    return std::move(read.toolbars);
}

std::wstring BackupPathOf(const std::wstring& path) {
    return path + L".bak";
}

DWORD WriteToolbarFile(const std::wstring& path, const std::vector<Toolbar>& toolbars,
                       const AnsiCodec& ansi, const std::function<void(SaveStep)>& onStep) {
    return WriteFileAtomically(path, EncodeTextFile(FormatToolbarText(toolbars), ansi),
                               BackupPathOf(path), onStep);
}

void RemoveLeftoverSave(const std::wstring& path) {
    ::DeleteFileW(SavingPathOf(path).c_str()); // nothing to do when there is none
}

} // namespace zelk
