#include "app/palette_colors.h"

namespace lcr {

namespace {

// Reads at a contrast above 4.5:1 on the usual dark window greys (#202020
// to #404040).
constexpr QRgb kWarningOnDark = 0xFF8C8C;

}  // namespace

bool hasDarkBackground(const QPalette& palette) {
    return palette.color(QPalette::Window).lightnessF() < 0.5;
}

QString warningTextStyle(const QPalette& palette, const QColor& onLight) {
    const QColor color = hasDarkBackground(palette) ? QColor(kWarningOnDark) : onLight;
    return QStringLiteral("color: %1;").arg(color.name());
}

}  // namespace lcr
