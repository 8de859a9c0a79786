// Start-up costs that grow with the user's files, each against a baseline measured in the
// same run: reading a 100,000-line toolbar file against splitting the same text into lines,
// and loading a full string table (32,000 lookups) against parsing the language file.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "core/ini_document.h"
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
