#include "library/AddLetterDialog.h"

#include "library/modMain.h"
#include "platform/ContentFit.h"
#include "platform/Services.h"
#include "platform/Twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace lw {

AddLetterDialog::AddLetterDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AddLetterDialog"));
    setWindowTitle(QStringLiteral("  Add A New Letter"));
    setFixedSize(twips::toPixelsX(11580, this), twips::toPixelsY(7380, this));

    Frame1 = new QGroupBox(this);
    twips::place(Frame1, 120, 60, 11355, 6525);

    Label1[0] = new QLabel(QStringLiteral("Title:"), Frame1);
    twips::place(Label1[0], 210, 240, 585, 255);
    T1[0] = new QLineEdit(Frame1);
    T1[0]->setAccessibleName(QStringLiteral("Title:"));
    Label1[0]->setBuddy(T1[0]);
    twips::place(T1[0], 810, 180, 10305, 315);

    Label3 = new QLabel(QStringLiteral("* Letter title is the full length name of a letter that "
                                       "will be shown in the letter list.  "),
                        Frame1);
    Label3->setWordWrap(true);
    twips::place(Label3, 270, 660, 10545, 435);

    Label1[1] = new QLabel(QStringLiteral("Body Text:"), Frame1);
    twips::place(Label1[1], 210, 1110, 2505, 255);
    Text1 = new QPlainTextEdit(Frame1);
    Text1->setAccessibleName(QStringLiteral("Body Text:"));
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab moves on to the buttons, as in any other box of a form.
    Text1->setTabChangesFocus(true);
    Label1[1]->setBuddy(Text1);
    twips::place(Text1, 240, 1500, 10875, 4755);

    cmdYes = new QPushButton(QStringLiteral("&Yes"), this);
    twips::place(cmdYes, 4320, 6810, 1365, 345);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    twips::place(cmdCancel, 5910, 6810, 1365, 345);

    // Enter in the title box is Yes; Esc is Cancel.
    cmdYes->setDefault(true);
    connect(cmdYes, &QPushButton::clicked, this, &AddLetterDialog::cmdYes_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    fit::growToContent(this);
}

void AddLetterDialog::showTyped(const QString& title, const QString& body)
{
    T1[0]->setText(title);
    Text1->setPlainText(body);
}

void AddLetterDialog::cmdYes_Click()
{
    ModMain& state = modMain();
    state.NewTitle = T1[0]->text();
    state.NewBody = Text1->toPlainText();
    if (!state.NewTitle.isEmpty() && !state.NewBody.isEmpty()) {
        accept();
        return;
    }
    message(this, QStringLiteral("Please enter letter title and body."), QStringLiteral("Notice"),
            MsgButtons::Ok, MsgIcon::Exclamation);
}

} // namespace lw
