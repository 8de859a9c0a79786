#include <gtest/gtest.h>

#include "app/toolbar_store.h"
#include "core/toolbar_file.h"
#include "test_support.h"
#include "win/ansi_codec.h"
#include "win/file_io.h"

using namespace zelk;

TEST(Files, ExistenceAndFolderCreation) {
    TempFolder temp;
    EXPECT_FALSE(FileExists(temp / L"missing.txt"));
    EXPECT_FALSE(FileExists(L""));
    WriteBytes(temp / L"empty.txt", "");
    EXPECT_TRUE(FileExists(temp / L"empty.txt"));

    const std::wstring deep = temp / L"Tanvel\\ToolBars\\";
    CreateFolderPath(deep);
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(deep)));
    CreateFolderPath(deep); // existing folders are no error
    CreateFolderPath(L"Q:\\no such drive\\x\\");
    CreateFolderPath(temp / (std::wstring(300, L'n') + L"\\"));
}

TEST(Files, ToolbarFileSavesAsAnsiOrUtf8AndReadsBack) {
    TempFolder temp;
    const WindowsAnsiCodec ansi;
    const std::wstring path = temp / L"ToolBars.txt";

    const std::vector<Toolbar> western = {{L"C:\\Données\\Outils", L"Outils"}, {L"D:\\x", L""}};
    ASSERT_EQ(WriteToolbarFile(path, western, ansi), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(ReadBytes(path), "C:\\Donn\xE9"
                               "es\\Outils|Outils\r\nD:\\x|\r\n");
    EXPECT_EQ(ReadToolbarFile(path, ansi), western);

    // Code page 1252 has no Greek: an ANSI write would turn the path into question marks.
    const std::vector<Toolbar> greek = {{L"C:\\Έργα", L"Έργα"}};
    ASSERT_EQ(WriteToolbarFile(path, greek, ansi), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(ReadBytes(path).substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(ReadToolbarFile(path, ansi), greek);
    EXPECT_FALSE(FileExists(path + L".saving"));
}

TEST(Files, FailedSaveKeepsTheOldFileAndSaysSo) {
    TempFolder temp;
    const WindowsAnsiCodec ansi;
    const std::wstring path = temp / L"ToolBars.txt";
    const std::string old = "C:\\Old|Old\r\n";
    WriteBytes(path, old);

    // Something in the way of the temporary file: the write cannot even start.
    std::filesystem::create_directory(std::filesystem::path(path + L".saving"));
    EXPECT_NE(WriteToolbarFile(path, {{L"C:\\New", L"New"}}, ansi),
              static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(ReadBytes(path), old);
    std::filesystem::remove(std::filesystem::path(path + L".saving"));

    // A read-only file cannot be replaced.
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_NE(WriteToolbarFile(path, {{L"C:\\New", L"New"}}, ansi),
              static_cast<DWORD>(ERROR_SUCCESS));
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_FALSE(FileExists(path + L".saving"));

    // A folder that does not exist.
    EXPECT_EQ(WriteToolbarFile(temp / L"gone\\ToolBars.txt", {{L"C:\\N", L"N"}}, ansi),
              static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

// Every kind of garbage a toolbar file may hold gives a definite list, never a crash.
TEST(Files, ToolbarFileReaderToleratesBadInput) {
    TempFolder temp;
    const WindowsAnsiCodec ansi;
    std::string binary;
    for (int i = 0; i < 65536; ++i) {
        binary.push_back(static_cast<char>((i * 131) & 0xFF));
    }
    std::string many;
    for (int i = 0; i < 100000; ++i) {
        many += "C:\\T" + std::to_string(i) + "|T" + std::to_string(i) + "\r\n";
    }
    const std::string longPath = "C:\\" + std::string(400, 'L') + "\\Deep|Deep\r\n";
    struct Case {
        const char* name;
        std::string bytes;
        std::optional<size_t> lines; // nullopt: no toolbars at all
        std::wstring firstPath, firstTitle;
    };
    const Case cases[] = {
        {"0 bytes", "", std::nullopt, L"", L""},
        {"1 MB line", std::string(1 << 20, 'x'), 1, std::wstring(1 << 20, L'x'), L""},
        {"100000 lines", many, 100000, L"C:\\T0", L"T0"},
        {"no CR LF at the end", "C:\\A|A\r\nC:\\B|B", 2, L"C:\\A", L"A"},
        {"UTF-8 with BOM",
         "\xEF\xBB\xBF"
         "C:\\\xCE\xA9|\xCE\xA9\r\n",
         1, L"C:\\Ω", L"Ω"},
        {"longer than MAX_PATH", longPath, 1, L"C:\\" + std::wstring(400, L'L') + L"\\Deep",
         L"Deep"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring path = temp / L"ToolBars.txt";
        WriteBytes(path, c.bytes);
        const auto toolbars = ReadToolbarFile(path, ansi);
        ASSERT_EQ(toolbars.has_value(), c.lines.has_value());
        if (toolbars) {
            ASSERT_EQ(toolbars->size(), *c.lines);
            EXPECT_EQ(toolbars->front().path, c.firstPath);
            EXPECT_EQ(toolbars->front().title, c.firstTitle);
        }
    }
    WriteBytes(temp / L"ToolBars.txt", binary);
    EXPECT_TRUE(ReadToolbarFile(temp / L"ToolBars.txt", ansi).has_value());
    EXPECT_FALSE(ReadToolbarFile(temp / L"missing.txt", ansi).has_value());
}
