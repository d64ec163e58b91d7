#pragma once

#include "platform/Services.h"

#include <functional>
#include <memory>

namespace lw {

// Shows how far a long copy has come.
class CopyProgress
{
public:
    virtual ~CopyProgress() = default;
    // Called with the bytes copied so far; returns false when the user cancelled the copy.
    virtual bool advance(qint64 copied) = 0;
};

using CopyProgressFactory = std::function<std::unique_ptr<CopyProgress>(
    QWidget* parent, const QString& from, const QString& to, qint64 size)>;

// A progress dialog with a Cancel button, shown once the copy takes longer than a moment.
std::unique_ptr<CopyProgress> showCopyProgress(QWidget* parent, const QString& from,
                                               const QString& to, qint64 size);

// Copy, rename and delete on the local file system, asking and reporting through lw::message()
// as a file manager does. Messages are titled by the operation: "Copy File", "Rename File",
// "Delete File". Questions are Yes/No without icon: replacing an existing file, moving a file to
// the trash. Failures are OK boxes with the critical icon that name the file and the reason.
//
// A copy is written beside its target under another name and renamed into place when complete,
// so that a failed or cancelled copy leaves no partial file and an existing target untouched. A
// failed rename leaves the source where it was. A relative target is taken in the source's
// folder; a copy onto an existing folder goes into it. Deleting moves to the freedesktop trash.
class FileShell : public ShellService
{
public:
    // Files larger than this show their progress while they are copied.
    static constexpr qint64 ProgressThreshold = 4 * 1024 * 1024;

    // Without a progress factory no progress is shown.
    explicit FileShell(CopyProgressFactory progress = {});

    bool copyFile(QWidget* parent, const QString& from, const QString& to) override;
    bool renameFile(QWidget* parent, const QString& from, const QString& to) override;
    bool deleteFile(QWidget* parent, const QString& path) override;

private:
    enum class Copied { Done, Cancelled, Failed };
    Copied writeCopy(QWidget* parent, const QString& from, const QString& to, QString& error);

    CopyProgressFactory progress;
};

} // namespace lw
