#include "library/LibraryFile.h"

#include "library/DataFile.h"
#include "library/LetterStatements.h"
#include "library/SqliteDatabase.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace lw {

namespace {

bool failWith(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

bool createLibraryFile(const QString& path, const LibraryContents& contents, QString* error)
{
    qsizetype next = 0;
    return createLibraryFile(
        path, contents.subjects,
        [&](LetterRecord& letter, QString*) {
            if (next == contents.letters.size())
                return false;
            letter = contents.letters.at(next++);
            return true;
        },
        error);
}

namespace {

// Subjects, categories and letters, each through one prepared statement.
bool insertRows(SqliteDatabase& db, const QList<QPair<QString, QStringList>>& subjects,
                const NextLetter& nextLetter, QString* error)
{
    const auto subject = db.prepare(QStringLiteral("insert into Subject (name) values (?)"));
    const auto category =
        db.prepare(QStringLiteral("insert into Category (name, Subject) values (?, ?)"));
    const auto letter = db.prepare(
        QStringLiteral("insert into Letter (ID, Description, Subject, Category, Content, File, "
                       "Favorite) values (?, ?, ?, ?, ?, ?, ?)"));
    if (!*subject || !*category || !*letter)
        return failWith(error, db.lastError());
    for (const auto& [name, categories] : subjects) {
        if (!subject->run({name}))
            return failWith(error, db.lastError());
        for (const QString& categoryName : categories) {
            if (!category->run({categoryName, name}))
                return failWith(error, db.lastError());
        }
    }
    LetterRecord record;
    QString sourceError;
    while (nextLetter(record, &sourceError)) {
        const QVariant id = record.id > 0 ? QVariant(record.id) : QVariant();
        if (!letter->run({id, record.title, record.subject, record.category, record.content,
                          record.file, record.favorite}))
            return failWith(error, db.lastError());
    }
    if (!sourceError.isEmpty())
        return failWith(error, sourceError);
    return true;
}

bool runAll(SqliteDatabase& db, const QStringList& statements)
{
    for (const QString& statement : statements) {
        if (!db.execute(statement))
            return false;
    }
    return true;
}

} // namespace

bool createLibraryFile(const QString& path, const QList<QPair<QString, QStringList>>& subjects,
                       const NextLetter& nextLetter, QString* error)
{
    if (QFileInfo::exists(path))
        return failWith(error, QStringLiteral("%1 already exists").arg(path));
    {
        SqliteDatabase db;
        if (!db.open(path, SqliteDatabase::Mode::Create))
            return failWith(error, db.lastError());
        // One self-contained file: no write-ahead log beside it. One transaction for everything;
        // the indexes are built once the rows are in.
        bool written = db.execute(QStringLiteral("pragma journal_mode=delete")) &&
                       db.execute(QStringLiteral("begin immediate")) &&
                       runAll(db, sql::createSchema());
        QString failure = written ? QString() : db.lastError();
        if (written && !insertRows(db, subjects, nextLetter, &failure))
            written = false;
        if (written &&
            !(runAll(db, sql::createIndexes()) && db.execute(QStringLiteral("commit")))) {
            written = false;
            failure = db.lastError();
        }
        if (!written) {
            db.close();
            QFile::remove(path);
            QFile::remove(path + QStringLiteral("-journal"));
            return failWith(error, failure);
        }
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    if (!datafile::writeMarker(path, error)) {
        QFile::remove(path);
        return false;
    }
    return true;
}

bool addMissingIndexes(const QString& connectionString, QString* error)
{
    SqliteDatabase db;
    if (!db.open(connectionString))
        return failWith(error, db.lastError());
    const auto present = db.execute(QStringLiteral("select name from sqlite_master where type = "
                                                   "'index' and tbl_name = 'Letter'"));
    if (!present)
        return failWith(error, db.lastError());
    QStringList missing = sql::indexNames();
    for (const Row& row : *present)
        missing.removeAll(row.value(0).toString());
    if (missing.isEmpty())
        return true;
    if (!db.executeAll(sql::createIndexes()))
        return failWith(error, db.lastError());
    return true;
}

namespace {

// A copy of the library in `dir` with SQLite's own signature, for reading only.
bool openPrivateCopy(const QString& path, const QTemporaryDir& dir, SqliteDatabase& db,
                     QString* error)
{
    const QString copy = dir.filePath(QStringLiteral("library.dat"));
    if (!dir.isValid() || !QFile::copy(path, copy))
        return failWith(error, QStringLiteral("%1 cannot be read").arg(path));
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    if (!datafile::restoreSignature(copy, error))
        return false;
    if (!db.open(copy))
        return failWith(error, db.lastError());
    return true;
}

} // namespace

std::optional<QString> readLibraryLetter(const QString& path, const QString& title, QString* error)
{
    if (!QFileInfo(path).isFile()) {
        failWith(error, QStringLiteral("The library %1 does not exist.").arg(path));
        return std::nullopt;
    }
    QTemporaryDir dir;
    SqliteDatabase db;
    if (!openPrivateCopy(path, dir, db, error))
        return std::nullopt;
    const auto rows = db.execute(sql::letterContent(title));
    if (!rows) {
        failWith(error,
                 QStringLiteral("The library %1 cannot be read: %2").arg(path, db.lastError()));
        return std::nullopt;
    }
    if (rows->isEmpty()) {
        failWith(error,
                 QStringLiteral("The library %1 has no letter titled \"%2\".").arg(path, title));
        return std::nullopt;
    }
    return rows->first().value(0).toString();
}

std::optional<LibraryContents> readLibraryFile(const QString& path, QString* error)
{
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("library.dat"));
    if (!dir.isValid() || !QFile::copy(path, copy)) {
        failWith(error, QStringLiteral("%1 cannot be read").arg(path));
        return std::nullopt;
    }
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    if (!datafile::restoreSignature(copy, error))
        return std::nullopt;

    SqliteDatabase db;
    if (!db.open(copy)) {
        failWith(error, db.lastError());
        return std::nullopt;
    }
    LibraryContents contents;
    const auto subjects = db.execute(QStringLiteral("select name from Subject order by rowid"));
    const auto categories =
        db.execute(QStringLiteral("select Subject, name from Category order by rowid"));
    const auto letters = db.execute(QStringLiteral(
        "select ID, Description, Subject, Category, Content, File, Favorite from Letter "
        "order by ID"));
    if (!subjects || !categories || !letters) {
        failWith(error, db.lastError());
        return std::nullopt;
    }
    for (const Row& row : *subjects) {
        const QString name = row.value(0).toString();
        const bool listed = std::any_of(contents.subjects.cbegin(), contents.subjects.cend(),
                                        [&](const auto& s) { return s.first == name; });
        if (!listed)
            contents.subjects.append({name, {}});
    }
    for (const Row& row : *categories) {
        for (auto& subject : contents.subjects) {
            if (compareIgnoringCase(subject.first, row.value(0).toString()) == 0) {
                subject.second.append(row.value(1).toString());
                break;
            }
        }
    }
    for (const Row& row : *letters) {
        contents.letters.append({row.value(0).toLongLong(), row.value(1).toString(),
                                 row.value(2).toString(), row.value(3).toString(),
                                 row.value(4).toString(), row.value(5).toString(),
                                 static_cast<int>(row.value(6).toLongLong())});
    }
    return contents;
}

} // namespace lw
