// Matches shown inside the text boxes: the highlighted spans against the
// match and group positions, only the screen's spans, the table and the
// text linked both ways, the switch, and that the text and its undo history
// stay untouched.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <cmath>
#include "tests/app/color_contrast.h"

#include "app/main_window.h"
#include "app/match_colors.h"
#include "app/match_highlighter.h"
#include "app/match_highlighting.h"
#include "app/result_table_model.h"
#include "dialogs/program_text_edit.h"
#include "tests/app/window_fixture.h"

namespace lcr {
namespace {

using Span = MatchHighlighter::Span;

class MatchHighlightingTest : public testing::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        window->control<QCheckBox>(QStringLiteral("选择框自动执行"))->setChecked(false);
    }
    ProgramTextEdit* textBox() { return window->editBox("编辑框提取文本"); }
    MatchHighlighter* highlighter() { return window->highlighting()->extractText(); }
    QTableView* table() { return window->control<QTableView>(QStringLiteral("提取结果")); }
    void extract(const QString& text, const QString& chain) {
        textBox()->setProgramText(text);
        window->editBox("编辑框提取表达式")->setProgramText(chain);
        window->extract();
    }
    // The document range of an extra selection.
    static std::pair<int, int> range(const QTextEdit::ExtraSelection& s) {
        return {s.cursor.selectionStart(), s.cursor.selectionEnd()};
    }
};

struct SpanCase {
    const char* name;
    QString text;
    QString chain;
    std::vector<Span> spans;  // {start, end, expression, group}
};

TEST_F(MatchHighlightingTest, SpansAreTheMatchAndGroupPositions) {
    const SpanCase cases[] = {
        {"a group that did not take part has no span",
         QStringLiteral("1 2x"),
         QStringLiteral("(\\d)(x)?"),
         {{0, 1, 0, 0}, {0, 1, 0, 1}, {2, 4, 0, 0}, {2, 3, 0, 1}, {3, 4, 0, 2}}},
        {"nested groups",
         QStringLiteral("ab"),
         QStringLiteral("((a)b)"),
         {{0, 2, 0, 0}, {0, 2, 0, 1}, {0, 1, 0, 2}}},
        {"a zero-length match", QStringLiteral("ab"), QStringLiteral("(?=b)"), {{1, 1, 0, 0}}},
        {"a zero-length group",
         QStringLiteral("ab"),
         QStringLiteral("a(x?)"),
         {{0, 1, 0, 0}, {1, 1, 0, 1}}},
        {"surrogate pairs count two code units",
         QStringLiteral("\U0001D11Ex\U0001D11E"),
         QStringLiteral("."),
         {{0, 2, 0, 0}, {2, 3, 0, 0}, {3, 5, 0, 0}}},
        {"CR LF inside a match",
         QStringLiteral("ab\r\ncd"),
         QStringLiteral("b\\r\\nc"),
         {{1, 5, 0, 0}}},
        {"a chain's second expression",
         QStringLiteral("a1"),
         QStringLiteral("a<#lc#>\\d"),
         {{0, 1, 0, 0}, {1, 2, 1, 0}}},
    };
    for (const SpanCase& c : cases) {
        extract(c.text, c.chain);
        EXPECT_EQ(highlighter()->shownSpans(), c.spans) << c.name;
    }
}

TEST_F(MatchHighlightingTest, LineBreaksAreOneCharacterOfTheDocument) {
    extract(QStringLiteral("ab\r\ncd\r\nef"), QStringLiteral("d\\r\\ne|\\n|b"));
    // b at 1; the LF of the first break at 3; "d CR LF e" from 5 to 9.
    const QList<QTextEdit::ExtraSelection> selections = textBox()->extraSelections();
    ASSERT_EQ(selections.size(), 3);
    EXPECT_EQ(range(selections[0]), std::make_pair(1, 2));
    EXPECT_EQ(range(selections[1]), std::make_pair(2, 3));  // the break itself
    EXPECT_EQ(range(selections[2]), std::make_pair(4, 7));  // d, break, e
    for (int p : {0, 1, 2, 4, 5, 8, 9, 10}) {
        EXPECT_EQ(highlighter()->toProgramPosition(highlighter()->toDocumentPosition(p, false)), p);
    }
}

TEST_F(MatchHighlightingTest, TextUndoHistoryAndNotificationsStayUntouched) {
    textBox()->setProgramText(QStringLiteral("x1 y22\r\nz333"));
    QTest::keyClicks(textBox(), QStringLiteral("q"));
    const QString text = textBox()->programText();
    const quint64 revision = textBox()->revision();
    QSignalSpy changes(textBox(), &ProgramTextEdit::textChanged);
    QSignalSpy documentChanges(textBox()->document(), &QTextDocument::contentsChange);
    window->editBox("编辑框提取表达式")->setProgramText(QStringLiteral("(\\d)\\d*"));
    window->extract();
    ASSERT_FALSE(highlighter()->shownSpans().empty());
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(documentChanges.count(), 0);
    EXPECT_EQ(textBox()->revision(), revision);
    EXPECT_EQ(textBox()->programText(), text);
    // The typed "q" is still the step to undo.
    textBox()->undo();
    EXPECT_EQ(textBox()->programText(), QStringLiteral("x1 y22\r\nz333"));
    // The changed text drops the spans that belonged to the old one.
    EXPECT_TRUE(highlighter()->shownSpans().empty());
    EXPECT_TRUE(textBox()->extraSelections().isEmpty());
}

TEST_F(MatchHighlightingTest, OnlyTheScreenIsHighlighted) {
    QString text;
    for (int i = 0; i < 20000; ++i) {
        text += QStringLiteral("line %1 of the text\r\n").arg(i);
    }
    extract(text, QStringLiteral("(\\d+)"));
    ASSERT_EQ(window->resultModel()->rowCount(), 20000);
    const std::vector<Span>& first = highlighter()->shownSpans();
    ASSERT_FALSE(first.empty());
    EXPECT_LT(first.size(), 400u);
    EXPECT_EQ(first.front(), (Span{5, 6, 0, 0}));
    // Scrolled to the end: the last line's match is there.
    textBox()->verticalScrollBar()->setValue(textBox()->verticalScrollBar()->maximum());
    const int lastStart = static_cast<int>(text.size()) - 14 - 5;  // "19999" before " of the text"
    const std::vector<Span>& last = highlighter()->shownSpans();
    ASSERT_GE(last.size(), 2u);
    EXPECT_EQ(last[last.size() - 2], (Span{lastStart, lastStart + 5, 0, 0}));
}

TEST_F(MatchHighlightingTest, TheCheckBoxTurnsItOffAndOn) {
    auto* toggle = window->control<QCheckBox>(QStringLiteral("选择框高亮"));
    ASSERT_TRUE(toggle->isChecked());
    extract(QStringLiteral("a1b2"), QStringLiteral("(\\d)"));
    EXPECT_EQ(textBox()->extraSelections().size(), 4);
    EXPECT_TRUE(window->resultModel()->headerData(2, Qt::Horizontal, Qt::DecorationRole).isValid());
    toggle->setChecked(false);
    EXPECT_TRUE(textBox()->extraSelections().isEmpty());
    EXPECT_FALSE(
        window->resultModel()->headerData(2, Qt::Horizontal, Qt::DecorationRole).isValid());
    toggle->setChecked(true);
    EXPECT_EQ(textBox()->extraSelections().size(), 4);
}

TEST_F(MatchHighlightingTest, TableRowsAndTextSelectEachOther) {
    extract(QStringLiteral("ab\r\ncd 12 345\r\nx6789"), QStringLiteral("\\d+"));
    ASSERT_EQ(window->resultModel()->rowCount(), 3);
    // A row selects its match in the text: "345" at program 10..13, one
    // line break before it.
    table()->selectRow(1);
    EXPECT_EQ(textBox()->textCursor().selectionStart(), 9);
    EXPECT_EQ(textBox()->textCursor().selectionEnd(), 12);
    // A click on a match in the text selects its row and leaves the caret
    // where the click put it.
    QTextCursor at(textBox()->document());
    at.setPosition(15);  // inside "6789"
    const QPoint point = textBox()->cursorRect(at).center();
    QTest::mouseClick(textBox()->viewport(), Qt::LeftButton, {}, point);
    EXPECT_EQ(table()->currentIndex().row(), 2);
    EXPECT_FALSE(textBox()->textCursor().hasSelection());
    // The tooltip names the match, its expression, line, column and text.
    const MatchHighlighter::Hit hit = highlighter()->matchAt(18);
    EXPECT_EQ(hit.expression, 0);
    EXPECT_EQ(hit.match, 3);
    const QString tip = highlighter()->describe(hit);
    EXPECT_TRUE(tip.contains(QStringLiteral("第 3 个匹配"))) << tip.toStdString();
    EXPECT_TRUE(tip.contains(QStringLiteral("第 1 个表达式"))) << tip.toStdString();
    EXPECT_TRUE(tip.contains(QStringLiteral("第 3 行，第 2 列"))) << tip.toStdString();
    EXPECT_TRUE(tip.contains(QStringLiteral("6789"))) << tip.toStdString();
}

TEST_F(MatchHighlightingTest, ReplacePageShowsTheMatchesAndTheReplacedSpans) {
    window->control<QCheckBox>(QStringLiteral("选择框替换全部"))->setChecked(true);
    window->editBox("编辑框替换文本")->setProgramText(QStringLiteral("x\r\nb1 c23"));
    // The first expression takes the LF out of the line break, leaving a
    // lone CR; the second turns each digit run into N.
    window->editBox("编辑框匹配表达式")->setProgramText(QStringLiteral("\\n<#lc#>\\d+"));
    window->editBox("编辑框替换表达式")->setProgramText(QStringLiteral("<#lc#>N"));
    window->replaceChain();
    ASSERT_EQ(window->editBox("编辑框替换结果")->programText(), QStringLiteral("x\r\nbN cN"));
    EXPECT_EQ(window->highlighting()->replaceSource()->shownSpans(),
              (std::vector<Span>{{2, 3, 0, 0}}));
    // As the box reads the result: its lone CR is a CR LF there, so what
    // follows moves on by one; the emptied place is a thin mark.
    EXPECT_EQ(window->highlighting()->replaceResult()->shownSpans(),
              (std::vector<Span>{{3, 3, 0, 0}, {4, 5, 0, 0}, {7, 8, 0, 0}}));
}

using lcr::testing::contrast;

TEST(MatchColorsTest, TextStaysReadableOnEveryHighlightInLightAndDarkThemes) {
    QPalette light;
    light.setColor(QPalette::Window, QColor(0xEF, 0xEF, 0xEF));
    light.setColor(QPalette::Text, Qt::black);
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x30, 0x30, 0x30));
    dark.setColor(QPalette::Text, QColor(0xE8, 0xE8, 0xE8));
    for (const QPalette& palette : {light, dark}) {
        const MatchColors colors(palette);
        const QColor text = palette.color(QPalette::Text);
        for (int i = 0; i < 12; ++i) {
            EXPECT_GE(contrast(text, colors.matchBackground(i)), 4.5) << "expression " << i;
            EXPECT_GE(contrast(text, colors.groupBackground(i + 1)), 4.5) << "group " << i + 1;
        }
        // Neighbouring expressions and groups do not look alike.
        EXPECT_NE(colors.matchBackground(0), colors.matchBackground(1));
        EXPECT_NE(colors.groupBackground(1), colors.groupBackground(2));
    }
}

}  // namespace
}  // namespace lcr
