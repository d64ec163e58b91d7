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
bool spansLines(const QString& pattern);

// The document's text as it is searched, from its raw text (QTextDocument::toRawText()):
// paragraph and frame breaks are line feeds; a line break within a paragraph stays U+2028.
QString searchableText(QString rawText);
// The same, made from a plain text as QTextDocument::setPlainText() reads it: CR LF, CR, LF and
// the paragraph and frame separators each end a paragraph.
QString searchableFromPlainText(QString plainText);
// For a pattern across lines, a line break within a paragraph is a line feed as well.
QString withLineBreaksAsLineFeeds(QString searchable);

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
