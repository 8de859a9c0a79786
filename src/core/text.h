#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelk {

// The system's ANSI code page, as the files that are defined as ANSI need it. The Windows
// build converts with the real code page; tests inject a fixed one.
class AnsiCodec {
public:
    virtual ~AnsiCodec() = default;
    // nullopt when the text has a character the code page cannot hold.
    virtual std::optional<std::string> Encode(std::wstring_view text) const = 0;
    virtual std::wstring Decode(std::string_view bytes) const = 0;
};

std::wstring Utf8ToWide(std::string_view bytes);
std::string WideToUtf8(std::wstring_view text);

// Decodes a text file that may be ANSI, UTF-8 with a byte-order mark or UTF-16 LE with one.
std::wstring DecodeTextFile(std::string_view bytes, const AnsiCodec& ansi);

// ANSI when that loses nothing, otherwise UTF-8 with a byte-order mark, so a path the
// code page cannot represent survives the round trip.
std::string EncodeTextFile(std::wstring_view text, const AnsiCodec& ansi);

// Lines ended by CR LF, LF or a lone CR; a last line without an end still counts.
std::vector<std::wstring> SplitLines(std::wstring_view text);

// Surrounding spaces removed (tabs and other white space are kept, as the system trims).
std::wstring TrimSpaces(std::wstring_view text);
std::wstring TrimTrailingSpaces(std::wstring_view text);

// ASCII-only case mapping: positions stay put, which the command-line split relies on.
std::wstring AsciiLower(std::wstring_view text);
std::wstring AsciiUpper(std::wstring_view text);
bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b);

std::wstring ReplaceAll(std::wstring_view text, std::wstring_view from, std::wstring_view to);

} // namespace zelk
