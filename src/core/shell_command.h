#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace zelk {

// What is handed to the shell's "open" verb for one item.
struct ShellCommand {
    std::wstring file;
    std::wstring parameters;
    std::wstring directory;
    bool operator==(const ShellCommand&) const = default;
};

// An item that names an existing file or folder goes to the shell whole (so a document
// called setup.exe.txt opens); other text containing ".exe" is a command line split after
// its last ".exe" plus one character; a shortcut is never split.
ShellCommand SplitShellItem(std::wstring_view item,
                            const std::function<bool(std::wstring_view)>& pathExists);

} // namespace zelk
