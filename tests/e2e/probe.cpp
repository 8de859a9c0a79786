// Stands in for a program opened from the menu: records how it was started in probe.log
// beside itself (or in the file ZELK_PROBE_LOG names, kept out of a watched folder), then ends.
#include <windows.h>

#include <cstdio>
#include <string>

int wmain() {
    wchar_t exe[MAX_PATH] = {}, cwd[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    ::GetCurrentDirectoryW(MAX_PATH, cwd);
    std::wstring log(exe);
    log = log.substr(0, log.rfind(L'\\') + 1) + L"probe.log";
    wchar_t named[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"ZELK_PROBE_LOG", named, MAX_PATH) - 1 < MAX_PATH - 1) {
        log = named;
    }
    FILE* out = _wfopen(log.c_str(), L"a, ccs=UTF-8");
    if (out != nullptr) {
        std::fwprintf(out, L"exe=%ls\ncmd=%ls\ncwd=%ls\n", exe, ::GetCommandLineW(), cwd);
        std::fclose(out);
    }
    return 0;
}
