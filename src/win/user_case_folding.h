#pragma once

#include "core/case_folding.h"

namespace zelk {

// The user's language decides case: Turkish "I" is "ı", not "i". Accents are kept, so "é"
// does not match "e": to a French or Czech user they are different letters, and a filter
// that answers "e" with "é" rows hides nothing they asked to see.
const CaseFolding& UserCaseFolding();

// The same folding in a named locale (nullptr: the user's), for tests; the platform-free
// fallback when Windows cannot fold (an unknown locale, a text too long for one call).
std::wstring FoldForLocale(const wchar_t* localeName, std::wstring_view text);

} // namespace zelk
