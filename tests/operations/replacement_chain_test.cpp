#include "operations/replacement_chain.h"

#include <gtest/gtest.h>

#include "text/gb18030.h"

namespace lcr {
namespace {

struct ReplaceCase {
    const char* what;
    std::u16string text, chain, replacements;
    bool replaceAll;
    bool correct;
    std::u16string result;
};

TEST(ReplaceChain, Cases) {
    const ReplaceCase cases[] = {
        {"all", u"a-b-a", u"a<#lc#>b", u"x<#lc#>y", true, false, u"x-y-x"},
        {"first only", u"a-b-a", u"a<#lc#>b", u"x<#lc#>y", false, false, u"x-y-a"},
        {"missing replacement is empty", u"ab", u"a<#lc#>x", u"x", true, false, u"b"},
        {"surplus replacements ignored", u"ab", u"a", u"1<#lc#>2<#lc#>3", true, false, u"1b"},
        {"group reference", u"a12b", u"(\\d+)", u"[$1]", true, false, u"a[12]b"},
        {"trailing bar is kept", u"xabcx", u"abc|", u"-", true, false, u"-x--x-"},
        {"only empty pieces: source corrected", u"a\rb\nc", u"<#lc#>", u"", true, true,
         u"a\r\nb\r\nc"},
        {"empty source", u"", u"a", u"b", true, false, u""},
        {"each works on the output of the one before", u"abc", u"a<#lc#>xb", u"x<#lc#>y", true,
         false, u"yc"},
    };
    for (const ReplaceCase& c : cases) {
        MatchOptions o;
        o.multiline = true;
        o.replaceAll = c.replaceAll;
        o.correctNewlines = c.correct;
        EXPECT_EQ(toUtf8(replaceChain(c.text, c.chain, c.replacements, o).text), toUtf8(c.result))
            << c.what;
    }
}

TEST(ReplaceChain, AMalformedExpressionLeavesTheTextAndIsReported) {
    MatchOptions o;
    o.replaceAll = true;
    const auto r = replaceChain(u"a(b", u"a<#lc#>(<#lc#>b", u"1<#lc#>2<#lc#>3", o);
    EXPECT_EQ(r.text, u"1(3");
    ASSERT_TRUE(r.compileError.has_value());
    EXPECT_EQ(r.failedPiece, 1u);
}

}  // namespace
}  // namespace lcr
