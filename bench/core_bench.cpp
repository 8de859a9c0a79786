// Start-up costs that grow with the user's files, each against a baseline measured in the
// same run: reading a 100,000-line toolbar file against splitting the same text into lines,
// and loading a full string table (32,000 lookups) against parsing the language file.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "core/ini_document.h"
#include "core/list_painter.h"
#include "core/shadow_geometry.h"
#include "core/localisation.h"
#include "core/text.h"
#include "core/toolbar_file.h"

namespace {

std::wstring ToolbarText() {
    std::wstring text;
    for (int i = 0; i < 100000; ++i) {
        text += L"C:\\Users\\me\\Tools\\Folder" + std::to_wstring(i) + L"|Title " +
                std::to_wstring(i) + L"\r\n";
    }
    return text;
}

std::wstring LanguageText() {
    // No end marker: the table reads all 32,000 keys, the worst case.
    std::wstring text = L"[frmMain]\r\nmnuQuit=Quitter\r\n[Strings]\r\n";
    for (int i = 1; i <= 500; ++i) {
        text += std::to_wstring(i) + L"String=Texte numéro " + std::to_wstring(i) + L"\r\n";
    }
    return text;
}

void SplitToolbarLines(benchmark::State& state) {
    const std::wstring text = ToolbarText();
    for (auto _ : state) {
        benchmark::DoNotOptimize(zelk::SplitLines(text));
    }
}
BENCHMARK(SplitToolbarLines)->Unit(benchmark::kMillisecond);

void ParseToolbarFile(benchmark::State& state) {
    const std::wstring text = ToolbarText();
    for (auto _ : state) {
        benchmark::DoNotOptimize(zelk::ParseToolbarText(text));
    }
}
BENCHMARK(ParseToolbarFile)->Unit(benchmark::kMillisecond);

void ParseLanguageFile(benchmark::State& state) {
    const std::wstring text = LanguageText();
    for (auto _ : state) {
        benchmark::DoNotOptimize(zelk::IniDocument::Parse(text));
    }
}
BENCHMARK(ParseLanguageFile)->Unit(benchmark::kMicrosecond);

void LoadStringTable(benchmark::State& state) {
    const auto ini = zelk::IniDocument::Parse(LanguageText());
    for (auto _ : state) {
        zelk::StringTable table;
        table.Load(ini);
        benchmark::DoNotOptimize(table);
    }
}
BENCHMARK(LoadStringTable)->Unit(benchmark::kMicrosecond);

// A canvas that only counts: the cost of the painter's own decisions per paint.
class CountingCanvas : public zelk::Canvas {
public:
    long ops = 0;
    void Clear(zelk::Colour) override { ++ops; }
    void FillSolid(const zelk::PaintRect&, zelk::Colour) override { ++ops; }
    void DrawSolidLine(int, int, int, int, zelk::Colour) override { ++ops; }
    void FillGradient(int, int, int, int, uint32_t, uint32_t) override { ++ops; }
    void DrawRoundRect(int, int, int, int, uint32_t, uint32_t, int) override { ++ops; }
    void DrawText(const std::wstring&, const zelk::PaintRect&, uint32_t, zelk::Colour,
                  const zelk::TextStyle&) override {
        ++ops;
    }
    int MeasureText(const std::wstring& t, const zelk::TextStyle&) override {
        return static_cast<int>(t.size()) * 7;
    }
    int TextHeight() override { return 14; }
    void DrawImage(int, int, int, int, int, std::optional<zelk::Colour>, bool) override { ++ops; }
    void DrawGlyph(zelk::Glyph, const zelk::PaintRect&, zelk::Colour) override { ++ops; }
    void Present() override { ++ops; }
};

void PaintMenuList(benchmark::State& state) {
    zelk::ListModel model;
    for (int i = 0; i < 257; ++i) {
        model.AddItem(L"Program " + std::to_wstring(i), i);
    }
    model.SetListIndex(3);
    zelk::ListProperties props;
    props.BackColor = 0;
    CountingCanvas canvas;
    for (auto _ : state) {
        zelk::ListPaintInput in;
        in.model = &model;
        in.properties = &props;
        in.width = 350;
        in.height = 600;
        in.headerHeight = 8;
        in.rowHeight = 24;
        in.imageCount = 257;
        in.imageWidth = in.imageHeight = 18;
        benchmark::DoNotOptimize(zelk::PaintList(in, canvas));
    }
}
BENCHMARK(PaintMenuList)->Unit(benchmark::kMicrosecond);

std::vector<uint8_t> ShadowSquare(int size) {
    std::vector<uint8_t> alpha(static_cast<size_t>(size * size));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            alpha[static_cast<size_t>(y * size + x)] =
                (x > 3 && y > 3 && x < size - 4 && y < size - 4) ? 20 : 0;
        }
    }
    return alpha;
}

void BlurTemplate(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    const auto alpha = ShadowSquare(size);
    for (auto _ : state) {
        benchmark::DoNotOptimize(zelk::BlurAlpha(alpha, size, size, 6));
    }
}
BENCHMARK(BlurTemplate)->Arg(48)->Arg(200)->Unit(benchmark::kMicrosecond);

template <class F> double SecondsPerCall(F f, int calls) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < calls; ++i) {
        f();
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / calls;
}

void PrintRatios() {
    const std::wstring toolbars = ToolbarText();
    const std::wstring language = LanguageText();
    const auto ini = zelk::IniDocument::Parse(language);
    const double split =
        SecondsPerCall([&] { benchmark::DoNotOptimize(zelk::SplitLines(toolbars)); }, 5);
    const double parse =
        SecondsPerCall([&] { benchmark::DoNotOptimize(zelk::ParseToolbarText(toolbars)); }, 5);
    const double iniParse =
        SecondsPerCall([&] { benchmark::DoNotOptimize(zelk::IniDocument::Parse(language)); }, 20);
    const double load = SecondsPerCall(
        [&] {
            zelk::StringTable table;
            table.Load(ini);
            benchmark::DoNotOptimize(table);
        },
        20);
    const auto alpha = ShadowSquare(200);
    const double fast =
        SecondsPerCall([&] { benchmark::DoNotOptimize(zelk::BlurAlpha(alpha, 200, 200, 6)); }, 20);
    const double naive = SecondsPerCall(
        [&] { benchmark::DoNotOptimize(zelk::BlurAlphaNaive(alpha, 200, 200, 6)); }, 3);
    std::printf("shadow blur, 200x200 at k=6: %.3f ms, %.3fx the naive blur (%.2f ms)\n",
                fast * 1e3, fast / naive, naive * 1e3);
    std::printf("toolbar file, 100000 lines: %.1f ms, %.2fx a bare line split\n", parse * 1e3,
                parse / split);
    std::printf("string table, 32000 lookups: %.2f ms, %.2fx parsing the language file\n",
                load * 1e3, load / iniParse);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    PrintRatios();
    return 0;
}
