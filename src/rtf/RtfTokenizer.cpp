#include "rtf/RtfTokenizer.h"

#include <algorithm>
#include <limits>

namespace lw {

namespace {

bool isLetter(char16_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char16_t c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char16_t c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool endsText(char16_t c)
{
    return c == '{' || c == '}' || c == '\\' || c == '\r' || c == '\n';
}

} // namespace

RtfToken RtfTokenizer::next()
{
    RtfToken token;
    const qsizetype size = in.size();
    while (pos < size) {
        const char16_t c = in[pos].unicode();
        switch (c) {
        case '\r':
        case '\n':
            ++pos;
            continue;
        case '{':
            ++pos;
            token.type = RtfToken::GroupStart;
            return token;
        case '}':
            ++pos;
            token.type = RtfToken::GroupEnd;
            return token;
        case '\\': {
            if (pos + 1 >= size) {
                pos = size;
                return token;
            }
            const char16_t d = in[pos + 1].unicode();
            if (isLetter(d))
                return controlWord();
            if (d == '\'') {
                const int high = pos + 2 < size ? hexValue(in[pos + 2].unicode()) : -1;
                const int low = pos + 3 < size ? hexValue(in[pos + 3].unicode()) : -1;
                if (high < 0 || low < 0) {
                    // A broken escape is dropped; what follows it is read as text.
                    pos += 2;
                    continue;
                }
                pos += 4;
                token.type = RtfToken::HexByte;
                token.byte = uchar(high * 16 + low);
                return token;
            }
            pos += 2;
            if (d == '\r' || d == '\n') {
                // A backslash before a line break is a paragraph mark.
                token.type = RtfToken::ControlWord;
                token.text = u"par";
                return token;
            }
            token.type = RtfToken::ControlSymbol;
            token.symbol = d;
            return token;
        }
        default: {
            const qsizetype start = pos;
            while (pos < size && !endsText(in[pos].unicode()))
                ++pos;
            token.type = RtfToken::Text;
            token.text = in.sliced(start, pos - start);
            return token;
        }
        }
    }
    return token;
}

RtfToken RtfTokenizer::controlWord()
{
    RtfToken token;
    token.type = RtfToken::ControlWord;
    const qsizetype size = in.size();
    const qsizetype nameStart = ++pos;
    while (pos < size && isLetter(in[pos].unicode()))
        ++pos;
    const qsizetype nameLength = pos - nameStart;
    if (nameLength <= MaxWordLength)
        token.text = in.sliced(nameStart, nameLength);

    bool negative = false;
    if (pos + 1 < size && in[pos].unicode() == '-' && isDigit(in[pos + 1].unicode())) {
        negative = true;
        ++pos;
    }
    if (pos < size && isDigit(in[pos].unicode())) {
        // Digits beyond what an int holds saturate; all of them are consumed.
        constexpr qint64 limit = qint64(std::numeric_limits<int>::max()) + 1;
        qint64 value = 0;
        while (pos < size && isDigit(in[pos].unicode())) {
            value = std::min(limit, value * 10 + (in[pos].unicode() - '0'));
            ++pos;
        }
        if (negative)
            value = -value;
        token.hasParam = true;
        token.param = int(std::clamp<qint64>(value, std::numeric_limits<int>::min(),
                                             std::numeric_limits<int>::max()));
    }
    if (pos < size && in[pos].unicode() == ' ')
        ++pos;

    if (token.text == u"bin") {
        // Raw data follows; a length past the end of the input takes what is there.
        const qsizetype length = std::clamp<qsizetype>(token.param, 0, size - pos);
        token.type = RtfToken::Binary;
        token.text = in.sliced(pos, length);
        pos += length;
    }
    return token;
}

} // namespace lw
