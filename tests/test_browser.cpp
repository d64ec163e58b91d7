#include "FakeServices.h"
#include "LibraryWindowDouble.h"
#include "TestLibrary.h"
#include "WidgetContents.h"
#include "app/Letterwright.h"
#include "editor/LetterEditor.h"
#include "library/DataFile.h"
#include "library/LibraryBrowser.h"
#include "library/modMain.h"
#include "mainwindow/MainWindow.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace lw;
using test::entries;

namespace {

const QString noHitText = QStringLiteral("No letter containing the keyword(s) found!");

} // namespace

class BrowserTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void choosingSubjectShowsFirstLetter();
    void favoriteChoiceShowsLetter();
    void titleWithQuoteIsShown();
    void modifiedDocumentAskedBeforeAnotherLetter_data();
    void modifiedDocumentAskedBeforeAnotherLetter();
    void categoryWithoutLetters();
    void search_data();
    void search();
    void refreshAfterSearch();
    void choosingTheChosenCategoryAgain_data();
    void choosingTheChosenCategoryAgain();
    void clickingTheHighlightedTitle_data();
    void clickingTheHighlightedTitle();
    void addFavorite();
    void removeFavorite();
    void clearFavorites_data();
    void clearFavorites();
    void largeCategoryCountsRight();
    void everyControlHasAccessibleName();
    void browsesWithoutMainWindow();

private:
    MainWindow& window() { return *program->mainWindow(); }
    void start(const LibraryContents& contents = test::TestLibrary::sample());
    void choose(QListWidget* list, const QString& title);
    QStringList favoritesInFile() const;

    std::unique_ptr<test::TestLibrary> library;
    std::unique_ptr<test::FakePlatform> platform;
    std::unique_ptr<Letterwright> program;
};

void BrowserTest::init()
{
    library = std::make_unique<test::TestLibrary>();
    platform = std::make_unique<test::FakePlatform>();
}

void BrowserTest::cleanup()
{
    program.reset();
    platform.reset();
    library.reset();
}

void BrowserTest::start(const LibraryContents& contents)
{
    library->create(contents);
    program = std::make_unique<Letterwright>();
    QVERIFY(program->StartUp());
}

void BrowserTest::choose(QListWidget* list, const QString& title)
{
    const auto found = list->findItems(title, Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    list->setCurrentItem(found.first());
}

QStringList BrowserTest::favoritesInFile() const
{
    QStringList titles;
    for (const LetterRecord& letter : library->contents().letters) {
        if (letter.favorite)
            titles.append(letter.title);
    }
    return titles;
}

void BrowserTest::choosingSubjectShowsFirstLetter()
{
    start();
    MainWindow& w = window();
    w.Cmb[0]->setCurrentIndex(1);
    QCOMPARE(w.Cmb[1]->currentText(), QStringLiteral("Thanks"));
    QCOMPARE(entries(w.lstBx[0]), QStringList{"Élan Award"});
    QCOMPARE(w.panelText(1), QStringLiteral("Current Letter: Élan Award"));
    QCOMPARE(w.RTB->Text(), QStringLiteral("Merci à Ärzte."));
    QCOMPARE(w.lblTxt[3]->text(), QStringLiteral("This category includes 1 letter(s)."));
    QVERIFY(!w.DocumentModified);

    w.Cmb[0]->setCurrentIndex(0);
    w.Cmb[1]->setCurrentIndex(1);
    QCOMPARE(entries(w.lstBx[0]), QStringList{"First Order"});
    QCOMPARE(w.RTB->Text(), QStringLiteral("Please send 10% more."));
}

void BrowserTest::favoriteChoiceShowsLetter()
{
    start();
    MainWindow& w = window();
    choose(w.lstBx[1], QStringLiteral("Élan Award"));
    QCOMPARE(w.panelText(1), QStringLiteral("Current Letter: Élan Award"));
    QCOMPARE(w.lstBx[0]->currentItem()->text(), QStringLiteral("Damaged Goods"));
    // Choosing the favourite that is already current shows it again after another letter.
    choose(w.lstBx[0], QStringLiteral("Late Delivery"));
    QCOMPARE(w.panelText(1), QStringLiteral("Current Letter: Late Delivery"));
    const QListWidgetItem* item = w.lstBx[1]->currentItem();
    QTest::mouseClick(w.lstBx[1]->viewport(), Qt::LeftButton, {},
                      w.lstBx[1]->visualItemRect(item).center());
    QCOMPARE(w.panelText(1), QStringLiteral("Current Letter: Élan Award"));
}

void BrowserTest::titleWithQuoteIsShown()
{
    start();
    MainWindow& w = window();
    choose(w.lstBx[0], QStringLiteral("O'Neil's Refund"));
    QCOMPARE(w.RTB->Text(), QStringLiteral("Refund for 'O'Neil'."));
    QCOMPARE(w.panelText(1), QStringLiteral("Current Letter: O'Neil's Refund"));
}

void BrowserTest::modifiedDocumentAskedBeforeAnotherLetter_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("saveAsCancelled");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("nominal: Yes saves, then the letter is shown")
        << int(MsgAnswer::Yes) << false << true;
    QTest::newRow("nominal: No drops the edits") << int(MsgAnswer::No) << false << true;
    QTest::newRow("robustness: Cancel keeps the document")
        << int(MsgAnswer::Cancel) << false << false;
    QTest::newRow("robustness: a save that did not happen keeps the document")
        << int(MsgAnswer::Yes) << true << false;
}

void BrowserTest::modifiedDocumentAskedBeforeAnotherLetter()
{
    QFETCH(int, answer);
    QFETCH(bool, saveAsCancelled);
    QFETCH(bool, replaced);
    start();
    MainWindow& w = window();
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString saved = dir.filePath(QStringLiteral("mine.txt"));
    w.RTB->setSelStart(0);
    QTest::keyClicks(w.RTB->textEdit(), QStringLiteral("My own changes. "));
    const QString edited = w.RTB->Text();
    QVERIFY(edited.startsWith(QStringLiteral("My own changes. Dear Madam")));
    QVERIFY(w.DocumentModified);
    platform->messages.expect(QStringLiteral("The current file has been modified.  Save changes?"),
                              QStringLiteral("Notice"), MsgButtons::YesNoCancel, MsgIcon::None,
                              MsgAnswer(answer));
    if (answer == int(MsgAnswer::Yes)) {
        // No file yet: Save runs Save As.
        if (saveAsCancelled) {
            platform->dialogs.saveAnswers.push_back(std::nullopt);
            platform->messages.expect(QStringLiteral("File not Saved!"), QStringLiteral("Notice"),
                                      MsgButtons::Ok, MsgIcon::None);
        } else {
            platform->dialogs.saveAnswers.push_back(saved);
            platform->messages.expect(QStringLiteral("File Saved!"), QStringLiteral("Notice"),
                                      MsgButtons::Ok, MsgIcon::Information);
        }
    }
    choose(w.lstBx[0], QStringLiteral("Late Delivery"));

    if (replaced) {
        QCOMPARE(w.RTB->Text(), QStringLiteral("Dear Sir,\nThe goods came late."));
        QCOMPARE(w.panelText(1), QStringLiteral("Current Letter: Late Delivery"));
        QVERIFY(!w.DocumentModified);
    } else {
        QCOMPARE(w.RTB->Text(), edited);
        QCOMPARE(w.panelText(1), QStringLiteral("Current Letter: Damaged Goods"));
        QVERIFY(w.DocumentModified);
        // The list marks the letter the editor still shows.
        QCOMPARE(w.library().selectedTitle(0), QStringLiteral("Damaged Goods"));
    }
    QCOMPARE(QFile::exists(saved), answer == int(MsgAnswer::Yes) && !saveAsCancelled);
}

void BrowserTest::categoryWithoutLetters()
{
    LibraryContents contents = test::TestLibrary::sample();
    contents.subjects[0].second.append(QStringLiteral("Empty"));
    start(contents);
    MainWindow& w = window();
    const QString shown = w.RTB->Text();
    w.Cmb[1]->setCurrentIndex(w.Cmb[1]->findText(QStringLiteral("Empty")));
    QCOMPARE(w.lstBx[0]->count(), 0);
    QCOMPARE(w.lblTxt[3]->text(), QStringLiteral("This category includes 0 letter(s)."));
    QCOMPARE(w.RTB->Text(), shown);
    // A subject with no categories leaves the letter list as it was.
    w.Cmb[1]->setCurrentIndex(0);
    w.Cmb[0]->setCurrentIndex(2);
    QCOMPARE(w.Cmb[1]->count(), 0);
    QCOMPARE(w.lstBx[0]->count(), 3);
}

void BrowserTest::search_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("nominal: initial text has no hit")
        << "Please input your keyword(s)" << QStringList();
    QTest::newRow("nominal: empty box lists all")
        << ""
        << QStringList{"Damaged Goods", "Élan Award", "First Order", "Late Delivery",
                       "O'Neil's Refund"};
    QTest::newRow("nominal: capitals") << "DAMAGED" << QStringList{"Damaged Goods"};
    QTest::newRow("nominal: accented capitals") << "ÉLAN" << QStringList{"Élan Award"};
    QTest::newRow("robustness: quote") << "o'neil" << QStringList{"O'Neil's Refund"};
    QTest::newRow("robustness: percent is a pattern")
        << "f%d" << QStringList{"First Order", "O'Neil's Refund"};
    QTest::newRow("edge: blanks stay part of the text") << " award " << QStringList();
}

void BrowserTest::search()
{
    QFETCH(QString, text);
    QFETCH(QStringList, found);
    start();
    MainWindow& w = window();
    const QString countLine = w.lblTxt[3]->text();
    const QString shown = w.RTB->Text();
    w.testSearch->setText(text);
    if (found.isEmpty())
        platform->messages.expect(noHitText, QStringLiteral("Search failed"), MsgButtons::Ok,
                                  MsgIcon::None);
    w.cmdBtn[3]->click();
    QCOMPARE(entries(w.lstBx[0]), found);
    QCOMPARE(modMain().SearchText, text);
    QCOMPARE(w.lstBx[0]->currentRow(), -1);
    QCOMPARE(w.RTB->Text(), shown);
    QCOMPARE(w.lblTxt[3]->text(),
             found.isEmpty()
                 ? countLine
                 : QString::number(found.size()) + " letters containing the keyword(s) found.");
    QCOMPARE(w.Cmb[0]->currentText(), QStringLiteral("Business"));
}

void BrowserTest::refreshAfterSearch()
{
    start();
    MainWindow& w = window();
    w.testSearch->setText(QString());
    w.cmdBtn[3]->click();
    QCOMPARE(w.lstBx[0]->count(), 5);
    w.cmdBtn[2]->click();
    QCOMPARE(entries(w.lstBx[0]),
             (QStringList{"Damaged Goods", "Late Delivery", "O'Neil's Refund"}));
    QCOMPARE(w.lblTxt[3]->text(), QStringLiteral("This category includes 3 letter(s)."));
}

void BrowserTest::choosingTheChosenCategoryAgain_data()
{
    QTest::addColumn<bool>("searched");
    QTest::addColumn<int>("box");
    QTest::newRow("nominal: after a search, the category brings its letters back") << true << 1;
    QTest::newRow("nominal: after a search, the subject brings its letters back") << true << 0;
    QTest::newRow("edge: without a search, the list and the letter stay") << false << 1;
}

void BrowserTest::choosingTheChosenCategoryAgain()
{
    QFETCH(bool, searched);
    QFETCH(int, box);
    start();
    MainWindow& w = window();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QStringList complaints{"Damaged Goods", "Late Delivery", "O'Neil's Refund"};
    choose(w.lstBx[0], QStringLiteral("Late Delivery"));
    w.RTB->setSelStart(0);
    w.RTB->setSelText(QStringLiteral("Edited: "));
    if (searched) {
        w.testSearch->setText(QStringLiteral("o"));
        w.cmdBtn[3]->click();
        QVERIFY(entries(w.lstBx[0]) != complaints);
    }
    const int index = w.Cmb[box]->currentIndex();
    if (searched)
        // The refill shows the category's first letter in place of the edited one: after asking.
        platform->messages.expect(
            QStringLiteral("The current file has been modified.  Save changes?"),
            QStringLiteral("Notice"), MsgButtons::YesNoCancel, MsgIcon::None, MsgAnswer::No);

    // The user opens the list and takes the entry that is already chosen.
    w.Cmb[box]->showPopup();
    QAbstractItemView* popup = w.Cmb[box]->view();
    QTRY_VERIFY(popup->isVisible());
    QTest::keyClick(popup, Qt::Key_Return);
    QTRY_VERIFY(!popup->isVisible());

    QCOMPARE(w.Cmb[box]->currentIndex(), index);
    QCOMPARE(entries(w.lstBx[0]), complaints);
    QCOMPARE(w.lblTxt[3]->text(), QStringLiteral("This category includes 3 letter(s)."));
    if (searched) {
        QCOMPARE(w.lstBx[0]->currentRow(), 0);
        QCOMPARE(w.panelText(1), QStringLiteral("Current Letter: Damaged Goods"));
    } else {
        QCOMPARE(w.lstBx[0]->currentItem()->text(), QStringLiteral("Late Delivery"));
        QVERIFY(w.RTB->Text().startsWith(QStringLiteral("Edited: ")));
    }
}

void BrowserTest::clickingTheHighlightedTitle_data()
{
    QTest::addColumn<QString>("meanwhile");
    QTest::addColumn<bool>("shownAgain");
    QTest::newRow("nominal: after File > Open the letter shows again") << "open" << true;
    QTest::newRow("nominal: after a long file opened behind a progress window too")
        << "open long" << true;
    QTest::newRow("edge: the letter on display, edited, stays as edited") << "edit" << false;
    QTest::newRow("edge: new text over all of it is an edit too") << "replace" << false;
}

void BrowserTest::clickingTheHighlightedTitle()
{
    QFETCH(QString, meanwhile);
    QFETCH(bool, shownAgain);
    start();
    MainWindow& w = window();
    const QString letter = QStringLiteral("Dear Madam,\nThe box was crushed.");
    QCOMPARE(w.RTB->Text(), letter);
    if (meanwhile.startsWith(QLatin1String("open"))) {
        // A long one is read into a document of its own, which takes the editor's place.
        const bool longFile = meanwhile == QLatin1String("open long");
        QByteArray content = "A file of my own";
        if (longFile)
            content = "{\\rtf1\\ansi " + content + QByteArray("\\par more").repeated(40000) + "}";
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("mine.rtf"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        platform->dialogs.openAnswers.push_back(QStringList{path});
        w.OpenDocument();
        QVERIFY(w.RTB->Text().startsWith(QStringLiteral("A file of my own")));
        QCOMPARE(platform->progress.jobs.size(), longFile ? 1 : 0);
    } else if (meanwhile == QLatin1String("replace")) {
        w.RTB->setSelStart(0);
        w.RTB->setSelLength(w.RTB->TextLength());
        w.RTB->setSelText(QStringLiteral("Something else"));
    } else {
        w.RTB->setSelStart(0);
        w.RTB->setSelText(QStringLiteral("Edited: "));
    }
    const QString before = w.RTB->Text();
    // A file opened in its place: the status bar no longer names the letter. Edited, it is still
    // that letter.
    QCOMPARE(w.panelText(1),
             shownAgain ? QString() : QStringLiteral("Current Letter: Damaged Goods"));

    const QListWidgetItem* item = w.lstBx[0]->currentItem();
    QCOMPARE(item->text(), QStringLiteral("Damaged Goods"));
    QTest::mouseClick(w.lstBx[0]->viewport(), Qt::LeftButton, {},
                      w.lstBx[0]->visualItemRect(item).center());

    QCOMPARE(w.RTB->Text(), shownAgain ? letter : before);
    QCOMPARE(w.DocumentModified, !shownAgain);
    QCOMPARE(w.panelText(1), QStringLiteral("Current Letter: Damaged Goods"));
}

void BrowserTest::addFavorite()
{
    start();
    MainWindow& w = window();
    // Already a favourite: nothing changes, nothing is shown.
    w.cmdBtn[4]->click();
    QCOMPARE(entries(w.lstBx[1]), (QStringList{"Damaged Goods", "Élan Award"}));

    choose(w.lstBx[0], QStringLiteral("O'Neil's Refund"));
    w.cmdBtn[4]->click();
    w.cmdBtn[4]->click();
    QCOMPARE(entries(w.lstBx[1]), (QStringList{"Damaged Goods", "Élan Award", "O'Neil's Refund"}));
    QCOMPARE(w.Label5->text(), QStringLiteral("3 letter(s) are included in My Favorite list."));
    QCOMPARE(w.lstBx[1]->currentRow(), 0);
    QCOMPARE(w.panelText(1), QStringLiteral("Current Letter: Damaged Goods"));
    QCOMPARE(favoritesInFile(), (QStringList{"Damaged Goods", "O'Neil's Refund", "Élan Award"}));
    QVERIFY(platform->messages.shown.isEmpty());
}

void BrowserTest::removeFavorite()
{
    start();
    MainWindow& w = window();
    choose(w.lstBx[1], QStringLiteral("Élan Award"));
    w.cmdBtn[5]->click();
    QCOMPARE(entries(w.lstBx[1]), QStringList{"Damaged Goods"});
    QCOMPARE(w.Label5->text(), QStringLiteral("1 letter(s) are included in My Favorite list."));
    QCOMPARE(favoritesInFile(), QStringList{"Damaged Goods"});
    QCOMPARE(library->contents().letters.size(), 5);
}

void BrowserTest::clearFavorites_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("answered Yes") << true;
    QTest::newRow("answered No") << false;
}

void BrowserTest::clearFavorites()
{
    QFETCH(bool, yes);
    start();
    MainWindow& w = window();
    const QString shown = w.RTB->Text();
    platform->messages.expect(
        QStringLiteral(
            "It will clear My Favorite but won't delete letters from this program, proceed?"),
        QStringLiteral("Notice"), MsgButtons::YesNo, MsgIcon::None,
        yes ? MsgAnswer::Yes : MsgAnswer::No);
    w.cmdBtn[6]->click();
    if (yes) {
        QCOMPARE(w.lstBx[1]->count(), 0);
        QCOMPARE(w.Label5->text(), QStringLiteral("0 letter(s) are included in My Favorite list."));
        QCOMPARE(favoritesInFile(), QStringList());
    } else {
        QCOMPARE(w.lstBx[1]->count(), 2);
        QCOMPARE(favoritesInFile(), (QStringList{"Damaged Goods", "Élan Award"}));
    }
    QCOMPARE(w.RTB->Text(), shown);
}

void BrowserTest::largeCategoryCountsRight()
{
    LibraryContents contents;
    contents.subjects = {{QStringLiteral("Bulk"), {QStringLiteral("Many")}}};
    for (int i = 0; i < 40000; ++i)
        contents.letters.append({0, QStringLiteral("Letter %1").arg(i, 5, 10, QLatin1Char('0')),
                                 QStringLiteral("Bulk"), QStringLiteral("Many"),
                                 QStringLiteral("Body"), QString(), 0});
    start(contents);
    QCOMPARE(window().lstBx[0]->count(), 40000);
    QCOMPARE(window().lblTxt[3]->text(), QStringLiteral("This category includes 40000 letter(s)."));
}

void BrowserTest::everyControlHasAccessibleName()
{
    start();
    const auto widgets = window().findChildren<QWidget*>();
    for (const QWidget* widget : widgets) {
        const bool interactive = qobject_cast<const QAbstractButton*>(widget) ||
                                 qobject_cast<const QComboBox*>(widget) ||
                                 qobject_cast<const QListWidget*>(widget) ||
                                 qobject_cast<const QLineEdit*>(widget);
        // Qt's own helpers (a menu bar's overflow button) are not controls of the window.
        if (!interactive || widget->objectName().startsWith(QLatin1String("qt_")) ||
            (widget->parent() && qobject_cast<QComboBox*>(widget->parent())))
            continue;
        const QString name = widget->accessibleName();
        const auto* button = qobject_cast<const QAbstractButton*>(widget);
        QVERIFY2(!name.isEmpty() || (button && !button->text().isEmpty()) ||
                     !widget->toolTip().isEmpty(),
                 qPrintable(widget->metaObject()->className() + QStringLiteral(" ") +
                            widget->objectName()));
    }
}

// The library's commands need only the small window interface, not the main window.
void BrowserTest::browsesWithoutMainWindow()
{
    library->create();
    modMain().DataFilePath = library->dataFilePath();
    modMain().ConnectionString = datafile::connectionString(library->dataFilePath());
    QVERIFY(datafile::restoreSignature(library->dataFilePath(), nullptr));
    test::LibraryWindowDouble w;

    w.browser.FillSubjects();
    w.browser.FillCategories();
    w.browser.FillLetters();
    QCOMPARE(w.subjects->currentText(), QStringLiteral("Business"));
    QCOMPARE(entries(w.lists[0]),
             (QStringList{"Damaged Goods", "Late Delivery", "O'Neil's Refund"}));
    QCOMPARE(w.letterCount->text(), QStringLiteral("This category includes 3 letter(s)."));

    choose(w.lists[0], QStringLiteral("O'Neil's Refund"));
    w.browser.lstBx_Click(0);
    QCOMPARE(w.shownTitle, QStringLiteral("Current Letter: O'Neil's Refund"));
    QCOMPARE(w.editorBox->Text(), QStringLiteral("Refund for 'O'Neil'."));
    QVERIFY(!w.modified);

    platform->messages.expect(
        QStringLiteral("You will delete the letter 'O'Neil's Refund' and it is unreversible, "
                       "proceed?"),
        QStringLiteral("Notice"), MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes);
    w.browser.cmdBtn_Click(1);
    QCOMPARE(entries(w.lists[0]), (QStringList{"Damaged Goods", "Late Delivery"}));
    QCOMPARE(library->contents().letters.size(), 4);
}

QTEST_MAIN(BrowserTest)
#include "test_browser.moc"
