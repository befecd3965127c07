#include "app/storage_folders.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace lcr {

namespace {

// Files under /usr belong to the package manager; a program there is an
// installed copy even when the user (root) could write beside it.
bool isSystemProgramFolder(const QString& folder) {
    const QString path = QDir(folder).absolutePath() + u'/';
    return path.startsWith(QStringLiteral("/usr/"));
}

}  // namespace

bool canWriteInFolder(const QString& folder) {
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        return false;
    }
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".write-test-XXXXXX")));
    return probe.open();  // removed again when `probe` goes
}

StorageFolders chooseStorageFolders(const QString& programDirectory) {
    StorageFolders folders;
    if (!isSystemProgramFolder(programDirectory) && canWriteInFolder(programDirectory)) {
        folders.settings = folders.data = programDirectory;
        return folders;
    }
    folders.place = StoragePlace::UserFolders;
    folders.settings = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    folders.data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    for (const QString& folder : {folders.settings, folders.data}) {
        if (!canWriteInFolder(folder) && !folders.unwritable.contains(folder)) {
            folders.unwritable << folder;
        }
    }
    return folders;
}

QString storageWarning(const StorageFolders& folders) {
    if (folders.unwritable.isEmpty()) {
        return {};
    }
    QStringList shown;
    for (const QString& folder : folders.unwritable) {
        shown << (folder.isEmpty() ? QStringLiteral("（系统没有给出用户文件夹）")
                                   : QDir::toNativeSeparators(folder));
    }
    return QStringLiteral(
               "程序所在的文件夹不能写入，下面的用户文件夹也无法创建或写入：\n\n%1\n\n"
               "程序照常运行，但本次的设置、输入的文本和自定义正则都不会被保存。")
        .arg(shown.join(u'\n'));
}

}  // namespace lcr
