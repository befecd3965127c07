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
#include <memory>
#include <optional>
#include <string>

#include "app/dialog_services.h"
#include "app/main_window_layout.h"
#include "app/run_status.h"
#include "dialogs/input_dialog.h"
#include "operations/expression_chain.h"

class QLabel;
class QTabWidget;
class QTableView;

namespace lcr {

class MainWindowAutosave;
class MatchHighlighting;
class MetacharacterStrip;
class PlatformServices;
class ProgramTextEdit;
class ResultTableModel;
struct ProgramState;
struct CompileError;

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
    // Puts all splitters at once (restored settings), then brings them
    // into range together, so one stored value is not judged against
    // another's old place.
    void setSplitterTops(const SplitterTops& tops);
    // Applies layoutMainWindow to the current client size and splitters.
    void applyLayout();

    // The extract operation: the chain of 编辑框提取表达式 over 编辑框提取文本
    // into the result list. A request while it runs makes it start over with
    // the current input before its next row; no two runs proceed at once.
    void extract();
    // The replace operation: 编辑框替换文本 through the chain of
    // 编辑框匹配表达式 and 编辑框替换表达式 into 编辑框替换结果.
    void replaceChain();
    // With 自动执行 checked, the operation of the current page.
    void runCurrentOperation();
    // Writes `text` through the selection of the expression box last focused,
    // then focuses it; nothing when none has been focused yet.
    void quickInsert(const QString& text);
    // The options as the check boxes stand now.
    MatchOptions readOptions() const;
    // Puts `text` on the clipboard and shows "已复制" on `label` for a second.
    void copyWithFeedback(QLabel* label, const QString& text);

    ResultTableModel* resultModel() const { return m_resultModel; }
    // The matches shown in the text boxes.
    MatchHighlighting* highlighting() const { return m_highlighting; }
    // The program's one input dialog (the copy format is edited in it).
    InputDialogHost& inputDialogs() { return m_dialogs; }
    // Saves the texts and settings while the user works (nullptr until the
    // window's set-up has finished).
    MainWindowAutosave* autosave() const { return m_autosave; }
    // Copies the result table laid out by the copy format (the tag of 标签19).
    void copyResultTable();
    // Lets the user edit the copy format in the input dialog.
    void editCopyFormat();
    ProgramTextEdit* editBox(const char* name) const;
    // The status line at the bottom: why the current page's last run's
    // expression did not compile, or that its results are incomplete (and
    // why); empty when all went well (run_status.h).
    QString statusText() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void bindOperations();
    void applyTabRule(int page);
    // Returns false when a restart was requested before a row.
    bool runExtractionOnce();
    void fitColumns(QTableView* view);
    QObject* createControl(const struct DesignedControl& designed, QWidget* parent);
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
    ResultTableModel* m_resultModel = nullptr;
    QLabel* m_statusLine = nullptr;
    RunStatus* m_runStatus = nullptr;
    MetacharacterStrip* m_strip = nullptr;
    MainWindowAutosave* m_autosave = nullptr;
    MatchHighlighting* m_highlighting = nullptr;
    bool m_closeRequestedWhileStarting = false;
    PlatformDialogServices m_dialogServices;
    InputDialogHost m_dialogs;
    QHash<QLabel*, int> m_copyFeedbackGeneration;
    int m_replaceGeneration = 0;
    // The extraction's source as last prepared, kept while the text box and
    // 矫正换行 stay the same, so typing an expression over a large text does
    // not copy the text on every keystroke.
    struct PreparedSource {
        quint64 revision = 0;
        bool corrected = false;
        std::shared_ptr<const std::u16string> text;
    } m_extractSource;
};

}  // namespace lcr
