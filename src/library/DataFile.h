#pragma once

#include <QByteArray>
#include <QString>

// The letter library file and the 15-byte header swap that keeps other tools from opening it
// while the program is not running.
namespace lw::datafile {

inline constexpr int headerOffset = 0;
inline constexpr int headerLength = 15;
// The first 15 bytes of SQLite's own signature "SQLite format 3\0".
inline const QByteArray engineSignature = QByteArrayLiteral("SQLite format 3");
inline const QByteArray programMarker = QByteArrayLiteral("Brightquill2006");

// The per-user folder that holds the library and the single-instance lock.
QString dataFolder();
QString dataFilePath();
// The SQLite URI that opens the library read-write and never creates it.
QString connectionString(const QString& dataFilePath);

// The 15 header bytes as they stand; empty when the file cannot be read.
QByteArray readHeader(const QString& path);
// Whether the file is a letter library the program can read, with `error` saying why not.
bool isReadableLibrary(const QString& connectionString, QString* error);

// Writes the 15 header bytes in place; the file is never created, truncated or lengthened.
bool writeHeader(const QString& path, const QByteArray& header, QString* error);
inline bool restoreSignature(const QString& path, QString* error)
{
    return writeHeader(path, engineSignature, error);
}
inline bool writeMarker(const QString& path, QString* error)
{
    return writeHeader(path, programMarker, error);
}

} // namespace lw::datafile
