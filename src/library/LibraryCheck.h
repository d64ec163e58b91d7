#pragma once

#include <QObject>
#include <QString>
#include <memory>

namespace lw {

class SqliteDatabase;

// SQLite's quick_check of the whole library: it reads every page, which finds the damage that
// opening the file and reading its schema cannot see.
struct CheckResult
{
    enum class Verdict {
        Sound,
        Damaged,
        // The check could not run to its end (the library was busy, the check was stopped).
        NotChecked,
    };
    Verdict verdict = Verdict::NotChecked;
    // What SQLite found, or why the check did not run; empty when sound.
    QString problem;
};
CheckResult checkLibrary(const QString& connectionString);
// The check on a connection already open.
CheckResult checkLibrary(SqliteDatabase& db);

// Runs checkLibrary on a connection and a thread of its own: on a large library it takes a
// second or more, which the window does not wait for.
class LibraryCheck : public QObject
{
    Q_OBJECT
public:
    explicit LibraryCheck(QObject* parent = nullptr);
    // Stops a check still running and waits for its thread.
    ~LibraryCheck() override;

    void start(const QString& connectionString);
    // Interrupts a running check and waits for its thread; no result is reported.
    void stop();

signals:
    // On the thread the check was started from.
    void finished(const lw::CheckResult& result);

private:
    struct Run;
    std::shared_ptr<Run> run;
};

} // namespace lw
