#include <windows.h>

#include "win/shell_open.h"

#include "core/shell_command.h"
#include "win/file_io.h"
#include "win/ui_services.h"

namespace zelk {

INT_PTR ShellOpen(UiServices& services, const std::wstring& item, int showCommand) {
    // The program is 64-bit, so file-system redirection never applies to it.
    const ShellCommand command =
        SplitShellItem(item, [](std::wstring_view path) { return FileExists(std::wstring(path)); });
    return services.ShellExecuteOpen(command.file, command.parameters, command.directory,
                                     showCommand);
}

void ShowProperties(UiServices& services, const std::wstring& path) {
    services.ShowShellProperties(path);
}

} // namespace zelk
