#include "batch/batch_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fswrap/folder_files.h"
#include "tests/batch/temp_folder.h"
#include "text/gb18030.h"

namespace lcr {
namespace {

namespace fs = std::filesystem;
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
    const std::string utf16 =
        "\xFF\xFE\x2D\x4E"
        "3\0"
        "\x87\x65";  // 中3文
    const fs::path a = folder.write("a.txt", "x 1 y 22");
    const fs::path b = folder.write("b.txt", std::string(utf16.data(), 8));
    const fs::path c = folder.write("\xD6\xD0.txt", "\xC3\xA9 4 5");  // a GBK name, UTF-8 text
    const FileList files = listOf({a, b, c});

    const BatchRunResult run = BatchExtract(files, {u"中?\\d+", u"#0", {}, TextCharset::Detect});

    const fs::path out = folder.path() / kExtractFolder;
    EXPECT_TRUE(run.ran);
    EXPECT_TRUE(run.outputFolderReady);
    EXPECT_EQ(run.outputFolder, out);
    EXPECT_EQ(run.outputFolderText, pathToText(folder.path()) + u"/批量提取结果");
    EXPECT_EQ(run.filesDone, 3u);
    EXPECT_FALSE(run.stopped);
    EXPECT_TRUE(run.problems.empty());
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
    ASSERT_TRUE(run.compileError.has_value());
    EXPECT_EQ(run.failedPiece, 0u);
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
        {"UTF-8 without a mark gets one",
         "\xC3\xA9"
         "a",
         u"a", u"b", true, detect,
         "\xEF\xBB\xBF\xC3\xA9"
         "b"},
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

TEST(BatchRun, AnUnreadableSourceGivesAnEmptyOutputAndTheRunGoesOn) {
    TempFolder folder;
    const fs::path missing = folder.path() / "gone.txt";
    const fs::path b = folder.write("b.txt", "7");
    const FileList files = listOf({missing, b});

    const BatchRunResult extracted = BatchExtract(files, {u"\\d", u"", {}, TextCharset::Detect});
    EXPECT_EQ(readBytes(folder.path() / kExtractFolder / "gone.txt"), "");
    EXPECT_EQ(readBytes(folder.path() / kExtractFolder / "b.txt"), "7\r\n");
    ASSERT_EQ(extracted.problems.size(), 1u);
    EXPECT_EQ(extracted.problems[0].fileIndex, 0u);
    EXPECT_EQ(extracted.problems[0].kind, BatchProblemKind::SourceUnreadable);
    EXPECT_EQ(extracted.problems[0].status, FileStatus::CannotOpen);
    EXPECT_EQ(extracted.filesDone, 2u);

    const BatchRunResult replaced = BatchReplace(files, {u"\\d", u"8", {}, TextCharset::Detect});
    EXPECT_TRUE(fs::exists(folder.path() / kReplaceFolder / "gone.txt"));
    EXPECT_EQ(readBytes(folder.path() / kReplaceFolder / "gone.txt"), "");
    EXPECT_EQ(readBytes(folder.path() / kReplaceFolder / "b.txt"), "8");
    EXPECT_FALSE(fs::exists(missing));
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
    EXPECT_TRUE(extracted.stopped);
    EXPECT_EQ(extracted.filesDone, 1u);
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
    EXPECT_TRUE(replaced.stopped);
    EXPECT_EQ(readBytes(replaceOut / "2.txt"), "xy");
    EXPECT_FALSE(fs::exists(replaceOut / "3.txt"));
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
    ASSERT_EQ(run.problems.size(), 3u);  // a.txt, b.txt, and inside's own b.txt
    for (const BatchProblem& p : run.problems) {
        EXPECT_EQ(p.kind, BatchProblemKind::OutputIsASource);
    }
    EXPECT_EQ(run.filesDone, 3u);
}

TEST(BatchRun, AnOutputFolderThatCannotBeMadeIsSkipped) {
    TempFolder folder;
    const fs::path taken = folder.write(kExtractFolder, "keep");
    const fs::path a = folder.write("a.txt", "1");
    const BatchRunResult run = BatchExtract(listOf({a}), {u"\\d", u"", {}, TextCharset::Detect});
    EXPECT_TRUE(run.ran);
    EXPECT_FALSE(run.outputFolderReady);
    EXPECT_EQ(run.filesDone, 1u);
    EXPECT_EQ(readBytes(taken), "keep");
}

TEST(BatchRun, AnEmptyListDoesNothing) {
    const BatchRunResult run = BatchExtract({}, {u"\\d", u"", {}, TextCharset::Detect});
    EXPECT_FALSE(run.ran);
    EXPECT_TRUE(run.outputFolder.empty());
    EXPECT_FALSE(BatchReplace({}, {u"\\d", u"", {}, TextCharset::Detect}).ran);
}

TEST(BatchRun, Texts) {
    EXPECT_EQ(progressCaption(2, 10, u"a.txt"), u"总 10 个文件，正处理第 2 个文件：a.txt");
    EXPECT_EQ(completionQuestion(BatchKind::Extract, u"/in/批量提取结果"),
              u"批量提取完毕！文件输出在这个文件夹 >> \r\n/in/批量提取结果\r\n\r\n是否立即打开？");
    EXPECT_EQ(completionQuestion(BatchKind::Replace, u"/in/批量替换结果"),
              u"批量替换完毕！文件输出在这个文件夹 >> \r\n/in/批量替换结果\r\n\r\n是否立即打开？");

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
