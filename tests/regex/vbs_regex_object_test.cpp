#include "regex/vbs_regex_object.h"

#include <gtest/gtest.h>

namespace lcr {
namespace {

TEST(VbsRegexObject, WildcardFilterWithDefaultsIsCaselessAndUnanchored) {
    VbsRegexObject re;
    ASSERT_TRUE(re.create(VbsRegexObject::wildcardToPattern(u"*.txt")));
    EXPECT_GT(re.execute(u"A.TXT"), 0);
    EXPECT_GT(re.execute(u"a.txt.bak"), 0);
    EXPECT_EQ(re.execute(u"a.ini"), 0);
    EXPECT_EQ(re.matchCount(), 0);
    ASSERT_TRUE(re.create(VbsRegexObject::wildcardToPattern(u"*.txt|*.ini")));
    EXPECT_GT(re.execute(u"设置.INI"), 0);
}

TEST(VbsRegexObject, GlobalDecidesBetweenAllMatchesAndTheFirst) {
    VbsRegexObject re;
    re.create(u"(\\d)(x)?");
    EXPECT_EQ(re.execute(u"1 2x 3"), 3);
    EXPECT_EQ(re.matchValue(2), u"2x");
    EXPECT_EQ(re.subMatchValue(2, 2), u"x");
    EXPECT_EQ(re.subMatchValue(1, 2), u"");
    EXPECT_EQ(re.subMatchCount(), 2);
    std::int32_t position = -1;
    EXPECT_EQ(re.subMatchValueAt(3, 1, &position), u"3");
    EXPECT_EQ(position, 5);
    EXPECT_EQ(re.replace(u"1a2", u"#"), u"#a#");

    re.create(u"\\d", true, true, /*global=*/false);
    EXPECT_EQ(re.execute(u"1 2"), 1);
    EXPECT_EQ(re.replace(u"1a2", u"#"), u"#a2");
}

TEST(VbsRegexObject, EmptyMatchesMoveOnAndIndexesOutsideGiveEmptyText) {
    VbsRegexObject re;
    re.create(u"a*");
    EXPECT_EQ(re.execute(u"ba"), 3);  // "", "a", "" as the component finds them
    EXPECT_EQ(re.matchValue(0), u"");
    EXPECT_EQ(re.matchValue(9), u"");
    EXPECT_EQ(re.subMatchValue(1, 1), u"");
}

TEST(VbsRegexObject, PatternTextIsEmptyBeforeCreate) {
    VbsRegexObject re;
    EXPECT_EQ(re.patternText(), u"");
    EXPECT_EQ(re.subMatchCount(), 0);
    re.create(u"a.b");
    EXPECT_EQ(re.patternText(), u"a.b");
}

}  // namespace
}  // namespace lcr
