#pragma once

#include "editor/ToolDialog.h"

#include <QPointer>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace lw {

class LetterEditor;

// Inserts the date or time into the editor in a listed or a custom format; modeless.
class DateTimeDialog : public ToolDialog
{
    Q_OBJECT
public:
    // The dialog load: the thirteen rows, each formatted from its own reading of the clock, none
    // chosen. The caller shows it.
    DateTimeDialog(QWidget* owner, LetterEditor* editor);

    // Inserts the row; the dialog stays open.
    void lstDates_DblClick(QListWidgetItem* item);
    // Inserts the chosen row, or the top row when none is chosen, and closes.
    void cmdInsert_Click();
    // Inserts the preview as it stands, made now when there is none yet, and closes. An empty
    // preview inserts nothing and leaves the selection.
    void cmdInsCusFor_Click();
    void cmdClose_Click();
    // Formats the current moment with the custom format into the preview; an empty format gives
    // the date and time as the list's row 8 shows them.
    void txtCustom_Input();

    // The row with the date and the time to the second.
    static constexpr int dateAndTimeRow = 8;

    QGroupBox* Frame1 = nullptr;
    QListWidget* lstDates = nullptr;
    QPushButton* cmdInsert = nullptr;
    QPushButton* cmdClose = nullptr;
    QGroupBox* Frame2 = nullptr;
    QLabel* lblSample = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtCustom = nullptr;
    QPushButton* cmdInsCusFor = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showEveryRow();

    QPointer<LetterEditor> RTB;
};

} // namespace lw
