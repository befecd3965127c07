// Shows matches inside an edit box: every match of the expressions handed
// to it, each capture group in its own colour, zero-length ones as a thin
// mark; or plain spans (the replaced parts of a result).
//
// Presentation only: the spans are the box's extra selections and a mark
// layer over its viewport, so the text, its undo history and its
// text-changed notification stay as they are. Only the spans on screen are
// made, on every scroll and resize, so a text of millions of characters with
// a hundred thousand matches costs what one screen of them costs. The spans
// belong to the text they were found in: any change of the text drops them.
//
// Positions are program positions (CR LF line breaks), as the matches
// count them; the box's document has one character per line break.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/match_colors.h"
#include "operations/extraction.h"

class QWidget;

namespace lcr {

class ProgramTextEdit;

class MatchHighlighter final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MatchHighlighter)
public:
    explicit MatchHighlighter(ProgramTextEdit* box, QObject* parent = nullptr);
    ~MatchHighlighter() override;

    // Off shows nothing; the matches are kept, so turning it on shows them.
    void setEnabled(bool on);
    bool isEnabled() const { return m_enabled; }
    // Drops every match and span.
    void clear();
    // The matches of one more expression of the chain, found in the box's
    // text at `revision` (ProgramTextEdit::revision); ignored when the text
    // has changed since.
    void addExpression(const ExpressionMatches& matches, quint64 revision);
    // Plain spans of the text at `revision`: flat start, end pairs in
    // program positions, in order, not overlapping; highlighted in the first
    // expression's colour.
    void setPlainSpans(std::vector<std::int32_t> startEndPairs, quint64 revision);

    // A highlighted span as shown now, in program positions; group 0 is the
    // whole match.
    struct Span {
        int start = 0;
        int end = 0;
        int expression = 0;
        int group = 0;
        bool operator==(const Span&) const = default;
    };
    const std::vector<Span>& shownSpans() const { return m_shown; }

    // Match `match` (from 1) of expression `expression` (from 0): selects it
    // in the box, its start scrolled into view.
    void selectMatch(int expression, int match);
    // The match at a program position (its end counts), the earliest
    // expression first; expression -1 when there is none.
    struct Hit {
        int expression = -1;
        int match = 0;
    };
    Hit matchAt(int programPosition) const;
    // What the tooltip over the match says: its number, expression,
    // line and column, and its groups.
    QString describe(Hit hit) const;

    // Between the box's document positions and program positions. A
    // program position between the CR and the LF of a line break lies
    // before the break, or after it with `afterBreak`.
    int toProgramPosition(int documentPosition) const;
    int toDocumentPosition(int programPosition, bool afterBreak) const;

    // Makes the spans of what is on screen now.
    void refresh();

signals:
    // A click in the box on a highlighted match.
    void matchClicked(int expression, int match);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Layer;
    class MarkLayer;

    void textChanged();
    // The program-position ranges of the text on screen, line by line.
    std::vector<std::pair<int, int>> visibleRanges() const;

    QPointer<ProgramTextEdit> m_box;
    // Deleted with the box, which may go first.
    QPointer<MarkLayer> m_marks;
    std::vector<Layer> m_layers;
    std::vector<Span> m_shown;
    quint64 m_revision = 0;
    bool m_enabled = true;
};

}  // namespace lcr
