#include "editor/DateTimeDialog.h"

#include "editor/DateFormat.h"
#include "editor/LetterEditor.h"
#include "platform/ContentFit.h"
#include "platform/Services.h"
#include "platform/Twips.h"

#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace lw {

DateTimeDialog::DateTimeDialog(QWidget* owner, LetterEditor* editor)
    : ToolDialog(owner), RTB(editor)
{
    setObjectName(QStringLiteral("DateTimeDialog"));
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

    // Insert has the focus first; Tab goes on as the window reads: Close, the custom format and
    // its button, the list. Enter in the list presses Insert, in the custom box its own button.
    setTabOrder(cmdInsert, cmdClose);
    setTabOrder(cmdClose, txtCustom);
    setTabOrder(txtCustom, cmdInsCusFor);
    setTabOrder(cmdInsCusFor, lstDates);
    cmdInsert->setDefault(true);
    cmdInsert->setFocus();

    connect(lstDates, &QListWidget::itemDoubleClicked, this, &DateTimeDialog::lstDates_DblClick);
    connect(cmdInsert, &QPushButton::clicked, this, &DateTimeDialog::cmdInsert_Click);
    connect(cmdClose, &QPushButton::clicked, this, &DateTimeDialog::cmdClose_Click);
    connect(cmdInsCusFor, &QPushButton::clicked, this, &DateTimeDialog::cmdInsCusFor_Click);
    connect(txtCustom, &QLineEdit::textChanged, this, &DateTimeDialog::txtCustom_Input);
    txtCustom->installEventFilter(this);

    // QLocale() is the system's locale.
    lstDates->addItems(timeDateRows([] { return services().clock->now(); }, QLocale()));
    showEveryRow();
    fit::growToContent(this);
}

void DateTimeDialog::showEveryRow()
{
    // The list grows until every row shows without scrolling, whatever the font; what stands
    // below it moves down by as much. It is as wide as its widest row, which the window makes
    // room for.
    const int frame = 2 * lstDates->frameWidth();
    fit::setNeededSize(lstDates, {frame + lstDates->sizeHintForColumn(0), 0});
    int needed = frame;
    for (int row = 0; row < lstDates->count(); ++row)
        needed += lstDates->sizeHintForRow(row);
    const int extra = needed - lstDates->height();
    if (extra <= 0)
        return;
    lstDates->resize(lstDates->width(), needed);
    Frame1->resize(Frame1->width(), Frame1->height() + extra);
    for (QWidget* below : {static_cast<QWidget*>(cmdInsert), static_cast<QWidget*>(cmdClose),
                           static_cast<QWidget*>(Frame2)})
        below->move(below->x(), below->y() + extra);
    setFixedSize(width(), height() + extra);
}

void DateTimeDialog::lstDates_DblClick(QListWidgetItem* item)
{
    if (RTB && item)
        RTB->setSelText(item->text());
}

void DateTimeDialog::cmdInsert_Click()
{
    // Without a chosen row, the top one: Insert always inserts a date.
    const QListWidgetItem* item = chosenItem(lstDates);
    if (!item)
        item = lstDates->item(0);
    if (!RTB || !item)
        return;
    RTB->setSelText(item->text());
    close();
}

void DateTimeDialog::cmdInsCusFor_Click()
{
    // Before any preview there is none to insert: make it now.
    if (lblSample->text().isEmpty())
        txtCustom_Input();
    // An empty text would only remove the selection.
    if (RTB && !lblSample->text().isEmpty())
        RTB->setSelText(lblSample->text());
    close();
}

void DateTimeDialog::cmdClose_Click()
{
    close();
}

void DateTimeDialog::txtCustom_Input()
{
    // An empty format gives the date and time of the list's row that has both.
    const QString format =
        txtCustom->text().isEmpty() ? timeDateRowFormats().at(dateAndTimeRow) : txtCustom->text();
    lblSample->setText(formatDateTime(services().clock->now(), format, QLocale()));
}

bool DateTimeDialog::eventFilter(QObject* watched, QEvent* event)
{
    // A key or a click in the box shows the moment anew, also when the format stays the same.
    if (watched == txtCustom &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress))
        txtCustom_Input();
    if (watched == txtCustom && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            cmdInsCusFor->click();
            return true;
        }
    }
    return ToolDialog::eventFilter(watched, event);
}

} // namespace lw
