#include "editor/GoToDialog.h"

#include "editor/GoToLine.h"
#include "editor/LetterEditor.h"
#include "platform/ContentFit.h"
#include "platform/Services.h"
#include "platform/Twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace lw {

GoToDialog::GoToDialog(QWidget* owner, LetterEditor* editor) : ToolDialog(owner), RTB(editor)
{
    setObjectName(QStringLiteral("GoToDialog"));
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

    connect(txtGo, &QLineEdit::textChanged, this, &GoToDialog::GoButtonRule);
    const auto onChosen = [this](QRadioButton* option, void (GoToDialog::*handler)()) {
        connect(option, &QRadioButton::toggled, this, [this, handler](bool checked) {
            if (checked)
                (this->*handler)();
        });
    };
    onChosen(GotoLine, &GoToDialog::GotoLine_Click);
    onChosen(GotoStart, &GoToDialog::GotoStart_Click);
    onChosen(GoToEnd, &GoToDialog::GoToEnd_Click);
    connect(cmdGo, &QPushButton::clicked, this, &GoToDialog::cmdGo_Click);
    connect(cmdClose, &QPushButton::clicked, this, &GoToDialog::cmdClose_Click);

    GotoLine->setChecked(true);
    fit::growToContent(this);
}

void GoToDialog::GoButtonRule()
{
    cmdGo->setEnabled(!txtGo->text().isEmpty() || !txtGo->isEnabled());
}

void GoToDialog::GotoLine_Click()
{
    txtGo->setEnabled(true);
    GoButtonRule();
}

void GoToDialog::GotoStart_Click()
{
    txtGo->setEnabled(false);
    GoButtonRule();
}

void GoToDialog::GoToEnd_Click()
{
    txtGo->setEnabled(false);
    GoButtonRule();
}

void GoToDialog::cmdGo_Click()
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

void GoToDialog::cmdClose_Click()
{
    close();
}

} // namespace lw
