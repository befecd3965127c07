// lcregular-cli through its real executable: arguments in, standard output,
// standard error and exit status out.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

struct CliRun {
    std::string out;
    std::string err;
    int status = -1;
};

// Runs the tool with `args` (shell words) and `input` on standard input.
CliRun runCli(const std::string& args, const std::string& input) {
    // ctest runs the tests of this file in parallel processes: each keeps
    // to files of its own.
    const std::string dir = ::testing::TempDir();
    const std::string self = std::to_string(getpid());
    const std::string in = dir + "/cli_in_" + self + ".txt";
    const std::string err = dir + "/cli_err_" + self + ".txt";
    std::ofstream(in, std::ios::binary) << input;
    const std::string command =
        std::string(LCR_CLI_PATH) + " " + args + " < '" + in + "' 2> '" + err + "'";
    CliRun run;
    FILE* pipe = popen(command.c_str(), "r");
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        run.out.append(buffer.data(), n);
    }
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream errStream(err, std::ios::binary);
    run.err.assign(std::istreambuf_iterator<char>(errStream), {});
    return run;
}

struct Case {
    const char* what;
    std::string args;
    std::string input;
    std::string out;
    int status;
};

TEST(Cli, Cases) {
    const Case cases[] = {
        {"one line per match", "extract -e '\\d+'", "a1 b22", "1\n22\n", 0},
        {"format tokens", "extract --format '##. #0 (#1) #2' -e '([a-z])\\d'", "a1 b2",
         "1. a1 (a) #2\n2. b2 (b) #2\n", 0},
        {"#-1 is the row number", "extract --format '#-1=#0' -e 'x'", "xx", "1=x\n2=x\n", 0},
        {"chain in order, numbered per expression", "extract --format '##:#0' -e 'a<#lc#>b'",
         "ab a", "1:a\n2:a\n1:b\n", 0},
        {"no match is not an error", "extract -e 'z'", "abc", "", 0},
        {"trailing bar removed", "extract -e 'b|'", "abc", "b\n", 0},
        {"options", "extract -i -m -e '^a$'", "A\r\na", "A\na\n", 0},
        {"correct newlines", "extract -n --format '[#0]' -e '\\r\\n'", "a\rb\nc",
         "[\r\n]\n[\r\n]\n", 0},
        {"byte-order mark dropped", "extract -e '^.'", "\xEF\xBB\xBF中文", "中\n", 0},
        {"json rows", "extract --json -e '(\\d)(x)?'", "1 2x",
         "{\"expression\":\"(\\\\d)(x)?\",\"count\":2,\"groups\":2,\"rows\":[[\"1\",\"1\",\"1\","
         "\"\"],[\"2\",\"2x\",\"2\",\"x\"]]}\n",
         0},
        {"json: every non-empty expression", "extract --json -e 'q<#lc#><#lc#>'", "a",
         "{\"expression\":\"q\",\"count\":0,\"groups\":0,\"rows\":[]}\n", 0},
        {"replace all", "replace -a -e 'a<#lc#>b' -r 'x<#lc#>y'", "a-b-a", "x-y-x", 0},
        {"replace first", "replace -e 'a' -r '[$&]'", "a-a\r\n", "[a]-a\r\n", 0},
        {"compile error: the rest still runs", "extract -e '(<#lc#>\\d'", "a1", "1\n", 3},
        {"replace compile error", "replace -a -e '(' -r 'x'", "abc", "abc", 3},
        {"missing chain", "extract", "", "", 2},
        {"unknown command", "grep -e a", "", "", 2},
        {"-a belongs to replace", "extract -a -e a", "a", "", 2},
        {"unreadable file", "extract -e a /no/such/file", "", "", 2},
        {"--charset reads the input as a batch run does", "extract --charset gbk -e '.'",
         "\xD6\xD0", "中\n", 0},
        {"--charset auto detects UTF-16", "extract --charset auto -e '.'",
         std::string("\xFF\xFE\x2D\x4E", 4), "中\n", 0},
        {"unknown charset", "extract --charset latin1 -e a", "a", "", 2},
        {"--charset auto: UTF-16BE without a mark", "extract --charset auto -e '.$'",
         std::string("\0a\0b", 4), "b\n", 0},
        {"--charset: binary input is refused, not cut short", "replace --charset auto -e a -r b",
         std::string("a\0\0b", 4), "", 2},
        {"batch run without folder or files", "batch-extract -e a", "", "", 2},
        {"a time limit is a positive number of seconds", "extract --time-limit 0 -e a", "a", "", 2},
        {"a time limit is a number", "extract --time-limit soon -e a", "a", "", 2},
        {"a fractional time limit", "extract --time-limit 0.5 -e a", "a", "a\n", 0},
        // The input is read in pieces: characters cut between two pieces.
        {"a long input with Chinese throughout", "extract -e '中文$'",
         std::string(300000, 'a') + "中文" + std::string(200000, 'b') + "\xE4\xB8\xAD\xE6\x96\x87",
         "中文\n", 0},
    };
    for (const Case& c : cases) {
        const CliRun run = runCli(c.args, c.input);
        EXPECT_EQ(run.out, c.out) << c.what;
        EXPECT_EQ(run.status, c.status) << c.what << ": " << run.err;
    }
}

TEST(Cli, CompileErrorsNameThePieceAndPosition) {
    const CliRun run = runCli("extract -e 'a<#lc#>a(b'", "ab");
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.err.find("第 2 个表达式"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("第 4 个字符"), std::string::npos) << run.err;
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(Cli, BatchRunsWriteOneOutputFilePerSourceAndNameTheFolderLast) {
    const std::string folder = ::testing::TempDir() + "/cli_batch";
    std::system(("rm -rf '" + folder + "' && mkdir -p '" + folder + "'").c_str());
    std::ofstream(folder + "/a.txt", std::ios::binary) << "\xC8\xD5 2024-05-17, 2023-01-02";
    std::ofstream(folder + "/b.txt", std::ios::binary) << "\xEF\xBB\xBF"
                                                          "2020-10-10";
    std::ofstream(folder + "/c.ini", std::ios::binary) << "none";

    CliRun run =
        runCli("batch-extract --format '##:#0' --filter '*.txt' -e '\\d{4}-\\d{2}-\\d{2}' '" +
                   folder + "'",
               "");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, folder + "/批量提取结果\n");
    EXPECT_EQ(readBytes(folder + "/批量提取结果/a.txt"), "1:2024-05-17\r\n2:2023-01-02\r\n");
    EXPECT_EQ(readBytes(folder + "/批量提取结果/b.txt"), "1:2020-10-10\r\n");
    EXPECT_NE(run.err.find("总 2 个文件"), std::string::npos) << run.err;

    // Replacement keeps each source's charset; the sources stay as they were.
    run = runCli("batch-replace -a -e '(\\d{4})-(\\d{2})-(\\d{2})' -r '$3/$2/$1' '" + folder +
                     "/b.txt' '" + folder + "/c.ini'",
                 "");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("已完成 2 个文件"), std::string::npos) << run.err;
    EXPECT_EQ(readBytes(folder + "/批量替换结果/b.txt"),
              "\xEF\xBB\xBF"
              "10/10/2020");
    EXPECT_EQ(readBytes(folder + "/批量替换结果/c.ini"), "none");
    EXPECT_EQ(readBytes(folder + "/b.txt"),
              "\xEF\xBB\xBF"
              "2020-10-10");

    run = runCli("batch-extract -e '(' '" + folder + "'", "");
    EXPECT_EQ(run.status, 3);
}

// Same-named sources from two folders: each folder gets its own outputs, one
// line each on standard output; a binary file is skipped, a failed file
// makes the exit status 4, and the summary on standard error says why.
TEST(Cli, BatchRunsKeepFoldersApartAndReportEveryFile) {
    const std::string root = ::testing::TempDir() + "/cli_batch_folders";
    std::system(
        ("rm -rf '" + root + "' && mkdir -p '" + root + "/one' '" + root + "/two'").c_str());
    std::ofstream(root + "/one/a.txt", std::ios::binary) << "1";
    std::ofstream(root + "/two/a.txt", std::ios::binary) << "2";
    std::ofstream(root + "/two/b.bin", std::ios::binary) << std::string("\x01\0\0\x02", 4);

    CliRun run = runCli("batch-replace -e '\\d' -r '<$&>' '" + root + "/one/a.txt' '" + root +
                            "/two/a.txt' '" + root + "/two/b.bin'",
                        "");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, root + "/one/批量替换结果\n" + root + "/two/批量替换结果\n");
    EXPECT_EQ(readBytes(root + "/one/批量替换结果/a.txt"), "<1>");
    EXPECT_EQ(readBytes(root + "/two/批量替换结果/a.txt"), "<2>");
    EXPECT_NE(run.err.find("跳过 " + root + "/two/b.bin"), std::string::npos) << run.err;

    // An output that cannot be written: a folder stands in its place.
    std::system(("mkdir -p '" + root + "/one/批量提取结果/a.txt'").c_str());
    run = runCli("batch-extract -e '\\d' '" + root + "/one/a.txt' '" + root + "/two/a.txt'", "");
    EXPECT_EQ(run.status, 4) << run.err;
    EXPECT_NE(run.err.find("失败 " + root + "/one/a.txt"), std::string::npos) << run.err;
    EXPECT_EQ(readBytes(root + "/two/批量提取结果/a.txt"), "2\r\n");

    run = runCli("batch-extract --output-charset utf-8 -e '.' '" + root + "/one/a.txt'", "");
    EXPECT_EQ(run.status, 4) << run.err;
    run = runCli("batch-extract --output-charset latin1 -e '.' '" + root + "/one/a.txt'", "");
    EXPECT_EQ(run.status, 2) << run.err;
}

// Runaway patterns end, say on standard error that the result is
// incomplete and why, and keep what is found before and after the places
// they give up on. The time limit is generous where the backtracking limits
// are to act (these runs take well under a second), small where it is the
// budget that has to end the run.
TEST(Cli, RunawayPatternsEndAndKeepTheMatchesAroundThem) {
    const std::string xs(30, 'x');
    std::string lines = "k1\n";
    for (int i = 0; i < 100; ++i) {
        lines += "aaaaaaaaaaaaaaaaaaaaaaaaab\n";
    }
    struct Runaway {
        const char* what;
        std::string args;
        std::string input;
        std::string out;     // exactly, or (timed out) its start
        const char* reason;  // on standard error
    };
    const char* const limits = "backtracking limits";
    const char* const time = "time limit";
    const Runaway cases[] = {
        {"one expression", "extract --time-limit 30 -e 'k\\d|(x+x+)+y'", "k1 " + xs + " k2",
         "k1\nk2\n", limits},
        {"in the middle of a replacement chain",
         "replace -a --time-limit 30 -e 'k<#lc#>(x+x+)+y|q<#lc#>\\d' -r 'K<#lc#>!<#lc#>#'",
         "k1 " + xs + " k2", "K# " + xs + " K#", limits},
        {"the budget runs out", "extract -m --time-limit 0.2 -e 'k\\d|(a+)+$'", lines, "k1\n",
         time},
        {"the budget runs out in a chain",
         "replace -m -a --time-limit 0.2 -e 'k<#lc#>(a+)+$' -r 'K<#lc#>!'", lines, "K1\n", time},
    };
    for (const Runaway& c : cases) {
        const CliRun run = runCli(c.args, c.input);
        EXPECT_EQ(run.status, 0) << c.what << ": " << run.err;
        if (c.reason == time) {
            EXPECT_EQ(run.out.substr(0, c.out.size()), c.out) << c.what;
        } else {
            EXPECT_EQ(run.out, c.out) << c.what;
        }
        EXPECT_NE(run.err.find("incomplete"), std::string::npos) << c.what << ": " << run.err;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << c.what << ": " << run.err;
    }
}

// The same in a batch file: the steps of the chain before and after the
// runaway one are applied throughout, and the summary names the file and
// the cause.
TEST(Cli, BatchRunsGoOnPastRunawayPatterns) {
    const std::string folder = ::testing::TempDir() + "/cli_batch_runaway";
    std::system(("rm -rf '" + folder + "' && mkdir -p '" + folder + "'").c_str());
    const std::string xs(30, 'x');
    std::ofstream(folder + "/a.txt", std::ios::binary) << "k1 " + xs + " k2";
    std::string lines = "k1\n";
    for (int i = 0; i < 100; ++i) {
        lines += "aaaaaaaaaaaaaaaaaaaaaaaaab\n";
    }
    std::ofstream(folder + "/b.txt", std::ios::binary) << lines;

    CliRun run = runCli(
        "batch-replace -a --time-limit 30 -e 'k<#lc#>(x+x+)+y|q<#lc#>\\d' -r "
        "'K<#lc#>!<#lc#>#' '" +
            folder + "/a.txt'",
        "");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readBytes(folder + "/批量替换结果/a.txt"), "K# " + xs + " K#");
    EXPECT_NE(run.err.find("搜索不完整 " + folder + "/a.txt：超出了引擎的回溯限制"),
              std::string::npos)
        << run.err;

    // A budget per file: the file whose chain runs out of it ends there;
    // the next file is searched with a budget of its own.
    run = runCli("batch-extract -m --time-limit 0.2 -e 'k\\d<#lc#>(a+)+$<#lc#>k\\d' '" + folder +
                     "/b.txt' '" + folder + "/a.txt'",
                 "");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readBytes(folder + "/批量提取结果/b.txt").substr(0, 4), "k1\r\n");
    EXPECT_EQ(readBytes(folder + "/批量提取结果/a.txt"), "k1\r\nk2\r\nk1\r\nk2\r\n");
    EXPECT_NE(run.err.find("搜索不完整 " + folder + "/b.txt：超出了时间限制"), std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("搜索不完整 " + folder + "/a.txt"), std::string::npos) << run.err;
}

TEST(Cli, HelpIsInChineseAndEnglish) {
    const CliRun run = runCli("--help", "");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("用法"), std::string::npos);
    EXPECT_NE(run.out.find("Usage"), std::string::npos);
    EXPECT_NE(run.out.find("--time-limit"), std::string::npos);
}

}  // namespace
