#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zelk {

inline constexpr wchar_t kExecutableExtensions[] =
    L".COM;.EXE;.BAT;.CMD;.VBS;.VBE;.JS;.JSE;.WSF;.WSH;.MSC;.LNK;.PDF;.HLP;.CHM;.DOC;.RTF;.TXT;"
    L".DOCX;.XLS;.XLSX;.HTM;.HTML;.URL";

// The menu's file filter: "." plus the upper-cased extension anywhere in the list above, so a
// name without an extension and prefixes of listed ones (.C, .H, .JS, .HT) pass.
bool IsExecutable(std::wstring_view path);

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

// What one walk of a toolbar's tree saw, folder by folder, up to where the walk stopped reading
// each. The walk runs where a slow disk can hold it up; the menu is then planned from the record
// without touching the disk again, numbered wherever the toolbar lands among the others.
class RecordedListings {
public:
    // Lists folder and its subfolders as a toolbar's planning would, through lister.
    static RecordedListings Walk(const DirectoryLister& lister, const std::wstring& folder);
    // Lists from the record only; a folder the walk did not reach lists as empty.
    DirectoryLister Replay() const;
    size_t FolderCount() const { return listings_ ? listings_->size() : 0; }

private:
    // Shared: the replaying lister may outlive this object.
    std::shared_ptr<std::map<std::wstring, std::vector<DirEntry>>> listings_;
};

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

} // namespace zelk
