#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace lw {

// Many files, each put in place whole or not at all as writeFileSafely does, with one flush to
// the disk for all of them rather than one for each: ten thousand small files would otherwise
// wait for the disk ten thousand times. Each file is written under a temporary name beside its
// place; commit() makes the disk hold every one of them, then gives each its name.
class SafeFileBatch
{
public:
    SafeFileBatch() = default;
    // Removes the files added and not committed.
    ~SafeFileBatch();
    SafeFileBatch(const SafeFileBatch&) = delete;
    SafeFileBatch& operator=(const SafeFileBatch&) = delete;

    // Writes `bytes` for `path`; false with `error` ("Cannot write PATH: reason") when it cannot,
    // leaving nothing of it on disk.
    bool add(const QString& path, const QByteArray& bytes, QString* error = nullptr);
    int pending() const { return int(files.size()); }
    // Puts every file added in its place, durably. On failure, `error` names the file; the files
    // before it are in place, those after it removed. The paths put in place, in order.
    QStringList commit(QString* error = nullptr);

private:
    struct File
    {
        QString path;      // as the caller named it
        QByteArray target; // where it goes: a link followed to its file
        QByteArray temporary;
    };
    std::vector<File> files;
};

} // namespace lw
