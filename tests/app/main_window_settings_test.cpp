#include "app/main_window_settings.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <memory>

#include "app/application.h"
#include "app/main_window.h"
#include "app/program_state.h"
#include "app/window_widgets.h"
#include "config/component_persistence.h"
#include "config/config_store.h"
#include "tests/app/scripted_platform_services.h"
#include "text/gb18030.h"

namespace lcr {
namespace {

const char* const kCheckBoxes[] = {"选择框忽略大小写", "选择框多行模式", "选择框单行模式",
                                   "选择框扩展模式",   "选择框替换全部", "选择框矫正换行",
                                   "选择框自动执行"};
const char* const kSplitters[] = {"分隔条_提取1", "分隔条_提取2", "分隔条_替换1", "分隔条_替换2",
                                  "分隔条_替换3"};

QString q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// One run of the program on the test's directory: the store opened as the
// start routine opens it, the window restored as its created handler does
// and saved as its close handler does.
struct ProgramRun {
    ProgramState state;
    testing::ScriptedPlatformServices services;
    ConfigStore store;
    std::unique_ptr<MainWindow> window;

    explicit ProgramRun(const QString& dir) {
        openConfigStore(store, services, dir);
        window = std::make_unique<MainWindow>(state, services, dir);
        persistMainWindow(*window, store, false);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void close() { persistMainWindow(*window, store, true); }

    QCheckBox* box(const char* name) { return window->control<QCheckBox>(q(name)); }
    ProgramTextEdit* edit(const char* name) { return window->control<ProgramTextEdit>(q(name)); }
    QString tag(const char* name) { return window->control(q(name))->property("tag").toString(); }
    void setTag(const char* name, const QString& tag) {
        window->control(q(name))->setProperty("tag", tag);
    }
    QTabWidget* tabs() { return window->control<QTabWidget>(q("选择夹")); }
    int splitter(const char* name) {
        SplitterTops tops = window->splitterTops();
        return *splitterTop(tops, name);
    }
};

class MainWindowSettingsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;

    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const char* name) const { return QDir(dir.path()).filePath(q(name)); }
    QByteArray fileBytes(const char* name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString iniText() const {
        const QByteArray bytes = fileBytes(kIniFileName);
        return QString::fromStdU16String(
            decodeGb18030(std::string_view(bytes.constData(), bytes.size())));
    }
    static QByteArray gb(const QString& text) {
        return QByteArray::fromStdString(encodeGb18030(text.toStdU16String()));
    }
};

// A window with every saved setting changed from its design.
void changeEverything(ProgramRun& run, const QString& dir) {
    run.box("选择框自动执行")->setChecked(false);
    run.box("选择框忽略大小写")->setChecked(true);
    run.box("选择框多行模式")->setChecked(false);
    run.box("选择框扩展模式")->setChecked(true);
    run.box("选择框矫正换行")->setChecked(true);
    run.box("选择框高亮")->setChecked(false);
    run.edit("编辑框提取表达式")->setProgramText(q("(\\d+)\r\n[a-z]+"));
    run.edit("编辑框匹配表达式")->setProgramText(q("甲"));
    run.edit("编辑框替换表达式")->setProgramText(q("乙\r\n"));
    run.edit("编辑框提取文本")->setProgramText(q("第一行\r\n第二行"));
    run.edit("编辑框替换文本")->setProgramText(q("替换\r\n文本"));
    run.edit("编辑框替换结果")->setProgramText(q("结果"));
    run.window->control<QLineEdit>(q("编辑框过滤"))->setText(q("*.txt"));
    run.window->control<QComboBox>(q("组合框文件编码"))->setCurrentIndex(2);
    run.window->moveSplitter(q("分隔条_提取1"), 150);
    run.window->moveSplitter(q("分隔条_提取2"), 260);
    run.window->moveSplitter(q("分隔条_替换1"), 120);
    run.window->moveSplitter(q("分隔条_替换2"), 220);
    run.window->moveSplitter(q("分隔条_替换3"), 320);
    run.tabs()->setCurrentIndex(2);
    run.setTag("标签19", q("##\t#0\t#1"));
    run.setTag("标签批量提取", dir + q("/来源"));
    run.setTag("标签批量替换", q("/tmp/替换"));
    run.window->setGeometry(60, 70, 1100, 650);
}

TEST_F(MainWindowSettingsTest, FirstStartCreatesAnEmptyFileAndKeepsTheDesign) {
    ProgramRun run(dir.path());
    EXPECT_TRUE(run.store.persistsDocument());
    EXPECT_TRUE(QFile::exists(path(kIniFileName)));
    EXPECT_EQ(fileBytes(kIniFileName), QByteArray());  // loading wrote nothing
    for (const char* name : kCheckBoxes) {
        const std::string n = name;
        const bool designed =
            n == "选择框多行模式" || n == "选择框替换全部" || n == "选择框自动执行";
        EXPECT_EQ(run.box(name)->isChecked(), designed) << name;
    }
    EXPECT_EQ(run.window->control<QLineEdit>(q("编辑框过滤"))->text(), q("*.*"));
    EXPECT_EQ(run.tag("标签19"), q("#0"));
    EXPECT_EQ(run.tabs()->currentIndex(), 0);
    EXPECT_EQ(run.splitter("分隔条_提取1"), 136);
    EXPECT_EQ(run.splitter("分隔条_替换3"), 314);
    EXPECT_EQ(run.window->geometry(), QRect(50, 50, 1019, 689));
}

TEST_F(MainWindowSettingsTest, ClosingWritesBothSectionsAndTheTextFiles) {
    {
        ProgramRun run(dir.path());
        changeEverything(run, dir.path());
        run.close();

        // [主界面]: every saved component once, newest first, in the reverse
        // of the window's order; then [主界面.尺寸] in the reverse of the
        // order of writing.
        const QString ini = iniText();
        const QStringList lines = ini.split(q("\r\n"));
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_EQ(lines.front(), q("[主界面]"));
        QStringList savedNames;
        for (QObject* control : run.window->controlsInOrder()) {
            const QString name = control->objectName();
            if (componentKindOf(name.toStdU16String()) &&
                control->property("tag").toString() != q("禁止保存") &&
                control->property("tag").toString() != q("字节集方式")) {
                savedNames.prepend(name);
            }
        }
        QStringList keys;
        for (int i = 1; i < lines.size() && lines[i] != q("[主界面.尺寸]"); ++i) {
            keys << lines[i].section(u'=', 0, 0);
        }
        EXPECT_EQ(keys, savedNames);
        EXPECT_EQ(savedNames.size(), 14);
        for (const char* entry :
             {"编辑框提取表达式=(\\d+)┊*┊[a-z]+", "编辑框匹配表达式=甲", "编辑框替换表达式=乙┊*┊",
              "选择框自动执行=假", "选择框高亮=假", "选择框忽略大小写=真", "选择框替换全部=真",
              "编辑框过滤=*.txt", "组合框文件编码=2"}) {
            EXPECT_TRUE(lines.contains(q(entry))) << entry;
        }
        const QString geometry = ini.mid(ini.indexOf(q("\r\n[主界面.尺寸]")));
        EXPECT_EQ(
            geometry,
            q("\r\n[主界面.尺寸]\r\n替换路径=/tmp/替换\r\n提取路径=") + dir.path() +
                q("/来源\r\n当前栏目=2\r\n复制表达式=##\t#0\t#1\r\n分隔条_替换3=320\r\n"
                  "分隔条_替换2=220\r\n分隔条_替换1=120\r\n分隔条_提取2=260\r\n"
                  "分隔条_提取1=150\r\n高度=650\r\n宽度=1100\r\n顶边=70\r\n左边=60\r\n位置=0"));
        for (const char* never : {"编辑框提取文本", "编辑框替换文本", "编辑框替换结果"}) {
            EXPECT_FALSE(ini.contains(q(never))) << never;
        }
        EXPECT_EQ(fileBytes("inibin/主界面-编辑框提取文本.ibn"), gb(q("第一行\r\n第二行")));
        EXPECT_EQ(fileBytes("inibin/主界面-编辑框替换文本.ibn"), gb(q("替换\r\n文本")));
    }

    // The next start restores every value.
    ProgramRun next(dir.path());
    EXPECT_FALSE(next.box("选择框自动执行")->isChecked());
    EXPECT_TRUE(next.box("选择框忽略大小写")->isChecked());
    EXPECT_FALSE(next.box("选择框多行模式")->isChecked());
    EXPECT_FALSE(next.box("选择框单行模式")->isChecked());
    EXPECT_TRUE(next.box("选择框扩展模式")->isChecked());
    EXPECT_TRUE(next.box("选择框替换全部")->isChecked());
    EXPECT_TRUE(next.box("选择框矫正换行")->isChecked());
    EXPECT_EQ(next.edit("编辑框提取表达式")->programText(), q("(\\d+)\r\n[a-z]+"));
    EXPECT_EQ(next.edit("编辑框匹配表达式")->programText(), q("甲"));
    EXPECT_EQ(next.edit("编辑框替换表达式")->programText(), q("乙\r\n"));
    EXPECT_EQ(next.edit("编辑框提取文本")->programText(), q("第一行\r\n第二行"));
    EXPECT_EQ(next.edit("编辑框替换文本")->programText(), q("替换\r\n文本"));
    EXPECT_EQ(next.edit("编辑框替换结果")->programText(), QString());
    EXPECT_EQ(next.window->control<QLineEdit>(q("编辑框过滤"))->text(), q("*.txt"));
    EXPECT_EQ(next.window->control<QComboBox>(q("组合框文件编码"))->currentIndex(), 2);
    const int tops[] = {150, 260, 120, 220, 320};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(next.splitter(kSplitters[i]), tops[i]) << kSplitters[i];
    }
    EXPECT_EQ(next.tabs()->currentIndex(), 2);
    EXPECT_EQ(next.tag("标签19"), q("##\t#0\t#1"));
    EXPECT_EQ(next.tag("标签批量提取"), dir.path() + q("/来源"));
    EXPECT_EQ(next.tag("标签批量替换"), q("/tmp/替换"));
    EXPECT_EQ(next.window->geometry(), QRect(60, 70, 1100, 650));

    // A later save replaces the values in place.
    const QString before = iniText();
    next.close();
    EXPECT_EQ(iniText(), before);
}

// The saved texts, byte blocks and INI values alike, keep every character a
// box keeps. (Lone surrogates are left out: they have no GB18030 encoding.)
TEST_F(MainWindowSettingsTest, SavedTextsKeepEveryCharacter) {
    QString text = q("a");
    for (char16_t c : {0x2028, 0x2029, 0x00A0, 0xFEFF, 0xFFFC, 0xFDD0, 0xFDD1}) {
        text += QChar(c) + q("\r\n");
    }
    text += q("┊😀");
    const char* const boxes[] = {"编辑框提取文本", "编辑框替换文本", "编辑框提取表达式",
                                 "编辑框匹配表达式", "编辑框替换表达式"};
    {
        ProgramRun run(dir.path());
        for (const char* name : boxes) {
            run.edit(name)->setProgramText(text);
        }
        run.close();
    }
    ProgramRun next(dir.path());
    for (const char* name : boxes) {
        EXPECT_EQ(next.edit(name)->programText().toStdU16String(), text.toStdU16String()) << name;
    }
}

TEST_F(MainWindowSettingsTest, MaximizedKeepsTheLastNormalBounds) {
    {
        ProgramRun run(dir.path());
        run.window->setGeometry(60, 70, 1100, 650);
        run.close();
        run.window->showMaximized();
        QTest::qWait(10);
        run.close();
        const QString ini = iniText();
        EXPECT_TRUE(ini.contains(q("\r\n位置=3")));
        EXPECT_TRUE(ini.contains(q("\r\n宽度=1100\r\n")));
        EXPECT_TRUE(ini.contains(q("\r\n左边=60\r\n")));
    }
    ProgramRun next(dir.path());
    EXPECT_TRUE(next.window->isMaximized());
}

TEST_F(MainWindowSettingsTest, DeletingInibinResetsOnlyTheTwoTexts) {
    {
        ProgramRun run(dir.path());
        changeEverything(run, dir.path());
        run.close();
    }
    ASSERT_TRUE(QDir(path("inibin")).removeRecursively());
    ProgramRun next(dir.path());
    EXPECT_EQ(next.edit("编辑框提取文本")->programText(), QString());
    EXPECT_EQ(next.edit("编辑框替换文本")->programText(), QString());
    EXPECT_EQ(next.edit("编辑框提取表达式")->programText(), q("(\\d+)\r\n[a-z]+"));
    EXPECT_EQ(next.tabs()->currentIndex(), 2);
    EXPECT_TRUE(next.box("选择框忽略大小写")->isChecked());
    EXPECT_FALSE(next.box("选择框高亮")->isChecked());
}

// Values that are not what the program writes never break the start.
TEST_F(MainWindowSettingsTest, DamagedValuesAreReadLeniently) {
    QFile file(path(kIniFileName));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        gb(q("[主界面]\r\n选择框多行模式=1\r\n选择框单行模式=真\r\n组合框文件编码=99\r\n"
             "[主界面.尺寸]\r\n宽度=1e30\r\n顶边=abc\r\n当前栏目=7\r\n分隔条_提取1=140.9px")));
    file.close();
    ProgramRun run(dir.path());
    EXPECT_FALSE(run.box("选择框多行模式")->isChecked());  // only "真" is true
    EXPECT_TRUE(run.box("选择框单行模式")->isChecked());
    EXPECT_EQ(run.window->control<QComboBox>(q("组合框文件编码"))->currentIndex(), -1);
    EXPECT_EQ(run.tabs()->currentIndex(), 0);  // no page 7
    EXPECT_EQ(run.splitter("分隔条_提取1"), 140);
    EXPECT_LT(run.window->width(), 100000);
    EXPECT_EQ(run.window->height(), 689);
}

TEST_F(MainWindowSettingsTest, SecondCopyLeavesTheFirstOnesFileAlone) {
    ProgramRun first(dir.path());
    changeEverything(first, dir.path());
    first.close();
    const QByteArray saved = fileBytes(kIniFileName);

    ProgramRun second(dir.path());
    EXPECT_FALSE(second.store.persistsDocument());
    EXPECT_EQ(second.tabs()->currentIndex(), 2);  // it read the first one's settings
    second.tabs()->setCurrentIndex(1);
    second.edit("编辑框提取文本")->setProgramText(q("second"));
    second.close();
    EXPECT_EQ(fileBytes(kIniFileName), saved);
    EXPECT_EQ(fileBytes("inibin/主界面-编辑框提取文本.ibn"), gb(q("第一行\r\n第二行")));
    EXPECT_TRUE(second.services.messages.isEmpty());
}

TEST_F(MainWindowSettingsTest, StoreWarningsBecomeMessageBoxes) {
    ProgramRun run(dir.path());
    // A handler that empties the document at every pass makes the store
    // lose the header it appends.
    run.store.setEventPump([&] { run.store.putText(""); });
    run.store.setSection(u"主界面");
    EXPECT_FALSE(run.store.writeText(u"k", u"v"));
    ASSERT_EQ(run.services.messages.size(), 2);
    EXPECT_EQ(run.services.messages[0].title, q("岚川："));
    EXPECT_EQ(run.services.messages[0].text,
              q("配置模块出现意外，可能导致无法正常保存！详情请咨询岚川。"));
    EXPECT_EQ(run.services.messages[1].title, q("信息："));
    EXPECT_EQ(run.services.messages[1].text, q("[主界面]"));
}

}  // namespace
}  // namespace lcr
