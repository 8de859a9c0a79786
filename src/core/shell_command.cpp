#include "core/shell_command.h"

#include "core/paths.h"
#include "core/text.h"

namespace zelk {

ShellCommand SplitShellItem(std::wstring_view item,
                            const std::function<bool(std::wstring_view)>& pathExists) {
    ShellCommand command{std::wstring(item), {}, {}};
    const std::wstring lower = AsciiLower(item);
    const bool isShortcut = lower.size() >= 4 && lower.compare(lower.size() - 4, 4, L".lnk") == 0;
    const auto exe = lower.rfind(L".exe");
    if (exe != std::wstring::npos && !isShortcut && !(pathExists && pathExists(item))) {
        // Up to and including the character after ".exe": a closing quote or the space
        // before the arguments.
        const size_t fileLength = exe + 5;
        if (fileLength < item.size()) {
            command.file = std::wstring(item.substr(0, fileLength));
            command.parameters = TrimSpaces(item.substr(fileLength));
        }
    }
    command.directory = FolderOf(command.file);
    return command;
}

} // namespace zelk
