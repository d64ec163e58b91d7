#include "FakeServices.h"
#include "TestLibrary.h"
#include "app/Letterwright.h"
#include "editor/DocumentFiles.h"
#include "editor/RichTextBox.h"
#include "library/modMain.h"
#include "mainwindow/frmMail.h"
#include "platform/ProgramFolders.h"
#include "utilities/cDialog.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace lw;
using namespace Qt::StringLiterals;

namespace {

const QString notice = u"Notice"_s;
const QString openQuestion = u"The current file has been modified.  Save changes?"_s;
const QString documentFilter =
    u"Text Files (*.txt)|*.txt|Rich Text Format (*.rtf)|*.rtf|OpenDocument Text (*.odt)|*.odt|"
    u"All Files (*.*)|*.*|"_s;

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
    void openUnreadableFileChangesOnlyPath();
    void readDocumentFileReadsWholeFile_data();
    void readDocumentFileReadsWholeFile();
    void saveAsAppendsTxt_data();
    void saveAsAppendsTxt();
    void saveAsCancelledMarksModified();
    void saveAsWriteFails();
    void encodingRoundTrip_data();
    void encodingRoundTrip();
    void formattingIsNotWritten();
    void saveAfterSaveAs();
    void letterDisplayKeepsDocumentPath();

private:
    frmMail& window() { return *program->mainWindow(); }
    QString file(const QString& name) const { return files->filePath(name); }
    void writeFile(const QString& name, const QByteArray& bytes);
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

void DocumentsTest::expectMessage(const QString& text, MsgButtons buttons, MsgIcon icon,
                                  MsgAnswer answer)
{
    platform->messages.expect(text, notice, buttons, icon, answer);
}

void DocumentsTest::openAsksNothingWhenUnmodified()
{
    frmMail& w = window();
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
    frmMail& w = window();
    writeFile(u"b.txt"_s, "From the file");
    w.RTB->setText(u"my changes"_s);
    QVERIFY(w.DocumentModified);
    expectMessage(openQuestion, MsgButtons::YesNo, MsgIcon::None, MsgAnswer::No);
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
    frmMail& w = window();
    writeFile(u"current.txt"_s, "old");
    writeFile(u"next.txt"_s, "next");
    platform->dialogs.openAnswers.push_back(QStringList{file(u"current.txt"_s)});
    w.OpenDocument();
    w.RTB->setText(u"new"_s);

    expectMessage(openQuestion, MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes);
    expectMessage("You will overwrite current file at '" + file(u"current.txt"_s) +
                      "' and it is unreversible, proceed?",
                  MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes);
    expectMessage(u"File Saved!"_s);
    platform->dialogs.openAnswers.push_back(QStringList{file(u"next.txt"_s)});
    w.OpenDocument();

    QCOMPARE(bytesOf(file(u"current.txt"_s)), QByteArray("new\r\n"));
    QCOMPARE(w.RTB->Text(), u"next"_s);
    QCOMPARE(w.CurrentDocumentPath, file(u"next.txt"_s));
    QVERIFY(!w.DocumentModified);
}

void DocumentsTest::openAfterDeclinedSaveAndCancelledSaveAs_data()
{
    QTest::addColumn<bool>("hasCurrentFile");
    QTest::addColumn<bool>("chooseFile");
    QTest::newRow("nominal: overwrite declined, then a file chosen") << true << true;
    QTest::newRow("nominal: overwrite declined, then Open cancelled") << true << false;
    QTest::newRow("edge: no current file, Save As straight away") << false << true;
}

void DocumentsTest::openAfterDeclinedSaveAndCancelledSaveAs()
{
    QFETCH(bool, hasCurrentFile);
    QFETCH(bool, chooseFile);
    frmMail& w = window();
    writeFile(u"current.txt"_s, "old");
    writeFile(u"next.txt"_s, "next");
    if (hasCurrentFile) {
        platform->dialogs.openAnswers.push_back(QStringList{file(u"current.txt"_s)});
        w.OpenDocument();
    }
    w.RTB->setText(u"unsaved"_s);

    expectMessage(openQuestion, MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes);
    if (hasCurrentFile)
        expectMessage("You will overwrite current file at '" + file(u"current.txt"_s) +
                          "' and it is unreversible, proceed?",
                      MsgButtons::YesNo, MsgIcon::None, MsgAnswer::No);
    platform->dialogs.saveAnswers.push_back(std::nullopt);
    expectMessage(u"File not Saved!"_s);
    platform->dialogs.openAnswers.push_back(
        chooseFile ? std::optional(QStringList{file("next.txt")}) : std::nullopt);
    w.OpenDocument();

    QCOMPARE(platform->dialogs.saveRequests.size(), 1);
    QCOMPARE(platform->dialogs.openRequests.size(), hasCurrentFile ? 2 : 1);
    QCOMPARE(bytesOf(file(u"current.txt"_s)), QByteArray("old"));
    QCOMPARE(w.RTB->Text(), chooseFile ? u"next"_s : u"unsaved"_s);
    QCOMPARE(w.DocumentModified, !chooseFile);
    QCOMPARE(w.CurrentDocumentPath, chooseFile ? file(u"next.txt"_s) : file(u"current.txt"_s));
}

void DocumentsTest::openUnreadableFileChangesOnlyPath()
{
    frmMail& w = window();
    const QString shown = w.RTB->Text();
    platform->dialogs.openAnswers.push_back(QStringList{file(u"gone.txt"_s)});
    w.OpenDocument();
    QCOMPARE(w.CurrentDocumentPath, file(u"gone.txt"_s));
    QCOMPARE(w.RTB->Text(), shown);
    QVERIFY(!w.DocumentModified);
    QVERIFY(platform->messages.shown.isEmpty());
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
    const std::optional<QString> read = readDocumentFile(file(u"letter.rtf"_s));
    QVERIFY(read);
    QCOMPARE(*read, text);
    QVERIFY(!readDocumentFile(file(u"missing.txt"_s)));
}

void DocumentsTest::saveAsAppendsTxt_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow("nominal: plain name") << "letter"
                                         << "letter.txt";
    QTest::newRow("nominal: a name ending in .txt is kept") << "letter.txt"
                                                            << "letter.txt";
    QTest::newRow("edge: existing file replaced without a question") << "old"
                                                                     << "old.txt";
}

void DocumentsTest::saveAsAppendsTxt()
{
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    frmMail& w = window();
    writeFile(u"old.txt"_s, "previous content that is longer");
    w.RTB->setText(u"Dear Sir,\nThank you."_s);
    platform->dialogs.saveAnswers.push_back(file(chosen));
    expectMessage(u"File Saved!"_s, MsgButtons::Ok, MsgIcon::Information);
    w.SaveDocumentAs();

    QCOMPARE(platform->dialogs.saveRequests.size(), 1);
    const FileDialogRequest& request = platform->dialogs.saveRequests.first();
    QCOMPARE(request.title, u"Save As"_s);
    QCOMPARE(request.nameFilters, nameFilters(documentFilter));
    QCOMPARE(request.filterIndex, 0);
    QCOMPARE(bytesOf(file(written)), QByteArray("Dear Sir,\r\nThank you."));
    QVERIFY(!QFile::exists(file(chosen)) || chosen == written);
    QCOMPARE(w.CurrentDocumentPath, file(written));
    QVERIFY(!w.DocumentModified);
}

void DocumentsTest::saveAsCancelledMarksModified()
{
    frmMail& w = window();
    QVERIFY(!w.DocumentModified);
    platform->dialogs.saveAnswers.push_back(std::nullopt);
    expectMessage(u"File not Saved!"_s);
    w.SaveDocumentAs();
    QVERIFY(w.DocumentModified);
    QVERIFY(w.CurrentDocumentPath.isEmpty());
    // The shutdown question follows at exit.
    platform->messages.expect(u"Current file has been modified.  Save changes?"_s, notice,
                              MsgButtons::YesNo, MsgIcon::None, MsgAnswer::No);
    QVERIFY(w.close());
}

void DocumentsTest::saveAsWriteFails()
{
    frmMail& w = window();
    w.RTB->setText(u"text"_s);
    const QString chosen = file(u"no such folder/letter"_s);
    platform->dialogs.saveAnswers.push_back(chosen);
    expectMessage(u"File not Saved!"_s);
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
    QTest::newRow("lossless: Latin UTF-8 written as Windows-1252")
        << QByteArray("Gr\xC3\xBC\xC3\x9F\r\n") << u"Grüß\n"_s << QByteArray("Gr\xFC\xDF\r\n");
    QTest::newRow("lossless: byte-order mark dropped")
        << QByteArray("\xEF\xBB\xBFH\xC3\xA9llo") << u"Héllo"_s << QByteArray("H\xE9llo");
    QTest::newRow("lossless: lone line feeds written as CR LF")
        << QByteArray("one\ntwo") << u"one\ntwo"_s << QByteArray("one\r\ntwo");
}

void DocumentsTest::encodingRoundTrip()
{
    QFETCH(QByteArray, fileBytes);
    QFETCH(QString, text);
    QFETCH(QByteArray, savedBytes);
    frmMail& w = window();
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

void DocumentsTest::formattingIsNotWritten()
{
    frmMail& w = window();
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
    frmMail& w = window();
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
    frmMail& w = window();
    writeFile(u"a.txt"_s, "opened");
    platform->dialogs.openAnswers.push_back(QStringList{file(u"a.txt"_s)});
    w.OpenDocument();
    w.lstBx[0]->setCurrentRow(1);
    QCOMPARE(w.RTB->Text(), u"Dear Sir,\nThe goods came late."_s);
    QCOMPARE(w.CurrentDocumentPath, file(u"a.txt"_s));
    QVERIFY(!w.DocumentModified);
}

QTEST_MAIN(DocumentsTest)
#include "test_documents.moc"
