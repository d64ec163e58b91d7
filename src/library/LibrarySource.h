#pragma once

#include "library/LibraryFile.h"

#include <optional>

// The library as reviewable text: a catalogue of subjects and categories, and one file a letter.
//
//   catalogue.txt   a subject at the margin, its categories indented below it; "#" comments
//   letters/**.txt  "Title:", "Subject:", "Category:", optional "File:", "Favorite:" and "ID:"
//                   lines, one empty line, then the body to the end of the file
namespace lw::librarysource {

struct SourceError
{
    QString file;
    int line = 0;
    QString message;
    QString text() const;
};

// Reads and checks a source folder: every field present, subjects and categories listed, titles
// unique without regard to letter case. Letters come in the order of their file paths.
std::optional<LibraryContents> read(const QString& sourceDir, SourceError* error);

// Writes every subject, category and letter of a library as a source folder.
bool write(const LibraryContents& contents, const QString& outputDir, QString* error);

// Builds the library file and the letter folder from a source folder. Both are made aside and
// moved into place only when complete; an existing library file is never overwritten.
bool build(const QString& sourceDir, const QString& dataFile, const QString& letterDir,
           QString* error);

// The letter folder's file name for a title: lower case, hyphens, ".txt".
QString fileNameFor(const QString& title);

} // namespace lw::librarysource
