#include "regex/deelx_regex_object.h"

#include <gtest/gtest.h>

namespace lcr {
namespace {

TEST(DeelxRegexObject, CreateDefaultsAreIgnoreCaseMultilineAndReplaceAll) {
    DeelxRegexObject re;
    ASSERT_TRUE(re.create(u"^b"));
    EXPECT_EQ(re.searchAll(u"a\r\nB\r\nb"), 2);     // ignore case and multiline
    EXPECT_EQ(re.replace(u"b\nb", u"x"), u"x\nx");  // replace all
    EXPECT_EQ(re.patternText(), u"^b");
}

TEST(DeelxRegexObject, SearchAllCountsByTheStopRule) {
    struct Case {
        std::u16string pattern, text;
        int count;
        std::u16string first;
    };
    for (const Case& c :
         {Case{u"a", u"aaa", 3, u"a"}, Case{u"a*", u"baaa", 0, {}}, Case{u"a*", u"aab", 1, u"aa"},
          Case{u"x|", u"axb", 0, {}}, Case{u"^$", u"", 0, {}}, Case{u".", u"中文", 2, u"中"}}) {
        DeelxRegexObject re;
        ASSERT_TRUE(re.create(c.pattern));
        EXPECT_EQ(re.searchAll(c.text), c.count);
        EXPECT_EQ(re.matchCount(), c.count);
        if (c.count > 0) {
            EXPECT_EQ(re.matchText(1), c.first);
        }
    }
}

TEST(DeelxRegexObject, IndexOutsideTheMatchesGivesTheRangeMessage) {
    DeelxRegexObject re;
    EXPECT_EQ(re.matchText(1), u"匹配索引超出范围。匹配总数：0，当前匹配索引：1");
    re.create(u"a");
    re.searchAll(u"aa");
    std::int32_t start = 77, end = 77;
    EXPECT_EQ(re.matchText(0, &start, &end), u"匹配索引超出范围。匹配总数：2，当前匹配索引：0");
    EXPECT_EQ(re.subMatchText(3, 0), u"匹配索引超出范围。匹配总数：2，当前匹配索引：3");
    EXPECT_EQ(re.matchText(-5), u"匹配索引超出范围。匹配总数：2，当前匹配索引：-5");
    EXPECT_EQ(start, 77);  // no out-value is set
    EXPECT_EQ(end, 77);
}

TEST(DeelxRegexObject, GroupsThatDoNotExistOrDidNotTakePartAreEmpty) {
    DeelxRegexObject re;
    re.create(u"(a)(b)?");
    ASSERT_EQ(re.searchAll(u"xa"), 1);
    EXPECT_EQ(re.subMatchCount(), 2);
    EXPECT_EQ(re.subMatchText(1, 1), u"a");
    EXPECT_EQ(re.subMatchText(1, 2), u"");
    EXPECT_EQ(re.subMatchText(1, 3), u"");
    EXPECT_EQ(re.subMatchText(1, -1), u"");
    std::int32_t start = -1, end = -1;
    EXPECT_EQ(re.subMatchText(1, 1, &start, &end), u"a");
    EXPECT_EQ(start, 1);  // the whole match's positions
    EXPECT_EQ(end, 2);
}

TEST(DeelxRegexObject, SubMatchCountIsZeroWithoutMatches) {
    DeelxRegexObject re;
    re.create(u"(a)(b)");
    EXPECT_EQ(re.searchAll(u"zz"), 0);
    EXPECT_EQ(re.subMatchCount(), 0);
}

TEST(DeelxRegexObject, ReplaceCountFollowsTheArgumentOrTheReplaceAllFlag) {
    DeelxRegexObject re;
    re.create(u"a", true, true, /*replaceAll=*/false);
    EXPECT_EQ(re.replace(u"a-a-a", u"b", 1), u"b-a-a");
    EXPECT_EQ(re.replace(u"a-a-a", u"b"), u"b-a-a");
    EXPECT_EQ(re.replace(u"a-a-a", u"b", -1), u"b-b-b");
    re.create(u"a", true, true, /*replaceAll=*/true);
    EXPECT_EQ(re.replace(u"a-a-a", u"b"), u"b-b-b");
    EXPECT_EQ(re.replace(u"", u"b"), u"");
}

TEST(DeelxRegexObject, EmptyPatternCompilesToNothing) {
    DeelxRegexObject re;
    EXPECT_FALSE(re.create(u""));
    EXPECT_EQ(re.searchAll(u"abc"), 0);
    EXPECT_EQ(re.replace(u"abc", u"x"), u"");
    EXPECT_EQ(re.patternText(), u"");
    ASSERT_TRUE(re.compileError().has_value());
}

TEST(DeelxRegexObject, MalformedPatternLeavesTheTextToReplaceAlone) {
    DeelxRegexObject re;
    EXPECT_FALSE(re.create(u"(a"));
    EXPECT_EQ(re.replace(u"abc", u"x"), u"abc");
    EXPECT_EQ(re.compileError()->offset, 2u);
    EXPECT_EQ(re.searchAll(u"abc"), 0);
}

TEST(DeelxRegexObject, CreateLeavesTheKeptMatchesAlone) {
    DeelxRegexObject re;
    re.create(u"\\d");
    re.searchAll(u"1 2");
    re.create(u"z");
    EXPECT_EQ(re.matchCount(), 2);
    EXPECT_EQ(re.matchText(2), u"2");
}

TEST(DeelxRegexObject, MatchFirstAndMatchNextWalkTheText) {
    DeelxRegexObject re;
    re.create(u"(\\d)(\\d)");
    EXPECT_EQ(re.matchNext(), u"");  // before any match
    EXPECT_EQ(re.matchFirst(u"12 34 56", 2), u"2");
    EXPECT_EQ(re.matchNext(), u"34");
    EXPECT_EQ(re.matchNext(-3), u"56");  // group 0 or less is the whole match
    EXPECT_EQ(re.matchNext(), u"");
    EXPECT_EQ(re.matchNext(), u"");  // after a failed match
    EXPECT_EQ(re.matchFirst(u"12 34", 0, 1), u"34");
    EXPECT_EQ(re.matchCount(), 0);  // nothing kept
}

TEST(DeelxRegexObject, CopyIsIndependent) {
    DeelxRegexObject re;
    re.create(u"(b)", true, true, false);
    re.searchAll(u"abcb");
    DeelxRegexObject copy = re;
    re.create(u"z");
    re.searchAll(u"zzz");
    EXPECT_EQ(copy.matchCount(), 2);
    EXPECT_EQ(copy.subMatchText(2, 1), u"b");
    EXPECT_EQ(copy.replace(u"bb", u"x"), u"xb");  // pattern and replace-all flag came along
}

TEST(DeelxRegexObject, SharedTextSearchAvoidsACopy) {
    auto text = std::make_shared<const std::u16string>(u"a1b2");
    DeelxRegexObject re;
    re.create(u"\\d");
    EXPECT_EQ(re.searchAll(text), 2);
    EXPECT_EQ(re.searchedText().data(), text->data());
    EXPECT_EQ(re.matchText(2), u"2");
}

TEST(DeelxRegexObject, PatternHelpersAreStatic) {
    EXPECT_EQ(DeelxRegexObject::wildcardToPattern(u"*.txt"), u".*\\.txt");
    EXPECT_EQ(DeelxRegexObject::escapeAll(u"a|b"), u"a\\|b");
}

}  // namespace
}  // namespace lcr
