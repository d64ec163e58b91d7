// Building a library of 100,000 letters from its text sources with letterwright-library, against
// the sqlite3 shell inserting the same rows from one SQL script; and the builder's peak memory at
// 100,000 letters against 10,000. Both libraries are first compared row by row.

#include "BenchSupport.h"
#include "library/LibraryFile.h"
#include "library/SqliteDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace lw;

extern char** environ;

namespace {

constexpr int rounds = 3;

struct Run
{
    double ms = 0;
    double peakMb = 0;
};

// Runs a program to its end, stdin from `input` when given; its time and peak memory.
Run run(const QStringList& arguments, const QString& input = {})
{
    QList<QByteArray> bytes;
    for (const QString& argument : arguments)
        bytes.append(QFile::encodeName(argument));
    std::vector<char*> argv;
    for (QByteArray& argument : bytes)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray inputName = QFile::encodeName(input);
    if (!input.isEmpty())
        posix_spawn_file_actions_addopen(&actions, 0, inputName.constData(), O_RDONLY, 0);
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        std::exit(2);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    // The time on the wall clock, unlike the other benchmarks: the builder reads its files on a
    // second thread, whose processor time would count twice.
    const double ms = timer.nsecsElapsed() / 1e6;
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", argv[0]);
        std::exit(2);
    }
    return {ms, usage.ru_maxrss / 1024.0};
}

QString sqlText(const QString& text)
{
    QString quoted = text;
    return u'\'' + quoted.replace(u'\'', QStringLiteral("''")) + u'\'';
}

// A source folder of `count` letters, and the SQL script that makes the same rows.
void writeSource(const QString& folder, const QString& script, int count)
{
    QDir().mkpath(folder + QStringLiteral("/letters"));
    const QStringList subjects = {"Business", "Complaints",  "Credit", "Employment", "Finance",
                                  "Goodwill", "Invitations", "Legal",  "Personal",   "Sales"};
    const QStringList categories = {"Requests", "Replies", "Reminders", "Apologies", "Thanks",
                                    "Refusals", "Offers",  "Inquiries", "Notices",   "Références"};
    QString catalogue;
    QString sql = QStringLiteral(
        "pragma journal_mode=delete;\nbegin;\n"
        "create table Subject (name text collate nocase not null);\n"
        "create table Category (name text collate nocase not null, Subject text collate nocase "
        "not null);\n"
        "create table Letter (ID integer primary key autoincrement, Description text collate "
        "nocase not null unique, Subject text collate nocase, Category text collate nocase, "
        "Content text, File text collate nocase, Favorite integer not null default 0);\n");
    for (const QString& subject : subjects) {
        catalogue += subject + u'\n';
        sql += QStringLiteral("insert into Subject (name) values (%1);\n").arg(sqlText(subject));
        for (const QString& category : categories) {
            catalogue += QStringLiteral("    ") + category + u'\n';
            sql += QStringLiteral("insert into Category (name, Subject) values (%1, %2);\n")
                       .arg(sqlText(category), sqlText(subject));
        }
    }
    {
        QFile file(folder + QStringLiteral("/catalogue.txt"));
        file.open(QIODevice::WriteOnly);
        file.write(catalogue.toUtf8());
    }
    QFile scriptFile(script);
    scriptFile.open(QIODevice::WriteOnly);
    scriptFile.write(sql.toUtf8());
    const QString body = bench::letterText(1200);
    for (int i = 0; i < count; ++i) {
        const QString title = QStringLiteral("Letter %1 about the order of %2")
                                  .arg(i)
                                  .arg(i % 3 ? QStringLiteral("chairs") : QStringLiteral("Stühle"));
        const QString subject = subjects.at(i % subjects.size());
        const QString category = categories.at(i / subjects.size() % categories.size());
        // Some letters have a file of their own in the letter folder, which the builder writes.
        const QString file = i % 100 == 0 ? QStringLiteral("letter-%1.txt").arg(i) : QString();
        const int favorite = i % 50 == 0 ? 1 : 0;
        QString text =
            QStringLiteral("Title: %1\nSubject: %2\nCategory: %3\n").arg(title, subject, category);
        if (!file.isEmpty())
            text += QStringLiteral("File: %1\n").arg(file);
        if (favorite)
            text += QStringLiteral("Favorite: yes\n");
        text += u'\n' + body + u'\n';
        QFile letter(folder + QStringLiteral("/letters/%1/%2.txt")
                                  .arg(i / 1000, 3, 10, QLatin1Char('0'))
                                  .arg(i, 6, 10, QLatin1Char('0')));
        QDir().mkpath(QFileInfo(letter).path());
        letter.open(QIODevice::WriteOnly);
        letter.write(text.toUtf8());
        scriptFile.write(QStringLiteral("insert into Letter (ID, Description, Subject, Category, "
                                        "Content, File, Favorite) values (null, %1, %2, %3, %4, "
                                        "%5, %6);\n")
                             .arg(sqlText(title), sqlText(subject), sqlText(category),
                                  sqlText(body), sqlText(file))
                             .arg(favorite)
                             .toUtf8());
    }
    scriptFile.write("create index LetterByCategory on Letter (Subject, Category, Description);\n"
                     "create index LetterByFavorite on Letter (Favorite, Description);\n"
                     "commit;\n");
}

// Every letter row, in ID order. The letters come in the order of their file names, which the
// generated names follow.
QByteArray rows(const QString& path, bool marked)
{
    QString error;
    if (marked) {
        const auto contents = readLibraryFile(path, &error);
        if (!contents)
            std::exit(2);
        QByteArray all;
        for (const LetterRecord& letter : contents->letters)
            all +=
                QStringLiteral("%1|%2|%3|%4|%5|%6|%7\n")
                    .arg(letter.id)
                    .arg(letter.title, letter.subject, letter.category, letter.content, letter.file)
                    .arg(letter.favorite)
                    .toUtf8();
        return all;
    }
    SqliteDatabase db;
    db.open(path);
    const auto letters = db.execute(
        QStringLiteral("select ID, Description, Subject, Category, Content, File, Favorite from "
                       "Letter order by ID"));
    QByteArray all;
    for (const Row& row : *letters)
        all += QStringLiteral("%1|%2|%3|%4|%5|%6|%7\n")
                   .arg(row.value(0).toLongLong())
                   .arg(row.value(1).toString(), row.value(2).toString(), row.value(3).toString(),
                        row.value(4).toString(), row.value(5).toString())
                   .arg(row.value(6).toLongLong())
                   .toUtf8();
    return all;
}

struct Measured
{
    Run builder;
    Run shell;
};

Measured measure(const QTemporaryDir& dir, int count, bool compare)
{
    const QString source = dir.filePath(QStringLiteral("source-%1").arg(count));
    const QString script = dir.filePath(QStringLiteral("script-%1.sql").arg(count));
    writeSource(source, script, count);
    const QString builder =
        QCoreApplication::applicationDirPath() + QStringLiteral("/letterwright-library");
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (shell.isEmpty()) {
        std::fprintf(stderr, "the sqlite3 shell is not installed\n");
        std::exit(2);
    }
    const QString built = dir.filePath(QStringLiteral("built.dat"));
    const QString letters = dir.filePath(QStringLiteral("letter"));
    const QString shellBuilt = dir.filePath(QStringLiteral("shell.dat"));
    Measured best{{1e18, 0}, {1e18, 0}};
    for (int round = 0; round < rounds; ++round) {
        QFile::remove(built);
        QFile::remove(shellBuilt);
        const Run ours = run({builder, QStringLiteral("build"), source, built, letters});
        const Run theirs = run({shell, QStringLiteral("-bail"), shellBuilt}, script);
        if (ours.ms < best.builder.ms)
            best.builder = ours;
        if (theirs.ms < best.shell.ms)
            best.shell = theirs;
        best.builder.peakMb = std::max(best.builder.peakMb, ours.peakMb);
    }
    if (compare)
        bench::requireSame("library build", rows(built, true), rows(shellBuilt, false));
    QDir(source).removeRecursively();
    QFile::remove(script);
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const Measured small = measure(dir, 10000, false);
    const Measured large = measure(dir, 100000, true);
    bool pass =
        bench::ratioRow(QStringLiteral("Building a library of 100,000 letters"), large.builder.ms,
                        large.shell.ms, 1.5, QStringLiteral("sqlite3 shell"));
    const double growth = large.builder.peakMb / small.builder.peakMb;
    pass &= bench::row(QStringLiteral("Builder's peak memory, 100,000 letters against 10,000"),
                       bench::megabytes(large.builder.peakMb),
                       QStringLiteral("10,000: %1").arg(bench::megabytes(small.builder.peakMb)),
                       growth, QStringLiteral("<= 1.25x (flat)"), growth <= 1.25);
    return pass ? 0 : 1;
}
