#include "app/match_colors.h"

#include "app/palette_colors.h"

namespace lcr {

namespace {

// Hues far apart on the colour wheel: yellow, cyan, pink, green, then on by
// the golden angle, so neighbouring expressions never look alike.
int expressionHue(int expression) {
    constexpr int kFirst[] = {52, 190, 320, 110};
    if (expression >= 0 && expression < 4) {
        return kFirst[expression];
    }
    return (52 + expression * 137) % 360;
}

// Groups start at blue and orange, away from the first expression's yellow.
int groupHue(int group) {
    constexpr int kFirst[] = {210, 28, 140, 275, 350, 175};
    if (group >= 1 && group <= 6) {
        return kFirst[group - 1];
    }
    return (210 + group * 137) % 360;
}

}  // namespace

MatchColors::MatchColors(const QPalette& palette) : m_dark(hasDarkBackground(palette)) {}

QColor MatchColors::tone(int hue, bool strong) const {
    // Light theme: pale tints (lightness 80–88 %) under near-black text;
    // dark theme: deep shades (lightness 22–27 %) under light text. Either
    // keeps a contrast above 4.5:1 with the palette's text at every hue.
    if (m_dark) {
        return QColor::fromHsl(hue, strong ? 150 : 110, strong ? 70 : 56);
    }
    return QColor::fromHsl(hue, strong ? 210 : 230, strong ? 205 : 225);
}

QColor MatchColors::matchBackground(int expression) const {
    return tone(expressionHue(expression), false);
}

QColor MatchColors::groupBackground(int group) const {
    return tone(groupHue(group), true);
}

QColor MatchColors::groupUnderline(int group) const {
    return m_dark ? QColor::fromHsl(groupHue(group), 200, 170)
                  : QColor::fromHsl(groupHue(group), 220, 90);
}

QColor MatchColors::emptyMatchMark(int expression) const {
    return m_dark ? QColor::fromHsl(expressionHue(expression), 220, 170)
                  : QColor::fromHsl(expressionHue(expression), 230, 80);
}

}  // namespace lcr
