#include "mainwindow/MainWindow.h"

#include "editor/FieldTools.h"
#include "editor/LetterEditor.h"
#include "library/LibraryBrowser.h"
#include "library/modMain.h"
#include "mainwindow/CommandDispatcher.h"
#include "mainwindow/CommandTables.h"
#include "mainwindow/FontControls.h"
#include "mainwindow/MenuBarControl.h"
#include "mainwindow/Pictures.h"
#include "mainwindow/PopupMenuControl.h"
#include "mainwindow/RecentFilesMenu.h"
#include "mainwindow/Shutdown.h"
#include "mainwindow/SpellingCommands.h"
#include "mainwindow/StatusIndicators.h"
#include "platform/Accessibility.h"
#include "platform/ContentFit.h"
#include "platform/Fonts.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QContextMenuEvent>
#include <QFontComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <cstring>

namespace lw {

namespace {

using fonts::verdana;

const QColor frameBackground(0xE0, 0xE0, 0xE0);

// Frames: a light grey panel under a bold caption in the desktop's accent colour.
void styleFrame(QGroupBox* box)
{
    const QColor caption = box->palette().color(QPalette::Highlight).darker(125);
    box->setStyleSheet(QStringLiteral("QGroupBox { background-color: %1; border: 1px solid #b4b4b4;"
                                      " border-radius: 4px; margin-top: 0.7em; }"
                                      "QGroupBox::title { subcontrol-origin: margin; left: 8px;"
                                      " padding: 0 3px; color: %2; }")
                           .arg(frameBackground.name(), caption.name()));
}

QGroupBox* frame(QWidget* parent, const QString& caption, int left, int top, int width, int height)
{
    auto* box = new QGroupBox(caption, parent);
    box->setFont(verdana(8.25, true));
    box->setAccessibleName(caption);
    styleFrame(box);
    twips::place(box, left, top, width, height);
    return box;
}

QLabel* label(QWidget* parent, const QString& text, int left, int top, int width, int height)
{
    auto* result = new QLabel(text, parent);
    result->setFont(fonts::named(QStringLiteral("MS Sans Serif"), 8.25));
    QPalette palette = result->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Highlight));
    result->setPalette(palette);
    twips::place(result, left, top, width, height);
    return result;
}

QPushButton* button(QWidget* parent, const QString& caption, const QString& accessible, int left,
                    int top, int width, int height)
{
    auto* result = new QPushButton(caption, parent);
    result->setFont(verdana(8.25));
    result->setAccessibleName(accessible);
    twips::place(result, left, top, width, height);
    return result;
}

template <typename T>
T* control(QWidget* parent, const QString& accessible, int left, int top, int width, int height)
{
    auto* result = new T(parent);
    result->setFont(verdana(8.25));
    result->setAccessibleName(accessible);
    twips::place(result, left, top, width, height);
    return result;
}

TwipsRect twipsOf(const QWidget* widget)
{
    const QRect r = widget->geometry();
    return {twips::fromPixelsX(r.x(), widget), twips::fromPixelsY(r.y(), widget),
            twips::fromPixelsX(r.width(), widget), twips::fromPixelsY(r.height(), widget)};
}

void placeChanged(QWidget* widget, const TwipsRect& from, const TwipsRect& to)
{
    if (from != to)
        twips::place(widget, to.left, to.top, to.width, to.height);
}

bool sameKey(const char* a, const char* b)
{
    return a && b && std::strcmp(a, b) == 0;
}

} // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("MainWindow"));
    accessibility::announceWindows();
    setWindowTitle(QString::fromLatin1(mainWindowCaption));
    setFont(verdana(8.25));
    resize(twips::toPixelsX(13755, this), twips::toPixelsY(9990, this));
    pictures::useIconTheme();

    MenuBar = new MenuBarControl(this);
    twips::place(MenuBar, 0, 0, 13755, 585);
    mnuPopup = new PopupMenuControl(this);

    buildLibraryPanel();
    buildSearchPanel();

    rtfTemp = new LetterEditor(this);
    rtfTemp->widget()->hide();
    rtfTemp->setFont(verdana(9));
    RTB = new LetterEditor(this);
    RTB->setFont(letterFont());
    RTB->widget()->setAccessibleName(QStringLiteral("Letter editor"));
    twips::place(RTB->widget(), 5280, 5520, 2295, 1335);
    connect(RTB, &LetterEditor::Change, this, &MainWindow::RTB_Change);
    connect(RTB, &LetterEditor::GotFocus, this, &MainWindow::RTB_GotFocus);
    RTB->textEdit()->installEventFilter(this);

    picInsert = new QLabel(this);
    picInsert->hide();

    buildStatusBar();
    buildFontBoxes();

    connect(MenuBar, &MenuBarControl::ItemClick, this, &MainWindow::MenuBar_ItemClick);
    connect(MenuBar, &MenuBarControl::ToolClick, this, &MainWindow::MenuBar_ToolClick);
    connect(MenuBar, &MenuBarControl::ToolColor, this, &MainWindow::MenuBar_ToolColor);
    connect(mnuPopup, &PopupMenuControl::ItemClick, this, &MainWindow::mnuPopup_ItemClick);

    browser = std::make_unique<LibraryBrowser>(*this);
    commands = new CommandDispatcher(*this);
    for (int i = 0; i < 8; ++i)
        connect(cmdBtn[i], &QPushButton::clicked, this, [this, i] { browser->cmdBtn_Click(i); });
    for (int i = 0; i < 2; ++i) {
        connect(Cmb[i], &QComboBox::currentIndexChanged, this, [this, i](int row) {
            if (row >= 0)
                browser->Cmb_Click(i);
        });
        // A choice from the list comes after the change of index, if there was one.
        connect(Cmb[i], &QComboBox::activated, this, [this, i] { browser->Cmb_Rechosen(i); });
        connect(lstBx[i], &QListWidget::currentRowChanged, this, [this, i](int row) {
            if (row >= 0)
                browser->lstBx_Click(i);
        });
        connect(lstBx[i], &QListWidget::itemClicked, this, [this, i](QListWidgetItem* item) {
            if (item == lstBx[i]->currentItem())
                browser->lstBx_Rechosen(i);
        });
    }

    // The editor comes first: it has the keyboard when the window is first shown.
    QWidget* const tabOrder[] = {RTB->widget(), testSearch, cmdBtn[3], Cmb[0],
                                 Cmb[1],        lstBx[0],   cmdBtn[0], cmdBtn[1],
                                 cmdBtn[7],     cmdBtn[2],  lstBx[1],  cmdBtn[4],
                                 cmdBtn[5],     cmdBtn[6],  cboFont,   cboFontSize};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    makeRoomInLibraryPanel();

    // F6 and Shift+F6 go from area to area; F10 opens the first menu, as on other desktops.
    const auto onKey = [this](const QKeySequence& key, auto run) {
        connect(new QShortcut(key, this), &QShortcut::activated, this, run);
    };
    onKey(QKeySequence(Qt::Key_F6), [this] { focusArea(1); });
    onKey(QKeySequence(Qt::SHIFT | Qt::Key_F6), [this] { focusArea(-1); });
    onKey(QKeySequence(Qt::Key_F10), [this] {
        QMenuBar* bar = MenuBar->menuBar();
        const auto menus = bar->actions();
        for (QAction* menu : menus) {
            if (menu->isEnabled() && menu->isVisible()) {
                bar->setActiveAction(menu);
                return;
            }
        }
    });
    RTB->widget()->setFocus();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildLibraryPanel()
{
    PicFrm = new QWidget(this);
    PicFrm->setObjectName(QStringLiteral("PicFrm"));
    twips::place(PicFrm, 0, 585, 4515, 9105);

    Div[0] = new QFrame(PicFrm);
    Div[0]->setFrameShape(QFrame::HLine);
    Div[0]->setFrameShadow(QFrame::Sunken);
    twips::place(Div[0], 0, 0, 5910, 75);

    F1[3] = frame(PicFrm, QStringLiteral("Letter Category"), 120, 180, 4275, 5595);
    lblTxt[0] = label(F1[3], QStringLiteral("Subjects:"), 180, 430, 1000, 255);
    Cmb[0] = control<QComboBox>(F1[3], QStringLiteral("Subjects:"), 1380, 390, 2715, 300);
    lblTxt[1] = label(F1[3], QStringLiteral("Categories:"), 180, 960, 1015, 255);
    Cmb[1] = control<QComboBox>(F1[3], QStringLiteral("Categories:"), 1380, 900, 2715, 300);
    lblTxt[2] =
        label(F1[3], QStringLiteral("Select A Title From Letter List:"), 180, 1440, 2815, 195);
    lstBx[0] = control<QListWidget>(F1[3], QStringLiteral("Select A Title From Letter List:"), 180,
                                    1860, 3900, 2595);
    // A screen reader names a box by the label that is its buddy (a combo box's own name is its
    // text).
    for (int i = 0; i < 2; ++i)
        lblTxt[i]->setBuddy(Cmb[i]);
    lblTxt[2]->setBuddy(lstBx[0]);
    lblTxt[3] = label(F1[3], QString(), 240, 4590, 3735, 255);
    accessibility::nameFollowsText(lblTxt[3], QStringLiteral("Letter count"));
    // The count line stands on the window colour, unlike the other labels.
    lblTxt[3]->setAutoFillBackground(true);
    lblTxt[3]->setBackgroundRole(QPalette::Base);
    cmdBtn[0] =
        button(F1[3], QStringLiteral("Add"), QStringLiteral("Add letter"), 240, 4965, 885, 345);
    cmdBtn[1] = button(F1[3], QStringLiteral("Delete"), QStringLiteral("Delete letter"), 1200, 4965,
                       885, 345);
    cmdBtn[7] =
        button(F1[3], QStringLiteral("Move"), QStringLiteral("Move letter"), 2160, 4965, 885, 345);
    cmdBtn[2] =
        button(F1[3], QStringLiteral("Refresh"), QStringLiteral("Refresh"), 3120, 4965, 885, 345);

    F1[2] = frame(PicFrm, QStringLiteral("My Favorite"), 120, 5910, 4275, 2925);
    lstBx[1] = control<QListWidget>(F1[2], QStringLiteral("My Favorite"), 180, 420, 3900, 1425);
    Label5 = label(F1[2], QString(), 240, 1965, 3735, 255);
    accessibility::nameFollowsText(Label5, QStringLiteral("Favorite count"));
    cmdBtn[4] = button(F1[2], QStringLiteral("Add"), QStringLiteral("Add to My Favorite"), 270,
                       2325, 1095, 345);
    cmdBtn[5] = button(F1[2], QStringLiteral("Delete"), QStringLiteral("Delete from My Favorite"),
                       1560, 2325, 1095, 345);
    cmdBtn[6] = button(F1[2], QStringLiteral("Clear"), QStringLiteral("Clear My Favorite"), 2880,
                       2325, 1095, 345);
    for (QListWidget* list : lstBx)
        list->setWordWrap(false);
    // The library combo boxes are white, like the lists beside them.
    for (QComboBox* box : Cmb) {
        QPalette palette = box->palette();
        palette.setColor(QPalette::Button, palette.color(QPalette::Base));
        box->setPalette(palette);
    }
}

void MainWindow::buildSearchPanel()
{
    Div[1] = new QFrame(this);
    Div[1]->setFrameShape(QFrame::HLine);
    Div[1]->setFrameShadow(QFrame::Sunken);
    twips::place(Div[1], 4485, 570, 8850, 75);

    PicFrm1 = new QWidget(this);
    PicFrm1->setObjectName(QStringLiteral("PicFrm1"));
    twips::place(PicFrm1, 4590, 780, 6165, 945);
    F1[1] = frame(PicFrm1, QStringLiteral("Search"), 0, 0, 5775, 945);
    testSearch = control<QLineEdit>(F1[1], QStringLiteral("Search keywords"), 270, 360, 2655, 345);
    testSearch->setText(QStringLiteral("Please input your keyword(s)"));
    cmdBtn[3] =
        button(F1[1], QStringLiteral("Search"), QStringLiteral("Search"), 3030, 360, 1095, 345);
}

void MainWindow::buildStatusBar()
{
    SB = new QStatusBar(this);
    SB->setSizeGripEnabled(false);
    SB->setAccessibleName(QStringLiteral("Status bar"));
    SB->setFont(verdana(8.25));
    twips::place(SB, 0, 9690, 13755, 300);
    static const int widths[] = {0, 472, 90, 100, 70, 70, 95};
    static const char* names[] = {"",          "Current letter",      "Num Lock",
                                  "Caps Lock", "Insert or overwrite", "Scroll Lock",
                                  "Time"};
    for (int i = 1; i <= 6; ++i) {
        SBPanels[i] = new QLabel(SB);
        accessibility::nameFollowsText(SBPanels[i], QString::fromLatin1(names[i]));
        SBPanels[i]->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        SBPanels[i]->setAlignment(i == 1 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
        if (i == 1) {
            // The title line takes what the indicators leave.
            SBPanels[i]->setToolTip(QStringLiteral("This is a text style panel"));
            SBPanels[i]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            SB->addWidget(SBPanels[i], 1);
        } else {
            SBPanels[i]->setFixedWidth(widths[i]);
            SB->addPermanentWidget(SBPanels[i]);
        }
    }
    indicators = new StatusIndicators(
        {SBPanels[2], SBPanels[3], SBPanels[4], SBPanels[5], SBPanels[6]}, RTB->textEdit(), this);
}

void MainWindow::buildFontBoxes()
{
    cboFont = new QFontComboBox(this);
    cboFontSize = new QComboBox(this);
    cboFont->setAccessibleName(QStringLiteral("Font"));
    // A combo box is read by its text; what it is about, a screen reader reads from here.
    cboFont->setAccessibleDescription(QStringLiteral("Font"));
    cboFont->setToolTip(QStringLiteral("Font"));
    cboFont->setMinimumWidth(twips::toPixelsX(2700, this));
    cboFontSize->setAccessibleName(QStringLiteral("Font Size"));
    cboFontSize->setAccessibleDescription(QStringLiteral("Font Size"));
    cboFontSize->setToolTip(QStringLiteral("Font Size"));
    cboFontSize->setEditable(true);
    cboFontSize->setMinimumWidth(twips::toPixelsX(900, this));
    for (QComboBox* box : {static_cast<QComboBox*>(cboFont), cboFontSize}) {
        box->setFont(verdana(8.25));
        // Only an entry of the list is ever applied: typed text that names none stays as typed.
        box->setInsertPolicy(QComboBox::NoInsert);
        box->completer()->setCompletionMode(QCompleter::InlineCompletion);
        box->setEnabled(false);
        connect(box, &QComboBox::activated, this,
                box == cboFont ? &MainWindow::cboFont_Click : &MainWindow::cboFontSize_Click);
    }
}

void MainWindow::setPanelText(int panel, const QString& text)
{
    SBPanels[panel]->setText(text);
}

QString MainWindow::panelText(int panel) const
{
    return SBPanels[panel]->text();
}

void MainWindow::InitMainWindow()
{
    modMain().Loading = true;
    browser->FillSubjects();
    browser->FillCategories();
    browser->FillLetters();
    browser->FillFavorites();
    if (lstBx[0]->count() > 0)
        browser->ShowLetter(browser->selectedTitle(0));
    modMain().Loading = false;
    BuildPopupMenu();
    BuildMenuBar();
    commands->spelling().BuildMenus();
    alignEdges();
    PlaceEditor();
}

void MainWindow::BuildPopupMenu()
{
    const QString key = QString::fromLatin1(popupMenuKey);
    mnuPopup->addMenu(key);
    for (const MenuEntryDefinition& entry : popupEntryDefinitions())
        mnuPopup->addItem(entry);
}

void MainWindow::BuildMenuBar()
{
    MenuBar->beginUpdate();
    for (const MenuDefinition& menu : menuDefinitions()) {
        MenuBar->addMenu(menu);
        for (const MenuEntryDefinition& entry : menuEntryDefinitions()) {
            if (sameKey(entry.menuKey, menu.key))
                MenuBar->addItem(entry);
        }
    }
    const QString band = QString::fromLatin1(toolbarBandKey);
    MenuBar->addBand(band);
    for (const ToolDefinition& tool : toolDefinitions()) {
        const bool font = sameKey(tool.key, fontToolKey);
        const bool fontSize = sameKey(tool.key, fontSizeToolKey);
        QWidget* hosted = font ? static_cast<QWidget*>(cboFont) : fontSize ? cboFontSize : nullptr;
        MenuBar->addTool(band, tool, hosted);
        if (font) {
            fontcontrols::selectFace(cboFont, QString::fromLatin1(fontAtStart), RTB->Font());
        } else if (fontSize) {
            for (const char* size : fontSizeEntries())
                cboFontSize->addItem(QString::fromLatin1(size));
            cboFontSize->setCurrentIndex(fontSizeIndexAtStart);
        } else if (sameKey(tool.key, fontColorToolKey)) {
            MenuBar->setToolColor(band, QString::fromLatin1(tool.key), fontColorAtStart);
        }
    }
    recentFiles = new RecentFilesMenu(MenuBar->menu(QStringLiteral("mnuFile")));
    connect(recentFiles, &RecentFilesMenu::chosen, commands, &CommandDispatcher::OpenRecent);
    MenuBar->endUpdate();
    // The toolbar comes last in the Tab order, its controls as they stand.
    QWidget* previous = cmdBtn[6];
    QToolBar* toolbar = MenuBar->band(band);
    const auto actions = toolbar->actions();
    for (QAction* action : actions) {
        QWidget* tool = toolbar->widgetForAction(action);
        if (tool && (tool->focusPolicy() & Qt::TabFocus)) {
            setTabOrder(previous, tool);
            previous = tool;
        }
    }
}

QList<QWidget*> MainWindow::keyboardAreas() const
{
    QList<QWidget*> areas{RTB->widget(), PicFrm1, F1[3], F1[2]};
    if (QToolBar* toolbar = MenuBar->band(QString::fromLatin1(toolbarBandKey)))
        areas.append(toolbar);
    return areas;
}

QWidget* MainWindow::areaEntry(int area) const
{
    switch (area) {
    case 0:
        return RTB->widget();
    case 1:
        return testSearch;
    case 2:
        return lstBx[0];
    case 3:
        return lstBx[1];
    default:
        break;
    }
    // The toolbar's first control that can take the keyboard now.
    QToolBar* toolbar = MenuBar->band(QString::fromLatin1(toolbarBandKey));
    const auto actions = toolbar ? toolbar->actions() : QList<QAction*>();
    for (QAction* action : actions) {
        QWidget* tool = toolbar->widgetForAction(action);
        if (tool && (tool->focusPolicy() & Qt::TabFocus) && tool->isEnabled() &&
            tool->isVisibleTo(toolbar))
            return tool;
    }
    return nullptr;
}

void MainWindow::focusArea(int step)
{
    const QList<QWidget*> areas = keyboardAreas();
    const QWidget* focus = QApplication::focusWidget();
    const int count = int(areas.size());
    int area = step > 0 ? -1 : 0;
    for (int i = 0; i < count; ++i) {
        if (focus && (areas[i] == focus || areas[i]->isAncestorOf(focus)))
            area = i;
    }
    for (int tried = 0; tried < count; ++tried) {
        area = (area + step + count) % count;
        QWidget* entry = areaEntry(area);
        if (entry && entry->isEnabled() && entry->isVisibleTo(this)) {
            entry->setFocus(Qt::ShortcutFocusReason);
            return;
        }
    }
}

void MainWindow::showEditorPopup()
{
    // Suggestions for the word at the caret, or none: a right click's may still be there.
    commands->spelling().PreparePopup(RTB->SelStart() + RTB->SelLength());
    QTextEdit* edit = RTB->textEdit();
    edit->ensureCursorVisible();
    const QPoint caret = edit->viewport()->mapToGlobal(edit->cursorRect().bottomLeft());
    mnuPopup->showPopup(QString::fromLatin1(popupMenuKey), caret);
}

WindowLayout MainWindow::currentLayout() const
{
    const QRect outer = frameGeometry();
    WindowLayout l;
    l.outerWidth = twips::fromPixelsX(outer.width(), this);
    l.outerHeight = twips::fromPixelsY(outer.height(), this);
    l.left = twips::fromPixelsX(outer.x(), this);
    l.top = twips::fromPixelsY(outer.y(), this);
    l.menuBar = twipsOf(MenuBar);
    l.statusBar = twipsOf(SB);
    l.libraryPanel = twipsOf(PicFrm);
    l.divider = twipsOf(Div[1]);
    l.searchPanel = twipsOf(PicFrm1);
    l.searchFrame = twipsOf(F1[1]);
    l.searchBox = twipsOf(testSearch);
    l.searchButton = twipsOf(cmdBtn[3]);
    l.editor = twipsOf(RTB->widget());
    return l;
}

void MainWindow::PlaceEditor()
{
    const WindowLayout now = currentLayout();
    applyLayout(now, placeEditor(now));
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void MainWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void MainWindow::Form_Resize()
{
    alignEdges();
    const QScreen* shownOn = screen();
    const QRect area = shownOn ? shownOn->geometry() : QRect();
    const ScreenArea screenArea{
        twips::fromPixelsX(area.x(), this), twips::fromPixelsY(area.y(), this),
        twips::fromPixelsX(area.width(), this), twips::fromPixelsY(area.height(), this)};
    const WindowState state = isMinimized()                     ? WindowState::Minimized
                              : isMaximized() || isFullScreen() ? WindowState::Maximized
                                                                : WindowState::Normal;
    const WindowLayout now = currentLayout();
    applyLayout(now, applyResizeRules(now, screenArea, state));
    // A window not yet shown takes its new size at once, without a further resize event.
    alignEdges();
}

// The menu bar and the status bar span the window's top and bottom edges, the library panel
// the left edge between them.
void MainWindow::alignEdges()
{
    const int menuHeight = MenuBar->sizeHint().height();
    const int statusHeight = qMax(SB->sizeHint().height(), twips::toPixelsY(300, this));
    MenuBar->setGeometry(0, 0, width(), menuHeight);
    SB->setGeometry(0, height() - statusHeight, width(), statusHeight);
    PicFrm->setGeometry(0, menuHeight, PicFrm->width(),
                        qMax(0, height() - menuHeight - statusHeight));
    fitLibraryPanel();
}

void MainWindow::makeRoomInLibraryPanel()
{
    // With a larger font the frames make room for their text; the panel widens with them and
    // what stands right of it moves over.
    const QSize grown = fit::makeRoom(PicFrm);
    if (grown.width() > 0) {
        PicFrm->resize(PicFrm->width() + grown.width(), PicFrm->height());
        for (QWidget* right : {static_cast<QWidget*>(Div[1]), PicFrm1, RTB->widget()})
            right->move(right->x() + grown.width(), right->y());
        resize(width() + grown.width(), height());
    }
    for (QGroupBox* frame : {F1[3], F1[2]}) {
        libraryDesign.insert(frame, frame->geometry());
        const auto children = frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (QWidget* child : children)
            libraryDesign.insert(child, child->geometry());
    }
}

// In a window too short for the whole library panel (a small or scaled screen) the two lists
// give up rows, down to a few, so that the counts and buttons below them stay in sight.
void MainWindow::fitLibraryPanel()
{
    for (auto place = libraryDesign.cbegin(); place != libraryDesign.cend(); ++place) {
        if (place.key()->geometry() != place.value())
            place.key()->setGeometry(place.value());
    }
    if (libraryDesign.isEmpty())
        return;
    int deficit =
        libraryDesign.value(F1[2]).bottom() + 1 + twips::toPixelsY(60, this) - PicFrm->height();
    const auto shrink = [&deficit](QGroupBox* frame, QListWidget* list, int rows) {
        const int row = qMax(list->sizeHintForRow(0), list->fontMetrics().height());
        const int least =
            2 * list->frameWidth() + rows * row + list->horizontalScrollBar()->sizeHint().height();
        const int take = qBound(0, deficit, list->height() - least);
        if (take <= 0)
            return 0;
        const int below = list->geometry().bottom() + 1;
        list->resize(list->width(), list->height() - take);
        const auto children = frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (QWidget* child : children) {
            if (child->y() >= below)
                child->move(child->x(), child->y() - take);
        }
        frame->resize(frame->width(), frame->height() - take);
        deficit -= take;
        return take;
    };
    const int fromLetters = shrink(F1[3], lstBx[0], 4);
    F1[2]->move(F1[2]->x(), F1[2]->y() - fromLetters);
    shrink(F1[2], lstBx[1], 3);
}

void MainWindow::applyLayout(const WindowLayout& from, const WindowLayout& to)
{
    if (to.outerWidth != from.outerWidth || to.outerHeight != from.outerHeight) {
        const QSize frame = frameGeometry().size() - size();
        resize(twips::toPixelsX(to.outerWidth, this) - frame.width(),
               twips::toPixelsY(to.outerHeight, this) - frame.height());
    }
    if (to.left != from.left || to.top != from.top)
        move(twips::toPixelsX(to.left, this), twips::toPixelsY(to.top, this));
    placeChanged(Div[1], from.divider, to.divider);
    placeChanged(PicFrm1, from.searchPanel, to.searchPanel);
    placeChanged(F1[1], from.searchFrame, to.searchFrame);
    placeChanged(testSearch, from.searchBox, to.searchBox);
    placeChanged(cmdBtn[3], from.searchButton, to.searchButton);
    placeChanged(RTB->widget(), from.editor, to.editor);
}

// A key without a command does nothing.
void MainWindow::MenuBar_ItemClick(const QString& menuKey, const QString& itemKey)
{
    commands->MenuBar_ItemClick(menuKey, itemKey);
}

void MainWindow::MenuBar_ToolClick(const QString& bandKey, const QString& toolKey)
{
    commands->MenuBar_ToolClick(bandKey, toolKey);
}

void MainWindow::MenuBar_ToolColor(const QString& bandKey, const QString& toolKey, quint32 bgr)
{
    commands->MenuBar_ToolColor(bandKey, toolKey, bgr);
}

void MainWindow::mnuPopup_ItemClick(const QString& menuKey, const QString& itemKey)
{
    commands->mnuPopup_ItemClick(menuKey, itemKey);
}

void MainWindow::RTB_GotFocus()
{
    if (EditingEnabled)
        return;
    EditingEnabled = true;
    MenuBar->beginUpdate();
    cboFont->setEnabled(true);
    cboFontSize->setEnabled(true);
    const QString band = QString::fromLatin1(toolbarBandKey);
    for (const char* tool : editingToolKeys())
        MenuBar->setToolEnabled(band, QString::fromLatin1(tool), true);
    for (const char* menu : editingMenuKeys())
        MenuBar->setMenuEnabled(QString::fromLatin1(menu), true);
    MenuBar->endUpdate();
}

void MainWindow::cboFont_Click()
{
    RTB->setSelFontName(cboFont->itemText(cboFont->currentIndex()));
}

void MainWindow::cboFontSize_Click()
{
    RTB->setSelFontSize(
        fontcontrols::sizeValue(cboFontSize->itemText(cboFontSize->currentIndex())));
}

// Keys that are shortcuts of the menus are left to the menus, so that they are chosen once,
// by the menu, and not also acted on by the editor itself.
bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == RTB->textEdit() && event->type() == QEvent::ShortcutOverride &&
        MenuBar->takesShortcut(static_cast<QKeyEvent*>(event))) {
        event->ignore();
        return true;
    }
    if (watched == RTB->textEdit() && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        // Tab types a tab into the letter; Ctrl+Tab leaves the editor, as in other editors.
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            (modifiers & Qt::ControlModifier)) {
            focusNextPrevChild(key->key() == Qt::Key_Tab && !(modifiers & Qt::ShiftModifier));
            return true;
        }
        if (key->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier) {
            showEditorPopup();
            return true;
        }
    }
    // The Menu key opens the editor's popup; a right click already has (through the mouse).
    if (watched == RTB->textEdit() && event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        showEditorPopup();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool MainWindow::SaveDocument()
{
    // Every save of a changed letter, the save question's too, first asks about fields still
    // unfilled; No keeps the document open with the first of them selected.
    if (DocumentModified && commands && !commands->fields().confirmFilled(QStringLiteral("Save")))
        return false;
    return letterChanges.SaveDocument();
}

void MainWindow::RTB_Change()
{
    DocumentModified = true;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // The user may keep the window, with the document, at the save question.
    if (ShutDown(*this))
        event->accept();
    else
        event->ignore();
}

} // namespace lw
