#include "merge/MergeChecks.h"
#include "merge/MergeNames.h"
#include "merge/MergeTable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace lw;
using namespace Qt::StringLiterals;

using Rows = QList<QStringList>;
Q_DECLARE_METATYPE(Rows)

class MergeTableTest : public QObject
{
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void refused_data();
    void refused();
    void readsFiles_data();
    void readsFiles();
    void columnOf_data();
    void columnOf();
    void checks_data();
    void checks();
    void describeCuts();
    void safeFileName_data();
    void safeFileName();
    void fileNames_data();
    void fileNames();
};

namespace {

Rows rowsOf(const MergeTable& table)
{
    Rows rows;
    for (int row = 0; row < table.rowCount(); ++row)
        rows.append(table.cells(row));
    return rows;
}

QByteArray windows1252(const QString& text)
{
    QByteArray bytes;
    for (QChar c : text) {
        // The few characters these tests use outside Latin-1.
        if (c == u'€')
            bytes += '\x80';
        else if (c == u'’')
            bytes += '\x92';
        else
            bytes += char(c.unicode());
    }
    return bytes;
}

} // namespace

void MergeTableTest::read_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QStringList>("columns");
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<QList<int>>("tableRows");

    QTest::newRow("nominal: comma, CR LF")
        << "Name,City\r\nAnna,Bern\r\nBob,Oslo\r\n"_ba << u","_s
        << QStringList{u"Name"_s, u"City"_s} << Rows{{u"Anna"_s, u"Bern"_s}, {u"Bob"_s, u"Oslo"_s}}
        << QList<int>{2, 3};
    QTest::newRow("nominal: LF and no line break at the end")
        << "Name,City\nAnna,Bern\nBob,Oslo"_ba << u","_s << QStringList{u"Name"_s, u"City"_s}
        << Rows{{u"Anna"_s, u"Bern"_s}, {u"Bob"_s, u"Oslo"_s}} << QList<int>{2, 3};
    QTest::newRow("nominal: semicolon, as spreadsheets in Europe write")
        << "Name;Amount\r\nAnna;1,50\r\n"_ba << u";"_s << QStringList{u"Name"_s, u"Amount"_s}
        << Rows{{u"Anna"_s, u"1,50"_s}} << QList<int>{2};
    QTest::newRow("nominal: tab") << "Name\tNote, with comma\nAnna\tx, y\n"_ba << u"\t"_s
                                  << QStringList{u"Name"_s, u"Note, with comma"_s}
                                  << Rows{{u"Anna"_s, u"x, y"_s}} << QList<int>{2};
    QTest::newRow("nominal: separators inside quotes of the header do not count")
        << "\"Name; Title\",City\nA,B\n"_ba << u","_s << QStringList{u"Name; Title"_s, u"City"_s}
        << Rows{{u"A"_s, u"B"_s}} << QList<int>{2};
    QTest::newRow("nominal: Excel's sep= line")
        << "sep=;\r\nName,Title;City\r\nAnna, Dr.;Bern\r\n"_ba << u";"_s
        << QStringList{u"Name,Title"_s, u"City"_s} << Rows{{u"Anna, Dr."_s, u"Bern"_s}}
        << QList<int>{2};
    QTest::newRow("nominal: quotes, doubled quotes, separators in quotes")
        << "Name,Note\n\"Smith, Anna\",\"She said \"\"yes\"\"\"\n"_ba << u","_s
        << QStringList{u"Name"_s, u"Note"_s} << Rows{{u"Smith, Anna"_s, u"She said \"yes\""_s}}
        << QList<int>{2};
    QTest::newRow("nominal: line breaks inside quotes are kept, the row counts once")
        << "Name,Address\r\nAnna,\"1 Main St\r\nSpringfield\"\r\nBob,\"x\ny\"\r\n"_ba << u","_s
        << QStringList{u"Name"_s, u"Address"_s}
        << Rows{{u"Anna"_s, u"1 Main St\r\nSpringfield"_s}, {u"Bob"_s, u"x\ny"_s}}
        << QList<int>{2, 3};
    QTest::newRow("nominal: an empty quoted cell and an empty last cell")
        << "A,B,C\n\"\",x,\n"_ba << u","_s << QStringList{u"A"_s, u"B"_s, u"C"_s}
        << Rows{{QString(), u"x"_s, QString()}} << QList<int>{2};
    QTest::newRow("nominal: blanks around header names are taken off, cells keep theirs")
        << "  Name , City\n Anna , Bern\n"_ba << u","_s << QStringList{u"Name"_s, u"City"_s}
        << Rows{{u" Anna "_s, u" Bern"_s}} << QList<int>{2};
    QTest::newRow("nominal: UTF-8 with byte-order mark")
        << "\xEF\xBB\xBFName,City\nJürgen,Zürich\n"_ba << u","_s
        << QStringList{u"Name"_s, u"City"_s} << Rows{{u"Jürgen"_s, u"Zürich"_s}} << QList<int>{2};
    QTest::newRow("nominal: UTF-8 without byte-order mark")
        << "Name,City\nJürgen,Zürich\n"_ba << u","_s << QStringList{u"Name"_s, u"City"_s}
        << Rows{{u"Jürgen"_s, u"Zürich"_s}} << QList<int>{2};
    QTest::newRow("nominal: Windows-1252")
        << windows1252(u"Name;Amount\r\nJürgen O’Neil;€ 12\r\n"_s) << u";"_s
        << QStringList{u"Name"_s, u"Amount"_s} << Rows{{u"Jürgen O’Neil"_s, u"€ 12"_s}}
        << QList<int>{2};
    QTest::newRow("nominal: UTF-16 with byte-order mark, as Excel's Unicode text")
        << QByteArray("\xFF\xFE") +
               QByteArray(reinterpret_cast<const char*>(u"Name\tCity\r\nÅsa\tBergen\r\n"), 2 * 23)
        << u"\t"_s << QStringList{u"Name"_s, u"City"_s} << Rows{{u"Åsa"_s, u"Bergen"_s}}
        << QList<int>{2};
    QTest::newRow("nominal: one column")
        << "Name\nAnna\nBob\n"_ba << u","_s << QStringList{u"Name"_s}
        << Rows{{u"Anna"_s}, {u"Bob"_s}} << QList<int>{2, 3};
    QTest::newRow("robustness: ragged rows keep their own cells")
        << "A,B,C\n1,2\n1,2,3,4\n"_ba << u","_s << QStringList{u"A"_s, u"B"_s, u"C"_s}
        << Rows{{u"1"_s, u"2"_s}, {u"1"_s, u"2"_s, u"3"_s, u"4"_s}} << QList<int>{2, 3};
    QTest::newRow("robustness: blank rows are passed over, numbers stay those of the table")
        << "Name,City\n\nAnna,Bern\n,\n  ,  \nBob,Oslo\n\n\n"_ba << u","_s
        << QStringList{u"Name"_s, u"City"_s} << Rows{{u"Anna"_s, u"Bern"_s}, {u"Bob"_s, u"Oslo"_s}}
        << QList<int>{3, 6};
    QTest::newRow("robustness: old Mac line ends (CR only)")
        << "Name,City\rAnna,Bern\rBob,Oslo\r"_ba << u","_s << QStringList{u"Name"_s, u"City"_s}
        << Rows{{u"Anna"_s, u"Bern"_s}, {u"Bob"_s, u"Oslo"_s}} << QList<int>{2, 3};
    QTest::newRow("robustness: a quote inside an unquoted cell is a character")
        << "Name,Size\nAnna,5\" wide\n"_ba << u","_s << QStringList{u"Name"_s, u"Size"_s}
        << Rows{{u"Anna"_s, u"5\" wide"_s}} << QList<int>{2};
    QTest::newRow("robustness: text after a closing quote stays in the cell")
        << "Name,Note\n\"Anna\" Smith,x\n"_ba << u","_s << QStringList{u"Name"_s, u"Note"_s}
        << Rows{{u"Anna Smith"_s, u"x"_s}} << QList<int>{2};
    QTest::newRow("robustness: header only")
        << "Name,City\r\n"_ba << u","_s << QStringList{u"Name"_s, u"City"_s} << Rows{}
        << QList<int>{};
    QTest::newRow("robustness: blank lines before the header")
        << "\r\n\r\nName\r\nAnna\r\n"_ba << u","_s << QStringList{u"Name"_s} << Rows{{u"Anna"_s}}
        << QList<int>{2};
}

void MergeTableTest::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, separator);
    QFETCH(QStringList, columns);
    QFETCH(Rows, rows);
    QFETCH(QList<int>, tableRows);

    QString error;
    const auto table = MergeTable::parse(bytes, u"t.csv"_s, &error);
    QVERIFY2(table, qPrintable(error));
    QCOMPARE(QString(table->separator()), separator);
    QCOMPARE(table->columns(), columns);
    QCOMPARE(rowsOf(*table), rows);
    QList<int> numbers;
    for (int row = 0; row < table->rowCount(); ++row)
        numbers.append(table->tableRow(row));
    QCOMPARE(numbers, tableRows);
}

void MergeTableTest::refused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");

    QTest::newRow("robustness: empty file")
        << QByteArray() << u"The table t.csv is empty: its first row must name the columns."_s;
    QTest::newRow("robustness: only blank lines")
        << "\r\n \r\n\t\n"_ba
        << u"The table t.csv is empty: its first row must name the columns."_s;
    QTest::newRow("robustness: only a byte-order mark")
        << "\xEF\xBB\xBF"_ba << u"The table t.csv is empty: its first row must name the columns."_s;
    QTest::newRow("robustness: a quote never closed swallows no rows")
        << "Name,Note\nAnna,ok\nBob,\"open\nCarl,x\nDora,y\n"_ba
        << u"The table t.csv cannot be read: the quoted cell in row 3 (line 3) has no closing "
           "quote."_s;
    QTest::newRow("robustness: a quote never closed, after a cell with line breaks")
        << "Name,Note\n\"A\",\"two\nlines\"\n\"B\nx,y\n"_ba
        << u"The table t.csv cannot be read: the quoted cell in row 3 (line 4) has no closing "
           "quote."_s;
}

void MergeTableTest::refused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    QString reason;
    QVERIFY(!MergeTable::parse(bytes, u"t.csv"_s, &reason));
    QCOMPARE(reason, error);
}

void MergeTableTest::readsFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("error");
    QTest::newRow("nominal: a file") << u"file"_s << QString();
    QTest::newRow("robustness: missing") << u"missing"_s << u"The table %1 does not exist."_s;
    QTest::newRow("robustness: a folder") << u"folder"_s << u"The table %1 is not a file."_s;
    QTest::newRow("robustness: a FIFO is never read")
        << u"fifo"_s << u"The table %1 is not a file."_s;
    QTest::newRow("robustness: unreadable")
        << u"unreadable"_s << u"The table %1 cannot be read: "_s;
}

void MergeTableTest::readsFiles()
{
    QFETCH(QString, kind);
    QFETCH(QString, error);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"people.csv"_s);
    if (kind == u"file" || kind == u"unreadable") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Name\nAnna\n");
        file.close();
        if (kind == u"unreadable") {
            QVERIFY(file.setPermissions(QFile::WriteOwner));
            if (QFile(path).open(QIODevice::ReadOnly))
                QSKIP("Running with rights that read any file.");
        }
    } else if (kind == u"folder") {
        QVERIFY(QDir(dir.path()).mkdir(u"people.csv"_s));
    } else if (kind == u"fifo") {
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    }
    QString reason;
    const auto table = MergeTable::read(path, &reason);
    if (error.isEmpty()) {
        QVERIFY2(table, qPrintable(reason));
        QCOMPARE(rowsOf(*table), Rows{{u"Anna"_s}});
    } else {
        QVERIFY(!table);
        QVERIFY2(reason.startsWith(error.arg(QDir::toNativeSeparators(path))), qPrintable(reason));
    }
}

void MergeTableTest::columnOf_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("column");
    // Columns: "Recipient Name", "[Company Name]", " City ", "recipient name" (a second one).
    QTest::newRow("nominal: a field fills from the column of its name")
        << u"[Recipient Name]"_s << 0;
    QTest::newRow("nominal: a column written with brackets") << u"[Company Name]"_s << 1;
    QTest::newRow("nominal: a name without brackets") << u"Company Name"_s << 1;
    QTest::newRow("nominal: letter case and blanks do not count") << u" [CITY] "_s << 2;
    QTest::newRow("nominal: blanks inside brackets do not count") << u"[ city ]"_s << 2;
    QTest::newRow("robustness: of two columns of one name, the first") << u"RECIPIENT NAME"_s << 0;
    QTest::newRow("robustness: no such column") << u"[Amount]"_s << -1;
    QTest::newRow("robustness: nothing is no column") << u"[]"_s << -1;
}

void MergeTableTest::columnOf()
{
    QFETCH(QString, name);
    QFETCH(int, column);
    const auto table = MergeTable::parse(
        "Recipient Name,[Company Name], City ,recipient name,\nA,B,C,D,E\n"_ba, u"t.csv"_s);
    QVERIFY(table);
    QCOMPARE(table->columnOf(name), column);
}

void MergeTableTest::checks_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QStringList>("withoutColumn");
    QTest::addColumn<QStringList>("withoutField");
    QTest::addColumn<QList<MergeChecks::EmptyCells>>("emptyCells");
    QTest::addColumn<QList<MergeChecks::OtherCellCount>>("otherCounts");
    QTest::addColumn<QList<int>>("emptyRows");
    QTest::addColumn<QStringList>("described");

    const QStringList fields{u"[Recipient Name]"_s, u"[Company Name]"_s, u"[Amount]"_s};
    QTest::newRow("nominal: every field has a column, every cell is filled")
        << fields << "Recipient Name,Company Name,Amount\nAnna,ACME,12\nBob,Initech,14\n"_ba
        << QStringList() << QStringList() << QList<MergeChecks::EmptyCells>{}
        << QList<MergeChecks::OtherCellCount>{} << QList<int>{}
        << QStringList{u"The table fits the letter: every field has a column and every cell is "
                       "filled."_s};
    QTest::newRow("nominal: fields without column, columns without field")
        << fields << "Customer ID,[recipient name],Notes\n7,Anna,x\n"_ba
        << QStringList{u"[Company Name]"_s, u"[Amount]"_s}
        << QStringList{u"Customer ID"_s, u"Notes"_s} << QList<MergeChecks::EmptyCells>{}
        << QList<MergeChecks::OtherCellCount>{} << QList<int>{}
        << QStringList{u"No column fills [Company Name], [Amount]: they stay as they are in every "
                       "letter."_s,
                       u"The columns Customer ID, Notes fill no field of the letter."_s};
    QTest::newRow("nominal: empty cells of used fields, by row; an unused empty cell is no finding")
        << fields
        << "Recipient Name,Company Name,Amount,Notes\nAnna,,12,\n\" \",ACME,,x\nCarl,Globex,9,\n"_ba
        << QStringList() << QStringList{u"Notes"_s}
        << QList<MergeChecks::EmptyCells>{{2, {u"[Company Name]"_s}},
                                          {3, {u"[Recipient Name]"_s, u"[Amount]"_s}}}
        << QList<MergeChecks::OtherCellCount>{} << QList<int>{}
        << QStringList{u"The column Notes fills no field of the letter."_s,
                       u"Empty cells, whose fields stay as they are in that letter:"_s,
                       u"    Row 2: [Company Name]"_s, u"    Row 3: [Recipient Name], [Amount]"_s};
    QTest::newRow("nominal: rows with more or fewer cells; missing cells count as empty")
        << QStringList{u"[Recipient Name]"_s, u"[Amount]"_s}
        << "Recipient Name,Amount\nAnna\nBob,1,extra\nCarl,2\n"_ba << QStringList() << QStringList()
        << QList<MergeChecks::EmptyCells>{{2, {u"[Amount]"_s}}}
        << QList<MergeChecks::OtherCellCount>{{2, 1}, {3, 3}} << QList<int>{}
        << QStringList{u"Empty cells, whose fields stay as they are in that letter:"_s,
                       u"    Row 2: [Amount]"_s,
                       u"Rows with another number of cells than the header's 2 (missing cells "
                       "count as empty, extra cells are left out):"_s,
                       u"    Row 2: 1 cell"_s, u"    Row 3: 3 cells"_s};
    QTest::newRow("nominal: rows without text are named")
        << QStringList{u"[Recipient Name]"_s} << "Recipient Name\nAnna\n\n\" \"\nBob\n"_ba
        << QStringList() << QStringList() << QList<MergeChecks::EmptyCells>{}
        << QList<MergeChecks::OtherCellCount>{} << QList<int>{3, 4}
        << QStringList{u"Rows without text, for which no letter is made: 3, 4."_s};
    QTest::newRow("robustness: a letter without fields")
        << QStringList() << "Name\nAnna\n"_ba << QStringList() << QStringList{u"Name"_s}
        << QList<MergeChecks::EmptyCells>{} << QList<MergeChecks::OtherCellCount>{} << QList<int>{}
        << QStringList{u"The column Name fills no field of the letter."_s};
    QTest::newRow("robustness: a column without a name and a second column of a name")
        << QStringList{u"[Recipient Name]"_s} << "Recipient Name,,recipient name\nAnna,x,y\n"_ba
        << QStringList() << QStringList() << QList<MergeChecks::EmptyCells>{}
        << QList<MergeChecks::OtherCellCount>{} << QList<int>{}
        << QStringList{u"The table fits the letter: every field has a column and every cell is "
                       "filled."_s};
}

void MergeTableTest::checks()
{
    QFETCH(QStringList, fields);
    QFETCH(QByteArray, csv);
    QFETCH(QStringList, withoutColumn);
    QFETCH(QStringList, withoutField);
    QFETCH(QList<MergeChecks::EmptyCells>, emptyCells);
    QFETCH(QList<MergeChecks::OtherCellCount>, otherCounts);
    QFETCH(QList<int>, emptyRows);
    QFETCH(QStringList, described);

    const auto table = MergeTable::parse(csv, u"t.csv"_s);
    QVERIFY(table);
    const MergeChecks checks = checkMerge(fields, *table);
    QCOMPARE(checks.fieldsWithoutColumn, withoutColumn);
    QCOMPARE(checks.columnsWithoutField, withoutField);
    QCOMPARE(checks.emptyCells, emptyCells);
    QCOMPARE(checks.otherCellCounts, otherCounts);
    QCOMPARE(checks.emptyRows, emptyRows);
    QCOMPARE(checks.letters, table->rowCount());
    QCOMPARE(checks.isClean(),
             described.size() == 1 && described.first().startsWith(u"The table fits"));
    QCOMPARE(checks.describe(), described);
}

void MergeTableTest::describeCuts()
{
    // A long table's findings are cut, saying how many more there are.
    QByteArray csv = "Recipient Name,Amount\n";
    for (int i = 0; i < 120; ++i)
        csv += "Anna,\n";
    const auto table = MergeTable::parse(csv, u"t.csv"_s);
    QVERIFY(table);
    const MergeChecks checks = checkMerge({u"[Recipient Name]"_s, u"[Amount]"_s}, *table);
    QCOMPARE(checks.emptyCells.size(), 120);
    const QStringList cut = checks.describe(50);
    QCOMPARE(cut.size(), 1 + 50 + 1);
    QCOMPARE(cut.at(50), u"    Row 51: [Amount]"_s);
    QCOMPARE(cut.last(), u"    ... and 70 more rows"_s);
    QCOMPARE(checks.describe(0).size(), 1 + 120);
}

void MergeTableTest::safeFileName_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("name");
    QTest::newRow("nominal: a plain name") << u"Anna Smith"_s << u"Anna Smith"_s;
    QTest::newRow("nominal: letters of any language stay")
        << u"Jürgen Ødegård 王"_s << u"Jürgen Ødegård 王"_s;
    QTest::newRow("robustness: slashes never make folders")
        << u"../../etc/passwd"_s << u"_.._etc_passwd"_s;
    QTest::newRow("robustness: characters Windows refuses")
        << u"A\\B:C*D?E\"F<G>H|I"_s << u"A_B_C_D_E_F_G_H_I"_s;
    QTest::newRow("robustness: control characters and line breaks")
        << u"Anna\r\nSmith\tX\u0001"_s << u"Anna__Smith_X_"_s;
    QTest::newRow("robustness: blanks and dots at the ends") << u"  .hidden. "_s << u"hidden"_s;
    QTest::newRow("robustness: a device name of Windows") << u"con"_s << u"con_"_s;
    QTest::newRow("robustness: a device name with an extension") << u"LPT1.txt"_s << u"LPT1.txt_"_s;
    QTest::newRow("robustness: only unsafe dots") << u" . .. "_s << QString();
    QTest::newRow("robustness: empty") << QString() << QString();
    QTest::newRow("robustness: direction marks that hide the real extension")
        << u"Invoice\u202Efdp.exe"_s << u"Invoice_fdp.exe"_s;
    QTest::newRow("robustness: a very long name is cut to 200 bytes")
        << QString(300, u'a') << QString(200, u'a');
    QTest::newRow("robustness: cut between characters, never inside one")
        << QString(150, u'ü') << QString(100, u'ü');
    QTest::newRow("robustness: a pair of surrogates is never split")
        << u"a"_s + u"😀"_s.repeated(60) << u"a"_s + u"😀"_s.repeated(49);
}

void MergeTableTest::safeFileName()
{
    QFETCH(QString, text);
    QFETCH(QString, name);
    QCOMPARE(lw::safeFileName(text), name);
}

void MergeTableTest::fileNames_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("nominal: names from the column")
        << QStringList{u"Anna"_s, u"Bob"_s} << u"pdf"_s << QStringList{u"Anna.pdf"_s, u"Bob.pdf"_s};
    QTest::newRow("nominal: duplicates are numbered, letter case does not count")
        << QStringList{u"Smith"_s, u"Smith"_s, u"SMITH"_s, u"Jones"_s} << u"txt"_s
        << QStringList{u"Smith.txt"_s, u"Smith (2).txt"_s, u"SMITH (3).txt"_s, u"Jones.txt"_s};
    QTest::newRow("nominal: names that become one when made safe")
        << QStringList{u"A/B"_s, u"A:B"_s} << u"rtf"_s
        << QStringList{u"A_B.rtf"_s, u"A_B (2).rtf"_s};
    QTest::newRow("robustness: an empty name column numbers the letters")
        << QStringList{u""_s, u" "_s, u"Anna"_s, u"..."_s} << u"odt"_s
        << QStringList{u"Letter 1.odt"_s, u"Letter 2.odt"_s, u"Anna.odt"_s, u"Letter 4.odt"_s};
    QTest::newRow("robustness: numbers as wide as the count, and a real name that is taken")
        << (QStringList{u"Letter 02"_s} + QStringList(11, QString())) << u"txt"_s
        << QStringList{u"Letter 02.txt"_s, u"Letter 02 (2).txt"_s, u"Letter 03.txt"_s,
                       u"Letter 04.txt"_s, u"Letter 05.txt"_s,     u"Letter 06.txt"_s,
                       u"Letter 07.txt"_s, u"Letter 08.txt"_s,     u"Letter 09.txt"_s,
                       u"Letter 10.txt"_s, u"Letter 11.txt"_s,     u"Letter 12.txt"_s};
}

void MergeTableTest::fileNames()
{
    QFETCH(QStringList, texts);
    QFETCH(QString, extension);
    QFETCH(QStringList, names);
    MergeFileNames fileNames(extension, int(texts.size()));
    QStringList made;
    for (int i = 0; i < texts.size(); ++i)
        made.append(fileNames.next(texts.at(i), i + 1));
    QCOMPARE(made, names);
}

QTEST_GUILESS_MAIN(MergeTableTest)
#include "test_mergetable.moc"
