// The row of metacharacter buttons above the tab control.
//
// The buttons lie edge to edge at the places the syntax table gives them,
// in a row (2016 pixels) wider than the window. The strip shows the part of
// the row that fits and lets the user reach the rest: the mouse wheel over
// the row, or the two arrow buttons at its right end, move the whole row
// sideways, so the buttons keep their places relative to each other.
#pragma once

#include <QWidget>

class QToolButton;

namespace lcr {

class MetacharacterStrip final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MetacharacterStrip)
public:
    explicit MetacharacterStrip(QWidget* parent = nullptr);

    // The widget the buttons are children of; its x is the scroll offset.
    QWidget* row() const { return m_row; }
    // Call after adding the buttons: the row's width is that of its buttons.
    void fitRowToButtons();
    // Scrolls so that the row's x is -offset (clamped to what exists).
    void scrollTo(int offset);
    int scrollOffset() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void placeArrows();
    int maxOffset() const;

    QWidget* m_viewport;  // clips the row left of the arrows
    QWidget* m_row;
    QToolButton* m_left;
    QToolButton* m_right;
};

}  // namespace lcr
