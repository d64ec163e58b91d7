#include "FakeServices.h"
#include "TestLibrary.h"
#include "editor/LetterEditor.h"
#include "library/DataFile.h"
#include "library/modMain.h"
#include "mainwindow/ColorTool.h"
#include "mainwindow/CommandTables.h"
#include "mainwindow/FontControls.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MenuBarControl.h"
#include "mainwindow/Pictures.h"
#include "mainwindow/PopupMenuControl.h"
#include "mainwindow/WindowLayout.h"
#include "platform/Twips.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QCompleter>
#include <QFontComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

using namespace lw;

Q_DECLARE_METATYPE(lw::TwipsRect)
Q_DECLARE_METATYPE(lw::ScreenArea)

namespace {

const QString band = QString::fromLatin1(toolbarBandKey);
const QString popupKey = QString::fromLatin1(popupMenuKey);

// The window's controls as stored, under a menu bar 900 and over a status bar 330 high.
WindowLayout storedLayout(int outerWidth, int outerHeight)
{
    WindowLayout l;
    l.outerWidth = outerWidth;
    l.outerHeight = outerHeight;
    l.left = 300;
    l.top = 450;
    l.menuBar = {0, 0, 13755, 900};
    l.statusBar = {0, 9690, 13755, 330};
    l.libraryPanel = {0, 900, 4515, 8790};
    l.divider = {4485, 570, 8850, 75};
    l.searchPanel = {4590, 780, 6165, 945};
    l.searchFrame = {0, 0, 5775, 945};
    l.searchBox = {270, 360, 2655, 345};
    l.searchButton = {3030, 360, 1095, 345};
    l.editor = {5280, 5520, 2295, 1335};
    return l;
}

// Counts the key presses, other than of modifier keys, that reach a widget itself.
class KeyPressCounter : public QObject
{
    const QList<int> modifierKeys{Qt::Key_Control, Qt::Key_Shift, Qt::Key_Alt, Qt::Key_Meta};

public:
    explicit KeyPressCounter(QWidget* widget) { widget->installEventFilter(this); }
    int presses = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        // QTest presses the modifier keys on their own first.
        if (event->type() == QEvent::KeyPress &&
            !modifierKeys.contains(static_cast<QKeyEvent*>(event)->key()))
            ++presses;
        return false;
    }
};

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void resizeRules_data();
    void resizeRules();
    void windowPosition_data();
    void windowPosition();
    void editorPlacedAtStartUp();
    void windowSnapsBackAndCentres();
    void workedExampleOnTheWindow();
    void maximisedWindowKeepsItsPlace();
    void restoringRecentres();

    void surfaces_data();
    void surfaces();
    void picturesComeFromTheIconTheme();
    void fontBoxesAtStart();

    void editingSwitchOnFirstShow();
    void editingSwitchOnlyOnEditorFocusAndOnce();
    void shortcutsChooseMenuItems_data();
    void shortcutsChooseMenuItems();
    void popupUsableWhileEditMenuDisabled();
    void enableByKey();
    void deletingKeys_data();
    void deletingKeys();
    void delOutsideTheEditorLeavesTheLetter();
    void toolButtonsRunTheirCommandFromAccessibility_data();
    void toolButtonsRunTheirCommandFromAccessibility();

    void fontBoxApplies_data();
    void fontBoxApplies();
    void typedTextNotApplied_data();
    void typedTextNotApplied();
    void fontSizeValue_data();
    void fontSizeValue();

    void colorTool_data();
    void colorTool();

    void statusPanels();
    void everyControlHasAName();

private:
    MainWindow& window() { return *mail; }
    void showWithEditorFocus();

    std::unique_ptr<test::TestLibrary> library;
    std::unique_ptr<test::FakePlatform> platform;
    std::unique_ptr<MainWindow> mail;
};

void MainWindowTest::init()
{
    library = std::make_unique<test::TestLibrary>();
    platform = std::make_unique<test::FakePlatform>();
    library->create();
    modMain().DataFilePath = library->dataFilePath();
    modMain().ConnectionString = datafile::connectionString(library->dataFilePath());
    QVERIFY(datafile::restoreSignature(library->dataFilePath(), nullptr));
    mail = std::make_unique<MainWindow>();
    mail->InitMainWindow();
}

void MainWindowTest::cleanup()
{
    mail.reset();
    platform.reset();
    library.reset();
}

void MainWindowTest::showWithEditorFocus()
{
    window().show();
    window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window()));
    window().RTB->setFocus();
    QTRY_VERIFY(window().RTB->hasFocus());
    QVERIFY(window().EditingEnabled);
}

void MainWindowTest::resizeRules_data()
{
    QTest::addColumn<int>("outerWidth");
    QTest::addColumn<int>("outerHeight");
    QTest::addColumn<int>("libraryWidth");
    QTest::addColumn<int>("menuBarHeight");
    QTest::addColumn<QSize>("outerSize");
    QTest::addColumn<int>("dividerWidth");
    QTest::addColumn<int>("panelWidth");
    QTest::addColumn<int>("boxWidth");
    QTest::addColumn<int>("buttonLeft");
    QTest::addColumn<TwipsRect>("editor");

    // Editor top: menu bar 900 + divider 75 + 100 + search panel 945 + 150.
    QTest::newRow("nominal: outer width 12000")
        << 12000 << 11000 << 4515 << 900 << QSize(12000, 11000) << 7485 << 7185 << 5385 << 5755
        << TwipsRect{4590, 2170, 7135, 7825};
    QTest::newRow("edge: exactly the minimum size")
        << 8500 << 10500 << 4515 << 900 << QSize(8500, 10500) << 3985 << 3685 << 1885 << 2255
        << TwipsRect{4590, 2170, 3635, 7325};
    QTest::newRow("robustness: smaller than the minimum snaps back")
        << 6000 << 7000 << 4515 << 900 << QSize(8500, 10500) << 3985 << 3685 << 1885 << 2255
        << TwipsRect{4590, 2170, 3635, 7325};
    QTest::newRow("robustness: only the height below the minimum")
        << 12000 << 9000 << 4515 << 900 << QSize(12000, 10500) << 7485 << 7185 << 5385 << 5755
        << TwipsRect{4590, 2170, 7135, 7325};
    // Widths that would be negative are skipped; later steps read the values left in place.
    QTest::newRow("robustness: negative widths keep the stored ones")
        << 12000 << 11000 << 20000 << 900 << QSize(12000, 11000) << 8850 << 6165 << 4365 << 4735
        << TwipsRect{4590, 2170, 6115, 7825};
    QTest::newRow("robustness: negative editor height keeps the stored one")
        << 12000 << 11000 << 4515 << 12000 << QSize(12000, 11000) << 7485 << 7185 << 5385 << 5755
        << TwipsRect{4590, 13270, 7135, 1335};
}

void MainWindowTest::resizeRules()
{
    QFETCH(int, outerWidth);
    QFETCH(int, outerHeight);
    QFETCH(int, libraryWidth);
    QFETCH(int, menuBarHeight);
    QFETCH(QSize, outerSize);
    QFETCH(int, dividerWidth);
    QFETCH(int, panelWidth);
    QFETCH(int, boxWidth);
    QFETCH(int, buttonLeft);
    QFETCH(TwipsRect, editor);

    WindowLayout before = storedLayout(outerWidth, outerHeight);
    before.libraryPanel.width = libraryWidth;
    before.menuBar.height = menuBarHeight;
    const WindowLayout after =
        applyResizeRules(before, ScreenArea{0, 0, 19200, 15360}, WindowState::Normal);

    QCOMPARE(QSize(after.outerWidth, after.outerHeight), outerSize);
    QCOMPARE(after.divider.width, dividerWidth);
    QCOMPARE(after.divider.top, menuBarHeight);
    QCOMPARE(after.searchPanel.top, menuBarHeight + 75 + 100);
    QCOMPARE(after.searchPanel.width, panelWidth);
    QCOMPARE(after.searchFrame.width, panelWidth);
    QCOMPARE(after.searchBox.width, boxWidth);
    QCOMPARE(after.searchButton.left, buttonLeft);
    QCOMPARE(after.editor, editor);
    // What the rules never move.
    QCOMPARE(after.divider.left, before.divider.left);
    QCOMPARE(after.searchPanel.left, before.searchPanel.left);
    QCOMPARE(after.searchPanel.height, before.searchPanel.height);
    QCOMPARE(after.searchBox.left, before.searchBox.left);
    QCOMPARE(after.searchButton.top, before.searchButton.top);
    QCOMPARE(after.libraryPanel, before.libraryPanel);
}

void MainWindowTest::windowPosition_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<ScreenArea>("screen");
    QTest::addColumn<QSize>("before");
    QTest::addColumn<QSize>("after");
    QTest::addColumn<QPoint>("position");

    const int normal = int(WindowState::Normal);
    const ScreenArea screen{0, 0, 19200, 15360};
    QTest::newRow("nominal: a normal window is centred")
        << normal << screen << QSize(12000, 11000) << QSize(12000, 11000) << QPoint(3600, 2180);
    QTest::newRow("nominal: centred on a screen right of another")
        << normal << ScreenArea{19200, 0, 19200, 15360} << QSize(12000, 11000)
        << QSize(12000, 11000) << QPoint(22800, 2180);
    QTest::newRow("nominal: centred at its snapped size")
        << normal << screen << QSize(7000, 9000) << QSize(8500, 10500) << QPoint(5350, 2430);
    // Past the screen's edges its caption, menus and status bar would be out of reach.
    QTest::newRow("robustness: a window larger than the screen is made to fit it")
        << normal << ScreenArea{0, 0, 9600, 7680} << QSize(12000, 11000) << QSize(9600, 7680)
        << QPoint(0, 0);
    QTest::newRow("robustness: a screen smaller than the minimum size sets the size")
        << normal << ScreenArea{0, 0, 8000, 9000} << QSize(6000, 6000) << QSize(8000, 9000)
        << QPoint(0, 0);
    QTest::newRow("nominal: a maximised window is neither moved nor sized")
        << int(WindowState::Maximized) << ScreenArea{0, 0, 6000, 6000} << QSize(6000, 6000)
        << QSize(6000, 6000) << QPoint(300, 450);
    QTest::newRow("nominal: a minimised window is neither moved nor sized")
        << int(WindowState::Minimized) << screen << QSize(6000, 6000) << QSize(6000, 6000)
        << QPoint(300, 450);
}

void MainWindowTest::windowPosition()
{
    QFETCH(int, state);
    QFETCH(ScreenArea, screen);
    QFETCH(QSize, before);
    QFETCH(QSize, after);
    QFETCH(QPoint, position);

    const WindowLayout result = applyResizeRules(storedLayout(before.width(), before.height()),
                                                 screen, static_cast<WindowState>(state));
    QCOMPARE(QSize(result.outerWidth, result.outerHeight), after);
    QCOMPARE(QPoint(result.left, result.top), position);
    // The right-hand side is recomputed in every state.
    QCOMPARE(result.searchPanel.width, after.width() - 4515 - 300);
}

void MainWindowTest::editorPlacedAtStartUp()
{
    const WindowLayout placed = placeEditor(storedLayout(13755, 10500));
    QCOMPARE(placed.editor, (TwipsRect{4515, 5520, 13755 - 4515 - 150, 10500 - 900 - 330 - 800}));

    WindowLayout cramped = storedLayout(4000, 1500);
    const WindowLayout kept = placeEditor(cramped);
    QCOMPARE(kept.editor, (TwipsRect{4515, 5520, 2295, 1335}));

    // The window itself, before it is first shown.
    QCOMPARE(window().RTB->widget()->x(), window().PicFrm->width());
    QCOMPARE(window().RTB->widget()->width(),
             window().width() - window().PicFrm->width() - twips::toPixelsX(150, &window()));
}

void MainWindowTest::windowSnapsBackAndCentres()
{
    window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&window()));
    window().resize(300, 200);
    const QSize minimum(twips::toPixelsX(minimumOuterWidth, &window()),
                        twips::toPixelsY(minimumOuterHeight, &window()));
    QTRY_COMPARE(window().frameGeometry().size(), minimum);

    const QRect screen = window().screen()->geometry();
    const WindowLayout now = window().currentLayout();
    const int screenWidth = twips::fromPixelsX(screen.width(), &window());
    const int screenHeight = twips::fromPixelsY(screen.height(), &window());
    // Within the pixel the twips round to.
    const QPoint centred(twips::toPixelsX((screenWidth - now.outerWidth) / 2, &window()),
                         twips::toPixelsY((screenHeight - now.outerHeight) / 2, &window()));
    QTRY_VERIFY((window().frameGeometry().topLeft() - centred).manhattanLength() <= 2);
    // The status bar and the menu bar follow the window's edges.
    QCOMPARE(window().SB->geometry().bottom(), window().height() - 1);
    QCOMPARE(window().MenuBar->width(), window().width());
    QCOMPARE(window().PicFrm->y(), window().MenuBar->height());
}

void MainWindowTest::workedExampleOnTheWindow()
{
    window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&window()));
    const QSize frame = window().frameGeometry().size() - window().size();
    window().resize(twips::toPixelsX(12000, &window()) - frame.width(),
                    twips::toPixelsY(11000, &window()) - frame.height());
    QTRY_COMPARE(window().currentLayout().outerWidth, 12000);

    const auto px = [this](int twips) { return twips::toPixelsX(twips, &window()); };
    QCOMPARE(window().PicFrm1->width(), px(7185));
    QCOMPARE(window().F1[1]->width(), px(7185));
    QCOMPARE(window().testSearch->width(), px(5385));
    QCOMPARE(window().cmdBtn[3]->x(), px(5755));
    QCOMPARE(window().RTB->widget()->width(), px(7135));
    QCOMPARE(window().RTB->widget()->x(), window().PicFrm1->x());
    QCOMPARE(window().RTB->widget()->y(),
             window().PicFrm1->geometry().bottom() + 1 + twips::toPixelsY(150, &window()));
}

void MainWindowTest::maximisedWindowKeepsItsPlace()
{
    window().showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(&window()));
    QTRY_VERIFY(window().isMaximized());
    const QRect available = window().screen()->availableGeometry();
    QTRY_COMPARE(window().frameGeometry(), available);
    // The right-hand side still follows the window's width.
    const int outerWidth = window().currentLayout().outerWidth;
    QCOMPARE(window().PicFrm1->width(), twips::toPixelsX(outerWidth - 4515 - 300, &window()));
}

void MainWindowTest::restoringRecentres()
{
    window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&window()));
    const QPoint centred = window().frameGeometry().topLeft();
    window().move(centred + QPoint(40, 30));
    QTRY_COMPARE(window().frameGeometry().topLeft(), centred + QPoint(40, 30));

    window().showMinimized();
    QTRY_VERIFY(window().isMinimized());
    window().showNormal();
    QTRY_VERIFY(!window().isMinimized());
    QTRY_COMPARE(window().frameGeometry().topLeft(), centred);
}

void MainWindowTest::surfaces_data()
{
    QTest::addColumn<QString>("surface");
    QTest::addColumn<QString>("container");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<int>("picture");
    QTest::addColumn<int>("disabledPicture");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("mark");

    const auto menu = [](const char* key, const char* caption, int position, bool enabled) {
        QTest::addRow("menu %s", key) << "menu" << QString() << position << key << caption
                                      << QString() << -1 << -1 << enabled << QString();
    };
    menu("mnuFile", "&File", 0, true);
    menu("mnuEdit", "&Edit", 1, false);
    menu("mnuInsert", "&Insert", 2, false);
    // Every mnemonic is one of a kind in its menu, and on the menu bar.
    menu("mnuFormat", "F&ormat", 3, false);
    menu("mnuHelp", "&Help", 4, true);

    const auto entries =
        [](const char* surface, const char* container,
           std::initializer_list<std::tuple<const char*, const char*, const char*, int, int, bool>>
               rows) {
            int position = 0;
            for (const auto& [key, caption, shortcut, picture, disabled, enabled] : rows) {
                const QString name =
                    QStringLiteral("%1 %2 #%3 %4")
                        .arg(QLatin1String(surface), QLatin1String(container))
                        .arg(position)
                        .arg(key ? QLatin1String(key) : QLatin1String("separator"));
                QTest::newRow(qPrintable(name))
                    << surface << container << position << (key ? key : "") << caption << shortcut
                    << picture << disabled << enabled << QString();
                ++position;
            }
        };
    const auto separator = std::make_tuple(nullptr, "", "", -1, -1, true);
    entries("item", "mnuFile",
            {{"Open", "&Open", "Ctrl+O", 23, -1, true},
             separator,
             {"Save", "&Save", "Ctrl+S", 45, -1, true},
             {"SaveAs", "Save &As...", "", -1, -1, true},
             separator,
             {"PageSetup", "Page Set&up", "", 29, -1, true},
             {"PrintSetup", "P&rint Setup", "", -1, -1, true},
             {"PrintPreview", "Print Pre&view", "", -1, -1, true},
             {"Print", "&Print...", "Ctrl+P", 28, -1, true},
             {"ExportPdf", "&Export as PDF...", "", -1, -1, true},
             {"MailMerge", "&Mail Merge...", "", -1, -1, true},
             separator,
             {"Exit", "E&xit", "Ctrl+Q", -1, -1, true}});
    entries("item", "mnuEdit",
            {{"Undo", "&Undo", "Ctrl+Z", 26, -1, true},
             separator,
             {"Cut", "Cu&t", "Ctrl+X", 36, 57, true},
             {"Copy", "&Copy", "Ctrl+C", 37, 58, true},
             {"Paste", "&Paste", "Ctrl+V", 38, 59, true},
             separator,
             {"Delete", "&Delete", "Del", 35, -1, true},
             {"SelectAll", "Select &All", "Ctrl+A", -1, -1, true},
             separator,
             {"Find", "&Find...", "Ctrl+F", 22, -1, true},
             {"FindNext", "Find &Next", "F3", -1, -1, false},
             {"Replace", "&Replace...", "", 8, -1, true},
             {"GoTo", "&Go To...", "Ctrl+G", 42, -1, true},
             separator,
             {"File_Manager", "File &Manager", "", 13, -1, true}});
    entries("item", "mnuInsert",
            {{"DateTime", "Date and &Time", "", -1, -1, true},
             {"Symbol", "&Symbol", "", 44, -1, true},
             separator,
             {"Picture", "&Picture", "", 3, -1, true},
             {"TextFile", "Text &File...", "", 16, -1, true}});
    entries("item", "mnuFormat",
            {{"Font", "&Font...", "Ctrl+1", 2, -1, true},
             {"Bullet", "&Bullet", "Ctrl+2", 55, -1, true},
             separator,
             {"To_Upper_Case", "To &Upper Case", "Ctrl+4", -1, -1, true},
             {"To_Lower_Case", "To &Lower Case", "Ctrl+5", -1, -1, true},
             separator,
             {"Increase_Indent", "&Increase Indent", "Ctrl+6", 47, -1, true},
             {"Decrease_Indent", "&Decrease Indent", "Ctrl+7", 46, -1, true},
             separator,
             {"Spelling_Language", "Spelling Lan&guage", "", -1, -1, true},
             {"Check_Spelling", "Check &Spelling as You Type", "", -1, -1, true}});
    entries("item", "mnuHelp",
            {{"Support", "Technical &Support", "", 17, -1, true},
             separator,
             {"Help", "&Help", "F1", 33, -1, true}});
    entries("popup", "mnuDropMenu1",
            {{"Undo", "&Undo", "Ctrl+Z", 26, -1, true},
             separator,
             {"Cut", "Cu&t", "Ctrl+X", 36, 57, true},
             {"Copy", "&Copy", "Ctrl+C", 37, 58, true},
             {"Paste", "&Paste", "Ctrl+V", 38, 59, true},
             separator,
             {"Delete", "&Delete", "Del", 35, -1, true},
             {"SelectAll", "Select &All", "Ctrl+A", -1, -1, true},
             separator,
             {"Find", "&Find...", "Ctrl+F", 22, -1, true},
             {"Replace", "&Replace...", "", 8, -1, true},
             {"GoTo", "&Go To...", "Ctrl+G", 42, -1, true}});

    // Tools: the caption column holds the tooltip.
    int position = 0;
    const auto tool = [&position](const char* key, const char* tooltip, int picture, int disabled,
                                  bool enabled, const char* mark = "") {
        const QString name = QStringLiteral("tool Band6 #%1 %2")
                                 .arg(position)
                                 .arg(key ? QLatin1String(key) : QLatin1String("separator"));
        QTest::newRow(qPrintable(name)) << "tool"
                                        << "Band6" << position << (key ? key : "") << tooltip
                                        << QString() << picture << disabled << enabled << mark;
        ++position;
    };
    const auto toolSeparator = [&tool] { tool(nullptr, "", -1, -1, true); };
    tool("OPEN", "Open", 23, -1, true);
    tool("SAVE", "Save", 45, -1, true);
    tool("PRINT", "Print", 28, -1, true);
    toolSeparator();
    tool("CUT", "Cut", 36, 57, false);
    tool("COPY", "Copy", 37, 58, false);
    tool("PASTE", "Paste", 38, 59, false);
    toolSeparator();
    tool("CBOFONT", "", -1, -1, true, "host");
    tool("CBOFONTSIZE", "", -1, -1, true, "host");
    tool("FONT_COLOR", "Font Color", 56, 63, false, "colour");
    toolSeparator();
    tool("BOLD", "Bold", 48, 68, false);
    tool("ITALIC", "Italic", 49, 69, false);
    tool("UNDERLINE", "Underline", 50, 70, false);
    toolSeparator();
    tool("LJUSTIFY", "Left Justify", 51, 71, false);
    tool("CJUSTIFY", "Center Justify", 52, 72, false);
    tool("RJUSTIFY", "Right Justify", 53, 73, false);
    toolSeparator();
    tool("NUMBERING", "Numbers", 54, 62, false);
    tool("BULLETS", "Bullets", 55, 61, false);
    tool("DECREASEINDENT", "Decrease Indent", 46, 65, false);
    tool("INCREASEINDENT", "Increase Indent", 47, 66, false);
    toolSeparator();
    tool("TRANSLATE", "Translate", 44, 67, false);
}

void MainWindowTest::surfaces()
{
    QFETCH(QString, surface);
    QFETCH(QString, container);
    QFETCH(int, position);
    QFETCH(QString, key);
    QFETCH(QString, caption);
    QFETCH(QString, shortcut);
    QFETCH(int, picture);
    QFETCH(int, disabledPicture);
    QFETCH(bool, enabled);
    QFETCH(QString, mark);

    MenuBarControl& bar = *window().MenuBar;
    if (surface == QLatin1String("menu")) {
        const auto menus = bar.menuBar()->actions();
        QVERIFY(position < menus.size());
        QMenu* menu = menus.at(position)->menu();
        QVERIFY(menu);
        QCOMPARE(menu, bar.menu(key));
        QCOMPARE(menu->title(), caption);
        QCOMPARE(bar.isMenuEnabled(key), enabled);
        QCOMPARE(menu->menuAction()->isEnabled(), enabled);
        QCOMPARE(menus.size(), 5);
        return;
    }

    QList<QAction*> actions;
    if (surface == QLatin1String("item"))
        actions = bar.menu(container)->actions();
    else if (surface == QLatin1String("popup"))
        actions = window().mnuPopup->menu(container)->actions();
    else
        actions = bar.band(container)->actions();
    QVERIFY(position < actions.size());
    QAction* action = actions.at(position);
    if (key.isEmpty()) {
        QVERIFY(action->isSeparator());
        return;
    }
    QVERIFY(!action->isSeparator());
    QCOMPARE(MenuBarControl::keyOf(action), key);
    QCOMPARE(action->property("picture").toInt(), picture);
    QCOMPARE(action->property("disabledPicture").toInt(), disabledPicture);
    QCOMPARE(action->icon().name(), pictures::iconName(picture));
    QCOMPARE(action->icon().isNull(), picture < 0);

    if (surface == QLatin1String("tool")) {
        QCOMPARE(bar.tool(container, key), action);
        if (mark == QLatin1String("host")) {
            QCOMPARE(bar.isToolEnabled(container, key), true);
            QWidget* hosted = key == QLatin1String("CBOFONT")
                                  ? static_cast<QWidget*>(window().cboFont)
                                  : window().cboFontSize;
            QCOMPARE(bar.band(container)->widgetForAction(action), hosted);
            QCOMPARE(hosted->isEnabled(), false);
            return;
        }
        QCOMPARE(action->toolTip(), caption);
        QCOMPARE(bar.isToolEnabled(container, key), enabled);
        // Plain actions: no button shows a pressed state the text does not have.
        QVERIFY(!action->isCheckable());
        QVERIFY(!action->actionGroup());
        if (mark == QLatin1String("colour")) {
            QVERIFY(bar.colorTool(container, key));
            QCOMPARE(bar.colorTool(container, key)->color(), quint32(255));
        }
        QWidget* button = bar.band(container)->widgetForAction(action);
        QVERIFY(button);
        QCOMPARE(button->accessibleName(), caption);
        return;
    }

    QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut().toString(QKeySequence::PortableText), shortcut);
    if (surface == QLatin1String("item")) {
        QCOMPARE(bar.item(container, key), action);
        QCOMPARE(bar.isItemEnabled(container, key), enabled);
        // An item of a menu disabled at start cannot be chosen by its shortcut either.
        QCOMPARE(action->isEnabled(), enabled && bar.isMenuEnabled(container));
    } else {
        QCOMPARE(window().mnuPopup->item(container, key), action);
        QCOMPARE(action->isEnabled(), enabled);
    }
}

void MainWindowTest::picturesComeFromTheIconTheme()
{
    for (int index = -1; index <= 73; ++index) {
        const QString name = pictures::iconName(index);
        if (name.isEmpty()) {
            QVERIFY(pictures::icon(index).isNull());
            continue;
        }
        QVERIFY2(QIcon::hasThemeIcon(name), qPrintable(name));
        QVERIFY2(!pictures::icon(index).pixmap(pictures::size).isNull(), qPrintable(name));
    }
    // A disabled picture is the greyed copy of its entry's picture.
    for (const ToolDefinition& tool : toolDefinitions()) {
        if (tool.disabledPicture >= 0)
            QCOMPARE(pictures::iconName(tool.disabledPicture), pictures::iconName(tool.picture));
    }
    for (const MenuEntryDefinition& entry : menuEntryDefinitions()) {
        if (entry.disabledPicture >= 0)
            QCOMPARE(pictures::iconName(entry.disabledPicture), pictures::iconName(entry.picture));
    }
}

void MainWindowTest::fontBoxesAtStart()
{
    QComboBox* sizes = window().cboFontSize;
    QStringList entries;
    for (int i = 0; i < sizes->count(); ++i)
        entries << sizes->itemText(i);
    QCOMPARE(entries, QStringList({"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24",
                                   "26", "28", "32", "48", "72"}));
    QCOMPARE(sizes->currentIndex(), 2);
    QCOMPARE(sizes->currentText(), QStringLiteral("10"));

    QFontComboBox* faces = window().cboFont;
    QVERIFY(faces->count() > 0);
    const QString expected = faces->findText(QStringLiteral("Tahoma")) >= 0
                                 ? QStringLiteral("Tahoma")
                                 : QFontInfo(window().RTB->Font()).family();
    QCOMPARE(faces->currentText(), expected);
    for (QComboBox* box : {static_cast<QComboBox*>(faces), sizes}) {
        QVERIFY(box->isEditable());
        QCOMPARE(box->completer()->completionMode(), QCompleter::InlineCompletion);
        QCOMPARE(box->insertPolicy(), QComboBox::NoInsert);
    }
    // Nothing has been applied to the editor yet.
    QCOMPARE(window().RTB->Font().pointSizeF(), 9.75);
}

void MainWindowTest::editingSwitchOnFirstShow()
{
    MenuBarControl& bar = *window().MenuBar;
    QCOMPARE(window().EditingEnabled, false);
    QVERIFY(!window().cboFont->isEnabled());
    QVERIFY(!window().cboFontSize->isEnabled());
    for (const char* tool : editingToolKeys())
        QVERIFY2(!bar.isToolEnabled(band, QString::fromLatin1(tool)), tool);
    for (const char* menu : editingMenuKeys())
        QVERIFY2(!bar.isMenuEnabled(QString::fromLatin1(menu)), menu);

    // The editor takes the keyboard as the window is first shown.
    window().show();
    window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window()));
    QTRY_VERIFY(window().EditingEnabled);
    QVERIFY(window().RTB->hasFocus());
    QVERIFY(window().cboFont->isEnabled());
    QVERIFY(window().cboFontSize->isEnabled());
    for (const char* tool : editingToolKeys())
        QVERIFY2(bar.isToolEnabled(band, QString::fromLatin1(tool)), tool);
    for (const char* menu : editingMenuKeys())
        QVERIFY2(bar.isMenuEnabled(QString::fromLatin1(menu)), menu);
    QVERIFY(bar.isItemEnabled(QStringLiteral("mnuEdit"), QStringLiteral("Cut")));
    QVERIFY(bar.item(QStringLiteral("mnuEdit"), QStringLiteral("Cut"))->isEnabled());
    // The switch leaves alone what it does not own.
    QVERIFY(!bar.isItemEnabled(QStringLiteral("mnuEdit"), QStringLiteral("FindNext")));
    QVERIFY(!bar.item(QStringLiteral("mnuEdit"), QStringLiteral("FindNext"))->isEnabled());
    QVERIFY(bar.isToolEnabled(band, QStringLiteral("OPEN")));
    QVERIFY(bar.isMenuEnabled(QStringLiteral("mnuFile")));
    QVERIFY(bar.updatesEnabled());
    // Translate has no work in this program: it stays disabled, and says what it is.
    QVERIFY(!bar.isToolEnabled(band, QStringLiteral("TRANSLATE")));
    QCOMPARE(bar.tool(band, QStringLiteral("TRANSLATE"))->toolTip(), QStringLiteral("Translate"));
}

void MainWindowTest::editingSwitchOnlyOnEditorFocusAndOnce()
{
    MenuBarControl& bar = *window().MenuBar;
    window().testSearch->setFocus();
    window().show();
    window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window()));
    QTRY_VERIFY(window().testSearch->hasFocus());
    window().lstBx[0]->setFocus();
    QTRY_VERIFY(window().lstBx[0]->hasFocus());
    QCOMPARE(window().EditingEnabled, false);
    QVERIFY(!bar.isMenuEnabled(QStringLiteral("mnuEdit")));
    QVERIFY(!bar.isToolEnabled(band, QStringLiteral("CUT")));

    window().RTB->setFocus();
    QTRY_VERIFY(window().EditingEnabled);
    QVERIFY(bar.isMenuEnabled(QStringLiteral("mnuEdit")));
    QVERIFY(bar.isToolEnabled(band, QStringLiteral("CUT")));

    // A later focus of the editor does not run the switch again.
    bar.setToolEnabled(band, QStringLiteral("CUT"), false);
    bar.setMenuEnabled(QStringLiteral("mnuFormat"), false);
    window().testSearch->setFocus();
    QTRY_VERIFY(window().testSearch->hasFocus());
    window().RTB->setFocus();
    QTRY_VERIFY(window().RTB->hasFocus());
    QVERIFY(!bar.isToolEnabled(band, QStringLiteral("CUT")));
    QVERIFY(!bar.isMenuEnabled(QStringLiteral("mnuFormat")));
}

void MainWindowTest::shortcutsChooseMenuItems_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QKeyCombination>("keys");
    QTest::addColumn<QString>("disableMenu");
    QTest::addColumn<bool>("enableFindNext");
    QTest::addColumn<QString>("menuKey");
    QTest::addColumn<QString>("itemKey");

    const QString editor = QStringLiteral("editor");
    const QString search = QStringLiteral("search box");
    QTest::newRow("nominal: Ctrl+Z in the editor is Undo, once")
        << editor << (Qt::CTRL | Qt::Key_Z) << QString() << false << "mnuEdit"
        << "Undo";
    QTest::newRow("nominal: Ctrl+X in the editor is Cut, once")
        << editor << (Qt::CTRL | Qt::Key_X) << QString() << false << "mnuEdit"
        << "Cut";
    QTest::newRow("nominal: Ctrl+C in the editor is Copy, once")
        << editor << (Qt::CTRL | Qt::Key_C) << QString() << false << "mnuEdit"
        << "Copy";
    QTest::newRow("nominal: Ctrl+V in the editor is Paste, once")
        << editor << (Qt::CTRL | Qt::Key_V) << QString() << false << "mnuEdit"
        << "Paste";
    QTest::newRow("nominal: Ctrl+A in the editor is Select All, once")
        << editor << (Qt::CTRL | Qt::Key_A) << QString() << false << "mnuEdit"
        << "SelectAll";
    QTest::newRow("nominal: Del is the editor's own, which deletes forward")
        << editor << QKeyCombination(Qt::Key_Delete) << QString() << false << QString()
        << QString();
    QTest::newRow("nominal: F1 in the editor is Help")
        << editor << QKeyCombination(Qt::Key_F1) << QString() << false << "mnuHelp"
        << "Help";
    QTest::newRow("nominal: Ctrl+1 in the editor is Font")
        << editor << (Qt::CTRL | Qt::Key_1) << QString() << false << "mnuFormat"
        << "Font";
    QTest::newRow("nominal: Ctrl+7 in the editor is Decrease Indent")
        << editor << (Qt::CTRL | Qt::Key_7) << QString() << false << "mnuFormat"
        << "Decrease_Indent";
    QTest::newRow("nominal: Ctrl+O in the editor is Open")
        << editor << (Qt::CTRL | Qt::Key_O) << QString() << false << "mnuFile"
        << "Open";
    QTest::newRow("nominal: F3 once Find Next is enabled")
        << editor << QKeyCombination(Qt::Key_F3) << QString() << true << "mnuEdit"
        << "FindNext";
    QTest::newRow("robustness: F3 while Find Next is disabled")
        << editor << QKeyCombination(Qt::Key_F3) << QString() << false << QString() << QString();
    QTest::newRow("robustness: Ctrl+Z is the editor's own while the Edit menu is disabled")
        << editor << (Qt::CTRL | Qt::Key_Z) << "mnuEdit" << false << QString() << QString();
    QTest::newRow("robustness: Ctrl+3 is nobody's")
        << editor << (Qt::CTRL | Qt::Key_3) << QString() << false << QString() << QString();
    QTest::newRow("nominal: F1 in the search box is Help")
        << search << QKeyCombination(Qt::Key_F1) << QString() << false << "mnuHelp"
        << "Help";
    QTest::newRow("nominal: Ctrl+C in the search box copies there")
        << search << (Qt::CTRL | Qt::Key_C) << QString() << false << QString() << QString();
    QTest::newRow("nominal: Del in the search box deletes there")
        << search << QKeyCombination(Qt::Key_Delete) << QString() << false << QString()
        << QString();
}

void MainWindowTest::shortcutsChooseMenuItems()
{
    QFETCH(QString, target);
    QFETCH(QKeyCombination, keys);
    QFETCH(QString, disableMenu);
    QFETCH(bool, enableFindNext);
    QFETCH(QString, menuKey);
    QFETCH(QString, itemKey);

    showWithEditorFocus();
    MenuBarControl& bar = *window().MenuBar;
    if (!disableMenu.isEmpty())
        bar.setMenuEnabled(disableMenu, false);
    if (enableFindNext)
        bar.setItemEnabled(QStringLiteral("mnuEdit"), QStringLiteral("FindNext"), true);
    QWidget* widget = target == QLatin1String("editor")
                          ? window().RTB->textEdit()
                          : static_cast<QWidget*>(window().testSearch);
    widget->setFocus();
    QTRY_VERIFY(widget->hasFocus());

    // The commands run for real: the user cancels their dialogs.
    if (itemKey == QLatin1String("Font"))
        platform->dialogs.fontAnswers.push_back(std::nullopt);
    if (itemKey == QLatin1String("Open"))
        platform->dialogs.openAnswers.push_back(std::nullopt);
    if (itemKey == QLatin1String("FindNext"))
        platform->messages.expect(QStringLiteral("Text not found!"), QStringLiteral("FindNext"),
                                  MsgButtons::Ok, MsgIcon::None);
    QSignalSpy chosen(&bar, &MenuBarControl::ItemClick);
    KeyPressCounter reached(widget);
    QTest::keyClick(widget, keys.key(), keys.keyboardModifiers());
    if (menuKey.isEmpty()) {
        QCOMPARE(chosen.count(), 0);
        QCOMPARE(reached.presses, 1);
        return;
    }
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen.at(0).at(0).toString(), menuKey);
    QCOMPARE(chosen.at(0).at(1).toString(), itemKey);
    // The widget with the keyboard did not act on the key as well.
    QCOMPARE(reached.presses, 0);
}

void MainWindowTest::popupUsableWhileEditMenuDisabled()
{
    window().testSearch->setFocus();
    window().show();
    window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window()));
    QVERIFY(!window().MenuBar->isMenuEnabled(QStringLiteral("mnuEdit")));

    QSignalSpy chosen(window().mnuPopup, &PopupMenuControl::ItemClick);
    window().mnuPopup->showPopup(popupKey, window().mapToGlobal(window().rect().center()));
    QMenu* popup = window().mnuPopup->menu(popupKey);
    QVERIFY(QTest::qWaitForWindowExposed(popup));
    QAction* copy = window().mnuPopup->item(popupKey, QStringLiteral("Copy"));
    QVERIFY(copy->isEnabled());
    QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(copy).center());
    QTRY_COMPARE(chosen.count(), 1);
    QCOMPARE(chosen.at(0).at(0).toString(), popupKey);
    QCOMPARE(chosen.at(0).at(1).toString(), QStringLiteral("Copy"));
    QTRY_VERIFY(!popup->isVisible());
    QCOMPARE(window().EditingEnabled, false);
}

void MainWindowTest::deletingKeys_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QKeyCombination>("keys");
    QTest::addColumn<int>("presses");
    QTest::addColumn<QString>("result");
    QTest::newRow("nominal: Del deletes the character after the caret")
        << 5 << 0 << QKeyCombination(Qt::Key_Delete) << 1 << "Dear ir, thank you";
    QTest::newRow("nominal: three presses of Del, one step to undo")
        << 5 << 0 << QKeyCombination(Qt::Key_Delete) << 3 << "Dear , thank you";
    QTest::newRow("nominal: Del removes a selection")
        << 4 << 4 << QKeyCombination(Qt::Key_Delete) << 1 << "Dear, thank you";
    QTest::newRow("nominal: Ctrl+Del deletes to the end of the word")
        << 5 << 0 << (Qt::CTRL | Qt::Key_Delete) << 1 << "Dear , thank you";
    QTest::newRow("nominal: Ctrl+Backspace deletes to the start of the word")
        << 8 << 0 << (Qt::CTRL | Qt::Key_Backspace) << 1 << "Dear , thank you";
    QTest::newRow("edge: Del at the end deletes nothing")
        << 19 << 0 << QKeyCombination(Qt::Key_Delete) << 1 << "Dear Sir, thank you";
}

void MainWindowTest::deletingKeys()
{
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QKeyCombination, keys);
    QFETCH(int, presses);
    QFETCH(QString, result);
    showWithEditorFocus();
    LetterEditor& editor = *window().RTB;
    const QString before = QStringLiteral("Dear Sir, thank you");
    editor.setText(before);
    editor.setSelStart(start);
    editor.setSelLength(length);
    QSignalSpy chosen(window().MenuBar, &MenuBarControl::ItemClick);
    for (int i = 0; i < presses; ++i)
        QTest::keyClick(editor.textEdit(), keys.key(), keys.keyboardModifiers());
    QCOMPARE(editor.Text(), result);
    QCOMPARE(chosen.count(), 0);
    if (result == before)
        return;
    QVERIFY(window().DocumentModified);
    // A run of presses is one step to undo, as typing is.
    QTest::keyClick(editor.textEdit(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(editor.Text(), before);
}

void MainWindowTest::delOutsideTheEditorLeavesTheLetter()
{
    showWithEditorFocus();
    LetterEditor& editor = *window().RTB;
    const QString letter = editor.Text();
    QVERIFY(!letter.isEmpty());
    editor.setSelStart(0);
    window().lstBx[0]->setFocus();
    QTRY_VERIFY(window().lstBx[0]->hasFocus());
    QTest::keyClick(window().lstBx[0], Qt::Key_Delete);
    QCOMPARE(editor.Text(), letter);
    QVERIFY(!window().DocumentModified);
}

void MainWindowTest::toolButtonsRunTheirCommandFromAccessibility_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("check");
    QTest::newRow("nominal: BOLD") << "BOLD"
                                   << "bold";
    QTest::newRow("nominal: ITALIC") << "ITALIC"
                                     << "italic";
    QTest::newRow("nominal: UNDERLINE") << "UNDERLINE"
                                        << "underline";
    QTest::newRow("nominal: CJUSTIFY") << "CJUSTIFY"
                                       << "centre";
    QTest::newRow("nominal: RJUSTIFY") << "RJUSTIFY"
                                       << "right";
}

void MainWindowTest::toolButtonsRunTheirCommandFromAccessibility()
{
    QFETCH(QString, key);
    QFETCH(QString, check);
    showWithEditorFocus();
    LetterEditor& editor = *window().RTB;
    editor.setText(QStringLiteral("Dear Sir"));
    editor.setSelStart(0);
    editor.setSelLength(4);
    QWidget* button =
        window().MenuBar->band(band)->widgetForAction(window().MenuBar->tool(band, key));
    QVERIFY(button);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), QAccessible::Button);
    QVERIFY(!accessible->state().checkable);
    QAccessibleActionInterface* actions = accessible->actionInterface();
    QVERIFY(actions);
    QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    QVERIFY(!actions->actionNames().contains(QAccessibleActionInterface::toggleAction()));

    const auto applied = [&] {
        if (check == QLatin1String("bold"))
            return editor.SelBold() == std::optional<bool>(true);
        if (check == QLatin1String("italic"))
            return editor.SelItalic() == std::optional<bool>(true);
        if (check == QLatin1String("underline"))
            return editor.SelUnderline() == std::optional<bool>(true);
        if (check == QLatin1String("centre"))
            return editor.SelAlignment() == std::optional<int>(LetterEditor::AlignCenter);
        return editor.SelAlignment() == std::optional<int>(LetterEditor::AlignRight);
    };
    QVERIFY(!applied());
    actions->doAction(QAccessibleActionInterface::pressAction());
    QTRY_VERIFY(applied());
    // The button shows no state of its own, whatever the text is.
    QVERIFY(!accessible->state().checked);
    QVERIFY(!accessible->state().pressed);
}

void MainWindowTest::enableByKey()
{
    MenuBarControl& bar = *window().MenuBar;
    const QString edit = QStringLiteral("mnuEdit");
    const QString findNext = QStringLiteral("FindNext");
    QVERIFY(bar.setItemEnabled(edit, findNext, true));
    QVERIFY(bar.isItemEnabled(edit, findNext));
    // Still not choosable while its menu is disabled.
    QVERIFY(!bar.item(edit, findNext)->isEnabled());
    QVERIFY(bar.setMenuEnabled(edit, true));
    QVERIFY(bar.item(edit, findNext)->isEnabled());
    QVERIFY(bar.item(edit, QStringLiteral("Undo"))->isEnabled());
    QVERIFY(bar.setItemEnabled(edit, findNext, false));
    QVERIFY(!bar.item(edit, findNext)->isEnabled());
    QVERIFY(bar.item(edit, QStringLiteral("Undo"))->isEnabled());

    QVERIFY(bar.setToolEnabled(band, QStringLiteral("BOLD"), true));
    QVERIFY(bar.isToolEnabled(band, QStringLiteral("BOLD")));

    QVERIFY(!bar.setItemEnabled(edit, QStringLiteral("NoSuchItem"), true));
    QVERIFY(!bar.setItemEnabled(QStringLiteral("mnuNoSuch"), findNext, true));
    QVERIFY(!bar.setMenuEnabled(QStringLiteral("mnuNoSuch"), true));
    QVERIFY(!bar.setToolEnabled(QStringLiteral("Band1"), QStringLiteral("BOLD"), true));
    QVERIFY(!bar.setToolEnabled(band, QStringLiteral("Bold"), true));

    bar.beginUpdate();
    bar.beginUpdate();
    QVERIFY(!bar.updatesEnabled());
    bar.endUpdate();
    QVERIFY(!bar.updatesEnabled());
    bar.endUpdate();
    QVERIFY(bar.updatesEnabled());
    bar.endUpdate();
    QVERIFY(bar.updatesEnabled());
}

void MainWindowTest::fontBoxApplies_data()
{
    QTest::addColumn<bool>("faceBox");
    QTest::addColumn<bool>("selection");

    QTest::newRow("nominal: face on the selection") << true << true;
    QTest::newRow("nominal: size on the selection") << false << true;
    QTest::newRow("nominal: face for the text typed at the caret") << true << false;
    QTest::newRow("nominal: size for the text typed at the caret") << false << false;
}

void MainWindowTest::fontBoxApplies()
{
    QFETCH(bool, faceBox);
    QFETCH(bool, selection);

    showWithEditorFocus();
    LetterEditor& editor = *window().RTB;
    editor.setText(QStringLiteral("Hello world"));
    if (selection) {
        editor.setSelStart(0);
        editor.setSelLength(5);
    } else {
        editor.setSelStart(11);
    }

    QComboBox* box = faceBox ? static_cast<QComboBox*>(window().cboFont) : window().cboFontSize;
    box->setFocus();
    QTRY_VERIFY(box->hasFocus());
    const int before = box->currentIndex();
    QTest::keyClick(box, Qt::Key_Down);
    QCOMPARE(box->currentIndex(), before + 1);
    const QString chosen = box->currentText();
    QVERIFY(box->hasFocus());

    const auto applied = [&] {
        return faceBox ? editor.SelFontName() == std::optional<QString>(chosen)
                       : editor.SelFontSize() == std::optional<double>(chosen.toDouble());
    };
    if (selection) {
        editor.setSelStart(0);
        editor.setSelLength(5);
        QVERIFY(applied());
    } else {
        editor.setFocus();
        QTRY_VERIFY(editor.hasFocus());
        QTest::keyClicks(editor.textEdit(), QStringLiteral("Z"));
        QCOMPARE(editor.Text(), QStringLiteral("Hello worldZ"));
        editor.setSelStart(11);
        editor.setSelLength(1);
        QVERIFY(applied());
        editor.setSelStart(0);
        editor.setSelLength(5);
        QVERIFY(!applied());
    }
    editor.setSelStart(6);
    editor.setSelLength(5);
    QVERIFY(!applied());
}

void MainWindowTest::typedTextNotApplied_data()
{
    QTest::addColumn<bool>("faceBox");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("confirmWithEnter");

    QTest::newRow("robustness: unknown face confirmed with Enter")
        << true << "Zzyzx Unknown Face" << true;
    QTest::newRow("robustness: unknown face, focus moves on")
        << true << "Zzyzx Unknown Face" << false;
    QTest::newRow("robustness: size not in the list confirmed with Enter") << false << "13" << true;
    QTest::newRow("robustness: size not in the list, focus moves on") << false << "13" << false;
    QTest::newRow("robustness: text that is no size") << false << "big" << true;
}

void MainWindowTest::typedTextNotApplied()
{
    QFETCH(bool, faceBox);
    QFETCH(QString, typed);
    QFETCH(bool, confirmWithEnter);

    showWithEditorFocus();
    LetterEditor& editor = *window().RTB;
    editor.setText(QStringLiteral("Hello world"));
    editor.setSelStart(0);
    editor.setSelLength(5);
    const auto faceBefore = editor.SelFontName();
    const auto sizeBefore = editor.SelFontSize();

    QComboBox* box = faceBox ? static_cast<QComboBox*>(window().cboFont) : window().cboFontSize;
    const int indexBefore = box->currentIndex();
    box->setFocus();
    QTRY_VERIFY(box->hasFocus());
    box->lineEdit()->selectAll();
    QTest::keyClicks(box, typed);
    QCOMPARE(box->lineEdit()->text(), typed);
    if (confirmWithEnter) {
        QTest::keyClick(box, Qt::Key_Return);
    } else {
        window().testSearch->setFocus();
        QTRY_VERIFY(window().testSearch->hasFocus());
    }

    QCOMPARE(box->currentIndex(), indexBefore);
    QCOMPARE(editor.SelStart(), 0);
    QCOMPARE(editor.SelLength(), 5);
    QCOMPARE(editor.SelFontName(), faceBefore);
    QCOMPARE(editor.SelFontSize(), sizeBefore);
}

void MainWindowTest::fontSizeValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");

    QTest::newRow("nominal: whole number") << "12" << 12.0;
    QTest::newRow("nominal: the largest entry") << "72" << 72.0;
    QTest::newRow("nominal: decimal with unit") << "10.5 pt" << 10.5;
    QTest::newRow("edge: leading blanks") << "  8" << 8.0;
    QTest::newRow("edge: digits then letters") << "14abc" << 14.0;
    QTest::newRow("robustness: no number") << "big" << 0.0;
    QTest::newRow("robustness: empty") << "" << 0.0;
    QTest::newRow("robustness: number after text") << "size 12" << 0.0;
}

void MainWindowTest::fontSizeValue()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(fontcontrols::sizeValue(text), value);
}

void MainWindowTest::colorTool_data()
{
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<QColor>("dialogAnswer");
    QTest::addColumn<bool>("toolClick");
    QTest::addColumn<bool>("colorChosen");
    QTest::addColumn<quint32>("color");

    QTest::newRow("nominal: a plain click colours nothing")
        << "click" << QColor() << true << false << quint32(0x0000FF);
    QTest::newRow("nominal: a common colour from the arrow's menu")
        << "Green" << QColor() << false << true << quint32(0x008000);
    QTest::newRow("nominal: More Colors... asks the colour dialog")
        << "more" << QColor(0x12, 0x34, 0x56) << false << true << quint32(0x563412);
    QTest::newRow("robustness: More Colors... cancelled keeps the colour")
        << "more" << QColor() << false << false << quint32(0x0000FF);
}

void MainWindowTest::colorTool()
{
    QFETCH(QString, gesture);
    QFETCH(QColor, dialogAnswer);
    QFETCH(bool, toolClick);
    QFETCH(bool, colorChosen);
    QFETCH(quint32, color);

    showWithEditorFocus();
    MenuBarControl& bar = *window().MenuBar;
    const QString key = QString::fromLatin1(fontColorToolKey);
    ColorTool* tool = bar.colorTool(band, key);
    QVERIFY(tool);
    QSignalSpy clicks(&bar, &MenuBarControl::ToolClick);
    QSignalSpy colors(&bar, &MenuBarControl::ToolColor);

    if (gesture == QLatin1String("click")) {
        auto* button = qobject_cast<QToolButton*>(bar.band(band)->widgetForAction(tool->action()));
        QVERIFY(button);
        // The press opens the colour menu.
        QCOMPARE(button->popupMode(), QToolButton::InstantPopup);
        QCOMPARE(button->defaultAction()->menu(), tool->menu());
        tool->action()->trigger();
    } else if (gesture == QLatin1String("more")) {
        if (dialogAnswer.isValid())
            platform->dialogs.colorAnswers.push_back(dialogAnswer);
        else
            platform->dialogs.colorAnswers.push_back(std::nullopt);
        tool->moreColorsAction()->trigger();
        QCOMPARE(platform->dialogs.colorCalls, 1);
    } else {
        const auto choices = tool->menu()->actions();
        const auto found = std::find_if(choices.begin(), choices.end(),
                                        [&](QAction* a) { return a->text() == gesture; });
        QVERIFY(found != choices.end());
        (*found)->trigger();
    }

    QCOMPARE(clicks.count(), toolClick ? 1 : 0);
    if (toolClick) {
        QCOMPARE(clicks.at(0).at(0).toString(), band);
        QCOMPARE(clicks.at(0).at(1).toString(), key);
    }
    QCOMPARE(colors.count(), colorChosen ? 1 : 0);
    if (colorChosen) {
        QCOMPARE(colors.at(0).at(0).toString(), band);
        QCOMPARE(colors.at(0).at(1).toString(), key);
        QCOMPARE(colors.at(0).at(2).value<quint32>(), color);
    }
    QCOMPARE(tool->color(), color);
}

void MainWindowTest::statusPanels()
{
    showWithEditorFocus();
    QTextEdit* editor = window().RTB->textEdit();
    QCOMPARE(window().panelText(4), QStringLiteral("INS"));
    QTest::keyClick(editor, Qt::Key_Insert);
    QVERIFY(editor->overwriteMode());
    QCOMPARE(window().panelText(4), QStringLiteral("OVR"));
    QTest::keyClick(editor, Qt::Key_Insert);
    QVERIFY(!editor->overwriteMode());
    QCOMPARE(window().panelText(4), QStringLiteral("INS"));

    QCOMPARE(window().panelText(6),
             QLocale().toString(platform->clock.fixedNow.time(), QLocale::ShortFormat));
    platform->clock.fixedNow = platform->clock.fixedNow.addSecs(3600);
    QTRY_COMPARE(window().panelText(6),
                 QLocale().toString(platform->clock.fixedNow.time(), QLocale::ShortFormat));

    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        // No keyboard indicators to read: the lock panels stay empty.
        for (int panel : {2, 3, 5})
            QVERIFY(window().panelText(panel).isEmpty());
    }
    QCOMPARE(window().SBPanels[1]->toolTip(), QStringLiteral("This is a text style panel"));
}

void MainWindowTest::everyControlHasAName()
{
    showWithEditorFocus();
    const auto isControl = [](const QWidget* widget) {
        return qobject_cast<const QAbstractButton*>(widget) ||
               qobject_cast<const QComboBox*>(widget) ||
               qobject_cast<const QAbstractItemView*>(widget) ||
               qobject_cast<const QTextEdit*>(widget) || qobject_cast<const QGroupBox*>(widget) ||
               (qobject_cast<const QLineEdit*>(widget) &&
                !qobject_cast<const QComboBox*>(widget->parentWidget()));
    };
    QSet<QWidget*> named;
    const auto widgets = window().findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        if (!widget->isVisibleTo(&window()) || !isControl(widget))
            continue;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(accessible);
        QVERIFY2(!accessible->text(QAccessible::Name).isEmpty(), widget->metaObject()->className());
        named.insert(widget);
    }
    QToolBar* toolbar = window().MenuBar->band(band);
    for (const char* tool : {"OPEN", "BOLD", "FONT_COLOR", "TRANSLATE"})
        QVERIFY2(named.contains(toolbar->widgetForAction(
                     window().MenuBar->tool(band, QString::fromLatin1(tool)))),
                 tool);
    for (QWidget* control : std::initializer_list<QWidget*>{
             window().cboFont, window().cboFontSize, window().RTB->textEdit(), window().testSearch,
             window().lstBx[1], window().cmdBtn[6], window().F1[2]})
        QVERIFY2(named.contains(control), control->metaObject()->className());
    // A panel's text is what a screen reader reads; its description says what the panel is.
    for (int panel = 1; panel <= 6; ++panel) {
        QAccessibleInterface* accessible =
            QAccessible::queryAccessibleInterface(window().SBPanels[panel]);
        QCOMPARE(accessible->text(QAccessible::Name), window().SBPanels[panel]->text());
        QVERIFY(!accessible->text(QAccessible::Description).isEmpty());
    }
}

QTEST_MAIN(MainWindowTest)
#include "test_mainwindow.moc"
