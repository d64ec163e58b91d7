#include "TestLibrary.h"
#include "library/DataFile.h"
#include "library/LibrarySource.h"
#include "library/SqliteDatabase.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace lw;

namespace {

void writeFile(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray catalogue = "# test\nOffice\n    Supplies\n    Staff\nHome\n    Bills\n";

QByteArray letter(const QByteArray& title, const QByteArray& subject = "Office",
                  const QByteArray& category = "Supplies", const QByteArray& body = "Body text.")
{
    return "Title: " + title + "\nSubject: " + subject + "\nCategory: " + category +
           "\nFile: " + title.toLower().replace(' ', '-') + ".txt\n\n" + body + "\n";
}

} // namespace

class LibrarySourceTest : public QObject
{
    Q_OBJECT
private slots:
    void buildThenExportRoundTrips();
    void exportOfChangedLibraryRoundTrips();
    void exportLeavesMarkedFileUntouched();
    void buildRefuses_data();
    void buildRefuses();
    void buildNeverOverwritesLibrary();
    void lettersComeInTheOrderOfTheirPaths();
    void titleTwiceInFoldersNamesTheEarlierFile();
    void fileNames_data();
    void fileNames();
};

void LibrarySourceTest::buildThenExportRoundTrips()
{
    QTemporaryDir dir;
    const QString source = dir.filePath("source");
    writeFile(source + "/catalogue.txt", catalogue);
    writeFile(source + "/letters/b.txt",
              letter("Order Pens", "Office", "Supplies", "Dear [Name],\n\n  Pens, please."));
    writeFile(source + "/letters/a.txt", "Title: Rent Due\nSubject: Home\nCategory: Bills\n"
                                         "Favorite: yes\n\nPay the rent.\n");
    const QString data = dir.filePath("lib/lwx37.dat");
    const QString letters = dir.filePath("letter");
    QString error;
    QVERIFY2(librarysource::build(source, data, letters, &error), qPrintable(error));
    QCOMPARE(readFile(data).left(15), QByteArray("Brightquill2006"));

    const auto built = readLibraryFile(data, &error);
    QVERIFY2(built, qPrintable(error));
    QCOMPARE(built->subjects.size(), 2);
    QCOMPARE(built->subjects.at(0).second, (QStringList{"Supplies", "Staff"}));
    QCOMPARE(built->letters.size(), 2);
    const LetterRecord& first = built->letters.at(0);
    QCOMPARE(first.id, 1);
    QCOMPARE(first.title, QStringLiteral("Rent Due"));
    QCOMPARE(first.favorite, 1);
    QCOMPARE(first.file, QString());
    const LetterRecord& second = built->letters.at(1);
    QCOMPARE(second.content, QStringLiteral("Dear [Name],\n\n  Pens, please."));
    QCOMPARE(readFile(letters + "/order-pens.txt"),
             QByteArray("Dear [Name],\r\n\r\n  Pens, please."));
    QCOMPARE(QDir(letters).entryList(QDir::Files).size(), 1);

    const QString exported = dir.filePath("export");
    QVERIFY2(librarysource::write(*built, exported, &error), qPrintable(error));
    QVERIFY2(
        librarysource::build(exported, dir.filePath("again.dat"), dir.filePath("letter2"), &error),
        qPrintable(error));
    const auto again = readLibraryFile(dir.filePath("again.dat"), &error);
    QVERIFY(again);
    QCOMPARE(again->letters, built->letters);
    QCOMPARE(again->subjects, built->subjects);
}

void LibrarySourceTest::exportOfChangedLibraryRoundTrips()
{
    test::TestLibrary library;
    library.create();
    // What the program does to a library: letters added without a file, favourites, a move, a
    // deletion that leaves a gap in the IDs.
    QVERIFY(datafile::restoreSignature(library.dataFilePath(), nullptr));
    {
        SqliteDatabase db;
        QVERIFY(db.open(library.dataFilePath()));
        QVERIFY(db.execute("Insert into Letter (Description, Subject, Category, Content) "
                           "values('User''s \"own\" letter', 'Personal', 'Thanks','Line 1\nLine "
                           "2\n')"));
        QVERIFY(db.execute("update Letter set Favorite = 1 where Description = 'First Order'"));
        QVERIFY(db.execute("Delete from Letter where Description = 'Late Delivery'"));
    }
    QVERIFY(datafile::writeMarker(library.dataFilePath(), nullptr));
    const LibraryContents before = library.contents();

    QTemporaryDir dir;
    QString error;
    QVERIFY(librarysource::write(before, dir.filePath("out"), &error));
    QVERIFY2(librarysource::build(dir.filePath("out"), dir.filePath("copy.dat"),
                                  dir.filePath("letter"), &error),
             qPrintable(error));
    const auto after = readLibraryFile(dir.filePath("copy.dat"), &error);
    QVERIFY(after);
    QCOMPARE(after->subjects, before.subjects);
    QCOMPARE(after->letters.size(), before.letters.size());
    for (int i = 0; i < before.letters.size(); ++i)
        QCOMPARE(after->letters.at(i), before.letters.at(i));
}

void LibrarySourceTest::exportLeavesMarkedFileUntouched()
{
    test::TestLibrary library;
    library.create();
    const QByteArray marked = library.bytes();
    QTemporaryDir dir;
    QString error;
    const auto contents = readLibraryFile(library.dataFilePath(), &error);
    QVERIFY(contents);
    QVERIFY(librarysource::write(*contents, dir.path(), &error));
    QCOMPARE(library.bytes(), marked);
    QVERIFY(datafile::restoreSignature(library.dataFilePath(), nullptr));
    const QByteArray restored = library.bytes();
    QVERIFY(readLibraryFile(library.dataFilePath(), &error));
    QCOMPARE(library.bytes(), restored);
}

void LibrarySourceTest::buildRefuses_data()
{
    QTest::addColumn<QByteArray>("catalogueText");
    QTest::addColumn<QByteArray>("letterA");
    QTest::addColumn<QByteArray>("letterB");
    QTest::addColumn<QString>("message");
    QTest::newRow("title twice, letter case ignored")
        << catalogue << letter("Order Pens") << letter("ORDER PENS").replace("order-pens", "x")
        << "b.txt:1: the title \"ORDER PENS\" is given twice";
    QTest::newRow("subject not listed") << catalogue << letter("Pens", "Garden") << QByteArray()
                                        << "a.txt:3: subject \"Garden\" with category";
    QTest::newRow("category not listed")
        << catalogue << letter("Pens", "Office", "Bills") << QByteArray()
        << "a.txt:3: subject \"Office\" with category \"Bills\" is not listed";
    QTest::newRow("missing title")
        << catalogue << QByteArray("Subject: Office\nCategory: Staff\n\nBody\n") << QByteArray()
        << "a.txt:1: the letter has no title";
    QTest::newRow("missing category")
        << catalogue << QByteArray("Title: T\nSubject: Office\n\nBody\n") << QByteArray()
        << "a.txt:1: the letter has no category";
    QTest::newRow("missing body") << catalogue << letter("Pens", "Office", "Supplies", "")
                                  << QByteArray() << "a.txt:6: the letter has no body";
    QTest::newRow("header line without a name")
        << catalogue << QByteArray("Title: T\nnonsense\n\nBody\n") << QByteArray()
        << "a.txt:2: expected a \"Name: value\" line";
    QTest::newRow("unknown fields: the first one named")
        << catalogue
        << QByteArray("Title: T\nColour: red\nSubject: Office\nCategory: Staff\nSize: 2\n\nB\n")
        << QByteArray() << "a.txt:2: unknown field Colour";
    QTest::newRow("field given twice")
        << catalogue << QByteArray("Title: T\nSubject: Office\nTitle: U\nCategory: Staff\n\nB\n")
        << QByteArray() << "a.txt:3: Title given twice";
    QTest::newRow("body of blanks only")
        << catalogue << QByteArray("Title: T\nSubject: Office\nCategory: Staff\n\n \t\n\u00a0\n")
        << QByteArray() << "a.txt:5: the letter has no body";
    QTest::newRow("file name with a folder")
        << catalogue
        << QByteArray("Title: T\nSubject: Office\nCategory: Staff\nFile: ../evil.txt\n\nB\n")
        << QByteArray() << "a.txt:4: File must be a plain file name";
    QTest::newRow("category before any subject")
        << QByteArray("    Orphan\n") << letter("Pens") << QByteArray()
        << "catalogue.txt:1: category \"Orphan\" comes before any subject";
    QTest::newRow("unreadable catalogue")
        << QByteArray() << letter("Pens") << QByteArray() << "catalogue.txt: cannot be read";
}

void LibrarySourceTest::buildRefuses()
{
    QFETCH(QByteArray, catalogueText);
    QFETCH(QByteArray, letterA);
    QFETCH(QByteArray, letterB);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString source = dir.filePath("source");
    QDir().mkpath(source);
    if (!catalogueText.isEmpty())
        writeFile(source + "/catalogue.txt", catalogueText);
    writeFile(source + "/letters/a.txt", letterA);
    if (!letterB.isEmpty())
        writeFile(source + "/letters/b.txt", letterB);
    QString error;
    QVERIFY(
        !librarysource::build(source, dir.filePath("lwx37.dat"), dir.filePath("letter"), &error));
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY(error.startsWith(source));
    QVERIFY(!QFile::exists(dir.filePath("lwx37.dat")));
    QVERIFY(!QFile::exists(dir.filePath("lwx37.dat.building")));
    QVERIFY(!QFile::exists(dir.filePath("letter")));
}

void LibrarySourceTest::buildNeverOverwritesLibrary()
{
    QTemporaryDir dir;
    writeFile(dir.filePath("source/catalogue.txt"), catalogue);
    writeFile(dir.filePath("source/letters/a.txt"), letter("Pens"));
    writeFile(dir.filePath("lwx37.dat"), "a user's library");
    QString error;
    QVERIFY(!librarysource::build(dir.filePath("source"), dir.filePath("lwx37.dat"),
                                  dir.filePath("letter"), &error));
    QVERIFY(error.contains("already there"));
    QCOMPARE(readFile(dir.filePath("lwx37.dat")), QByteArray("a user's library"));
}

void LibrarySourceTest::lettersComeInTheOrderOfTheirPaths()
{
    // Folders are read one at a time; the letters must still come as their whole paths sort:
    // "a-c.txt" and "a.txt" before "a/", a character beyond 16 bits before U+FFFD (UTF-16
    // order, not the bytes'), and hidden or linked folders and other files left out.
    QTemporaryDir dir;
    const QString source = dir.filePath("source");
    const QString letters = source + "/letters";
    writeFile(source + "/catalogue.txt", catalogue);
    const QStringList paths{"a/b.txt",
                            "a/z/x.txt",
                            "a-c.txt",
                            "a.txt",
                            "b/a.txt",
                            "b.TXT",
                            "é/é.txt",
                            "e/f.txt",
                            "\uFFFD.txt",
                            "\U0001F600.txt",
                            "deep/er/still/x.txt",
                            "Z.txt",
                            "a/a/a.txt",
                            ".hidden/h.txt",
                            "notes.md"};
    for (const QString& path : paths)
        writeFile(letters + u'/' + path,
                  "Title: " + path.toUtf8() + "\nSubject: Office\nCategory: Staff\n\nBody\n");
    QVERIFY(QFile::link(letters + "/a", letters + "/link"));
    // The rule: every letter file a recursive listing finds, sorted by its path as text.
    QStringList expected;
    for (QDirIterator it(letters, {"*.txt"}, QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();)
        expected.append(QDir(letters).relativeFilePath(it.next()));
    std::sort(expected.begin(), expected.end());
    QVERIFY(!expected.contains(".hidden/h.txt"));
    QVERIFY(!expected.contains("link/b.txt"));

    QString error;
    QVERIFY2(
        librarysource::build(source, dir.filePath("lwx37.dat"), dir.filePath("letter"), &error),
        qPrintable(error));
    const auto built = readLibraryFile(dir.filePath("lwx37.dat"), &error);
    QVERIFY2(built, qPrintable(error));
    QStringList titles;
    for (const LetterRecord& record : built->letters)
        titles.append(record.title);
    QCOMPARE(titles, expected);
}

void LibrarySourceTest::titleTwiceInFoldersNamesTheEarlierFile()
{
    QTemporaryDir dir;
    const QString source = dir.filePath("source");
    writeFile(source + "/catalogue.txt", catalogue);
    for (int i = 0; i < 30; ++i)
        writeFile(source + QStringLiteral("/letters/%1/%2.txt").arg(i % 3).arg(i),
                  letter(QByteArray::number(i) + " pens"));
    writeFile(source + "/letters/1/b/first.txt", letter("Order Pens"));
    writeFile(source + "/letters/2/again.txt", letter("ORDER pens").replace("order-pens", "other"));
    QString error;
    QVERIFY(
        !librarysource::build(source, dir.filePath("lwx37.dat"), dir.filePath("letter"), &error));
    QCOMPARE(error, source +
                        "/letters/2/again.txt:1: the title \"ORDER pens\" is given twice "
                        "(also in " +
                        source + "/letters/1/b/first.txt)");
}

void LibrarySourceTest::fileNames_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("name");
    QTest::newRow("nominal") << "Late Delivery"
                             << "late-delivery.txt";
    QTest::newRow("punctuation") << "O'Neil's Refund, Again!"
                                 << "o-neil-s-refund-again.txt";
    QTest::newRow("non-ascii only") << "Ärger"
                                    << "rger.txt";
    QTest::newRow("nothing usable") << "!!!"
                                    << "letter.txt";
}

void LibrarySourceTest::fileNames()
{
    QFETCH(QString, title);
    QFETCH(QString, name);
    QCOMPARE(librarysource::fileNameFor(title), name);
}

QTEST_MAIN(LibrarySourceTest)
#include "test_librarysource.moc"
