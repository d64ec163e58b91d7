#include "editor/frmTimeDate.h"

#include "editor/DateFormat.h"
#include "editor/RichTextBox.h"
#include "platform/Services.h"
#include "platform/Twips.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace lw {

frmTimeDate::frmTimeDate(QWidget* owner, RichTextBox* editor) : ToolDialog(owner), RTB(editor)
{
    setObjectName(QStringLiteral("frmTimeDate"));
    setWindowTitle(QStringLiteral("  Time and Date"));
    setFixedSize(twips::toPixelsX(2850, this), twips::toPixelsY(5835, this));

    Frame1 = new QGroupBox(QStringLiteral("Formats:"), this);
    nameControl(Frame1, "Frame1");
    twips::place(Frame1, 90, 90, 2655, 3135);
    lstDates = new QListWidget(Frame1);
    nameControl(lstDates, "lstDates", QStringLiteral("Date and time formats"));
    twips::place(lstDates, 120, 330, 2385, 2595);
    lstDates->setSelectionMode(QAbstractItemView::SingleSelection);
    cmdInsert = new QPushButton(QStringLiteral("&Insert"), this);
    nameControl(cmdInsert, "cmdInsert");
    twips::place(cmdInsert, 150, 3360, 1215, 315);
    cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    nameControl(cmdClose, "cmdClose");
    twips::place(cmdClose, 1470, 3360, 1215, 315);

    Frame2 = new QGroupBox(QStringLiteral("Custom"), this);
    nameControl(Frame2, "Frame2");
    twips::place(Frame2, 90, 3780, 2655, 1965);
    lblSample = new QLabel(Frame2);
    nameControl(lblSample, "lblSample", QStringLiteral("Custom format preview"));
    lblSample->setTextFormat(Qt::PlainText);
    twips::place(lblSample, 90, 330, 2415, 315);
    Label1 = new QLabel(QStringLiteral("Enter custom format:"), Frame2);
    nameControl(Label1, "Label1");
    twips::place(Label1, 90, 750, 2415, 255);
    txtCustom = new QLineEdit(Frame2);
    nameControl(txtCustom, "txtCustom", QStringLiteral("Custom format"));
    twips::place(txtCustom, 90, 1050, 2415, 285);
    Label1->setBuddy(txtCustom);
    cmdInsCusFor = new QPushButton(QStringLiteral("Insert Custom Format"), Frame2);
    nameControl(cmdInsCusFor, "cmdInsCusFor");
    twips::place(cmdInsCusFor, 90, 1470, 2415, 315);

    setTabOrder(cmdInsert, cmdClose);
    setTabOrder(cmdClose, cmdInsCusFor);
    setTabOrder(cmdInsCusFor, txtCustom);
    setTabOrder(txtCustom, lstDates);
    cmdInsert->setFocus();

    connect(lstDates, &QListWidget::itemDoubleClicked, this, &frmTimeDate::lstDates_DblClick);
    connect(cmdInsert, &QPushButton::clicked, this, &frmTimeDate::cmdInsert_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmTimeDate::cmdClose_Click);
    connect(cmdInsCusFor, &QPushButton::clicked, this, &frmTimeDate::cmdInsCusFor_Click);
    connect(txtCustom, &QLineEdit::textChanged, this, &frmTimeDate::txtCustom_Input);
    txtCustom->installEventFilter(this);

    // QLocale() is the system's locale.
    lstDates->addItems(timeDateRows([] { return services().clock->now(); }, QLocale()));
}

void frmTimeDate::lstDates_DblClick(QListWidgetItem* item)
{
    if (RTB && item)
        RTB->setSelText(item->text());
}

void frmTimeDate::cmdInsert_Click()
{
    const QListWidgetItem* item = chosenItem(lstDates);
    if (!RTB || !item)
        return;
    RTB->setSelText(item->text());
    close();
}

void frmTimeDate::cmdInsCusFor_Click()
{
    if (RTB)
        RTB->setSelText(lblSample->text());
    close();
}

void frmTimeDate::cmdClose_Click()
{
    close();
}

void frmTimeDate::txtCustom_Input()
{
    lblSample->setText(formatDateTime(services().clock->now(), txtCustom->text(), QLocale()));
}

bool frmTimeDate::eventFilter(QObject* watched, QEvent* event)
{
    // A key or a click in the box shows the moment anew, also when the format stays the same.
    if (watched == txtCustom &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress))
        txtCustom_Input();
    return ToolDialog::eventFilter(watched, event);
}

} // namespace lw
