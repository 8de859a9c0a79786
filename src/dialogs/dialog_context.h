#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace zelk {

class UiServices;
class Localisation;

// What the configuration dialogs need from the program around them.
struct DialogContext {
    UiServices* services = nullptr;
    const Localisation* language = nullptr;
    std::wstring toolbarFile;   // ToolBars.txt
    std::wstring programFolder; // the executable's folder, with a backslash
    std::wstring exeName;       // without ".exe"
    uint32_t localeId = 1033;
    // The product picture at a size in pixels, the caller owning it; empty: no picture.
    std::function<HICON(int size)> productIcon;
    // The folder picker: which = 0 disk, 1 user start menu, 2 common start menu. Returns
    // the chosen path, or nullopt with lastError set. Empty: the system's folder browser.
    std::function<std::optional<std::wstring>(HWND owner, int which, int32_t& lastError)>
        pickFolder;
};

// Light or dark by the "Theme" setting's reading rule.
bool DialogThemeIsDark();

} // namespace zelk
