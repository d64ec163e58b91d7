#include "platform/SafeFileBatch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace lw {

namespace {

QString cannotWrite(const QString& path, const QString& reason)
{
    return QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), reason);
}

// Where a file goes: a link is followed to the file it names, which is replaced, as QSaveFile
// does.
QString targetOf(const QString& path)
{
    QFileInfo file(path);
    for (int depth = 0; depth < 128 && file.isSymLink(); ++depth)
        file.setFile(file.symLinkTarget());
    return file.isSymLink() ? path : file.filePath();
}

bool writeAll(int fd, const QByteArray& bytes)
{
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t step = ::write(fd, bytes.constData() + written, bytes.size() - written);
        if (step < 0 && errno == EINTR)
            continue;
        if (step <= 0) {
            if (step == 0)
                errno = ENOSPC;
            return false;
        }
        written += step;
    }
    return true;
}

} // namespace

SafeFileBatch::~SafeFileBatch()
{
    for (const File& file : files)
        ::unlink(file.temporary.constData());
}

bool SafeFileBatch::add(const QString& path, const QByteArray& bytes, QString* error)
{
    const QString target = targetOf(path);
    const QFileInfo info(target);
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    const QByteArray name = QFile::encodeName(info.fileName());
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = folder + "/." + name + '.' +
                    QByteArray::number(QRandomGenerator::global()->generate(), 36);
        // Made as a new file is, for the user's umask to say who may read it.
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        if (error)
            *error = cannotWrite(path, qt_error_string(errno));
        return false;
    }
    // A file replaced keeps who may read and change it.
    struct stat old
    {};
    if (::stat(QFile::encodeName(target).constData(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);
    const bool written = writeAll(fd, bytes);
    const int reason = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        ::unlink(temporary.constData());
        if (error)
            *error = cannotWrite(path, qt_error_string(written ? errno : reason));
        return false;
    }
    files.push_back({path, QFile::encodeName(target), temporary});
    return true;
}

QStringList SafeFileBatch::commit(QString* error)
{
    QStringList placed;
    if (files.empty())
        return placed;
    // One flush of every file written, then the names: a name never stands for a file the disk
    // holds only in part.
    std::set<QByteArray> folders;
    for (const File& file : files)
        folders.insert(QFile::encodeName(QFileInfo(QFile::decodeName(file.target)).absolutePath()));
    bool synced = true;
    int reason = 0;
    for (const QByteArray& folder : folders) {
        const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0 || ::syncfs(fd) != 0) {
            synced = false;
            reason = errno;
        }
        if (fd >= 0)
            ::close(fd);
    }
    std::size_t done = 0;
    if (synced) {
        for (; done < files.size(); ++done) {
            if (::rename(files[done].temporary.constData(), files[done].target.constData()) != 0) {
                reason = errno;
                break;
            }
            placed.append(files[done].path);
        }
    }
    if (done < files.size() && error)
        *error = cannotWrite(files[done].path, qt_error_string(reason));
    for (std::size_t i = done; i < files.size(); ++i)
        ::unlink(files[i].temporary.constData());
    // The names themselves made durable: one flush of each folder.
    for (const QByteArray& folder : folders) {
        const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }
    files.clear();
    return placed;
}

} // namespace lw
