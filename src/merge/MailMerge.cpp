#include "merge/MailMerge.h"

#include "formats/DocumentFile.h"

#include "editor/LetterFields.h"
#include "editor/PageFormatter.h"
#include "editor/PrintRichText.h"
#include "formats/OpenDocument.h"
#include "merge/MergeNames.h"
#include "platform/FreedMemoryKept.h"
#include "platform/SafeFileBatch.h"
#include "rtf/RtfWriter.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <optional>

namespace lw {

namespace {

constexpr double twipsPerInch = 1440.0;

// The vocabulary of a merge: the installed one and the names of the table's columns.
FieldVocabulary mergeVocabulary(const FieldVocabulary& installed, const MergeTable& table)
{
    QStringList names = installed.names();
    for (const QString& column : table.columns()) {
        QStringView name = QStringView(column).trimmed();
        if (name.startsWith(u'[') && name.endsWith(u']') && name.size() >= 2)
            name = name.mid(1, name.size() - 2).trimmed();
        if (!name.isEmpty())
            names.append(u'[' + name.toString() + u']');
    }
    return FieldVocabulary(names);
}

std::unique_ptr<QTextDocument> copyOf(const QTextDocument& letter)
{
    // The copy takes the default font, page size and the pictures the document holds itself.
    std::unique_ptr<QTextDocument> copy(letter.clone());
    copy->setUndoRedoEnabled(false);
    return copy;
}

// Draws letters one after another on a paged device, each from a new page, through the page loop
// the Print command uses. One copy of the letter is laid out once; each recipient's values are
// filled into it, drawn and taken out again, so that only the paragraphs they change are laid out
// anew, rather than a whole document made and laid out for every letter.
class LetterPages
{
public:
    LetterPages(QPagedPaintDevice& device, const PageRect& drawTwips, QSizeF screenDpi,
                const MailMerge& merge)
        : device(device), merge(merge), formatter(merge.unfilled(), deviceRect(device, drawTwips),
                                                  QSizeF(device.logicalDpiX() / screenDpi.width(),
                                                         device.logicalDpiY() / screenDpi.height()))
    {
        QTextDocument& text = formatter.text();
        text.setUndoRedoEnabled(true);
        text.clearUndoRedoStacks();
    }

    bool begin() { return painter.begin(&device); }
    bool end() { return painter.end(); }

    void add(int letter)
    {
        QTextDocument& text = formatter.text();
        merge.fill(text, letter);
        int position = 0;
        for (;;) {
            if (!first)
                device.newPage();
            first = false;
            const int next = formatter.formatRange(painter, position);
            // A page that advances by nothing would come back forever: the letter ends there.
            if (next >= formatter.length() || next <= position)
                break;
            position = next;
        }
        // The letter as it was, for the next recipient; nothing kept of this one.
        if (text.isUndoAvailable())
            text.undo();
        text.clearUndoRedoStacks();
    }

private:
    static QRectF deviceRect(const QPagedPaintDevice& device, const PageRect& twips)
    {
        const int dpiX = device.logicalDpiX();
        const int dpiY = device.logicalDpiY();
        return QRectF(twips.left * dpiX / twipsPerInch, twips.top * dpiY / twipsPerInch,
                      twips.width() * dpiX / twipsPerInch, twips.height() * dpiY / twipsPerInch);
    }

    QPagedPaintDevice& device;
    const MailMerge& merge;
    PageFormatter formatter;
    QPainter painter;
    bool first = true;
};

QSize paperTwipsOf(const QPageLayout& layout)
{
    const QSizeF points = layout.fullRectPoints().size();
    return {qRound(points.width() * 20), qRound(points.height() * 20)};
}

// A PDF writer with the whole paper as its paint area, so that margins count from the edges.
void setUpPdf(QPdfWriter& writer, const MergePage& page)
{
    QPageLayout paper = page.layout;
    paper.setMinimumMargins(QMarginsF());
    paper.setMargins(QMarginsF());
    writer.setPageLayout(paper);
    writer.setCreator(QStringLiteral("Letterwright"));
    writer.setTitle(page.title);
}

PageRect pdfDrawRect(const MergePage& page)
{
    return drawRectangle(paperTwipsOf(page.layout), QPoint(), page.leftMargin, page.topMargin,
                         page.rightMargin, page.bottomMargin);
}

QString cannotWrite(const QString& path, const QString& reason)
{
    return QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), reason);
}

// The bytes of a letter's file; nothing, with `error` set, when they cannot be made.
std::optional<QByteArray> letterBytes(const MailMerge& merge, int letter, const QString& path,
                                      const FileMerge& job, QString* error)
{
    // A text file needs no document: its text is filled where the fields stand.
    if (job.format == MergeFormat::Text)
        return encodeDocumentText(merge.plainLetter(letter), job.textFormat);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (job.format == MergeFormat::Pdf) {
        QPdfWriter writer(&buffer);
        setUpPdf(writer, job.page);
        LetterPages pages(writer, pdfDrawRect(job.page), job.page.screenDpi, merge);
        if (!pages.begin()) {
            *error = cannotWrite(path, QStringLiteral("the PDF could not be made."));
            return std::nullopt;
        }
        pages.add(letter);
        pages.end();
        return buffer.data();
    }
    const std::unique_ptr<QTextDocument> document = merge.letter(letter);
    if (job.format == MergeFormat::Rtf)
        return writeRtf(*document);
    QString reason;
    if (!writeOdt(*document, buffer, &reason)) {
        *error = cannotWrite(path, reason);
        return std::nullopt;
    }
    return buffer.data();
}

// Tells the progress; false when it asks to stop.
bool goOn(const MergeProgress& progress, int done)
{
    return !progress || progress(done);
}

} // namespace

MailMerge::MailMerge(const QTextDocument& letter, MergeTable table,
                     const FieldVocabulary& vocabulary)
    : rows(std::move(table)), original(copyOf(letter)), words(mergeVocabulary(vocabulary, rows))
{
    const LetterFields found(original.get(), words);
    letterFields = found.fields();
    for (const QString& field : letterFields) {
        const int column = rows.columnOf(field);
        if (column < 0)
            continue;
        for (const FieldOccurrence& at : found.occurrences(field))
            places.push_back({at.position, at.length, int(columnOfField.size())});
        columnOfField.append({field, column});
    }
    std::sort(places.begin(), places.end(),
              [](const Place& a, const Place& b) { return a.position < b.position; });
    originalText = documentText(*original);
}

MailMerge::~MailMerge() = default;

MergeChecks MailMerge::checks() const
{
    return checkMerge(letterFields, rows);
}

QList<std::pair<QString, QString>> MailMerge::values(int letter) const
{
    const QStringList cells = rows.cells(letter);
    QList<std::pair<QString, QString>> result;
    for (const auto& [field, column] : columnOfField) {
        if (column >= cells.size())
            continue;
        // Blanks around a cell are the spreadsheet's, not the recipient's.
        const QString value = cells.at(column).trimmed();
        if (!value.isEmpty())
            result.append({field, value});
    }
    return result;
}

std::unique_ptr<QTextDocument> MailMerge::letter(int letter) const
{
    std::unique_ptr<QTextDocument> document = copyOf(*original);
    fill(*document, letter);
    return document;
}

QString MailMerge::valueFor(const Place& place, const QStringList& cells) const
{
    const int column = columnOfField.at(place.field).second;
    if (column >= cells.size())
        return {};
    QString value = cells.at(column).trimmed();
    value.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    value.replace(u'\r', u'\n');
    return value;
}

void MailMerge::fill(QTextDocument& copy, int letter) const
{
    // The places are the same in every copy: found once, they are filled here as LetterFields
    // fills, at a fraction of its cost per letter, which counts ten thousand times over.
    const QStringList cells = rows.cells(letter);
    QTextCursor edit(&copy);
    edit.beginEditBlock();
    for (auto at = places.rbegin(); at != places.rend(); ++at) {
        const QString value = valueFor(*at, cells);
        if (value.isEmpty())
            continue;
        // The value takes the format of the name's first letter, as a fill does.
        edit.setPosition(at->position + 2);
        const QTextCharFormat format = edit.charFormat();
        edit.setPosition(at->position);
        edit.setPosition(at->position + at->length, QTextCursor::KeepAnchor);
        edit.insertText(value, format);
    }
    edit.endEditBlock();
}

QString MailMerge::plainLetter(int letter) const
{
    // A position of the document is an index of its raw text, so the text is filled at the same
    // places as the document, with the breaks a value's insertion would make written as line
    // feeds, as documentText writes them.
    const QStringList cells = rows.cells(letter);
    QString text;
    text.reserve(originalText.size() + 256);
    qsizetype from = 0;
    for (const Place& at : places) {
        QString value = valueFor(at, cells);
        if (value.isEmpty())
            continue;
        for (QChar& ch : value) {
            switch (ch.unicode()) {
            case QChar::ParagraphSeparator:
            case QChar::LineSeparator:
            case 0xFDD0:
            case 0xFDD1:
                ch = u'\n';
                break;
            default:
                break;
            }
        }
        text += QStringView(originalText).mid(from, at.position - from);
        text += value;
        from = at.position + at.length;
    }
    text += QStringView(originalText).mid(from);
    return text;
}

QPageLayout defaultMergeLayout()
{
    const bool letter = QLocale::system().territory() == QLocale::UnitedStates;
    return QPageLayout(QPageSize(letter ? QPageSize::Letter : QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF());
}

QString extensionOf(MergeFormat format)
{
    switch (format) {
    case MergeFormat::Text:
        return QStringLiteral("txt");
    case MergeFormat::Rtf:
        return QStringLiteral("rtf");
    case MergeFormat::OpenDocument:
        return QStringLiteral("odt");
    case MergeFormat::Pdf:
        return QStringLiteral("pdf");
    }
    return {};
}

std::optional<MergeFormat> mergeFormatOf(const QString& extension)
{
    for (MergeFormat format :
         {MergeFormat::Text, MergeFormat::Rtf, MergeFormat::OpenDocument, MergeFormat::Pdf}) {
        if (extension.compare(extensionOf(format), Qt::CaseInsensitive) == 0)
            return format;
    }
    return std::nullopt;
}

QStringList mergeFileNames(const MailMerge& merge, MergeFormat format, int nameColumn)
{
    const MergeTable& table = merge.table();
    MergeFileNames names(extensionOf(format), table.rowCount());
    QStringList result;
    result.reserve(table.rowCount());
    for (int row = 0; row < table.rowCount(); ++row) {
        QString text;
        if (nameColumn >= 0) {
            const QStringList cells = table.cells(row);
            text = cells.value(nameColumn);
        }
        result.append(names.next(text, row + 1));
    }
    return result;
}

QStringList existingMergeFiles(const MailMerge& merge, const FileMerge& job)
{
    const QDir folder(job.folder);
    QStringList existing;
    for (const QString& name : mergeFileNames(merge, job.format, job.nameColumn)) {
        const QFileInfo file(folder.filePath(name));
        if (file.exists() || file.isSymLink())
            existing.append(file.filePath());
    }
    return existing;
}

MergeResult mergeToFiles(const MailMerge& merge, const FileMerge& job,
                         const MergeProgress& progress)
{
    const FreedMemoryKept reuse;
    MergeResult result;
    const QFileInfo folderInfo(job.folder);
    if (!folderInfo.isDir()) {
        result.error = QStringLiteral("The folder %1 does not exist.")
                           .arg(QDir::toNativeSeparators(job.folder));
        return result;
    }
    const QDir folder(job.folder);
    const QStringList names = mergeFileNames(merge, job.format, job.nameColumn);
    if (!job.replaceExisting) {
        for (const QString& name : names) {
            const QFileInfo file(folder.filePath(name));
            if (file.exists() || file.isSymLink()) {
                result.error = QStringLiteral("%1 already exists. No letter was written.")
                                   .arg(QDir::toNativeSeparators(file.filePath()));
                return result;
            }
        }
    }
    // The files are flushed to the disk together, a thousand at a time and whenever the merge
    // stops, rather than each on its own: every file is whole once it has its name, and a
    // thousand small files cost the disk one wait instead of a thousand.
    constexpr int lettersPerFlush = 1000;
    SafeFileBatch batch;
    const auto place = [&] {
        QString error;
        const QStringList placed = batch.commit(&error);
        result.written += int(placed.size());
        result.files += placed;
        if (result.error.isEmpty())
            result.error = error;
        return error.isEmpty();
    };
    int done = 0;
    for (int row = 0; row < merge.letterCount(); ++row) {
        const QString path = folder.filePath(names.at(row));
        const QFileInfo target(path);
        // A folder or a device by that name is no file to replace.
        if (target.exists() && !target.isFile()) {
            result.error = cannotWrite(path, QStringLiteral("it is not a file."));
            place();
            return result;
        }
        const std::optional<QByteArray> bytes = letterBytes(merge, row, path, job, &result.error);
        if (!bytes || !batch.add(path, *bytes, &result.error)) {
            place();
            return result;
        }
        ++done;
        if (batch.pending() >= lettersPerFlush && !place())
            return result;
        if (row + 1 < merge.letterCount() && !goOn(progress, done)) {
            result.cancelled = true;
            place();
            return result;
        }
    }
    if (!place())
        return result;
    goOn(progress, result.written);
    return result;
}

MergeResult mergeToPdf(const MailMerge& merge, const QString& path, const MergePage& page,
                       const MergeProgress& progress)
{
    const FreedMemoryKept reuse;
    MergeResult result;
    const QFileInfo target(path);
    if (target.exists() && !target.isFile()) {
        result.error = cannotWrite(path, QStringLiteral("it is not a file."));
        return result;
    }
    // The letters go straight into a file beside the target, which takes its place once complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        result.error = cannotWrite(path, file.errorString());
        return result;
    }
    int drawn = 0;
    {
        QPdfWriter writer(&file);
        setUpPdf(writer, page);
        LetterPages pages(writer, pdfDrawRect(page), page.screenDpi, merge);
        if (!pages.begin()) {
            file.cancelWriting();
            result.error = cannotWrite(path, QStringLiteral("the PDF could not be made."));
            return result;
        }
        for (int row = 0; row < merge.letterCount(); ++row) {
            pages.add(row);
            ++drawn;
            if (!goOn(progress, drawn)) {
                result.cancelled = row + 1 < merge.letterCount();
                if (result.cancelled)
                    break;
            }
        }
        pages.end();
    }
    if (result.cancelled) {
        file.cancelWriting();
        return result;
    }
    if (!file.commit()) {
        result.error = cannotWrite(path, file.errorString());
        return result;
    }
    result.written = drawn;
    result.files.append(path);
    return result;
}

MergeResult mergeToPrinter(const MailMerge& merge, QPrinter& printer, const MergePage& page,
                           const MergeProgress& progress)
{
    const FreedMemoryKept reuse;
    MergeResult result;
    const PageRect draw =
        drawRectangle(paperTwips(printer), printerGutters(printer), page.leftMargin, page.topMargin,
                      page.rightMargin, page.bottomMargin);
    LetterPages pages(printer, draw, page.screenDpi, merge);
    if (!pages.begin()) {
        result.error = QStringLiteral("The printer %1 did not take the job.")
                           .arg(printer.printerName().isEmpty() ? printer.outputFileName()
                                                                : printer.printerName());
        return result;
    }
    for (int row = 0; row < merge.letterCount(); ++row) {
        pages.add(row);
        ++result.written;
        // A cancel ends the job after the letter in hand, so that what is printed is whole
        // letters; a printer may have begun on them already.
        if (row + 1 < merge.letterCount() && !goOn(progress, result.written)) {
            result.cancelled = true;
            pages.end();
            return result;
        }
    }
    pages.end();
    goOn(progress, result.written);
    return result;
}

} // namespace lw
