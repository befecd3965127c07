#include "app/window_widgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyleOption>
#include <QTextCursor>

namespace lcr {

ActionLabel::ActionLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
    setCursor(Qt::PointingHandCursor);
}

void ActionLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit pressed();
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}

HyperlinkLabel::HyperlinkLabel(const QString& caption, QWidget* parent)
    : QLabel(parent), m_caption(caption) {
    setText(QStringLiteral("<a href=\"#\">%1</a>").arg(caption.toHtmlEscaped()));
    setTextFormat(Qt::RichText);
    setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    setCursor(Qt::PointingHandCursor);
    connect(this, &QLabel::linkActivated, this, [this] { emit activated(); });
}

SplitterBar::SplitterBar(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::SplitVCursor);
    setAttribute(Qt::WA_Hover);
}

void SplitterBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_grabOffset = event->position().toPoint().y();
        event->accept();
    }
}

void SplitterBar::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging || !parentWidget()) {
        return;
    }
    const int parentY = mapToParent(event->position().toPoint()).y();
    emit dragged(parentY - m_grabOffset);
}

void SplitterBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_dragging = false;
    }
}

void SplitterBar::paintEvent(QPaintEvent*) {
    // A grip of three short lines in the middle of the bar, like the desktop's
    // own splitter handles.
    QPainter painter(this);
    const QColor line = palette().color(underMouse() ? QPalette::Highlight : QPalette::Mid);
    const int cx = width() / 2;
    const int cy = height() / 2;
    painter.setPen(line);
    for (int dy : {-3, 0, 3}) {
        painter.drawLine(cx - 12, cy + dy, cx + 12, cy + dy);
    }
}

ProgramTextEdit::ProgramTextEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabChangesFocus(false);
    // The document's own signal, not the box's: it also fires while the
    // box's signals are blocked for a write from the program.
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        m_programTextValid = false;
        ++m_revision;
    });
}

QString ProgramTextEdit::toWidgetText(const QString& programText) {
    const QChar* p = programText.constData();
    const qsizetype n = programText.size();
    if (!programText.contains(u'\r')) {
        return programText;
    }
    QString text(n, Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] == u'\r') {
            *out++ = u'\n';
            if (i + 1 < n && p[i + 1] == u'\n') {
                ++i;
            }
        } else {
            *out++ = p[i];
        }
    }
    text.truncate(out - text.constData());
    return text;
}

QString ProgramTextEdit::toProgramText(const QString& widgetText) {
    auto isBreak = [](char16_t c) {
        return c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
    };
    const QChar* p = widgetText.constData();
    const qsizetype n = widgetText.size();
    qsizetype breaks = 0;
    for (qsizetype i = 0; i < n; ++i) {
        breaks += isBreak(p[i].unicode());
    }
    if (breaks == 0) {
        return widgetText;
    }
    QString text(n + breaks, Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < n; ++i) {
        if (isBreak(p[i].unicode())) {
            *out++ = u'\r';
            *out++ = u'\n';
        } else {
            *out++ = p[i];
        }
    }
    return text;
}

QString ProgramTextEdit::programText() const {
    if (!m_programTextValid) {
        m_programText = toProgramText(toPlainText());
        m_programTextValid = true;
    }
    return m_programText;
}

void ProgramTextEdit::setProgramText(const QString& text) {
    const QString widgetText = toWidgetText(text);
    {
        // setPlainText may report a change more than once (clearing, then
        // inserting); the program's convention is one notification a write.
        const QSignalBlocker blocker(this);
        // setPlainText empties the undo history anyway; recording the new
        // text as one undo step first costs a third of the time on a large
        // text, so it is not recorded.
        const bool undo = isUndoRedoEnabled();
        setUndoRedoEnabled(false);
        setPlainText(widgetText);
        setUndoRedoEnabled(undo);
    }
    m_programText = toProgramText(widgetText);
    m_programTextValid = true;
    emit textChanged();
}

void ProgramTextEdit::replaceSelection(const QString& text) {
    {
        const QSignalBlocker blocker(this);
        textCursor().insertText(toWidgetText(text));
    }
    emit textChanged();
}

void ProgramTextEdit::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    emit focusReceived();
}

}  // namespace lcr
