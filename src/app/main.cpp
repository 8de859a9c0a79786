#include <windows.h>
#include <commctrl.h>

#include "app/frmMain.h"
#include "win/ui_services.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    zelk::RealUiServices services;
    zelk::frmMain mainForm(instance, services, zelk::RealEnvironment());
    mainForm.Form_Load();

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
