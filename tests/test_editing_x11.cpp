#include "FakeServices.h"
#include "TestLibrary.h"
#include "editor/LetterEditor.h"
#include "library/DataFile.h"
#include "library/modMain.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MenuBarControl.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>

using namespace lw;

// Editing in the main window on a real X server: the keys as the window system delivers them,
// the toolbar through the accessibility bridge, and the X11 clipboard.
class EditingX11Test : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void delDeletesForward_data();
    void delDeletesForward();
    void boldButtonByItsAccessibleAction();
    void upperCaseShortcutKeepsFormatting();
    void insertTextFileLeavesTheClipboard_data();
    void insertTextFileLeavesTheClipboard();

private:
    LetterEditor& editor() { return *window->RTB; }
    QTextEdit* edit() { return window->RTB->textEdit(); }

    std::unique_ptr<test::TestLibrary> library;
    std::unique_ptr<test::FakePlatform> platform;
    std::unique_ptr<MainWindow> window;
};

void EditingX11Test::init()
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

void EditingX11Test::cleanup()
{
    window.reset();
    platform.reset();
    library.reset();
}

void EditingX11Test::delDeletesForward_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("presses");
    QTest::addColumn<QString>("result");
    QTest::newRow("nominal: one press, the character after the caret")
        << 5 << 0 << 1 << "Dear ir and Madam";
    QTest::newRow("nominal: a run of presses") << 5 << 0 << 4 << "Dear and Madam";
    QTest::newRow("nominal: a selection") << 4 << 4 << 1 << "Dear and Madam";
}

void EditingX11Test::delDeletesForward()
{
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(int, presses);
    QFETCH(QString, result);
    editor().setText(QStringLiteral("Dear Sir and Madam"));
    editor().setSelStart(start);
    editor().setSelLength(length);
    for (int i = 0; i < presses; ++i)
        QTest::keyClick(edit(), Qt::Key_Delete);
    QCOMPARE(editor().Text(), result);
    QCOMPARE(editor().SelStart(), start);
    QVERIFY(window->DocumentModified);
    // The run is one step to undo.
    QTest::keyClick(edit(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(editor().Text(), QStringLiteral("Dear Sir and Madam"));
}

void EditingX11Test::boldButtonByItsAccessibleAction()
{
    editor().setText(QStringLiteral("Dear Sir"));
    editor().setSelStart(0);
    editor().setSelLength(4);
    const QString band = QStringLiteral("Band6");
    QWidget* bold = window->MenuBar->band(band)->widgetForAction(
        window->MenuBar->tool(band, QStringLiteral("BOLD")));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(bold);
    QVERIFY(accessible);
    QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("Bold"));
    QAccessibleActionInterface* actions = accessible->actionInterface();
    QVERIFY(actions);

    actions->doAction(QAccessibleActionInterface::pressAction());
    QTRY_COMPARE(editor().SelBold(), std::optional<bool>(true));
    QVERIFY(!accessible->state().checked);
    editor().setSelStart(5);
    editor().setSelLength(3);
    QCOMPARE(editor().SelBold(), std::optional<bool>(false));

    // Pressed again over the bold word, it makes it plain.
    editor().setSelStart(0);
    editor().setSelLength(4);
    actions->doAction(QAccessibleActionInterface::pressAction());
    QTRY_COMPARE(editor().SelBold(), std::optional<bool>(false));
    QVERIFY(!accessible->state().checked);
}

void EditingX11Test::upperCaseShortcutKeepsFormatting()
{
    editor().setText(QStringLiteral("Dear Sir, thank you"));
    editor().setSelStart(5);
    editor().setSelLength(3);
    editor().setSelBold(true);
    editor().setSelStart(10);
    editor().setSelLength(5);
    editor().setSelColor(0x0000FF);
    editor().setSelStart(0);
    editor().setSelLength(editor().TextLength());

    QTest::keyClick(edit(), Qt::Key_4, Qt::ControlModifier);

    QCOMPARE(editor().Text(), QStringLiteral("DEAR SIR, THANK YOU"));
    QCOMPARE(editor().SelLength(), 0);
    QCOMPARE(editor().SelStart(), 19);
    editor().setSelStart(5);
    editor().setSelLength(3);
    QCOMPARE(editor().SelBold(), std::optional<bool>(true));
    editor().setSelStart(10);
    editor().setSelLength(5);
    QCOMPARE(editor().SelColor(), std::optional<quint32>(0x0000FF));
    QCOMPARE(editor().SelBold(), std::optional<bool>(false));
    QTest::keyClick(edit(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(editor().Text(), QStringLiteral("Dear Sir, thank you"));
}

void EditingX11Test::insertTextFileLeavesTheClipboard_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("result");
    QTest::newRow("nominal: the file goes in") << QByteArray("from the file") << "[from the file]";
    QTest::newRow("robustness: an empty file inserts nothing") << QByteArray() << "[]";
}

void EditingX11Test::insertTextFileLeavesTheClipboard()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, result);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("insert.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    QApplication::clipboard()->setText(QStringLiteral("the user's own"));
    QTRY_COMPARE(QApplication::clipboard()->text(), QStringLiteral("the user's own"));

    editor().setText(QStringLiteral("[]"));
    editor().setSelStart(1);
    platform->dialogs.openAnswers.push_back(QStringList{path});
    window->MenuBar->item(QStringLiteral("mnuInsert"), QStringLiteral("TextFile"))->trigger();
    QCOMPARE(editor().Text(), result);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("the user's own"));
}

QTEST_MAIN(EditingX11Test)
#include "test_editing_x11.moc"
