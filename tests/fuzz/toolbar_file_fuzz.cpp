#include "core/toolbar_file.h"
#include "fuzz_target.h"
#include "latin1_codec.h"

using namespace zelk;

// ToolBars.txt as read at start-up: decoded, split into toolbars, written back.
ZELK_FUZZ_TARGET(toolbar_file) {
    const std::wstring text = DecodeTextFile(fuzz::Bytes(data, size), Latin1Codec());
    const std::vector<Toolbar> toolbars = ParseToolbarText(text);
    for (const Toolbar& toolbar : toolbars) {
        FUZZ_CHECK(toolbar.path.find_first_of(L"|\r\n") == std::wstring::npos);
        FUZZ_CHECK(toolbar.title.find_first_of(L"|\r\n") == std::wstring::npos);
        DisplayTitle(toolbar);
    }
    // What is saved reads back as the same list.
    FUZZ_CHECK(ParseToolbarText(FormatToolbarText(toolbars)) == toolbars);
    if (size >= 4) {
        uint32_t error = 0;
        for (int i = 0; i < 4; ++i) {
            error = error << 8 | data[i];
        }
        const auto message = UnreadableToolbarFileMessage(
            L"C:\\ToolBars.txt", error, text.substr(0, 40),
            [](int, std::wstring_view english) { return std::wstring(english); });
        FUZZ_CHECK(message.find(L"C:\\ToolBars.txt") != std::wstring::npos);
    }
    return 0;
}
