// The engine's DEELX behaviour over PCRE2, one table row per rule.
#include "regex/engine.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "regex/compile_error_text.h"

#include "tests/regex/test_support.h"

namespace lcr {
namespace {

using lcr::testing::allMatches;
using lcr::testing::show;

struct BehaviourCase {
    const char* what;
    std::u16string pattern;
    int options;
    std::u16string text;
    std::vector<std::u16string> matches;  // every match of matchAll, in order
};

class EngineBehaviour : public ::testing::TestWithParam<BehaviourCase> {};

TEST_P(EngineBehaviour, FindsExactlyTheseMatches) {
    const BehaviourCase& c = GetParam();
    EngineExpression e;
    ASSERT_TRUE(e.compile(c.pattern, c.options)) << c.what << ": " << toUtf8(e.error()->message)
                                                 << " / " << toUtf8(e.error()->engineMessage);
    const auto found = allMatches(e, c.text);
    EXPECT_EQ(found, c.matches) << c.what << ": got " << show(found) << ", want "
                                << show(c.matches);
}

const int M = kMultiline;
const int I = kIgnoreCase;
const int S = kSingleLine;
const int X = kExtended;
const int G = kGlobal;

INSTANTIATE_TEST_SUITE_P(
    Table, EngineBehaviour,
    ::testing::Values(
        // The dot: any character but LF, CR included; every character in single line.
        BehaviourCase{"dot skips only LF", u".", 0, u"a\rb\n", {u"a", u"\r", u"b"}},
        BehaviourCase{"dot in single line", u"a.b", S, u"a\nb", {u"a\nb"}},
        BehaviourCase{"(?s) turns single line on", u"a(?s).b", 0, u"a\nb", {u"a\nb"}},
        BehaviourCase{"(?-s) turns it off", u"a(?-s).b", S, u"a\nb a\rb", {u"a\rb"}},
        BehaviourCase{"escaped dot stays literal", u"a\\.b", 0, u"axb a.b", {u"a.b"}},
        BehaviourCase{"dot inside a class stays literal", u"[.]", 0, u"a.", {u"."}},

        // ^ and $ without multiline: the very start and the very end only.
        BehaviourCase{"^ only at the start", u"^a", 0, u"a\na", {u"a"}},
        BehaviourCase{"$ not before a final newline", u"a$", 0, u"a\na\n", {}},
        BehaviourCase{"$ at the very end", u"a$", 0, u"a\na", {u"a"}},

        // Multiline: CR LF, lone CR and lone LF are line breaks.
        BehaviourCase{"lines of a CR LF text", u"^.*$", M, u"ab\r\ncd", {u"ab", u"cd"}},
        BehaviourCase{
            "blank line with its CR LF", u"^[\u3000 \\t]*$\\r\\n", M, u"a\r\n  \r\nb", {u"  \r\n"}},
        BehaviourCase{"^ after a lone CR", u"^x", M, u"a\rx", {u"x"}},
        BehaviourCase{"$ before a lone CR", u"x$", M, u"x\ry", {u"x"}},
        BehaviourCase{"^ after a lone LF", u"^\\d", M, u"1\n2\r\n3", {u"1", u"2", u"3"}},
        BehaviourCase{"(?m) inline", u"(?m)^b", 0, u"a\nb", {u"b"}},

        // Ignore case, but not inside a character class.
        BehaviourCase{"letters without case", u"abc", I, u"ABC", {u"ABC"}},
        BehaviourCase{"class stays case-sensitive", u"^[A-Z]+$", I | M, u"abc\r\nDEF", {u"DEF"}},
        BehaviourCase{"inline (?i) class stays case-sensitive", u"(?i)[A-Z]", 0, u"aB", {u"B"}},
        BehaviourCase{"(?i) to the end of the group", u"(a(?i)b)c", 0, u"aBc aBC", {u"aBc"}},
        BehaviourCase{"(?i:...) group", u"(?i:a)b", 0, u"Ab AB", {u"Ab"}},
        BehaviourCase{"(?-i) switches it off", u"(?-i)a", I, u"Aa", {u"a"}},
        BehaviourCase{"escaped bracket is no class", u"\\[a]", I, u"[A]", {u"[A]"}},

        // Escapes.
        BehaviourCase{"\\u range of CJK", u"[\\u4e00-\\u9fa5]+", 0, u"ab中文cd", {u"中文"}},
        BehaviourCase{"\\u outside a class", u"\\u4e2d", 0, u"中", {u"中"}},
        BehaviourCase{"\\x two hex digits", u"\\x41", 0, u"A", {u"A"}},
        BehaviourCase{"escaped angle brackets", u"\\<a\\>", 0, u"<a>", {u"<a>"}},
        BehaviourCase{"escaped comma", u"\\,", 0, u"a,b", {u","}},
        BehaviourCase{"\\v is the vertical tab", u"\\v", 0, u"a\vb\n", {u"\v"}},
        BehaviourCase{"\\Q...\\E quotes", u"\\Q[.]\\E", 0, u"a[.]", {u"[.]"}},

        // Extended mode and comments.
        BehaviourCase{
            "extended ignores space and # comments", u"a b # note [\n c", X, u"abc", {u"abc"}},
        BehaviourCase{"# inside a class in extended mode", u"a[#]b", X, u"a#b", {u"a#b"}},
        BehaviourCase{"(?#...) comment in every mode", u"a(?#[note)b", 0, u"ab", {u"ab"}},
        BehaviourCase{"(?x) inline", u"(?x) a  b", 0, u"ab", {u"ab"}},

        // \G.
        BehaviourCase{"\\G always holds without global", u"\\Ga", 0, u"xa", {u"a"}},
        BehaviourCase{"\\G at the search start with global", u"\\Ga", G, u"aaxa", {u"a", u"a"}},

        // What PCRE2 does natively.
        BehaviourCase{"named group and \\k", u"(?<y>\\d+)-\\k<y>", 0, u"12-12 3-4", {u"12-12"}},
        BehaviourCase{"back-reference", u"(a)\\1", 0, u"aab", {u"aa"}},
        BehaviourCase{"lazy repeat", u"a+?", 0, u"aaa", {u"a", u"a", u"a"}},
        BehaviourCase{"possessive repeat", u"a++a", 0, u"aaa", {}},
        BehaviourCase{"atomic group", u"(?>a+)b", 0, u"aab", {u"aab"}},
        BehaviourCase{"look-ahead", u"a(?=b)", 0, u"ac ab", {u"a"}},
        BehaviourCase{"fixed look-behind", u"(?<=\\$)\\d+", 0, u"1 $12", {u"12"}},
        BehaviourCase{"condition on a group number", u"(a)?(?(1)b|c)", 0, u"ab c", {u"ab", u"c"}},
        BehaviourCase{"condition on a group name", u"(?<n>a)?(?(n)b|c)", 0, u"ab", {u"ab"}},
        BehaviourCase{
            "condition that is a look-ahead", u"(?(\\d)\\d+|[a-z]+)", 0, u"12ab", {u"12", u"ab"}},
        BehaviourCase{"condition with an assertion", u"(?(?=\\d)\\d|x)", 0, u"1x", {u"1", u"x"}},
        BehaviourCase{"recursion", u"\\((?:[^()]|(?R))*\\)", 0, u"x(a(b))", {u"(a(b))"}},

        // ASCII classes; whole characters.
        BehaviourCase{"\\w is ASCII", u"\\w+", 0, u"ab中文cd", {u"ab", u"cd"}},
        BehaviourCase{"\\d is ASCII", u"\\d", 0, u"１2", {u"2"}},
        BehaviourCase{"\\s is ASCII", u"\\s", 0, u"\u3000 ", {u" "}},
        BehaviourCase{"\\b next to Chinese", u"\\bcd", 0, u"中cd", {u"cd"}},
        BehaviourCase{"dot takes an emoji whole", u".", 0, u"😀a", {u"😀", u"a"}},
        BehaviourCase{"negated class takes an emoji whole", u"[^a]", 0, u"a😀", {u"😀"}},
        BehaviourCase{"a lone surrogate does not stop the search",
                      u"b",
                      0,
                      std::u16string(u"a") + char16_t(0xD800) + u"b",
                      {u"b"}},

        // Back-references (regexlab.com/en/deelx/syntax/bas_bkrf.htm): \nnn takes
        // up to three digits and is never octal; \g<name> and \k<name> refer
        // back; a group that never captured makes the reference fail.
        BehaviourCase{"\\g<name> is a back-reference", u"(?<c>\\w)\\g<c>", 0, u"abcc", {u"cc"}},
        BehaviourCase{"\\g<n> is a back-reference", u"(\\w)\\g<1>", 0, u"abcc", {u"cc"}},
        BehaviourCase{"\\k'name'", u"(?'c'\\w)\\k'c'", 0, u"xyy", {u"yy"}},
        BehaviourCase{"\\10 refers to group 10, never octal",
                      u"(a)\\10",
                      0,
                      std::u16string(u"a") + char16_t(8) + u" aa",
                      {}},
        BehaviourCase{"\\0012 is group 1 then 2", u"(a)\\0012", 0, u"aa2 a12", {u"aa2"}},
        BehaviourCase{"\\12 with twelve groups",
                      u"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)\\12",
                      0,
                      u"abcdefghijkll abcdefghijkla1",
                      {u"abcdefghijkll"}},
        BehaviourCase{"reference to a missing name fails", u"a\\k<zz>|b", 0, u"ab", {u"b"}},

        // Named groups are numbered after every unnamed group, one number
        // for each name: \1 is the unnamed group.
        BehaviourCase{
            "\\1 is the first unnamed group", u"(?<y>\\d)(\\w)\\1", 0, u"1aa 2ab", {u"1aa"}},
        BehaviourCase{
            "\\2 is the named group after it", u"(?<y>\\d)(\\w)\\2", 0, u"1a1 2ab", {u"1a1"}},
        BehaviourCase{"a repeated name is one group",
                      u"(?:(?<d>a)|(?<d>b))\\k<d>",
                      0,
                      u"aa ab bb",
                      {u"aa", u"bb"}},

        // \Z is the very end of the text (regexlab.com/zh/deelx/syntax/mode.htm).
        BehaviourCase{"\\Z not before a final line break", u"a\\Z", 0, u"a\n", {}},
        BehaviourCase{"\\Z at the very end", u"a\\Z", 0, u"a\na", {u"a"}},

        // Recursion (regexlab.com/en/deelx/syntax/ext_recs.htm).
        BehaviourCase{"(?R1) recurses into group 1", u"(\\w)(?R1)", 0, u"ab", {u"ab"}},
        BehaviourCase{"(?1) before its group", u"(?1)(\\w(?2))(\\d)", 0, u"a1b23", {u"a1b23"}},
        BehaviourCase{"(?R<name>)", u"(?<n>\\d)(?R<n>)", 0, u"a12", {u"12"}},
        BehaviourCase{"(?R'name')", u"(?'n'\\d)(?R'n')", 0, u"a12", {u"12"}},
        BehaviourCase{"(?1) names the DEELX group", u"(?<a>x)(\\d)(?1)", 0, u"x12 x1x", {u"x12"}},

        // Conditionals (regexlab.com/en/deelx/syntax/ext_cond.htm): only the
        // first | separates yes from no.
        BehaviourCase{"no branch with alternatives",
                      u"(?(?=x)xy|ab|cd)",
                      0,
                      u"xy ab cd xa",
                      {u"xy", u"ab", u"cd"}},
        BehaviourCase{"a missing group number is a look-ahead",
                      u"(?(5)5\\d|[a-z])",
                      0,
                      u"57 a",
                      {u"57", u"a"}},
        BehaviourCase{"a condition on a DEELX group number",
                      u"(?<n>z)?(a)?(?(1)b|c)",
                      0,
                      u"ab zc zb",
                      {u"ab", u"zc"}},

        // The g letter governs \G as the global option does
        // (regexlab.com/en/deelx/syntax/ext_ncap.htm).
        BehaviourCase{"(?g:\\G)", u"(?g:\\G)a", 0, u"aaxa", {u"a", u"a"}},
        BehaviourCase{"(?n): only named groups capture, so \\1 is the named one",
                      u"(?n)(a)(?<x>b)\\1",
                      0,
                      u"abb",
                      {u"abb"}},
        BehaviourCase{"(?-g) turns it off", u"(?-g)\\Ga", G, u"aaxa", {u"a", u"a", u"a"}},

        // Escapes and sets.
        BehaviourCase{"a surrogate pair in two \\u escapes", u"\\uD83D\\uDE00", 0, u"a😀", {u"😀"}},
        BehaviourCase{
            "[:alpha:] on its own (bas_set.htm)", u"[:alpha:]+", 0, u"ab1c", {u"ab", u"c"}},
        BehaviourCase{"[:^digit:] on its own", u"[:^digit:]", 0, u"1a", {u"a"}},
        BehaviourCase{"[:alpha:] stays case-sensitive... as a set", u"[:upper:]", I, u"aB", {u"B"}},

        // Look-behind of any length, matched right to left
        // (regexlab.com/en/deelx/syntax/ext_asst.htm).
        BehaviourCase{
            "bounded look-behind", u"(?<=\\{\\s{0,3})print", 0, u"{  print {    print", {u"print"}},
        BehaviourCase{"unbounded look-behind",
                      u"(?<=\\{\\s*)print",
                      0,
                      u"{print {     print print",
                      {u"print", u"print"}},
        BehaviourCase{"a+ before", u"(?<=a+)b", 0, u"aab b", {u"b"}},
        // Former bug: a look-behind that opened the pattern was checked at the
        // match start after the rest, and the JIT's start shortcuts then
        // skipped the later start positions.
        BehaviourCase{"opening look-behind, repeat after it",
                      u"(?<=a\\s*)[a-z]+",
                      0,
                      u"xab ab xaab",
                      {u"b", u"b", u"ab"}},
        BehaviourCase{"negative, unbounded", u"(?<!a.*)b", 0, u"b ab", {u"b"}},
        BehaviourCase{"alternatives of any length", u"(?<=ab|c+)x", 0, u"abx ccx dx", {u"x", u"x"}},
        BehaviourCase{"ignore case inside", u"(?<=a+)b", I, u"AB ab", {u"B", u"b"}},
        BehaviourCase{"a class stays case-sensitive inside", u"(?<=[a]+)b", I, u"Ab ab", {u"b"}},
        BehaviourCase{"multiline ^ inside", u"(?<=^\\d+)x", M, u"12x\r\n3x 4x", {u"x", u"x"}},
        BehaviourCase{"CR LF inside", u"(?<=\\r\\n[a-z]*)b", 0, u"x\r\nab", {u"b"}},
        BehaviourCase{"an emoji inside", u"(?<=a.+)b", 0, u"a😀b", {u"b"}},
        BehaviourCase{"a look-behind inside", u"(?<=(?<=x)a+)b", 0, u"xab yab", {u"b"}},
        BehaviourCase{"atomic group inside", u"(?<=(?>a+)c*)b", 0, u"aab", {u"b"}},
        BehaviourCase{"\\Q..\\E inside", u"(?<=\\Q+*\\E+)b", 0, u"+**b +b", {u"b"}},

        // The stop rule of matchAll.
        BehaviourCase{"empty match at the start ends it", u"\\d*", 0, u"a1", {}},
        BehaviourCase{"empty match right after a match ends it", u"a*", 0, u"aab", {u"aa"}},
        BehaviourCase{"empty match further on is kept once", u"b|(?=c)", 0, u"bxcc", {u"b", u""}},
        BehaviourCase{"empty alternative ends it at once", u"x|", 0, u"axb", {}},
        BehaviourCase{"empty text never matches", u"^$", 0, u"", {}},
        BehaviourCase{"empty text, optional pattern", u"a*", M, u"", {}}));

TEST(EngineCompile, ReportsWhatPcre2CannotDoInChinese) {
    EngineExpression e;
    EXPECT_FALSE(e.compile(u"a", kRightToLeft));
    EXPECT_EQ(e.error()->code, kErrorRightToLeft);
    EXPECT_NE(e.error()->message.find(u"从右向左"), std::u16string::npos);

    EXPECT_FALSE(e.isCompiled());
}

TEST(EngineCompile, RefusesWhatItCannotDoSoundlyNamingWhatAndWhere) {
    struct Case {
        std::u16string pattern;
        int code;
        std::size_t offset;
    };
    for (const Case& c : {
             Case{u"x(?<=(a)+)b", kErrorLookbehindCapture, 5},
             Case{u"(a)(?<=\\1a*)b", kErrorLookbehindUnsupported, 7},
             Case{u"(?<=a(?=b)\\w*)b", kErrorLookbehindUnsupported, 5},
             Case{u"ab\\uD800", kErrorLoneSurrogate, 2},
             Case{u"(?|(a)|(b))", kErrorBranchReset, 0},
             Case{u"a(?U)b", kErrorUnknownInlineOption, 1},
             Case{u"(a)(?R2)", kErrorNoSuchGroup, 3},
             Case{u"(?C1)a", kErrorCallout, 0},
         }) {
        EngineExpression e;
        EXPECT_FALSE(e.compile(c.pattern, 0)) << toUtf8(c.pattern);
        ASSERT_TRUE(e.error().has_value());
        EXPECT_EQ(e.error()->code, c.code) << toUtf8(c.pattern);
        EXPECT_EQ(e.error()->offset, c.offset) << toUtf8(c.pattern);
        EXPECT_FALSE(e.error()->message.empty());
    }
}

TEST(EngineCompile, EveryPcre2CompileErrorIsSaidInChinese) {
    // No message may fall back on PCRE2's English text.
    for (int code = 101; code <= 199; ++code) {
        const std::u16string text = compileErrorText(code, u"English text");
        EXPECT_EQ(text.find(u"English"), std::u16string::npos) << code;
        EXPECT_TRUE(std::any_of(text.begin(), text.end(), [](char16_t c) { return c >= 0x4E00; }))
            << code;
    }
}

TEST(EngineGroups, NamedGroupsAreNumberedAfterTheUnnamedOnes) {
    EngineExpression e;
    ASSERT_TRUE(e.compile(u"(?<y>\\d+)-(\\w+)(?<z>!)?", 0));
    EXPECT_EQ(e.groupCount(), 3);
    EXPECT_EQ(e.groupNumber(u"y"), 2);
    EXPECT_EQ(e.groupNumber(u"z"), 3);
    const std::u16string text = u"12-ab";
    const MatchList list = e.matchAll(text);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.groupText(text, 0, 1), u"ab");
    EXPECT_EQ(list.groupText(text, 0, 2), u"12");
    EXPECT_EQ(list.start(0, 3), -1);
    EXPECT_EQ(e.replace(text, u"$1|$2|${y}"), u"ab|12|12");
    const MatchRecord r = e.match(text);
    EXPECT_EQ(r.groupText(text, 1), u"ab");
}

TEST(EngineGroups, ARepeatedNameIsOneGroupHoldingWhicheverTookPart) {
    EngineExpression e;
    ASSERT_TRUE(e.compile(u"(?<v>a)x|(?<v>b)y|(c)", 0));
    EXPECT_EQ(e.groupCount(), 2);
    const std::u16string text = u"ax by c";
    const MatchList list = e.matchAll(text);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list.groupText(text, 0, 2), u"a");
    EXPECT_EQ(list.groupText(text, 1, 2), u"b");
    EXPECT_EQ(list.groupText(text, 2, 1), u"c");
    EXPECT_EQ(e.replace(text, u"[${v}$1]"), u"[a] [b] [c]");
}

TEST(EngineCompile, MalformedPatternsKeepMessageAndOffsetInTheUsersPattern) {
    struct Case {
        std::u16string pattern;
        std::size_t offset;
    };
    // The dot before the error is rewritten to [^\n]; the offset must still
    // point into the pattern the user typed.
    for (const Case& c : {Case{u"..(", 3}, Case{u".[a", 3}, Case{u"a{2,1}", 5}, Case{u"*a", 0},
                          Case{u"a)", 1}, Case{u"\\", 1}}) {
        EngineExpression e;
        EXPECT_FALSE(e.compile(c.pattern, kIgnoreCase)) << toUtf8(c.pattern);
        ASSERT_TRUE(e.error().has_value());
        EXPECT_FALSE(e.error()->engineMessage.empty());
        EXPECT_FALSE(e.error()->message.empty());
        EXPECT_EQ(e.error()->offset, c.offset) << toUtf8(c.pattern);
    }
    EngineExpression empty;
    EXPECT_FALSE(empty.compile(u"", 0));
    EXPECT_EQ(empty.error()->code, kErrorEmptyPattern);
}

TEST(EngineCompile, AFailedCompileDropsTheEarlierOne) {
    EngineExpression e;
    ASSERT_TRUE(e.compile(u"a", 0));
    EXPECT_FALSE(e.compile(u"(", 0));
    EXPECT_TRUE(e.matchAll(u"a").empty());
}

TEST(EngineMatch, PositionsCountUtf16UnitsAndGroupsMayBeUnset) {
    EngineExpression e;
    ASSERT_TRUE(e.compile(u"(x)?(a)", 0));
    const MatchRecord r = e.match(u"😀a", 0);
    ASSERT_TRUE(r.matched);
    EXPECT_EQ(r.groupCount, 2);
    EXPECT_EQ(r.start(), 2);
    EXPECT_EQ(r.end(), 3);
    EXPECT_FALSE(r.took(1));
    EXPECT_EQ(r.start(2), 2);
    EXPECT_EQ(r.start(3), -1);  // no such group
}

TEST(EngineMatch, RunawayPatternStopsAtTheLimitAndSaysSo) {
    EngineExpression e;
    ASSERT_TRUE(e.compile(u"(a|aa)+$|x", 0));
    std::u16string text = u"x" + std::u16string(60, u'a') + u"b";
    const MatchList list = e.matchAll(text);
    EXPECT_TRUE(list.incomplete());
    ASSERT_EQ(list.size(), 1u);  // what was found before the limit is kept
    EXPECT_EQ(list.groupText(text, 0, 0), u"x");

    bool limitHit = false;
    e.replace(text, u"-", -1, &limitHit);
    EXPECT_TRUE(limitHit);
}

TEST(EngineCopy, ACopyMatchesOnItsOwn) {
    EngineExpression original;
    ASSERT_TRUE(original.compile(u"(\\d+)", 0));
    EngineExpression copy = original;
    original.compile(u"z", 0);
    EXPECT_EQ(allMatches(copy, u"a1b22"), (std::vector<std::u16string>{u"1", u"22"}));
    EXPECT_EQ(copy.pattern(), u"(\\d+)");
    EXPECT_EQ(copy.groupCount(), 1);
}

struct ReplaceCase {
    const char* what;
    std::u16string pattern;
    std::u16string text;
    std::u16string replacement;
    int count;
    std::u16string result;
};

class EngineReplace : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(EngineReplace, GivesTheExpandedText) {
    const ReplaceCase& c = GetParam();
    EngineExpression e;
    ASSERT_TRUE(e.compile(c.pattern, 0)) << c.what;
    EXPECT_EQ(toUtf8(e.replace(c.text, c.replacement, c.count)), toUtf8(c.result)) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, EngineReplace,
    ::testing::Values(
        ReplaceCase{"all", u"a", u"a-a-a", u"b", -1, u"b-b-b"},
        ReplaceCase{"first n", u"a", u"a-a-a", u"b", 2, u"b-b-a"},
        ReplaceCase{"no match, unchanged", u"z", u"abc", u"x", -1, u"abc"},
        ReplaceCase{"empty text", u"a*", u"", u"x", -1, u""},
        ReplaceCase{"group", u"(\\d+)", u"a12b", u"[$1]", -1, u"a[12]b"},
        ReplaceCase{"$$ and $&", u"b", u"abc", u"$$$&", -1, u"a$bc"},
        ReplaceCase{"before and after", u"b", u"abc", u"[$`|$']", -1, u"a[a|c]c"},
        ReplaceCase{"whole input", u"b", u"abc", u"<$_>", -1, u"a<abc>c"},
        ReplaceCase{"$+ is the highest group that took part", u"(a)|(b)", u"ab", u"[$+]", -1,
                    u"[a][b]"},
        ReplaceCase{"$0 is the whole match", u"b", u"abc", u"($0)", -1, u"a(b)c"},
        ReplaceCase{"digits dropped while too big", u"(a)(b)", u"ab", u"$12", -1, u"a2"},
        ReplaceCase{"a number that shrinks to nothing stays literal", u"(a)", u"a", u"$5", -1,
                    u"$5"},
        ReplaceCase{"at most three digits", u"(((((((((((((((((((((a)))))))))))))))))))))", u"a",
                    u"$0001", -1, u"a1"},
        ReplaceCase{"named group", u"(?<w>b)", u"abc", u"${w}${w}", -1, u"abbc"},
        ReplaceCase{"unknown name stays literal", u"b", u"abc", u"${w}", -1, u"a${w}c"},
        ReplaceCase{"other dollar signs are literal", u"b", u"abc", u"$x$", -1, u"a$x$c"},
        ReplaceCase{"unset group is empty", u"(x)?b", u"abc", u"[$1]", -1, u"a[]c"},
        ReplaceCase{"empty alternative inserts at empty places", u"abc|", u"xabcx", u"-", -1,
                    u"-x--x-"},
        ReplaceCase{"empty matches step over a whole emoji", u"(?:)", u"😀a", u"-", -1, u"-😀-a-"},
        ReplaceCase{"line starts", u"(?m)^", u"a\r\nb", u"> ", -1, u"> a\r\n> b"}));

TEST(EngineReplaceReferences, NineHundredNinetyNineWithTwentyGroups) {
    std::u16string pattern;
    for (int i = 0; i < 20; ++i) {
        pattern += u"(.)";
    }
    EngineExpression e;
    ASSERT_TRUE(e.compile(pattern, 0));
    EXPECT_EQ(e.replace(u"abcdefghijklmnopqrst", u"$999"), u"i99");
    EXPECT_EQ(e.replace(u"abcdefghijklmnopqrst", u"$20$21"), u"tb1");  // $21 is $2 and "1"
}

}  // namespace
}  // namespace lcr
