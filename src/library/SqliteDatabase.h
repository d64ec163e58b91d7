#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace lw {

using Row = QList<QVariant>;
using RowSet = QList<Row>;

// One SQLite connection. Text comparison ignores letter case for every letter, not only ASCII:
// the collation `lw_nocase` and the `like` function are registered on every connection, and
// lw_same_title, which also ignores the normalisation form.
class SqliteDatabase
{
public:
    enum class Mode { ReadWrite, Create };

    SqliteDatabase() = default;
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // ReadWrite never creates a missing file.
    bool open(const QString& path, Mode mode = Mode::ReadWrite);
    void close();
    bool isOpen() const { return db != nullptr; }

    // Runs one statement and reads its rows whole. std::nullopt on failure, with lastError() set.
    std::optional<RowSet> execute(const QString& sql);
    // Runs statements that return no rows, all or none of them.
    bool executeAll(const QStringList& statements);

    QString lastError() const { return error; }
    // SQLite's primary result code of the last failure (SQLITE_BUSY, SQLITE_FULL...), 0 when none.
    int lastErrorCode() const { return errorCode; }
    // Ends the statement running on another thread with SQLITE_INTERRUPT; safe from any thread
    // while the connection is open.
    void interrupt();

    // One statement prepared once and run for many rows of values, bound to its parameters
    // ("?") in order: a QString as text, a whole number as integer, a null QVariant as null.
    class Prepared
    {
    public:
        ~Prepared();
        Prepared(const Prepared&) = delete;
        Prepared& operator=(const Prepared&) = delete;
        explicit operator bool() const { return statement != nullptr; }
        // Runs the statement once; false on failure, with the database's lastError() set.
        bool run(const Row& values);

    private:
        friend class SqliteDatabase;
        Prepared(SqliteDatabase& db, sqlite3_stmt* statement) : db(db), statement(statement) {}
        SqliteDatabase& db;
        sqlite3_stmt* statement;
    };
    // A statement that returns no rows; check it with operator bool.
    std::unique_ptr<Prepared> prepare(const QString& sql);

private:
    bool fail();
    void takeError();

    sqlite3* db = nullptr;
    QString error;
    int errorCode = 0;
};

// Compares texts the way the library does: letter case ignored for every letter, accented
// letters sorted beside their base letters.
int compareIgnoringCase(const QString& a, const QString& b);
// Titles that read the same to a person have the same key: letter case and the Unicode
// normalisation form do not count. The SQL function lw_same_title(a, b) compares by it.
QString titleKey(const QString& title);
// SQL `like` with "%" and "_", letter case ignored.
bool likeMatches(const QString& pattern, const QString& text, QChar escape = QChar());

} // namespace lw
