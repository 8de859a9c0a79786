#include "core/menu_tree.h"

#include "core/paths.h"
#include "core/text.h"

namespace zelk {

bool IsExecutable(std::wstring_view path) {
    const std::wstring e = L"." + AsciiUpper(ExtensionOf(path));
    return std::wstring_view(kExecutableExtensions).find(e) != std::wstring_view::npos;
}

bool NameChangeMayShowInMenu(std::wstring_view relativePath) {
    const size_t slash = relativePath.find_last_of(L"\\/");
    const std::wstring_view name =
        slash == std::wstring_view::npos ? relativePath : relativePath.substr(slash + 1);
    const size_t dot = name.rfind(L'.');
    if (dot == std::wstring_view::npos || IsExecutable(name)) {
        return true;
    }
    for (const wchar_t c : name.substr(dot + 1)) {
        if (!((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'))) {
            return true; // "Tools 2.0", "v1.2b": folders' names more often than files'
        }
    }
    return false;
}

long MenuTreePlanner::PlanToolbar(const std::wstring& folder) {
    const long number = ++lastListIndex_;
    lists_.push_back({number, {}, false, {}});
    LoadMenu(lists_.size() - 1, folder);
    return number;
}

void MenuTreePlanner::LoadMenu(size_t slot, const std::wstring& path) {
    if (lists_[slot].number > kLastScannedList) {
        return; // past the limit a list exists as a submenu entry but is never filled
    }
    const std::wstring folder = AddBackslash(path);
    lists_[slot].folder = folder;
    lists_[slot].scanned = true;
    std::vector<std::wstring> folders, files;
    lister_(folder, [&](const DirEntry& entry) {
        if (entry.name != L"." && entry.name != L"..") {
            if (entry.isDirectory) {
                folders.push_back(entry.name);
            } else if (IsExecutable(entry.name)) {
                files.push_back(entry.name);
            }
        }
        return files.size() <= static_cast<size_t>(kMaxFilesPerFolder);
    });
    // Sized once: a grown vector leaves its old blocks to the heap, which keeps them.
    lists_[slot].rows.reserve(folders.size() + files.size());
    // Indexes, not references: planning a subfolder appends to lists_.
    for (const auto& name : folders) {
        const long child = ++lastListIndex_;
        lists_[slot].rows.push_back({name, folder + name, true, child});
        lists_.push_back({child, {}, false, {}});
        LoadMenu(lists_.size() - 1, folder + name);
    }
    for (const auto& name : files) {
        lists_[slot].rows.push_back({BaseNameOf(name), folder + name, false, -1});
    }
}

void MoveToolbarPlan(std::vector<PlannedList>& lists, long by) {
    for (auto& list : lists) {
        list.number += by;
        for (auto& row : list.rows) {
            if (row.isFolder) {
                row.list += by;
            }
        }
        if (list.number > kLastScannedList) {
            list.scanned = false;
            list.rows.clear();
            list.folder.clear();
        }
    }
}

} // namespace zelk
