#include <windows.h>

#include "settings/startup.h"

#include "win/unique_handle.h"

namespace zelk {

int RegisterStartUp(const std::wstring& ValueName, const std::wstring& Path, bool Add,
                    bool& AllUsers, long* error) {
    const auto failed = [error](LONG code) {
        if (error != nullptr) {
            *error = code;
        }
        return -1;
    };
    unique_hkey key;
    if (const LONG code = ::RegCreateKeyExW(AllUsers ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER,
                                            kRunKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                                            nullptr, key.put(), nullptr);
        code != ERROR_SUCCESS) {
        return failed(code);
    }
    if (!Add) {
        // A value left behind would start the program at every logon against the user's choice.
        const LONG code = ::RegDeleteValueW(key.get(), ValueName.c_str());
        return code == ERROR_SUCCESS || code == ERROR_FILE_NOT_FOUND ? 0 : failed(code);
    }
    // Path may already be quoted (the caller's command); quote it otherwise.
    const std::wstring command =
        (!Path.empty() && Path.front() == L'"') ? Path : L"\"" + Path + L"\"";
    const DWORD bytes = static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t));
    const LONG code = ::RegSetValueExW(key.get(), ValueName.c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(command.c_str()), bytes);
    return code == ERROR_SUCCESS ? 1 : failed(code);
}

} // namespace zelk
