// 表达式解释: the tree of an expression in words, as `lcregular-cli explain`
// prints it. Expected trees follow what each construct means in DEELX.
#include "library/pattern_words.h"

#include <gtest/gtest.h>

#include "library/syntax_help.h"
#include "regex/engine.h"
#include "text/gb18030.h"

namespace lcr {
namespace {

struct TreeCase {
    std::u16string chain;
    int options;
    std::u16string tree;
};

class PatternWords : public ::testing::TestWithParam<TreeCase> {};

TEST_P(PatternWords, ExplainsEveryConstructInOrder) {
    const TreeCase& c = GetParam();
    EXPECT_EQ(toUtf8(explanationText(c.chain, c.options)), toUtf8(c.tree)) << toUtf8(c.chain);
}

INSTANTIATE_TEST_SUITE_P(Table, PatternWords,
                         ::testing::Values(
                             // Groups are numbered as the result table shows them: named ones
                             // after the unnamed ones; a back-reference names its group.
                             TreeCase{u"(?<y>\\d{4})-(\\d\\d)\\1", 0,
                                      u"第 1 个表达式\n"
                                      u"  分组 2“y”（命名捕获，排在普通分组之后编号）\n"
                                      u"    重复 4 次\n"
                                      u"      一个数字 0-9\n"
                                      u"  文本“-”\n"
                                      u"  分组 1（捕获）\n"
                                      u"    一个数字 0-9\n"
                                      u"    一个数字 0-9\n"
                                      u"  向后引用：与分组 1 捕获的文本相同\n"},
                             // A quantifier takes the last character of a run of text; lazy and
                             // possessive repeats; branches.
                             TreeCase{u"ab+?c|x{1,3}+", 0,
                                      u"第 1 个表达式\n"
                                      u"  分支 1\n"
                                      u"    文本“a”\n"
                                      u"    重复至少 1 次，尽可能少\n"
                                      u"      文本“b”\n"
                                      u"    文本“c”\n"
                                      u"  分支 2\n"
                                      u"    重复 1 到 3 次，尽可能多且不回溯（占有）\n"
                                      u"      文本“x”\n"},
                             // Anchors under the options; classes stay case-sensitive.
                             TreeCase{u"^[a-z]*.$", kMultiline | kIgnoreCase,
                                      u"第 1 个表达式\n"
                                      u"  行首：文本开头或每个换行之后\n"
                                      u"  重复任意次（可以一次也没有），尽可能多\n"
                                      u"    字符集 [a-z]：其中的任一字符（字符集始终区分大小写）\n"
                                      u"  任意一个字符，换行符 \\n 除外\n"
                                      u"  行尾：文本结尾或每个换行之前\n"},
                             TreeCase{u"\\A\\t\\u4e2d\\Z", kSingleLine,
                                      u"第 1 个表达式\n"
                                      u"  文本开头（不受“多行”影响）\n"
                                      u"  字符 制表符 \\t（U+0009）\n"
                                      u"  字符 “中”（U+4E2D）\n"
                                      u"  文本结尾（与 \\z 相同，不受“多行”影响）\n"},
                             // Conditionals: only the first | separates yes from no; a condition
                             // that names no group is a look-ahead.
                             TreeCase{
                                 u"(?(\\d)\\d|[a-z]|_)", 0,
                                 u"第 1 个表达式\n"
                                 u"  条件分组：此处后面是 \\d 时（不是分组名或编号，当作向前看）\n"
                                 u"    向前看：后面必须是\n"
                                 u"      一个数字 0-9\n"
                                 u"    条件成立时匹配\n"
                                 u"      一个数字 0-9\n"
                                 u"    否则匹配\n"
                                 u"      分支 1\n"
                                 u"        字符集 [a-z]：其中的任一字符\n"
                                 u"      分支 2\n"
                                 u"        文本“_”\n"},
                             TreeCase{u"(a)?(?(1)b)", 0,
                                      u"第 1 个表达式\n"
                                      u"  可有可无（0 次或 1 次），尽可能多\n"
                                      u"    分组 1（捕获）\n"
                                      u"      文本“a”\n"
                                      u"  条件分组：分组 1 捕获到了文本时\n"
                                      u"    文本“b”\n"},
                             // Look-arounds, recursion, inline options, comments.
                             TreeCase{u"(?<=\\$)\\d+(?!%)(?R)(?i:x)(?#note)", 0,
                                      u"第 1 个表达式\n"
                                      u"  向后看：前面必须是（从右向左匹配，长度不限）\n"
                                      u"    字符 “$”（U+0024）\n"
                                      u"  重复至少 1 次，尽可能多\n"
                                      u"    一个数字 0-9\n"
                                      u"  向前看：后面不能是\n"
                                      u"    文本“%”\n"
                                      u"  递归：整个表达式\n"
                                      u"  选项分组：在分组内打开 无大小写\n"
                                      u"    文本“x”（不分大小写）\n"
                                      u"  注释“note”\n"},
                             // Each piece of a chain is its own root; a broken one is explained
                             // up to its error, in the words of the status message.
                             TreeCase{u"a<#lc#>(b", 0,
                                      u"第 1 个表达式\n"
                                      u"  文本“a”\n"
                                      u"第 2 个表达式\n"
                                      u"  分组 1（捕获）\n"
                                      u"    文本“b”\n"
                                      u"  错误：缺少右括号 )\n"},
                             // Pieces are numbered by their place in the chain, empty ones
                             // counted, as the status line numbers them.
                             TreeCase{u"a<#lc#><#lc#>b", 0,
                                      u"第 1 个表达式\n"
                                      u"  文本“a”\n"
                                      u"第 3 个表达式\n"
                                      u"  文本“b”\n"}));

// Every construct the syntax help lists is explained in words of the table,
// never by a bare key.
TEST(PatternWordsSyntaxTable, EveryRowIsExplainedInWords) {
    for (const SyntaxRow& row : syntaxTableRows()) {
        const std::u16string text = explanationText(row.token, kIgnoreCase | kMultiline);
        for (const char16_t* key :
             {u"class.", u"anchor.", u"group.", u"option.", u"set.", u"repeat.", u"text."}) {
            EXPECT_EQ(text.find(key), std::u16string::npos)
                << toUtf8(row.token) << " -> " << toUtf8(text);
        }
    }
}

struct ReplacementCase {
    std::u16string replacements;
    std::u16string chain;
    std::u16string tree;
};

class ReplacementWords : public ::testing::TestWithParam<ReplacementCase> {};

TEST_P(ReplacementWords, ExplainsEveryPieceAsTheEngineExpandsIt) {
    const ReplacementCase& c = GetParam();
    EXPECT_EQ(toUtf8(replacementExplanationText(c.replacements, c.chain, 0)), toUtf8(c.tree))
        << toUtf8(c.replacements);
}

INSTANTIATE_TEST_SUITE_P(Table, ReplacementWords,
                         ::testing::Values(
                             // Every reference; a named group is numbered after the unnamed ones.
                             ReplacementCase{u"[$1]${y}$&$$x$`$'$+$_", u"(a)(?<y>b)",
                                             u"第 1 个替换文本\n"
                                             u"  文本“[”\n"
                                             u"  分组 1 捕获的文本\n"
                                             u"  文本“]”\n"
                                             u"  分组 2“y”捕获的文本\n"
                                             u"  整个匹配的文本\n"
                                             u"  一个美元符号 $\n"
                                             u"  文本“x”\n"
                                             u"  匹配之前的全部文本\n"
                                             u"  匹配之后的全部文本\n"
                                             u"  编号最大的、参与了匹配的分组捕获的文本\n"
                                             u"  整个输入文本\n"},
                             // A number beyond the groups loses its last digits to literal text; a
                             // dollar sign that names no group stays as it is.
                             ReplacementCase{u"$12$9${z}${2}$", u"(a)(b)",
                                             u"第 1 个替换文本\n"
                                             u"  分组 1 捕获的文本\n"
                                             u"  文本“2”\n"
                                             u"  文本“$”：后面不是有效的引用，照原样输出\n"
                                             u"  文本“9”\n"
                                             u"  文本“$”：后面不是有效的引用，照原样输出\n"
                                             u"  文本“{z}”\n"
                                             u"  分组 2 捕获的文本\n"
                                             u"  文本“$”：后面不是有效的引用，照原样输出\n"},
                             // The i-th replacement belongs to the i-th expression: one whose
                             // expression is broken or empty is never used; a missing one is empty.
                             ReplacementCase{u"x<#lc#>y", u"a<#lc#>(<#lc#><#lc#>c",
                                             u"第 1 个替换文本\n"
                                             u"  文本“x”\n"
                                             u"第 2 个替换文本：没有可用的第 2 个表达式，不会用到\n"
                                             u"第 3 个替换文本：没有可用的第 3 个表达式，不会用到\n"
                                             u"第 4 个替换文本：空，匹配到的文本被删除\n"}));

TEST(ReplacementWordsSpans, PartsAreSpansOfTheWholeText) {
    const std::vector<ExplainedReplacement> e =
        explainReplacements(u"x<#lc#>a$1", u"a<#lc#>(b)", 0);
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[1].offset, 7u);
    ASSERT_EQ(e[1].parts.size(), 2u);
    EXPECT_EQ(e[1].parts[1].start, 8u);
    EXPECT_EQ(e[1].parts[1].end, 10u);
}

TEST(PatternWordsCursor, TheNodeUnderACursorIsTheInnermostOne) {
    const ExplanationNode root = explainPattern(u"a(b\\d+)", 0);
    const std::vector<std::size_t> path = nodePathAt(root, 4);  // in "\d"
    ASSERT_EQ(path.size(), 3u);
    const ExplanationNode& repeat = root.children[path[0]].children[path[1]];
    EXPECT_EQ(repeat.role, ExplanationNode::Role::Repeat);
    EXPECT_EQ(repeat.start, 3u);
    EXPECT_EQ(repeat.end, 6u);
    EXPECT_TRUE(nodePathAt(root, 40).empty());

    // A group the error leaves open holds the text after it.
    EXPECT_EQ(nodePathAt(explainPattern(u"(bc", 0), 2), (std::vector<std::size_t>{0, 0}));
}

}  // namespace
}  // namespace lcr
