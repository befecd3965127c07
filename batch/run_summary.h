// What a batch run did with every file: the one summary that the batch
// runner fills and that the command line and the window both show.
//
//   BatchRunSummary summary = BatchReplace(files, input).summary;
//   show(summaryHeadline(summary));            // "已完成 12 个文件"
//   for (const std::u16string& line : summaryProblemLines(summary, files)) show(line);
//
// Every file of the list ends in exactly one of: done (its output written),
// skipped (nothing written, on purpose: the file is binary, its bytes would
// not come back the same, it was listed twice), failed (nothing written
// although it should have been: it could not be read, its output could not
// be written, the output charset cannot hold one of its characters), or not
// reached (the run was stopped first). Expression errors and searches that
// stopped at the engine's limits are reported beside them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "batch/file_discovery.h"
#include "batch/text_file.h"
#include "regex/engine.h"

namespace lcr {

enum class BatchProblemKind {
    // Skipped: nothing written, on purpose.
    Binary,       // holds zero bytes that are no UTF-16 text
    NotExact,     // bytes that do not decode in its charset: a replace would change them
    ListedTwice,  // the same source again: its output is written once
    // Failed: no output although one was due.
    SourceUnreadable,  // `status` says why
    NoOutputFolder,    // the output folder could not be made
    OutputNotWritten,  // `status` says why; an earlier output of the same name stays whole
    OutputIsASource,   // the output path leads to a source of the run: left alone
    OutputTaken,       // another source of the run has written an output of this name
    Unrepresentable,   // the output charset cannot hold `character`
};

// Whether a problem of this kind skips a file (as opposed to failing it).
bool isSkip(BatchProblemKind kind);

struct BatchProblem {
    std::size_t fileIndex = 0;  // in the list, from 0
    BatchProblemKind kind = BatchProblemKind::SourceUnreadable;
    FileStatus status = FileStatus::Ok;
    std::optional<UnrepresentableCharacter> character;  // for Unrepresentable
    TextCharset charset = TextCharset::Detect;          // the output's, for Unrepresentable
};

// An expression of the chain that did not compile.
struct ExpressionProblem {
    std::size_t pieceIndex = 0;  // in the chain, from 0
    CompileError error;
};

struct BatchRunSummary {
    std::size_t total = 0;               // files in the list
    std::size_t handled = 0;             // files the run got to: done, skipped or failed
    std::size_t done = 0;                // files whose output was written
    bool stopped = false;                // a stop request ended the run before its end
    std::vector<BatchProblem> problems;  // at most one per file, in list order
    std::vector<ExpressionProblem> expressionErrors;
    std::vector<std::size_t> incompleteFiles;  // a search stopped at the engine's limits
    std::vector<std::size_t> timedOutFiles;    // of those, the ones whose time budget ran out

    std::size_t skipped() const;
    std::size_t failed() const;
    // Whether anything is worth telling beyond the headline.
    bool hasProblems() const {
        return !problems.empty() || !expressionErrors.empty() || !incompleteFiles.empty();
    }
};

// "已完成 n 个文件" after a full run, "已停止：完成 i / n 个文件" after a stop.
std::u16string summaryHeadline(const BatchRunSummary& summary);

// "成功 d，跳过 s，失败 f" (done, skipped, failed).
std::u16string summaryCounts(const BatchRunSummary& summary);

// One line per reported thing, skipped files first, then failed files,
// expression errors and incomplete searches:
//   "跳过 a.bin：含有零字节，不是文本文件"
//   "失败 c.htm：第 3 行的字符“…”（U+2014）无法以 BIG5 编码保存"
//   "表达式 2 有误：…"
//   "搜索不完整 d.txt：超出了回溯限制，结果可能不全"
//   "搜索不完整 e.txt：超出了时间限制，结果可能不全"
// Files are named as `files` holds them (their full path as text).
std::vector<std::u16string> summaryProblemLines(const BatchRunSummary& summary,
                                                const FileList& files);

// What the window tells when a run has ended: the headline and counts, the
// first `maxProblemLines` problem lines (and how many more there are), then
// "文件输出在这个文件夹 >> " and the folder, lines separated by CR LF.
std::u16string completionReport(const BatchRunSummary& summary, const FileList& files,
                                std::u16string_view outputFolderText, std::size_t maxProblemLines);

// The report followed by the offer to open the folder: "是否立即打开？".
std::u16string completionQuestion(const BatchRunSummary& summary, const FileList& files,
                                  std::u16string_view outputFolderText,
                                  std::size_t maxProblemLines);

}  // namespace lcr
