#include "platform/SafeFile.h"

#include <QDir>
#include <QSaveFile>

namespace lw {

namespace {

// A write that stops short (a full disk, a file size limit) reports no error of its own; writing
// the rest then fails with the reason.
bool writeAll(QSaveFile& file, const QByteArray& bytes)
{
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 step = file.write(bytes.constData() + written, bytes.size() - written);
        if (step <= 0)
            return false;
        written += step;
    }
    return true;
}

} // namespace

bool writeFileSafely(const QString& path, const QByteArray& bytes, QString* error, FileWrite mode)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(mode == FileWrite::AtomicElseInPlace);
    // Unbuffered: a buffered write that the disk cuts short is committed as if whole.
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && writeAll(file, bytes) &&
        file.commit())
        return true;
    if (error)
        *error = QStringLiteral("Cannot write %1: %2")
                     .arg(QDir::toNativeSeparators(path), file.errorString());
    return false;
}

} // namespace lw
