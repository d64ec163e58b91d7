#include "platform/RegularFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lw {

namespace {

bool failWith(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("It is a folder, not a file");
    if (S_ISFIFO(mode))
        return QStringLiteral("It is a named pipe (FIFO), not a file");
    if (S_ISSOCK(mode))
        return QStringLiteral("It is a socket, not a file");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("It is a device, not a file");
    return QStringLiteral("It is not a regular file");
}

} // namespace

bool openRegularFile(QFile& file, QString* error)
{
    const QByteArray path = QFile::encodeName(file.fileName());
    // A socket cannot be opened at all: tell what it is rather than open()'s "No such device".
    struct stat entry = {};
    if (::stat(path.constData(), &entry) == 0 && !S_ISREG(entry.st_mode))
        return failWith(error, kindOf(entry.st_mode));
    // O_NONBLOCK: opening a FIFO without a writer, or a device, returns at once instead of waiting.
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return failWith(error, QString::fromLocal8Bit(std::strerror(errno)));
    struct stat info = {};
    if (::fstat(fd, &info) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        return failWith(error, reason);
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return failWith(error, kindOf(info.st_mode));
    }
    // A regular file: reads block as they always do.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags == -1 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        return failWith(error, reason);
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return failWith(error, file.errorString());
    return true;
}

} // namespace lw
