// The batch labels as the user drives them: clicks, choosers, captions, the
// completion question, stops and nested runs, on real files.
#include "app/batch_controls.h"

#include <gtest/gtest.h>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "app/main_window.h"
#include "app/main_window_inventory.h"
#include "app/program_state.h"
#include "app/window_widgets.h"
#include "tests/app/scripted_platform_services.h"

namespace lcr {
namespace {

// The scripted services, with a look into the window while a chooser is
// open: the place where a user clicks during a run.
class ObservedServices final : public PlatformServices {
public:
    testing::ScriptedPlatformServices script;
    QStringList chooserTitles;
    std::function<void()> whileChoosing;

    QString clipboardText() override { return script.clipboardText(); }
    void setClipboardText(const QString& text) override { script.setClipboardText(text); }
    bool openWithDesktop(const QString& path) override { return script.openWithDesktop(path); }
    bool showFolder(const QString& folder) override { return script.showFolder(folder); }
    QString chooseFolder(QWidget* parent, const QString& title, const QString& start) override {
        chooserTitles << title;
        observe();
        return script.chooseFolder(parent, title, start);
    }
    QStringList chooseFiles(QWidget* parent, const QString& title, const QString& filter,
                            const QString& start) override {
        chooserTitles << title;
        observe();
        return script.chooseFiles(parent, title, filter, start);
    }
    MessageAnswer showMessage(QWidget* parent, const QString& title, const QString& text,
                              MessageButtons buttons) override {
        return script.showMessage(parent, title, text, buttons);
    }
    QSize screenSize() override { return script.screenSize(); }

private:
    void observe() {
        // Once: a nested run's chooser must not run the same look again.
        if (auto look = std::exchange(whileChoosing, nullptr)) {
            look();
        }
    }
};

class BatchControls : public ::testing::Test {
protected:
    QTemporaryDir programDir;
    QTemporaryDir sources;
    ProgramState state;
    ObservedServices services;
    std::unique_ptr<MainWindow> window;
    QStringList titles;  // every caption the window showed

    void SetUp() override {
        // The window binds its batch labels while it is created.
        window = std::make_unique<MainWindow>(state, services, programDir.path());
        QObject::connect(window.get(), &QWidget::windowTitleChanged,
                         [this](const QString& t) { titles << t; });
        box("编辑框提取表达式")->setProgramText(QStringLiteral("\\d+"));
        box("编辑框匹配表达式")->setProgramText(QStringLiteral("\\d"));
        box("编辑框替换表达式")->setProgramText(QStringLiteral("#"));
        write("a.txt", "1 22");
        write("b.txt", "3");
        write("c.htm", "4");
    }

    ProgramTextEdit* box(const char* name) { return window->editBox(name); }
    QLabel* label(const char* name) { return window->control<QLabel>(QString::fromUtf8(name)); }
    QString folder() const { return sources.path(); }
    QString path(const QString& name) const { return sources.filePath(name); }
    void write(const QString& name, const QByteArray& bytes) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QByteArray read(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QString extracted(const QString& name) const { return folder() + "/批量提取结果/" + name; }
    QString replaced(const QString& name) const { return folder() + "/批量替换结果/" + name; }
    void click(const char* name, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers keys = {}) {
        QTest::mouseClick(label(name), button, keys);
    }
    // The completion question after a run over `n` files that all went well.
    static QString question(int n, const QString& output) {
        return QStringLiteral("已完成 %1 个文件（成功 %1，跳过 0，失败 0）\r\n\r\n").arg(n) +
               QStringLiteral("文件输出在这个文件夹 >> \r\n") + output +
               QStringLiteral("\r\n\r\n是否立即打开？");
    }
};

TEST_F(BatchControls, FolderRunWritesOutputsAsksAndOpensTheFolder) {
    label("标签批量提取")->setProperty("tag", QStringLiteral("/remembered"));
    services.script.folderAnswers.enqueue(QStringLiteral("  ") + folder() + QStringLiteral("　"));
    services.script.messageAnswers.enqueue(MessageAnswer::Yes);
    window->control<QLineEdit>(QStringLiteral("编辑框过滤"))->setText(QStringLiteral("*.txt"));
    services.whileChoosing = [this] {
        EXPECT_EQ(label("标签批量提取")->text(), QStringLiteral("立即停止.."));
    };

    click("标签批量提取");

    EXPECT_EQ(services.chooserTitles, QStringList{QStringLiteral("正则批量提取的文件夹：")});
    EXPECT_EQ(services.script.chooserStartFolders, QStringList{QStringLiteral("/remembered")});
    EXPECT_EQ(label("标签批量提取")->property("tag").toString(), folder());  // trimmed
    EXPECT_EQ(read(extracted("a.txt")), "1\r\n22\r\n");
    EXPECT_EQ(read(extracted("b.txt")), "3\r\n");
    EXPECT_EQ(read(extracted("c.htm")), "<missing>");  // not in the filter
    EXPECT_EQ(read(path("a.txt")), "1 22");

    // The progress in the window's caption, then the caption of the design.
    const QStringList progress = titles.filter(QStringLiteral("总 2 个文件，正处理第 "));
    ASSERT_EQ(progress.size(), 2) << titles.join('\n').toStdString();
    EXPECT_TRUE(progress[0].startsWith(QStringLiteral("总 2 个文件，正处理第 1 个文件：")));
    EXPECT_TRUE(progress[1].startsWith(QStringLiteral("总 2 个文件，正处理第 2 个文件：")));
    // In name order.
    EXPECT_TRUE(progress[0].endsWith(QStringLiteral("a.txt")));
    EXPECT_TRUE(progress[1].endsWith(QStringLiteral("b.txt")));
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8(kMainWindowCaption));
    EXPECT_EQ(label("标签批量提取")->text(), QStringLiteral("批量提取.."));

    ASSERT_EQ(services.script.messages.size(), 1);
    EXPECT_EQ(services.script.messages[0].title, QStringLiteral("信息："));
    EXPECT_EQ(services.script.messages[0].text, question(2, folder() + "/批量提取结果"));
    EXPECT_EQ(services.script.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(services.script.shownFolders, QStringList{folder() + "/批量提取结果"});
}

TEST_F(BatchControls, CtrlAloneListsByExpression) {
    write("d.txt.bak", "5");
    window->control<QLineEdit>(QStringLiteral("编辑框过滤"))
        ->setText(QStringLiteral("*.txt|*.htm"));
    // Ctrl with Shift is not Ctrl alone: the plain listing.
    services.script.folderAnswers.enqueue(folder());
    click("标签批量提取", Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(read(extracted("d.txt.bak")), "<missing>");

    services.script.folderAnswers.enqueue(folder());
    click("标签批量提取", Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(read(extracted("d.txt.bak")), "5\r\n");  // ".txt" anywhere in the name
}

TEST_F(BatchControls, RightClickRunsOnChosenFilesAndRemembersTheirFolder) {
    window->control<QComboBox>(QStringLiteral("组合框文件编码"))->setCurrentIndex(1);  // GBK
    write("u.txt", "\xC3\xA9 7");  // UTF-8 without a mark
    services.script.fileAnswers.enqueue({path("u.txt"), path("b.txt")});
    click("标签批量替换", Qt::RightButton);

    EXPECT_EQ(services.chooserTitles, QStringList{QStringLiteral("正则批量替换的文件：")});
    EXPECT_EQ(services.script.lastFileFilter,
              QStringLiteral("文本文件|*.txt;*.ini|静态网页文件|*.htm;*.html|动态网页文件|*.asp;*"
                             ".php;*.jsp|全部文件|*.*"));
    // Read as GBK, as chosen: no UTF-8 mark put in front.
    EXPECT_EQ(read(replaced("u.txt")), "\xC3\xA9 #");
    EXPECT_EQ(read(replaced("b.txt")), "#");
    EXPECT_EQ(read(replaced("a.txt")), "<missing>");
    EXPECT_EQ(label("标签批量替换")->property("tag").toString(), folder());
    EXPECT_EQ(services.script.messages.size(), 1);
    EXPECT_TRUE(services.script.shownFolders.isEmpty());  // answered No

    // The next right click starts where the files were chosen.
    click("标签批量替换", Qt::RightButton);
    EXPECT_EQ(services.script.chooserStartFolders.last(), folder());
}

TEST_F(BatchControls, NothingToRunDoesNothing) {
    const struct {
        const char* what;
        std::function<void()> answer;
        Qt::MouseButton button;
    } cases[] = {
        {"folder chooser cancelled", [] {}, Qt::LeftButton},
        {"file chooser cancelled", [] {}, Qt::RightButton},
        {"no file matches the filter",
         [this] {
             window->control<QLineEdit>(QStringLiteral("编辑框过滤"))
                 ->setText(QStringLiteral("*.none"));
             services.script.folderAnswers.enqueue(folder());
         },
         Qt::LeftButton},
    };
    for (const auto& c : cases) {
        c.answer();
        click("标签批量提取", c.button);
        EXPECT_EQ(label("标签批量提取")->text(), QStringLiteral("批量提取..")) << c.what;
        EXPECT_FALSE(QDir(folder() + "/批量提取结果").exists()) << c.what;
        EXPECT_TRUE(services.script.messages.isEmpty()) << c.what;
    }
}

TEST_F(BatchControls, AClickDuringARunStopsItAtTheNextCheckPoint) {
    services.script.folderAnswers.enqueue(folder());
    services.whileChoosing = [this] {
        click("标签批量提取");
        EXPECT_EQ(label("标签批量提取")->text(), QStringLiteral("停止中.."));
        click("标签批量提取");  // a further click keeps the request
        EXPECT_EQ(label("标签批量提取")->text(), QStringLiteral("停止中.."));
    };
    click("标签批量提取");
    // The first file is finished, no other is opened; the question follows.
    int written = 0;
    for (const char* name : {"a.txt", "b.txt", "c.htm"}) {
        written += read(extracted(name)) != "<missing>";
    }
    EXPECT_EQ(written, 1);
    ASSERT_EQ(services.script.messages.size(), 1);
    EXPECT_TRUE(services.script.messages[0].text.startsWith(
        QStringLiteral("已停止：完成 1 / 3 个文件（成功 1，跳过 0，失败 0）\r\n")))
        << services.script.messages[0].text.toStdString();
    EXPECT_EQ(label("标签批量提取")->text(), QStringLiteral("批量提取.."));
}

// The progress strip while a run goes on: "i / n" and the file's name.
TEST_F(BatchControls, ProgressShowsInTheStatusStrip) {
    services.script.folderAnswers.enqueue(folder());
    QStringList seen;
    QObject::connect(window.get(), &QWidget::windowTitleChanged, [&] {
        auto* bar = window->findChild<QProgressBar*>(QStringLiteral("批处理进度条"));
        auto* name = window->findChild<QLabel*>(QStringLiteral("批处理当前文件"));
        if (bar && name && bar->isVisibleTo(window.get())) {
            seen << bar->text() + " " + name->text();
        }
    });
    window->show();
    click("标签批量替换");
    EXPECT_EQ(seen, (QStringList{"1 / 3 a.txt", "2 / 3 b.txt", "3 / 3 c.htm"}));
    EXPECT_FALSE(window->findChild<QWidget*>(QStringLiteral("批处理进度"))->isVisible());
}

// Whatever could not be done is in the completion question; many problems
// are listed in full in a scrollable list too.
TEST_F(BatchControls, TheSummaryNamesEveryProblem) {
    write("z.bin", QByteArray("\x01\x00\x00\x02", 4));
    services.script.folderAnswers.enqueue(folder());
    click("标签批量替换");
    ASSERT_EQ(services.script.messages.size(), 1);
    const QString text = services.script.messages[0].text;
    EXPECT_TRUE(
        text.startsWith(QStringLiteral("已完成 4 个文件（成功 3，跳过 1，失败 0）\r\n跳过 ") +
                        path("z.bin") + QStringLiteral("：含有零字节，不是文本文件\r\n")))
        << text.toStdString();
    EXPECT_EQ(window->findChild<QDialog*>(QStringLiteral("批处理问题")), nullptr);

    for (int i = 0; i < 12; ++i) {
        write(QStringLiteral("y%1.bin").arg(i), QByteArray("\x00\x00", 2));
    }
    services.script.folderAnswers.enqueue(folder());
    click("标签批量替换");
    auto* list = window->findChild<QPlainTextEdit*>(QStringLiteral("批处理问题列表"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->toPlainText().split('\n').size(), 13);
    EXPECT_TRUE(services.script.messages[1].text.contains(QStringLiteral("……还有 3 项")));
}

// Closing the window during a run asks; Yes stops the run at its next check
// point, shows what it did, then closes the window.
TEST_F(BatchControls, ClosingDuringARunAsksAndStopsIt) {
    window->show();
    for (const MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
        services.script.folderAnswers.enqueue(folder());
        services.script.messageAnswers.enqueue(answer);
        // Closed while the first file is processed.
        bool closed = false;
        const auto connection =
            QObject::connect(window.get(), &QWidget::windowTitleChanged, [&](const QString& t) {
                if (!closed && t.startsWith(QStringLiteral("总 "))) {
                    closed = true;
                    window->close();
                }
            });
        services.script.messages.clear();
        click("标签批量提取");
        QObject::disconnect(connection);
        QCoreApplication::processEvents();
        ASSERT_EQ(services.script.messages.size(), 2);
        EXPECT_EQ(services.script.messages[0].text,
                  QStringLiteral("批处理正在进行。是否停止它并关闭窗口？"));
        if (answer == MessageAnswer::No) {
            EXPECT_TRUE(window->isVisible());
            EXPECT_EQ(services.script.messages[1].text, question(3, folder() + "/批量提取结果"));
        } else {
            EXPECT_FALSE(window->isVisible());
            EXPECT_EQ(services.script.messages[1].text,
                      QStringLiteral("已停止：完成 1 / 3 个文件（成功 1，跳过 0，失败 0）\r\n\r\n"
                                     "文件输出在这个文件夹 >> \r\n") +
                          folder() + QStringLiteral("/批量提取结果"));
            EXPECT_EQ(services.script.messages[1].buttons, MessageButtons::Ok);
        }
    }
}

TEST_F(BatchControls, TheOtherLabelRunsInsideARunAndClearsAnEarlierStop) {
    services.script.folderAnswers.enqueue(folder());  // the inner replace
    services.script.folderAnswers.enqueue(folder());  // then the outer extract
    services.whileChoosing = [this] {
        click("标签批量提取");  // asks the outer run to stop
        click("标签批量替换");  // starts the inner run, which clears the request
        EXPECT_EQ(label("标签批量替换")->text(), QStringLiteral("批量替换.."));
        EXPECT_EQ(label("标签批量提取")->text(), QStringLiteral("停止中.."));
    };
    click("标签批量提取");
    for (const char* name : {"a.txt", "b.txt", "c.htm"}) {
        EXPECT_NE(read(replaced(name)), "<missing>") << name;
        EXPECT_NE(read(extracted(name)), "<missing>") << name;
    }
    ASSERT_EQ(services.script.messages.size(), 2);
    EXPECT_EQ(services.script.messages[0].text, question(3, folder() + "/批量替换结果"));
    EXPECT_EQ(services.script.messages[1].text, question(3, folder() + "/批量提取结果"));
    EXPECT_EQ(label("标签批量提取")->text(), QStringLiteral("批量提取.."));
}

// The output charset of a batch extraction is chosen beside its label and
// kept with the settings; GBK is the default, as older versions wrote.
TEST_F(BatchControls, ExtractionOutputCharsetIsChosenAndRemembered) {
    auto* choice = window->findChild<QComboBox*>(QStringLiteral("组合框提取输出编码"));
    ASSERT_NE(choice, nullptr);
    EXPECT_EQ(choice->currentIndex(), 0);
    EXPECT_EQ(choice->count(), 3);
    write("g.txt", "\xD6\xD0 1");  // 中 1 in GBK
    box("编辑框提取表达式")->setProgramText(QStringLiteral("中 \\d"));
    const struct {
        int position;
        QByteArray expected;
    } cases[] = {
        {0, "\xD6\xD0 1\r\n"},
        {1, "\xE4\xB8\xAD 1\r\n"},
        {2, "\xD6\xD0 1\r\n"},  // the source's own: GBK
    };
    for (const auto& c : cases) {
        choice->setCurrentIndex(c.position);
        services.script.fileAnswers.enqueue({path("g.txt")});
        click("标签批量提取", Qt::RightButton);
        EXPECT_EQ(read(extracted("g.txt")), c.expected) << c.position;
    }

    choice->setCurrentIndex(1);
    MainWindow next(state, services, programDir.path());
    EXPECT_EQ(next.findChild<QComboBox*>(QStringLiteral("组合框提取输出编码"))->currentIndex(), 1);
}

}  // namespace
}  // namespace lcr
