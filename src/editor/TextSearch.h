#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// Searching a document's text without touching its layout: the text is read once as it is stored
// (positions are document positions) and searched as a string.
namespace lw::textsearch {

struct Rules
{
    Qt::CaseSensitivity sensitivity = Qt::CaseInsensitive;
    // A whole word has no letter, digit or combining mark right before or after it.
    bool wholeWord = false;
};

bool isWordCharacter(QChar ch);

// The pattern as the editor searches it: CR LF and lone CRs are line feeds.
QString searchPattern(const QString& text);
// The text to search for `pattern`, made from the document's raw text (QTextDocument::toRawText):
// a pattern across lines meets every paragraph, line and frame break as a line feed; any other
// pattern never meets a paragraph or frame break, but does meet a line break within a paragraph.
QString searchableText(QString rawText, const QString& pattern);

// The first match of `pattern` lying within [from, to) of `text`, or -1. An empty pattern is never
// found.
qsizetype findFirst(QStringView text, QStringView pattern, qsizetype from, qsizetype to,
                    Rules rules);

// The matches that replacing each match by `replacement` and searching on after it, from the
// start of the text, would replace: text inserted by a replacement is never searched again, but a
// whole word right after a replacement is judged by the replacement's last character. Positions
// are those of `text`, before any replacement.
QList<qsizetype> successiveMatches(QStringView text, QStringView pattern, QStringView replacement,
                                   Rules rules);

} // namespace lw::textsearch
