#include "library/syntax_help.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "regex/deelx_regex_object.h"
#include "regex/engine.h"
#include "text/gb18030.h"

namespace lcr {
namespace {

const std::vector<SyntaxRow>& rows() {
    static const std::vector<SyntaxRow> table = syntaxTableRows();
    return table;
}

TEST(SyntaxTable, HoldsTheTokensInOrder) {
    const std::vector<std::u16string> tokens = {u"<#lc#>",        u"无大小写",
                                                u"单行",          u"多行",
                                                u"扩展",          u"替换全部",
                                                u"矫正换行",      u"自动执行",
                                                u" \\ ",          u" ^ ",
                                                u" $ ",           u" * ",
                                                u" + ",           u" ? ",
                                                u" . ",           u"(?=exp)",
                                                u"(?<=exp)",      u"(?!exp)",
                                                u"(?<!exp)",      u"{n}",
                                                u"{n,}",          u"{n,m}",
                                                u"[xyz]",         u"[^xyz]",
                                                u"[a-z]",         u"[^m-z]",
                                                u"\\b",           u"\\B",
                                                u"\\d",           u"\\D",
                                                u"\\f",           u"\\n",
                                                u"\\r",           u"\\s",
                                                u"\\S",           u"\\t",
                                                u"\\v",           u"\\w",
                                                u"\\W",           u"\\num",
                                                u"\\n",           u"\\0nn",
                                                u"\\xnn",         u"\\unnnn",
                                                u"\\cN",          u"\\A",
                                                u"\\Z",           u"\\z",
                                                u"\\G",           u"\\p{name}",
                                                u"(exp)",         u"(?<name>exp)",
                                                u"x|y",           u"(?:exp)",
                                                u"(?#comment)",   u"(?>exp)",
                                                u"(?<x>-<y>exp)", u"(?im-nsx:exp)",
                                                u"(?im-nsx)",     u"(?(exp)yes|no)",
                                                u"(?(exp)yes)",   u"(?(name)yes|no)",
                                                u"(?(name)yes)"};
    ASSERT_EQ(rows().size(), tokens.size());
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        EXPECT_EQ(rows()[i].token, tokens[i]) << "row " << i + 1;
        const std::u16string& description = rows()[i].description;
        EXPECT_FALSE(description.empty()) << "row " << i + 1;
        EXPECT_EQ(description.find_first_of(u"\r\n"), std::u16string::npos) << "row " << i + 1;
    }
    // The two "\n" rows: the newline and the octal escape.
    EXPECT_NE(rows()[31].description, rows()[40].description);
}

TEST(SyntaxTable, DescriptionsOfTheProgramsOwnRows) {
    const std::pair<int, std::u16string> fixed[] = {
        {1, u"本助手支持的多个表达式分隔符。"},
        {2, u"匹配时忽略英文字母的大小写"},
        {3,
         u"使小数点 \".\" "
         u"可以匹配包含换行符（\\n）在内的任意字符。默认情况下，小数点只匹配换行符以外的任意字符，"
         u"不匹配换行符。"},
        {4,
         u"使 ^ 符号除了能够匹配字符串开始位置外，还能匹配换行符（\\n）之后的位置；使 $ "
         u"符号除了能够匹配字符串结束位置外，还能匹配换行符之前的位置。单行模式(SINGLELINE) 和 "
         u"多行模式(MULTILINE) "
         u"虽然听起来相互矛盾，但却是作用在不同的地方。因此它们是可以组合使用的。在指定了 "
         u"多行模式(MULTILINE)之后，如果需要仅匹配字符串开始和结束位置，可以使用 \\A 和 \\Z。"},
        {5,
         u"忽略表达式中的空白字符，并且把从 # "
         u"开始到该行行末的内容视为注释。默认情况下，正则表达式中的空格，换行等字符将可以匹配相应的"
         u"字符。指定了 扩展模式(EXTENDED) "
         u"模式后，如果要在正则表达式中表示空白字符比如空格符号（space）时，应该用 \\x20 "
         u"表示，如果要在表达式中表示 # 符号，应该用 \\# 表示。"},
        {6, u"替换匹配到的全部，不打勾则只替换第一个匹配项。"},
        {7,
         u"标准的换行是\\r\\n组成的，但有些内容只有\\r或\\n，启用本项将在执行正则前矫正为标准的"
         u"\\r\\n"},
        {8,
         u"正则提取或正则替换的内容改变时，程序会自动执行提取或替换。如果要处理的数据过大，请取消"
         u"自动执行。"},
        {10, u"匹配输入的开始位置。"},
        {16, u"零宽断言（正预测先行断言）。匹配exp前面的位置"},
    };
    for (const auto& [row, description] : fixed) {
        EXPECT_EQ(rows()[row - 1].description, description) << "row " << row;
    }
}

TEST(SyntaxTable, ParsingFollowsTheSplitRule) {
    EXPECT_EQ(parseSyntaxTable(u"a::b::c\r\n\r\nnone\r\n::d\r\n"),
              (std::vector<SyntaxRow>{{u"a", u"b"}, {u"", u""}, {u"none", u""}, {u"", u"d"}}));
    EXPECT_TRUE(parseSyntaxTable(u"").empty());
}

TEST(MetacharacterButtons, LaidEdgeToEdgeAtSevenPixelsPerGbkByte) {
    const std::vector<MetacharacterButton> buttons = layoutMetacharacterButtons(rows());
    ASSERT_EQ(buttons.size(), 56u);

    // Row 1 and rows 9 to 63; the option names of rows 2 to 8 get none.
    EXPECT_EQ(buttons[0], (MetacharacterButton{0, 0, 42}));   // "<#lc#>"
    EXPECT_EQ(buttons[1], (MetacharacterButton{8, 42, 21}));  // " \ "
    EXPECT_EQ(buttons[2], (MetacharacterButton{9, 63, 21}));  // " ^ "
    EXPECT_EQ(buttons.back(), (MetacharacterButton{62, 1932, 84}));
    int end = 0;
    for (const MetacharacterButton& button : buttons) {
        EXPECT_EQ(button.left, end) << toUtf8(rows()[button.row].token);
        end = button.left + button.width;
    }
    EXPECT_EQ(end, 2016);

    auto widthOf = [&](std::u16string_view token) {
        for (const MetacharacterButton& button : buttons) {
            if (rows()[button.row].token == token) {
                return button.width;
            }
        }
        return -1;
    };
    EXPECT_EQ(widthOf(u"(?(name)yes|no)"), 105);
    EXPECT_EQ(widthOf(u"\\d"), 14);

    // The row starts wherever the template button stands.
    const std::vector<MetacharacterButton> moved = layoutMetacharacterButtons(rows(), 10);
    EXPECT_EQ(moved.front().left, 10);
    EXPECT_EQ(moved.back().left, 1942);
}

TEST(MetacharacterButtons, TheTwoNewlineButtonsInsertTheSameTextWithDifferentTooltips) {
    std::vector<const SyntaxRow*> newline;
    for (const MetacharacterButton& button : layoutMetacharacterButtons(rows())) {
        if (rows()[button.row].token == u"\\n") {
            newline.push_back(&rows()[button.row]);
        }
    }
    ASSERT_EQ(newline.size(), 2u);
    EXPECT_EQ(metacharacterInsertText(newline[0]->token), u"\\n");
    EXPECT_EQ(metacharacterInsertText(newline[1]->token), u"\\n");
    EXPECT_NE(newline[0]->description, newline[1]->description);
}

TEST(MetacharacterButtons, OnlyTokensThatStartWithASingleByteCharacter) {
    const std::vector<SyntaxRow> table = {{u"a中", u""},   {u"", u"empty"}, {u"中a", u""},
                                          {u"\r\nx", u""}, {u"\tx", u""},   {u"a😀", u""}};
    EXPECT_EQ(layoutMetacharacterButtons(table),
              (std::vector<MetacharacterButton>{{0, 0, 21}, {4, 21, 14}, {5, 35, 35}}));
}

TEST(MetacharacterButtons, ClickInsertsTheTrimmedCaption) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u" \\ ", u"\\"},       {u" ^ ", u"^"},    {u"(?<name>exp)", u"(?<name>exp)"},
        {u"<#lc#>", u"<#lc#>"}, {u"　x 　", u"x"}, {u"\tx ", u"\tx"},
    };
    for (const auto& [caption, inserted] : cases) {
        EXPECT_EQ(metacharacterInsertText(caption), inserted) << toUtf8(caption);
    }
}

TEST(SyntaxList, RightClickCopiesTheCurrentRowsTokenUntrimmed) {
    EXPECT_EQ(syntaxRowCopyText(rows(), 3), u"多行");
    EXPECT_EQ(syntaxRowCopyText(rows(), 9), u" ^ ");
    EXPECT_EQ(syntaxRowCopyText(rows(), -1), u"");  // no current row
    EXPECT_EQ(syntaxRowCopyText(rows(), 63), u"");
}

// What each row inserts, as the engine sees it: the token itself where it is
// an expression, an instance of it where it is a template ("{n}", "\xnn"),
// nothing where it is not an expression (the separator, the option names,
// the lone backslash).
TEST(SyntaxTable, EveryExpressionTokenCompiles) {
    const std::pair<int, std::u16string> forms[] = {
        {1, u""},
        {2, u""},
        {3, u""},
        {4, u""},
        {5, u""},
        {6, u""},
        {7, u""},
        {8, u""},
        {9, u""},
        {10, u"^"},
        {11, u"$"},
        {12, u"a*"},
        {13, u"a+"},
        {14, u"a?"},
        {15, u"."},
        {16, u"(?=exp)"},
        {17, u"(?<=exp)"},
        {18, u"(?!exp)"},
        {19, u"(?<!exp)"},
        {20, u"a{2}"},
        {21, u"a{2,}"},
        {22, u"a{1,3}"},
        {23, u"[xyz]"},
        {24, u"[^xyz]"},
        {25, u"[a-z]"},
        {26, u"[^m-z]"},
        {27, u"\\b"},
        {28, u"\\B"},
        {29, u"\\d"},
        {30, u"\\D"},
        {31, u"\\f"},
        {32, u"\\n"},
        {33, u"\\r"},
        {34, u"\\s"},
        {35, u"\\S"},
        {36, u"\\t"},
        {37, u"\\v"},
        {38, u"\\w"},
        {39, u"\\W"},
        {40, u"(a)\\1"},
        {41, u"\\n"},
        {42, u"\\011"},
        {43, u"\\x41"},
        {44, u"\\u4e2d"},
        {45, u"\\cM"},
        {46, u"\\A"},
        {47, u"\\Z"},
        {48, u"\\z"},
        {49, u"\\G"},
        {50, u"\\p{Han}"},
        {51, u"(exp)"},
        {52, u"(?<name>exp)"},
        {53, u"x|y"},
        {54, u"(?:exp)"},
        {55, u"(?#comment)"},
        {56, u"(?>exp)"},
        {57, u"(?<x>-<y>exp)"},
        {58, u"(?im-nsx:exp)"},
        {59, u"(?im-nsx)"},
        {60, u"(?(exp)yes|no)"},
        {61, u"(?(exp)yes)"},
        {62, u"(?(name)yes|no)"},
        {63, u"(?(name)yes)"},
    };
    ASSERT_EQ(std::size(forms), rows().size());
    for (const auto& [row, form] : forms) {
        if (form.empty()) {
            continue;
        }
        for (int options : {0, kIgnoreCase | kMultiline, kSingleLine | kExtended}) {
            EngineExpression e;
            EXPECT_TRUE(e.compile(form, options))
                << "row " << row << ": " << toUtf8(form) << " -> "
                << (e.error() ? toUtf8(e.error()->message) : std::string());
        }
    }
}

// The examples and limits the descriptions state, checked on the engine.
TEST(SyntaxTable, WhatTheDescriptionsPromiseHolds) {
    struct Case {
        std::u16string pattern;
        int options;
        std::u16string text;
        std::vector<std::u16string> matches;
    };
    const Case cases[] = {
        // Quantifiers, greedy and lazy.
        {u"zo*", 0, u"z zoo", {u"z", u"zoo"}},
        {u"zo+", 0, u"z zoo", {u"zoo"}},
        {u"do(es)?", 0, u"do does", {u"do", u"does"}},
        {u"o+?", 0, u"oooo", {u"o", u"o", u"o", u"o"}},
        {u"o{2}", 0, u"Bob food", {u"oo"}},
        {u"o{2,}", 0, u"Bob foooood", {u"ooooo"}},
        {u"o{1,3}", 0, u"fooooood", {u"ooo", u"ooo"}},
        {u"o{1, 3}", 0, u"oo{1, 3}", {u"o{1, 3}"}},
        // Line breaks and anchors: the text's breaks are CR LF.
        {u".", 0, u"a\r\n", {u"a", u"\r"}},
        {u".", kSingleLine, u"a\r\n", {u"a", u"\r", u"\n"}},
        {u"b$", 0, u"b\r\nb\r\n", {}},
        {u"b$", kMultiline, u"b\r\nb\rb\nb", {u"b", u"b", u"b", u"b"}},
        {u"b\\Z", 0, u"b\r\nb\r\n", {}},
        {u"b\\Z", 0, u"b\r\nb", {u"b"}},
        {u"b\\z", 0, u"b\r\nb\r\n", {}},
        {u"\\Gb", 0, u"bab", {u"b", u"b"}},
        // Classes: ASCII only, case-sensitive even with ignore case.
        {u"[abc]", 0, u"plain", {u"a"}},
        {u"[^abc]", 0, u"p\n", {u"p", u"\n"}},
        {u"[a-z]+", kIgnoreCase, u"ABC abc", {u"abc"}},
        {u"a(?-i:b)", kIgnoreCase, u"AB Ab", {u"Ab"}},
        {u"er\\b", 0, u"never verb", {u"er"}},
        {u"er\\B", 0, u"never verb", {u"er"}},
        {u"\\bab\\b", 0, u"中ab文", {u"ab"}},
        {u"\\d+", 0, u"１２3", {u"3"}},
        {u"\\w+", 0, u"中文ab_1", {u"ab_1"}},
        {u"\\W+", 0, u"a中b", {u"中"}},
        {u"\\s+", 0, u"a \t\v\f\r\n　b", {u" \t\v\f\r\n"}},
        {u"[ \\f\\n\\r\\t\\v]+", 0, u"a \t\v\f\r\n　b", {u" \t\v\f\r\n"}},
        {u"\\p{Han}+", 0, u"ab中文1", {u"中文"}},
        // Escapes.
        {u"\\x41\\x20\\u4e2d\\x{4e2d}", 0, u"A 中中", {u"A 中中"}},
        {u"\\cM\\cJ\\cI\\cL\\cK", 0, u"\r\n\t\f\v", {u"\r\n\t\f\v"}},
        {u"\\x09\\x20", 0, u"\t ", {u"\t "}},
        {u"(a)\\11|b", 0, u"a\tb", {u"b"}},
        {u"(a)\\0012", 0, u"aa2", {u"aa2"}},
        {u"(?<y>\\d+)-(\\w+)\\1", 0, u"1-aa", {u"1-aa"}},
        {u"(?<=\\{\\s*)print", 0, u"{  print", {u"print"}},
        {u"(?<!a.*)b", 0, u"b ab", {u"b"}},
        {u"(.)\\1", 0, u"abbc", {u"bb"}},
        // Groups, assertions and conditions.
        {u"(z|f)ood", 0, u"zood food", {u"zood", u"food"}},
        {u"industr(?:y|ies)", 0, u"industries", {u"industries"}},
        {u"(?<n>a)\\k<n>(?'m'b)", 0, u"aab", {u"aab"}},
        {u"(?>a+)a", 0, u"aaa", {}},
        {u"(?<=a|bc)d", 0, u"ad bcd", {u"d", u"d"}},
        {u"(?<!\\d)x", 0, u"1x x", {u"x"}},
        {u"(?<x>-<y>exp)", 0, u"a-<y>exp", {u"-<y>exp"}},
        {u"\\((?:[^()]|(?R))*\\)", 0, u"x(a(b)c)y", {u"(a(b)c)"}},
        {u"(?i:abc)", 0, u"ABC", {u"ABC"}},
        {u"a(?i)b", 0, u"AB aB", {u"aB"}},
        {u"(?(\\d)\\d{3}|[a-z]+)", 0, u"123abc", {u"123", u"abc"}},
        {u"(?<p>\\()?\\d+(?(p)\\))", 0, u"(12) 34 (56", {u"(12)", u"34", u"56"}},
        {u"(?(name)yes|no)", 0, u"nameyes no", {u"no"}},
    };
    for (const Case& c : cases) {
        EngineExpression e;
        ASSERT_TRUE(e.compile(c.pattern, c.options)) << toUtf8(c.pattern);
        const MatchList list = e.matchAll(c.text);
        std::vector<std::u16string> found;
        for (std::size_t i = 0; i < list.size(); ++i) {
            found.emplace_back(list.groupText(c.text, i, 0));
        }
        EXPECT_EQ(found, c.matches) << toUtf8(c.pattern) << " on " << toUtf8(c.text);
    }

    // Capture groups are numbered in order, named ones after the unnamed
    // ones, and are referred to in a replacement as $1 and ${name}.
    DeelxRegexObject re;
    ASSERT_TRUE(re.create(u"(?<first>a)(b)(?:c)"));
    EXPECT_EQ(re.replace(u"abc", u"${first}$2$1"), u"aab");
    EXPECT_EQ(re.searchAll(u"abc"), 1);
    EXPECT_EQ(re.subMatchCount(), 2);

    // What the engine cannot do, and the help says so.
    for (const std::u16string pattern :
         {u"(?<=(a)+)c", u"(?<=\\1a*)x", u"(?<x-y>exp)", u"\\u4e", u"\\y"}) {
        EngineExpression e;
        EXPECT_FALSE(e.compile(pattern, 0)) << toUtf8(pattern);
    }
}

}  // namespace
}  // namespace lcr
