#include "editor/DocumentText.h"

#include <QDir>
#include <QHash>
#include <QStringDecoder>
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

std::optional<QString> decodeUtf8(const QByteArray& bytes)
{
    // Stateless, so that a sequence cut off at the end counts as an error.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

QString withCrLf(const QString& text)
{
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
            result += u"\r\n";
            break;
        case u'\n':
        case QChar::LineSeparator:
        case QChar::ParagraphSeparator:
            result += u"\r\n";
            break;
        default:
            result += ch;
        }
    }
    return result;
}

QByteArray toUtf8(const QString& text)
{
    // A leading U+FEFF would be taken for a byte-order mark and dropped when read back.
    if (text.startsWith(QChar(0xFEFF)))
        return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
    return text.toUtf8();
}

} // namespace

QString decodeDocumentBytes(const QByteArray& bytes)
{
    if (std::optional<QString> text = decodeUtf8(bytes))
        return *text;
    const CodePage& page = windows1252();
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes)
        *out++ = QChar(page.toUnicode[static_cast<unsigned char>(byte)]);
    return text;
}

QByteArray encodeDocumentText(const QString& text)
{
    const QString lines = withCrLf(text);
    const CodePage& page = windows1252();
    QByteArray bytes(lines.size(), Qt::Uninitialized);
    bool ascii = true;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const char16_t ch = lines.at(i).unicode();
        if (ch < 0x80) {
            bytes[i] = char(ch);
            continue;
        }
        const auto found = page.fromUnicode.constFind(ch);
        if (found == page.fromUnicode.cend())
            return toUtf8(lines);
        bytes[i] = *found;
        ascii = false;
    }
    if (!ascii && decodeUtf8(bytes))
        return toUtf8(lines);
    return bytes;
}

QString windows1252Char(unsigned char byte)
{
    return QString(QChar(windows1252().toUnicode[byte]));
}

} // namespace lw
