#include "app/window_widgets.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

namespace lcr {

ActionLabel::ActionLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
    setCursor(Qt::PointingHandCursor);
    // Tab reaches it; a click presses it without taking the focus from a box.
    setFocusPolicy(Qt::TabFocus);
}

void ActionLabel::keyPressEvent(QKeyEvent* event) {
    const bool pressKey = event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
                          event->key() == Qt::Key_Enter;
    if (pressKey && event->modifiers() == Qt::NoModifier) {
        emit pressed();
        event->accept();
        return;
    }
    QLabel::keyPressEvent(event);
}

void ActionLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (hasFocus()) {
        QPainter painter(this);
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
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

}  // namespace lcr
