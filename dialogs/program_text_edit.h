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
//
// Undo. Every change the program makes on the user's behalf is one undo
// step of the box, like a typed word: Ctrl+Z brings back exactly the text
// before it, Ctrl+Shift+Z or Ctrl+Y redoes it. A change of a part of the text
// (replaceSelection) is a step of the document's own history. A change of
// the whole text (setProgramText) puts a new document into the box and keeps
// the old one, with its own history of typing, behind it: undoing the change
// shows the old document again, so neither the change nor its undo copies
// or re-lays-out the text, whatever its size. The box keeps the documents of
// the last kKeptWholeTextSteps such changes and drops the oldest beyond.
#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <QTextCursor>
#include <vector>

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
    // A change on the user's behalf: replaces the whole text as one undo
    // step (none in a box that does not record program writes); raises
    // exactly one textChanged, like typing. The caret goes to the start.
    void setProgramText(const QString& text);
    // Replaces the text and forgets the undo history: the text a box starts
    // with (restored settings, a dialog's initial text). One textChanged.
    void resetProgramText(const QString& text);
    // Replaces the selection (inserts at the caret without one) as one undo
    // step; one textChanged.
    void replaceSelection(const QString& text);
    // Counts the changes of the text: equal revisions, equal texts.
    quint64 revision() const { return m_revision; }

    // Off for a box the program fills with its results: its writes record
    // no step and drop what the box had recorded. On by default.
    void setRecordsProgramWrites(bool on) { m_recordsProgramWrites = on; }
    // The box's whole history, typing and program writes alike. These hide
    // QPlainTextEdit's own slots, which know one document only.
    void undo();
    void redo();
    bool isUndoAvailable() const;
    bool isRedoAvailable() const;

    static constexpr int kKeptWholeTextSteps = 3;

signals:
    void focusReceived();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    // Paste and drop: the text as the box's insertion takes it.
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    // Copy, cut and drag: the selection's exact characters, LF line breaks.
    QMimeData* createMimeDataFromSelection() const override;

private:
    // A document of the history with where the box stood in it.
    struct Version {
        QTextDocument* document = nullptr;
        QTextCursor cursor;
        int horizontalScroll = 0;
        int verticalScroll = 0;
    };

    // Inserts `text` at the box's cursor as one edit, then shows the caret.
    void insertAtCursor(const QString& text);
    // Puts `text` into the present document without recording a step.
    void overwriteDocument(const QString& text);
    // A new empty document set up like the present one.
    QTextDocument* createDocument();
    // Shows the document of version `index`.
    void showVersion(std::size_t index);
    // Forgets the versions after the present one (they can no longer be
    // redone), or all but the present one.
    void dropLaterVersions();
    void dropOtherVersions();
    // The program's bookkeeping after a write of `text`: the kept text and
    // the one textChanged.
    void textWritten(const QString& text);
    // Where the box stands in the present version, for when it comes back.
    void rememberView();

    std::vector<Version> m_versions;
    std::size_t m_current = 0;
    bool m_recordsProgramWrites = true;
    bool m_undoingOrRedoing = false;
    mutable QString m_programText;
    mutable bool m_programTextValid = false;
    quint64 m_revision = 0;
};

}  // namespace lcr
