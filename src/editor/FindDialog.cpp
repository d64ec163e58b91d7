#include "editor/FindDialog.h"

#include "editor/FindReplace.h"
#include "editor/LetterEditor.h"
#include "platform/ContentFit.h"
#include "platform/Services.h"
#include "platform/Twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <array>

namespace lw {

namespace {

const QString findCaption = QStringLiteral("&Find");
const QString findNextCaption = QStringLiteral("&Find Next");
const QString notFound = QStringLiteral("Text not found! ");

QComboBox* searchCombo(QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    // The list holds what the load put there and nothing else: no history, no completion.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    return combo;
}

} // namespace

FindDialog::FindDialog(QWidget* owner, LetterEditor* editor, bool findOnly)
    : ToolDialog(owner), RTB(editor)
{
    setObjectName(QStringLiteral("FindDialog"));
    setWindowTitle(QStringLiteral("  Find"));

    // The two labels' mnemonics stay clear of the Find and Replace buttons'.
    lblFind = new QLabel(QStringLiteral("Fi&nd What:"), this);
    nameControl(lblFind, "lblFind");
    cboFind = searchCombo(this);
    nameControl(cboFind, "cboFind", QStringLiteral("Find what"));
    lblFind->setBuddy(cboFind);
    lblReplace = new QLabel(QStringLiteral("Re&place With:"), this);
    nameControl(lblReplace, "lblReplace");
    cboReplace = searchCombo(this);
    nameControl(cboReplace, "cboReplace", QStringLiteral("Replace with"));
    lblReplace->setBuddy(cboReplace);

    F1 = new QGroupBox(QStringLiteral("Search Options"), this);
    nameControl(F1, "F1");
    chkWholeWord = new QCheckBox(QStringLiteral("Find Whole Word &Only"), F1);
    nameControl(chkWholeWord, "chkWholeWord");
    chkMatchCase = new QCheckBox(QStringLiteral("Match Ca&se"), F1);
    nameControl(chkMatchCase, "chkMatchCase");
    chkNoHighlight = new QCheckBox(QStringLiteral("No &Highlight"), F1);
    nameControl(chkNoHighlight, "chkNoHighlight");

    cmdFind = new QPushButton(findCaption, this);
    nameControl(cmdFind, "cmdFind");
    cmdFind->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    nameControl(cmdCancel, "cmdCancel");
    cmdReplace = new QPushButton(QStringLiteral("&Replace"), this);
    nameControl(cmdReplace, "cmdReplace");
    cmdReplaceAll = new QPushButton(QStringLiteral("Replace &All"), this);
    nameControl(cmdReplaceAll, "cmdReplaceAll");

    // The Find button has the focus first; from there the keyboard goes down the buttons, then
    // through the boxes and the options, as they are read.
    setTabOrder(cmdFind, cmdCancel);
    setTabOrder(cmdCancel, cmdReplace);
    setTabOrder(cmdReplace, cmdReplaceAll);
    setTabOrder(cmdReplaceAll, cboFind);
    setTabOrder(cboFind, cboReplace);
    setTabOrder(cboReplace, chkWholeWord);
    setTabOrder(chkWholeWord, chkMatchCase);
    setTabOrder(chkMatchCase, chkNoHighlight);
    cmdFind->setFocus();

    connect(cmdFind, &QPushButton::clicked, this, &FindDialog::cmdFind_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &FindDialog::cmdCancel_Click);
    connect(cmdReplace, &QPushButton::clicked, this, &FindDialog::cmdReplace_Click);
    connect(cmdReplaceAll, &QPushButton::clicked, this, &FindDialog::cmdReplaceAll_Click);

    applyLayout(findOnly);
    const QString selected = RTB ? RTB->SelText() : QString();
    cboFind->addItem(selected);
    cboFind->setEditText(selected);
}

int FindDialog::optionsValue() const
{
    return FindReplace::optionsValue(chkWholeWord->isChecked(), chkMatchCase->isChecked(),
                                     chkNoHighlight->isChecked());
}

void FindDialog::showReplaceLayout()
{
    applyLayout(false);
}

bool FindDialog::isFindOnlyLayout() const
{
    return cboReplace->isHidden();
}

void FindDialog::applyLayout(bool findOnly)
{
    const std::array<QWidget*, 4> replaceRow{lblReplace, cboReplace, cmdReplace, cmdReplaceAll};
    for (QWidget* widget : replaceRow)
        widget->setHidden(findOnly);
    using namespace findlayout;
    // Every control goes back to its designed place, then the layout makes room for the text.
    const struct
    {
        QWidget* control;
        QRect twips;
    } places[] = {
        {lblFind, {210, 180, 1155, 255}},
        {cboFind, {1500, 120, 2445, 330}},
        {lblReplace, {210, 570, 1245, 255}},
        {cboReplace, {1500, 510, 2445, 330}},
        {F1, {180, findOnly ? findOnlyFrameTop : frameTop, 3795, 1335}},
        {chkWholeWord, {180, 330, 2805, 240}},
        {chkMatchCase, {180, 630, 1965, 240}},
        {chkNoHighlight, {180, 930, 1965, 240}},
        {cmdFind, {4170, 135, 1260, 330}},
        {cmdCancel, {4170, 540, 1260, 330}},
        {cmdReplace, {4170, 1020, 1260, 330}},
        {cmdReplaceAll, {4170, 1440, 1260, 330}},
    };
    for (const auto& place : places)
        twips::place(place.control, place.twips.x(), place.twips.y(), place.twips.width(),
                     place.twips.height());
    setFixedSize(twips::toPixelsX(clientWidth, this),
                 twips::toPixelsY(findOnly ? findOnlyClientHeight : clientHeight, this));
    fit::growToContent(this);
}

void FindDialog::cmdFind_Click()
{
    if (!RTB)
        return;
    const int options = optionsValue();
    FindReplace search(*RTB);
    const QString text = cboFind->currentText();
    const int found = cmdFind->text() == findCaption ? search.findFrom(text, 0, options)
                                                     : search.findAfterSelection(text, options);
    if (found >= 0) {
        focusEditor(RTB);
        cmdFind->setText(findNextCaption);
        emit findNextEnabledChanged(true);
        return;
    }
    message(this, notFound, QStringLiteral("Find"));
    cmdFind->setText(findCaption);
    emit findNextEnabledChanged(false);
}

void FindDialog::cmdReplace_Click()
{
    if (!RTB)
        return;
    const int options = optionsValue();
    const FindReplace::Replaced result =
        FindReplace(*RTB).replaceFirst(cboFind->currentText(), cboReplace->currentText(), options);
    if (result.next >= 0) {
        focusEditor(RTB);
        return;
    }
    message(this, notFound, QStringLiteral("Replace"));
    cmdFind->setText(findCaption);
}

void FindDialog::cmdReplaceAll_Click()
{
    if (!RTB)
        return;
    const int options = optionsValue();
    const int count =
        FindReplace(*RTB).replaceAll(cboFind->currentText(), cboReplace->currentText(), options);
    if (count > 0)
        message(this,
                QStringLiteral("The specified region has been searched. \r\n") +
                    QString::number(count) + QStringLiteral(" replacements have been made."),
                QStringLiteral("ReplaceAll"));
    cmdFind->setText(findCaption);
}

void FindDialog::cmdCancel_Click()
{
    close();
}

} // namespace lw
