// The multi-line edit box of the main window and the input dialog: its text,
// as the program sees it, is exactly the text it was given, typed or pasted,
// with CR LF line breaks.
//
// Qt's text document changes some characters on their way in or out:
// toPlainText turns U+2028 into a line break and U+00A0 into a space, and the
// document cannot hold U+2029, U+FDD0 or U+FDD1 at all (each becomes a block
// break). The box reads the document's raw text instead, and keeps each of
// the three as a U+2028 (shown as a line break, as the character would be)
// marked with the character it stands for; the mark is part of the
// document's formats, so it moves with editing, undo and redo. Everything
// that writes text into the box goes through one insertion that applies
// this rule and the line-break rule: CR LF, lone CR and lone LF all become
// the box's line break, which reads back as CR LF.
#pragma once

#include <QPlainTextEdit>
#include <QString>

class QTextCursor;

namespace lcr {

// CR LF, lone CR and lone LF all become CR LF: text from the clipboard, a
// file or a caller, as a box would hand it back.
QString toProgramLineBreaks(const QString& text);
// CR LF becomes LF: program text for the clipboard, which holds the
// desktop's own line breaks.
QString toDesktopLineBreaks(const QString& programText);

class ProgramTextEdit final : public QPlainTextEdit {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProgramTextEdit)
public:
    explicit ProgramTextEdit(QWidget* parent = nullptr);

    // The text with CR LF line breaks. Kept until the box changes, so
    // reading a large unchanged text for every keystroke elsewhere is free.
    QString programText() const;
    // Replaces the whole text; raises exactly one textChanged, like typing.
    void setProgramText(const QString& text);
    // Replaces the selection (inserts at the caret without one); one
    // textChanged.
    void replaceSelection(const QString& text);
    // Counts the changes of the text: equal revisions, equal texts.
    quint64 revision() const { return m_revision; }

signals:
    void focusReceived();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    // Paste and drop: the text as the box's insertion takes it.
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    // Copy, cut and drag: the selection's exact characters, LF line breaks.
    QMimeData* createMimeDataFromSelection() const override;

private:
    // Inserts `text` at the box's cursor as one edit, then shows the caret.
    void insertAtCursor(const QString& text);
    void watchDocument();

    mutable QString m_programText;
    mutable bool m_programTextValid = false;
    quint64 m_revision = 0;
};

}  // namespace lcr
