#pragma once

#include <memory>

#include "controls/list/ucList.h"
#include "dialogs/dialog_context.h"
#include "dialogs/dialog_form.h"

namespace zelk {

// "ToolBars Parameters": the toolbar list (add, remove, sort), the theme and start with
// Windows. The file and settings are written only by Ok.
class frmParameters : public DialogForm {
public:
    explicit frmParameters(const DialogContext& context);
    ~frmParameters() override;

    void Init();
    void AddToolbar(const std::wstring& strpath, std::wstring strTitle);
    void Theme();
    // Asked for again while open: this dialog comes to the front instead of a second one.
    // False when Windows refused the foreground (the caption flashes instead).
    bool BringToFront();

    // Written by the add and sort dialogs: true when they changed the list.
    bool ToolbarsChanged = false;
    ucList& ucList1() { return *list_; }
    const DialogContext& Context() const { return context_; }

protected:
    void Form_Load() override;
    void Form_Rescaled() override;
    void OnClick(const std::wstring& name, int index) override;

private:
    void cmdOk_Click();
    void LoadFile();
    void TellFileProblem();
    std::wstring Text(int number, std::wstring_view defaultText) const;
    // Why the toolbar file could not be read when the dialog opened (0 when it could).
    DWORD fileProblem_ = ERROR_SUCCESS;

    DialogContext context_;
    std::unique_ptr<ucList> list_;
    bool ListConfigured = false;
};

} // namespace zelk
