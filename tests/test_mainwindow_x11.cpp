#include "FakeServices.h"
#include "TestLibrary.h"
#include "editor/LetterEditor.h"
#include "library/DataFile.h"
#include "library/modMain.h"
#include "mainwindow/MainWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <QTextEdit>

using namespace lw;

// The main window on a real X server: focus, keys and the X11 clipboard, which the offscreen
// platform only imitates.
class MainWindowX11Test : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void copyAndPasteThroughX11Clipboard();

private:
    std::unique_ptr<test::TestLibrary> library;
    std::unique_ptr<test::FakePlatform> platform;
    std::unique_ptr<MainWindow> window;
};

void MainWindowX11Test::init()
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

void MainWindowX11Test::cleanup()
{
    window.reset();
    platform.reset();
    library.reset();
}

void MainWindowX11Test::copyAndPasteThroughX11Clipboard()
{
    QTextEdit* edit = window->RTB->textEdit();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, QStringLiteral("Dear Ms Ölund"));
    QCOMPARE(window->RTB->Text(), QStringLiteral("Dear Ms Ölund"));

    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
    QTRY_COMPARE(QApplication::clipboard()->text(), QStringLiteral("Dear Ms Ölund"));

    QTest::keyClick(edit, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(window->RTB->Text(), QStringLiteral("Dear Ms ÖlundDear Ms Ölund"));
    QVERIFY(window->DocumentModified);
}

QTEST_MAIN(MainWindowX11Test)
#include "test_mainwindow_x11.moc"
