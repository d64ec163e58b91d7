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
#include "mainwindow/CommandTables.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MenuBarControl.h"
#include "mainwindow/Pictures.h"
#include "platform/QtServices.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>

using namespace lw;

namespace {

const QString memorialTitle =
    QStringLiteral("Acknowledgment of a Gift Made in Memory of a Loved One");

// The fields of the memorial gift letter, in the order they first appear.
const QStringList memorialFields = {"[Date]",
                                    "[Recipient Name]",
                                    "[Street Address]",
                                    "[City, State ZIP]",
                                    "[Organization Name]",
                                    "[Name]",
                                    "[Amount]",
                                    "[Event Date]",
                                    "[Your Phone]",
                                    "[Your Name]",
                                    "[Your Title]"};

// The default library as the program is given it.
LibraryContents defaultLibrary()
{
    librarysource::SourceError error;
    const auto read = librarysource::read(QStringLiteral(LW_LIBRARY_SOURCE_DIR), &error);
    if (!read)
        qFatal("The default library cannot be read");
    return *read;
}

// Presses a push button the way assistive technology does.
void pressAccessibly(QWidget* widget)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(accessible);
    QVERIFY(accessible->actionInterface());
    accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

} // namespace

class FillFieldsTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void commandsOfTheMenusAndToolbar_data();
    void commandsOfTheMenusAndToolbar();
    void panelListsTheFieldsOfTheLetter();
    void dateOffersTheDateDialogsFormats();
    void enterFillsEveryOccurrenceAndMovesOn();
    void shiftEnterStartsAParagraph();
    void fillAllLeavesNoBracketInOneUndoStep();
    void fillButtonsByAccessibility();
    void emptyValueFillsNothing();
    void anotherLetterForgetsWhatWasTyped();
    void panelFollowsEditsInTheLetter();
    void panelFollowsALongFileOpened();
    void escClosesThePanel();

    void senderDetailsAreKeptAndOffered();
    void senderDetailsComeBackAfterARestart();
    void senderDetailsCancelKeepsTheOldOnes();
    void senderDetailsThatCannotBeSaved();

    void nextAndPreviousFieldWalkTheLetter();
    void nextFieldWithNothingLeft();

    void unfilledQuestion_data();
    void unfilledQuestion();
    void askedBeforeTheLetterGoesOut_data();
    void askedBeforeTheLetterGoesOut();
    void askedWhenSavingBeforeTheLetterIsReplaced_data();
    void askedWhenSavingBeforeTheLetterIsReplaced();
    void printingGoesOnWhenTheUserSaysYes();
    void nothingAskedWhenEveryFieldIsFilled();
    void nothingAskedWhenSaveHasNothingToWrite();
    void messagesShowNamesAsText();

private:
    MainWindow& w() { return *program->mainWindow(); }
    LetterEditor& editor() { return *w().RTB; }
    FieldTools& fieldTools() { return w().dispatcher().fields(); }
    void startProgram();
    void showLetter(const QString& title);
    void menu(const char* menuKey, const char* itemKey);
    FillFieldsPanel* openPanel();
    FieldBox* textBox(FillFieldsPanel* panel, const QString& field);

    QTemporaryDir config;
    std::unique_ptr<test::TestLibrary> library;
    std::unique_ptr<test::FakePlatform> platform;
    std::unique_ptr<Letterwright> program;
};

void FillFieldsTest::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void FillFieldsTest::init()
{
    QVERIFY(config.isValid());
    library = std::make_unique<test::TestLibrary>();
    platform = std::make_unique<test::FakePlatform>();
    // After the platform doubles, which point the config folder at one of their own.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QFile::remove(SenderDetails::settingsPath());
    library->create(defaultLibrary());
    startProgram();
}

void FillFieldsTest::cleanup()
{
    if (program && program->mainWindow())
        w().shutDownDone = true;
    program.reset();
    platform.reset();
    library.reset();
}

void FillFieldsTest::startProgram()
{
    program = std::make_unique<Letterwright>();
    QVERIFY(program->StartUp());
    showLetter(memorialTitle);
}

void FillFieldsTest::showLetter(const QString& title)
{
    w().library().ShowLetter(title);
    QVERIFY(editor().Text().contains(QStringLiteral("in memory of")) || title != memorialTitle);
    w().DocumentModified = false;
}

void FillFieldsTest::menu(const char* menuKey, const char* itemKey)
{
    w().MenuBar_ItemClick(QLatin1String(menuKey), QLatin1String(itemKey));
}

FillFieldsPanel* FillFieldsTest::openPanel()
{
    menu("mnuInsert", "FillFields");
    FillFieldsPanel* panel = fieldTools().fillFieldsPanel();
    if (!panel)
        QTest::qFail("The panel did not open", __FILE__, __LINE__);
    return panel;
}

FieldBox* FillFieldsTest::textBox(FillFieldsPanel* panel, const QString& field)
{
    return qobject_cast<FieldBox*>(panel->boxOf(field));
}

void FillFieldsTest::commandsOfTheMenusAndToolbar_data()
{
    QTest::addColumn<QString>("menuKey");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<int>("picture");

    QTest::newRow("Insert: Fill Fields") << "mnuInsert"
                                         << "FillFields"
                                         << "Fi&ll Fields..."
                                         << "Ctrl+Shift+F" << 74;
    QTest::newRow("Insert: Next Field") << "mnuInsert"
                                        << "NextField"
                                        << "&Next Field"
                                        << "F4" << -1;
    QTest::newRow("Insert: Previous Field") << "mnuInsert"
                                            << "PreviousField"
                                            << "Pre&vious Field"
                                            << "Shift+F4" << -1;
    QTest::newRow("Edit: Sender Details") << "mnuEdit"
                                          << "Sender_Details"
                                          << "Sender Detai&ls..."
                                          << "" << 75;
    QTest::newRow("tool: Fill Fields") << "Band6"
                                       << "FILLFIELDS"
                                       << "Fill Fields"
                                       << "" << 74;
}

void FillFieldsTest::commandsOfTheMenusAndToolbar()
{
    QFETCH(QString, menuKey);
    QFETCH(QString, key);
    QFETCH(QString, caption);
    QFETCH(QString, shortcut);
    QFETCH(int, picture);

    MenuBarControl& bar = *w().MenuBar;
    QAction* action =
        menuKey == QLatin1String("Band6") ? bar.tool(menuKey, key) : bar.item(menuKey, key);
    QVERIFY(action);
    if (menuKey == QLatin1String("Band6")) {
        QCOMPARE(action->toolTip(), caption);
        // A command on the document, like Print: usable from the start.
        QVERIFY(bar.isToolEnabled(menuKey, key));
        QCOMPARE(bar.band(menuKey)->widgetForAction(action)->accessibleName(), caption);
    } else {
        QCOMPARE(action->text(), caption);
        QCOMPARE(action->shortcut().toString(QKeySequence::PortableText), shortcut);
    }
    QCOMPARE(action->icon().name(), pictures::iconName(picture));
    if (picture >= 0)
        QVERIFY2(QIcon::hasThemeIcon(pictures::iconName(picture)),
                 qPrintable(pictures::iconName(picture)));

    // Each opens what it names.
    if (key == QLatin1String("Sender_Details")) {
        menu("mnuEdit", "Sender_Details");
        QVERIFY(fieldTools().senderDialog());
        fieldTools().senderDialog()->reject();
    } else if (key == QLatin1String("FILLFIELDS")) {
        w().MenuBar_ToolClick(menuKey, key);
        QVERIFY(fieldTools().fillFieldsPanel());
        QVERIFY(fieldTools().fillFieldsPanel()->isVisible());
    }
}

void FillFieldsTest::panelListsTheFieldsOfTheLetter()
{
    FillFieldsPanel* panel = openPanel();
    QVERIFY(panel->isVisible());
    QVERIFY(!panel->isModal());
    QCOMPARE(panel->windowTitle(), QStringLiteral("Fill Fields"));
    QCOMPARE(panel->listedFields(), memorialFields);
    QCOMPARE(panel->lblStatus->text(), QStringLiteral("11 fields left to fill."));
    for (const QString& field : memorialFields) {
        QLabel* label = panel->labelOf(field);
        QVERIFY(label);
        // The name as the letter shows it, without brackets; the box is called so too.
        QCOMPARE(label->text(), field.mid(1, field.size() - 2));
        QCOMPARE(label->buddy(), panel->boxOf(field));
        QCOMPARE(panel->boxOf(field)->accessibleName(), label->text());
        QCOMPARE(panel->fillButtonOf(field)->accessibleName(),
                 QStringLiteral("Fill ") + label->text());
    }
    // Nothing offered for the sender, who has given no details yet.
    QCOMPARE(panel->valueOf(QStringLiteral("[Your Name]")), QString());
    QVERIFY(!panel->fillButtonOf(QStringLiteral("[Your Name]"))->isEnabled());
    for (QPushButton* button : {panel->cmdSender, panel->cmdFillAll, panel->cmdClose}) {
        QVERIFY(!button->accessibleName().isEmpty() || !button->text().isEmpty());
        QVERIFY(!button->isDefault());
        QVERIFY(!button->autoDefault());
    }

    // Opening it again brings the same panel forward.
    menu("mnuInsert", "FillFields");
    QCOMPARE(fieldTools().fillFieldsPanel(), panel);
}

void FillFieldsTest::dateOffersTheDateDialogsFormats()
{
    FillFieldsPanel* panel = openPanel();
    auto* date = qobject_cast<QComboBox*>(panel->boxOf(QStringLiteral("[Date]")));
    QVERIFY(date);
    QVERIFY(date->isEditable());
    // The clock says 10 December 2026, 19:07:05; the first format of the date dialog is dd/mm/yy.
    QCOMPARE(panel->valueOf(QStringLiteral("[Date]")), QStringLiteral("10/12/26"));
    QCOMPARE(date->count(), 13);
    QCOMPARE(date->itemText(1), QStringLiteral("10 December 2026"));
    date->setCurrentIndex(3);
    QCOMPARE(panel->valueOf(QStringLiteral("[Date]")), QStringLiteral("December 10, 2026"));
    QTest::keyClick(date->lineEdit(), Qt::Key_Return);
    QVERIFY(editor().Text().startsWith(QStringLiteral("December 10, 2026\n")));
    QVERIFY(!panel->listedFields().contains(QStringLiteral("[Date]")));
    // Enter typed into the date box filled the field and nothing else.
    QCOMPARE(editor().Text().count(QStringLiteral("December 10, 2026")), 1);
}

void FillFieldsTest::enterFillsEveryOccurrenceAndMovesOn()
{
    FillFieldsPanel* panel = openPanel();
    FieldBox* box = textBox(panel, QStringLiteral("[Organization Name]"));
    QVERIFY(box);
    QTest::keyClicks(box, QStringLiteral("Hospice of [the] Valley"));
    box->insertPlainText(QStringLiteral(" — Zoë 😀"));
    QVERIFY(panel->fillButtonOf(QStringLiteral("[Organization Name]"))->isEnabled());
    QTest::keyClick(box, Qt::Key_Return);

    const QString text = editor().Text();
    QVERIFY(!text.contains(QStringLiteral("[Organization Name]")));
    QCOMPARE(text.count(QStringLiteral("Hospice of [the] Valley — Zoë 😀")), 2);
    QVERIFY(w().DocumentModified);
    QCOMPARE(panel->listedFields().size(), memorialFields.size() - 1);
    QVERIFY(!panel->listedFields().contains(QStringLiteral("[Organization Name]")));
    QVERIFY(!panel->boxOf(QStringLiteral("[Organization Name]")));
    QCOMPARE(panel->lblStatus->text(), QStringLiteral("10 fields left to fill."));
    // The value's brackets, twice in the letter now, made no field.
    QVERIFY(!fieldTools().fields().fields().contains(QStringLiteral("[the]")));
    QVERIFY(!platform->messages.shown.size());
}

void FillFieldsTest::shiftEnterStartsAParagraph()
{
    FillFieldsPanel* panel = openPanel();
    FieldBox* box = textBox(panel, QStringLiteral("[Street Address]"));
    QTest::keyClicks(box, QStringLiteral("1 Main St"));
    QTest::keyClick(box, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(box, QStringLiteral("Suite 4"));
    QCOMPARE(box->value(), QStringLiteral("1 Main St\nSuite 4"));
    QTest::keyClick(box, Qt::Key_Enter);
    QVERIFY(editor().Text().contains(QStringLiteral("\n1 Main St\nSuite 4\n[City, State ZIP]\n")));
    const int lines = editor().lineCount();
    editor().undo();
    QCOMPARE(editor().lineCount(), lines - 1);
    QVERIFY(editor().Text().contains(QStringLiteral("\n[Street Address]\n")));
}

void FillFieldsTest::fillAllLeavesNoBracketInOneUndoStep()
{
    FillFieldsPanel* panel = openPanel();
    const QString before = editor().Text();
    int i = 0;
    for (const QString& field : memorialFields) {
        if (field != QLatin1String("[Date]"))
            panel->setValueOf(field, QStringLiteral("Value %1").arg(++i));
    }
    QTest::mouseClick(panel->cmdFillAll, Qt::LeftButton);
    const QString after = editor().Text();
    QVERIFY2(!after.contains(u'[') && !after.contains(u']'), qPrintable(after));
    QVERIFY(after.startsWith(QStringLiteral("10/12/26\n\nValue 1\nValue 2\nValue 3\n")));
    QVERIFY(panel->listedFields().isEmpty());
    QCOMPARE(panel->lblStatus->text(), QStringLiteral("No field left to fill."));
    QVERIFY(!panel->cmdFillAll->isEnabled());

    editor().undo();
    QCOMPARE(editor().Text(), before);
    QTRY_COMPARE(panel->listedFields(), memorialFields);
    // The values typed are offered again.
    QCOMPARE(panel->valueOf(QStringLiteral("[Recipient Name]")), QStringLiteral("Value 1"));
}

void FillFieldsTest::fillButtonsByAccessibility()
{
    FillFieldsPanel* panel = openPanel();
    panel->setValueOf(QStringLiteral("[Amount]"), QStringLiteral("$250"));
    pressAccessibly(panel->fillButtonOf(QStringLiteral("[Amount]")));
    QTRY_VERIFY(editor().Text().contains(QStringLiteral("contribution of $250, received")));

    panel->setValueOf(QStringLiteral("[Name]"), QStringLiteral("Ann"));
    pressAccessibly(panel->cmdFillAll);
    QTRY_VERIFY(editor().Text().contains(QStringLiteral("in memory of Ann.")));
    // The date was offered, so Fill All filled it too.
    QVERIFY(editor().Text().startsWith(QStringLiteral("10/12/26\n")));
}

void FillFieldsTest::emptyValueFillsNothing()
{
    FillFieldsPanel* panel = openPanel();
    const QString before = editor().Text();
    panel->setValueOf(QStringLiteral("[Amount]"), QStringLiteral("   "));
    QVERIFY(!panel->fillButtonOf(QStringLiteral("[Amount]"))->isEnabled());
    panel->fillField(QStringLiteral("[Amount]"));
    QCOMPARE(editor().Text(), before);
    QVERIFY(!w().DocumentModified);
}

void FillFieldsTest::anotherLetterForgetsWhatWasTyped()
{
    FillFieldsPanel* panel = openPanel();
    panel->setValueOf(QStringLiteral("[Recipient Name]"), QStringLiteral("Ms Ölund"));
    showLetter(QStringLiteral("Thank You to a First-Time Donor"));
    QTRY_VERIFY(panel->listedFields() != memorialFields);
    QVERIFY(panel->listedFields().contains(QStringLiteral("[Recipient Name]")));
    QCOMPARE(panel->valueOf(QStringLiteral("[Recipient Name]")), QString());
}

void FillFieldsTest::panelFollowsEditsInTheLetter()
{
    FillFieldsPanel* panel = openPanel();
    editor().setSelStart(editor().TextLength());
    editor().setSelText(QStringLiteral("\nP.S. [Gift Item] and again [Gift Item]."));
    QTRY_COMPARE(panel->listedFields().size(), memorialFields.size() + 1);
    QCOMPARE(panel->listedFields().last(), QStringLiteral("[Gift Item]"));
}

void FillFieldsTest::panelFollowsALongFileOpened()
{
    FillFieldsPanel* panel = openPanel();
    panel->setValueOf(QStringLiteral("[Recipient Name]"), QStringLiteral("Ms Ölund"));
    // Long enough to be read behind a progress window, into a document of its own.
    QByteArray rtf = "{\\rtf1\\ansi Dear [Recipient Name],\\par Your [Gift Item] arrived.\\par ";
    while (rtf.size() < 300 * 1024)
        rtf += "Thank you for your kind support of our work this year.\\par ";
    rtf += "[Gift Item]\\par}";
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("long.rtf"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(rtf) == rtf.size());
    file.close();
    platform->dialogs.openAnswers.push_back(QStringList{path});
    w().OpenDocument();
    QCOMPARE(platform->progress.jobs.size(), 1);
    QVERIFY(editor().Text().startsWith(QStringLiteral("Dear [Recipient Name],")));

    QTRY_COMPARE(panel->listedFields(), QStringList({"[Recipient Name]", "[Gift Item]"}));
    QCOMPARE(panel->valueOf(QStringLiteral("[Recipient Name]")), QString());
    fieldTools().highlight().refresh();
    QVERIFY(!fieldTools().highlight().shown().isEmpty());
    QCOMPARE(fieldTools().highlight().shown().first().name, QStringLiteral("[Recipient Name]"));
    // Edits of the new document are followed too.
    editor().setSelStart(0);
    editor().setSelText(QStringLiteral("[Reference] and [Reference]\n"));
    QTRY_COMPARE(panel->listedFields(),
                 QStringList({"[Reference]", "[Recipient Name]", "[Gift Item]"}));
}

void FillFieldsTest::escClosesThePanel()
{
    FillFieldsPanel* panel = openPanel();
    QPointer<FillFieldsPanel> guard(panel);
    QTest::keyClick(textBox(panel, QStringLiteral("[Amount]")), Qt::Key_Escape);
    QVERIFY(!fieldTools().fillFieldsPanel());
    QTRY_VERIFY(!guard);
}

void FillFieldsTest::senderDetailsAreKeptAndOffered()
{
    FillFieldsPanel* panel = openPanel();
    menu("mnuEdit", "Sender_Details");
    SenderDetailsDialog* dialog = fieldTools().senderDialog();
    QVERIFY(dialog);
    QVERIFY(dialog->isModal());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Sender Details"));
    for (QLineEdit* box : dialog->boxes)
        QVERIFY(!box->accessibleName().isEmpty());
    QCOMPARE(dialog->boxes[SenderDetailsDialog::CityLine]->accessibleName(),
             QStringLiteral("City, state and ZIP"));
    dialog->boxes[SenderDetailsDialog::Name]->setText(QStringLiteral("Jo Brandt"));
    dialog->boxes[SenderDetailsDialog::Title]->setText(QStringLiteral("Director"));
    dialog->boxes[SenderDetailsDialog::Phone]->setText(QStringLiteral("+1 555 0100"));
    dialog->boxes[SenderDetailsDialog::Email]->setText(QStringLiteral("jo@example.org"));
    // The user typed the title before: it stays as typed.
    panel->setValueOf(QStringLiteral("[Your Title]"), QStringLiteral("Chair"));
    QTest::keyClick(dialog->boxes[SenderDetailsDialog::Email], Qt::Key_Return);
    QVERIFY(!fieldTools().senderDialog() || !fieldTools().senderDialog()->isVisible());

    QCOMPARE(panel->valueOf(QStringLiteral("[Your Name]")), QStringLiteral("Jo Brandt"));
    QCOMPARE(panel->valueOf(QStringLiteral("[Your Phone]")), QStringLiteral("+1 555 0100"));
    QCOMPARE(panel->valueOf(QStringLiteral("[Your Title]")), QStringLiteral("Chair"));

    // In the settings file of the XDG config folder.
    const QString file = config.filePath(QStringLiteral("letterwright/letterwright.conf"));
    QCOMPARE(SenderDetails::settingsPath(), file);
    const QSettings settings(file, QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("Sender/Name")).toString(), QStringLiteral("Jo Brandt"));
    QCOMPARE(settings.value(QStringLiteral("Sender/Email")).toString(),
             QStringLiteral("jo@example.org"));
}

void FillFieldsTest::senderDetailsComeBackAfterARestart()
{
    SenderDetails details;
    details.name = QStringLiteral("Jo Brandt");
    details.title = QStringLiteral("Director of Giving");
    details.company = QStringLiteral("Hospice [North] — Zoë");
    details.phone = QStringLiteral("+1 555 0100");
    QVERIFY(details.save());

    w().shutDownDone = true;
    program.reset();
    startProgram();
    QCOMPARE(SenderDetails::load(), details);
    FillFieldsPanel* panel = openPanel();
    QCOMPARE(panel->valueOf(QStringLiteral("[Your Name]")), QStringLiteral("Jo Brandt"));
    QCOMPARE(panel->valueOf(QStringLiteral("[Your Title]")), QStringLiteral("Director of Giving"));
    QCOMPARE(panel->valueOf(QStringLiteral("[Your Phone]")), QStringLiteral("+1 555 0100"));
    menu("mnuEdit", "Sender_Details");
    QCOMPARE(fieldTools().senderDialog()->details(), details);
    fieldTools().senderDialog()->reject();
}

void FillFieldsTest::senderDetailsCancelKeepsTheOldOnes()
{
    SenderDetails details;
    details.name = QStringLiteral("Jo Brandt");
    QVERIFY(details.save());
    menu("mnuEdit", "Sender_Details");
    SenderDetailsDialog* dialog = fieldTools().senderDialog();
    dialog->boxes[SenderDetailsDialog::Name]->setText(QStringLiteral("Somebody Else"));
    QTest::keyClick(dialog->boxes[SenderDetailsDialog::Name], Qt::Key_Escape);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(SenderDetails::load(), details);
}

void FillFieldsTest::senderDetailsThatCannotBeSaved()
{
    // The config folder is a file: nothing can be written under it.
    QTemporaryDir dir;
    const QString blocked = dir.filePath(QStringLiteral("config"));
    QFile file(blocked);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocked));

    menu("mnuEdit", "Sender_Details");
    SenderDetailsDialog* dialog = fieldTools().senderDialog();
    dialog->boxes[SenderDetailsDialog::Name]->setText(QStringLiteral("Jo Brandt"));
    platform->messages.expect(
        QStringLiteral("The settings file %1/letterwright/letterwright.conf cannot be written."
                       "\n\nThe sender details have not been saved.")
            .arg(blocked),
        QStringLiteral("Sender Details"), MsgButtons::Ok, MsgIcon::Exclamation);
    pressAccessibly(dialog->buttons->button(QDialogButtonBox::Ok));
    QTRY_VERIFY(!platform->messages.shown.isEmpty());
    platform->messages.verifyDone();
    // Still open, with what was typed.
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->details().name, QStringLiteral("Jo Brandt"));
    dialog->reject();
}

void FillFieldsTest::nextAndPreviousFieldWalkTheLetter()
{
    const LetterFields& fields = fieldTools().fields();
    QList<FieldOccurrence> places = fields.occurrencesBetween(0, editor().TextLength());
    QCOMPARE(places.size(), 14);
    editor().setSelStart(0);
    for (const FieldOccurrence& place : places) {
        menu("mnuInsert", "NextField");
        QCOMPARE(editor().SelStart(), place.position);
        QCOMPARE(editor().SelText(), place.name);
    }
    // Round again from the top.
    menu("mnuInsert", "NextField");
    QCOMPARE(editor().SelText(), QStringLiteral("[Date]"));
    QCOMPARE(editor().SelStart(), 0);
    menu("mnuInsert", "PreviousField");
    QCOMPARE(editor().SelStart(), places.last().position);
    menu("mnuInsert", "PreviousField");
    QCOMPARE(editor().SelStart(), places.at(places.size() - 2).position);

    // Typing replaces the selected field.
    QCOMPARE(editor().SelText(), QStringLiteral("[Your Title]"));
    editor().setSelText(QStringLiteral("Director"));
    QVERIFY(!editor().Text().contains(QStringLiteral("[Your Title]")));
}

void FillFieldsTest::nextFieldWithNothingLeft()
{
    editor().setText(QStringLiteral("Dear [sic] Sir"));
    platform->messages.expect(QStringLiteral("Every field of the letter is filled."),
                              QStringLiteral("Next Field"), MsgButtons::Ok, MsgIcon::Information);
    menu("mnuInsert", "NextField");
    platform->messages.expect(QStringLiteral("Every field of the letter is filled."),
                              QStringLiteral("Previous Field"), MsgButtons::Ok,
                              MsgIcon::Information);
    menu("mnuInsert", "PreviousField");
    platform->messages.verifyDone();
}

void FillFieldsTest::unfilledQuestion_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("expected");

    QTest::newRow("one field") << QStringList{"[Amount]"} << "Print"
                               << "1 field is still unfilled: [Amount]. Print anyway?";
    QTest::newRow("two fields") << QStringList{"[Amount]", "[Event Date]"} << "Print"
                                << "2 fields are still unfilled: [Amount], [Event Date]. Print "
                                   "anyway?";
    QTest::newRow("five fields are all named")
        << QStringList{"[A]", "[B]", "[C]", "[D]", "[E]"} << "Save"
        << "5 fields are still unfilled: [A], [B], [C], [D], [E]. Save anyway?";
    QTest::newRow("more than five: five named")
        << QStringList{"[A]", "[B]", "[C]", "[D]", "[E]", "[F]", "[G]"} << "Export"
        << "7 fields are still unfilled: [A], [B], [C], [D], [E] and 2 more. Export anyway?";
    QTest::newRow("robustness: percent signs stay") << QStringList{"[%1 %2]"} << "Print"
                                                    << "1 field is still unfilled: [%1 %2]. Print "
                                                       "anyway?";
}

void FillFieldsTest::unfilledQuestion()
{
    QFETCH(QStringList, fields);
    QFETCH(QString, action);
    QFETCH(QString, expected);
    QCOMPARE(FieldTools::unfilledQuestion(fields, action), expected);
}

void FillFieldsTest::askedBeforeTheLetterGoesOut_data()
{
    QTest::addColumn<QString>("surface");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("action");

    QTest::newRow("File Print") << "mnuFile"
                                << "Print"
                                << "Print";
    QTest::newRow("tool PRINT") << "Band6"
                                << "PRINT"
                                << "Print";
    QTest::newRow("Print from File Print Preview") << "mnuFile"
                                                   << "PrintPreview"
                                                   << "Print";
    QTest::newRow("File Export as PDF") << "mnuFile"
                                        << "ExportPdf"
                                        << "Export";
    QTest::newRow("File Save") << "mnuFile"
                               << "Save"
                               << "Save";
    QTest::newRow("tool SAVE") << "Band6"
                               << "SAVE"
                               << "Save";
    QTest::newRow("File Save As") << "mnuFile"
                                  << "SaveAs"
                                  << "Save";
}

void FillFieldsTest::askedBeforeTheLetterGoesOut()
{
    QFETCH(QString, surface);
    QFETCH(QString, key);
    QFETCH(QString, action);

    // All but two fields filled.
    QList<std::pair<QString, QString>> values;
    for (const QString& field : memorialFields) {
        if (field != QLatin1String("[Amount]") && field != QLatin1String("[Event Date]"))
            values.append({field, QStringLiteral("x")});
    }
    fieldTools().fields().fill(values);
    QVERIFY(w().DocumentModified);
    editor().setSelStart(editor().TextLength());
    const QString before = editor().Text();

    platform->messages.expect(
        QStringLiteral("2 fields are still unfilled: [Amount], [Event Date]. %1 anyway?")
            .arg(action),
        action, MsgButtons::YesNo, MsgIcon::Exclamation, MsgAnswer::No);
    // In the preview, the user presses Print.
    if (key == QLatin1String("PrintPreview"))
        platform->dialogs.previewAnswers.push_back(true);
    if (surface == QLatin1String("Band6"))
        w().MenuBar_ToolClick(surface, key);
    else
        w().MenuBar_ItemClick(surface, key);
    platform->messages.verifyDone();

    // Back in the letter, the first unfilled field selected; nothing printed or saved.
    QCOMPARE(editor().SelText(), QStringLiteral("[Amount]"));
    QCOMPARE(editor().SelStart(), before.indexOf(QStringLiteral("[Amount]")));
    QCOMPARE(editor().Text(), before);
    QVERIFY(!QFile::exists(platform->printers.outputPath()));
    QVERIFY(platform->dialogs.saveRequests.isEmpty());
    QVERIFY(w().DocumentModified);
}

void FillFieldsTest::askedWhenSavingBeforeTheLetterIsReplaced_data()
{
    QTest::addColumn<QString>("replacedBy");
    QTest::addColumn<QString>("saveQuestion");

    QTest::newRow("nominal: closing the window")
        << "close"
        << "Current file has been modified.  Save changes?";
    QTest::newRow("nominal: showing another letter")
        << "letter"
        << "The current file has been modified.  Save changes?";
}

void FillFieldsTest::askedWhenSavingBeforeTheLetterIsReplaced()
{
    QFETCH(QString, replacedBy);
    QFETCH(QString, saveQuestion);

    QList<std::pair<QString, QString>> values;
    for (const QString& field : memorialFields) {
        if (field != QLatin1String("[Amount]") && field != QLatin1String("[Event Date]"))
            values.append({field, QStringLiteral("x")});
    }
    fieldTools().fields().fill(values);
    editor().setSelStart(editor().TextLength());
    const QString before = editor().Text();

    // Yes to saving, then No to saving with fields unfilled: the letter stays, nothing written.
    platform->messages.expect(saveQuestion, QStringLiteral("Notice"), MsgButtons::YesNoCancel,
                              MsgIcon::None, MsgAnswer::Yes);
    platform->messages.expect(
        QStringLiteral("2 fields are still unfilled: [Amount], [Event Date]. Save anyway?"),
        QStringLiteral("Save"), MsgButtons::YesNo, MsgIcon::Exclamation, MsgAnswer::No);
    if (replacedBy == QLatin1String("close"))
        QVERIFY(!w().close());
    else
        QVERIFY(!w().library().ShowLetter(QStringLiteral("Thank You to a First-Time Donor")));
    platform->messages.verifyDone();

    QVERIFY(!w().shutDownDone);
    QCOMPARE(editor().Text(), before);
    QCOMPARE(editor().SelText(), QStringLiteral("[Amount]"));
    QVERIFY(w().DocumentModified);
    QVERIFY(platform->dialogs.saveRequests.isEmpty());
}

void FillFieldsTest::printingGoesOnWhenTheUserSaysYes()
{
    platform->messages.expect(
        QStringLiteral("11 fields are still unfilled: [Date], [Recipient Name], [Street Address], "
                       "[City, State ZIP], [Organization Name] and 6 more. Print anyway?"),
        QStringLiteral("Print"), MsgButtons::YesNo, MsgIcon::Exclamation, MsgAnswer::Yes);
    menu("mnuFile", "Print");
    platform->messages.verifyDone();
    QVERIFY(QFile::exists(platform->printers.outputPath()));
}

void FillFieldsTest::nothingAskedWhenEveryFieldIsFilled()
{
    FillFieldsPanel* panel = openPanel();
    for (const QString& field : memorialFields)
        panel->setValueOf(field, QStringLiteral("x"));
    panel->cmdFillAll_Click();
    QVERIFY(fieldTools().fields().isEmpty());
    menu("mnuFile", "Print");
    QVERIFY(QFile::exists(platform->printers.outputPath()));
    QVERIFY(platform->messages.shown.isEmpty());
}

void FillFieldsTest::nothingAskedWhenSaveHasNothingToWrite()
{
    QVERIFY(!w().DocumentModified);
    menu("mnuFile", "Save");
    QVERIFY(platform->messages.shown.isEmpty());
    QVERIFY(platform->dialogs.saveRequests.isEmpty());
}

void FillFieldsTest::messagesShowNamesAsText()
{
    // A field's name comes from the document: markup in it is shown as typed, never followed.
    const QString question = FieldTools::unfilledQuestion(
        {QStringLiteral("[<b>Amount</b> <img src=\"x.png\">]")}, QStringLiteral("Print"));
    QString shownText;
    Qt::TextFormat shownFormat = Qt::AutoText;
    QTimer answer;
    answer.setInterval(10);
    connect(&answer, &QTimer::timeout, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        answer.stop();
        shownText = box->text();
        shownFormat = box->textFormat();
        box->button(QMessageBox::No)->click();
    });
    answer.start();
    QtMessageService real;
    QCOMPARE(real.show(nullptr, question, QStringLiteral("Print"), MsgButtons::YesNo,
                       MsgIcon::Exclamation),
             MsgAnswer::No);
    QCOMPARE(shownText, question);
    QCOMPARE(shownFormat, Qt::PlainText);
}

QTEST_MAIN(FillFieldsTest)
#include "test_fillfields.moc"
