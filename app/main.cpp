// Program entry: reads no command line and no environment of its own; the
// program directory is the executable's.
#include <QApplication>

#include "app/application.h"
#include "operations/process_memory.h"

int main(int argc, char* argv[]) {
    lcr::keepFreedMemoryForReuse();
    QApplication application(argc, argv);
    lcr::setApplicationIdentity();
    lcr::loadQtTranslations();
    return lcr::runProgram(QCoreApplication::applicationDirPath());
}
