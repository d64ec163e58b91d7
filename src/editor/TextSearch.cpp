#include "editor/TextSearch.h"

#include <algorithm>

namespace lw::textsearch {

namespace {

constexpr char16_t beginningOfFrame = 0xFDD0; // QTextBeginningOfFrame
constexpr char16_t endOfFrame = 0xFDD1;       // QTextEndOfFrame

QChar charAt(QStringView text, qsizetype at)
{
    return at >= 0 && at < text.size() ? text.at(at) : QChar();
}

} // namespace

bool isWordCharacter(QChar ch)
{
    return ch.isLetterOrNumber() || ch.isMark();
}

QString searchPattern(const QString& text)
{
    QString pattern = text;
    pattern.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    pattern.replace(u'\r', u'\n');
    return pattern;
}

bool spansLines(const QString& pattern)
{
    return pattern.contains(u'\n');
}

QString searchableText(QString rawText)
{
    for (QChar& ch : rawText) {
        const char16_t c = ch.unicode();
        if (c == QChar::ParagraphSeparator || c == beginningOfFrame || c == endOfFrame)
            ch = u'\n';
    }
    return rawText;
}

QString searchableFromPlainText(QString plainText)
{
    // In place, one pass: CR LF becomes one line feed.
    QChar* out = plainText.data();
    const QChar* in = out;
    const QChar* const end = in + plainText.size();
    for (; in != end; ++in) {
        const char16_t c = in->unicode();
        if (c == u'\r' && in + 1 != end && in[1] == u'\n')
            continue;
        if (c == u'\r' || c == QChar::ParagraphSeparator || c == beginningOfFrame ||
            c == endOfFrame)
            *out++ = u'\n';
        else
            *out++ = *in;
    }
    plainText.truncate(out - plainText.constData());
    return plainText;
}

QString withLineBreaksAsLineFeeds(QString searchable)
{
    searchable.replace(QChar::LineSeparator, u'\n');
    return searchable;
}

qsizetype findFirst(QStringView text, QStringView pattern, qsizetype from, qsizetype to,
                    Rules rules)
{
    const qsizetype size = pattern.size();
    from = std::clamp<qsizetype>(from, 0, text.size());
    to = std::clamp<qsizetype>(to, 0, text.size());
    if (size == 0 || to - from < size)
        return -1;
    for (qsizetype at = text.indexOf(pattern, from, rules.sensitivity); at >= 0 && at + size <= to;
         at = text.indexOf(pattern, at + 1, rules.sensitivity)) {
        if (!rules.wholeWord ||
            (!isWordCharacter(charAt(text, at - 1)) && !isWordCharacter(charAt(text, at + size))))
            return at;
    }
    return -1;
}

QList<qsizetype> successiveMatches(QStringView text, QStringView pattern, QStringView replacement,
                                   Rules rules)
{
    QList<qsizetype> matches;
    const qsizetype size = pattern.size();
    if (size == 0)
        return matches;
    // What stands right before the end of the last replacement once it is made: its own last
    // character, or, when it is empty, whatever stood before it.
    qsizetype lastEnd = -1;
    QChar beforeLastEnd;
    qsizetype at = text.indexOf(pattern, 0, rules.sensitivity);
    while (at >= 0) {
        const QChar before = at == lastEnd ? beforeLastEnd : charAt(text, at - 1);
        if (rules.wholeWord &&
            (isWordCharacter(before) || isWordCharacter(charAt(text, at + size)))) {
            at = text.indexOf(pattern, at + 1, rules.sensitivity);
            continue;
        }
        matches.append(at);
        lastEnd = at + size;
        beforeLastEnd = replacement.isEmpty() ? before : replacement.back();
        // The search goes on after the replacement, never inside it.
        at = text.indexOf(pattern, lastEnd, rules.sensitivity);
    }
    return matches;
}

} // namespace lw::textsearch
