#include "FakeServices.h"
#include "TestLibrary.h"
#include "app/SplashScreen.h"
#include "editor/DateTimeDialog.h"
#include "editor/FileManagerDialog.h"
#include "editor/FindDialog.h"
#include "editor/GoToDialog.h"
#include "editor/LetterEditor.h"
#include "editor/SymbolsDialog.h"
#include "library/AddLetterDialog.h"
#include "library/DataFile.h"
#include "library/MoveLetterDialog.h"
#include "library/modMain.h"
#include "mainwindow/CommandTables.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MenuBarControl.h"
#include "mainwindow/PopupMenuControl.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <functional>

using namespace lw;

namespace {

const QString band = QString::fromLatin1(toolbarBandKey);

QString withoutMnemonic(const QString& caption)
{
    QString text;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        text.append(caption[i]);
    }
    return text;
}

// The letter after "&" in a caption, lower case; empty without one.
QString mnemonicOf(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] == u'&') {
            if (caption[i + 1] == u'&') {
                ++i;
                continue;
            }
            return caption.mid(i + 1, 1).toLower();
        }
    }
    return {};
}

// The control the keyboard is in: an editable box's own line edit counts as the box.
QWidget* controlOf(QWidget* widget)
{
    if (widget && qobject_cast<QComboBox*>(widget->parentWidget()))
        return widget->parentWidget();
    return widget;
}

// What a screen reader announces for a control.
// What a screen reader announces for a control: a combo box, whose own name is its text, by the
// label that names it or else by its description; anything else by its name.
QString spokenName(QWidget* widget)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(controlOf(widget));
    if (!accessible)
        return QStringLiteral("<none>");
    if (accessible->role() == QAccessible::ComboBox) {
        const auto labels = accessible->relations(QAccessible::Label);
        if (!labels.isEmpty())
            return labels.first().first->text(QAccessible::Name);
        if (!accessible->text(QAccessible::Description).isEmpty())
            return accessible->text(QAccessible::Description);
    }
    return accessible->text(QAccessible::Name);
}

QString focusName()
{
    return spokenName(QApplication::focusWidget());
}

bool isInteractive(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::Button:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::List:
    case QAccessible::ListItem:
    case QAccessible::MenuItem:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::SpinBox:
    case QAccessible::PageTab:
        return true;
    default:
        return false;
    }
}

// Visits the accessibility tree below `node` as assistive technology walks it: what is
// invisible is left out, and so are the parts a combo box is made of and all but the first rows
// of a long list.
void walk(QAccessibleInterface* node, const std::function<void(QAccessibleInterface*)>& visit,
          int depth = 0)
{
    if (!node || !node->isValid() || node->state().invisible || depth > 40)
        return;
    visit(node);
    if (node->role() == QAccessible::ComboBox)
        return;
    const int count =
        node->role() == QAccessible::List ? qMin(node->childCount(), 3) : node->childCount();
    for (int i = 0; i < count; ++i)
        walk(node->child(i), visit, depth + 1);
}

// Presses a control as a screen reader does, through its accessible action.
void pressThroughAccessibility(QWidget* control)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
    QVERIFY(accessible);
    QAccessibleActionInterface* actions = accessible->actionInterface();
    QVERIFY(actions);
    const QStringList names = actions->actionNames();
    const QString press = QAccessibleActionInterface::pressAction();
    const QString toggle = QAccessibleActionInterface::toggleAction();
    QVERIFY2(names.contains(press) || names.contains(toggle), qPrintable(names.join(u',')));
    actions->doAction(names.contains(press) ? press : toggle);
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class AccessibilityTest : public QObject
{
    Q_OBJECT
public:
    // One row per window: how the user opens it, what it is to assistive technology, and the
    // order in which Tab goes through it from the control that has the keyboard first. A new
    // window joins every check of this test with one row.
    struct Window
    {
        QString name;
        std::function<QWidget*(AccessibilityTest&)> open;
        QAccessible::Role role;
        QStringList tabOrder;
        bool escapeCloses;
    };

    // A button of a window, what makes its command meaningful, and the command's effect.
    struct Press
    {
        QString name;
        QString window;
        std::function<QWidget*(QWidget*)> control;
        std::function<void(AccessibilityTest&, QWidget*)> prepare;
        std::function<void(AccessibilityTest&, QWidget*)> effect;
    };

    static QList<Window> windows();
    static QList<Press> presses();

    MainWindow& mail() { return *window; }
    test::FakePlatform& fakes() { return *platform; }
    LetterEditor& editor() { return *window->RTB; }
    QTemporaryDir files;
    QStringList shownDialogs;

private slots:
    void init();
    void cleanup();

    void windowRole_data();
    void windowRole();
    void everyControlNamedAndEveryTextReadable_data();
    void everyControlNamedAndEveryTextReadable();
    void buttonsRunTheirCommands_data();
    void buttonsRunTheirCommands();
    void everyButtonHasItsPressCheck_data();
    void everyButtonHasItsPressCheck();
    void tabOrder_data();
    void tabOrder();
    void mnemonicsOneOfAKindAndTheyWork_data();
    void mnemonicsOneOfAKindAndTheyWork();
    void escapeCancels_data();
    void escapeCancels();
    void largerTextNeitherCutOffNorOverlapping_data();
    void largerTextNeitherCutOffNorOverlapping();

    void menuMnemonicsOneOfAKind();
    void menuItemsRunFromAccessibility();
    void toolsRunFromAccessibility();
    void colorToolThroughAccessibility();
    void countLinesReadTheirText();
    void dividersAreSeparators();
    void keyboardReachesEveryArea();
    void popupFromTheKeyboard();

private:
    Window windowNamed(const QString& name) const;
    QWidget* openWindow(const QString& name);

    std::unique_ptr<test::TestLibrary> library;
    std::unique_ptr<test::FakePlatform> platform;
    std::unique_ptr<MainWindow> window;
};

namespace {

// Opens a tool window with its menu command, as the user does.
template <typename Tool>
QWidget* openTool(AccessibilityTest& test, const char* menu, const char* item)
{
    test.mail().MenuBar_ItemClick(QString::fromLatin1(menu), QString::fromLatin1(item));
    const auto tools = test.mail().findChildren<Tool*>(Qt::FindDirectChildrenOnly);
    for (Tool* tool : tools) {
        if (tool->isVisible())
            return tool;
    }
    return nullptr;
}

template <typename Dialog> QWidget* openModal(AccessibilityTest& test)
{
    auto* dialog = new Dialog(&test.mail());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    if constexpr (std::is_same_v<Dialog, MoveLetterDialog>) {
        modMain().MoveTitle = QStringLiteral("Late Delivery");
        dialog->Form_Load();
    }
    dialog->open();
    return dialog;
}

} // namespace

QList<AccessibilityTest::Window> AccessibilityTest::windows()
{
    const QStringList toolbar{"Open",           "Save",
                              "Print",          "Cut",
                              "Copy",           "Paste",
                              "Font",           "Font Size",
                              "Font Color",     "Bold",
                              "Italic",         "Underline",
                              "Left Justify",   "Center Justify",
                              "Right Justify",  "Numbers",
                              "Bullets",        "Decrease Indent",
                              "Increase Indent"};
    return {
        {"main window", [](AccessibilityTest& t) -> QWidget* { return &t.mail(); },
         QAccessible::Window,
         QStringList{"Letter editor", "Search keywords", "Search",
                     "Subjects:", "Categories:", "Select A Title From Letter List:", "Add letter",
                     "Delete letter", "Move letter", "Refresh", "My Favorite", "Add to My Favorite",
                     "Delete from My Favorite", "Clear My Favorite"} +
             toolbar + QStringList{"Fill Fields"},
         false},
        {"add letter",
         openModal<AddLetterDialog>,
         QAccessible::Dialog,
         {"Title:", "Body Text:", "Yes", "Cancel"},
         true},
        {"move letter",
         openModal<MoveLetterDialog>,
         QAccessible::Dialog,
         {"Subject:", "Category:", "Yes", "Cancel"},
         true},
        {"find",
         [](AccessibilityTest& t) { return openTool<FindDialog>(t, "mnuEdit", "Find"); },
         QAccessible::Dialog,
         {"Find", "Cancel", "Find What:", "Find Whole Word Only", "Match Case", "No Highlight"},
         true},
        {"replace",
         [](AccessibilityTest& t) { return openTool<FindDialog>(t, "mnuEdit", "Replace"); },
         QAccessible::Dialog,
         {"Find", "Cancel", "Replace", "Replace All",
          "Find What:", "Replace With:", "Find Whole Word Only", "Match Case", "No Highlight"},
         true},
        {"go to",
         [](AccessibilityTest& t) { return openTool<GoToDialog>(t, "mnuEdit", "GoTo"); },
         // Go stays disabled while the box is empty; the options are one stop.
         QAccessible::Dialog,
         {"Line number", "Close", "Line"},
         true},
        {"date and time",
         [](AccessibilityTest& t) { return openTool<DateTimeDialog>(t, "mnuInsert", "DateTime"); },
         QAccessible::Dialog,
         {"Insert", "Close", "Custom format", "Insert Custom Format", "Date and time formats"},
         true},
        {"symbols",
         [](AccessibilityTest& t) { return openTool<SymbolsDialog>(t, "mnuInsert", "Symbol"); },
         QAccessible::Dialog,
         {"Close", "Symbols", "Insert"},
         true},
        {"file manager",
         [](AccessibilityTest& t) {
             return openTool<FileManagerDialog>(t, "mnuEdit", "File_Manager");
         },
         QAccessible::Dialog,
         {"File name:", "Copy to", "Rename to", "Delete", "Browse...", "Close"},
         true},
        {"splash",
         [](AccessibilityTest& t) -> QWidget* {
             auto* splash = new SplashScreen(&t.mail());
             splash->setAttribute(Qt::WA_DeleteOnClose);
             splash->show();
             return splash;
         },
         QAccessible::Window,
         {},
         false},
    };
}

namespace {

template <typename T> T* child(QWidget* window, const char* name)
{
    return window->findChild<T*>(QLatin1String(name));
}

std::function<QWidget*(QWidget*)> named(const char* name)
{
    return [name](QWidget* window) { return child<QWidget>(window, name); };
}

std::function<QWidget*(QWidget*)> mainButton(int index)
{
    return [index](QWidget* window) -> QWidget* {
        return static_cast<MainWindow*>(window)->cmdBtn[index];
    };
}

const auto nothing = [](AccessibilityTest&, QWidget*) {};

// The dialog is gone or hidden: closed by its command.
void closed(AccessibilityTest&, QWidget* window)
{
    QPointer<QWidget> watched(window);
    QTRY_VERIFY(!watched || !watched->isVisible());
}

} // namespace

QList<AccessibilityTest::Press> AccessibilityTest::presses()
{
    using T = AccessibilityTest;
    return {
        // The main window's library buttons.
        {"main: Search", "main window", mainButton(3),
         [](T& t, QWidget*) { t.mail().testSearch->setText(QStringLiteral("Refund")); },
         [](T& t, QWidget*) {
             QTRY_COMPARE(t.mail().lblTxt[3]->text(),
                          QStringLiteral("1 letters containing the keyword(s) found."));
         }},
        {"main: Add", "main window", mainButton(0), nothing,
         [](T& t, QWidget*) { QTRY_COMPARE(t.shownDialogs, QStringList{"AddLetterDialog"}); }},
        {"main: Delete", "main window", mainButton(1),
         [](T& t, QWidget*) {
             t.fakes().messages.expect(QStringLiteral("You will delete the letter 'Damaged Goods' "
                                                      "and it is unreversible, proceed?"),
                                       QStringLiteral("Notice"), MsgButtons::YesNo, MsgIcon::None,
                                       MsgAnswer::No);
         },
         [](T& t, QWidget*) { QTRY_COMPARE(t.fakes().messages.shown.size(), 1); }},
        {"main: Move", "main window", mainButton(7), nothing,
         [](T& t, QWidget*) { QTRY_COMPARE(t.shownDialogs, QStringList{"MoveLetterDialog"}); }},
        {"main: Refresh", "main window", mainButton(2),
         [](T& t, QWidget*) {
             t.mail().testSearch->setText(QStringLiteral("Refund"));
             t.mail().cmdBtn[3]->click();
         },
         [](T& t, QWidget*) {
             QTRY_COMPARE(t.mail().lblTxt[3]->text(),
                          QStringLiteral("This category includes 3 letter(s)."));
         }},
        {"main: Add to My Favorite", "main window", mainButton(4),
         [](T& t, QWidget*) { t.mail().lstBx[0]->setCurrentRow(1); },
         [](T& t, QWidget*) { QTRY_COMPARE(t.mail().lstBx[1]->count(), 3); }},
        {"main: Delete from My Favorite", "main window", mainButton(5),
         [](T& t, QWidget*) { t.mail().lstBx[1]->setCurrentRow(0); },
         [](T& t, QWidget*) { QTRY_COMPARE(t.mail().lstBx[1]->count(), 1); }},
        {"main: Clear My Favorite", "main window", mainButton(6),
         [](T& t, QWidget*) {
             t.fakes().messages.expect(QStringLiteral("It will clear My Favorite but won't delete "
                                                      "letters from this program, proceed?"),
                                       QStringLiteral("Notice"), MsgButtons::YesNo, MsgIcon::None,
                                       MsgAnswer::Yes);
         },
         [](T& t, QWidget*) { QTRY_COMPARE(t.mail().lstBx[1]->count(), 0); }},

        // Add and Move.
        {"add letter: Yes", "add letter",
         [](QWidget* w) { return static_cast<AddLetterDialog*>(w)->cmdYes; },
         [](T&, QWidget* w) {
             static_cast<AddLetterDialog*>(w)->T1[0]->setText(QStringLiteral("Thanks Again"));
             static_cast<AddLetterDialog*>(w)->Text1->setPlainText(QStringLiteral("Dear Jo"));
         },
         [](T& t, QWidget* w) {
             closed(t, w);
             QCOMPARE(modMain().NewTitle, QStringLiteral("Thanks Again"));
         }},
        {"add letter: Cancel", "add letter",
         [](QWidget* w) { return static_cast<AddLetterDialog*>(w)->cmdCancel; },
         [](T&, QWidget* w) {
             static_cast<AddLetterDialog*>(w)->T1[0]->setText(QStringLiteral("Thanks Again"));
         },
         [](T& t, QWidget* w) {
             closed(t, w);
             QVERIFY(modMain().NewTitle.isEmpty());
         }},
        {"move letter: Yes", "move letter",
         [](QWidget* w) { return static_cast<MoveLetterDialog*>(w)->cmd[0]; },
         [](T& t, QWidget*) {
             t.fakes().messages.expect(
                 QStringLiteral("Move the letter Late Delivery to Business \\ Complaints?"),
                 QStringLiteral("Notice"), MsgButtons::YesNo, MsgIcon::None, MsgAnswer::No);
         },
         closed},
        {"move letter: Cancel", "move letter",
         [](QWidget* w) { return static_cast<MoveLetterDialog*>(w)->cmd[1]; }, nothing, closed},

        // Find, and find and replace.
        {"find: Find", "find", named("cmdFind"),
         [](T& t, QWidget* w) {
             t.editor().setText(QStringLiteral("a b a"));
             child<QComboBox>(w, "cboFind")->setEditText(QStringLiteral("b"));
         },
         [](T& t, QWidget*) {
             QTRY_COMPARE(t.editor().SelStart(), 2);
             QCOMPARE(t.editor().SelLength(), 1);
         }},
        {"find: Cancel", "find", named("cmdCancel"), nothing, closed},
        {"find: Find Whole Word Only", "find", named("chkWholeWord"), nothing,
         [](T&, QWidget* w) { QTRY_COMPARE(static_cast<FindDialog*>(w)->optionsValue(), 2); }},
        {"find: Match Case", "find", named("chkMatchCase"), nothing,
         [](T&, QWidget* w) { QTRY_COMPARE(static_cast<FindDialog*>(w)->optionsValue(), 4); }},
        {"find: No Highlight", "find", named("chkNoHighlight"), nothing,
         [](T&, QWidget* w) { QTRY_COMPARE(static_cast<FindDialog*>(w)->optionsValue(), 8); }},
        {"replace: Find", "replace", named("cmdFind"),
         [](T& t, QWidget* w) {
             t.editor().setText(QStringLiteral("a b a"));
             child<QComboBox>(w, "cboFind")->setEditText(QStringLiteral("b"));
         },
         [](T& t, QWidget*) {
             QTRY_COMPARE(t.editor().SelStart(), 2);
             QCOMPARE(t.editor().SelLength(), 1);
         }},
        {"replace: Cancel", "replace", named("cmdCancel"), nothing, closed},
        {"replace: Replace", "replace", named("cmdReplace"),
         [](T& t, QWidget* w) {
             t.editor().setText(QStringLiteral("a a"));
             child<QComboBox>(w, "cboFind")->setEditText(QStringLiteral("a"));
             child<QComboBox>(w, "cboReplace")->setEditText(QStringLiteral("b"));
         },
         [](T& t, QWidget*) { QTRY_COMPARE(t.editor().Text(), QStringLiteral("b a")); }},
        {"replace: Replace All", "replace", named("cmdReplaceAll"),
         [](T& t, QWidget* w) {
             t.editor().setText(QStringLiteral("a a"));
             child<QComboBox>(w, "cboFind")->setEditText(QStringLiteral("a"));
             child<QComboBox>(w, "cboReplace")->setEditText(QStringLiteral("b"));
             t.fakes().messages.expect(QStringLiteral("The specified region has been searched. "
                                                      "\r\n2 replacements have been made."),
                                       QStringLiteral("ReplaceAll"), MsgButtons::Ok, MsgIcon::None);
         },
         [](T& t, QWidget*) { QTRY_COMPARE(t.editor().Text(), QStringLiteral("b b")); }},
        {"replace: Find Whole Word Only", "replace", named("chkWholeWord"), nothing,
         [](T&, QWidget* w) { QTRY_COMPARE(static_cast<FindDialog*>(w)->optionsValue(), 2); }},
        {"replace: Match Case", "replace", named("chkMatchCase"), nothing,
         [](T&, QWidget* w) { QTRY_COMPARE(static_cast<FindDialog*>(w)->optionsValue(), 4); }},
        {"replace: No Highlight", "replace", named("chkNoHighlight"), nothing,
         [](T&, QWidget* w) { QTRY_COMPARE(static_cast<FindDialog*>(w)->optionsValue(), 8); }},

        // Go to.
        {"go to: GO", "go to", named("cmdGo"),
         [](T& t, QWidget* w) {
             t.editor().setText(QStringLiteral("one\ntwo\nthree"));
             child<QLineEdit>(w, "txtGo")->setText(QStringLiteral("3"));
         },
         [](T& t, QWidget* w) {
             closed(t, w);
             QCOMPARE(t.editor().SelStart(), 8);
         }},
        {"go to: Close", "go to", named("cmdClose"), nothing, closed},
        {"go to: Start", "go to", named("GotoStart"), nothing,
         [](T&, QWidget* w) {
             QTRY_VERIFY(!child<QLineEdit>(w, "txtGo")->isEnabled());
             QVERIFY(child<QPushButton>(w, "cmdGo")->isEnabled());
         }},
        {"go to: End", "go to", named("GoToEnd"), nothing,
         [](T&, QWidget* w) { QTRY_VERIFY(!child<QLineEdit>(w, "txtGo")->isEnabled()); }},
        {"go to: Line", "go to", named("GotoLine"),
         [](T&, QWidget* w) { child<QRadioButton>(w, "GoToEnd")->setChecked(true); },
         [](T&, QWidget* w) { QTRY_VERIFY(child<QLineEdit>(w, "txtGo")->isEnabled()); }},

        // Date and time, symbols.
        {"date and time: Insert", "date and time", named("cmdInsert"),
         [](T& t, QWidget*) { t.editor().setText(QString()); },
         [](T& t, QWidget* w) {
             closed(t, w);
             QCOMPARE(t.editor().Text(), QStringLiteral("10/12/26"));
         }},
        {"date and time: Close", "date and time", named("cmdClose"), nothing, closed},
        {"date and time: Insert Custom Format", "date and time", named("cmdInsCusFor"),
         [](T& t, QWidget* w) {
             t.editor().setText(QString());
             child<QLineEdit>(w, "txtCustom")->setText(QStringLiteral("yyyy"));
         },
         [](T& t, QWidget* w) {
             closed(t, w);
             QCOMPARE(t.editor().Text(), QStringLiteral("2026"));
         }},
        {"symbols: Insert", "symbols", named("cmdInsert"),
         [](T& t, QWidget* w) {
             t.editor().setText(QString());
             child<QListWidget>(w, "lstSymbols")->setCurrentRow(64);
         },
         [](T& t, QWidget*) { QTRY_COMPARE(t.editor().Text(), QStringLiteral("A")); }},
        {"symbols: Close", "symbols", named("cmdClose"), nothing, closed},

        // The file manager.
        {"file manager: Copy to", "file manager", named("cmdDCopy"), nothing,
         [](T&, QWidget* w) {
             QTRY_COMPARE(static_cast<FileManagerDialog*>(w)->section(),
                          FileManagerDialog::Section::CopyOpen);
         }},
        {"file manager: Rename to", "file manager", named("cmdDRename"), nothing,
         [](T&, QWidget* w) {
             QTRY_COMPARE(static_cast<FileManagerDialog*>(w)->section(),
                          FileManagerDialog::Section::RenameOpen);
         }},
        {"file manager: Delete", "file manager", named("cmdDelete"),
         [](T& t, QWidget* w) {
             const QString path = t.files.filePath(QStringLiteral("old.txt"));
             writeFile(path, "old");
             child<QLineEdit>(w, "txtFileName")->setText(path);
             t.fakes().messages.expect(
                 QStringLiteral("Are you sure you want to move '%1' to the trash?").arg(path),
                 QStringLiteral("Delete File"), MsgButtons::YesNo, MsgIcon::None, MsgAnswer::No);
         },
         [](T& t, QWidget*) { QTRY_COMPARE(t.fakes().messages.shown.size(), 1); }},
        {"file manager: Browse...", "file manager", named("cmdBrowse"),
         [](T& t, QWidget*) {
             t.fakes().dialogs.openAnswers.push_back(
                 QStringList{t.files.filePath(QStringLiteral("chosen.txt"))});
         },
         [](T& t, QWidget* w) {
             QTRY_COMPARE(child<QLineEdit>(w, "txtFileName")->text(),
                          t.files.filePath(QStringLiteral("chosen.txt")));
         }},
        {"file manager: Close", "file manager", named("cmdClose"), nothing, closed},
        {"file manager: Copy", "file manager", named("cmdCopy"),
         [](T& t, QWidget* w) {
             child<QPushButton>(w, "cmdDCopy")->click();
             writeFile(t.files.filePath(QStringLiteral("from.txt")), "letter");
             child<QLineEdit>(w, "txtFrom")->setText(t.files.filePath(QStringLiteral("from.txt")));
             child<QLineEdit>(w, "txtTo")->setText(t.files.filePath(QStringLiteral("to.txt")));
         },
         [](T& t, QWidget*) {
             QTRY_VERIFY(QFile::exists(t.files.filePath(QStringLiteral("to.txt"))));
         }},
        {"file manager: Rename", "file manager", named("cmdRename"),
         [](T& t, QWidget* w) {
             child<QPushButton>(w, "cmdDRename")->click();
             writeFile(t.files.filePath(QStringLiteral("draft.txt")), "letter");
             child<QLineEdit>(w, "txtFrom")->setText(t.files.filePath(QStringLiteral("draft.txt")));
             child<QLineEdit>(w, "txtTo")->setText(t.files.filePath(QStringLiteral("final.txt")));
         },
         [](T& t, QWidget*) {
             QTRY_VERIFY(QFile::exists(t.files.filePath(QStringLiteral("final.txt"))));
             QVERIFY(!QFile::exists(t.files.filePath(QStringLiteral("draft.txt"))));
         }},
    };
}

AccessibilityTest::Window AccessibilityTest::windowNamed(const QString& name) const
{
    const QList<Window> all = windows();
    for (const Window& entry : all) {
        if (entry.name == name)
            return entry;
    }
    QTest::qFail(qPrintable(QStringLiteral("no window ") + name), __FILE__, __LINE__);
    return {};
}

QWidget* AccessibilityTest::openWindow(const QString& name)
{
    const Window entry = windowNamed(name);
    if (!entry.open)
        return nullptr;
    QWidget* shown = entry.open(*this);
    if (!shown)
        return nullptr;
    shown->activateWindow();
    // A window that shares its owner's activation counts as active before it has the keyboard.
    if (!QTest::qWaitForWindowActive(shown) ||
        !QTest::qWaitFor([shown] { return QApplication::activeWindow() == shown; }))
        return nullptr;
    return shown;
}

void AccessibilityTest::init()
{
    library = std::make_unique<test::TestLibrary>();
    platform = std::make_unique<test::FakePlatform>();
    library->create();
    modMain().DataFilePath = library->dataFilePath();
    modMain().ConnectionString = datafile::connectionString(library->dataFilePath());
    QVERIFY(datafile::restoreSignature(library->dataFilePath(), nullptr));
    window = std::make_unique<MainWindow>();
    window->InitMainWindow();
    // Add and Move are modal: the test sees which dialog they show instead of waiting in it.
    window->letterChanges.showModal = [this](QDialog& dialog) {
        shownDialogs.append(dialog.objectName());
    };
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    window->RTB->setFocus();
    QTRY_VERIFY(window->RTB->hasFocus());
    QVERIFY(window->EditingEnabled);
    shownDialogs.clear();
}

void AccessibilityTest::cleanup()
{
    QApplication::setFont(QFont());
    window.reset();
    platform.reset();
    library.reset();
    shownDialogs.clear();
}

void AccessibilityTest::windowRole_data()
{
    QTest::addColumn<QString>("window");
    const QList<Window> all = windows();
    for (const Window& entry : all)
        QTest::newRow(qPrintable(entry.name)) << entry.name;
}

void AccessibilityTest::windowRole()
{
    QFETCH(QString, window);
    QWidget* shown = openWindow(window);
    QVERIFY(shown);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(shown);
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), windowNamed(window).role);
    QVERIFY(!accessible->text(QAccessible::Name).trimmed().isEmpty());
}

void AccessibilityTest::everyControlNamedAndEveryTextReadable_data()
{
    windowRole_data();
}

void AccessibilityTest::everyControlNamedAndEveryTextReadable()
{
    QFETCH(QString, window);
    QWidget* shown = openWindow(window);
    QVERIFY(shown);

    // Every control a screen reader lands on has a name.
    int controls = 0;
    walk(QAccessible::queryAccessibleInterface(shown), [&controls](QAccessibleInterface* node) {
        if (!isInteractive(node->role()))
            return;
        ++controls;
        const QObject* object = node->object();
        QVERIFY2(!node->text(QAccessible::Name).trimmed().isEmpty(),
                 qPrintable(QStringLiteral("role %1, %2 %3")
                                .arg(int(node->role()))
                                .arg(object ? object->metaObject()->className() : "")
                                .arg(object ? object->objectName() : QString())));
    });
    QVERIFY(controls > 0 || window == QLatin1String("splash"));

    // What a label, a frame or a button shows can be read: its name is its text, or holds it.
    const auto widgets = shown->findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        if (!widget->isVisibleTo(shown) || widget->window() != shown)
            continue;
        QString shownText;
        if (const auto* label = qobject_cast<const QLabel*>(widget))
            shownText = label->buddy() ? withoutMnemonic(label->text()) : label->text();
        else if (const auto* box = qobject_cast<const QGroupBox*>(widget))
            shownText = withoutMnemonic(box->title());
        else if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
            shownText = withoutMnemonic(button->text());
        if (shownText.trimmed().isEmpty())
            continue;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(accessible);
        const QString name = accessible->text(QAccessible::Name);
        QVERIFY2(name.contains(shownText.trimmed()),
                 qPrintable(QStringLiteral("'%1' reads '%2'").arg(shownText, name)));
    }
}

void AccessibilityTest::buttonsRunTheirCommands_data()
{
    QTest::addColumn<QString>("press");
    const QList<Press> all = presses();
    for (const Press& press : all)
        QTest::newRow(qPrintable(press.name)) << press.name;
}

void AccessibilityTest::buttonsRunTheirCommands()
{
    QFETCH(QString, press);
    const QList<Press> all = presses();
    const auto found = std::find_if(all.begin(), all.end(),
                                    [&press](const Press& row) { return row.name == press; });
    QVERIFY(found != all.end());
    QWidget* shown = openWindow(found->window);
    QVERIFY(shown);
    QWidget* control = found->control(shown);
    QVERIFY(control);
    found->prepare(*this, shown);
    if (QTest::currentTestFailed())
        return;
    QTRY_VERIFY(control->isVisible() && control->isEnabled());
    pressThroughAccessibility(control);
    if (QTest::currentTestFailed())
        return;
    found->effect(*this, shown);
}

void AccessibilityTest::everyButtonHasItsPressCheck_data()
{
    windowRole_data();
}

// So that no button of a window escapes the check above, also one added later.
void AccessibilityTest::everyButtonHasItsPressCheck()
{
    QFETCH(QString, window);
    QWidget* shown = openWindow(window);
    QVERIFY(shown);
    QSet<QWidget*> checked;
    const QList<Press> all = presses();
    for (const Press& press : all) {
        if (press.window == window)
            checked.insert(press.control(shown));
    }
    const auto buttons = shown->findChildren<QAbstractButton*>();
    for (QAbstractButton* button : buttons) {
        // The toolbar's buttons are checked below with the menus; Qt's own helpers are not ours.
        if (button->window() != shown || !button->isVisibleTo(shown) ||
            qobject_cast<QToolButton*>(button) ||
            button->objectName().startsWith(QLatin1String("qt_")))
            continue;
        QVERIFY2(checked.contains(button),
                 qPrintable(window + QStringLiteral(": ") + withoutMnemonic(button->text())));
    }
}

void AccessibilityTest::tabOrder_data()
{
    QTest::addColumn<QString>("window");
    const QList<Window> all = windows();
    for (const Window& entry : all) {
        if (!entry.tabOrder.isEmpty())
            QTest::newRow(qPrintable(entry.name)) << entry.name;
    }
}

void AccessibilityTest::tabOrder()
{
    QFETCH(QString, window);
    const QStringList expected = windowNamed(window).tabOrder;
    QWidget* shown = openWindow(window);
    QVERIFY(shown);
    QTRY_VERIFY(QApplication::focusWidget() && shown->isAncestorOf(QApplication::focusWidget()));

    // Tab types a tab into the letter; Ctrl+Tab leaves it, as Tab leaves any other control.
    const auto press = [](bool forward) {
        QWidget* focus = QApplication::focusWidget();
        Qt::KeyboardModifiers modifiers =
            qobject_cast<QTextEdit*>(focus) ? Qt::ControlModifier : Qt::NoModifier;
        if (!forward)
            modifiers |= Qt::ShiftModifier;
        QTest::keyClick(focus, forward ? Qt::Key_Tab : Qt::Key_Backtab, modifiers);
    };
    QStringList forward;
    for (qsizetype i = 0; i <= expected.size(); ++i) {
        forward.append(focusName());
        if (i < expected.size())
            press(true);
    }
    QCOMPARE(forward, expected + QStringList{expected.first()});

    QStringList backward;
    for (qsizetype i = 0; i <= expected.size(); ++i) {
        backward.append(focusName());
        if (i < expected.size())
            press(false);
    }
    QStringList reversed{expected.first()};
    for (qsizetype i = expected.size() - 1; i >= 0; --i)
        reversed.append(expected.at(i));
    QCOMPARE(backward, reversed);
}

void AccessibilityTest::mnemonicsOneOfAKindAndTheyWork_data()
{
    windowRole_data();
}

void AccessibilityTest::mnemonicsOneOfAKindAndTheyWork()
{
    QFETCH(QString, window);
    QWidget* shown = openWindow(window);
    QVERIFY(shown);
    // The menu bar's titles count in the main window, which shares Alt with them.
    QMap<QString, QString> taken;
    const auto take = [&taken](const QString& caption) {
        const QString key = mnemonicOf(caption);
        if (key.isEmpty())
            return;
        QVERIFY2(!taken.contains(key),
                 qPrintable(
                     QStringLiteral("Alt+%1: '%2' and '%3'").arg(key, taken.value(key), caption)));
        taken.insert(key, caption);
    };
    if (auto* main = qobject_cast<MainWindow*>(shown)) {
        const auto menus = main->MenuBar->menuBar()->actions();
        for (const QAction* menu : menus)
            take(menu->text());
    }
    QList<QLabel*> labels;
    const auto widgets = shown->findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        if (!widget->isVisibleTo(shown) || widget->window() != shown)
            continue;
        if (auto* label = qobject_cast<QLabel*>(widget); label && label->buddy()) {
            take(label->text());
            if (!mnemonicOf(label->text()).isEmpty())
                labels.append(label);
        } else if (const auto* box = qobject_cast<const QGroupBox*>(widget)) {
            take(box->title());
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            take(button->text());
        }
        if (QTest::currentTestFailed())
            return;
    }
    // Alt and a label's letter go to the box it names.
    for (QLabel* label : labels) {
        const QChar letter = mnemonicOf(label->text()).at(0).toUpper();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(letter.unicode()), Qt::AltModifier);
        QTRY_COMPARE(controlOf(QApplication::focusWidget()), controlOf(label->buddy()));
    }
}

void AccessibilityTest::escapeCancels_data()
{
    windowRole_data();
}

void AccessibilityTest::escapeCancels()
{
    QFETCH(QString, window);
    if (window == QLatin1String("splash"))
        QSKIP("The splash takes no keys; it closes by itself.");
    const Window entry = windowNamed(window);
    const auto letters = library->contents().letters;
    QPointer<QWidget> shown = openWindow(window);
    QVERIFY(shown);
    const QString letter = editor().Text();
    if (auto* add = qobject_cast<AddLetterDialog*>(shown.data()))
        add->T1[0]->setText(QStringLiteral("Typed, then cancelled"));
    QTRY_VERIFY(QApplication::focusWidget());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    if (entry.escapeCloses) {
        QTRY_VERIFY(!shown || !shown->isVisible());
        if (auto* dialog = qobject_cast<QDialog*>(shown.data()))
            QCOMPARE(dialog->result(), int(QDialog::Rejected));
        // As Cancel: nothing handed back, nothing changed.
        QVERIFY(modMain().NewTitle.isEmpty());
        QCOMPARE(library->contents().letters, letters);
    } else {
        // The main window is no dialog: Esc never closes the program.
        QTest::qWait(0);
        QVERIFY(shown && shown->isVisible());
    }
    QCOMPARE(editor().Text(), letter);
}

void AccessibilityTest::largerTextNeitherCutOffNorOverlapping_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<double>("points");
    const QList<Window> all = windows();
    for (const Window& entry : all) {
        for (const double points : {9.0, 16.0, 24.0})
            QTest::newRow(qPrintable(QStringLiteral("%1 at %2 pt").arg(entry.name).arg(points)))
                << entry.name << points;
    }
}

// The desktop's default font, as a user who needs larger text sets it: every window makes room.
void AccessibilityTest::largerTextNeitherCutOffNorOverlapping()
{
    QFETCH(QString, window);
    QFETCH(double, points);
    QFont font = QApplication::font();
    font.setPointSizeF(points);
    QApplication::setFont(font);
    if (window == QLatin1String("main window")) {
        // The window is made afresh with the font in place.
        this->window.reset();
        this->window = std::make_unique<MainWindow>();
        this->window->InitMainWindow();
        this->window->show();
    }
    QWidget* shown = openWindow(window);
    QVERIFY(shown);
    if (auto* files = qobject_cast<FileManagerDialog*>(shown))
        files->cmdDCopy->click();

    const auto visibleControls = [shown](QWidget* parent) {
        QList<QWidget*> result;
        for (QObject* object : parent->children()) {
            auto* widget = qobject_cast<QWidget*>(object);
            if (widget && !widget->isWindow() && widget->isVisibleTo(shown))
                result.append(widget);
        }
        return result;
    };
    // A divider rule is only drawn: it may run under its neighbours and past its panel.
    const auto isRule = [](const QWidget* widget) {
        const auto* frame = qobject_cast<const QFrame*>(widget);
        return frame && frame->frameShape() == QFrame::HLine;
    };
    const std::function<void(QWidget*)> check = [&](QWidget* parent) {
        const QList<QWidget*> children = visibleControls(parent);
        for (QWidget* control : children) {
            const QString what = QStringLiteral("%1 '%2'").arg(
                QLatin1String(control->metaObject()->className()), spokenName(control));
            // Inside its frame or window: nothing stands past an edge.
            QVERIFY2(isRule(control) || parent->rect().contains(control->geometry()),
                     qPrintable(what + QStringLiteral(" at %1,%2 %3x%4 in %5x%6")
                                           .arg(control->x())
                                           .arg(control->y())
                                           .arg(control->width())
                                           .arg(control->height())
                                           .arg(parent->width())
                                           .arg(parent->height())));
            // Its text whole: the ink of the caption inside the control.
            const QFontMetrics metrics = control->fontMetrics();
            QString text;
            int room = control->width();
            if (const auto* label = qobject_cast<const QLabel*>(control)) {
                text = label->buddy() ? withoutMnemonic(label->text()) : label->text();
                if (label->wordWrap() && !text.isEmpty()) {
                    QVERIFY2(label->heightForWidth(label->width()) <= label->height(),
                             qPrintable(what));
                    text.clear();
                }
            } else if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
                text = withoutMnemonic(button->text());
                if (qobject_cast<const QCheckBox*>(control) ||
                    qobject_cast<const QRadioButton*>(control))
                    room -= control->style()->pixelMetric(QStyle::PM_IndicatorWidth);
                else if (!qobject_cast<const QToolButton*>(control))
                    room -= 2 * control->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
            }
            if (!text.trimmed().isEmpty()) {
                QVERIFY2(metrics.tightBoundingRect(text).right() < room, qPrintable(what));
                QVERIFY2(metrics.height() <= control->height(), qPrintable(what));
            }
            if (qobject_cast<QLineEdit*>(control) || qobject_cast<QComboBox*>(control))
                QVERIFY2(metrics.height() <= control->height(), qPrintable(what));
            // No two controls on top of each other.
            for (QWidget* other : children) {
                if (other != control && !isRule(other) && !isRule(control) &&
                    other->geometry().intersects(control->geometry()))
                    QFAIL(qPrintable(what + QStringLiteral(" overlaps ") + spokenName(other)));
            }
            if (qobject_cast<QGroupBox*>(control) ||
                control->metaObject() == &QWidget::staticMetaObject)
                check(control);
            if (QTest::currentTestFailed())
                return;
        }
    };
    if (auto* main = qobject_cast<MainWindow*>(shown)) {
        check(main->PicFrm);
        check(main->PicFrm1);
    } else {
        check(shown);
    }
}

void AccessibilityTest::menuMnemonicsOneOfAKind()
{
    QList<QMenu*> menus;
    const auto bar = mail().MenuBar->menuBar()->actions();
    for (QAction* menu : bar)
        menus.append(menu->menu());
    menus.append(mail().mnuPopup->menu(QString::fromLatin1(popupMenuKey)));
    for (const QMenu* menu : menus) {
        QVERIFY(menu);
        QMap<QString, QString> taken;
        const auto items = menu->actions();
        for (const QAction* item : items) {
            if (item->isSeparator())
                continue;
            const QString key = mnemonicOf(item->text());
            QVERIFY2(!key.isEmpty(), qPrintable(item->text()));
            QVERIFY2(!taken.contains(key),
                     qPrintable(QStringLiteral("%1: Alt+%2 in '%3' and '%4'")
                                    .arg(menu->title(), key, taken.value(key), item->text())));
            taken.insert(key, item->text());
        }
    }
}

// Every item of the menus and of the popup, chosen as a screen reader chooses it, runs its
// command: the key its surface hands to the dispatcher. (What each command does is the
// dispatcher's own tests' matter; here the commands are held back.)
void AccessibilityTest::menuItemsRunFromAccessibility()
{
    disconnect(mail().MenuBar, nullptr, &mail(), nullptr);
    disconnect(mail().mnuPopup, nullptr, &mail(), nullptr);
    QSignalSpy items(mail().MenuBar, &MenuBarControl::ItemClick);
    QSignalSpy popupItems(mail().mnuPopup, &PopupMenuControl::ItemClick);
    int chosen = 0;
    const auto chooseAll = [&chosen](QMenu* menu, QSignalSpy& spy, const QString& menuKey) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(menu);
        QVERIFY(accessible);
        for (int i = 0; i < accessible->childCount(); ++i) {
            QAccessibleInterface* item = accessible->child(i);
            if (item->role() != QAccessible::MenuItem || item->state().disabled)
                continue;
            const auto* action = qobject_cast<QAction*>(static_cast<QObject*>(item->object()));
            QVERIFY(action);
            QCOMPARE(item->text(QAccessible::Name), withoutMnemonic(action->text()));
            spy.clear();
            item->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            QTRY_COMPARE(spy.size(), 1);
            QCOMPARE(spy.first().at(0).toString(), menuKey);
            QCOMPARE(spy.first().at(1).toString(), MenuBarControl::keyOf(action));
            ++chosen;
        }
    };
    const auto bar = mail().MenuBar->menuBar()->actions();
    for (QAction* menu : bar) {
        chooseAll(menu->menu(), items, menu->menu()->objectName());
        if (QTest::currentTestFailed())
            return;
    }
    chooseAll(mail().mnuPopup->menu(QString::fromLatin1(popupMenuKey)), popupItems,
              QString::fromLatin1(popupMenuKey));
    // Find Next is disabled until a search; every other item was chosen.
    int enabledItems = 0;
    for (const MenuEntryDefinition& entry : menuEntryDefinitions())
        enabledItems += entry.key && entry.enabled ? 1 : 0;
    for (const MenuEntryDefinition& entry : popupEntryDefinitions())
        enabledItems += entry.key ? 1 : 0;
    QCOMPARE(chosen, enabledItems);
}

// Every toolbar button, pressed as a screen reader presses it, runs its command.
void AccessibilityTest::toolsRunFromAccessibility()
{
    disconnect(mail().MenuBar, nullptr, &mail(), nullptr);
    QSignalSpy tools(mail().MenuBar, &MenuBarControl::ToolClick);
    QToolBar* toolbar = mail().MenuBar->band(band);
    for (const ToolDefinition& tool : toolDefinitions()) {
        if (tool.kind != ToolKind::Button)
            continue;
        const QString key = QString::fromLatin1(tool.key);
        QAction* action = mail().MenuBar->tool(band, key);
        QWidget* button = toolbar->widgetForAction(action);
        QVERIFY(button);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
        QCOMPARE(accessible->text(QAccessible::Name), QString::fromLatin1(tool.tooltip));
        if (!action->isEnabled())
            continue; // Translate has no command
        tools.clear();
        pressThroughAccessibility(button);
        QTRY_COMPARE(tools.size(), 1);
        QCOMPARE(tools.first().at(1).toString(), key);
    }
    // And with the commands in place, a few whose effect shows at once.
    connect(mail().MenuBar, &MenuBarControl::ToolClick, &mail(), &MainWindow::MenuBar_ToolClick);
    editor().setText(QStringLiteral("Dear Sir"));
    editor().setSelStart(0);
    editor().setSelLength(4);
    pressThroughAccessibility(toolbar->widgetForAction(mail().MenuBar->tool(band, "ITALIC")));
    QTRY_COMPARE(editor().SelItalic(), std::optional<bool>(true));
    pressThroughAccessibility(toolbar->widgetForAction(mail().MenuBar->tool(band, "BULLETS")));
    QTRY_COMPARE(editor().SelBullet(), std::optional<bool>(true));
    pressThroughAccessibility(toolbar->widgetForAction(mail().MenuBar->tool(band, "CUT")));
    QTRY_COMPARE(editor().Text(), QStringLiteral(" Sir"));
}

// The colour button opens its colours; a colour chosen there, as a screen reader chooses it,
// colours the selection.
void AccessibilityTest::colorToolThroughAccessibility()
{
    editor().setText(QStringLiteral("Dear Sir"));
    editor().setSelStart(0);
    editor().setSelLength(4);
    QToolBar* toolbar = mail().MenuBar->band(band);
    QWidget* button = toolbar->widgetForAction(mail().MenuBar->tool(band, "FONT_COLOR"));
    QVERIFY(button);
    bool chose = false;
    // The colours open as a popup of their own; choose Red there.
    QTimer choosing;
    choosing.setSingleShot(true);
    connect(&choosing, &QTimer::timeout, this, [&chose] {
        QWidget* colours = QApplication::activePopupWidget();
        if (!colours)
            return;
        QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(colours);
        for (int i = 0; menu && i < menu->childCount(); ++i) {
            QAccessibleInterface* colour = menu->child(i);
            if (colour->text(QAccessible::Name) == QLatin1String("Red")) {
                colour->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
                chose = true;
                break;
            }
        }
        // Never left waiting in the menu's own loop.
        if (colours->isVisible())
            colours->close();
    });
    // The button only opens the colours, as its accessible action says.
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
    QVERIFY(accessible && accessible->actionInterface());
    QVERIFY2(accessible->actionInterface()->actionNames().contains(
                 QAccessibleActionInterface::showMenuAction()),
             qPrintable(accessible->actionInterface()->actionNames().join(u',')));
    choosing.start(0);
    accessible->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
    QTRY_VERIFY(chose);
    QTRY_COMPARE(editor().SelColor(), std::optional<quint32>(0x0000FF));
}

// The count lines and the status bar are read as they show: their text is their name, and
// what they are about is their description.
void AccessibilityTest::countLinesReadTheirText()
{
    const auto readAs = [](QLabel* label, const QString& text, const QString& description) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(label);
        QCOMPARE(label->text(), text);
        QCOMPARE(accessible->text(QAccessible::Name), text);
        QCOMPARE(accessible->text(QAccessible::Description), description);
    };
    readAs(mail().lblTxt[3], QStringLiteral("This category includes 3 letter(s)."),
           QStringLiteral("Letter count"));
    readAs(mail().Label5, QStringLiteral("2 letter(s) are included in My Favorite list."),
           QStringLiteral("Favorite count"));
    readAs(mail().SBPanels[1], QStringLiteral("Current Letter: Damaged Goods"),
           QStringLiteral("Current letter"));

    mail().Cmb[1]->setCurrentIndex(1);
    readAs(mail().lblTxt[3], QStringLiteral("This category includes 1 letter(s)."),
           QStringLiteral("Letter count"));
    readAs(mail().SBPanels[1], QStringLiteral("Current Letter: First Order"),
           QStringLiteral("Current letter"));
    QAccessibleInterface* time = QAccessible::queryAccessibleInterface(mail().SBPanels[6]);
    QCOMPARE(time->text(QAccessible::Name), mail().SBPanels[6]->text());
    QVERIFY(!mail().SBPanels[6]->text().isEmpty());
    QAccessibleInterface* insert = QAccessible::queryAccessibleInterface(mail().SBPanels[4]);
    QCOMPARE(insert->text(QAccessible::Name), QStringLiteral("INS"));
    QCOMPARE(insert->text(QAccessible::Description), QStringLiteral("Insert mode"));
    QCOMPARE(QAccessible::queryAccessibleInterface(mail().SB)->text(QAccessible::Name),
             QStringLiteral("Status bar"));
}

// The rules between the panels hold nothing: a screen reader is told they only divide.
void AccessibilityTest::dividersAreSeparators()
{
    for (QFrame* rule : mail().Div) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(rule);
        QVERIFY(accessible);
        QCOMPARE(accessible->role(), QAccessible::Separator);
    }
}

// F6 and Shift+F6 go round the areas of the main window; Ctrl+Tab leaves the editor, where Tab
// types a tab; F10 opens the first menu.
void AccessibilityTest::keyboardReachesEveryArea()
{
    QWidget* edit = editor().textEdit();
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
    QCOMPARE(focusName(), QStringLiteral("Open"));

    edit->setFocus();
    editor().setText(QStringLiteral("ab"));
    editor().setSelStart(1);
    QTest::keyClick(edit, Qt::Key_Tab);
    QCOMPARE(editor().Text(), QStringLiteral("a\tb"));
    QCOMPARE(QApplication::focusWidget(), edit);
    QTest::keyClick(edit, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(focusName(), QStringLiteral("Search keywords"));
    QCOMPARE(editor().Text(), QStringLiteral("a\tb"));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10);
    QTRY_VERIFY(QApplication::activePopupWidget());
    QCOMPARE(QApplication::activePopupWidget(), mail().MenuBar->menu(QStringLiteral("mnuFile")));
    QApplication::activePopupWidget()->close();
}

// Shift+F10 in the editor opens its popup at the caret, which the keyboard then works.
void AccessibilityTest::popupFromTheKeyboard()
{
    QWidget* edit = editor().textEdit();
    editor().setText(QStringLiteral("dear sir"));
    editor().setSelStart(0);
    editor().setSelLength(4);
    QTest::keyClick(edit, Qt::Key_F10, Qt::ShiftModifier);
    QMenu* popup = mail().mnuPopup->menu(QString::fromLatin1(popupMenuKey));
    QTRY_COMPARE(QApplication::activePopupWidget(), popup);
    const QPoint caret = editor().textEdit()->viewport()->mapToGlobal(
        editor().textEdit()->cursorRect().bottomLeft());
    QVERIFY2((popup->pos() - caret).manhattanLength() <= 4,
             qPrintable(QStringLiteral("popup at %1,%2, caret at %3,%4")
                            .arg(popup->x())
                            .arg(popup->y())
                            .arg(caret.x())
                            .arg(caret.y())));
    // Select All, by its mnemonic.
    QTest::keyClick(popup, Qt::Key_A);
    QTRY_VERIFY(!popup->isVisible());
    QCOMPARE(editor().SelLength(), 8);
}

QTEST_MAIN(AccessibilityTest)
#include "test_accessibility.moc"
