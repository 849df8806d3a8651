// How the batch run's script building compares with the bare write of its bytes, and how
// the layout listing parser grows with the number of layouts.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "app/ScriptFile.h"
#include "app/Survey.h"
#include "app/TemplateExpansion.h"

namespace {

constexpr int kDroppedFiles = 10'000;
constexpr int kLayoutsPerDrawing = 5;

std::string Numbered(int i) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%05d", i);
    return digits;
}

// A plotting template of 20 lines with a per-layout block, and a survey of every drawing.
struct BatchTables {
    LineList templateLines{"open",
                           "[FULLFILEPATH]",
                           "zoom",
                           "e",
                           "[LAYOUTLOOP]",
                           "-plot",
                           "y",
                           "",
                           "DWG To PDF.pc3",
                           "ISO A3 (420.00 x 297.00 mm)",
                           "m",
                           "l",
                           "n",
                           "w",
                           "0,0",
                           "420,297",
                           "1:1",
                           "[FOLDER]\\[FILENAME].pdf",
                           "close",
                           "y"};
    LineList loopBody{"-layout", "set", "[LAYOUTNAME]", "zoom e"};
    StringGridCells droppedFiles{5, 1};
    LineList droppedPaths;
    StringGridCells layouts{kLayoutsPerDrawing + 3, 1};

    BatchTables() {
        const std::string folder = "C:\\Users\\operator\\図面\\案件";
        layouts.SetCell(0, 0, "取得完了");
        layouts.SetCell(1, 0, "ﾚｲｱｳﾄ数");
        for (int k = 1; k <= kDroppedFiles; ++k) {
            const std::string stem = "plan" + Numbered(k);
            const std::string path = folder + "\\" + stem + ".dwg";
            droppedFiles.SetCell(0, k, path);
            droppedFiles.SetCell(1, k, stem + ".dwg");
            droppedFiles.SetCell(2, k, folder + "\\" + stem);
            droppedFiles.SetCell(3, k, folder);
            droppedPaths.push_back(path);
            layouts.SetCell(0, k, path);
            layouts.SetCell(1, k, std::to_string(kLayoutsPerDrawing));
            for (int n = 0; n < kLayoutsPerDrawing; ++n) {
                layouts.SetCell(n + 2, k, "レイアウト" + std::to_string(n + 1));
            }
        }
        layouts.SetRowCount(kDroppedFiles + 1);
    }

    ExpansionInput Input() const {
        return {kDroppedFiles, templateLines, static_cast<int>(templateLines.size()),
                loopBody,      droppedFiles,  droppedPaths,
                layouts,       kDroppedFiles};
    }
};

const BatchTables& Tables() {
    static const BatchTables tables;
    return tables;
}

const std::string& ScratchPath() {
    static const std::string path = (std::filesystem::temp_directory_path() / "marlowen-bench-test.scr").string();
    return path;
}

bool WriteAtOnce(const std::string& bytes) {
    std::FILE* file = std::fopen(ScratchPath().c_str(), "wb");
    if (!file) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

void BatchRunScript(benchmark::State& state) {
    const ExpansionInput input = Tables().Input();
    std::size_t size = 0;
    for (auto _ : state) {
        const Expansion expansion = ExpandTemplate(input);
        const std::string bytes = ScriptFileBytes(expansion.lines);
        if (!WriteAtOnce(bytes)) {
            state.SkipWithError("cannot write the scratch script");
            return;
        }
        size = bytes.size();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
    state.counters["script_bytes"] = static_cast<double>(size);
}
BENCHMARK(BatchRunScript)->Unit(benchmark::kMillisecond);

// The floor for the benchmark above: a script of the same size written with one call.
void WriteSameSizeAtOnce(benchmark::State& state) {
    const std::string bytes = ScriptFileBytes(ExpandTemplate(Tables().Input()).lines);
    for (auto _ : state) {
        if (!WriteAtOnce(bytes)) {
            state.SkipWithError("cannot write the scratch script");
            return;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
    state.counters["script_bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(WriteSameSizeAtOnce)->Unit(benchmark::kMillisecond);

// The two parts of the batch run's work before the write, apart.
void ExpandTemplateOnly(benchmark::State& state) {
    const ExpansionInput input = Tables().Input();
    for (auto _ : state) {
        const Expansion expansion = ExpandTemplate(input);
        benchmark::DoNotOptimize(expansion.lines.data());
    }
}
BENCHMARK(ExpandTemplateOnly)->Unit(benchmark::kMillisecond);

void ScriptFileBytesOnly(benchmark::State& state) {
    const LineList lines = ExpandTemplate(Tables().Input()).lines;
    for (auto _ : state) {
        const std::string bytes = ScriptFileBytes(lines);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(ScriptFileBytesOnly)->Unit(benchmark::kMillisecond);

// A stripped command pane listing the given number of layouts.
std::string StrippedPane(int layoutCount) {
    std::string pane =
        "コマンド:layoutレイアウトオプションを入力[コピー(C)/削除(D)/新規作成(N)/テンプレート(T)/"
        "名前変更(R)/名前を付けて保存(SA)/設定(S)/?]<設定>:?アクティブなレイアウト:Layout1"
        "リストするレイアウト名を入力<*>:*.";
    for (int i = 0; i < layoutCount; ++i) {
        pane += "レイアウト:配置図" + Numbered(i) + "ブロック名:*Paper_Space" + std::to_string(i) + ".";
    }
    return pane;
}

void ParseLayoutListingBench(benchmark::State& state) {
    const int layoutCount = static_cast<int>(state.range(0));
    const std::string pane = StrippedPane(layoutCount);
    for (auto _ : state) {
        const LineList entries = ParseLayoutListing(pane);
        if (entries.size() != static_cast<std::size_t>(layoutCount) + 1) {
            state.SkipWithError("wrong number of layouts");
            return;
        }
        benchmark::DoNotOptimize(entries.data());
    }
    state.SetComplexityN(layoutCount);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * pane.size()));
    state.counters["pane_bytes"] = static_cast<double>(pane.size());
}
BENCHMARK(ParseLayoutListingBench)->Arg(1'000)->Arg(10'000)->Unit(benchmark::kMicrosecond)->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
