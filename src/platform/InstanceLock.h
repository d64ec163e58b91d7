#pragma once

#include <QString>
#include <memory>

class QLockFile;

namespace lw {

// The single-instance rule: a lock file in the program's data folder, held while the program runs.
class InstanceLock
{
public:
    enum class Result {
        Taken,
        // Another running instance of this program holds it.
        HeldElsewhere,
        // The folder or the lock file cannot be written; failure() says why.
        Failed,
    };

    explicit InstanceLock(const QString& folder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Creates the folder when it is missing. A lock that no running instance holds (left by a
    // crash, damaged, from another machine, or naming a process that is some other program) is
    // taken over.
    Result take();
    // The reason of a failed take, in plain words.
    QString failure() const { return reason; }
    QString lockFilePath() const;

private:
    bool heldByRunningInstance() const;

    QString folder;
    std::unique_ptr<QLockFile> lock;
    QString reason;
};

} // namespace lw
