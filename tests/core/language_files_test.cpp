#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <optional>

#include "core/form_design.h"
#include "core/localisation.h"
#include "latin1_codec.h"

using namespace zelk;

namespace {

// The access key of a caption: the character after a single '&'.
std::optional<wchar_t> AccessKey(std::wstring_view caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] == L'&') {
            if (caption[i + 1] != L'&') {
                return static_cast<wchar_t>(std::towupper(caption[i + 1]));
            }
            ++i;
        }
    }
    return std::nullopt;
}

long Breaks(std::wstring_view text, std::wstring_view mark) {
    long n = 0;
    for (size_t at = text.find(mark); at != std::wstring_view::npos; at = text.find(mark, at + 1)) {
        ++n;
    }
    return n;
}

} // namespace

// Every shipped translation covers each caption of the English forms and each numbered string,
// breaks lines where the English does, and gives the controls of a form distinct access keys.
TEST(LanguageFiles, TranslateEveryCaptionAndStringWithDistinctAccessKeys) {
    for (const char* code : {"fra", "deu", "ita", "spa", "por", "nld"}) {
        SCOPED_TRACE(code);
        std::ifstream in(std::string(ZELK_LNG_DIR "/") + code + ".lng", std::ios::binary);
        ASSERT_TRUE(in) << "missing language file";
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        const IniDocument file = IniDocument::Parse(DecodeTextFile(bytes, Latin1Codec()));
        for (const FormDesign& form : FormDesigns()) {
            std::map<wchar_t, std::wstring> owners;
            const auto check = [&](const std::wstring& key, std::wstring_view english) {
                const std::wstring text = file.Read(form.name, key, L"");
                EXPECT_FALSE(text.empty()) << form.name << "." << key << " is not translated";
                EXPECT_EQ(Breaks(text, L"|"), Breaks(english, L"|")) << form.name << "." << key;
                const auto mine = AccessKey(text);
                EXPECT_EQ(mine.has_value(), AccessKey(english).has_value())
                    << form.name << "." << key << ": " << testing::PrintToString(text);
                if (mine && !owners.emplace(*mine, key).second) {
                    ADD_FAILURE() << form.name << "." << key << " takes the access key of "
                                  << owners[*mine];
                }
            };
            check(L"Form", form.caption);
            for (const ControlDesign& control : form.controls) {
                if (IsTranslated(control)) {
                    check(ControlRef{control.name, control.index}.Key(), control.caption);
                }
            }
        }
        StringTable strings;
        strings.Load(file);
        for (const auto& [number, english] : EnglishStrings()) {
            const std::wstring text = strings.GetString(number, L"");
            EXPECT_FALSE(text.empty()) << number << "String is missing or after the end mark";
            EXPECT_EQ(Breaks(text, L"\r\n"), Breaks(english, L"|")) << number << "String";
        }
    }
}

// A longer caption widens its column, the panels around it and the form, the largest shortfall
// first; a button across the widened edge moves, a label stretches, what ends on the edge or
// lies wholly left of it stays.
TEST(LanguageFiles, WidenToFitPushesRightAndGrowsPanels) {
    std::vector<LayoutBox> boxes = {
        {10, 8, 560, 262, BoxRole::Panel},          // the panel holding the buttons
        {22, 32, 316, 226, BoxRole::Stretch},       // a list left of them
        {350, 34, 210, 28, BoxRole::Move, 250},     // a button whose caption needs 250
        {350, 68, 210, 28, BoxRole::Move, 230},     // the same column, needing less
        {470, 350, 100, 32, BoxRole::Move},         // Ok, across the column's right edge
        {300, 300, 300, 20, BoxRole::Stretch, 360}, // a label across it, short of room too
        {600, 300, 50, 20, BoxRole::Move},          // right of the label
        {10, 342, 440, 44, BoxRole::Panel},         // a panel ending before the column
        {300, 0, 260, 10, BoxRole::Panel},          // a panel ending on the column's edge
        {450, 400, 110, 24, BoxRole::Move}};        // a button ending on it
    EXPECT_EQ(WidenToFit(boxes), 100);
    const std::vector<std::pair<int, int>> expected = {
        {10, 600},  {22, 316}, {350, 250}, {350, 250}, {510, 100},
        {300, 400}, {700, 50}, {10, 440},  {300, 300}, {450, 110}};
    for (size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_EQ(std::pair(boxes[i].x, boxes[i].width), expected[i]) << i;
    }
}
