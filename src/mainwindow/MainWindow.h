#pragma once

#include "editor/DocumentFiles.h"
#include "library/LetterChanges.h"
#include "library/LibraryWindow.h"
#include "mainwindow/WindowLayout.h"
#include "utilities/cDialog.h"

#include <QHash>
#include <QRect>
#include <QWidget>
#include <array>
#include <memory>

class QComboBox;
class QFontComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStatusBar;

namespace lw {

class CommandDispatcher;
class LibraryBrowser;
class MenuBarControl;
class PopupMenuControl;
class RecentFilesMenu;
class LetterEditor;
class StatusIndicators;

// The main window: the menu bar with its toolbar across the top, the library panel on the left,
// the search panel and the editor on the right, the status bar at the bottom.
class MainWindow : public QWidget, public LibraryWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The start-up fill: lists, the first letter, popup, menus and toolbar, editor placement.
    void InitMainWindow();
    // Sets the text of a status bar panel, counted from 1.
    void setPanelText(int panel, const QString& text);
    QString panelText(int panel) const;

    MenuBarControl* MenuBar = nullptr;
    PopupMenuControl* mnuPopup = nullptr;
    QStatusBar* SB = nullptr;
    std::array<QLabel*, 7> SBPanels{}; // index 1 to 6
    QWidget* PicFrm = nullptr;
    QWidget* PicFrm1 = nullptr;
    std::array<QGroupBox*, 4> F1{}; // index 1 to 3
    std::array<QLabel*, 4> lblTxt{};
    std::array<QComboBox*, 2> Cmb{};
    std::array<QListWidget*, 2> lstBx{};
    std::array<QPushButton*, 8> cmdBtn{};
    QLabel* Label5 = nullptr;
    std::array<QFrame*, 2> Div{};
    QLineEdit* testSearch = nullptr;
    LetterEditor* RTB = nullptr;
    LetterEditor* rtfTemp = nullptr;
    QLabel* picInsert = nullptr;
    // Hosted in the toolbar; disabled until the editor first has the keyboard focus.
    QFontComboBox* cboFont = nullptr;
    QComboBox* cboFontSize = nullptr;

    // Document state.
    QString CurrentDocumentPath;
    bool DocumentModified = false;
    TextFileFormat DocumentFormat;
    bool shutDownDone = false;
    // The editing menus, tools and font boxes have been switched on.
    bool EditingEnabled = false;

    // The shared dialog object of the main window's commands; the window owns its open dialog.
    cDialog MainDialog = [this] {
        cDialog dialog;
        dialog.ParentHwnd = this;
        return dialog;
    }();
    DocumentFiles documentFiles{*this};
    LetterChanges letterChanges{*this};

    // The file commands.
    void OpenDocument() { documentFiles.OpenDocument(); }
    bool SaveDocument() override;
    bool SaveDocumentAs() override { return documentFiles.SaveDocumentAs(); }

    // What the editor's and the library's commands use of the window.
    QWidget* dialogParent() override { return this; }
    LetterEditor& editor() override { return *RTB; }
    cDialog& fileDialog() override { return MainDialog; }
    QString& documentPath() override { return CurrentDocumentPath; }
    bool& documentModified() override { return DocumentModified; }
    TextFileFormat& documentFormat() override { return DocumentFormat; }
    QComboBox* subjectBox() override { return Cmb[0]; }
    QComboBox* categoryBox() override { return Cmb[1]; }
    QListWidget* titleList(int list) override { return lstBx[list]; }
    QLabel* letterCountLine() override { return lblTxt[3]; }
    QLabel* favoriteCountLine() override { return Label5; }
    QLineEdit* searchBox() override { return testSearch; }
    void showLetterTitle(const QString& text) override { setPanelText(1, text); }
    LibraryBrowser& library() override { return *browser; }
    LetterChanges& changes() override { return letterChanges; }
    CommandDispatcher& dispatcher() { return *commands; }
    // The recent files at the end of the File menu.
    RecentFilesMenu* recentFilesMenu() const { return recentFiles; }

    // The geometry the resize rules work on, as the window and its controls stand.
    WindowLayout currentLayout() const;

    // The areas of the window that F6 and Shift+F6 go through, in order, and the control of each
    // that takes the keyboard: the editor, the search, the letter list, the favourites, the
    // toolbar.
    QList<QWidget*> keyboardAreas() const;
    // Gives the keyboard to the next area (step 1) or the previous one (-1).
    void focusArea(int step);
    // The editor's popup at the caret, as the Menu key or Shift+F10 opens it.
    void showEditorPopup();

public slots:
    // The commands of the menus, the toolbar and the popup, by key.
    void MenuBar_ItemClick(const QString& menuKey, const QString& itemKey);
    void MenuBar_ToolClick(const QString& bandKey, const QString& toolKey);
    void MenuBar_ToolColor(const QString& bandKey, const QString& toolKey, quint32 bgr);
    void mnuPopup_ItemClick(const QString& menuKey, const QString& itemKey);
    // The first focus of the editor switches the editing menus, tools and font boxes on.
    void RTB_GotFocus();
    // A face or size chosen from the list applies to the editor's selection or caret.
    void cboFont_Click();
    void cboFontSize_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLibraryPanel();
    void buildSearchPanel();
    void buildStatusBar();
    void buildFontBoxes();
    void BuildPopupMenu();
    void BuildMenuBar();
    void PlaceEditor();
    void Form_Resize();
    void alignEdges();
    void applyLayout(const WindowLayout& from, const WindowLayout& to);
    void makeRoomInLibraryPanel();
    void fitLibraryPanel();
    QWidget* areaEntry(int area) const;
    void RTB_Change();

    std::unique_ptr<LibraryBrowser> browser;
    CommandDispatcher* commands = nullptr;
    StatusIndicators* indicators = nullptr;
    // The library panel's controls where they stand in a window tall enough for all of them.
    QHash<QWidget*, QRect> libraryDesign;
    RecentFilesMenu* recentFiles = nullptr;
};

// The window's caption, never changed at run time.
inline constexpr const char* mainWindowCaption = "Brightquill - Letterwright 2007";

} // namespace lw
