#include "dialogs/input_dialog_layout.h"

#include <QTextLayout>
#include <QTextOption>
#include <QtMath>
#include <algorithm>

namespace lcr {

namespace {

// Numbers that become pixels are computed in double precision and truncated
// toward zero.
int truncated(double value) {
    return static_cast<int>(value);
}

}  // namespace

int promptTextHeight(const QString& programText, const QFont& font, int width) {
    if (programText.isEmpty()) {
        return 0;
    }
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    qreal height = 0;
    for (const QString& paragraph : programText.split(QStringLiteral("\r\n"))) {
        QTextLayout layout(paragraph, font);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            // A pixel less than the box: the box keeps one for its caret.
            line.setLineWidth(std::max(1, width - 1));
            height += line.height();
        }
        layout.endLayout();
    }
    return qCeil(height);
}

QSize clientSizeForTextArea(QSize current, QSize wantedTextArea, int margin, int promptHeight,
                            int okButtonHeight) {
    QSize size = current;
    if (wantedTextArea.width() != 0) {
        size.setWidth(std::max(0, wantedTextArea.width() + 2 * margin));
    }
    if (wantedTextArea.height() != 0) {
        size.setHeight(std::max(
            0, promptHeight + 2 * margin + wantedTextArea.height() + 3 * margin + okButtonHeight));
    }
    return size;
}

QPoint centredOnScreen(QSize screen, QSize window) {
    return {truncated(screen.width() / 2.0 - window.width() / 2.0),
            truncated((screen.height() - 30) / 2.0 - window.height() / 2.0)};
}

InputDialogLayout layoutInputDialog(QSize client, int margin, int promptHeight, QSize strip,
                                    QSize okButton, QSize cancelButton) {
    const int m = margin;
    InputDialogLayout layout;
    layout.prompt = QRect(m, m, std::max(0, client.width() - 2 * m), promptHeight);
    const int textTop = layout.prompt.top() + layout.prompt.height() + m;
    layout.text = QRect(m, textTop, layout.prompt.width(),
                        std::max(0, client.height() - textTop - strip.height()));
    layout.strip = QPoint(m, layout.text.top() + layout.text.height());
    const int cancelLeft = client.width() - m - cancelButton.width();
    const int buttonTop =
        truncated(layout.strip.y() + strip.height() / 2.0 - cancelButton.height() / 2.0);
    layout.cancelButton = QPoint(cancelLeft, buttonTop);
    layout.okButton = QPoint(cancelLeft - okButton.width(), buttonTop);
    return layout;
}

}  // namespace lcr
