#include "core/dialog_rules.h"

#include "core/paths.h"

namespace zelk {

std::wstring SortRowText(std::wstring_view title, std::wstring_view path) {
    return std::wstring(title) + std::wstring(kSortGap, L' ') + std::wstring(path);
}

std::pair<std::wstring, std::wstring> SplitSortRow(std::wstring_view row) {
    const auto gap = row.find(std::wstring(kSortGap, L' '));
    if (gap == std::wstring_view::npos) {
        return {std::wstring(row), {}};
    }
    return {std::wstring(row.substr(0, gap)), std::wstring(row.substr(gap + kSortGap))};
}

AppError PickerError(int32_t code, std::wstring_view operation) {
    const std::wstring source =
        operation.empty() ? std::wstring() : L"Common Dialog " + std::wstring(operation);
    switch (code) {
    case kPickerCancelled:
    case 0:
        return {kPickerCancelled, source, L"Cancel was selected"};
    case 1:
        return {code, source,
                L"The lStructSize member of the initialization structure for the corresponding "
                L"common dialog box is invalid."};
    case 2:
        return {code, source, L"The common dialog box function failed during initialization."};
    case 3:
        return {code, source,
                L"The ENABLETEMPLATE flag was set in the Flags member of the initialization "
                L"structure for the corresponding common dialog box, but you failed to provide "
                L"a corresponding template."};
    case 4:
        return {code, source,
                L"The ENABLETEMPLATE flag was set in the Flags member of the initialization "
                L"structure for the corresponding common dialog box, but you failed to provide "
                L"a corresponding instance handle."};
    case 5:
        return {code, source, L"The common dialog box function failed to load a specified string."};
    case 6:
    case 7:
        return {code, source,
                L"The common dialog box function failed to find a specified resource."};
    case 8:
        return {code, source,
                L"The common dialog box function failed to lock a specified resource."};
    case 9:
        return {code, source,
                L"The common dialog box function was unable to allocate memory for internal "
                L"structures."};
    case 10:
        return {code, source,
                L"The common dialog box function was unable to lock the memory associated with a "
                L"handle."};
    case 12:
        return {code, source,
                L"The RegisterWindowMessage function returned an error code when it was called "
                L"by the common dialog box function."};
    case 12289:
        return {code, source,
                L"An attempt to subclass a list box failed because sufficient memory was not "
                L"available."};
    case 12290:
        return {code, source, L"A file name is invalid."};
    case 12291:
        return {code, source,
                L"The PathFileBufferSize is too small for the file name(s) specified by the user."};
    case 65535:
        return {code, source, L"The dialog box could not be created"};
    default:
        return {code, source, L"Unknown error code of " + std::to_wstring(code)};
    }
}

std::wstring PickerFailureText(int32_t code, std::wstring_view lead) {
    return std::wstring(lead) + L" " + std::to_wstring(code);
}

std::wstring VersionText(unsigned major, unsigned minor, unsigned revision) {
    return L"Version : " + std::to_wstring(major) + L"." + std::to_wstring(minor) + L"." +
           std::to_wstring(revision);
}

std::wstring StartUpCommand(std::wstring_view programFolder, std::wstring_view exeName) {
    return L"\"" + AddBackslash(programFolder) + std::wstring(exeName) + L".exe\"";
}

std::optional<long> MovedRow(long count, long selected, int step) {
    const long to = selected + step;
    if (selected < 0 || selected >= count || to < 0 || to >= count) {
        return std::nullopt;
    }
    return to;
}

} // namespace zelk
