#include "app/application.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

#include "app/main_window.h"
#include "app/main_window_settings.h"
#include "app/platform_services.h"
#include "app/program_state.h"
#include "app/storage_folders.h"

namespace lcr {

void setApplicationIdentity() {
    QCoreApplication::setApplicationName(QString::fromUtf8(kApplicationName));
    QCoreApplication::setApplicationVersion(QStringLiteral(LCR_VERSION));
    QGuiApplication::setDesktopFileName(QString::fromUtf8(kDesktopFileName));
    // The theme's icon where the program is installed, else its own copy.
    QIcon builtIn;
    for (int size : {32, 48, 128, 256}) {
        builtIn.addFile(QStringLiteral(":/icon/cn.lanchuan.LCRegular-%1.png").arg(size));
    }
    QApplication::setWindowIcon(QIcon::fromTheme(QString::fromUtf8(kDesktopFileName), builtIn));
}

bool loadQtTranslations() {
    // qtbase holds every text of Qt Widgets the program shows; Debian ships
    // it in qt6-translations-l10n.
    auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
    if (!translator->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator.get())) {
        return false;
    }
    translator.release();  // owned by the application from here on
    return true;
}

namespace {

// The process-wide objects, released in the exit clean-up's order by their
// destructors: the state holds the configuration store, which closes its
// file.
struct ProcessObjects {
    ProgramState state;
};

}  // namespace

int runProgram(const QString& programDirectory) {
    QtPlatformServices services;
    return runProgram(programDirectory, services);
}

int runProgram(const QString& programDirectory, PlatformServices& services) {
    auto objects = std::make_unique<ProcessObjects>();

    // Start routine: where the files live, the INI file there, then the
    // main window. The store's result is not looked at: without a file it
    // works in memory, and the user has been told so already.
    const StorageFolders folders = chooseStorageFolders(programDirectory);
    if (const QString warning = storageWarning(folders); !warning.isEmpty()) {
        services.showMessage(nullptr, QStringLiteral("信息："), warning, MessageButtons::Ok);
    }
    objects->state.settingsFolder = folders.settings;
    openConfigStore(objects->state.configStore, services, folders.settings);

    auto window = std::make_unique<MainWindow>(objects->state, services, folders.data);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->show();
    QApplication::setQuitOnLastWindowClosed(true);
    const int status = QApplication::exec();
    window.reset();
    objects.reset();  // exit clean-up
    return status;
}

}  // namespace lcr
