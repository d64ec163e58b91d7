#include "platform/InstanceLock.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <filesystem>
#include <signal.h>

namespace lw {

namespace {

// The program a process runs, by the name of its executable; empty when it cannot be told.
QString programOf(qint64 pid)
{
    const QString proc = QStringLiteral("/proc/%1/").arg(pid);
    QString exe = QFile::symLinkTarget(proc + QStringLiteral("exe"));
    // A program replaced by an update while it runs.
    exe.remove(QLatin1String(" (deleted)"));
    if (!exe.isEmpty())
        return QFileInfo(exe).fileName();
    // Another user's process: its short name is still public.
    QFile comm(proc + QStringLiteral("comm"));
    if (!comm.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}

bool sameProgram(const QString& running, const QString& ours)
{
    if (running.isEmpty() || ours.isEmpty())
        return true; // cannot tell: take it for ours rather than run twice
    // The short name of a process is its program's name cut to 15 bytes.
    return running == ours || (running.size() == 15 && ours.startsWith(running));
}

// Why nothing can be written in the folder, as the system says it.
QString whyNotWritable(const QString& folder)
{
    QTemporaryFile probe(folder + QStringLiteral("/.write-test-XXXXXX"));
    if (!probe.open())
        return probe.errorString();
    const QByteArray some(512, 'x');
    if (probe.write(some) != some.size() || !probe.flush())
        return probe.errorString();
    return QStringLiteral("the lock file could not be written");
}

} // namespace

InstanceLock::InstanceLock(const QString& dataFolder) : folder(dataFolder) {}

InstanceLock::~InstanceLock() = default;

QString InstanceLock::lockFilePath() const
{
    return folder + QStringLiteral("/letterwright.lock");
}

InstanceLock::Result InstanceLock::take()
{
    std::error_code error;
    std::filesystem::create_directories(folder.toStdString(), error);
    if (error) {
        reason = QString::fromLocal8Bit(error.message());
        return Result::Failed;
    }
    lock = std::make_unique<QLockFile>(lockFilePath());
    // Age says nothing of a lock here: whether its process still runs does.
    lock->setStaleLockTime(0);
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (lock->tryLock(0))
            return Result::Taken;
        if (lock->error() != QLockFile::LockFailedError) {
            reason = whyNotWritable(folder);
            return Result::Failed;
        }
        if (heldByRunningInstance())
            return Result::HeldElsewhere;
        // Two starts at once must not both remove it: the second would remove the first's lock.
        QLockFile removing(lockFilePath() + QStringLiteral(".rmlock"));
        if (!removing.tryLock(0))
            continue;
        if (!heldByRunningInstance() && !lock->removeStaleLockFile() &&
            QFileInfo::exists(lockFilePath())) {
            reason = QStringLiteral("the lock file %1 is left from an earlier run and cannot be "
                                    "removed: %2")
                         .arg(lockFilePath(), whyNotWritable(folder));
            return Result::Failed;
        }
    }
    return Result::HeldElsewhere;
}

bool InstanceLock::heldByRunningInstance() const
{
    qint64 pid = 0;
    QString host;
    QString program;
    // Empty or garbage: no process can be named, nothing holds it.
    if (!lock->getLockInfo(&pid, &host, &program) || pid <= 0)
        return false;
    if (!host.isEmpty() && host != QSysInfo::machineHostName())
        return false;
    if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
        return false;
    return sameProgram(programOf(pid), programOf(QCoreApplication::applicationPid()));
}

} // namespace lw
