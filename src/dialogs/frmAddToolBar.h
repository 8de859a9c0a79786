#pragma once

#include "dialogs/dialog_form.h"

namespace zelk {

class frmParameters;

// "Add a Toolbar": step 1 picks the folder (disk, user or common start menu), step 2 the
// title; Ok appends the row to the Parameters list.
class frmAddToolBar : public DialogForm {
public:
    explicit frmAddToolBar(frmParameters& parameters);
    void Theme();
    const std::wstring& SelectedPath() const { return selectedPath_; }
    bool OnStep2() const { return step2_; }

protected:
    void Form_Load() override;
    void OnClick(const std::wstring& name, int index) override;

private:
    void cmd_Click(int index);
    void ShowStep(bool second);

    frmParameters& parameters_;
    std::wstring selectedPath_;
    bool step2_ = false;
};

} // namespace zelk
