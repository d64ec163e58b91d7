#include "formats/DocumentFile.h"

#include "formats/OpenDocument.h"
#include "platform/RegularFile.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextCursor>
#include <QTextDocument>

namespace lw {

QString documentFileTooLarge(const QString& path)
{
    const qint64 size = QFileInfo(path).size();
    if (size <= largestDocumentFile)
        return {};
    return QStringLiteral("The file %1 is %2 MB. Letterwright opens text files of up to %3 MB.")
        .arg(QDir::toNativeSeparators(path), QString::number(size / 1048576.0, 'f', 1),
             QString::number(largestDocumentFile >> 20));
}

std::optional<DecodedText> readDocumentFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!openRegularFile(file, error))
        return std::nullopt;
    const qint64 length = file.size();
    const QByteArray bytes = file.read(length);
    if (bytes.size() != length) {
        if (error)
            *error = file.error() != QFileDevice::NoError
                         ? file.errorString()
                         : QStringLiteral("It changed while it was read");
        return std::nullopt;
    }
    return decodeDocumentFile(bytes);
}

QString withDefaultExtension(const QString& path, const QString& extension)
{
    if (extension.isEmpty() || QFileInfo(path).fileName().lastIndexOf(u'.') > 0)
        return path;
    return path + u'.' + extension;
}

bool readFormattedFile(const QByteArray& bytes, FileKind kind, QTextCursor& cursor,
                       const ReadProgress& progress, QString* error)
{
    if (error)
        error->clear();
    if (kind == FileKind::OpenDocument) {
        OdtReader reader;
        if (!reader.open(bytes, error))
            return false;
        return reader.read(cursor, progress);
    }
    if (!progress) {
        readRtf(bytes, cursor);
        return true;
    }
    return readRtf(bytes, cursor, [&](qint64 done) { return progress(done, bytes.size()); });
}

void setDocumentText(QTextDocument& document, const QString& text)
{
    if (!isRtf(text)) {
        document.setPlainText(text);
        return;
    }
    document.clear();
    QTextCursor cursor(&document);
    readRtf(text, cursor);
}

bool loadDocument(QTextDocument& document, const QString& path, TextFileFormat* format,
                  QString* error)
{
    if (fileKindOf(path) == FileKind::OpenDocument) {
        QFile file(path);
        QString reason;
        if (!openRegularFile(file, &reason)) {
            *error =
                QStringLiteral("Cannot read %1: %2").arg(QDir::toNativeSeparators(path), reason);
            return false;
        }
        const QByteArray bytes = file.readAll();
        OdtReader reader;
        if (!reader.open(bytes, &reason)) {
            *error =
                QStringLiteral("Cannot read %1: %2").arg(QDir::toNativeSeparators(path), reason);
            return false;
        }
        document.clear();
        QTextCursor cursor(&document);
        reader.read(cursor);
        if (format)
            *format = TextFileFormat();
        return true;
    }
    QString reason;
    const std::optional<DecodedText> read = readDocumentFile(path, &reason);
    if (!read) {
        *error = QStringLiteral("The letter %1 cannot be read: %2.")
                     .arg(QDir::toNativeSeparators(path), reason);
        return false;
    }
    setDocumentText(document, read->text);
    if (format)
        *format = read->format;
    return true;
}

QString withLineFeeds(QString text)
{
    // Paragraph and line breaks, and the frame marks of tables, read as line feeds; unlike
    // QTextDocument::toPlainText(), non-breaking spaces stay what they are.
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

QString documentText(const QTextDocument& document)
{
    return withLineFeeds(document.toRawText());
}

bool writeDocument(const QTextDocument& document, const QString& path, FileKind kind,
                   const TextFileFormat& format, QString* error, FileWrite mode)
{
    switch (kind) {
    case FileKind::PlainText:
        return writeFileSafely(path, encodeDocumentText(documentText(document), format), error,
                               mode);
    case FileKind::RichText:
        return writeFileSafely(path, writeRtf(document), error, mode);
    case FileKind::OpenDocument: {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QString reason;
        if (!writeOdt(document, buffer, &reason)) {
            if (error)
                *error = QStringLiteral("Cannot write %1: %2")
                             .arg(QDir::toNativeSeparators(path), reason);
            return false;
        }
        return writeFileSafely(path, bytes, error, mode);
    }
    }
    return false;
}

} // namespace lw
