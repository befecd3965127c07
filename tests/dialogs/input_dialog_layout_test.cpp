#include "dialogs/input_dialog_layout.h"

#include <gtest/gtest.h>

#include <string>

#include "text/gb18030.h"

namespace lcr {
namespace {

TEST(CountDisplayLines, TwelvePixelsPerDisplayLine) {
    struct Case {
        std::u16string text;
        int width;
        int expected;
    };
    const std::u16string twenty(20, u'a');
    const Case cases[] = {
        {u"", 120, 0},
        // 120 pixels hold 20 bytes a line.
        {twenty, 120, 12},
        {twenty + u"a", 120, 24},
        {std::u16string(10, u'中'), 120, 12},
        {std::u16string(10, u'中') + u"a", 120, 24},
        {std::u16string(41, u'a'), 125, 36},  // 125 / 6 is 20 characters
        // Empty lines between separators count as one display line each; no
        // empty last line.
        {u"\r\n", 120, 12},
        {u"第一行\r\n\r\n第三行", 120, 36},
        {u"a\r\n", 120, 12},
        {u"a\nb", 120, 12},  // only CR LF breaks lines
        // Narrower than one character: one character a line, no division by 0.
        {u"abc", 5, 36},
        {u"abc", 0, 36},
        {u"ab", -40, 24},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(countDisplayLines(c.text, c.width), c.expected)
            << "\"" << toUtf8(c.text) << "\" in " << c.width << " pixels";
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
