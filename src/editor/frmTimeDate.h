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

class RichTextBox;

// Inserts the date or time into the editor in a listed or a custom format; modeless.
class frmTimeDate : public ToolDialog
{
    Q_OBJECT
public:
    // The dialog load: the thirteen rows, each formatted from its own reading of the clock, none
    // chosen. The caller shows it.
    frmTimeDate(QWidget* owner, RichTextBox* editor);

    // Inserts the row; the dialog stays open.
    void lstDates_DblClick(QListWidgetItem* item);
    // Inserts the chosen row and closes; without a chosen row nothing happens.
    void cmdInsert_Click();
    // Inserts the preview as it stands (empty before any preview) and closes.
    void cmdInsCusFor_Click();
    void cmdClose_Click();
    // Formats the current moment with the custom format into the preview.
    void txtCustom_Input();

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
    QPointer<RichTextBox> RTB;
};

} // namespace lw
