// The input dialog's window, built from a request (see input_dialog.h for
// what it does). Its controls carry their design names: "编辑框提示",
// "编辑框正文", "外形框", "按钮恢复", "按钮清空", "按钮粘贴", "按钮文件",
// "按钮文件名", "按钮确定", "按钮取消".
#pragma once

#include <QDialog>

#include "dialogs/input_dialog.h"

class QFrame;
class QPlainTextEdit;
class QPushButton;

namespace lcr {

class ProgramTextEdit;

class InputDialogWindow final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(InputDialogWindow)
public:
    // Sets the window up from `request` (its created handling: controls,
    // mode, size, position); show it with exec().
    InputDialogWindow(const InputDialogRequest& request, InputDialogServices& services,
                      QWidget* parent = nullptr);

    // Reset at creation; set by "确定".
    const InputDialogResult& result() const { return m_result; }

    // The text box's text as program text (CR LF line breaks).
    QString programText() const;

    // Places the boxes for the current client size.
    void applyLayout();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Escape closes like the close box.
    void reject() override;

private:
    void confirm();
    void restoreInitialText();
    void pasteClipboard();
    void importFiles(bool contents);
    // Whether closing other than by the buttons may go ahead: asks when the
    // text was changed in input mode.
    bool closeConfirmed();

    const InputDialogRequest m_request;
    InputDialogServices& m_services;
    const int m_margin;
    InputDialogResult m_result;
    // The initial text as the box hands it back, for the "changed" check:
    // line breaks of any kind read back as CR LF, which is no change.
    QString m_initialProgramText;

    QPlainTextEdit* m_prompt = nullptr;
    ProgramTextEdit* m_text = nullptr;
    QFrame* m_strip = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

}  // namespace lcr
