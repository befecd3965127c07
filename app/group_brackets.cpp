#include "app/group_brackets.h"

#include <algorithm>

#include "app/palette_colors.h"
#include "dialogs/program_text_edit.h"

namespace lcr {

std::vector<ParenthesisPair> parenthesisPairs(const QString& pattern) {
    std::vector<ParenthesisPair> pairs;
    std::vector<std::size_t> openGroups;
    bool inClass = false;
    bool quoted = false;
    const int n = static_cast<int>(pattern.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = pattern[i];
        if (quoted) {
            if (c == u'\\' && i + 1 < n && pattern[i + 1] == u'E') {
                quoted = false;
                ++i;
            }
            continue;
        }
        if (c == u'\\') {
            if (i + 1 < n && pattern[i + 1] == u'Q') {
                quoted = true;
            }
            ++i;  // the escaped character
            continue;
        }
        if (inClass) {
            inClass = c != u']';
            continue;
        }
        if (c == u'[') {
            inClass = true;
            // A ']' right after '[' or '[^' is a member of the class.
            if (i + 1 < n && pattern[i + 1] == u'^') {
                ++i;
            }
            if (i + 1 < n && pattern[i + 1] == u']') {
                ++i;
            }
        } else if (c == u'(') {
            openGroups.push_back(pairs.size());
            pairs.push_back({i, -1});
        } else if (c == u')') {
            if (openGroups.empty()) {
                pairs.push_back({-1, i});
            } else {
                pairs[openGroups.back()].close = i;
                openGroups.pop_back();
            }
        }
    }
    return pairs;
}

ParenthesisPair pairAtCaret(const std::vector<ParenthesisPair>& pairs, int caret) {
    // A parenthesis right after the caret, then one right before it.
    for (int at : {caret, caret - 1}) {
        for (const ParenthesisPair& p : pairs) {
            if (p.open == at || p.close == at) {
                return p;
            }
        }
    }
    // The innermost group around the caret: the last opened before it.
    ParenthesisPair inner;
    for (const ParenthesisPair& p : pairs) {
        if (p.open >= 0 && p.open < caret && (p.close < 0 || caret <= p.close)) {
            inner = p;
        }
    }
    return inner;
}

GroupBracketHighlighter::GroupBracketHighlighter(ProgramTextEdit* box, QObject* parent)
    : QObject(parent), m_box(box) {
    connect(box, &ProgramTextEdit::textChanged, this, [this] {
        m_pairsValid = false;
        update();
    });
    connect(box, &QPlainTextEdit::cursorPositionChanged, this, &GroupBracketHighlighter::update);
}

void GroupBracketHighlighter::setEnabled(bool on) {
    m_enabled = on;
    update();
}

void GroupBracketHighlighter::update() {
    if (!m_box) {
        return;
    }
    if (!m_pairsValid) {
        // The document's characters, one per position (a line break is one).
        m_pairs = parenthesisPairs(m_box->document()->toRawText());
        m_pairsValid = true;
    }
    const QTextCursor caret = m_box->textCursor();
    const ParenthesisPair pair = caret.hasSelection() || !m_enabled
                                     ? ParenthesisPair{}
                                     : pairAtCaret(m_pairs, caret.position());

    QList<QTextEdit::ExtraSelection> selections = m_box->extraSelections();
    selections.erase(
        std::remove_if(selections.begin(), selections.end(),
                       [this](const QTextEdit::ExtraSelection& s) {
                           for (const QTextEdit::ExtraSelection& mine : m_mine) {
                               if (mine.cursor == s.cursor && mine.format == s.format) {
                                   return true;
                               }
                           }
                           return false;
                       }),
        selections.end());
    m_mine.clear();
    const bool dark = hasDarkBackground(m_box->palette());
    auto add = [this](int from, int to, const QTextCharFormat& format) {
        QTextEdit::ExtraSelection s;
        s.cursor = QTextCursor(m_box->document());
        s.cursor.setPosition(from);
        s.cursor.setPosition(to, QTextCursor::KeepAnchor);
        s.format = format;
        m_mine.append(s);
    };
    if (pair.open >= 0 && pair.close >= 0) {
        QTextCharFormat group;
        group.setBackground(dark ? QColor::fromHsl(210, 90, 60) : QColor::fromHsl(210, 200, 235));
        add(pair.open, pair.close + 1, group);
    }
    QTextCharFormat parenthesis;
    const bool matched = pair.open >= 0 && pair.close >= 0;
    // A parenthesis without its partner shows in the warning colour.
    parenthesis.setBackground(
        matched ? (dark ? QColor::fromHsl(210, 150, 100) : QColor::fromHsl(210, 220, 190))
                : (dark ? QColor(0x80, 0x30, 0x30) : QColor(0xFF, 0xC0, 0xC0)));
    parenthesis.setFontWeight(QFont::Bold);
    for (int at : {pair.open, pair.close}) {
        if (at >= 0) {
            add(at, at + 1, parenthesis);
        }
    }
    m_shown = pair;
    m_box->setExtraSelections(selections + m_mine);
}

}  // namespace lcr
