#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

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
// Whether the file is a letter library the program can read, with `error` saying why not and
// `code` SQLite's result code.
bool isReadableLibrary(const QString& connectionString, QString* error, int* code = nullptr);

// Which file a path names, whatever its name: a file put in its place is another one.
struct FileIdentity
{
    quint64 device = 0;
    quint64 inode = 0;
    bool operator==(const FileIdentity&) const = default;
};
std::optional<FileIdentity> identityOf(const QString& path);

enum class HeaderState {
    // The program's marker, as when the program is not running.
    Marked,
    // SQLite's own signature.
    Restored,
    // Neither: not a letter library, or a damaged one.
    Foreign,
    // Too short to hold a header at all: a damaged file.
    TooShort,
    // The file cannot be read.
    Unreadable,
};
HeaderState headerState(const QString& path);
// Whether the file, marked or not, is laid out as an SQLite database: the rest of the signature,
// a valid page size, and a length of whole pages.
bool looksLikeDatabase(const QString& path);

enum class MarkResult {
    Written,
    // The file there carries the marker already (a marked backup put in its place).
    AlreadyMarked,
    // The file there is not the database this run opened, or no longer a database: it is left
    // as it is.
    NotOurs,
    Failed,
};
// The marker at the end of a run, written only over the database `opened` names, still an SQLite
// database.
MarkResult writeMarkerIfOurs(const QString& path, const std::optional<FileIdentity>& opened,
                             QString* error);

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
