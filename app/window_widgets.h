// The small widget kinds of the main window's design that Qt has no exact
// match for: labels that react to a left press, draggable splitter bars,
// and hyperlink labels. The edit boxes are ProgramTextEdit
// (dialogs/program_text_edit.h), shared with the input dialog.
#pragma once

#include <QLabel>
#include <QString>
#include <QWidget>

#include "dialogs/program_text_edit.h"

namespace lcr {

// A label that shows the hand cursor and reports a left mouse press. It
// takes the focus with Tab, not with a click, and shows it; Space or Enter
// presses it.
class ActionLabel final : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ActionLabel)
public:
    explicit ActionLabel(const QString& caption, QWidget* parent = nullptr);
signals:
    void pressed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

// A hyperlink label: the caption shown as a link; activating it (click or
// keyboard) reports `activated`.
class HyperlinkLabel final : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HyperlinkLabel)
public:
    explicit HyperlinkLabel(const QString& caption, QWidget* parent = nullptr);
    QString caption() const { return m_caption; }
signals:
    void activated();

private:
    QString m_caption;
};

// A horizontal bar the user drags up and down. Its top within its parent is
// the state; while dragging it reports every new top through `dragged`, and
// applies no limit.
class SplitterBar final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SplitterBar)
public:
    explicit SplitterBar(QWidget* parent = nullptr);
signals:
    void dragged(int newTop);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_dragging = false;
    int m_grabOffset = 0;  // where in the bar the mouse took hold
};

}  // namespace lcr
