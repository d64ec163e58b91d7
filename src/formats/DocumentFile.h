#pragma once

#include "formats/DocumentText.h"
#include "formats/FileKind.h"
#include "platform/SafeFile.h"

#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>

class QTextCursor;
class QTextDocument;

namespace lw {

// The largest document file the editor opens or inserts: it holds several times a file's size
// in memory, and a letter is a few kilobytes.
inline constexpr qint64 largestDocumentFile = qint64(256) << 20;
// The message for a file over that size, naming its size; empty for a file within it.
QString documentFileTooLarge(const QString& path);

// Reads a document file whole, in one read of its length, and decodes it (see
// decodeDocumentFile). std::nullopt when the file cannot be opened or read, or is no regular file
// (a FIFO, a socket, a device), with `error` saying why.
std::optional<DecodedText> readDocumentFile(const QString& path, QString* error = nullptr);

// The name with the extension added when it has none ("letter" and "txt" give "letter.txt"; a
// leading dot does not make an extension). An empty extension adds nothing.
QString withDefaultExtension(const QString& path, const QString& extension);

// Told how much of a file's content has been read and how much there is; false stops the read.
using ReadProgress = std::function<bool(qint64 done, qint64 total)>;

// Reads an RTF or OpenDocument file's bytes at the cursor, replacing its selection. The whole
// file is checked before anything changes: false with `error` set when it cannot be read, false
// with `error` empty when `progress` stopped it (what was read so far stays at the cursor).
bool readFormattedFile(const QByteArray& bytes, FileKind kind, QTextCursor& cursor,
                       const ReadProgress& progress = {}, QString* error = nullptr);

// Replaces the whole document with `text`: RTF when it begins with an RTF header, otherwise
// plain text in the document's default font.
void setDocumentText(QTextDocument& document, const QString& text);

// Replaces the document's content with a letter file as Open reads it: an OpenDocument file
// formatted, any other file as text (formatted when it begins with an RTF header). `format`
// tells how its text is to be written back. False with `error` saying why it cannot be read.
bool loadDocument(QTextDocument& document, const QString& path, TextFileFormat* format,
                  QString* error);

// Raw document text with its paragraph and line breaks, and the frame marks of tables, as line
// feeds; unlike QTextDocument::toPlainText(), non-breaking spaces stay what they are.
QString withLineFeeds(QString text);
// The document's text as a text file holds it: lines separated by line feeds, pictures left out
// by encodeDocumentText.
QString documentText(const QTextDocument& document);

// Writes the document to `path` in `kind`: RTF, OpenDocument Text, or text encoded as `format`
// says. The old file stays whole on failure; `error` then names the file and the reason.
bool writeDocument(const QTextDocument& document, const QString& path, FileKind kind,
                   const TextFileFormat& format = {}, QString* error = nullptr,
                   FileWrite mode = FileWrite::Atomic);

} // namespace lw
