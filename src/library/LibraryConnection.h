#pragma once

#include "library/SqliteDatabase.h"

#include <functional>

class QWidget;

namespace lw {

// The library's shared connection: opened at the start and closed at the end of every library
// operation. The data file guard runs before every opening.
class LibraryConnection
{
public:
    explicit LibraryConnection(QWidget* messageParent);

    // The guard, then the engine. A missing file shows the damage message and ends the program; an
    // engine error (locked, damaged) is shown and the connection stays closed.
    bool OpenDatabase();
    // Runs SqlText's statement; a failure is shown and closes the connection.
    std::optional<RowSet> Execute(const QString& statement);
    void Close();
    bool isOpen() const { return connection.isOpen(); }

    QString SqlText;
    RowSet LibRecordset;
    // What the current operation does, as its failure names it: "The letter could not be added".
    QString failureTitle;
    // Runs when the data file has gone, after its message and before the program ends: the
    // window's chance to offer saving the document. Meanwhile the connection opens no more.
    std::function<void()> beforeEnd;

private:
    void reportEngineError();

    QWidget* parent;
    SqliteDatabase connection;
    bool ending = false;
};

// Opens the library for one operation and closes it on every way out.
class LibraryOperation
{
public:
    // `whatFails` names the operation in its failure message ("The letter could not be added").
    explicit LibraryOperation(LibraryConnection& connection, const QString& whatFails = QString())
        : db(connection), opened((connection.failureTitle = whatFails, connection.OpenDatabase()))
    {}
    ~LibraryOperation() { db.Close(); }
    LibraryOperation(const LibraryOperation&) = delete;
    LibraryOperation& operator=(const LibraryOperation&) = delete;

    explicit operator bool() const { return opened; }
    std::optional<RowSet> run(const QString& statement) { return db.Execute(statement); }
    void close() { db.Close(); }

private:
    LibraryConnection& db;
    bool opened;
};

// An engine failure for the user: what failed, the reason in plain words, the engine's own text
// ("The letter could not be added: the disk is full." and then the detail).
QString engineFailureText(const QString& whatFailed, int sqliteCode, const QString& engineText);

// A data file that the user put back while the program runs (a backup, marked or not) is taken
// up: its signature restored and it becomes the file the program marks at the end. A file that
// is no database is left as it is.
void takeUpReplacedDataFile();

// Shows the message for a data file that has gone, runs `beforeEnd` and ends the program.
void reportMissingDataFile(QWidget* parent, const std::function<void()>& beforeEnd = {});

} // namespace lw
