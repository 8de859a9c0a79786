#pragma once

#include "dialogs/dialog_context.h"
#include "dialogs/dialog_form.h"

namespace zelk {

// "About...": name, description, version, a notice line with the current year and the
// locale id. Any click or key closes it.
class frmAbout : public DialogForm {
public:
    explicit frmAbout(const DialogContext& context);

protected:
    void Form_Load() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void DrawTitle(const DRAWITEMSTRUCT& item);

    DialogContext context_;
};

// The program's version from its version resource: major, minor, revision.
[[nodiscard]] bool ProgramVersion(unsigned& major, unsigned& minor, unsigned& revision);

} // namespace zelk
