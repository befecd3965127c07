// 表达式解释 of a long pattern: the tree and its words, as the panel and
// `lcregular-cli explain` make them on every keystroke.
//
//   build/bench/explain_bench
#include <benchmark/benchmark.h>

#include "library/pattern_words.h"
#include "regex/engine.h"

namespace {

// About 2,000 characters of everyday constructs.
std::u16string longPattern() {
    std::u16string pattern;
    while (pattern.size() < 2000) {
        pattern +=
            u"(?<y>\\d{4})-(\\d{1,2})[-/](\\d\\d)\\s*(?:上午|下午)?[\\u4e00-\\u9fa5]+?"
            u"(?=\\b)\\w+@\\w+\\.(?:com|cn)\\1|";
    }
    pattern += u"x";
    return pattern;
}

void BM_ExplainTree(benchmark::State& state) {
    const std::u16string pattern = longPattern();
    for (auto _ : state) {
        benchmark::DoNotOptimize(lcr::explainPattern(pattern, lcr::kIgnoreCase | lcr::kMultiline));
    }
    state.SetLabel(std::to_string(pattern.size()) + " characters");
}

void BM_ExplainInWords(benchmark::State& state) {
    const std::u16string pattern = longPattern();
    for (auto _ : state) {
        benchmark::DoNotOptimize(lcr::explanationText(pattern, lcr::kIgnoreCase | lcr::kMultiline));
    }
    state.SetLabel(std::to_string(pattern.size()) + " characters");
}

BENCHMARK(BM_ExplainTree)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExplainInWords)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
