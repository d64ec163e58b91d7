#include "FakeServices.h"
#include "PdfFile.h"
#include "TestLibrary.h"
#include "editor/LetterEditor.h"
#include "editor/RecentFiles.h"
#include "library/DataFile.h"
#include "library/modMain.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MenuBarControl.h"
#include "platform/QtServices.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace lw;
using namespace Qt::StringLiterals;

namespace {

// The dialog of that kind on screen, whether or not it has the focus yet.
template <typename Dialog> Dialog* shown()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<Dialog*>(widget); dialog && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

} // namespace

// The File menu's print preview and recent files on a real X server, driven from the keyboard.
class FormatsX11Test : public QObject
{
    Q_OBJECT
private slots:
    // One main window for all, as a user has.
    void initTestCase();
    void cleanupTestCase();

    void recentFileOpensByItsNumber();
    void saveAsWithTheFilterChosenInTheRealDialog();
    void previewFromTheKeyboardShowsThePagesThatPrint();

private:
    // Opens the File menu with its mnemonic and presses `key` in it.
    void chooseFromFileMenu(Qt::Key key);

    std::unique_ptr<test::TestLibrary> library;
    std::unique_ptr<test::FakePlatform> platform;
    std::unique_ptr<MainWindow> window;
};

void FormatsX11Test::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), u"xcb"_s);
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

void FormatsX11Test::cleanupTestCase()
{
    window.reset();
    platform.reset();
    library.reset();
}

// "&File" and "&Format" share their letter: once the Format menu is on, Alt+F goes from one to
// the other.
void FormatsX11Test::chooseFromFileMenu(Qt::Key key)
{
    // Without a window manager nothing gives the window back its focus after a dialog.
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    window->RTB->setFocus();
    QTRY_VERIFY(window->RTB->hasFocus());
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus);
    QTest::keyClick(focus, Qt::Key_F, Qt::AltModifier);
    QMenu* menu = window->MenuBar->menu(u"mnuFile"_s);
    QMenu* format = window->MenuBar->menu(u"mnuFormat"_s);
    QTRY_VERIFY(menu->isVisible() || format->isVisible());
    if (format->isVisible()) {
        QTest::keyClick(format, Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(menu->isVisible());
    }
    QTest::keyClick(menu, key);
}

// The kind follows the file type chosen in the desktop's own save dialog.
void FormatsX11Test::saveAsWithTheFilterChosenInTheRealDialog()
{
    QTemporaryDir dir;
    window->RTB->setText(u"Dear Sir,"_s);
    window->RTB->setSelStart(0);
    window->RTB->setSelLength(4);
    window->RTB->setSelBold(true);
    QtDialogService realDialogs;
    Services withDialogs = services();
    withDialogs.dialogs = &realDialogs;
    installServices(withDialogs);
    platform->messages.expect(u"File Saved!"_s, u"Notice"_s, MsgButtons::Ok, MsgIcon::Information);
    bool answered = false;
    QTimer poll;
    poll.setInterval(50);
    connect(&poll, &QTimer::timeout, this, [&] {
        auto* dialog = shown<QFileDialog>();
        if (!dialog || !dialog->isVisible() || answered)
            return;
        answered = true;
        // As a user picks "Rich Text Format" from the list of types and names the file.
        auto* types = dialog->findChild<QComboBox*>(u"fileTypeCombo"_s);
        if (types) {
            // The next type in the list, by the key a user presses on it.
            types->setFocus();
            QTest::keyClick(types, Qt::Key_Down);
        } else
            dialog->selectNameFilter(dialog->nameFilters().value(1));
        dialog->selectFile(dir.filePath(u"chosen"_s));
        // Queued, so that it reaches the dialog's own event loop however far it has come.
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
    });
    poll.start();
    window->MenuBar->item(u"mnuFile"_s, u"SaveAs"_s)->trigger();
    poll.stop();
    platform->install();
    QVERIFY(answered);
    QCOMPARE(window->CurrentDocumentPath, dir.filePath(u"chosen.rtf"_s));
    QFile written(dir.filePath(u"chosen.rtf"_s));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.readAll().startsWith("{\\rtf1"));
}

void FormatsX11Test::previewFromTheKeyboardShowsThePagesThatPrint()
{
    QString text;
    for (int i = 0; i < 150; ++i)
        text += u"Line %1 of a letter long enough for several pages.\n"_s.arg(i);
    window->RTB->setText(text);
    window->MenuBar->item(u"mnuFile"_s, u"Print"_s)->trigger();
    const int printed = test::PdfFile(platform->printers.outputPath()).pageCount();
    QVERIFY(printed >= 3);

    // The real preview dialog, over the fake printer.
    QtDialogService realDialogs;
    Services withPreview = services();
    withPreview.dialogs = &realDialogs;
    installServices(withPreview);
    int shownPages = -1;
    bool closed = false;
    QTimer poll;
    poll.setInterval(50);
    connect(&poll, &QTimer::timeout, this, [&] {
        auto* dialog = shown<QPrintPreviewDialog>();
        if (!dialog || !dialog->isVisible() || closed)
            return;
        auto* preview = dialog->findChild<QPrintPreviewWidget*>();
        if (!preview || preview->pageCount() == 0)
            return;
        shownPages = preview->pageCount();
        closed = true;
        // Esc closes it, as every dialog; queued, so that the dialog's own loop takes it.
        QTimer::singleShot(0, dialog, [dialog] { QTest::keyClick(dialog, Qt::Key_Escape); });
    });
    poll.start();
    chooseFromFileMenu(Qt::Key_V);
    poll.stop();
    platform->install();
    QVERIFY(closed);
    QCOMPARE(shownPages, printed);
}

void FormatsX11Test::recentFileOpensByItsNumber()
{
    QTemporaryDir dir;
    QFile letter(dir.filePath(u"recent.txt"_s));
    QVERIFY(letter.open(QIODevice::WriteOnly));
    letter.write("Dear Ms Ölund,");
    letter.close();
    RecentFiles::add(QFile(dir.filePath(u"older.txt"_s)).fileName());
    RecentFiles::add(letter.fileName());
    window->DocumentModified = false;
    chooseFromFileMenu(Qt::Key_1);
    QTRY_COMPARE(window->RTB->Text(), u"Dear Ms Ölund,"_s);
    QCOMPARE(window->CurrentDocumentPath, letter.fileName());
}

QTEST_MAIN(FormatsX11Test)
#include "test_formats_x11.moc"
