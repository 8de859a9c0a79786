#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zelk {

// One line of ToolBars.txt: the folder whose contents form the menu, and its title.
struct Toolbar {
    std::wstring path;
    std::wstring title;
    bool operator==(const Toolbar&) const = default;
};

// Field 0 is the path, field 1 the title, further "|" fields are dropped.
Toolbar ParseToolbarLine(std::wstring_view line);
// One entry per line, blank lines included (they carry an empty path that adds nothing).
std::vector<Toolbar> ParseToolbarText(std::wstring_view text);
// path "|" title CR LF for each toolbar, in order.
std::wstring FormatToolbarText(const std::vector<Toolbar>& toolbars);
// The title shown: the stored one, or the folder's own name without extension.
std::wstring DisplayTitle(const Toolbar& toolbar);

// Why a toolbar file that exists could not be read, from the platform's error number.
enum class ToolbarFileProblem { Locked, Denied, TooLarge, Folder, Other };
ToolbarFileProblem ClassifyToolbarFileError(uint32_t error);

// The texts of the messages, by number, with their English default (the language file's).
using StringLookup = std::function<std::wstring(int number, std::wstring_view defaultText)>;

// What the user is told when the list cannot be read: which file, why, and what to do.
// `systemText` is the platform's own wording of an unexpected error (may be empty).
std::wstring UnreadableToolbarFileMessage(const std::wstring& path, uint32_t error,
                                          const std::wstring& systemText, const StringLookup& text);
// The question asked before a save replaces a file that could not be read.
std::wstring ReplaceUnreadableQuestion(const std::wstring& path, const std::wstring& backup,
                                       const StringLookup& text);

} // namespace zelk
