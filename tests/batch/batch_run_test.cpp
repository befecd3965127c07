#include "batch/batch_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fswrap/folder_files.h"
#include "fswrap/whole_file.h"
#include "tests/batch/hex.h"
#include "tests/batch/temp_folder.h"
#include "text/gb18030.h"

namespace lcr {
namespace {

namespace fs = std::filesystem;
using testing::hex;
using testing::readBytes;
using testing::TempFolder;

const std::string kExtractFolder = "批量提取结果";
const std::string kReplaceFolder = "批量替换结果";

FileList listOf(const std::vector<fs::path>& paths) {
    FileList files;
    for (const fs::path& p : paths) {
        files.push_back(listedFileOf(p));
    }
    return files;
}

std::string gbk(std::u16string_view text) {
    return encodeGb18030(text);
}

// One source, one batch extract: the output file's bytes.
std::string extractOne(std::string_view source, const std::u16string& chain,
                       const std::u16string& format, MatchOptions options = {}) {
    TempFolder folder;
    const fs::path file = folder.write("a.txt", source);
    BatchExtract(listOf({file}), {chain, format, options, TextCharset::Detect});
    return readBytes(folder.path() / kExtractFolder / "a.txt");
}

TEST(BatchExtract, ThreeFilesOneLinePerMatchInProgramText) {
    TempFolder folder;
    const std::string utf16(
        "\xFF\xFE\x2D\x4E"
        "3\0"
        "\x87\x65",
        8);  // 中3文
    const fs::path a = folder.write("a.txt", "x 1 y 22");
    const fs::path b = folder.write("b.txt", std::string(utf16.data(), 8));
    const fs::path c = folder.write("\xD6\xD0.txt", "\xC3\xA9 4 5");  // a GBK name, UTF-8 text
    const FileList files = listOf({a, b, c});

    const BatchRunResult run = BatchExtract(files, {u"中?\\d+", u"#0", {}, TextCharset::Detect});

    const fs::path out = folder.path() / kExtractFolder;
    EXPECT_TRUE(run.ran);
    EXPECT_EQ(run.outputFolder, out);
    EXPECT_EQ(run.outputFolders, (std::vector<fs::path>{out}));
    EXPECT_EQ(run.outputFolderText, pathToText(folder.path()) + u"/批量提取结果");
    EXPECT_EQ(run.summary.done, 3u);
    EXPECT_EQ(run.summary.handled, 3u);
    EXPECT_FALSE(run.summary.stopped);
    EXPECT_FALSE(run.summary.hasProblems());
    EXPECT_EQ(readBytes(out / "a.txt"), "1\r\n22\r\n");
    EXPECT_EQ(readBytes(out / "b.txt"), gbk(u"中3") + "\r\n");  // GBK, no mark
    EXPECT_EQ(readBytes(out / "\xD6\xD0.txt"), "4\r\n5\r\n");
    // The sources stay as they were.
    EXPECT_EQ(readBytes(a), "x 1 y 22");
    EXPECT_EQ(readBytes(b), std::string(utf16.data(), 8));
}

TEST(BatchExtract, LineLayout) {
    struct Case {
        const char* what;
        std::u16string format;
        std::u16string chain;
        std::string source;
        std::string expected;
        bool correctNewlines = false;
    };
    const Case cases[] = {
        {"row numbers", u"##: #0", u"[xy]", "x y", "1: x\r\n2: y\r\n"},
        {"an empty format is #0", u"", u"\\d", "1 2", "1\r\n2\r\n"},
        {"a group beyond the expression stays", u"#0 #2", u"(a)", "a", "a #2\r\n"},
        {"#10 is group ten, not group one and 0", u"#10-#1", u"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)",
         "abcdefghij", "j-a\r\n"},
        {"a group that took no part is empty", u"[#1]", u"(a)?b", "b", "[]\r\n"},
        {"expressions in order, numbers restart", u"##=#0", u"a<#lc#>b", "ab a",
         "1=a\r\n2=a\r\n1=b\r\n"},
        {"trailing bars are cut", u"#0", u"a||", "a", "a\r\n"},
        {"bars alone are skipped", u"#0", u"|", "a|b", ""},
        {"no match: an empty file", u"#0", u"x", "abc", ""},
        {"lone line breaks corrected", u"[#0]", u"\\r\\n", "a\nb\r\nc", "[\r\n]\r\n[\r\n]\r\n",
         true},
        {"lone line breaks kept", u"[#0]", u"\\r\\n", "a\nb\r\nc", "[\r\n]\r\n"},
    };
    for (const Case& c : cases) {
        MatchOptions options;
        options.correctNewlines = c.correctNewlines;
        EXPECT_EQ(extractOne(c.source, c.chain, c.format, options), c.expected) << c.what;
    }
}

TEST(BatchExtract, ABadExpressionFindsNothingAndTheRunGoesOn) {
    TempFolder folder;
    const fs::path file = folder.write("a.txt", "1");
    const BatchRunResult run =
        BatchExtract(listOf({file}), {u"(<#lc#>\\d", u"#0", {}, TextCharset::Detect});
    EXPECT_EQ(readBytes(folder.path() / kExtractFolder / "a.txt"), "1\r\n");
    ASSERT_EQ(run.summary.expressionErrors.size(), 1u);
    EXPECT_EQ(run.summary.expressionErrors[0].pieceIndex, 0u);
    EXPECT_EQ(run.summary.done, 1u);
}

// What batch extraction writes, by the output charset chosen.
TEST(BatchExtract, OutputCharsets) {
    struct Case {
        const char* what;
        std::string source;
        ExtractOutputCharset output;
        std::string expected;
    };
    const std::string utf16le(
        "\xFF\xFE\x2D\x4E"
        "1\0",
        6);  // mark, 中1
    const Case cases[] = {
        {"GBK whatever the source",
         "\xEF\xBB\xBF\xE4\xB8\xAD"
         "1",
         ExtractOutputCharset::Gbk, gbk(u"中1\r\n")},
        {"UTF-8 without a mark", utf16le, ExtractOutputCharset::Utf8,
         "\xE4\xB8\xAD"
         "1\r\n"},
        {"the source's own, with its mark", utf16le, ExtractOutputCharset::Source,
         std::string("\xFF\xFE\x2D\x4E"
                     "1\0\r\0\n\0",
                     10)},
        {"the source's own, without a mark",
         "\xE4\xB8\xAD"
         "1",
         ExtractOutputCharset::Source,
         "\xE4\xB8\xAD"
         "1\r\n"},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        const fs::path file = folder.write("a.txt", c.source);
        BatchExtract(listOf({file}), {u"中\\d", u"#0", {}, TextCharset::Detect, c.output});
        EXPECT_EQ(hex(readBytes(folder.path() / kExtractFolder / "a.txt")), hex(c.expected))
            << c.what;
    }
}

TEST(BatchReplace, ChainsAndCharsets) {
    struct Case {
        const char* what;
        std::string source;
        std::u16string chain;
        std::u16string replacements;
        bool replaceAll;
        TextCharset requested;
        std::string expected;
    };
    const TextCharset detect = TextCharset::Detect;
    const Case cases[] = {
        {"replace all", "a-b-a", u"a<#lc#>b", u"x<#lc#>y", true, detect, "x-y-x"},
        {"only the first", "a-b-a", u"a<#lc#>b", u"x<#lc#>y", false, detect, "x-y-a"},
        {"surplus replacements ignored", "ab", u"a", u"x<#lc#>y", true, detect, "xb"},
        {"a missing replacement is empty", "ab", u"a<#lc#>x", u"x", true, detect, "b"},
        {"GBK stays GBK", gbk(u"中a"), u"a", u"文", true, detect, gbk(u"中文")},
        {"UTF-8 without a mark stays without",
         "\xC3\xA9"
         "a",
         u"a", u"b", true, detect,
         "\xC3\xA9"
         "b"},
        {"UTF-8 with a mark keeps it",
         "\xEF\xBB\xBF\xC3\xA9"
         "a",
         u"a", u"b", true, detect,
         "\xEF\xBB\xBF\xC3\xA9"
         "b"},
        {"UTF-16LE without a mark", std::string("a\0b\0\x2D\x4E", 6), u"a", u"c", true, detect,
         std::string("c\0b\0\x2D\x4E", 6)},
        {"UTF-16BE without a mark", std::string("\0a\0b\x4E\x2D", 6), u"a", u"c", true, detect,
         std::string("\0c\0b\x4E\x2D", 6)},
        {"LF stays LF when 矫正换行 is off", "a\nb\n", u"b", u"c", true, detect, "a\nc\n"},
        {"UTF-16BE keeps its order and mark", std::string("\xFE\xFF\0a\0b", 6), u"a", u"c", true,
         detect, std::string("\xFE\xFF\0c\0b", 6)},
        {"GBK chosen reads UTF-8 bytes as they stand",
         "\xC3\xA9"
         "a",
         u"a", u"b", true, TextCharset::Gbk,
         "\xC3\xA9"
         "b"},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        const fs::path file = folder.write("a.txt", c.source);
        MatchOptions options;
        options.replaceAll = c.replaceAll;
        BatchReplace(listOf({file}), {c.chain, c.replacements, options, c.requested});
        EXPECT_EQ(readBytes(folder.path() / kReplaceFolder / "a.txt"), c.expected) << c.what;
        EXPECT_EQ(readBytes(file), c.source) << c.what;
    }
}

// Files that are not processed get no output and are each reported once;
// the run goes on with the next file.
TEST(BatchRun, WhatIsSkippedOrFailsIsReportedAndGetsNoOutput) {
    TempFolder folder;
    const fs::path missing = folder.path() / "gone.txt";
    const fs::path binary = folder.write("a.bin", std::string("PK\x03\x04\0\0\x01\0", 8));
    const fs::path broken = folder.write("c.txt", "a\x80z");  // 0x80 decodes in no charset
    const fs::path big5 = folder.write("d.htm", "<meta charset=big5>\r\nz\xA4\xA4");  // z中
    const fs::path fine = folder.write("e.txt", "7");
    const FileList files = listOf({missing, binary, broken, big5, fine});

    // 国 has no Big5 code: the replacement would need it.
    const BatchRunResult run = BatchReplace(files, {u"z|7", u"国", {}, TextCharset::Detect});
    const fs::path out = folder.path() / kReplaceFolder;
    for (const char* name : {"gone.txt", "a.bin", "c.txt", "d.htm"}) {
        EXPECT_FALSE(fs::exists(out / name)) << name;
    }
    EXPECT_EQ(readBytes(out / "e.txt"), gbk(u"国"));
    const BatchRunSummary& summary = run.summary;
    EXPECT_EQ(summary.handled, 5u);
    EXPECT_EQ(summary.done, 1u);
    EXPECT_EQ(summary.skipped(), 2u);
    EXPECT_EQ(summary.failed(), 2u);
    ASSERT_EQ(summary.problems.size(), 4u);
    EXPECT_EQ(summary.problems[0].kind, BatchProblemKind::SourceUnreadable);
    EXPECT_EQ(summary.problems[0].status, FileStatus::CannotOpen);
    EXPECT_EQ(summary.problems[1].kind, BatchProblemKind::Binary);
    EXPECT_EQ(summary.problems[2].kind, BatchProblemKind::NotExact);
    EXPECT_EQ(summary.problems[3].kind, BatchProblemKind::Unrepresentable);
    ASSERT_TRUE(summary.problems[3].character);
    EXPECT_EQ(summary.problems[3].character->character, U'国');
    EXPECT_EQ(summary.problems[3].character->line, 2u);

    const std::vector<std::u16string> lines = summaryProblemLines(summary, files);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], u"跳过 " + pathToText(binary) + u"：含有零字节，不是文本文件");
    EXPECT_EQ(lines[2], u"失败 " + pathToText(missing) + u"：无法读取（无法打开）");
    EXPECT_EQ(lines[3], u"失败 " + pathToText(big5) +
                            u"：第 2 行的字符“国”（U+56FD）无法以 BIG5 编码保存，未写入");

    // Extraction reads without the exactness rule: c.txt gives its lines.
    const BatchRunResult extracted = BatchExtract(files, {u"z", u"", {}, TextCharset::Detect});
    EXPECT_EQ(readBytes(folder.path() / kExtractFolder / "c.txt"), "z\r\n");
    EXPECT_FALSE(fs::exists(folder.path() / kExtractFolder / "a.bin"));
    EXPECT_EQ(extracted.summary.done, 3u);
    EXPECT_EQ(extracted.summary.problems.size(), 2u);
    EXPECT_FALSE(fs::exists(missing));
}

TEST(BatchRun, AnOutputThatCannotBeWrittenKeepsItsPreviousStateWhole) {
    TempFolder folder;
    const FileList files = listOf({folder.write("a.txt", "1"), folder.write("b.txt", "2")});
    const fs::path out = folder.path() / kReplaceFolder;
    fs::create_directory(out);
    { std::ofstream(out / "a.txt", std::ios::binary) << "previous output"; }

    // A failure after the new content is on disk, before it takes the name.
    setBeforeRenameHook([](const fs::path& target) { return target.filename() != "a.txt"; });
    const BatchRunResult run = BatchReplace(files, {u"\\d", u"x", {}, TextCharset::Detect});
    setBeforeRenameHook({});
    EXPECT_EQ(readBytes(out / "a.txt"), "previous output");
    EXPECT_EQ(readBytes(out / "b.txt"), "x");
    ASSERT_EQ(run.summary.problems.size(), 1u);
    EXPECT_EQ(run.summary.problems[0].kind, BatchProblemKind::OutputNotWritten);
    EXPECT_EQ(run.summary.failed(), 1u);
    // No temporary file is left behind.
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(out)) {
        ++entries;
    }
    EXPECT_EQ(entries, 2u);
}

TEST(BatchRun, StopTakesEffectAtTheCheckPoints) {
    TempFolder folder;
    const FileList files = listOf(
        {folder.write("1.txt", "ab"), folder.write("2.txt", "ab"), folder.write("3.txt", "ab")});
    std::vector<std::size_t> started;
    bool stop = false;
    BatchRunHooks hooks;
    hooks.stopRequested = [&] { return stop; };

    // A stop asked while file 1's first expression runs: its lines are
    // written, the second expression and the other files are not run.
    hooks.fileStarted = [&](std::size_t i, std::size_t n, const ListedFile&) {
        EXPECT_EQ(n, 3u);
        started.push_back(i);
        stop = true;
    };
    const BatchRunResult extracted =
        BatchExtract(files, {u"a<#lc#>b", u"#0", {}, TextCharset::Detect}, hooks);
    const fs::path extractOut = folder.path() / kExtractFolder;
    EXPECT_EQ(started, (std::vector<std::size_t>{1}));
    EXPECT_TRUE(extracted.summary.stopped);
    EXPECT_EQ(extracted.summary.done, 1u);
    EXPECT_EQ(summaryHeadline(extracted.summary), u"已停止：完成 1 / 3 个文件");
    EXPECT_EQ(readBytes(extractOut / "1.txt"), "a\r\n");
    EXPECT_FALSE(fs::exists(extractOut / "2.txt"));

    // A batch replace finishes the file it is on, all expressions.
    started.clear();
    stop = false;
    hooks.fileStarted = [&](std::size_t i, std::size_t, const ListedFile&) {
        started.push_back(i);
        stop = i == 2;
    };
    const BatchRunResult replaced =
        BatchReplace(files, {u"a<#lc#>b", u"x<#lc#>y", {}, TextCharset::Detect}, hooks);
    const fs::path replaceOut = folder.path() / kReplaceFolder;
    EXPECT_EQ(started, (std::vector<std::size_t>{1, 2}));
    EXPECT_TRUE(replaced.summary.stopped);
    EXPECT_EQ(replaced.summary.handled, 2u);
    EXPECT_EQ(readBytes(replaceOut / "2.txt"), "xy");
    EXPECT_FALSE(fs::exists(replaceOut / "3.txt"));
    EXPECT_EQ(summaryHeadline(replaced.summary), u"已停止：完成 2 / 3 个文件");
}

TEST(BatchRun, WritesNothingOutsideItsFolderAndNeverASource) {
    TempFolder folder;
    const fs::path a = folder.write("a.txt", "1");
    const fs::path out = folder.path() / kReplaceFolder;
    fs::create_directory(out);
    // A link in the output folder that leads to a source, and a source
    // listed from inside the output folder, where the first file's output
    // would go.
    fs::create_symlink(a, out / "a.txt");
    const fs::path inside = out / "b.txt";
    { std::ofstream(inside, std::ios::binary) << "2"; }
    const fs::path b = folder.write("b.txt", "3");
    const BatchRunResult run =
        BatchReplace(listOf({a, b, inside}), {u"\\d", u"x", {}, TextCharset::Detect});
    EXPECT_EQ(readBytes(a), "1");
    EXPECT_EQ(readBytes(inside), "2");  // b.txt's output would have landed on it
    EXPECT_EQ(readBytes(b), "3");
    EXPECT_TRUE(fs::is_symlink(out / "a.txt"));
    ASSERT_EQ(run.summary.problems.size(), 2u);  // a.txt and b.txt
    for (const BatchProblem& p : run.summary.problems) {
        EXPECT_EQ(p.kind, BatchProblemKind::OutputIsASource);
    }
    // The source inside the output folder has an output folder of its own.
    EXPECT_EQ(readBytes(out / kReplaceFolder / "b.txt"), "x");
    EXPECT_EQ(run.summary.done, 1u);
}

// Sources from two folders: an output folder beside each; the same source
// listed twice is written once; two names for one folder share its outputs.
TEST(BatchRun, EachSourceFolderHasItsOwnOutputsAndNoOutputIsWrittenTwice) {
    TempFolder folder;
    fs::create_directory(folder.path() / "one");
    fs::create_directory(folder.path() / "two");
    const fs::path a1 = folder.write("one/a.txt", "1");
    const fs::path a2 = folder.write("two/a.txt", "2");
    const fs::path again = folder.path() / "one" / "." / "a.txt";
    const fs::path b2 = folder.write("two/b.txt", "3");
    const FileList files = listOf({a1, a2, a1, again, b2});
    const BatchRunResult run = BatchReplace(files, {u"\\d", u"<$&>", {}, TextCharset::Detect});
    EXPECT_EQ(readBytes(folder.path() / "one" / kReplaceFolder / "a.txt"), "<1>");
    EXPECT_EQ(readBytes(folder.path() / "two" / kReplaceFolder / "a.txt"), "<2>");
    EXPECT_EQ(readBytes(folder.path() / "two" / kReplaceFolder / "b.txt"), "<3>");
    EXPECT_EQ(run.outputFolders.size(), 2u);
    EXPECT_EQ(run.summary.done, 3u);
    ASSERT_EQ(run.summary.problems.size(), 2u);
    EXPECT_EQ(run.summary.problems[0].kind, BatchProblemKind::ListedTwice);
    EXPECT_EQ(run.summary.problems[1].kind, BatchProblemKind::ListedTwice);
}

TEST(BatchRun, AnOutputFolderThatCannotBeMadeFailsEveryFile) {
    TempFolder folder;
    const fs::path taken = folder.write(kExtractFolder, "keep");
    const fs::path a = folder.write("a.txt", "1");
    const BatchRunResult run = BatchExtract(listOf({a}), {u"\\d", u"", {}, TextCharset::Detect});
    EXPECT_TRUE(run.ran);
    EXPECT_EQ(run.summary.done, 0u);
    ASSERT_EQ(run.summary.problems.size(), 1u);
    EXPECT_EQ(run.summary.problems[0].kind, BatchProblemKind::NoOutputFolder);
    EXPECT_EQ(readBytes(taken), "keep");
}

TEST(BatchRun, AnOutputFolderThatCannotBeWrittenFailsEveryFile) {
    TempFolder folder;
    const fs::path a = folder.write("a.txt", "1");
    const fs::path out = folder.path() / kExtractFolder;
    fs::create_directory(out);
    // A read-only folder stops no one with root's rights; a folder that is
    // in the way as a read-only file system would, so take a full disk's
    // place by a name that leads nowhere: the output name is a folder.
    fs::create_directory(out / "a.txt");
    const BatchRunResult run = BatchExtract(listOf({a}), {u"\\d", u"", {}, TextCharset::Detect});
    ASSERT_EQ(run.summary.problems.size(), 1u);
    EXPECT_EQ(run.summary.problems[0].kind, BatchProblemKind::OutputNotWritten);
    EXPECT_EQ(run.summary.problems[0].status, FileStatus::NotAFile);
    EXPECT_TRUE(fs::is_directory(out / "a.txt"));
}

TEST(BatchRun, AnEmptyListDoesNothing) {
    const BatchRunResult run = BatchExtract({}, {u"\\d", u"", {}, TextCharset::Detect});
    EXPECT_FALSE(run.ran);
    EXPECT_TRUE(run.outputFolder.empty());
    EXPECT_FALSE(BatchReplace({}, {u"\\d", u"", {}, TextCharset::Detect}).ran);
}

TEST(BatchRun, Texts) {
    EXPECT_EQ(progressCaption(2, 10, u"a.txt"), u"总 10 个文件，正处理第 2 个文件：a.txt");
    BatchRunSummary summary;
    summary.total = 3;
    summary.handled = 3;
    summary.done = 2;
    summary.problems.push_back(
        {1, BatchProblemKind::Binary, FileStatus::Ok, std::nullopt, TextCharset::Detect});
    summary.incompleteFiles.push_back(0);
    const FileList files = listOf({"/in/a.txt", "/in/b.bin", "/in/c.txt"});
    EXPECT_EQ(summaryHeadline(summary), u"已完成 3 个文件");
    EXPECT_EQ(completionQuestion(summary, files, u"/in/批量提取结果", 10),
              u"已完成 3 个文件（成功 2，跳过 1，失败 0）\r\n"
              u"跳过 /in/b.bin：含有零字节，不是文本文件\r\n"
              u"搜索不完整 /in/a.txt：超出了引擎的回溯限制，结果可能不全\r\n"
              u"\r\n文件输出在这个文件夹 >> \r\n/in/批量提取结果\r\n\r\n是否立即打开？");
    EXPECT_EQ(completionQuestion(summary, files, u"/out", 1),
              u"已完成 3 个文件（成功 2，跳过 1，失败 0）\r\n"
              u"跳过 /in/b.bin：含有零字节，不是文本文件\r\n"
              u"……还有 1 项\r\n"
              u"\r\n文件输出在这个文件夹 >> \r\n/out\r\n\r\n是否立即打开？");
    summary.stopped = true;
    summary.handled = 2;
    EXPECT_EQ(summaryHeadline(summary), u"已停止：完成 2 / 3 个文件");

    struct PathCase {
        std::u16string path, folder, name;
    };
    const PathCase cases[] = {
        {u"/in/a.txt", u"/in", u"a.txt"},
        {u"/a.txt", u"/", u"a.txt"},
        {u"a.txt", u"", u"a.txt"},
        {u"/in/sub/", u"/in/sub", u""},
    };
    for (const PathCase& c : cases) {
        EXPECT_EQ(FolderOfPath(c.path), c.folder);
        EXPECT_EQ(FileNameOfPath(c.path), c.name);
    }
}

}  // namespace
}  // namespace lcr
