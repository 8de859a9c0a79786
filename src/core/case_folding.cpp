#include "core/case_folding.h"

#include <vector>

namespace zelk {

namespace {

// Blocks where capital and small letters follow each other by a fixed distance.
struct Shift {
    char32_t first, last;
    int distance; // small letter minus capital
};
constexpr Shift kShifts[] = {
    {0x0041, 0x005A, 0x20},  // A-Z
    {0x00C0, 0x00D6, 0x20},  // À-Ö
    {0x00D8, 0x00DE, 0x20},  // Ø-Þ
    {0x0130, 0x0130, -0xC7}, // İ: i
    {0x0178, 0x0178, -0x79}, // Ÿ: ÿ
    {0x037F, 0x037F, 0x74},  // Ϳ
    {0x0386, 0x0386, 0x26},  // Ά
    {0x0388, 0x038A, 0x25},  // Έ Ή Ί
    {0x038C, 0x038C, 0x40},  // Ό
    {0x038E, 0x038F, 0x3F},  // Ύ Ώ
    {0x0391, 0x03A1, 0x20},  // Α-Ρ
    {0x03A3, 0x03AB, 0x20},  // Σ-Ϋ
    {0x03CF, 0x03CF, 0x08},  // Ϗ
    {0x03F4, 0x03F4, -0x3C}, // ϴ: θ
    {0x03F9, 0x03F9, -0x07}, // Ϲ: ϲ
    {0x03FD, 0x03FF, -0x82}, // Ͻ Ͼ Ͽ
    {0x0400, 0x040F, 0x50},  // Ѐ-Џ
    {0x0410, 0x042F, 0x20},  // А-Я
    {0x04C0, 0x04C0, 0x0F},  // Ӏ
    {0x0531, 0x0556, 0x30},  // Armenian
};

// Blocks where each capital is followed at once by its small letter.
struct Pairs {
    char32_t first, last; // first is a capital
};
constexpr Pairs kPairs[] = {
    {0x0100, 0x012F}, {0x0132, 0x0137}, {0x0139, 0x0148}, {0x014A, 0x0177},
    {0x0179, 0x017E}, {0x0370, 0x0373}, {0x0376, 0x0377}, {0x03D8, 0x03EF},
    {0x03F7, 0x03F8}, {0x03FA, 0x03FB}, {0x0460, 0x0481}, {0x048A, 0x04BF},
    {0x04C1, 0x04CE}, {0x04D0, 0x052F}, {0x1E00, 0x1E95}, {0x1EA0, 0x1EFF},
};

char32_t Lower(char32_t c) {
    for (const Shift& s : kShifts) {
        if (c >= s.first && c <= s.last) {
            return static_cast<char32_t>(static_cast<int>(c) + s.distance);
        }
    }
    for (const Pairs& p : kPairs) {
        if (c >= p.first && c <= p.last) {
            return ((c - p.first) % 2 == 0) ? c + 1 : c;
        }
    }
    return c;
}

class Fallback final : public CaseFolding {
public:
    std::wstring Fold(std::wstring_view text) const override {
        std::wstring out;
        out.reserve(text.size());
        // Surrogates are never in the tables, so units can be mapped one at a time.
        for (const wchar_t unit : text) {
            const char32_t c = Lower(static_cast<char32_t>(unit));
            if (c == 0x00DF || c == 0x1E9E) { // ß, ẞ
                out += L"ss";
            } else if (c == 0x03C2) { // final ς
                out.push_back(static_cast<wchar_t>(0x03C3));
            } else {
                out.push_back(static_cast<wchar_t>(c));
            }
        }
        return out;
    }
};

} // namespace

const CaseFolding& FallbackCaseFolding() {
    static const Fallback folding;
    return folding;
}

size_t CharacterLength(std::wstring_view text) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (text.size() >= 2 && text[0] >= 0xD800 && text[0] <= 0xDBFF && text[1] >= 0xDC00 &&
            text[1] <= 0xDFFF) {
            return 2;
        }
    }
    return text.empty() ? 0 : 1;
}

bool FoldedContains(const CaseFolding& folding, std::wstring_view text, std::wstring_view part) {
    return folding.Fold(text).find(folding.Fold(part)) != std::wstring::npos;
}

bool FoldedStartsWith(const CaseFolding& folding, std::wstring_view text,
                      std::wstring_view prefix) {
    return folding.Fold(text).starts_with(folding.Fold(prefix));
}

bool FoldedEquals(const CaseFolding& folding, std::wstring_view a, std::wstring_view b) {
    return folding.Fold(a) == folding.Fold(b);
}

std::optional<TextSpan> FoldedFind(const CaseFolding& folding, std::wstring_view text,
                                   std::wstring_view part) {
    const std::wstring needle = folding.Fold(part);
    // Each folded unit remembers the original character it came from.
    std::wstring folded;
    std::vector<TextSpan> origin;
    folded.reserve(text.size());
    origin.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const size_t length = CharacterLength(text.substr(at));
        const std::wstring unit = folding.Fold(text.substr(at, length));
        folded += unit;
        origin.insert(origin.end(), unit.size(), TextSpan{at, length});
        at += length;
    }
    const size_t found = folded.find(needle);
    if (found == std::wstring::npos) {
        return std::nullopt;
    }
    if (needle.empty()) {
        return TextSpan{0, 0};
    }
    const TextSpan& first = origin[found];
    const TextSpan& last = origin[found + needle.size() - 1];
    return TextSpan{first.position, last.position + last.length - first.position};
}

} // namespace zelk
