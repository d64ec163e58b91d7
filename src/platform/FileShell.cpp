#include "platform/FileShell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QSaveFile>
#include <QStandardPaths>
#include <filesystem>
#include <system_error>
#include <vector>

namespace lw {

namespace {

const QString CopyTitle = QStringLiteral("Copy File");
const QString RenameTitle = QStringLiteral("Rename File");
const QString DeleteTitle = QStringLiteral("Delete File");

constexpr qint64 ChunkSize = 1024 * 1024;
constexpr QFileDevice::Permissions OwnerOnly =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

bool fail(QWidget* parent, const QString& text, const QString& title)
{
    message(parent, text, title, MsgButtons::Ok, MsgIcon::Critical);
    return false;
}

bool confirmReplace(QWidget* parent, const QString& target, const QString& title)
{
    const QString text =
        QStringLiteral("The file '%1' already exists.\n\nDo you want to replace it?").arg(target);
    return message(parent, text, title, MsgButtons::YesNo) == MsgAnswer::Yes;
}

// A broken symbolic link is still there to be renamed or deleted.
bool present(const QFileInfo& info)
{
    return info.exists() || info.isSymLink();
}

// A relative target is a name in the source's folder, not in the program's working folder.
QString resolveTarget(const QFileInfo& source, const QString& to)
{
    if (QDir::isAbsolutePath(to))
        return to;
    return QDir::cleanPath(source.absoluteDir().filePath(to));
}

// Why no file can be put at `target`, or an empty text.
QString folderProblem(const QString& target)
{
    const QFileInfo folder(QFileInfo(target).absolutePath());
    if (!folder.exists())
        return QStringLiteral("the folder '%1' does not exist").arg(folder.filePath());
    if (!folder.isDir())
        return QStringLiteral("'%1' is not a folder").arg(folder.filePath());
    return {};
}

std::filesystem::path fsPath(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

class DialogProgress : public CopyProgress
{
public:
    DialogProgress(QWidget* parent, const QString& from, const QString& to, qint64 size)
        : dialog(QStringLiteral("Copying '%1' to '%2'...").arg(from, to), QStringLiteral("Cancel"),
                 0, Steps, parent),
          size(size)
    {
        dialog.setWindowTitle(CopyTitle);
        dialog.setWindowModality(Qt::WindowModal);
        dialog.setMinimumDuration(500);
    }

    bool advance(qint64 copied) override
    {
        // QProgressDialog counts in int: a file of several gigabytes is shown in steps.
        dialog.setValue(int(copied * Steps / size));
        return !dialog.wasCanceled();
    }

private:
    static constexpr int Steps = 1000;
    QProgressDialog dialog;
    qint64 size;
};

} // namespace

std::unique_ptr<CopyProgress> showCopyProgress(QWidget* parent, const QString& from,
                                               const QString& to, qint64 size)
{
    return std::make_unique<DialogProgress>(parent, from, to, size);
}

FileShell::FileShell(CopyProgressFactory progress) : progress(std::move(progress)) {}

bool FileShell::copyFile(QWidget* parent, const QString& from, const QString& to)
{
    if (from.isEmpty())
        return fail(parent, QStringLiteral("Cannot copy: no file was given."), CopyTitle);
    const QFileInfo source(from);
    if (!source.exists())
        return fail(parent, QStringLiteral("Cannot copy '%1': the file does not exist.").arg(from),
                    CopyTitle);
    if (source.isDir())
        return fail(parent,
                    QStringLiteral("Cannot copy '%1': it is a folder, and only files are copied.")
                        .arg(from),
                    CopyTitle);
    if (to.isEmpty())
        return fail(parent, QStringLiteral("Cannot copy '%1': no target was given.").arg(from),
                    CopyTitle);

    QString target = resolveTarget(source, to);
    if (QFileInfo(target).isDir())
        target = QDir(target).filePath(source.fileName());
    const QString problem = folderProblem(target);
    if (!problem.isEmpty())
        return fail(parent,
                    QStringLiteral("Cannot copy '%1' to '%2': %3.").arg(from, target, problem),
                    CopyTitle);
    const QFileInfo existing(target);
    if (existing.exists()) {
        if (existing.isDir())
            return fail(parent,
                        QStringLiteral("Cannot copy '%1' to '%2': a folder of that name exists.")
                            .arg(from, target),
                        CopyTitle);
        if (existing.canonicalFilePath() == source.canonicalFilePath())
            return fail(parent, QStringLiteral("Cannot copy '%1' onto itself.").arg(from),
                        CopyTitle);
        if (!confirmReplace(parent, target, CopyTitle))
            return false;
    }

    QString error;
    switch (writeCopy(parent, from, target, error)) {
    case Copied::Done:
        return true;
    case Copied::Cancelled:
        return false;
    case Copied::Failed:
        break;
    }
    return fail(parent, QStringLiteral("Cannot copy '%1' to '%2': %3.").arg(from, target, error),
                CopyTitle);
}

bool FileShell::renameFile(QWidget* parent, const QString& from, const QString& to)
{
    if (from.isEmpty())
        return fail(parent, QStringLiteral("Cannot rename: no file was given."), RenameTitle);
    const QFileInfo source(from);
    if (!present(source))
        return fail(parent, QStringLiteral("Cannot rename '%1': it does not exist.").arg(from),
                    RenameTitle);
    if (to.isEmpty())
        return fail(parent, QStringLiteral("Cannot rename '%1': no new name was given.").arg(from),
                    RenameTitle);

    const QString target = resolveTarget(source, to);
    const QString problem = folderProblem(target);
    if (!problem.isEmpty())
        return fail(parent,
                    QStringLiteral("Cannot rename '%1' to '%2': %3.").arg(from, target, problem),
                    RenameTitle);
    const QFileInfo existing(target);
    if (existing.absoluteFilePath() == source.absoluteFilePath())
        return true;
    if (present(existing)) {
        if (existing.isDir() || source.isDir())
            return fail(parent,
                        QStringLiteral("Cannot rename '%1' to '%2': '%2' already exists.")
                            .arg(from, target),
                        RenameTitle);
        if (!confirmReplace(parent, target, RenameTitle))
            return false;
    }

    std::error_code code;
    std::filesystem::rename(fsPath(from), fsPath(target), code);
    if (!code)
        return true;
    QString error = QString::fromLocal8Bit(code.message());
    if (code == std::errc::cross_device_link && source.isFile()) {
        // Another file system: copy into place, then remove the source.
        switch (writeCopy(parent, from, target, error)) {
        case Copied::Done: {
            QFile original(from);
            if (original.remove())
                return true;
            return fail(parent,
                        QStringLiteral("'%1' was copied to '%2' but cannot be removed: %3.")
                            .arg(from, target, original.errorString()),
                        RenameTitle);
        }
        case Copied::Cancelled:
            return false;
        case Copied::Failed:
            break;
        }
    }
    return fail(parent, QStringLiteral("Cannot rename '%1' to '%2': %3.").arg(from, target, error),
                RenameTitle);
}

bool FileShell::deleteFile(QWidget* parent, const QString& path)
{
    if (path.isEmpty())
        return fail(parent, QStringLiteral("Cannot delete: no file was given."), DeleteTitle);
    if (!present(QFileInfo(path)))
        return fail(parent, QStringLiteral("Cannot delete '%1': it does not exist.").arg(path),
                    DeleteTitle);
    const QString question =
        QStringLiteral("Are you sure you want to move '%1' to the trash?").arg(path);
    if (message(parent, question, DeleteTitle, MsgButtons::YesNo) != MsgAnswer::Yes)
        return false;
    // Qt does not make the home trash's parent folder, and without a trash it moves the file
    // into the working folder: the home trash is made here, as whoever trashes a file must.
    const QDir dataHome(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    const QString trash = dataHome.filePath(QStringLiteral("Trash"));
    if (!QFileInfo(trash).isDir() &&
        !(QDir().mkpath(dataHome.path()) && dataHome.mkdir(QStringLiteral("Trash"), OwnerOnly)))
        return fail(parent,
                    QStringLiteral("Cannot move '%1' to the trash: the trash folder '%2' cannot "
                                   "be made.")
                        .arg(path, trash),
                    DeleteTitle);
    QFile file(path);
    if (!file.moveToTrash())
        return fail(
            parent,
            QStringLiteral("Cannot move '%1' to the trash: %2.").arg(path, file.errorString()),
            DeleteTitle);
    return true;
}

FileShell::Copied FileShell::writeCopy(QWidget* parent, const QString& from, const QString& to,
                                       QString& error)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly)) {
        error = in.errorString();
        return Copied::Failed;
    }
    // Written aside and renamed over the target at the end; dropped unless committed.
    QSaveFile out(to);
    if (!out.open(QIODevice::WriteOnly)) {
        error = out.errorString();
        return Copied::Failed;
    }
    const qint64 size = in.size();
    std::unique_ptr<CopyProgress> shown;
    if (progress && size > ProgressThreshold)
        shown = progress(parent, from, to, size);

    std::vector<char> buffer(ChunkSize);
    qint64 copied = 0;
    for (;;) {
        const qint64 read = in.read(buffer.data(), ChunkSize);
        if (read < 0) {
            error = in.errorString();
            return Copied::Failed;
        }
        if (read == 0)
            break;
        if (out.write(buffer.data(), read) != read) {
            error = out.errorString();
            return Copied::Failed;
        }
        copied += read;
        if (shown && !shown->advance(copied))
            return Copied::Cancelled;
    }
    // A copy keeps the source's time of change and permissions, as file managers do.
    out.flush();
    out.setFileTime(QFileInfo(from).lastModified(), QFileDevice::FileModificationTime);
    if (!out.commit()) {
        error = out.errorString();
        return Copied::Failed;
    }
    QFile::setPermissions(to, in.permissions());
    return Copied::Done;
}

} // namespace lw
