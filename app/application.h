// The program's start and shutdown.
//
// Start: the toolkit is initialised; the process-wide objects are created
// empty; the start routine opens the configuration store on the INI file
// beside the program and opens the main window, whose created handler
// finishes its set-up. Then the message loop runs until the main window has
// been closed; closing saves the settings. When the loop ends the exit
// clean-up releases the process-wide objects.
#pragma once

#include <QString>

namespace lcr {

inline constexpr const char* kIniFileName = "岚川·正则表达式助手.ini";

// Runs the whole program on `programDirectory` (the executable's directory
// for the real program) and returns the exit status, 0 when the loop ended.
// The QApplication must exist.
int runProgram(const QString& programDirectory);

}  // namespace lcr
