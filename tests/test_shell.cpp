#include "FakeServices.h"
#include "platform/FileShell.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cerrno>
#include <limits>
#include <memory>
#include <unistd.h>

using namespace lw;
using lw::test::FakePlatform;

namespace {

const QString CopyTitle = QStringLiteral("Copy File");
const QString RenameTitle = QStringLiteral("Rename File");
const QString DeleteTitle = QStringLiteral("Delete File");

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

// Every entry under `folder`, hidden ones included, with the content of each file.
QStringList listing(const QString& folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        entries << path + u'=' + (info.isDir() ? QStringLiteral("<folder>") : readFile(path));
    }
    entries.sort();
    return entries;
}

// a.txt holding "alpha", b.txt holding "beta" and an empty folder.
void prepare(const QTemporaryDir& dir)
{
    writeFile(dir.filePath(QStringLiteral("a.txt")), "alpha");
    writeFile(dir.filePath(QStringLiteral("b.txt")), "beta");
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
}

// Rows name paths in the test's folder as "@/name".
QString inDir(const QTemporaryDir& dir, QString text)
{
    return text.replace(u'@', dir.path());
}

QByteArray pattern(qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = char(i * 31 % 251);
    return bytes;
}

class RecordedProgress : public CopyProgress
{
public:
    RecordedProgress(QList<qint64>& steps, qint64 cancelAfter)
        : steps(steps), cancelAfter(cancelAfter)
    {}
    bool advance(qint64 copied) override
    {
        steps << copied;
        return copied < cancelAfter;
    }

private:
    QList<qint64>& steps;
    qint64 cancelAfter;
};

struct ProgressRecord
{
    int shown = 0;
    qint64 size = 0;
    QList<qint64> steps;
    qint64 cancelAfter = std::numeric_limits<qint64>::max();

    CopyProgressFactory factory()
    {
        return [this](QWidget*, const QString&, const QString&, qint64 total) {
            ++shown;
            size = total;
            return std::make_unique<RecordedProgress>(steps, cancelAfter);
        };
    }
};

} // namespace

Q_DECLARE_METATYPE(lw::MsgAnswer)

class ShellTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void copy_data();
    void copy();
    void copyKeepsTimeAndPermissions();
    void copyOntoExisting_data();
    void copyOntoExisting();
    void copyFailures_data();
    void copyFailures();
    void copyReadError();
    void withoutPermission_data();
    void withoutPermission();
    void copyProgress_data();
    void copyProgress();
    void cancelledCopy_data();
    void cancelledCopy();
    void copyProgressDialog();

    void rename_data();
    void rename();
    void renameOntoExisting_data();
    void renameOntoExisting();
    void renameFailures_data();
    void renameFailures();
    void renameToItself();
    void renameAcrossFileSystems();

    void deleteToTrash_data();
    void deleteToTrash();
    void deleteWithoutTrash();
    void deleteDeclined();
    void deleteFailures_data();
    void deleteFailures();

private:
    std::unique_ptr<QTemporaryDir> home;
    QByteArray previousHome;
    QByteArray previousDataHome;
};

void ShellTest::initTestCase()
{
    // The trash of the home folder is used for files on the home's file system: both the home
    // and the data home go into a temporary folder beside the test's files.
    home = std::make_unique<QTemporaryDir>();
    QVERIFY(home->isValid());
    previousHome = qgetenv("HOME");
    previousDataHome = qgetenv("XDG_DATA_HOME");
    qputenv("HOME", home->path().toUtf8());
    qputenv("XDG_DATA_HOME", home->filePath(QStringLiteral("data")).toUtf8());
}

void ShellTest::cleanupTestCase()
{
    qputenv("HOME", previousHome);
    if (previousDataHome.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", previousDataHome);
    home.reset();
}

void ShellTest::copy_data()
{
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("copied");
    QTest::newRow("nominal: a full path") << "@/c.txt"
                                          << "@/c.txt";
    QTest::newRow("nominal: a bare name stays in the source's folder") << "c.txt"
                                                                       << "@/c.txt";
    QTest::newRow("nominal: a relative path from the source's folder") << "folder/c.txt"
                                                                       << "@/folder/c.txt";
    QTest::newRow("nominal: an existing folder takes the file") << "@/folder"
                                                                << "@/folder/a.txt";
}

void ShellTest::copy()
{
    QFETCH(QString, to);
    QFETCH(QString, copied);
    FakePlatform platform;
    QTemporaryDir dir;
    prepare(dir);
    const QString source = dir.filePath(QStringLiteral("a.txt"));

    QVERIFY(services().shell->copyFile(nullptr, source, inDir(dir, to)));

    QCOMPARE(readFile(inDir(dir, copied)), QByteArray("alpha"));
    QCOMPARE(readFile(source), QByteArray("alpha"));
    QCOMPARE(listing(dir.path()).size(), 4);
}

void ShellTest::copyKeepsTimeAndPermissions()
{
    FakePlatform platform;
    QTemporaryDir dir;
    prepare(dir);
    const QString source = dir.filePath(QStringLiteral("a.txt"));
    const QString target = dir.filePath(QStringLiteral("c.txt"));
    const QDateTime changed = QDateTime::currentDateTime().addDays(-3);
    {
        QFile file(source);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(changed, QFileDevice::FileModificationTime));
    }
    const QFileDevice::Permissions permissions =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    QVERIFY(QFile::setPermissions(source, permissions));

    QVERIFY(services().shell->copyFile(nullptr, source, target));

    QCOMPARE(QFileInfo(target).lastModified().toSecsSinceEpoch(), changed.toSecsSinceEpoch());
    // Owner, group and others; the "user" flags depend on who runs the test.
    QCOMPARE(QFileInfo(target).permissions() & 0x7077, permissions);
}

void ShellTest::copyOntoExisting_data()
{
    QTest::addColumn<MsgAnswer>("answer");
    QTest::addColumn<bool>("done");
    QTest::addColumn<QByteArray>("target");
    QTest::newRow("nominal: Yes replaces the file")
        << MsgAnswer::Yes << true << QByteArray("alpha");
    QTest::newRow("nominal: No leaves it unchanged")
        << MsgAnswer::No << false << QByteArray("beta");
}

void ShellTest::copyOntoExisting()
{
    QFETCH(MsgAnswer, answer);
    QFETCH(bool, done);
    QFETCH(QByteArray, target);
    FakePlatform platform;
    QTemporaryDir dir;
    prepare(dir);
    const QString to = dir.filePath(QStringLiteral("b.txt"));
    platform.messages.expect(
        QStringLiteral("The file '%1' already exists.\n\nDo you want to replace it?").arg(to),
        CopyTitle, MsgButtons::YesNo, MsgIcon::None, answer);

    QCOMPARE(services().shell->copyFile(nullptr, dir.filePath(QStringLiteral("a.txt")), to), done);

    QCOMPARE(readFile(to), target);
    QCOMPARE(readFile(dir.filePath(QStringLiteral("a.txt"))), QByteArray("alpha"));
    QCOMPARE(listing(dir.path()).size(), 3);
}

void ShellTest::copyFailures_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("text");
    QTest::newRow("robustness: no source") << ""
                                           << "@/c.txt"
                                           << "Cannot copy: no file was given.";
    QTest::newRow("robustness: a missing source")
        << "@/none.txt"
        << "@/c.txt"
        << "Cannot copy '@/none.txt': the file does not exist.";
    QTest::newRow("robustness: no target") << "@/a.txt"
                                           << ""
                                           << "Cannot copy '@/a.txt': no target was given.";
    QTest::newRow("robustness: a folder that does not exist")
        << "@/a.txt"
        << "@/missing/c.txt"
        << "Cannot copy '@/a.txt' to '@/missing/c.txt': the folder '@/missing' does not exist.";
    QTest::newRow("robustness: a target inside a file")
        << "@/a.txt"
        << "@/b.txt/c.txt"
        << "Cannot copy '@/a.txt' to '@/b.txt/c.txt': '@/b.txt' is not a folder.";
    QTest::newRow("robustness: a folder as source")
        << "@/folder"
        << "@/copy"
        << "Cannot copy '@/folder': it is a folder, and only files are copied.";
    QTest::newRow("robustness: onto itself") << "@/a.txt"
                                             << "@/a.txt"
                                             << "Cannot copy '@/a.txt' onto itself.";
    QTest::newRow("robustness: onto itself by its bare name")
        << "@/a.txt"
        << "a.txt"
        << "Cannot copy '@/a.txt' onto itself.";
}

void ShellTest::copyFailures()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, text);
    FakePlatform platform;
    QTemporaryDir dir;
    prepare(dir);
    const QStringList before = listing(dir.path());
    platform.messages.expect(inDir(dir, text), CopyTitle, MsgButtons::Ok, MsgIcon::Critical);

    QVERIFY(!services().shell->copyFile(nullptr, inDir(dir, from), inDir(dir, to)));

    QCOMPARE(listing(dir.path()), before);
}

void ShellTest::copyReadError()
{
    // The process's own memory file cannot be read at its start: a failure after the target
    // was opened.
    const QString source = QStringLiteral("/proc/self/mem");
    if (!QFileInfo(source).isReadable())
        QSKIP("no readable /proc/self/mem here");
    FakePlatform platform;
    QTemporaryDir dir;
    prepare(dir);
    const QStringList before = listing(dir.path());
    const QString target = dir.filePath(QStringLiteral("b.txt"));
    platform.messages.expect(
        QStringLiteral("The file '%1' already exists.\n\nDo you want to replace it?").arg(target),
        CopyTitle, MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes);
    platform.messages.expect(
        QStringLiteral("Cannot copy '%1' to '%2': %3.").arg(source, target, qt_error_string(EIO)),
        CopyTitle, MsgButtons::Ok, MsgIcon::Critical);

    QVERIFY(!services().shell->copyFile(nullptr, source, target));

    QCOMPARE(listing(dir.path()), before);
}

void ShellTest::withoutPermission_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title"); // "<denied>" stands for the system's reason
    QTest::newRow("robustness: copy into a read-only folder")
        << "copy"
        << "@/a.txt"
        << "@/folder/c.txt"
        << "Cannot copy '@/a.txt' to '@/folder/c.txt': <denied>." << CopyTitle;
    QTest::newRow("robustness: rename into a read-only folder")
        << "rename"
        << "@/a.txt"
        << "@/folder/c.txt"
        << "Cannot rename '@/a.txt' to '@/folder/c.txt': <denied>." << RenameTitle;
    QTest::newRow("robustness: rename out of a read-only folder")
        << "rename"
        << "@/folder/kept.txt"
        << "@/c.txt"
        << "Cannot rename '@/folder/kept.txt' to '@/c.txt': <denied>." << RenameTitle;
    QTest::newRow("robustness: delete from a read-only folder")
        << "delete"
        << "@/folder/kept.txt"
        << ""
        << "Cannot move '@/folder/kept.txt' to the trash: <denied>." << DeleteTitle;
}

void ShellTest::withoutPermission()
{
    QFETCH(QString, operation);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, text);
    QFETCH(QString, title);
    if (::geteuid() == 0)
        QSKIP("root writes into read-only folders; these cases run for an ordinary user");
    FakePlatform platform;
    QTemporaryDir dir;
    prepare(dir);
    writeFile(dir.filePath(QStringLiteral("folder/kept.txt")), "kept");
    const QString folder = dir.filePath(QStringLiteral("folder"));
    QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const QStringList before = listing(dir.path());
    if (operation == QLatin1String("delete"))
        platform.messages.expect(QStringLiteral("Are you sure you want to move '%1' to the trash?")
                                     .arg(inDir(dir, from)),
                                 DeleteTitle, MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes);
    const QString reason = qt_error_string(EACCES);
    platform.messages.expect(inDir(dir, text).replace(QStringLiteral("<denied>"), reason), title,
                             MsgButtons::Ok, MsgIcon::Critical);

    bool done = true;
    ShellService& shell = *services().shell;
    if (operation == QLatin1String("copy"))
        done = shell.copyFile(nullptr, inDir(dir, from), inDir(dir, to));
    else if (operation == QLatin1String("rename"))
        done = shell.renameFile(nullptr, inDir(dir, from), inDir(dir, to));
    else
        done = shell.deleteFile(nullptr, inDir(dir, from));

    const QStringList after = listing(dir.path());
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(!done);
    QCOMPARE(after, before);
}

void ShellTest::copyProgress_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("shown");
    QTest::newRow("nominal: a large file shows its progress")
        << FileShell::ProgressThreshold * 2 + 123 << true;
    QTest::newRow("edge: a file of the threshold's size shows none")
        << FileShell::ProgressThreshold << false;
    QTest::newRow("nominal: a small file shows none") << qint64(5) << false;
}

void ShellTest::copyProgress()
{
    QFETCH(qint64, size);
    QFETCH(bool, shown);
    FakePlatform platform;
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("big.bin"));
    const QString target = dir.filePath(QStringLiteral("copy.bin"));
    const QByteArray bytes = pattern(size);
    writeFile(source, bytes);
    ProgressRecord progress;
    FileShell shell(progress.factory());

    QVERIFY(shell.copyFile(nullptr, source, target));

    QCOMPARE(readFile(target), bytes);
    QCOMPARE(progress.shown, shown ? 1 : 0);
    if (shown) {
        QCOMPARE(progress.size, size);
        QVERIFY(progress.steps.size() > 1);
        QCOMPARE(progress.steps.last(), size);
        QVERIFY(std::is_sorted(progress.steps.begin(), progress.steps.end()));
    }
}

void ShellTest::cancelledCopy_data()
{
    QTest::addColumn<bool>("existing");
    QTest::newRow("nominal: a new target is not created") << false;
    QTest::newRow("nominal: a replaced target keeps its content") << true;
}

void ShellTest::cancelledCopy()
{
    QFETCH(bool, existing);
    FakePlatform platform;
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("big.bin"));
    const QString target = dir.filePath(QStringLiteral("copy.bin"));
    writeFile(source, pattern(FileShell::ProgressThreshold * 3));
    if (existing) {
        writeFile(target, "old");
        platform.messages.expect(
            QStringLiteral("The file '%1' already exists.\n\nDo you want to replace it?")
                .arg(target),
            CopyTitle, MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes);
    }
    const QStringList before = listing(dir.path());
    ProgressRecord progress;
    progress.cancelAfter = 1;
    FileShell shell(progress.factory());

    QVERIFY(!shell.copyFile(nullptr, source, target));

    QCOMPARE(progress.steps.size(), 1);
    QCOMPARE(listing(dir.path()), before);
}

void ShellTest::copyProgressDialog()
{
    FakePlatform platform;
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("big.bin"));
    const QString target = dir.filePath(QStringLiteral("copy.bin"));
    const QByteArray bytes = pattern(FileShell::ProgressThreshold + 1);
    writeFile(source, bytes);
    FileShell shell(showCopyProgress);

    QVERIFY(shell.copyFile(nullptr, source, target));

    QCOMPARE(readFile(target), bytes);
}

void ShellTest::rename_data()
{
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("renamed");
    QTest::newRow("nominal: a full path") << "@/c.txt"
                                          << "@/c.txt";
    QTest::newRow("nominal: a bare name stays in the source's folder") << "c.txt"
                                                                       << "@/c.txt";
    QTest::newRow("nominal: into another folder") << "@/folder/c.txt"
                                                  << "@/folder/c.txt";
}

void ShellTest::rename()
{
    QFETCH(QString, to);
    QFETCH(QString, renamed);
    FakePlatform platform;
    QTemporaryDir dir;
    prepare(dir);
    const QString source = dir.filePath(QStringLiteral("a.txt"));

    QVERIFY(services().shell->renameFile(nullptr, source, inDir(dir, to)));

    QVERIFY(!QFileInfo::exists(source));
    QCOMPARE(readFile(inDir(dir, renamed)), QByteArray("alpha"));
}

void ShellTest::renameOntoExisting_data()
{
    QTest::addColumn<MsgAnswer>("answer");
    QTest::addColumn<bool>("done");
    QTest::newRow("nominal: Yes replaces the file") << MsgAnswer::Yes << true;
    QTest::newRow("nominal: No leaves both files") << MsgAnswer::No << false;
}

void ShellTest::renameOntoExisting()
{
    QFETCH(MsgAnswer, answer);
    QFETCH(bool, done);
    FakePlatform platform;
    QTemporaryDir dir;
    prepare(dir);
    const QString from = dir.filePath(QStringLiteral("a.txt"));
    const QString to = dir.filePath(QStringLiteral("b.txt"));
    platform.messages.expect(
        QStringLiteral("The file '%1' already exists.\n\nDo you want to replace it?").arg(to),
        RenameTitle, MsgButtons::YesNo, MsgIcon::None, answer);

    QCOMPARE(services().shell->renameFile(nullptr, from, to), done);

    QCOMPARE(QFileInfo::exists(from), !done);
    QCOMPARE(readFile(to), done ? QByteArray("alpha") : QByteArray("beta"));
}

void ShellTest::renameFailures_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("text");
    QTest::newRow("robustness: no source") << ""
                                           << "@/c.txt"
                                           << "Cannot rename: no file was given.";
    QTest::newRow("robustness: a missing source")
        << "@/none.txt"
        << "@/c.txt"
        << "Cannot rename '@/none.txt': it does not exist.";
    QTest::newRow("robustness: no new name") << "@/a.txt"
                                             << ""
                                             << "Cannot rename '@/a.txt': no new name was given.";
    QTest::newRow("robustness: a folder that does not exist")
        << "@/a.txt"
        << "@/missing/c.txt"
        << "Cannot rename '@/a.txt' to '@/missing/c.txt': the folder '@/missing' does not exist.";
    QTest::newRow("robustness: a target inside a file")
        << "@/a.txt"
        << "@/b.txt/c.txt"
        << "Cannot rename '@/a.txt' to '@/b.txt/c.txt': '@/b.txt' is not a folder.";
    QTest::newRow("robustness: a file onto a folder")
        << "@/a.txt"
        << "@/folder"
        << "Cannot rename '@/a.txt' to '@/folder': '@/folder' already exists.";
    QTest::newRow("robustness: a folder onto a file")
        << "@/folder"
        << "@/a.txt"
        << "Cannot rename '@/folder' to '@/a.txt': '@/a.txt' already exists.";
}

void ShellTest::renameFailures()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, text);
    FakePlatform platform;
    QTemporaryDir dir;
    prepare(dir);
    const QStringList before = listing(dir.path());
    platform.messages.expect(inDir(dir, text), RenameTitle, MsgButtons::Ok, MsgIcon::Critical);

    QVERIFY(!services().shell->renameFile(nullptr, inDir(dir, from), inDir(dir, to)));

    QCOMPARE(listing(dir.path()), before);
}

void ShellTest::renameToItself()
{
    FakePlatform platform;
    QTemporaryDir dir;
    prepare(dir);
    const QStringList before = listing(dir.path());
    QVERIFY(services().shell->renameFile(nullptr, dir.filePath(QStringLiteral("a.txt")),
                                         QStringLiteral("a.txt")));
    QCOMPARE(listing(dir.path()), before);
}

void ShellTest::renameAcrossFileSystems()
{
    QTemporaryDir dir;
    QTemporaryDir other(QStringLiteral("/dev/shm/lw-shell-XXXXXX"));
    if (!other.isValid() ||
        QStorageInfo(dir.path()).device() == QStorageInfo(other.path()).device())
        QSKIP("no second file system at /dev/shm");
    FakePlatform platform;
    prepare(dir);
    const QString from = dir.filePath(QStringLiteral("a.txt"));
    const QString to = other.filePath(QStringLiteral("b.txt"));
    writeFile(to, "old");
    platform.messages.expect(
        QStringLiteral("The file '%1' already exists.\n\nDo you want to replace it?").arg(to),
        RenameTitle, MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes);

    QVERIFY(services().shell->renameFile(nullptr, from, to));

    QVERIFY(!QFileInfo::exists(from));
    QCOMPARE(readFile(to), QByteArray("alpha"));
    QCOMPARE(listing(other.path()).size(), 1);
}

void ShellTest::deleteToTrash_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("nominal: a file") << "gone.txt";
    QTest::newRow("nominal: a folder") << "gone-folder";
}

void ShellTest::deleteToTrash()
{
    QFETCH(QString, name);
    FakePlatform platform;
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (name.endsWith(QLatin1String(".txt"))) {
        writeFile(path, "gamma");
    } else {
        QVERIFY(QDir(dir.path()).mkdir(name));
        writeFile(path + QStringLiteral("/inside.txt"), "gamma");
    }
    platform.messages.expect(
        QStringLiteral("Are you sure you want to move '%1' to the trash?").arg(path), DeleteTitle,
        MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes);

    QVERIFY(services().shell->deleteFile(nullptr, path));

    QVERIFY(!QFileInfo::exists(path));
    const QDir trash(home->filePath(QStringLiteral("data/Trash")));
    QVERIFY(QFileInfo::exists(trash.filePath(QStringLiteral("files/") + name)));
    QFile info(trash.filePath(QStringLiteral("info/%1.trashinfo").arg(name)));
    QVERIFY(info.open(QIODevice::ReadOnly));
    const QByteArray record = info.readAll();
    QVERIFY2(record.contains("Path=" + QFile::encodeName(path) + '\n'), record.constData());
}

void ShellTest::deleteWithoutTrash()
{
    FakePlatform platform;
    QTemporaryDir dir;
    prepare(dir);
    const QStringList before = listing(dir.path());
    const QString path = dir.filePath(QStringLiteral("a.txt"));
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("b.txt/data")).toUtf8());
    platform.messages.expect(
        QStringLiteral("Are you sure you want to move '%1' to the trash?").arg(path), DeleteTitle,
        MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes);
    platform.messages.expect(
        QStringLiteral("Cannot move '%1' to the trash: the trash folder '%2' cannot be made.")
            .arg(path, dir.filePath(QStringLiteral("b.txt/data/Trash"))),
        DeleteTitle, MsgButtons::Ok, MsgIcon::Critical);

    const bool done = services().shell->deleteFile(nullptr, path);

    qputenv("XDG_DATA_HOME", dataHome);
    QVERIFY(!done);
    QCOMPARE(listing(dir.path()), before);
}

void ShellTest::deleteDeclined()
{
    FakePlatform platform;
    QTemporaryDir dir;
    prepare(dir);
    const QStringList before = listing(dir.path());
    const QString path = dir.filePath(QStringLiteral("a.txt"));
    platform.messages.expect(
        QStringLiteral("Are you sure you want to move '%1' to the trash?").arg(path), DeleteTitle,
        MsgButtons::YesNo, MsgIcon::None, MsgAnswer::No);

    QVERIFY(!services().shell->deleteFile(nullptr, path));

    QCOMPARE(listing(dir.path()), before);
}

void ShellTest::deleteFailures_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("text");
    QTest::newRow("robustness: no file") << ""
                                         << "Cannot delete: no file was given.";
    QTest::newRow("robustness: a missing file") << "@/none.txt"
                                                << "Cannot delete '@/none.txt': it does not exist.";
}

void ShellTest::deleteFailures()
{
    QFETCH(QString, path);
    QFETCH(QString, text);
    FakePlatform platform;
    QTemporaryDir dir;
    prepare(dir);
    const QStringList before = listing(dir.path());
    platform.messages.expect(inDir(dir, text), DeleteTitle, MsgButtons::Ok, MsgIcon::Critical);

    QVERIFY(!services().shell->deleteFile(nullptr, inDir(dir, path)));

    QCOMPARE(listing(dir.path()), before);
}

QTEST_MAIN(ShellTest)
#include "test_shell.moc"
