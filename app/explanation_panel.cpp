#include "app/explanation_panel.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QScopedValueRollback>
#include <QScreen>
#include <QTextCursor>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/window_widgets.h"
#include "library/pattern_words.h"
#include "operations/expression_chain.h"

namespace lcr {

namespace {

constexpr int kStartRole = Qt::UserRole;
constexpr int kEndRole = Qt::UserRole + 1;
constexpr int kPanelWidth = 420;
constexpr int kGapToWindow = 8;

struct ExplainedBox {
    const char* box;
    const char* label;
    const char* caption;
};

// The boxes explained, the 解释 label beside each and what the window says
// it explains.
constexpr ExplainedBox kBoxes[] = {
    {"编辑框提取表达式", "标签解释提取", "提取表达式"},
    {"编辑框匹配表达式", "标签解释匹配", "匹配表达式"},
    {"编辑框替换表达式", "标签解释替换", "替换表达式"},
};

constexpr const char* kOptionBoxes[] = {"选择框忽略大小写", "选择框多行模式", "选择框单行模式",
                                        "选择框扩展模式"};

// A box's text has CR LF line breaks; its document holds one character for
// each, and one for every other character of the text.
int documentPosition(const QString& programText, std::size_t position) {
    const qsizetype end = std::min<qsizetype>(static_cast<qsizetype>(position), programText.size());
    int breaks = 0;
    for (qsizetype i = 0; i < end; ++i) {
        breaks += programText[i] == u'\n' ? 1 : 0;
    }
    return static_cast<int>(end) - breaks;
}

std::size_t programPosition(const QString& programText, int documentPosition) {
    qsizetype i = 0;
    for (int d = 0; d < documentPosition && i < programText.size(); ++d) {
        i += programText[i] == u'\r' && i + 1 < programText.size() && programText[i + 1] == u'\n'
                 ? 2
                 : 1;
    }
    return static_cast<std::size_t>(i);
}

// One line of words: line breaks in quoted text shown as a sign.
QString shownWords(std::u16string_view words) {
    QString text = toQString(words);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("↵"));
    text.replace(u'\n', QStringLiteral("↵"));
    text.replace(u'\r', QStringLiteral("↵"));
    return text;
}

QTreeWidgetItem* newItem(std::u16string_view words, std::size_t start, std::size_t end) {
    const QString shown = shownWords(words);
    auto* item = new QTreeWidgetItem(QStringList(shown));
    item->setToolTip(0, shown);
    item->setData(0, kStartRole, static_cast<qulonglong>(start));
    item->setData(0, kEndRole, static_cast<qulonglong>(end));
    return item;
}

void addNodeItems(QTreeWidgetItem* parent, const ExplanationNode& node, std::size_t offset,
                  int number) {
    for (const ExplanationNode& child : node.children) {
        QTreeWidgetItem* item =
            newItem(describeNode(child, number), offset + child.start, offset + child.end);
        parent->addChild(item);
        addNodeItems(item, child, offset, number);
    }
}

}  // namespace

ExplanationPanel::ExplanationPanel(MainWindow& window)
    : QWidget(&window, Qt::Tool), m_window(window) {
    setObjectName(QStringLiteral("表达式解释"));
    setWindowTitle(QStringLiteral("表达式解释"));
    // Opening it leaves the keyboard in the expression box.
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("表达式解释标题"));
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("表达式解释树"));
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setUniformRowHeights(true);
    // The column is as wide as the window: fitting it to every row's words
    // would measure them all on every keystroke. A long row shows its whole
    // words as its tool tip.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(m_caption);
    layout->addWidget(m_tree);
    resize(kPanelWidth, window.height());

    for (const ExplainedBox& explained : kBoxes) {
        ProgramTextEdit* box = window.editBox(explained.box);
        connect(box, &ProgramTextEdit::focusReceived, this, [this, box] {
            if (isVisible()) {
                explain(box);
            }
        });
        connect(box, &ProgramTextEdit::textChanged, this, [this] {
            if (isVisible()) {
                refresh();
            }
        });
        connect(box, &ProgramTextEdit::cursorPositionChanged, this, [this, box] {
            if (isVisible() && box == m_box && !m_syncing) {
                selectNodeAtCursor();
            }
        });
    }
    for (const char* name : kOptionBoxes) {
        connect(window.control<QCheckBox>(QString::fromUtf8(name)), &QCheckBox::toggled, this,
                [this] {
                    if (isVisible()) {
                        refresh();
                    }
                });
    }
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (!m_syncing && item) {
            selectSpanOf(item);
        }
    });
    connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        if (!m_syncing) {
            selectSpanOf(item);
        }
    });
}

void bindExplanationLabels(MainWindow& window) {
    for (const ExplainedBox& explained : kBoxes) {
        auto* label = window.control<ActionLabel>(QString::fromUtf8(explained.label));
        ProgramTextEdit* box = window.editBox(explained.box);
        QObject::connect(label, &ActionLabel::pressed, &window, [&window, box] {
            auto* panel = window.findChild<ExplanationPanel*>(QStringLiteral("表达式解释"),
                                                              Qt::FindDirectChildrenOnly);
            if (!panel) {
                panel = new ExplanationPanel(window);
            }
            panel->toggleFor(box);
        });
    }
}

void ExplanationPanel::toggleFor(ProgramTextEdit* box) {
    if (isVisible() && box == m_box) {
        hide();
        return;
    }
    if (!isVisible()) {
        placeBesideWindow();
        show();
    }
    explain(box);
}

void ExplanationPanel::explain(ProgramTextEdit* box) {
    m_box = box;
    refresh();
    selectNodeAtCursor();
}

bool ExplanationPanel::isReplacementBox() const {
    return m_box == m_window.editBox("编辑框替换表达式");
}

void ExplanationPanel::refresh() {
    if (!m_box) {
        return;
    }
    const QString text = m_box->programText();
    // A replacement text is read against the expressions it belongs to.
    const QString chain =
        isReplacementBox() ? m_window.editBox("编辑框匹配表达式")->programText() : QString();
    const int bits = engineOptionBits(m_window.readOptions());
    if (m_shown.box == m_box && m_shown.optionBits == bits && m_shown.text == text &&
        m_shown.chain == chain) {
        return;
    }
    rebuild(text, chain, bits);
    m_shown = {m_box, text, chain, bits};
    selectNodeAtCursor();
}

void ExplanationPanel::rebuild(const QString& text, const QString& chain, int optionBits) {
    for (const ExplainedBox& explained : kBoxes) {
        if (m_window.editBox(explained.box) == m_box) {
            m_caption->setText(
                QStringLiteral("正在解释：%1").arg(QString::fromUtf8(explained.caption)));
        }
    }
    QScopedValueRollback guard(m_syncing, true);
    m_tree->setUpdatesEnabled(false);
    m_tree->clear();
    m_roots.clear();
    QList<QTreeWidgetItem*> roots;
    if (isReplacementBox()) {
        for (const ExplainedReplacement& e :
             explainReplacements(viewOf(text), viewOf(chain), optionBits)) {
            const std::size_t end = e.parts.empty() ? e.offset : e.parts.back().end;
            QTreeWidgetItem* root = newItem(e.words, e.offset, end);
            for (const ExplainedReplacement::Part& part : e.parts) {
                root->addChild(newItem(part.words, part.start, part.end));
            }
            roots << root;
            m_roots.push_back({e.offset, end, std::nullopt});
        }
    } else {
        for (ExplainedExpression& e : explainChain(viewOf(text), optionBits)) {
            const int number = static_cast<int>(e.pieceIndex) + 1;
            QTreeWidgetItem* root =
                newItem(describeNode(e.root, number), e.offset, e.offset + e.root.end);
            addNodeItems(root, e.root, e.offset, number);
            roots << root;
            m_roots.push_back({e.offset, e.offset + e.root.end, std::move(e.root)});
        }
    }
    m_tree->addTopLevelItems(roots);
    m_tree->expandAll();
    m_tree->setUpdatesEnabled(true);
}

void ExplanationPanel::selectNodeAtCursor() {
    if (!m_box) {
        return;
    }
    const QString text = m_box->programText();
    const std::size_t position = programPosition(text, m_box->textCursor().position());
    QTreeWidgetItem* found = nullptr;
    for (std::size_t r = 0; r < m_roots.size() && !found; ++r) {
        const Root& root = m_roots[r];
        if (position < root.start || position > root.end) {
            continue;
        }
        found = m_tree->topLevelItem(static_cast<int>(r));
        if (root.expression) {
            for (std::size_t index : nodePathAt(*root.expression, position - root.start)) {
                found = found->child(static_cast<int>(index));
            }
        } else {
            for (int i = 0; i < found->childCount(); ++i) {
                QTreeWidgetItem* part = found->child(i);
                if (part->data(0, kStartRole).toULongLong() <= position &&
                    position < part->data(0, kEndRole).toULongLong()) {
                    found = part;
                    break;
                }
            }
        }
    }
    QScopedValueRollback guard(m_syncing, true);
    m_tree->setCurrentItem(found);
    if (found) {
        m_tree->scrollToItem(found);
    }
}

void ExplanationPanel::selectSpanOf(QTreeWidgetItem* item) {
    if (!m_box) {
        return;
    }
    const QString text = m_box->programText();
    QTextCursor cursor = m_box->textCursor();
    cursor.setPosition(documentPosition(text, item->data(0, kStartRole).toULongLong()));
    cursor.setPosition(documentPosition(text, item->data(0, kEndRole).toULongLong()),
                       QTextCursor::KeepAnchor);
    QScopedValueRollback guard(m_syncing, true);
    m_box->setTextCursor(cursor);
    m_box->ensureCursorVisible();
}

void ExplanationPanel::placeBesideWindow() {
    if (m_placed) {
        return;  // where the user left it
    }
    m_placed = true;
    const QRect frame = m_window.frameGeometry();
    QRect wanted(frame.right() + 1 + kGapToWindow, frame.top(), kPanelWidth, m_window.height());
    if (const QScreen* screen = m_window.screen()) {
        const QRect available = screen->availableGeometry();
        // Beside the window when there is room, else over its right edge.
        if (wanted.right() > available.right()) {
            wanted.moveRight(available.right());
        }
        if (wanted.bottom() > available.bottom()) {
            wanted.setBottom(available.bottom());
        }
    }
    setGeometry(wanted);
}

}  // namespace lcr
