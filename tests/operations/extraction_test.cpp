#include "operations/extraction.h"

#include <gtest/gtest.h>

#include "text/gb18030.h"

namespace lcr {
namespace {

// The table the window would show: one string per row, cells joined by "|".
std::vector<std::string> rows(const ExtractionResult& r) {
    std::vector<std::string> out;
    for (const ExpressionMatches& e : r.expressions) {
        for (int k = 1; k <= e.matchCount(); ++k) {
            std::u16string row =
                fromUtf8(std::to_string(k)) + u"|" + std::u16string(e.matchText(k));
            for (int g = 1; g <= e.groupCount(); ++g) {
                row += u"|" + std::u16string(e.groupText(k, g));
            }
            out.push_back(toUtf8(row));
        }
    }
    return out;
}

MatchOptions defaults() {
    MatchOptions o;
    o.multiline = true;
    o.replaceAll = true;
    return o;
}

TEST(SplitChain, FollowsTheSplitRule) {
    using V = std::vector<std::u16string>;
    EXPECT_EQ(splitChain(u"a<#lc#>b"), (V{u"a", u"b"}));
    EXPECT_EQ(splitChain(u"a<#lc#><#lc#>b"), (V{u"a", u"", u"b"}));
    EXPECT_EQ(splitChain(u"<#lc#>a"), (V{u"", u"a"}));
    EXPECT_EQ(splitChain(u"a<#lc#>"), (V{u"a"}));
    EXPECT_EQ(splitChain(u""), V{});
}

TEST(ExtractChain, RowsInChainOrderNumberedPerExpression) {
    const auto r = extractChain(u"ab a", u"a<#lc#>b", defaults());
    EXPECT_EQ(rows(r), (std::vector<std::string>{"1|a", "2|a", "1|b"}));
    EXPECT_EQ(r.totalMatches(), 3);
    EXPECT_EQ(r.expressions.back().groupCount(), 0);
}

TEST(ExtractChain, GroupsThatDidNotTakePartAreEmptyCells) {
    const auto r = extractChain(u"1 2x", u"(\\d)(x)?", defaults());
    EXPECT_EQ(rows(r), (std::vector<std::string>{"1|1|1|", "2|2x|2|x"}));
    EXPECT_EQ(r.expressions[0].groupCount(), 2);
}

TEST(ExtractChain, TrailingBarsAreRemovedAndEmptyPiecesSkipped) {
    EXPECT_EQ(rows(extractChain(u"xabcx abc", u"abc||", defaults())),
              rows(extractChain(u"xabcx abc", u"abc", defaults())));
    EXPECT_TRUE(extractChain(u"abc", u"|", defaults()).expressions.empty());
    const auto r = extractChain(u"a", u"<#lc#>a<#lc#>||<#lc#>", defaults());
    ASSERT_EQ(r.expressions.size(), 1u);
    EXPECT_EQ(r.expressions[0].pieceIndex, 1u);
}

TEST(ExtractChain, EmptyMatchAtTheStartGivesNoRows) {
    EXPECT_EQ(extractChain(u"a1", u"\\d*", defaults()).totalMatches(), 0);
    EXPECT_EQ(extractChain(u"", u"a", defaults()).totalMatches(), 0);
}

TEST(ExtractChain, CorrectNewlinesDecidesWhatCrLfFinds) {
    MatchOptions o = defaults();
    EXPECT_EQ(extractChain(u"a\rb\nc\r\nd", u"\\r\\n", o).totalMatches(), 1);
    o.correctNewlines = true;
    EXPECT_EQ(extractChain(u"a\rb\nc\r\nd", u"\\r\\n", o).totalMatches(), 3);
}

TEST(ExtractChain, OptionsMapOntoTheEngine) {
    MatchOptions o;
    EXPECT_EQ(extractChain(u"A\na", u"^a$", o).totalMatches(), 0);
    o.multiline = true;
    EXPECT_EQ(extractChain(u"A\na", u"^a$", o).totalMatches(), 1);
    o.ignoreCase = true;
    EXPECT_EQ(extractChain(u"A\na", u"^a$", o).totalMatches(), 2);
    o.singleLine = true;
    EXPECT_EQ(extractChain(u"a\nb", u"a.b", o).totalMatches(), 1);
    o.extended = true;
    EXPECT_EQ(extractChain(u"ab", u"a b # c", o).totalMatches(), 1);
}

TEST(ExtractChain, ACompileFailureIsReportedAndTheChainGoesOn) {
    const auto r = extractChain(u"a1", u"(<#lc#>\\d", defaults());
    ASSERT_EQ(r.expressions.size(), 2u);
    ASSERT_NE(r.firstCompileFailure(), nullptr);
    EXPECT_EQ(r.firstCompileFailure()->pieceIndex, 0u);
    EXPECT_EQ(r.expressions[1].matchCount(), 1);
}

}  // namespace
}  // namespace lcr
