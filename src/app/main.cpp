#include <windows.h>
#include <commctrl.h>

#include "app/frmMain.h"
#include "win/ole_thread.h"
#include "win/ui_services.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    zelk::RealUiServices services;
    // The UI thread's windows take drops (the Sort dialog's lists): OLE, not just COM, must
    // be up before the first of them registers. A failure is logged; the program goes on
    // without drag and drop.
    const zelk::OleThread ole(services);
    zelk::frmMain mainForm(instance, services, zelk::RealEnvironment());
    mainForm.Form_Load();

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
