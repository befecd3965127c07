// The process-wide state: created empty at program start, in the order
// below, and released in the exit clean-up (see application.h).
#pragma once

#include <QPointer>
#include <QString>

#include <vector>

#include "config/config_store.h"
#include "library/expression_library.h"
#include "regex/newline_corrector.h"

namespace lcr {

class ProgramTextEdit;

struct ProgramState {
    // The settings in the INI file; holds the file open
    // for its whole life and closes it when released.
    ConfigStore configStore;
    // The folder of the INI file and the folder inibin, as the start routine
    // chose it (storage_folders.h); empty when the window was handed its
    // folder directly (tests), which then holds the settings as well.
    QString settingsFolder;

    // Lone CR and lone LF to CR LF; compiled when the main window has been
    // created, used by extraction, replacement and the batch runs.
    NewlineCorrector& newlineCorrector = processNewlineCorrector();

    // Set at the end of the main window's set-up and never reset: until
    // then extraction and replacement ignore every request, such as the
    // text changes raised while saved settings are restored.
    bool mainWindowReady = false;

    // The ready-made expressions of 组合框经典正则, entry k for item k.
    std::vector<LibraryEntry> expressionLibrary;

    // The extraction's re-entry guard and restart request.
    bool extractRunning = false;
    bool extractRestartRequested = false;

    // The expression box that last had the focus; quick insertion writes
    // into it. None until one of the three expression boxes is focused.
    QPointer<ProgramTextEdit> insertTarget;

    // Where the folder chooser starts.
    QString folderChooserInitialFolder;

    // The banner's direction.
    bool bannerMovingLeft = false;
};

}  // namespace lcr
