#include <gtest/gtest.h>

#include "settings/toolbar_store.h"
#include "core/toolbar_file.h"
#include "test_support.h"
#include "win/ansi_codec.h"
#include "win/file_io.h"
#include "win/unique_handle.h"

using namespace zelk;

namespace {

constexpr DWORD kSaved = ERROR_SUCCESS;

struct Files : testing::Test {
    TempFolder temp;
    const WindowsAnsiCodec ansi;
    const std::wstring path = temp / L"ToolBars.txt";
};

} // namespace

TEST_F(Files, ToolbarFileSavesAsAnsiOrUtf8AndReadsBack) {
    const std::vector<Toolbar> western = {{L"C:\\Données\\Outils", L"Outils"}, {L"D:\\x", L""}};
    ASSERT_EQ(WriteToolbarFile(path, western, ansi), kSaved);
    EXPECT_EQ(ReadBytes(path), "C:\\Donn\xE9"
                               "es\\Outils|Outils\r\nD:\\x|\r\n");
    EXPECT_EQ(ReadToolbarFile(path, ansi), western);

    // Code page 1252 has no Greek: an ANSI write would turn the path into question marks.
    const std::vector<Toolbar> greek = {{L"C:\\Έργα", L"Έργα"}};
    ASSERT_EQ(WriteToolbarFile(path, greek, ansi), kSaved);
    EXPECT_EQ(ReadBytes(path).substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(ReadToolbarFile(path, ansi), greek);
    EXPECT_FALSE(FileExists(path + L".saving"));
}

TEST_F(Files, FailedSaveKeepsTheOldFileAndSaysSo) {
    const std::string old = "C:\\Old|Old\r\n";
    WriteBytes(path, old);

    // Something in the way of the temporary file: the write cannot even start.
    std::filesystem::create_directory(std::filesystem::path(path + L".saving"));
    EXPECT_NE(WriteToolbarFile(path, {{L"C:\\New", L"New"}}, ansi), kSaved);
    EXPECT_EQ(ReadBytes(path), old);
    std::filesystem::remove(std::filesystem::path(path + L".saving"));

    // A read-only file cannot be replaced.
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_NE(WriteToolbarFile(path, {{L"C:\\New", L"New"}}, ansi), kSaved);
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_FALSE(FileExists(path + L".saving"));

    // A folder that does not exist.
    EXPECT_EQ(WriteToolbarFile(temp / L"gone\\ToolBars.txt", {{L"C:\\N", L"N"}}, ansi),
              static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

// A list that cannot be read now is not an empty list: each cause is told apart from
// "missing", and the file is left as it is. What the lines say is the core's and the fuzzer's
// matter; the reader must take a list whole whatever its size.
TEST_F(Files, AnUnreadableToolbarFileIsNotAMissingOneAndALargeOneIsReadWhole) {
    EXPECT_EQ(LoadToolbarFile(path, ansi).status, ToolbarFileStatus::Missing);
    EXPECT_FALSE(ReadToolbarFile(path, ansi).has_value());
    EXPECT_EQ(LoadToolbarFile(temp / L"no folder\\ToolBars.txt", ansi).status,
              ToolbarFileStatus::Missing);
    WriteBytes(path, "");
    EXPECT_EQ(LoadToolbarFile(path, ansi).status, ToolbarFileStatus::Missing);

    std::string list = std::string(1 << 20, 'x') + "\r\n";
    for (int i = 0; i < 100000; ++i) {
        list += "C:\\T" + std::to_string(i) + "|T" + std::to_string(i) + "\r\n";
    }
    WriteBytes(path, list);
    {
        // A backup or sync tool holding the file without read sharing.
        unique_file lock(HoldFile(path, GENERIC_READ | GENERIC_WRITE));
        ASSERT_TRUE(lock);
        const ToolbarFileRead locked = LoadToolbarFile(path, ansi);
        EXPECT_EQ(locked.status, ToolbarFileStatus::Unreadable);
        EXPECT_EQ(locked.error, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
        EXPECT_FALSE(ReadToolbarFile(path, ansi).has_value());
    }
    const ToolbarFileRead whole = LoadToolbarFile(path, ansi);
    EXPECT_EQ(whole.status, ToolbarFileStatus::Read);
    ASSERT_EQ(whole.toolbars.size(), 100001u);
    EXPECT_EQ(whole.toolbars.front().path, std::wstring(1 << 20, L'x'));
    EXPECT_EQ(whole.toolbars.back().path, L"C:\\T99999");

    const std::wstring huge = temp / L"huge.txt";
    ASSERT_TRUE(MakeSparse(huge, kMaxToolbarFileBytes + 1));
    const ToolbarFileRead tooLarge = LoadToolbarFile(huge, ansi);
    EXPECT_EQ(tooLarge.status, ToolbarFileStatus::Unreadable);
    EXPECT_EQ(tooLarge.error, static_cast<DWORD>(ERROR_FILE_TOO_LARGE));

    // A folder where the file should be: unreadable, and never replaced by a save.
    const std::wstring folder = temp / L"Folder.txt";
    std::filesystem::create_directory(std::filesystem::path(folder));
    const ToolbarFileRead directory = LoadToolbarFile(folder, ansi);
    EXPECT_EQ(directory.status, ToolbarFileStatus::Unreadable);
    EXPECT_EQ(directory.error, static_cast<DWORD>(ERROR_DIRECTORY));
    EXPECT_NE(WriteToolbarFile(folder, {{L"C:\\N", L"N"}}, ansi), kSaved);
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(folder)));
}

TEST_F(Files, EverySaveKeepsThePreviousVersionAndCleansUpWhenItFails) {
    const std::wstring backup = BackupPathOf(path);
    ASSERT_EQ(WriteToolbarFile(path, {{L"C:\\One", L"One"}}, ansi), kSaved);
    EXPECT_FALSE(FileExists(backup)); // nothing before the first save
    ASSERT_EQ(WriteToolbarFile(path, {{L"C:\\Two", L"Two"}}, ansi), kSaved);
    EXPECT_EQ(ReadBytes(backup), "C:\\One|One\r\n");
    ASSERT_EQ(WriteToolbarFile(path, {{L"C:\\Three", L"Three"}}, ansi), kSaved);
    EXPECT_EQ(ReadBytes(backup), "C:\\Two|Two\r\n");
    EXPECT_EQ(ReadBytes(path), "C:\\Three|Three\r\n");

    // The save fails after its temporary file is written: the list stays, the temporary
    // file goes, and the error is the platform's.
    std::filesystem::remove(std::filesystem::path(backup));
    std::filesystem::create_directory(std::filesystem::path(backup));
    std::vector<SaveStep> steps;
    const DWORD error = WriteToolbarFile(path, {{L"C:\\Four", L"Four"}}, ansi,
                                         [&](SaveStep step) { steps.push_back(step); });
    EXPECT_NE(error, kSaved);
    EXPECT_EQ(steps, (std::vector<SaveStep>{SaveStep::TemporaryWritten, SaveStep::Flushed}));
    EXPECT_EQ(ReadBytes(path), "C:\\Three|Three\r\n");
    EXPECT_FALSE(FileExists(SavingPathOf(path)));
}

// The program ended at each step of a save: the list is the old one or the new one, whole,
// and the next start removes what the save left behind.
TEST_F(Files, ASaveCutShortAtAnyStepLeavesAWholeList) {
    const std::wstring victim =
        (std::filesystem::path(ThisExe()).parent_path() / L"zelk_save_victim.exe").wstring();
    ASSERT_TRUE(FileExists(victim)) << "the save victim is built beside the tests";
    std::string oldList, newList;
    for (int i = 0; i < 2000; ++i) {
        oldList += "C:\\Old" + std::to_string(i) + "|Old " + std::to_string(i) + "\r\n";
        newList += "C:\\New" + std::to_string(i) + "|New " + std::to_string(i) + "\r\n";
    }
    for (int step = 0; step < 4; ++step) {
        SCOPED_TRACE("ended after step " + std::to_string(step));
        const std::wstring list = temp / (L"ToolBars" + std::to_wstring(step) + L".txt");
        WriteBytes(list, oldList);
        const DWORD code =
            RunToEnd(L"\"" + victim + L"\" \"" + list + L"\" " + std::to_wstring(step), 30000);
        EXPECT_EQ(code, 9u) << "the victim was not ended at the step";
        const std::string now = ReadBytes(list);
        EXPECT_TRUE(now == oldList || now == newList) << now.size() << " bytes, a mix";
        EXPECT_EQ(now == newList, step == 3) << "only a replaced file holds the new list";
        const ToolbarFileRead read = LoadToolbarFile(list, ansi);
        EXPECT_EQ(read.toolbars.size(), 2000u);
        RemoveLeftoverSave(list);
        EXPECT_FALSE(FileExists(SavingPathOf(list)));
    }
}
