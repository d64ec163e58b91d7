#include "editor/frmGoTo.h"

#include "editor/GoToLine.h"
#include "editor/RichTextBox.h"
#include "platform/ContentFit.h"
#include "platform/Services.h"
#include "platform/Twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace lw {

frmGoTo::frmGoTo(QWidget* owner, RichTextBox* editor) : ToolDialog(owner), RTB(editor)
{
    setObjectName(QStringLiteral("frmGoTo"));
    setWindowTitle(QStringLiteral("  Go To..."));
    setFixedSize(twips::toPixelsX(4500, this), twips::toPixelsY(1695, this));

    Frame1 = new QGroupBox(QStringLiteral("Go to what:"), this);
    nameControl(Frame1, "Frame1");
    twips::place(Frame1, 120, 150, 1575, 1455);
    GotoLine = new QRadioButton(QStringLiteral("&Line"), Frame1);
    nameControl(GotoLine, "GotoLine");
    twips::place(GotoLine, 210, 330, 780, 252);
    GotoStart = new QRadioButton(QStringLiteral("&Start"), Frame1);
    nameControl(GotoStart, "GotoStart");
    twips::place(GotoStart, 210, 690, 840, 252);
    GoToEnd = new QRadioButton(QStringLiteral("End"), Frame1);
    nameControl(GoToEnd, "GoToEnd");
    twips::place(GoToEnd, 210, 1050, 765, 255);

    txtGo = new QLineEdit(this);
    nameControl(txtGo, "txtGo", QStringLiteral("Line number"));
    twips::place(txtGo, 1860, 120, 2415, 345);
    Label1 = new QLabel(QStringLiteral("Enter line number you want to go to"), this);
    nameControl(Label1, "Label1");
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    twips::place(Label1, 1890, 570, 2445, 465);
    cmdGo = new QPushButton(QStringLiteral("&GO"), this);
    nameControl(cmdGo, "cmdGo");
    twips::place(cmdGo, 1890, 1170, 1095, 345);
    cmdGo->setDefault(true);
    cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    nameControl(cmdClose, "cmdClose");
    twips::place(cmdClose, 3210, 1170, 1095, 345);

    // The options are one stop of the Tab key; the arrow keys choose among them.
    setTabOrder(txtGo, cmdGo);
    setTabOrder(cmdGo, cmdClose);
    setTabOrder(cmdClose, GotoLine);
    setTabOrder(GotoLine, GotoStart);
    setTabOrder(GotoStart, GoToEnd);
    txtGo->setFocus();

    connect(txtGo, &QLineEdit::textChanged, this, &frmGoTo::GoButtonRule);
    const auto onChosen = [this](QRadioButton* option, void (frmGoTo::*handler)()) {
        connect(option, &QRadioButton::toggled, this, [this, handler](bool checked) {
            if (checked)
                (this->*handler)();
        });
    };
    onChosen(GotoLine, &frmGoTo::GotoLine_Click);
    onChosen(GotoStart, &frmGoTo::GotoStart_Click);
    onChosen(GoToEnd, &frmGoTo::GoToEnd_Click);
    connect(cmdGo, &QPushButton::clicked, this, &frmGoTo::cmdGo_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmGoTo::cmdClose_Click);

    GotoLine->setChecked(true);
    fit::growToContent(this);
}

void frmGoTo::GoButtonRule()
{
    cmdGo->setEnabled(!txtGo->text().isEmpty() || !txtGo->isEnabled());
}

void frmGoTo::GotoLine_Click()
{
    txtGo->setEnabled(true);
    GoButtonRule();
}

void frmGoTo::GotoStart_Click()
{
    txtGo->setEnabled(false);
    GoButtonRule();
}

void frmGoTo::GoToEnd_Click()
{
    txtGo->setEnabled(false);
    GoButtonRule();
}

void frmGoTo::cmdGo_Click()
{
    if (!RTB)
        return;
    const GoToWhat what = GotoLine->isChecked()    ? GoToWhat::Line
                          : GotoStart->isChecked() ? GoToWhat::Start
                                                   : GoToWhat::End;
    switch (goTo(*RTB, what, txtGo->text())) {
    case GoToResult::Moved:
        focusEditor(RTB);
        close();
        break;
    case GoToResult::NotANumber:
        message(this, QStringLiteral("You can only type numbers!!!"), QStringLiteral("Go To"));
        break;
    case GoToResult::InvalidLine:
        message(this, QStringLiteral("Invalid line number!"), QStringLiteral("Go To"));
        break;
    case GoToResult::OutOfRange:
        break;
    }
}

void frmGoTo::cmdClose_Click()
{
    close();
}

} // namespace lw
