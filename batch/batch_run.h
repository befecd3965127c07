// The batch runs: batch extract and batch replace over a list of files, one
// output file per source, in a new folder beside the sources.
//
//   BatchExtractInput input{chain, copyFormat, options, requestedCharset(comboPosition)};
//   BatchRunHooks hooks;
//   hooks.fileStarted = [](std::size_t i, std::size_t n, const ListedFile& file) {
//       showCaption(progressCaption(i, n, FileNameOfPath(file.text)));
//   };
//   hooks.stopRequested = [] { return batchStopRequested; };
//   BatchRunResult run = BatchExtract(files, input, hooks);
//   if (run.ran) ask(completionQuestion(BatchKind::Extract, run.outputFolderText));
//
// Both runs take their inputs by value at the start, so nothing the user
// changes during a run affects it. The output folder is the folder of the
// first listed file with "批量提取结果" or "批量替换结果" below it (created,
// one level, or reused); the output file of a source is that folder and the
// source's own file name (its bytes, whatever they are).
//
// Batch extract: every source is read in the requested charset (detection
// included, text_file.h), line breaks corrected when 矫正换行 is on, and each
// non-empty expression of the chain (trailing "|" removed) gives one line
// per match, laid out by the copy format (copy_format.h; an empty format is
// "#0") with the expression's own groups and the match's number within its
// expression, each line ending in CR LF. The output is program text as
// GB18030 bytes, no byte-order mark, whatever the source's charset.
//
// Batch replace: every source passes through the replacement chain
// (replacement_chain.h); the output is written in the charset the source was
// read in, with its byte-order mark (UTF-8 and UTF-16).
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
// Failures are values, and none of them ends the run: a source that cannot
// be read is an empty text (an empty output file); an output folder or file
// that cannot be made is skipped. A run writes nothing outside its output
// folder and never changes a source: an output path that leads to one of the
// run's sources (a link, or the same file by another name) is left alone.
// The result lists every such file.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batch/charset.h"
#include "batch/file_discovery.h"
#include "batch/text_file.h"
#include "operations/expression_chain.h"
#include "regex/engine.h"

namespace lcr {

enum class BatchKind { Extract, Replace };

inline constexpr std::u16string_view kBatchExtractFolderName = u"批量提取结果";
inline constexpr std::u16string_view kBatchReplaceFolderName = u"批量替换结果";

// "批量提取结果" or "批量替换结果".
std::u16string_view outputFolderName(BatchKind kind);

struct BatchExtractInput {
    std::u16string chain;       // the text of 编辑框提取表达式
    std::u16string copyFormat;  // the copy format (the tag of 标签19); empty: "#0"
    MatchOptions options;
    TextCharset requested = TextCharset::Detect;  // requestedCharset(组合框文件编码)
};

struct BatchReplaceInput {
    std::u16string chain;         // the text of 编辑框匹配表达式
    std::u16string replacements;  // the text of 编辑框替换表达式
    MatchOptions options;
    TextCharset requested = TextCharset::Detect;
};

struct BatchRunHooks {
    // Called for the i-th file (from 1) of n when its processing begins
    // (after it has been read); the place to show the progress caption.
    std::function<void(std::size_t i, std::size_t n, const ListedFile& file)> fileStarted;
    // Asked at the check points; true ends the run there.
    std::function<bool()> stopRequested;
};

enum class BatchProblemKind {
    SourceUnreadable,  // read as an empty text; `status` says why
    OutputNotWritten,  // the output file could not be written; `status` says why
    OutputIsASource,   // the output path leads to a source of the run: left alone
};

struct BatchProblem {
    std::size_t fileIndex = 0;  // in the list, from 0
    BatchProblemKind kind = BatchProblemKind::SourceUnreadable;
    FileStatus status = FileStatus::Ok;
};

struct BatchRunResult {
    bool ran = false;  // false for an empty list: nothing was done, no folder made
    std::filesystem::path outputFolder;
    std::u16string outputFolderText;  // as the user reads it
    bool outputFolderReady = false;   // created or found; false: no output was written
    std::size_t filesDone = 0;        // sources whose processing completed
    bool stopped = false;             // a stop request ended the run early
    std::vector<BatchProblem> problems;
    // The first expression of the chain that did not compile, with its error.
    std::optional<std::size_t> failedPiece;
    std::optional<CompileError> compileError;
    bool incomplete = false;  // some search stopped at the engine's limits
};

BatchRunResult BatchExtract(const FileList& files, const BatchExtractInput& input,
                            const BatchRunHooks& hooks = {});
BatchRunResult BatchReplace(const FileList& files, const BatchReplaceInput& input,
                            const BatchRunHooks& hooks = {});

// The output folder of a run over `files`: beside the first file. Empty for
// an empty list.
std::filesystem::path batchOutputFolder(const FileList& files, BatchKind kind);

// The text before the last "/" of a path; "/" for a file in the root, empty
// when there is no "/".
std::u16string FolderOfPath(std::u16string_view path);
// The text after the last "/" of a path, or the whole path without one.
std::u16string FileNameOfPath(std::u16string_view path);

// "总 n 个文件，正处理第 i 个文件：name"
std::u16string progressCaption(std::size_t i, std::size_t n, std::u16string_view name);

// The question asked when a run has completed:
// "批量提取完毕！文件输出在这个文件夹 >> \r\n" + folder + "\r\n\r\n是否立即打开？"
// ("批量替换完毕！..." for a batch replace).
std::u16string completionQuestion(BatchKind kind, std::u16string_view outputFolderText);

}  // namespace lcr
