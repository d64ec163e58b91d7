#include "FakeServices.h"
#include "TestLibrary.h"
#include "editor/DateTimeDialog.h"
#include "editor/FileManagerDialog.h"
#include "editor/FindDialog.h"
#include "editor/GoToDialog.h"
#include "editor/LetterEditor.h"
#include "editor/SymbolsDialog.h"
#include "library/DataFile.h"
#include "library/modMain.h"
#include "mainwindow/CommandTables.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MenuBarControl.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>

using namespace lw;

namespace {

QString spokenName(QWidget* widget)
{
    if (widget && qobject_cast<QComboBox*>(widget->parentWidget()))
        widget = widget->parentWidget();
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(QAccessible::Name) : QStringLiteral("<none>");
}

QString focusName()
{
    return spokenName(QApplication::focusWidget());
}

} // namespace

// The keyboard-only user on a real X server, where focus, window activation and popups are the
// window system's: the main window's areas, the menus by their letters, and every tool window
// opened and closed from the keyboard alone.
class AccessibilityX11Test : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void mainWindowIsAWindow();
    void areasByF6AndOutOfTheEditorByCtrlTab();
    void letterChosenFromTheKeyboard();
    void toolWindowsOpenByMenuLettersAndCloseByEscape_data();
    void toolWindowsOpenByMenuLettersAndCloseByEscape();
    void popupByShiftF10RunsItsItem();
    void colorsFromTheKeyboard();

private:
    std::unique_ptr<test::TestLibrary> library;
    std::unique_ptr<test::FakePlatform> platform;
    std::unique_ptr<MainWindow> window;
};

void AccessibilityX11Test::init()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    library = std::make_unique<test::TestLibrary>();
    platform = std::make_unique<test::FakePlatform>();
    library->create();
    modMain().DataFilePath = library->dataFilePath();
    modMain().ConnectionString = datafile::connectionString(library->dataFilePath());
    QVERIFY(datafile::restoreSignature(library->dataFilePath(), nullptr));
    window = std::make_unique<MainWindow>();
    window->InitMainWindow();
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    window->RTB->setFocus();
    QTRY_VERIFY(window->RTB->hasFocus());
}

void AccessibilityX11Test::cleanup()
{
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    window.reset();
    platform.reset();
    library.reset();
}

void AccessibilityX11Test::mainWindowIsAWindow()
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(window.get());
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), QAccessible::Window);
    QCOMPARE(accessible->text(QAccessible::Name), window->windowTitle());
    QVERIFY(accessible->state().active);
}

void AccessibilityX11Test::areasByF6AndOutOfTheEditorByCtrlTab()
{
    const QStringList areas{"Letter editor", "Search keywords",
                            "Select A Title From Letter List:", "My Favorite", "Open"};
    QStringList reached;
    for (qsizetype i = 0; i <= areas.size(); ++i) {
        reached.append(focusName());
        if (i < areas.size())
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
    }
    QCOMPARE(reached, areas + QStringList{areas.first()});
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6, Qt::ShiftModifier);
    QTRY_COMPARE(focusName(), QStringLiteral("Open"));

    // Tab types into the letter; Ctrl+Tab and Ctrl+Shift+Tab leave it.
    QTextEdit* edit = window->RTB->textEdit();
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    window->RTB->setText(QStringLiteral("ab"));
    window->RTB->setSelStart(1);
    QTest::keyClick(edit, Qt::Key_Tab);
    QCOMPARE(window->RTB->Text(), QStringLiteral("a\tb"));
    QVERIFY(edit->hasFocus());
    QTest::keyClick(edit, Qt::Key_Tab, Qt::ControlModifier);
    QTRY_COMPARE(focusName(), QStringLiteral("Search keywords"));
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    QTest::keyClick(edit, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(!edit->hasFocus());
    QCOMPARE(window->RTB->Text(), QStringLiteral("a\tb"));
}

// The letter list by F6 and the arrow keys: the chosen letter shows, and the status bar's panel
// and the count line read what they show.
void AccessibilityX11Test::letterChosenFromTheKeyboard()
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
    QListWidget* letters = window->lstBx[0];
    QTRY_VERIFY(letters->hasFocus());
    QTest::keyClick(letters, Qt::Key_End);
    const QString title = letters->currentItem()->text();
    QVERIFY(!title.isEmpty());
    QTRY_COMPARE(window->SBPanels[1]->text(), QStringLiteral("Current Letter: ") + title);
    QCOMPARE(spokenName(window->SBPanels[1]), QStringLiteral("Current Letter: ") + title);
    QCOMPARE(spokenName(window->lblTxt[3]), window->lblTxt[3]->text());
    QVERIFY(!window->lblTxt[3]->text().isEmpty());
}

void AccessibilityX11Test::toolWindowsOpenByMenuLettersAndCloseByEscape_data()
{
    QTest::addColumn<int>("menuLetter");
    QTest::addColumn<int>("itemLetter");
    QTest::addColumn<QString>("window");
    QTest::newRow("nominal: Edit, Find") << int(Qt::Key_E) << int(Qt::Key_F) << "FindDialog";
    QTest::newRow("nominal: Edit, Replace") << int(Qt::Key_E) << int(Qt::Key_R) << "FindDialog";
    QTest::newRow("nominal: Edit, Go To") << int(Qt::Key_E) << int(Qt::Key_G) << "GoToDialog";
    QTest::newRow("nominal: Edit, File Manager")
        << int(Qt::Key_E) << int(Qt::Key_M) << "FileManagerDialog";
    QTest::newRow("nominal: Insert, Date and Time")
        << int(Qt::Key_I) << int(Qt::Key_T) << "DateTimeDialog";
    QTest::newRow("nominal: Insert, Symbol") << int(Qt::Key_I) << int(Qt::Key_S) << "SymbolsDialog";
}

void AccessibilityX11Test::toolWindowsOpenByMenuLettersAndCloseByEscape()
{
    QFETCH(int, menuLetter);
    QFETCH(int, itemLetter);
    QFETCH(QString, window);
    const QString letter = QStringLiteral("Dear Sir");
    this->window->RTB->setText(letter);
    QTextEdit* edit = this->window->RTB->textEdit();

    QTest::keyClick(edit, Qt::Key(menuLetter), Qt::AltModifier);
    QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key(itemLetter));
    QPointer<QWidget> tool;
    QTRY_VERIFY((tool = this->window->findChild<QWidget*>(window, Qt::FindDirectChildrenOnly)) &&
                tool->isVisible());
    QVERIFY(QTest::qWaitForWindowActive(tool));
    QTRY_VERIFY(QApplication::focusWidget() && tool->isAncestorOf(QApplication::focusWidget()));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(tool);
    QCOMPARE(accessible->role(), QAccessible::Dialog);
    QVERIFY(!accessible->text(QAccessible::Name).trimmed().isEmpty());

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!tool || !tool->isVisible());
    QCOMPARE(this->window->RTB->Text(), letter);
    // The keyboard is back in the main window.
    QTRY_COMPARE(QApplication::activeWindow(), this->window.get());
}

// The Menu key's partner, Shift+F10, opens the editor's popup on the real window system; its
// letters choose an item.
void AccessibilityX11Test::popupByShiftF10RunsItsItem()
{
    window->RTB->setText(QStringLiteral("dear sir"));
    window->RTB->setSelStart(0);
    window->RTB->setSelLength(0);
    QTextEdit* edit = window->RTB->textEdit();
    QTest::keyClick(edit, Qt::Key_F10, Qt::ShiftModifier);
    QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_A);
    QTRY_VERIFY(!QApplication::activePopupWidget());
    QCOMPARE(window->RTB->SelLength(), 8);
    QTRY_VERIFY(edit->hasFocus());
}

// The colour button, reached with the keyboard, opens its colours with Space; the arrow keys and
// Enter choose one, which colours the selection.
void AccessibilityX11Test::colorsFromTheKeyboard()
{
    window->RTB->setText(QStringLiteral("Dear Sir"));
    window->RTB->setSelStart(0);
    window->RTB->setSelLength(4);
    const QString band = QString::fromLatin1(toolbarBandKey);
    QWidget* button = window->MenuBar->band(band)->widgetForAction(
        window->MenuBar->tool(band, QString::fromLatin1(fontColorToolKey)));
    QVERIFY(button);
    button->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(button->hasFocus());
    // The colours open in a loop of their own: chosen from there, as the user's keys reach them.
    QString highlighted;
    QTimer poll;
    poll.setInterval(20);
    connect(&poll, &QTimer::timeout, this, [&] {
        auto* colours = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!colours || !colours->isVisible())
            return;
        poll.stop();
        // Black, then Red.
        QTest::keyClick(colours, Qt::Key_Down);
        if (colours->activeAction() && colours->activeAction()->text() != QLatin1String("Red"))
            QTest::keyClick(colours, Qt::Key_Down);
        highlighted = colours->activeAction() ? colours->activeAction()->text() : QString();
        if (highlighted == QLatin1String("Red"))
            QTest::keyClick(colours, Qt::Key_Return);
        else
            colours->close();
    });
    poll.start();
    QTest::keyClick(button, Qt::Key_Space);
    QTRY_COMPARE(highlighted, QStringLiteral("Red"));
    QTRY_VERIFY(!QApplication::activePopupWidget());
    QTRY_COMPARE(window->RTB->SelColor(), std::optional<quint32>(0x0000FF));
}

QTEST_MAIN(AccessibilityX11Test)
#include "test_accessibility_x11.moc"
