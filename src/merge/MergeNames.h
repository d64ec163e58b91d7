#pragma once

#include <QSet>
#include <QString>

namespace lw {

// A text made fit to be a file's name on any common file system: characters that are not allowed
// in a name somewhere (/ \ : * ? " < > | and control characters) become "_", blanks and dots at
// either end are taken off, the names Windows keeps for devices ("CON", "LPT1"...) get a "_", and
// the name is cut to 200 bytes of UTF-8 without splitting a character. Empty when nothing is left.
QString safeFileName(const QString& text);

// The names of a merge's files, one per letter, in order: the chosen column's text made safe,
// or "Letter N" where it is empty or no column was chosen; a name given before gets " (2)",
// " (3)"... Names that differ only in letter case count as the same, as on the file systems of
// USB sticks and Windows shares.
class MergeFileNames
{
public:
    // `extension` without its dot; `letters` sets the width of the numbers ("Letter 007").
    MergeFileNames(const QString& extension, int letters);

    // The file name for letter `number` (1-based) whose name column holds `text`.
    QString next(const QString& text, int number);

private:
    QString extension;
    int width;
    QSet<QString> taken; // case-folded
};

} // namespace lw
