#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "core/case_folding.h"

namespace zelk {

// The value a host attaches to a row. Missing (the adder was called without one) and
// Empty (what SelectedItemData gives without a selection) are told apart from any value.
struct MissingValue {
    bool operator==(const MissingValue&) const = default;
};
struct EmptyValue {
    bool operator==(const EmptyValue&) const = default;
};
using ItemValue = std::variant<MissingValue, EmptyValue, std::wstring, long long, double>;

// Another list that opens as the submenu of a row; the host owns it.
using SubMenuRef = const void*;

inline constexpr uint32_t kDefaultColour = 0xFFFFFFFFu; // -1: the list's own colour

struct ListItem {
    std::wstring Text;
    std::wstring SubText;
    int32_t Icon = -1;
    ItemValue ItemData = MissingValue{};
    bool IsSeparator = false;
    bool Selected = false;
    bool IsChild = false;
    bool IsGroup = false;
    bool Disabled = false;
    bool Visible = true;
    SubMenuRef SubMenu = nullptr;
    uint32_t TextColor = kDefaultColour;
    uint32_t SubTextColor = kDefaultColour;
    uint32_t BackColor = kDefaultColour;
    bool Bold = false;
};

// A row number outside 0 .. ListCount - 1: the caller's error, nothing is changed.
class ListIndexError : public std::out_of_range {
public:
    static constexpr int32_t kNumber = 9;
    explicit ListIndexError(long index)
        : std::out_of_range("Subscript out of range: " + std::to_string(index)) {}
};

// Case-insensitive text order: < 0, 0 or > 0. The Windows build compares with the user's
// locale; tests inject their own.
using TextComparer = std::function<int(const std::wstring&, const std::wstring&)>;
int AsciiCaseInsensitiveCompare(const std::wstring& a, const std::wstring& b);

// What places rows vertically, in device pixels.
struct RowGeometry {
    double scale = 1.0;
    int itemHeight = 32; // logical
    bool filterShown = false;
    int filterBoxHeight = 0; // device pixels, when shown
    int scrollValue = 0;
};

// The rows of one list and the operations that add, remove, sort and place them.
class ListModel {
public:
    // Texts and data are taken by value: a menu's build moves its planned rows in.
    void AddItem(std::wstring Text = L"", int32_t Icon = -1, ItemValue ItemData = MissingValue{},
                 const std::wstring& SubText = L"", bool Checked = false, bool Disabled = false,
                 long Index = -1);
    void AddSubMenu(std::wstring SubMenuTitle, SubMenuRef GList, int32_t Icon = -1,
                    ItemValue ItemData = MissingValue{});
    void OpenGroup(const std::wstring& GroupTitle, int32_t Icon = -1,
                   ItemValue ItemData = MissingValue{});
    void CloseGroup() { groupOpen_ = false; }
    void Reserve(size_t rows) { items_.reserve(rows); }
    void RemoveItem(long Index);
    void Clear();

    long ListCount() const { return static_cast<long>(items_.size()); }
    long ListIndex() const { return listIndex_; }
    void SetListIndex(long index) { listIndex_ = index; } // unchecked, as hosts rely on
    long HotIndex() const { return hotIndex_; }
    void SetHotIndex(long index) { hotIndex_ = index; }
    long SeparatorCount() const { return separatorCount_; }
    bool GroupOpen() const { return groupOpen_; }

    // Per-row access; ListIndexError for a row that does not exist.
    const ListItem& Item(long Index) const;
    ListItem& MutableItem(long Index);
    const std::vector<ListItem>& Items() const { return items_; }

    std::wstring Text() const;
    ItemValue SelectedItemData() const;

    long GetItemParentGroup(long Index) const;
    long GetGroupChildCounts(long Index) const;

    // How the filter, type-ahead and accelerators compare texts; the folding must outlive the
    // model. The fallback until one is set.
    void SetCaseFolding(const CaseFolding& folding) { folding_ = &folding; }
    const CaseFolding& Folding() const { return *folding_; }

    void BSort(long SortOrder, const TextComparer& compare);
    void QSort(long SortOrder, const TextComparer& compare);

    long GetItemTop(long Index, const RowGeometry& geometry) const;
    // The top of the first row before scrolling: the margin, or the filter box and margins.
    static long HeaderHeight(const RowGeometry& geometry);

private:
    void QSortRange(long lo, long hi, bool descending, const TextComparer& compare);

    std::vector<ListItem> items_;
    long listIndex_ = -1;
    long hotIndex_ = -1;
    bool groupOpen_ = false;
    long separatorCount_ = 0;
    const CaseFolding* folding_ = &FallbackCaseFolding();
};

// The character of a code point, as a surrogate pair above 0xFFFF (high unit first).
std::u16string ChrW2(uint32_t CharCode);

} // namespace zelk
