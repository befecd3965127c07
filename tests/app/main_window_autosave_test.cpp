// The window's texts and settings are saved while the user works: a pause
// after the last change, never much later than the first one, only what
// changed; and a program killed with SIGKILL loses at most the last two
// seconds of typing.
#include "app/main_window_autosave.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <memory>

#include "app/application.h"
#include "app/main_window.h"
#include "app/main_window_settings.h"
#include "app/program_state.h"
#include "app/window_widgets.h"
#include "config/config_store.h"
#include "tests/app/scripted_platform_services.h"
#include "text/gb18030.h"

namespace lcr {
namespace {

QString q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// One run of the program as the start routine makes it: the store opened
// on the directory, then the window on it.
struct ProgramRun {
    ProgramState state;
    testing::ScriptedPlatformServices services;
    std::unique_ptr<MainWindow> window;

    explicit ProgramRun(const QString& dir) {
        openConfigStore(state.configStore, services, dir);
        window = std::make_unique<MainWindow>(state, services, dir);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        // Typing is what is saved here; the operations are not needed.
        window->control<QCheckBox>(q("选择框自动执行"))->setChecked(false);
        QApplication::processEvents();
    }
    ProgramTextEdit* edit(const char* name) { return window->editBox(name); }
};

// What another object finds in the files, while the program holds them or
// after it has gone: a second store reads the INI file (and, finding it
// held, works in memory) and the byte blocks.
struct SavedFiles {
    ConfigStore store;
    explicit SavedFiles(const QString& dir) {
        store.load(std::filesystem::path(
            QDir(dir).filePath(QString::fromUtf8(kIniFileName)).toStdU16String()));
        store.setSection(u"主界面");
    }
    QString text(const char16_t* key) {
        return QString::fromStdU16String(decodeGb18030(store.readBytes(key)));
    }
    bool checked(const char16_t* key) { return store.readBool(key, false); }
};

ino_t inodeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

class MainWindowAutosaveTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString sourceTextFile() const {
        return QDir(dir.path()).filePath(q("inibin/主界面-编辑框提取文本.ibn"));
    }
};

TEST_F(MainWindowAutosaveTest, SavesAfterAPauseAndOnlyWhatChanged) {
    ProgramRun run(dir.path());
    run.edit("编辑框提取文本")->setFocus();
    QTest::keyClicks(run.edit("编辑框提取文本"), q("abc"));
    EXPECT_FALSE(QFile::exists(sourceTextFile()));  // not on every keystroke
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return SavedFiles(dir.path()).text(u"编辑框提取文本") == "abc"; },
                        3 * MainWindowAutosave::kLatestMs));

    // A setting alone: the INI value is saved, the unchanged text is not
    // written again (a write would replace its file).
    const ino_t textFile = inodeOf(sourceTextFile());
    run.window->control<QCheckBox>(q("选择框忽略大小写"))->setChecked(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return SavedFiles(dir.path()).checked(u"选择框忽略大小写"); },
                                3 * MainWindowAutosave::kLatestMs));
    EXPECT_EQ(inodeOf(sourceTextFile()), textFile);

    // Closing saves what changed since, at once.
    run.edit("编辑框提取表达式")->setProgramText(q("\\d+"));
    run.window->close();
    EXPECT_EQ(SavedFiles(dir.path()).store.readText(u"编辑框提取表达式"), u"\\d+");
}

// Settings that change without a keystroke in a box (a tag, the geometry)
// are saved as well.
TEST_F(MainWindowAutosaveTest, TagsAndGeometryAreSaved) {
    ProgramRun run(dir.path());
    run.window->control(q("标签19"))->setProperty("tag", q("## #0"));
    run.window->setGeometry(70, 80, 1100, 640);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            SavedFiles saved(dir.path());
            saved.store.setSection(u"主界面.尺寸");
            return saved.store.readText(u"复制表达式") == u"## #0" &&
                   saved.store.readNumber(u"宽度") == 1100;
        },
        3 * MainWindowAutosave::kLatestMs));
}

// The child process of the next test: types an "x" into the source text
// every 50 ms and reports each one on its standard output, until killed.
TEST(MainWindowAutosaveChild, TypesUntilKilled) {
    const QString dir = qEnvironmentVariable("LCR_AUTOSAVE_CHILD_DIR");
    if (dir.isEmpty()) {
        GTEST_SKIP() << "run by SigkillLosesAtMostTheLastTwoSeconds";
    }
    ProgramRun run(dir);
    ProgramTextEdit* box = run.edit("编辑框提取文本");
    box->setFocus();
    for (int typed = 1; typed <= 600; ++typed) {
        QTest::keyClicks(box, q("x"));
        std::printf("typed %d\n", typed);
        std::fflush(stdout);
        QTest::qWait(50);
    }
}

TEST_F(MainWindowAutosaveTest, SigkillLosesAtMostTheLastTwoSeconds) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(q("LCR_AUTOSAVE_CHILD_DIR"), dir.path());
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {q("--gtest_filter=MainWindowAutosaveChild.TypesUntilKilled")});
    ASSERT_TRUE(child.waitForStarted());

    // When each count was seen here; seen no earlier than it was typed.
    QElapsedTimer clock;
    QList<QPair<qint64, int>> seen;
    qint64 firstSeen = -1;
    while (firstSeen < 0 || clock.elapsed() - firstSeen < 4000) {
        if (!child.waitForReadyRead(5000)) {
            break;
        }
        if (!clock.isValid()) {
            clock.start();
        }
        while (child.canReadLine()) {
            const QByteArray line = child.readLine().trimmed();
            if (line.startsWith("typed ")) {
                seen.append({clock.elapsed(), line.mid(6).toInt()});
                if (firstSeen < 0) {
                    firstSeen = clock.elapsed();
                }
            }
        }
    }
    child.kill();  // SIGKILL
    const qint64 killedAt = clock.elapsed();
    child.waitForFinished();
    ASSERT_FALSE(seen.isEmpty()) << child.readAllStandardError().toStdString();

    int typedTwoSecondsBefore = 0;
    for (const auto& [at, count] : seen) {
        if (at <= killedAt - 2000) {
            typedTwoSecondsBefore = count;
        }
    }
    ASSERT_GT(typedTwoSecondsBefore, 10);
    const QString saved = SavedFiles(dir.path()).text(u"编辑框提取文本");
    EXPECT_EQ(saved, QString(saved.size(), u'x'));
    EXPECT_GE(saved.size(), typedTwoSecondsBefore) << "typed " << seen.back().second;

    // The next start brings it back.
    ProgramRun next(dir.path());
    EXPECT_EQ(next.edit("编辑框提取文本")->programText(), saved);
}

}  // namespace
}  // namespace lcr
