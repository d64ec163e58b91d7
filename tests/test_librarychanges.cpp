#include "FakeServices.h"
#include "FileSizeLimit.h"
#include "TestLibrary.h"
#include "WidgetContents.h"
#include "app/Letterwright.h"
#include "editor/LetterEditor.h"
#include "library/AddLetterDialog.h"
#include "library/LetterChanges.h"
#include "library/LibraryBrowser.h"
#include "library/MoveLetterDialog.h"
#include "library/modMain.h"
#include "mainwindow/MainWindow.h"
#include "platform/ProgramFolders.h"
#include "platform/Twips.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace lw;
using test::entries;

namespace {

void choose(QComboBox* combo, const QString& text)
{
    const int index = combo->findText(text, Qt::MatchExactly);
    QVERIFY2(index >= 0, qPrintable(text));
    combo->setCurrentIndex(index);
}

const LetterRecord* findLetter(const LibraryContents& contents, const QString& title)
{
    for (const LetterRecord& letter : contents.letters) {
        if (letter.title == title)
            return &letter;
    }
    return nullptr;
}

// The sample library with a subject and a category that hold quotes.
LibraryContents libraryWithQuotes()
{
    LibraryContents contents = test::TestLibrary::sample();
    contents.subjects.append({QStringLiteral("Bob's"), {QStringLiteral("Writer's")}});
    return contents;
}

const QString notice = QStringLiteral("Notice");

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class LibraryChangesTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void dialogLayout_data();
    void dialogLayout();
    void addLetter_data();
    void addLetter();
    void addRefusedTitleKeepsTheBody();
    void addRefusedWithoutCategory();
    void addDialogKeepsOpenUntilBothFilled_data();
    void addDialogKeepsOpenUntilBothFilled();
    void addCancelled();
    void addAfterSearchGoesToChosenCategory();
    void deleteLetter_data();
    void deleteLetter();
    void nothingSelectedDoesNothing();
    void moveOutOfCategory();
    void moveAnsweredNo();
    void moveToSamePlace();
    void moveWithQuotes();
    void moveToSubjectWithoutCategories();
    void moveWithoutLibrary();
    void moveLosesLibraryWhileOpen();
    void saveUnmodifiedDoesNothing();
    void saveQuestionByPath_data();
    void saveQuestionByPath();
    void saveWithoutCurrentFileRunsSaveAs();
    void saveFailedWriteKeepsOldFile_data();
    void saveFailedWriteKeepsOldFile();
    void shutdownYesRunsSave_data();
    void shutdownYesRunsSave();

private:
    MainWindow& window() { return *program->mainWindow(); }
    void start(const LibraryContents& contents = test::TestLibrary::sample());
    void select(const QString& title);
    // Points the program's directory at a temporary folder and writes files into it.
    void useProgramDirectory(const QMap<QString, QByteArray>& files);
    QString programFile(const QString& name) const { return programDirectory->filePath(name); }
    void open(const QString& path);
    // The next dialog is opened without a modal loop and handed to `drive`, which must close it.
    template <typename Dialog> void onDialog(std::function<void(Dialog&)> drive);

    std::unique_ptr<test::TestLibrary> library;
    std::unique_ptr<test::FakePlatform> platform;
    std::unique_ptr<Letterwright> program;
    std::unique_ptr<QTemporaryDir> programDirectory;
    int dialogsShown = 0;
};

void LibraryChangesTest::init()
{
    library = std::make_unique<test::TestLibrary>();
    platform = std::make_unique<test::FakePlatform>();
    dialogsShown = 0;
}

void LibraryChangesTest::cleanup()
{
    program.reset();
    platform.reset();
    library.reset();
    programDirectory.reset();
}

void LibraryChangesTest::start(const LibraryContents& contents)
{
    library->create(contents);
    program = std::make_unique<Letterwright>();
    QVERIFY(program->StartUp());
    window().letterChanges.showModal = [](QDialog&) {
        QFAIL("a dialog was shown where none was expected");
    };
}

void LibraryChangesTest::select(const QString& title)
{
    const auto found = window().lstBx[0]->findItems(title, Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    window().lstBx[0]->setCurrentItem(found.first());
}

void LibraryChangesTest::useProgramDirectory(const QMap<QString, QByteArray>& files)
{
    programDirectory = std::make_unique<QTemporaryDir>();
    QVERIFY(programDirectory->isValid());
    setProgramDirectory(programDirectory->path());
    for (auto file = files.begin(); file != files.end(); ++file) {
        const QString path = programFile(file.key());
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QCOMPARE(out.write(file.value()), file.value().size());
    }
}

void LibraryChangesTest::open(const QString& path)
{
    platform->dialogs.openAnswers.push_back(QStringList{path});
    window().OpenDocument();
    QCOMPARE(window().CurrentDocumentPath, path);
    QVERIFY(!window().DocumentModified);
}

template <typename Dialog> void LibraryChangesTest::onDialog(std::function<void(Dialog&)> drive)
{
    window().letterChanges.showModal = [this, drive](QDialog& shown) {
        auto* dialog = qobject_cast<Dialog*>(&shown);
        QVERIFY(dialog);
        QCOMPARE(dialog->parentWidget(), &window());
        ++dialogsShown;
        dialog->open();
        QVERIFY(dialog->isModal());
        drive(*dialog);
        QVERIFY2(!dialog->isVisible(), "the dialog was left open");
    };
}

void LibraryChangesTest::dialogLayout_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("twips");
    const QString add = QStringLiteral("add");
    const QString move = QStringLiteral("move");
    QTest::newRow("add: inner area") << add << "dialog" << QRect(0, 0, 11580, 7380);
    QTest::newRow("add: Frame1") << add << "Frame1" << QRect(120, 60, 11355, 6525);
    QTest::newRow("add: Label1(0)") << add << "Label1(0)" << QRect(210, 240, 585, 255);
    QTest::newRow("add: T1(0)") << add << "T1(0)" << QRect(810, 180, 10305, 315);
    QTest::newRow("add: Label3") << add << "Label3" << QRect(270, 660, 10545, 435);
    QTest::newRow("add: Label1(1)") << add << "Label1(1)" << QRect(210, 1110, 2505, 255);
    QTest::newRow("add: Text1") << add << "Text1" << QRect(240, 1500, 10875, 4755);
    QTest::newRow("add: cmdYes") << add << "cmdYes" << QRect(4320, 6810, 1365, 345);
    QTest::newRow("add: cmdCancel") << add << "cmdCancel" << QRect(5910, 6810, 1365, 345);
    QTest::newRow("move: inner area") << move << "dialog" << QRect(0, 0, 4845, 2835);
    QTest::newRow("move: Frame1") << move << "Frame1" << QRect(120, 60, 4635, 1965);
    QTest::newRow("move: lblTxt(2)") << move << "lblTxt(2)" << QRect(270, 300, 4245, 255);
    QTest::newRow("move: lblTxt(0)") << move << "lblTxt(0)" << QRect(270, 825, 765, 255);
    QTest::newRow("move: Cmb(0)") << move << "Cmb(0)" << QRect(1170, 780, 3015, 300);
    QTest::newRow("move: lblTxt(1)") << move << "lblTxt(1)" << QRect(270, 1350, 840, 255);
    QTest::newRow("move: Cmb(1)") << move << "Cmb(1)" << QRect(1170, 1290, 3015, 300);
    QTest::newRow("move: cmd(0)") << move << "cmd(0)" << QRect(960, 2220, 1365, 345);
    QTest::newRow("move: cmd(1)") << move << "cmd(1)" << QRect(2520, 2220, 1365, 345);
}

void LibraryChangesTest::dialogLayout()
{
    QFETCH(QString, dialog);
    QFETCH(QString, control);
    QFETCH(QRect, twips);
    AddLetterDialog add;
    MoveLetterDialog move;
    const QMap<QString, QWidget*> controls = {
        {"add/dialog", &add},
        {"add/Frame1", add.Frame1},
        {"add/Label1(0)", add.Label1[0]},
        {"add/T1(0)", add.T1[0]},
        {"add/Label3", add.Label3},
        {"add/Label1(1)", add.Label1[1]},
        {"add/Text1", add.Text1},
        {"add/cmdYes", add.cmdYes},
        {"add/cmdCancel", add.cmdCancel},
        {"move/dialog", &move},
        {"move/Frame1", move.Frame1},
        {"move/lblTxt(2)", move.lblTxt[2]},
        {"move/lblTxt(0)", move.lblTxt[0]},
        {"move/Cmb(0)", move.Cmb[0]},
        {"move/lblTxt(1)", move.lblTxt[1]},
        {"move/Cmb(1)", move.Cmb[1]},
        {"move/cmd(0)", move.cmd[0]},
        {"move/cmd(1)", move.cmd[1]},
    };
    const QWidget* widget = controls.value(dialog + u'/' + control);
    QVERIFY(widget);
    const QRect expected = twips::toPixels(twips, widget);
    if (widget->isWindow()) {
        QCOMPARE(widget->size(), expected.size());
    } else if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        // A label is as wide as designed, or as its text needs where that is cut off otherwise.
        QCOMPARE(label->geometry().topLeft(), expected.topLeft());
        QCOMPARE(label->height(), expected.height());
        QVERIFY(label->width() >= expected.width());
        const int ink = label->fontMetrics().tightBoundingRect(label->text()).right() + 1;
        QVERIFY(label->width() >= ink);
        QVERIFY(label->width() <= qMax(expected.width(), ink + 2));
    } else {
        QCOMPARE(widget->geometry(), expected);
    }
}

void LibraryChangesTest::addLetter_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("body");
    QTest::addColumn<bool>("added");
    QTest::newRow("nominal: new title") << "Apology"
                                        << "Dear Sir,\nWe are sorry." << true;
    QTest::newRow("nominal: quotes in title and body") << "Bob's 'Late' Reply"
                                                       << "It's 'quoted'." << true;
    QTest::newRow("nominal: blanks kept as typed") << " Padded "
                                                   << "  body  " << true;
    QTest::newRow("refused: same title in other case") << "LATE delivery"
                                                       << "Body" << false;
    QTest::newRow("refused: accented title in other case") << "élan award"
                                                           << "Body" << false;
    QTest::newRow("refused: title with quote in other case") << "o'neil's refund"
                                                             << "Body" << false;
    QTest::newRow("refused: accent typed as a combining mark")
        << QStringLiteral("E\u0301lan Award") << "Body" << false;
    QTest::newRow("refused: combining mark in other case")
        << QStringLiteral("e\u0301LAN AWARD") << "Body" << false;
    QTest::newRow("nominal: a combining mark kept as typed")
        << QStringLiteral("Re\u0301sume\u0301 Request") << "Body" << true;
    QTest::newRow("nominal: the accent still tells titles apart") << "Elan Award"
                                                                  << "Body" << true;
}

void LibraryChangesTest::addLetter()
{
    QFETCH(QString, title);
    QFETCH(QString, body);
    QFETCH(bool, added);
    start();
    MainWindow& w = window();
    const LibraryContents before = library->contents();
    onDialog<AddLetterDialog>([&](AddLetterDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), QStringLiteral("  Add A New Letter"));
        QCOMPARE(dialog.Label3->text(), QStringLiteral("* Letter title is the full length name of "
                                                       "a letter that will be shown in the letter "
                                                       "list.  "));
        if (dialogsShown == 2) {
            // Back after "Title exists", with what the user typed, to change the title.
            QCOMPARE(dialog.T1[0]->text(), title);
            QCOMPARE(dialog.Text1->toPlainText(), body);
            dialog.cmdCancel->click();
            return;
        }
        QVERIFY(dialog.T1[0]->text().isEmpty());
        QVERIFY(dialog.Text1->toPlainText().isEmpty());
        dialog.T1[0]->setText(title);
        dialog.Text1->setPlainText(body);
        dialog.cmdYes->click();
    });
    if (!added)
        platform->messages.expect(QStringLiteral("Title exists.  Please input another title."),
                                  notice, MsgButtons::Ok, MsgIcon::None);
    else
        // The refill shows another letter in place of the edits: only after asking.
        platform->messages.expect(
            QStringLiteral("The current file has been modified.  Save changes?"), notice,
            MsgButtons::YesNoCancel, MsgIcon::None, MsgAnswer::No);
    w.RTB->setText(QStringLiteral("unsaved work"));
    w.cmdBtn[0]->click();
    QCOMPARE(dialogsShown, added ? 1 : 2);

    const LibraryContents after = library->contents();
    if (!added) {
        QCOMPARE(after.letters, before.letters);
        QCOMPARE(w.RTB->Text(), QStringLiteral("unsaved work"));
        return;
    }
    QCOMPARE(modMain().NewTitle, title);
    QCOMPARE(modMain().NewBody, body);
    QCOMPARE(after.letters.size(), before.letters.size() + 1);
    const LetterRecord* letter = findLetter(after, title);
    QVERIFY(letter);
    QCOMPARE(letter->subject, QStringLiteral("Business"));
    QCOMPARE(letter->category, QStringLiteral("Complaints"));
    QCOMPARE(letter->content, body);
    QCOMPARE(letter->favorite, 0);
    QVERIFY(letter->file.isEmpty());
    QVERIFY(entries(w.lstBx[0]).contains(title));
    QCOMPARE(w.lblTxt[3]->text(), QStringLiteral("This category includes 4 letter(s)."));
    // The refill selects and shows the first title of the category.
    QCOMPARE(w.lstBx[0]->currentRow(), 0);
    QCOMPARE(w.panelText(1), QStringLiteral("Current Letter: ") + w.lstBx[0]->item(0)->text());
    QVERIFY(!w.DocumentModified);
}

void LibraryChangesTest::addRefusedTitleKeepsTheBody()
{
    // The user's path after "Title exists": change the title, keep the body typed, add.
    start();
    const QString body = QStringLiteral("Dear Sir,\nA long letter typed with care.");
    onDialog<AddLetterDialog>([&](AddLetterDialog& dialog) {
        if (dialogsShown == 1) {
            dialog.T1[0]->setText(QStringLiteral("Late Delivery"));
            dialog.Text1->setPlainText(body);
        } else {
            QCOMPARE(dialog.Text1->toPlainText(), body);
            dialog.T1[0]->setText(QStringLiteral("Late Delivery, Again"));
        }
        dialog.cmdYes->click();
    });
    platform->messages.expect(QStringLiteral("Title exists.  Please input another title."), notice,
                              MsgButtons::Ok, MsgIcon::None);
    window().cmdBtn[0]->click();
    platform->messages.verifyDone();
    QCOMPARE(dialogsShown, 2);
    const LibraryContents after = library->contents();
    const LetterRecord* letter = findLetter(after, QStringLiteral("Late Delivery, Again"));
    QVERIFY(letter);
    QCOMPARE(letter->content, body);
}

void LibraryChangesTest::addDialogKeepsOpenUntilBothFilled_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("body");
    QTest::newRow("robustness: title missing") << ""
                                               << "Body";
    QTest::newRow("robustness: body missing") << "Title"
                                              << "";
    QTest::newRow("robustness: both missing") << ""
                                              << "";
}

void LibraryChangesTest::addDialogKeepsOpenUntilBothFilled()
{
    QFETCH(QString, title);
    QFETCH(QString, body);
    start();
    onDialog<AddLetterDialog>([&](AddLetterDialog& dialog) {
        dialog.T1[0]->setText(title);
        dialog.Text1->setPlainText(body);
        platform->messages.expect(QStringLiteral("Please enter letter title and body."), notice,
                                  MsgButtons::Ok, MsgIcon::Exclamation);
        dialog.cmdYes->click();
        QVERIFY(dialog.isVisible());
        dialog.T1[0]->setText(QStringLiteral("Second Try"));
        dialog.Text1->setPlainText(QStringLiteral("Now with a body."));
        dialog.cmdYes->click();
    });
    window().cmdBtn[0]->click();
    QCOMPARE(dialogsShown, 1);
    const LetterRecord* letter = findLetter(library->contents(), QStringLiteral("Second Try"));
    QVERIFY(letter);
    QCOMPARE(letter->content, QStringLiteral("Now with a body."));
}

void LibraryChangesTest::addRefusedWithoutCategory()
{
    start();
    const LibraryContents before = library->contents();
    window().Cmb[0]->setCurrentIndex(window().Cmb[0]->findText(QStringLiteral("Zero")));
    QCOMPARE(window().Cmb[1]->count(), 0);
    platform->messages.expect(
        QStringLiteral("Please choose a subject and a category for the new letter first."), notice,
        MsgButtons::Ok, MsgIcon::Exclamation);
    window().cmdBtn[0]->click();
    QCOMPARE(dialogsShown, 0);
    QCOMPARE(library->contents().letters, before.letters);
}

void LibraryChangesTest::addCancelled()
{
    start();
    const LibraryContents before = library->contents();
    // A title typed and refused for the missing body is not added by the Cancel that follows.
    onDialog<AddLetterDialog>([&](AddLetterDialog& dialog) {
        dialog.T1[0]->setText(QStringLiteral("Half Done"));
        platform->messages.expect(QStringLiteral("Please enter letter title and body."), notice,
                                  MsgButtons::Ok, MsgIcon::Exclamation);
        dialog.cmdYes->click();
        dialog.Text1->setPlainText(QStringLiteral("typed, then cancelled"));
        dialog.cmdCancel->click();
    });
    window().cmdBtn[0]->click();
    QCOMPARE(dialogsShown, 1);
    QCOMPARE(library->contents().letters, before.letters);
    QCOMPARE(modMain().NewTitle, QStringLiteral("Half Done"));
    QVERIFY(modMain().NewBody.isEmpty());
    QCOMPARE(platform->messages.shown.size(), 1);
}

void LibraryChangesTest::addAfterSearchGoesToChosenCategory()
{
    start();
    MainWindow& w = window();
    choose(w.Cmb[1], QStringLiteral("Orders"));
    w.testSearch->setText(QStringLiteral("a"));
    w.cmdBtn[3]->click();
    onDialog<AddLetterDialog>([](AddLetterDialog& dialog) {
        dialog.T1[0]->setText(QStringLiteral("Repeat Order"));
        dialog.Text1->setPlainText(QStringLiteral("Same again."));
        dialog.cmdYes->click();
    });
    w.cmdBtn[0]->click();
    const LetterRecord* letter = findLetter(library->contents(), QStringLiteral("Repeat Order"));
    QVERIFY(letter);
    QCOMPARE(letter->category, QStringLiteral("Orders"));
    QCOMPARE(entries(w.lstBx[0]), (QStringList{"First Order", "Repeat Order"}));
}

void LibraryChangesTest::deleteLetter_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("yes");
    QTest::newRow("nominal: favourite deleted on Yes") << "Damaged Goods" << true;
    QTest::newRow("nominal: title with quote deleted on Yes") << "O'Neil's Refund" << true;
    QTest::newRow("nominal: No keeps the letter") << "Late Delivery" << false;
}

void LibraryChangesTest::deleteLetter()
{
    QFETCH(QString, title);
    QFETCH(bool, yes);
    start();
    MainWindow& w = window();
    select(title);
    const LibraryContents before = library->contents();
    const QStringList favorites = entries(w.lstBx[1]);
    platform->messages.expect(QStringLiteral("You will delete the letter '") + title +
                                  QStringLiteral("' and it is unreversible, proceed?"),
                              notice, MsgButtons::YesNo, MsgIcon::None,
                              yes ? MsgAnswer::Yes : MsgAnswer::No);
    w.cmdBtn[1]->click();

    const LibraryContents after = library->contents();
    if (!yes) {
        QCOMPARE(after.letters, before.letters);
        QCOMPARE(w.lstBx[0]->currentItem()->text(), title);
        return;
    }
    QCOMPARE(after.letters.size(), before.letters.size() - 1);
    QVERIFY(!findLetter(after, title));
    QVERIFY(!entries(w.lstBx[0]).contains(title));
    QCOMPARE(w.lblTxt[3]->text(), QStringLiteral("This category includes 2 letter(s)."));
    QCOMPARE(w.lstBx[0]->currentRow(), 0);
    // The favourites list shows a deleted favourite until its next refill.
    QCOMPARE(entries(w.lstBx[1]), favorites);
}

void LibraryChangesTest::nothingSelectedDoesNothing()
{
    start();
    MainWindow& w = window();
    // A search result stands with no entry selected.
    w.testSearch->setText(QStringLiteral("e"));
    w.cmdBtn[3]->click();
    QCOMPARE(w.lstBx[0]->currentRow(), -1);
    const LibraryContents before = library->contents();
    w.cmdBtn[1]->click();
    w.cmdBtn[7]->click();
    QCOMPARE(library->contents().letters, before.letters);
    QVERIFY(platform->messages.shown.isEmpty());
    QCOMPARE(w.lstBx[0]->count(), 4);
}

void LibraryChangesTest::moveOutOfCategory()
{
    start();
    MainWindow& w = window();
    select(QStringLiteral("Late Delivery"));
    onDialog<MoveLetterDialog>([&](MoveLetterDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), QStringLiteral("  Move Letter"));
        QCOMPARE(dialog.lblTxt[2]->text(),
                 QStringLiteral("Move to the Subject \\ Category selected below:"));
        QCOMPARE(entries(dialog.Cmb[0]), (QStringList{"Business", "Personal", "Zero"}));
        QCOMPARE(dialog.Cmb[0]->currentText(), QStringLiteral("Business"));
        QCOMPARE(entries(dialog.Cmb[1]), (QStringList{"Complaints", "Orders"}));
        QCOMPARE(dialog.Cmb[1]->currentText(), QStringLiteral("Complaints"));
        choose(dialog.Cmb[0], QStringLiteral("Personal"));
        QCOMPARE(entries(dialog.Cmb[1]), QStringList{"Thanks"});
        QCOMPARE(dialog.Cmb[1]->currentIndex(), 0);
        platform->messages.expect(
            QStringLiteral("Move the letter Late Delivery to Personal \\ Thanks?"), notice,
            MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes);
        dialog.cmd[0]->click();
    });
    w.cmdBtn[7]->click();
    QCOMPARE(dialogsShown, 1);
    const LetterRecord* letter = findLetter(library->contents(), QStringLiteral("Late Delivery"));
    QVERIFY(letter);
    QCOMPARE(letter->subject, QStringLiteral("Personal"));
    QCOMPARE(letter->category, QStringLiteral("Thanks"));
    QCOMPARE(letter->content, QStringLiteral("Dear Sir,\nThe goods came late."));
    QCOMPARE(entries(w.lstBx[0]), (QStringList{"Damaged Goods", "O'Neil's Refund"}));
    QCOMPARE(w.panelText(1), QStringLiteral("Current Letter: Damaged Goods"));
}

void LibraryChangesTest::moveAnsweredNo()
{
    start();
    MainWindow& w = window();
    select(QStringLiteral("O'Neil's Refund"));
    const LibraryContents before = library->contents();
    onDialog<MoveLetterDialog>([&](MoveLetterDialog& dialog) {
        choose(dialog.Cmb[1], QStringLiteral("Orders"));
        platform->messages.expect(
            QStringLiteral("Move the letter O'Neil's Refund to Business \\ Orders?"), notice,
            MsgButtons::YesNo, MsgIcon::None, MsgAnswer::No);
        dialog.cmd[0]->click();
    });
    w.cmdBtn[7]->click();
    QCOMPARE(library->contents().letters, before.letters);
    // The list is rebuilt all the same: its first title is selected again.
    QCOMPARE(w.lstBx[0]->currentRow(), 0);
    QCOMPARE(w.lstBx[0]->count(), 3);
}

void LibraryChangesTest::moveToSamePlace()
{
    start();
    MainWindow& w = window();
    const QStringList listed = entries(w.lstBx[0]);
    const LibraryContents before = library->contents();
    onDialog<MoveLetterDialog>([&](MoveLetterDialog& dialog) {
        platform->messages.expect(
            QStringLiteral("Move the letter Damaged Goods to Business \\ Complaints?"), notice,
            MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes);
        dialog.cmd[0]->click();
    });
    w.cmdBtn[7]->click();
    QCOMPARE(library->contents().letters, before.letters);
    QCOMPARE(entries(w.lstBx[0]), listed);
    QCOMPARE(w.panelText(1), QStringLiteral("Current Letter: Damaged Goods"));
}

void LibraryChangesTest::moveWithQuotes()
{
    start(libraryWithQuotes());
    MainWindow& w = window();
    QCOMPARE(w.Cmb[0]->currentText(), QStringLiteral("Bob's"));
    choose(w.Cmb[0], QStringLiteral("Business"));
    select(QStringLiteral("O'Neil's Refund"));
    onDialog<MoveLetterDialog>([&](MoveLetterDialog& dialog) {
        choose(dialog.Cmb[0], QStringLiteral("Bob's"));
        QCOMPARE(dialog.Cmb[1]->currentText(), QStringLiteral("Writer's"));
        platform->messages.expect(
            QStringLiteral("Move the letter O'Neil's Refund to Bob's \\ Writer's?"), notice,
            MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes);
        dialog.cmd[0]->click();
    });
    w.cmdBtn[7]->click();
    const LetterRecord* letter = findLetter(library->contents(), QStringLiteral("O'Neil's Refund"));
    QVERIFY(letter);
    QCOMPARE(letter->subject, QStringLiteral("Bob's"));
    QCOMPARE(letter->category, QStringLiteral("Writer's"));
    QCOMPARE(modMain().MoveTitle, QStringLiteral("O'Neil's Refund"));
    choose(w.Cmb[0], QStringLiteral("Bob's"));
    QCOMPARE(entries(w.lstBx[0]), QStringList{"O'Neil's Refund"});
}

void LibraryChangesTest::moveToSubjectWithoutCategories()
{
    start();
    MainWindow& w = window();
    const LibraryContents before = library->contents();
    onDialog<MoveLetterDialog>([&](MoveLetterDialog& dialog) {
        choose(dialog.Cmb[0], QStringLiteral("Zero"));
        QCOMPARE(dialog.Cmb[1]->count(), 0);
        platform->messages.expect(
            QStringLiteral("The subject 'Zero' has no category to move the letter into.  "
                           "Please choose another subject."),
            notice, MsgButtons::Ok, MsgIcon::Exclamation);
        dialog.cmd[0]->click();
        QVERIFY(dialog.isVisible());
        dialog.cmd[1]->click();
    });
    w.cmdBtn[7]->click();
    QCOMPARE(library->contents().letters, before.letters);
}

void LibraryChangesTest::moveWithoutLibrary()
{
    start();
    MainWindow& w = window();
    const QString shown = w.RTB->Text();
    QVERIFY(QFile::remove(library->dataFilePath()));
    platform->messages.expect(QStringLiteral("The letter could not be moved: the letter library "
                                             "cannot be opened.\n\nDetails: unable to open "
                                             "database file"),
                              QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);
    w.cmdBtn[7]->click();
    QCOMPARE(dialogsShown, 0);
    QVERIFY(!QFile::exists(library->dataFilePath()));
    QCOMPARE(w.RTB->Text(), shown);
}

void LibraryChangesTest::moveLosesLibraryWhileOpen()
{
    start();
    MainWindow& w = window();
    onDialog<MoveLetterDialog>([&](MoveLetterDialog& dialog) {
        QVERIFY(QFile::remove(library->dataFilePath()));
        platform->messages.expect(QStringLiteral("The letter could not be moved: the letter "
                                                 "library cannot be opened.\n\nDetails: unable "
                                                 "to open database file"),
                                  QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);
        choose(dialog.Cmb[0], QStringLiteral("Personal"));
        QVERIFY(!dialog.isVisible());
        // The main window's own guard then reports the missing file and ends the program.
        platform->messages.expect(
            QStringLiteral("One or more files of this program is damaged.  Please reinstall it."),
            QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);
    });
    w.cmdBtn[7]->click();
    QCOMPARE(dialogsShown, 1);
    QCOMPARE(platform->application.exitCodes, QList<int>{1});
}

void LibraryChangesTest::saveUnmodifiedDoesNothing()
{
    start();
    useProgramDirectory({{"doc.txt", "old"}});
    open(programFile("doc.txt"));
    window().SaveDocument();
    QCOMPARE(bytesOf(programFile("doc.txt")), QByteArray("old"));
    QVERIFY(platform->messages.shown.isEmpty());
    QVERIFY(platform->dialogs.saveRequests.isEmpty());
}

void LibraryChangesTest::saveQuestionByPath_data()
{
    QTest::addColumn<QString>("opened");
    QTest::addColumn<bool>("aboutLetter");
    QTest::addColumn<bool>("yes");
    QTest::newRow("nominal: the letter's own file, Yes") << "letter/damaged.txt" << true << true;
    QTest::newRow("nominal: the letter's own file, No leads to Save As")
        << "letter/damaged.txt" << true << false;
    QTest::newRow("robustness: a name that differs in letter case is another file")
        << "LETTER/Damaged.TXT" << false << true;
    QTest::newRow("nominal: another letter's file is a current file")
        << "letter/late.txt" << false << true;
    QTest::newRow("nominal: a file elsewhere, Yes") << "elsewhere.txt" << false << true;
    QTest::newRow("nominal: a file elsewhere, No leads to Save As")
        << "elsewhere.txt" << false << false;
}

void LibraryChangesTest::saveQuestionByPath()
{
    QFETCH(QString, opened);
    QFETCH(bool, aboutLetter);
    QFETCH(bool, yes);
    start();
    MainWindow& w = window();
    const QMap<QString, QByteArray> files = {{"letter/damaged.txt", "damaged\r\n"},
                                             {"letter/late.txt", "late\r\n"},
                                             {"LETTER/Damaged.TXT", "upper\r\n"},
                                             {"elsewhere.txt", "elsewhere\r\n"}};
    useProgramDirectory(files);
    QCOMPARE(w.library().selectedTitle(0), QStringLiteral("Damaged Goods"));
    open(programFile(opened));
    w.RTB->setText(QStringLiteral("Dear Sir,\nNew text \u20AC"));

    const QString question =
        aboutLetter ? QStringLiteral("You will overwrite current letter 'Damaged Goods' and it is "
                                     "unreversible, proceed?")
                    : QStringLiteral("You will overwrite current file at '") + programFile(opened) +
                          QStringLiteral("' and it is unreversible, proceed?");
    platform->messages.expect(question, notice, MsgButtons::YesNo, MsgIcon::None,
                              yes ? MsgAnswer::Yes : MsgAnswer::No);
    if (yes) {
        platform->messages.expect(QStringLiteral("File Saved!"), notice, MsgButtons::Ok,
                                  MsgIcon::None);
    } else {
        platform->dialogs.saveAnswers.push_back(std::nullopt);
        platform->messages.expect(QStringLiteral("File not Saved!"), notice, MsgButtons::Ok,
                                  MsgIcon::None);
    }
    const LibraryContents before = library->contents();
    w.SaveDocument();

    const QString written = aboutLetter ? QStringLiteral("letter/damaged.txt") : opened;
    for (auto file = files.begin(); file != files.end(); ++file) {
        // The opened file's last line had its line break; the new text's has none.
        const QByteArray expected =
            yes && file.key() == written ? QByteArray("Dear Sir,\r\nNew text \x80") : file.value();
        QCOMPARE(bytesOf(programFile(file.key())), expected);
    }
    QCOMPARE(w.DocumentModified, !yes);
    QCOMPARE(w.CurrentDocumentPath, programFile(opened));
    QCOMPARE(modMain().LetterFilePath, programFile("letter/damaged.txt"));
    QCOMPARE(library->contents().letters, before.letters);
}

void LibraryChangesTest::saveWithoutCurrentFileRunsSaveAs()
{
    start();
    useProgramDirectory({});
    MainWindow& w = window();
    w.RTB->setText(QStringLiteral("A letter\nfrom the library"));
    platform->dialogs.saveAnswers.push_back(programFile("new"));
    platform->messages.expect(QStringLiteral("File Saved!"), notice, MsgButtons::Ok,
                              MsgIcon::Information);
    w.SaveDocument();
    QCOMPARE(bytesOf(programFile("new.txt")), QByteArray("A letter\r\nfrom the library"));
    QCOMPARE(w.CurrentDocumentPath, programFile("new.txt"));
    QVERIFY(!w.DocumentModified);
}

void LibraryChangesTest::saveFailedWriteKeepsOldFile_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("reason");
    QTest::newRow("robustness: missing letter folder") << "missing folder"
                                                       << "No such file or directory";
    QTest::newRow("robustness: full disk") << "full disk"
                                           << "File too large";
    QTest::newRow("robustness: read-only file") << "read-only"
                                                << "Existing file %1 is not writable";
}

void LibraryChangesTest::saveFailedWriteKeepsOldFile()
{
    QFETCH(QString, failure);
    QFETCH(QString, reason);
    if (failure == "read-only" && geteuid() == 0)
        QSKIP("file permissions do not bind the superuser");
    start();
    MainWindow& w = window();
    const QByteArray old("the old letter\r\n");
    const bool toLetter = failure == "missing folder";
    useProgramDirectory(toLetter ? QMap<QString, QByteArray>()
                                 : QMap<QString, QByteArray>{{"doc.txt", old}});
    const QString target = programFile(toLetter ? "letter/damaged.txt" : "doc.txt");
    if (toLetter) {
        // A document whose file's folder has gone since it was opened.
        w.CurrentDocumentPath = target;
    } else {
        open(target);
    }
    if (failure == "read-only")
        QVERIFY(QFile::setPermissions(target, QFile::ReadOwner));
    // Far more text than the file size limit of the full-disk case lets through.
    w.RTB->setText(QString(64 * 1024, u'x'));

    platform->messages.expect(
        toLetter ? QStringLiteral("You will overwrite current letter 'Damaged Goods' and it is "
                                  "unreversible, proceed?")
                 : QStringLiteral("You will overwrite current file at '") + target +
                       QStringLiteral("' and it is unreversible, proceed?"),
        notice, MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes);
    platform->messages.expect(
        QStringLiteral("Cannot write %1: %2\n\nThe document has not been saved.")
            .arg(QDir::toNativeSeparators(target),
                 reason.contains(u'%') ? reason.arg(target) : reason),
        notice, MsgButtons::Ok, MsgIcon::Exclamation);
    {
        std::optional<test::FileSizeLimit> limit;
        if (failure == "full disk")
            limit.emplace(4096);
        w.SaveDocument();
    }
    QVERIFY(w.DocumentModified);
    QCOMPARE(bytesOf(target), toLetter ? QByteArray() : old);
    QCOMPARE(QDir(QFileInfo(target).path()).entryList(QDir::Files | QDir::Hidden),
             toLetter ? QStringList() : QStringList{"doc.txt"});
}

void LibraryChangesTest::shutdownYesRunsSave_data()
{
    QTest::addColumn<QString>("ending");
    QTest::newRow("nominal: Yes, then the file overwritten") << "saved";
    QTest::newRow("nominal: No, the edits dropped") << "dropped";
    QTest::newRow("robustness: Cancel keeps the window") << "cancelled";
    QTest::newRow("robustness: Yes, overwrite declined and Save As cancelled") << "not saved";
    QTest::newRow("robustness: Yes, the write fails") << "failed";
}

void LibraryChangesTest::shutdownYesRunsSave()
{
    QFETCH(QString, ending);
    start();
    MainWindow& w = window();
    useProgramDirectory({{"doc.txt", "old"}});
    open(programFile("doc.txt"));
    w.RTB->setText(QStringLiteral("changed"));
    w.show();
    const MsgAnswer answer = ending == "dropped"     ? MsgAnswer::No
                             : ending == "cancelled" ? MsgAnswer::Cancel
                                                     : MsgAnswer::Yes;
    platform->messages.expect(QStringLiteral("Current file has been modified.  Save changes?"),
                              notice, MsgButtons::YesNoCancel, MsgIcon::None, answer);
    if (answer == MsgAnswer::Yes)
        platform->messages.expect(QStringLiteral("You will overwrite current file at '") +
                                      programFile("doc.txt") +
                                      QStringLiteral("' and it is unreversible, proceed?"),
                                  notice, MsgButtons::YesNo, MsgIcon::None,
                                  ending == "not saved" ? MsgAnswer::No : MsgAnswer::Yes);
    if (ending == "saved") {
        platform->messages.expect(QStringLiteral("File Saved!"), notice, MsgButtons::Ok,
                                  MsgIcon::None);
    } else if (ending == "not saved") {
        platform->dialogs.saveAnswers.push_back(std::nullopt);
        platform->messages.expect(QStringLiteral("File not Saved!"), notice, MsgButtons::Ok,
                                  MsgIcon::None);
    } else if (ending == "failed") {
        platform->messages.expect(
            QStringLiteral("Cannot write %1: File too large\n\nThe document has not been saved.")
                .arg(programFile("doc.txt")),
            notice, MsgButtons::Ok, MsgIcon::Exclamation);
    }
    bool closed = false;
    {
        std::optional<test::FileSizeLimit> limit;
        if (ending == "failed")
            limit.emplace(4);
        closed = w.close();
    }

    const bool ends = ending == "saved" || ending == "dropped";
    QCOMPARE(closed, ends);
    QCOMPARE(w.isVisible(), !ends);
    QCOMPARE(bytesOf(programFile("doc.txt")),
             ending == "saved" ? QByteArray("changed") : QByteArray("old"));
    // A window kept open keeps its document, and the library stays open for it.
    QCOMPARE(library->bytes().left(15),
             ends ? QByteArray("Brightquill2006") : QByteArray("SQLite format 3"));
    if (!ends) {
        QCOMPARE(w.RTB->Text(), QStringLiteral("changed"));
        QVERIFY(w.DocumentModified);
    }
}

QTEST_MAIN(LibraryChangesTest)
#include "test_librarychanges.moc"
