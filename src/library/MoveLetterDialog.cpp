#include "library/MoveLetterDialog.h"

#include "library/LetterStatements.h"
#include "library/LibraryConnection.h"
#include "library/modMain.h"
#include "platform/ContentFit.h"
#include "platform/Services.h"
#include "platform/Twips.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace lw {

MoveLetterDialog::MoveLetterDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("MoveLetterDialog"));
    setWindowTitle(QStringLiteral("  Move Letter"));
    setFixedSize(twips::toPixelsX(4845, this), twips::toPixelsY(2835, this));

    Frame1 = new QGroupBox(this);
    twips::place(Frame1, 120, 60, 4635, 1965);

    lblTxt[2] =
        new QLabel(QStringLiteral("Move to the Subject \\ Category selected below:"), Frame1);
    twips::place(lblTxt[2], 270, 300, 4245, 255);
    lblTxt[0] = new QLabel(QStringLiteral("Subject:"), Frame1);
    twips::place(lblTxt[0], 270, 825, 765, 255);
    Cmb[0] = new QComboBox(Frame1);
    twips::place(Cmb[0], 1170, 780, 3015, 300);
    lblTxt[1] = new QLabel(QStringLiteral("Category:"), Frame1);
    twips::place(lblTxt[1], 270, 1350, 840, 255);
    Cmb[1] = new QComboBox(Frame1);
    twips::place(Cmb[1], 1170, 1290, 3015, 300);
    for (int i = 0; i < 2; ++i) {
        lblTxt[i]->setBuddy(Cmb[i]);
        Cmb[i]->setAccessibleName(lblTxt[i]->text());
    }

    cmd[0] = new QPushButton(QStringLiteral("&Yes"), this);
    twips::place(cmd[0], 960, 2220, 1365, 345);
    cmd[1] = new QPushButton(QStringLiteral("&Cancel"), this);
    twips::place(cmd[1], 2520, 2220, 1365, 345);

    connect(Cmb[0], &QComboBox::currentIndexChanged, this, [this](int row) {
        if (row >= 0)
            FillMoveCategories();
    });
    for (int i = 0; i < 2; ++i)
        connect(cmd[i], &QPushButton::clicked, this, [this, i] { cmd_Click(i); });
    // Enter is Yes; Esc is Cancel.
    cmd[0]->setDefault(true);
    fit::growToContent(this);
}

bool MoveLetterDialog::Form_Load()
{
    FillMoveSubjects();
    return !failed;
}

std::optional<RowSet> MoveLetterDialog::runStatement(const QString& statement)
{
    std::optional<RowSet> rows;
    takeUpReplacedDataFile();
    if (MoveConnection.open(modMain().ConnectionString)) {
        rows = MoveConnection.execute(statement);
        MoveConnection.close();
    }
    if (rows)
        return rows;
    failed = true;
    message(this,
            engineFailureText(QStringLiteral("The letter could not be moved"),
                              MoveConnection.lastErrorCode(), MoveConnection.lastError()),
            QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);
    reject();
    return std::nullopt;
}

void MoveLetterDialog::FillMoveSubjects()
{
    const auto rows = runStatement(sql::moveSubjects());
    if (!rows)
        return;
    {
        const QSignalBlocker quiet(Cmb[0]);
        for (const Row& row : *rows)
            Cmb[0]->addItem(row.value(0).toString());
        Cmb[0]->setCurrentIndex(-1);
    }
    if (Cmb[0]->count() > 0)
        Cmb[0]->setCurrentIndex(0);
}

void MoveLetterDialog::FillMoveCategories()
{
    const auto rows = runStatement(sql::moveCategories(Cmb[0]->currentText()));
    if (!rows)
        return;
    Cmb[1]->clear();
    for (const Row& row : *rows)
        Cmb[1]->addItem(row.value(0).toString());
    if (Cmb[1]->count() > 0)
        Cmb[1]->setCurrentIndex(0);
}

void MoveLetterDialog::UpdateLetterPlace()
{
    MoveSqlText =
        sql::moveLetter(Cmb[0]->currentText(), Cmb[1]->currentText(), modMain().MoveTitle);
    runStatement(MoveSqlText);
}

void MoveLetterDialog::cmd_Click(int index)
{
    if (index != 0) {
        reject();
        return;
    }
    const QString subject = Cmb[0]->currentText();
    const QString category = Cmb[1]->currentText();
    // A letter without a category would drop out of every category list.
    if (category.isEmpty()) {
        message(this,
                QStringLiteral("The subject '%1' has no category to move the letter into.  "
                               "Please choose another subject.")
                    .arg(subject),
                QStringLiteral("Notice"), MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    if (message(this,
                QStringLiteral("Move the letter ") + modMain().MoveTitle + QStringLiteral(" to ") +
                    subject + QStringLiteral(" \\ ") + category + u'?',
                QStringLiteral("Notice"), MsgButtons::YesNo) == MsgAnswer::Yes)
        UpdateLetterPlace();
    accept();
}

} // namespace lw
