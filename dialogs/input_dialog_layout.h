// The input dialog's geometry as pure functions of sizes, so every rule can
// be checked without a window.
//
// The window keeps its design client size (495 x 393) unless a text area
// size is wanted; the prompt box is as high as its text needs in its font; the text box fills the
// rest above the button strip; "确定" and "取消" sit side by side at the right, centred on the
// strip.
#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <string_view>

namespace lcr {

inline constexpr QSize kInputDialogDesignSize{495, 393};
inline constexpr QRect kPromptDesignRect{13, 8, 395, 33};
inline constexpr QRect kTextDesignRect{5, 56, 411, 168};
inline constexpr QRect kStripDesignRect{8, 320, 336, 34};
inline constexpr QRect kOkDesignRect{351, 328, 64, 24};
inline constexpr QRect kCancelDesignRect{414, 328, 64, 24};

inline constexpr int kDefaultMargin = 5;

// The margin in force: `margin` when it is at least 1, else 5.
constexpr int effectiveMargin(int margin) {
    return margin >= 1 ? margin : kDefaultMargin;
}

// The height `programText` (CR LF line breaks) takes in `font` when wrapped
// at `width` pixels, as a plain text box lays it out: every line of every
// paragraph at its own height, fallback fonts for characters the font lacks
// included. An empty text takes none; a width below one character still
// holds one character a line.
int promptTextHeight(const QString& programText, const QFont& font, int width);

// The client size that gives the text box the wanted size: the wanted
// width plus both margins; the prompt's height, the wanted height, the
// margins around them and the button height. A wanted dimension of 0 keeps
// `current`'s.
QSize clientSizeForTextArea(QSize current, QSize wantedTextArea, int margin, int promptHeight,
                            int okButtonHeight);

// The window's top-left corner that centres it on the screen, 30 pixels of
// the screen's height left for the task bar.
QPoint centredOnScreen(QSize screen, QSize window);

struct InputDialogLayout {
    QRect prompt;
    QRect text;
    QPoint strip;  // the strip keeps its size
    QPoint okButton;
    QPoint cancelButton;
};

// Places the boxes in a client of `client` size. `promptHeight` is
// promptTextHeight of the prompt for the width `client` leaves between the
// margins. Widths and heights that the client has no room for are 0.
InputDialogLayout layoutInputDialog(QSize client, int margin, int promptHeight, QSize strip,
                                    QSize okButton, QSize cancelButton);

}  // namespace lcr
