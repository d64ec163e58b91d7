#include "library/LibraryCheck.h"

#include "library/SqliteDatabase.h"

#include <QMetaObject>
#include <mutex>
#include <sqlite3.h>
#include <thread>

namespace lw {

namespace {

CheckResult failedCheck(const SqliteDatabase& db)
{
    CheckResult result;
    result.problem = db.lastError();
    switch (db.lastErrorCode()) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_FORMAT:
        // A page the engine cannot read is damage as much as one the check reports.
        result.verdict = CheckResult::Verdict::Damaged;
        break;
    default:
        result.verdict = CheckResult::Verdict::NotChecked;
        break;
    }
    return result;
}

} // namespace

CheckResult checkLibrary(SqliteDatabase& db)
{
    const std::optional<RowSet> rows = db.execute(QStringLiteral("pragma quick_check"));
    if (!rows)
        return failedCheck(db);
    QStringList problems;
    for (const Row& row : *rows)
        problems.append(row.value(0).toString());
    CheckResult result;
    if (problems == QStringList{QStringLiteral("ok")}) {
        result.verdict = CheckResult::Verdict::Sound;
    } else {
        result.verdict = CheckResult::Verdict::Damaged;
        // The first few are enough to tell what happened.
        result.problem = problems.mid(0, 3).join(u'\n');
    }
    return result;
}

CheckResult checkLibrary(const QString& connectionString)
{
    SqliteDatabase db;
    if (!db.open(connectionString))
        return failedCheck(db);
    return checkLibrary(db);
}

struct LibraryCheck::Run
{
    std::mutex mutex;
    SqliteDatabase db;
    bool stopped = false;
    std::thread thread;
};

LibraryCheck::LibraryCheck(QObject* parent) : QObject(parent)
{
    qRegisterMetaType<CheckResult>();
}

LibraryCheck::~LibraryCheck()
{
    stop();
}

void LibraryCheck::start(const QString& connectionString)
{
    stop();
    run = std::make_shared<Run>();
    // The thread ends before this object does: the destructor waits for it.
    run->thread = std::thread([this, state = run, connectionString] {
        CheckResult result;
        bool opened = false;
        {
            const std::lock_guard lock(state->mutex);
            if (state->stopped)
                return;
            opened = state->db.open(connectionString);
            if (!opened)
                result = failedCheck(state->db);
        }
        // Without the lock, so that stop() can interrupt the long read.
        if (opened)
            result = checkLibrary(state->db);
        {
            const std::lock_guard lock(state->mutex);
            state->db.close();
            if (state->stopped)
                return;
        }
        QMetaObject::invokeMethod(
            this,
            [this, state, result] {
                if (run == state && !state->stopped)
                    emit finished(result);
            },
            Qt::QueuedConnection);
    });
}

void LibraryCheck::stop()
{
    if (!run)
        return;
    {
        const std::lock_guard lock(run->mutex);
        run->stopped = true;
        run->db.interrupt();
    }
    if (run->thread.joinable())
        run->thread.join();
    run.reset();
}

} // namespace lw
