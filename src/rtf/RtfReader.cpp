#include "rtf/RtfReader.h"

#include "rtf/RtfBuilder.h"
#include "rtf/RtfCodePage.h"

#include <QStringDecoder>
#include <QTextCursor>

namespace lw {

namespace {

// Where the RTF header starts after an optional byte-order mark and blanks, or -1.
qsizetype headerOffset(QStringView text)
{
    qsizetype i = 0;
    if (text.startsWith(u"\u00EF\u00BB\u00BF"))
        i = 3; // a UTF-8 byte-order mark, one byte a character
    else if (text.startsWith(u'\uFEFF'))
        i = 1;
    while (i < text.size() &&
           (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\r' || text[i] == u'\n'))
        ++i;
    return text.sliced(i).startsWith(u"{\\rtf") ? i : -1;
}

void insertPlainText(QString text, QTextCursor& cursor)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    cursor.insertText(text);
}

} // namespace

bool isRtf(const QByteArray& data)
{
    return headerOffset(QString::fromLatin1(data.left(64))) >= 0;
}

bool isRtf(const QString& text)
{
    return headerOffset(QStringView(text).left(64)) >= 0;
}

void readRtf(const QByteArray& rtf, QTextCursor& cursor)
{
    readRtf(rtf, cursor, RtfProgress());
}

void readRtf(const QString& rtf, QTextCursor& cursor)
{
    readRtf(rtf, cursor, RtfProgress());
}

bool readRtf(const QByteArray& rtf, QTextCursor& cursor, const RtfProgress& progress)
{
    if (cursor.isNull())
        return true;
    if (!isRtf(rtf)) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        QString text = utf8.decode(rtf);
        if (utf8.hasError()) {
            text.clear();
            RtfCodePage(1252).decode(rtf, text);
        }
        cursor.beginEditBlock();
        insertPlainText(text, cursor);
        cursor.endEditBlock();
        return true;
    }
    return readRtf(QString::fromLatin1(rtf), cursor, progress);
}

bool readRtf(const QString& rtf, QTextCursor& cursor, const RtfProgress& progress)
{
    if (cursor.isNull())
        return true;
    const qsizetype offset = headerOffset(QStringView(rtf).left(64));
    if (offset < 0) {
        cursor.beginEditBlock();
        insertPlainText(rtf, cursor);
        cursor.endEditBlock();
        return true;
    }
    RtfBuilder builder(cursor);
    if (!progress)
        return builder.read(QStringView(rtf).sliced(offset));
    return builder.read(QStringView(rtf).sliced(offset),
                        [&](qint64 done) { return progress(offset + done); });
}

} // namespace lw
