#include "core/paths.h"

#include "core/text.h"

namespace zelk {

std::wstring FileNameOf(std::wstring_view path) {
    const auto slash = path.rfind(L'\\');
    return std::wstring(slash == std::wstring_view::npos ? path : path.substr(slash + 1));
}

std::wstring BaseNameOf(std::wstring_view path) {
    const std::wstring name = FileNameOf(path);
    const auto dot = name.rfind(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

std::wstring ExtensionOf(std::wstring_view path) {
    const std::wstring name = FileNameOf(path);
    const auto dot = name.rfind(L'.');
    return dot == std::wstring::npos ? std::wstring() : name.substr(dot + 1);
}

std::wstring AddBackslash(std::wstring_view path) {
    std::wstring out = TrimTrailingSpaces(path);
    if (out.empty() || out.back() != L'\\') {
        out.push_back(L'\\');
    }
    return out;
}

std::wstring FolderOf(std::wstring_view path) {
    const auto slash = path.rfind(L'\\');
    return slash == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, slash));
}

std::vector<std::wstring> FolderPrefixesToCreate(std::wstring_view path) {
    if (path.find(L'\\') == std::wstring_view::npos) {
        return {std::wstring(path)};
    }
    std::vector<std::wstring> prefixes;
    // Every part but the last is a folder to create; the last is empty for a path ending
    // with a backslash and is skipped either way.
    for (size_t slash = path.find(L'\\'); slash != std::wstring_view::npos;
         slash = path.find(L'\\', slash + 1)) {
        prefixes.emplace_back(path.substr(0, slash + 1));
    }
    return prefixes;
}

std::wstring DataFolderFrom(std::wstring_view localAppData) {
    return std::wstring(localAppData) + L"\\Tanvel\\ToolBars\\";
}

std::wstring ToolbarFilePathFrom(std::wstring_view localAppData) {
    return DataFolderFrom(localAppData) + L"ToolBars.txt";
}

} // namespace zelk
