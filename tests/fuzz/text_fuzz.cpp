#include <algorithm>

#include "core/text.h"
#include "fuzz_target.h"
#include "latin1_codec.h"

using namespace zelk;

namespace {

bool HasSurrogate(const std::wstring& text) {
    return std::any_of(text.begin(), text.end(),
                       [](wchar_t c) { return c >= 0xD800 && c <= 0xDFFF; });
}

} // namespace

// The text files' decoding: as they come, and behind each byte-order mark.
ZELK_FUZZ_TARGET(text) {
    const std::string_view bytes = fuzz::Bytes(data, size);
    const Latin1Codec ansi;

    const std::wstring utf8 = Utf8ToWide(bytes);
    FUZZ_CHECK(utf8.size() <= size);
    FUZZ_CHECK(!HasSurrogate(utf8));
    FUZZ_CHECK(Utf8ToWide(WideToUtf8(utf8)) == utf8);

    for (const std::string_view mark : {"", "\xEF\xBB\xBF", "\xFF\xFE"}) {
        const std::wstring decoded = DecodeTextFile(std::string(mark) + std::string(bytes), ansi);
        // Saved again, it reads back the same, unless its ANSI bytes themselves begin like a
        // byte-order mark (no toolbar line does: it starts with a drive or a path).
        const auto ansiBytes = ansi.Encode(decoded);
        const bool looksMarked = ansiBytes && (ansiBytes->rfind("\xEF\xBB\xBF", 0) == 0 ||
                                               ansiBytes->rfind("\xFF\xFE", 0) == 0);
        if (!HasSurrogate(decoded) && !looksMarked) {
            FUZZ_CHECK(DecodeTextFile(EncodeTextFile(decoded, ansi), ansi) == decoded);
        }
        for (const std::wstring& line : SplitLines(decoded)) {
            FUZZ_CHECK(line.find_first_of(L"\r\n") == std::wstring::npos);
            const std::wstring trimmed = TrimSpaces(line);
            FUZZ_CHECK(trimmed.empty() || (trimmed.front() != L' ' && trimmed.back() != L' '));
            FUZZ_CHECK(EqualsIgnoreCase(AsciiLower(line), AsciiUpper(line)));
            FUZZ_CHECK(ReplaceAll(line, L"|", L"\r\n").find(L'|') == std::wstring::npos);
        }
    }
    return 0;
}
