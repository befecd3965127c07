#include "app/match_highlighting.h"

#include <QCheckBox>
#include <QItemSelectionModel>
#include <QTableView>

#include "app/group_brackets.h"
#include "app/main_window.h"
#include "app/match_colors.h"
#include "app/match_highlighter.h"
#include "app/result_table_model.h"
#include "dialogs/program_text_edit.h"

namespace lcr {

MatchHighlighting::MatchHighlighting(MainWindow& window)
    : QObject(&window),
      m_window(window),
      m_extractText(new MatchHighlighter(window.editBox("编辑框提取文本"), this)),
      m_replaceSource(new MatchHighlighter(window.editBox("编辑框替换文本"), this)),
      m_replaceResult(new MatchHighlighter(window.editBox("编辑框替换结果"), this)),
      m_extractExpression(new GroupBracketHighlighter(window.editBox("编辑框提取表达式"), this)),
      m_matchExpression(new GroupBracketHighlighter(window.editBox("编辑框匹配表达式"), this)) {
    auto* view = window.control<QTableView>(QStringLiteral("提取结果"));
    connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { rowChanged(current.row()); });
    connect(m_extractText, &MatchHighlighter::matchClicked, this, &MatchHighlighting::matchClicked);
    auto* toggle = window.control<QCheckBox>(QStringLiteral("选择框高亮"));
    connect(toggle, &QCheckBox::toggled, this, &MatchHighlighting::setEnabled);
    setEnabled(toggle->isChecked());
}

void MatchHighlighting::setEnabled(bool on) {
    for (MatchHighlighter* h : {m_extractText, m_replaceSource, m_replaceResult}) {
        h->setEnabled(on);
    }
    m_extractExpression->setEnabled(on);
    m_matchExpression->setEnabled(on);
    ResultTableModel* model = m_window.resultModel();
    if (on) {
        model->setGroupColors(
            [this](int group) { return MatchColors(m_window.palette()).groupBackground(group); });
    } else {
        model->setGroupColors({});
    }
}

void MatchHighlighting::extractionStarted() {
    m_extractText->clear();
}

void MatchHighlighting::expressionExtracted(const ExpressionMatches& matches,
                                            quint64 textRevision) {
    m_extractText->addExpression(matches, textRevision);
}

void MatchHighlighting::replaced(std::vector<std::int32_t> sourceSpans, quint64 sourceRevision,
                                 std::u16string_view result,
                                 std::vector<std::int32_t> resultSpans) {
    m_replaceSource->setPlainSpans(std::move(sourceSpans), sourceRevision);
    // The box reads a lone CR or LF of the result back as CR LF: positions
    // after one move on by one.
    std::size_t scanned = 0;
    std::int32_t added = 0;
    for (std::int32_t& position : resultSpans) {
        const auto target = static_cast<std::size_t>(position);
        for (; scanned < target && scanned < result.size(); ++scanned) {
            const char16_t c = result[scanned];
            if (c == u'\r' ? scanned + 1 >= result.size() || result[scanned + 1] != u'\n'
                           : c == u'\n' && (scanned == 0 || result[scanned - 1] != u'\r')) {
                ++added;
            }
        }
        position += added;
    }
    m_replaceResult->setPlainSpans(std::move(resultSpans),
                                   m_window.editBox("编辑框替换结果")->revision());
}

void MatchHighlighting::rowChanged(int row) {
    if (m_selectingFromText || row < 0 || !m_extractText->isEnabled()) {
        return;
    }
    int match = 0;
    const int expression = m_window.resultModel()->expressionOfRow(row, &match);
    m_extractText->selectMatch(expression, match);
}

void MatchHighlighting::matchClicked(int expression, int match) {
    const int row = m_window.resultModel()->rowOf(expression, match);
    if (row < 0) {
        return;
    }
    auto* view = m_window.control<QTableView>(QStringLiteral("提取结果"));
    m_selectingFromText = true;
    view->selectRow(row);
    view->scrollTo(m_window.resultModel()->index(row, 0));
    m_selectingFromText = false;
}

}  // namespace lcr
