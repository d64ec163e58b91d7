#include "editor/LetterEditor.h"

#include "editor/DisplayFormats.h"
#include "editor/EditorWidget.h"
#include "editor/TextSearch.h"
#include "formats/DocumentFile.h"
#include "formats/OpenDocument.h"
#include "platform/RegularFile.h"
#include "platform/SafeFile.h"
#include "platform/Services.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextList>
#include <algorithm>
#include <functional>
#include <vector>

namespace lw {

namespace {

constexpr double twipsPerInch = 1440.0;
constexpr double millimetresPerInch = 25.4;

textsearch::Rules searchRules(int options)
{
    return {(options & LetterEditor::MatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive,
            bool(options & LetterEditor::WholeWord)};
}

// Runs `work` with the document's layout switched off, then lets Qt lay the document out afresh,
// lazily, as it does a new document: only what is shown is laid out at once, the rest in the
// background. Without it, moving the caret after replacing a large document would lay out all of
// it to find where the old caret stood.
template <typename Work> void withoutLayout(QTextEdit* editor, Work work)
{
    QTextDocument* document = editor->document();
    const QSizeF page = document->pageSize();
    document->setPageSize(QSizeF(0, 0));
    work();
    document->setPageSize(page);
    editor->ensureCursorVisible();
}

bool isBulletStyle(QTextListFormat::Style style)
{
    return style == QTextListFormat::ListDisc || style == QTextListFormat::ListCircle ||
           style == QTextListFormat::ListSquare;
}

bool isNumberedStyle(QTextListFormat::Style style)
{
    return style == QTextListFormat::ListDecimal || style == QTextListFormat::ListLowerAlpha ||
           style == QTextListFormat::ListUpperAlpha || style == QTextListFormat::ListLowerRoman ||
           style == QTextListFormat::ListUpperRoman;
}

// The paragraphs a selection touches, as QTextCursor::mergeBlockFormat() takes them.
template <typename Visit>
void forEachBlock(const QTextDocument* document, const QTextCursor& selection, Visit visit)
{
    const QTextBlock last = document->findBlock(selection.selectionEnd());
    for (QTextBlock block = document->findBlock(selection.selectionStart()); block.isValid();
         block = block.next()) {
        if (!visit(block) || block == last)
            return;
    }
}

// The runs of text of a selection; `visit` returns false to stop.
template <typename Visit>
void forEachRun(const QTextDocument* document, const QTextCursor& selection, Visit visit)
{
    const int start = selection.selectionStart();
    const int end = selection.selectionEnd();
    for (QTextBlock block = document->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment run = it.fragment();
            if (run.position() >= end)
                break;
            if (run.position() + run.length() > start && !visit(run.charFormat()))
                return;
        }
    }
}

// One value for the whole selection, or std::nullopt when it differs; without a selection, the
// value of the text typed at the caret.
template <typename Value>
std::optional<Value> uniformRunValue(const QTextDocument* document, const QTextCursor& selection,
                                     const std::function<Value(const QTextCharFormat&)>& valueOf)
{
    std::optional<Value> value;
    bool mixed = false;
    if (selection.hasSelection()) {
        forEachRun(document, selection, [&](const QTextCharFormat& format) {
            const Value here = valueOf(format);
            mixed = value && *value != here;
            value = here;
            return !mixed;
        });
    }
    if (mixed)
        return std::nullopt;
    // A selection of paragraph breaks only has no run of its own.
    if (!value)
        value = valueOf(selection.charFormat());
    return value;
}

template <typename Value>
std::optional<Value> uniformBlockValue(const QTextDocument* document, const QTextCursor& selection,
                                       const std::function<Value(const QTextBlock&)>& valueOf)
{
    std::optional<Value> value;
    bool mixed = false;
    forEachBlock(document, selection, [&](const QTextBlock& block) {
        const Value here = valueOf(block);
        mixed = value && *value != here;
        value = here;
        return !mixed;
    });
    if (mixed)
        return std::nullopt;
    return value;
}

// Changes the format of every paragraph of the selection, as one undo step.
void changeBlocks(QTextDocument* document, const QTextCursor& selection,
                  const std::function<void(const QTextBlock&, QTextBlockFormat&)>& change)
{
    QTextCursor writer(document);
    writer.beginEditBlock();
    forEachBlock(document, selection, [&](const QTextBlock& block) {
        QTextBlockFormat format = block.blockFormat();
        change(block, format);
        writer.setPosition(block.position());
        writer.setBlockFormat(format);
        return true;
    });
    writer.endEditBlock();
}

// The format of text typed over the selection: that of its first character, as typing does.
QTextCharFormat typingFormat(QTextDocument* document, const QTextCursor& selection)
{
    QTextCharFormat format = selection.charFormat();
    if (selection.hasSelection()) {
        QTextCursor first(document);
        first.setPosition(selection.selectionStart() + 1);
        format = first.charFormat();
    }
    // Text typed after a picture is text, not another picture.
    for (const int property : {int(QTextFormat::ObjectType), int(QTextFormat::ImageName),
                               int(QTextFormat::ImageWidth), int(QTextFormat::ImageHeight)})
        format.clearProperty(property);
    return format;
}

// A run of equally formatted characters within a paragraph.
struct Run
{
    int end = 0;
    int formatIndex = -1;
};

// The run that holds the character at `position`.
Run runAt(const QTextDocument* document, int position)
{
    const QTextBlock block = document->findBlock(position);
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment run = it.fragment();
        if (run.position() + run.length() > position)
            return {run.position() + run.length(), run.charFormatIndex()};
    }
    return {position + 1, -1};
}

// Long changes go in pieces of this many characters, with a word of progress after each.
constexpr qsizetype pieceSize = qsizetype(1) << 22;

// Where the piece of `text` that starts at `at` ends: after a line feed where there is one, and
// never between a CR and its LF or within a surrogate pair.
qsizetype pieceEnd(const QString& text, qsizetype at)
{
    qsizetype end = std::min(at + pieceSize, text.size());
    if (end == text.size())
        return end;
    const qsizetype lineEnd = text.lastIndexOf(u'\n', end - 1);
    if (lineEnd >= at)
        return lineEnd + 1;
    if (text.at(end - 1) == u'\r' || text.at(end - 1).isHighSurrogate())
        --end;
    return end;
}

// The editor while a long change goes on out of sight: the document is not laid out and the
// window not painted until the end, and a cancel puts everything back as it was.
class HeldView
{
public:
    explicit HeldView(QTextEdit* editor)
        : editor(editor), doc(editor->document()), anchor(editor->textCursor().anchor()),
          position(editor->textCursor().position()),
          horizontal(editor->horizontalScrollBar()->value()),
          vertical(editor->verticalScrollBar()->value()), page(doc->pageSize()),
          wrapping(doc->defaultTextOption()), modified(doc->isModified()),
          undoEnabled(doc->isUndoRedoEnabled())
    {
        // A cancel takes the change back through the undo history.
        if (!undoEnabled)
            doc->setUndoRedoEnabled(true);
        undoSteps = doc->availableUndoSteps();
        doc->setPageSize(QSizeF(0, 0));
        editor->viewport()->setUpdatesEnabled(false);
    }

    void cancel()
    {
        // Out of sight again, in case the layout had begun.
        doc->setPageSize(QSizeF(0, 0));
        while (doc->availableUndoSteps() > undoSteps) {
            const int steps = doc->availableUndoSteps();
            doc->undo();
            if (doc->availableUndoSteps() >= steps)
                break;
        }
        doc->clearUndoRedoStacks(QTextDocument::RedoStack);
        if (!undoEnabled)
            doc->setUndoRedoEnabled(false);
        doc->setModified(modified);
        doc->setDefaultTextOption(wrapping);
        doc->setPageSize(page);
        QTextCursor caret(doc);
        caret.setPosition(anchor);
        caret.setPosition(position, QTextCursor::KeepAnchor);
        editor->setTextCursor(caret);
        editor->horizontalScrollBar()->setValue(horizontal);
        editor->verticalScrollBar()->setValue(vertical);
        editor->viewport()->setUpdatesEnabled(true);
    }

    // Lays the changed document out up to `position` in steps, asking `more` after each; false
    // when it said stop. Qt would otherwise lay out everything before the caret at once to show
    // it: for a million paragraphs inserted, seconds without an answer.
    bool layOutUpTo(int position, const std::function<bool()>& more)
    {
        constexpr int paragraphsAStep = 5000;
        doc->setPageSize(page);
        laidOut = true;
        QAbstractTextDocumentLayout* layout = doc->documentLayout();
        const int last = doc->findBlock(position).blockNumber();
        for (int number = 0;; number += paragraphsAStep) {
            layout->blockBoundingRect(doc->findBlockByNumber(std::min(number, last)));
            if (number >= last)
                return true;
            if (!more())
                return false;
        }
    }

    // Shows the changed document with `caret`.
    void show(const QTextCursor& caret)
    {
        if (!undoEnabled)
            doc->setUndoRedoEnabled(false);
        doc->setModified(true);
        editor->setTextCursor(caret);
        // Set again, it would throw away what layOutUpTo() laid out, and the editor may have
        // changed it meanwhile for a scroll bar that came.
        if (!laidOut)
            doc->setPageSize(page);
        editor->ensureCursorVisible();
        editor->viewport()->setUpdatesEnabled(true);
    }

private:
    QTextEdit* editor;
    QTextDocument* doc;
    int anchor;
    int position;
    int horizontal;
    int vertical;
    QSizeF page;
    QTextOption wrapping;
    bool modified;
    bool undoEnabled;
    int undoSteps = 0;
    bool laidOut = false;
};

} // namespace

LetterEditor::LetterEditor(QWidget* parent) : QObject(parent), editor(new EditorWidget(parent))
{
    connect(editor, &EditorWidget::contentChanged, this, &LetterEditor::Change);
    followDocument();
    connect(editor, &EditorWidget::documentReplaced, this, [this] {
        followDocument();
        emit documentReplaced();
    });
    connect(editor, &EditorWidget::gotFocus, this, &LetterEditor::GotFocus);
    connect(editor, &EditorWidget::mouseDown, this, &LetterEditor::MouseDown);
    connect(editor, &EditorWidget::contextMenuKey, this, &LetterEditor::ContextMenuKey);
    editor->pastePlainText = [this](const QString& text) {
        if (text.size() <= textInsertedInPieces || !services().progress)
            return false;
        QString pasted = text;
        // Asked as Open asks of a file with such a line; No pastes nothing.
        if (const qsizetype longest = longestLine(text); longest > longestLineShown) {
            if (message(editor,
                        QStringLiteral("The text pasted has a line of %1 characters. Lines that "
                                       "long take minutes to show.\n\nBreak its long lines into "
                                       "lines of at most %2 characters? No pastes nothing.")
                            .arg(QLocale().toString(longest), QLocale().toString(brokenLineLength)),
                        QStringLiteral("Paste"), MsgButtons::YesNo,
                        MsgIcon::Exclamation) != MsgAnswer::Yes)
                return true;
            pasted = withLongLinesBroken(text, brokenLineLength);
        }
        std::unique_ptr<ProgressReport> report;
        setSelTextInPieces(pasted, [&](qint64 done, qint64 total) {
            if (!report)
                report = services().progress->begin(editor, QStringLiteral("Pasting..."), total);
            return report->advance(done);
        });
        return true;
    };
}

LetterEditor::~LetterEditor()
{
    // Without a parent the widget is ours; with one, the parent deletes it.
    if (editor && !editor->parent())
        delete editor.data();
}

void LetterEditor::followDocument()
{
    searchedText.reset();
    loadedText.reset();
    connect(document(), &QTextDocument::contentsChange, this, [this] {
        searchedText.reset();
        loadedText.reset();
    });
}

QWidget* LetterEditor::widget() const
{
    return editor;
}

QTextEdit* LetterEditor::textEdit() const
{
    return editor;
}

QTextDocument* LetterEditor::document() const
{
    return editor->document();
}

QString LetterEditor::Text() const
{
    return documentText(*document());
}

void LetterEditor::setText(const QString& text)
{
    replaceContent(text);
}

bool LetterEditor::setTextInPieces(const QString& text, const Progress& progress,
                                   const Accept& accept)
{
    if (editCursor || !progress) {
        setText(text);
        return true;
    }
    if (isRtf(text)) {
        return replaceDocument(
            [&](QTextCursor& cursor) {
                return readRtf(text, cursor,
                               [&](qint64 done) { return progress(done, text.size()); });
            },
            std::nullopt, accept);
    }
    if (!replaceDocument(
            [&](QTextCursor& writer) {
                return writeInPieces(writer, text, QTextCharFormat(), progress);
            },
            text))
        return false;
    loadedText = text;
    return true;
}

bool LetterEditor::replaceDocument(const std::function<bool(QTextCursor&)>& write,
                                   const std::optional<QString>& text, const Accept& accept)
{
    // Out of sight, in a document of its own: the letter stays as it is until the new one is
    // complete, a cancel just drops the new one, and the reading takes no undo history, which
    // would hold about as much again as the document.
    std::unique_ptr<QTextDocument> fresh = editor->newDocument();
    fresh->setUndoRedoEnabled(false);
    QTextCursor writer(fresh.get());
    if (!write(writer) || (accept && !accept(*fresh)))
        return false;
    fitWrappingOf(fresh.get(), text ? QStringView(*text) : QStringView(fresh->toRawText()), true);
    // Afresh, as setText leaves it: no undo history, the caret at the start.
    fresh->setUndoRedoEnabled(true);
    fresh->setModified(true);
    editor->replaceDocument(std::move(fresh));
    editor->horizontalScrollBar()->setValue(0);
    editor->verticalScrollBar()->setValue(0);
    emit Change();
    return true;
}

bool LetterEditor::setSelTextInPieces(const QString& text, const Progress& progress)
{
    if (editCursor || !progress) {
        setSelText(text);
        return true;
    }
    {
        const QSignalBlocker quiet(this);
        HeldView held(editor);
        fitWrapping(text, false);
        QTextCursor writer = editor->textCursor();
        const QTextCharFormat format = typingFormat(document(), writer);
        writer.beginEditBlock();
        writer.removeSelectedText();
        const bool done = writeInPieces(writer, text, format, progress);
        writer.endEditBlock();
        if (!done) {
            held.cancel();
            return false;
        }
        // The bar stays full while the rest is laid out.
        if (!held.layOutUpTo(writer.position(),
                             [&] { return progress(text.size(), text.size()); })) {
            held.cancel();
            return false;
        }
        held.show(writer);
    }
    emit Change();
    return true;
}

bool LetterEditor::writeInPieces(QTextCursor& writer, const QString& text,
                                 const QTextCharFormat& format, const Progress& progress)
{
    for (qsizetype at = 0; at < text.size();) {
        const qsizetype end = pieceEnd(text, at);
        writer.insertText(text.sliced(at, end - at), format);
        at = end;
        if (!progress(at, text.size()))
            return false;
    }
    return true;
}

void LetterEditor::fitWrapping(QStringView text, bool replacing)
{
    fitWrappingOf(document(), text, replacing);
}

void LetterEditor::fitWrappingOf(QTextDocument* doc, QStringView text, bool replacing)
{
    // Qt breaks a word longer than a line by laying the rest of it out again for every line, so
    // a very long one takes a time that grows with the square of its length. Breaking lines
    // anywhere lays it out once; such a document is no prose whose words need keeping whole.
    QTextOption option = doc->defaultTextOption();
    QTextOption::WrapMode mode = option.wrapMode();
    if (hasVeryLongWord(text))
        mode = QTextOption::WrapAnywhere;
    else if (replacing)
        mode = QTextOption::WrapAtWordBoundaryOrAnywhere;
    if (mode == option.wrapMode())
        return;
    // Set on the document, not the widget: the widget would lay the document out at once.
    option.setWrapMode(mode);
    doc->setDefaultTextOption(option);
}

int LetterEditor::TextLength() const
{
    return document()->characterCount() - 1;
}

QString LetterEditor::SelText() const
{
    return withLineFeeds(cursor().selectedText());
}

void LetterEditor::setSelText(const QString& text)
{
    fitWrapping(text, false);
    QTextCursor edit = cursor();
    edit.insertText(text, typingFormat(document(), edit));
    setCursor(edit);
}

void LetterEditor::changeSelText(const std::function<QString(const QString&)>& change)
{
    const QTextCursor selection = cursor();
    if (!selection.hasSelection())
        return;
    const int start = selection.selectionStart();
    int end = selection.selectionEnd();
    struct Run
    {
        int position;
        int length;
        QString text;
        QTextCharFormat format;
    };
    std::vector<Run> changed;
    for (QTextBlock block = document()->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment run = it.fragment();
            const int from = std::max(run.position(), start);
            const int to = std::min(run.position() + run.length(), end);
            // Pictures and other objects are characters of their own, not text.
            if (from >= to || run.charFormat().objectType() != QTextFormat::NoObject)
                continue;
            const QString text = run.text().mid(from - run.position(), to - from);
            QString result = change(text);
            if (result != text)
                changed.push_back({from, to - from, std::move(result), run.charFormat()});
        }
    }
    beginEdit();
    QTextCursor writer(document());
    // From the end, so that a run whose length changes (ß to SS) moves none still to come.
    for (auto run = changed.rbegin(); run != changed.rend(); ++run) {
        writer.setPosition(run->position);
        writer.setPosition(run->position + run->length, QTextCursor::KeepAnchor);
        writer.insertText(run->text, run->format);
        end += int(run->text.size()) - run->length;
    }
    QTextCursor caret = cursor();
    caret.setPosition(end);
    setCursor(caret);
    endEdit();
}

void LetterEditor::insertContent(const LetterEditor& source)
{
    if (source.TextLength() == 0)
        return;
    fitWrapping(source.document()->toRawText(), false);
    // The document is laid out afresh, lazily, rather than all at once at the end of the edit:
    // for a million inserted paragraphs, that took minutes.
    if (!editCursor) {
        withoutLayout(editor, [&] { insertFragmentOf(source); });
        return;
    }
    insertFragmentOf(source);
}

void LetterEditor::insertFragmentOf(const LetterEditor& source)
{
    const QTextDocumentFragment content(source.document());
    QTextCursor edit = cursor();
    edit.beginEditBlock();
    const int start = edit.selectionStart();
    edit.insertFragment(content);
    adoptPicturesOf(source, start, edit.position());
    edit.endEditBlock();
    setCursor(edit);
}

void LetterEditor::adoptPicturesOf(const LetterEditor& source, int start, int end)
{
    for (QTextBlock block = document()->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat())
                continue;
            const QUrl name(format.toImageFormat().name());
            const QVariant picture =
                source.document()->resource(QTextDocument::ImageResource, name);
            if (picture.isValid())
                document()->addResource(QTextDocument::ImageResource, name, picture);
        }
    }
}

bool LetterEditor::insertContentInPieces(const LetterEditor& source, const Progress& progress,
                                         int paragraphs)
{
    if (editCursor || !progress) {
        insertContent(source);
        return true;
    }
    if (source.TextLength() == 0)
        return true;
    QTextDocument* from = source.document();
    // A piece ends before a paragraph that, like the one before it, is in no list and no table:
    // a list copied in two pieces would become two lists.
    const auto mayEndBefore = [from](const QTextBlock& block) {
        const auto alone = [from](const QTextBlock& paragraph) {
            return !paragraph.textList() &&
                   QTextCursor(paragraph).currentFrame() == from->rootFrame();
        };
        return alone(block) && alone(block.previous());
    };
    {
        const QSignalBlocker quiet(this);
        HeldView held(editor);
        fitWrapping(from->toRawText(), false);
        QTextCursor writer = editor->textCursor();
        writer.beginEditBlock();
        const int start = writer.selectionStart();
        const int total = from->blockCount();
        int copied = 0;
        int pieceStart = 0;
        QTextCursor piece(from);
        for (QTextBlock block = from->begin(); block.isValid();) {
            int count = 0;
            do {
                block = block.next();
                ++count;
            } while (block.isValid() && (count < paragraphs || !mayEndBefore(block)));
            const int pieceEnd = block.isValid() ? block.position() : from->characterCount() - 1;
            piece.setPosition(pieceStart);
            piece.setPosition(pieceEnd, QTextCursor::KeepAnchor);
            writer.insertFragment(piece.selection());
            pieceStart = pieceEnd;
            copied += count;
            if (!progress(copied, total)) {
                writer.endEditBlock();
                held.cancel();
                return false;
            }
        }
        adoptPicturesOf(source, start, writer.position());
        writer.endEditBlock();
        if (!held.layOutUpTo(writer.position(), [&] { return progress(total, total); })) {
            held.cancel();
            return false;
        }
        held.show(writer);
    }
    emit Change();
    return true;
}

void LetterEditor::insertPicture(const QImage& picture)
{
    onWidgetCursor([&] { editor->insertPicture(picture); });
}

int LetterEditor::SelStart() const
{
    return cursor().selectionStart();
}

void LetterEditor::setSelStart(int position)
{
    QTextCursor caret = cursor();
    caret.setPosition(clampPosition(position));
    setCursor(caret);
}

int LetterEditor::SelLength() const
{
    const QTextCursor selection = cursor();
    return selection.selectionEnd() - selection.selectionStart();
}

void LetterEditor::setSelLength(int length)
{
    QTextCursor selection = cursor();
    const int start = selection.selectionStart();
    selection.setPosition(start);
    selection.setPosition(clampPosition(qint64(start) + std::max(length, 0)),
                          QTextCursor::KeepAnchor);
    setCursor(selection);
}

std::optional<bool> LetterEditor::SelBold() const
{
    const QFont base = Font();
    return uniformRunValue<bool>(document(), cursor(), [&](const QTextCharFormat& format) {
        return format.font().resolve(base).bold();
    });
}

void LetterEditor::setSelBold(bool on)
{
    QTextCharFormat format;
    format.setFontWeight(on ? QFont::Bold : QFont::Normal);
    mergeCharFormat(format);
}

std::optional<bool> LetterEditor::SelItalic() const
{
    const QFont base = Font();
    return uniformRunValue<bool>(document(), cursor(), [&](const QTextCharFormat& format) {
        return format.font().resolve(base).italic();
    });
}

void LetterEditor::setSelItalic(bool on)
{
    QTextCharFormat format;
    format.setFontItalic(on);
    mergeCharFormat(format);
}

std::optional<bool> LetterEditor::SelUnderline() const
{
    const QFont base = Font();
    return uniformRunValue<bool>(document(), cursor(), [&](const QTextCharFormat& format) {
        return format.font().resolve(base).underline();
    });
}

void LetterEditor::setSelUnderline(bool on)
{
    QTextCharFormat format;
    format.setFontUnderline(on);
    mergeCharFormat(format);
}

namespace {

using ListStyleTest = bool (*)(QTextListFormat::Style);

std::optional<bool> selectionInList(const QTextDocument* document, const QTextCursor& selection,
                                    ListStyleTest isStyle)
{
    return uniformBlockValue<bool>(document, selection, [isStyle](const QTextBlock& block) {
        return block.textList() && isStyle(block.textList()->format().style());
    });
}

// Puts the selection's paragraphs into a new list of the style, or takes them out of lists of
// that kind of style.
void setSelectionInList(QTextDocument* document, QTextCursor selection, bool on,
                        QTextListFormat::Style style, ListStyleTest isStyle)
{
    if (selectionInList(document, selection, isStyle) == on)
        return;
    if (on) {
        QTextListFormat list;
        list.setStyle(style);
        list.setIndent(1);
        selection.beginEditBlock();
        selection.createList(list);
        selection.endEditBlock();
        return;
    }
    changeBlocks(document, selection, [isStyle](const QTextBlock& block, QTextBlockFormat& format) {
        if (block.textList() && isStyle(block.textList()->format().style()))
            format.setObjectIndex(-1);
    });
}

} // namespace

std::optional<bool> LetterEditor::SelBullet() const
{
    return selectionInList(document(), cursor(), isBulletStyle);
}

void LetterEditor::setSelBullet(bool on)
{
    setSelectionInList(document(), cursor(), on, QTextListFormat::ListDisc, isBulletStyle);
}

std::optional<bool> LetterEditor::SelNumbering() const
{
    return selectionInList(document(), cursor(), isNumberedStyle);
}

void LetterEditor::setSelNumbering(bool on)
{
    setSelectionInList(document(), cursor(), on, QTextListFormat::ListDecimal, isNumberedStyle);
}

std::optional<int> LetterEditor::SelAlignment() const
{
    return uniformBlockValue<int>(document(), cursor(), [](const QTextBlock& block) {
        const Qt::Alignment alignment = block.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        if (alignment & Qt::AlignRight)
            return int(AlignRight);
        if (alignment & Qt::AlignHCenter)
            return int(AlignCenter);
        return int(AlignLeft); // justified text starts at the left too
    });
}

void LetterEditor::setSelAlignment(int alignment)
{
    QTextBlockFormat format;
    switch (alignment) {
    case AlignLeft:
        format.setAlignment(Qt::AlignLeft);
        break;
    case AlignRight:
        format.setAlignment(Qt::AlignRight);
        break;
    case AlignCenter:
        format.setAlignment(Qt::AlignHCenter);
        break;
    default:
        return;
    }
    QTextCursor selection = cursor();
    selection.mergeBlockFormat(format);
}

// The first line of a paragraph starts at leftMargin + textIndent, the lines after it at
// leftMargin: the left indent is the first line's, the hanging indent how much further in the
// other lines start (negative: less far), as the rich-edit control measures them.
std::optional<double> LetterEditor::SelIndent() const
{
    const auto pixels = uniformBlockValue<qreal>(document(), cursor(), [](const QTextBlock& block) {
        const QTextBlockFormat format = block.blockFormat();
        return format.leftMargin() + format.textIndent();
    });
    if (!pixels)
        return std::nullopt;
    return toUnits(*pixels);
}

void LetterEditor::setSelIndent(double indent)
{
    const qreal first = std::max<qreal>(toPixels(indent), 0);
    changeBlocks(document(), cursor(), [first](const QTextBlock&, QTextBlockFormat& format) {
        const qreal hanging = std::max(-format.textIndent(), -first);
        format.setLeftMargin(first + hanging);
        format.setTextIndent(-hanging);
    });
}

std::optional<double> LetterEditor::SelHangingIndent() const
{
    const auto pixels = uniformBlockValue<qreal>(document(), cursor(), [](const QTextBlock& block) {
        return -block.blockFormat().textIndent();
    });
    if (!pixels)
        return std::nullopt;
    return toUnits(*pixels);
}

void LetterEditor::setSelHangingIndent(double indent)
{
    const qreal wanted = toPixels(indent);
    changeBlocks(document(), cursor(), [wanted](const QTextBlock&, QTextBlockFormat& format) {
        const qreal first = std::max<qreal>(format.leftMargin() + format.textIndent(), 0);
        const qreal hanging = std::max(wanted, -first);
        format.setLeftMargin(first + hanging);
        format.setTextIndent(-hanging);
    });
}

std::optional<quint32> LetterEditor::SelColor() const
{
    const QColor text = editor->palette().color(QPalette::Text);
    return uniformRunValue<quint32>(document(), cursor(), [&](const QTextCharFormat& format) {
        const QBrush brush = format.foreground();
        const QColor color = brush.style() == Qt::NoBrush ? text : brush.color();
        return quint32(color.red()) | quint32(color.green()) << 8 | quint32(color.blue()) << 16;
    });
}

void LetterEditor::setSelColor(quint32 bgr)
{
    QTextCharFormat format;
    format.setForeground(QColor(int(bgr & 0xFF), int(bgr >> 8 & 0xFF), int(bgr >> 16 & 0xFF)));
    mergeCharFormat(format);
}

std::optional<QString> LetterEditor::SelFontName() const
{
    const QFont base = Font();
    return uniformRunValue<QString>(document(), cursor(), [&](const QTextCharFormat& format) {
        return format.font().resolve(base).family();
    });
}

void LetterEditor::setSelFontName(const QString& family)
{
    if (family.isEmpty())
        return;
    QTextCharFormat format;
    // Both properties, so that a family set in the older one by pasted text cannot win.
    format.setFontFamilies(QStringList{family});
    format.setProperty(QTextFormat::FontFamily, family);
    mergeCharFormat(format);
}

std::optional<double> LetterEditor::SelFontSize() const
{
    const QFont base = Font();
    const int dpi = editor->logicalDpiY();
    return uniformRunValue<double>(document(), cursor(), [&](const QTextCharFormat& format) {
        const QFont font = format.font().resolve(base);
        // Pasted HTML may size text in pixels.
        if (font.pointSizeF() <= 0 && font.pixelSize() > 0)
            return font.pixelSize() * 72.0 / dpi;
        return font.pointSizeF();
    });
}

void LetterEditor::setSelFontSize(double points)
{
    if (points <= 0)
        return;
    QTextCharFormat format;
    format.setFontPointSize(points);
    mergeCharFormat(format);
}

void LetterEditor::setSelFont(const QFont& font)
{
    QTextCharFormat format;
    format.setFontFamilies(QStringList{font.family()});
    format.setProperty(QTextFormat::FontFamily, font.family());
    if (font.pointSizeF() > 0)
        format.setFontPointSize(font.pointSizeF());
    format.setFontWeight(font.weight());
    format.setFontItalic(font.italic());
    format.setFontUnderline(font.underline());
    format.setFontStrikeOut(font.strikeOut());
    mergeCharFormat(format);
}

QFont LetterEditor::Font() const
{
    return document()->defaultFont();
}

void LetterEditor::setFont(const QFont& font)
{
    // The widget hands its own font to the document whenever that font changes, so both carry it.
    editor->setFont(font);
    document()->setDefaultFont(font);
}

int LetterEditor::Find(const QString& text, int start, int end, int options)
{
    const int length = TextLength();
    start = std::clamp(start, 0, length);
    if (end < 0 || end > length)
        end = length;
    const QString pattern = textsearch::searchPattern(text);
    if (pattern.isEmpty() || end - start < pattern.size())
        return -1;
    // The stored text, searched as a string: reading it through cursors would lay the document
    // out up to every position read.
    const QString searched = textToSearch(pattern);
    const int found =
        int(textsearch::findFirst(searched, pattern, start, end, searchRules(options)));
    if (found >= 0 && !(options & NoHighlight)) {
        QTextCursor match = cursor();
        match.setPosition(found);
        match.setPosition(found + int(pattern.size()), QTextCursor::KeepAnchor);
        setCursor(match);
    }
    return found;
}

int LetterEditor::replaceEvery(const QString& text, const QString& replacement, int options)
{
    const QString pattern = textsearch::searchPattern(text);
    if (pattern.isEmpty())
        return 0;
    const QString searched = textToSearch(pattern);
    const QList<qsizetype> matches =
        textsearch::successiveMatches(searched, pattern, replacement, searchRules(options));
    if (matches.isEmpty())
        return 0;
    const int size = int(pattern.size());
    const bool acrossLines = textsearch::spansLines(pattern);
    // The format each replacement takes depends only on the format of its match's first
    // character: worked out once for each such format, not once for each match.
    QHash<int, QTextCharFormat> formats;
    beginEdit();
    QTextCursor edit = cursor();
    int shift = 0; // how far the replacements made so far moved the text after them
    for (qsizetype i = 0; i < matches.size();) {
        const int first = int(matches.at(i));
        if (acrossLines) {
            // A match may begin at a paragraph break, whose format is not that of a character.
            edit.setPosition(first + shift);
            edit.setPosition(first + shift + size, QTextCursor::KeepAnchor);
            edit.insertText(replacement, typingFormat(document(), edit));
            shift = edit.position() - first - size;
            ++i;
            continue;
        }
        // Matches within one run of equally formatted text take that run's format: they are
        // replaced together, with the text between them as it stands, in one edit.
        const Run run = runAt(document(), first + shift);
        QString replaced = replacement;
        int last = first;
        for (++i; i < matches.size() && matches.at(i) + size <= run.end - shift; ++i) {
            replaced += QStringView(searched).sliced(last + size, matches.at(i) - last - size);
            replaced += replacement;
            last = int(matches.at(i));
        }
        edit.setPosition(first + shift);
        edit.setPosition(last + size + shift, QTextCursor::KeepAnchor);
        auto format = formats.find(run.formatIndex);
        if (format == formats.end())
            format = formats.insert(run.formatIndex, typingFormat(document(), edit));
        edit.insertText(replaced, *format);
        shift = edit.position() - last - size;
    }
    setCursor(edit);
    endEdit();
    return int(matches.size());
}

bool LetterEditor::LoadFile(const QString& path, FileKind kind, QString* error)
{
    return LoadFile(path, kind, Progress(), error);
}

bool LetterEditor::LoadFile(const QString& path, FileKind kind, const Progress& progress,
                            QString* error, const Accept& accept)
{
    const auto fail = [&](const QString& reason) {
        if (error)
            *error =
                QStringLiteral("Cannot read %1: %2").arg(QDir::toNativeSeparators(path), reason);
        return false;
    };
    QFile file(path);
    // Never a FIFO or a device: their reads would hold the window.
    QString reason;
    if (!openRegularFile(file, &reason))
        return fail(reason);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    if (kind == FileKind::PlainText) {
        replaceContentPlain(decodeDocumentBytes(bytes));
        return true;
    }
    // The whole file is checked before the letter is touched.
    if (kind == FileKind::OpenDocument && !OdtReader().open(bytes, &reason))
        return fail(reason);
    const auto read = [&](QTextCursor& cursor) {
        return readFormattedFile(bytes, kind, cursor, progress);
    };
    if ((!progress && !accept) || editCursor) {
        replaceContentRich([&](QTextCursor& cursor) { read(cursor); });
        return true;
    }
    const bool done = replaceDocument(read, std::nullopt, accept);
    // Stopped by the user: no error to tell of.
    if (!done && error)
        error->clear();
    return done;
}

bool LetterEditor::SaveFile(const QString& path, FileKind kind, QString* error)
{
    return writeDocument(*document(), path, kind, TextFileFormat(), error);
}

void LetterEditor::undo()
{
    onWidgetCursor([this] { editor->undo(); });
}

void LetterEditor::cut()
{
    onWidgetCursor([this] { editor->cut(); });
}

void LetterEditor::copy()
{
    onWidgetCursor([this] { editor->copy(); });
}

void LetterEditor::paste()
{
    onWidgetCursor([this] { editor->paste(); });
}

void LetterEditor::clear()
{
    if (editor->isReadOnly())
        return;
    QTextCursor selection = cursor();
    selection.removeSelectedText();
    setCursor(selection);
}

void LetterEditor::deleteForward()
{
    if (editor->isReadOnly())
        return;
    QTextCursor edit = cursor();
    if (edit.hasSelection())
        edit.removeSelectedText();
    else
        edit.deleteChar();
    setCursor(edit);
}

int LetterEditor::lineIndex(int line) const
{
    if (line == -1)
        return cursor().block().position();
    const QTextBlock block = document()->findBlockByNumber(line);
    return block.isValid() ? block.position() : -1;
}

int LetterEditor::lineCount() const
{
    return document()->blockCount();
}

void LetterEditor::beginEdit()
{
    if (editDepth++ > 0)
        return;
    editCursor = editor->textCursor();
    editCursor->beginEditBlock();
}

void LetterEditor::endEdit()
{
    if (editDepth == 0 || --editDepth > 0)
        return;
    // The change notification comes here; its handlers still see the edit's selection.
    editCursor->endEditBlock();
    const QTextCursor selection = *editCursor;
    editCursor.reset();
    editor->setTextCursor(selection);
}

void LetterEditor::setFocus()
{
    editor->setFocus();
}

bool LetterEditor::hasFocus() const
{
    return editor->hasFocus();
}

DisplayFormats* LetterEditor::displayFormats() const
{
    return editor->displayFormats();
}

int LetterEditor::positionAt(int x, int y) const
{
    return editor->displayFormats()->positionAt(editor->viewport()->mapFrom(editor, QPoint(x, y)));
}

std::pair<int, int> LetterEditor::visibleRange() const
{
    return editor->displayFormats()->visibleRange();
}

QRect LetterEditor::caretRect() const
{
    const QRect caret = editor->cursorRect(cursor());
    return QRect(editor->viewport()->mapTo(editor, caret.topLeft()), caret.size());
}

QTextCursor LetterEditor::cursor() const
{
    return editCursor ? *editCursor : editor->textCursor();
}

void LetterEditor::setCursor(const QTextCursor& cursor)
{
    // Inside an edit the widget is left alone: moving its caret would lay the text out.
    if (editCursor)
        *editCursor = cursor;
    else
        editor->setTextCursor(cursor);
}

template <typename Command> void LetterEditor::onWidgetCursor(Command command)
{
    if (editCursor)
        editor->setTextCursor(*editCursor);
    command();
    if (editCursor)
        *editCursor = editor->textCursor();
}

void LetterEditor::mergeCharFormat(const QTextCharFormat& format)
{
    QTextCursor selection = cursor();
    selection.mergeCharFormat(format);
    // Without a selection the caret keeps the format for the text typed next.
    if (!selection.hasSelection())
        setCursor(selection);
}

void LetterEditor::replaceContent(const QString& text)
{
    if (isRtf(text))
        replaceContentRich([&](QTextCursor& cursor) { readRtf(text, cursor); });
    else
        replaceContentPlain(text);
}

void LetterEditor::replaceContentPlain(const QString& text)
{
    if (editCursor) {
        // Within the edit, so that it stays one undo step.
        fitWrapping(text, true);
        QTextCursor all(document());
        all.select(QTextCursor::Document);
        all.insertText(text, QTextCharFormat());
        all.select(QTextCursor::Document);
        all.setBlockFormat(QTextBlockFormat());
        all.setPosition(0);
        *editCursor = all;
        return;
    }
    // Starts afresh: plain text in the base font, no undo history, the caret at the start.
    withoutLayout(editor, [&] {
        fitWrapping(text, true);
        document()->setPlainText(text);
        editor->setTextCursor(QTextCursor(document()));
    });
    // The text just read is the document's: a search need not read it back out.
    loadedText = text;
}

void LetterEditor::replaceContentRich(const std::function<void(QTextCursor&)>& read)
{
    if (editCursor) {
        QTextCursor all(document());
        all.select(QTextCursor::Document);
        all.removeSelectedText();
        all.setBlockFormat(QTextBlockFormat());
        all.setCharFormat(QTextCharFormat());
        read(all);
        fitWrapping(document()->toRawText(), true);
        all.setPosition(0);
        *editCursor = all;
        return;
    }
    // Starts afresh, as a plain text does: no undo history, the caret at the start.
    withoutLayout(editor, [&] {
        document()->clear();
        QTextCursor cursor(document());
        read(cursor);
        fitWrapping(document()->toRawText(), true);
        document()->clearUndoRedoStacks();
        editor->setTextCursor(QTextCursor(document()));
    });
}

QString LetterEditor::textToSearch(const QString& pattern) const
{
    QString text;
    if (editDepth > 0) {
        // Within an edit the document tells of its changes only at the end: read it as it is.
        text = textsearch::searchableText(document()->toRawText());
    } else {
        if (!searchedText) {
            // Reading a long document back out costs as much as a search; it is done once for
            // as long as the document stays unchanged.
            searchedText = loadedText ? textsearch::searchableFromPlainText(*loadedText)
                                      : textsearch::searchableText(document()->toRawText());
            loadedText.reset();
        }
        text = *searchedText;
    }
    return textsearch::spansLines(pattern) ? textsearch::withLineBreaksAsLineFeeds(text) : text;
}

int LetterEditor::clampPosition(qint64 position) const
{
    return int(std::clamp<qint64>(position, 0, TextLength()));
}

double LetterEditor::toUnits(qreal pixels) const
{
    // Paragraph indents are in pixels of the screen the editor is on.
    const double inches = pixels / editor->logicalDpiX();
    return unit == ScaleUnit::Twips ? inches * twipsPerInch : inches * millimetresPerInch;
}

qreal LetterEditor::toPixels(double units) const
{
    const double inches =
        unit == ScaleUnit::Twips ? units / twipsPerInch : units / millimetresPerInch;
    return inches * editor->logicalDpiX();
}

} // namespace lw
