#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zelk {

inline constexpr wchar_t kExecutableExtensions[] =
    L".COM;.EXE;.BAT;.CMD;.VBS;.VBE;.JS;.JSE;.WSF;.WSH;.MSC;.LNK;.PDF;.HLP;.CHM;.DOC;.RTF;.TXT;"
    L".DOCX;.XLS;.XLSX;.HTM;.HTML;.URL";

// The menu's file filter: "." plus the upper-cased extension anywhere in the list above, so a
// name without an extension and prefixes of listed ones (.C, .H, .JS, .HT) pass.
bool IsExecutable(std::wstring_view path);

// Whether a name added, removed or renamed somewhere below a toolbar's folder (a path relative
// to it, as a folder watch reports it) may change the menu: a name the menu lists, or one that
// may be a folder's. Only a name whose extension is letters the filter refuses (a download's
// .part, a .tmp, a .log) is known to leave it as it is; a folder named like one is missed until
// the next change or Refresh.
bool NameChangeMayShowInMenu(std::wstring_view relativePath);

// One entry of a folder listing, in the platform's order; hidden and system entries are
// already left out by the lister.
struct DirEntry {
    std::wstring name;
    bool isDirectory = false;
};
// Calls visit for each entry of folder (ending with a backslash) until visit returns false.
using DirectoryLister = std::function<void(const std::wstring& folder,
                                           const std::function<bool(const DirEntry&)>& visit)>;

inline constexpr int kMaxFilesPerFolder = 256; // the scan ends once more are accepted
inline constexpr long kLastScannedList = 511;  // lists numbered above stay empty

// A row of a planned list: a subfolder (with the number of its own list) or a file.
struct PlannedRow {
    std::wstring text;
    std::wstring path;
    bool isFolder = false;
    long list = -1; // the subfolder's list number
};
struct PlannedList {
    long number = 0;
    std::wstring folder; // with a trailing backslash
    bool scanned = false;
    std::vector<PlannedRow> rows;
};

// Numbers and fills the lists of one toolbar depth first, as the menu is built: the
// toolbar's list gets lastListIndex + 1, each subfolder the next number before its own
// subfolders are numbered. The counter is wide: no folder count can overflow it.
class MenuTreePlanner {
public:
    MenuTreePlanner(DirectoryLister lister, long lastListIndex)
        : lister_(std::move(lister)), lastListIndex_(lastListIndex) {}

    // Plans the toolbar's folder and everything below it; returns its list's number.
    long PlanToolbar(const std::wstring& folder);
    long LastListIndex() const { return lastListIndex_; }
    // Every planned list, in number order.
    const std::vector<PlannedList>& Lists() const { return lists_; }
    std::vector<PlannedList> TakeLists() { return std::move(lists_); }

private:
    void LoadMenu(size_t slot, const std::wstring& folder);

    DirectoryLister lister_;
    long lastListIndex_;
    std::vector<PlannedList> lists_;
};

// A toolbar planned from one number and placed at a later one, as when its folder answered
// after the toolbars behind it: every number moves by the same step, and a list the step
// pushes past the limit is left empty, as a planning from the later number would have left
// it. Its subfolders keep numbers there too: past the limit they all lead to the same empty
// list, so the menu is the one that planning would have made.
void MoveToolbarPlan(std::vector<PlannedList>& lists, long by);

} // namespace zelk
