// 表达式解释 in the window: the 解释 labels open and close the explanation on
// their box, it follows typing and the options, and its nodes and the box's
// cursor select each other.
#include <gtest/gtest.h>
#include <QCheckBox>
#include <QTest>
#include <QTreeWidget>

#include "app/explanation_panel.h"
#include "app/main_window.h"
#include "app/window_widgets.h"
#include "tests/app/window_fixture.h"

namespace lcr {
namespace {

class ExplanationWindow : public testing::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        window->control<QCheckBox>(QStringLiteral("选择框自动执行"))->setChecked(false);
    }
    // The window's panel, made by the first press of a 解释 label.
    ExplanationPanel* panel() {
        return window->findChild<ExplanationPanel*>(QStringLiteral("表达式解释"));
    }
    ProgramTextEdit* box(const char* name) { return window->editBox(name); }
    void click(const char* name) {
        QTest::mouseClick(window->control<QWidget>(QString::fromUtf8(name)), Qt::LeftButton);
    }
    // The tree as indented lines, two spaces a level.
    QString treeText() {
        QString out;
        std::function<void(QTreeWidgetItem*, int)> walk = [&](QTreeWidgetItem* item, int depth) {
            out += QString(depth * 2, u' ') + item->text(0) + u'\n';
            for (int i = 0; i < item->childCount(); ++i) {
                walk(item->child(i), depth + 1);
            }
        };
        for (int i = 0; i < panel()->tree()->topLevelItemCount(); ++i) {
            walk(panel()->tree()->topLevelItem(i), 0);
        }
        return out;
    }
    // The first item, depth first, whose words start with `words`.
    QTreeWidgetItem* item(const QString& words) {
        const QList<QTreeWidgetItem*> found =
            panel()->tree()->findItems(words, Qt::MatchStartsWith | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.front();
    }
    void clickItem(QTreeWidgetItem* target) {
        QTreeWidget* tree = panel()->tree();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(target).center());
    }
    void moveCursor(ProgramTextEdit* edit, int documentPosition) {
        QTextCursor cursor = edit->textCursor();
        cursor.setPosition(documentPosition);
        edit->setTextCursor(cursor);
    }
    QString current() {
        QTreeWidgetItem* item = panel()->tree()->currentItem();
        return item ? item->text(0) : QString();
    }
};

TEST_F(ExplanationWindow, TheLabelsOpenAndCloseItOnTheirBox) {
    EXPECT_EQ(panel(), nullptr);  // nothing is made before it is asked for
    click("标签解释提取");
    ASSERT_NE(panel(), nullptr);
    EXPECT_TRUE(panel()->isVisible());
    EXPECT_EQ(panel()->explainedBox(), box("编辑框提取表达式"));
    click("标签解释匹配");  // open on another box: it moves there
    EXPECT_TRUE(panel()->isVisible());
    EXPECT_EQ(panel()->explainedBox(), box("编辑框匹配表达式"));
    click("标签解释匹配");
    EXPECT_FALSE(panel()->isVisible());
}

TEST_F(ExplanationWindow, FollowsTypingTheOptionsAndTheFocus) {
    click("标签解释提取");
    ProgramTextEdit* edit = box("编辑框提取表达式");
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("^a"));
    // 多行 is checked at start: ^ is a line start.
    EXPECT_EQ(treeText(), QStringLiteral("第 1 个表达式\n"
                                         "  行首：文本开头或每个换行之后\n"
                                         "  文本“a”\n"));
    window->control<QCheckBox>(QStringLiteral("选择框多行模式"))->setChecked(false);
    EXPECT_EQ(treeText(), QStringLiteral("第 1 个表达式\n"
                                         "  文本开头\n"
                                         "  文本“a”\n"));
    QTest::keyClicks(edit, QStringLiteral("+"));
    EXPECT_TRUE(treeText().contains(QStringLiteral("  重复至少 1 次，尽可能多\n    文本“a”\n")))
        << treeText().toStdString();

    // Focusing another expression box explains that one.
    box("编辑框匹配表达式")->setProgramText(QStringLiteral("\\d"));
    box("编辑框匹配表达式")->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(panel()->explainedBox(), box("编辑框匹配表达式"));
    EXPECT_EQ(treeText(), QStringLiteral("第 1 个表达式\n  一个数字 0-9\n"));
}

TEST_F(ExplanationWindow, ANodeAndTheCursorSelectEachOther) {
    ProgramTextEdit* edit = box("编辑框提取表达式");
    // A line break is two characters of the expression and one of the box.
    edit->setProgramText(QStringLiteral("x\r\n(b\\d+)"));
    click("标签解释提取");

    clickItem(item(QStringLiteral("重复至少 1 次")));
    EXPECT_EQ(edit->textCursor().selectedText(), QStringLiteral("\\d+"));
    clickItem(item(QStringLiteral("分组 1")));
    EXPECT_EQ(edit->textCursor().selectedText(), QStringLiteral("(b\\d+)"));
    EXPECT_EQ(current(), QStringLiteral("分组 1（捕获）"));  // no echo from the cursor

    moveCursor(edit, 5);  // in \d
    EXPECT_EQ(current(), QStringLiteral("一个数字 0-9"));
    moveCursor(edit, 2);  // on (
    EXPECT_EQ(current(), QStringLiteral("分组 1（捕获）"));
    moveCursor(edit, 0);
    EXPECT_EQ(current(), QStringLiteral("文本“x↵”"));
}

TEST_F(ExplanationWindow, AChainWithABrokenPieceIsExplainedUpToItsError) {
    ProgramTextEdit* edit = box("编辑框提取表达式");
    edit->setProgramText(QStringLiteral("a<#lc#>(b"));
    click("标签解释提取");
    EXPECT_EQ(treeText(), QStringLiteral("第 1 个表达式\n"
                                         "  文本“a”\n"
                                         "第 2 个表达式\n"
                                         "  分组 1（捕获）\n"
                                         "    文本“b”\n"
                                         "  错误：缺少右括号 )\n"));
    // The error says what the status line says.
    click("标签提取");
    EXPECT_TRUE(window->statusText().contains(QStringLiteral("第 2 个表达式有误")));
    EXPECT_TRUE(window->statusText().endsWith(
        item(QStringLiteral("错误："))->text(0).mid(QStringLiteral("错误：").size())));

    moveCursor(edit, 8);  // the b of the second piece
    EXPECT_EQ(current(), QStringLiteral("文本“b”"));
    clickItem(panel()->tree()->topLevelItem(1));
    EXPECT_EQ(edit->textCursor().selectedText(), QStringLiteral("(b"));
}

TEST_F(ExplanationWindow, AReplacementTextIsReadAgainstItsExpression) {
    box("编辑框匹配表达式")->setProgramText(QStringLiteral("(a)(?<y>b)"));
    ProgramTextEdit* edit = box("编辑框替换表达式");
    edit->setProgramText(QStringLiteral("$1-${y}"));
    click("标签解释替换");
    EXPECT_EQ(treeText(), QStringLiteral("第 1 个替换文本\n"
                                         "  分组 1 捕获的文本\n"
                                         "  文本“-”\n"
                                         "  分组 2“y”捕获的文本\n"));
    moveCursor(edit, 4);
    EXPECT_EQ(current(), QStringLiteral("分组 2“y”捕获的文本"));
    clickItem(item(QStringLiteral("分组 1")));
    EXPECT_EQ(edit->textCursor().selectedText(), QStringLiteral("$1"));

    // A change of the expression changes what the replacement means.
    box("编辑框匹配表达式")->setProgramText(QStringLiteral("(a)"));
    EXPECT_TRUE(treeText().contains(QStringLiteral("  文本“$”：后面不是有效的引用，照原样输出\n")))
        << treeText().toStdString();
}

}  // namespace
}  // namespace lcr
