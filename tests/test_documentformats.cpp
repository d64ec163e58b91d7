#include "DocumentDescription.h"
#include "FakeServices.h"
#include "PdfFile.h"
#include "SampleDocuments.h"
#include "TestLibrary.h"
#include "app/Letterwright.h"
#include "editor/LetterEditor.h"
#include "editor/PrintRichText.h"
#include "editor/RecentFiles.h"
#include "formats/FileKind.h"
#include "mainwindow/CommandDispatcher.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MenuBarControl.h"
#include "mainwindow/RecentFilesMenu.h"
#include "platform/ProgramFolders.h"
#include "platform/SafeFile.h"
#include "rtf/RtfReader.h"
#include "utilities/cDialog.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

using namespace lw;
using namespace Qt::StringLiterals;

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What a poppler tool prints for a file; empty when the tool is not installed.
QString popplerOutput(const QString& tool, const QStringList& arguments)
{
    if (QStandardPaths::findExecutable(tool).isEmpty())
        return {};
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class DocumentFormatsTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void saveAsByKind_data();
    void saveAsByKind();
    void saveKeepsTheKind_data();
    void saveKeepsTheKind();
    void openDamagedOpenDocument();
    void recentFiles();
    void recentFileNoLongerThere();
    void recentFilesKeepEight();
    void exportPdf();
    void exportPdfOfEmptyDocument();
    void exportPdfFailureSaysWhy();
    void previewShowsThePagesThatPrint();

private:
    MainWindow& window() { return *program->mainWindow(); }
    QString file(const QString& name) const { return files->filePath(name); }
    void expectMessage(const QString& text, MsgButtons buttons = MsgButtons::Ok,
                       MsgIcon icon = MsgIcon::None, MsgAnswer answer = MsgAnswer::Ok,
                       const QString& title = u"Notice"_s);
    void chooseMenuItem(const QString& key);

    std::unique_ptr<test::TestLibrary> library;
    std::unique_ptr<test::FakePlatform> platform;
    std::unique_ptr<Letterwright> program;
    std::unique_ptr<QTemporaryDir> files;
};

void DocumentFormatsTest::init()
{
    files = std::make_unique<QTemporaryDir>();
    QVERIFY(files->isValid());
    library = std::make_unique<test::TestLibrary>();
    platform = std::make_unique<test::FakePlatform>();
    library->create();
    program = std::make_unique<Letterwright>();
    QVERIFY(program->StartUp());
    setProgramDirectory(files->path());
}

void DocumentFormatsTest::cleanup()
{
    program.reset();
    platform.reset();
    library.reset();
    files.reset();
}

void DocumentFormatsTest::expectMessage(const QString& text, MsgButtons buttons, MsgIcon icon,
                                        MsgAnswer answer, const QString& title)
{
    platform->messages.expect(text, title, buttons, icon, answer);
}

// The File menu's item, chosen as a user chooses it.
void DocumentFormatsTest::chooseMenuItem(const QString& key)
{
    QAction* item = window().MenuBar->item(u"mnuFile"_s, key);
    QVERIFY2(item, qPrintable(key));
    QVERIFY(item->isEnabled());
    item->trigger();
}

void DocumentFormatsTest::saveAsByKind_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<int>("filter"); // 0-based, as the dialog gives it
    QTest::addColumn<QString>("written");
    QTest::addColumn<FileKind>("type");
    QTest::newRow("nominal: rich text filter")
        << u"letter"_s << 1 << u"letter.rtf"_s << FileKind::RichText;
    QTest::newRow("nominal: OpenDocument filter")
        << u"letter"_s << 2 << u"letter.odt"_s << FileKind::OpenDocument;
    QTest::newRow("nominal: .rtf typed with the text filter")
        << u"letter.rtf"_s << 0 << u"letter.rtf"_s << FileKind::RichText;
    QTest::newRow("nominal: text stays text")
        << u"letter"_s << 0 << u"letter.txt"_s << FileKind::PlainText;
}

// A formatted letter saved as RTF or OpenDocument opens again looking the same.
void DocumentFormatsTest::saveAsByKind()
{
    QFETCH(QString, chosen);
    QFETCH(int, filter);
    QFETCH(QString, written);
    QFETCH(FileKind, type);
    MainWindow& w = window();
    w.RTB->setText(QString());
    buildLetter(*w.RTB->document());
    const QStringList shown = describeDocument(*w.RTB->document());
    w.DocumentModified = true;
    platform->dialogs.saveFilterAnswers.push_back(filter);
    platform->dialogs.saveAnswers.push_back(file(chosen));
    expectMessage(u"File Saved!"_s, MsgButtons::Ok, MsgIcon::Information);
    chooseMenuItem(u"SaveAs"_s);
    QCOMPARE(platform->dialogs.saveRequests.first().nameFilters,
             nameFilters(u"Text Files (*.txt)|*.txt|Rich Text Format (*.rtf)|*.rtf|"
                         u"OpenDocument Text (*.odt)|*.odt|All Files (*.*)|*.*|"_s));
    QCOMPARE(w.CurrentDocumentPath, file(written));
    QVERIFY(!w.DocumentModified);
    const QByteArray bytes = bytesOf(file(written));
    QCOMPARE(isRtf(bytes), type == FileKind::RichText);
    QCOMPARE(bytes.startsWith("PK"), type == FileKind::OpenDocument);
    if (type == FileKind::PlainText)
        return;

    // Opened again in a fresh editor, the letter looks as it did.
    w.RTB->setText(u"something else"_s);
    w.DocumentModified = false;
    platform->dialogs.openAnswers.push_back(QStringList{file(written)});
    chooseMenuItem(u"Open"_s);
    QCOMPARE(platform->dialogs.openRequests.first().nameFilters,
             platform->dialogs.saveRequests.first().nameFilters);
    QCOMPARE(describeDocument(*w.RTB->document()), shown);
    QVERIFY(!w.DocumentModified);
}

void DocumentFormatsTest::saveKeepsTheKind_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("nominal: RTF stays RTF") << u"kept.rtf"_s;
    QTest::newRow("nominal: OpenDocument stays OpenDocument") << u"kept.odt"_s;
}

// Save writes a document back in the kind it was opened as.
void DocumentFormatsTest::saveKeepsTheKind()
{
    QFETCH(QString, name);
    MainWindow& w = window();
    w.RTB->setText(QString());
    buildLetter(*w.RTB->document());
    QString error;
    const QStringList built = describeDocument(*w.RTB->document());
    QVERIFY2(w.RTB->SaveFile(file(name), fileKindOf(name), &error), qPrintable(error));
    w.DocumentModified = false;
    platform->dialogs.openAnswers.push_back(QStringList{file(name)});
    w.OpenDocument();
    QCOMPARE(describeDocument(*w.RTB->document()), built);
    w.RTB->setSelStart(0);
    w.RTB->setSelLength(5);
    w.RTB->setSelColor(0x00FF00);
    const QStringList edited = describeDocument(*w.RTB->document());
    QVERIFY(w.DocumentModified);
    expectMessage("You will overwrite current file at '" + file(name) +
                      "' and it is unreversible, proceed?",
                  MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes);
    expectMessage(u"File Saved!"_s);
    w.SaveDocument();
    QVERIFY(!w.DocumentModified);

    w.RTB->setText(u"other"_s);
    w.DocumentModified = false;
    platform->dialogs.openAnswers.push_back(QStringList{file(name)});
    w.OpenDocument();
    QCOMPARE(describeDocument(*w.RTB->document()), edited);
}

void DocumentFormatsTest::openDamagedOpenDocument()
{
    MainWindow& w = window();
    QFile damaged(file(u"damaged.odt"_s));
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write("PK\x03\x04 not really an archive");
    damaged.close();
    w.RTB->setText(u"kept"_s);
    w.DocumentModified = false;
    platform->dialogs.openAnswers.push_back(QStringList{damaged.fileName()});
    expectMessage("Cannot read " + QDir::toNativeSeparators(damaged.fileName()) +
                      ": it is not an OpenDocument file.",
                  MsgButtons::Ok, MsgIcon::Exclamation, MsgAnswer::Ok, u"Open"_s);
    w.OpenDocument();
    QCOMPARE(w.RTB->Text(), u"kept"_s);
    QVERIFY(!RecentFiles::files().contains(damaged.fileName()));
}

// Opened and saved files come first in the File menu, newest first, and outlast the run.
void DocumentFormatsTest::recentFiles()
{
    MainWindow& w = window();
    QVERIFY(RecentFiles::settingsPath().startsWith(platform->configHome()));
    QVERIFY(w.recentFilesMenu()->entries().isEmpty());
    QFile opened(file(u"opened.txt"_s));
    QVERIFY(opened.open(QIODevice::WriteOnly));
    opened.write("Dear Sir,");
    opened.close();
    platform->dialogs.openAnswers.push_back(QStringList{opened.fileName()});
    w.OpenDocument();
    w.RTB->setText(u"Dear Madam,"_s);
    platform->dialogs.saveFilterAnswers.push_back(1);
    platform->dialogs.saveAnswers.push_back(file(u"saved"_s));
    expectMessage(u"File Saved!"_s, MsgButtons::Ok, MsgIcon::Information);
    w.SaveDocumentAs();
    QCOMPARE(RecentFiles::files(), (QStringList{file(u"saved.rtf"_s), opened.fileName()}));
    QVERIFY(QFile::exists(RecentFiles::settingsPath()));

    // The menu shows them when it opens.
    QMenu* fileMenu = w.MenuBar->menu(u"mnuFile"_s);
    QMetaObject::invokeMethod(fileMenu, "aboutToShow");
    const QList<QAction*> entries = w.recentFilesMenu()->entries();
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries[0]->text(), u"&1 saved.rtf"_s);
    QCOMPARE(entries[1]->text(), u"&2 opened.txt"_s);
    QCOMPARE(fileMenu->actions().last(), entries[1]);

    // Choosing one opens it, asking first about the modified document.
    w.RTB->setText(u"changed"_s);
    w.DocumentModified = true;
    expectMessage(u"The current file has been modified.  Save changes?"_s, MsgButtons::YesNoCancel,
                  MsgIcon::None, MsgAnswer::No);
    entries[1]->trigger();
    QCOMPARE(w.RTB->Text(), u"Dear Sir,"_s);
    QCOMPARE(w.CurrentDocumentPath, opened.fileName());
    QVERIFY(!w.DocumentModified);
    QCOMPARE(RecentFiles::files().first(), opened.fileName());
}

void DocumentFormatsTest::recentFileNoLongerThere()
{
    MainWindow& w = window();
    RecentFiles::add(file(u"gone.txt"_s));
    RecentFiles::add(file(u"here.txt"_s));
    QMetaObject::invokeMethod(w.MenuBar->menu(u"mnuFile"_s), "aboutToShow");
    QCOMPARE(w.recentFilesMenu()->entries().size(), 2);
    w.RTB->setText(u"kept"_s);
    expectMessage(QDir::toNativeSeparators(file(u"gone.txt"_s)) +
                      " is no longer there. It has been taken off the list of recent files.",
                  MsgButtons::Ok, MsgIcon::Exclamation, MsgAnswer::Ok, u"Open"_s);
    w.recentFilesMenu()->entries()[1]->trigger();
    QCOMPARE(w.RTB->Text(), u"kept"_s);
    QCOMPARE(RecentFiles::files(), QStringList{file(u"here.txt"_s)});
}

void DocumentFormatsTest::recentFilesKeepEight()
{
    for (int i = 1; i <= 10; ++i)
        RecentFiles::add(file(u"f%1.txt"_s.arg(i)));
    RecentFiles::add(file(u"f5.txt"_s));
    const QStringList list = RecentFiles::files();
    QCOMPARE(list.size(), RecentFiles::maximum);
    QCOMPARE(list.first(), file(u"f5.txt"_s));
    QCOMPARE(list.count(file(u"f5.txt"_s)), 1);
    QCOMPARE(list.last(), file(u"f3.txt"_s));
    QVERIFY(!list.contains(file(u"f2.txt"_s)));

    // A settings file edited by hand: relative names and repeats are passed over.
    QSettings settings(RecentFiles::settingsPath(), QSettings::IniFormat);
    settings.setValue(u"Documents/recent"_s,
                      QStringList{u"relative.txt"_s, file(u"a.txt"_s), file(u"a.txt"_s), {}});
    settings.sync();
    QCOMPARE(RecentFiles::files(), QStringList{file(u"a.txt"_s)});
}

// The PDF holds the letter's words as text, its fonts embedded, its title, and the pages that
// print.
void DocumentFormatsTest::exportPdf()
{
    MainWindow& w = window();
    w.RTB->setText(QString());
    buildLetter(*w.RTB->document());
    const QString path = file(u"letter.pdf"_s);
    platform->dialogs.saveAnswers.push_back(file(u"letter"_s));
    chooseMenuItem(u"ExportPdf"_s);
    const FileDialogRequest& request = platform->dialogs.saveRequests.first();
    QCOMPARE(request.title, u"Export as PDF"_s);
    QCOMPARE(request.nameFilters, nameFilters(u"PDF Files (*.pdf)|*.pdf|"_s));
    // The shared dialog is left for Open and Save As as it was.
    QCOMPARE(w.MainDialog.DialogTitle(), QString());

    const test::PdfFile pdf(path);
    QCOMPARE(pdf.pageCount(), 1);
    // Ligatures such as "fi" come out as one character: compared as a search compares.
    const QString text =
        popplerOutput(u"pdftotext"_s, {path, u"-"_s}).normalized(QString::NormalizationForm_KC);
    if (text.isEmpty())
        QSKIP("pdftotext is not installed");
    for (const QString& word :
         {u"Order confirmation"_s, u"Müller"_s, u"apples"_s, u"second"_s, u"Yours sincerely"_s})
        QVERIFY2(text.contains(word), qPrintable(word + u"\n"_s + text));
    const QString fonts = popplerOutput(u"pdffonts"_s, {path});
    const QStringList rows = fonts.split(u'\n', Qt::SkipEmptyParts).mid(2);
    QVERIFY(!rows.isEmpty());
    for (const QString& row : rows) {
        // name type encoding emb sub uni object ID
        const QStringList columns = row.split(u' ', Qt::SkipEmptyParts);
        QVERIFY2(columns.size() >= 5 && columns[columns.size() - 5] == u"yes", qPrintable(fonts));
    }
    const QString info = popplerOutput(u"pdfinfo"_s, {path});
    QVERIFY2(info.contains(QRegularExpression(u"Title: +letter\n"_s)), qPrintable(info));
}

void DocumentFormatsTest::exportPdfOfEmptyDocument()
{
    MainWindow& w = window();
    w.RTB->setText(QString());
    QString error;
    const QString path = file(u"empty.pdf"_s);
    QVERIFY2(ExportPdf(*w.RTB, platform->printers.currentPrinter().pageLayout(), path, u"Empty"_s,
                       720, 720, 720, 720, &error),
             qPrintable(error));
    QCOMPARE(test::PdfFile(path).pageCount(), 1);
}

// A PDF that cannot be written says why, and nothing is left behind.
void DocumentFormatsTest::exportPdfFailureSaysWhy()
{
    MainWindow& w = window();
    w.RTB->setText(u"Dear Sir,"_s);
    const QString path = file(u"missing/letter.pdf"_s);
    QString reason;
    QVERIFY(!writeFileSafely(path, "probe", &reason));
    platform->dialogs.saveAnswers.push_back(path);
    expectMessage(reason + u"\n\nThe PDF has not been made."_s, MsgButtons::Ok,
                  MsgIcon::Exclamation, MsgAnswer::Ok, u"Export as PDF"_s);
    chooseMenuItem(u"ExportPdf"_s);
    QVERIFY(reason.startsWith("Cannot write " + QDir::toNativeSeparators(path)));
    QVERIFY(!QFileInfo::exists(path));
}

// The preview draws the pages that printing draws, and printing from it prints them.
void DocumentFormatsTest::previewShowsThePagesThatPrint()
{
    MainWindow& w = window();
    QString text;
    for (int i = 0; i < 150; ++i)
        text += u"Line %1 of a letter long enough for several pages.\n"_s.arg(i);
    w.RTB->setText(text);
    chooseMenuItem(u"Print"_s);
    const int printed = test::PdfFile(platform->printers.outputPath()).pageCount();
    QVERIFY(printed >= 3);
    QFile::remove(platform->printers.outputPath());

    platform->dialogs.previewAnswers.push_back(false);
    chooseMenuItem(u"PrintPreview"_s);
    QCOMPARE(platform->dialogs.previewCalls, 1);
    QCOMPARE(test::PdfFile(platform->dialogs.previewPath()).pageCount(), printed);
    QVERIFY(!QFile::exists(platform->printers.outputPath()));

    platform->dialogs.previewAnswers.push_back(true);
    chooseMenuItem(u"PrintPreview"_s);
    QCOMPARE(test::PdfFile(platform->printers.outputPath()).pageCount(), printed);
}

QTEST_MAIN(DocumentFormatsTest)
#include "test_documentformats.moc"
