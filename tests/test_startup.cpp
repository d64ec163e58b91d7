#include "FakeServices.h"
#include "FileSizeLimit.h"
#include "TestLibrary.h"
#include "WidgetContents.h"
#include "app/Letterwright.h"
#include "editor/LetterEditor.h"
#include "library/DataFile.h"
#include "library/SqliteDatabase.h"
#include "library/modMain.h"
#include "mainwindow/MainWindow.h"
#include "platform/InstanceLock.h"
#include "platform/ProgramFolders.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QLockFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <future>
#include <sys/wait.h>
#include <unistd.h>

using namespace lw;
using test::entries;

namespace {

const QString missingText = QStringLiteral(
    "Components required to run this program are damaged,\nplease reinstall this program to "
    "repair them.");

} // namespace

class StartupTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void startUpShowsFirstLetter();
    void startUpRestoresHeaderByteExact();
    void emptyLibraryStillStarts();
    void libraryWithoutIndexesGetsThemOnce();
    void missingDataFileEndsProgram();
    void firstStartOffersDefaultLibrary_data();
    void firstStartOffersDefaultLibrary();
    void firstStartCopyFailureIsTold();
    void unwritableDataFileEndsProgram();
    void damagedLibraryEndsProgramUnchanged_data();
    void damagedLibraryEndsProgramUnchanged();
    void secondInstanceEndsSilently();
    void secondStartHandsItsFileOver_data();
    void secondStartHandsItsFileOver();
    void secondStartWithoutAnswerSaysSo();
    void damagedLockTakenOver_data();
    void damagedLockTakenOver();
    void lockFailureEndsWithMessage_data();
    void lockFailureEndsWithMessage();
    void readOnlyDataFolderIsAFailure();
    void shutdownWritesMarker_data();
    void shutdownWritesMarker();
    void shutdownCancelledKeepsWindow();
    void dataFileRemovedWhileRunning_data();
    void dataFileRemovedWhileRunning();

private:
    std::unique_ptr<test::TestLibrary> library;
    std::unique_ptr<test::FakePlatform> platform;
};

void StartupTest::init()
{
    library = std::make_unique<test::TestLibrary>();
    platform = std::make_unique<test::FakePlatform>();
}

void StartupTest::cleanup()
{
    platform.reset();
    library.reset();
}

void StartupTest::startUpShowsFirstLetter()
{
    library->create();
    Letterwright program;
    QVERIFY(program.StartUp());
    MainWindow& w = *program.mainWindow();
    QCOMPARE(w.windowTitle(), QStringLiteral("Brightquill - Letterwright 2007"));
    QCOMPARE(entries(w.Cmb[0]), (QStringList{"Business", "Personal", "Zero"}));
    QCOMPARE(entries(w.Cmb[1]), (QStringList{"Complaints", "Orders"}));
    QCOMPARE(entries(w.lstBx[0]),
             (QStringList{"Damaged Goods", "Late Delivery", "O'Neil's Refund"}));
    QCOMPARE(w.lstBx[0]->currentRow(), 0);
    QCOMPARE(w.lblTxt[3]->text(), QStringLiteral("This category includes 3 letter(s)."));
    QCOMPARE(entries(w.lstBx[1]), (QStringList{"Damaged Goods", "Élan Award"}));
    QCOMPARE(w.Label5->text(), QStringLiteral("2 letter(s) are included in My Favorite list."));
    QCOMPARE(w.panelText(1), QStringLiteral("Current Letter: Damaged Goods"));
    QCOMPARE(w.RTB->Text(), QStringLiteral("Dear Madam,\nThe box was crushed."));
    QVERIFY(!w.DocumentModified);
    QVERIFY(!modMain().Loading);
    QCOMPARE(platform->clock.pauses, QList<int>{1000});
    QVERIFY(platform->messages.shown.isEmpty());
}

void StartupTest::startUpRestoresHeaderByteExact()
{
    library->create();
    const QByteArray marked = library->bytes();
    QCOMPARE(marked.left(15), QByteArray("Brightquill2006"));
    Letterwright program;
    QVERIFY(program.StartUp());
    const QByteArray running = library->bytes();
    QCOMPARE(running.size(), marked.size());
    QCOMPARE(running.left(15), QByteArray("SQLite format 3"));
    QCOMPARE(running.mid(15), marked.mid(15));
}

void StartupTest::emptyLibraryStillStarts()
{
    library->create(LibraryContents());
    Letterwright program;
    QVERIFY(program.StartUp());
    MainWindow& w = *program.mainWindow();
    QCOMPARE(w.Cmb[0]->count(), 0);
    QCOMPARE(w.Cmb[1]->count(), 0);
    QCOMPARE(w.lstBx[0]->count(), 0);
    QCOMPARE(w.lstBx[1]->count(), 0);
    QVERIFY(w.RTB->Text().isEmpty());
    QCOMPARE(w.panelText(1), QString());
    QCOMPARE(w.Label5->text(), QStringLiteral("0 letter(s) are included in My Favorite list."));
}

void StartupTest::libraryWithoutIndexesGetsThemOnce()
{
    // A library made before the indexes: the first start adds them, the next leaves it be.
    library->create();
    QVERIFY(datafile::restoreSignature(library->dataFilePath(), nullptr));
    {
        SqliteDatabase db;
        QVERIFY(db.open(library->dataFilePath()));
        QVERIFY(db.execute(QStringLiteral("drop index LetterByCategory")));
        QVERIFY(db.execute(QStringLiteral("drop index LetterByFavorite")));
    }
    QVERIFY(datafile::writeMarker(library->dataFilePath(), nullptr));
    const LibraryContents before = library->contents();
    const auto indexCount = [&] {
        SqliteDatabase db;
        db.open(library->dataFilePath());
        const auto rows = db.execute(
            QStringLiteral("select count(*) from sqlite_master where type = 'index' and name in "
                           "('LetterByCategory', 'LetterByFavorite')"));
        return rows ? rows->first().value(0).toInt() : -1;
    };
    {
        Letterwright program;
        QVERIFY(program.StartUp());
        QCOMPARE(entries(program.mainWindow()->lstBx[0]),
                 (QStringList{"Damaged Goods", "Late Delivery", "O'Neil's Refund"}));
        QCOMPARE(indexCount(), 2);
        QVERIFY(program.mainWindow()->close());
    }
    QCOMPARE(library->bytes().left(15), QByteArray("Brightquill2006"));
    const LibraryContents after = library->contents();
    QCOMPARE(after.subjects, before.subjects);
    QCOMPARE(after.letters, before.letters);

    const QByteArray withIndexes = library->bytes();
    {
        Letterwright program;
        QVERIFY(program.StartUp());
        QCOMPARE(library->bytes().mid(15), withIndexes.mid(15));
        QVERIFY(program.mainWindow()->close());
    }
    QCOMPARE(library->bytes(), withIndexes);
    QVERIFY(platform->messages.shown.isEmpty());
}

void StartupTest::missingDataFileEndsProgram()
{
    platform->messages.expect(missingText, QStringLiteral("Error"), MsgButtons::Ok,
                              MsgIcon::Critical);
    Letterwright program;
    QVERIFY(!program.StartUp());
    QVERIFY(!program.mainWindow());
    QCOMPARE(platform->application.exitCodes, QList<int>{1});
    QVERIFY(!QFile::exists(library->dataFilePath()));
    QVERIFY(platform->clock.pauses.isEmpty());
}

namespace {

const QString offerText = QStringLiteral(
    "You have no letter library yet.\n\nLetterwright can put its library of ready-made letters at "
    "%1.\nDo you want to do that now?");

// Makes `folder` the program's folder of an installed program: it carries the default library.
QByteArray installDefaultLibrary(test::TestLibrary& library, const QString& folder)
{
    library.create();
    const QByteArray stored = library.bytes();
    const QString defaults = folder + QStringLiteral("/lwx37.dat");
    if (!QFile::rename(library.dataFilePath(), defaults))
        return {};
    QFile::setPermissions(defaults,
                          QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    setProgramDirectory(folder);
    return stored;
}

} // namespace

void StartupTest::firstStartOffersDefaultLibrary_data()
{
    QTest::addColumn<QString>("placeHolder");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("starts");
    QTest::newRow("nominal: Yes puts the default library in place and starts")
        << QString() << int(MsgAnswer::Yes) << true;
    QTest::newRow("nominal: No ends the program and writes nothing")
        << QString() << int(MsgAnswer::No) << false;
    QTest::newRow("robustness: a folder in the library's place is not replaced")
        << QStringLiteral("folder") << int(MsgAnswer::Yes) << false;
    QTest::newRow("robustness: a dangling link in the library's place is not followed")
        << QStringLiteral("link") << int(MsgAnswer::Yes) << false;
}

void StartupTest::firstStartOffersDefaultLibrary()
{
    QFETCH(QString, placeHolder);
    QFETCH(int, answer);
    QFETCH(bool, starts);
    QTemporaryDir installed;
    const QByteArray stored = installDefaultLibrary(*library, installed.path());
    QVERIFY(!stored.isEmpty());
    const QString path = library->dataFilePath();
    QVERIFY(!QFileInfo::exists(path));
    const QString elsewhere = installed.filePath(QStringLiteral("nowhere.dat"));
    if (placeHolder == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(path));
    else if (placeHolder == QLatin1String("link"))
        QVERIFY(QFile::link(elsewhere, path));

    if (placeHolder.isEmpty())
        platform->messages.expect(offerText.arg(path), QStringLiteral("Letterwright"),
                                  MsgButtons::YesNo, MsgIcon::None, MsgAnswer(answer));
    else
        platform->messages.expect(missingText, QStringLiteral("Error"), MsgButtons::Ok,
                                  MsgIcon::Critical);
    Letterwright program;
    QCOMPARE(program.StartUp(), starts);
    platform->messages.verifyDone();
    QCOMPARE(program.mainWindow() != nullptr, starts);
    if (starts) {
        QCOMPARE(program.mainWindow()->RTB->Text(),
                 QStringLiteral("Dear Madam,\nThe box was crushed."));
        // The running program opened it as usual: only the header differs from the default.
        QCOMPARE(library->bytes().mid(15), stored.mid(15));
        // The user's own file, private to them (the user bits repeat the owner's).
        QCOMPARE(QFile::permissions(path) &
                     ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser),
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QVERIFY(platform->application.exitCodes.isEmpty());
    } else if (placeHolder.isEmpty()) {
        QVERIFY(!QFileInfo::exists(path));
        QVERIFY(platform->application.exitCodes.isEmpty());
    } else {
        QCOMPARE(platform->application.exitCodes, QList<int>{1});
        QVERIFY(!QFileInfo::exists(elsewhere));
    }
}

void StartupTest::firstStartCopyFailureIsTold()
{
    QTemporaryDir installed;
    QVERIFY(!installDefaultLibrary(*library, installed.path()).isEmpty());
    const QString path = library->dataFilePath();
    const QString defaults = installed.filePath(QStringLiteral("lwx37.dat"));
    QString reason;
    {
        // A full disk, as the copy meets it.
        test::FileSizeLimit full(512);
        QFile probe(defaults);
        QVERIFY(!probe.copy(installed.filePath(QStringLiteral("probe.dat"))));
        reason = probe.errorString();
    }
    platform->messages.expect(offerText.arg(path), QStringLiteral("Letterwright"),
                              MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes);
    platform->messages.expect(
        QStringLiteral("The letter library could not be put at %1:\n%2\n\nMake sure the folder "
                       "can be written and the disk has room, then start Letterwright again.")
            .arg(path, reason),
        QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);
    Letterwright program;
    {
        test::FileSizeLimit full(512);
        QVERIFY(!program.StartUp());
    }
    platform->messages.verifyDone();
    QVERIFY(!program.mainWindow());
    QCOMPARE(platform->application.exitCodes, QList<int>{1});
    // Nothing half-copied is left to be taken for a library next time.
    QVERIFY(!QFileInfo::exists(path));
}

void StartupTest::unwritableDataFileEndsProgram()
{
    // A file too short to hold the header cannot take the signature.
    QDir().mkpath(datafile::dataFolder());
    QFile file(library->dataFilePath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Brightquill");
    file.close();
    platform->messages.expect(
        QStringLiteral("The letter library %1 is damaged:\nThe file is too short to be a letter "
                       "library.\n\nIt has been left as it was. Restore it from a backup, or "
                       "remove it so that the default library can be put in its place.")
            .arg(library->dataFilePath()),
        QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);
    Letterwright program;
    QVERIFY(!program.StartUp());
    QVERIFY(!program.mainWindow());
    QCOMPARE(platform->application.exitCodes, QList<int>{1});
    QCOMPARE(library->bytes(), QByteArray("Brightquill"));
}

void StartupTest::damagedLibraryEndsProgramUnchanged_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    QTest::newRow("robustness: not a database")
        << (QByteArray("Brightquill2006") + QByteArray(4096, 'x')) << "file is not a database";
    QTest::newRow("robustness: a database without letters")
        << QByteArray() << "no such table: Subject";
}

void StartupTest::damagedLibraryEndsProgramUnchanged()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    QDir().mkpath(datafile::dataFolder());
    if (content.isEmpty()) {
        SqliteDatabase other;
        QVERIFY(other.open(library->dataFilePath(), SqliteDatabase::Mode::Create));
        QVERIFY(other.execute(QStringLiteral("create table Notes (text)")));
        other.close();
        QVERIFY(datafile::writeMarker(library->dataFilePath(), nullptr));
    } else {
        QFile file(library->dataFilePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    const QByteArray before = library->bytes();
    platform->messages.expect(
        QStringLiteral("The letter library %1 cannot be read:\n%2\n\nIt has been left as it "
                       "was. Restore it from a backup, or remove it so that the default library "
                       "can be put in its place.")
            .arg(library->dataFilePath(), reason),
        QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);
    Letterwright program;
    QVERIFY(!program.StartUp());
    QVERIFY(!program.mainWindow());
    QCOMPARE(platform->application.exitCodes, QList<int>{1});
    QCOMPARE(library->bytes(), before);
}

void StartupTest::secondInstanceEndsSilently()
{
    library->create();
    const QByteArray before = library->bytes();
    QLockFile running(datafile::dataFolder() + QStringLiteral("/letterwright.lock"));
    QVERIFY(running.tryLock(0));
    Letterwright second;
    QVERIFY(!second.StartUp());
    QVERIFY(!second.mainWindow());
    QVERIFY(platform->messages.shown.isEmpty());
    QVERIFY(platform->application.exitCodes.isEmpty());
    QCOMPARE(library->bytes(), before);
}

void StartupTest::secondStartHandsItsFileOver_data()
{
    QTest::addColumn<bool>("withFile");
    QTest::addColumn<bool>("modified");
    QTest::newRow("nominal: the file named opens in the running window") << true << false;
    QTest::newRow("nominal: without a file the window only comes to the front") << false << false;
    QTest::newRow("nominal: edits in the running window are asked about first") << true << true;
}

void StartupTest::secondStartHandsItsFileOver()
{
    QFETCH(bool, withFile);
    QFETCH(bool, modified);
    library->create();
    QTemporaryDir documents;
    const QString offer = documents.filePath(QStringLiteral("Offer.txt"));
    {
        QFile file(offer);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Dear Sir,\nOur offer stands.");
    }
    Letterwright running;
    QVERIFY(running.StartUp());
    MainWindow& w = *running.mainWindow();
    w.show();
    w.showMinimized();
    const QString before = w.RTB->Text();
    if (modified) {
        w.RTB->setFocus();
        QTest::keyClicks(w.RTB->textEdit(), QStringLiteral("Kept "));
        QVERIFY(w.DocumentModified);
        platform->messages.expect(DocumentFiles::replaceQuestion(), QStringLiteral("Notice"),
                                  MsgButtons::YesNoCancel, MsgIcon::None, MsgAnswer::Cancel);
    }
    const QStringList files = withFile ? QStringList{offer} : QStringList{};

    // The second start blocks until the running instance took its files: it runs beside this
    // thread's event loop, as another process would.
    std::future<bool> second = std::async(std::launch::async, [files] {
        Letterwright start;
        return start.StartUp(files);
    });
    QTRY_VERIFY(!(w.windowState() & Qt::WindowMinimized));
    QVERIFY(!second.get());
    if (withFile && !modified) {
        QTRY_COMPARE(w.RTB->Text(), QStringLiteral("Dear Sir,\nOur offer stands."));
        QCOMPARE(w.CurrentDocumentPath, offer);
        QVERIFY(!w.DocumentModified);
    } else {
        QTRY_VERIFY(platform->messages.shown.size() == (modified ? 1 : 0));
        QCOMPARE(w.RTB->Text(), modified ? QStringLiteral("Kept ") + before : before);
        QCOMPARE(w.DocumentModified, modified);
    }
    platform->messages.verifyDone();
}

void StartupTest::secondStartWithoutAnswerSaysSo()
{
    library->create();
    QLockFile running(datafile::dataFolder() + QStringLiteral("/letterwright.lock"));
    QVERIFY(running.tryLock(0));
    const QString file = QStringLiteral("/tmp/Offer.txt");
    platform->messages.expect(
        QStringLiteral("Letterwright is already running but did not answer, so %1 was not opened."
                       "\n\nClose Letterwright and open the file again.")
            .arg(file),
        QStringLiteral("Letterwright"), MsgButtons::Ok, MsgIcon::Exclamation);
    Letterwright second;
    QVERIFY(!second.StartUp({file}));
    platform->messages.verifyDone();
    QVERIFY(platform->application.exitCodes.isEmpty());
}

void StartupTest::damagedLockTakenOver_data()
{
    QTest::addColumn<QByteArray>("lock");
    QTest::newRow("robustness: empty") << QByteArray();
    QTest::newRow("robustness: garbage") << QByteArray("\x89PNG\r\n\x1a\n\0\0garbage", 16);
    QTest::newRow("robustness: another machine's")
        << (QByteArray::number(QCoreApplication::applicationPid()) +
            "\nletterwright\nsome-other-host.example\n");
    QTest::newRow("robustness: a process that has ended")
        << QByteArray("999999999\nletterwright\n\n");
    QTest::newRow("robustness: a running process that is another program") << QByteArray("sleep");
}

void StartupTest::damagedLockTakenOver()
{
    QFETCH(QByteArray, lock);
    library->create();
    QProcess other;
    if (lock == "sleep") {
        other.start(QStringLiteral("sleep"), {QStringLiteral("60")});
        QVERIFY(other.waitForStarted());
        lock = QByteArray::number(other.processId()) + "\nletterwright\n" +
               QSysInfo::machineHostName().toUtf8() + "\n";
    }
    const QString lockPath = datafile::dataFolder() + QStringLiteral("/letterwright.lock");
    {
        QFile file(lockPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(lock), lock.size());
    }
    Letterwright program;
    QVERIFY(program.StartUp());
    QVERIFY(program.mainWindow());
    QVERIFY(platform->application.exitCodes.isEmpty());
    // The lock is this run's now: a second start ends quietly.
    Letterwright second;
    QVERIFY(!second.StartUp());
    QVERIFY(platform->application.exitCodes.isEmpty());
    if (other.state() != QProcess::NotRunning) {
        other.kill();
        other.waitForFinished();
    }
}

void StartupTest::lockFailureEndsWithMessage_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("reason");
    QTest::newRow("robustness: a file where the data folder belongs") << "file in the way"
                                                                      << "Not a directory";
    QTest::newRow("robustness: a full disk") << "full disk"
                                             << "File too large";
}

// Anything but another running instance is told, with the folder and the reason, and ends the
// start with status 1.
void StartupTest::lockFailureEndsWithMessage()
{
    QFETCH(QString, failure);
    QFETCH(QString, reason);
    const QString folder = datafile::dataFolder();
    if (failure == "file in the way") {
        QFile file(folder);
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else {
        QVERIFY(QDir().mkpath(folder));
    }
    platform->messages.expect(
        QStringLiteral("Letterwright cannot start: it cannot write in its data folder %1:\n%2\n\n"
                       "Make sure the folder can be written and the disk has room, then start "
                       "Letterwright again.")
            .arg(folder, reason),
        QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);
    Letterwright program;
    {
        std::optional<test::FileSizeLimit> limit;
        if (failure == "full disk")
            limit.emplace(0);
        QVERIFY(!program.StartUp());
    }
    QVERIFY(!program.mainWindow());
    QCOMPARE(platform->application.exitCodes, QList<int>{1});
    QVERIFY(platform->clock.pauses.isEmpty());
    if (failure == "full disk")
        QVERIFY(QDir(folder).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

// A data folder the user may not write in is no running instance.
void StartupTest::readOnlyDataFolderIsAFailure()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("letterwright"));
    QVERIFY(QDir().mkdir(folder));
    const auto readAndEnter = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                              QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    QVERIFY(QFile::setPermissions(folder, readAndEnter));
    QVERIFY(QFile::setPermissions(dir.path(), readAndEnter | QFile::WriteOwner));
    const auto take = [&folder] {
        InstanceLock lock(folder);
        const InstanceLock::Result result = lock.take();
        return result == InstanceLock::Result::Failed &&
               lock.failure() == QStringLiteral("Permission denied");
    };
    bool failedWithReason = false;
    if (geteuid() == 0) {
        // Folder permissions do not bind the superuser: try as an ordinary user.
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            if (setgid(65534) != 0 || setuid(65534) != 0)
                _exit(2);
            _exit(take() ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QVERIFY2(WEXITSTATUS(status) != 2, "cannot switch to the user nobody");
        failedWithReason = WEXITSTATUS(status) == 0;
    } else {
        failedWithReason = take();
    }
    QFile::setPermissions(folder, readAndEnter | QFile::WriteOwner);
    QVERIFY(failedWithReason);
}

void StartupTest::shutdownWritesMarker_data()
{
    QTest::addColumn<bool>("modified");
    QTest::newRow("nominal: unchanged document") << false;
    QTest::newRow("nominal: modified, answered No") << true;
}

void StartupTest::shutdownWritesMarker()
{
    QFETCH(bool, modified);
    library->create();
    const QByteArray marked = library->bytes();
    Letterwright program;
    QVERIFY(program.StartUp());
    MainWindow& w = *program.mainWindow();
    w.show();
    if (modified) {
        w.RTB->setText(QStringLiteral("changed"));
        QVERIFY(w.DocumentModified);
        platform->messages.expect(QStringLiteral("Current file has been modified.  Save changes?"),
                                  QStringLiteral("Notice"), MsgButtons::YesNoCancel, MsgIcon::None,
                                  MsgAnswer::No);
    }
    QVERIFY(w.close());
    const QByteArray after = library->bytes();
    QCOMPARE(after.left(15), QByteArray("Brightquill2006"));
    QCOMPARE(after.size(), marked.size());
    QCOMPARE(after.mid(15), marked.mid(15));
}

void StartupTest::shutdownCancelledKeepsWindow()
{
    library->create();
    Letterwright program;
    QVERIFY(program.StartUp());
    MainWindow& w = *program.mainWindow();
    w.show();
    w.RTB->setText(QStringLiteral("changed"));
    platform->messages.expect(QStringLiteral("Current file has been modified.  Save changes?"),
                              QStringLiteral("Notice"), MsgButtons::YesNoCancel, MsgIcon::None,
                              MsgAnswer::Cancel);
    QVERIFY(!w.close());
    QVERIFY(w.isVisible());
    QCOMPARE(w.RTB->Text(), QStringLiteral("changed"));
    QVERIFY(w.DocumentModified);
    // The program runs on: the library keeps the engine's signature.
    QCOMPARE(library->bytes().left(15), QByteArray("SQLite format 3"));

    // Asked again at the next close.
    platform->messages.expect(QStringLiteral("Current file has been modified.  Save changes?"),
                              QStringLiteral("Notice"), MsgButtons::YesNoCancel, MsgIcon::None,
                              MsgAnswer::No);
    QVERIFY(w.close());
    QCOMPARE(library->bytes().left(15), QByteArray("Brightquill2006"));
}

void StartupTest::dataFileRemovedWhileRunning_data()
{
    QTest::addColumn<bool>("modified");
    QTest::addColumn<QList<int>>("answers"); // to the save question, asked until saved or No
    QTest::newRow("nominal: unchanged document") << false << QList<int>();
    QTest::newRow("nominal: modified, saved first") << true << QList<int>{int(MsgAnswer::Yes)};
    QTest::newRow("nominal: modified, answered No") << true << QList<int>{int(MsgAnswer::No)};
    QTest::newRow("robustness: a save that did not happen is offered again")
        << true << QList<int>{int(MsgAnswer::Yes), int(MsgAnswer::Yes)};
}

void StartupTest::dataFileRemovedWhileRunning()
{
    QFETCH(bool, modified);
    QFETCH(QList<int>, answers);
    library->create();
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString saved = dir.filePath(QStringLiteral("kept.txt"));
    Letterwright program;
    QVERIFY(program.StartUp());
    MainWindow& w = *program.mainWindow();
    if (modified)
        w.RTB->setText(QStringLiteral("my edits"));
    QFile::remove(library->dataFilePath());
    platform->messages.expect(
        QStringLiteral("One or more files of this program is damaged.  Please reinstall it."),
        QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);
    for (qsizetype i = 0; i < answers.size(); ++i) {
        platform->messages.expect(QStringLiteral("Current file has been modified.  Save changes?"),
                                  QStringLiteral("Notice"), MsgButtons::YesNo, MsgIcon::None,
                                  MsgAnswer(answers.at(i)));
        if (answers.at(i) != int(MsgAnswer::Yes))
            continue;
        // No file yet: Save runs Save As; the first of two tries is cancelled.
        if (i + 1 < answers.size()) {
            platform->dialogs.saveAnswers.push_back(std::nullopt);
            platform->messages.expect(QStringLiteral("File not Saved!"), QStringLiteral("Notice"),
                                      MsgButtons::Ok, MsgIcon::None);
        } else {
            platform->dialogs.saveAnswers.push_back(saved);
            platform->messages.expect(QStringLiteral("File Saved!"), QStringLiteral("Notice"),
                                      MsgButtons::Ok, MsgIcon::Information);
        }
    }
    w.Cmb[0]->setCurrentIndex(1);
    QCOMPARE(platform->application.exitCodes, QList<int>{1});
    const bool savedFirst = !answers.isEmpty() && answers.last() == int(MsgAnswer::Yes);
    QCOMPARE(QFile::exists(saved), savedFirst);
    if (savedFirst) {
        QFile file(saved);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("my edits"));
    }
    // The program has ended: no further operation, and no marker written at the close.
    w.close();
    QVERIFY(!QFile::exists(library->dataFilePath()));
}

QTEST_MAIN(StartupTest)
#include "test_startup.moc"
