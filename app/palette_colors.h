// The few colours of the program's own, chosen against the desktop's
// palette so that they stay readable in a light and in a dark theme. Every
// other colour of the window comes from the palette itself.
#pragma once

#include <QColor>
#include <QPalette>
#include <QString>

namespace lcr {

// Whether the palette's window background is dark (a dark desktop theme).
bool hasDarkBackground(const QPalette& palette);

// A style sheet rule that colours a warning text (no match, an expression
// that does not compile): `onLight` on a light background, a light red on a
// dark one, where a deep red would all but vanish.
QString warningTextStyle(const QPalette& palette, const QColor& onLight);

}  // namespace lcr
