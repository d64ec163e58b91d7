#include "editor/TextSearch.h"

#include <algorithm>

namespace lw::textsearch {

namespace {

constexpr char16_t beginningOfFrame = 0xFDD0; // QTextBeginningOfFrame
constexpr char16_t endOfFrame = 0xFDD1;       // QTextEndOfFrame

bool acrossLines(const QString& pattern)
{
    return pattern.contains(u'\n');
}

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

QString searchableText(QString rawText, const QString& pattern)
{
    const bool lines = acrossLines(pattern);
    for (QChar& ch : rawText) {
        switch (ch.unicode()) {
        case QChar::ParagraphSeparator:
        case beginningOfFrame:
        case endOfFrame:
            ch = u'\n';
            break;
        case QChar::LineSeparator:
            if (lines)
                ch = u'\n';
            break;
        default:
            break;
        }
    }
    return rawText;
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
