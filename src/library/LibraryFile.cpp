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

QString number(qint64 value)
{
    return QString::number(value);
}

} // namespace

bool createLibraryFile(const QString& path, const LibraryContents& contents, QString* error)
{
    if (QFileInfo::exists(path))
        return failWith(error, QStringLiteral("%1 already exists").arg(path));
    QStringList statements = sql::createSchema();
    for (const auto& [subject, categories] : contents.subjects) {
        statements.append("insert into Subject (name) values (" + sql::lit(subject) + ")");
        for (const QString& category : categories)
            statements.append("insert into Category (name, Subject) values (" + sql::lit(category) +
                              ", " + sql::lit(subject) + ")");
    }
    for (const LetterRecord& letter : contents.letters) {
        const QString id = letter.id > 0 ? number(letter.id) : QStringLiteral("null");
        statements.append(
            "insert into Letter (ID, Description, Subject, Category, Content, File, Favorite) "
            "values (" +
            id + ", " + sql::lit(letter.title) + ", " + sql::lit(letter.subject) + ", " +
            sql::lit(letter.category) + ", " + sql::lit(letter.content) + ", " +
            sql::lit(letter.file) + ", " + number(letter.favorite) + ")");
    }
    {
        SqliteDatabase db;
        if (!db.open(path, SqliteDatabase::Mode::Create))
            return failWith(error, db.lastError());
        // One self-contained file: no write-ahead log beside it.
        if (!db.execute(QStringLiteral("pragma journal_mode=delete")) ||
            !db.executeAll(statements)) {
            const QString failure = db.lastError();
            db.close();
            QFile::remove(path);
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
