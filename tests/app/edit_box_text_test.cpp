// The edit boxes hand the program exactly the characters they were given,
// typed or pasted, and every paste path takes any kind of line break: the
// real window, its boxes and labels, driven by keys and clicks.
#include <gtest/gtest.h>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

#include "app/main_window.h"
#include "app/result_table_model.h"
#include "app/window_widgets.h"
#include "tests/app/window_fixture.h"

namespace lcr {
namespace {

QString q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Characters Qt's plain-text conversions change or cannot hold: U+2028 and
// U+2029 (line and paragraph separator), U+00A0, U+FEFF, U+FFFC, the frame
// markers U+FDD0 and U+FDD1 of Qt's documents, and lone surrogates.
const char16_t kTouchyCharacters[] = {0x2028, 0x2029, 0x00A0, 0xFEFF, 0xFFFC,
                                      0xFDD0, 0xFDD1, 0xD800, 0xDC00};

const char* const kEditBoxes[] = {"编辑框提取文本",   "编辑框提取表达式", "编辑框替换文本",
                                  "编辑框匹配表达式", "编辑框替换表达式", "编辑框替换结果"};

// The paste label of each box that has one.
const struct {
    const char* label;
    const char* box;
} kPasteLabels[] = {{"标签10", "编辑框提取文本"},
                    {"标签8", "编辑框提取表达式"},
                    {"标签20", "编辑框替换文本"},
                    {"标签14", "编辑框匹配表达式"},
                    {"标签16", "编辑框替换表达式"}};

QString around(char16_t c) {
    return QStringLiteral("a") + QChar(c) + QStringLiteral("b");
}

// Code units in hex, so a failure shows which character went wrong.
std::string hex(const QString& s) {
    std::string out;
    for (QChar c : s) {
        out += QString::asprintf("%04X ", c.unicode()).toStdString();
    }
    return out;
}

class EditBoxText : public testing::WindowTest {
protected:
    ProgramTextEdit* box(const char* name) { return window->editBox(name); }
    void click(const char* name) {
        QTest::mouseClick(window->control<QWidget>(q(name)), Qt::LeftButton);
    }
    // A key press that carries `text`, as a keyboard layout or an input
    // method delivers a character that has no key of its own.
    static void typeText(QWidget* widget, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
        QApplication::sendEvent(widget, &press);
    }
    static void placeCaret(ProgramTextEdit* edit, int position) {
        QTextCursor cursor = edit->textCursor();
        cursor.setPosition(position);
        edit->setTextCursor(cursor);
    }
    QStringList matches() {
        QStringList rows;
        for (int r = 0; r < window->resultModel()->rowCount(); ++r) {
            rows << window->resultModel()->index(r, 1).data().toString();
        }
        return rows;
    }
};

TEST_F(EditBoxText, EveryBoxKeepsEveryCharacter) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    for (const char* name : kEditBoxes) {
        ProgramTextEdit* edit = box(name);
        for (char16_t c : kTouchyCharacters) {
            SCOPED_TRACE(std::string(name) + " U+" + QString::number(c, 16).toStdString());
            const QString given = around(c) + QStringLiteral("\r\nc");

            // Written by the program, then read back from the document after
            // an edit elsewhere.
            edit->setProgramText(given);
            edit->setFocus();
            QTest::keyClick(edit, Qt::Key_End, Qt::ControlModifier);
            QTest::keyClicks(edit, QStringLiteral("d"));
            QTest::keyClick(edit, Qt::Key_Backspace);
            EXPECT_EQ(hex(edit->programText()), hex(given));

            // Copied with the keyboard: the clipboard has the desktop's breaks.
            QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
            EXPECT_EQ(hex(clipboard->text()), hex(around(c) + QStringLiteral("\nc")));

            // Pasted with the keyboard, over the selection.
            clipboard->setText(QStringLiteral("x") + QChar(c) + QStringLiteral("y\r\nz"));
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
            EXPECT_EQ(hex(edit->programText()),
                      hex(QStringLiteral("x") + QChar(c) + QStringLiteral("y\r\nz")));

            // Typed at the start (no keyboard delivers half a character).
            if (QChar::isSurrogate(c)) {
                continue;
            }
            placeCaret(edit, 0);
            typeText(edit, QString(QChar(c)));
            EXPECT_EQ(hex(edit->programText()),
                      hex(QChar(c) + QStringLiteral("x") + QChar(c) + QStringLiteral("y\r\nz")));
        }
    }
}

// What the issue reported: "a\u2028b" pasted into the source box gave two
// matches for \S+. Every character but a lone surrogate (which no
// expression matches) is one non-space character to the engine.
TEST_F(EditBoxText, OperationsSeeTheCharactersThemselves) {
    box("编辑框提取表达式")->setProgramText(QStringLiteral("\\S+"));
    box("编辑框匹配表达式")->setProgramText(QStringLiteral("\\S+"));
    box("编辑框替换表达式")->setProgramText(QStringLiteral("[$0]"));
    for (char16_t c : kTouchyCharacters) {
        if (QChar::isSurrogate(c)) {
            continue;
        }
        SCOPED_TRACE("U+" + QString::number(c, 16).toStdString());
        services.clipboard = around(c);
        click("标签10");  // 粘贴 into the source text
        click("标签提取");
        EXPECT_EQ(matches(), QStringList{around(c)});

        click("标签20");  // 粘贴 into the text to replace in
        click("标签替换");
        EXPECT_EQ(hex(box("编辑框替换结果")->programText()), hex(u'[' + around(c) + u']'));
    }
}

// Editing next to a character the document holds in a stand-in: the
// character stays itself, and a line break typed beside it is a line break.
TEST_F(EditBoxText, EditingBesideAKeptCharacter) {
    const QString ps = QString(QChar(0x2029));
    const QString ls = QString(QChar(0x2028));
    const struct {
        const char* what;
        QString given;
        int caret;
        std::function<void(ProgramTextEdit*)> keys;
        QString expected;
    } cases[] = {
        {"Enter before it", "a" + ps + "b", 1,
         [](ProgramTextEdit* e) { QTest::keyClick(e, Qt::Key_Return); }, "a\r\n" + ps + "b"},
        {"Enter after it", "a" + ps + "b", 2,
         [](ProgramTextEdit* e) { QTest::keyClick(e, Qt::Key_Return); }, "a" + ps + "\r\nb"},
        {"typing after it, then Enter", "a" + ps + "b", 2,
         [](ProgramTextEdit* e) {
             QTest::keyClicks(e, QStringLiteral("xy"));
             QTest::keyClick(e, Qt::Key_Return);
         },
         "a" + ps + "xy\r\nb"},
        {"a U+2028 typed after it", "a" + ps + "b", 2,
         [ls](ProgramTextEdit* e) { typeText(e, ls); }, "a" + ps + ls + "b"},
        {"Shift+Enter is a line break", "ab", 1,
         [](ProgramTextEdit* e) { QTest::keyClick(e, Qt::Key_Return, Qt::ShiftModifier); },
         "a\r\nb"},
        {"Backspace removes it", "a" + ps + "b", 2,
         [](ProgramTextEdit* e) { QTest::keyClick(e, Qt::Key_Backspace); }, "ab"},
        {"Delete removes it", "a" + ps + "b", 1,
         [](ProgramTextEdit* e) { QTest::keyClick(e, Qt::Key_Delete); }, "ab"},
        {"undo brings it back", "a" + ps + "b", 2,
         [](ProgramTextEdit* e) {
             QTest::keyClick(e, Qt::Key_Backspace);
             QTest::keyClick(e, Qt::Key_Z, Qt::ControlModifier);
         },
         "a" + ps + "b"},
        {"cut and paste moves it", "a" + ps + "b", 0,
         [](ProgramTextEdit* e) {
             QTest::keyClick(e, Qt::Key_Right, Qt::ShiftModifier);
             QTest::keyClick(e, Qt::Key_Right, Qt::ShiftModifier);
             QTest::keyClick(e, Qt::Key_X, Qt::ControlModifier);
             QTest::keyClick(e, Qt::Key_End);
             QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
         },
         "ba" + ps},
    };
    ProgramTextEdit* edit = box("编辑框提取表达式");
    edit->setFocus();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        edit->setProgramText(c.given);
        placeCaret(edit, c.caret);
        c.keys(edit);
        EXPECT_EQ(hex(edit->programText()), hex(c.expected));
    }
}

// The clipboard may hold CR LF, lone CR or lone LF: each is one line break
// of the box, whichever way the text is pasted.
TEST_F(EditBoxText, PastingTakesAnyLineBreaks) {
    const struct {
        QString clipboard;
        QString expected;
    } cases[] = {
        {"a\r\nb", "a\r\nb"},     {"a\rb", "a\r\nb"},
        {"a\nb", "a\r\nb"},       {"a\r\n\r\nb\r\n", "a\r\n\r\nb\r\n"},
        {"a\n\rb", "a\r\n\r\nb"}, {"\r\r\n\n", "\r\n\r\n\r\n"},
    };
    for (const auto& [label, name] : kPasteLabels) {
        ProgramTextEdit* edit = box(name);
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(label) + " " + hex(c.clipboard));
            QSignalSpy changes(edit, &ProgramTextEdit::textChanged);
            services.clipboard = c.clipboard;
            click(label);
            EXPECT_EQ(hex(edit->programText()), hex(c.expected));
            EXPECT_EQ(changes.size(), 1);

            edit->setProgramText(QString());
            edit->setFocus();
            QGuiApplication::clipboard()->setText(c.clipboard);
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
            EXPECT_EQ(hex(edit->programText()), hex(c.expected));
        }
    }
}

}  // namespace
}  // namespace lcr
