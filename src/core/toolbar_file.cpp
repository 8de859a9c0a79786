#include "core/toolbar_file.h"

#include "core/form_design.h"
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

ToolbarFileProblem ClassifyToolbarFileError(uint32_t error) {
    // The platform's numbers, kept here so the rule is testable without it.
    constexpr uint32_t kAccessDenied = 5, kSharingViolation = 32, kLockViolation = 33,
                       kDirectory = 267, kFileTooLarge = 223;
    switch (error) {
    case kSharingViolation:
    case kLockViolation:
        return ToolbarFileProblem::Locked;
    case kAccessDenied:
        return ToolbarFileProblem::Denied;
    case kFileTooLarge:
        return ToolbarFileProblem::TooLarge;
    case kDirectory:
        return ToolbarFileProblem::Folder;
    default:
        return ToolbarFileProblem::Other;
    }
}

std::wstring UnreadableToolbarFileMessage(const std::wstring& path, uint32_t error,
                                          const std::wstring& systemText,
                                          const StringLookup& text) {
    const auto say = [&text](int number) { return text(number, EnglishString(number)); };
    std::wstring why, todo;
    switch (ClassifyToolbarFileError(error)) {
    case ToolbarFileProblem::Locked:
        why = say(21);
        todo = say(22);
        break;
    case ToolbarFileProblem::Denied:
        why = say(23);
        todo = say(24);
        break;
    case ToolbarFileProblem::TooLarge:
        why = say(25);
        todo = say(26);
        break;
    case ToolbarFileProblem::Folder:
        why = say(27);
        todo = say(28);
        break;
    case ToolbarFileProblem::Other:
        why = say(29) + L" (" + std::to_wstring(error) +
              (systemText.empty() ? L"" : L": " + systemText) + L").";
        todo = say(30);
        break;
    }
    return say(20) + L"\r\n" + path + L"\r\n\r\n" + why + L"\r\n\r\n" + say(31) + L" " + todo;
}

std::wstring ReplaceUnreadableQuestion(const std::wstring& path, const std::wstring& backup,
                                       const StringLookup& text) {
    const auto say = [&text](int number) { return text(number, EnglishString(number)); };
    return say(32) + L"\r\n" + path + L"\r\n\r\n" + say(33) + L"\r\n" + backup;
}

} // namespace zelk
