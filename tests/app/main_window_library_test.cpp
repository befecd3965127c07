// The syntax help, the metacharacter buttons, the library combo box and the
// copy of the result table, as the window shows them.
#include <gtest/gtest.h>
#include <QComboBox>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "app/main_window.h"
#include "app/metacharacter_strip.h"
#include "app/program_state.h"
#include "app/window_widgets.h"
#include "dialogs/input_dialog_window.h"
#include "tests/app/scripted_platform_services.h"
#include "tests/app/window_fixture.h"

namespace lcr {
namespace {

class WindowLibrary : public testing::WindowTest {
protected:
    QList<QPushButton*> buttons() {
        auto* strip = window->control<MetacharacterStrip>(QStringLiteral("超级按钮行"));
        if (!strip) {
            strip = window->findChild<MetacharacterStrip*>(QStringLiteral("超级按钮行"));
        }
        QList<QPushButton*> list = strip->row()->findChildren<QPushButton*>();
        std::sort(list.begin(), list.end(),
                  [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
        return list;
    }
    ProgramTextEdit* expressionBox() { return window->editBox("编辑框提取表达式"); }
    void focusExpressionBox() {
        expressionBox()->setFocus();
        QApplication::processEvents();
    }
};

TEST_F(WindowLibrary, TheComboHoldsTheLibraryAndAChoiceInserts) {
    auto* combo = window->control<QComboBox>(QStringLiteral("组合框经典正则"));
    ASSERT_EQ(combo->count(), 54);
    EXPECT_EQ(combo->currentIndex(), 0);  // made current without inserting anything
    EXPECT_EQ(combo->itemText(0), QStringLiteral("【自定义正则】"));
    EXPECT_EQ(combo->itemText(17), QStringLiteral("【网页】"));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("自定义正则.txt"))));

    emit combo->activated(1);  // no expression box focused yet: nothing
    focusExpressionBox();
    emit combo->activated(1);
    EXPECT_EQ(expressionBox()->programText(), QStringLiteral("<#lc#>"));
}

TEST_F(WindowLibrary, FiftySixButtonsEdgeToEdgeThatInsertTheTrimmedToken) {
    const QList<QPushButton*> list = buttons();
    ASSERT_EQ(list.size(), 56);
    EXPECT_EQ(list.first()->text(), QStringLiteral("<#lc#>"));
    EXPECT_EQ(list.first()->geometry(), QRect(0, 0, 42, 16));
    EXPECT_EQ(list[1]->text(), QStringLiteral(" \\ "));
    EXPECT_EQ(list[1]->x(), 42);
    EXPECT_EQ(list.last()->x(), 1932);
    EXPECT_EQ(list.last()->width(), 84);
    for (int i = 1; i < list.size(); ++i) {
        EXPECT_EQ(list[i]->x(), list[i - 1]->geometry().right() + 1) << i;
    }
    QList<QPushButton*> newlines;
    for (QPushButton* b : list) {
        if (b->text() == QStringLiteral("\\n"))
            newlines << b;
    }
    ASSERT_EQ(newlines.size(), 2);
    EXPECT_NE(newlines[0]->toolTip(), newlines[1]->toolTip());

    focusExpressionBox();
    list[1]->click();  // " \ " inserts one backslash
    newlines[0]->click();
    EXPECT_EQ(expressionBox()->programText(), QStringLiteral("\\\\n"));
}

TEST_F(WindowLibrary, TheRowOfButtonsScrollsToItsEnd) {
    auto* strip = window->findChild<MetacharacterStrip*>(QStringLiteral("超级按钮行"));
    QList<QToolButton*> arrows =
        strip->findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_EQ(arrows.size(), 2);
    EXPECT_TRUE(arrows[0]->isVisible());
    EXPECT_EQ(strip->childAt(strip->width() - 8, 8), arrows[1]);  // on top of the row
    strip->scrollTo(100000);
    const QPushButton* last = buttons().last();
    const QPoint lastRight = last->mapTo(strip, QPoint(last->width() - 1, 0));
    EXPECT_LT(lastRight.x(), strip->width());  // the last button can be reached
    EXPECT_GE(lastRight.x(), strip->width() - 40);
    strip->scrollTo(-5);
    EXPECT_EQ(strip->scrollOffset(), 0);
}

TEST_F(WindowLibrary, SyntaxListAndItsRightClick) {
    auto* list = window->control<QTableView>(QStringLiteral("语法"));
    ASSERT_EQ(list->model()->rowCount(), 63);
    EXPECT_EQ(list->model()->index(0, 0).data().toString(), QStringLiteral("<#lc#>"));
    services.clipboard = QStringLiteral("old");
    emit list->customContextMenuRequested(QPoint(-10, -10));  // no current row
    EXPECT_EQ(services.clipboard, QString());
    const QRect row9 = list->visualRect(list->model()->index(8, 0));
    emit list->customContextMenuRequested(row9.center());
    EXPECT_EQ(services.clipboard, QStringLiteral(" \\ "));  // untrimmed
}

TEST_F(WindowLibrary, CopyOfTheTableFollowsTheCopyFormat) {
    window->editBox("编辑框提取文本")->setProgramText(QStringLiteral("k=v a=b c"));
    window->editBox("编辑框提取表达式")->setProgramText(QStringLiteral("(\\w)=(\\w)<#lc#>c"));
    QTest::mouseClick(window->control<QWidget>(QStringLiteral("标签提取")), Qt::LeftButton);
    auto* format = window->control<QLabel>(QStringLiteral("标签19"));
    EXPECT_EQ(format->property("tag").toString(), QStringLiteral("#0"));

    struct Case {
        QString format, copied;
    };
    for (const Case& c :
         {Case{"#0", "k=v\na=b\nc"}, Case{"##. #0 (#1)", "1. k=v (k)\n2. a=b (a)\n1. c ()"},
          Case{"#3", "#3\n#3\n#3"}}) {
        format->setProperty("tag", c.format);
        QTest::mouseClick(window->control<QWidget>(QStringLiteral("标签13")), Qt::LeftButton);
        EXPECT_EQ(services.clipboard, c.copied) << c.format.toStdString();
    }
    EXPECT_EQ(window->control<QLabel>(QStringLiteral("标签13"))->text(), QStringLiteral("已复制"));
}

TEST_F(WindowLibrary, TheFormatDialogSetsTheFormatOrLeavesIt) {
    auto* format = window->control<QLabel>(QStringLiteral("标签19"));
    window->inputDialogs().setOpenedHook([](InputDialogWindow& dialog) {
        dialog.findChild<QPlainTextEdit*>(QStringLiteral("编辑框正文"))
            ->setPlainText(QStringLiteral("## #0"));
        dialog.findChild<QPushButton*>(QStringLiteral("按钮确定"))->click();
    });
    window->editCopyFormat();
    EXPECT_EQ(format->property("tag").toString(), QStringLiteral("## #0"));
    EXPECT_EQ(window->inputDialogs().request().textAreaSize.height(), 50);

    window->inputDialogs().setOpenedHook([](InputDialogWindow& dialog) {
        dialog.findChild<QPlainTextEdit*>(QStringLiteral("编辑框正文"))
            ->setPlainText(QStringLiteral("changed"));
        dialog.findChild<QPushButton*>(QStringLiteral("按钮取消"))->click();
    });
    window->editCopyFormat();
    EXPECT_EQ(format->property("tag").toString(), QStringLiteral("## #0"));
}

}  // namespace
}  // namespace lcr
