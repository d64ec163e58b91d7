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
    explicit LibraryOperation(LibraryConnection& connection)
        : db(connection), opened(connection.OpenDatabase())
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

// Shows the message for a data file that has gone, runs `beforeEnd` and ends the program.
void reportMissingDataFile(QWidget* parent, const std::function<void()>& beforeEnd = {});

} // namespace lw
