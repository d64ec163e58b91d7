#include "FakeServices.h"
#include "SpecialFiles.h"
#include "TestLibrary.h"
#include "app/Letterwright.h"
#include "editor/DocumentFiles.h"
#include "editor/LetterEditor.h"
#include "formats/OpenDocument.h"
#include "library/modMain.h"
#include "mainwindow/MainWindow.h"
#include "platform/ProgramFolders.h"
#include "utilities/cDialog.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QLocale>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>

using namespace lw;
using namespace Qt::StringLiterals;

namespace {

const QString notice = u"Notice"_s;
const QString openQuestion = u"The current file has been modified.  Save changes?"_s;
const QString documentFilter =
    u"Text Files (*.txt)|*.txt|Rich Text Format (*.rtf)|*.rtf|OpenDocument Text (*.odt)|*.odt|"
    u"All Files (*.*)|*.*|"_s;
const int allFiles = 3; // the filter's index, 0-based

// A text file long enough to go in pieces behind a progress window: numbered lines, CR LF.
QByteArray longFile()
{
    QByteArray bytes;
    bytes.reserve(9 << 20);
    for (int line = 0; bytes.size() < (9 << 20); ++line)
        bytes += "Line " + QByteArray::number(line) + " of a long letter, with some words.\r\n";
    return bytes;
}

// Where two documents first differ in text or in a paragraph's or a run's format; empty when
// they are the same.
QString firstDifference(const QTextDocument& one, const QTextDocument& other)
{
    QTextBlock a = one.begin();
    QTextBlock b = other.begin();
    for (; a.isValid() && b.isValid(); a = a.next(), b = b.next()) {
        if (a.text() != b.text() || a.blockFormat() != b.blockFormat() ||
            a.charFormat() != b.charFormat() || bool(a.textList()) != bool(b.textList()))
            return u"paragraph %1: %2 | %3"_s.arg(a.blockNumber()).arg(a.text(), b.text());
        QTextBlock::iterator x = a.begin();
        QTextBlock::iterator y = b.begin();
        for (; !x.atEnd() && !y.atEnd(); ++x, ++y) {
            if (x.fragment().text() != y.fragment().text() ||
                x.fragment().charFormat() != y.fragment().charFormat())
                return u"paragraph %1, run %2"_s.arg(a.blockNumber()).arg(x.fragment().text());
        }
        if (!x.atEnd() || !y.atEnd())
            return u"paragraph %1: runs"_s.arg(a.blockNumber());
    }
    return a.isValid() || b.isValid() ? u"paragraph count"_s : QString();
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class DocumentsTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void openAsksNothingWhenUnmodified();
    void openModifiedAnsweredNo_data();
    void openModifiedAnsweredNo();
    void openModifiedAnsweredYesSavesFirst();
    void openAfterDeclinedSaveAndCancelledSaveAs_data();
    void openAfterDeclinedSaveAndCancelledSaveAs();
    void openRefusedKeepsDocument_data();
    void openRefusedKeepsDocument();
    void readDocumentFileReadsWholeFile_data();
    void readDocumentFileReadsWholeFile();
    void openModifiedCancelledKeepsDocument();
    void saveAsExtension_data();
    void saveAsExtension();
    void saveAsCancelledMarksModified();
    void saveAsWriteFails();
    void encodingRoundTrip_data();
    void encodingRoundTrip();
    void unchangedFileSavedBackByteExact_data();
    void unchangedFileSavedBackByteExact();
    void editedFileKeepsEncoding_data();
    void editedFileKeepsEncoding();
    void rtfKeepsItsFormatting_data();
    void rtfKeepsItsFormatting();
    void formattingIsNotWritten();
    void saveAfterSaveAs();
    void letterDisplayKeepsDocumentPath();
    void openLongFileWithProgress_data();
    void openLongFileWithProgress();
    void veryLongLinesAreOfferedBroken_data();
    void veryLongLinesAreOfferedBroken();
    void tooLargeFileNamesItsSize_data();
    void tooLargeFileNamesItsSize();
    void openTooLargeFileRefused();

private:
    MainWindow& window() { return *program->mainWindow(); }
    QString file(const QString& name) const { return files->filePath(name); }
    void writeFile(const QString& name, const QByteArray& bytes);
    // Writes the file and opens it with File > Open.
    void openFile(const QString& name, const QByteArray& bytes);
    void expectMessage(const QString& text, MsgButtons buttons = MsgButtons::Ok,
                       MsgIcon icon = MsgIcon::None, MsgAnswer answer = MsgAnswer::Ok);

    std::unique_ptr<test::TestLibrary> library;
    std::unique_ptr<test::FakePlatform> platform;
    std::unique_ptr<Letterwright> program;
    std::unique_ptr<QTemporaryDir> files;
};

void DocumentsTest::init()
{
    files = std::make_unique<QTemporaryDir>();
    QVERIFY(files->isValid());
    library = std::make_unique<test::TestLibrary>();
    platform = std::make_unique<test::FakePlatform>();
    library->create();
    program = std::make_unique<Letterwright>();
    QVERIFY(program->StartUp());
    // The program's directory, with its letter folder, lies in the temporary folder too.
    setProgramDirectory(files->path());
}

void DocumentsTest::cleanup()
{
    program.reset();
    platform.reset();
    library.reset();
    files.reset();
}

void DocumentsTest::writeFile(const QString& name, const QByteArray& bytes)
{
    QFile out(file(name));
    QVERIFY(out.open(QIODevice::WriteOnly));
    QCOMPARE(out.write(bytes), bytes.size());
}

void DocumentsTest::openFile(const QString& name, const QByteArray& bytes)
{
    writeFile(name, bytes);
    platform->dialogs.openAnswers.push_back(QStringList{file(name)});
    window().OpenDocument();
}

void DocumentsTest::expectMessage(const QString& text, MsgButtons buttons, MsgIcon icon,
                                  MsgAnswer answer)
{
    platform->messages.expect(text, notice, buttons, icon, answer);
}

void DocumentsTest::openAsksNothingWhenUnmodified()
{
    MainWindow& w = window();
    writeFile(u"a.txt"_s, "Hello\r\nWorld");
    // Properties that Open does not set keep what an earlier command left in them.
    w.MainDialog.setDefaultFilename(u"draft"_s);
    w.MainDialog.setInitialDir(files->path());
    w.MainDialog.setMultiSelect(true);
    w.MainDialog.setFilterIndex(2);
    platform->dialogs.openAnswers.push_back(QStringList{file(u"a.txt"_s)});
    w.OpenDocument();

    QCOMPARE(platform->dialogs.openRequests.size(), 1);
    const FileDialogRequest& request = platform->dialogs.openRequests.first();
    QCOMPARE(request.title, u"Select a file to open"_s);
    QCOMPARE(request.nameFilters, nameFilters(documentFilter));
    QCOMPARE(request.filterIndex, 0);
    QVERIFY(!request.multiSelect);
    QCOMPARE(request.parent, &w);
    QCOMPARE(request.defaultFilename, u"draft"_s);
    QCOMPARE(request.initialDir, files->path());
    QVERIFY(w.MainDialog.CancelError());

    QCOMPARE(w.RTB->Text(), u"Hello\nWorld"_s);
    QCOMPARE(w.CurrentDocumentPath, file(u"a.txt"_s));
    QVERIFY(!w.DocumentModified);
    QVERIFY(platform->messages.shown.isEmpty());
}

void DocumentsTest::openModifiedAnsweredNo_data()
{
    QTest::addColumn<bool>("chooseFile");
    QTest::newRow("nominal: a file chosen replaces the text") << true;
    QTest::newRow("nominal: cancel keeps the modified text") << false;
}

void DocumentsTest::openModifiedAnsweredNo()
{
    QFETCH(bool, chooseFile);
    MainWindow& w = window();
    writeFile(u"b.txt"_s, "From the file");
    w.RTB->setText(u"my changes"_s);
    QVERIFY(w.DocumentModified);
    expectMessage(openQuestion, MsgButtons::YesNoCancel, MsgIcon::None, MsgAnswer::No);
    platform->dialogs.openAnswers.push_back(chooseFile ? std::optional(QStringList{file("b.txt")})
                                                       : std::nullopt);
    w.OpenDocument();

    QCOMPARE(platform->dialogs.saveRequests.size(), 0);
    QCOMPARE(w.RTB->Text(), chooseFile ? u"From the file"_s : u"my changes"_s);
    QCOMPARE(w.DocumentModified, !chooseFile);
    QCOMPARE(w.CurrentDocumentPath, chooseFile ? file(u"b.txt"_s) : QString());
}

void DocumentsTest::openModifiedAnsweredYesSavesFirst()
{
    MainWindow& w = window();
    writeFile(u"current.txt"_s, "old");
    writeFile(u"next.txt"_s, "next");
    platform->dialogs.openAnswers.push_back(QStringList{file(u"current.txt"_s)});
    w.OpenDocument();
    w.RTB->setText(u"new"_s);

    expectMessage(openQuestion, MsgButtons::YesNoCancel, MsgIcon::None, MsgAnswer::Yes);
    expectMessage("You will overwrite current file at '" + file(u"current.txt"_s) +
                      "' and it is unreversible, proceed?",
                  MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes);
    expectMessage(u"File Saved!"_s);
    platform->dialogs.openAnswers.push_back(QStringList{file(u"next.txt"_s)});
    w.OpenDocument();

    // The file had no line break at its end, and gets none.
    QCOMPARE(bytesOf(file(u"current.txt"_s)), QByteArray("new"));
    QCOMPARE(w.RTB->Text(), u"next"_s);
    QCOMPARE(w.CurrentDocumentPath, file(u"next.txt"_s));
    QVERIFY(!w.DocumentModified);
}

void DocumentsTest::openAfterDeclinedSaveAndCancelledSaveAs_data()
{
    QTest::addColumn<bool>("hasCurrentFile");
    QTest::addColumn<bool>("writeFails");
    QTest::newRow("robustness: overwrite declined, Save As cancelled") << true << false;
    QTest::newRow("robustness: no current file, Save As cancelled") << false << false;
    QTest::newRow("robustness: the write fails") << true << true;
}

// A save that did not happen keeps the document: Open goes no further.
void DocumentsTest::openAfterDeclinedSaveAndCancelledSaveAs()
{
    QFETCH(bool, hasCurrentFile);
    QFETCH(bool, writeFails);
    MainWindow& w = window();
    writeFile(u"current.txt"_s, "old");
    if (hasCurrentFile) {
        platform->dialogs.openAnswers.push_back(QStringList{file(u"current.txt"_s)});
        w.OpenDocument();
    }
    if (writeFails)
        QVERIFY(QFile::remove(file(u"current.txt"_s)) && QDir().mkdir(file(u"current.txt"_s)));
    w.RTB->setText(u"unsaved"_s);

    expectMessage(openQuestion, MsgButtons::YesNoCancel, MsgIcon::None, MsgAnswer::Yes);
    if (hasCurrentFile)
        expectMessage("You will overwrite current file at '" + file(u"current.txt"_s) +
                          "' and it is unreversible, proceed?",
                      MsgButtons::YesNo, MsgIcon::None,
                      writeFails ? MsgAnswer::Yes : MsgAnswer::No);
    if (writeFails) {
        platform->messages.expect(
            u"Cannot write %1: Filename refers to a directory\n\nThe document has not been "
            "saved."_s.arg(file(u"current.txt"_s)),
            notice, MsgButtons::Ok, MsgIcon::Exclamation);
    } else {
        platform->dialogs.saveAnswers.push_back(std::nullopt);
        expectMessage(u"File not Saved!"_s);
    }
    w.OpenDocument();

    QCOMPARE(platform->dialogs.saveRequests.size(), writeFails ? 0 : 1);
    QCOMPARE(platform->dialogs.openRequests.size(), hasCurrentFile ? 1 : 0);
    if (!writeFails)
        QCOMPARE(bytesOf(file(u"current.txt"_s)), QByteArray("old"));
    QCOMPARE(w.RTB->Text(), u"unsaved"_s);
    QVERIFY(w.DocumentModified);
    QCOMPARE(w.CurrentDocumentPath, hasCurrentFile ? file(u"current.txt"_s) : QString());
}

void DocumentsTest::openModifiedCancelledKeepsDocument()
{
    MainWindow& w = window();
    w.RTB->setText(u"my changes"_s);
    expectMessage(openQuestion, MsgButtons::YesNoCancel, MsgIcon::None, MsgAnswer::Cancel);
    w.OpenDocument();
    QVERIFY(platform->dialogs.openRequests.isEmpty());
    QVERIFY(platform->dialogs.saveRequests.isEmpty());
    QCOMPARE(w.RTB->Text(), u"my changes"_s);
    QVERIFY(w.DocumentModified);
}

void DocumentsTest::openRefusedKeepsDocument_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("robustness: a file that has gone") << "gone"
                                                      << "No such file or directory";
    for (const char* kind : {"fifo", "socket", "device", "folder"})
        QTest::addRow("robustness: a %s", kind) << kind << test::specialFileReason(kind);
}

// Nothing but a regular file is read: a FIFO or a device would hold the window for good.
void DocumentsTest::openRefusedKeepsDocument()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    MainWindow& w = window();
    const QString path =
        kind == "gone" ? file(u"gone.txt"_s) : test::makeSpecialFile(kind, files->path());
    QVERIFY2(!path.isEmpty(), qPrintable(kind));
    const QString shown = w.RTB->Text();
    const QString before = w.CurrentDocumentPath;
    platform->dialogs.openAnswers.push_back(QStringList{path});
    platform->messages.expect(u"The file %1 cannot be opened:\n%2."_s.arg(path, reason), u"Open"_s,
                              MsgButtons::Ok, MsgIcon::Exclamation);
    w.OpenDocument();
    QCOMPARE(w.CurrentDocumentPath, before);
    QCOMPARE(w.RTB->Text(), shown);
    QVERIFY(!w.DocumentModified);
    QVERIFY(!readDocumentFile(path));
}

void DocumentsTest::readDocumentFileReadsWholeFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("nominal: UTF-8") << QByteArray("\xD0\x9F\xD1\x80\xD0\xB8") << u"При"_s;
    QTest::newRow("nominal: Windows-1252") << QByteArray("\x80 caf\xE9") << u"€ café"_s;
    QTest::newRow("edge: empty file") << QByteArray() << QString();
    QTest::newRow("edge: NUL bytes are read past") << QByteArray("a\0b", 3) << QString(u"a\0b"_s);
    QTest::newRow("edge: line ends are left to the editor") << QByteArray("a\r\nb") << u"a\r\nb"_s;
}

void DocumentsTest::readDocumentFileReadsWholeFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    writeFile(u"letter.rtf"_s, bytes);
    const std::optional<DecodedText> read = readDocumentFile(file(u"letter.rtf"_s));
    QVERIFY(read);
    QCOMPARE(read->text, text);
    QVERIFY(!readDocumentFile(file(u"missing.txt"_s)));
}

void DocumentsTest::saveAsExtension_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<int>("type");         // the file type chosen in the dialog, 0-based
    QTest::addColumn<QString>("existing"); // a file there before
    QTest::addColumn<int>("replace");      // the answer to the replace question; -1: not asked
    QTest::addColumn<QString>("written");  // empty: nothing written
    const int notAsked = -1;
    QTest::newRow("nominal: a name without extension gets the type's")
        << "letter" << 0 << "" << notAsked << "letter.txt";
    QTest::newRow("nominal: a name with .txt is kept")
        << "letter.txt" << 0 << "" << notAsked << "letter.txt";
    QTest::newRow("nominal: another extension is kept")
        << "letter.md" << 0 << "" << notAsked << "letter.md";
    QTest::newRow("nominal: All Files adds nothing")
        << "letter" << allFiles << "" << notAsked << "letter";
    QTest::newRow("edge: a leading dot makes no extension")
        << ".letter" << 0 << "" << notAsked << ".letter.txt";
    QTest::newRow("robustness: the name chosen exists, the dialog has asked")
        << "letter.txt" << 0 << "letter.txt" << notAsked << "letter.txt";
    QTest::newRow("robustness: the name written exists, replace answered Yes")
        << "clash" << 0 << "clash.txt" << int(MsgAnswer::Yes) << "clash.txt";
    QTest::newRow("robustness: the name written exists, replace answered No")
        << "clash" << 0 << "clash.txt" << int(MsgAnswer::No) << "";
    QTest::newRow("robustness: All Files over a name without extension")
        << "clash" << allFiles << "clash" << notAsked << "clash";
}

void DocumentsTest::saveAsExtension()
{
    QFETCH(QString, chosen);
    QFETCH(int, type);
    QFETCH(QString, existing);
    QFETCH(int, replace);
    QFETCH(QString, written);
    MainWindow& w = window();
    const QByteArray old("previous content that is longer");
    if (!existing.isEmpty())
        writeFile(existing, old);
    w.RTB->setText(u"Dear Sir,\nThank you."_s);
    platform->dialogs.saveAnswers.push_back(file(chosen));
    platform->dialogs.saveFilterAnswers.push_back(type);
    if (replace >= 0)
        platform->messages.expect(
            u"%1 already exists.\nDo you want to replace it?"_s.arg(file(chosen + u".txt"_s)),
            u"Save As"_s, MsgButtons::YesNo, MsgIcon::Exclamation, MsgAnswer(replace));
    if (written.isEmpty())
        expectMessage(u"File not Saved!"_s);
    else
        expectMessage(u"File Saved!"_s, MsgButtons::Ok, MsgIcon::Information);
    w.SaveDocumentAs();

    QCOMPARE(platform->dialogs.saveRequests.size(), 1);
    const FileDialogRequest& request = platform->dialogs.saveRequests.first();
    QCOMPARE(request.title, u"Save As"_s);
    QCOMPARE(request.nameFilters, nameFilters(documentFilter));
    QCOMPARE(request.filterIndex, 0);
    QStringList files{existing, written};
    files.removeAll(QString());
    files.removeDuplicates();
    files.sort();
    QCOMPARE(QDir(this->files->path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), files);
    if (!existing.isEmpty() && existing != written)
        QCOMPARE(bytesOf(file(existing)), old);
    if (!written.isEmpty())
        QCOMPARE(bytesOf(file(written)), QByteArray("Dear Sir,\r\nThank you."));
    QCOMPARE(w.CurrentDocumentPath, written.isEmpty() ? QString() : file(written));
    QCOMPARE(w.DocumentModified, written.isEmpty());
}

void DocumentsTest::saveAsCancelledMarksModified()
{
    MainWindow& w = window();
    QVERIFY(!w.DocumentModified);
    platform->dialogs.saveAnswers.push_back(std::nullopt);
    expectMessage(u"File not Saved!"_s);
    w.SaveDocumentAs();
    QVERIFY(w.DocumentModified);
    QVERIFY(w.CurrentDocumentPath.isEmpty());
    // The shutdown question follows at exit.
    platform->messages.expect(u"Current file has been modified.  Save changes?"_s, notice,
                              MsgButtons::YesNoCancel, MsgIcon::None, MsgAnswer::No);
    QVERIFY(w.close());
}

void DocumentsTest::saveAsWriteFails()
{
    MainWindow& w = window();
    w.RTB->setText(u"text"_s);
    const QString chosen = file(u"no such folder/letter"_s);
    platform->dialogs.saveAnswers.push_back(chosen);
    expectMessage(
        u"File not Saved!\n\nCannot write %1.txt: No such file or directory"_s.arg(chosen));
    w.SaveDocumentAs();
    QVERIFY(w.DocumentModified);
    QCOMPARE(w.CurrentDocumentPath, chosen + u".txt"_s);
    QVERIFY(!QFile::exists(chosen + u".txt"_s));
}

void DocumentsTest::encodingRoundTrip_data()
{
    QTest::addColumn<QByteArray>("fileBytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("savedBytes");
    const QByteArray windows1252("Caf\xE9 \x80 10\r\nNa\xEFve \x93quoted\x94 \x96 ok");
    QTest::newRow("nominal: Windows-1252 byte-exact")
        << windows1252 << u"Café € 10\nNaïve “quoted” – ok"_s << windows1252;
    const QByteArray cyrillic = u"Привет\r\n日本語 Αθήνα"_s.toUtf8();
    QTest::newRow("nominal: non-Latin UTF-8 byte-exact")
        << cyrillic << u"Привет\n日本語 Αθήνα"_s << cyrillic;
    const QByteArray mixed = u"Café Ω"_s.toUtf8();
    QTest::newRow("nominal: one character outside Windows-1252 keeps UTF-8")
        << mixed << u"Café Ω"_s << mixed;
    QTest::newRow("nominal: Latin UTF-8 stays UTF-8")
        << QByteArray("Gr\xC3\xBC\xC3\x9F\r\n") << u"Grüß\n"_s
        << QByteArray("Gr\xC3\xBC\xC3\x9F\r\n");
    QTest::newRow("nominal: byte-order mark kept")
        << QByteArray("\xEF\xBB\xBFH\xC3\xA9llo") << u"Héllo"_s
        << QByteArray("\xEF\xBB\xBFH\xC3\xA9llo");
    QTest::newRow("nominal: line feeds stay line feeds")
        << QByteArray("one\ntwo\n") << u"one\ntwo\n"_s << QByteArray("one\ntwo\n");
    QTest::newRow("nominal: UTF-16 read as UTF-16")
        << QByteArray("\xFF\xFE\xA9\0 \0\r\0\n\0", 10) << u"© \n"_s
        << QByteArray("\xFF\xFE\xA9\0 \0\r\0\n\0", 10);
    QTest::newRow("robustness: a stray Windows-1252 byte in UTF-8")
        << QByteArray("\xE2\x82\xAC 5 \x80") << u"€ 5 €"_s << u"€ 5 €"_s.toUtf8();
}

void DocumentsTest::encodingRoundTrip()
{
    QFETCH(QByteArray, fileBytes);
    QFETCH(QString, text);
    QFETCH(QByteArray, savedBytes);
    MainWindow& w = window();
    writeFile(u"in.txt"_s, fileBytes);
    platform->dialogs.openAnswers.push_back(QStringList{file(u"in.txt"_s)});
    w.OpenDocument();
    QCOMPARE(w.RTB->Text(), text);

    platform->dialogs.saveAnswers.push_back(file(u"out"_s));
    expectMessage(u"File Saved!"_s, MsgButtons::Ok, MsgIcon::Information);
    w.SaveDocumentAs();
    QCOMPARE(bytesOf(file(u"out.txt"_s)), savedBytes);

    // What was written reads back as the same text.
    w.lstBx[0]->setCurrentRow(1);
    QVERIFY(w.RTB->Text() != text);
    platform->dialogs.openAnswers.push_back(QStringList{file(u"out.txt"_s)});
    w.OpenDocument();
    QCOMPARE(w.RTB->Text(), text);
}

void DocumentsTest::unchangedFileSavedBackByteExact_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("nominal: CR LF, final line break") << QByteArray("Dear Sir,\r\n\r\nYours\r\n");
    QTest::newRow("nominal: CR LF, no final line break") << QByteArray("Dear Sir,\r\nYours");
    QTest::newRow("nominal: LF, final line break") << u"Grüße,\nAnna\n"_s.toUtf8();
    QTest::newRow("nominal: LF, no final line break") << QByteArray("a\nb");
    QTest::newRow("nominal: Windows-1252") << QByteArray("Caf\xE9 \x80 10\r\n");
    QTest::newRow("nominal: UTF-8 with byte-order mark") << QByteArray("\xEF\xBB\xBFN\xC3\xA9\n");
    QTest::newRow("nominal: UTF-16 big-endian") << QByteArray("\xFE\xFF\0O\0K\0\n", 8);
    QTest::newRow("edge: blank lines at the end") << QByteArray("a\r\n\r\n\r\n");
}

// Open, an edit undone, Save and Save As: the same bytes, every time.
void DocumentsTest::unchangedFileSavedBackByteExact()
{
    QFETCH(QByteArray, bytes);
    MainWindow& w = window();
    w.show();
    writeFile(u"letter.txt"_s, bytes);
    platform->dialogs.openAnswers.push_back(QStringList{file(u"letter.txt"_s)});
    w.OpenDocument();
    QTest::keyClick(w.RTB->textEdit(), Qt::Key_X);
    QTest::keyClick(w.RTB->textEdit(), Qt::Key_Backspace);
    QVERIFY(w.DocumentModified);

    for (int round = 0; round < 2; ++round) {
        w.DocumentModified = true;
        expectMessage("You will overwrite current file at '" + file(u"letter.txt"_s) +
                          "' and it is unreversible, proceed?",
                      MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes);
        expectMessage(u"File Saved!"_s);
        QVERIFY(w.SaveDocument());
        QCOMPARE(bytesOf(file(u"letter.txt"_s)), bytes);
    }
    platform->dialogs.saveAnswers.push_back(file(u"copy.txt"_s));
    expectMessage(u"File Saved!"_s, MsgButtons::Ok, MsgIcon::Information);
    QVERIFY(w.SaveDocumentAs());
    QCOMPARE(bytesOf(file(u"copy.txt"_s)), bytes);
}

void DocumentsTest::editedFileKeepsEncoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("nominal: UTF-8 that would fit Windows-1252 stays UTF-8")
        << QByteArray("Gr\xC3\xBC\xC3\x9F\n") << u"é"_s
        << QByteArray("\xC3\xA9Gr\xC3\xBC\xC3\x9F\n");
    QTest::newRow("nominal: Windows-1252 stays Windows-1252") << QByteArray("Caf\xE9\r\n") << u"é"_s
                                                              << QByteArray("\xE9"
                                                                            "Caf\xE9\r\n");
    QTest::newRow("lossless: Windows-1252 without room for a character becomes UTF-8")
        << QByteArray("Caf\xE9\r\n") << u"Ω"_s
        << QByteArray("\xCE\xA9"
                      "Caf\xC3\xA9\r\n");
    QTest::newRow("nominal: UTF-16 stays UTF-16")
        << QByteArray("\xFF\xFEO\0K\0", 6) << u"é"_s << QByteArray("\xFF\xFE\xE9\0O\0K\0", 8);
}

void DocumentsTest::editedFileKeepsEncoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, typed);
    QFETCH(QByteArray, saved);
    MainWindow& w = window();
    w.show();
    writeFile(u"letter.txt"_s, bytes);
    platform->dialogs.openAnswers.push_back(QStringList{file(u"letter.txt"_s)});
    w.OpenDocument();
    // A key that gives the character, as a keyboard layout that has it would.
    QTest::sendKeyEvent(QTest::Press, w.RTB->textEdit(), Qt::Key_unknown, typed, Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Release, w.RTB->textEdit(), Qt::Key_unknown, typed, Qt::NoModifier);
    QVERIFY(w.RTB->Text().startsWith(typed));
    expectMessage("You will overwrite current file at '" + file(u"letter.txt"_s) +
                      "' and it is unreversible, proceed?",
                  MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes);
    expectMessage(u"File Saved!"_s);
    QVERIFY(w.SaveDocument());
    QCOMPARE(bytesOf(file(u"letter.txt"_s)), saved);
}

void DocumentsTest::rtfKeepsItsFormatting_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("saveAs");
    QTest::newRow("nominal: Save over an .rtf") << "offer.rtf" << false;
    QTest::newRow("robustness: letter case of the extension") << "OFFER.RTF" << false;
    QTest::newRow("nominal: Save As to an .rtf name with All Files") << "copy.rtf" << true;
}

// An .rtf is written as RTF: nothing is flattened, so nothing needs asking.
void DocumentsTest::rtfKeepsItsFormatting()
{
    QFETCH(QString, name);
    QFETCH(bool, saveAs);
    MainWindow& w = window();
    const QByteArray rtf("{\\rtf1\\ansi {\\b Bold} and plain\\par}");
    writeFile(u"source.rtf"_s, rtf);
    if (!saveAs)
        writeFile(name, rtf);
    platform->dialogs.openAnswers.push_back(QStringList{file(saveAs ? u"source.rtf"_s : name)});
    w.OpenDocument();
    QCOMPARE(w.RTB->Text().trimmed(), u"Bold and plain"_s);
    QCOMPARE(w.RTB->SelBold(), std::optional<bool>(true));
    w.RTB->setSelStart(int(w.RTB->Text().indexOf(u"plain"_s)) + 5);
    w.RTB->setSelText(u"!"_s);

    if (saveAs) {
        platform->dialogs.saveAnswers.push_back(file(name));
        platform->dialogs.saveFilterAnswers.push_back(allFiles);
        expectMessage(u"File Saved!"_s, MsgButtons::Ok, MsgIcon::Information);
    } else {
        expectMessage("You will overwrite current file at '" + file(name) +
                          "' and it is unreversible, proceed?",
                      MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes);
        expectMessage(u"File Saved!"_s);
    }
    QVERIFY(saveAs ? w.SaveDocumentAs() : w.SaveDocument());
    QVERIFY(!w.DocumentModified);

    const QByteArray written = bytesOf(file(name));
    QVERIFY(written.startsWith("{\\rtf1"));
    LetterEditor reread;
    QVERIFY(reread.LoadFile(file(name), FileKind::RichText));
    QCOMPARE(reread.Text(), u"Bold and plain!"_s);
    reread.setSelStart(0);
    reread.setSelLength(4);
    QCOMPARE(reread.SelBold(), std::optional<bool>(true));
}

void DocumentsTest::formattingIsNotWritten()
{
    MainWindow& w = window();
    w.RTB->setText(u"Bold and red"_s);
    w.RTB->setSelStart(0);
    w.RTB->setSelLength(4);
    w.RTB->setSelBold(true);
    w.RTB->setSelStart(9);
    w.RTB->setSelLength(3);
    w.RTB->setSelColor(0x0000FF);
    QCOMPARE(w.RTB->SelColor(), std::optional<quint32>(0x0000FF));
    platform->dialogs.saveAnswers.push_back(file(u"styled"_s));
    expectMessage(u"File Saved!"_s, MsgButtons::Ok, MsgIcon::Information);
    w.SaveDocumentAs();
    QCOMPARE(bytesOf(file(u"styled.txt"_s)), QByteArray("Bold and red"));

    // Save writes the characters only as well, with the line end of its line print.
    w.RTB->setSelStart(0);
    w.RTB->setSelLength(4);
    w.RTB->setSelBold(false);
    QVERIFY(w.DocumentModified);
    expectMessage("You will overwrite current file at '" + file(u"styled.txt"_s) +
                      "' and it is unreversible, proceed?",
                  MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes);
    expectMessage(u"File Saved!"_s);
    w.SaveDocument();
    QCOMPARE(bytesOf(file(u"styled.txt"_s)), QByteArray("Bold and red\r\n"));
}

void DocumentsTest::saveAfterSaveAs()
{
    MainWindow& w = window();
    w.RTB->setText(u"first"_s);
    platform->dialogs.saveAnswers.push_back(file(u"doc"_s));
    expectMessage(u"File Saved!"_s, MsgButtons::Ok, MsgIcon::Information);
    w.SaveDocumentAs();

    // Unmodified: Save does nothing at all.
    w.SaveDocument();
    QCOMPARE(platform->messages.shown.size(), 1);
    QCOMPARE(platform->dialogs.saveRequests.size(), 1);

    w.RTB->setText(u"second"_s);
    expectMessage("You will overwrite current file at '" + file(u"doc.txt"_s) +
                      "' and it is unreversible, proceed?",
                  MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes);
    expectMessage(u"File Saved!"_s);
    w.SaveDocument();
    QCOMPARE(bytesOf(file(u"doc.txt"_s)), QByteArray("second\r\n"));
    QVERIFY(!w.DocumentModified);
    QCOMPARE(w.CurrentDocumentPath, file(u"doc.txt"_s));
}

void DocumentsTest::letterDisplayKeepsDocumentPath()
{
    MainWindow& w = window();
    writeFile(u"a.txt"_s, "opened");
    platform->dialogs.openAnswers.push_back(QStringList{file(u"a.txt"_s)});
    w.OpenDocument();
    w.lstBx[0]->setCurrentRow(1);
    QCOMPARE(w.RTB->Text(), u"Dear Sir,\nThe goods came late."_s);
    QCOMPARE(w.CurrentDocumentPath, file(u"a.txt"_s));
    QVERIFY(!w.DocumentModified);
}

void DocumentsTest::openLongFileWithProgress_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("cancelAt");
    for (const QString& name : {u"long.txt"_s, u"long.rtf"_s, u"long.odt"_s}) {
        const QByteArray kind = name.toLatin1();
        QTest::addRow("nominal: the whole of %s opens", kind.constData()) << name << -1;
        QTest::addRow("nominal: Cancel at once keeps the document (%s)", kind.constData())
            << name << 1;
        QTest::addRow("nominal: Cancel halfway keeps the document (%s)", kind.constData())
            << name << 2;
    }
}

void DocumentsTest::openLongFileWithProgress()
{
    QFETCH(QString, name);
    QFETCH(int, cancelAt);
    MainWindow& w = window();
    openFile(u"a.txt"_s, "Dear Sir,\nthank you.");
    w.RTB->setSelStart(5);
    w.RTB->setSelLength(3);
    w.RTB->setSelBold(true);
    QVERIFY(w.DocumentModified);

    // RTF and OpenDocument take far longer a character than text: shorter files go in pieces.
    QByteArray bytes;
    QString text;
    if (name.endsWith(u".txt"_s)) {
        bytes = longFile();
        text = QString::fromLatin1(bytes).replace(u"\r\n"_s, u"\n"_s);
    } else if (name.endsWith(u".rtf"_s)) {
        bytes = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\n";
        QStringList lines;
        for (int line = 0; bytes.size() < (320 << 10); ++line) {
            bytes += "\\pard Line " + QByteArray::number(line) + " of a {\\b long} letter.\\par\n";
            lines += u"Line %1 of a long letter."_s.arg(line);
        }
        bytes += "}";
        text = lines.join(u'\n');
    } else {
        // Words that do not pack well, so that the packed file is long too.
        QStringList lines;
        QRandomGenerator random(7);
        for (int line = 0; line < 6000; ++line) {
            QString words;
            for (int letter = 0; letter < 40; ++letter)
                words += QChar(u'a' + random.bounded(26));
            lines += u"Line %1: %2."_s.arg(line).arg(words);
        }
        text = lines.join(u'\n');
        LetterEditor source;
        source.setText(text);
        QString error;
        QVERIFY2(source.SaveFile(file(name), FileKind::OpenDocument, &error), qPrintable(error));
        bytes = bytesOf(file(name));
        QVERIFY(bytes.size() > (64 << 10));
    }
    if (!name.endsWith(u".odt"_s))
        writeFile(name, bytes);

    expectMessage(openQuestion, MsgButtons::YesNoCancel, MsgIcon::None, MsgAnswer::No);
    platform->dialogs.openAnswers.push_back(QStringList{file(name)});
    platform->progress.cancelAt = cancelAt;
    w.OpenDocument();

    QCOMPARE(platform->progress.jobs.size(), 1);
    const test::FakeProgress::Job& job = platform->progress.jobs.first();
    QCOMPARE(job.label, u"Opening %1..."_s.arg(name));
    if (!name.endsWith(u".odt"_s))
        QCOMPARE(job.total, qint64(bytes.size()));
    QVERIFY(!job.advances.isEmpty());
    QVERIFY(std::is_sorted(job.advances.begin(), job.advances.end()));
    if (cancelAt < 0) {
        // More than one piece, and the last one reaches the end.
        QVERIFY(job.advances.size() > 1);
        QCOMPARE(job.advances.last(), job.total);
        QVERIFY2(w.RTB->Text() == text,
                 qPrintable(w.RTB->Text().right(60) + u'|' + text.right(60)));
        QCOMPARE(w.CurrentDocumentPath, file(name));
        QVERIFY(!w.DocumentModified);
        QCOMPARE(w.RTB->SelStart(), 0);
        QVERIFY(!w.RTB->document()->isUndoAvailable());
        // Formatted as the same file read in one go.
        LetterEditor direct;
        QVERIFY(direct.LoadFile(file(name), name.endsWith(u".odt"_s)   ? FileKind::OpenDocument
                                            : name.endsWith(u".rtf"_s) ? FileKind::RichText
                                                                       : FileKind::PlainText));
        QCOMPARE(firstDifference(*w.RTB->document(), *direct.document()), QString());
        return;
    }
    QCOMPARE(job.advances.size(), cancelAt);
    // As it was: text, formats, selection, path, modified, the undo history.
    QCOMPARE(w.RTB->Text(), u"Dear Sir,\nthank you."_s);
    QCOMPARE(w.RTB->SelStart(), 5);
    QCOMPARE(w.RTB->SelLength(), 3);
    QCOMPARE(w.RTB->SelBold(), std::optional<bool>(true));
    QCOMPARE(w.CurrentDocumentPath, file(u"a.txt"_s));
    QVERIFY(w.DocumentModified);
    w.RTB->undo();
    QCOMPARE(w.RTB->SelBold(), std::optional<bool>(false));
    // Save writes the file that is still open.
    expectMessage("You will overwrite current file at '" + file(u"a.txt"_s) +
                      "' and it is unreversible, proceed?",
                  MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes);
    expectMessage(u"File Saved!"_s);
    w.RTB->setSelBold(true);
    w.SaveDocument();
    QCOMPARE(bytesOf(file(u"a.txt"_s)), QByteArray("Dear Sir,\nthank you."));
    QCOMPARE(bytesOf(file(name)), bytes);
}

void DocumentsTest::veryLongLinesAreOfferedBroken_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("insert");
    QTest::addColumn<MsgAnswer>("answer");
    QTest::newRow("nominal: opened with its lines broken")
        << u"long.txt"_s << false << MsgAnswer::Yes;
    QTest::newRow("nominal: declined, the letter stays") << u"long.txt"_s << false << MsgAnswer::No;
    QTest::newRow("nominal: inserted with its lines broken")
        << u"long.txt"_s << true << MsgAnswer::Yes;
    QTest::newRow("nominal: insert declined") << u"long.txt"_s << true << MsgAnswer::No;
    // A formatted file's long paragraph freezes the window as a long line does.
    QTest::newRow("rtf: opened broken") << u"long.rtf"_s << false << MsgAnswer::Yes;
    QTest::newRow("rtf: open declined") << u"long.rtf"_s << false << MsgAnswer::No;
    QTest::newRow("rtf: inserted broken") << u"long.rtf"_s << true << MsgAnswer::Yes;
    QTest::newRow("rtf: insert declined") << u"long.rtf"_s << true << MsgAnswer::No;
    // Packed, the file is a few kilobytes: the size alone does not tell.
    QTest::newRow("odt: opened broken") << u"long.odt"_s << false << MsgAnswer::Yes;
    QTest::newRow("odt: open declined") << u"long.odt"_s << false << MsgAnswer::No;
}

void DocumentsTest::veryLongLinesAreOfferedBroken()
{
    QFETCH(QString, name);
    QFETCH(bool, insert);
    QFETCH(MsgAnswer, answer);
    MainWindow& w = window();
    openFile(u"a.txt"_s, "Dear Sir,\r\nthank you.");
    w.RTB->setSelStart(w.RTB->TextLength());

    // One line of 1,100,000 characters, then a short one; in bold in the formatted files.
    const QByteArray longLine = QByteArray("Thank you for your order. ").repeated(42308);
    const bool rich = !name.endsWith(u".txt");
    if (name.endsWith(u".odt")) {
        QTextDocument document;
        QTextCursor cursor(&document);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        cursor.insertText(QString::fromLatin1(longLine), bold);
        cursor.insertBlock();
        cursor.insertText(u"Last line"_s, QTextCharFormat());
        QFile odt(file(name));
        QVERIFY(odt.open(QIODevice::WriteOnly));
        QVERIFY(writeOdt(document, odt));
        odt.close();
        QVERIFY(odt.size() < 64 * 1024);
    } else if (rich) {
        writeFile(name, "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\b " + longLine +
                            "\\b0\\par\r\nLast line}");
    } else {
        writeFile(name, longLine + "\r\nLast line");
    }
    // The numbers as the user's language writes them.
    platform->messages.expect(
        u"The file %1 has a line of %2 characters. Lines that long take minutes to "
        u"show.\n\nBreak its long lines into lines of at most %3 characters? Saving the letter "
        u"keeps these breaks. No leaves the letter as it is."_s.arg(
            name, QLocale().toString(1100008), QLocale().toString(10000)),
        insert ? u"Insert Text File"_s : u"Open"_s, MsgButtons::YesNo, MsgIcon::Exclamation,
        answer);
    platform->dialogs.openAnswers.push_back(QStringList{file(name)});
    if (insert)
        w.MenuBar_ItemClick(u"mnuInsert"_s, u"TextFile"_s);
    else
        w.OpenDocument();
    platform->messages.verifyDone();

    const QString before = u"Dear Sir,\nthank you."_s;
    if (answer == MsgAnswer::No) {
        QCOMPARE(w.RTB->Text(), before);
        QCOMPARE(w.CurrentDocumentPath, file(u"a.txt"_s));
        QVERIFY(!w.DocumentModified);
        return;
    }
    QString text = w.RTB->Text();
    if (insert) {
        QVERIFY(text.startsWith(before));
        text = text.sliced(before.size());
        QVERIFY(w.DocumentModified);
    } else {
        QCOMPARE(w.CurrentDocumentPath, file(name));
    }
    // Every character is there, in lines a paragraph can lay out, broken after a word.
    const QStringList lines = text.split(u'\n');
    QCOMPARE(lines.last(), u"Last line"_s);
    QCOMPARE(QStringList(lines.mid(0, lines.size() - 1)).join(QString()),
             QString::fromLatin1(longLine));
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        QVERIFY(lines.at(i).size() <= 10000);
        if (i + 2 < lines.size())
            QVERIFY(lines.at(i).endsWith(u' '));
    }
    QVERIFY(lines.size() > 110);
    const QTextDocument& shown = *w.RTB->document();
    // An insert's first part joins the paragraph at the caret, "thank you.".
    QVERIFY(longestParagraph(shown) <= 10000 + (insert ? 10 : 0));
    if (rich) {
        // Each part keeps its format: the last part of the long paragraph is still bold.
        const QTextBlock lastPart = shown.lastBlock().previous();
        QCOMPARE(lastPart.begin().fragment().charFormat().fontWeight(), int(QFont::Bold));
        QCOMPARE(shown.lastBlock().begin().fragment().charFormat().fontWeight(),
                 int(QFont::Normal));
    }
}

void DocumentsTest::tooLargeFileNamesItsSize_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QString>("shown");
    QTest::newRow("nominal: a letter") << qint64(2000) << QString();
    QTest::newRow("edge: exactly 256 MB opens") << (qint64(256) << 20) << QString();
    QTest::newRow("edge: one byte more is refused") << (qint64(256) << 20) + 1 << u"256.0"_s;
    QTest::newRow("robustness: 3 GB is refused") << (qint64(3) << 30) << u"3072.0"_s;
}

void DocumentsTest::tooLargeFileNamesItsSize()
{
    QFETCH(qint64, size);
    QFETCH(QString, shown);
    // Sparse: the size without the disk space.
    QFile big(file(u"big.txt"_s));
    QVERIFY(big.open(QIODevice::WriteOnly));
    QVERIFY(big.resize(size));
    big.close();
    const QString text = documentFileTooLarge(big.fileName());
    if (shown.isEmpty()) {
        QVERIFY(text.isEmpty());
        return;
    }
    QCOMPARE(text, "The file " + QDir::toNativeSeparators(big.fileName()) + " is " + shown +
                       " MB. Letterwright opens text files of up to 256 MB.");
}

void DocumentsTest::openTooLargeFileRefused()
{
    MainWindow& w = window();
    writeFile(u"a.txt"_s, "kept");
    platform->dialogs.openAnswers.push_back(QStringList{file(u"a.txt"_s)});
    w.OpenDocument();
    QFile big(file(u"big.txt"_s));
    QVERIFY(big.open(QIODevice::WriteOnly));
    QVERIFY(big.resize(qint64(300) << 20));
    big.close();
    platform->dialogs.openAnswers.push_back(QStringList{big.fileName()});
    platform->messages.expect("The file " + QDir::toNativeSeparators(big.fileName()) +
                                  " is 300.0 MB. Letterwright opens text files of up to 256 MB.",
                              u"Open"_s, MsgButtons::Ok, MsgIcon::Exclamation);
    w.OpenDocument();
    QCOMPARE(w.RTB->Text(), u"kept"_s);
    QCOMPARE(w.CurrentDocumentPath, file(u"a.txt"_s));
    QVERIFY(!w.DocumentModified);
    QVERIFY(platform->progress.jobs.isEmpty());
}

QTEST_MAIN(DocumentsTest)
#include "test_documents.moc"
