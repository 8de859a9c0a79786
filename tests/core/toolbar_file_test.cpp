#include <gtest/gtest.h>

#include "core/toolbar_file.h"

using namespace zelk;

TEST(ToolbarFile, LinesGiveFolderAndTitle) {
    struct Case {
        const wchar_t* line;
        Toolbar parsed;
        const wchar_t* shownTitle;
    };
    const Case cases[] = {
        {L"C:\\Data\\Tools|Tools", {L"C:\\Data\\Tools", L"Tools"}, L"Tools"},
        {L"C:\\Data\\Tools", {L"C:\\Data\\Tools", L""}, L"Tools"},
        {L"C:\\Data\\Node.js|", {L"C:\\Data\\Node.js", L""}, L"Node"},
        {L"C:\\My.Data\\Tools|", {L"C:\\My.Data\\Tools", L""}, L"Tools"},
        {L"C:\\A|B|C", {L"C:\\A", L"B"}, L"B"},
        {L"", {L"", L""}, L""},
        {L"|Only title", {L"", L"Only title"}, L"Only title"},
        {L"  C:\\Spaced  | Title ", {L"  C:\\Spaced  ", L" Title "}, L" Title "},
    };
    for (const auto& c : cases) {
        const Toolbar t = ParseToolbarLine(c.line);
        EXPECT_EQ(t, c.parsed) << testing::PrintToString(std::wstring(c.line));
        EXPECT_EQ(DisplayTitle(t), c.shownTitle);
    }
}

TEST(ToolbarFile, TextSplitsOnEveryLineEndAndKeepsBlankLines) {
    const auto toolbars = ParseToolbarText(L"C:\\A|A\r\n\r\nC:\\B|B\nC:\\C|C\rC:\\D|D");
    ASSERT_EQ(toolbars.size(), 5u);
    EXPECT_EQ(toolbars[1].path + L"|" + toolbars[2].path + L"|" + toolbars[3].path,
              L"|C:\\B|C:\\C");
    EXPECT_EQ(toolbars[4], (Toolbar{L"C:\\D", L"D"}));
    EXPECT_TRUE(ParseToolbarText(L"").empty());
    EXPECT_EQ(ParseToolbarText(L"C:\\A|A\r\n").size(), 1u);
}

TEST(ToolbarFile, WriteThenReadIsTheSameList) {
    const std::vector<Toolbar> toolbars = {
        {L"C:\\Data\\Tools", L"Tools"}, {L"D:\\Jeux vidéo\\", L"Jeux"}, {L"E:\\x", L""}};
    const std::wstring text = FormatToolbarText(toolbars);
    EXPECT_EQ(text, L"C:\\Data\\Tools|Tools\r\nD:\\Jeux vidéo\\|Jeux\r\nE:\\x|\r\n");
    EXPECT_EQ(ParseToolbarText(text), toolbars);
}

TEST(ToolbarFile, UnreadableFileMessagesSayWhichFileWhyAndWhatToDo) {
    const StringLookup english = [](int, std::wstring_view text) { return std::wstring(text); };
    const std::wstring path = L"C:\\Users\\me\\AppData\\Local\\Tanvel\\ToolBars\\ToolBars.txt";
    struct Case {
        uint32_t error;
        ToolbarFileProblem problem;
        const wchar_t* why;
        const wchar_t* todo;
    } cases[] = {
        {32, ToolbarFileProblem::Locked, L"Another program has the file open", L"Close that"},
        {33, ToolbarFileProblem::Locked, L"Another program has the file open", L"Close that"},
        {5, ToolbarFileProblem::Denied, L"does not allow", L"permissions"},
        {223, ToolbarFileProblem::TooLarge, L"larger than 64 MB", L"right file"},
        {267, ToolbarFileProblem::Folder, L"A folder has the file's name", L"Rename or move"},
        {1117, ToolbarFileProblem::Other, L"could not read it (1117: device error).", L"later"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        EXPECT_EQ(ClassifyToolbarFileError(c.error), c.problem);
        const std::wstring message =
            UnreadableToolbarFileMessage(path, c.error, L"device error", english);
        EXPECT_NE(message.find(path), std::wstring::npos);
        EXPECT_NE(message.find(c.why), std::wstring::npos);
        EXPECT_NE(message.find(c.todo), std::wstring::npos);
        EXPECT_NE(message.find(L"not lost"), std::wstring::npos);
    }
    // Each part comes from its own number in the language file.
    const StringLookup numbers = [](int n, std::wstring_view) { return L"#" + std::to_wstring(n); };
    const std::pair<uint32_t, const wchar_t*> numbered[] = {
        {32, L"#20\r\nP\r\n\r\n#21\r\n\r\n#31 #22"},
        {5, L"#20\r\nP\r\n\r\n#23\r\n\r\n#31 #24"},
        {223, L"#20\r\nP\r\n\r\n#25\r\n\r\n#31 #26"},
        {267, L"#20\r\nP\r\n\r\n#27\r\n\r\n#31 #28"},
        {1117, L"#20\r\nP\r\n\r\n#29 (1117).\r\n\r\n#31 #30"}, // no system text, no colon
    };
    for (auto [error, message] : numbered) {
        EXPECT_EQ(UnreadableToolbarFileMessage(L"P", error, L"", numbers), message) << error;
    }
    EXPECT_EQ(ReplaceUnreadableQuestion(L"P", L"B", numbers), L"#32\r\nP\r\n\r\n#33\r\nB");
}
