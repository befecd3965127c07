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
                                      u"  错误：缺少右括号 )\n"}));

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

TEST(PatternWordsCursor, TheNodeUnderACursorIsTheInnermostOne) {
    const ExplanationNode root = explainPattern(u"a(b\\d+)", 0);
    const std::vector<std::size_t> path = nodePathAt(root, 4);  // in "\d"
    ASSERT_EQ(path.size(), 3u);
    const ExplanationNode& repeat = root.children[path[0]].children[path[1]];
    EXPECT_EQ(repeat.role, ExplanationNode::Role::Repeat);
    EXPECT_EQ(repeat.start, 3u);
    EXPECT_EQ(repeat.end, 6u);
    EXPECT_TRUE(nodePathAt(root, 40).empty());
}

}  // namespace
}  // namespace lcr
