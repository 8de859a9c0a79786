#include "core/list_model.h"

#include <algorithm>
#include <utility>

#include "core/rounding.h"

namespace zelk {

int AsciiCaseInsensitiveCompare(const std::wstring& a, const std::wstring& b) {
    const auto lower = [](wchar_t c) { return (c >= L'A' && c <= L'Z') ? c + 32 : c; };
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const auto ca = lower(a[i]);
        const auto cb = lower(b[i]);
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

void ListModel::AddItem(std::wstring Text, int32_t Icon, ItemValue ItemData,
                        const std::wstring& SubText, bool Checked, bool Disabled, long Index) {
    ListItem item;
    item.IsSeparator = Text == L"-";
    item.Text = std::move(Text);
    item.SubText = SubText;
    item.Icon = Icon;
    item.ItemData = std::move(ItemData);
    item.Selected = Checked;
    item.IsChild = groupOpen_;
    item.Disabled = Disabled;
    if (item.IsSeparator) {
        ++separatorCount_;
    }
    // An index that cannot be used appends.
    if (Index >= 0 && Index <= ListCount()) {
        items_.insert(items_.begin() + Index, std::move(item));
    } else {
        items_.push_back(std::move(item));
    }
}

namespace {

// A row that is neither a separator nor a child, whatever its text and the open group.
ListItem PlainRow(std::wstring text, int32_t icon, ItemValue data) {
    ListItem item;
    item.Text = std::move(text);
    item.Icon = icon;
    item.ItemData = std::move(data);
    return item;
}

} // namespace

void ListModel::AddSubMenu(std::wstring SubMenuTitle, SubMenuRef GList, int32_t Icon,
                           ItemValue ItemData) {
    ListItem item = PlainRow(std::move(SubMenuTitle), Icon, std::move(ItemData));
    item.SubMenu = GList;
    items_.push_back(std::move(item));
}

void ListModel::OpenGroup(const std::wstring& GroupTitle, int32_t Icon, ItemValue ItemData) {
    ListItem item = PlainRow(GroupTitle, Icon, std::move(ItemData));
    item.IsGroup = true;
    items_.push_back(std::move(item));
    groupOpen_ = true;
}

void ListModel::RemoveItem(long Index) {
    const ListItem& removed = Item(Index);
    if (listIndex_ == Index) {
        --listIndex_;
    }
    if (removed.IsSeparator) {
        --separatorCount_;
    }
    items_.erase(items_.begin() + Index);
}

void ListModel::Clear() {
    items_.clear();
    listIndex_ = -1;
    hotIndex_ = -1;
    groupOpen_ = false;
    separatorCount_ = 0;
}

const ListItem& ListModel::Item(long Index) const {
    if (Index < 0 || Index >= ListCount()) {
        throw ListIndexError(Index);
    }
    return items_[static_cast<size_t>(Index)];
}

ListItem& ListModel::MutableItem(long Index) {
    return const_cast<ListItem&>(std::as_const(*this).Item(Index));
}

std::wstring ListModel::Text() const {
    return listIndex_ == -1 ? std::wstring() : Item(listIndex_).Text;
}

ItemValue ListModel::SelectedItemData() const {
    return listIndex_ == -1 ? ItemValue(EmptyValue{}) : Item(listIndex_).ItemData;
}

long ListModel::GetItemParentGroup(long Index) const {
    if (!Item(Index).IsChild) {
        return Index;
    }
    for (long i = Index; i >= 0; --i) {
        if (items_[static_cast<size_t>(i)].IsGroup) {
            return i;
        }
    }
    return -1;
}

long ListModel::GetGroupChildCounts(long Index) const {
    if (!Item(Index).IsGroup || Index == ListCount() - 1) {
        return -1;
    }
    long count = 0;
    for (long i = Index + 1; i < ListCount() && items_[static_cast<size_t>(i)].IsChild; ++i) {
        ++count;
    }
    return count;
}

void ListModel::BSort(long SortOrder, const TextComparer& compare) {
    const bool descending = SortOrder != 0;
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (size_t i = 0; i + 1 < items_.size(); ++i) {
            const int order = compare(items_[i].Text, items_[i + 1].Text);
            if (descending ? order < 0 : order > 0) {
                std::swap(items_[i], items_[i + 1]);
                swapped = true;
            }
        }
    }
}

void ListModel::QSort(long SortOrder, const TextComparer& compare) {
    if (ListCount() > 1) {
        QSortRange(0, ListCount() - 1, SortOrder != 0, compare);
    }
}

void ListModel::QSortRange(long lo, long hi, bool descending, const TextComparer& compare) {
    const std::wstring pivot = items_[static_cast<size_t>((lo + hi) / 2)].Text;
    const auto before = [&](const std::wstring& a, const std::wstring& b) {
        const int order = compare(a, b);
        return descending ? order > 0 : order < 0;
    };
    long i = lo;
    long j = hi;
    while (i <= j) {
        while (before(items_[static_cast<size_t>(i)].Text, pivot)) {
            ++i;
        }
        while (before(pivot, items_[static_cast<size_t>(j)].Text)) {
            --j;
        }
        if (i <= j) {
            std::swap(items_[static_cast<size_t>(i)], items_[static_cast<size_t>(j)]);
            ++i;
            --j;
        }
    }
    if (lo < j) {
        QSortRange(lo, j, descending, compare);
    }
    if (i < hi) {
        QSortRange(i, hi, descending, compare);
    }
}

long ListModel::HeaderHeight(const RowGeometry& geometry) {
    const long margin = ScalePixels(8, geometry.scale);
    return geometry.filterShown ? geometry.filterBoxHeight + 4 * margin : margin;
}

long ListModel::GetItemTop(long Index, const RowGeometry& geometry) const {
    double y = static_cast<double>(HeaderHeight(geometry) - geometry.scrollValue);
    if (Index < 0 || Index >= ListCount()) {
        return static_cast<long>(y);
    }
    const double rowHeight = ScalePixels(geometry.itemHeight, geometry.scale);
    for (long i = 0; i < Index; ++i) {
        const ListItem& item = items_[static_cast<size_t>(i)];
        if (!item.Visible) {
            continue;
        }
        if (item.IsSeparator) {
            y = static_cast<double>(RoundHalfEven(y + rowHeight / 2));
        } else {
            y += rowHeight;
        }
    }
    return static_cast<long>(RoundHalfEven(y));
}

std::u16string ChrW2(uint32_t CharCode) {
    if (CharCode > 0xFFFF) {
        const uint32_t v = CharCode - 0x10000;
        return {static_cast<char16_t>(0xD800 + (v >> 10)),
                static_cast<char16_t>(0xDC00 + (v & 0x3FF))};
    }
    return std::u16string(1, static_cast<char16_t>(CharCode));
}

} // namespace zelk
