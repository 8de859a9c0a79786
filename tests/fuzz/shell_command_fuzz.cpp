#include "core/paths.h"
#include "core/shell_command.h"
#include "core/text.h"
#include "fuzz_target.h"

using namespace zelk;

// An item of a menu handed to the shell: a path or a command line from a folder's listing.
ZELK_FUZZ_TARGET(shell_command) {
    if (size == 0) {
        return 0;
    }
    const bool exists = data[0] & 1;
    const std::wstring item = Utf8ToWide(fuzz::Bytes(data + 1, size - 1));
    const ShellCommand command = SplitShellItem(item, [&](std::wstring_view) { return exists; });
    FUZZ_CHECK(item.starts_with(command.file));
    if (command.file != item) {
        // Split: the file ends one character after its last ".exe", the rest are arguments.
        FUZZ_CHECK(AsciiLower(command.file).rfind(L".exe") == command.file.size() - 5);
        FUZZ_CHECK(command.parameters == TrimSpaces(item.substr(command.file.size())));
        FUZZ_CHECK(!exists);
    } else {
        FUZZ_CHECK(command.parameters.empty());
    }
    FUZZ_CHECK(command.directory == FolderOf(command.file));
    return 0;
}
