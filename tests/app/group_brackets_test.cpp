// The group under the caret of an expression box: which parentheses pair up
// as the engine reads them, which pair a caret shows, and the box showing it.
#include <gtest/gtest.h>
#include <QCheckBox>
#include <QTextCursor>

#include "app/group_brackets.h"
#include "app/main_window.h"
#include "app/match_highlighting.h"
#include "dialogs/program_text_edit.h"
#include "tests/app/window_fixture.h"

namespace lcr {
namespace {

TEST(GroupBrackets, ParenthesesPairAsTheEngineReadsThem) {
    struct Case {
        const char* what;
        QString pattern;
        std::vector<ParenthesisPair> pairs;
    };
    const Case cases[] = {
        {"nested", QStringLiteral("((a)b)"), {{0, 5}, {1, 3}}},
        {"escaped parentheses are characters", QStringLiteral("\\((a)\\)"), {{2, 4}}},
        {"parentheses in a class are characters", QStringLiteral("[()](x)"), {{4, 6}}},
        {"a ] first in a class is a member", QStringLiteral("[]()](y)"), {{5, 7}}},
        {"a quoted stretch", QStringLiteral("\\Q(\\E(z)"), {{5, 7}}},
        {"special groups count", QStringLiteral("(?:a)(?<n>b)"), {{0, 4}, {5, 11}}},
        {"an unclosed group", QStringLiteral("(a(b)"), {{0, -1}, {2, 4}}},
        {"an unopened parenthesis", QStringLiteral("a)(b)"), {{-1, 1}, {2, 4}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parenthesisPairs(c.pattern), c.pairs) << c.what;
    }
}

TEST(GroupBrackets, TheCaretShowsTheAdjacentOrInnermostPair) {
    const std::vector<ParenthesisPair> pairs = parenthesisPairs(QStringLiteral("(a(bc)d)e"));
    EXPECT_EQ(pairAtCaret(pairs, 0), (ParenthesisPair{0, 7}));  // before "("
    EXPECT_EQ(pairAtCaret(pairs, 3), (ParenthesisPair{2, 5}));  // after the inner "("
    EXPECT_EQ(pairAtCaret(pairs, 4), (ParenthesisPair{2, 5}));  // inside the inner group
    EXPECT_EQ(pairAtCaret(pairs, 7), (ParenthesisPair{0, 7}));  // before the outer ")"
    EXPECT_EQ(pairAtCaret(pairs, 9), (ParenthesisPair{}));      // after everything
    EXPECT_EQ(pairAtCaret(pairs, 2), (ParenthesisPair{2, 5}));  // right before the inner "("
}

class GroupBracketsWindow : public testing::WindowTest {};

TEST_F(GroupBracketsWindow, TheExpressionBoxShowsThePairAndKeepsItsText) {
    ProgramTextEdit* box = window->editBox("编辑框提取表达式");
    box->setProgramText(QStringLiteral("a\r\n(b(c))"));
    const QString text = box->programText();
    const quint64 revision = box->revision();
    QTextCursor caret = box->textCursor();
    caret.setPosition(5);  // inside (c): one line break, one character per position
    box->setTextCursor(caret);
    GroupBracketHighlighter* shown = window->highlighting()->extractExpression();
    EXPECT_EQ(shown->shown(), (ParenthesisPair{4, 6}));
    EXPECT_EQ(box->extraSelections().size(), 3);  // the group and its two parentheses
    EXPECT_EQ(box->programText(), text);
    EXPECT_EQ(box->revision(), revision);
    window->control<QCheckBox>(QStringLiteral("选择框高亮"))->setChecked(false);
    EXPECT_TRUE(box->extraSelections().isEmpty());
}

}  // namespace
}  // namespace lcr
