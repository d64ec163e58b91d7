#include "library/LibraryConnection.h"

#include "library/DataFile.h"
#include "library/modMain.h"
#include "platform/Services.h"

#include <QFileInfo>
#include <sqlite3.h>

namespace lw {

namespace {

QString plainReason(int code, const QString& engineText)
{
    switch (code) {
    case SQLITE_FULL:
        return QStringLiteral("the disk is full");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("another program is using the letter library");
    case SQLITE_READONLY:
        return QStringLiteral("the letter library may be read but not changed");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("the letter library is damaged");
    case SQLITE_CANTOPEN:
        return QStringLiteral("the letter library cannot be opened");
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return QStringLiteral("permission is denied");
    case SQLITE_IOERR:
        return QStringLiteral("the disk could not be read or written");
    case SQLITE_NOMEM:
        return QStringLiteral("the computer is out of memory");
    case SQLITE_CONSTRAINT:
        return QStringLiteral("the letter library refused the change");
    default:
        break;
    }
    if (engineText.startsWith(QLatin1String("no such table")) ||
        engineText.startsWith(QLatin1String("no such column")))
        return QStringLiteral("the file is not a letter library that Letterwright can read");
    return QStringLiteral("the letter library reported an error");
}

QString advice(int code)
{
    switch (code) {
    case SQLITE_FULL:
        return QStringLiteral("Make room on the disk, then try again.");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("Close the other program, then try again.");
    default:
        return QString();
    }
}

} // namespace

QString engineFailureText(const QString& whatFailed, int sqliteCode, const QString& engineText)
{
    QString text = whatFailed + QStringLiteral(": ") + plainReason(sqliteCode, engineText) + u'.';
    if (const QString next = advice(sqliteCode); !next.isEmpty())
        text += u' ' + next;
    return text + QStringLiteral("\n\nDetails: ") + engineText;
}

void takeUpReplacedDataFile()
{
    ModMain& state = modMain();
    const std::optional<datafile::FileIdentity> identity = datafile::identityOf(state.DataFilePath);
    if (!identity)
        return;
    switch (datafile::headerState(state.DataFilePath)) {
    case datafile::HeaderState::Restored:
        if (identity == state.DataFileIdentity || !datafile::looksLikeDatabase(state.DataFilePath))
            return;
        break;
    case datafile::HeaderState::Marked:
        // A backup made while the program was not running.
        if (!datafile::looksLikeDatabase(state.DataFilePath) ||
            !datafile::restoreSignature(state.DataFilePath, nullptr))
            return;
        break;
    default:
        return;
    }
    state.DataFileIdentity = identity;
}

void reportMissingDataFile(QWidget* parent, const std::function<void()>& beforeEnd)
{
    message(parent,
            QStringLiteral("One or more files of this program is damaged.  Please reinstall it."),
            QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);
    if (beforeEnd)
        beforeEnd();
    services().application->terminate(1);
}

LibraryConnection::LibraryConnection(QWidget* messageParent) : parent(messageParent) {}

bool LibraryConnection::OpenDatabase()
{
    if (services().application->terminated() || ending)
        return false;
    if (!QFileInfo(modMain().DataFilePath).isFile()) {
        ending = true;
        reportMissingDataFile(parent, beforeEnd);
        return false;
    }
    takeUpReplacedDataFile();
    if (!connection.open(modMain().ConnectionString)) {
        reportEngineError();
        return false;
    }
    return true;
}

std::optional<RowSet> LibraryConnection::Execute(const QString& statement)
{
    SqlText = statement;
    auto rows = connection.execute(SqlText);
    if (!rows) {
        Close();
        reportEngineError();
        return std::nullopt;
    }
    LibRecordset = *rows;
    return rows;
}

void LibraryConnection::Close()
{
    connection.close();
}

void LibraryConnection::reportEngineError()
{
    const QString what = failureTitle.isEmpty()
                             ? QStringLiteral("The letter library could not be used")
                             : failureTitle;
    message(parent, engineFailureText(what, connection.lastErrorCode(), connection.lastError()),
            QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);
}

} // namespace lw
