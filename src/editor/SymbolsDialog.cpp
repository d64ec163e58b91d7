#include "editor/SymbolsDialog.h"

#include "editor/LetterEditor.h"
#include "editor/SymbolRows.h"
#include "platform/ContentFit.h"
#include "platform/Twips.h"

#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>

namespace lw {

SymbolsDialog::SymbolsDialog(QWidget* owner, LetterEditor* editor) : ToolDialog(owner), RTB(editor)
{
    setObjectName(QStringLiteral("SymbolsDialog"));
    setWindowTitle(QStringLiteral("  Symbols"));
    setFixedSize(twips::toPixelsX(3150, this), twips::toPixelsY(3735, this));

    Frame1 = new QGroupBox(QStringLiteral("Symbols"), this);
    nameControl(Frame1, "Frame1");
    twips::place(Frame1, 120, 90, 2895, 2985);
    lstSymbols = new QListWidget(Frame1);
    nameControl(lstSymbols, "lstSymbols", QStringLiteral("Symbols"));
    twips::place(lstSymbols, 120, 360, 2625, 2400);
    lstSymbols->setSelectionMode(QAbstractItemView::SingleSelection);
    cmdInsert = new QPushButton(QStringLiteral("&Insert"), this);
    nameControl(cmdInsert, "cmdInsert");
    twips::place(cmdInsert, 210, 3180, 1215, 375);
    cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    nameControl(cmdClose, "cmdClose");
    twips::place(cmdClose, 1620, 3180, 1215, 375);

    // Close has the focus first; Tab goes on to the list, then to Insert, which Enter in the list
    // presses too.
    setTabOrder(cmdClose, lstSymbols);
    setTabOrder(lstSymbols, cmdInsert);
    cmdInsert->setDefault(true);
    cmdClose->setFocus();

    connect(lstSymbols, &QListWidget::itemDoubleClicked, this, &SymbolsDialog::lstSymbols_DblClick);
    connect(cmdInsert, &QPushButton::clicked, this, &SymbolsDialog::cmdInsert_Click);
    connect(cmdClose, &QPushButton::clicked, this, &SymbolsDialog::cmdClose_Click);

    // The characters look as they will in the editor's base font.
    if (RTB) {
        QFont face = lstSymbols->font();
        face.setFamily(RTB->Font().family());
        lstSymbols->setFont(face);
    }
    lstSymbols->addItems(symbolRows());
    fit::growToContent(this);
}

void SymbolsDialog::lstSymbols_DblClick(QListWidgetItem* item)
{
    insertRow(item);
}

void SymbolsDialog::cmdInsert_Click()
{
    insertRow(chosenItem(lstSymbols));
}

void SymbolsDialog::cmdClose_Click()
{
    close();
}

void SymbolsDialog::insertRow(const QListWidgetItem* item)
{
    if (RTB && item)
        RTB->setSelText(symbolOfRow(item->text()));
}

} // namespace lw
