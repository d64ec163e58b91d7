#include "FakeServices.h"
#include "TestLibrary.h"
#include "editor/LetterEditor.h"
#include "editor/SpellChecker.h"
#include "editor/SpellingDictionaries.h"
#include "editor/SpellingMarks.h"
#include "editor/SpellingSettings.h"
#include "library/DataFile.h"
#include "library/modMain.h"
#include "mainwindow/CommandDispatcher.h"
#include "mainwindow/CommandTables.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MenuBarControl.h"
#include "mainwindow/PopupMenuControl.h"
#include "mainwindow/SpellingCommands.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>

using namespace lw;

namespace {

// The pieces of text drawn with a wavy underline over them.
QStringList wavyPieces(const LetterEditor& box)
{
    QStringList pieces;
    const auto selections = box.textEdit()->extraSelections();
    for (const QTextEdit::ExtraSelection& selection : selections) {
        if (selection.format.underlineStyle() == QTextCharFormat::WaveUnderline)
            pieces.append(selection.cursor.selectedText());
    }
    return pieces;
}

// A menu's entries as the user reads them: captions, "-" for a separator, "(off)" after an
// item that cannot be chosen, "(on)" after a ticked one.
QStringList entriesOf(const QMenu* menu)
{
    QStringList entries;
    const auto actions = menu->actions();
    for (const QAction* action : actions) {
        if (action->isSeparator()) {
            entries.append(QStringLiteral("-"));
            continue;
        }
        QString entry = action->text();
        if (!action->isEnabled())
            entry += QStringLiteral(" (off)");
        if (action->isChecked())
            entry += QStringLiteral(" (on)");
        entries.append(entry);
    }
    return entries;
}

QAction* actionNamed(const QMenu* menu, const QString& caption)
{
    const auto actions = menu->actions();
    for (QAction* action : actions) {
        if (action->text() == caption)
            return action;
    }
    return nullptr;
}

const QStringList usualPopup = {"&Undo",  "-",        "Cu&t",        "&Copy",
                                "&Paste", "-",        "&Delete",     "Select &All",
                                "-",      "&Find...", "&Replace...", "&Go To..."};

} // namespace

// Spelling as the main window offers it: the popup's suggestions, the Format menu's language and
// on/off items, the settings and the personal word list across restarts.
class SpellingMenuTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void popupOffersSuggestionsOnAMisspeltWord();
    void popupOnACorrectWordHasItsUsualItems();
    void suggestionKeepsTheWordsFormatAsOneUndoStep();
    void suggestionForAWordChangedMeanwhileChangesNothing();
    void menuKeyOpensThePopupAtTheCaret();
    void addedWordStaysUnderlinedNoMoreAfterARestart();
    void addedWordThatCannotBeSavedCountsForThisRun();
    void ignoreAllLastsOneRun();
    void languageChoiceIsKept();
    void checkingSwitchedOffIsKept();
    void noDictionaryInstalled();
    void showingALetterLeavesItUnmodified();

private:
    void start();
    void restart();
    SpellingCommands& spelling() { return mail->dispatcher().spelling(); }
    // Gives the editor the text and waits until it is checked.
    void show(const QString& text);
    void rightClick(int position);
    QMenu* popup() const { return mail->mnuPopup->menu(QString::fromLatin1(popupMenuKey)); }
    QMenu* languages() const
    {
        return mail->MenuBar->menu(QString::fromLatin1(spellingLanguageMenuKey));
    }
    QString wordsFile() const
    {
        return library->dataHome() + QStringLiteral("/letterwright/words.txt");
    }

    std::unique_ptr<test::TestLibrary> library;
    std::unique_ptr<test::FakePlatform> platform;
    std::unique_ptr<MainWindow> mail;
};

void SpellingMenuTest::init()
{
    library = std::make_unique<test::TestLibrary>();
    platform = std::make_unique<test::FakePlatform>();
    library->create();
    modMain().DataFilePath = library->dataFilePath();
    modMain().ConnectionString = datafile::connectionString(library->dataFilePath());
    QVERIFY(datafile::restoreSignature(library->dataFilePath(), nullptr));
}

void SpellingMenuTest::cleanup()
{
    mail.reset();
    platform->messages.verifyDone();
    platform.reset();
    library.reset();
}

void SpellingMenuTest::start()
{
    mail = std::make_unique<MainWindow>();
    mail->InitMainWindow();
    mail->show();
    QVERIFY(QTest::qWaitForWindowExposed(mail.get()));
    // The first focus switches the Format menu on.
    mail->RTB_GotFocus();
}

void SpellingMenuTest::restart()
{
    mail.reset();
    start();
}

void SpellingMenuTest::show(const QString& text)
{
    if (!spelling().dictionaries().isEmpty())
        QTRY_VERIFY(spelling().checker().isReady());
    mail->RTB->setText(text);
    spelling().marks().finish();
}

void SpellingMenuTest::rightClick(int position)
{
    QTextEdit* edit = mail->RTB->textEdit();
    QTextCursor at(edit->document());
    at.setPosition(position + 1);
    const QRect caret = edit->cursorRect(at);
    QTest::mouseClick(edit->viewport(), Qt::RightButton, {}, caret.center());
    QTRY_VERIFY(popup()->isVisible());
}

void SpellingMenuTest::popupOffersSuggestionsOnAMisspeltWord()
{
    start();
    show(QStringLiteral("We recieve your paymnet."));
    QCOMPARE(wavyPieces(*mail->RTB), QStringList({"recieve", "paymnet"}));
    rightClick(3);
    QStringList expected{"receive", "recipient", "-", "Add to Dictionary", "Ignore All", "-"};
    QCOMPARE(entriesOf(popup()), expected + usualPopup);
    actionNamed(popup(), QStringLiteral("receive"))->trigger();
    popup()->hide();
    QCOMPARE(mail->RTB->Text(), QStringLiteral("We receive your paymnet."));
    QVERIFY(mail->DocumentModified);
    spelling().marks().finish();
    QCOMPARE(wavyPieces(*mail->RTB), QStringList({"paymnet"}));

    rightClick(int(mail->RTB->Text().indexOf(QStringLiteral("paymnet"))));
    expected = QStringList{"payment", "-", "Add to Dictionary", "Ignore All", "-"};
    QCOMPARE(entriesOf(popup()), expected + usualPopup);
    actionNamed(popup(), QStringLiteral("payment"))->trigger();
    popup()->hide();
    QCOMPARE(mail->RTB->Text(), QStringLiteral("We receive your payment."));
    spelling().marks().finish();
    QCOMPARE(wavyPieces(*mail->RTB), QStringList());
    // The popup's own items still do what they did.
    rightClick(0);
    QCOMPARE(entriesOf(popup()), usualPopup);
}

void SpellingMenuTest::popupOnACorrectWordHasItsUsualItems()
{
    start();
    show(QStringLiteral("We recieve your paymnet.\n\nzzzzqqqq"));
    rightClick(3);
    QCOMPARE(entriesOf(popup()).size(), usualPopup.size() + 6);
    popup()->hide();
    // On a correct word, on empty space and on a word without suggestions.
    rightClick(0);
    QCOMPARE(entriesOf(popup()), usualPopup);
    popup()->hide();
    rightClick(int(mail->RTB->Text().indexOf(QStringLiteral("zzzz"))));
    const QStringList expected{"No Suggestions (off)", "-", "Add to Dictionary", "Ignore All", "-"};
    QCOMPARE(entriesOf(popup()), expected + usualPopup);
    popup()->hide();
}

void SpellingMenuTest::suggestionKeepsTheWordsFormatAsOneUndoStep()
{
    start();
    show(QStringLiteral("We recieve your paymnet."));
    LetterEditor& box = *mail->RTB;
    box.setSelStart(3);
    box.setSelLength(7);
    box.setSelBold(true);
    box.setSelItalic(true);
    box.setSelStart(0);
    spelling().marks().finish();
    rightClick(5);
    actionNamed(popup(), QStringLiteral("receive"))->trigger();
    popup()->hide();
    QCOMPARE(box.Text(), QStringLiteral("We receive your paymnet."));
    box.setSelStart(3);
    box.setSelLength(7);
    QCOMPARE(box.SelBold(), std::optional<bool>(true));
    QCOMPARE(box.SelItalic(), std::optional<bool>(true));
    box.setSelStart(11);
    box.setSelLength(4);
    QCOMPARE(box.SelBold(), std::optional<bool>(false));
    // One undo step brings the misspelt word back, still bold.
    box.setSelStart(0);
    box.undo();
    QCOMPARE(box.Text(), QStringLiteral("We recieve your paymnet."));
    box.setSelStart(3);
    box.setSelLength(7);
    QCOMPARE(box.SelBold(), std::optional<bool>(true));
}

void SpellingMenuTest::suggestionForAWordChangedMeanwhileChangesNothing()
{
    start();
    show(QStringLiteral("We recieve your paymnet."));
    rightClick(3);
    QAction* receive = actionNamed(popup(), QStringLiteral("receive"));
    popup()->hide();
    mail->RTB->setText(QStringLiteral("Totally different text here."));
    receive->trigger();
    QCOMPARE(mail->RTB->Text(), QStringLiteral("Totally different text here."));
}

void SpellingMenuTest::menuKeyOpensThePopupAtTheCaret()
{
    start();
    show(QStringLiteral("We recieve your paymnet."));
    mail->RTB->setSelStart(10);
    QTest::keyClick(mail->RTB->textEdit(), Qt::Key_Menu);
    QTRY_VERIFY(popup()->isVisible());
    QCOMPARE(entriesOf(popup()).value(0), QStringLiteral("receive"));
    popup()->hide();
    mail->RTB->setSelStart(0);
    QTest::keyClick(mail->RTB->textEdit(), Qt::Key_F10, Qt::ShiftModifier);
    QTRY_VERIFY(popup()->isVisible());
    QCOMPARE(entriesOf(popup()), usualPopup);
    popup()->hide();
    QCOMPARE(mail->RTB->Text(), QStringLiteral("We recieve your paymnet."));
}

void SpellingMenuTest::addedWordStaysUnderlinedNoMoreAfterARestart()
{
    start();
    show(QStringLiteral("Brightquill: we recieve your paymnet."));
    QCOMPARE(wavyPieces(*mail->RTB), QStringList({"Brightquill", "recieve", "paymnet"}));
    rightClick(2);
    actionNamed(popup(), QStringLiteral("Add to Dictionary"))->trigger();
    popup()->hide();
    spelling().marks().finish();
    QCOMPARE(wavyPieces(*mail->RTB), QStringList({"recieve", "paymnet"}));
    QFile words(wordsFile());
    QVERIFY(words.open(QIODevice::ReadOnly));
    QCOMPARE(words.readAll(), QByteArray("Brightquill\n"));
    words.close();

    restart();
    show(QStringLiteral("Brightquill and BRIGHTQUILL: we recieve your paymnet."));
    QCOMPARE(wavyPieces(*mail->RTB), QStringList({"recieve", "paymnet"}));
}

void SpellingMenuTest::addedWordThatCannotBeSavedCountsForThisRun()
{
    QVERIFY(QDir().mkpath(wordsFile()));
    start();
    show(QStringLiteral("Brightquill: we recieve your paymnet."));
    rightClick(2);
    platform->messages.expect(
        QStringLiteral("Cannot read %1: it is not a file\n\n\"Brightquill\" is not marked as "
                       "misspelt until Letterwright is closed.")
            .arg(QDir::toNativeSeparators(wordsFile())),
        QStringLiteral("Add to Dictionary"), MsgButtons::Ok, MsgIcon::Exclamation);
    actionNamed(popup(), QStringLiteral("Add to Dictionary"))->trigger();
    popup()->hide();
    platform->messages.verifyDone();
    spelling().marks().finish();
    QCOMPARE(wavyPieces(*mail->RTB), QStringList({"recieve", "paymnet"}));
    QVERIFY(QFileInfo(wordsFile()).isDir());
}

void SpellingMenuTest::ignoreAllLastsOneRun()
{
    start();
    show(QStringLiteral("We recieve your paymnet.\nWe recieve it, we RECIEVE it."));
    rightClick(4);
    actionNamed(popup(), QStringLiteral("Ignore All"))->trigger();
    popup()->hide();
    spelling().marks().finish();
    QCOMPARE(wavyPieces(*mail->RTB), QStringList({"paymnet"}));
    QVERIFY(!QFile::exists(wordsFile()));
    restart();
    show(QStringLiteral("We recieve your paymnet."));
    QCOMPARE(wavyPieces(*mail->RTB), QStringList({"recieve", "paymnet"}));
}

void SpellingMenuTest::languageChoiceIsKept()
{
    start();
    QCOMPARE(entriesOf(languages()),
             QStringList({"English (United Kingdom)", "English (United States) (on)"}));
    show(QStringLiteral("The color and the colour."));
    QCOMPARE(wavyPieces(*mail->RTB), QStringList({"colour"}));
    actionNamed(languages(), QStringLiteral("English (United Kingdom)"))->trigger();
    QCOMPARE(entriesOf(languages()),
             QStringList({"English (United Kingdom) (on)", "English (United States)"}));
    QCOMPARE(spelling().checker().dictionary().name, QStringLiteral("en_GB"));
    // Read in the background; the underlines follow.
    QTRY_COMPARE(wavyPieces(*mail->RTB), QStringList({"color"}));
    const QSettings settings(SpellingSettings::settingsPath(), QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("Spelling/Language")).toString(),
             QStringLiteral("en_GB"));
    // In the tests' own config home, never the real one.
    QVERIFY(!qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME"));
    QVERIFY(SpellingSettings::settingsPath().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")));

    // Choosing the language in use again leaves it chosen.
    actionNamed(languages(), QStringLiteral("English (United Kingdom)"))->trigger();
    QCOMPARE(entriesOf(languages()),
             QStringList({"English (United Kingdom) (on)", "English (United States)"}));

    restart();
    QCOMPARE(entriesOf(languages()),
             QStringList({"English (United Kingdom) (on)", "English (United States)"}));
    show(QStringLiteral("The color and the colour."));
    QCOMPARE(wavyPieces(*mail->RTB), QStringList({"color"}));
}

void SpellingMenuTest::checkingSwitchedOffIsKept()
{
    start();
    MenuBarControl& bar = *mail->MenuBar;
    const QString format = QStringLiteral("mnuFormat");
    const QString check = QStringLiteral("Check_Spelling");
    QAction* item = bar.item(format, check);
    QVERIFY(item);
    QCOMPARE(item->text(), QStringLiteral("Check &Spelling as You Type"));
    QVERIFY(item->isEnabled());
    QVERIFY(bar.isItemChecked(format, check));
    show(QStringLiteral("We recieve your paymnet."));
    QCOMPARE(wavyPieces(*mail->RTB).size(), 2);
    item->trigger();
    QVERIFY(!bar.isItemChecked(format, check));
    spelling().marks().finish();
    QCOMPARE(wavyPieces(*mail->RTB), QStringList());
    rightClick(3);
    QCOMPARE(entriesOf(popup()), usualPopup);
    popup()->hide();

    restart();
    QVERIFY(!mail->MenuBar->isItemChecked(format, check));
    show(QStringLiteral("We recieve your paymnet."));
    QCOMPARE(wavyPieces(*mail->RTB), QStringList());
    mail->MenuBar->item(format, check)->trigger();
    QVERIFY(mail->MenuBar->isItemChecked(format, check));
    spelling().marks().finish();
    QCOMPARE(wavyPieces(*mail->RTB), QStringList({"recieve", "paymnet"}));
}

void SpellingMenuTest::noDictionaryInstalled()
{
    QTemporaryDir empty;
    setDictionaryFolders({empty.path()});
    start();
    QCOMPARE(entriesOf(languages()), QStringList({"No Dictionary Installed (off)"}));
    QAction* check =
        mail->MenuBar->item(QStringLiteral("mnuFormat"), QStringLiteral("Check_Spelling"));
    QVERIFY(!check->isEnabled());
    QVERIFY(!check->isChecked());
    QTest::keyClicks(mail->RTB->textEdit(), QStringLiteral("We recieve your paymnet "));
    spelling().marks().finish();
    QCOMPARE(wavyPieces(*mail->RTB), QStringList());
    rightClick(3);
    QCOMPARE(entriesOf(popup()), usualPopup);
    popup()->hide();
}

void SpellingMenuTest::showingALetterLeavesItUnmodified()
{
    start();
    QTRY_VERIFY(spelling().checker().isReady());
    mail->RTB->setText(QStringLiteral("We recieve your paymnet."));
    mail->DocumentModified = false;
    spelling().marks().finish();
    QCOMPARE(wavyPieces(*mail->RTB).size(), 2);
    QVERIFY(!mail->DocumentModified);
    mail->RTB->setText(QStringLiteral("The color and the colour."));
    mail->DocumentModified = false;
    actionNamed(languages(), QStringLiteral("English (United Kingdom)"))->trigger();
    QTRY_COMPARE(wavyPieces(*mail->RTB), QStringList({"color"}));
    QVERIFY(!mail->DocumentModified);
}

QTEST_MAIN(SpellingMenuTest)
#include "test_spellingmenu.moc"
