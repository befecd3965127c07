// The window cannot be broken by dragging splitters, resizing or stored
// settings: every box stays at least two lines high and inside its page,
// and every control stays inside the window.
#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include "app/application.h"
#include "app/main_window.h"
#include "app/main_window_settings.h"
#include "app/program_state.h"
#include "app/window_widgets.h"
#include "tests/app/scripted_platform_services.h"
#include "tests/app/window_fixture.h"
#include "text/gb18030.h"

namespace lcr {
namespace {

QString q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

const char* const kBoxes[] = {"编辑框提取文本", "编辑框提取表达式", "提取结果",
                              "编辑框替换文本", "编辑框匹配表达式", "编辑框替换表达式",
                              "编辑框替换结果"};

// Each box is at least two of its lines high and lies inside its page.
void expectEveryBoxUsable(MainWindow& window) {
    const int twoLines =
        2 * window.control<QWidget>(q("编辑框提取表达式"))->fontMetrics().lineSpacing();
    auto* tabs = window.control<QTabWidget>(q("选择夹"));
    const int current = tabs->currentIndex();
    for (const char* name : kBoxes) {
        auto* box = window.control<QWidget>(q(name));
        // A page gets its size when it is shown.
        tabs->setCurrentWidget(box->parentWidget());
        const QRect page = box->parentWidget()->rect();
        EXPECT_GE(box->height(), twoLines) << name;
        EXPECT_TRUE(page.contains(box->geometry())) << name;
    }
    tabs->setCurrentIndex(current);
}

// Every control the user works with lies inside the window.
void expectEveryControlInside(MainWindow& window) {
    const QRect client = window.rect();
    for (const char* name : {"选择框忽略大小写", "选择框自动执行", "组合框经典正则",
                             "组合框文件编码", "编辑框过滤", "标签批量提取", "提取结果"}) {
        auto* w = window.control<QWidget>(q(name));
        const QRect inWindow(w->mapTo(&window, QPoint(0, 0)), w->size());
        EXPECT_TRUE(client.contains(inWindow)) << name;
    }
}

void drag(SplitterBar* bar, int dy) {
    const QPoint grab = bar->rect().center();
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, grab);
    for (int step = 1; step <= 4; ++step) {
        QTest::mouseMove(bar, grab + QPoint(0, dy * step / 4));
    }
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, bar->rect().center());
}

class WindowLimitsTest : public testing::WindowTest {};

TEST_F(WindowLimitsTest, SplittersDraggedPastEitherEndKeepEveryBox) {
    for (const char* name :
         {"分隔条_提取1", "分隔条_提取2", "分隔条_替换1", "分隔条_替换2", "分隔条_替换3"}) {
        SCOPED_TRACE(name);
        auto* bar = window->control<SplitterBar>(q(name));
        drag(bar, 60);  // the drag that once collapsed the box below
        expectEveryBoxUsable(*window);
        drag(bar, 3000);  // far below the window's edge
        expectEveryBoxUsable(*window);
        drag(bar, -3000);  // far above the page
        expectEveryBoxUsable(*window);
    }
}

TEST_F(WindowLimitsTest, TheWindowHasAMinimumSizeThatShowsEveryControl) {
    window->resize(300, 200);
    QTest::qWait(10);
    EXPECT_EQ(window->size(), window->minimumSize());
    EXPECT_GT(window->minimumWidth(), 300);
    expectEveryControlInside(*window);
    expectEveryBoxUsable(*window);
    // A low splitter is pushed up by the shrinking window, not lost below it.
    window->resize(1200, 900);
    window->moveSplitter(q("分隔条_提取2"), 600);
    window->resize(window->minimumSize());
    expectEveryBoxUsable(*window);
}

// Writes the INI file of a program directory.
void writeIni(const QString& dir, const char* text) {
    QFile file(QDir(dir).filePath(q(kIniFileName)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromStdString(encodeGb18030(q(text).toStdU16String())));
}

TEST(WindowLimitsRestore, StoredValuesInRangeComeBackExactly) {
    // Each value is in range only beside the others: the first splitter
    // below the second one's design place.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    writeIni(dir.path(),
             "[主界面.尺寸]\r\n宽度=1100\r\n高度=820\r\n分隔条_提取1=300\r\n"
             "分隔条_提取2=420\r\n分隔条_替换1=260\r\n分隔条_替换2=360\r\n"
             "分隔条_替换3=460\r\n");
    ProgramState state;
    testing::ScriptedPlatformServices services;
    openConfigStore(state.configStore, services, dir.path());
    MainWindow window(state, services, dir.path());
    const SplitterTops tops = window.splitterTops();
    EXPECT_EQ(tops.extract1, 300);
    EXPECT_EQ(tops.extract2, 420);
    EXPECT_EQ(tops.replace1, 260);
    EXPECT_EQ(tops.replace2, 360);
    EXPECT_EQ(tops.replace3, 460);
}

TEST(WindowLimitsRestore, AbsurdStoredValuesAreBroughtIntoRange) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(QDir(dir.path()).filePath(q(kIniFileName)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromStdString(
        encodeGb18030(q("[主界面.尺寸]\r\n宽度=10\r\n高度=10\r\n分隔条_提取1=-99999\r\n"
                        "分隔条_提取2=99999\r\n分隔条_替换1=400\r\n分隔条_替换2=130\r\n"
                        "分隔条_替换3=-1\r\n")
                          .toStdU16String())));
    file.close();

    ProgramState state;
    testing::ScriptedPlatformServices services;
    openConfigStore(state.configStore, services, dir.path());
    MainWindow window(state, services, dir.path());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_GE(window.width(), window.minimumWidth());
    EXPECT_GE(window.height(), window.minimumHeight());
    expectEveryBoxUsable(window);
    expectEveryControlInside(window);

    // What is saved is what the window shows, never the absurd values.
    persistMainWindow(window, state.configStore, true);
    const SplitterTops tops = window.splitterTops();
    EXPECT_GT(tops.extract1, 0);
    EXPECT_LT(tops.extract2, window.height());
    EXPECT_LT(tops.replace1, tops.replace2);
    EXPECT_LT(tops.replace2, tops.replace3);
}

}  // namespace
}  // namespace lcr
