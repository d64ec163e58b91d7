#include "formats/DocumentText.h"

#include <QDir>
#include <QHash>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <array>
#include <iconv.h>
#include <optional>

namespace lw {

namespace {

struct CodePage
{
    std::array<char16_t, 256> toUnicode{};
    QHash<char16_t, char> fromUnicode;
};

CodePage buildWindows1252()
{
    CodePage page;
    // Bytes iconv cannot convert keep their own value, which is what Windows does for the five
    // undefined ones; without the converter this leaves Latin-1.
    for (int byte = 0; byte < 256; ++byte)
        page.toUnicode[byte] = char16_t(byte);
    iconv_t converter = iconv_open("UTF-16LE", "WINDOWS-1252");
    if (converter != reinterpret_cast<iconv_t>(-1)) {
        for (int byte = 0; byte < 256; ++byte) {
            char in = char(byte);
            unsigned char out[4] = {};
            char* inPtr = &in;
            char* outPtr = reinterpret_cast<char*>(out);
            size_t inLeft = 1;
            size_t outLeft = sizeof out;
            iconv(converter, nullptr, nullptr, nullptr, nullptr);
            if (iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1) &&
                outLeft == sizeof out - 2)
                page.toUnicode[byte] = char16_t(out[0] | out[1] << 8);
        }
        iconv_close(converter);
    }
    for (int byte = 0; byte < 256; ++byte)
        page.fromUnicode.insert(page.toUnicode[byte], char(byte));
    return page;
}

const CodePage& windows1252()
{
    static const CodePage page = buildWindows1252();
    return page;
}

const QByteArray utf8Bom("\xEF\xBB\xBF");
const QByteArray utf16LEBom("\xFF\xFE");
const QByteArray utf16BEBom("\xFE\xFF");

// Stateless, so that a sequence cut off at the end counts as an error. A byte-order mark has been
// taken off already: one more at the start is a character of the text.
std::optional<QString> decodeUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless |
                                                     QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// The length of the well-formed UTF-8 sequence of two to four bytes that starts at `p`, else 0.
int utf8SequenceAt(const unsigned char* p, qsizetype left)
{
    const auto continues = [&](qsizetype k, unsigned char low = 0x80, unsigned char high = 0xBF) {
        return k < left && p[k] >= low && p[k] <= high;
    };
    const unsigned char lead = p[0];
    if (lead >= 0xC2 && lead <= 0xDF)
        return continues(1) ? 2 : 0;
    if (lead == 0xE0)
        return continues(1, 0xA0) && continues(2) ? 3 : 0;
    if (lead == 0xED) // not the surrogates
        return continues(1, 0x80, 0x9F) && continues(2) ? 3 : 0;
    if (lead >= 0xE1 && lead <= 0xEF)
        return continues(1) && continues(2) ? 3 : 0;
    if (lead == 0xF0)
        return continues(1, 0x90) && continues(2) && continues(3) ? 4 : 0;
    if (lead >= 0xF1 && lead <= 0xF3)
        return continues(1) && continues(2) && continues(3) ? 4 : 0;
    if (lead == 0xF4)
        return continues(1, 0x80, 0x8F) && continues(2) && continues(3) ? 4 : 0;
    return 0;
}

QString fromWindows1252(QByteArrayView bytes)
{
    const CodePage& page = windows1252();
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes)
        *out++ = QChar(page.toUnicode[static_cast<unsigned char>(byte)]);
    return text;
}

// Whether bytes that are not valid UTF-8 still are UTF-8 in the main: a file put together from a
// UTF-8 and a Windows-1252 source. Not when they hold no UTF-8 sequence, or fewer sequences than
// bytes that belong to none.
bool mostlyUtf8(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype size = bytes.size();
    qsizetype sequences = 0;
    qsizetype strays = 0;
    for (qsizetype i = 0; i < size;) {
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        const int length = utf8SequenceAt(p + i, size - i);
        if (length > 0) {
            ++sequences;
            i += length;
        } else {
            ++strays;
            ++i;
        }
    }
    return sequences > 0 && sequences >= strays;
}

// UTF-8 whose stray bytes keep their Windows-1252 character.
QString decodeMostlyUtf8(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype size = bytes.size();
    QString text;
    text.reserve(size);
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < size;) {
        const int length = p[i] < 0x80 ? 1 : utf8SequenceAt(p + i, size - i);
        if (length > 0) {
            i += length;
            continue;
        }
        text += QString::fromUtf8(bytes.sliced(runStart, i - runStart));
        text += fromWindows1252(bytes.sliced(i, 1));
        runStart = ++i;
    }
    text += QString::fromUtf8(bytes.sliced(runStart));
    return text;
}

QString fromUtf16(QByteArrayView bytes, QStringConverter::Encoding encoding)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless |
                                         QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

LineBreak lineBreakOf(const QString& text)
{
    const qsizetype feed = text.indexOf(u'\n');
    return feed > 0 && text.at(feed - 1) == u'\r' ? LineBreak::CrLf
           : feed >= 0                            ? LineBreak::Lf
                                                  : LineBreak::CrLf;
}

QString withLineBreaks(const QString& text, LineBreak lineBreak)
{
    const QStringView breakText = lineBreak == LineBreak::CrLf ? u"\r\n" : u"\n";
    QString result;
    result.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        switch (ch.unicode()) {
        case QChar::ObjectReplacementCharacter:
            break;
        case u'\r':
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            result += breakText;
            break;
        case u'\n':
        case QChar::LineSeparator:
        case QChar::ParagraphSeparator:
            result += breakText;
            break;
        default:
            result += ch;
        }
    }
    return result;
}

QByteArray toUtf8(const QString& text, bool withBom)
{
    // Without a mark, a leading U+FEFF would be taken for one and dropped when read back.
    if (withBom || text.startsWith(QChar(0xFEFF)))
        return utf8Bom + text.toUtf8();
    return text.toUtf8();
}

QByteArray toUtf16(const QString& text, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder.encode(text);
}

// Windows-1252 where every character has a byte there and the bytes read back as the same text.
std::optional<QByteArray> toWindows1252(const QString& text)
{
    const CodePage& page = windows1252();
    QByteArray bytes(text.size(), Qt::Uninitialized);
    bool ascii = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t ch = text.at(i).unicode();
        if (ch < 0x80) {
            bytes[i] = char(ch);
            continue;
        }
        const auto found = page.fromUnicode.constFind(ch);
        if (found == page.fromUnicode.cend())
            return std::nullopt;
        bytes[i] = *found;
        ascii = false;
    }
    // Bytes that another reading would take for something else: a byte-order mark, UTF-8.
    if (!ascii && (bytes.startsWith(utf8Bom) || bytes.startsWith(utf16LEBom) ||
                   bytes.startsWith(utf16BEBom) || mostlyUtf8(bytes)))
        return std::nullopt;
    return bytes;
}

} // namespace

DecodedText decodeDocumentFile(const QByteArray& bytes)
{
    DecodedText result;
    result.format.fromFile = true;
    if (bytes.startsWith(utf16LEBom) || bytes.startsWith(utf16BEBom)) {
        const bool little = bytes.startsWith(utf16LEBom);
        result.format.encoding = little ? TextEncoding::Utf16LE : TextEncoding::Utf16BE;
        result.text = fromUtf16(QByteArrayView(bytes).sliced(2),
                                little ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
    } else {
        const bool marked = bytes.startsWith(utf8Bom);
        const QByteArrayView body = QByteArrayView(bytes).sliced(marked ? utf8Bom.size() : 0);
        std::optional<QString> text = decodeUtf8(body);
        if (!text && (marked || mostlyUtf8(body)))
            text = decodeMostlyUtf8(body);
        if (text) {
            result.text = *text;
            const bool ascii = !marked && body.size() == result.text.size();
            result.format.encoding = marked  ? TextEncoding::Utf8WithBom
                                     : ascii ? TextEncoding::Windows1252
                                             : TextEncoding::Utf8;
        } else {
            result.text = fromWindows1252(body);
            result.format.encoding = TextEncoding::Windows1252;
        }
    }
    result.format.lineBreak = lineBreakOf(result.text);
    return result;
}

qsizetype longestLine(QStringView text)
{
    qsizetype longest = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == u'\n' || text[i] == u'\r') {
            longest = std::max(longest, i - start);
            start = i + 1;
        }
    }
    return longest;
}

qsizetype lineBreakBefore(QStringView text, qsizetype start, qsizetype limit, qsizetype most)
{
    qsizetype end = limit;
    for (qsizetype back = limit; back > limit - most / 10 && back > start; --back) {
        if (text[back - 1] == u' ') {
            end = back;
            break;
        }
    }
    while (end > start + 1 &&
           (text[end].isLowSurrogate() || text[end].category() == QChar::Mark_NonSpacing ||
            text[end].category() == QChar::Mark_SpacingCombining ||
            text[end].category() == QChar::Mark_Enclosing))
        --end;
    return end;
}

QString withLongLinesBroken(QStringView text, qsizetype most)
{
    QString result;
    result.reserve(text.size() + text.size() / std::max<qsizetype>(most, 1) + 1);
    qsizetype start = 0; // of the line being copied
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] == u'\n' || text[i] == u'\r') {
            result += text.sliced(start, i + 1 - start);
            start = ++i;
            continue;
        }
        if (i - start < most) {
            ++i;
            continue;
        }
        // The line has reached the limit before `i`: break it.
        const qsizetype end = lineBreakBefore(text, start, i, most);
        result += text.sliced(start, end - start);
        result += u'\n';
        start = end;
        i = end;
    }
    result += text.sliced(start);
    return result;
}

qsizetype longestParagraph(const QTextDocument& document)
{
    qsizetype longest = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        longest = std::max<qsizetype>(longest, block.length() - 1);
    return longest;
}

void breakLongParagraphs(QTextDocument& document, qsizetype most)
{
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.length() - 1 <= most)
            continue;
        const QString text = block.text();
        // Where each new paragraph starts, then the breaks made from the last: the positions
        // before each break stay as they were.
        QList<qsizetype> breaks;
        for (qsizetype start = 0; text.size() - start > most;) {
            start = lineBreakBefore(text, start, start + most, most);
            breaks.append(start);
        }
        const int position = block.position();
        for (auto at = breaks.crbegin(); at != breaks.crend(); ++at) {
            cursor.setPosition(position + int(*at));
            cursor.insertBlock();
        }
        // On after the last part: the paragraphs made are short.
        block = document.findBlock(position + int(text.size()) + int(breaks.size()));
    }
    cursor.endEditBlock();
}

QString decodeDocumentBytes(const QByteArray& bytes)
{
    return decodeDocumentFile(bytes).text;
}

QByteArray encodeDocumentText(const QString& text, const TextFileFormat& format)
{
    const QString lines = withLineBreaks(text, format.lineBreak);
    switch (format.encoding) {
    case TextEncoding::Windows1252:
        if (std::optional<QByteArray> bytes = toWindows1252(lines))
            return *bytes;
        return toUtf8(lines, false);
    case TextEncoding::Utf8:
        return toUtf8(lines, false);
    case TextEncoding::Utf8WithBom:
        return toUtf8(lines, true);
    case TextEncoding::Utf16LE:
        return toUtf16(lines, QStringConverter::Utf16LE);
    case TextEncoding::Utf16BE:
        return toUtf16(lines, QStringConverter::Utf16BE);
    }
    return toUtf8(lines, false);
}

QString windows1252Char(unsigned char byte)
{
    return QString(QChar(windows1252().toUnicode[byte]));
}

} // namespace lw
