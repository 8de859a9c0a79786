#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zelk {

// How texts are made comparable regardless of case, in the user's language. Fold must treat
// each character on its own (a text folds to its characters' folds, one after another), so a
// match found in folded text can be traced back to the characters it came from. A fold may
// change the length ("ß" becomes "ss").
class CaseFolding {
public:
    virtual ~CaseFolding() = default;
    virtual std::wstring Fold(std::wstring_view text) const = 0;
};

// Lower case for Latin (Latin-1, Extended-A, Extended Additional), Greek, Cyrillic and
// Armenian, with "ß"/"ẞ" as "ss" and the final "ς" as "σ". Everything else is left as it is.
// Used where the platform offers nothing better, and by the native tests.
const CaseFolding& FallbackCaseFolding();

// The filter and the auto-complete: does the text hold the part anywhere?
bool FoldedContains(const CaseFolding& folding, std::wstring_view text, std::wstring_view part);
// Type-ahead: does the text begin with the typed character(s)?
bool FoldedStartsWith(const CaseFolding& folding, std::wstring_view text, std::wstring_view prefix);
// Accelerators: are the two the same character but for case?
bool FoldedEquals(const CaseFolding& folding, std::wstring_view a, std::wstring_view b);

// The characters of the original text that a match covers, for drawing it.
struct TextSpan {
    size_t position = 0;
    size_t length = 0;
    bool operator==(const TextSpan&) const = default;
};
// The first match of part in text. A match that begins or ends inside what one character
// folds to (the second "s" of "ß") covers that whole character.
std::optional<TextSpan> FoldedFind(const CaseFolding& folding, std::wstring_view text,
                                   std::wstring_view part);

// One character at the start of the text: a surrogate pair counts as one.
size_t CharacterLength(std::wstring_view text);

} // namespace zelk
