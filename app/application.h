// The program's start and shutdown.
//
// Start: the toolkit is initialised (with Qt's own texts in the desktop's
// language); the process-wide objects are created empty; the start routine
// decides once where the program's files live (storage_folders.h), tells
// the user when nothing can be kept, opens the configuration store on the
// INI file there and opens the main window, whose created handler finishes
// its set-up. Then the message loop runs until the main window has
// been closed; closing saves the settings. When the loop ends the exit
// clean-up releases the process-wide objects.
#pragma once

#include <QString>

namespace lcr {

class PlatformServices;

inline constexpr const char* kIniFileName = "岚川·正则表达式助手.ini";

// The one application name: the XDG folders are named after it, and the
// desktop entry, the icon and the metainfo after the desktop file name.
inline constexpr char kApplicationName[] = "LCRegular";
inline constexpr char kDesktopFileName[] = "cn.lanchuan.LCRegular";

// Names the application (see above). Called right after the QApplication
// is made, before anything asks for a standard path.
void setApplicationIdentity();

// Loads Qt's own translations (file and message dialogs, the edit boxes'
// context menus, the buttons of message boxes) for the desktop's language
// from Qt's translations folder; false when there are none for it (Debian
// ships them in qt6-translations-l10n). Every text of the program's own is
// Chinese already.
bool loadQtTranslations();

// Runs the whole program on `programDirectory` (the executable's directory
// for the real program) with the desktop's services and returns the exit
// status, 0 when the loop ended. The QApplication must exist.
int runProgram(const QString& programDirectory);
// The same with the given services (tests hand in scripted ones).
int runProgram(const QString& programDirectory, PlatformServices& services);

}  // namespace lcr
