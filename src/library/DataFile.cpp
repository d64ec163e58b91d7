#include "library/DataFile.h"

#include "library/SqliteDatabase.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QUrl>

namespace lw::datafile {

QString dataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/letterwright");
}

QString dataFilePath()
{
    return dataFolder() + QStringLiteral("/lwx37.dat");
}

QString connectionString(const QString& dataFilePath)
{
    QUrl url = QUrl::fromLocalFile(dataFilePath);
    url.setScheme(QStringLiteral("file"));
    url.setQuery(QStringLiteral("mode=rw"));
    return url.toString(QUrl::FullyEncoded);
}

QByteArray readHeader(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(headerLength);
}

bool isReadableLibrary(const QString& connectionString, QString* error)
{
    SqliteDatabase db;
    const bool readable =
        db.open(connectionString) &&
        db.execute(QStringLiteral("select count(*) from Subject, Category, Letter where 0"));
    if (!readable && error)
        *error = db.lastError();
    return readable;
}

bool writeHeader(const QString& path, const QByteArray& header, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (file.size() < headerOffset + headerLength + 1) {
        if (error)
            *error = QStringLiteral("the file is too short to be a letter library");
        return false;
    }
    if (!file.seek(headerOffset) || file.write(header.left(headerLength)) != headerLength ||
        !file.flush()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    file.close();
    return true;
}

} // namespace lw::datafile
