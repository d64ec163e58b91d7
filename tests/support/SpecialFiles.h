#pragma once

#include <QDir>
#include <QFile>
#include <QString>

#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace lw::test {

// Puts an entry that is no regular file into `folder` and returns its path, empty when it cannot
// be made: "fifo" (a named pipe nobody writes to), "socket" (a Unix socket nobody listens on),
// "device" (/dev/null, which never runs dry of nothing) or "folder".
inline QString makeSpecialFile(const QString& kind, const QString& folder)
{
    // A name of its own each time, so that one folder can hold many.
    static int made = 0;
    const QString entry = QStringLiteral("%1-%2.txt").arg(kind).arg(++made);
    const QString path = QDir(folder).filePath(entry);
    const QByteArray name = QFile::encodeName(path);
    if (kind == QLatin1String("fifo"))
        return ::mkfifo(name.constData(), 0600) == 0 ? path : QString();
    if (kind == QLatin1String("socket")) {
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        if (name.size() >= qsizetype(sizeof address.sun_path))
            return QString();
        std::memcpy(address.sun_path, name.constData(), name.size());
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (fd < 0)
            return QString();
        const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(fd); // the socket's entry stays in the folder
        return bound ? path : QString();
    }
    if (kind == QLatin1String("device"))
        return QStringLiteral("/dev/null");
    if (kind == QLatin1String("folder"))
        return QDir(folder).mkdir(entry) ? path : QString();
    return QString();
}

// The reason the program gives for each kind.
inline QString specialFileReason(const QString& kind)
{
    if (kind == QLatin1String("fifo"))
        return QStringLiteral("It is a named pipe (FIFO), not a file");
    if (kind == QLatin1String("socket"))
        return QStringLiteral("It is a socket, not a file");
    if (kind == QLatin1String("device"))
        return QStringLiteral("It is a device, not a file");
    return QStringLiteral("It is a folder, not a file");
}

} // namespace lw::test
