#include "batch/file_discovery.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "batch/text_file.h"
#include "tests/batch/temp_folder.h"
#include "text/gb18030.h"

namespace lcr {
namespace {

using testing::TempFolder;

TEST(MatchesWildcard, PlatformWildcards) {
    struct Case {
        std::u16string name;
        std::u16string pattern;
        bool expected;
    };
    const Case cases[] = {
        {u"a.txt", u"*.txt", true},
        {u"A.TXT", u"*.txt", true},
        {u"a.txt.bak", u"*.txt", false},
        {u"a.txt", u"*.*", true},
        {u"README", u"*.*", true},  // no dot, still every name
        {u"a", u"a.*", true},
        {u"ab", u"a.*", false},
        {u"a.b.c", u"*.c", true},
        {u"a.txt", u"?.txt", true},
        {u"ab.txt", u"?.txt", false},
        {u".txt", u"?.txt", false},  // "?" is exactly one character
        {u"说明 文件.txt", u"说明*", true},
        {u"说明 文件.txt", u"?? ??.TXT", true},
        {u"aXbXc", u"a*b*c", true},
        {u"abcbd", u"a*bd", true},  // the "*" retried past a false start
        {u"abc", u"a*b", false},
        {u"", u"*", true},
        {u"abc", u"", false},
        {u".hidden", u"*", true},
        {u".hidden", u".*", true},
        {u"x", u".*", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(matchesWildcard(c.name, c.pattern), c.expected)
            << toUtf8(c.name) << " ~ " << toUtf8(c.pattern);
    }
}

TEST(SplitChooserFilter, PairsOfNameAndPatterns) {
    const std::vector<ChooserFilter> filters = splitChooserFilter(kChooseFilesFilter);
    const std::vector<ChooserFilter> expected = {
        {u"文本文件", {u"*.txt", u"*.ini"}},
        {u"静态网页文件", {u"*.htm", u"*.html"}},
        {u"动态网页文件", {u"*.asp", u"*.php", u"*.jsp"}},
        {u"全部文件", {u"*.*"}},
    };
    EXPECT_EQ(filters, expected);
    EXPECT_EQ(splitChooserFilter(u"全部文件|*.*|孤名"),
              std::vector<ChooserFilter>({{u"全部文件", {u"*.*"}}}));
    EXPECT_TRUE(splitChooserFilter(u"").empty());
}

// A folder of files that the filters tell apart, with what must never be
// listed: a sub-folder named like a match, a file inside it and a pipe.
class Listing : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"a.txt", "B.Txt", "a.txt.bak", "b.html", "c.htm", "README",
                                 ".hidden.txt", "说明 文件.txt"}) {
            m_folder.write(name, "x");
        }
        m_folder.write("\xD6\xD0\xCE\xC4.txt", "\xD6\xD0\xCE\xC4");  // 中文.txt, a GBK name
        std::filesystem::create_directory(m_folder.path() / "sub.txt");
        m_folder.write("sub.txt/inner.txt", "x");
        ASSERT_EQ(::mkfifo((m_folder.path() / "pipe.txt").c_str(), 0600), 0);
    }

    // The names of the listed files, in listing order, after checking that
    // each one's text is the folder's text, "/" and the name.
    std::vector<std::u16string> names(const FileList& list) const {
        const std::u16string prefix = fromUtf8(m_folder.path().native()) + u"/";
        std::vector<std::u16string> out;
        for (const ListedFile& file : list) {
            EXPECT_TRUE(file.text.starts_with(prefix)) << toUtf8(file.text);
            EXPECT_EQ(file.path.parent_path(), m_folder.path());
            out.push_back(file.text.substr(prefix.size()));
        }
        return out;
    }

    static std::vector<std::u16string> sorted(std::vector<std::u16string> names) {
        std::sort(names.begin(), names.end());
        return names;
    }

    TempFolder m_folder;
};

const std::vector<std::u16string> kAllFiles = {u".hidden.txt", u"B.Txt",     u"README",
                                               u"a.txt",       u"a.txt.bak", u"b.html",
                                               u"c.htm",       u"中文.txt",  u"说明 文件.txt"};
const std::vector<std::u16string> kTxtFiles = {u".hidden.txt", u"B.Txt", u"a.txt", u"中文.txt",
                                               u"说明 文件.txt"};

TEST_F(Listing, ByPattern) {
    struct Case {
        std::u16string filter;
        std::vector<std::u16string> expected;  // sorted
    };
    const Case cases[] = {
        {u"*.txt", kTxtFiles},
        {u"*.TXT", kTxtFiles},
        {u"*.*", kAllFiles},
        {u"", kAllFiles},
        {u"*", kAllFiles},
        {u"*.txt|", kTxtFiles},
        {u"?.txt", {u"B.Txt", u"a.txt"}},
        {u"readme", {u"README"}},
        {u"a.*", {u"a.txt", u"a.txt.bak"}},
        {u"*.htm", {u"c.htm"}},
        {u"nothing*", {}},
        {u"|", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sorted(names(ListFilesByPattern(m_folder.path(), c.filter))), c.expected)
            << toUtf8(c.filter);
    }
}

TEST_F(Listing, ByPatternKeepsTheOrderOfThePatterns) {
    for (const std::u16string filter : {u"*.txt|*.htm", u"*.txt||*.htm"}) {
        const std::vector<std::u16string> listed =
            names(ListFilesByPattern(m_folder.path(), filter));
        ASSERT_EQ(listed.size(), kTxtFiles.size() + 1) << toUtf8(filter);
        EXPECT_EQ(sorted(std::vector<std::u16string>(listed.begin(), listed.end() - 1)), kTxtFiles);
        EXPECT_EQ(listed.back(), u"c.htm");
    }
    // A file matching two patterns is listed twice.
    EXPECT_EQ(names(ListFilesByPattern(m_folder.path(), u"readme|README")),
              std::vector<std::u16string>({u"README", u"README"}));
}

TEST_F(Listing, ByExpression) {
    struct Case {
        std::u16string filter;
        std::vector<std::u16string> expected;  // sorted
    };
    const Case cases[] = {
        // One expression with two alternatives, found anywhere in the name.
        {u"*.txt|*.htm",
         {u".hidden.txt", u"B.Txt", u"a.txt", u"a.txt.bak", u"b.html", u"c.htm", u"中文.txt",
          u"说明 文件.txt"}},
        // The extension test: the end of the name, case ignored.
        {u"*.TXT", kTxtFiles},
        {u"*.t?t", {}},  // "?" is literal there
        // Any "a", anywhere.
        {u"a*", {u"README", u"a.txt", u"a.txt.bak"}},
        {u"中文", {u"中文.txt"}},
        {u"", kAllFiles},
        {u"*", kAllFiles},
        {u"*.*", kAllFiles},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sorted(names(ListFilesByExpression(m_folder.path(), c.filter))), c.expected)
            << toUtf8(c.filter);
    }
}

TEST_F(Listing, AGbkNameIsShownAsTextAndStillOpens) {
    const FileList list = ListFilesByPattern(m_folder.path(), u"中*");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].path.filename().native(), "\xD6\xD0\xCE\xC4.txt");
    const TextFileContent content = ReadTextFile(list[0].path, TextCharset::Detect);
    EXPECT_EQ(content.status, FileStatus::Ok);
    EXPECT_EQ(content.text, u"中文");
}

TEST_F(Listing, FolderEndingInASeparatorGetsNoSecond) {
    const std::filesystem::path withSlash = m_folder.path().native() + "/";
    for (const FileList& list :
         {ListFilesByPattern(withSlash, u"readme"), ListFilesByExpression(withSlash, u"readme")}) {
        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(list[0].text, fromUtf8(m_folder.path().native()) + u"/README");
        EXPECT_EQ(list[0].path.native(), m_folder.path().native() + "/README");
    }
    // The root: every listed text starts with a single "/".
    for (const ListedFile& file : ListFilesByPattern("/", u"*")) {
        EXPECT_FALSE(file.text.starts_with(u"//")) << toUtf8(file.text);
    }
}

TEST(ListFiles, NoFolderGivesAnEmptyList) {
    TempFolder folder;
    const auto file = folder.write("plain.txt", "x");
    for (const std::filesystem::path& path :
         {folder.path() / "missing", std::filesystem::path(file), std::filesystem::path()}) {
        EXPECT_TRUE(ListFilesByPattern(path, u"*.*").empty()) << path;
        EXPECT_TRUE(ListFilesByExpression(path, u"*").empty()) << path;
    }
}

TEST(ListedFileOf, KeepsThePathAndShowsItAsText) {
    const ListedFile file = listedFileOf("/in/\xD6\xD0\xCE\xC4.txt");
    EXPECT_EQ(file.path.native(), "/in/\xD6\xD0\xCE\xC4.txt");
    EXPECT_EQ(file.text, u"/in/中文.txt");
}

}  // namespace
}  // namespace lcr
