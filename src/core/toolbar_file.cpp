#include "core/toolbar_file.h"

#include "core/paths.h"
#include "core/text.h"

namespace zelk {

Toolbar ParseToolbarLine(std::wstring_view line) {
    const auto bar = line.find(L'|');
    if (bar == std::wstring_view::npos) {
        return {std::wstring(line), {}};
    }
    const auto rest = line.substr(bar + 1);
    return {std::wstring(line.substr(0, bar)), std::wstring(rest.substr(0, rest.find(L'|')))};
}

std::vector<Toolbar> ParseToolbarText(std::wstring_view text) {
    std::vector<Toolbar> toolbars;
    for (const auto& line : SplitLines(text)) {
        toolbars.push_back(ParseToolbarLine(line));
    }
    return toolbars;
}

std::wstring FormatToolbarText(const std::vector<Toolbar>& toolbars) {
    std::wstring text;
    for (const auto& toolbar : toolbars) {
        text += toolbar.path + L"|" + toolbar.title + L"\r\n";
    }
    return text;
}

std::wstring DisplayTitle(const Toolbar& toolbar) {
    return toolbar.title.empty() ? BaseNameOf(toolbar.path) : toolbar.title;
}

} // namespace zelk
