// Stands in for a program opened from the menu: records how it was started in probe.log
// beside itself, then ends.
#include <windows.h>

#include <cstdio>
#include <string>

int wmain() {
    wchar_t exe[MAX_PATH] = {}, cwd[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    ::GetCurrentDirectoryW(MAX_PATH, cwd);
    std::wstring log(exe);
    log = log.substr(0, log.rfind(L'\\') + 1) + L"probe.log";
    FILE* out = _wfopen(log.c_str(), L"a, ccs=UTF-8");
    if (out != nullptr) {
        std::fwprintf(out, L"exe=%ls\ncmd=%ls\ncwd=%ls\n", exe, ::GetCommandLineW(), cwd);
        std::fclose(out);
    }
    return 0;
}
