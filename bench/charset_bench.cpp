// Reading and writing batch files in memory: ~16 MB of mixed Chinese and
// ASCII text in each charset, decoded with detection (as "自动识别" reads a
// file) and encoded with its mark (as a batch replace writes one). The
// literal way through GB18030 and iconv is measured beside the direct one.
// Throughput is bytes of the file per second.
//
//   build/bench/charset_bench
#include <benchmark/benchmark.h>

#include <string>

#include "batch/charset.h"
#include "batch/text_file.h"
#include "bench/bench_text.h"
#include "text/gb18030.h"

namespace {

using lcr::TextCharset;

// Without the emoji of the mixed text: a single four-byte UTF-8 sequence
// makes detection read a file without a mark as GBK.
const std::u16string& benchText() {
    static const std::u16string text = [] {
        std::u16string t = lcr::bench::mixedText(8 * 1024 * 1024);
        std::erase_if(t, [](char16_t c) { return (c & 0xF800) == 0xD800; });
        return t;
    }();
    return text;
}

// The file bytes of the text in a charset, with its mark.
const std::string& fileBytes(TextCharset charset) {
    static std::string files[7];
    std::string& bytes = files[static_cast<int>(charset)];
    if (bytes.empty()) {
        bytes = lcr::encodeFileBytes(benchText(), charset).bytes;
    }
    return bytes;
}

void BM_DecodeDetect(benchmark::State& state, TextCharset written, bool dropMark) {
    std::string bytes = fileBytes(written);
    if (dropMark) {
        bytes.erase(0, lcr::byteOrderMark(written).size());
    }
    for (auto _ : state) {
        lcr::DecodedText decoded = lcr::decodeFileBytes(bytes, TextCharset::Detect);
        benchmark::DoNotOptimize(decoded.text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK_CAPTURE(BM_DecodeDetect, gb18030, TextCharset::Gbk, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecodeDetect, utf8_mark, TextCharset::Utf8, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecodeDetect, utf8_no_mark, TextCharset::Utf8, true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecodeDetect, utf16le, TextCharset::Utf16Le, false)
    ->Unit(benchmark::kMillisecond);

void BM_Encode(benchmark::State& state, TextCharset charset) {
    const std::u16string& text = benchText();
    std::size_t size = 0;
    for (auto _ : state) {
        std::string bytes = lcr::encodeFileBytes(text, charset).bytes;
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK_CAPTURE(BM_Encode, gb18030, TextCharset::Gbk)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Encode, utf8, TextCharset::Utf8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Encode, utf16le, TextCharset::Utf16Le)->Unit(benchmark::kMillisecond);

void BM_LooksLikeUtf8(benchmark::State& state) {
    const std::string& bytes = fileBytes(TextCharset::Utf8);
    for (auto _ : state) {
        benchmark::DoNotOptimize(lcr::LooksLikeUtf8(bytes));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_LooksLikeUtf8)->Unit(benchmark::kMillisecond);

// The literal ways, for comparison: iconv to GB18030 and our decoder, and
// our encoder and iconv from GB18030.
void BM_LiteralUtf8ToText(benchmark::State& state) {
    const std::string bytes = fileBytes(TextCharset::Utf8).substr(3);
    for (auto _ : state) {
        std::u16string text = lcr::decodeGb18030(lcr::ConvertCharset(bytes, "UTF-8", "GB18030"));
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_LiteralUtf8ToText)->Unit(benchmark::kMillisecond);

void BM_LiteralTextToUtf8(benchmark::State& state) {
    const std::u16string& text = benchText();
    std::size_t size = 0;
    for (auto _ : state) {
        std::string bytes = lcr::ConvertCharset(lcr::encodeGb18030(text), "GB18030", "UTF-8");
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_LiteralTextToUtf8)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
