#include "FakeServices.h"
#include "TestLibrary.h"
#include "library/DataFile.h"
#include "library/LetterStatements.h"
#include "library/LibraryConnection.h"
#include "library/LibraryFile.h"
#include "library/SqliteDatabase.h"
#include "library/modMain.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTest>

using namespace lw;
using namespace Qt::StringLiterals;

class DatabaseTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void literal_data();
    void literal();
    void statementTexts_data();
    void statementTexts();
    void likeIgnoresCase_data();
    void likeIgnoresCase();
    void likeInStatementsAsInTheRule_data();
    void likeInStatementsAsInTheRule();
    void orderAsInTheRule();
    void listsReadThroughIndexes_data();
    void listsReadThroughIndexes();
    void missingIndexesAddedOnce();
    void libraryWithIndexesLeftUntouched();
    void statementsRunWithHostileValues_data();
    void statementsRunWithHostileValues();
    void titlesUniqueIgnoringCase();
    void subjectsListedOnce();
    void headerSwapIsByteExact();
    void headerSwapRefusesShortOrMissingFile();
    void connectionClosedAfterEveryOperation();
    void missingFileEndsProgram();
    void damagedFileReportsAndStaysClosed();

private:
    std::unique_ptr<test::FakePlatform> platform;
    std::unique_ptr<test::TestLibrary> library;
};

void DatabaseTest::init()
{
    library = std::make_unique<test::TestLibrary>();
    platform = std::make_unique<test::FakePlatform>();
    library->create();
    modMain().DataFilePath = library->dataFilePath();
    modMain().ConnectionString = datafile::connectionString(library->dataFilePath());
    QVERIFY(datafile::restoreSignature(library->dataFilePath(), nullptr));
}

void DatabaseTest::cleanup()
{
    platform.reset();
    library.reset();
}

void DatabaseTest::literal_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("nominal: plain") << "Late"
                                    << "'Late'";
    QTest::newRow("nominal: quote doubled") << "O'Neil"
                                            << "'O''Neil'";
    QTest::newRow("edge: only quotes") << "''"
                                       << "''''''";
    QTest::newRow("edge: empty") << ""
                                 << "''";
}

void DatabaseTest::literal()
{
    QFETCH(QString, value);
    QFETCH(QString, expected);
    QCOMPARE(sql::lit(value), expected);
}

void DatabaseTest::statementTexts_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("expected");
    const QString s = QStringLiteral("It's");
    QTest::newRow("categories: no blank before order")
        << sql::categories(s) << "select name from Category where Subject='It''s'order by name";
    QTest::newRow("letters: no blanks before and/order")
        << sql::letterTitles(s, "C")
        << "select Description from Letter where Subject='It''s'and Category='C'order by "
           "Description";
    QTest::newRow("search: two blanks before like, pattern kept")
        << sql::searchTitles("10%'s")
        << "select Description from Letter where Description  like '%10%''s%'order by Description";
    QTest::newRow("insert") << sql::insertLetter("T", "S", "C", "B")
                            << "Insert into Letter (Description, Subject, Category, Content) "
                               "values('T', 'S', 'C','B')";
    QTest::newRow("move categories: blank before order")
        << sql::moveCategories(s)
        << "Select Name From Category Where Subject='It''s' Order By Name";
    QTest::newRow("move letter") << sql::moveLetter("S", "C", "T")
                                 << "Update Letter Set Subject = 'S', Category= 'C' where "
                                    "Description ='T'";
}

void DatabaseTest::statementTexts()
{
    QFETCH(QString, statement);
    QFETCH(QString, expected);
    QCOMPARE(statement, expected);
}

void DatabaseTest::likeIgnoresCase_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("matches");
    QTest::newRow("nominal: ascii case") << "%LATE%"
                                         << "Late Delivery" << true;
    QTest::newRow("nominal: accented capital") << "%élan%"
                                               << "Élan Award" << true;
    QTest::newRow("nominal: umlaut") << "%ÄRZTE%"
                                     << "ärzte" << true;
    QTest::newRow("nominal: percent inside") << "%first%order%"
                                             << "First Order" << true;
    QTest::newRow("nominal: underscore") << "l_te%"
                                         << "Late" << true;
    QTest::newRow("edge: empty pattern body") << "%%"
                                              << "" << true;
    QTest::newRow("edge: no match") << "%refund%"
                                    << "Late Delivery" << false;
    QTest::newRow("edge: anchored end") << "%late"
                                        << "Late Delivery" << false;
    QTest::newRow("edge: backtracking") << "%aab%"
                                        << "aaaab" << true;
    QTest::newRow("edge: Kelvin sign folds to k")
        << QString::fromUtf8("%\u212A%") << "kilo" << true;
    QTest::newRow("edge: long s folds to s") << "%lass%" << QString::fromUtf8("la\u017Fs") << true;
}

void DatabaseTest::likeIgnoresCase()
{
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(bool, matches);
    QCOMPARE(likeMatches(pattern, text), matches);
}

void DatabaseTest::likeInStatementsAsInTheRule_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("escape");
    QTest::newRow("nominal: a word anywhere") << "%order%" << QString();
    QTest::newRow("nominal: capitals") << "%LATE%" << QString();
    QTest::newRow("nominal: non-ASCII") << "%ÉLAN%" << QString();
    QTest::newRow("nominal: anchored start") << "first%" << QString();
    QTest::newRow("nominal: one character") << "_amaged%" << QString();
    QTest::newRow("nominal: several pieces") << "%a%e%" << QString();
    QTest::newRow("edge: everything") << "%%" << QString();
    QTest::newRow("edge: a non-ASCII character in the middle") << "%ä%" << QString();
    QTest::newRow("edge: folds to ASCII") << QString::fromUtf8("%\u212Aelvin%") << QString();
    QTest::newRow("edge: ASCII that a title folds into") << "%kelvin s%" << QString();
    QTest::newRow("edge: ASCII after a long s") << "%lass%" << QString();
    QTest::newRow("edge: a character beyond 16 bits")
        << QString::fromUtf8("%\U00010437%") << QString();
    QTest::newRow("edge: quote") << "%o'n%" << QString();
    QTest::newRow("edge: percent sign taken literally") << "%10!%%"
                                                        << "!";
    QTest::newRow("edge: escape letter") << "%!a%"
                                         << "!";
}

void DatabaseTest::likeInStatementsAsInTheRule()
{
    // The registered `like` keeps its pattern between rows and reads ASCII titles without
    // converting them; over rows of every kind it must answer as the rule does for each.
    QFETCH(QString, pattern);
    QFETCH(QString, escape);
    const QStringList titles{u"Kelvin"_s,
                             u"Late Delivery"_s,
                             u"late ärger"_s,
                             u"Élan Award"_s,
                             u"ÉLAN"_s,
                             u"First Order"_s,
                             u"10% off"_s,
                             u"100 off"_s,
                             u"O'Neil"_s,
                             u"Damaged Goods"_s,
                             u"la\u017Fs"_s,
                             QString(),
                             u"\u212Aelvin Scale"_s,
                             u"KELVIN \u017Fcale"_s,
                             u"\U0001040F notes"_s};
    SqliteDatabase db;
    QVERIFY(db.open(QStringLiteral(":memory:"), SqliteDatabase::Mode::Create));
    QVERIFY(db.execute(u"create table T (t text collate lw_nocase)"_s));
    for (const QString& title : titles)
        QVERIFY(db.execute(u"insert into T values ("_s + sql::lit(title) + u')'));
    // Bytes that are not UTF-8, as a damaged or foreign library may hold: read as QString reads
    // them. A lone continuation byte, a cut-off sequence, an overlong "/", a surrogate.
    const QList<QByteArray> damaged{"Kelvin \x80 late", "late \xc3", "\xc0\xafkelvin",
                                    "\xed\xa0\x80LATE order"};
    QStringList all = titles;
    for (const QByteArray& bytes : damaged) {
        QVERIFY(db.execute(u"insert into T values (cast(x'"_s + QString::fromLatin1(bytes.toHex()) +
                           u"' as text))"_s));
        all.append(QString::fromUtf8(bytes));
    }
    const QString condition = u"t like "_s + sql::lit(pattern) +
                              (escape.isEmpty() ? QString() : u" escape "_s + sql::lit(escape));
    const auto rows = db.execute(u"select t from T where "_s + condition + u" order by rowid"_s);
    QVERIFY2(rows, qPrintable(db.lastError()));
    QStringList found;
    for (const Row& row : *rows)
        found.append(row.value(0).toString());
    QStringList expected;
    for (const QString& title : all) {
        if (likeMatches(pattern, title, escape.isEmpty() ? QChar() : escape.at(0)))
            expected.append(title);
    }
    QCOMPARE(found, expected);
}

void DatabaseTest::orderAsInTheRule()
{
    // The collation compares ASCII starts in place; texts of every mix must still come in the
    // order of the full rule.
    const QStringList pieces{u"a"_s, u"A"_s, u"b"_s, u"é"_s, u"É"_s, u"e\u0301"_s, u"z"_s,
                             u" "_s, u"-"_s, u"1"_s, u"ß"_s, u"ä"_s, u"Letter "_s, u"\u212A"_s};
    QRandomGenerator random(20261210);
    QStringList texts;
    for (int i = 0; i < 400; ++i) {
        QString text;
        const int length = int(random.bounded(6));
        for (int j = 0; j < length; ++j)
            text += pieces.at(random.bounded(pieces.size()));
        texts.append(text);
    }
    SqliteDatabase db;
    QVERIFY(db.open(QStringLiteral(":memory:"), SqliteDatabase::Mode::Create));
    QVERIFY(db.execute(u"create table T (t text collate lw_nocase)"_s));
    for (const QString& text : texts)
        QVERIFY(db.execute(u"insert into T values ("_s + sql::lit(text) + u')'));
    const auto rows = db.execute(u"select t from T order by t, rowid"_s);
    QVERIFY(rows);
    QStringList ordered;
    for (const Row& row : *rows)
        ordered.append(row.value(0).toString());
    QStringList expected = texts;
    std::stable_sort(expected.begin(), expected.end(), [](const QString& a, const QString& b) {
        return compareIgnoringCase(a, b) < 0;
    });
    QCOMPARE(ordered, expected);
}

void DatabaseTest::listsReadThroughIndexes_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("index");
    QTest::newRow("letters of a category")
        << sql::letterTitles(u"BUSINESS"_s, u"complaints"_s) << "LetterByCategory";
    QTest::newRow("favourites") << sql::favoriteTitles() << "LetterByFavorite";
}

void DatabaseTest::listsReadThroughIndexes()
{
    // The lists read only their own rows, already in title order, and give what a whole scan of
    // the table gives.
    QFETCH(QString, statement);
    QFETCH(QString, index);
    LibraryConnection db(nullptr);
    QVERIFY(db.OpenDatabase());
    const auto plan = db.Execute(u"explain query plan "_s + statement);
    QVERIFY(plan);
    QString steps;
    for (const Row& row : *plan)
        steps += row.value(3).toString() + u'\n';
    QVERIFY2(steps.contains(u"USING COVERING INDEX "_s + index), qPrintable(steps));
    QVERIFY2(!steps.contains(u"TEMP B-TREE"_s), qPrintable(steps));
    const auto indexed = db.Execute(statement);
    const auto scanned =
        db.Execute(QString(statement).replace(u"from Letter"_s, u"from Letter not indexed"_s));
    QVERIFY(indexed && scanned);
    QVERIFY(!indexed->isEmpty());
    QCOMPARE(*indexed, *scanned);
    db.Close();
}

void DatabaseTest::missingIndexesAddedOnce()
{
    const LibraryContents before = library->contents();
    {
        SqliteDatabase db;
        QVERIFY(db.open(library->dataFilePath()));
        for (const QString& index : sql::indexNames())
            QVERIFY(db.execute(u"drop index "_s + index));
    }
    QString error;
    QVERIFY2(addMissingIndexes(modMain().ConnectionString, &error), qPrintable(error));
    SqliteDatabase db;
    QVERIFY(db.open(library->dataFilePath()));
    const auto indexes = db.execute(u"select name from sqlite_master where type = 'index' and "
                                    "name like 'LetterBy%' order by name"_s);
    QVERIFY(indexes);
    QCOMPARE(indexes->size(), 2);
    db.close();
    QVERIFY(datafile::writeMarker(library->dataFilePath(), nullptr));
    const LibraryContents after = library->contents();
    QCOMPARE(after.subjects, before.subjects);
    QCOMPARE(after.letters, before.letters);
    QVERIFY(!QFile::exists(library->dataFilePath() + u"-journal"_s));
}

void DatabaseTest::libraryWithIndexesLeftUntouched()
{
    const QByteArray before = library->bytes();
    QString error;
    QVERIFY2(addMissingIndexes(modMain().ConnectionString, &error), qPrintable(error));
    QCOMPARE(library->bytes(), before);
    // A file that is no library is reported, and left as it was.
    QFile file(library->dataFilePath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("not a library at all, just some words in a file");
    file.close();
    QVERIFY(!addMissingIndexes(modMain().ConnectionString, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(library->bytes(), QByteArray("not a library at all, just some words in a file"));
}

void DatabaseTest::statementsRunWithHostileValues_data()
{
    QTest::addColumn<QString>("title");
    QTest::newRow("quote") << "Bob's \"best\" letter";
    QTest::newRow("percent and underscore") << "100% _sure_";
    QTest::newRow("non-ascii") << "Ça va — Ärger 🙂";
    QTest::newRow("statement-like") << "x'); drop table Letter; --";
}

void DatabaseTest::statementsRunWithHostileValues()
{
    QFETCH(QString, title);
    LibraryConnection db(nullptr);
    QVERIFY(db.OpenDatabase());
    QVERIFY(db.Execute(sql::insertLetter(title, "It's", "Cat's", "Body's 'quoted'")));
    const auto taken = db.Execute(sql::titleTaken(title.toUpper()));
    QVERIFY(taken);
    QCOMPARE(taken->size(), 1);
    const auto content = db.Execute(sql::letterContent(title));
    QVERIFY(content);
    QCOMPARE(content->first().value(0).toString(), QStringLiteral("Body's 'quoted'"));
    const auto found = db.Execute(sql::letterTitles("IT'S", "cat'S"));
    QVERIFY(found);
    QCOMPARE(found->size(), 1);
    QCOMPARE(found->first().value(0).toString(), title);
    QVERIFY(db.Execute(sql::moveLetter("S'", "C'", title)));
    QVERIFY(db.Execute(sql::deleteLetter(title)));
    QCOMPARE(db.Execute(sql::titleTaken(title))->size(), 0);
    QCOMPARE(db.Execute(QStringLiteral("select count(*) from Letter"))->first().value(0).toInt(),
             5);
    db.Close();
}

void DatabaseTest::titlesUniqueIgnoringCase()
{
    LibraryConnection db(nullptr);
    QVERIFY(db.OpenDatabase());
    QCOMPARE(db.Execute(sql::titleTaken(QStringLiteral("élan award")))->size(), 1);
    QCOMPARE(db.Execute(sql::searchTitles(QStringLiteral("ÉLAN")))->size(), 1);
    const auto ordered = db.Execute(QStringLiteral("select Description from Letter where "
                                                   "Description = 'LATE DELIVERY'"));
    QCOMPARE(ordered->size(), 1);
    platform->messages.expect(QStringLiteral("The letter library could not be used: the letter "
                                             "library refused the change.\n\nDetails: UNIQUE "
                                             "constraint failed: Letter.Description"),
                              QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);
    QVERIFY(!db.Execute(sql::insertLetter(QStringLiteral("ÉLAN AWARD"), "S", "C", "B")));
    QVERIFY(!db.isOpen());
}

void DatabaseTest::subjectsListedOnce()
{
    LibraryConnection db(nullptr);
    QVERIFY(db.OpenDatabase());
    QVERIFY(db.Execute(QStringLiteral("insert into Subject (name) values ('business')")));
    const auto subjects = db.Execute(sql::subjects());
    db.Close();
    QVERIFY(subjects);
    QStringList names;
    for (const Row& row : *subjects)
        names.append(row.value(0).toString());
    QCOMPARE(names.size(), 3);
    QCOMPARE(names.at(0).toLower(), QStringLiteral("business"));
    QCOMPARE(names.mid(1), (QStringList{"Personal", "Zero"}));
}

void DatabaseTest::headerSwapIsByteExact()
{
    const QByteArray restored = library->bytes();
    QVERIFY(restored.startsWith("SQLite format 3\0"));
    QVERIFY(datafile::writeMarker(library->dataFilePath(), nullptr));
    const QByteArray marked = library->bytes();
    QCOMPARE(marked.size(), restored.size());
    QCOMPARE(marked.left(15), QByteArray("Brightquill2006"));
    QCOMPARE(marked.mid(15), restored.mid(15));
    QVERIFY(datafile::restoreSignature(library->dataFilePath(), nullptr));
    QCOMPARE(library->bytes(), restored);
}

void DatabaseTest::headerSwapRefusesShortOrMissingFile()
{
    QString error;
    const QString missing = library->dataHome() + QStringLiteral("/none.dat");
    QVERIFY(!datafile::restoreSignature(missing, &error));
    QVERIFY(!QFile::exists(missing));
    const QString tiny = library->dataHome() + QStringLiteral("/tiny.dat");
    QFile file(tiny);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("short");
    file.close();
    QVERIFY(!datafile::writeMarker(tiny, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("short"));
}

void DatabaseTest::connectionClosedAfterEveryOperation()
{
    LibraryConnection db(nullptr);
    {
        LibraryOperation op(db);
        QVERIFY(bool(op));
        QVERIFY(op.run(sql::subjects()));
        QVERIFY(db.isOpen());
    }
    QVERIFY(!db.isOpen());
    {
        LibraryOperation op(db);
        platform->messages.expect(
            QStringLiteral("The letter library could not be used: the file is not a letter "
                           "library that Letterwright can read.\n\nDetails: no such table: "
                           "Nowhere"),
            QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);
        QVERIFY(!op.run(QStringLiteral("select * from Nowhere")));
        QVERIFY(!db.isOpen());
    }
    QVERIFY(!db.isOpen());
    QCOMPARE(db.SqlText, QStringLiteral("select * from Nowhere"));
}

void DatabaseTest::missingFileEndsProgram()
{
    QFile::remove(library->dataFilePath());
    LibraryConnection db(nullptr);
    platform->messages.expect(
        QStringLiteral("One or more files of this program is damaged.  Please reinstall it."),
        QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);
    QVERIFY(!db.OpenDatabase());
    QCOMPARE(platform->application.exitCodes, QList<int>{1});
    QVERIFY(!db.isOpen());
    QVERIFY(!QFile::exists(library->dataFilePath()));
}

void DatabaseTest::damagedFileReportsAndStaysClosed()
{
    QFile file(library->dataFilePath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QByteArray(4096, 'x'));
    file.close();
    LibraryConnection db(nullptr);
    platform->messages.expect(QStringLiteral("The letter library could not be used: the letter "
                                             "library is damaged.\n\nDetails: file is not a "
                                             "database"),
                              QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);
    QVERIFY(!db.OpenDatabase());
    QVERIFY(!db.isOpen());
    QVERIFY(platform->application.exitCodes.isEmpty());
}

QTEST_MAIN(DatabaseTest)
#include "test_database.moc"
