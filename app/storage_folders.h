// Where the program keeps its files, decided once at start.
//
//   StorageFolders folders = chooseStorageFolders(programDirectory);
//   openConfigStore(store, services, folders.settings);   // INI file, inibin
//   MainWindow window(state, services, folders.data);     // 自定义正则.txt, documents
//
// A portable copy keeps everything beside the executable, as long as that
// folder can be written: nothing moves and nothing is added elsewhere. An
// installed copy (its folder cannot be written, or lies under /usr, where
// the package manager owns every file even when root runs the program)
// keeps the settings in the user's XDG config folder and the expression
// file and the written documents in the XDG data folder, both under the
// application name (by default ~/.config/LCRegular and
// ~/.local/share/LCRegular), created on first start.
//
// When those cannot be written either, the folders are still the XDG ones
// (every write there fails quietly and the settings live in memory for the
// run) and storageWarning gives the one message the user is shown.
#pragma once

#include <QString>
#include <QStringList>

namespace lcr {

enum class StoragePlace {
    BesideProgram,  // the program's own folder (a portable copy)
    UserFolders,    // the XDG config and data folders
};

struct StorageFolders {
    StoragePlace place = StoragePlace::BesideProgram;
    QString settings;  // holds the INI file and the folder inibin
    QString data;      // holds 自定义正则.txt and the documents of the links
    // The folders that could not be created or written; empty when
    // everything can be kept.
    QStringList unwritable;
};

// Whether a file can be created in `folder` (made first, with its parents,
// when missing). Tries for real, with a temporary file it removes again:
// permission bits do not tell, for example, a read-only mount, and root
// passes every permission check.
bool canWriteInFolder(const QString& folder);

// The choice described above, for the executable's folder.
StorageFolders chooseStorageFolders(const QString& programDirectory);

// The message for folders.unwritable, in Chinese; empty when there is
// nothing to say.
QString storageWarning(const StorageFolders& folders);

}  // namespace lcr
