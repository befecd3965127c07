// Program entry: reads no command line and no environment of its own; the
// program directory is the executable's.
#include <QApplication>

#include "app/application.h"
#include "operations/process_memory.h"
#include "regex/engine.h"

int main(int argc, char* argv[]) {
    lcr::keepFreedMemoryForReuse();
    // A search in the window stops after two seconds, marked incomplete,
    // rather than keep the user waiting.
    lcr::setDefaultSearchTimeBudget(std::chrono::seconds(2));
    QApplication application(argc, argv);
    lcr::setApplicationIdentity();
    lcr::loadQtTranslations();
    return lcr::runProgram(QCoreApplication::applicationDirPath());
}
