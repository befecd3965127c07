// searchAll over ~8 MB of mixed text, side by side with a bare PCRE2 JIT
// match loop over the same UTF-16 text and the same (translated) pattern.
//
//   build/bench/search_bench --benchmark_counters_tabular=true
//
// bytes_per_second counts the UTF-16 text (2 bytes a code unit).
#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <benchmark/benchmark.h>

#include <memory>

#include "bench/bench_text.h"
#include "operations/process_memory.h"
#include "regex/deelx_regex_object.h"
#include "regex/pattern_translator.h"

namespace {

const std::shared_ptr<const std::u16string>& benchText() {
    static const auto text =
        std::make_shared<const std::u16string>(lcr::bench::mixedText(4 * 1024 * 1024));
    return text;
}

const char16_t* const kPatterns[] = {u"\\d+", u"[\\u4e00-\\u9fa5]+", u"\\w+@\\w+\\.\\w+",
                                     u"(\\d{4})-(\\d{2})-(\\d{2})", u"中华人民共和国"};

void setLabel(benchmark::State& state) {
    std::string label;
    for (const char16_t* p = kPatterns[state.range(0)]; *p; ++p) {
        label.push_back(*p < 0x80 ? static_cast<char>(*p) : '?');
    }
    state.SetLabel(label);
}

void BM_SearchAll(benchmark::State& state) {
    const auto& text = benchText();
    lcr::DeelxRegexObject re;
    re.create(kPatterns[state.range(0)]);  // default options: ignore case, multiline
    std::int32_t matches = 0;
    for (auto _ : state) {
        matches = re.searchAll(text);
        benchmark::DoNotOptimize(matches);
    }
    state.counters["matches"] = matches;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text->size() * 2));
    setLabel(state);
}

void BM_BarePcre2Loop(benchmark::State& state) {
    const auto& text = benchText();
    const lcr::TranslatedPattern translated =
        lcr::translateDeelxPattern(kPatterns[state.range(0)], {true, true, false, false, false});
    // the same PCRE2 options as the engine's

    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_compile_context* context = pcre2_compile_context_create(nullptr);
    pcre2_set_newline(context, PCRE2_NEWLINE_LF);
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR16>(translated.pcrePattern.data()),
                                     translated.pcrePattern.size(),
                                     PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_CASELESS |
                                         PCRE2_DOLLAR_ENDONLY | PCRE2_DUPNAMES,
                                     &error, &offset, context);
    pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
    const auto* subject = reinterpret_cast<PCRE2_SPTR16>(text->data());
    std::int64_t matches = 0;
    for (auto _ : state) {
        matches = 0;
        PCRE2_SIZE from = 0;
        while (pcre2_jit_match(code, subject, text->size(), from, 0, data, nullptr) > 0) {
            const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(data);
            ++matches;
            from = ov[1] > ov[0] ? ov[1] : ov[1] + 1;
        }
        benchmark::DoNotOptimize(matches);
    }
    state.counters["matches"] = static_cast<double>(matches);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text->size() * 2));
    setLabel(state);
    pcre2_match_data_free(data);
    pcre2_code_free(code);
    pcre2_compile_context_free(context);
}

// A look-behind of any length is matched right to left by a callout; the same
// search with a fixed-length look-behind, which PCRE2 runs natively, is the
// yardstick. Both find the same matches in this text.
const char16_t* const kLookbehindPatterns[] = {u"(?<=\\{ )print", u"(?<=\\{\\s*)print",
                                               u"(?<=[a-z]{3} )\\d+", u"(?<=[a-z]+ )\\d+"};

void BM_LookBehind(benchmark::State& state) {
    static const std::u16string text = [] {
        std::u16string t = lcr::bench::mixedText(2 * 1024 * 1024);
        for (std::size_t i = 0; i < t.size(); i += 97) {
            t.replace(i, 7, u"{ print");
        }
        for (std::size_t i = 41; i < t.size(); i += 89) {
            t.replace(i, 7, u"abc 123");
        }
        return t;
    }();
    const char16_t* pattern = kLookbehindPatterns[state.range(0)];
    lcr::DeelxRegexObject re;
    re.create(pattern);
    std::int32_t matches = 0;
    for (auto _ : state) {
        matches = re.searchAll(text);
        benchmark::DoNotOptimize(matches);
    }
    state.counters["matches"] = matches;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size() * 2));
    std::string label;
    for (const char16_t* p = pattern; *p; ++p) {
        label.push_back(*p < 0x80 ? static_cast<char>(*p) : '?');
    }
    state.SetLabel(label);
}

BENCHMARK(BM_SearchAll)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LookBehind)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BarePcre2Loop)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    lcr::keepFreedMemoryForReuse();  // as the program does
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
