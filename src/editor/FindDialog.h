#pragma once

#include "editor/ToolDialog.h"

#include <QPointer>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace lw {

class LetterEditor;

// The find and replace dialog of the editor, modeless. Its search text and options are also those
// of the main window's Find Next.
class FindDialog : public ToolDialog
{
    Q_OBJECT
public:
    // The dialog load: the find-only or the find-and-replace layout, and the editor's selected
    // text as the search text and the one entry of its list. The caller shows it.
    FindDialog(QWidget* owner, LetterEditor* editor, bool findOnly);

    // The options of every search: 8 No Highlight, 2 Whole Word, 4 Match Case, as ticked.
    int optionsValue() const;
    // The find-and-replace layout, whatever the dialog was loaded with (the popup's Replace).
    void showReplaceLayout();
    bool isFindOnlyLayout() const;

    void cmdFind_Click();
    void cmdReplace_Click();
    void cmdReplaceAll_Click();
    void cmdCancel_Click();

    QLabel* lblFind = nullptr;
    QComboBox* cboFind = nullptr;
    QLabel* lblReplace = nullptr;
    QComboBox* cboReplace = nullptr;
    QGroupBox* F1 = nullptr;
    QCheckBox* chkWholeWord = nullptr;
    QCheckBox* chkMatchCase = nullptr;
    QCheckBox* chkNoHighlight = nullptr;
    QPushButton* cmdFind = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdReplace = nullptr;
    QPushButton* cmdReplaceAll = nullptr;

signals:
    // The main window's Edit menu item "FindNext" is to be enabled or disabled.
    void findNextEnabledChanged(bool enabled);

private:
    void applyLayout(bool findOnly);

    QPointer<LetterEditor> RTB;
};

// Geometry of the dialog in twips.
namespace findlayout {
inline constexpr int clientWidth = 5655;
inline constexpr int clientHeight = 2400;
inline constexpr int frameTop = 960;
inline constexpr int findOnlyFrameTop = 620;
// The find-only window is 2500 twips high from its outer edge; the caption and borders of a
// dialog take 440 of them, which keeps the margin below the options frame of the full layout.
inline constexpr int findOnlyClientHeight = 2500 - 440;
} // namespace findlayout

} // namespace lw
