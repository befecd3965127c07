// The program's own colours stay readable when the desktop's palette is
// dark: the result heading, the red "no match" and the status line.
#include "app/palette_colors.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>
#include <algorithm>
#include <cmath>
#include "tests/app/color_contrast.h"

#include "app/window_widgets.h"
#include "tests/app/window_fixture.h"

namespace lcr {
namespace {

using lcr::testing::contrast;

QPalette darkPalette() {
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x30, 0x30, 0x30));
    p.setColor(QPalette::WindowText, QColor(0xE6, 0xE6, 0xE6));
    p.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    p.setColor(QPalette::Text, QColor(0xE6, 0xE6, 0xE6));
    p.setColor(QPalette::Button, QColor(0x3A, 0x3A, 0x3A));
    p.setColor(QPalette::ButtonText, QColor(0xE6, 0xE6, 0xE6));
    return p;
}

// The colour a label's style sheet sets; invalid when it sets none.
QColor styleColor(const QLabel* label) {
    const auto match =
        QRegularExpression(QStringLiteral("color: *(#[0-9a-fA-F]{6})")).match(label->styleSheet());
    return match.hasMatch() ? QColor(match.captured(1)) : QColor();
}

TEST(WarningColour, KeepsItsRedOnLightAndLightensOnDark) {
    const QColor red(0xB0, 0, 0);
    QPalette light;
    light.setColor(QPalette::Window, QColor(0xEF, 0xEF, 0xEF));
    EXPECT_FALSE(hasDarkBackground(light));
    EXPECT_EQ(warningTextStyle(light, red), QStringLiteral("color: #b00000;"));

    for (int grey : {0x00, 0x20, 0x30, 0x40}) {
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(grey, grey, grey));
        ASSERT_TRUE(hasDarkBackground(dark));
        const QColor shown(warningTextStyle(dark, red).section(u' ', 1).chopped(1));
        EXPECT_GE(contrast(shown, dark.color(QPalette::Window)), 4.5) << grey;
        EXPECT_GT(shown.red(), shown.green());  // still a red
    }
}

class DarkWindow : public testing::WindowTest {
protected:
    void SetUp() override {
        m_saved = QApplication::palette();
        QApplication::setPalette(darkPalette());
        WindowTest::SetUp();
    }
    void TearDown() override { QApplication::setPalette(m_saved); }
    QLabel* label(const char* name) { return window->control<QLabel>(QString::fromUtf8(name)); }
    void extract(const char* text, const char* expression) {
        window->editBox("编辑框提取文本")->setProgramText(QString::fromUtf8(text));
        window->editBox("编辑框提取表达式")->setProgramText(QString::fromUtf8(expression));
        QTest::mouseClick(label("标签提取"), Qt::LeftButton);
    }

private:
    QPalette m_saved;
};

TEST_F(DarkWindow, HeadingsAndWarningsStayReadable) {
    const QColor background = darkPalette().color(QPalette::Window);
    extract("a1", "\\d");
    EXPECT_FALSE(styleColor(label("标签3")).isValid());  // the palette's text colour
    EXPECT_GE(contrast(label("标签3")->palette().color(QPalette::WindowText), background), 4.5);

    extract("a1", "x");
    ASSERT_TRUE(styleColor(label("标签3")).isValid());
    EXPECT_GE(contrast(styleColor(label("标签3")), background), 4.5);

    extract("a1", "(");  // does not compile: the status line says why
    auto* status = window->findChild<QLabel*>(QStringLiteral("状态行"));
    ASSERT_NE(status, nullptr);
    ASSERT_FALSE(status->text().isEmpty());
    EXPECT_GE(contrast(styleColor(status), background), 4.5);
}

}  // namespace
}  // namespace lcr
