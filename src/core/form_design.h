#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace zelk {

enum class ControlKind {
    Frame,
    Label,
    Button,
    DefaultButton,
    CancelButton,
    Option,
    GroupStartOption,
    Edit,
    Picture,
    Host, // an area another control (a list) is placed in; no window of its own
    MenuItem
};

// One control of a form as it was designed, named as language files name it (name and array
// index), with its English caption and its place in logical pixels at 96 dpi.
struct ControlDesign {
    std::wstring name{};
    int index = -1;
    ControlKind kind = ControlKind::Label;
    std::wstring caption{};
    int x = 0, y = 0, width = 0, height = 0;
    bool bold = false;
    int points = 9;
    // A product name or a text the form writes itself at load: no translation is expected.
    bool fixedText = false;
    // Drawn by its form rather than by the system (a label with an effect of its own).
    bool ownerDrawn = false;
};

struct FormDesign {
    std::wstring name, caption;
    int width = 0, height = 0;
    std::vector<ControlDesign> controls;
};

// Every form of the program, in English; the language files translate these captions.
const std::vector<FormDesign>& FormDesigns();
const FormDesign& DesignOf(std::wstring_view formName);
// Whether a translation of this control's caption belongs in a language file.
bool IsTranslated(const ControlDesign& control);

// The numbered strings the program uses ("<n>String" in a language file) and their English.
const std::map<int, std::wstring_view>& EnglishStrings();
std::wstring_view EnglishString(int number);

// How a box answers when a box beside it grows: a button keeps its size and moves, a label,
// an edit box or a list stretches across, a panel grows with what it holds.
enum class BoxRole { Move, Stretch, Panel };

// A control's rectangle and the width its caption asks for (0: nothing to fit).
struct LayoutBox {
    int x = 0, y = 0, width = 0, height = 0;
    BoxRole role = BoxRole::Move;
    int needed = 0;
};

// Widens each box whose caption needs more room, the largest shortfall first. What lies right
// of its right edge moves right; what crosses that edge moves or stretches by its role; panels
// ending on it and boxes of the same column (same left edge and width) grow with it. Returns
// how much wider the form becomes.
int WidenToFit(std::vector<LayoutBox>& boxes);

} // namespace zelk
