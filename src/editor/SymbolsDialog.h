#pragma once

#include "editor/ToolDialog.h"

#include <QPointer>

class QGroupBox;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace lw {

class LetterEditor;

// Inserts characters of the 8-bit code page into the editor, one after the other; modeless.
class SymbolsDialog : public ToolDialog
{
    Q_OBJECT
public:
    // The dialog load: the 255 rows in the face of the editor's base font. The caller shows it.
    SymbolsDialog(QWidget* owner, LetterEditor* editor);

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

    QPointer<LetterEditor> RTB;
};

} // namespace lw
