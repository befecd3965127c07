#include "app/application.h"

#include <QApplication>
#include <QDir>
#include <memory>

#include "app/main_window.h"
#include "app/main_window_settings.h"
#include "app/platform_services.h"
#include "app/program_state.h"

namespace lcr {

namespace {

// The process-wide objects, released in the exit clean-up's order by their
// destructors: the state first (the configuration store it holds closes its
// file), the platform services last.
struct ProcessObjects {
    QtPlatformServices services;
    ProgramState state;
};

}  // namespace

int runProgram(const QString& programDirectory) {
    auto objects = std::make_unique<ProcessObjects>();

    // Start routine: the INI file beside the program, then the main window.
    // The store's result is not looked at: without a file it works in memory.
    openConfigStore(objects->state.configStore, objects->services, programDirectory);

    auto window = std::make_unique<MainWindow>(objects->state, objects->services, programDirectory);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->show();
    QApplication::setQuitOnLastWindowClosed(true);
    const int status = QApplication::exec();
    window.reset();
    objects.reset();  // exit clean-up
    return status;
}

}  // namespace lcr
