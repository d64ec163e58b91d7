#include "library/LibraryConnection.h"

#include "library/modMain.h"
#include "platform/Services.h"

#include <QFileInfo>

namespace lw {

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
    message(parent,
            QStringLiteral("The letter library could not be used:\n%1\n\nNothing was changed.")
                .arg(connection.lastError()),
            QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);
}

} // namespace lw
