// Batch extract and batch replace over a folder of files in mixed charsets:
// a third GB18030, a third UTF-8 without a mark, a third UTF-16LE with its
// mark, each file about 100 KB of mixed Chinese and ASCII order lines (one
// date a line). Throughput is bytes of the source files per second; every
// iteration lists the folder, reads, converts, matches and writes all
// outputs, as a run from the window does. Each iteration writes into a
// fresh output folder: overwriting the outputs of a run before is slower on
// ext4, whose close of a file emptied and rewritten waits for the disk.
//
//   build/bench/batch_run_bench                      # 100 files, 10 MB, made in /tmp
//   build/bench/batch_run_bench --corpus=DIR         # the folder DIR/mixed
//   build/bench/batch_run_bench --generate=DIR [--files=1000] [--file-bytes=100000]
//       writes DIR/mixed (the sources) and DIR/utf8 (the same texts as UTF-8,
//       for tools that read UTF-8 only) and exits;
//   build/bench/batch_run_bench --corpus=DIR --run=extract|replace
//       one run over DIR/mixed, as the benchmarks do it, and exits.
// bench/batch_vs_tools.sh uses the last two.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "batch/batch_run.h"
#include "batch/file_discovery.h"
#include "batch/text_file.h"
#include "bench/bench_text.h"
#include "operations/process_memory.h"
#include "text/gb18030.h"

namespace {

namespace fs = std::filesystem;
using lcr::TextCharset;

constexpr const char16_t* kDatePattern = u"\\d{4}-\\d{2}-\\d{2}";

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Writes `files` files of about `fileBytes` bytes each into folder/mixed and
// their UTF-8 twins into folder/utf8. Each file holds its own run of lines
// of the mixed text.
void generateCorpus(const fs::path& folder, std::size_t files, std::size_t fileBytes) {
    std::u16string pool = lcr::bench::mixedText(4 * 1024 * 1024);
    // No four-byte characters: one would make a UTF-8 file without a mark
    // read as GBK, which is right, but not what is measured here.
    std::erase_if(pool, [](char16_t c) { return (c & 0xF800) == 0xD800; });
    std::vector<std::u16string_view> lines;
    for (std::size_t at = 0; at < pool.size();) {
        const std::size_t end = pool.find(u"\r\n", at);
        const std::size_t next = end == std::u16string::npos ? pool.size() : end + 2;
        lines.push_back(std::u16string_view(pool).substr(at, next - at));
        at = next;
    }
    fs::create_directories(folder / "mixed");
    fs::create_directories(folder / "utf8");
    const TextCharset charsets[] = {TextCharset::Gbk, TextCharset::Utf8, TextCharset::Utf16Le};
    for (std::size_t f = 0; f < files; ++f) {
        const TextCharset charset = charsets[f % 3];
        std::u16string text;
        std::size_t bytes = charset == TextCharset::Utf16Le ? 2 : 0;  // the mark
        for (std::size_t line = (f * 7919) % lines.size(); bytes < fileBytes;
             line = (line + 1) % lines.size()) {
            text += lines[line];
            bytes += charset == TextCharset::Utf16Le ? 2 * lines[line].size()
                     : charset == TextCharset::Utf8  ? lcr::toUtf8(lines[line]).size()
                                                     : lcr::encodeGb18030(lines[line]).size();
        }
        std::string encoded = charset == TextCharset::Utf8
                                  ? lcr::toUtf8(text)  // no mark
                                  : lcr::encodeFileBytes(text, charset).bytes;
        char name[32];
        std::snprintf(name, sizeof name, "f%04zu.txt", f);
        writeFile(folder / "mixed" / name, encoded);
        writeFile(folder / "utf8" / name, lcr::toUtf8(text));
    }
}

std::string g_corpus;   // --corpus: the folder that holds mixed/
fs::path g_madeCorpus;  // the folder made when none was given, removed at the end

const fs::path& corpus() {
    static const fs::path folder = [] {
        if (!g_corpus.empty()) {
            return fs::path(g_corpus);
        }
        char pattern[] = "/tmp/lcr_batch_bench_XXXXXX";
        const fs::path made = ::mkdtemp(pattern);
        generateCorpus(made, 100, 100000);
        g_madeCorpus = made;
        return made;
    }();
    return folder;
}

std::int64_t sourceBytes(const lcr::FileList& files) {
    std::int64_t total = 0;
    for (const lcr::ListedFile& file : files) {
        total += static_cast<std::int64_t>(fs::file_size(file.path));
    }
    return total;
}

const lcr::BatchExtractInput kExtractInput{kDatePattern, u"#0", {}, TextCharset::Detect};

lcr::BatchReplaceInput replaceInput() {
    lcr::MatchOptions options;
    options.replaceAll = true;
    return {u"(\\d{4})-(\\d{2})-(\\d{2})", u"$3/$2/$1", options, TextCharset::Detect};
}

void BM_BatchExtract(benchmark::State& state) {
    const fs::path folder = corpus() / "mixed";
    const lcr::BatchExtractInput& input = kExtractInput;
    std::int64_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::error_code ignored;
        fs::remove_all(folder / lcr::toUtf8(lcr::outputFolderName(lcr::BatchKind::Extract)),
                       ignored);
        state.ResumeTiming();
        const lcr::FileList files = lcr::ListFilesByPattern(folder, u"*.*");
        bytes = sourceBytes(files);
        benchmark::DoNotOptimize(lcr::BatchExtract(files, input).summary.done);
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_BatchExtract)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

void BM_BatchReplace(benchmark::State& state) {
    const fs::path folder = corpus() / "mixed";
    const lcr::BatchReplaceInput input = replaceInput();
    std::int64_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::error_code ignored;
        fs::remove_all(folder / lcr::toUtf8(lcr::outputFolderName(lcr::BatchKind::Replace)),
                       ignored);
        state.ResumeTiming();
        const lcr::FileList files = lcr::ListFilesByPattern(folder, u"*.*");
        bytes = sourceBytes(files);
        benchmark::DoNotOptimize(lcr::BatchReplace(files, input).summary.done);
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_BatchReplace)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

// The value of --name=value among the arguments, taken out of them.
std::string takeFlag(int& argc, char** argv, const char* name) {
    const std::string prefix = std::string("--") + name + "=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], prefix.c_str(), prefix.size()) == 0) {
            std::string value = argv[i] + prefix.size();
            for (int j = i; j + 1 < argc; ++j) {
                argv[j] = argv[j + 1];
            }
            --argc;
            return value;
        }
    }
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    lcr::keepFreedMemoryForReuse();  // as the program does
    const std::string generate = takeFlag(argc, argv, "generate");
    const std::string files = takeFlag(argc, argv, "files");
    const std::string fileBytes = takeFlag(argc, argv, "file-bytes");
    g_corpus = takeFlag(argc, argv, "corpus");
    const std::string run = takeFlag(argc, argv, "run");
    if (!run.empty()) {
        const lcr::FileList sources = lcr::ListFilesByPattern(corpus() / "mixed", u"*.*");
        const lcr::BatchRunResult result = run == "replace"
                                               ? lcr::BatchReplace(sources, replaceInput())
                                               : lcr::BatchExtract(sources, kExtractInput);
        return result.summary.done == sources.size() ? 0 : 1;
    }
    if (!generate.empty()) {
        generateCorpus(generate, files.empty() ? 1000 : std::stoul(files),
                       fileBytes.empty() ? 100000 : std::stoul(fileBytes));
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!g_madeCorpus.empty()) {
        std::error_code ignored;
        fs::remove_all(g_madeCorpus, ignored);
    }
    return 0;
}
