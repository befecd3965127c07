// The window's match highlighting: the matches of the extraction in
// 编辑框提取文本, linked both ways with the rows of 提取结果; the first
// expression's matches in 编辑框替换文本 and the replaced spans in
// 编辑框替换结果. 选择框高亮 turns it on and off.
//
// The operations hand it the matches they keep; the text boxes, the table
// model and the highlighters meet only in those match lists.
#pragma once

#include <QObject>
#include <cstdint>
#include <vector>

#include "operations/extraction.h"

namespace lcr {

class GroupBracketHighlighter;
class MainWindow;
class MatchHighlighter;

class MatchHighlighting final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MatchHighlighting)
public:
    explicit MatchHighlighting(MainWindow& window);

    // An extraction starts: the table has been cleared.
    void extractionStarted();
    // One expression's matches in the extraction's text at `textRevision`.
    void expressionExtracted(const ExpressionMatches& matches, quint64 textRevision);
    // A replacement: the first expression's matches in the source at
    // `sourceRevision`, and the replaced spans of `result`, the text just
    // written to 编辑框替换结果 (start, end pairs each).
    void replaced(std::vector<std::int32_t> sourceSpans, quint64 sourceRevision,
                  std::u16string_view result, std::vector<std::int32_t> resultSpans);

    MatchHighlighter* extractText() const { return m_extractText; }
    MatchHighlighter* replaceSource() const { return m_replaceSource; }
    MatchHighlighter* replaceResult() const { return m_replaceResult; }
    // The group under the caret in 编辑框提取表达式 and 编辑框匹配表达式.
    GroupBracketHighlighter* extractExpression() const { return m_extractExpression; }
    GroupBracketHighlighter* matchExpression() const { return m_matchExpression; }

private:
    void setEnabled(bool on);
    void rowChanged(int row);
    void matchClicked(int expression, int match);

    MainWindow& m_window;
    MatchHighlighter* m_extractText;
    MatchHighlighter* m_replaceSource;
    MatchHighlighter* m_replaceResult;
    GroupBracketHighlighter* m_extractExpression;
    GroupBracketHighlighter* m_matchExpression;
    // A row selected from a click in the text leaves the text's caret alone.
    bool m_selectingFromText = false;
};

}  // namespace lcr
