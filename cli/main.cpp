// lcregular-cli: the program's extraction and replacement for scripts and
// pipelines, on the same logic cores as the window.
//
//   lcregular-cli extract [-i] [-m] [-s] [-x] [-n] [--format FMT] [--json] -e CHAIN [FILE]
//   lcregular-cli replace [-i] [-m] [-s] [-x] [-n] [-a] -e CHAIN -r REPLACEMENTS [FILE]
//   lcregular-cli batch-extract [options] FOLDER | FILE...
//   lcregular-cli batch-replace [options] FOLDER | FILE...
//
// Exit status: 0 the run completed (also without a match), 2 bad usage or
// unreadable input, 3 an expression did not compile (reported on standard
// error; the rest of the chain still ran), 4 a batch run failed on some
// files (its summary on standard error says which and why).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "batch/batch_run.h"
#include "batch/file_discovery.h"
#include "batch/text_file.h"
#include "cli/explain_command.h"
#include "fswrap/folder_files.h"
#include "fswrap/whole_file.h"
#include "operations/copy_format.h"
#include "operations/extraction.h"
#include "operations/process_memory.h"
#include "operations/replacement_chain.h"
#include "text/gb18030.h"

namespace {

constexpr int kOk = 0;
constexpr int kUsage = 2;
constexpr int kCompileError = 3;
constexpr int kFilesFailed = 4;

const char* const kHelp =
    "lcregular-cli — 岚川正则表达式助手的命令行工具 / the command-line tool of LCRegular\n"
    "\n"
    "用法 / Usage:\n"
    "  lcregular-cli extract [-i] [-m] [-s] [-x] [-n] [--format FMT] [--json] -e CHAIN [FILE]\n"
    "  lcregular-cli replace [-i] [-m] [-s] [-x] [-n] [-a] -e CHAIN -r REPLACEMENTS [FILE]\n"
    "  lcregular-cli explain [-i] [-m] [-s] [-x] -e CHAIN    （逐项解释表达式 / explain it)\n"
    "  lcregular-cli batch-extract [options] FOLDER | FILE...\n"
    "  lcregular-cli batch-replace [options] FOLDER | FILE...\n"
    "\n"
    "选项 / Options (与窗口中的选择框相同 / the window's option boxes):\n"
    "  -i   无大小写：忽略英文字母的大小写 / ignore case (not inside [...])\n"
    "  -m   多行：^ 和 $ 也匹配每行的开头和结尾 / multiline: ^ and $ at every line\n"
    "  -s   单行：. 也匹配换行符 / single line: . also matches LF\n"
    "  -x   扩展：忽略表达式中的空白，# 起注释 / extended: spaces ignored, # comments\n"
    "  -n   矫正换行：先把单独的 CR 和 LF 改成 CR LF / correct lone CR and LF to CR LF first\n"
    "  -a   替换全部：替换每一个匹配，否则只替换第一个 / replace every match, not only the first\n"
    "  -e CHAIN         表达式，多个表达式用 <#lc#> 分隔 / expressions separated by <#lc#>\n"
    "  -r REPLACEMENTS  替换文本，同样用 <#lc#> 分隔，第 i 个属于第 i 个表达式；\n"
    "                   可引用 $1 $& $` $' $+ $_ ${name} $$ /\n"
    "                   replacement texts, the i-th for the i-th expression\n"
    "  --format FMT     每个匹配一行的格式（默认 #0）：## 或 #-1 序号，#0 提取文本，\n"
    "                   #1 #2 ... 子文本 / layout of each match line (default #0):\n"
    "                   ## or #-1 row number, #0 the match, #1 #2 ... its groups\n"
    "  --json           每个非空表达式输出一行 JSON 对象 / one JSON object per expression:\n"
    "                   "
    "{\"expression\":…,\"count\":N,\"groups\":G,\"rows\":[[\"1\",\"match\",…],…]}\n"
    "  --charset C      输入的编码 / charset of the input: auto|gbk|utf-8|utf-16le|utf-16be\n"
    "                   (extract/replace 默认 utf-8；批处理默认 auto，即自动识别 /\n"
    "                   default utf-8 for extract and replace, auto for the batch runs)\n"
    "  --output-charset C  batch-extract 结果文件的编码 / charset of batch-extract's output:\n"
    "                   gbk（默认 / default）|utf-8|source（与源文件相同 / as the source）\n"
    "  --filter F       批处理文件夹时的文件过滤，如 *.txt|*.htm（默认 *.*）/\n"
    "                   the file filter when a folder is given (default *.*)\n"
    "  --regex-filter F 同上，但按表达式列出文件（相当于窗口中按住 Ctrl 单击）/\n"
    "                   the same, listing by expression (Ctrl+click in the window)\n"
    "  --time-limit S   每次搜索最多 S 秒（默认 10，可为小数）；批处理中为每个文件的限时。\n"
    "                   超时后保留已找到的结果，并在标准错误说明结果不完整 /\n"
    "                   at most S seconds per search (default 10, fractions allowed); per\n"
    "                   file in batch runs. What was found by then is kept, and standard\n"
    "                   error says the result is incomplete\n"
    "  --help           显示本说明 / show this text\n"
    "\n"
    "批处理 / Batch runs: batch-extract 为每个文件在其所在文件夹下的“批量提取结果”文件夹里\n"
    "  写一个结果文件（每个匹配一行，按 --format 排列）；batch-replace 写到“批量替换结果”，\n"
    "  保持原文件的编码和 BOM。来自不同文件夹的文件各有自己的结果文件夹。源文件从不被修改；\n"
    "  二进制文件跳过。进度和总结写到标准错误，标准输出每行一个结果文件夹。\n"
    "  batch-extract writes one output file per source into 批量提取结果 inside the\n"
    "  source's folder (a line per match, laid out by --format); batch-replace writes\n"
    "  into 批量替换结果, keeping each source's charset and byte-order mark. Sources from\n"
    "  different folders get output folders of their own. Sources are never changed;\n"
    "  binary files are skipped. Progress and the run's summary go to standard error;\n"
    "  standard output lists the output folders, one a line.\n"
    "\n"
    "FILE 省略或为 - 时读标准输入，按 UTF-8 读（可带 BOM），输出为 UTF-8。\n"
    "FILE absent or - reads standard input as UTF-8 (with or without BOM); output is UTF-8.\n"
    "extract 每行以 LF 结束；replace 原样输出结果文本。\n"
    "extract lines end with LF; replace prints exactly the resulting text.\n"
    "\n"
    "退出状态 / Exit status: 0 完成（包括没有匹配）/ done (also with no match);\n"
    "  2 用法错误或无法读取输入 / bad usage or unreadable input;\n"
    "  3 有表达式无法编译（说明写到标准错误）/ an expression did not compile (see stderr);\n"
    "  4 批处理中有文件失败（见标准错误的总结）/ a batch run failed on some files (see "
    "stderr).\n";

struct Arguments {
    std::string command;
    lcr::MatchOptions options;
    std::optional<std::string> chain;
    std::optional<std::string> replacements;
    std::string format = "#0";
    bool json = false;
    std::string file = "-";
    std::vector<std::string> batchArguments;  // a folder, or files
    std::string filter = "*.*";
    bool regexFilter = false;
    std::optional<lcr::TextCharset> charset;
    lcr::ExtractOutputCharset outputCharset = lcr::ExtractOutputCharset::Gbk;
    std::chrono::milliseconds timeLimit{10'000};  // per search; per file in batch runs
};

bool isBatch(const std::string& command) {
    return command == "batch-extract" || command == "batch-replace";
}
bool extracts(const std::string& command) {
    return command == "extract" || command == "batch-extract";
}

std::optional<lcr::TextCharset> charsetNamed(const std::string& name) {
    if (name == "auto")
        return lcr::TextCharset::Detect;
    if (name == "gbk")
        return lcr::TextCharset::Gbk;
    if (name == "utf-8")
        return lcr::TextCharset::Utf8;
    if (name == "utf-16le")
        return lcr::TextCharset::Utf16Le;
    if (name == "utf-16be")
        return lcr::TextCharset::Utf16Be;
    return std::nullopt;
}

// A positive number of seconds, fractions allowed ("0.5"), in milliseconds.
std::optional<std::chrono::milliseconds> secondsNamed(const std::string& text) {
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !(seconds > 0) || seconds > 1e6) {
        return std::nullopt;
    }
    return std::chrono::milliseconds(std::max<long long>(1, std::llround(seconds * 1000)));
}

int usage(const std::string& problem) {
    std::cerr << "lcregular-cli: " << problem << "\n"
              << "用法见 / see: lcregular-cli --help\n";
    return kUsage;
}

// Parses the command line; returns an exit status when the run ends here.
std::optional<int> parse(int argc, char** argv, Arguments& a) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        return usage("缺少命令 extract 或 replace / missing command");
    }
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::cout << kHelp;
            return kOk;
        }
    }
    a.command = args[0];
    if (a.command != "extract" && a.command != "replace" && !isBatch(a.command)) {
        return usage("未知命令 / unknown command: " + a.command);
    }
    const bool replaces = !extracts(a.command);
    bool haveFile = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::optional<std::string>& slot) -> bool {
            if (i + 1 >= args.size()) {
                return false;
            }
            slot = args[++i];
            return true;
        };
        if (arg == "-i") {
            a.options.ignoreCase = true;
        } else if (arg == "-m") {
            a.options.multiline = true;
        } else if (arg == "-s") {
            a.options.singleLine = true;
        } else if (arg == "-x") {
            a.options.extended = true;
        } else if (arg == "-n") {
            a.options.correctNewlines = true;
        } else if (arg == "-a" && replaces) {
            a.options.replaceAll = true;
        } else if (arg == "-e") {
            if (!value(a.chain))
                return usage("-e 需要表达式 / -e needs a chain");
        } else if (arg == "-r" && replaces) {
            if (!value(a.replacements))
                return usage("-r 需要替换文本 / -r needs replacements");
        } else if (arg == "--format" && !replaces) {
            std::optional<std::string> format;
            if (!value(format))
                return usage("--format 需要格式 / --format needs a format");
            a.format = *format;
        } else if (arg == "--json" && a.command == "extract") {
            a.json = true;
        } else if (arg == "--charset") {
            std::optional<std::string> name;
            if (!value(name) || !(a.charset = charsetNamed(*name))) {
                return usage("--charset 应为 auto|gbk|utf-8|utf-16le|utf-16be");
            }
        } else if (arg == "--output-charset" && a.command == "batch-extract") {
            std::optional<std::string> name;
            if (!value(name) || (*name != "gbk" && *name != "utf-8" && *name != "source")) {
                return usage("--output-charset 应为 gbk|utf-8|source");
            }
            a.outputCharset = *name == "gbk"     ? lcr::ExtractOutputCharset::Gbk
                              : *name == "utf-8" ? lcr::ExtractOutputCharset::Utf8
                                                 : lcr::ExtractOutputCharset::Source;
        } else if (arg == "--time-limit") {
            std::optional<std::string> seconds;
            std::optional<std::chrono::milliseconds> limit;
            if (!value(seconds) || !(limit = secondsNamed(*seconds))) {
                return usage(
                    "--time-limit 需要正的秒数 / --time-limit needs a positive number of "
                    "seconds");
            }
            a.timeLimit = *limit;
        } else if ((arg == "--filter" || arg == "--regex-filter") && isBatch(a.command)) {
            std::optional<std::string> filter;
            if (!value(filter))
                return usage(arg + " 需要过滤条件 / needs a filter");
            a.filter = *filter;
            a.regexFilter = arg == "--regex-filter";
        } else if (isBatch(a.command) && !(arg.size() > 1 && arg[0] == '-')) {
            a.batchArguments.push_back(arg);
        } else if ((arg.size() > 1 && arg[0] == '-') || haveFile) {
            return usage("无法识别的参数 / unexpected argument: " + arg);
        } else {
            a.file = arg;
            haveFile = true;
        }
    }
    if (isBatch(a.command) && a.batchArguments.empty()) {
        return usage("缺少文件夹或文件 / missing FOLDER or FILE");
    }
    if (!a.chain) {
        return usage("缺少 -e 表达式 / missing -e CHAIN");
    }
    if (replaces && !a.replacements) {
        return usage("缺少 -r 替换文本 / missing -r REPLACEMENTS");
    }
    return std::nullopt;
}

// The bytes of the input, whole: for --charset, whose decoding looks at
// all of them.
std::optional<std::string> readInputBytes(const std::string& file) {
    std::string bytes;
    const lcr::TakePiece take = [&bytes](std::string_view piece, bool) {
        bytes.append(piece);
        return piece.size();
    };
    const lcr::FileStatus status =
        file == "-" ? lcr::readStreamInPieces(0, take)
                    : lcr::readFileInPieces(
                          file, [&bytes](std::size_t size) { bytes.reserve(size); }, take);
    if (status != lcr::FileStatus::Ok) {
        return std::nullopt;
    }
    return bytes;
}

// The input read as UTF-8 (its byte-order mark dropped), decoded piece by
// piece as it is read: no copy of its bytes as a whole, and the text grows
// into room reserved once from the file's size (never more units than
// bytes).
std::optional<std::u16string> readUtf8Input(const std::string& file) {
    std::u16string text;
    std::vector<char16_t> units(std::size_t{1} << 15);
    bool atStart = true;
    const lcr::TakePiece take = [&](std::string_view piece, bool last) -> std::size_t {
        std::size_t mark = 0;
        if (atStart) {
            if (piece.size() < 3 && !last) {
                return 0;  // the mark may be cut
            }
            mark = piece.starts_with("\xEF\xBB\xBF") ? 3 : 0;
            piece.remove_prefix(mark);
            atStart = false;
        }
        const std::size_t whole = last ? piece.size() : lcr::completeUtf8Prefix(piece);
        // Decoded into a buffer that stays in the cache, then appended: the
        // text's own room is written once, never zero-filled first.
        for (std::size_t done = 0; done < whole;) {
            const std::size_t n = std::min(whole - done, units.size());
            const std::size_t cut =
                done + n < whole ? lcr::completeUtf8Prefix(piece.substr(done, n)) : n;
            text.append(units.data(), lcr::decodeUtf8Into(piece.substr(done, cut), units.data()));
            done += cut;
        }
        return mark + whole;
    };
    const lcr::FileStatus status =
        file == "-" ? lcr::readStreamInPieces(0, take)
                    : lcr::readFileInPieces(
                          file,
                          [&text](std::size_t size) {
                              text.reserve(size);
                              lcr::preferHugePages(text.data(), text.capacity() * sizeof(char16_t));
                          },
                          take);
    if (status != lcr::FileStatus::Ok) {
        return std::nullopt;
    }
    return text;
}

// Writes `text` as UTF-8 to standard output through a buffer of bounded
// size, never a copy of the whole.
void writeUtf8(std::u16string_view text) {
    constexpr std::size_t kUnits = std::size_t{1} << 18;
    std::string bytes;
    bytes.reserve(kUnits * 3);
    while (!text.empty()) {
        std::size_t n = std::min(kUnits, text.size());
        if (n < text.size() && (text[n - 1] & 0xFC00) == 0xD800) {
            ++n;  // keep a surrogate pair together
        }
        bytes.clear();
        lcr::appendUtf8(text.substr(0, n), bytes);
        std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        text.remove_prefix(n);
    }
}

void reportCompileError(std::size_t pieceIndex, const lcr::CompileError& error) {
    std::cerr << "lcregular-cli: 第 " << pieceIndex + 1 << " 个表达式有误（第 " << error.offset + 1
              << " 个字符处）/ expression " << pieceIndex + 1 << " does not compile at character "
              << error.offset + 1 << ": " << lcr::toUtf8(error.message);
    if (!error.engineMessage.empty()) {
        std::cerr << " (" << lcr::toUtf8(error.engineMessage) << ")";
    }
    std::cerr << "\n";
}

void reportIncomplete(bool timedOut) {
    if (timedOut) {
        std::cerr << "lcregular-cli: 结果不完整：搜索超出了时间限制 (--time-limit) / incomplete: "
                     "the search ran out of its time limit (--time-limit)\n";
    } else {
        std::cerr << "lcregular-cli: 结果不完整：有些位置超出了引擎的回溯限制，已跳过 / "
                     "incomplete: some start positions reached the engine's backtracking "
                     "limits and were passed over\n";
    }
}

void appendJsonString(std::string& out, std::u16string_view text) {
    out.push_back('"');
    for (char c : lcr::toUtf8(text)) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out.push_back(c);
                }
        }
    }
    out.push_back('"');
}

int runExtract(const Arguments& a, std::u16string&& text) {
    const lcr::ExtractionResult result =
        lcr::extractChain(std::move(text), lcr::fromUtf8(*a.chain), a.options);
    int status = kOk;
    std::string out;
    const lcr::CopyFormat format(lcr::fromUtf8(a.format.empty() ? "#0" : a.format));
    std::u16string line;
    std::vector<std::u16string_view> groups;
    for (const lcr::ExpressionMatches& e : result.expressions) {
        if (e.compileError()) {
            reportCompileError(e.pieceIndex, *e.compileError());
            status = kCompileError;
        }
        if (e.incomplete()) {
            reportIncomplete(e.timedOut());
        }
        const int count = e.matchCount();
        const int groupCount = e.groupCount();
        if (a.json) {
            out += "{\"expression\":";
            appendJsonString(out, e.expression);
            out += ",\"count\":" + std::to_string(count) +
                   ",\"groups\":" + std::to_string(groupCount) + ",\"rows\":[";
        }
        for (int k = 1; k <= count; ++k) {
            if (a.json) {
                out += k > 1 ? ",[\"" : "[\"";
                out += std::to_string(k) + "\",";
                appendJsonString(out, e.matchText(k));
                for (int g = 1; g <= groupCount; ++g) {
                    out.push_back(',');
                    appendJsonString(out, e.groupText(k, g));
                }
                out.push_back(']');
                continue;
            }
            groups.clear();
            for (int g = 1; g <= groupCount; ++g) {
                groups.push_back(e.groupText(k, g));
            }
            line.clear();
            format.appendRow({static_cast<std::size_t>(k), e.matchText(k), groups}, line);
            lcr::appendUtf8(line, out);
            out.push_back('\n');
            if (out.size() > (1 << 20)) {
                std::cout << out;
                out.clear();
            }
        }
        if (a.json) {
            out += "]}\n";
        }
    }
    std::cout << out;
    return status;
}

int runReplace(const Arguments& a, std::u16string&& text) {
    const lcr::ReplacementResult result = lcr::replaceChainTaking(
        std::move(text), lcr::fromUtf8(*a.chain), lcr::fromUtf8(*a.replacements), a.options);
    writeUtf8(result.text);
    if (result.incomplete) {
        reportIncomplete(result.timedOut);
    }
    if (result.compileError) {
        reportCompileError(*result.failedPiece, *result.compileError);
        return kCompileError;
    }
    return kOk;
}

std::filesystem::path pathOf(const std::string& argument) {
    return argument;
}

// The files of a batch run: one folder argument is listed by the filter,
// anything else is the list of chosen files.
std::optional<lcr::FileList> batchFiles(const Arguments& a) {
    std::error_code error;
    if (a.batchArguments.size() == 1 && std::filesystem::is_directory(a.batchArguments[0], error)) {
        const std::u16string filter = lcr::fromUtf8(a.filter);
        const std::filesystem::path folder = pathOf(a.batchArguments[0]);
        lcr::FileList files = a.regexFilter ? lcr::ListFilesByExpression(folder, filter)
                                            : lcr::ListFilesByPattern(folder, filter);
        lcr::sortByName(files);  // as the window takes them
        return files;
    }
    lcr::FileList files;
    for (const std::string& argument : a.batchArguments) {
        if (!std::filesystem::is_regular_file(argument, error)) {
            std::cerr << "lcregular-cli: 不是文件 / not a file: " << argument << "\n";
            return std::nullopt;
        }
        files.push_back(lcr::listedFileOf(pathOf(argument)));
    }
    return files;
}

int runBatch(const Arguments& a) {
    const std::optional<lcr::FileList> files = batchFiles(a);
    if (!files) {
        return kUsage;
    }
    lcr::BatchRunHooks hooks;
    hooks.fileStarted = [](std::size_t i, std::size_t n, const lcr::ListedFile& file) {
        std::cerr << lcr::toUtf8(lcr::progressCaption(i, n, lcr::FileNameOfPath(file.text)))
                  << "\n";
    };
    const lcr::TextCharset charset = a.charset.value_or(lcr::TextCharset::Detect);
    const lcr::BatchRunResult result =
        extracts(a.command)
            ? lcr::BatchExtract(*files,
                                {lcr::fromUtf8(*a.chain), lcr::fromUtf8(a.format), a.options,
                                 charset, a.outputCharset, a.timeLimit},
                                hooks)
            : lcr::BatchReplace(*files,
                                {lcr::fromUtf8(*a.chain), lcr::fromUtf8(*a.replacements), a.options,
                                 charset, a.timeLimit},
                                hooks);
    if (!result.ran) {
        std::cerr << "lcregular-cli: 没有要处理的文件 / no files to process\n";
        return kOk;
    }
    // The same summary the window shows at the end of a run.
    const lcr::BatchRunSummary& summary = result.summary;
    std::cerr << lcr::toUtf8(lcr::summaryHeadline(summary)) << "（成功 " << summary.done
              << "，跳过 " << summary.skipped() << "，失败 " << summary.failed() << "）\n";
    for (const std::u16string& line : lcr::summaryProblemLines(summary, *files)) {
        std::cerr << lcr::toUtf8(line) << "\n";
    }
    for (const std::filesystem::path& folder : result.outputFolders) {
        std::cout << lcr::toUtf8(lcr::pathToText(folder)) << "\n";
    }
    if (summary.failed() > 0) {
        return kFilesFailed;
    }
    return summary.expressionErrors.empty() ? kOk : kCompileError;
}

}  // namespace

int main(int argc, char** argv) {
    lcr::keepFreedMemoryForReuse();
    std::ios::sync_with_stdio(false);
    if (argc > 1 && std::string(argv[1]) == "explain") {
        return lcr::cli::runExplain(std::vector<std::string>(argv + 2, argv + argc));
    }
    Arguments a;
    if (const std::optional<int> status = parse(argc, argv, a)) {
        return *status;
    }
    // Every search stops at the limit; a batch run also ends each file's
    // chain there.
    lcr::setDefaultSearchTimeBudget(a.timeLimit);
    if (isBatch(a.command)) {
        return runBatch(a);
    }
    // Without --charset the input is UTF-8 (its byte-order mark dropped);
    // with it, it is read as a batch run reads a file.
    std::u16string text;
    if (a.charset) {
        const std::optional<std::string> bytes = readInputBytes(a.file);
        if (!bytes) {
            std::cerr << "lcregular-cli: 无法读取 / cannot read: " << a.file << "\n";
            return kUsage;
        }
        lcr::DecodedText decoded = lcr::decodeFileBytes(*bytes, *a.charset);
        if (decoded.binary) {
            // Its text would end early; nothing is better than a part.
            std::cerr << "lcregular-cli: 含有零字节，不是文本文件 / binary input (zero bytes): "
                      << a.file << "\n";
            return kUsage;
        }
        text = std::move(decoded.text);
    } else if (std::optional<std::u16string> decoded = readUtf8Input(a.file)) {
        text = std::move(*decoded);
    } else {
        std::cerr << "lcregular-cli: 无法读取 / cannot read: " << a.file << "\n";
        return kUsage;
    }
    const int status =
        a.command == "extract" ? runExtract(a, std::move(text)) : runReplace(a, std::move(text));
    std::cout.flush();
    return status;
}
