// The small widget kinds of the main window's design that Qt has no exact
// match for: labels that react to a left press, draggable splitter bars,
// hyperlink labels and edit boxes that speak CR LF.
#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QString>
#include <QWidget>

namespace lcr {

// A label that shows the hand cursor and reports a left mouse press.
class ActionLabel final : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ActionLabel)
public:
    explicit ActionLabel(const QString& caption, QWidget* parent = nullptr);
signals:
    void pressed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
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

// A multi-line plain-text edit box whose text, as the program sees it, has
// CR LF line breaks. Writing the text from the program raises exactly one
// textChanged, like typing.
class ProgramTextEdit final : public QPlainTextEdit {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProgramTextEdit)
public:
    explicit ProgramTextEdit(QWidget* parent = nullptr);

    // The text with CR LF line breaks. Kept until the box changes, so
    // reading a large unchanged text for every keystroke elsewhere is free.
    QString programText() const;
    void setProgramText(const QString& text);
    // Counts the changes of the text: equal revisions, equal texts.
    quint64 revision() const { return m_revision; }
    // Replaces the selection (inserts at the caret without one).
    void replaceSelection(const QString& text);

    // CR LF, lone CR and lone LF all become the widget's line break, and
    // back as CR LF.
    static QString toWidgetText(const QString& programText);
    static QString toProgramText(const QString& widgetText);

signals:
    void focusReceived();

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    mutable QString m_programText;
    mutable bool m_programTextValid = false;
    quint64 m_revision = 0;
};

}  // namespace lcr
