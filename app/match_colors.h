// The colours of highlighted matches, chosen against the desktop's palette:
// light backgrounds under dark text in a light theme, deep ones under light
// text in a dark theme, so the text keeps its own colour and stays readable.
//
// A whole match takes the colour of its expression in the chain (the first,
// second, third… expression each its own); a capture group takes the colour
// of its number, the same in the text and in the table's column header.
#pragma once

#include <QColor>
#include <QPalette>

namespace lcr {

class MatchColors {
public:
    explicit MatchColors(const QPalette& palette);

    // The background of a whole match of expression `expression` (from 0).
    QColor matchBackground(int expression) const;
    // The background of capture group `group` (from 1) and the line under it.
    QColor groupBackground(int group) const;
    QColor groupUnderline(int group) const;
    // The thin mark of a zero-length match or group.
    QColor emptyMatchMark(int expression) const;

private:
    QColor tone(int hue, bool strong) const;
    bool m_dark;
};

}  // namespace lcr
