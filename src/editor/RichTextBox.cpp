#include "editor/RichTextBox.h"

#include "editor/DisplayFormats.h"
#include "editor/DocumentText.h"
#include "editor/EditorWidget.h"
#include "editor/OpenDocument.h"
#include "platform/SafeFile.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
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
// Find reads the text in pieces that grow up to this size, so that a search costs the distance
// to its match, not the length of the document.
constexpr int firstChunk = 64;
constexpr int largestChunk = 1 << 16;

// Paragraph and line breaks, and the frame marks of pasted tables, read as line feeds; unlike
// QTextDocument::toPlainText(), non-breaking spaces stay what they are.
QString withLineFeeds(QString text)
{
    for (QChar& ch : text) {
        switch (ch.unicode()) {
        case QChar::ParagraphSeparator:
        case QChar::LineSeparator:
        case 0xFDD0: // QTextBeginningOfFrame
        case 0xFDD1: // QTextEndOfFrame
            ch = u'\n';
            break;
        default:
            break;
        }
    }
    return text;
}

bool isWordCharacter(QChar ch)
{
    return ch.isLetterOrNumber() || ch.isMark();
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

} // namespace

RichTextBox::RichTextBox(QWidget* parent) : QObject(parent), editor(new EditorWidget(parent))
{
    connect(editor, &EditorWidget::contentChanged, this, &RichTextBox::Change);
    connect(editor, &EditorWidget::gotFocus, this, &RichTextBox::GotFocus);
    connect(editor, &EditorWidget::mouseDown, this, &RichTextBox::MouseDown);
    connect(editor, &EditorWidget::contextMenuKey, this, &RichTextBox::ContextMenuKey);
}

RichTextBox::~RichTextBox()
{
    // Without a parent the widget is ours; with one, the parent deletes it.
    if (editor && !editor->parent())
        delete editor.data();
}

QWidget* RichTextBox::widget() const
{
    return editor;
}

QTextEdit* RichTextBox::textEdit() const
{
    return editor;
}

QTextDocument* RichTextBox::document() const
{
    return editor->document();
}

QString RichTextBox::Text() const
{
    return withLineFeeds(document()->toRawText());
}

void RichTextBox::setText(const QString& text)
{
    replaceContent(text);
}

int RichTextBox::TextLength() const
{
    return document()->characterCount() - 1;
}

QString RichTextBox::SelText() const
{
    return withLineFeeds(cursor().selectedText());
}

void RichTextBox::setSelText(const QString& text)
{
    QTextCursor edit = cursor();
    edit.insertText(text, typingFormat(document(), edit));
    setCursor(edit);
}

void RichTextBox::changeSelText(const std::function<QString(const QString&)>& change)
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

void RichTextBox::insertContent(const RichTextBox& source)
{
    if (source.TextLength() == 0)
        return;
    const QTextDocumentFragment content(source.document());
    QTextCursor edit = cursor();
    edit.beginEditBlock();
    const int start = edit.selectionStart();
    edit.insertFragment(content);
    // The pictures are the source's resources: the document takes copies of its own, so that
    // they outlive the source's next content.
    for (QTextBlock block = document()->findBlock(start);
         block.isValid() && block.position() < edit.position(); block = block.next()) {
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
    edit.endEditBlock();
    setCursor(edit);
}

void RichTextBox::insertPicture(const QImage& picture)
{
    onWidgetCursor([&] { editor->insertPicture(picture); });
}

int RichTextBox::SelStart() const
{
    return cursor().selectionStart();
}

void RichTextBox::setSelStart(int position)
{
    QTextCursor caret = cursor();
    caret.setPosition(clampPosition(position));
    setCursor(caret);
}

int RichTextBox::SelLength() const
{
    const QTextCursor selection = cursor();
    return selection.selectionEnd() - selection.selectionStart();
}

void RichTextBox::setSelLength(int length)
{
    QTextCursor selection = cursor();
    const int start = selection.selectionStart();
    selection.setPosition(start);
    selection.setPosition(clampPosition(qint64(start) + std::max(length, 0)),
                          QTextCursor::KeepAnchor);
    setCursor(selection);
}

std::optional<bool> RichTextBox::SelBold() const
{
    const QFont base = Font();
    return uniformRunValue<bool>(document(), cursor(), [&](const QTextCharFormat& format) {
        return format.font().resolve(base).bold();
    });
}

void RichTextBox::setSelBold(bool on)
{
    QTextCharFormat format;
    format.setFontWeight(on ? QFont::Bold : QFont::Normal);
    mergeCharFormat(format);
}

std::optional<bool> RichTextBox::SelItalic() const
{
    const QFont base = Font();
    return uniformRunValue<bool>(document(), cursor(), [&](const QTextCharFormat& format) {
        return format.font().resolve(base).italic();
    });
}

void RichTextBox::setSelItalic(bool on)
{
    QTextCharFormat format;
    format.setFontItalic(on);
    mergeCharFormat(format);
}

std::optional<bool> RichTextBox::SelUnderline() const
{
    const QFont base = Font();
    return uniformRunValue<bool>(document(), cursor(), [&](const QTextCharFormat& format) {
        return format.font().resolve(base).underline();
    });
}

void RichTextBox::setSelUnderline(bool on)
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

std::optional<bool> RichTextBox::SelBullet() const
{
    return selectionInList(document(), cursor(), isBulletStyle);
}

void RichTextBox::setSelBullet(bool on)
{
    setSelectionInList(document(), cursor(), on, QTextListFormat::ListDisc, isBulletStyle);
}

std::optional<bool> RichTextBox::SelNumbering() const
{
    return selectionInList(document(), cursor(), isNumberedStyle);
}

void RichTextBox::setSelNumbering(bool on)
{
    setSelectionInList(document(), cursor(), on, QTextListFormat::ListDecimal, isNumberedStyle);
}

std::optional<int> RichTextBox::SelAlignment() const
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

void RichTextBox::setSelAlignment(int alignment)
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
std::optional<double> RichTextBox::SelIndent() const
{
    const auto pixels = uniformBlockValue<qreal>(document(), cursor(), [](const QTextBlock& block) {
        const QTextBlockFormat format = block.blockFormat();
        return format.leftMargin() + format.textIndent();
    });
    if (!pixels)
        return std::nullopt;
    return toUnits(*pixels);
}

void RichTextBox::setSelIndent(double indent)
{
    const qreal first = std::max<qreal>(toPixels(indent), 0);
    changeBlocks(document(), cursor(), [first](const QTextBlock&, QTextBlockFormat& format) {
        const qreal hanging = std::max(-format.textIndent(), -first);
        format.setLeftMargin(first + hanging);
        format.setTextIndent(-hanging);
    });
}

std::optional<double> RichTextBox::SelHangingIndent() const
{
    const auto pixels = uniformBlockValue<qreal>(document(), cursor(), [](const QTextBlock& block) {
        return -block.blockFormat().textIndent();
    });
    if (!pixels)
        return std::nullopt;
    return toUnits(*pixels);
}

void RichTextBox::setSelHangingIndent(double indent)
{
    const qreal wanted = toPixels(indent);
    changeBlocks(document(), cursor(), [wanted](const QTextBlock&, QTextBlockFormat& format) {
        const qreal first = std::max<qreal>(format.leftMargin() + format.textIndent(), 0);
        const qreal hanging = std::max(wanted, -first);
        format.setLeftMargin(first + hanging);
        format.setTextIndent(-hanging);
    });
}

std::optional<quint32> RichTextBox::SelColor() const
{
    const QColor text = editor->palette().color(QPalette::Text);
    return uniformRunValue<quint32>(document(), cursor(), [&](const QTextCharFormat& format) {
        const QBrush brush = format.foreground();
        const QColor color = brush.style() == Qt::NoBrush ? text : brush.color();
        return quint32(color.red()) | quint32(color.green()) << 8 | quint32(color.blue()) << 16;
    });
}

void RichTextBox::setSelColor(quint32 bgr)
{
    QTextCharFormat format;
    format.setForeground(QColor(int(bgr & 0xFF), int(bgr >> 8 & 0xFF), int(bgr >> 16 & 0xFF)));
    mergeCharFormat(format);
}

std::optional<QString> RichTextBox::SelFontName() const
{
    const QFont base = Font();
    return uniformRunValue<QString>(document(), cursor(), [&](const QTextCharFormat& format) {
        return format.font().resolve(base).family();
    });
}

void RichTextBox::setSelFontName(const QString& family)
{
    if (family.isEmpty())
        return;
    QTextCharFormat format;
    // Both properties, so that a family set in the older one by pasted text cannot win.
    format.setFontFamilies(QStringList{family});
    format.setProperty(QTextFormat::FontFamily, family);
    mergeCharFormat(format);
}

std::optional<double> RichTextBox::SelFontSize() const
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

void RichTextBox::setSelFontSize(double points)
{
    if (points <= 0)
        return;
    QTextCharFormat format;
    format.setFontPointSize(points);
    mergeCharFormat(format);
}

void RichTextBox::setSelFont(const QFont& font)
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

QFont RichTextBox::Font() const
{
    return document()->defaultFont();
}

void RichTextBox::setFont(const QFont& font)
{
    // The widget hands its own font to the document whenever that font changes, so both carry it.
    editor->setFont(font);
    document()->setDefaultFont(font);
}

int RichTextBox::Find(const QString& text, int start, int end, int options)
{
    const int length = TextLength();
    start = std::clamp(start, 0, length);
    if (end < 0 || end > length)
        end = length;
    QString pattern = text;
    pattern.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const int size = int(pattern.size());
    if (size == 0 || end - start < size)
        return -1;
    const Qt::CaseSensitivity sensitivity =
        (options & MatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const QTextDocument* doc = document();
    const auto wholeWord = [&](int at) {
        return !(options & WholeWord) || (!isWordCharacter(doc->characterAt(at - 1)) &&
                                          !isWordCharacter(doc->characterAt(at + size)));
    };

    int found = -1;
    if (pattern.contains(u'\n') || pattern.contains(u'\r')) {
        // Text across paragraphs: rare enough to search the whole text.
        pattern.replace(u'\r', u'\n');
        const QString all = Text();
        for (qsizetype at = all.indexOf(pattern, start, sensitivity); at >= 0 && at + size <= end;
             at = all.indexOf(pattern, at + 1, sensitivity)) {
            if (wholeWord(int(at))) {
                found = int(at);
                break;
            }
        }
    } else {
        // Paragraph by paragraph, in pieces: a selection inside one paragraph reads its text
        // in order even where the document holds tables.
        QTextCursor reader(editor->document());
        for (QTextBlock block = doc->findBlock(start); block.isValid() && found < 0;
             block = block.next()) {
            const int blockEnd = std::min(block.position() + block.length() - 1, end);
            int chunkStart = std::max(start, block.position());
            int chunkSize = std::max(firstChunk, 2 * size);
            while (found < 0 && chunkStart + size <= blockEnd) {
                const int chunkEnd = std::min(blockEnd, chunkStart + chunkSize);
                reader.setPosition(chunkStart);
                reader.setPosition(chunkEnd, QTextCursor::KeepAnchor);
                const QString chunk = reader.selectedText();
                for (qsizetype at = chunk.indexOf(pattern, 0, sensitivity); at >= 0;
                     at = chunk.indexOf(pattern, at + 1, sensitivity)) {
                    if (wholeWord(chunkStart + int(at))) {
                        found = chunkStart + int(at);
                        break;
                    }
                }
                if (chunkEnd == blockEnd)
                    break;
                chunkStart = chunkEnd - (size - 1);
                chunkSize = std::min(chunkSize * 2, largestChunk);
            }
            if (block.position() + block.length() > end)
                break;
        }
    }
    if (found >= 0 && !(options & NoHighlight)) {
        QTextCursor match = cursor();
        match.setPosition(found);
        match.setPosition(found + size, QTextCursor::KeepAnchor);
        setCursor(match);
    }
    return found;
}

bool RichTextBox::LoadFile(const QString& path, int type, QString* error)
{
    const auto fail = [&](const QString& reason) {
        if (error)
            *error =
                QStringLiteral("Cannot read %1: %2").arg(QDir::toNativeSeparators(path), reason);
        return false;
    };
    if (type != RichText && type != PlainText && type != OpenDocumentText)
        return fail(QStringLiteral("unknown file type %1.").arg(type));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    if (type == OpenDocumentText) {
        OdtReader reader;
        QString reason;
        if (!reader.open(bytes, &reason))
            return fail(reason);
        replaceContentRich([&](QTextCursor& cursor) { reader.read(cursor); });
    } else if (type == RichText) {
        replaceContentRich([&](QTextCursor& cursor) { readRtf(bytes, cursor); });
    } else {
        replaceContentPlain(decodeDocumentBytes(bytes));
    }
    return true;
}

bool RichTextBox::SaveFile(const QString& path, int type, QString* error)
{
    switch (type) {
    case PlainText:
        return writeFileSafely(path, encodeDocumentText(Text()), error);
    case RichText:
        return writeFileSafely(path, writeRtf(*document()), error);
    case OpenDocumentText: {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QString reason;
        if (!writeOdt(*document(), buffer, &reason)) {
            if (error)
                *error = QStringLiteral("Cannot write %1: %2")
                             .arg(QDir::toNativeSeparators(path), reason);
            return false;
        }
        return writeFileSafely(path, bytes, error);
    }
    default:
        if (error)
            *error = QStringLiteral("Unknown file type %1.").arg(type);
        return false;
    }
}

void RichTextBox::undo()
{
    onWidgetCursor([this] { editor->undo(); });
}

void RichTextBox::cut()
{
    onWidgetCursor([this] { editor->cut(); });
}

void RichTextBox::copy()
{
    onWidgetCursor([this] { editor->copy(); });
}

void RichTextBox::paste()
{
    onWidgetCursor([this] { editor->paste(); });
}

void RichTextBox::clear()
{
    if (editor->isReadOnly())
        return;
    QTextCursor selection = cursor();
    selection.removeSelectedText();
    setCursor(selection);
}

void RichTextBox::deleteForward()
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

int RichTextBox::lineIndex(int line) const
{
    if (line == -1)
        return cursor().block().position();
    const QTextBlock block = document()->findBlockByNumber(line);
    return block.isValid() ? block.position() : -1;
}

int RichTextBox::lineCount() const
{
    return document()->blockCount();
}

void RichTextBox::beginEdit()
{
    if (editDepth++ > 0)
        return;
    editCursor = editor->textCursor();
    editCursor->beginEditBlock();
}

void RichTextBox::endEdit()
{
    if (editDepth == 0 || --editDepth > 0)
        return;
    // The change notification comes here; its handlers still see the edit's selection.
    editCursor->endEditBlock();
    const QTextCursor selection = *editCursor;
    editCursor.reset();
    editor->setTextCursor(selection);
}

void RichTextBox::setFocus()
{
    editor->setFocus();
}

bool RichTextBox::hasFocus() const
{
    return editor->hasFocus();
}

DisplayFormats* RichTextBox::displayFormats() const
{
    return editor->displayFormats();
}

int RichTextBox::positionAt(int x, int y) const
{
    return editor->displayFormats()->positionAt(editor->viewport()->mapFrom(editor, QPoint(x, y)));
}

std::pair<int, int> RichTextBox::visibleRange() const
{
    return editor->displayFormats()->visibleRange();
}

QRect RichTextBox::caretRect() const
{
    const QRect caret = editor->cursorRect(cursor());
    return QRect(editor->viewport()->mapTo(editor, caret.topLeft()), caret.size());
}

QTextCursor RichTextBox::cursor() const
{
    return editCursor ? *editCursor : editor->textCursor();
}

void RichTextBox::setCursor(const QTextCursor& cursor)
{
    // Inside an edit the widget is left alone: moving its caret would lay the text out.
    if (editCursor)
        *editCursor = cursor;
    else
        editor->setTextCursor(cursor);
}

template <typename Command> void RichTextBox::onWidgetCursor(Command command)
{
    if (editCursor)
        editor->setTextCursor(*editCursor);
    command();
    if (editCursor)
        *editCursor = editor->textCursor();
}

void RichTextBox::mergeCharFormat(const QTextCharFormat& format)
{
    QTextCursor selection = cursor();
    selection.mergeCharFormat(format);
    // Without a selection the caret keeps the format for the text typed next.
    if (!selection.hasSelection())
        setCursor(selection);
}

void RichTextBox::replaceContent(const QString& text)
{
    if (isRtf(text))
        replaceContentRich([&](QTextCursor& cursor) { readRtf(text, cursor); });
    else
        replaceContentPlain(text);
}

void RichTextBox::replaceContentPlain(const QString& text)
{
    if (editCursor) {
        // Within the edit, so that it stays one undo step.
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
    document()->setPlainText(text);
    editor->setTextCursor(QTextCursor(document()));
}

void RichTextBox::replaceContentRich(const std::function<void(QTextCursor&)>& read)
{
    if (editCursor) {
        QTextCursor all(document());
        all.select(QTextCursor::Document);
        all.removeSelectedText();
        all.setBlockFormat(QTextBlockFormat());
        all.setCharFormat(QTextCharFormat());
        read(all);
        all.setPosition(0);
        *editCursor = all;
        return;
    }
    // Starts afresh, as a plain text does: no undo history, the caret at the start.
    document()->clear();
    QTextCursor cursor(document());
    read(cursor);
    document()->clearUndoRedoStacks();
    editor->setTextCursor(QTextCursor(document()));
}

int RichTextBox::clampPosition(qint64 position) const
{
    return int(std::clamp<qint64>(position, 0, TextLength()));
}

double RichTextBox::toUnits(qreal pixels) const
{
    // Paragraph indents are in pixels of the screen the editor is on.
    const double inches = pixels / editor->logicalDpiX();
    return unit == ScaleUnit::Twips ? inches * twipsPerInch : inches * millimetresPerInch;
}

qreal RichTextBox::toPixels(double units) const
{
    const double inches =
        unit == ScaleUnit::Twips ? units / twipsPerInch : units / millimetresPerInch;
    return inches * editor->logicalDpiX();
}

} // namespace lw
