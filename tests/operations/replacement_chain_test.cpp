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

// The result spans a chain's replacements made, step by step, as a user
// reads them in the result: each replaced place once, shifted by what the
// replacements before it added or removed.
TEST(ReplaceChain, ReplacedSpansFollowTheResult) {
    struct Case {
        const char* what;
        std::u16string text, chain, replacements;
        std::vector<std::int32_t> spans;
    };
    const Case cases[] = {
        {"longer and shorter replacements", u"a-bb-a", u"a|bb", u"xyz", {0, 3, 4, 7, 8, 11}},
        {"a group in the replacement", u"k=1, k=22", u"(\\d+)", u"<$1>", {2, 5, 9, 13}},
        {"an empty replacement leaves an empty place", u"a-b", u"-", u"", {1, 1}},
        {"a later step inside an earlier span merges", u"ab", u"a<#lc#>X", u"XY<#lc#>Z", {0, 2}},
        {"a later step elsewhere shifts the earlier span",
         u"ab-c",
         u"a<#lc#>c",
         u"XY<#lc#>ZZ",
         {0, 2, 4, 6}},
        {"a later step removing text before an earlier span",
         u"pp-a",
         u"a<#lc#>pp",
         u"Q<#lc#>",
         {0, 0, 1, 2}},
    };
    MatchOptions options;
    options.replaceAll = true;
    for (const Case& c : cases) {
        std::u16string text = c.text;
        std::vector<std::int32_t> spans;
        for (const ReplacementStep& step : replacementSteps(c.chain, c.replacements)) {
            std::vector<ReplacedSpan> replaced;
            applyReplacementStep(text, step, options, &replaced);
            spans = carryReplacedSpans(spans, replaced);
        }
        EXPECT_EQ(spans, c.spans) << c.what;
    }
}

}  // namespace
}  // namespace lcr
