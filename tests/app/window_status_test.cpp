// The headings and the status line tell the truth about the last run of
// each page: a broken expression, no matches, incomplete results and why.
#include <gtest/gtest.h>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTextDocumentFragment>

#include "app/application.h"
#include "app/main_window.h"
#include "app/main_window_settings.h"
#include "app/program_state.h"
#include "app/result_table_model.h"
#include "app/window_widgets.h"
#include "regex/engine.h"
#include "tests/app/scripted_platform_services.h"
#include "tests/app/window_fixture.h"
#include "text/gb18030.h"

namespace lcr {
namespace {

using namespace std::chrono_literals;

QString q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class WindowStatusTest : public testing::WindowTest {
protected:
    QString label(const char* name) { return window->control<QLabel>(q(name))->text(); }
    ProgramTextEdit* box(const char* name) { return window->editBox(name); }
    QTabWidget* tabs() { return window->control<QTabWidget>(q("选择夹")); }
    // The characters the box marks as the error.
    QStringList marked(const char* name) {
        QStringList texts;
        for (const QTextEdit::ExtraSelection& s : box(name)->extraSelections()) {
            if (s.format.property(QTextFormat::UserProperty) == q("expression-error")) {
                texts << s.cursor.selectedText();  // the error mark, not the group highlight
            }
        }
        return texts;
    }
};

TEST_F(WindowStatusTest, ABrokenExpressionSaysSoUntilItIsEmptied) {
    box("编辑框提取文本")->setProgramText(q("a1b22"));
    box("编辑框提取表达式")->setProgramText(q("(\\d+"));  // 自动执行 runs it

    EXPECT_EQ(label("标签3"), q("提取结果 - 表达式有误"));
    EXPECT_TRUE(label("标签1").contains(q("第 5 个字符处"))) << label("标签1").toStdString();
    EXPECT_TRUE(window->statusText().contains(q("第 5 个字符处")))
        << window->statusText().toStdString();
    EXPECT_EQ(marked("编辑框提取表达式"), QStringList{q("+")});  // the end: its last character

    box("编辑框提取表达式")->setProgramText(QString());
    EXPECT_FALSE(label("标签3").contains(q("表达式有误")));
    EXPECT_EQ(label("标签1"), q("提取表达式"));
    EXPECT_EQ(window->statusText(), QString());
    EXPECT_TRUE(marked("编辑框提取表达式").isEmpty());
}

TEST_F(WindowStatusTest, TheMarkIsOnTheCharacterOfTheBrokenPiece) {
    box("编辑框提取文本")->setProgramText(q("a1"));
    // The second piece, on the second line, breaks at its ")": its fourth
    // character, after the line break.
    box("编辑框提取表达式")->setProgramText(q("\\d<#lc#>\r\nx)y"));
    EXPECT_EQ(marked("编辑框提取表达式"), QStringList{q(")")});
    EXPECT_TRUE(label("标签1").contains(q("第 2 个表达式第 4 个字符处有误")))
        << label("标签1").toStdString();
    EXPECT_TRUE(window->statusText().startsWith(q("第 2 个表达式有误")))
        << window->statusText().toStdString();
    // Results of the good piece still count, and the heading still warns.
    EXPECT_TRUE(label("标签3").contains(q("提取数量:1")));
    EXPECT_TRUE(label("标签3").contains(q("表达式有误")));
}

TEST_F(WindowStatusTest, NoMatchesOnlyWhenTheSearchRanAndFoundNothing) {
    box("编辑框提取文本")->setProgramText(q("abc"));
    box("编辑框提取表达式")->setProgramText(q("z+"));
    EXPECT_EQ(label("标签3"), q("提取结果 - 完全没有匹配项目"));
    EXPECT_EQ(window->statusText(), QString());
    box("编辑框提取表达式")->setProgramText(q("b"));
    EXPECT_EQ(label("标签3"), q("提取结果 - 提取数量:1,子文本数量:0"));
}

TEST_F(WindowStatusTest, EachPageKeepsItsOwnMessage) {
    tabs()->setCurrentIndex(1);
    box("编辑框替换文本")->setProgramText(q("abc"));
    box("编辑框匹配表达式")->setProgramText(q("a("));
    EXPECT_TRUE(window->statusText().contains(q("有误")));
    EXPECT_TRUE(label("标签7").contains(q("表达式有误")));
    EXPECT_EQ(marked("编辑框匹配表达式"), QStringList{q("(")});

    // A good extraction says nothing about the replace page's expression.
    tabs()->setCurrentIndex(0);
    EXPECT_EQ(window->statusText(), QString());
    box("编辑框提取文本")->setProgramText(q("abc"));
    box("编辑框提取表达式")->setProgramText(q("b"));
    EXPECT_EQ(window->statusText(), QString());
    tabs()->setCurrentIndex(1);
    EXPECT_TRUE(window->statusText().contains(q("有误")));

    // Mended, the message goes.
    box("编辑框匹配表达式")->setProgramText(q("a"));
    EXPECT_EQ(window->statusText(), QString());
    EXPECT_EQ(label("标签7"), q("替换结果"));
}

TEST_F(WindowStatusTest, AnEditWithoutAutoRunTakesTheErrorAway) {
    box("编辑框提取文本")->setProgramText(q("abc"));
    box("编辑框提取表达式")->setProgramText(q("["));
    ASSERT_FALSE(window->statusText().isEmpty());
    window->control<QCheckBox>(q("选择框自动执行"))->setChecked(false);
    box("编辑框提取表达式")->setProgramText(q("[a]"));
    EXPECT_EQ(window->statusText(), QString());
    EXPECT_TRUE(marked("编辑框提取表达式").isEmpty());
    EXPECT_EQ(label("标签1"), q("提取表达式"));
}

TEST_F(WindowStatusTest, IncompleteResultsSayWhy) {
    const auto budget = defaultSearchTimeBudget();
    struct Case {
        const char* what;
        QString pattern;
        QString text;
        std::chrono::milliseconds budget;
        const char* reason;
    };
    const Case cases[] = {
        {"backtracking limits", q("(a+)+b|\\d+"), q("1 ") + QString(40, u'a') + q("c 2"), 3s,
         "回溯限制"},
        {"time budget", q("(a+)+$|x"),
         q("x\r\n") + q("aaaaaaaaaaaaaaaaaaaaaaaab\r\n").repeated(400) + q("x"), 200ms, "时间限制"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        setDefaultSearchTimeBudget(c.budget);
        box("编辑框提取表达式")->setProgramText(QString());
        box("编辑框提取文本")->setProgramText(c.text);
        box("编辑框提取表达式")->setProgramText(c.pattern);
        EXPECT_TRUE(window->statusText().contains(q("结果不完整")));
        EXPECT_TRUE(window->statusText().contains(q(c.reason)))
            << window->statusText().toStdString();
    }
    setDefaultSearchTimeBudget(budget);
}

TEST(WindowAutoRun, TheRestoredPageRunsOnceAtStart) {
    for (const bool autoRun : {true, false}) {
        SCOPED_TRACE(autoRun);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        {
            ProgramState state;
            testing::ScriptedPlatformServices services;
            openConfigStore(state.configStore, services, dir.path());
            MainWindow window(state, services, dir.path());
            window.editBox("编辑框提取文本")->setProgramText(q("a1b22"));
            window.editBox("编辑框提取表达式")->setProgramText(q("\\d+"));
            window.editBox("编辑框替换文本")->setProgramText(q("x1"));
            window.editBox("编辑框匹配表达式")->setProgramText(q("\\d"));
            window.editBox("编辑框替换表达式")->setProgramText(q("#"));
            window.control<QCheckBox>(q("选择框自动执行"))->setChecked(autoRun);
            window.control<QTabWidget>(q("选择夹"))->setCurrentIndex(1);
            persistMainWindow(window, state.configStore, true);
        }
        ProgramState state;
        testing::ScriptedPlatformServices services;
        openConfigStore(state.configStore, services, dir.path());
        MainWindow window(state, services, dir.path());
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(20);
        // The replace page was current: it ran; the extract page did not.
        EXPECT_EQ(window.editBox("编辑框替换结果")->programText(), autoRun ? q("x#") : QString());
        EXPECT_EQ(window.resultModel()->rowCount(), 0);
    }
}

TEST_F(WindowStatusTest, TooltipsShowTheirTextAsItIs) {
    // The syntax row whose description holds "(?<p>\()?" shows it whole.
    auto* list = window->control<QTableView>(q("语法"));
    bool found = false;
    for (int r = 0; r < list->model()->rowCount(); ++r) {
        const QModelIndex index = list->model()->index(r, 1);
        const QString text = index.data().toString();
        if (text.contains(q("(?<p>\\()?"))) {
            found = true;
            const QString tip = index.data(Qt::ToolTipRole).toString();
            EXPECT_EQ(QTextDocumentFragment::fromHtml(tip).toPlainText(), text);
        }
    }
    EXPECT_TRUE(found);
}

TEST_F(WindowStatusTest, ARightClickCopyOnTheSyntaxListSaysCopied) {
    tabs()->setCurrentIndex(2);
    auto* list = window->control<QTableView>(q("语法"));
    const QRect row = list->visualRect(list->model()->index(0, 0));
    emit list->customContextMenuRequested(row.center());
    EXPECT_FALSE(services.clipboard.isEmpty());
    EXPECT_EQ(window->statusText(), q("已复制"));
    QTest::qWait(1100);
    EXPECT_EQ(window->statusText(), QString());
}

}  // namespace
}  // namespace lcr
