// Saves a 2,000-line toolbar list and ends itself at the given step of the save, as a
// crash or a power cut would: save_victim PATH STEP (0 written, 1 flushed, 2 backup kept,
// 3 replaced). Exit code 9 says it ended there.
#include <windows.h>

#include <string>

#include "settings/toolbar_store.h"
#include "win/ansi_codec.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        return 2;
    }
    const std::wstring path = argv[1];
    const int stop = _wtoi(argv[2]);
    std::vector<zelk::Toolbar> toolbars;
    for (int i = 0; i < 2000; ++i) {
        toolbars.push_back({L"C:\\New" + std::to_wstring(i), L"New " + std::to_wstring(i)});
    }
    const zelk::WindowsAnsiCodec ansi;
    const DWORD error = zelk::WriteToolbarFile(path, toolbars, ansi, [stop](zelk::SaveStep step) {
        if (static_cast<int>(step) == stop) {
            ::TerminateProcess(::GetCurrentProcess(), 9);
        }
    });
    return error == ERROR_SUCCESS ? 0 : 1;
}
