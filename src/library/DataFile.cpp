#include "library/DataFile.h"

#include "library/SqliteDatabase.h"
#include "platform/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QUrl>

#include <sys/stat.h>

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

bool isReadableLibrary(const QString& connectionString, QString* error, int* code)
{
    SqliteDatabase db;
    const bool readable =
        db.open(connectionString) &&
        db.execute(QStringLiteral("select count(*) from Subject, Category, Letter where 0"));
    if (!readable && error)
        *error = db.lastError();
    if (!readable && code)
        *code = db.lastErrorCode();
    return readable;
}

std::optional<FileIdentity> identityOf(const QString& path)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return FileIdentity{quint64(info.st_dev), quint64(info.st_ino)};
}

namespace {

// SQLite's header: the signature's last byte, then the page size at offset 16, big-endian, where
// 1 stands for 65536.
constexpr int databaseHeaderLength = 18;

QByteArray readStart(const QString& path, qint64* size)
{
    QFile file(path);
    if (!openRegularFile(file))
        return {};
    *size = file.size();
    return file.read(databaseHeaderLength);
}

} // namespace

HeaderState headerState(const QString& path)
{
    qint64 size = 0;
    const QByteArray start = readStart(path, &size);
    if (start.isNull())
        return HeaderState::Unreadable;
    if (size < headerOffset + headerLength + 1)
        return HeaderState::TooShort;
    const QByteArray header = start.mid(headerOffset, headerLength);
    if (header == programMarker)
        return HeaderState::Marked;
    if (header == engineSignature)
        return HeaderState::Restored;
    return HeaderState::Foreign;
}

bool looksLikeDatabase(const QString& path)
{
    qint64 size = 0;
    const QByteArray start = readStart(path, &size);
    if (start.size() < databaseHeaderLength || start.at(15) != '\0')
        return false;
    const int field = (quint8(start.at(16)) << 8) | quint8(start.at(17));
    const qint64 pageSize = field == 1 ? 65536 : field;
    const bool powerOfTwo = pageSize >= 512 && (pageSize & (pageSize - 1)) == 0;
    return powerOfTwo && size >= pageSize && size % pageSize == 0;
}

MarkResult writeMarkerIfOurs(const QString& path, const std::optional<FileIdentity>& opened,
                             QString* error)
{
    const HeaderState state = headerState(path);
    if (state == HeaderState::Marked)
        return MarkResult::AlreadyMarked;
    if (state != HeaderState::Restored || !opened || identityOf(path) != opened ||
        !looksLikeDatabase(path))
        return MarkResult::NotOurs;
    return writeMarker(path, error) ? MarkResult::Written : MarkResult::Failed;
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
