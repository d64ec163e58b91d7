#include "FakeServices.h"
#include "TestLibrary.h"
#include "app/Letterwright.h"
#include "editor/FieldHighlight.h"
#include "editor/FieldTools.h"
#include "editor/FillFieldsPanel.h"
#include "editor/LetterEditor.h"
#include "editor/LetterFields.h"
#include "editor/SenderDetails.h"
#include "editor/SenderDetailsDialog.h"
#include "library/LibraryBrowser.h"
#include "library/LibrarySource.h"
#include "mainwindow/CommandDispatcher.h"
#include "mainwindow/MainWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace lw;

namespace {

const QString memorialTitle =
    QStringLiteral("Acknowledgment of a Gift Made in Memory of a Loved One");

LibraryContents defaultLibrary()
{
    librarysource::SourceError error;
    const auto read = librarysource::read(QStringLiteral(LW_LIBRARY_SOURCE_DIR), &error);
    if (!read)
        qFatal("The default library cannot be read");
    return *read;
}

// Types into whatever has the keyboard, as a user does.
void typeIntoFocus(const QString& text)
{
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus);
    QTest::keyClicks(focus, text);
}

void pressOnFocus(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus);
    QTest::keyClick(focus, key, modifiers);
}

} // namespace

// Filling a letter on a real X server: the shortcuts of the main window, the keyboard focus
// moving through the panel, Enter and Esc.
class FieldsX11Test : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void chooseTheLetterFillItAndNoBracketIsLeft();
    void f4WalksTheFieldsAndTypingReplacesThem();
    void enterFillsAndTheNextBoxTakesTheKeyboard();
    void senderDetailsByKeyboard();

private:
    MainWindow& w() { return *program->mainWindow(); }
    QTextEdit* edit() { return w().RTB->textEdit(); }
    FieldTools& fieldTools() { return w().dispatcher().fields(); }
    void chooseMemorialLetter();
    FillFieldsPanel* openPanelByShortcut();

    QTemporaryDir config;
    std::unique_ptr<test::TestLibrary> library;
    std::unique_ptr<test::FakePlatform> platform;
    std::unique_ptr<Letterwright> program;
};

void FieldsX11Test::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    QVERIFY(config.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void FieldsX11Test::init()
{
    QFile::remove(SenderDetails::settingsPath());
    library = std::make_unique<test::TestLibrary>();
    platform = std::make_unique<test::FakePlatform>();
    library->create(defaultLibrary());
    program = std::make_unique<Letterwright>();
    QVERIFY(program->StartUp());
    w().show();
    w().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w()));
    QTRY_VERIFY(w().RTB->hasFocus());
    chooseMemorialLetter();
}

void FieldsX11Test::cleanup()
{
    w().shutDownDone = true;
    program.reset();
    platform.reset();
    library.reset();
}

// The subject, the category and the title, chosen as the user does in the library panel.
void FieldsX11Test::chooseMemorialLetter()
{
    w().Cmb[0]->setCurrentIndex(w().Cmb[0]->findText(QStringLiteral("Community and Non-Profit")));
    w().Cmb[1]->setCurrentIndex(w().Cmb[1]->findText(QStringLiteral("Donor Thanks")));
    const QList<QListWidgetItem*> found = w().lstBx[0]->findItems(memorialTitle, Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    w().lstBx[0]->setCurrentItem(found.first());
    QTRY_VERIFY(w().RTB->Text().contains(QStringLiteral("in memory of [Name]")));
    w().RTB->setFocus();
    QTRY_VERIFY(w().RTB->hasFocus());
    w().RTB->setSelStart(0);
}

FillFieldsPanel* FieldsX11Test::openPanelByShortcut()
{
    QTest::keyClick(edit(), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    FillFieldsPanel* panel = fieldTools().fillFieldsPanel();
    if (!panel) {
        QTest::qFail("Ctrl+Shift+F opened no panel", __FILE__, __LINE__);
        return nullptr;
    }
    if (!QTest::qWaitForWindowActive(panel))
        QTest::qFail("The panel did not become active", __FILE__, __LINE__);
    // The keyboard is in the first box.
    QWidget* first = panel->boxOf(panel->listedFields().constFirst());
    const auto inFirst = [first] {
        QWidget* focus = QApplication::focusWidget();
        return focus == first || first->isAncestorOf(focus);
    };
    if (!QTest::qWaitFor(inFirst))
        QTest::qFail("The first box did not take the keyboard", __FILE__, __LINE__);
    return panel;
}

void FieldsX11Test::chooseTheLetterFillItAndNoBracketIsLeft()
{
    FillFieldsPanel* panel = openPanelByShortcut();
    QVERIFY(panel);
    // The first box is the date's, offered in the date dialog's first format.
    QCOMPARE(panel->listedFields().constFirst(), QStringLiteral("[Date]"));
    QCOMPARE(panel->valueOf(QStringLiteral("[Date]")), QStringLiteral("10/12/26"));

    // Tab from box to box, typing each value.
    const QStringList values = {"Mr and Mrs Okafor", "12 Elm Road",    "Springfield, IL 62701",
                                "St Anne's Hospice", "Grace Okafor",   "$150.00",
                                "March 3, 2026",     "(217) 555-0148", "Jo Brandt",
                                "Director of Giving"};
    for (const QString& value : values) {
        pressOnFocus(Qt::Key_Tab);
        typeIntoFocus(value);
    }
    QCOMPARE(panel->valueOf(QStringLiteral("[Your Title]")), QStringLiteral("Director of Giving"));
    // Fill All by its mnemonic, which clicks the button a moment later.
    pressOnFocus(Qt::Key_A, Qt::AltModifier);
    QTRY_VERIFY(panel->listedFields().isEmpty());

    const QString letter = w().RTB->Text();
    QVERIFY2(!letter.contains(u'[') && !letter.contains(u']'), qPrintable(letter));
    QVERIFY(letter.startsWith(QStringLiteral("10/12/26\n\nMr and Mrs Okafor\n12 Elm Road\n"
                                             "Springfield, IL 62701\n\nDear Mr and Mrs Okafor,")));
    QVERIFY(letter.endsWith(QStringLiteral("Jo Brandt\nDirector of Giving\nSt Anne's Hospice")));
    QCOMPARE(panel->lblStatus->text(), QStringLiteral("No field left to fill."));
    QTRY_VERIFY(fieldTools().highlight().shown().isEmpty());

    // Esc closes the panel; nothing is left to ask about before printing.
    pressOnFocus(Qt::Key_Escape);
    QTRY_VERIFY(!fieldTools().fillFieldsPanel());
    w().activateWindow();
    QTRY_VERIFY(w().isActiveWindow());
    QTest::keyClick(edit(), Qt::Key_P, Qt::ControlModifier);
    QVERIFY(QFile::exists(platform->printers.outputPath()));
}

void FieldsX11Test::f4WalksTheFieldsAndTypingReplacesThem()
{
    QTest::keyClick(edit(), Qt::Key_F4);
    QCOMPARE(w().RTB->SelText(), QStringLiteral("[Date]"));
    QTest::keyClicks(edit(), QStringLiteral("3 March 2026"));
    QTest::keyClick(edit(), Qt::Key_F4);
    QCOMPARE(w().RTB->SelText(), QStringLiteral("[Recipient Name]"));
    QTest::keyClick(edit(), Qt::Key_F4);
    QCOMPARE(w().RTB->SelText(), QStringLiteral("[Street Address]"));
    QTest::keyClick(edit(), Qt::Key_F4, Qt::ShiftModifier);
    QCOMPARE(w().RTB->SelText(), QStringLiteral("[Recipient Name]"));
    QTest::keyClicks(edit(), QStringLiteral("Ms Ölund"));
    QVERIFY(
        w().RTB->Text().startsWith(QStringLiteral("3 March 2026\n\nMs Ölund\n[Street Address]")));
    // Shift+F4 from the top goes round to the last field of the letter.
    w().RTB->setSelStart(0);
    QTest::keyClick(edit(), Qt::Key_F4, Qt::ShiftModifier);
    QCOMPARE(w().RTB->SelText(), QStringLiteral("[Organization Name]"));
    QCOMPARE(w().RTB->SelStart(),
             w().RTB->Text().lastIndexOf(QStringLiteral("[Organization Name]")));

    // Printing with fields left asks first; No comes back to the first of them.
    platform->messages.expect(
        QStringLiteral("10 fields are still unfilled: [Street Address], [City, State ZIP], "
                       "[Recipient Name], [Organization Name], [Name] and 5 more. Print anyway?"),
        QStringLiteral("Print"), MsgButtons::YesNo, MsgIcon::Exclamation, MsgAnswer::No);
    QTest::keyClick(edit(), Qt::Key_P, Qt::ControlModifier);
    platform->messages.verifyDone();
    QVERIFY(!QFile::exists(platform->printers.outputPath()));
    QCOMPARE(w().RTB->SelText(), QStringLiteral("[Street Address]"));
    QTRY_VERIFY(w().RTB->hasFocus());
}

void FieldsX11Test::enterFillsAndTheNextBoxTakesTheKeyboard()
{
    FillFieldsPanel* panel = openPanelByShortcut();
    QVERIFY(panel);
    pressOnFocus(Qt::Key_Tab);
    QWidget* recipient = panel->boxOf(QStringLiteral("[Recipient Name]"));
    QTRY_COMPARE(QApplication::focusWidget(), recipient);
    // The box shows where its field is in the letter.
    QCOMPARE(w().RTB->SelText(), QStringLiteral("[Recipient Name]"));
    typeIntoFocus(QStringLiteral("Ms Ölund"));
    pressOnFocus(Qt::Key_Return);
    QVERIFY(w().RTB->Text().contains(QStringLiteral("Dear Ms Ölund,")));
    QVERIFY(!panel->listedFields().contains(QStringLiteral("[Recipient Name]")));
    QTRY_COMPARE(QApplication::focusWidget(), panel->boxOf(QStringLiteral("[Street Address]")));

    // F4 in the panel selects the next field in the letter.
    w().RTB->setSelStart(0);
    pressOnFocus(Qt::Key_F4);
    QCOMPARE(w().RTB->SelText(), QStringLiteral("[Date]"));

    // Shift+Enter makes a line break, Enter fills.
    typeIntoFocus(QStringLiteral("Hospice House"));
    pressOnFocus(Qt::Key_Return, Qt::ShiftModifier);
    typeIntoFocus(QStringLiteral("12 Elm Road"));
    pressOnFocus(Qt::Key_Return);
    QVERIFY(w().RTB->Text().contains(QStringLiteral("\nHospice House\n12 Elm Road\n[City")));
    QTRY_COMPARE(QApplication::focusWidget(), panel->boxOf(QStringLiteral("[City, State ZIP]")));

    // One undo takes the value out again, and the field back into the list.
    w().RTB->undo();
    QTRY_VERIFY(panel->listedFields().contains(QStringLiteral("[Street Address]")));
    QCOMPARE(panel->valueOf(QStringLiteral("[Street Address]")),
             QStringLiteral("Hospice House\n12 Elm Road"));
}

void FieldsX11Test::senderDetailsByKeyboard()
{
    FillFieldsPanel* panel = openPanelByShortcut();
    QVERIFY(panel);
    // Sender Details from the panel, by its mnemonic.
    pressOnFocus(Qt::Key_D, Qt::AltModifier);
    QTRY_VERIFY(fieldTools().senderDialog() && fieldTools().senderDialog()->isActiveWindow());
    SenderDetailsDialog* dialog = fieldTools().senderDialog();
    QTRY_COMPARE(QApplication::focusWidget(), dialog->boxes[SenderDetailsDialog::Name]);
    typeIntoFocus(QStringLiteral("Jo Brandt"));
    pressOnFocus(Qt::Key_Tab);
    typeIntoFocus(QStringLiteral("Director"));
    pressOnFocus(Qt::Key_Return);
    QTRY_VERIFY(!fieldTools().senderDialog());
    QCOMPARE(panel->valueOf(QStringLiteral("[Your Name]")), QStringLiteral("Jo Brandt"));
    QCOMPARE(panel->valueOf(QStringLiteral("[Your Title]")), QStringLiteral("Director"));
    QCOMPARE(SenderDetails::load().name, QStringLiteral("Jo Brandt"));
}

QTEST_MAIN(FieldsX11Test)
#include "test_fields_x11.moc"
