#include "app/main_window_autosave.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDynamicPropertyChangeEvent>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QTabWidget>

#include "app/main_window.h"
#include "app/main_window_settings.h"
#include "app/window_widgets.h"
#include "config/config_store.h"

namespace lcr {

MainWindowAutosave::MainWindowAutosave(MainWindow& window, ConfigStore& store)
    : QObject(&window), m_window(window), m_store(store) {
    m_quiet.setSingleShot(true);
    m_latest.setSingleShot(true);
    connect(&m_quiet, &QTimer::timeout, this, &MainWindowAutosave::saveChanges);
    connect(&m_latest, &QTimer::timeout, this, &MainWindowAutosave::saveChanges);

    for (QObject* control : window.controlsInOrder()) {
        if (auto* box = qobject_cast<ProgramTextEdit*>(control)) {
            connect(box, &ProgramTextEdit::textChanged, this, &MainWindowAutosave::noteChange);
        } else if (auto* check = qobject_cast<QCheckBox*>(control)) {
            connect(check, &QCheckBox::toggled, this, &MainWindowAutosave::noteChange);
        } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
            connect(combo, &QComboBox::currentIndexChanged, this, &MainWindowAutosave::noteChange);
        } else if (auto* line = qobject_cast<QLineEdit*>(control)) {
            connect(line, &QLineEdit::textChanged, this, &MainWindowAutosave::noteChange);
        } else if (auto* tabs = qobject_cast<QTabWidget*>(control)) {
            connect(tabs, &QTabWidget::currentChanged, this, &MainWindowAutosave::noteChange);
        } else if (auto* bar = qobject_cast<SplitterBar*>(control)) {
            connect(bar, &SplitterBar::dragged, this, &MainWindowAutosave::noteChange);
        }
        // Tags (the copy format, the batch folders) change as properties.
        control->installEventFilter(this);
    }
    window.installEventFilter(this);  // moves, resizes, maximizing

    for (ProgramTextEdit* box : byteBlockTextBoxes(window)) {
        m_savedRevisions.insert(box, box->revision());
    }
}

bool MainWindowAutosave::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::DynamicPropertyChange:
            if (static_cast<QDynamicPropertyChangeEvent*>(event)->propertyName() == "tag") {
                noteChange();
            }
            break;
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowStateChange:
            if (watched == &m_window) {
                noteChange();
            }
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

void MainWindowAutosave::noteChange() {
    if (m_stopped) {
        return;
    }
    if (!m_latest.isActive()) {
        m_latest.start(kLatestMs);
    }
    m_quiet.start(kQuietMs);
}

void MainWindowAutosave::saveChanges() {
    m_quiet.stop();
    m_latest.stop();
    // The store runs window events while it writes: a change then starts
    // the next wait, and a timer firing meanwhile does not start a second
    // save inside this one.
    if (m_stopped || m_saving || !m_store.persistsDocument()) {
        return;
    }
    const QScopedValueRollback saving(m_saving, true);
    // The settings go into a copy of the document in a store that was never
    // loaded (it writes no file), and the result replaces the document in
    // one write: one atomic replacement of the INI file instead of one for
    // each of its values, and none when no value changed.
    ConfigStore copy;
    copy.putText(m_store.wholeText());
    saveMainWindowSettings(m_window, copy);
    if (copy.wholeText() != m_store.wholeText()) {
        m_store.putText(copy.wholeText());
    }
    for (ProgramTextEdit* box : byteBlockTextBoxes(m_window)) {
        // Taken before writing: a change during the write is saved next time.
        const quint64 revision = box->revision();
        if (revision != m_savedRevisions.value(box)) {
            saveMainWindowText(m_window, m_store, *box);
            m_savedRevisions.insert(box, revision);
        }
    }
}

void MainWindowAutosave::stop() {
    m_stopped = true;
    m_quiet.stop();
    m_latest.stop();
}

}  // namespace lcr
