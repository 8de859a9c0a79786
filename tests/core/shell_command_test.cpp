#include <gtest/gtest.h>

#include <set>

#include "core/shell_command.h"

using namespace zelk;

TEST(ShellCommand, SplittingRules) {
    const std::set<std::wstring> existing = {L"C:\\Docs\\setup.exe.txt", L"C:\\Tools\\App.exe"};
    auto exists = [&](std::wstring_view p) { return existing.count(std::wstring(p)) > 0; };
    struct Case {
        const wchar_t* item;
        ShellCommand expected;
    };
    const Case cases[] = {
        {L"C:\\Tools\\App.exe", {L"C:\\Tools\\App.exe", L"", L"C:\\Tools"}},
        {L"C:\\Tools\\App.exe --safe", {L"C:\\Tools\\App.exe ", L"--safe", L"C:\\Tools"}},
        {L"C:\\Tools\\App.EXE   -a -b  ", {L"C:\\Tools\\App.EXE ", L"-a -b", L"C:\\Tools"}},
        {L"C:\\Links\\My.exe tool.lnk", {L"C:\\Links\\My.exe tool.lnk", L"", L"C:\\Links"}},
        {L"C:\\Links\\My.exe tool.LNK", {L"C:\\Links\\My.exe tool.LNK", L"", L"C:\\Links"}},
        {L"C:\\Tools\\App.exe /p:C:\\x", {L"C:\\Tools\\App.exe ", L"/p:C:\\x", L"C:\\Tools"}},
        {L"https://tanvel.example/toolbars/", {L"https://tanvel.example/toolbars/", L"", L""}},
        // An existing document whose name holds ".exe" is opened whole.
        {L"C:\\Docs\\setup.exe.txt", {L"C:\\Docs\\setup.exe.txt", L"", L"C:\\Docs"}},
        // The same text when it names nothing on disk is a command line.
        {L"C:\\Gone\\setup.exe.txt", {L"C:\\Gone\\setup.exe.", L"txt", L"C:\\Gone"}},
        {L"C:\\a.exe\\b.exe x", {L"C:\\a.exe\\b.exe ", L"x", L"C:\\a.exe"}},
        {L"", {L"", L"", L""}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitShellItem(c.item, exists), c.expected)
            << testing::PrintToString(std::wstring(c.item));
    }
    // Without a way to ask the disk, text with ".exe" is a command line.
    EXPECT_EQ(SplitShellItem(L"C:\\T\\A.exe /x", nullptr),
              (ShellCommand{L"C:\\T\\A.exe ", L"/x", L"C:\\T"}));
}
