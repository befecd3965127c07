// The operations as the window runs them: extraction into the result list,
// replacement, auto-execution, the labels, quick insertion, the tab rule.
#include <gtest/gtest.h>
#include <QCheckBox>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimer>

#include "app/main_window.h"
#include "app/program_state.h"
#include "app/result_table_model.h"
#include "app/window_widgets.h"
#include "tests/app/scripted_platform_services.h"
#include "tests/app/window_fixture.h"

namespace lcr {
namespace {

class WindowOperations : public testing::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        check("选择框自动执行", false);
    }
    ProgramTextEdit* box(const char* name) { return window->editBox(name); }
    QCheckBox* option(const char* name) {
        return window->control<QCheckBox>(QString::fromUtf8(name));
    }
    void check(const char* name, bool on) { option(name)->setChecked(on); }
    void click(const char* name) {
        QTest::mouseClick(window->control<QWidget>(QString::fromUtf8(name)), Qt::LeftButton);
    }
    QTabWidget* tabs() { return window->control<QTabWidget>(QString::fromUtf8("选择夹")); }
    QString caption(const char* name) {
        return window->control<QLabel>(QString::fromUtf8(name))->text();
    }
    // The result list's rows, cells joined by "|".
    QStringList table() {
        QAbstractItemModel* m = window->resultModel();
        QStringList rows;
        for (int r = 0; r < m->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < m->columnCount(); ++c) {
                cells << m->index(r, c).data().toString();
            }
            rows << cells.join(u'|');
        }
        return rows;
    }
    QStringList columns() {
        QAbstractItemModel* m = window->resultModel();
        QStringList titles;
        for (int c = 0; c < m->columnCount(); ++c) {
            titles << m->headerData(c, Qt::Horizontal).toString();
        }
        return titles;
    }
};

TEST_F(WindowOperations, ExtractFillsTheTableAndTheCaption) {
    box("编辑框提取文本")->setProgramText(QStringLiteral("1 2x"));
    box("编辑框提取表达式")->setProgramText(QStringLiteral("(\\d)(x)?"));
    click("标签提取");
    EXPECT_EQ(table(), (QStringList{"1|1|1|", "2|2x|2|x"}));
    EXPECT_EQ(columns(), (QStringList{"序号", "提取文本", "子文本 (1)", "子文本 (2)"}));
    EXPECT_EQ(caption("标签3"), QStringLiteral("提取结果 - 提取数量:2,子文本数量:2"));

    // A second expression without groups keeps the two sub-text columns.
    box("编辑框提取表达式")->setProgramText(QStringLiteral("(\\d)(x)?<#lc#>x"));
    click("标签提取");
    EXPECT_EQ(table(), (QStringList{"1|1|1|", "2|2x|2|x", "1|x||"}));
    EXPECT_EQ(caption("标签3"), QStringLiteral("提取结果 - 提取数量:3,子文本数量:0"));
}

TEST_F(WindowOperations, NoMatchIsRedAndAnEmptyChainLeavesTheTable) {
    box("编辑框提取文本")->setProgramText(QStringLiteral("a1"));
    box("编辑框提取表达式")->setProgramText(QStringLiteral("a"));
    click("标签提取");
    ASSERT_EQ(table().size(), 1);
    box("编辑框提取表达式")->setProgramText(QString());
    click("标签提取");
    EXPECT_EQ(table().size(), 1);  // nothing happened

    box("编辑框提取表达式")->setProgramText(QStringLiteral("\\d*"));
    click("标签提取");
    EXPECT_TRUE(table().isEmpty());
    EXPECT_EQ(columns(), (QStringList{"序号", "提取文本"}));
    EXPECT_EQ(caption("标签3"), QStringLiteral("提取结果 - 完全没有匹配项目"));
    EXPECT_TRUE(window->control<QLabel>(QStringLiteral("标签3"))->styleSheet().contains("#ff0000"));

    box("编辑框提取表达式")->setProgramText(QStringLiteral("|"));
    click("标签提取");  // the only piece is empty: the caption stays
    EXPECT_EQ(caption("标签3"), QStringLiteral("提取结果 - 完全没有匹配项目"));
}

TEST_F(WindowOperations, ARequestDuringALongExtractionStartsItOver) {
    QString text;
    for (int i = 0; i < 200000; ++i) {
        text += QStringLiteral("a ");
    }
    box("编辑框提取文本")->setProgramText(text);
    box("编辑框提取表达式")->setProgramText(QStringLiteral("a"));
    // While the first run fills the table, the text changes and the label
    // is clicked again: the run starts over with the new input.
    int nestedCalls = 0;
    QTimer::singleShot(1, [&] {
        EXPECT_TRUE(state.extractRunning);
        box("编辑框提取文本")->setProgramText(QStringLiteral("a a a"));
        window->extract();
        ++nestedCalls;
    });
    window->extract();
    EXPECT_EQ(nestedCalls, 1);
    EXPECT_EQ(table().size(), 3);
    EXPECT_FALSE(state.extractRunning);
    EXPECT_FALSE(state.extractRestartRequested);
}

TEST_F(WindowOperations, ReplaceRunsTheChain) {
    box("编辑框替换文本")->setProgramText(QStringLiteral("a-b-a"));
    box("编辑框匹配表达式")->setProgramText(QStringLiteral("a<#lc#>b"));
    box("编辑框替换表达式")->setProgramText(QStringLiteral("x<#lc#>y"));
    check("选择框替换全部", true);
    click("标签替换");
    EXPECT_EQ(box("编辑框替换结果")->programText(), QStringLiteral("x-y-x"));
    check("选择框替换全部", false);
    click("标签替换");
    EXPECT_EQ(box("编辑框替换结果")->programText(), QStringLiteral("x-y-a"));
}

TEST_F(WindowOperations, AutoExecutionFollowsTheBoxAndThePage) {
    box("编辑框提取文本")->setProgramText(QStringLiteral("a a"));
    box("编辑框提取表达式")->setProgramText(QStringLiteral("a"));
    box("编辑框替换文本")->setProgramText(QStringLiteral("a"));
    box("编辑框匹配表达式")->setProgramText(QStringLiteral("a"));
    box("编辑框替换表达式")->setProgramText(QStringLiteral("b"));
    EXPECT_TRUE(table().isEmpty());  // 自动执行 is off
    click("选择框单行模式");         // toggling an option with it off runs nothing
    EXPECT_TRUE(table().isEmpty());

    click("选择框自动执行");  // checking it runs the current page's operation
    EXPECT_EQ(table().size(), 2);
    EXPECT_TRUE(box("编辑框替换结果")->programText().isEmpty());

    // Text changes run their own page's operation whatever page is shown.
    box("编辑框替换文本")->setProgramText(QStringLiteral("aa"));
    EXPECT_EQ(box("编辑框替换结果")->programText(), QStringLiteral("bb"));
    click("标签23");  // 清空 on the source text runs the extraction on empty text
    EXPECT_TRUE(table().isEmpty());

    tabs()->setCurrentIndex(1);
    box("编辑框替换结果")->setProgramText(QString());
    click("选择框忽略大小写");  // an option on the replace page runs the replacement
    EXPECT_EQ(box("编辑框替换结果")->programText(), QStringLiteral("bb"));
}

TEST_F(WindowOperations, TheTabRuleHidesTheOptionsOnTheHelpPage) {
    QWidget* frame = window->control<QWidget>(QStringLiteral("框4"));
    tabs()->setCurrentIndex(0);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_FALSE(option("选择框替换全部")->isEnabled());
    tabs()->setCurrentIndex(1);
    EXPECT_TRUE(option("选择框替换全部")->isEnabled());
    tabs()->setCurrentIndex(2);
    EXPECT_FALSE(frame->isVisible());
    EXPECT_TRUE(option("选择框替换全部")->isEnabled());
}

TEST_F(WindowOperations, QuickInsertGoesToTheLastFocusedExpressionBox) {
    window->quickInsert(QStringLiteral("x"));  // no target yet: nothing
    EXPECT_TRUE(box("编辑框提取表达式")->programText().isEmpty());

    box("编辑框提取表达式")->setProgramText(QStringLiteral("abc"));
    box("编辑框提取表达式")->setFocus();
    QApplication::processEvents();
    box("编辑框提取文本")->setFocus();  // a text box never becomes the target
    QApplication::processEvents();
    tabs()->setCurrentIndex(1);
    QTextCursor cursor = box("编辑框提取表达式")->textCursor();
    cursor.setPosition(1);
    cursor.setPosition(2, QTextCursor::KeepAnchor);
    box("编辑框提取表达式")->setTextCursor(cursor);
    window->quickInsert(QStringLiteral("\\d"));
    EXPECT_EQ(box("编辑框提取表达式")->programText(), QStringLiteral("a\\dc"));
    EXPECT_EQ(tabs()->currentIndex(), 1);  // only the focus moves
    window->quickInsert(QString());        // empty text at a caret changes nothing
    EXPECT_EQ(box("编辑框提取表达式")->programText(), QStringLiteral("a\\dc"));
}

TEST_F(WindowOperations, ClearPasteAndCopyLabels) {
    services.clipboard = QStringLiteral("one\ntwo");
    click("标签14");  // 粘贴 into the match expression
    EXPECT_EQ(box("编辑框匹配表达式")->programText(), QStringLiteral("one\r\ntwo"));
    services.clipboard = QString();
    click("标签8");  // pasting an empty clipboard empties the box
    EXPECT_TRUE(box("编辑框提取表达式")->programText().isEmpty());

    services.clipboard = QStringLiteral("old");
    click("标签9");  // copying an empty box puts empty text on the clipboard
    EXPECT_EQ(services.clipboard, QString());
    EXPECT_EQ(caption("标签9"), QStringLiteral("已复制"));
    click("标签15");
    EXPECT_EQ(services.clipboard, QStringLiteral("one\ntwo"));
    QTest::qWait(600);
    click("标签9");  // a second press starts the second over
    QTest::qWait(600);
    EXPECT_EQ(caption("标签9"), QStringLiteral("已复制"));
    EXPECT_EQ(caption("标签15"), QStringLiteral("复制"));
    QTest::qWait(600);
    EXPECT_EQ(caption("标签9"), QStringLiteral("复制"));
}

TEST_F(WindowOperations, ACompileErrorIsShownAndClearedAgain) {
    box("编辑框提取文本")->setProgramText(QStringLiteral("ab"));
    box("编辑框提取表达式")->setProgramText(QStringLiteral("a<#lc#>(b"));
    click("标签提取");
    EXPECT_TRUE(window->statusText().contains(QStringLiteral("第 2 个表达式有误")))
        << window->statusText().toStdString();
    EXPECT_TRUE(window->statusText().contains(QStringLiteral("缺少右括号")));
    EXPECT_TRUE(QTextDocumentFragment::fromHtml(box("编辑框提取表达式")->toolTip())
                    .toPlainText()
                    .startsWith(window->statusText()));
    EXPECT_EQ(table().size(), 1);  // the rest of the chain ran

    box("编辑框提取表达式")->setProgramText(QStringLiteral("a<#lc#>(b)"));
    click("标签提取");
    EXPECT_TRUE(window->statusText().isEmpty());
    EXPECT_FALSE(box("编辑框提取表达式")->toolTip().contains(QStringLiteral("有误")));
}

TEST(WindowStartUp, TextChangesBeforeReadinessRunNothing) {
    QTemporaryDir dir;
    ProgramState state;
    testing::ScriptedPlatformServices services;
    MainWindow window(state, services, dir.path());
    // The window's set-up has finished; until then the flag kept every
    // request out, so the table is still empty though 自动执行 is on.
    EXPECT_TRUE(window.control<QCheckBox>(QStringLiteral("选择框自动执行"))->isChecked());
    EXPECT_EQ(window.resultModel()->rowCount(), 0);
    state.mainWindowReady = false;
    window.editBox("编辑框提取文本")->setProgramText(QStringLiteral("a"));
    window.editBox("编辑框提取表达式")->setProgramText(QStringLiteral("a"));
    EXPECT_EQ(window.resultModel()->rowCount(), 0);
    state.mainWindowReady = true;
    window.editBox("编辑框提取表达式")->setProgramText(QStringLiteral("a"));
    EXPECT_EQ(window.resultModel()->rowCount(), 1);
}

}  // namespace
}  // namespace lcr
