#include "FakeServices.h"
#include "TestLibrary.h"
#include "WidgetContents.h"
#include "app/Letterwright.h"
#include "editor/RichTextBox.h"
#include "library/DataFile.h"
#include "library/SqliteDatabase.h"
#include "library/modMain.h"
#include "mainwindow/frmMail.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QLockFile>
#include <QTest>

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
    void unwritableDataFileEndsProgram();
    void damagedLibraryEndsProgramUnchanged_data();
    void damagedLibraryEndsProgramUnchanged();
    void secondInstanceEndsSilently();
    void shutdownWritesMarker_data();
    void shutdownWritesMarker();
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
    frmMail& w = *program.mainWindow();
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
    frmMail& w = *program.mainWindow();
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

void StartupTest::unwritableDataFileEndsProgram()
{
    // A file too short to hold the header cannot take the signature.
    QDir().mkpath(datafile::dataFolder());
    QFile file(library->dataFilePath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Brightquill");
    file.close();
    platform->messages.expect(
        QStringLiteral("The letter library %1 cannot be opened for writing:\nthe file is too "
                       "short to be a letter library\n\nClose any program that uses it, make "
                       "sure you may change it, and start Letterwright again.")
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
    frmMail& w = *program.mainWindow();
    w.show();
    if (modified) {
        w.RTB->setText(QStringLiteral("changed"));
        QVERIFY(w.DocumentModified);
        platform->messages.expect(QStringLiteral("Current file has been modified.  Save changes?"),
                                  QStringLiteral("Notice"), MsgButtons::YesNo, MsgIcon::None,
                                  MsgAnswer::No);
    }
    QVERIFY(w.close());
    const QByteArray after = library->bytes();
    QCOMPARE(after.left(15), QByteArray("Brightquill2006"));
    QCOMPARE(after.size(), marked.size());
    QCOMPARE(after.mid(15), marked.mid(15));
}

void StartupTest::dataFileRemovedWhileRunning()
{
    library->create();
    Letterwright program;
    QVERIFY(program.StartUp());
    frmMail& w = *program.mainWindow();
    QFile::remove(library->dataFilePath());
    platform->messages.expect(
        QStringLiteral("One or more files of this program is damaged.  Please reinstall it."),
        QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);
    w.Cmb[0]->setCurrentIndex(1);
    QCOMPARE(platform->application.exitCodes, QList<int>{1});
    // The program has ended: no further operation, and no marker written at the close.
    w.close();
    QVERIFY(!QFile::exists(library->dataFilePath()));
}

QTEST_MAIN(StartupTest)
#include "test_startup.moc"
