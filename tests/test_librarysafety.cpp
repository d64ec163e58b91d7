#include "FakeServices.h"
#include "TestLibrary.h"
#include "WidgetContents.h"
#include "app/Letterwright.h"
#include "editor/LetterEditor.h"
#include "library/DataFile.h"
#include "library/LibraryBrowser.h"
#include "library/LibraryCheck.h"
#include "library/LibraryConnection.h"
#include "library/SqliteDatabase.h"
#include "library/modMain.h"
#include "mainwindow/MainWindow.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sqlite3.h>

using namespace lw;
using test::entries;

namespace {

const QString damagedText = QStringLiteral(
    "The letter library %1 is damaged:\n%2\n\nIt has been left as it was. Restore it from a "
    "backup, or remove it so that the default library can be put in its place.");

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Puts `bytes` in place of `path` as a restore or a download does: a new file under the old name.
bool replaceFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

// A library with a table the program never reads, so that damage there is found only by reading
// every page.
void addPadding(const QString& path)
{
    QVERIFY(datafile::restoreSignature(path, nullptr));
    SqliteDatabase db;
    QVERIFY(db.open(datafile::connectionString(path)));
    QVERIFY(db.execute(QStringLiteral("create table Padding (data blob)")));
    QVERIFY(db.execute(QStringLiteral("insert into Padding values (zeroblob(200000))")));
    db.close();
    QVERIFY(datafile::writeMarker(path, nullptr));
}

// Overwrites the first page of the padding table with bytes no page can hold.
void damagePadding(const QString& path)
{
    QVERIFY(datafile::restoreSignature(path, nullptr));
    qint64 root = 0;
    {
        SqliteDatabase db;
        QVERIFY(db.open(datafile::connectionString(path)));
        const auto rows =
            db.execute(QStringLiteral("select rootpage from sqlite_master where name = 'Padding'"));
        QVERIFY(rows && rows->size() == 1);
        root = rows->first().value(0).toLongLong();
    }
    QVERIFY(datafile::writeMarker(path, nullptr));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    const QByteArray start = file.read(18);
    const int field = (quint8(start.at(16)) << 8) | quint8(start.at(17));
    const qint64 pageSize = field == 1 ? 65536 : field;
    QVERIFY(root > 1);
    QVERIFY(file.seek((root - 1) * pageSize));
    QCOMPARE(file.write(QByteArray(pageSize, '\xff')), pageSize);
}

} // namespace

// The library under conditions met on an ordinary day: another program holding it, damage that
// only a full read finds, the file replaced while the program runs, the session ending.
class LibrarySafetyTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void failureTextNamesWhatFailed_data();
    void failureTextNamesWhatFailed();
    void libraryInUseIsToldAsInUse_data();
    void libraryInUseIsToldAsInUse();

    void checkFindsDamageInDataPages_data();
    void checkFindsDamageInDataPages();
    void damageFoundAfterStartEndsRunFileUnchanged();

    void dataFileReplacedWhileRunning_data();
    void dataFileReplacedWhileRunning();

    void signalEndsRunAsExitDoes_data();
    void signalEndsRunAsExitDoes();

private:
    std::unique_ptr<test::TestLibrary> library;
    std::unique_ptr<test::FakePlatform> platform;
};

void LibrarySafetyTest::init()
{
    library = std::make_unique<test::TestLibrary>();
    platform = std::make_unique<test::FakePlatform>();
}

void LibrarySafetyTest::cleanup()
{
    platform.reset();
    library.reset();
}

void LibrarySafetyTest::failureTextNamesWhatFailed_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("text");
    QTest::newRow("robustness: full disk")
        << SQLITE_FULL << "database or disk is full"
        << "The letter could not be added: the disk is full. Make room on the disk, then try "
           "again.\n\nDetails: database or disk is full";
    QTest::newRow("robustness: held by another program")
        << SQLITE_BUSY << "database is locked"
        << "The letter could not be added: another program is using the letter library. Close "
           "the other program, then try again.\n\nDetails: database is locked";
    QTest::newRow("robustness: damaged")
        << SQLITE_CORRUPT << "database disk image is malformed"
        << "The letter could not be added: the letter library is damaged.\n\nDetails: database "
           "disk image is malformed";
    QTest::newRow("robustness: read-only")
        << SQLITE_READONLY << "attempt to write a readonly database"
        << "The letter could not be added: the letter library may be read but not changed."
           "\n\nDetails: attempt to write a readonly database";
    QTest::newRow("robustness: a foreign database")
        << SQLITE_ERROR << "no such table: Letter"
        << "The letter could not be added: the file is not a letter library that Letterwright "
           "can read.\n\nDetails: no such table: Letter";
}

void LibrarySafetyTest::failureTextNamesWhatFailed()
{
    QFETCH(int, code);
    QFETCH(QString, engine);
    QFETCH(QString, text);
    QCOMPARE(engineFailureText(QStringLiteral("The letter could not be added"), code, engine),
             text);
}

void LibrarySafetyTest::libraryInUseIsToldAsInUse_data()
{
    QTest::addColumn<bool>("atStart");
    QTest::newRow("robustness: held when the program starts") << true;
    QTest::newRow("robustness: held while a letter is added") << false;
}

// "database is locked" is a healthy library another program holds: nothing may suggest removing
// it, and it is left as it is.
void LibrarySafetyTest::libraryInUseIsToldAsInUse()
{
    QFETCH(bool, atStart);
    library->create();
    const QString path = library->dataFilePath();
    // As after a run that ended without putting the marker back, which another tool then opened.
    QVERIFY(datafile::restoreSignature(path, nullptr));
    const QByteArray before = library->bytes();
    SqliteDatabase other;
    QVERIFY(other.open(datafile::connectionString(path)));
    QVERIFY(other.execute(QStringLiteral("begin exclusive")));

    if (atStart) {
        platform->messages.expect(
            QStringLiteral("The letter library %1 is in use by another program:\ndatabase is "
                           "locked\n\nClose the other program, then start Letterwright again.")
                .arg(path),
            QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);
        Letterwright program;
        QVERIFY(!program.StartUp());
        QVERIFY(!program.mainWindow());
        QCOMPARE(platform->application.exitCodes, QList<int>{1});
    } else {
        modMain().DataFilePath = path;
        modMain().ConnectionString = datafile::connectionString(path);
        LibraryConnection db(nullptr);
        platform->messages.expect(
            QStringLiteral("The letter could not be added: another program is using the letter "
                           "library. Close the other program, then try again.\n\nDetails: "
                           "database is locked"),
            QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);
        LibraryOperation op(db, QStringLiteral("The letter could not be added"));
        QVERIFY(!op);
        QVERIFY(!db.isOpen());
        QVERIFY(platform->application.exitCodes.isEmpty());
    }
    QVERIFY(other.execute(QStringLiteral("rollback")));
    other.close();
    QCOMPARE(library->bytes(), before);
}

void LibrarySafetyTest::checkFindsDamageInDataPages_data()
{
    QTest::addColumn<bool>("damaged");
    QTest::newRow("nominal: a sound library") << false;
    QTest::newRow("robustness: a page no query at start-up reads") << true;
}

void LibrarySafetyTest::checkFindsDamageInDataPages()
{
    QFETCH(bool, damaged);
    library->create();
    const QString path = library->dataFilePath();
    addPadding(path);
    if (damaged)
        damagePadding(path);
    QVERIFY(datafile::restoreSignature(path, nullptr));
    const QString connection = datafile::connectionString(path);
    // What start-up always did finds nothing wrong.
    QString error;
    QVERIFY2(datafile::isReadableLibrary(connection, &error), qPrintable(error));

    const CheckResult result = checkLibrary(connection);
    QCOMPARE(result.verdict, damaged ? CheckResult::Verdict::Damaged : CheckResult::Verdict::Sound);
    QCOMPARE(result.problem.isEmpty(), !damaged);

    // The same on its own thread, reported back on this one.
    LibraryCheck check;
    QList<CheckResult> reported;
    connect(&check, &LibraryCheck::finished, this,
            [&reported](const CheckResult& done) { reported.append(done); });
    check.start(connection);
    QTRY_COMPARE(reported.size(), 1);
    QCOMPARE(reported.first().verdict, result.verdict);
    QCOMPARE(reported.first().problem, result.problem);
}

void LibrarySafetyTest::damageFoundAfterStartEndsRunFileUnchanged()
{
    library->create();
    const QString path = library->dataFilePath();
    addPadding(path);
    damagePadding(path);
    QVERIFY(datafile::restoreSignature(path, nullptr));
    const QString problem = checkLibrary(datafile::connectionString(path)).problem;
    QVERIFY(!problem.isEmpty());
    QVERIFY(datafile::writeMarker(path, nullptr));
    const QByteArray before = library->bytes();

    platform->messages.expect(damagedText.arg(path, problem), QStringLiteral("Error"),
                              MsgButtons::Ok, MsgIcon::Critical);
    Letterwright program;
    QVERIFY(program.StartUp());
    MainWindow& w = *program.mainWindow();
    w.show();
    QTRY_COMPARE(platform->application.exitCodes, QList<int>{1});
    QCOMPARE(library->bytes(), before);
    // The run has ended: closing asks and writes nothing.
    QVERIFY(w.close());
    QCOMPARE(library->bytes(), before);
}

void LibrarySafetyTest::dataFileReplacedWhileRunning_data()
{
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<bool>("takenUp");
    QTest::newRow("nominal: a backup made while Letterwright was not running") << "marked" << true;
    QTest::newRow("nominal: a copy made while Letterwright was running") << "unmarked" << true;
    QTest::newRow("robustness: another file put in its place") << "garbage" << false;
    QTest::newRow("robustness: overwritten in place with other bytes") << "in place" << false;
}

void LibrarySafetyTest::dataFileReplacedWhileRunning()
{
    QFETCH(QString, replacement);
    QFETCH(bool, takenUp);
    const QString path = library->dataFilePath();
    // The backup holds a subject of its own, so that it shows once it is taken up.
    LibraryContents older = test::TestLibrary::sample();
    older.subjects.append({QStringLiteral("Restored"), {QStringLiteral("Old")}});
    older.letters.append({0, QStringLiteral("From the Backup"), QStringLiteral("Restored"),
                          QStringLiteral("Old"), QStringLiteral("Kept."), QString(), 0});
    library->create(older);
    QByteArray backup = library->bytes();
    QVERIFY(QFile::remove(path));
    library->create();

    Letterwright program;
    QVERIFY(program.StartUp());
    MainWindow& w = *program.mainWindow();
    w.show();
    QVERIFY(!entries(w.Cmb[0]).contains(QStringLiteral("Restored")));

    QByteArray foreign;
    if (replacement == "marked") {
        QVERIFY(replaceFile(path, backup));
    } else if (replacement == "unmarked") {
        backup.replace(0, 15, "SQLite format 3");
        QVERIFY(replaceFile(path, backup));
        backup.replace(0, 15, "Brightquill2006");
    } else if (replacement == "garbage") {
        foreign = QByteArray(8192, 'g');
        QVERIFY(replaceFile(path, foreign));
    } else {
        foreign = QByteArray(library->bytes().size(), 'g');
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QCOMPARE(file.write(foreign), foreign.size());
    }

    if (takenUp) {
        // The next use of the library finds the restored one.
        w.library().FillSubjects();
        QVERIFY(entries(w.Cmb[0]).contains(QStringLiteral("Restored")));
    } else {
        platform->messages.expect(
            QStringLiteral("The letter library %1 was replaced while Letterwright was running. "
                           "The file now in its place is not the library Letterwright opened, "
                           "and it has been left as it is.")
                .arg(path),
            QStringLiteral("Notice"), MsgButtons::Ok, MsgIcon::Exclamation);
    }
    QVERIFY(w.close());
    // Marked again only where it is the library; anything else is left byte for byte.
    QCOMPARE(library->bytes(), takenUp ? backup : foreign);
}

void LibrarySafetyTest::signalEndsRunAsExitDoes_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("modified");
    for (const int signal : {SIGTERM, SIGHUP}) {
        const char* name = signal == SIGTERM ? "SIGTERM" : "SIGHUP";
        QTest::addRow("nominal: %s, nothing modified", name) << signal << false;
        QTest::addRow("nominal: %s, a modified document is not saved", name) << signal << true;
    }
}

// Logout or shutdown: nobody is there to answer a question, so none is asked; nothing is saved
// behind the user's back, and the library gets its marker back as at Exit.
void LibrarySafetyTest::signalEndsRunAsExitDoes()
{
    QFETCH(int, signal);
    QFETCH(bool, modified);
    library->create();
    const QByteArray marked = library->bytes();
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString document = dir.filePath(QStringLiteral("letter.txt"));
    {
        QFile file(document);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("as it was");
    }
    Letterwright program;
    QVERIFY(program.StartUp());
    MainWindow& w = *program.mainWindow();
    w.show();
    QCOMPARE(library->bytes().left(15), QByteArray("SQLite format 3"));
    if (modified) {
        w.CurrentDocumentPath = document;
        w.RTB->setText(QStringLiteral("edits nobody saved"));
        QVERIFY(w.DocumentModified);
    }
    QCOMPARE(::raise(signal), 0);
    QTRY_COMPARE(platform->application.exitCodes, QList<int>{0});
    QCOMPARE(library->bytes(), marked);
    QCOMPARE(bytesOf(document), QByteArray("as it was"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"letter.txt"});
    QVERIFY(platform->messages.shown.isEmpty());
    // The window then closes without a question.
    QVERIFY(w.close());
    QCOMPARE(library->bytes(), marked);
}

QTEST_MAIN(LibrarySafetyTest)
#include "test_librarysafety.moc"
