#include "dialogs/input_dialog.h"

#include <QPointer>
#include <QTimer>

#include "dialogs/input_dialog_window.h"

namespace lcr {

bool InputDialogHost::showInputDialog(const QString& initialText,
                                      const std::optional<QString>& prompt, const QString& title,
                                      QWidget* parent, QString* result, int inputMode,
                                      bool maximized, int textAreaWidth, int textAreaHeight,
                                      bool scrollBars, int margin, int importButtons) {
    if (m_open) {
        return false;
    }
    const bool displayOnly = result == nullptr;
    if (!prompt) {
        m_request.prompt.clear();
    } else if (prompt->isEmpty()) {
        m_request.prompt =
            displayOnly ? QStringLiteral("以下为信息详情：") : QStringLiteral("请输入数据：");
    } else {
        m_request.prompt = *prompt;
    }
    m_request.title = title.isEmpty() ? QStringLiteral("岚川：") : title;
    m_request.initialText = initialText;
    m_request.inputMode = inputMode;
    m_request.textAreaSize = QSize(textAreaWidth, textAreaHeight);
    m_request.displayOnly = displayOnly;
    m_request.scrollBars = scrollBars;
    m_request.margin = margin;
    m_request.maximized = maximized;
    m_request.importButtons = importButtons;

    m_open = true;
    // On the heap: an owner that goes away while the dialog is open takes
    // the window with it.
    QPointer<InputDialogWindow> window = new InputDialogWindow(m_request, m_services, parent);
    m_result = window->result();
    if (m_openedHook) {
        QTimer::singleShot(0, window, [this, window] {
            if (window && m_openedHook) {
                m_openedHook(*window);
            }
        });
    }
    window->exec();
    if (window) {
        m_result = window->result();
        delete window;
    }
    m_open = false;

    if (!m_result.dialogAccepted) {
        return false;
    }
    if (result) {
        *result = m_result.dialogResultText;
    }
    return true;
}

}  // namespace lcr
