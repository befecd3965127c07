#include "dialogs/input_dialog_layout.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>
#include <string>

namespace lcr {
namespace {

// The prompt's height follows its font: each paragraph takes whole lines
// of the font's height, and a paragraph longer than the width wraps.
TEST(PromptTextHeight, WholeLinesOfTheFont) {
    for (const int pointSize : {9, 12, 24}) {
        SCOPED_TRACE(pointSize);
        QFont font;
        font.setPointSize(pointSize);
        // A line of ideographs may be higher than one of Latin letters: the
        // ideographs can come from a fallback font.
        const int line = promptTextHeight(QStringLiteral("提示"), font, 400);
        const int latinLine = promptTextHeight(QStringLiteral("a"), font, 400);
        EXPECT_GE(latinLine, QFontMetrics(font).height() - 1);
        EXPECT_GE(line, latinLine);
        struct Case {
            QString text;
            int width;
            int lines;
        };
        const Case cases[] = {
            {QString(), 400, 0},
            {QStringLiteral("第一行\r\n\r\n第三行"), 400, 3},  // an empty line counts
            {QStringLiteral("a\r\n"), 400, 2},
            {QStringLiteral("a\nb"), 400, 1},  // only CR LF breaks lines
        };
        for (const Case& c : cases) {
            const int height = promptTextHeight(c.text, font, c.width);
            EXPECT_GE(height, c.lines * latinLine) << c.text.toStdString();
            EXPECT_LE(height, c.lines * line) << c.text.toStdString();
            EXPECT_GT(height, (c.lines - 1) * line) << c.text.toStdString();
        }
        // Twice as long as the width holds: at least two lines.
        const QString ideographs(40, QChar(0x4E2D));
        const int width = QFontMetrics(font).horizontalAdvance(ideographs) / 2;
        EXPECT_GE(promptTextHeight(ideographs, font, width), 2 * line - 1);
        // Narrower than a character: one character a line, no endless loop.
        for (const int narrow : {5, 0, -40}) {
            EXPECT_GE(promptTextHeight(QStringLiteral("abc"), font, narrow), 3 * latinLine - 1);
        }
    }
}

TEST(InputDialogGeometry, SizeAndPosition) {
    EXPECT_EQ(effectiveMargin(0), 5);
    EXPECT_EQ(effectiveMargin(-3), 5);
    EXPECT_EQ(effectiveMargin(1), 1);

    // The copy-format dialog: only a height is wanted, the prompt still has
    // its design height.
    const QSize format = clientSizeForTextArea(kInputDialogDesignSize, {0, 50}, 5, 33, 24);
    EXPECT_EQ(format, QSize(495, 33 + 10 + 50 + 15 + 24));
    EXPECT_EQ(clientSizeForTextArea(kInputDialogDesignSize, {300, 0}, 8, 33, 24), QSize(316, 393));
    EXPECT_EQ(clientSizeForTextArea(kInputDialogDesignSize, {0, 0}, 5, 33, 24),
              kInputDialogDesignSize);

    EXPECT_EQ(centredOnScreen({1280, 800}, {495, 132}), QPoint(392, 319));
    EXPECT_EQ(centredOnScreen({1001, 801}, {100, 51}), QPoint(450, 360));
    EXPECT_EQ(centredOnScreen({300, 200}, {495, 393}), QPoint(-97, -111));
}

TEST(InputDialogGeometry, Layout) {
    const QSize strip(336, 34);
    const QSize button(64, 24);

    const InputDialogLayout l = layoutInputDialog({495, 132}, 5, 24, strip, button, button);
    EXPECT_EQ(l.prompt, QRect(5, 5, 485, 24));
    EXPECT_EQ(l.text, QRect(5, 34, 485, 64));
    EXPECT_EQ(l.strip, QPoint(5, 98));
    EXPECT_EQ(l.cancelButton, QPoint(495 - 5 - 64, 98 + 17 - 12));
    EXPECT_EQ(l.okButton, QPoint(495 - 5 - 128, 103));

    // No prompt: the text box starts two margins from the top.
    const InputDialogLayout none = layoutInputDialog({495, 393}, 7, 0, strip, button, button);
    EXPECT_EQ(none.prompt.height(), 0);
    EXPECT_EQ(none.text.top(), 14);
    EXPECT_EQ(none.text.height(), 393 - 14 - 34);

    // A strip of odd height centres the buttons with truncation.
    EXPECT_EQ(layoutInputDialog({495, 393}, 5, 0, {336, 35}, button, button).okButton.y(),
              10 + 393 - 10 - 35 + 5);

    // A client too small for the boxes gives empty boxes, never negative ones.
    const InputDialogLayout tiny = layoutInputDialog({8, 20}, 5, 12, strip, button, button);
    EXPECT_EQ(tiny.prompt.width(), 0);
    EXPECT_EQ(tiny.text.height(), 0);
    EXPECT_EQ(tiny.strip.y(), tiny.text.top());
}

}  // namespace
}  // namespace lcr
