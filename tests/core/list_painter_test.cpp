#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <sstream>

#include "core/list_painter.h"

using namespace zelk;

namespace {

// Records every drawing operation as one line of text: numbers in decimal, colours in hex.
class RecordingCanvas : public Canvas {
public:
    std::vector<std::string> ops;

    void Clear(Colour c) override { Op("clear #", c); }
    void FillSolid(const PaintRect& r, Colour c) override { Op("fill ", Rect(r), " #", c); }
    void DrawSolidLine(int x1, int y1, int x2, int y2, Colour c) override {
        Op("line ", Nums({x1, y1, x2, y2}), " #", c);
    }
    void FillGradient(int x, int y, int w, int h, uint32_t top, uint32_t bottom) override {
        Op("gradient ", Nums({x, y, w, h}), " ", top, ">", bottom);
    }
    void DrawRoundRect(int x, int y, int w, int h, uint32_t fill, uint32_t border, int r) override {
        Op("round ", Nums({x, y, w, h, r}), " ", fill, "/", border);
    }
    void DrawText(const std::wstring& t, const PaintRect& r, uint32_t flags, Colour c,
                  const TextStyle& style) override {
        Op("text '", std::string(t.begin(), t.end()), "' ", Rect(r),
           flags == kTextRight ? " right" : "", style.bold ? " bold" : "",
           style.sizeDelta ? " small" : "", " #", c);
    }
    int MeasureText(const std::wstring& t, const TextStyle&) override {
        return static_cast<int>(t.size()) * 7;
    }
    int TextHeight() override { return 14; }
    void DrawImage(int image, int x, int y, int w, int h, std::optional<Colour> tint,
                   bool disabled) override {
        Op("image ", Nums({image}), " ", Nums({x, y, w, h}), tint ? " tinted" : "",
           disabled ? " grey" : "");
    }
    void DrawGlyph(Glyph g, const PaintRect& r, Colour c) override {
        const char* names[] = {"check-on", "check-off", "arrow", "search"};
        Op("glyph ", names[static_cast<int>(g)], " ", Rect(r), " #", c);
    }
    void Present() override { ops.push_back("present"); }

    // The operations starting with PREFIX, joined by '|'.
    std::string Only(const std::string& prefix) const {
        std::string out;
        for (const std::string& op : Matching(prefix)) {
            out += (out.empty() ? "" : "|") + op;
        }
        return out;
    }
    std::vector<std::string> Matching(const std::string& prefix) const {
        std::vector<std::string> out;
        std::copy_if(ops.begin(), ops.end(), std::back_inserter(out),
                     [&](const std::string& op) { return op.starts_with(prefix); });
        return out;
    }

private:
    static std::string Nums(std::initializer_list<int> values) {
        std::string out;
        for (int v : values) {
            out += (out.empty() ? "" : ",") + std::to_string(v);
        }
        return out;
    }
    static std::string Rect(const PaintRect& r) { return Nums({r.left, r.top, r.right, r.bottom}); }
    template <typename... Parts> void Op(const Parts&... parts) {
        std::ostringstream o;
        o << std::hex;
        (o << ... << parts);
        ops.push_back(o.str());
    }
};

struct Fixture {
    ListModel model;
    ListProperties props;
    ListPaintInput in;
    RecordingCanvas canvas;

    Fixture() {
        props.BackColor = 0x000000;
        props.SelectionColor = 0xD77800;
        props.FindTextColor = 0x00FFFF;
        in.model = &model;
        in.properties = &props;
        in.resolve = [](int) { return Colour{0x808080}; };
        in.width = 300;
        in.height = 400;
        in.headerHeight = 8;
        in.rowHeight = 24;
    }
    ListPaintResult result{};
    std::vector<std::string> Paint() {
        canvas.ops.clear();
        result = PaintList(in, canvas);
        return canvas.ops;
    }
};

} // namespace

TEST(ListPainter, SeparatorLineSitsAQuarterRowDownAndTakesHalfARow) {
    Fixture f;
    f.model.AddItem(L"a");
    f.model.AddItem(L"-");
    f.model.AddItem(L"b");
    const auto ops = f.Paint();
    EXPECT_EQ(ops.front(), "clear #0");
    EXPECT_EQ(f.canvas.Only("line"), "line 0,38,300,38 #323232"); // 8 + 24 + 6; blend(C,B,50)
    EXPECT_EQ(f.canvas.Only("text 'b'"), "text 'b' 16,44,284,68 #ffffff");
    EXPECT_EQ(ops.back(), "present");
    EXPECT_EQ(f.result.lineColor, 0x323232u);
    // With a rounded selection the line keeps the margins too.
    f.props.SelectionRadius = 4;
    f.Paint();
    EXPECT_EQ(f.canvas.Only("line"), "line 8,38,292,38 #323232");
}

// One row painted in each state: the operations it must produce (among others). The list is
// black, so the contrast text is white; the selection is light, so its text is black.
TEST(ListPainter, EachRowStateHasItsColoursAndIndent) {
    struct Case {
        const char* name;
        // d disabled, s selected (B: in blue), h hot, p pressed, c check box column, l lines
        // under rows, t sub-titles, g a group's child, i a group header with icon 0, r a right
        // column
        const char* state;
        Colour text, back, subText;
        const char* ops; // each followed by '|'
    };
    const Colour D = kDefaultColour;
    const Case cases[] = {
        {"plain", "", D, D, D, "text 'x' 16,8,284,32 #ffffff|"},
        {"disabled", "d", D, D, D, "text 'x' 16,8,284,32 #787878|"},
        {"own text colour", "", 0x0000FF, D, D, "text 'x' 16,8,284,32 #ff|"},
        {"selected", "s", D, D, D, "fill 0,8,300,32 #f0f0f0|text 'x' 16,8,284,32 #0|"},
        {"hot", "h", D, D, D, "fill 0,8,300,32 #373737|text 'x' 16,8,284,32 #ffffff|"},
        {"hot and pressed", "hp", D, D, D, "fill 0,8,300,32 #f0f0f0|text 'x' 16,8,284,32 #0|"},
        {"own back colour", "", D, 0x0000FF, D, "fill 0,8,300,32 #ff|"},
        {"hot, light own back", "h", D, 0xFFFFFF, D, "fill 0,8,300,32 #c8c8c8|"},
        {"hot, dark own back", "h", D, 0x000080, D, "fill 0,8,300,32 #6969b4|"},
        {"group child, indented", "g", D, D, D, "text 'x' 32,32,284,56 #ffffff|"},
        {"check box column", "sc", D, D, D,
         "glyph check-on 16,12,32,28 #0|text 'x' 40,8,284,32 #0|"},
        {"lines under rows", "l", D, D, D, "line 0,32,300,32 #323232|"},
        {"right column, dimmed", "r", D, D, D, "text 'R' 16,8,284,32 right #787878|"},
        {"own colour, right column", "r", D, D, 0x00FF00, "text 'R' 16,8,284,32 right #ff00|"},
        {"sub-title: the row's texts above the centre", "rt", D, D, D,
         "text 'x' 16,8,284,18 #ffffff|text 'R' 16,8,284,18 right #ffffff|"
         "text 's' 16,8,284,46 small #787878|"},
        {"selected sub-title, not dimmed", "Bt", D, D, D, "text 's' 16,8,284,46 small #ffffff|"},
        {"own sub-title colour", "t", D, D, 0x00FF00, "text 's' 16,8,284,46 small #ff00|"},
        {"group icon 0", "i", D, D, D, "image 1 16,12,16,16|text 'x' 40,8,300,32 bold #ffffff|"},
        // H: high contrast, whose system colours replace the list's and the row's own.
        {"high contrast", "H", 0x0000FF, D, D, "clear #111111|text 'x' 16,8,284,32 #222222|"},
        {"high contrast, selected: a focus rectangle", "Hs", D, D, D,
         "fill 0,8,300,32 #333333|text 'x' 16,8,284,32 #444444|line 2,10,298,10 #444444|"
         "line 298,29,2,29 #444444|"},
        {"high contrast, hot", "Hh", D, 0x0000FF, D,
         "fill 0,8,300,32 #333333|text 'x' 16,8,284,32 #444444|"},
        {"high contrast, right column", "Hr", D, D, D, "text 'R' 16,8,284,32 right #222222|"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string state = c.state;
        const auto is = [&](char flag) { return state.find(flag) != std::string::npos; };
        Fixture f;
        f.props.SelectionColor = is('B') ? 0xD77800 : 0xF0F0F0;
        f.props.MultiSelect = is('c');
        f.props.DrawSeparatorLine = is('l');
        f.props.SubTitleVisible = is('t');
        f.in.pressed = is('p');
        if (is('H')) {
            f.in.highContrast =
                SystemColours{0x111111, 0x222222, 0x333333, 0x444444, 0x555555, 0x666666};
        }
        const wchar_t* row = is('r') ? L"x\tR" : L"x";
        if (is('i')) {
            f.model.OpenGroup(row, 0);
            f.in.imageCount = 1;
            f.in.imageWidth = f.in.imageHeight = 16;
        } else {
            if (is('g')) {
                f.model.OpenGroup(L"g");
            }
            f.model.AddItem(row, -1, MissingValue{}, L"s", is('c'), is('d'));
        }
        const long last = f.model.ListCount() - 1;
        ListItem& item = f.model.MutableItem(last);
        item.TextColor = c.text;
        item.BackColor = c.back;
        item.SubTextColor = c.subText;
        f.model.SetListIndex(is('s') || is('B') ? last : -1);
        f.model.SetHotIndex(is('h') ? last : -1);
        const auto ops = f.Paint();
        for (std::string_view rest = c.ops; !rest.empty(); rest.remove_prefix(rest.find('|') + 1)) {
            const std::string op(rest.substr(0, rest.find('|')));
            EXPECT_NE(std::find(ops.begin(), ops.end(), op), ops.end())
                << op << " not among:\n"
                << testing::PrintToString(ops);
        }
    }
}

// Per state (normal, pressed, hot) on a dark and a light list, and under high contrast.
TEST(ListPainter, ThumbColourPerStateOnDarkLightAndHighContrast) {
    const SystemColours system{0x111111, 0x222222, 0x333333, 0x444444, 0x555555, 0x666666};
    const Colour dark[] = {0x373737, 0x696969, 0x4B4B4B}, light[] = {0xC8C8C8, 0xB4B4B4, 0xDCDCDC};
    const Colour contrast[] = {0x222222, 0x333333, 0x333333};
    for (int state = 0; state < 3; ++state) {
        EXPECT_EQ(ThumbColour(0x000000, state), dark[state]) << state;
        EXPECT_EQ(ThumbColour(0xFFFFFF, state), light[state]) << state;
        EXPECT_EQ(ThumbColour(0xFFFFFF, state, system), contrast[state]) << state;
    }
}

TEST(ListPainter, HighlightExtentsWithAndWithoutRadiusAndScrollBar) {
    Fixture f;
    f.model.AddItem(L"a");
    f.model.AddItem(L"b");
    f.model.SetListIndex(1);
    f.Paint();
    EXPECT_EQ(f.canvas.Only("fill 0,32"), "fill 0,32,300,56 #d77800");

    f.props.SelectionRadius = 6;
    f.Paint();
    EXPECT_EQ(f.canvas.Only("round"), "round 4,32,288,24,6 ff0078d7/0"); // M/2 .. width - M

    f.in.scrollBarVisible = true;
    f.in.scrollBarLeft = 290;
    f.Paint();
    EXPECT_EQ(f.canvas.Only("round"), "round 4,32,284,24,6 ff0078d7/0");
    f.props.SelectionRadius = 0;
    f.Paint();
    EXPECT_EQ(f.canvas.Only("fill 0,32"), "fill 0,32,288,56 #d77800");

    // Hover without a press uses the hover blend; with the button held it looks selected.
    f.model.SetListIndex(-1);
    f.model.SetHotIndex(0);
    f.Paint();
    EXPECT_EQ(f.canvas.Only("fill 0,8,"), "fill 0,8,288,32 #373737");
    f.in.pressed = true;
    f.Paint();
    EXPECT_EQ(f.canvas.Only("fill 0,8,"), "fill 0,8,288,32 #d77800");
}

TEST(ListPainter, BandsGlyphsAndTheFilterFrame) {
    Fixture f;
    f.props.MultiSelect = true;
    f.model.AddItem(L"on", -1, MissingValue{}, L"", true);
    f.model.AddSubMenu(L"sub", &f.model);
    f.in.scrollValue = 0;
    f.in.scrollMax = 10;
    f.Paint();
    EXPECT_EQ(f.canvas.Only("glyph"),
              "glyph check-on 16,12,32,28 #d77800|glyph arrow 284,36,300,52 #ffffff");
    EXPECT_EQ(f.canvas.Only("gradient"), "gradient 0,388,300,4 0>ff000000");
    EXPECT_EQ(f.canvas.Only("fill 0,0,"), "fill 0,0,300,8 #0");
    EXPECT_EQ(f.canvas.Only("fill 0,392,"), "fill 0,392,300,400 #0");

    f.in.scrollValue = 10;
    f.props.ShowFilter = true;
    f.in.filterShown = true;
    f.in.filterBox = {20, 16, 200, 31};
    f.Paint();
    EXPECT_EQ(f.canvas.Only("gradient"), "gradient 0,8,300,4 ff000000>0");
    EXPECT_EQ(f.canvas.Only("round"), "round 12,8,212,31,5 ff000000/ff0078d7");
    EXPECT_EQ(f.canvas.Only("glyph search"), "glyph search 200,8,300,39 #ffffff");
    // The frame belongs to the filter box while it shows, and only then.
    f.in.filterShown = false;
    f.Paint();
    EXPECT_TRUE(f.canvas.Matching("glyph search").empty());
}

TEST(ListPainter, RowsAboveTheTopDrawNothingAndThePaintStopsBelowTheBottom) {
    Fixture f;
    f.model.AddItem(L"-"); // half a row
    for (int i = 1; i < 1000; ++i) {
        f.model.AddItem(L"row" + std::to_wstring(i));
    }
    f.in.scrollValue = 8 + 12 + 24 * 98; // row 98 ends at the top, row 99 starts there
    f.Paint();
    const auto texts = f.canvas.Matching("text");
    EXPECT_EQ(texts.front(), "text 'row99' 16,0,284,24 #ffffff");
    EXPECT_EQ(texts.size(), 17u); // rows at 0, 24, ... 384
}
