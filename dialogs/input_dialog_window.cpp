#include "dialogs/input_dialog_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QFrame>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QResizeEvent>
#include <QTextCursor>
#include <string_view>

#include "dialogs/input_dialog_layout.h"
#include "dialogs/program_text_edit.h"
#include "text/gb18030.h"

namespace lcr {

namespace {

const QString kMessageTitle = QStringLiteral("岚川：");
const QString kFileFilter = QStringLiteral("文本文本|*.txt;*.text;*.ini;*.htn;*.html|全部文件|*.*");

std::u16string_view programView(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

// A file's bytes as GB18030 text up to the first zero byte; empty when the
// file cannot be read.
QString readFileText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QString();
    }
    const QByteArray bytes = file.readAll();
    return QString::fromStdU16String(
        decodeGb18030(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
}

QPushButton* makeButton(const QString& name, const QString& caption, const QRect& geometry,
                        QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    // Enter belongs to the text box; only display mode has a default button.
    button->setAutoDefault(false);
    return button;
}

}  // namespace

InputDialogWindow::InputDialogWindow(const InputDialogRequest& request,
                                     InputDialogServices& services, QWidget* parent)
    : QDialog(parent),
      m_request(request),
      m_services(services),
      m_margin(effectiveMargin(request.margin)) {
    resize(kInputDialogDesignSize);

    m_prompt = new QPlainTextEdit(this);
    m_prompt->setObjectName(QStringLiteral("编辑框提示"));
    m_prompt->setGeometry(kPromptDesignRect);
    m_prompt->setReadOnly(true);
    m_prompt->setFrameShape(QFrame::NoFrame);
    m_prompt->setFocusPolicy(Qt::ClickFocus);
    m_prompt->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_prompt->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_prompt->document()->setDocumentMargin(0);
    // The prompt's height is reckoned at 12 pixels a line.
    QFont promptFont = m_prompt->font();
    promptFont.setPixelSize(12);
    m_prompt->setFont(promptFont);
    QPalette promptPalette = m_prompt->palette();
    promptPalette.setColor(QPalette::Base, promptPalette.color(QPalette::Window));
    m_prompt->setPalette(promptPalette);

    m_text = new ProgramTextEdit(this);
    m_text->setObjectName(QStringLiteral("编辑框正文"));
    m_text->setGeometry(kTextDesignRect);
    m_text->setTabChangesFocus(false);

    m_strip = new QFrame(this);
    m_strip->setObjectName(QStringLiteral("外形框"));
    m_strip->setGeometry(kStripDesignRect);
    auto* restore = makeButton(QStringLiteral("按钮恢复"), QStringLiteral("恢复"),
                               QRect(0, 5, 51, 24), m_strip);
    auto* clear = makeButton(QStringLiteral("按钮清空"), QStringLiteral("清空"),
                             QRect(54, 5, 51, 24), m_strip);
    auto* paste = makeButton(QStringLiteral("按钮粘贴"), QStringLiteral("粘贴"),
                             QRect(107, 5, 85, 24), m_strip);
    auto* importContents = makeButton(QStringLiteral("按钮文件"), QStringLiteral("内容"),
                                      QRect(208, 5, 51, 24), m_strip);
    auto* importNames = makeButton(QStringLiteral("按钮文件名"), QStringLiteral("文件名"),
                                   QRect(259, 5, 69, 24), m_strip);
    m_ok = makeButton(QStringLiteral("按钮确定"), QStringLiteral("确定"), kOkDesignRect, this);
    m_cancel =
        makeButton(QStringLiteral("按钮取消"), QStringLiteral("取消"), kCancelDesignRect, this);

    connect(m_ok, &QPushButton::clicked, this, &InputDialogWindow::confirm);
    // "取消" closes without asking, even after a change.
    connect(m_cancel, &QPushButton::clicked, this, [this] { QDialog::done(Rejected); });
    connect(restore, &QPushButton::clicked, this, &InputDialogWindow::restoreInitialText);
    connect(clear, &QPushButton::clicked, this, [this] { m_text->setProgramText(QString()); });
    connect(paste, &QPushButton::clicked, this, &InputDialogWindow::pasteClipboard);
    connect(importContents, &QPushButton::clicked, this, [this] { importFiles(true); });
    connect(importNames, &QPushButton::clicked, this, [this] { importFiles(false); });

    importContents->setVisible(request.importButtons == 1 || request.importButtons == 3);
    importNames->setVisible(request.importButtons == 2 || request.importButtons == 3);

    m_prompt->setPlainText(toProgramLineBreaks(request.prompt));
    setWindowTitle(request.title);
    m_initialProgramText = toProgramLineBreaks(request.initialText);
    m_text->resetProgramText(request.initialText);
    m_text->moveCursor(QTextCursor::End);  // typing goes on after the text
    m_text->setReadOnly(request.inputMode == 1);

    if (request.displayOnly) {
        m_ok->hide();
        m_strip->hide();
        QPalette textPalette = m_text->palette();
        textPalette.setColor(QPalette::Base, textPalette.color(QPalette::Window));
        m_text->setPalette(textPalette);
        m_text->setReadOnly(true);
        promptFont.setBold(true);
        m_prompt->setFont(promptFont);
        m_cancel->setText(QStringLiteral("关闭(&G)"));
        m_cancel->setDefault(true);
    }

    if (request.scrollBars) {
        m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
        m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    } else {
        m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }

    // A hidden window gets its resize events only when shown; lay out right
    // after each change of size, so the height below sees the prompt height
    // the new width gives.
    if (request.textAreaSize.width() != 0) {
        resize(clientSizeForTextArea(size(), {request.textAreaSize.width(), 0}, m_margin, 0, 0));
        applyLayout();
    }
    if (request.textAreaSize.height() != 0) {
        applyLayout();  // the prompt's height in this width and font, not its design's
        resize(clientSizeForTextArea(size(), {0, request.textAreaSize.height()}, m_margin,
                                     m_prompt->height(), m_ok->height()));
        applyLayout();
    }
    move(centredOnScreen(m_services.screenSize(), size()));
    if (request.maximized) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    m_text->setFocus();
}

QString InputDialogWindow::programText() const {
    const QString text = m_text->programText();
    // An untouched text is handed back exactly as it came in.
    return text == m_initialProgramText ? m_request.initialText : text;
}

void InputDialogWindow::applyLayout() {
    const QSize client = size();
    // Measured as the prompt box lays its text out, so no font clips a line.
    const int promptHeight = promptTextHeight(toProgramLineBreaks(m_request.prompt),
                                              m_prompt->font(), client.width() - 2 * m_margin);
    const InputDialogLayout layout = layoutInputDialog(
        client, m_margin, promptHeight, m_strip->size(), m_ok->size(), m_cancel->size());
    m_prompt->setGeometry(layout.prompt);
    m_text->setGeometry(layout.text);
    m_strip->move(layout.strip);
    m_ok->move(layout.okButton);
    m_cancel->move(layout.cancelButton);
}

void InputDialogWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    applyLayout();
}

void InputDialogWindow::closeEvent(QCloseEvent* event) {
    if (!closeConfirmed()) {
        event->ignore();
        return;
    }
    event->accept();
    QDialog::done(Rejected);
}

void InputDialogWindow::reject() {
    if (closeConfirmed()) {
        QDialog::done(Rejected);
    }
}

bool InputDialogWindow::closeConfirmed() {
    if (m_request.displayOnly || m_text->programText() == m_initialProgramText) {
        return true;
    }
    return m_services.askYesNo(this, kMessageTitle, QStringLiteral("内容已被改动，是否要放弃？"));
}

void InputDialogWindow::confirm() {
    m_result.dialogResultText = programText();
    m_result.dialogAccepted = true;
    QDialog::done(Accepted);
}

void InputDialogWindow::restoreInitialText() {
    if (m_request.initialText.isEmpty()) {
        m_services.showInformation(this, kMessageTitle, QStringLiteral("启动值为空！"));
        return;
    }
    m_text->setProgramText(m_request.initialText);
}

void InputDialogWindow::pasteClipboard() {
    // The box's own rule turns the clipboard's line breaks into its own.
    m_text->setProgramText(m_services.clipboardText());
}

void InputDialogWindow::importFiles(bool contents) {
    const QString title = QStringLiteral("选择多个文件，将导入其") +
                          (contents ? QStringLiteral("文件内容") : QStringLiteral("文件路径"));
    const QStringList files = m_services.chooseFiles(this, title, kFileFilter);
    // All files are appended at once: one click, one undo step.
    const QPointer<InputDialogWindow> alive(this);
    QString appended;
    for (const QString& path : files) {
        appended += (contents ? readFileText(path) : path) + QStringLiteral("\r\n");
        QCoreApplication::processEvents();
        if (!alive) {
            return;
        }
    }
    if (!appended.isEmpty()) {
        m_text->moveCursor(QTextCursor::End);
        m_text->replaceSelection(appended);
    }
}

}  // namespace lcr
