#include "FakeServices.h"
#include "TestLibrary.h"
#include "editor/LetterEditor.h"
#include "editor/SpellChecker.h"
#include "editor/SpellingMarks.h"
#include "library/DataFile.h"
#include "library/modMain.h"
#include "mainwindow/CommandDispatcher.h"
#include "mainwindow/CommandTables.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MenuBarControl.h"
#include "mainwindow/PopupMenuControl.h"
#include "mainwindow/SpellingCommands.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>
#include <QTextDocumentFragment>
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

QStringList captionsOf(const QMenu* menu)
{
    QStringList captions;
    const auto actions = menu->actions();
    for (const QAction* action : actions)
        captions.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    return captions;
}

// A menu's entry as assistive technology sees it.
QAccessibleInterface* accessibleEntry(QMenu* menu, const QString& name)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(menu);
    if (!accessible)
        return nullptr;
    for (int i = 0; i < accessible->childCount(); ++i) {
        QAccessibleInterface* child = accessible->child(i);
        if (child && child->text(QAccessible::Name) == name)
            return child;
    }
    return nullptr;
}

} // namespace

// Spelling as a user meets it on a real X server: typed with the keyboard, mended from the popup
// opened with the mouse, copied through the X11 clipboard, and remembered across a restart.
class SpellingX11Test : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void typedMistakesAreUnderlinedAndMendedFromThePopup();
    void copiedUnderlinedWordHasNoUnderline();
    void addedWordStaysAddedAfterRestart();
    void menusWorkFromTheirAccessibleActions();

private:
    void start();
    void rightClickWord(const QString& word);
    QMenu* popup() const { return window->mnuPopup->menu(QString::fromLatin1(popupMenuKey)); }
    QTextEdit* edit() const { return window->RTB->textEdit(); }

    std::unique_ptr<test::TestLibrary> library;
    std::unique_ptr<test::FakePlatform> platform;
    std::unique_ptr<MainWindow> window;
};

void SpellingX11Test::init()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    library = std::make_unique<test::TestLibrary>();
    platform = std::make_unique<test::FakePlatform>();
    library->create();
    modMain().DataFilePath = library->dataFilePath();
    modMain().ConnectionString = datafile::connectionString(library->dataFilePath());
    QVERIFY(datafile::restoreSignature(library->dataFilePath(), nullptr));
    start();
}

void SpellingX11Test::cleanup()
{
    window.reset();
    platform->messages.verifyDone();
    platform.reset();
    library.reset();
}

void SpellingX11Test::start()
{
    window = std::make_unique<MainWindow>();
    window->InitMainWindow();
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    window->RTB->setFocus();
    QTRY_VERIFY(window->RTB->hasFocus());
    QTRY_VERIFY(window->dispatcher().spelling().checker().isReady());
    // A fresh letter, typed from the start.
    QTest::keyClick(edit(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit(), Qt::Key_Delete);
    QCOMPARE(window->RTB->Text(), QString());
}

void SpellingX11Test::rightClickWord(const QString& word)
{
    const int at = int(window->RTB->Text().indexOf(word));
    QVERIFY(at >= 0);
    QTextCursor inside(edit()->document());
    inside.setPosition(at + 2);
    QTest::mouseClick(edit()->viewport(), Qt::RightButton, {}, edit()->cursorRect(inside).center());
    QTRY_VERIFY(popup()->isVisible());
}

void SpellingX11Test::typedMistakesAreUnderlinedAndMendedFromThePopup()
{
    QTest::keyClicks(edit(), QStringLiteral("We recieve your paymnet"));
    QCOMPARE(window->RTB->Text(), QStringLiteral("We recieve your paymnet"));
    // The word last typed once typing pauses.
    QTRY_COMPARE(wavyPieces(*window->RTB), QStringList({"recieve", "paymnet"}));

    rightClickWord(QStringLiteral("recieve"));
    QCOMPARE(captionsOf(popup()).mid(0, 6),
             QStringList({"receive", "recipient", "-", "Add to Dictionary", "Ignore All", "-"}));
    // The first suggestion, chosen with the keyboard.
    QTest::keyClick(popup(), Qt::Key_Down);
    QTest::keyClick(popup(), Qt::Key_Return);
    QTRY_VERIFY(!popup()->isVisible());
    QCOMPARE(window->RTB->Text(), QStringLiteral("We receive your paymnet"));

    rightClickWord(QStringLiteral("paymnet"));
    QCOMPARE(captionsOf(popup()).value(0), QStringLiteral("payment"));
    QTest::mouseClick(popup(), Qt::LeftButton, {},
                      popup()->actionGeometry(popup()->actions().value(0)).center());
    QTRY_VERIFY(!popup()->isVisible());
    QCOMPARE(window->RTB->Text(), QStringLiteral("We receive your payment"));
    QTRY_COMPARE(wavyPieces(*window->RTB), QStringList());
    QVERIFY(window->DocumentModified);

    // The keyboard goes on where it was: typing continues the letter.
    QTest::keyClick(edit(), Qt::Key_End);
    QTest::keyClicks(edit(), QStringLiteral(", thank you."));
    QCOMPARE(window->RTB->Text(), QStringLiteral("We receive your payment, thank you."));
}

void SpellingX11Test::copiedUnderlinedWordHasNoUnderline()
{
    QTest::keyClicks(edit(), QStringLiteral("We recieve it "));
    QTRY_COMPARE(wavyPieces(*window->RTB), QStringList({"recieve"}));
    QTest::keyClick(edit(), Qt::Key_Home);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(edit(), Qt::Key_Right);
    for (int i = 0; i < 7; ++i)
        QTest::keyClick(edit(), Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(edit(), Qt::Key_C, Qt::ControlModifier);
    QTRY_COMPARE(QApplication::clipboard()->text(), QStringLiteral("recieve"));
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    QVERIFY(copied);
    QVERIFY(copied->hasHtml());
    QVERIFY2(!copied->html().contains(QStringLiteral("underline")), qPrintable(copied->html()));

    // Pasted back, it is the same plain word, underlined only by the checker.
    QTest::keyClick(edit(), Qt::Key_End);
    QTest::keyClick(edit(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(window->RTB->Text(), QStringLiteral("We recieve it recieve"));
    QTextCursor pasted(window->RTB->document());
    pasted.setPosition(16);
    QCOMPARE(pasted.charFormat().underlineStyle(), QTextCharFormat::NoUnderline);
    QVERIFY(!pasted.charFormat().fontUnderline());
    QTRY_COMPARE(wavyPieces(*window->RTB), QStringList({"recieve", "recieve"}));
}

void SpellingX11Test::addedWordStaysAddedAfterRestart()
{
    QTest::keyClicks(edit(), QStringLiteral("Brightquill thanks you "));
    QTRY_COMPARE(wavyPieces(*window->RTB), QStringList({"Brightquill", "thanks"}));
    rightClickWord(QStringLiteral("Brightquill"));
    QAction* add = nullptr;
    for (QAction* action : popup()->actions()) {
        if (action->text() == QLatin1String("Add to Dictionary"))
            add = action;
    }
    QVERIFY(add);
    QTest::mouseClick(popup(), Qt::LeftButton, {}, popup()->actionGeometry(add).center());
    QTRY_VERIFY(!popup()->isVisible());
    QTRY_COMPARE(wavyPieces(*window->RTB), QStringList({"thanks"}));
    QFile words(library->dataHome() + QStringLiteral("/letterwright/words.txt"));
    QVERIFY(words.open(QIODevice::ReadOnly));
    QCOMPARE(words.readAll(), QByteArray("Brightquill\n"));

    window.reset();
    start();
    QTest::keyClicks(edit(), QStringLiteral("Brightquill thanks you "));
    QTRY_COMPARE(wavyPieces(*window->RTB), QStringList({"thanks"}));
}

void SpellingX11Test::menusWorkFromTheirAccessibleActions()
{
    QTest::keyClicks(edit(), QStringLiteral("The colour we recieve "));
    QTRY_COMPARE(wavyPieces(*window->RTB), QStringList({"colour", "recieve"}));

    // A suggestion, pressed from the popup's accessible entry.
    rightClickWord(QStringLiteral("recieve"));
    QAccessibleInterface* suggestion = accessibleEntry(popup(), QStringLiteral("receive"));
    QVERIFY(suggestion);
    QCOMPARE(suggestion->role(), QAccessible::MenuItem);
    QVERIFY(suggestion->actionInterface());
    suggestion->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTRY_COMPARE(window->RTB->Text(), QStringLiteral("The colour we receive "));
    popup()->hide();
    QTRY_COMPARE(wavyPieces(*window->RTB), QStringList({"colour"}));

    // Another language, chosen from the Format menu's submenu.
    MenuBarControl& bar = *window->MenuBar;
    QMenu* languages = bar.menu(QString::fromLatin1(spellingLanguageMenuKey));
    QVERIFY(languages);
    QAccessibleInterface* british =
        accessibleEntry(languages, QStringLiteral("English (United Kingdom)"));
    QVERIFY(british);
    QVERIFY(british->state().checkable);
    QVERIFY(!british->state().checked);
    british->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTRY_VERIFY(british->state().checked);
    QTRY_COMPARE(wavyPieces(*window->RTB), QStringList());

    // Checking switched off, then on again, from the Format menu.
    QMenu* format = bar.menu(QStringLiteral("mnuFormat"));
    QVERIFY(format);
    QAccessibleInterface* check =
        accessibleEntry(format, QStringLiteral("Check Spelling as You Type"));
    QVERIFY(check);
    QVERIFY(check->state().checked);
    QTest::keyClick(edit(), Qt::Key_End);
    QTest::keyClicks(edit(), QStringLiteral("the color "));
    QCOMPARE(window->RTB->Text(), QStringLiteral("The colour we receive the color "));
    QTRY_COMPARE(wavyPieces(*window->RTB), QStringList({"color"}));
    check->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTRY_COMPARE(wavyPieces(*window->RTB), QStringList());
    QVERIFY(!check->state().checked);
    check->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTRY_COMPARE(wavyPieces(*window->RTB), QStringList({"color"}));
    QVERIFY(check->state().checked);
}

QTEST_MAIN(SpellingX11Test)
#include "test_spelling_x11.moc"
