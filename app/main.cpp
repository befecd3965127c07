// Program entry: reads no command line and no environment; the program
// directory is the executable's.
#include <QApplication>

#include "app/application.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("LCRegular"));
    return lcr::runProgram(QCoreApplication::applicationDirPath());
}
