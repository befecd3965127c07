// Runaway searches end in bounded time without losing the matches around the
// place that ran away: a start position that meets the backtracking limits is
// passed over and marked, and the time budget ends the rest. Budgets are set
// small by each case; the cases assert outcomes, never times.
#include <gtest/gtest.h>

#include "regex/engine.h"
#include "tests/regex/test_support.h"

namespace lcr {
namespace {

using namespace std::chrono_literals;
using lcr::testing::allMatches;

std::u16string repeat(std::u16string_view piece, int times) {
    std::u16string out;
    for (int i = 0; i < times; ++i) {
        out += piece;
    }
    return out;
}

struct RunawayCase {
    const char* what;
    std::u16string pattern;
    int options;
    std::u16string text;
    std::vector<std::u16string> mustFind;  // in order, as the first matches
};

class EngineRunaway : public ::testing::TestWithParam<RunawayCase> {};

TEST_P(EngineRunaway, EndsMarkedIncompleteWithTheMatchesAroundTheBadSpot) {
    const RunawayCase& c = GetParam();
    EngineExpression e;
    ASSERT_TRUE(e.compile(c.pattern, c.options)) << c.what;
    e.setTimeBudget(60s);  // far above what passing the bad positions over takes
    const MatchList list = e.matchAll(c.text);
    EXPECT_TRUE(list.incomplete()) << c.what;
    EXPECT_FALSE(list.timedOut()) << c.what << ": every bad start position should be passed over";
    const auto found = allMatches(e, c.text);
    EXPECT_EQ(found, c.mustFind) << c.what << ": got " << lcr::testing::show(found);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EngineRunaway,
    ::testing::Values(RunawayCase{"matches before and after a catastrophic spot",
                                  u"(a+)+b|\\d+",
                                  0,
                                  u"1 " + repeat(u"a", 40) + u"c 2",
                                  {u"1", u"2"}},
                      RunawayCase{"nested repeats on a long line, then short lines",
                                  u".*.*.*=.*",
                                  0,
                                  repeat(u"x", 100'000) + u"\nk=v\nk=v",
                                  {u"k=v", u"k=v"}},
                      RunawayCase{"(x+x+)+y between two good matches",
                                  u"(x+x+)+y|ok",
                                  0,
                                  u"ok " + repeat(u"x", 40) + u" ok",
                                  {u"ok", u"ok"}}));

TEST(EngineBudget, ASearchThatOutrunsItsBudgetStopsAndSaysSo) {
    // Every line start is expensive and none reaches the limits quickly
    // enough for the whole text to be searched within the budget.
    EngineExpression e;
    ASSERT_TRUE(e.compile(u"(a+)+$|x", kMultiline));
    e.setTimeBudget(200ms);
    const std::u16string text = u"x\n" + repeat(u"aaaaaaaaaaaaaaaaaaaaaaaab\n", 400) + u"x";
    const MatchList list = e.matchAll(text);
    EXPECT_TRUE(list.incomplete());
    EXPECT_TRUE(list.timedOut());
    ASSERT_GE(list.size(), 1u);
    EXPECT_EQ(list.groupText(text, 0, 0), u"x");  // what was found before the end is kept

    bool limitHit = false;
    const std::u16string replaced = e.replace(text, u"y", -1, &limitHit);
    EXPECT_TRUE(limitHit);
    EXPECT_EQ(replaced.substr(0, 2), u"y\n");
    EXPECT_EQ(replaced.size(), text.size());  // the rest is left as it was
}

TEST(EngineBudget, ReplaceGoesOnAfterTheBadSpot) {
    EngineExpression e;
    ASSERT_TRUE(e.compile(u"(a+)+b|\\d", 0));
    e.setTimeBudget(60s);  // far above what passing the bad positions over takes
    const std::u16string text = u"1 " + repeat(u"a", 40) + u"c 2";
    bool limitHit = false;
    EXPECT_EQ(e.replace(text, u"#", -1, &limitHit), u"# " + repeat(u"a", 40) + u"c #");
    EXPECT_TRUE(limitHit);
}

}  // namespace
}  // namespace lcr
