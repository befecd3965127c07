// The main window: every control of the design, built from the control
// inventory (main_window_inventory.h), laid out by layoutMainWindow on every
// resize and splitter drag.
//
// Controls are found by their design names (objectName); the design tag is
// the dynamic property "tag". The window is handed its program directory and
// its platform services, so tests run it on a directory of their own with
// scripted services.
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QWidget>

#include "app/main_window_layout.h"

class QTabWidget;

namespace lcr {

class PlatformServices;
struct ProgramState;

class MainWindow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)
public:
    MainWindow(ProgramState& state, PlatformServices& services, QString programDirectory,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // A control by design name (a widget, or the banner's timer); nullptr
    // when there is none.
    QObject* control(const QString& name) const { return m_controls.value(name); }
    template <class T>
    T* control(const QString& name) const {
        return qobject_cast<T*>(control(name));
    }
    // Every control in the window's order: containers before their children.
    const QList<QObject*>& controlsInOrder() const { return m_order; }

    const QString& programDirectory() const { return m_programDirectory; }
    const SplitterTops& splitterTops() const { return m_splitters; }
    // Moves a splitter to `top` within its page and lays the window out, as
    // a drag does.
    void moveSplitter(const QString& name, int top);
    // Applies layoutMainWindow to the current client size and splitters.
    void applyLayout();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    QObject* createControl(const struct ControlSpec& spec, QWidget* parent);
    void onCreated();
    void onCloseRequested();

    // Calls into the other subsystems at their places in the start and
    // close sequences; each is filled in by its subsystem.
    void buildSyntaxHelp();
    void loadExpressionLibrary();
    void persistMainWindow(bool save);

    ProgramState& m_state;
    PlatformServices& m_services;
    QString m_programDirectory;
    QHash<QString, QObject*> m_controls;
    QList<QObject*> m_order;
    QTabWidget* m_tabs = nullptr;
    SplitterTops m_splitters;
};

}  // namespace lcr
