// 表达式解释: a tool window beside the main window that explains, live as the
// user types, the expression box last focused — 编辑框提取表达式,
// 编辑框匹配表达式 or 编辑框替换表达式 — as a tree, one node per construct,
// one root per "<#lc#>" piece, under the option check boxes as they stand.
//
// The words and the tree come from library/pattern_words.h; this only shows
// them and links them to the box: clicking a node selects its span in the
// box, moving the box's cursor selects the innermost node under it.
//
// The 解释 label beside each expression box opens the window on that box, or
// closes it when it already explains that box. A separate window rather
// than a panel inside the page: the pages' rows are laid out by design
// rectangles that leave no room for a tree, and a window of its own can be
// kept open beside either page, moved and sized as the user likes.
#pragma once

#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

#include "regex/pattern_explanation.h"

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace lcr {

class MainWindow;
class ProgramTextEdit;

class ExplanationPanel final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ExplanationPanel)
public:
    // A child of `window` (so it closes with it), shown on demand.
    // bindExplanationLabels makes it when a 解释 label is first pressed.
    explicit ExplanationPanel(MainWindow& window);

    // Opens the window on `box`; closes it when it is open on `box` already.
    void toggleFor(ProgramTextEdit* box);
    // The box explained (the one last focused), nullptr before any.
    ProgramTextEdit* explainedBox() const { return m_box; }
    QTreeWidget* tree() const { return m_tree; }

private:
    void explain(ProgramTextEdit* box);
    // Rebuilds the tree when the text, the chain it depends on or the
    // options have changed since the last build; else nothing.
    void refresh();
    void rebuild(const QString& text, const QString& chain, int optionBits);
    void selectNodeAtCursor();
    void selectSpanOf(QTreeWidgetItem* item);
    void placeBesideWindow();
    bool isReplacementBox() const;

    MainWindow& m_window;
    QLabel* m_caption = nullptr;
    QTreeWidget* m_tree = nullptr;
    ProgramTextEdit* m_box = nullptr;
    bool m_placed = false;
    bool m_syncing = false;  // a selection made here is not echoed back
    // What the tree shows, so typing elsewhere or a repeated event costs
    // nothing.
    struct Shown {
        const ProgramTextEdit* box = nullptr;
        QString text;
        QString chain;
        int optionBits = -1;
    } m_shown;
    // Per root: where its piece starts and ends in the box's text, and the
    // tree of an expression (the replacement texts' parts are one level).
    struct Root {
        std::size_t start = 0;
        std::size_t end = 0;
        std::optional<ExplanationNode> expression;
    };
    std::vector<Root> m_roots;
};

// Binds the 解释 labels of `window`: the first press makes the window's
// ExplanationPanel, every press toggles it on the label's box.
void bindExplanationLabels(MainWindow& window);

}  // namespace lcr
