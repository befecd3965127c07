#include "dialogs/input_dialog.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFrame>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QtMath>
#include <functional>

#include "dialogs/input_dialog_window.h"
#include "dialogs/program_text_edit.h"
#include "tests/dialogs/scripted_dialog_services.h"

namespace lcr {
namespace {

const QString kFormatPrompt = QStringLiteral(
    "请输入要复制的列：## 序号列，#0 提取文本列，子文本列按顺序引用 #1 #2 #3 ...\r\n"
    "可以多列组合引用（批量提取时使用这里的设置格式输出保存）：");

class InputDialogTest : public ::testing::Test {
protected:
    // Runs `steps` once the dialog is open; a dialog the steps leave open is
    // cancelled, so a failing test never waits for a user.
    void onOpen(std::function<void(InputDialogWindow&)> steps) {
        host.setOpenedHook([steps = std::move(steps)](InputDialogWindow& window) {
            steps(window);
            if (window.isVisible()) {
                ADD_FAILURE() << "the dialog was left open";
                window.done(QDialog::Rejected);
            }
        });
    }

    static QPushButton* button(InputDialogWindow& w, const char* name) {
        return w.findChild<QPushButton*>(QString::fromUtf8(name));
    }
    static QPlainTextEdit* edit(InputDialogWindow& w, const char* name) {
        return w.findChild<QPlainTextEdit*>(QString::fromUtf8(name));
    }
    // The height the prompt's text takes as its box lays it out: every
    // line of every wrapped paragraph.
    static int laidOutHeight(QPlainTextEdit* box) {
        auto* layout = qobject_cast<QPlainTextDocumentLayout*>(box->document()->documentLayout());
        qreal height = 0;
        for (QTextBlock b = box->document()->begin(); b.isValid(); b = b.next()) {
            layout->ensureBlockLayout(b);
            for (int i = 0; i < b.layout()->lineCount(); ++i) {
                height += b.layout()->lineAt(i).height();
            }
        }
        return qCeil(height);
    }
    // The prompt box shows all its lines, and no more than one line of
    // room beyond them.
    static void expectPromptFits(InputDialogWindow& w) {
        QPlainTextEdit* prompt = edit(w, "编辑框提示");
        EXPECT_GE(prompt->height(), laidOutHeight(prompt));
        EXPECT_LE(prompt->height(), laidOutHeight(prompt) + prompt->fontMetrics().lineSpacing());
    }

    testing::ScriptedDialogServices services;
    InputDialogHost host{services};
};

TEST_F(InputDialogTest, FormatDialogIsCentredAndSizedForItsWantedHeight) {
    QString format = QStringLiteral("#0");
    onOpen([&](InputDialogWindow& w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("岚川："));
        EXPECT_TRUE(w.isModal());
        // The prompt's two paragraphs are never cut, whatever the font.
        QPlainTextEdit* prompt = edit(w, "编辑框提示");
        const int promptHeight = prompt->height();
        expectPromptFits(w);
        EXPECT_EQ(prompt->geometry(), QRect(5, 5, 485, promptHeight));
        // The prompt + 2 × 5 + 50 + 3 × 5 + 24: the text box gets the wanted
        // 50 pixels and the difference between three margins and the button
        // against the 34-pixel strip.
        EXPECT_EQ(w.size(), QSize(495, promptHeight + 99));
        EXPECT_EQ(w.pos(), QPoint(392, static_cast<int>((800 - 30) / 2.0 - w.height() / 2.0)));
        EXPECT_EQ(edit(w, "编辑框正文")->geometry(), QRect(5, promptHeight + 10, 485, 55));
        EXPECT_EQ(w.findChild<QFrame*>(QStringLiteral("外形框"))->pos(),
                  QPoint(5, promptHeight + 65));
        EXPECT_EQ(button(w, "按钮取消")->pos(), QPoint(426, promptHeight + 70));
        EXPECT_EQ(button(w, "按钮确定")->pos(), QPoint(362, promptHeight + 70));
        EXPECT_EQ(edit(w, "编辑框正文")->toPlainText(), QStringLiteral("#0"));
        EXPECT_EQ(w.focusWidget(), edit(w, "编辑框正文"));
        // The caret waits after the old format.
        EXPECT_EQ(edit(w, "编辑框正文")->textCursor().position(), 2);
        EXPECT_FALSE(button(w, "按钮文件")->isVisible());
        EXPECT_FALSE(button(w, "按钮文件名")->isVisible());

        edit(w, "编辑框正文")->setPlainText(QStringLiteral("## #0\n#1"));
        button(w, "按钮确定")->click();
    });
    EXPECT_TRUE(host.showInputDialog(format, kFormatPrompt, {}, nullptr, &format, 0, false, 0, 50));
    EXPECT_EQ(format, QStringLiteral("## #0\r\n#1"));
    EXPECT_TRUE(host.result().dialogAccepted);
    EXPECT_EQ(host.request().prompt, kFormatPrompt);
    EXPECT_EQ(host.request().textAreaSize, QSize(0, 50));
    EXPECT_FALSE(host.isOpen());
}

TEST_F(InputDialogTest, ConfirmAndCancel) {
    // "确定" with an untouched text returns it exactly, lone LF included.
    QString result = QStringLiteral("old");
    onOpen([&](InputDialogWindow& w) { button(w, "按钮确定")->click(); });
    EXPECT_TRUE(host.showInputDialog(QStringLiteral("a\nb"), {}, {}, nullptr, &result));
    EXPECT_EQ(result, QStringLiteral("a\nb"));

    // An empty confirmed text is a result like any other.
    onOpen([&](InputDialogWindow& w) {
        button(w, "按钮清空")->click();
        button(w, "按钮确定")->click();
    });
    EXPECT_TRUE(host.showInputDialog(QStringLiteral("#0"), {}, {}, nullptr, &result));
    EXPECT_EQ(result, QString());

    // "取消" asks nothing, even after a change, and leaves the result alone.
    result = QStringLiteral("kept");
    onOpen([&](InputDialogWindow& w) {
        edit(w, "编辑框正文")->setPlainText(QStringLiteral("changed"));
        button(w, "按钮取消")->click();
    });
    EXPECT_FALSE(host.showInputDialog(QStringLiteral("#0"), {}, {}, nullptr, &result));
    EXPECT_EQ(result, QStringLiteral("kept"));
    EXPECT_FALSE(host.result().dialogAccepted);
    EXPECT_TRUE(services.messages.isEmpty());
}

TEST_F(InputDialogTest, CloseBoxAsksOnlyAboutAChangedText) {
    QString result = QStringLiteral("kept");
    services.answers << false << true;
    onOpen([&](InputDialogWindow& w) {
        QTest::keyClicks(edit(w, "编辑框正文"), QStringLiteral("x"));
        w.close();  // No: the window stays, with the changed text
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(w.programText(), QStringLiteral("#0x"));  // typed after the text
        w.close();                                          // Yes
        EXPECT_FALSE(w.isVisible());
    });
    EXPECT_FALSE(host.showInputDialog(QStringLiteral("#0"), {}, {}, nullptr, &result));
    EXPECT_EQ(result, QStringLiteral("kept"));
    ASSERT_EQ(services.messages.size(), 2);
    EXPECT_EQ(services.messages[0].title, QStringLiteral("岚川："));
    EXPECT_EQ(services.messages[0].text, QStringLiteral("内容已被改动，是否要放弃？"));
    EXPECT_TRUE(services.messages[0].question);

    // Unchanged (CR LF shown as the widget's breaks is no change), and
    // Escape: no question.
    services.messages.clear();
    onOpen([&](InputDialogWindow& w) { QTest::keyClick(&w, Qt::Key_Escape); });
    EXPECT_FALSE(host.showInputDialog(QStringLiteral("a\r\nb"), {}, {}, nullptr, &result));
    EXPECT_TRUE(services.messages.isEmpty());
}

TEST_F(InputDialogTest, DisplayMode) {
    onOpen([&](InputDialogWindow& w) {
        EXPECT_FALSE(button(w, "按钮确定")->isVisible());
        EXPECT_FALSE(w.findChild<QFrame*>(QStringLiteral("外形框"))->isVisible());
        EXPECT_TRUE(edit(w, "编辑框提示")->font().bold());
        EXPECT_EQ(edit(w, "编辑框提示")->toPlainText(), QStringLiteral("以下为信息详情："));
        EXPECT_TRUE(edit(w, "编辑框正文")->isReadOnly());
        QPushButton* close = button(w, "按钮取消");
        EXPECT_EQ(close->text(), QStringLiteral("关闭(&G)"));
        EXPECT_TRUE(close->isDefault());
        // Typing does nothing; closing asks nothing; Enter closes.
        QTest::keyClicks(edit(w, "编辑框正文"), QStringLiteral("x"));
        EXPECT_EQ(w.programText(), QStringLiteral("详情"));
        QTest::keyClick(edit(w, "编辑框正文"), Qt::Key_Return);
        EXPECT_FALSE(w.isVisible());
    });
    EXPECT_FALSE(host.showInputDialog(QStringLiteral("详情"), QString()));
    EXPECT_TRUE(host.request().displayOnly);
    EXPECT_TRUE(services.messages.isEmpty());
}

TEST_F(InputDialogTest, Prompts) {
    QString result;
    // Omitted: an empty prompt box, 0 high, the text box two margins down.
    onOpen([&](InputDialogWindow& w) {
        EXPECT_EQ(edit(w, "编辑框提示")->toPlainText(), QString());
        EXPECT_EQ(edit(w, "编辑框提示")->height(), 0);
        EXPECT_EQ(edit(w, "编辑框正文")->y(), 10);
        w.done(QDialog::Rejected);
    });
    host.showInputDialog(QString(), std::nullopt, {}, nullptr, &result);

    // Given but empty, in input mode.
    onOpen([&](InputDialogWindow& w) {
        EXPECT_EQ(edit(w, "编辑框提示")->toPlainText(), QStringLiteral("请输入数据："));
        w.done(QDialog::Rejected);
    });
    host.showInputDialog(QString(), QString(), {}, nullptr, &result);

    // One empty line between two CR LF: three display lines, and a margin
    // of 8.
    onOpen([&](InputDialogWindow& w) {
        const int three = edit(w, "编辑框提示")->height();
        expectPromptFits(w);
        EXPECT_GE(three, 3 * edit(w, "编辑框提示")->fontMetrics().height());
        EXPECT_EQ(edit(w, "编辑框提示")->geometry(), QRect(8, 8, 495 - 16, three));
        EXPECT_EQ(edit(w, "编辑框正文")->y(), 8 + three + 8);
        EXPECT_EQ(w.windowTitle(), QStringLiteral("标题"));
        w.done(QDialog::Rejected);
    });
    host.showInputDialog(QString(), QStringLiteral("上\r\n\r\n下"), QStringLiteral("标题"), nullptr,
                         &result, 0, false, 0, 0, false, 8);
}

TEST_F(InputDialogTest, WantedWidthSizesTheClientAroundIt) {
    QString result;
    onOpen([&](InputDialogWindow& w) {
        EXPECT_EQ(w.width(), 300 + 10);
        // With the width set first, the height sees the prompt's real
        // height (one line), so the text box gets its wanted height plus
        // the difference between three margins and the button against the
        // strip.
        const int line = edit(w, "编辑框提示")->height();
        expectPromptFits(w);
        EXPECT_EQ(w.height(), line + 10 + 80 + 15 + 24);
        EXPECT_EQ(edit(w, "编辑框正文")->geometry(), QRect(5, line + 10, 300, 80 + 5));
        w.done(QDialog::Rejected);
    });
    host.showInputDialog(QString(), QStringLiteral("提示"), {}, nullptr, &result, 0, false, 300,
                         80);
}

TEST_F(InputDialogTest, EditingButtons) {
    QString result;
    services.clipboard = QStringLiteral("x\ny");
    onOpen([&](InputDialogWindow& w) {
        button(w, "按钮恢复")->click();
        ASSERT_EQ(services.messages.size(), 1);
        EXPECT_EQ(services.messages[0].title, QStringLiteral("岚川："));
        EXPECT_EQ(services.messages[0].text, QStringLiteral("启动值为空！"));
        EXPECT_FALSE(services.messages[0].question);
        button(w, "按钮粘贴")->click();
        EXPECT_EQ(w.programText(), QStringLiteral("x\r\ny"));
        button(w, "按钮确定")->click();
    });
    EXPECT_TRUE(host.showInputDialog(QString(), {}, {}, nullptr, &result));
    EXPECT_EQ(result, QStringLiteral("x\r\ny"));

    onOpen([&](InputDialogWindow& w) {
        button(w, "按钮清空")->click();
        button(w, "按钮恢复")->click();
        EXPECT_EQ(w.programText(), QStringLiteral("起\r\n始"));
        w.done(QDialog::Rejected);
    });
    host.showInputDialog(QStringLiteral("起\r\n始"), {}, {}, nullptr, &result);
    EXPECT_EQ(services.messages.size(), 1);
}

// The text box hands back exactly the characters it was given or that were
// pasted: none of them is a change, and its paste takes any line break.
TEST_F(InputDialogTest, TheTextKeepsEveryCharacter) {
    QString kept = QStringLiteral("a");
    for (char16_t c : {0x2028, 0x2029, 0x00A0, 0xFEFF, 0xFFFC, 0xFDD0, 0xFDD1, 0xD800}) {
        kept += QChar(c);
    }
    kept += QStringLiteral("\r\nb");
    QString result;
    onOpen([&](InputDialogWindow& w) {
        QTest::keyClick(edit(w, "编辑框正文"), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(edit(w, "编辑框正文"), QStringLiteral("x"));
        button(w, "按钮确定")->click();
    });
    EXPECT_TRUE(host.showInputDialog(kept, {}, {}, nullptr, &result));
    EXPECT_EQ(result.toStdU16String(), (kept + QStringLiteral("x")).toStdU16String());

    // Untouched: closing asks nothing.
    onOpen([&](InputDialogWindow& w) { QTest::keyClick(&w, Qt::Key_Escape); });
    EXPECT_FALSE(host.showInputDialog(kept, {}, {}, nullptr, &result));
    EXPECT_TRUE(services.messages.isEmpty());

    services.clipboard = QStringLiteral("p\r\nq\rr\n") + QChar(0x2029);
    onOpen([&](InputDialogWindow& w) {
        button(w, "按钮粘贴")->click();
        button(w, "按钮确定")->click();
    });
    EXPECT_TRUE(host.showInputDialog(QString(), {}, {}, nullptr, &result));
    EXPECT_EQ(result.toStdU16String(),
              (QStringLiteral("p\r\nq\r\nr\r\n") + QChar(0x2029)).toStdU16String());
}

TEST_F(InputDialogTest, ImportsFileContentsAndNames) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString good = dir.filePath(QStringLiteral("甲.txt"));
    QFile file(good);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    // "中文" in GB18030, then a zero byte: the text ends there.
    file.write(QByteArray("\xD6\xD0\xCE\xC4\r\nb\0tail", 11));
    file.close();
    const QString missing = dir.filePath(QStringLiteral("无.txt"));

    QString result;
    services.fileAnswers << QStringList{good, missing} << QStringList{good} << QStringList{};
    onOpen([&](InputDialogWindow& w) {
        EXPECT_TRUE(button(w, "按钮文件")->isVisible());
        EXPECT_TRUE(button(w, "按钮文件名")->isVisible());
        button(w, "按钮文件")->click();
        button(w, "按钮文件名")->click();
        button(w, "按钮文件名")->click();  // cancelled: nothing appended
        button(w, "按钮确定")->click();
    });
    EXPECT_TRUE(host.showInputDialog(QStringLiteral("前"), {}, {}, nullptr, &result, 0, false, 0, 0,
                                     false, 0, 3));
    // A file that cannot be read gives an empty line.
    EXPECT_EQ(result, QStringLiteral("前中文\r\nb\r\n\r\n") + good + QStringLiteral("\r\n"));
    EXPECT_EQ(services.chooserTitles,
              QStringList({QStringLiteral("选择多个文件，将导入其文件内容"),
                           QStringLiteral("选择多个文件，将导入其文件路径"),
                           QStringLiteral("选择多个文件，将导入其文件路径")}));
    EXPECT_EQ(services.lastFilter,
              QStringLiteral("文本文本|*.txt;*.text;*.ini;*.htn;*.html|全部文件|*.*"));

    // 1 shows only "内容", 2 only "文件名".
    for (int buttons : {1, 2}) {
        onOpen([&](InputDialogWindow& w) {
            EXPECT_EQ(button(w, "按钮文件")->isVisible(), buttons == 1);
            EXPECT_EQ(button(w, "按钮文件名")->isVisible(), buttons == 2);
            w.done(QDialog::Rejected);
        });
        host.showInputDialog(QString(), {}, {}, nullptr, &result, 0, false, 0, 0, false, 0,
                             buttons);
    }
}

// Each editing button is one undo step of the text box: Ctrl+Z brings back
// the text before it, Ctrl+Shift+Z the text after it.
TEST_F(InputDialogTest, EachButtonIsOneUndoStep) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("c.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("c");
    file.close();
    services.clipboard = QStringLiteral("p\nq");
    services.fileAnswers << QStringList{path} << QStringList{path, path};
    const QString start = QStringLiteral("起始");
    const struct {
        const char* button;
        QString after;
    } steps[] = {
        {"按钮清空", QString()},
        {"按钮粘贴", QStringLiteral("p\r\nq")},
        {"按钮恢复", start},
        {"按钮文件", start + QStringLiteral("c\r\n")},
        {"按钮文件名", start + QStringLiteral("c\r\n") + path + QStringLiteral("\r\n") + path +
                           QStringLiteral("\r\n")},
    };
    onOpen([&](InputDialogWindow& w) {
        auto* text = w.findChild<ProgramTextEdit*>(QStringLiteral("编辑框正文"));
        ASSERT_NE(text, nullptr);
        EXPECT_FALSE(text->isUndoAvailable());  // the initial text is no step
        QString before = start;
        for (const auto& step : steps) {
            SCOPED_TRACE(step.button);
            button(w, step.button)->click();
            EXPECT_EQ(w.programText(), step.after);
            QTest::keyClick(text, Qt::Key_Z, Qt::ControlModifier);
            EXPECT_EQ(w.programText(), before);
            QTest::keyClick(text, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
            EXPECT_EQ(w.programText(), step.after);
            before = step.after;
        }
        w.done(QDialog::Rejected);
    });
    QString result;
    host.showInputDialog(start, {}, {}, nullptr, &result, 0, false, 0, 0, false, 0, 3);
}

TEST_F(InputDialogTest, OneDialogAtATime) {
    QString result;
    onOpen([&](InputDialogWindow& w) {
        EXPECT_TRUE(host.isOpen());
        QString inner = QStringLiteral("untouched");
        EXPECT_FALSE(host.showInputDialog(QStringLiteral("second"), {}, {}, nullptr, &inner));
        EXPECT_EQ(inner, QStringLiteral("untouched"));
        EXPECT_EQ(host.request().initialText, QStringLiteral("first"));
        w.done(QDialog::Rejected);
    });
    host.showInputDialog(QStringLiteral("first"), {}, {}, nullptr, &result);
    EXPECT_FALSE(host.isOpen());

    // The record keeps the last call's values after the window has closed.
    EXPECT_EQ(host.request().initialText, QStringLiteral("first"));
    EXPECT_EQ(host.request().title, QStringLiteral("岚川："));

    // A read-only text box in input mode, and a maximized window.
    onOpen([&](InputDialogWindow& w) {
        EXPECT_TRUE(edit(w, "编辑框正文")->isReadOnly());
        EXPECT_TRUE(w.isMaximized());
        EXPECT_TRUE(button(w, "按钮确定")->isVisible());
        button(w, "按钮确定")->click();
    });
    EXPECT_TRUE(host.showInputDialog(QStringLiteral("ro"), {}, {}, nullptr, &result, 1, true));
    EXPECT_EQ(result, QStringLiteral("ro"));
}

}  // namespace
}  // namespace lcr
