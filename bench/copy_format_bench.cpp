// The copy of the result table: 100,000 rows of mixed Chinese and ASCII
// text, each with three groups, laid out by the copy format and joined into
// one text, as the copy label does.
//
//   build/bench/copy_format_bench
//
// The row source fills one scratch list of group views per row, the way a
// table model over kept match positions hands out its rows.
#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <string_view>

#include "bench/bench_text.h"
#include "operations/copy_format.h"

namespace {

constexpr std::size_t kRows = 100000;
constexpr std::size_t kStride = 16;

const std::u16string& benchText() {
    static const std::u16string text = lcr::bench::mixedText(kRows * kStride + 64);
    return text;
}

const char16_t* const kFormats[] = {u"#0", u"##. #0 (#1-#2-#3)", u"##\t#0\t#1\t#2\t#3\t#4"};

void BM_CopyResultRows(benchmark::State& state) {
    const std::u16string_view text = benchText();
    const char16_t* format = kFormats[state.range(0)];
    std::array<std::u16string_view, 3> groups;
    auto rowAt = [&](std::size_t i) {
        const std::u16string_view cell = text.substr(i * kStride, 12);
        groups = {cell.substr(0, 4), cell.substr(5, 2), cell.substr(8, 2)};
        return lcr::ResultRow{i + 1, cell, groups};
    };
    std::size_t size = 0;
    for (auto _ : state) {
        const std::u16string copy = lcr::copyResultRows(format, kRows, rowAt);
        size = copy.size();
        benchmark::DoNotOptimize(copy.data());
    }
    state.counters["rows"] = static_cast<double>(kRows);
    state.counters["chars"] = static_cast<double>(size);
    std::string label;
    for (const char16_t* p = format; *p; ++p) {
        label.push_back(*p == u'\t' ? ' ' : static_cast<char>(*p));
    }
    state.SetLabel(label);
}

BENCHMARK(BM_CopyResultRows)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
