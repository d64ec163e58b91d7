#pragma once

#include "editor/ToolDialog.h"

#include <QPointer>

class QGroupBox;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace lw {

class RichTextBox;

// Inserts characters of the 8-bit code page into the editor, one after the other; modeless.
class frmSymbols : public ToolDialog
{
    Q_OBJECT
public:
    // The dialog load: the 255 rows in the face of the editor's base font. The caller shows it.
    frmSymbols(QWidget* owner, RichTextBox* editor);

    // Both insert the row's symbol and keep the dialog open; without a chosen row nothing happens.
    void lstSymbols_DblClick(QListWidgetItem* item);
    void cmdInsert_Click();
    void cmdClose_Click();

    QGroupBox* Frame1 = nullptr;
    QListWidget* lstSymbols = nullptr;
    QPushButton* cmdInsert = nullptr;
    QPushButton* cmdClose = nullptr;

private:
    void insertRow(const QListWidgetItem* item);

    QPointer<RichTextBox> RTB;
};

} // namespace lw
