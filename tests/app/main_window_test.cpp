#include "app/main_window.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "app/application.h"
#include "app/program_state.h"
#include "app/window_widgets.h"
#include "tests/app/scripted_platform_services.h"
#include "tests/app/window_fixture.h"

namespace lcr {
namespace {

class MainWindowTest : public testing::WindowTest {
protected:
    QWidget* widget(const char* name) {
        QWidget* w = window->control<QWidget>(QString::fromUtf8(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString text(const char* name) {
        QObject* c = window->control(QString::fromUtf8(name));
        if (auto* link = qobject_cast<HyperlinkLabel*>(c))
            return link->caption();
        if (auto* label = qobject_cast<QLabel*>(c))
            return label->text();
        if (auto* box = qobject_cast<QCheckBox*>(c))
            return box->text();
        if (auto* line = qobject_cast<QLineEdit*>(c))
            return line->text();
        if (auto* combo = qobject_cast<QComboBox*>(c))
            return combo->placeholderText();
        return {};
    }
};

TEST_F(MainWindowTest, CaptionGeometryAndReadiness) {
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("岚川·正则表达式助手(LCRegular) v1.6.3.1") +
                                         QString(17, u' ') +
                                         QString::fromUtf8("基于Deelx正则引擎"));
    EXPECT_EQ(window->size(), QSize(1019, 689));
    EXPECT_TRUE(state.mainWindowReady);
    EXPECT_TRUE(state.newlineCorrector.isCompiled());
}

// Every control of the design: its kind, where it lives, caption and tag.
TEST_F(MainWindowTest, EveryControlIsThereByName) {
    struct Expected {
        const char* name;
        const char* className;
        const char* container;  // the parent's name ("" the window)
        const char* caption;
        const char* tag;
    };
    const Expected controls[] = {
        {"图片框底座", "QFrame", "", "", ""},
        {"超级按钮", "QPushButton", "", "", ""},
        {"框4", "QFrame", "", "", ""},
        {"选择夹", "QTabWidget", "", "", ""},
        {"标签12", "QLabel", "图片框底座", "", ""},
        {"图片软件主页", "QToolButton", "图片框底座", "", ""},
        {"文字软件主页", "lcr::HyperlinkLabel", "图片框底座", "软件主页", ""},
        {"图片岚川软件", "QToolButton", "图片框底座", "", ""},
        {"超级链接框2", "lcr::HyperlinkLabel", "图片框底座", "入门：正则表达式30分钟入门教程", ""},
        {"超级链接框3", "lcr::HyperlinkLabel", "图片框底座", "进阶：揭开正则表达式的神秘面纱", ""},
        {"标签28", "QLabel", "图片框底座", "批处理文件编码：", ""},
        {"组合框文件编码", "QComboBox", "图片框底座", "", ""},
        {"标签30", "QLabel", "图片框底座", "批处理文件过滤：", ""},
        {"编辑框过滤", "QLineEdit", "图片框底座", "*.*", ""},
        {"组合框经典正则", "QComboBox", "框4", "经典正则表达式", ""},
        {"选择框忽略大小写", "QCheckBox", "框4", "无大小写", ""},
        {"选择框多行模式", "QCheckBox", "框4", "多行", ""},
        {"选择框单行模式", "QCheckBox", "框4", "单行", ""},
        {"选择框扩展模式", "QCheckBox", "框4", "扩展", ""},
        {"选择框替换全部", "QCheckBox", "框4", "替换全部", ""},
        {"选择框矫正换行", "QCheckBox", "框4", "矫正换行", ""},
        {"选择框自动执行", "QCheckBox", "框4", "自动执行", ""},
        {"选择框高亮", "QCheckBox", "框4", "高亮", ""},
        {"标签2", "QLabel", "框1", "要提取的文本", ""},
        {"标签23", "lcr::ActionLabel", "框1", "清空", ""},
        {"标签10", "lcr::ActionLabel", "框1", "粘贴", ""},
        {"标签11", "lcr::ActionLabel", "框1", "复制", ""},
        {"编辑框提取文本", "lcr::ProgramTextEdit", "框1", "", "字节集方式"},
        {"分隔条_提取1", "lcr::SplitterBar", "框1", "", ""},
        {"标签1", "QLabel", "框1", "提取表达式", ""},
        {"标签22", "lcr::ActionLabel", "框1", "清空", ""},
        {"标签8", "lcr::ActionLabel", "框1", "粘贴", ""},
        {"标签9", "lcr::ActionLabel", "框1", "复制", ""},
        {"编辑框提取表达式", "lcr::ProgramTextEdit", "框1", "", ""},
        {"分隔条_提取2", "lcr::SplitterBar", "框1", "", ""},
        {"标签3", "QLabel", "框1", "提取结果", ""},
        {"标签提取", "lcr::ActionLabel", "框1", "提取", ""},
        {"标签13", "lcr::ActionLabel", "框1", "复制", ""},
        {"标签19", "lcr::ActionLabel", "框1", "格式..", "#0"},
        {"标签批量提取", "lcr::ActionLabel", "框1", "批量提取..", ""},
        {"提取结果", "QTableView", "框1", "", ""},
        {"标签5", "QLabel", "框2", "要替换的文本", ""},
        {"标签27", "lcr::ActionLabel", "框2", "清空", ""},
        {"标签20", "lcr::ActionLabel", "框2", "粘贴", ""},
        {"标签21", "lcr::ActionLabel", "框2", "复制", ""},
        {"编辑框替换文本", "lcr::ProgramTextEdit", "框2", "", "字节集方式"},
        {"分隔条_替换1", "lcr::SplitterBar", "框2", "", ""},
        {"标签6", "QLabel", "框2", "匹配表达式", ""},
        {"标签25", "lcr::ActionLabel", "框2", "清空", ""},
        {"标签14", "lcr::ActionLabel", "框2", "粘贴", ""},
        {"标签15", "lcr::ActionLabel", "框2", "复制", ""},
        {"编辑框匹配表达式", "lcr::ProgramTextEdit", "框2", "", ""},
        {"分隔条_替换2", "lcr::SplitterBar", "框2", "", ""},
        {"标签4", "QLabel", "框2", "替换表达式", ""},
        {"标签24", "lcr::ActionLabel", "框2", "清空", ""},
        {"标签16", "lcr::ActionLabel", "框2", "粘贴", ""},
        {"标签17", "lcr::ActionLabel", "框2", "复制", ""},
        {"编辑框替换表达式", "lcr::ProgramTextEdit", "框2", "", ""},
        {"分隔条_替换3", "lcr::SplitterBar", "框2", "", ""},
        {"标签7", "QLabel", "框2", "替换结果", ""},
        {"标签替换", "lcr::ActionLabel", "框2", "替换", ""},
        {"标签18", "lcr::ActionLabel", "框2", "复制", ""},
        {"标签批量替换", "lcr::ActionLabel", "框2", "批量替换..", ""},
        {"编辑框替换结果", "lcr::ProgramTextEdit", "框2", "", "禁止保存"},
        {"语法", "QTableView", "框3", "", ""},
    };
    for (const Expected& e : controls) {
        QWidget* w = widget(e.name);
        if (!w) {
            continue;
        }
        EXPECT_STREQ(w->metaObject()->className(), e.className) << e.name;
        const QString container = QString::fromUtf8(e.container);
        EXPECT_EQ(w->parentWidget() == window.get() ? QString() : w->parentWidget()->objectName(),
                  container)
            << e.name;
        EXPECT_EQ(text(e.name), QString::fromUtf8(e.caption)) << e.name;
        EXPECT_EQ(w->property("tag").toString(), QString::fromUtf8(e.tag)) << e.name;
    }
    EXPECT_FALSE(widget("超级按钮")->isVisible());
    EXPECT_NE(window->control<QTimer>(QString::fromUtf8("时钟官网")), nullptr);

    auto* tabs = window->control<QTabWidget>(QString::fromUtf8("选择夹"));
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(0), QString::fromUtf8(" 正则提取 "));
    EXPECT_EQ(tabs->tabText(1), QString::fromUtf8(" 正则替换 "));
    EXPECT_EQ(tabs->tabText(2), QString::fromUtf8(" 语法帮助 "));
    EXPECT_EQ(tabs->widget(0)->objectName(), QString::fromUtf8("框1"));
    EXPECT_EQ(tabs->widget(2)->objectName(), QString::fromUtf8("框3"));

    auto* charset = window->control<QComboBox>(QString::fromUtf8("组合框文件编码"));
    QStringList items;
    for (int i = 0; i < charset->count(); ++i)
        items << charset->itemText(i);
    EXPECT_EQ(items.join(u','), QString::fromUtf8("自动识别,GBK,UTF-8,Unicode,Unicode be"));

    auto* results = window->control<QTableView>(QString::fromUtf8("提取结果"));
    QStringList columns;
    for (int c = 0; c < results->model()->columnCount(); ++c) {
        columns << results->model()->headerData(c, Qt::Horizontal).toString();
    }
    EXPECT_EQ(columns.join(u','), QString::fromUtf8("序号,提取文本,子文本"));
    for (const char* hand : {"标签23", "标签提取", "标签批量替换", "图片软件主页"}) {
        EXPECT_EQ(widget(hand)->cursor().shape(), Qt::PointingHandCursor) << hand;
    }
}

TEST_F(MainWindowTest, DesignSplittersGiveTheDesignBoxes) {
    EXPECT_EQ(widget("编辑框提取文本")->geometry().height(), 105);
    EXPECT_EQ(widget("编辑框提取表达式")->geometry().top(), 171);
    EXPECT_EQ(widget("编辑框提取表达式")->geometry().height(), 54);
    EXPECT_EQ(widget("提取结果")->geometry().top(), 260);
    EXPECT_EQ(widget("编辑框替换结果")->geometry().top(), 349);
}

TEST_F(MainWindowTest, DraggingASplitterMovesTheBoxesAroundIt) {
    QWidget* bar = widget("分隔条_提取1");
    auto* tabs = window->control<QTabWidget>(QString::fromUtf8("选择夹"));
    tabs->setCurrentIndex(0);
    const QPoint grab(bar->width() / 2, 6);
    QTest::mousePress(bar, Qt::LeftButton, {}, grab);
    QMouseEvent move(QEvent::MouseMove, QPointF(grab + QPoint(0, -20)),
                     QPointF(bar->mapToGlobal(grab + QPoint(0, -20))), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(bar, &move);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, grab + QPoint(0, -20));

    EXPECT_EQ(window->splitterTops().extract1, 116);
    EXPECT_EQ(bar->geometry().top(), 116);
    EXPECT_EQ(widget("编辑框提取文本")->height(), 85);
    EXPECT_EQ(widget("标签1")->y(), 128);
    EXPECT_EQ(widget("标签9")->y(), 128);
    EXPECT_EQ(widget("编辑框提取表达式")->y(), 151);
    EXPECT_EQ(widget("编辑框提取表达式")->height(), 74);
    EXPECT_EQ(widget("提取结果")->y(), 260);
}

TEST_F(MainWindowTest, ResizingMovesWidthsAndBottomBoxesOnly) {
    const QRect text = widget("编辑框提取文本")->geometry();
    const QRect results = widget("提取结果")->geometry();
    window->resize(1219, 789);
    QApplication::processEvents();
    EXPECT_EQ(widget("编辑框提取文本")->geometry(), text.adjusted(0, 0, 200, 0));
    EXPECT_EQ(widget("提取结果")->geometry(), results.adjusted(0, 0, 200, 100));
    EXPECT_EQ(widget("分隔条_提取2")->y(), 225);
    EXPECT_EQ(widget("标签批量提取")->x(), widget("标签3")->geometry().right() + 1 - 127);
}

TEST(Program, ClosingTheWindowEndsWithStatusZero) {
    QTemporaryDir dir;
    QTimer::singleShot(200, [] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (qobject_cast<MainWindow*>(w)) {
                w->close();
            }
        }
    });
    EXPECT_EQ(runProgram(dir.path()), 0);
}

}  // namespace
}  // namespace lcr
