#pragma once

#include <QByteArray>
#include <QString>

// The encoding of document files. Windows-1252 stands for the old platform's ANSI code page; files
// written on Linux are UTF-8. Both read back correctly, and a file is written back the way it was
// read.
class QTextDocument;

namespace lw {

enum class TextEncoding {
    // Windows-1252 while every character has a byte there, otherwise UTF-8.
    Windows1252,
    Utf8,
    Utf8WithBom,
    Utf16LE, // with its byte-order mark
    Utf16BE, // with its byte-order mark
};

enum class LineBreak { CrLf, Lf };

// How a document's text becomes a text file. The default is a new document's: Windows-1252 where
// it can, CR LF.
struct TextFileFormat
{
    TextEncoding encoding = TextEncoding::Windows1252;
    LineBreak lineBreak = LineBreak::CrLf;
    // The document was read from a text file: its text keeps the file's final line break, or its
    // absence, and is written back as it stands.
    bool fromFile = false;

    bool operator==(const TextFileFormat&) const = default;
};

struct DecodedText
{
    QString text;
    TextFileFormat format;
};

// A UTF-16 byte-order mark gives UTF-16. Otherwise UTF-8 (a byte-order mark is dropped), where a
// byte that is not part of a UTF-8 sequence stands for its Windows-1252 character; a file with no
// UTF-8 sequence, or fewer than it has such bytes, is Windows-1252. Line ends are left as they
// are; the format says which the file uses (the first one found; CR LF when there is none).
DecodedText decodeDocumentFile(const QByteArray& bytes);
// The text of decodeDocumentFile.
QString decodeDocumentBytes(const QByteArray& bytes);

// Lines end as the format says and pictures (U+FFFC) are left out. A Windows-1252 document that
// has a character without a byte there, or whose bytes would read back as something else (such as
// "Ã©", which reads as UTF-8), is written as UTF-8 without a byte-order mark, so no character is
// lost.
QByteArray encodeDocumentText(const QString& text, const TextFileFormat& format = {});

// Qt lays out a paragraph in one piece: one of a million characters takes a second, twenty
// million most of a minute, with the window frozen. Texts with longer lines are offered with
// those lines broken into lines of `brokenLineLength`.
inline constexpr qsizetype longestLineShown = qsizetype(1) << 20;
inline constexpr qsizetype brokenLineLength = 10000;

// The length of the longest line of `text`, whose lines end at a line feed or a carriage return.
qsizetype longestLine(QStringView text);
// `text` with every line longer than `most` characters broken by line feeds into lines of at most
// `most`: after the last space within the limit, if there is one in its last tenth, otherwise at
// the limit, never inside a surrogate pair or before a combining mark. Shorter lines stay as
// they are.
QString withLongLinesBroken(QStringView text, qsizetype most);
// Where withLongLinesBroken ends the line that starts at `start` and has reached `most` characters
// at `limit`, with no line end between: the position of the break.
qsizetype lineBreakBefore(QStringView text, qsizetype start, qsizetype limit, qsizetype most);
// The same for a formatted document: the length of its longest paragraph, and every paragraph
// longer than `most` broken into paragraphs of at most `most` where withLongLinesBroken breaks a
// line, each part keeping its formats and its paragraph's.
qsizetype longestParagraph(const QTextDocument& document);
void breakLongParagraphs(QTextDocument& document, qsizetype most);

// The character a Windows-1252 byte stands for. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control characters of the same value, as on Windows.
QString windows1252Char(unsigned char byte);

} // namespace lw
