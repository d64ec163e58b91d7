#include "FakeServices.h"
#include "FileSizeLimit.h"
#include "PdfFile.h"
#include "TestLibrary.h"
#include "formats/DocumentFile.h"
#include "formats/OpenDocument.h"
#include "merge/MailMerge.h"
#include "rtf/RtfReader.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

using namespace lw;
using namespace Qt::StringLiterals;

class MailMergeTest : public QObject
{
    Q_OBJECT

private slots:
    void fill_data();
    void fill();
    void fillKeepsFormat();
    void sameLettersEveryWay_data();
    void sameLettersEveryWay();
    void filesEachFormat_data();
    void filesEachFormat();
    void filesRefuseExisting();
    void filesCancel();
    void filesFullDisk();
    void singlePdfOnePagePerRecipient();
    void singlePdfLongLettersStartOnNewPages();
    void singlePdfCancelKeepsOldFile();
    void printOneJob();
    void printCancelEndsAfterWholeLetters();
    void command_data();
    void command();
    void commandFromLibraryLeavesItUnchanged();
    void commandFiles();
};

namespace {

const QString vocabularyLetter =
    u"[Date]\n\nDear [Recipient Name],\n\nYour account [Account Number] at [Company Name].\n"
    "Kind regards,\n[Your Name]"_s;

std::unique_ptr<QTextDocument> documentOf(const QString& text)
{
    auto document = std::make_unique<QTextDocument>();
    document->setPlainText(text);
    return document;
}

FieldVocabulary vocabulary()
{
    return FieldVocabulary({u"[Date]"_s, u"[Recipient Name]"_s, u"[Company Name]"_s,
                            u"[Account Number]"_s, u"[Your Name]"_s});
}

MergeTable tableOf(const QByteArray& csv)
{
    QString error;
    auto table = MergeTable::parse(csv, u"t.csv"_s, &error);
    if (!table)
        qFatal("%s", qPrintable(error));
    return std::move(*table);
}

QByteArray customers(int count)
{
    QByteArray csv = "Recipient Name,Company Name,Account Number\r\n";
    for (int i = 1; i <= count; ++i)
        csv += QStringLiteral("Customer %1,Firm %1,A-%1\r\n").arg(i).toUtf8();
    return csv;
}

QString readText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Every entry of the folder, hidden ones included: a left-over temporary file shows here.
QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

MergePage halfInchA4()
{
    MergePage page;
    page.layout = QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
    page.title = u"Notice"_s;
    return page;
}

} // namespace

void MailMergeTest::fill_data()
{
    QTest::addColumn<QString>("letter");
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("nominal: every field that has a column, every place of it")
        << vocabularyLetter
        << "Recipient Name,Company Name,Account Number\nAnna Berg,ACME,77\nBob,Initech,78\n"_ba
        << QStringList{u"[Date]"_s, u"[Recipient Name]"_s, u"[Account Number]"_s,
                       u"[Company Name]"_s, u"[Your Name]"_s}
        << QStringList{u"[Date]\n\nDear Anna Berg,\n\nYour account 77 at ACME.\nKind regards,\n"
                       "[Your Name]"_s,
                       u"[Date]\n\nDear Bob,\n\nYour account 78 at Initech.\nKind regards,\n"
                       "[Your Name]"_s};
    QTest::newRow("nominal: an empty cell leaves its field as it is")
        << vocabularyLetter << "[Recipient Name];[Company Name]\nAnna;\n;Globex\n"_ba
        << QStringList{u"[Date]"_s, u"[Recipient Name]"_s, u"[Account Number]"_s,
                       u"[Company Name]"_s, u"[Your Name]"_s}
        << QStringList{u"[Date]\n\nDear Anna,\n\nYour account [Account Number] at [Company "
                       "Name].\nKind regards,\n[Your Name]"_s,
                       u"[Date]\n\nDear [Recipient Name],\n\nYour account [Account Number] at "
                       "Globex.\nKind regards,\n[Your Name]"_s};
    QTest::newRow("nominal: a column makes its bracketed name a field even once")
        << u"Dear [Recipient Name], your code is [Customer Code]. [sic]"_s
        << "Recipient Name,Customer Code\nAnna,X-1\n"_ba
        << QStringList{u"[Recipient Name]"_s, u"[Customer Code]"_s}
        << QStringList{u"Dear Anna, your code is X-1. [sic]"_s};
    QTest::newRow("nominal: a line break in a cell becomes a new line of the letter")
        << u"To:\n[Street Address]\nEnd"_s << "Street Address\n\"1 Main St\r\nSpringfield\"\n"_ba
        << QStringList{u"[Street Address]"_s} << QStringList{u"To:\n1 Main St\nSpringfield\nEnd"_s};
    QTest::newRow("robustness: a value that looks like a field is not filled in turn")
        << u"[Recipient Name] of [Company Name]"_s
        << "Recipient Name,Company Name\n[Company Name],ACME\n"_ba
        << QStringList{u"[Recipient Name]"_s, u"[Company Name]"_s}
        << QStringList{u"[Company Name] of ACME"_s};
    QTest::newRow("robustness: blanks around a cell are the spreadsheet's")
        << u"Dear [Recipient Name]."_s << "Recipient Name\n   Anna   \n"_ba
        << QStringList{u"[Recipient Name]"_s} << QStringList{u"Dear Anna."_s};
}

void MailMergeTest::fill()
{
    QFETCH(QString, letter);
    QFETCH(QByteArray, csv);
    QFETCH(QStringList, fields);
    QFETCH(QStringList, texts);

    const auto document = documentOf(letter);
    const MailMerge merge(*document, tableOf(csv), vocabulary());
    QCOMPARE(merge.fields(), fields);
    QCOMPARE(merge.letterCount(), texts.size());
    for (int i = 0; i < texts.size(); ++i)
        QCOMPARE(documentText(*merge.letter(i)), texts.at(i));
    // The letter itself is never changed.
    QCOMPARE(document->toPlainText(), letter);
}

void MailMergeTest::fillKeepsFormat()
{
    QTextDocument letter;
    QTextCursor cursor(&letter);
    cursor.insertText(u"Dear "_s);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText(u"[Recipient Name]"_s, bold);
    cursor.insertText(u"."_s, QTextCharFormat());
    const MailMerge merge(letter, tableOf("Recipient Name\nAnna Berg\n"), vocabulary());
    const auto filled = merge.letter(0);
    QCOMPARE(filled->toPlainText(), u"Dear Anna Berg."_s);
    QTextCursor name(filled.get());
    name.setPosition(6);
    QCOMPARE(name.charFormat().fontWeight(), int(QFont::Bold));
    name.setPosition(1);
    QCOMPARE(name.charFormat().fontWeight(), int(QFont::Normal));
}

namespace {

// A letter in formats: a bold field, an italic list item with two fields, a table with fields in
// its cells, a field whose name is in two formats, and a field no column fills.
std::unique_ptr<QTextDocument> formattedLetter()
{
    auto letter = std::make_unique<QTextDocument>();
    QTextCursor cursor(letter.get());
    QTextCharFormat plain;
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    QTextCharFormat italic;
    italic.setFontItalic(true);
    cursor.insertText(u"[Date]"_s, plain);
    cursor.insertBlock();
    cursor.insertText(u"Dear "_s, plain);
    cursor.insertText(u"[Recipient Name]"_s, bold);
    cursor.insertText(u","_s, plain);
    cursor.insertBlock();
    cursor.createList(QTextListFormat::ListDisc);
    cursor.insertText(u"Account [Account Number] at [Company Name]."_s, italic);
    // A block format of its own: out of the list.
    cursor.insertBlock(QTextBlockFormat(), plain);
    QTextTable* table = cursor.insertTable(1, 2);
    table->cellAt(0, 0).firstCursorPosition().insertText(u"[Recipient Name]"_s, plain);
    table->cellAt(0, 1).firstCursorPosition().insertText(u"[Company Name]"_s, bold);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(u"[Recipient"_s, bold);
    cursor.insertText(u" Name] of [Company Name]"_s, plain);
    cursor.insertBlock();
    cursor.insertText(u"[Your Name]"_s, italic);
    return letter;
}

QByteArray formatBytes(const QTextFormat& format)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << format;
    return bytes;
}

// A document's text and formats: every block's format and list, every run's text and format.
QByteArrayList contentOf(const QTextDocument& document)
{
    QByteArrayList content;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        content.append("block " + formatBytes(block.blockFormat()) +
                       formatBytes(block.charFormat()));
        if (const QTextList* list = block.textList())
            content.append("list " + formatBytes(list->format()));
        for (auto run = block.begin(); !run.atEnd(); ++run)
            content.append(run.fragment().text().toUtf8() + ' ' +
                           formatBytes(run.fragment().charFormat()));
    }
    return content;
}

} // namespace

void MailMergeTest::sameLettersEveryWay_data()
{
    QTest::addColumn<QByteArray>("row");
    QTest::newRow("nominal: plain values") << "Anna Berg,ACME,77"_ba;
    QTest::newRow("robustness: line breaks of every kind")
        << "\"1 Main St\r\nSpringfield\rIL\nUSA\",\"Globex\r\n\",78"_ba;
    QTest::newRow("robustness: brackets and fields in the values")
        << "[Company Name],\"a]b[c [Your Name]\",[Account Number]"_ba;
    QTest::newRow("robustness: Unicode, separators and tabs")
        << u"Zoë Ørsted 😀 中文,\"A\u2028B\u2029C\tD\",\"\uFDD0x\uFDD1\""_s.toUtf8();
    QTest::newRow("robustness: empty cells leave fields in their formats") << " ,,77"_ba;
    QTest::newRow("robustness: a short row") << "Only a name"_ba;
}

// The text files' letters are made without a document, and the PDF's in one document filled and
// put back for each: both must be the letters a document of their own gives.
void MailMergeTest::sameLettersEveryWay()
{
    QFETCH(QByteArray, row);
    const auto letter = formattedLetter();
    const MailMerge merge(
        *letter,
        tableOf("Recipient Name,Company Name,Account Number\n" + row + "\nBob,Initech,78\n"),
        vocabulary());
    QCOMPARE(merge.letterCount(), 2);
    std::unique_ptr<QTextDocument> reused(merge.unfilled().clone());
    reused->setUndoRedoEnabled(true);
    reused->clearUndoRedoStacks();
    const QByteArrayList unfilled = contentOf(merge.unfilled());
    for (int i = 0; i < 2; ++i) {
        const auto own = merge.letter(i);
        QCOMPARE(merge.plainLetter(i), documentText(*own));
        merge.fill(*reused, i);
        QCOMPARE(contentOf(*reused), contentOf(*own));
        reused->undo();
        reused->clearUndoRedoStacks();
        QCOMPARE(contentOf(*reused), unfilled);
    }
    // The fixture fills what it means to: the values in the bold field and in the table.
    const QString second = merge.plainLetter(1);
    QCOMPARE(second.count(u"Bob"_s), 3);
    QCOMPARE(second.count(u"Initech"_s), 3);
    QVERIFY(second.contains(u"[Your Name]"_s));
}

void MailMergeTest::filesEachFormat_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("extension");
    QTest::newRow("nominal: text") << int(MergeFormat::Text) << u"txt"_s;
    QTest::newRow("nominal: RTF") << int(MergeFormat::Rtf) << u"rtf"_s;
    QTest::newRow("nominal: OpenDocument") << int(MergeFormat::OpenDocument) << u"odt"_s;
    QTest::newRow("nominal: PDF") << int(MergeFormat::Pdf) << u"pdf"_s;
}

void MailMergeTest::filesEachFormat()
{
    QFETCH(int, format);
    QFETCH(QString, extension);
    if (format == int(MergeFormat::Pdf) && !test::PdfFile::toolsAvailable())
        QSKIP("poppler-utils is not installed");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const auto letter = documentOf(vocabularyLetter);
    // Two recipients of one name, one with a name a file cannot have as it stands.
    const MailMerge merge(*letter,
                          tableOf("Recipient Name,Company Name\nAnna Berg,ACME\nAnna Berg,Globex\n"
                                  "\"O'Neil / Sons\",Initech\n"),
                          vocabulary());
    FileMerge job;
    job.folder = dir.path();
    job.format = MergeFormat(format);
    job.nameColumn = 0;
    job.page = halfInchA4();
    QList<int> steps;
    const MergeResult result = mergeToFiles(merge, job, [&](int done) {
        steps.append(done);
        return true;
    });
    QVERIFY2(!result.failed(), qPrintable(result.error));
    QCOMPARE(result.written, 3);
    QVERIFY(!result.cancelled);
    QCOMPARE(steps.last(), 3);
    const QStringList names{u"Anna Berg."_s + extension, u"Anna Berg (2)."_s + extension,
                            u"O'Neil _ Sons."_s + extension};
    QStringList sorted = names;
    sorted.sort();
    QCOMPARE(entries(dir.path()), sorted);
    const QStringList companies{u"ACME"_s, u"Globex"_s, u"Initech"_s};
    const QStringList people{u"Anna Berg"_s, u"Anna Berg"_s, u"O'Neil / Sons"_s};
    for (int i = 0; i < 3; ++i) {
        const QString path = dir.filePath(names.at(i));
        QCOMPARE(result.files.at(i), path);
        QString text;
        if (format == int(MergeFormat::Text)) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            text = decodeDocumentBytes(file.readAll());
            // A new document's text file: CR LF.
            QVERIFY(text.contains(u"\r\n"_s));
            text.remove(u'\r');
        } else if (format == int(MergeFormat::Rtf)) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QTextDocument read;
            QTextCursor cursor(&read);
            readRtf(file.readAll(), cursor);
            text = read.toPlainText();
        } else if (format == int(MergeFormat::OpenDocument)) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QTextDocument read;
            QTextCursor cursor(&read);
            QString error;
            QVERIFY2(readOdt(file.readAll(), cursor, &error), qPrintable(error));
            text = read.toPlainText();
        } else {
            const test::PdfFile pdf(path);
            QCOMPARE(pdf.pageCount(), 1);
            text = pdf.text();
        }
        QVERIFY2(text.contains(u"Dear "_s + people.at(i) + u","_s), qPrintable(text));
        QVERIFY2(text.contains(u" at "_s + companies.at(i) + u"."_s), qPrintable(text));
    }
}

void MailMergeTest::filesRefuseExisting()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString kept = dir.filePath(u"Customer 2.txt"_s);
    QVERIFY(writeBytes(kept, "the user's own file"));
    const auto letter = documentOf(vocabularyLetter);
    const MailMerge merge(*letter, tableOf(customers(3)), vocabulary());
    FileMerge job;
    job.folder = dir.path();
    job.nameColumn = 0;
    QCOMPARE(existingMergeFiles(merge, job), QStringList{kept});

    MergeResult result = mergeToFiles(merge, job);
    QCOMPARE(result.error,
             QDir::toNativeSeparators(kept) + u" already exists. No letter was written."_s);
    QCOMPARE(result.written, 0);
    QCOMPARE(entries(dir.path()), QStringList{u"Customer 2.txt"_s});
    QCOMPARE(readText(kept), u"the user's own file"_s);

    // Agreed to: replaced.
    job.replaceExisting = true;
    result = mergeToFiles(merge, job);
    QVERIFY2(!result.failed(), qPrintable(result.error));
    QCOMPARE(result.written, 3);
    QVERIFY(readText(kept).contains(u"Dear Customer 2,"_s));
}

void MailMergeTest::filesCancel()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const auto letter = documentOf(vocabularyLetter);
    const MailMerge merge(*letter, tableOf(customers(6)), vocabulary());
    FileMerge job;
    job.folder = dir.path();
    job.nameColumn = 0;
    const MergeResult result = mergeToFiles(merge, job, [](int done) { return done < 2; });
    QVERIFY(result.cancelled);
    QVERIFY(!result.failed());
    QCOMPARE(result.written, 2);
    // Two whole letters and nothing else: no third begun.
    QCOMPARE(entries(dir.path()), (QStringList{u"Customer 1.txt"_s, u"Customer 2.txt"_s}));
    QVERIFY(readText(dir.filePath(u"Customer 2.txt"_s)).endsWith(u"[Your Name]"_s));
}

void MailMergeTest::filesFullDisk()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // The third letter is far longer than the others, and than the disk has room for.
    QByteArray csv = "Recipient Name,Company Name\nA,x\nB,y\nC,";
    csv += QByteArray(200000, 'z');
    csv += "\nD,w\n";
    const auto letter = documentOf(vocabularyLetter);
    const MailMerge merge(*letter, tableOf(csv), vocabulary());
    FileMerge job;
    job.folder = dir.path();
    job.nameColumn = 0;
    MergeResult result;
    {
        const test::FileSizeLimit disk(100000);
        result = mergeToFiles(merge, job);
    }
    QVERIFY(result.failed());
    QVERIFY2(result.error.startsWith(u"Cannot write "_s +
                                     QDir::toNativeSeparators(dir.filePath(u"C.txt"_s))),
             qPrintable(result.error));
    QCOMPARE(result.written, 2);
    // The two written before are whole; of the third nothing is left, not even a part.
    QCOMPARE(entries(dir.path()), (QStringList{u"A.txt"_s, u"B.txt"_s}));
}

void MailMergeTest::singlePdfOnePagePerRecipient()
{
    if (!test::PdfFile::toolsAvailable())
        QSKIP("poppler-utils is not installed");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const auto letter = documentOf(vocabularyLetter);
    const MailMerge merge(*letter, tableOf(customers(5)), vocabulary());
    const QString path = dir.filePath(u"all.pdf"_s);
    const MergeResult result = mergeToPdf(merge, path, halfInchA4());
    QVERIFY2(!result.failed(), qPrintable(result.error));
    QCOMPARE(result.written, 5);
    QCOMPARE(result.files, QStringList{path});
    const test::PdfFile pdf(path);
    QCOMPARE(pdf.pageCount(), 5);
    QCOMPARE(pdf.pageSize().toSize(), QSize(595, 842));
    for (int page = 1; page <= 5; ++page) {
        const QString text = pdf.text(page);
        QVERIFY2(text.contains(u"Dear Customer %1,"_s.arg(page)), qPrintable(text));
        QVERIFY2(text.contains(u"A-%1 at Firm %1."_s.arg(page)), qPrintable(text));
        // Nobody else's name on the page.
        QCOMPARE(text.count(u"Customer "_s), 1);
    }
    QCOMPARE(entries(dir.path()), QStringList{u"all.pdf"_s});
}

void MailMergeTest::singlePdfLongLettersStartOnNewPages()
{
    if (!test::PdfFile::toolsAvailable())
        QSKIP("poppler-utils is not installed");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // About a page and a half each.
    QStringList lines{u"Dear [Recipient Name],"_s};
    for (int i = 1; i <= 90; ++i)
        lines.append(u"Line %1"_s.arg(i));
    lines.append(u"End for [Recipient Name]"_s);
    const auto letter = documentOf(lines.join(u'\n'));
    const MailMerge merge(*letter, tableOf(customers(3)), vocabulary());
    const QString path = dir.filePath(u"all.pdf"_s);
    const MergeResult result = mergeToPdf(merge, path, halfInchA4());
    QVERIFY2(!result.failed(), qPrintable(result.error));
    const test::PdfFile pdf(path);
    QCOMPARE(pdf.pageCount(), 6);
    for (int person = 1; person <= 3; ++person) {
        QVERIFY(pdf.lines(2 * person - 1).first().startsWith(u"Dear Customer %1,"_s.arg(person)));
        QCOMPARE(pdf.lines(2 * person).last(), u"End for Customer %1"_s.arg(person));
    }
}

void MailMergeTest::singlePdfCancelKeepsOldFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"all.pdf"_s);
    QVERIFY(writeBytes(path, "the old file"));
    const auto letter = documentOf(vocabularyLetter);
    const MailMerge merge(*letter, tableOf(customers(5)), vocabulary());
    const MergeResult result =
        mergeToPdf(merge, path, halfInchA4(), [](int done) { return done < 3; });
    QVERIFY(result.cancelled);
    QCOMPARE(result.written, 0);
    QVERIFY(result.files.isEmpty());
    QCOMPARE(readText(path), u"the old file"_s);
    QCOMPARE(entries(dir.path()), QStringList{u"all.pdf"_s});
}

void MailMergeTest::printOneJob()
{
    if (!test::PdfFile::toolsAvailable())
        QSKIP("poppler-utils is not installed");
    test::FakePlatform platform;
    const auto letter = documentOf(vocabularyLetter);
    const MailMerge merge(*letter, tableOf(customers(4)), vocabulary());
    QPrinter& printer = platform.printers.currentPrinter();
    const MergeResult result = mergeToPrinter(merge, printer, halfInchA4());
    QVERIFY2(!result.failed(), qPrintable(result.error));
    QCOMPARE(result.written, 4);
    // One job: one file with a page a letter.
    const test::PdfFile pdf(platform.printers.outputPath());
    QCOMPARE(pdf.pageCount(), 4);
    for (int page = 1; page <= 4; ++page)
        QVERIFY(pdf.text(page).contains(u"Dear Customer %1,"_s.arg(page)));
}

void MailMergeTest::printCancelEndsAfterWholeLetters()
{
    if (!test::PdfFile::toolsAvailable())
        QSKIP("poppler-utils is not installed");
    test::FakePlatform platform;
    const auto letter = documentOf(vocabularyLetter);
    const MailMerge merge(*letter, tableOf(customers(4)), vocabulary());
    QPrinter& printer = platform.printers.currentPrinter();
    const MergeResult result =
        mergeToPrinter(merge, printer, halfInchA4(), [](int done) { return done < 2; });
    QVERIFY(result.cancelled);
    QCOMPARE(result.written, 2);
    const test::PdfFile pdf(platform.printers.outputPath());
    QCOMPARE(pdf.pageCount(), 2);
    QVERIFY(pdf.text(2).contains(u"Dear Customer 2,"_s));
}

// The command, run as a script runs it.
namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run runCommand(const QStringList& arguments, const QString& workDir)
{
    QProcess process;
    process.setWorkingDirectory(workDir);
    process.start(QStringLiteral(LW_BIN_DIR "/letterwright-merge"), arguments);
    Run run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace

void MailMergeTest::command_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    // In the working folder: letter.txt (with [Recipient Name], [Company Name] and [Amount]),
    // people.csv (3 rows, columns Recipient Name and Company Name), header.csv, empty.csv,
    // open.csv (a quote never closed).
    QTest::newRow("nominal: the checks, then the letters")
        << QStringList{u"letter.txt"_s, u"people.csv"_s, u"--out"_s, u"out"_s} << 0
        << u"3 letters from people.csv.\nNo column fills [Amount]: it stays as it is in every "
           "letter.\n3 letters written to out.\n"_s
        << QString();
    QTest::newRow("nominal: --check writes nothing")
        << QStringList{u"letter.txt"_s, u"people.csv"_s, u"--check"_s} << 0
        << u"3 letters from people.csv.\nNo column fills [Amount]: it stays as it is in every "
           "letter.\n"_s
        << QString();
    QTest::newRow("robustness: the letter is missing")
        << QStringList{u"nothere.txt"_s, u"people.csv"_s, u"--out"_s, u"out"_s} << 1 << QString()
        << u"letterwright-merge: The letter nothere.txt does not exist.\n"_s;
    QTest::newRow("robustness: the table is missing")
        << QStringList{u"letter.txt"_s, u"nothere.csv"_s, u"--out"_s, u"out"_s} << 1 << QString()
        << u"letterwright-merge: The table nothere.csv does not exist.\n"_s;
    QTest::newRow("robustness: an empty table")
        << QStringList{u"letter.txt"_s, u"empty.csv"_s, u"--out"_s, u"out"_s} << 1 << QString()
        << u"letterwright-merge: The table empty.csv is empty: its first row must name the "
           "columns.\n"_s;
    QTest::newRow("robustness: a table that cannot be read")
        << QStringList{u"letter.txt"_s, u"open.csv"_s, u"--out"_s, u"out"_s} << 1 << QString()
        << u"letterwright-merge: The table open.csv cannot be read: the quoted cell in row 3 "
           "(line 3) has no closing quote.\n"_s;
    QTest::newRow("robustness: a header and no rows")
        << QStringList{u"letter.txt"_s, u"header.csv"_s, u"--out"_s, u"out"_s} << 1 << QString()
        << u"letterwright-merge: The table header.csv has no rows below its header: there is "
           "nobody to write to.\n"_s;
    QTest::newRow("robustness: an unknown name column")
        << QStringList{u"letter.txt"_s, u"people.csv"_s,    u"--out"_s,
                       u"out"_s,        u"--name-column"_s, u"Surname"_s}
        << 1 << QString()
        << u"letterwright-merge: The table has no column \"Surname\". Its columns are: Recipient "
           "Name, Company Name.\n"_s;
    QTest::newRow("robustness: an unknown format")
        << QStringList{u"letter.txt"_s, u"people.csv"_s, u"--out"_s,
                       u"out"_s,        u"--format"_s,   u"doc"_s}
        << 2 << QString()
        << u"letterwright-merge: unknown format \"doc\": use txt, rtf, odt or pdf.\nTry "
           "'letterwright-merge --help' for more information.\n"_s;
    QTest::newRow("robustness: no output")
        << QStringList{u"letter.txt"_s, u"people.csv"_s} << 2 << QString()
        << u"letterwright-merge: give either --out DIR or --single-pdf FILE.\nTry "
           "'letterwright-merge --help' for more information.\n"_s;
    QTest::newRow("robustness: no table")
        << QStringList{u"letter.txt"_s, u"--out"_s, u"out"_s} << 2 << QString()
        << u"letterwright-merge: give a letter file and a table.\nTry 'letterwright-merge "
           "--help' for more information.\n"_s;
    QTest::newRow("robustness: the output folder is a file")
        << QStringList{u"letter.txt"_s, u"people.csv"_s, u"--out"_s, u"letter.txt"_s} << 1
        << u"3 letters from people.csv.\nNo column fills [Amount]: it stays as it is in every "
           "letter.\n"_s
        << u"letterwright-merge: letter.txt is not a folder.\n"_s;
    QTest::newRow("robustness: the PDF is there already")
        << QStringList{u"letter.txt"_s, u"people.csv"_s, u"--single-pdf"_s, u"people.csv"_s} << 1
        << u"3 letters from people.csv.\nNo column fills [Amount]: it stays as it is in every "
           "letter.\n"_s
        << u"letterwright-merge: people.csv already exists; give --replace to replace it.\n"_s;
}

void MailMergeTest::command()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeBytes(dir.filePath(u"letter.txt"_s),
                       "Dear [Recipient Name],\r\nof [Company Name]: [Amount] [Amount].\r\n"));
    QVERIFY(
        writeBytes(dir.filePath(u"people.csv"_s),
                   "Recipient Name,Company Name\r\nAnna,ACME\r\nBob,Initech\r\nCarl,Globex\r\n"));
    QVERIFY(writeBytes(dir.filePath(u"header.csv"_s), "Recipient Name,Company Name\r\n"));
    QVERIFY(writeBytes(dir.filePath(u"empty.csv"_s), ""));
    QVERIFY(writeBytes(dir.filePath(u"open.csv"_s), "Recipient Name\nAnna\n\"Bob\nCarl\n"));
    const QStringList before = entries(dir.path());

    const Run run = runCommand(arguments, dir.path());
    QCOMPARE(run.err, err);
    QCOMPARE(run.out, out);
    QCOMPARE(run.exitCode, exitCode);
    if (exitCode != 0 || arguments.contains(u"--check"_s)) {
        // A refused merge writes nothing.
        QCOMPARE(entries(dir.path()), before);
        QVERIFY(!QFileInfo::exists(dir.filePath(u"out"_s)));
    } else {
        QCOMPARE(entries(dir.filePath(u"out"_s)),
                 (QStringList{u"Letter 1.txt"_s, u"Letter 2.txt"_s, u"Letter 3.txt"_s}));
        QCOMPARE(readText(dir.filePath(u"out/Letter 2.txt"_s)),
                 u"Dear Bob,\r\nof Initech: [Amount] [Amount].\r\n"_s);
    }
}

void MailMergeTest::commandFromLibraryLeavesItUnchanged()
{
    if (!test::PdfFile::toolsAvailable())
        QSKIP("poppler-utils is not installed");
    test::TestLibrary library;
    LibraryContents contents = test::TestLibrary::sample();
    contents.letters.append({0, u"Notice of price increase"_s, contents.subjects.first().first,
                             contents.subjects.first().second.first(),
                             u"Dear [Recipient Name],\nprices rise by [Percentage]."_s,
                             u"notice.txt"_s, 0});
    library.create(contents);
    const QByteArray before = library.bytes();
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QByteArray csv = "Recipient Name;Percentage\r\n";
    for (int i = 1; i <= 50; ++i)
        csv += QStringLiteral("Kunde %1;%1 %\r\n").arg(i).toUtf8();
    QVERIFY(writeBytes(dir.filePath(u"customers.csv"_s), csv));

    // The title as a person types it: letter case does not count.
    const Run run =
        runCommand({u"--title"_s, u"notice of PRICE increase"_s, u"--data"_s,
                    library.dataFilePath(), u"customers.csv"_s, u"--single-pdf"_s, u"notice.pdf"_s},
                   dir.path());
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out,
             u"50 letters from customers.csv.\nThe table fits the letter: every field has "
             "a column and every cell is filled.\n50 letters written into notice.pdf.\n"_s);
    QCOMPARE(library.bytes(), before);
    const test::PdfFile pdf(dir.filePath(u"notice.pdf"_s));
    QCOMPARE(pdf.pageCount(), 50);
    for (int page : {1, 2, 37, 50}) {
        QCOMPARE(pdf.lines(page),
                 (QStringList{u"Dear Kunde %1,"_s.arg(page), u"prices rise by %1 %."_s.arg(page)}));
    }

    const Run missing = runCommand({u"--title"_s, u"No such letter"_s, u"--data"_s,
                                    library.dataFilePath(), u"customers.csv"_s, u"--out"_s, u"x"_s},
                                   dir.path());
    QCOMPARE(missing.exitCode, 1);
    QCOMPARE(missing.err, u"letterwright-merge: The library %1 has no letter titled \"No such "
                          "letter\".\n"_s.arg(library.dataFilePath()));
    QCOMPARE(library.bytes(), before);
}

void MailMergeTest::commandFiles()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeBytes(dir.filePath(u"letter.txt"_s), "Dear [Recipient Name]\n"));
    QVERIFY(
        writeBytes(dir.filePath(u"people.csv"_s),
                   "Recipient Name,Company Name\nAnna,ACME\nAnna,Initech\n\"a/b\",Globex\n,x\n"));
    QVERIFY(QDir(dir.path()).mkdir(u"out"_s));
    QVERIFY(writeBytes(dir.filePath(u"out/Anna.rtf"_s), "mine"));
    const QStringList merge{u"letter.txt"_s,    u"people.csv"_s,      u"--out"_s,
                            u"out"_s,           u"--format"_s,        u"RTF"_s,
                            u"--name-column"_s, u"[recipient name]"_s};

    // A file of the user's is in the way: nothing is written.
    Run run = runCommand(merge, dir.path());
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, u"letterwright-merge: 1 of the letters' files are already in out, such as "
                      "Anna.rtf. Nothing was written; give --replace to replace them.\n"_s);
    QCOMPARE(entries(dir.filePath(u"out"_s)), QStringList{u"Anna.rtf"_s});
    QCOMPARE(readText(dir.filePath(u"out/Anna.rtf"_s)), u"mine"_s);

    run = runCommand(merge + QStringList{u"--replace"_s}, dir.path());
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(entries(dir.filePath(u"out"_s)),
             (QStringList{u"Anna (2).rtf"_s, u"Anna.rtf"_s, u"Letter 4.rtf"_s, u"a_b.rtf"_s}));
    QVERIFY(readText(dir.filePath(u"out/Anna.rtf"_s)).startsWith(u"{\\rtf"_s));
}

QTEST_MAIN(MailMergeTest)
#include "test_mailmerge.moc"
