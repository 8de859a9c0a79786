#include "core/form_design.h"

#include <stdexcept>

namespace zelk {

namespace {

using K = ControlKind;

FormDesign Parameters() {
    return {
        L"frmParameters",
        L"ToolBars Parameters",
        580,
        392,
        {
            {L"Frame1", 0, K::Frame, L"Toolbars...", 10, 8, 560, 262},
            {L"ucList1", -1, K::Host, L"", 22, 32, 316, 226},
            {L"cmdAdd", -1, K::Button, L"&Add a Toolbar", 350, 34, 210, 28},
            {L"cmdRemove", -1, K::Button, L"&Remove the selected toolbar", 350, 68, 210, 28},
            {L"cmdSort", -1, K::Button, L"&Sort Toolbars", 350, 102, 210, 28},
            {L"cmdOpenDir", 0, K::Button, L"Open selected item &directory", 350, 152, 210, 28},
            {L"cmdOpenDir", 1, K::Button, L"Open &User Startup menu directory", 350, 186, 210, 28},
            {L"cmdOpenDir", 2, K::Button, L"Open &Common Startup menu directory", 350, 220, 210,
             28},
            {L"Frame1", 1, K::Frame, L"Theme", 10, 278, 275, 58},
            {L"OptTheme", 0, K::GroupStartOption, L"&Light", 26, 302, 110, 24},
            {L"OptTheme", 1, K::Option, L"Dar&k", 150, 302, 110, 24},
            {L"Frame1", 2, K::Frame, L"Start with Windows\u00AE", 295, 278, 275, 58},
            {L"OptYes", 0, K::GroupStartOption, L"&Yes", 311, 302, 110, 24},
            {L"OptYes", 1, K::Option, L"&No", 435, 302, 110, 24},
            {L"Frame1", 3, K::Frame, L"", 10, 342, 440, 44},
            {L"cmdOk", -1, K::DefaultButton, L"&Ok", 470, 350, 100, 32},
        }};
}

FormDesign AddToolBar() {
    return {
        L"frmAddToolBar",
        L"Add a Toolbar",
        575,
        198,
        {
            {L"Frame1", 0, K::Frame, L"", 2, 0, 571, 196},
            {L"Picture1", -1, K::Picture, L"", 14, 30, 64, 64},
            {L"lblLabel2", 0, K::Label, L"Choose a directory on disk : ", 90, 30, 380, 24},
            {L"lblLabel2", 1, K::Label, L"Choose a menu from the user's start menu : ", 90, 70, 380,
             24},
            {L"lblLabel2", 2, K::Label, L"Choose a menu from the common start menu : ", 90, 110,
             380, 24},
            {L"cmd", 0, K::Button, L"...", 480, 26, 60, 28, false, 9, true},
            {L"cmd", 1, K::Button, L"...", 480, 66, 60, 28, false, 9, true},
            {L"cmd", 2, K::Button, L"...", 480, 106, 60, 28, false, 9, true},
            {L"cmdCancel", 0, K::CancelButton, L"Cancel", 440, 152, 100, 30},
            {L"Frame1", 1, K::Frame, L"", 2, 0, 571, 196},
            {L"lblLabel1", -1, K::Label, L"Set a title for the menu bar :", 30, 30, 500, 24, true},
            {L"txtText1", -1, K::Edit, L"", 30, 64, 510, 26},
            {L"cmdOk", -1, K::DefaultButton, L"&Ok", 330, 152, 100, 30},
            {L"cmdCancel", 1, K::Button, L"Cancel", 440, 152, 100, 30},
        }};
}

FormDesign Sort() {
    return {L"FrmSort",
            L"Sort ToolBars...",
            644,
            420,
            {
                {L"Frame1", -1, K::Frame, L"", 2, 0, 640, 420},
                // Each list after its label: screen readers name a control by the label before it.
                {L"lblLabel1", 0, K::Label, L"Current sort order :", 20, 14, 290, 22},
                {L"ucList1", -1, K::Host, L"", 20, 40, 290, 280},
                {L"lblLabel1", 1, K::Label, L"New sort order", 330, 14, 290, 22},
                {L"uclist2", -1, K::Host, L"", 330, 40, 290, 280},
                // Two lines tall: a longer translation wraps instead of widening the form.
                {L"lblLabel1", 2, K::Label,
                 L"Drag and Drop all ToolBars from left list to right list in desired order", 20,
                 326, 600, 40, true},
                {L"cmdSave", -1, K::DefaultButton, L"&Save", 410, 372, 100, 32},
                {L"cmdCancel", -1, K::CancelButton, L"Cancel", 520, 372, 100, 32},
            }};
}

FormDesign About() {
    return {
        L"frmAbout",
        L"About...",
        520,
        190,
        {
            {L"Image1", -1, K::Picture, L"", 20, 20, 128, 128},
            // The title draws the grey shade's caption behind its own, at the shade's place.
            {L"lblZelkToolbars", 1, K::Label, L"ZelkToolbars", 171, 23, 300, 50, true, 24, true},
            {L"lblZelkToolbars", 0, K::Label, L"ZelkToolbars", 170, 20, 300, 50, true, 24, true,
             true},
            {L"lblLabel1", 0, K::Label, L"Create your own custom toolbars", 170, 80, 330, 22},
            {L"lblLabel1", 1, K::Label, L"Version :", 170, 104, 330, 22, false, 9, true},
            {L"lblLabel1", 2, K::Label, L"", 170, 128, 330, 22},
            {L"lblLabel1", 3, K::Label, L"LOCALE ID : ", 170, 152, 330, 22, false, 9, true},
            {L"Locale_Properties1", -1, K::Host, L""},
        }};
}

FormDesign Main() {
    return {L"frmMain",
            L"Toolbars menu",
            0,
            0,
            {
                {L"MenuList", 0, K::Host},
                {L"IconPic", 0, K::Picture},
                {L"IconPic", 1, K::Picture},
                {L"IconPic", 2, K::Picture},
                {L"IconPic", 3, K::Picture},
                {L"Locale_Properties1", -1, K::Host},
                {L"mnuMenu", -1, K::MenuItem},
                {L"mnuParam", -1, K::MenuItem, L"Parameters"},
                {L"mnuRefresh", -1, K::MenuItem, L"Refresh"},
                {L"mnuAbout", -1, K::MenuItem, L"About"},
                {L"mnuQuit", -1, K::MenuItem, L"Quit"},
            }};
}

} // namespace

const std::vector<FormDesign>& FormDesigns() {
    static const std::vector<FormDesign> forms = {Main(), Parameters(), AddToolBar(), Sort(),
                                                  About()};
    return forms;
}

const FormDesign& DesignOf(std::wstring_view formName) {
    for (const auto& form : FormDesigns()) {
        if (form.name == formName) {
            return form;
        }
    }
    throw std::out_of_range("no form of that name");
}

bool IsTranslated(const ControlDesign& control) {
    return !control.caption.empty() && !control.fixedText && control.kind != K::Edit;
}

const std::map<int, std::wstring_view>& EnglishStrings() {
    // 1 is also the tool tip, which has always read "Toolbars Menu".
    static const std::map<int, std::wstring_view> strings = {
        {1, L"ToolBars Menu"},
        {2, L"Are you sure you want to remove the toolbar"},
        {3, L"Click the icon to open your toolbars."},
        {4, L"Select a folder on disk"},
        {5, L"Select a folder from the user start menu"},
        {6, L"Select a folder from the common start menu"},
        {20, L"Your list of toolbars cannot be read:"},
        {21, L"Another program has the file open (a backup or synchronisation tool, for "
             L"example)."},
        {22, L"Close that program or wait until it has finished, then click the tray icon again "
             L"or choose Refresh."},
        {23, L"Windows does not allow this program to read it."},
        {24, L"Check the file's permissions, then click the tray icon again or choose Refresh."},
        {25, L"It is larger than 64 MB, which no list of toolbars is."},
        {26, L"Check that it is the right file, then choose Refresh."},
        {27, L"A folder has the file's name."},
        {28, L"Rename or move that folder, then choose Refresh."},
        {29, L"Windows could not read it"},
        {30, L"Try again later: click the tray icon again or choose Refresh."},
        {31, L"Your toolbars are not lost and nothing will be written over them."},
        {32, L"The list of toolbars could not be read, so this dialog did not start from it:"},
        {33, L"Replace it with the toolbars shown here? The old file is kept as"},
        {34, L"could not be read"},
        {35, L"The toolbar list could not be saved to"},
        {36, L"Nothing was changed."},
        {37, L"error"},
        {38, L"The new order could not be saved"},
        {39, L"Start with Windows could not be turned on"},
        {40, L"Start with Windows could not be turned off"},
        // 41, the setting's name, 42: a setting the registry refused.
        {41, L"The setting"},
        {42, L"could not be saved"},
        {43, L"The toolbar list was saved, but Windows refused:"},
        {44, L"Dialog failed with error:"},
        {45, L"Free to use and share"},
        // 46, the key combination, then 47 or 48: the menu's hot key could not be had.
        {46, L"The hot key"},
        {47, L"is taken by another program; the tray icon still opens the menu."},
        {48, L"is not a key combination; the tray icon still opens the menu."},
    };
    return strings;
}

std::wstring_view EnglishString(int number) {
    const auto it = EnglishStrings().find(number);
    return it == EnglishStrings().end() ? std::wstring_view() : it->second;
}

int WidenToFit(std::vector<LayoutBox>& boxes) {
    int grown = 0;
    for (;;) {
        size_t widest = boxes.size();
        int shortfall = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].needed - boxes[i].width > shortfall) {
                shortfall = boxes[i].needed - boxes[i].width;
                widest = i;
            }
        }
        if (widest == boxes.size()) {
            return grown;
        }
        const LayoutBox before = boxes[widest];
        const int edge = before.x + before.width;
        for (size_t i = 0; i < boxes.size(); ++i) {
            LayoutBox& b = boxes[i];
            const int right = b.x + b.width;
            if (i == widest) {
                b.width += shortfall;
            } else if (b.x >= edge) {
                b.x += shortfall;
            } else if ((b.x == before.x && b.width == before.width) ||
                       (b.role == BoxRole::Panel && right >= edge) ||
                       (b.role == BoxRole::Stretch && right > edge)) {
                b.width += shortfall;
            } else if (right > edge) {
                b.x += shortfall;
            }
        }
        grown += shortfall;
    }
}

} // namespace zelk
