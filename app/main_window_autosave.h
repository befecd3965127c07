// Saving the main window's texts and settings while the user works, so that
// a crash, a kill or a power loss loses at most the last moments of work.
//
// A change of anything the close would save (an edit box, a check box, a
// combo box, the filter, the page, a splitter, the window's geometry, a
// control's tag) starts a wait: the save runs kQuietMs after the last change,
// and never later than kLatestMs after the first change not yet saved, so
// steady typing is saved too. A save writes only what changed since the
// previous one: the INI document, in one write, when save mode (without the
// byte-block texts) changes any of its values; and each byte-block text
// whose box changed, so a large text that stays the same is never written
// again. Every write is one of the store's atomic replacements: a kill in
// the middle of a save leaves the previous file. Closing the window still
// saves everything (persistMainWindow).
#pragma once

#include <QHash>
#include <QObject>
#include <QTimer>

namespace lcr {

class ConfigStore;
class MainWindow;
class ProgramTextEdit;

class MainWindowAutosave final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindowAutosave)
public:
    static constexpr int kQuietMs = 1000;
    static constexpr int kLatestMs = 1500;

    // Watches `window`'s controls; their present state counts as saved.
    MainWindowAutosave(MainWindow& window, ConfigStore& store);

    // Something the close would save may have changed.
    void noteChange();
    // Writes what changed since the last save, now. Nothing while the store
    // does not reach its file (another copy holds it).
    void saveChanges();
    // No more saves (the window is closing and saves everything itself).
    void stop();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MainWindow& m_window;
    ConfigStore& m_store;
    QTimer m_quiet;
    QTimer m_latest;
    QHash<ProgramTextEdit*, quint64> m_savedRevisions;
    bool m_saving = false;
    bool m_stopped = false;
};

}  // namespace lcr
