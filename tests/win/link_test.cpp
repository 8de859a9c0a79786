#include <gtest/gtest.h>

#include <cstdint>

#include "app/ClsLink.h"
#include "core/text.h"
#include "test_support.h"
#include "win/file_io.h"

using namespace zelk;

namespace {

void Put32(std::string& bytes, size_t at, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

// A shortcut whose target is stored as raw text with variables, in the Shell Link binary
// format ([MS-SHLLINK]): the header, a LinkInfo whose local base path is the raw text, and
// the EnvironmentVariableDataBlock that Windows writes for such targets. Wine's IShellLinkW
// ignores the block, and SetPath would make the text a path below the current folder, so
// the LinkInfo is what makes Wine answer GetPath(SLGP_RAWPATH) with the raw text, as
// Windows answers it from the block.
std::string RawTargetLink(const std::wstring& target) {
    std::string bytes(76, '\0');
    Put32(bytes, 0, 0x4C);
    const unsigned char shellLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                              0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
    bytes.replace(4, 16, reinterpret_cast<const char*>(shellLinkClsid), 16);
    Put32(bytes, 20, 0x2 | 0x80 | 0x200); // HasLinkInfo, IsUnicode, HasExpString
    Put32(bytes, 60, SW_SHOWNORMAL);

    const std::string ansi(target.begin(), target.end()); // ASCII in these tests
    std::string volume(0x10, '\0');                       // VolumeID, empty label
    Put32(volume, 0, 0x11);
    Put32(volume, 4, DRIVE_FIXED);
    Put32(volume, 12, 0x10);
    volume.push_back('\0');
    std::string info(0x1C, '\0');
    Put32(info, 4, 0x1C);
    Put32(info, 8, 1); // VolumeIDAndLocalBasePath
    Put32(info, 12, 0x1C);
    Put32(info, 16, static_cast<uint32_t>(0x1C + volume.size()));
    Put32(info, 24, static_cast<uint32_t>(0x1C + volume.size() + ansi.size() + 1));
    info += volume + ansi + '\0' + '\0'; // the base path, then an empty suffix
    Put32(info, 0, static_cast<uint32_t>(info.size()));

    std::string block(0x314, '\0'); // EnvironmentVariableDataBlock
    Put32(block, 0, 0x314);
    Put32(block, 4, 0xA0000001);
    for (size_t i = 0; i < target.size(); ++i) {
        block[8 + i] = static_cast<char>(target[i]);
        block[8 + 260 + 2 * i] = static_cast<char>(target[i] & 0xFF);
        block[8 + 260 + 2 * i + 1] = static_cast<char>(target[i] >> 8);
    }
    return bytes + info + block + std::string(4, '\0');
}

} // namespace

// Start-menu shortcuts often store "%ProgramFiles%\..." or "%windir%\...": their target is
// the expanded path, so that the menu shows the program's own icon.
TEST(Link, TargetsStoredWithVariablesAreExpanded) {
    TempFolder temp;
    ASSERT_TRUE(::SetEnvironmentVariableW(L"ZELK_APPS", temp.Folder().c_str()));
    WriteBytes(temp / L"tool.exe", "MZ");
    const struct {
        const wchar_t* stored;
        std::wstring target;
    } cases[] = {
        {L"%ZELK_APPS%tool.exe", temp / L"tool.exe"},
        {L"%ZELK_NO_SUCH_VARIABLE%\\tool.exe", L"%ZELK_NO_SUCH_VARIABLE%\\tool.exe"},
        {L"C:\\windows\\notepad.exe", L"C:\\windows\\notepad.exe"},
    };
    ClsLink link;
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.stored, c.stored + ::wcslen(c.stored)));
        const std::wstring path = temp / (L"link" + std::to_wstring(++n) + L".lnk");
        WriteBytes(path, RawTargetLink(c.stored));
        EXPECT_EQ(AsciiLower(link.GetLinkTarget(path)), AsciiLower(c.target));
        EXPECT_EQ(AsciiLower(link.GetLinkTargetIfExe(path)), AsciiLower(c.target));
    }
    ::SetEnvironmentVariableW(L"ZELK_APPS", nullptr);
}

// Values longer than any fixed buffer come out whole: the call is asked for the size first.
TEST(Link, ExpansionIsSizedByTheValue) {
    // Within the 32K characters the call allows, whatever a first guess would have been.
    for (size_t length : {1u, 259u, 260u, 5000u, 15000u}) {
        SCOPED_TRACE(length);
        const std::wstring value(length, L'v');
        ASSERT_TRUE(::SetEnvironmentVariableW(L"ZELK_LONG", value.c_str()));
        const auto one = ExpandEnvironment(L"%ZELK_LONG%\\x.exe");
        const auto two = ExpandEnvironment(L"a%ZELK_LONG%b%ZELK_LONG%");
        ASSERT_TRUE(one && two);
        EXPECT_TRUE(*one == value + L"\\x.exe") << one->size();
        EXPECT_TRUE(*two == L"a" + value + L"b" + value) << two->size();
    }
    ::SetEnvironmentVariableW(L"ZELK_LONG", nullptr);
    EXPECT_EQ(ExpandEnvironment(L"100% sure"), L"100% sure");
    EXPECT_EQ(ExpandEnvironment(L""), L"");
}
