// Tooltips that show their text as it is: Qt takes a tooltip that looks like
// HTML for HTML, so a text such as "(?<p>\()?" would lose its "<p>".
#pragma once

#include <QString>
#include <QTextDocument>

namespace lcr {

inline QString plainToolTip(const QString& text) {
    return text.isEmpty() ? text : Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}

}  // namespace lcr
