// Every change the program makes to an edit box on the user's behalf is one
// undo step of that box, between the user's own typing: the real window,
// driven by clicks and keys.
#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <functional>

#include "app/main_window.h"
#include "app/window_widgets.h"
#include "tests/app/window_fixture.h"

namespace lcr {
namespace {

QString q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class EditBoxUndo : public testing::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        // The operations are not what is tested; on a 10 M-character
        // expression they would only take time.
        window->control<QCheckBox>(q("选择框自动执行"))->setChecked(false);
    }
    ProgramTextEdit* box(const char* name) { return window->editBox(name); }
    void click(const char* name) {
        QTest::mouseClick(window->control<QWidget>(q(name)), Qt::LeftButton);
    }
    // Presses `keys` in `edit` and checks the text and that the box reported
    // the change once.
    static void pressAndExpect(ProgramTextEdit* edit, QKeyCombination keys, const QString& text,
                               const char* what) {
        SCOPED_TRACE(what);
        QSignalSpy changes(edit, &ProgramTextEdit::textChanged);
        QTest::keyClick(edit, keys.key(), keys.keyboardModifiers());
        EXPECT_EQ(edit->programText().size(), text.size());
        EXPECT_TRUE(edit->programText() == text);
        EXPECT_EQ(changes.size(), 1);
    }
    static constexpr QKeyCombination kUndo{Qt::ControlModifier, Qt::Key_Z};
    static constexpr QKeyCombination kRedo{Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z};
    static constexpr QKeyCombination kRedoY{Qt::ControlModifier, Qt::Key_Y};

    // The actions of the labels and the quick insertions, each on a box
    // whose text the user typed: its result, then undo, redo, undo, Ctrl+Y
    // and undo again, and one more undo takes back the typing.
    void checkActions(const QString& before) {
        const struct {
            const char* what;
            const char* box;
            std::function<void()> act;
            QString after;
        } actions[] = {
            {"清空 of the source text", "编辑框提取文本", [&] { click("标签23"); }, QString()},
            {"清空 of an expression", "编辑框匹配表达式", [&] { click("标签25"); }, QString()},
            {"粘贴 into the source text", "编辑框替换文本",
             [&] {
                 services.clipboard = q("贴\n上");
                 click("标签20");
             },
             q("贴\r\n上")},
            {"粘贴 into an expression", "编辑框替换表达式",
             [&] {
                 services.clipboard = q("$1");
                 click("标签16");
             },
             q("$1")},
            {"a metacharacter button", "编辑框提取表达式",
             [&] { window->findChild<QPushButton*>(q("超级按钮_1"))->click(); },
             before + window->findChild<QPushButton*>(q("超级按钮_1"))->text()},
        };
        for (const auto& a : actions) {
            SCOPED_TRACE(a.what);
            ProgramTextEdit* edit = box(a.box);
            edit->resetProgramText(QString());
            edit->setFocus();
            QApplication::processEvents();
            if (before.size() < 100) {
                QTest::keyClicks(edit, before);
            } else {
                edit->resetProgramText(before);  // a large text the box started with
            }
            QTest::keyClick(edit, Qt::Key_End, Qt::ControlModifier);
            QSignalSpy changes(edit, &ProgramTextEdit::textChanged);
            a.act();
            ASSERT_TRUE(edit->programText() == a.after);
            EXPECT_EQ(changes.size(), 1);
            pressAndExpect(edit, kUndo, before, "undo");
            pressAndExpect(edit, kRedo, a.after, "redo");
            pressAndExpect(edit, kUndo, before, "undo again");
            pressAndExpect(edit, kRedoY, a.after, "Ctrl+Y");
            pressAndExpect(edit, kUndo, before, "and undo");
            if (before.size() < 100) {
                pressAndExpect(edit, kUndo, QString(), "the typing before");
            }
        }
    }
};

TEST_F(EditBoxUndo, EachActionIsOneStepOnASmallText) {
    checkActions(q("typed abc"));
}

TEST_F(EditBoxUndo, EachActionIsOneStepOnATenMillionCharacterText) {
    QString big;
    big.reserve(10'000'000);
    while (big.size() < 10'000'000) {
        big += q("一行文字 line of text 0123456789 abcdefghijklmnopqrstuvwxyz 第二部分\r\n");
    }
    checkActions(big);
}

TEST_F(EditBoxUndo, TheLibraryInsertsAsOneStep) {
    auto* combo = window->control<QComboBox>(q("组合框经典正则"));
    ASSERT_GT(combo->count(), 1);
    ProgramTextEdit* edit = box("编辑框提取表达式");
    edit->setFocus();
    QApplication::processEvents();
    QTest::keyClicks(edit, q("ab"));
    emit combo->activated(1);  // the first entry after the heading
    const QString inserted = edit->programText();
    ASSERT_EQ(inserted, q("ab<#lc#>"));
    pressAndExpect(edit, kUndo, q("ab"), "undo");
    pressAndExpect(edit, kRedo, inserted, "redo");
}

// Typing right after a change of the program is a step of its own, and so
// is the change: undo takes them back one by one, redo brings them again.
TEST_F(EditBoxUndo, ProgramStepsAndTypingInterleave) {
    ProgramTextEdit* edit = box("编辑框提取表达式");
    edit->setFocus();
    QApplication::processEvents();
    QTest::keyClicks(edit, q("ab"));
    window->quickInsert(q("\\d"));
    QTest::keyClicks(edit, q("cd"));
    services.clipboard = q("x");
    click("标签8");  // 粘贴
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClicks(edit, q("yz"));
    const QString steps[] = {q("ab"), q("ab\\d"), q("ab\\dcd"), q("x"), q("xyz")};
    for (int i = 3; i >= 0; --i) {
        pressAndExpect(edit, kUndo, steps[i], "undo");
    }
    pressAndExpect(edit, kUndo, QString(), "undo the first typing");
    EXPECT_FALSE(edit->isUndoAvailable());
    for (const QString& step : steps) {
        pressAndExpect(edit, kRedo, step, "redo");
    }
    EXPECT_FALSE(edit->isRedoAvailable());

    // A new change after undoing ends the way forward.
    pressAndExpect(edit, kUndo, q("x"), "undo");
    pressAndExpect(edit, kUndo, q("ab\\dcd"), "undo the paste");
    click("标签22");  // 清空
    EXPECT_FALSE(edit->isRedoAvailable());
    pressAndExpect(edit, kUndo, q("ab\\dcd"), "undo the clearing");
    QTest::keyClicks(edit, q("!"));
    EXPECT_FALSE(edit->isRedoAvailable());
}

// Memory for whole-text steps is bounded: the box keeps the last few and
// drops the oldest.
TEST_F(EditBoxUndo, OnlyTheLastFewWholeTextStepsAreKept) {
    ProgramTextEdit* edit = box("编辑框提取文本");
    for (int i = 1; i <= ProgramTextEdit::kKeptWholeTextSteps + 2; ++i) {
        services.clipboard = QString::number(i);
        click("标签10");
    }
    edit->setFocus();
    for (int i = ProgramTextEdit::kKeptWholeTextSteps + 1; i >= 2; --i) {
        pressAndExpect(edit, kUndo, QString::number(i), "undo");
    }
    EXPECT_FALSE(edit->isUndoAvailable());
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit->programText(), q("2"));
}

// The replace result is the program's output: writing it records nothing.
TEST_F(EditBoxUndo, TheResultBoxRecordsNoStep) {
    box("编辑框替换文本")->setProgramText(q("abc"));
    box("编辑框匹配表达式")->setProgramText(q("b"));
    box("编辑框替换表达式")->setProgramText(q("1"));
    click("标签替换");
    box("编辑框替换表达式")->setProgramText(q("2"));
    click("标签替换");
    ProgramTextEdit* result = box("编辑框替换结果");
    ASSERT_EQ(result->programText(), q("a2c"));
    EXPECT_FALSE(result->isUndoAvailable());
    result->setFocus();
    QTest::keyClick(result, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(result->programText(), q("a2c"));
}

// The context menu's Undo and Redo take the same steps as the keys.
TEST_F(EditBoxUndo, TheContextMenuUndoesProgramSteps) {
    ProgramTextEdit* edit = box("编辑框提取文本");
    edit->resetProgramText(q("kept"));
    click("标签23");  // 清空
    auto trigger = [&](const char* name) {
        const QPoint at(5, 5);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, edit->viewport()->mapToGlobal(at));
        QApplication::sendEvent(edit->viewport(), &event);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        QAction* action = menu->findChild<QAction*>(q(name));
        ASSERT_NE(action, nullptr);
        EXPECT_TRUE(action->isEnabled());
        action->trigger();
        menu->close();
    };
    trigger("edit-undo");
    EXPECT_EQ(edit->programText(), q("kept"));
    trigger("edit-redo");
    EXPECT_EQ(edit->programText(), QString());
}

// The texts restored at start are where the history begins.
TEST_F(EditBoxUndo, ARestoredTextIsNoStep) {
    ProgramTextEdit* edit = box("编辑框提取文本");
    edit->setProgramText(q("earlier"));
    edit->resetProgramText(q("restored"));
    EXPECT_FALSE(edit->isUndoAvailable());
    EXPECT_FALSE(edit->isRedoAvailable());
}

}  // namespace
}  // namespace lcr
