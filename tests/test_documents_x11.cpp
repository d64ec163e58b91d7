#include "FakeServices.h"
#include "TestLibrary.h"
#include "app/Letterwright.h"
#include "editor/LetterEditor.h"
#include "mainwindow/MainWindow.h"
#include "platform/QtServices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <X11/Xlib.h>
// Xlib's macro would stand in for MsgIcon::None.
#undef None

using namespace lw;

namespace {

const QString closeQuestion = QStringLiteral("Current file has been modified.  Save changes?");

// What a window manager sends when the user clicks a window's close button.
bool sendDeleteWindow(QWidget& window)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = Window(window.winId());
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(display, event.xclient.window, False, NoEventMask, &event) != 0;
    XCloseDisplay(display);
    return sent;
}

} // namespace

// Closing the main window on a real X server, and the real Yes/No/Cancel message box.
class DocumentsX11Test : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void windowManagerCloseWithModifiedDocument_data();
    void windowManagerCloseWithModifiedDocument();
    void saveQuestionBox_data();
    void saveQuestionBox();

private:
    std::unique_ptr<test::TestLibrary> library;
    std::unique_ptr<test::FakePlatform> platform;
    std::unique_ptr<Letterwright> program;
};

void DocumentsX11Test::init()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    library = std::make_unique<test::TestLibrary>();
    platform = std::make_unique<test::FakePlatform>();
    library->create();
    program = std::make_unique<Letterwright>();
    QVERIFY(program->StartUp());
}

void DocumentsX11Test::cleanup()
{
    program.reset();
    platform.reset();
    library.reset();
}

void DocumentsX11Test::windowManagerCloseWithModifiedDocument_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("robustness: Cancel keeps the window and the edits") << int(MsgAnswer::Cancel);
    QTest::newRow("nominal: No closes the window") << int(MsgAnswer::No);
}

void DocumentsX11Test::windowManagerCloseWithModifiedDocument()
{
    QFETCH(int, answer);
    MainWindow& w = *program->mainWindow();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.RTB->setFocus();
    QTest::keyClicks(w.RTB->textEdit(), QStringLiteral("Typed "));
    QVERIFY(w.DocumentModified);
    const QString typed = w.RTB->Text();

    platform->messages.expect(closeQuestion, QStringLiteral("Notice"), MsgButtons::YesNoCancel,
                              MsgIcon::None, MsgAnswer(answer));
    QVERIFY(sendDeleteWindow(w));
    QTRY_COMPARE(platform->messages.shown.size(), 1);
    if (answer == int(MsgAnswer::Cancel)) {
        // The close was refused inside its own event: nothing of it is left to come.
        QCoreApplication::processEvents();
        QVERIFY(w.isVisible());
        QCOMPARE(w.RTB->Text(), typed);
        QVERIFY(w.DocumentModified);
        QCOMPARE(library->bytes().left(15), QByteArray("SQLite format 3"));
    } else {
        QTRY_VERIFY(!w.isVisible());
        QCOMPARE(library->bytes().left(15), QByteArray("Brightquill2006"));
    }
}

void DocumentsX11Test::saveQuestionBox_data()
{
    QTest::addColumn<QString>("press");
    QTest::addColumn<int>("answer");
    QTest::newRow("nominal: Yes") << "&Yes" << int(MsgAnswer::Yes);
    QTest::newRow("nominal: No") << "&No" << int(MsgAnswer::No);
    QTest::newRow("nominal: Cancel") << "Cancel" << int(MsgAnswer::Cancel);
    QTest::newRow("nominal: Esc cancels") << "Esc" << int(MsgAnswer::Cancel);
}

// The desktop's message box: three buttons, and Esc is Cancel.
void DocumentsX11Test::saveQuestionBox()
{
    QFETCH(QString, press);
    QFETCH(int, answer);
    QtMessageService service;
    QStringList buttons;
    QString pressed;
    QTimer::singleShot(0, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        for (QAbstractButton* button : box->buttons())
            buttons << button->text();
        if (press == QLatin1String("Esc")) {
            QTest::keyClick(box, Qt::Key_Escape);
            return;
        }
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == press) {
                pressed = button->text();
                button->click();
            }
        }
    });
    QTimer failsafe;
    failsafe.setSingleShot(true);
    connect(&failsafe, &QTimer::timeout, this, [] {
        if (QWidget* box = QApplication::activeModalWidget())
            box->close();
    });
    failsafe.start(10000);
    const MsgAnswer got =
        service.show(program->mainWindow(), closeQuestion, QStringLiteral("Notice"),
                     MsgButtons::YesNoCancel, MsgIcon::None);
    buttons.sort();
    QCOMPARE(buttons, (QStringList{"&No", "&Yes", "Cancel"}));
    QCOMPARE(int(got), answer);
}

QTEST_MAIN(DocumentsX11Test)
#include "test_documents_x11.moc"
