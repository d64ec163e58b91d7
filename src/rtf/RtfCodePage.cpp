#include "rtf/RtfCodePage.h"

#include <QByteArray>
#include <cerrno>
#include <iconv.h>
#include <vector>

namespace lw {

namespace {

constexpr char16_t replacement = 0xFFFD;
const auto noConverter = reinterpret_cast<iconv_t>(-1);

// iconv's names for the Windows code page numbers RTF uses; "CPnnn" covers the rest.
QByteArray iconvName(int codePage)
{
    switch (codePage) {
    case 936:
        return "GBK";
    case 949:
        return "UHC";
    case 950:
        return "BIG5";
    case 1361:
        return "JOHAB";
    case 10000:
        return "MACINTOSH";
    case 20127:
        return "ASCII";
    case 20866:
        return "KOI8-R";
    case 21866:
        return "KOI8-U";
    case 65001:
        return "UTF-8";
    default:
        if (codePage >= 28591 && codePage <= 28599)
            return "ISO-8859-" + QByteArray::number(codePage - 28590);
        return "CP" + QByteArray::number(codePage);
    }
}

iconv_t open(int codePage)
{
    // wchar_t is UTF-32 in the host's byte order with glibc.
    iconv_t cd = iconv_open("WCHAR_T", iconvName(codePage).constData());
    if (cd == noConverter)
        cd = iconv_open("WCHAR_T", "CP1252");
    return cd;
}

void appendUcs4(QString& out, char32_t c)
{
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        out.append(QChar(replacement));
    else
        out.append(QChar::fromUcs4(c));
}

} // namespace

RtfCodePage::RtfCodePage(int codePage)
{
    iconv_t cd = open(codePage);
    converter = cd;
    for (int byte = 0; byte < 256; ++byte) {
        if (cd == noConverter) {
            table[byte] = char16_t(byte);
            continue;
        }
        char in = char(byte);
        char* inPtr = &in;
        size_t inLeft = 1;
        wchar_t out = 0;
        char* outPtr = reinterpret_cast<char*>(&out);
        size_t outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1)) {
            // EINVAL: the byte starts a sequence of several bytes.
            if (errno == EINVAL)
                singleByte = false;
            table[byte] = replacement;
        } else {
            table[byte] = outLeft == 0 && char32_t(out) <= 0xFFFF ? char16_t(out) : replacement;
        }
    }
}

RtfCodePage::~RtfCodePage()
{
    if (converter != noConverter)
        iconv_close(static_cast<iconv_t>(converter));
}

int RtfCodePage::forCharset(int charset)
{
    switch (charset) {
    case 0:
        return 1252;
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0;
    }
}

int RtfCodePage::supported(int codePage)
{
    switch (codePage) {
    case 437:
    case 720:
    case 737:
    case 775:
    case 850:
    case 852:
    case 855:
    case 857:
    case 860:
    case 861:
    case 862:
    case 863:
    case 864:
    case 865:
    case 866:
    case 869:
    case 874:
    case 932:
    case 936:
    case 949:
    case 950:
    case 1361:
    case 10000:
    case 20127:
    case 20866:
    case 21866:
    case 65001:
        return codePage;
    default:
        if ((codePage >= 1250 && codePage <= 1258) || (codePage >= 28591 && codePage <= 28599))
            return codePage;
        return 1252;
    }
}

void RtfCodePage::decode(QByteArrayView bytes, QString& out) const
{
    if (singleByte) {
        for (const char byte : bytes)
            out.append(QChar(table[uchar(byte)]));
        return;
    }
    const auto cd = static_cast<iconv_t>(converter);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::vector<wchar_t> buffer(size_t(bytes.size()) + 1);
    char* inPtr = const_cast<char*>(bytes.data());
    size_t inLeft = size_t(bytes.size());
    while (inLeft > 0) {
        char* outPtr = reinterpret_cast<char*>(buffer.data());
        size_t outLeft = buffer.size() * sizeof(wchar_t);
        const size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        const size_t produced = (buffer.size() * sizeof(wchar_t) - outLeft) / sizeof(wchar_t);
        for (size_t i = 0; i < produced; ++i)
            appendUcs4(out, char32_t(buffer[i]));
        if (result != size_t(-1))
            break;
        if (errno == EINVAL) {
            // A sequence cut off at the end of the run.
            out.append(QChar(replacement));
            break;
        }
        // EILSEQ: one undefined byte; go on after it.
        out.append(QChar(replacement));
        ++inPtr;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
}

} // namespace lw
