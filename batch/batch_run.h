// The batch runs: batch extract and batch replace over a list of files, one
// output file per source, in a new folder inside each source's folder.
//
//   BatchExtractInput input{chain, copyFormat, options, requestedCharset(comboPosition),
//                           ExtractOutputCharset::Gbk};
//   BatchRunHooks hooks;
//   hooks.fileStarted = [](std::size_t i, std::size_t n, const ListedFile& file) {
//       showCaption(progressCaption(i, n, FileNameOfPath(file.text)));
//   };
//   hooks.stopRequested = [] { return batchStopRequested; };
//   BatchRunResult run = BatchExtract(files, input, hooks);
//   if (run.ran) ask(completionQuestion(run.summary, files, run.outputFolderText, 10));
//
// Both runs take their inputs by value at the start, so nothing the user
// changes during a run affects it. Each source folder gets its own output
// folder, "批量提取结果" or "批量替换结果" below it (created, one level, or
// reused), so sources from different folders never share one; the output
// file of a source is that folder and the source's own file name (its
// bytes, whatever they are).
//
// Batch extract: every source is read in the requested charset (detection
// included, text_file.h), line breaks corrected when 矫正换行 is on, and each
// non-empty expression of the chain (trailing "|" removed) gives one line
// per match, laid out by the copy format (copy_format.h; an empty format is
// "#0") with the expression's own groups and the match's number within its
// expression, each line ending in CR LF. The output charset is the input's
// choice: GBK (program text as GB18030 bytes, no mark: what older versions
// wrote and read), UTF-8 without a mark, or the source's own charset and
// mark.
//
// Batch replace: every source passes through the replacement chain
// (replacement_chain.h); the output is written in the charset the source was
// read in, with a byte-order mark exactly when the source had one, so it
// differs from the source only where the replacements changed it.
//
// Every expression is compiled once, at the start. An expression that does
// not compile finds nothing (extract) or leaves the text unchanged (replace);
// the run goes on with the next one.
//
// Check points: a batch extract asks `stopRequested` after each expression of
// a file (all of that expression's lines are kept) and after each file; a
// batch replace after each file has been written. A stopped run keeps the
// output files written so far and completes like a full run. Pending window
// events run (yieldToUi) after every match line (extract), every expression
// (replace) and every file.
//
// No output misstates its source, and none of these ends the run (each is a
// problem of the summary, run_summary.h): a binary source is skipped; a
// source that cannot be read, an output that cannot be written or whose
// charset cannot hold one of its characters gets no output file. Outputs are
// written atomically, so an output is whole or not there (or still its
// previous version). A run writes nothing outside its output folders and
// never changes a source: an output path that leads to one of the run's
// sources (a link, or the same file by another name) is left alone, and no
// two sources write one output.
#pragma once

#include <chrono>

#include <array>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batch/charset.h"
#include "batch/file_discovery.h"
#include "batch/run_summary.h"
#include "batch/text_file.h"
#include "operations/expression_chain.h"
#include "regex/engine.h"

namespace lcr {

enum class BatchKind { Extract, Replace };

inline constexpr std::u16string_view kBatchExtractFolderName = u"批量提取结果";
inline constexpr std::u16string_view kBatchReplaceFolderName = u"批量替换结果";

// "批量提取结果" or "批量替换结果".
std::u16string_view outputFolderName(BatchKind kind);

// The charset of a batch extract's output files.
enum class ExtractOutputCharset {
    Gbk = 0,     // program text as GB18030 bytes, no mark (as older versions wrote)
    Utf8 = 1,    // UTF-8, no mark
    Source = 2,  // the charset the source was read in, with its mark when it had one
};

// The entries of the output charset choice (组合框提取输出编码), in the
// order of ExtractOutputCharset; its position is the stored setting.
inline constexpr std::array<std::u16string_view, 3> kExtractOutputCharsetItems = {u"GBK", u"UTF-8",
                                                                                  u"同源文件"};

// The output charset for a position of that choice; any position outside
// it (none chosen, an old or damaged setting) is GBK.
ExtractOutputCharset extractOutputCharsetAt(int position);

// The matching time one file may take. Each search stops at the engine's
// own budget (the process-wide default); with a budget per file, once a
// file's searches have used it up the expressions left in the chain are not
// run on that file, and the file is reported as timed out. Nothing: each
// search has only the engine's budget.
using FileTimeBudget = std::optional<std::chrono::milliseconds>;

struct BatchExtractInput {
    std::u16string chain;       // the text of 编辑框提取表达式
    std::u16string copyFormat;  // the copy format (the tag of 标签19); empty: "#0"
    MatchOptions options;
    TextCharset requested = TextCharset::Detect;  // requestedCharset(组合框文件编码)
    ExtractOutputCharset outputCharset = ExtractOutputCharset::Gbk;
    FileTimeBudget timeBudget;
};

struct BatchReplaceInput {
    std::u16string chain;         // the text of 编辑框匹配表达式
    std::u16string replacements;  // the text of 编辑框替换表达式
    MatchOptions options;
    TextCharset requested = TextCharset::Detect;
    FileTimeBudget timeBudget;
};

struct BatchRunHooks {
    // Called for the i-th file (from 1) of n when its processing begins
    // (after it has been read); the place to show the progress caption.
    std::function<void(std::size_t i, std::size_t n, const ListedFile& file)> fileStarted;
    // Asked at the check points; true ends the run there.
    std::function<bool()> stopRequested;
};

struct BatchRunResult {
    bool ran = false;  // false for an empty list: nothing was done, no folder made
    // The output folder of the first file's folder, as the window offers to
    // open it, and every output folder of the run (one per source folder),
    // in the order of their first files.
    std::filesystem::path outputFolder;
    std::u16string outputFolderText;  // as the user reads it
    std::vector<std::filesystem::path> outputFolders;
    BatchRunSummary summary;
};

BatchRunResult BatchExtract(const FileList& files, const BatchExtractInput& input,
                            const BatchRunHooks& hooks = {});
BatchRunResult BatchReplace(const FileList& files, const BatchReplaceInput& input,
                            const BatchRunHooks& hooks = {});

// The output folder for the sources of `sourceFolder`: below it.
std::filesystem::path batchOutputFolder(const std::filesystem::path& sourceFolder, BatchKind kind);

// The text before the last "/" of a path; "/" for a file in the root, empty
// when there is no "/".
std::u16string FolderOfPath(std::u16string_view path);
// The text after the last "/" of a path, or the whole path without one.
std::u16string FileNameOfPath(std::u16string_view path);

// "总 n 个文件，正处理第 i 个文件：name"
std::u16string progressCaption(std::size_t i, std::size_t n, std::u16string_view name);

}  // namespace lcr
