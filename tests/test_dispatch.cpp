#include "FakeServices.h"
#include "PdfFile.h"
#include "SpecialFiles.h"
#include "TestLibrary.h"
#include "app/Letterwright.h"
#include "editor/EditorTools.h"
#include "editor/FindDialog.h"
#include "editor/LetterEditor.h"
#include "library/DataFile.h"
#include "library/modMain.h"
#include "mainwindow/CommandDispatcher.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MenuBarControl.h"
#include "mainwindow/PopupMenuControl.h"
#include "platform/ProgramFolders.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

using namespace lw;

namespace {

const QString band = QStringLiteral("Band6");
const QString popup = QStringLiteral("mnuDropMenu1");

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class DispatchTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void editCommands_data();
    void editCommands();
    void styleToolsOnPartlyBoldSelection();
    void listsAndIndents();
    void alignmentTools_data();
    void alignmentTools();
    void colourTool_data();
    void colourTool();
    void findNext_data();
    void findNext();
    void insertTextFile_data();
    void insertTextFile();
    void longPasteGoesInBehindProgress_data();
    void longPasteGoesInBehindProgress();
    void longFormattedPasteKeepsItsFormats();
    void insertRichTextFileKeepsItsPictures();
    void insertFailuresLeaveEditorAndClipboard_data();
    void insertFailuresLeaveEditorAndClipboard();
    void insertPicture();
    void insertLongTextFileWithProgress_data();
    void insertLongTextFileWithProgress();
    void insertTooLargeFileRefused_data();
    void insertTooLargeFileRefused();
    void fontDialogAppliesChoiceAsOneStep();
    void fontDialogWithoutColourKeepsTheTextsColour();
    void fileCommands();
    void printMakesPages();
    void helpAndSupport();
    void helpAndSupportWithoutAProgramSaySo();
    void rightClickOpensPopupBeforeEditingSwitch();
    void everyChangeSetsModified();

private:
    MainWindow& w() { return *program->mainWindow(); }
    LetterEditor& editor() { return *w().RTB; }
    void select(int start, int length);
    // After text of `size` characters went in for the selection after "Start ": the caret after
    // it, the document modified, its first letters bold or not, and one undo back to "Start End".
    void checkInsertedAfterStart(qsizetype size, bool bold);
    void menu(const char* menuKey, const char* itemKey);
    void tool(const char* toolKey);

    std::unique_ptr<test::TestLibrary> library;
    std::unique_ptr<test::FakePlatform> platform;
    std::unique_ptr<Letterwright> program;
    QTemporaryDir files;
};

void DispatchTest::init()
{
    library = std::make_unique<test::TestLibrary>();
    platform = std::make_unique<test::FakePlatform>();
    library->create();
    program = std::make_unique<Letterwright>();
    QVERIFY(program->StartUp());
    QApplication::clipboard()->clear();
}

void DispatchTest::cleanup()
{
    w().shutDownDone = true;
    program.reset();
    platform.reset();
    library.reset();
}

void DispatchTest::select(int start, int length)
{
    editor().setSelStart(start);
    editor().setSelLength(length);
}

void DispatchTest::checkInsertedAfterStart(qsizetype size, bool bold)
{
    QCOMPARE(editor().SelStart(), 6 + int(size));
    QCOMPARE(editor().SelLength(), 0);
    QVERIFY(w().DocumentModified);
    select(6, 4);
    QCOMPARE(editor().SelBold(), std::optional<bool>(bold));
    menu("mnuEdit", "Undo");
    QCOMPARE(editor().Text(), QStringLiteral("Start End"));
}

void DispatchTest::menu(const char* menuKey, const char* itemKey)
{
    w().MenuBar_ItemClick(QLatin1String(menuKey), QLatin1String(itemKey));
}

void DispatchTest::tool(const char* toolKey)
{
    w().MenuBar_ToolClick(band, QLatin1String(toolKey));
}

void DispatchTest::editCommands_data()
{
    QTest::addColumn<QString>("surface");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("clipboard");

    const QString before = QStringLiteral("Dear Sir and Madam");
    QTest::newRow("menu Cut") << "mnuEdit"
                              << "Cut" << 0 << 5 << "Sir and Madam"
                              << ""
                              << "Dear ";
    QTest::newRow("popup Cut") << "mnuDropMenu1"
                               << "Cut" << 0 << 5 << "Sir and Madam"
                               << ""
                               << "Dear ";
    QTest::newRow("tool CUT") << "Band6"
                              << "CUT" << 0 << 5 << "Sir and Madam"
                              << ""
                              << "Dear ";
    QTest::newRow("menu Copy") << "mnuEdit"
                               << "Copy" << 5 << 3 << before << "Sir"
                               << "Sir";
    QTest::newRow("tool COPY") << "Band6"
                               << "COPY" << 5 << 3 << before << "Sir"
                               << "Sir";
    QTest::newRow("menu Paste") << "mnuEdit"
                                << "Paste" << 5 << 3 << "Dear pasted and Madam"
                                << ""
                                << "pasted";
    QTest::newRow("popup Paste") << "mnuDropMenu1"
                                 << "Paste" << 0 << 0 << "pastedDear Sir and Madam"
                                 << ""
                                 << "pasted";
    QTest::newRow("menu Delete keeps the clipboard") << "mnuEdit"
                                                     << "Delete" << 4 << 4 << "Dear and Madam"
                                                     << ""
                                                     << "pasted";
    QTest::newRow("popup Delete") << "mnuDropMenu1"
                                  << "Delete" << 4 << 4 << "Dear and Madam"
                                  << ""
                                  << "pasted";
    QTest::newRow("menu Delete, nothing selected: the character after the caret")
        << "mnuEdit"
        << "Delete" << 5 << 0 << "Dear ir and Madam"
        << ""
        << "pasted";
    QTest::newRow("popup Delete, nothing selected") << "mnuDropMenu1"
                                                    << "Delete" << 4 << 0 << "DearSir and Madam"
                                                    << ""
                                                    << "pasted";
    QTest::newRow("menu Select All") << "mnuEdit"
                                     << "SelectAll" << 3 << 0 << before << before << "pasted";
    QTest::newRow("popup Select All") << "mnuDropMenu1"
                                      << "SelectAll" << 3 << 0 << before << before << "pasted";
    QTest::newRow("To Upper Case, nothing selected after")
        << "mnuFormat"
        << "To_Upper_Case" << 0 << 8 << "DEAR SIR and Madam"
        << ""
        << "pasted";
    QTest::newRow("To Lower Case") << "mnuFormat"
                                   << "To_Lower_Case" << 13 << 5 << "Dear Sir and madam"
                                   << ""
                                   << "pasted";
    QTest::newRow("robustness: a key no table names") << "mnuEdit"
                                                      << "Translate" << 0 << 4 << before << "Dear"
                                                      << "pasted";
    QTest::newRow("robustness: a menu key no table names") << "mnuView"
                                                           << "Cut" << 0 << 4 << before << "Dear"
                                                           << "pasted";
    QTest::newRow("robustness: TRANSLATE has no command")
        << "Band6"
        << "TRANSLATE" << 0 << 4 << before << "Dear"
        << "pasted";
    QTest::newRow("robustness: a plain click on FONT_COLOR")
        << "Band6"
        << "FONT_COLOR" << 0 << 4 << before << "Dear"
        << "pasted";
    QTest::newRow("robustness: the popup has no FindNext")
        << "mnuDropMenu1"
        << "FindNext" << 0 << 4 << before << "Dear"
        << "pasted";
}

void DispatchTest::editCommands()
{
    QFETCH(QString, surface);
    QFETCH(QString, key);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, text);
    QFETCH(QString, selected);
    QFETCH(QString, clipboard);
    editor().setText(QStringLiteral("Dear Sir and Madam"));
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    select(start, length);
    if (surface == band)
        w().MenuBar_ToolClick(surface, key);
    else if (surface == popup)
        w().mnuPopup_ItemClick(surface, key);
    else
        w().MenuBar_ItemClick(surface, key);
    QCOMPARE(editor().Text(), text);
    QCOMPARE(editor().SelText(), selected);
    QCOMPARE(QApplication::clipboard()->text(), clipboard);

    // Undo takes the command back, from the menu and from the popup alike.
    if (text != QStringLiteral("Dear Sir and Madam")) {
        menu("mnuEdit", "Undo");
        QCOMPARE(editor().Text(), QStringLiteral("Dear Sir and Madam"));
    }
}

void DispatchTest::styleToolsOnPartlyBoldSelection()
{
    editor().setText(QStringLiteral("Dear Sir"));
    select(0, 4);
    editor().setSelBold(true);
    select(0, 8);
    tool("BOLD");
    QCOMPARE(editor().SelBold(), std::optional<bool>(true));
    tool("BOLD");
    QCOMPARE(editor().SelBold(), std::optional<bool>(false));
    tool("ITALIC");
    tool("UNDERLINE");
    QCOMPARE(editor().SelItalic(), std::optional<bool>(true));
    QCOMPARE(editor().SelUnderline(), std::optional<bool>(true));
}

void DispatchTest::listsAndIndents()
{
    editor().setText(QStringLiteral("one\ntwo\nthree"));
    select(0, 7);
    tool("BULLETS");
    QCOMPARE(editor().SelBullet(), std::optional<bool>(true));
    editor().setSelHangingIndent(300);
    menu("mnuFormat", "Bullet");
    QCOMPARE(editor().SelBullet(), std::optional<bool>(false));
    QCOMPARE(editor().SelHangingIndent(), std::optional<double>(0));

    tool("NUMBERING");
    QCOMPARE(editor().SelNumbering(), std::optional<bool>(true));
    tool("NUMBERING");
    QCOMPARE(editor().SelNumbering(), std::optional<bool>(false));

    tool("INCREASEINDENT");
    menu("mnuFormat", "Increase_Indent");
    tool("DECREASEINDENT");
    QVERIFY(qAbs(editor().SelIndent().value_or(0) - 737) < 15);
    menu("mnuFormat", "Decrease_Indent");
    QCOMPARE(editor().SelIndent(), std::optional<double>(0));
    QCOMPARE(editor().scaleUnit(), LetterEditor::ScaleUnit::Twips);
}

void DispatchTest::alignmentTools_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("alignment");
    QTest::newRow("centre") << "CJUSTIFY" << 2;
    QTest::newRow("right") << "RJUSTIFY" << 1;
    QTest::newRow("left after centre") << "LJUSTIFY" << 0;
}

void DispatchTest::alignmentTools()
{
    QFETCH(QString, key);
    QFETCH(int, alignment);
    editor().setText(QStringLiteral("Heading\nBody"));
    select(0, 3);
    editor().setSelAlignment(LetterEditor::AlignCenter);
    w().MenuBar_ToolClick(band, key);
    QCOMPARE(editor().SelAlignment(), std::optional<int>(alignment));
    select(9, 0);
    QCOMPARE(editor().SelAlignment(), std::optional<int>(0));
}

void DispatchTest::colourTool_data()
{
    QTest::addColumn<int>("length");
    QTest::newRow("on the selection") << 4;
    QTest::newRow("at the caret, for the text typed next") << 0;
}

void DispatchTest::colourTool()
{
    QFETCH(int, length);
    editor().setText(QStringLiteral("Dear Sir"));
    select(0, length);
    w().MenuBar_ToolColor(band, QStringLiteral("FONT_COLOR"), 0x00FF00);
    if (length == 0) {
        editor().setSelText(QStringLiteral("Hi "));
        select(0, 3);
    }
    QCOMPARE(editor().SelColor(), std::optional<quint32>(0x00FF00));
    select(5, 3);
    QCOMPARE(editor().SelColor(), std::optional<quint32>(0));
}

void DispatchTest::findNext_data()
{
    QTest::addColumn<int>("padding");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("found");
    QTest::newRow("nominal: found after the selection") << 10 << 0 << 10;
    QTest::newRow("nominal: nothing after the caret") << 10 << 11 << -1;
    QTest::newRow("robustness: from beyond position 32767") << 40000 << 32800 << 40000;
}

void DispatchTest::findNext()
{
    QFETCH(int, padding);
    QFETCH(int, caret);
    QFETCH(int, found);
    w().show();
    editor().setText(QString(padding, u'x') + QStringLiteral("target"));
    select(caret, 0);
    w().dispatcher().tools().showFind(true);
    FindDialog* find = w().dispatcher().tools().findDialog();
    QVERIFY(find);
    find->cboFind->setEditText(QStringLiteral("target"));
    w().MenuBar->setItemEnabled(QStringLiteral("mnuEdit"), QStringLiteral("FindNext"), true);
    if (found < 0)
        platform->messages.expect(QStringLiteral("Text not found!"), QStringLiteral("FindNext"),
                                  MsgButtons::Ok, MsgIcon::None);
    menu("mnuEdit", "FindNext");
    if (found < 0) {
        QVERIFY(!w().MenuBar->isItemEnabled(QStringLiteral("mnuEdit"), QStringLiteral("FindNext")));
        QCOMPARE(editor().SelStart(), caret);
    } else {
        QCOMPARE(editor().SelStart(), found);
        QCOMPARE(editor().SelText(), QStringLiteral("target"));
    }
}

void DispatchTest::longPasteGoesInBehindProgress_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cancelAt");
    QTest::addColumn<std::optional<MsgAnswer>>("asked");
    const QString lines = QStringLiteral("A line of the long paste.\n").repeated(50000);
    const QString oneLine = QStringLiteral("Thank you for your order. ").repeated(42308);
    // Over a million characters: a paste Qt would lay out for seconds with no answer.
    QTest::newRow("nominal: long paste") << lines << -1 << std::optional<MsgAnswer>();
    QTest::newRow("cancelled at the first piece") << lines << 1 << std::optional<MsgAnswer>();
    QTest::newRow("edge: a short paste needs no window")
        << QStringLiteral("A line.\nAnother.\n") << -1 << std::optional<MsgAnswer>();
    // One line of as many: Qt would lay it out in one piece, for most of a minute.
    QTest::newRow("a line too long, broken on Yes")
        << oneLine << -1 << std::optional<MsgAnswer>(MsgAnswer::Yes);
    QTest::newRow("a line too long, No pastes nothing")
        << oneLine << -1 << std::optional<MsgAnswer>(MsgAnswer::No);
}

void DispatchTest::longFormattedPasteKeepsItsFormats()
{
    // A long selection copied from an editor carries its formats as HTML beside its text: it
    // must not go in as the plain text.
    editor().setText(QStringLiteral("Start End"));
    select(6, 3);
    const QString words = QStringLiteral("Thank you for your order. ").repeated(42000);
    QTextDocument copied;
    QTextCursor writer(&copied);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    writer.insertText(words, bold);
    auto* data = new QMimeData;
    data->setHtml(copied.toHtml());
    data->setText(words);
    QGuiApplication::clipboard()->setMimeData(data);
    QTest::keyClick(editor().widget(), Qt::Key_V, Qt::ControlModifier);
    QVERIFY(editor().Text() == QStringLiteral("Start ") + words);
    select(int(editor().TextLength()) - 5, 5);
    QCOMPARE(editor().SelBold(), std::optional<bool>(true));
}

void DispatchTest::longPasteGoesInBehindProgress()
{
    QFETCH(QString, text);
    QFETCH(int, cancelAt);
    QFETCH(std::optional<MsgAnswer>, asked);
    editor().setText(QStringLiteral("Start End"));
    select(0, 5);
    editor().setSelBold(true);
    select(6, 3);
    w().DocumentModified = false;
    const bool undoBefore = editor().document()->isUndoAvailable();
    QGuiApplication::clipboard()->setText(text);
    platform->progress.cancelAt = cancelAt;
    if (asked)
        platform->messages.expect(
            QStringLiteral("The text pasted has a line of %1 characters. Lines that long take "
                           "minutes to show.\n\nBreak its long lines into lines of at most %2 "
                           "characters? No pastes nothing.")
                .arg(QLocale().toString(text.size()), QLocale().toString(10000)),
            QStringLiteral("Paste"), MsgButtons::YesNo, MsgIcon::Exclamation, *asked);
    QTest::keyClick(editor().widget(), Qt::Key_V, Qt::ControlModifier);
    platform->messages.verifyDone();

    if (text.size() <= LetterEditor::textInsertedInPieces) {
        QVERIFY(platform->progress.jobs.isEmpty());
        QCOMPARE(editor().Text(), QStringLiteral("Start ") + text);
        return;
    }
    if (cancelAt > 0 || asked == MsgAnswer::No) {
        QCOMPARE(platform->progress.jobs.size(), asked ? 0 : 1);
        // As it was: text, formats, selection, undo.
        QCOMPARE(editor().Text(), QStringLiteral("Start End"));
        QCOMPARE(editor().SelText(), QStringLiteral("End"));
        select(0, 5);
        QCOMPARE(editor().SelBold(), std::optional<bool>(true));
        QCOMPARE(editor().document()->isUndoAvailable(), undoBefore);
        QVERIFY(!w().DocumentModified);
        return;
    }
    QCOMPARE(platform->progress.jobs.size(), 1);
    const test::FakeProgress::Job& job = platform->progress.jobs.first();
    QCOMPARE(job.label, QStringLiteral("Pasting..."));
    QVERIFY(job.advances.size() > 1);
    QCOMPARE(job.advances.last(), job.total);
    const QString pasted = editor().Text().sliced(6);
    if (asked) {
        // Every character, in lines of at most 10,000, each broken after a word.
        const QStringList lines = pasted.split(u'\n');
        QCOMPARE(lines.join(QString()), text);
        QVERIFY(lines.size() > 110);
        for (const QString& line : lines)
            QVERIFY(line.size() <= 10000);
    } else {
        QVERIFY(pasted == text);
    }
    // The text pasted takes the format of text typed there: "Start " stays the only bold.
    checkInsertedAfterStart(pasted.size(), false);
}

void DispatchTest::insertTextFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("inserted");
    QTest::addColumn<bool>("bold");
    const QByteArray rtf = "{\\rtf1\\ansi{\\b Bold} words\\par}";
    QTest::newRow("nominal: letter.RTF is rich text")
        << "letter.RTF" << rtf << 0 << "Bold words" << true;
    QTest::newRow("nominal: notes.txt is plain text")
        << "notes.txt" << rtf << 0 << QString::fromLatin1(rtf) << false;
    QTest::newRow("nominal: a name without extension is plain text")
        << "README" << QByteArray("caf\xe9 au lait") << 0 << "café au lait" << false;
    QTest::newRow("nominal: the file replaces the selection")
        << "notes.txt" << QByteArray("two\r\nlines") << 3 << "two\nlines" << false;
    QTest::newRow("robustness: an empty text file inserts nothing")
        << "empty.txt" << QByteArray() << 3 << "" << false;
    QTest::newRow("robustness: an empty RTF file inserts nothing")
        << "empty.rtf" << QByteArray() << 3 << "" << false;
    QTest::newRow("robustness: an RTF file without text inserts nothing")
        << "blank.rtf" << QByteArray("{\\rtf1\\ansi}") << 3 << "" << false;
}

void DispatchTest::insertTextFile()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(int, selected);
    QFETCH(QString, inserted);
    QFETCH(bool, bold);
    const QString path = files.filePath(name);
    writeFile(path, content);
    editor().setText(QStringLiteral("Start End"));
    select(6, selected);
    w().DocumentModified = false;
    QApplication::clipboard()->setText(QStringLiteral("the user's own"));
    platform->dialogs.openAnswers.push_back(QStringList{path});
    menu("mnuInsert", "TextFile");
    QCOMPARE(platform->dialogs.openRequests.last().title, QStringLiteral("Select File to Insert"));
    // The clipboard is the user's: the file never passes through it.
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("the user's own"));
    QVERIFY(w().rtfTemp->Text().isEmpty());
    if (inserted.isEmpty()) {
        QCOMPARE(editor().Text(), QStringLiteral("Start End"));
        QCOMPARE(editor().SelText(), QStringLiteral("End"));
        QVERIFY(!w().DocumentModified);
        return;
    }
    QCOMPARE(editor().Text(),
             QStringLiteral("Start ") + inserted + QStringLiteral("Start End").mid(6 + selected));
    checkInsertedAfterStart(inserted.size(), bold);
}

void DispatchTest::insertRichTextFileKeepsItsPictures()
{
    QImage picture(6, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(picture.save(&buffer, "PNG"));
    const QString path = files.filePath(QStringLiteral("logo.rtf"));
    writeFile(path, "{\\rtf1\\ansi Logo: {\\pict\\pngblip " + png.toHex() + "}\\par}");
    editor().setText(QStringLiteral("AB"));
    select(1, 0);
    platform->dialogs.openAnswers.push_back(QStringList{path});
    menu("mnuInsert", "TextFile");
    QCOMPARE(editor().Text(),
             QStringLiteral("ALogo: ") + QChar(QChar::ObjectReplacementCharacter) + u'B');
    // The picture came along with the text.
    QTextCursor at(editor().document());
    at.setPosition(8);
    const QString name = at.charFormat().toImageFormat().name();
    QVERIFY(!name.isEmpty());
    const QVariant held = editor().document()->resource(QTextDocument::ImageResource, QUrl(name));
    QCOMPARE(qvariant_cast<QImage>(held).size(), QSize(6, 4));
}

void DispatchTest::insertFailuresLeaveEditorAndClipboard_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message"); // %1 the file
    const QString cannotOpen = QStringLiteral("The file %1 cannot be opened:\n%2.");
    QTest::newRow("text file cancelled") << "TextFile"
                                         << "cancel" << QString();
    QTest::newRow("text file unreadable")
        << "TextFile"
        << "gone" << cannotOpen.arg("%1", "No such file or directory");
    QTest::newRow("picture cancelled") << "Picture"
                                       << "cancel" << QString();
    QTest::newRow("picture not a picture")
        << "Picture"
        << "not a picture"
        << QStringLiteral("The file %1 is no picture that can be inserted:\nUnsupported image "
                          "format.");
    for (const char* command : {"TextFile", "Picture"}) {
        for (const char* kind : {"fifo", "socket", "device", "folder"}) {
            QTest::addRow("robustness: %s from a %s", command, kind)
                << command << kind << cannotOpen.arg("%1", test::specialFileReason(kind));
        }
    }
}

void DispatchTest::insertFailuresLeaveEditorAndClipboard()
{
    QFETCH(QString, command);
    QFETCH(QString, kind);
    QFETCH(QString, message);
    // A file chosen earlier must not come back with a cancelled dialog.
    const QString earlier = files.filePath(QStringLiteral("earlier.txt"));
    writeFile(earlier, "earlier");
    w().MainDialog.cFileName = FileList(QStringList{earlier});
    w().MainDialog.cFileTitle = FileList(QStringList{QStringLiteral("earlier.txt")});

    editor().setText(QStringLiteral("Keep me"));
    w().DocumentModified = false;
    select(2, 2);
    QApplication::clipboard()->setText(QStringLiteral("on the clipboard"));
    if (kind == "cancel") {
        platform->dialogs.openAnswers.push_back(std::nullopt);
    } else {
        QString path;
        if (kind == "gone") {
            path = files.filePath("missing.txt");
        } else if (kind == "not a picture") {
            path = files.filePath(QStringLiteral("broken.gif"));
            writeFile(path, "not a picture");
        } else {
            path = test::makeSpecialFile(kind, files.path());
            QVERIFY2(!path.isEmpty(), qPrintable(kind));
        }
        platform->dialogs.openAnswers.push_back(QStringList{path});
        platform->messages.expect(message.arg(path),
                                  command == "TextFile" ? QStringLiteral("Insert Text File")
                                                        : QStringLiteral("Insert Picture"),
                                  MsgButtons::Ok, MsgIcon::Exclamation);
    }
    w().MenuBar_ItemClick(QStringLiteral("mnuInsert"), command);
    QCOMPARE(editor().Text(), QStringLiteral("Keep me"));
    QCOMPARE(editor().SelText(), QStringLiteral("ep"));
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("on the clipboard"));
    QVERIFY(!w().DocumentModified);
}

void DispatchTest::insertLongTextFileWithProgress_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("cancelAt");
    for (const QString& name : {QStringLiteral("long.txt"), QStringLiteral("long.rtf")}) {
        const QByteArray kind = name.toLatin1();
        QTest::addRow("nominal: the whole of %s goes in as one step", kind.constData())
            << name << -1;
        QTest::addRow("nominal: Cancel at once inserts nothing (%s)", kind.constData())
            << name << 1;
        QTest::addRow("nominal: Cancel halfway inserts nothing (%s)", kind.constData())
            << name << 2;
    }
    // Read first, then copied in: 0 cancels once the copying has begun.
    QTest::newRow("nominal: Cancel while copying in inserts nothing (long.rtf)")
        << QStringLiteral("long.rtf") << 0;
}

void DispatchTest::insertLongTextFileWithProgress()
{
    QFETCH(QString, name);
    QFETCH(int, cancelAt);
    QString text;
    QByteArray bytes;
    if (name.endsWith(QStringLiteral(".txt"))) {
        text.reserve(9 << 20);
        for (int line = 0; text.size() < (9 << 20); ++line)
            text += QStringLiteral("Line %1 of a long file, caf\u00e9 included.\n").arg(line);
        bytes = text.toUtf8();
    } else {
        // RTF takes far longer a character than text: a shorter file goes in pieces.
        bytes = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\n";
        QStringList lines;
        for (int line = 0; bytes.size() < (320 << 10); ++line) {
            bytes += "\\pard Line " + QByteArray::number(line) + " of a {\\b long} file.\\par\n";
            lines += QStringLiteral("Line %1 of a long file.").arg(line);
        }
        bytes += "}";
        text = lines.join(u'\n');
    }
    const QString path = files.filePath(name);
    writeFile(path, bytes);
    editor().setText(QStringLiteral("Start End"));
    select(0, 5);
    editor().setSelBold(true);
    select(6, 3);
    w().DocumentModified = false;
    platform->dialogs.openAnswers.push_back(QStringList{path});
    if (cancelAt == 0)
        platform->progress.cancelPast = bytes.size();
    else
        platform->progress.cancelAt = cancelAt;
    menu("mnuInsert", "TextFile");

    // One window, in which reading an RTF file fills the first half and copying it the second.
    QCOMPARE(platform->progress.jobs.size(), 1);
    const test::FakeProgress::Job& job = platform->progress.jobs.first();
    QCOMPARE(job.label, QStringLiteral("Inserting %1...").arg(name));
    QCOMPARE(job.total, name.endsWith(QStringLiteral(".txt")) ? qint64(text.size())
                                                              : 2 * qint64(bytes.size()));
    if (cancelAt < 0) {
        QVERIFY(job.advances.size() > 1);
        QCOMPARE(job.advances.last(), job.total);
        QVERIFY(editor().Text() == QStringLiteral("Start ") + text);
        // The text typed there is not bold, and neither is the file's.
        checkInsertedAfterStart(text.size(), false);
        return;
    }
    if (cancelAt == 0)
        QVERIFY(job.advances.last() > bytes.size());
    else
        QCOMPARE(job.advances.size(), cancelAt);
    QCOMPARE(editor().Text(), QStringLiteral("Start End"));
    QCOMPARE(editor().SelText(), QStringLiteral("End"));
    QVERIFY(!w().DocumentModified);
    QVERIFY(!editor().document()->isRedoAvailable());
    // The user's own steps are still there to undo.
    select(0, 5);
    QCOMPARE(editor().SelBold(), std::optional<bool>(true));
    menu("mnuEdit", "Undo");
    select(0, 5);
    QCOMPARE(editor().SelBold(), std::optional<bool>(false));
}

void DispatchTest::insertTooLargeFileRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("robustness: a text file") << "huge.txt";
    QTest::newRow("robustness: an RTF file") << "huge.rtf";
}

void DispatchTest::insertTooLargeFileRefused()
{
    QFETCH(QString, name);
    QFile huge(files.filePath(name));
    QVERIFY(huge.open(QIODevice::WriteOnly));
    // Sparse: the size without the disk space.
    QVERIFY(huge.resize((qint64(256) << 20) + (qint64(1) << 19)));
    huge.close();
    editor().setText(QStringLiteral("Keep me"));
    select(2, 2);
    w().DocumentModified = false;
    platform->dialogs.openAnswers.push_back(QStringList{huge.fileName()});
    platform->messages.expect(QStringLiteral("The file %1 is 256.5 MB. Letterwright opens text "
                                             "files of up to 256 MB.")
                                  .arg(QDir::toNativeSeparators(huge.fileName())),
                              QStringLiteral("Insert Text File"), MsgButtons::Ok,
                              MsgIcon::Exclamation);
    menu("mnuInsert", "TextFile");
    QCOMPARE(editor().Text(), QStringLiteral("Keep me"));
    QCOMPARE(editor().SelText(), QStringLiteral("ep"));
    QVERIFY(!w().DocumentModified);
    QVERIFY(platform->progress.jobs.isEmpty());
}

void DispatchTest::insertPicture()
{
    QImage picture(24, 16, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    const QString path = files.filePath(QStringLiteral("logo.png"));
    QVERIFY(picture.save(path));
    editor().setText(QStringLiteral("AB"));
    select(1, 0);
    QApplication::clipboard()->setText(QStringLiteral("the user's own"));
    platform->dialogs.openAnswers.push_back(QStringList{path});
    menu("mnuInsert", "Picture");
    QCOMPARE(platform->dialogs.openRequests.last().title, QStringLiteral("Select Picture..."));
    QVERIFY(platform->dialogs.openRequests.last().nameFilters.join(u' ').contains("*.png"));
    QCOMPARE(editor().Text(),
             QStringLiteral("A") + QChar(QChar::ObjectReplacementCharacter) + QStringLiteral("B"));
    QCOMPARE(editor().SelStart(), 2);
    // Straight into the document: the clipboard keeps what the user put there.
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("the user's own"));
    QVERIFY(QApplication::clipboard()->image().isNull());
    QTextCursor at(editor().document());
    at.setPosition(2);
    const QString name = at.charFormat().toImageFormat().name();
    const QVariant held = editor().document()->resource(QTextDocument::ImageResource, QUrl(name));
    QCOMPARE(qvariant_cast<QImage>(held).size(), QSize(24, 16));
    menu("mnuEdit", "Undo");
    QCOMPARE(editor().Text(), QStringLiteral("AB"));
}

void DispatchTest::fontDialogAppliesChoiceAsOneStep()
{
    editor().setText(QStringLiteral("Dear Sir"));
    select(0, 4);
    FontChoice choice;
    choice.family = QStringLiteral("DejaVu Serif");
    choice.pointSize = 14;
    choice.weight = 700;
    choice.italic = true;
    choice.strikeOut = true;
    choice.color = QColor(0, 0, 255);
    platform->dialogs.fontAnswers.push_back(choice);
    menu("mnuFormat", "Font");
    QCOMPARE(editor().SelBold(), std::optional<bool>(true));
    QCOMPARE(editor().SelItalic(), std::optional<bool>(true));
    QCOMPARE(editor().SelFontSize(), std::optional<double>(14));
    QCOMPARE(editor().SelFontName(), std::optional<QString>(QStringLiteral("DejaVu Serif")));
    QCOMPARE(editor().SelColor(), std::optional<quint32>(0xFF0000));
    menu("mnuEdit", "Undo");
    QCOMPARE(editor().SelBold(), std::optional<bool>(false));
    QCOMPARE(editor().SelColor(), std::optional<quint32>(0));

    // Cancelled: nothing changes.
    platform->dialogs.fontAnswers.push_back(std::nullopt);
    menu("mnuFormat", "Font");
    QCOMPARE(editor().SelBold(), std::optional<bool>(false));
}

void DispatchTest::fontDialogWithoutColourKeepsTheTextsColour()
{
    editor().setText(QStringLiteral("Dear Sir"));
    select(0, 4);
    editor().setSelColor(0x0000FF);
    select(5, 3);
    editor().setSelColor(0xFF0000);
    // An earlier dialog with a colour leaves it in the dialog object.
    FontChoice coloured;
    coloured.family = QStringLiteral("DejaVu Sans");
    coloured.color = QColor(0, 255, 0);
    platform->dialogs.fontAnswers.push_back(coloured);
    menu("mnuFormat", "Font");
    QCOMPARE(editor().SelColor(), std::optional<quint32>(0x00FF00));
    menu("mnuEdit", "Undo");

    // The desktop's font dialog, which has no colour.
    FontChoice plain;
    plain.family = QStringLiteral("DejaVu Serif");
    plain.pointSize = 16;
    plain.weight = 700;
    platform->dialogs.fontAnswers.push_back(plain);
    select(0, 8);
    menu("mnuFormat", "Font");
    QCOMPARE(editor().SelBold(), std::optional<bool>(true));
    QCOMPARE(editor().SelFontSize(), std::optional<double>(16));
    QCOMPARE(editor().SelColor(), std::nullopt);
    select(0, 4);
    QCOMPARE(editor().SelColor(), std::optional<quint32>(0x0000FF));
    select(5, 3);
    QCOMPARE(editor().SelColor(), std::optional<quint32>(0xFF0000));
    QCOMPARE(platform->dialogs.fontRequests.last().minPointSize, 10.0);
    QCOMPARE(platform->dialogs.fontRequests.last().maxPointSize, 72.0);
}

void DispatchTest::fileCommands()
{
    w().show();
    // Open, the OPEN tool and Save As reach their dialogs; cancels are choices of nothing.
    platform->dialogs.openAnswers.push_back(std::nullopt);
    menu("mnuFile", "Open");
    platform->dialogs.openAnswers.push_back(std::nullopt);
    tool("OPEN");
    QCOMPARE(platform->dialogs.openRequests.size(), 2);
    QCOMPARE(platform->dialogs.openRequests.first().title, QStringLiteral("Select a file to open"));

    const QString saved = files.filePath(QStringLiteral("copy"));
    platform->dialogs.saveAnswers.push_back(saved);
    platform->messages.expect(QStringLiteral("File Saved!"), QStringLiteral("Notice"),
                              MsgButtons::Ok, MsgIcon::Information);
    menu("mnuFile", "SaveAs");
    QVERIFY(QFile::exists(saved + QStringLiteral(".txt")));

    platform->dialogs.pageSetupAnswers.push_back(nullptr);
    menu("mnuFile", "PageSetup");
    QCOMPARE(platform->dialogs.pageSetupCalls, 1);
    platform->dialogs.printerAnswers.push_back(nullptr);
    menu("mnuFile", "PrintSetup");
    QCOMPARE(platform->dialogs.printerCalls, 1);

    // Exit closes the window through the shutdown: the marker is written.
    menu("mnuFile", "Exit");
    QVERIFY(!w().isVisible());
    QCOMPARE(library->bytes().left(15), QByteArray("Brightquill2006"));
}

void DispatchTest::printMakesPages()
{
    if (!test::PdfFile::toolsAvailable())
        QSKIP("poppler-utils is not installed");
    editor().setText(QStringLiteral("A letter to print"));
    tool("PRINT");
    const test::PdfFile printed(platform->printers.outputPath());
    QCOMPARE(printed.pageCount(), 1);
    QVERIFY(printed.text().contains(QStringLiteral("A letter to print")));
    QVERIFY(platform->messages.shown.isEmpty());
}

void DispatchTest::helpAndSupport()
{
    menu("mnuHelp", "Help");
    menu("mnuHelp", "Support");
    QCOMPARE(platform->desktop.openedUrls.size(), 2);
    QCOMPARE(platform->desktop.openedUrls.at(0),
             QUrl::fromLocalFile(programDirectory() + QStringLiteral("/help/index.html")));
    QCOMPARE(platform->desktop.openedUrls.at(1).scheme(), QStringLiteral("mailto"));
    QVERIFY(platform->messages.shown.isEmpty());
}

void DispatchTest::helpAndSupportWithoutAProgramSaySo()
{
    // A desktop with no viewer for the manual and no mail program.
    platform->desktop.opens = false;
    platform->messages.expect(
        QStringLiteral("The manual %1 cannot be opened.").arg(CommandDispatcher::helpPath()),
        QStringLiteral("Help"), MsgButtons::Ok, MsgIcon::Exclamation);
    menu("mnuHelp", "Help");
    platform->messages.expect(
        QStringLiteral("No mail program is set up to write to support@brightquill.com. Please "
                       "write to that address from the mail program you use."),
        QStringLiteral("Technical Support"), MsgButtons::Ok, MsgIcon::Exclamation);
    menu("mnuHelp", "Support");
    platform->messages.verifyDone();
}

void DispatchTest::rightClickOpensPopupBeforeEditingSwitch()
{
    w().testSearch->setFocus();
    w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&w()));
    QVERIFY(!w().EditingEnabled);
    QWidget* viewport = editor().textEdit()->viewport();
    QTest::mousePress(viewport, Qt::RightButton, {}, QPoint(10, 10));
    QMenu* menuShown = w().mnuPopup->menu(popup);
    QTRY_VERIFY(menuShown->isVisible());
    QVERIFY(w().mnuPopup->item(popup, QStringLiteral("Copy"))->isEnabled());
    menuShown->hide();
    // The left button opens nothing.
    QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(!menuShown->isVisible());
}

void DispatchTest::everyChangeSetsModified()
{
    QVERIFY(!w().DocumentModified);
    editor().setText(QStringLiteral("Dear Sir"));
    QVERIFY(w().DocumentModified);
    w().DocumentModified = false;
    select(0, 4);
    tool("BOLD");
    QVERIFY(w().DocumentModified);
    w().DocumentModified = false;
    QTest::keyClicks(editor().textEdit(), QStringLiteral("x"));
    QVERIFY(w().DocumentModified);
}

QTEST_MAIN(DispatchTest)
#include "test_dispatch.moc"
