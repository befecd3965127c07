#include "dialogs/program_text_edit.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextDocumentLayout>
#include <QScopedValueRollback>
#include <QScrollBar>
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
    // The box's documents are its own, so that it can keep them in its
    // history; the one Qt made goes.
    QTextDocument* first = createDocument();
    {
        const QSignalBlocker blocker(this);
        setDocument(first);
    }
    m_versions.push_back({first});
}

QTextDocument* ProgramTextEdit::createDocument() {
    const QTextDocument* model = document();
    auto* created = new QTextDocument(this);
    created->setDocumentLayout(new QPlainTextDocumentLayout(created));
    created->setDefaultFont(font());
    created->setDefaultTextOption(model->defaultTextOption());
    created->setDocumentMargin(model->documentMargin());
    // The document's own signal, not the box's: it also fires while the
    // box's signals are blocked for a write from the program.
    connect(created, &QTextDocument::contentsChanged, this, [this, created] {
        m_programTextValid = false;
        ++m_revision;
        // An edit (typing, a change of a part) ends the way forward to the
        // versions that had been undone; undo and redo themselves do not.
        if (created == document() && !m_undoingOrRedoing) {
            dropLaterVersions();
        }
    });
    return created;
}

QString ProgramTextEdit::programText() const {
    if (!m_programTextValid) {
        m_programText = programTextOf(document(), 0, document()->toRawText());
        m_programTextValid = true;
    }
    return m_programText;
}

void ProgramTextEdit::setProgramText(const QString& text) {
    if (!m_recordsProgramWrites) {
        dropOtherVersions();
        overwriteDocument(text);
        textWritten(text);
        return;
    }
    dropLaterVersions();
    // The steps undone in the present document can no longer be redone:
    // this change comes after them.
    document()->clearUndoRedoStacks(QTextDocument::RedoStack);
    QTextDocument* next = createDocument();
    next->setUndoRedoEnabled(false);
    QTextCursor cursor(next);
    insertProgramText(cursor, text);
    next->setUndoRedoEnabled(true);

    rememberView();
    m_versions.push_back({next});
    if (m_versions.size() > kKeptWholeTextSteps + 1) {
        delete m_versions.front().document;
        m_versions.erase(m_versions.begin());
    }
    showVersion(m_versions.size() - 1);
    textWritten(text);
}

void ProgramTextEdit::resetProgramText(const QString& text) {
    dropOtherVersions();
    overwriteDocument(text);
    textWritten(text);
}

void ProgramTextEdit::overwriteDocument(const QString& text) {
    // Clearing and inserting each report a change; the program's convention
    // is one notification a write (textWritten).
    const QSignalBlocker blocker(this);
    // Turning undo off empties the document's history: nothing of it is
    // recorded or kept.
    document()->setUndoRedoEnabled(false);
    setPlainText(QString());
    QTextCursor cursor(document());
    insertProgramText(cursor, text);
    document()->setUndoRedoEnabled(true);
    // The caret stays at the start, as for a text put in any other way.
    setTextCursor(QTextCursor(document()));
}

void ProgramTextEdit::textWritten(const QString& text) {
    // What reading the document back gives, without reading it.
    m_programText = toProgramLineBreaks(text);
    m_programTextValid = true;
    emit textChanged();
}

void ProgramTextEdit::rememberView() {
    Version& present = m_versions[m_current];
    present.cursor = textCursor();
    present.horizontalScroll = horizontalScrollBar()->value();
    present.verticalScroll = verticalScrollBar()->value();
}

void ProgramTextEdit::showVersion(std::size_t index) {
    m_current = index;
    const Version& shown = m_versions[index];
    // The box's font and wrapping may have changed since the document was
    // shown last. Either setting lays the whole document out again, so it
    // is made only when it differs.
    if (shown.document->defaultFont() != font()) {
        shown.document->setDefaultFont(font());
    }
    const QTextOption option = document()->defaultTextOption();
    const QTextOption kept = shown.document->defaultTextOption();
    if (kept.wrapMode() != option.wrapMode() ||
        kept.tabStopDistance() != option.tabStopDistance() || kept.flags() != option.flags() ||
        kept.alignment() != option.alignment()) {
        shown.document->setDefaultTextOption(option);
    }
    {
        const QSignalBlocker blocker(this);
        setDocument(shown.document);
        if (!shown.cursor.isNull()) {
            setTextCursor(shown.cursor);
        }
        horizontalScrollBar()->setValue(shown.horizontalScroll);
        verticalScrollBar()->setValue(shown.verticalScroll);
    }
    m_programTextValid = false;
    ++m_revision;
}

void ProgramTextEdit::dropLaterVersions() {
    for (std::size_t i = m_current + 1; i < m_versions.size(); ++i) {
        delete m_versions[i].document;
    }
    m_versions.resize(m_current + 1);
}

void ProgramTextEdit::dropOtherVersions() {
    dropLaterVersions();
    for (std::size_t i = 0; i < m_current; ++i) {
        delete m_versions[i].document;
    }
    m_versions.erase(m_versions.begin(),
                     m_versions.begin() + static_cast<std::ptrdiff_t>(m_current));
    m_current = 0;
}

bool ProgramTextEdit::isUndoAvailable() const {
    return document()->isUndoAvailable() || m_current > 0;
}

bool ProgramTextEdit::isRedoAvailable() const {
    return document()->isRedoAvailable() || m_current + 1 < m_versions.size();
}

void ProgramTextEdit::undo() {
    if (document()->isUndoAvailable()) {
        const QScopedValueRollback guard(m_undoingOrRedoing, true);
        QPlainTextEdit::undo();
    } else if (m_current > 0) {
        rememberView();
        showVersion(m_current - 1);
        emit textChanged();
    }
}

void ProgramTextEdit::redo() {
    if (document()->isRedoAvailable()) {
        const QScopedValueRollback guard(m_undoingOrRedoing, true);
        QPlainTextEdit::redo();
    } else if (m_current + 1 < m_versions.size()) {
        rememberView();
        showVersion(m_current + 1);
        emit textChanged();
    }
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
    // Qt merges an insertion typed right after an edit block into the
    // block's step, but never into the step before an unmodified state.
    document()->setModified(false);
    setTextCursor(cursor);
    ensureCursorVisible();
}

void ProgramTextEdit::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    emit focusReceived();
}

void ProgramTextEdit::keyPressEvent(QKeyEvent* event) {
    if (!isReadOnly()) {
        const QKeyCombination keys = event->keyCombination();
        if (event->matches(QKeySequence::Undo)) {
            undo();
            event->accept();
            return;
        }
        if (event->matches(QKeySequence::Redo) ||
            keys == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z) ||
            keys == QKeyCombination(Qt::ControlModifier, Qt::Key_Y)) {
            redo();
            event->accept();
            return;
        }
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

void ProgramTextEdit::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu(event->pos());
    for (QAction* action : menu->actions()) {
        const bool isUndo = action->objectName() == QLatin1String("edit-undo");
        const bool isRedo = action->objectName() == QLatin1String("edit-redo");
        if (!isUndo && !isRedo) {
            continue;
        }
        // Away from the undo of Qt's control, which knows one document only.
        action->disconnect();
        action->setEnabled(!isReadOnly() && (isUndo ? isUndoAvailable() : isRedoAvailable()));
        connect(action, &QAction::triggered, this,
                isUndo ? &ProgramTextEdit::undo : &ProgramTextEdit::redo);
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
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
