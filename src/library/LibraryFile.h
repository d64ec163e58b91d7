#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// A whole library file at once: made new by the library builder and the tests, read back by the
// exporter.
namespace lw {

struct LetterRecord
{
    qint64 id = 0;
    QString title;
    QString subject;
    QString category;
    QString content;
    QString file;
    int favorite = 0;

    bool operator==(const LetterRecord&) const = default;
};

struct LibraryContents
{
    // Subjects in order, each with its categories in order.
    QList<QPair<QString, QStringList>> subjects;
    QList<LetterRecord> letters; // in ID order
};

// Writes a new library file at `path` (which must not exist) with the program's marker in place,
// as when the program is not running. Letters with an id of 0 get the next free one.
bool createLibraryFile(const QString& path, const LibraryContents& contents, QString* error);

// Gives the next letter and returns true; returns false at the end, or on failure with `error`
// set.
using NextLetter = std::function<bool(LetterRecord& letter, QString* error)>;
// The same, with the letters taken one at a time: the memory it needs does not grow with their
// number. Nothing is left at `path` when it fails.
bool createLibraryFile(const QString& path, const QList<QPair<QString, QStringList>>& subjects,
                       const NextLetter& nextLetter, QString* error);

// Adds the indexes of a library made without them, in one transaction; a library that has them
// is not touched. The program runs it once as it opens a library.
bool addMissingIndexes(const QString& connectionString, QString* error);

// Reads every row of a library file, marked or not, without changing a byte of it.
std::optional<LibraryContents> readLibraryFile(const QString& path, QString* error);

// The content of the letter of that title (letter case does not count), read from a private
// copy of the library file, which is left exactly as it is. std::nullopt with `error` saying why
// when the file cannot be read or holds no such letter.
std::optional<QString> readLibraryLetter(const QString& path, const QString& title, QString* error);

} // namespace lw
