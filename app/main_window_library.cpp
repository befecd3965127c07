// The main window's syntax help (the list 语法 and the metacharacter
// buttons) and its library of ready-made expressions (组合框经典正则), built
// once when the window is created.
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>

#include "app/main_window.h"
#include "app/metacharacter_strip.h"
#include "app/plain_tooltip.h"
#include "app/platform_services.h"
#include "app/program_state.h"
#include "app/qt_text.h"
#include "library/expression_library.h"
#include "library/syntax_help.h"

namespace lcr {

void MainWindow::buildSyntaxHelp() {
    const std::vector<SyntaxRow> rows = syntaxTableRows();
    auto* list = control<QTableView>(QStringLiteral("语法"));
    auto* model = qobject_cast<QStandardItemModel*>(list->model());
    for (const SyntaxRow& row : rows) {
        auto* token = new QStandardItem(toQString(row.token));
        auto* description = new QStandardItem(toQString(row.description));
        description->setToolTip(plainToolTip(description->text()));
        model->appendRow({token, description});
    }

    // The buttons are copies of the template: its height, font and
    // behaviour, each at its own place in the row.
    auto* templateButton = control<QPushButton>(QStringLiteral("超级按钮"));
    for (const MetacharacterButton& b : layoutMetacharacterButtons(rows)) {
        const SyntaxRow& row = rows[b.row];
        auto* button = new QPushButton(toQString(row.token), m_strip->row());
        button->setObjectName(QStringLiteral("超级按钮_%1").arg(b.row + 1));
        button->setFont(templateButton->font());
        button->setFocusPolicy(Qt::NoFocus);
        button->setToolTip(plainToolTip(toQString(row.description)));
        button->setGeometry(b.left, 0, b.width, kMetacharacterButtonHeight);
        button->setProperty("role", QStringLiteral("metacharacter"));
        connect(button, &QPushButton::clicked, this, [this, button] {
            const QString caption = button->text();
            quickInsert(toQString(metacharacterInsertText(viewOf(caption))));
        });
    }
    m_strip->fitRowToButtons();

    // A right click copies the token of the row under the mouse (made
    // current first), untrimmed.
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this, [this, list, rows](QPoint at) {
        const QModelIndex index = list->indexAt(at);
        if (index.isValid()) {
            list->setCurrentIndex(index.siblingAtColumn(0));
        }
        const int current = list->currentIndex().isValid() ? list->currentIndex().row() : -1;
        m_services.setClipboardText(toQString(syntaxRowCopyText(rows, current)));
        m_runStatus->showBriefly(QStringLiteral("已复制"), 1000);
    });
    fitColumns(list);
}

void MainWindow::loadExpressionLibrary() {
    const std::filesystem::path directory(QFile::encodeName(m_programDirectory).toStdString());
    m_state.expressionLibrary = lcr::loadExpressionLibrary(directory);
    auto* combo = control<QComboBox>(QStringLiteral("组合框经典正则"));
    for (const LibraryEntry& entry : m_state.expressionLibrary) {
        combo->addItem(toQString(entry.name));
    }
    // Only a choice of the user inserts; setting the item from code does not.
    connect(combo, &QComboBox::activated, this, [this](int k) {
        if (k >= 0 && static_cast<std::size_t>(k) < m_state.expressionLibrary.size()) {
            quickInsert(
                toQString(m_state.expressionLibrary[static_cast<std::size_t>(k)].expression));
        }
    });
}

}  // namespace lcr
