#include <gtest/gtest.h>

#include "core/paths.h"
#include "core/rounding.h"

using namespace zelk;

TEST(Paths, FolderNameBaseAndExtension) {
    struct Case {
        const wchar_t *path, *folder, *name, *base, *ext;
    };
    const Case cases[] = {
        {L"", L"", L"", L"", L""},
        {L"C:\\Data\\Tools", L"C:\\Data", L"Tools", L"Tools", L""},
        {L"C:\\Data\\Node.js", L"C:\\Data", L"Node.js", L"Node", L"js"},
        {L"C:\\My.Data\\Tools", L"C:\\My.Data", L"Tools", L"Tools", L""},
        {L"C:\\a\\archive.tar.gz", L"C:\\a", L"archive.tar.gz", L"archive.tar", L"gz"},
        {L"Setup.exe", L"", L"Setup.exe", L"Setup", L"exe"},
        {L"C:\\Data\\", L"C:\\Data", L"", L"", L""},
        {L"C:\\x\\.hidden", L"C:\\x", L".hidden", L"", L"hidden"},
        {L"C:\\x\\trailing.", L"C:\\x", L"trailing.", L"trailing", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "path " << testing::PrintToString(std::wstring(c.path)));
        EXPECT_EQ(FolderOf(c.path), c.folder);
        EXPECT_EQ(FileNameOf(c.path), c.name);
        EXPECT_EQ(BaseNameOf(c.path), c.base);
        EXPECT_EQ(ExtensionOf(c.path), c.ext);
    }
}

TEST(Paths, AddBackslashTrimsSpacesFirst) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\Data", L"C:\\Data\\"},
        {L"C:\\Data\\", L"C:\\Data\\"},
        {L"C:\\Data\\   ", L"C:\\Data\\"},
        {L"C:\\My Data  ", L"C:\\My Data\\"},
        {L"", L"\\"},
        {L"   ", L"\\"},
    };
    for (auto [path, expected] : cases) {
        EXPECT_EQ(AddBackslash(path), expected) << testing::PrintToString(std::wstring(path));
    }
}

TEST(Paths, FolderPrefixesCoverEveryLevelOfTheDataFolder) {
    EXPECT_EQ(FolderPrefixesToCreate(L"C:\\Users\\me\\AppData\\Local\\Tanvel\\ToolBars\\"),
              (std::vector<std::wstring>{
                  L"C:\\", L"C:\\Users\\", L"C:\\Users\\me\\", L"C:\\Users\\me\\AppData\\",
                  L"C:\\Users\\me\\AppData\\Local\\", L"C:\\Users\\me\\AppData\\Local\\Tanvel\\",
                  L"C:\\Users\\me\\AppData\\Local\\Tanvel\\ToolBars\\"}));
    // Without a trailing backslash the last part is not a folder to create.
    EXPECT_EQ(FolderPrefixesToCreate(L"C:\\A\\B"),
              (std::vector<std::wstring>{L"C:\\", L"C:\\A\\"}));
    EXPECT_EQ(FolderPrefixesToCreate(L"Lonely"), (std::vector<std::wstring>{L"Lonely"}));
}

TEST(Paths, DataFolderFollowsLocalAppDataEvenWhenUnset) {
    EXPECT_EQ(ToolbarFilePathFrom(L"C:\\Users\\me\\AppData\\Local"),
              L"C:\\Users\\me\\AppData\\Local\\Tanvel\\ToolBars\\ToolBars.txt");
    EXPECT_EQ(DataFolderFrom(L""), L"\\Tanvel\\ToolBars\\");
}

TEST(Rounding, HalvesGoToEven) {
    const std::pair<double, long long> cases[] = {{0.5, 0},    {1.5, 2},   {2.5, 2},   {3.5, 4},
                                                  {-0.5, 0},   {-1.5, -2}, {-2.5, -2}, {2.4999, 2},
                                                  {2.5001, 3}, {-2.6, -3}, {7.0, 7}};
    for (auto [value, expected] : cases) {
        EXPECT_EQ(RoundHalfEven(value), expected) << value;
    }
    EXPECT_EQ(ScaleFromDpi(0), 1.0);
    EXPECT_EQ(ScaleFromDpi(144), 1.5);
    EXPECT_EQ(ScalePixels(5, 1.5), 8); // 7.5 -> 8
    EXPECT_EQ(ScalePixels(3, 1.5), 4); // 4.5 -> 4
    EXPECT_EQ(ScalePixels(24, 1.25), 30);
}
