// Where the program keeps its files: beside a program folder it can write,
// else in the user's XDG folders, else nowhere, with one message. The whole
// start runs with a temporary HOME and XDG folders.
#include "app/storage_folders.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include "app/application.h"
#include "app/main_window.h"
#include "tests/app/scripted_platform_services.h"
#include "text/gb18030.h"

namespace lcr {
namespace {

const QString kIni = QString::fromUtf8(kIniFileName);
const QString kUserFile = QStringLiteral("自定义正则.txt");

class StorageTest : public ::testing::Test {
protected:
    QTemporaryDir root;
    testing::ScriptedPlatformServices services;
    QString configHome;
    QString dataHome;

    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        setApplicationIdentity();
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
            m_saved.append({name, qgetenv(name)});
        }
        configHome = path("home/.config");
        dataHome = path("home/.local/share");
        qputenv("HOME", path("home").toUtf8());
        qputenv("XDG_CONFIG_HOME", configHome.toUtf8());
        qputenv("XDG_DATA_HOME", dataHome.toUtf8());
    }
    void TearDown() override {
        for (const auto& [name, value] : m_saved) {
            qputenv(name, value);
        }
    }

    QString path(const QString& relative) const { return QDir(root.path()).filePath(relative); }

    // A folder nobody can write, root included (permissions do not stop
    // root): a folder below a regular file.
    QString unwritableFolder(const QString& name) {
        QFile blocker(path(name));
        EXPECT_TRUE(blocker.open(QIODevice::WriteOnly));
        return path(name + QStringLiteral("/folder"));
    }

    // The real start routine; the window is closed as soon as it runs.
    int runAndClose(const QString& programDirectory) {
        QTimer::singleShot(100, [] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (qobject_cast<MainWindow*>(w)) {
                    w->close();
                }
            }
        });
        return runProgram(programDirectory, services);
    }

private:
    QList<QPair<const char*, QByteArray>> m_saved;
};

bool holdsSavedSettings(const QString& iniPath) {
    QFile file(iniPath);
    return file.open(QIODevice::ReadOnly) &&
           file.readAll().contains(QByteArray::fromStdString(encodeGb18030(u"[主界面]")));
}

TEST_F(StorageTest, WritableProgramFolderKeepsEverythingBesideTheProgram) {
    const QString program = path("portable");
    ASSERT_TRUE(QDir().mkpath(program));
    const StorageFolders folders = chooseStorageFolders(program);
    EXPECT_EQ(folders.place, StoragePlace::BesideProgram);
    EXPECT_EQ(folders.settings, program);
    EXPECT_EQ(folders.data, program);

    EXPECT_EQ(runAndClose(program), 0);
    EXPECT_TRUE(holdsSavedSettings(QDir(program).filePath(kIni)));
    EXPECT_TRUE(QFile::exists(QDir(program).filePath(QStringLiteral("inibin"))));
    EXPECT_TRUE(QFile::exists(QDir(program).filePath(kUserFile)));
    EXPECT_FALSE(QFile::exists(path("home")));  // nothing elsewhere
    EXPECT_TRUE(services.messages.isEmpty());
    // No probe file is left behind.
    EXPECT_EQ(QDir(program).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST_F(StorageTest, UnwritableProgramFolderUsesTheUserFolders) {
    const QString program = unwritableFolder(QStringLiteral("installed"));
    const StorageFolders folders = chooseStorageFolders(program);
    EXPECT_EQ(folders.place, StoragePlace::UserFolders);
    EXPECT_EQ(folders.settings, QDir(configHome).filePath(QStringLiteral("LCRegular")));
    EXPECT_EQ(folders.data, QDir(dataHome).filePath(QStringLiteral("LCRegular")));
    EXPECT_TRUE(folders.unwritable.isEmpty());
    EXPECT_TRUE(storageWarning(folders).isEmpty());

    EXPECT_EQ(runAndClose(program), 0);
    EXPECT_TRUE(holdsSavedSettings(QDir(folders.settings).filePath(kIni)));
    EXPECT_TRUE(QFile::exists(QDir(folders.settings).filePath(QStringLiteral("inibin"))));
    EXPECT_TRUE(QFile::exists(QDir(folders.data).filePath(kUserFile)));
    EXPECT_TRUE(services.messages.isEmpty());

    // The second start finds what the first one kept.
    EXPECT_EQ(runAndClose(program), 0);
    EXPECT_TRUE(services.messages.isEmpty());
}

TEST_F(StorageTest, ProgramUnderUsrIsAnInstalledCopyEvenWhenWritable) {
    EXPECT_EQ(chooseStorageFolders(QStringLiteral("/usr/bin")).place, StoragePlace::UserFolders);
    EXPECT_EQ(chooseStorageFolders(QStringLiteral("/usr/local/bin")).place,
              StoragePlace::UserFolders);
}

TEST_F(StorageTest, NothingWritableIsSaidOnceAndTheProgramGoesOn) {
    const QString program = unwritableFolder(QStringLiteral("installed"));
    const QString blocked = unwritableFolder(QStringLiteral("blocked"));
    qputenv("XDG_CONFIG_HOME", blocked.toUtf8());
    qputenv("XDG_DATA_HOME", blocked.toUtf8());

    const StorageFolders folders = chooseStorageFolders(program);
    EXPECT_EQ(folders.unwritable,
              QStringList({QDir(blocked).filePath(QStringLiteral("LCRegular"))}));

    EXPECT_EQ(runAndClose(program), 0);
    ASSERT_EQ(services.messages.size(), 1);
    const auto& message = services.messages.front();
    EXPECT_EQ(message.buttons, MessageButtons::Ok);
    EXPECT_TRUE(message.text.contains(QStringLiteral("不会被保存"))) << message.text.toStdString();
    EXPECT_TRUE(message.text.contains(folders.unwritable.front()));
}

}  // namespace
}  // namespace lcr
