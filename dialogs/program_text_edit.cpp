#include "dialogs/program_text_edit.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMimeData>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace lcr {

namespace {

// The format property of a U+2028 that stands for another character.
constexpr int kStandsForProperty = QTextFormat::UserProperty + 0x2028;

// Characters the document cannot hold: it turns each into a block break.
bool isHeldAsSeparator(QChar c) {
    return c == QChar::ParagraphSeparator || c == QChar(0xFDD0) || c == QChar(0xFDD1);
}

// Text that the document would change if Qt inserted it itself: it goes
// through insertProgramText instead. A U+2028 typed after a marked one
// would take over its mark.
bool needsOwnInsertion(const QString& text) {
    return std::any_of(text.cbegin(), text.cend(),
                       [](QChar c) { return isHeldAsSeparator(c) || c == QChar::LineSeparator; });
}

// CR LF, lone CR and lone LF each become `lineBreak`: the one line-break
// rule for everything written into a box.
QString replaceLineBreaks(const QString& text, QStringView lineBreak) {
    const qsizetype n = text.size();
    const QChar* p = text.constData();
    qsizetype breaks = 0;
    bool changes = false;
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] == u'\r') {
            ++breaks;
            const bool pair = i + 1 < n && p[i + 1] == u'\n';
            changes = changes || lineBreak != (pair ? u"\r\n" : u"\r");
            i += pair ? 1 : 0;
        } else if (p[i] == u'\n') {
            ++breaks;
            changes = changes || lineBreak != u"\n";
        }
    }
    if (!changes) {
        return text;
    }
    QString out;
    out.reserve(n + breaks * lineBreak.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] != u'\r' && p[i] != u'\n') {
            continue;
        }
        out.append(p + runStart, i - runStart);
        out.append(lineBreak);
        if (p[i] == u'\r' && i + 1 < n && p[i + 1] == u'\n') {
            ++i;
        }
        runStart = i + 1;
    }
    out.append(p + runStart, n - runStart);
    return out;
}

// Writes program text at the cursor: line breaks become block breaks, the
// characters the document cannot hold become marked U+2028, everything
// else goes in as it is. Inserted text never takes over the format (and so
// a mark) of the text before it.
void insertProgramText(QTextCursor& cursor, const QString& text) {
    const QString documentText = replaceLineBreaks(text, u"\n");
    const QTextCharFormat plain;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < documentText.size(); ++i) {
        const QChar c = documentText[i];
        if (!isHeldAsSeparator(c)) {
            continue;
        }
        if (i > runStart) {
            cursor.insertText(documentText.mid(runStart, i - runStart), plain);
        }
        QTextCharFormat marked;
        marked.setProperty(kStandsForProperty, static_cast<int>(c.unicode()));
        cursor.insertText(QString(QChar::LineSeparator), marked);
        runStart = i + 1;
    }
    if (runStart == 0) {
        cursor.insertText(documentText, plain);
    } else if (runStart < documentText.size()) {
        cursor.insertText(documentText.mid(runStart), plain);
    }
}

// The document's raw text (block breaks as U+2029) that starts at
// `position`, as program text: block breaks become CR LF, a marked U+2028
// the character it stands for.
QString programTextOf(QTextDocument* document, int position, const QString& raw) {
    const qsizetype n = raw.size();
    const QChar* p = raw.constData();
    qsizetype breaks = 0;
    bool separators = false;
    for (qsizetype i = 0; i < n; ++i) {
        breaks += p[i] == QChar::ParagraphSeparator;
        separators = separators || p[i] == QChar::LineSeparator;
    }
    if (breaks == 0 && !separators) {
        return raw;
    }
    QString text(n + breaks, Qt::Uninitialized);
    QChar* out = text.data();
    QTextCursor probe(document);
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] == QChar::ParagraphSeparator) {
            *out++ = u'\r';
            *out++ = u'\n';
        } else if (p[i] == QChar::LineSeparator) {
            // The format of the character before the cursor: this one.
            probe.setPosition(position + static_cast<int>(i) + 1);
            const QVariant standsFor = probe.charFormat().property(kStandsForProperty);
            *out++ = standsFor.isValid() ? QChar(static_cast<char16_t>(standsFor.toInt())) : p[i];
        } else {
            *out++ = p[i];
        }
    }
    return text;
}

}  // namespace

QString toProgramLineBreaks(const QString& text) {
    return replaceLineBreaks(text, u"\r\n");
}

QString toDesktopLineBreaks(const QString& programText) {
    QString text = programText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

ProgramTextEdit::ProgramTextEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabChangesFocus(false);
    watchDocument();
}

void ProgramTextEdit::watchDocument() {
    // The document's own signal, not the box's: it also fires while the
    // box's signals are blocked for a write from the program.
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        m_programTextValid = false;
        ++m_revision;
    });
}

QString ProgramTextEdit::programText() const {
    if (!m_programTextValid) {
        m_programText = programTextOf(document(), 0, document()->toRawText());
        m_programTextValid = true;
    }
    return m_programText;
}

void ProgramTextEdit::setProgramText(const QString& text) {
    {
        // Clearing and inserting each report a change; the program's
        // convention is one notification a write.
        const QSignalBlocker blocker(this);
        // Emptying the document empties the undo history anyway; recording
        // the new text as one undo step first costs a third of the time on
        // a large text, so it is not recorded.
        const bool undo = isUndoRedoEnabled();
        setUndoRedoEnabled(false);
        setPlainText(QString());
        QTextCursor cursor(document());
        insertProgramText(cursor, text);
        setUndoRedoEnabled(undo);
        // The caret stays at the start, as for a text put in any other way.
        setTextCursor(QTextCursor(document()));
    }
    // What reading the document back gives, without reading it.
    m_programText = toProgramLineBreaks(text);
    m_programTextValid = true;
    emit textChanged();
}

void ProgramTextEdit::replaceSelection(const QString& text) {
    {
        const QSignalBlocker blocker(this);
        insertAtCursor(text);
    }
    emit textChanged();
}

void ProgramTextEdit::insertAtCursor(const QString& text) {
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    insertProgramText(cursor, text);
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

void ProgramTextEdit::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    emit focusReceived();
}

void ProgramTextEdit::keyPressEvent(QKeyEvent* event) {
    if (!isReadOnly()) {
        if (event->matches(QKeySequence::InsertLineSeparator)) {
            // Shift+Enter would put a U+2028 into the text, which looks like
            // a line break but is none to the program: it gives a line break.
            QKeyEvent enter(event->type(), Qt::Key_Return, event->modifiers() & ~Qt::ShiftModifier,
                            QStringLiteral("\r"), event->isAutoRepeat(), event->count());
            QPlainTextEdit::keyPressEvent(&enter);
            event->setAccepted(enter.isAccepted());
            return;
        }
        if (needsOwnInsertion(event->text())) {
            insertAtCursor(event->text());
            event->accept();
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}

void ProgramTextEdit::inputMethodEvent(QInputMethodEvent* event) {
    const QString commit = event->commitString();
    if (isReadOnly() || !needsOwnInsertion(commit)) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent rest(event->preeditString(), event->attributes());
    rest.setCommitString(QString(), event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&rest);
    insertAtCursor(commit);
    event->accept();
}

bool ProgramTextEdit::canInsertFromMimeData(const QMimeData* source) const {
    return source->hasText();
}

void ProgramTextEdit::insertFromMimeData(const QMimeData* source) {
    if (!isReadOnly() && source->hasText()) {
        insertAtCursor(source->text());
    }
}

QMimeData* ProgramTextEdit::createMimeDataFromSelection() const {
    const QTextCursor cursor = textCursor();
    auto* data = new QMimeData;
    data->setText(toDesktopLineBreaks(
        programTextOf(document(), cursor.selectionStart(), cursor.selectedText())));
    return data;
}

}  // namespace lcr
