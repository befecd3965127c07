// Every action of the main window is reachable from the keyboard.
#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTextDocumentFragment>

#include "app/main_window.h"
#include "app/main_window_keys.h"
#include "app/result_table_model.h"
#include "app/window_widgets.h"
#include "tests/app/window_fixture.h"

namespace lcr {
namespace {

QString q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString plain(const QString& toolTip) {
    return QTextDocumentFragment::fromHtml(toolTip).toPlainText();
}

class WindowKeyboardTest : public testing::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        // Without 自动执行 nothing but the keys runs an operation.
        window->control<QCheckBox>(q("选择框自动执行"))->setChecked(false);
    }
    ProgramTextEdit* box(const char* name) { return window->editBox(name); }
    QTabWidget* tabs() { return window->control<QTabWidget>(q("选择夹")); }
    void focus(QWidget* w) {
        w->setFocus(Qt::OtherFocusReason);
        ASSERT_TRUE(QTest::qWaitFor([w] { return w->hasFocus(); }));
    }
};

TEST_F(WindowKeyboardTest, TabLeavesTheExpressionBoxesAndCtrlITypesATab) {
    for (const char* name : {"编辑框提取表达式", "编辑框匹配表达式", "编辑框替换表达式"}) {
        SCOPED_TRACE(name);
        tabs()->setCurrentIndex(QString::fromUtf8(name) == q("编辑框提取表达式") ? 0 : 1);
        ProgramTextEdit* b = box(name);
        b->setProgramText(q("a"));
        focus(b);
        QTest::keyClick(b, Qt::Key_Tab);
        EXPECT_FALSE(b->hasFocus());
        EXPECT_EQ(b->programText(), q("a"));
        focus(b);
        QTest::keyClick(b, Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_FALSE(b->hasFocus());
        EXPECT_EQ(b->programText(), q("a"));

        focus(b);
        b->moveCursor(QTextCursor::End);
        QTest::keyClick(b, Qt::Key_I, Qt::ControlModifier);
        EXPECT_EQ(b->programText(), q("a\t"));
        EXPECT_TRUE(
            plain(b->toolTip()).contains(tabCharacterKeys().toString(QKeySequence::NativeText)));
    }
}

TEST_F(WindowKeyboardTest, CtrlTabStillSwitchesPagesFromAnExpressionBox) {
    focus(box("编辑框提取表达式"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs()->currentIndex(), 1);
    EXPECT_EQ(box("编辑框提取表达式")->programText(), QString());
}

TEST_F(WindowKeyboardTest, CtrlEnterAndF5RunTheCurrentPage) {
    struct Case {
        const char* what;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    const Case cases[] = {{"Ctrl+Return", Qt::Key_Return, Qt::ControlModifier},
                          {"Ctrl+Enter", Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier},
                          {"F5", Qt::Key_F5, Qt::NoModifier}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        tabs()->setCurrentIndex(0);
        window->resultModel()->clear();
        box("编辑框提取文本")->setProgramText(q("a1b22"));
        box("编辑框提取表达式")->setProgramText(q("\\d+"));
        focus(box("编辑框提取表达式"));
        QTest::keyClick(box("编辑框提取表达式"), c.key, c.modifiers);
        EXPECT_EQ(window->resultModel()->rowCount(), 2);
        EXPECT_EQ(box("编辑框提取表达式")->programText(), q("\\d+"));  // no line break typed

        tabs()->setCurrentIndex(1);
        box("编辑框替换结果")->setProgramText(QString());
        box("编辑框替换文本")->setProgramText(q("x1"));
        box("编辑框匹配表达式")->setProgramText(q("\\d"));
        box("编辑框替换表达式")->setProgramText(q("#"));
        focus(box("编辑框替换文本"));
        QTest::keyClick(box("编辑框替换文本"), c.key, c.modifiers);
        EXPECT_EQ(box("编辑框替换结果")->programText(), q("x#"));
        EXPECT_EQ(box("编辑框替换文本")->programText(), q("x1"));
    }
}

TEST_F(WindowKeyboardTest, ACopyShortcutCopiesTheResultAsItsCopyLabelDoes) {
    box("编辑框提取文本")->setProgramText(q("a1b22"));
    box("编辑框提取表达式")->setProgramText(q("\\d+"));
    window->extract();
    focus(box("编辑框提取文本"));
    QTest::keySequence(box("编辑框提取文本"), copyResultKeys());
    EXPECT_EQ(services.clipboard, q("1\n22"));
    EXPECT_EQ(window->control<QLabel>(q("标签13"))->text(), q("已复制"));

    services.clipboard.clear();
    auto* table = window->control<QTableView>(q("提取结果"));
    focus(table);
    QTest::keySequence(table, QKeySequence::Copy);
    EXPECT_EQ(services.clipboard, q("1\n22"));

    tabs()->setCurrentIndex(1);
    box("编辑框替换结果")->setProgramText(q("结果"));
    focus(box("编辑框替换文本"));
    QTest::keySequence(box("编辑框替换文本"), copyResultKeys());
    EXPECT_EQ(services.clipboard, q("结果"));
}

TEST_F(WindowKeyboardTest, ActionLabelsAreReachedWithTabAndPressedWithSpace) {
    QList<ActionLabel*> labels;
    for (QObject* c : window->controlsInOrder()) {
        if (auto* label = qobject_cast<ActionLabel*>(c)) {
            labels << label;
        }
    }
    ASSERT_EQ(labels.size(), 25);  // with the three 解释 labels
    // Every label is in the window's Tab chain and tells what it does.
    QSet<QWidget*> chain;
    for (QWidget* w = window->nextInFocusChain(); w != window.get(); w = w->nextInFocusChain()) {
        chain.insert(w);
    }
    for (ActionLabel* label : labels) {
        EXPECT_TRUE(chain.contains(label)) << label->objectName().toStdString();
        EXPECT_TRUE(label->focusPolicy() & Qt::TabFocus) << label->objectName().toStdString();
        EXPECT_FALSE(label->toolTip().isEmpty()) << label->objectName().toStdString();
    }
    EXPECT_TRUE(plain(window->control<QLabel>(q("标签提取"))->toolTip()).contains(q("F5")));
    EXPECT_TRUE(plain(window->control<QLabel>(q("标签批量提取"))->toolTip()).contains(q("右击")));
    EXPECT_TRUE(
        plain(window->control<QLabel>(q("标签批量替换"))->toolTip()).contains(q("Ctrl+单击")));

    // Tab from the source box's last label reaches the box; Space presses
    // a label: 粘贴.
    services.clipboard = q("粘贴的");
    auto* paste = window->control<ActionLabel>(q("标签10"));
    focus(paste);
    QTest::keyClick(paste, Qt::Key_Space);
    EXPECT_EQ(box("编辑框提取文本")->programText(), q("粘贴的"));
    QTest::keyClick(paste, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), window->control<QWidget>(q("标签11")));
}

TEST_F(WindowKeyboardTest, BatchLabelKeysAreTheirClicks) {
    auto* batch = window->control<QWidget>(q("标签批量提取"));
    focus(batch);
    QTest::keyClick(batch, Qt::Key_Space);  // a left click: the folder chooser
    EXPECT_EQ(services.chooserStartFolders.size(), 1);
    QTest::keyClick(batch, Qt::Key_F10, Qt::ShiftModifier);  // a right click: the file chooser
    EXPECT_EQ(services.chooserStartFolders.size(), 2);
    EXPECT_FALSE(services.lastFileFilter.isEmpty());
}

TEST_F(WindowKeyboardTest, TheArrowKeysMoveThroughTheResultTable) {
    box("编辑框提取文本")->setProgramText(q("1 2 3"));
    box("编辑框提取表达式")->setProgramText(q("\\d"));
    window->extract();
    auto* table = window->control<QTableView>(q("提取结果"));
    focus(table);
    QTest::keyClick(table, Qt::Key_Down);
    const int first = table->currentIndex().row();
    QTest::keyClick(table, Qt::Key_Down);
    EXPECT_EQ(table->currentIndex().row(), first + 1);
    QTest::keyClick(table, Qt::Key_Up);
    EXPECT_EQ(table->currentIndex().row(), first);
    // Tab leaves the table instead of walking its cells.
    QTest::keyClick(table, Qt::Key_Tab);
    EXPECT_FALSE(table->hasFocus());
}

}  // namespace
}  // namespace lcr
