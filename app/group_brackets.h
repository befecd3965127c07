// The group under the caret of an expression box: its opening and closing
// parentheses stand out, and the group's text is tinted, so the user sees
// which part of the expression a group takes.
//
// The parentheses are found as the engine reads them: a parenthesis after a
// backslash, inside a character class or between \Q and \E is a character,
// not a group.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTextEdit>
#include <vector>

namespace lcr {

class ProgramTextEdit;

// Each group's opening and closing parenthesis, as positions in `pattern`;
// a parenthesis without its partner has -1 there. In the order of the
// opening ones (unmatched closing ones last).
struct ParenthesisPair {
    int open = -1;
    int close = -1;
    bool operator==(const ParenthesisPair&) const = default;
};
std::vector<ParenthesisPair> parenthesisPairs(const QString& pattern);

// The pair to show for a caret at `caret`: the one whose parenthesis is
// right after or right before the caret, else the innermost group around
// it; {-1, -1} for none.
ParenthesisPair pairAtCaret(const std::vector<ParenthesisPair>& pairs, int caret);

class GroupBracketHighlighter final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GroupBracketHighlighter)
public:
    explicit GroupBracketHighlighter(ProgramTextEdit* box, QObject* parent = nullptr);
    // The pair shown now (document positions), {-1, -1} for none.
    ParenthesisPair shown() const { return m_shown; }
    // Off shows nothing.
    void setEnabled(bool on);

private:
    void update();

    QPointer<ProgramTextEdit> m_box;
    std::vector<ParenthesisPair> m_pairs;
    bool m_pairsValid = false;
    bool m_enabled = true;
    ParenthesisPair m_shown;
    // The box's extra selections this highlighter added, so others' stay.
    QList<QTextEdit::ExtraSelection> m_mine;
};

}  // namespace lcr
