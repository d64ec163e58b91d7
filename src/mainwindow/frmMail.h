#pragma once

#include "editor/DocumentFiles.h"
#include "library/LetterChanges.h"
#include "utilities/cDialog.h"

#include <QWidget>
#include <array>
#include <memory>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStatusBar;

namespace lw {

class LibraryBrowser;
class RichTextBox;

// The main window: the library panel on the left, the search panel and the editor on the right.
class frmMail : public QWidget
{
    Q_OBJECT
public:
    explicit frmMail(QWidget* parent = nullptr);
    ~frmMail() override;

    // The start-up fill: lists, the first letter, menus, editor placement.
    void InitMainWindow();
    // Sets the text of a status bar panel, counted from 1.
    void setPanelText(int panel, const QString& text);
    QString panelText(int panel) const;

    QWidget* MenuBar = nullptr;
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
    RichTextBox* RTB = nullptr;
    RichTextBox* rtfTemp = nullptr;
    QLabel* picInsert = nullptr;

    // Document state.
    QString CurrentDocumentPath;
    bool DocumentModified = false;
    bool shutDownDone = false;

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
    void SaveDocument() { letterChanges.SaveDocument(); }
    void SaveDocumentAs() { documentFiles.SaveDocumentAs(); }

    LibraryBrowser& library() { return *browser; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildLibraryPanel();
    void buildSearchPanel();
    void buildStatusBar();
    void PlaceEditor();
    void RTB_Change();

    std::unique_ptr<LibraryBrowser> browser;
};

// The window's caption, never changed at run time.
inline constexpr const char* mainWindowCaption = "Brightquill - Letterwright 2007";

} // namespace lw
