#pragma once

#include <memory>

#include "controls/list/ucList.h"
#include "dialogs/dialog_form.h"

namespace zelk {

class frmParameters;

// "Sort ToolBars...": drag every toolbar from the left list to the right one in the wanted
// order; Save writes the file in the right list's order.
class FrmSort : public DialogForm {
public:
    explicit FrmSort(frmParameters& parameters);
    ~FrmSort() override;
    void Theme();

    ucList& ucList1() { return *left_; }
    ucList& uclist2() { return *right_; }
    long LeftDropIndex = -2, RightDropIndex = -2;
    int DragSource = 0;

    // The pieces of a drag, for tests that cannot move a real mouse.
    void StartDrag(int source);
    void DragOver(int list, float y, int state);
    void Drop(int list, const std::wstring& text);

    // The red insertion marker with its two arrowheads.
    static void DrawLine(HDC hdc, int X1, int Y1, int X2, int Y2, COLORREF Color = 255,
                         int BorderWidth = 1);

protected:
    void Form_Load() override;
    void Form_Rescaled() override;
    void OnClick(const std::wstring& name, int index) override;

private:
    void Wire(ucList& list, int number);
    // Alt with an arrow key in a list: Up and Down reorder it, Right and Left move the row to
    // the other list. False for any other key.
    bool MoveByKey(int number, int key);
    ucList& ListNumber(int number) { return number == 1 ? *left_ : *right_; }
    long& DropIndex(int number) { return number == 1 ? LeftDropIndex : RightDropIndex; }

    frmParameters& parameters_;
    std::unique_ptr<ucList> left_, right_;
};

} // namespace zelk
