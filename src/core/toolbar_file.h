#pragma once

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

} // namespace zelk
