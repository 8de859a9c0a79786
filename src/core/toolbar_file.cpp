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
    std::wstring why, todo;
    switch (ClassifyToolbarFileError(error)) {
    case ToolbarFileProblem::Locked:
        why = text(21, L"Another program has the file open (a backup or synchronisation tool, "
                       L"for example).");
        todo = text(22, L"Close that program or wait until it has finished, then click the "
                        L"tray icon again or choose Refresh.");
        break;
    case ToolbarFileProblem::Denied:
        why = text(23, L"Windows does not allow this program to read it.");
        todo = text(24, L"Check the file's permissions, then click the tray icon again or "
                        L"choose Refresh.");
        break;
    case ToolbarFileProblem::TooLarge:
        why = text(25, L"It is larger than 64 MB, which no list of toolbars is.");
        todo = text(26, L"Check that it is the right file, then choose Refresh.");
        break;
    case ToolbarFileProblem::Folder:
        why = text(27, L"A folder has the file's name.");
        todo = text(28, L"Rename or move that folder, then choose Refresh.");
        break;
    case ToolbarFileProblem::Other:
        why = text(29, L"Windows could not read it") + L" (" + std::to_wstring(error) +
              (systemText.empty() ? L"" : L": " + systemText) + L").";
        todo = text(30, L"Try again later: click the tray icon again or choose Refresh.");
        break;
    }
    return text(20, L"Your list of toolbars cannot be read:") + L"\r\n" + path + L"\r\n\r\n" + why +
           L"\r\n\r\n" +
           text(31, L"Your toolbars are not lost and nothing will be written over them.") + L" " +
           todo;
}

std::wstring ReplaceUnreadableQuestion(const std::wstring& path, const std::wstring& backup,
                                       const StringLookup& text) {
    return text(32, L"The list of toolbars could not be read, so this dialog did not start "
                    L"from it:") +
           L"\r\n" + path + L"\r\n\r\n" +
           text(33, L"Replace it with the toolbars shown here? The old file is kept as") + L"\r\n" +
           backup;
}

} // namespace zelk
