#include "library/expression_library.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "library/builtin_texts.h"
#include "text/gb18030.h"
#include "text/program_text.h"

namespace lcr {

// Readable failure messages: the two texts as UTF-8.
void PrintTo(const LibraryEntry& entry, std::ostream* os) {
    *os << "{\"" << toUtf8(entry.name) << "\", \"" << toUtf8(entry.expression) << "\"}";
}

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kBuiltinLines = 37;

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The entries that come from the user file: between the header and the
// built-in list, which must follow them unchanged.
std::vector<LibraryEntry> userEntries(const std::vector<LibraryEntry>& library) {
    EXPECT_GE(library.size(), kBuiltinLines + 1);
    if (library.size() < kBuiltinLines + 1) {
        return {};
    }
    EXPECT_EQ(library.front(), (LibraryEntry{u"【自定义正则】", u""}));
    EXPECT_EQ(library[library.size() - kBuiltinLines], (LibraryEntry{u"【网页】", u""}));
    return {library.begin() + 1, library.end() - kBuiltinLines};
}

class ExpressionLibraryFiles : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        // The process id keeps two builds running this test apart.
        m_dir = fs::temp_directory_path() /
                ("lcr_library_" + std::to_string(::getpid()) + "_" + info->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path userFile() const { return userExpressionFilePath(m_dir); }

    fs::path m_dir;
};

TEST_F(ExpressionLibraryFiles, MissingFileIsWrittenWithTheDefaultLinesInGb18030) {
    const std::vector<LibraryEntry> library = loadExpressionLibrary(m_dir);

    EXPECT_EQ(userFile().filename().string(), "自定义正则.txt");
    const std::string bytes = readBytes(userFile());
    EXPECT_EQ(bytes, encodeGb18030(defaultUserFileText()));
    EXPECT_TRUE(bytes.starts_with("'  \xC4\xE3"));  // "你" in GBK, no byte-order mark
    EXPECT_FALSE(bytes.ends_with("\r\n"));

    ASSERT_EQ(library.size(), 54u);
    EXPECT_EQ(library[0], (LibraryEntry{u"【自定义正则】", u""}));
    EXPECT_EQ(library[1], (LibraryEntry{u"多表达式分隔符", u"<#lc#>"}));
    EXPECT_EQ(library[4], (LibraryEntry{u"空行及行的首尾空",
                                        u"<[\\s\\S]+?><#lc#>^[　 \\t]*$(\\r\\n|\\r|\\n)|^[ "
                                        u"　\\t]+|[ 　\\t]+$"}));
    EXPECT_EQ(library[16], (LibraryEntry{u"非中文数字字母", u"[^\\u4e00-\\u9fa5a-zA-Z]"}));
    EXPECT_EQ(library[17], (LibraryEntry{u"【网页】", u""}));
    EXPECT_EQ(library[45], (LibraryEntry{u"匹配负整数", u"^-[1-9]\\d*$ "}));  // trailing space kept
    EXPECT_EQ(library[53], (LibraryEntry{u"匹配非正浮点数(负浮点数 + 0)",
                                         u"^(-([1-9]\\d*\\.\\d*|0\\.\\d*[1-9]\\d*))|0?\\.0+|0$"}));
    int headers = 0;
    for (const LibraryEntry& entry : library) {
        EXPECT_FALSE(entry.name.empty());
        headers += entry.expression.empty() ? 1 : 0;
    }
    EXPECT_EQ(headers, 6);  // 【自定义正则】 and the five sections of the built-in list

    // The second start reads the file it wrote and gives the same library.
    EXPECT_EQ(loadExpressionLibrary(m_dir), library);
}

TEST_F(ExpressionLibraryFiles, ExistingFileIsNeverRewritten) {
    const std::string mine = encodeGb18030(u"'我的\r\n名字::表达式\r\n");
    writeBytes(userFile(), mine);
    const std::vector<LibraryEntry> library = loadExpressionLibrary(m_dir);
    EXPECT_EQ(readBytes(userFile()), mine);
    EXPECT_EQ(userEntries(library), (std::vector<LibraryEntry>{{u"名字", u"表达式"}, {u"", u""}}));

    writeBytes(userFile(), "");  // an empty file stays empty
    EXPECT_EQ(userEntries(loadExpressionLibrary(m_dir)), (std::vector<LibraryEntry>{{u"", u""}}));
    EXPECT_EQ(readBytes(userFile()), "");
}

TEST_F(ExpressionLibraryFiles, FileThatCannotBeWrittenOrReadGivesAnEmptyUserPart) {
    // Tests may run as root, where permissions do not stop a write: a
    // directory below a regular file can be created by nobody.
    writeBytes(m_dir / "plain", "x");
    const fs::path impossible = m_dir / "plain" / "program";
    const std::vector<LibraryEntry> library = loadExpressionLibrary(impossible);
    ASSERT_EQ(library.size(), kBuiltinLines + 2);
    EXPECT_EQ(userEntries(library), (std::vector<LibraryEntry>{{u"", u""}}));

    // A directory where the file should be is neither replaced nor read.
    fs::create_directory(userFile());
    EXPECT_EQ(userEntries(loadExpressionLibrary(m_dir)), (std::vector<LibraryEntry>{{u"", u""}}));
    EXPECT_TRUE(fs::is_directory(userFile()));
}

TEST_F(ExpressionLibraryFiles, FileIsReadUpToItsFirstZeroByte) {
    writeBytes(userFile(), std::string("a::b\r\nc::d\0e::f\r\n", 17));
    EXPECT_EQ(userEntries(loadExpressionLibrary(m_dir)),
              (std::vector<LibraryEntry>{{u"a", u"b"}, {u"c", u"d"}}));
}

TEST_F(ExpressionLibraryFiles, FileIsReadInTheCharsetItWasSavedIn) {
    // The same lines as an editor on Linux, one on Windows and one that
    // marks UTF-8 save them, and a GB18030 file whose bytes merely start
    // like UTF-8.
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<LibraryEntry> entries;
    };
    const std::vector<LibraryEntry> chinese{{u"名字", u"[中文]+"}, {u"网址", u"\\w+"}};
    const Case cases[] = {
        {"UTF-8 without a mark, LF", "'注释\n名字::[中文]+\n网址::\\w+", chinese},
        {"UTF-8 with a mark", "\xEF\xBB\xBF'注释\r\n名字::[中文]+\r\n网址::\\w+", chinese},
        {"GB18030", encodeGb18030(u"'注释\r\n名字::[中文]+\r\n网址::\\w+"), chinese},
        {"GB18030 that is UTF-8 for its first bytes",
         encodeGb18030(u"脙中::a"),  // C3 83 is a two-byte UTF-8 form, D6 D0 is none
         {{u"脙中", u"a"}}},
        {"four-byte UTF-8", "笑::\xF0\x9F\x98\x80", {{u"笑", u"\U0001F600"}}},
    };
    for (const Case& c : cases) {
        writeBytes(userFile(), c.bytes);
        EXPECT_EQ(userEntries(loadExpressionLibrary(m_dir)), c.entries) << c.what;
        EXPECT_EQ(readBytes(userFile()), c.bytes) << c.what << ": the file is only read";
    }
}

TEST(BuiltinTexts, LinesJoinedByCrLf) {
    const std::u16string list = builtinExpressionListText();
    EXPECT_TRUE(list.starts_with(u"\r\n【网页】\r\n匹配HTML标记::"));
    EXPECT_FALSE(list.ends_with(u"\r\n"));
    EXPECT_EQ(splitText(list, u"\r\n").size(), kBuiltinLines + 1);  // with the empty first piece

    const std::u16string user = defaultUserFileText();
    EXPECT_TRUE(user.starts_with(u"'  你可以自由编辑这里的正则内容"));
    EXPECT_TRUE(user.ends_with(u"\r\n非中文数字字母::[^\\u4e00-\\u9fa5a-zA-Z]"));
    EXPECT_EQ(splitText(user, u"\r\n").size(), 20u);
}

TEST(BuildExpressionLibrary, UserLinesBecomeEntries) {
    struct Case {
        const char* what;
        std::u16string text;
        std::vector<LibraryEntry> entries;
    };
    const Case cases[] = {
        {"empty file", u"", {{u"", u""}}},
        {"last line ends with CR LF", u"a::b\r\n", {{u"a", u"b"}, {u"", u""}}},
        {"last line without CR LF", u"a::b\r\nc::d", {{u"a", u"b"}, {u"c", u"d"}}},
        {"comment as the last line", u"a::b\r\n'note", {{u"a", u"b"}, {u"'note", u""}}},
        {"blank as the last line", u"a::b\r\n 　\t", {{u"a", u"b"}, {u" 　\t", u""}}},
        {"comment and blank lines in a row",
         u"'one\r\n\r\n \t\r\n'two\r\n　　\r\na::b",
         {{u"a", u"b"}}},
        {"a comment only at the start of a line",
         u"  'x\r\na::'b'\r\n",
         {{u"  'x", u""}, {u"a", u"'b'"}, {u"", u""}}},
        {"spaces then text stay", u"  x\r\ny", {{u"  x", u""}, {u"y", u""}}},
        {"two separators", u"n::e::more", {{u"n", u"e"}}},
        {"leading separator", u"::e", {{u"", u"e"}}},
        {"trailing separator", u"n::", {{u"n", u""}}},
        {"only a separator", u"::", {{u"", u""}}},
        {"section header", u"【数字】\r\nn::e", {{u"【数字】", u""}, {u"n", u"e"}}},
        {"chain of expressions", u"n::a<#lc#>b", {{u"n", u"a<#lc#>b"}}},
        {"LF line breaks", u"'c\n\na::b\nc::d\n", {{u"a", u"b"}, {u"c", u"d"}, {u"", u""}}},
        {"lone CR line breaks", u"a::b\rc::d", {{u"a", u"b"}, {u"c", u"d"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(userEntries(buildExpressionLibrary(c.text)), c.entries);
    }
}

}  // namespace
}  // namespace lcr
