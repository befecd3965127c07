#include "app/metacharacter_strip.h"

#include <QToolButton>
#include <QWheelEvent>
#include <algorithm>

namespace lcr {

namespace {

constexpr int kArrowWidth = 16;
constexpr int kScrollStep = 120;

}  // namespace

MetacharacterStrip::MetacharacterStrip(QWidget* parent)
    : QWidget(parent),
      m_viewport(new QWidget(this)),
      m_row(new QWidget(m_viewport)),
      m_left(new QToolButton(this)),
      m_right(new QToolButton(this)) {
    m_left->setArrowType(Qt::LeftArrow);
    m_right->setArrowType(Qt::RightArrow);
    for (QToolButton* arrow : {m_left, m_right}) {
        arrow->setAutoRaise(true);
        arrow->setAutoRepeat(true);
        arrow->setFocusPolicy(Qt::NoFocus);
    }
    m_left->setToolTip(QStringLiteral("向左滚动按钮行"));
    m_right->setToolTip(QStringLiteral("向右滚动按钮行"));
    connect(m_left, &QToolButton::clicked, this,
            [this] { scrollTo(scrollOffset() - kScrollStep); });
    connect(m_right, &QToolButton::clicked, this,
            [this] { scrollTo(scrollOffset() + kScrollStep); });
}

void MetacharacterStrip::fitRowToButtons() {
    int right = 0;
    for (QWidget* child : m_row->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        right = std::max(right, child->geometry().right() + 1);
    }
    m_row->resize(right, height());
    placeArrows();
}

int MetacharacterStrip::maxOffset() const {
    // The arrows take the strip's right end while the row is wider.
    const int visible = width() - 2 * kArrowWidth;
    return std::max(0, m_row->width() - visible);
}

int MetacharacterStrip::scrollOffset() const {
    return -m_row->x();
}

void MetacharacterStrip::scrollTo(int offset) {
    m_row->move(-std::clamp(offset, 0, maxOffset()), 0);
    m_left->setEnabled(scrollOffset() > 0);
    m_right->setEnabled(scrollOffset() < maxOffset());
}

void MetacharacterStrip::placeArrows() {
    m_row->resize(m_row->width(), height());
    const bool needed = m_row->width() > width();
    m_left->setVisible(needed);
    m_right->setVisible(needed);
    m_viewport->setGeometry(0, 0, needed ? width() - 2 * kArrowWidth : width(), height());
    m_left->setGeometry(width() - 2 * kArrowWidth, 0, kArrowWidth, height());
    m_right->setGeometry(width() - kArrowWidth, 0, kArrowWidth, height());
    m_left->raise();
    m_right->raise();
    scrollTo(needed ? scrollOffset() : 0);
}

void MetacharacterStrip::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeArrows();
}

void MetacharacterStrip::wheelEvent(QWheelEvent* event) {
    const QPoint delta = event->angleDelta();
    const int steps = delta.x() != 0 ? delta.x() : delta.y();
    scrollTo(scrollOffset() - steps);
    event->accept();
}

}  // namespace lcr
