#include "dialogs/input_dialog_layout.h"

#include <algorithm>

#include "text/program_text.h"

namespace lcr {

namespace {

constexpr int kPixelsPerByte = 6;
constexpr int kPixelsPerLine = 12;

// Numbers that become pixels are computed in double precision and truncated
// toward zero.
int truncated(double value) {
    return static_cast<int>(value);
}

}  // namespace

int countDisplayLines(std::u16string_view text, int availableWidth) {
    // A client narrower than one character would hold no character a line
    // and divide by zero; it still shows one character a line.
    const std::size_t perLine =
        static_cast<std::size_t>(std::max(1, availableWidth / kPixelsPerByte));
    std::size_t lines = 0;
    for (const std::u16string& line : splitText(text, u"\r\n")) {
        const std::size_t bytes = gbkByteLength(line);
        lines += bytes == 0 ? 1 : (bytes + perLine - 1) / perLine;
    }
    return static_cast<int>(std::min<std::size_t>(lines, 100'000'000)) * kPixelsPerLine;
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
