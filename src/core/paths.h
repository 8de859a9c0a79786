#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zelk {

// The text after the last backslash, or the whole text when there is none.
std::wstring FileNameOf(std::wstring_view path);
// FileNameOf without its last extension: only a dot in the last component counts.
std::wstring BaseNameOf(std::wstring_view path);
// The text after the last dot of FileNameOf, empty when there is no dot.
std::wstring ExtensionOf(std::wstring_view path);
// Trailing spaces removed, then a backslash appended unless one ends the text.
std::wstring AddBackslash(std::wstring_view path);
// The text before the last backslash, empty when there is none.
std::wstring FolderOf(std::wstring_view path);

// Every folder that creating the whole path must attempt, outermost first, each ending
// with a backslash; the first is the drive itself, whose creation simply fails.
std::vector<std::wstring> FolderPrefixesToCreate(std::wstring_view path);

// "<LOCALAPPDATA>\Tanvel\ToolBars\": an unset variable leaves the path rooted at the drive.
std::wstring DataFolderFrom(std::wstring_view localAppData);
std::wstring ToolbarFilePathFrom(std::wstring_view localAppData);

} // namespace zelk
