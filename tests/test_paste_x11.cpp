#include "FakeServices.h"
#include "TestLibrary.h"
#include "editor/LetterEditor.h"
#include "library/DataFile.h"
#include "library/modMain.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MenuBarControl.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>

using namespace lw;

// Paste from the X11 clipboard when it holds nothing: no owner of the selection at all, as after
// the program that copied has ended or cleared it.
class PasteX11Test : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void pasteFromEmptiedClipboard_data();
    void pasteFromEmptiedClipboard();
    void longPasteTakesRealKeysAfter();

private:
    std::unique_ptr<test::TestLibrary> library;
    std::unique_ptr<test::FakePlatform> platform;
    std::unique_ptr<MainWindow> window;
};

void PasteX11Test::init()
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
    QVERIFY(window->EditingEnabled);
}

void PasteX11Test::cleanup()
{
    window.reset();
    platform.reset();
    library.reset();
}

void PasteX11Test::pasteFromEmptiedClipboard_data()
{
    QTest::addColumn<QString>("route");
    QTest::newRow("robustness: Ctrl+V in the editor") << "key";
    QTest::newRow("robustness: Edit, Paste") << "menu";
    QTest::newRow("robustness: the toolbar's Paste by its accessible action") << "toolbar";
}

void PasteX11Test::pasteFromEmptiedClipboard()
{
    QFETCH(QString, route);
    LetterEditor& editor = *window->RTB;
    editor.setText(QStringLiteral("Dear Sir"));
    editor.setSelStart(5);
    editor.setSelLength(3);
    window->DocumentModified = false;

    // Copied once, then nobody owns the clipboard any more.
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->setText(QStringLiteral("copied earlier"));
    QTRY_COMPARE(clipboard->text(), QStringLiteral("copied earlier"));
    clipboard->clear();
    QTRY_VERIFY(clipboard->mimeData() && clipboard->mimeData()->formats().isEmpty());

    if (route == "key") {
        QTest::keyClick(editor.textEdit(), Qt::Key_V, Qt::ControlModifier);
    } else if (route == "menu") {
        window->MenuBar->item(QStringLiteral("mnuEdit"), QStringLiteral("Paste"))->trigger();
    } else {
        const QString band = QStringLiteral("Band6");
        QWidget* button = window->MenuBar->band(band)->widgetForAction(
            window->MenuBar->tool(band, QStringLiteral("PASTE")));
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
        QVERIFY(accessible && accessible->actionInterface());
        accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    }
    QCoreApplication::processEvents();
    QCOMPARE(editor.Text(), QStringLiteral("Dear Sir"));
    QCOMPARE(editor.SelText(), QStringLiteral("Sir"));
    QVERIFY(!window->DocumentModified);

    // The editor goes on: text copied now pastes as always.
    clipboard->setText(QStringLiteral("Madam"));
    QTRY_COMPARE(clipboard->text(), QStringLiteral("Madam"));
    QTest::keyClick(editor.textEdit(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(editor.Text(), QStringLiteral("Dear Madam"));
}

void PasteX11Test::longPasteTakesRealKeysAfter()
{
    // Over a million characters from the X11 clipboard go in behind the progress window; the
    // editor then takes real keys where the paste ended.
    LetterEditor& editor = *window->RTB;
    editor.setText(QStringLiteral("Dear Sir"));
    editor.setSelStart(8);
    const QString text = QStringLiteral("\nA line of the long paste.").repeated(50000);
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->setText(text);
    QTRY_COMPARE(clipboard->text().size(), text.size());
    QTest::keyClick(editor.textEdit(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(platform->progress.jobs.size(), 1);
    QCOMPARE(platform->progress.jobs.first().label, QStringLiteral("Pasting..."));
    QVERIFY(editor.Text() == QStringLiteral("Dear Sir") + text);
    QTest::keyClicks(editor.textEdit(), QStringLiteral(" End"));
    QVERIFY(editor.Text().endsWith(QStringLiteral("long paste. End")));
    QVERIFY(window->DocumentModified);
}

QTEST_MAIN(PasteX11Test)
#include "test_paste_x11.moc"
