#include "regex/pattern_helpers.h"

#include <gtest/gtest.h>

namespace lcr {
namespace {

struct HelperCase {
    std::u16string (*helper)(std::u16string_view);
    const char* name;
    std::u16string input;
    std::u16string expected;
};

TEST(PatternHelpers, EscapeTheirOwnCharacterSets) {
    const HelperCase cases[] = {
        {wildcardToPattern, "wildcard", u"*.*", u".*\\..*"},
        {wildcardToPattern, "wildcard", u"*.txt", u".*\\.txt"},
        {wildcardToPattern, "wildcard", u"a?c", u"a.?c"},
        {wildcardToPattern, "wildcard", u"report(1)-v2.doc", u"report\\(1\\)\\-v2\\.doc"},
        {wildcardToPattern, "wildcard", u"*.txt|*.ini", u".*\\.txt|.*\\.ini"},
        {wildcardToPattern, "wildcard", u"^$+{}[]=\"", u"\\^\\$\\+\\{\\}\\[\\]\\=\\\""},
        {escapeAll, "escapeAll", u"a|b*", u"a\\|b\\*"},
        {escapeAll, "escapeAll", u"(x)?-", u"\\(x\\)\\?-"},
        {escapeKeepAlternation, "keepAlternation", u"a|b*", u"a|b\\*"},
        {escapeKeepAlternation, "keepAlternation", u"(a)", u"\\(a\\)"},
        {escapeKeepGroups, "keepGroups", u"(a|b).c", u"(a|b)\\.c"},
        {escapeKeepGroups, "keepGroups", u"a?*=", u"a\\?\\*\\="},
    };
    for (const HelperCase& c : cases) {
        EXPECT_EQ(c.helper(c.input), c.expected) << c.name;
    }
}

TEST(PatternHelpers, BackslashesDoubleChineseStaysEmptyStaysEmpty) {
    for (auto helper : {wildcardToPattern, escapeAll, escapeKeepAlternation, escapeKeepGroups}) {
        EXPECT_EQ(helper(u"C:\\dir"), u"C:\\\\dir");
        EXPECT_EQ(helper(u"中文文件"), u"中文文件");
        EXPECT_EQ(helper(u""), u"");
    }
}

}  // namespace
}  // namespace lcr
