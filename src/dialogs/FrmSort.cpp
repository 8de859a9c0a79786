#include "dialogs/FrmSort.h"

#include <algorithm>

#include "settings/toolbar_store.h"
#include "core/dialog_rules.h"
#include "core/paths.h"
#include "dialogs/frmParameters.h"
#include "win/ansi_codec.h"
#include "win/ui_services.h"

namespace zelk {

namespace {

std::wstring FolderOf(const ItemValue& data) {
    const auto* folder = std::get_if<std::wstring>(&data);
    return folder ? *folder : std::wstring();
}

PropertyBag ListDesign(uint32_t back, uint32_t line) {
    PropertyBag bag;
    bag.Write(L"Font", L"Segoe UI;9.75;");
    bag.Write(L"BackColor", std::to_wstring(back));
    bag.Write(L"LineColor", std::to_wstring(line));
    bag.Write(L"SelectionColor", std::to_wstring(kSystemHighlight));
    bag.Write(L"FindTextColor", std::to_wstring(kSystemHighlight));
    bag.Write(L"ListStyle", L"1");
    bag.Write(L"ItemHeight", L"28");
    return bag;
}

} // namespace

FrmSort::FrmSort(frmParameters& parameters)
    : DialogForm(*parameters.Context().services, parameters.Context().language,
                 DesignOf(L"FrmSort")),
      parameters_(parameters) {}

FrmSort::~FrmSort() {
    left_.reset();
    right_.reset();
}

void FrmSort::Form_Rescaled() {
    for (auto [list, name] : {std::pair{left_.get(), L"ucList1"}, {right_.get(), L"uclist2"}}) {
        const RECT area = Area(name);
        list->SetScale(Scale());
        ::MoveWindow(list->hWnd(), area.left, area.top, area.right - area.left,
                     area.bottom - area.top, TRUE);
    }
}

void FrmSort::Form_Load() {
    SetFormBackColour(0x00C0C0C0);
    left_ = std::make_unique<ucList>(services_, ListDesign(0x00FFFFFF, 0x00CDCDCD));
    right_ = std::make_unique<ucList>(services_, ListDesign(0x00E0FFFF, 0x00B4CDCD));
    for (auto [list, name] : {std::pair{left_.get(), L"ucList1"}, {right_.get(), L"uclist2"}}) {
        const RECT area = Area(name);
        list->PlaceInForm(hwnd(), area.left, area.top, area.right - area.left,
                          area.bottom - area.top);
    }
    Theme();
    const WindowsAnsiCodec ansi;
    if (const auto toolbars = ReadToolbarFile(parameters_.Context().toolbarFile, ansi)) {
        for (const auto& toolbar : *toolbars) {
            if (toolbar.path.empty() && toolbar.title.empty()) {
                continue;
            }
            // The row shows the title alone; its folder rides along as the row's data, as no
            // run of spaces keeps a path out of sight in every font and width.
            left_->AddItem(DisplayTitle(toolbar), -1, toolbar.path);
        }
    }
    Wire(*left_, 1);
    Wire(*right_, 2);
    // Mode 1 is always accepted; a refusal by OLE itself is logged by the list.
    for (ucList* list : {left_.get(), right_.get()}) {
        if (const auto error = list->SetOLEDropMode(1)) {
            services_.LogEvent(EVENTLOG_ERROR_TYPE, L"FrmSort", error->description);
        }
    }
    left_->Update(true);
    right_->Update(true);
    LeftDropIndex = -2;
    Enable(L"cmdSave", -1, false);
}

void FrmSort::Theme() {
    const bool dark = DialogThemeIsDark();
    const COLORREF panel = dark ? 0x000000 : 0x00E0E0E0;
    SetColours(L"Frame1", -1, panel, dark ? 0xFFFFFF : 0);
    SetColours(L"lblLabel1", 0, panel, dark ? 0xFFFFFF : 0);
    SetColours(L"lblLabel1", 1, panel, dark ? 0xFFFFFF : 0);
    SetColours(L"lblLabel1", 2, panel, dark ? 0x008080FF : 0);
    SetDarkTitleBar(dark);
}

void FrmSort::Wire(ucList& list, int number) {
    list.KeyDown = [this, number](int& key, int& shift) {
        if ((shift & 4) != 0 && MoveByKey(number, key)) {
            key = 0;
        }
    };
    list.MouseDown = [&list](int&, int&, float&, float&) {
        if (list.ListIndex() != -1) {
            list.OLEDrag();
        }
    };
    list.OLEStartDrag = [this, &list, number](std::wstring& data, long& allowed) {
        allowed = DROPEFFECT_MOVE;
        StartDrag(number);
        data = SortRowText(list.Items().Text(), FolderOf(list.Items().SelectedItemData()));
    };
    list.OLEDragOver = [this, number](IDataObject*, long&, int&, int&, float&, float& y,
                                      int& state) { DragOver(number, y, state); };
    list.OLEDragDrop = [this, number](IDataObject* data, long&, int&, int&, float&, float&) {
        const std::wstring text = DataObjectText(data);
        if (!text.empty()) {
            Drop(number, text);
        }
    };
    list.ItemCustomDraw = [this, &list, number](long& index, HDC dc, int&, int& top, int& width,
                                                int& height) {
        if (DragSource == number) {
            return;
        }
        const long drop = DropIndex(number);
        if (drop == -1 && index == list.Items().ListCount() - 1) {
            DrawLine(dc, 0, top + height, width - 2, top + height);
        } else if (index == drop) {
            DrawLine(dc, 0, top, width - 2, top);
        }
    };
}

bool FrmSort::MoveByKey(int number, int key) {
    ucList& list = ListNumber(number);
    const long selected = list.ListIndex();
    if (key == VK_UP || key == VK_DOWN) {
        if (const auto to = MovedRow(list.Items().ListCount(), selected, key == VK_UP ? -1 : 1)) {
            const std::wstring title = list.ItemText(selected);
            const ItemValue data = list.ItemData(selected);
            list.RemoveItem(selected);
            list.AddItem(title, -1, data, L"", false, false, *to);
            list.Update(true);
            list.SetListIndex(*to);
        }
        return true;
    }
    // Alt+Right sends the row to the end of the new order, Alt+Left back: the drag and drop
    // between the lists, for the keyboard.
    const int target = key == VK_RIGHT ? 2 : key == VK_LEFT ? 1 : 0;
    if (target == 0) {
        return false;
    }
    if (target != number && selected >= 0 && selected < list.Items().ListCount()) {
        StartDrag(number);
        DropIndex(target) = -1;
        Drop(target, SortRowText(list.ItemText(selected), FolderOf(list.ItemData(selected))));
        DragSource = 0;
        list.SetListIndex(std::min(selected, list.Items().ListCount() - 1));
        ListNumber(target).SetListIndex(ListNumber(target).Items().ListCount() - 1);
    }
    return true;
}

void FrmSort::StartDrag(int source) {
    DragSource = source;
    DropIndex(source == 1 ? 2 : 1) = -2;
}

void FrmSort::DragOver(int number, float y, int state) {
    ucList& list = ListNumber(number);
    if (state == 1) {
        DropIndex(number) = -2;
    } else {
        // Client pixels to the rows' own coordinates: the header and the scrolling count.
        const long content = static_cast<long>(y) - list.HeaderHeight() + list.ScrollValue();
        DropIndex(number) = list.ItemHitest(content);
    }
    list.Refresh();
}

void FrmSort::Drop(int number, const std::wstring& text) {
    if (DragSource == number) {
        return; // a list is not reordered within itself
    }
    ucList& target = ListNumber(number);
    ucList& source = ListNumber(number == 1 ? 2 : 1);
    const auto [title, path] = SplitSortRow(text);
    target.AddItem(title, -1, path, L"", false, false, DropIndex(number));
    DropIndex(number) = -2;
    target.Update(true);
    if (source.ListIndex() >= 0 && source.ListIndex() < source.Items().ListCount()) {
        source.RemoveItem(source.ListIndex());
    }
    source.Update(true);
    Enable(L"cmdSave", -1, left_->Items().ListCount() == 0);
}

void FrmSort::DrawLine(HDC hdc, int X1, int Y1, int X2, int Y2, COLORREF Color, int BorderWidth) {
    const COLORREF colour = ResolveSystemColour(Color);
    unique_hpen pen(::CreatePen(PS_SOLID, BorderWidth, colour));
    unique_hbrush brush(::CreateSolidBrush(colour));
    SelectScope selectPen(hdc, pen.get());
    SelectScope selectBrush(hdc, brush.get());
    if (X1 >= 0) {
        ::MoveToEx(hdc, X1, Y1, nullptr);
    }
    ::LineTo(hdc, X2, Y2);
    const POINT left[] = {{0, Y1 - 3}, {0, Y1 + 3}, {3, Y1}};
    const POINT right[] = {{X2, Y1 - 3}, {X2, Y1 + 3}, {X2 - 3, Y1}};
    ::Polygon(hdc, left, 3);
    ::Polygon(hdc, right, 3);
}

void FrmSort::OnClick(const std::wstring& name, int) {
    if (name == L"cmdSave") {
        if (left_->Items().ListCount() != 0) {
            return;
        }
        std::vector<Toolbar> toolbars;
        for (long i = 0; i < right_->Items().ListCount(); ++i) {
            toolbars.push_back({FolderOf(right_->ItemData(i)), right_->ItemText(i)});
        }
        const WindowsAnsiCodec ansi;
        if (const DWORD error =
                WriteToolbarFile(parameters_.Context().toolbarFile, toolbars, ansi)) {
            services_.ShowMessageBox(hwnd(),
                                     LocalString(38) + L" (" + LocalString(37) + L" " +
                                         std::to_wstring(error) + L"). " + LocalString(36),
                                     L"ZelkToolbars", MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        parameters_.ToolbarsChanged = true;
        Unload();
    } else if (name == L"cmdCancel") {
        parameters_.ToolbarsChanged = false;
        Unload();
    }
}

} // namespace zelk
