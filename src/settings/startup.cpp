#include <windows.h>

#include "settings/startup.h"

#include "win/unique_handle.h"

namespace zelk {

int RegisterStartUp(const std::wstring& ValueName, const std::wstring& Path, bool Add,
                    bool& AllUsers) {
    unique_hkey key;
    if (::RegCreateKeyExW(AllUsers ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, kRunKey, 0, nullptr,
                          REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, key.put(),
                          nullptr) != ERROR_SUCCESS) {
        return -1;
    }
    if (!Add) {
        ::RegDeleteValueW(key.get(), ValueName.c_str());
        return 0;
    }
    // Path may already be quoted (the caller's command); quote it otherwise.
    const std::wstring command =
        (!Path.empty() && Path.front() == L'"') ? Path : L"\"" + Path + L"\"";
    const DWORD bytes = static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(key.get(), ValueName.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(command.c_str()), bytes) == ERROR_SUCCESS
               ? 1
               : -1;
}

} // namespace zelk
