#include "library/LibraryBrowser.h"

#include "app/modMain.h"
#include "editor/RichTextBox.h"
#include "library/LetterStatements.h"
#include "mainwindow/frmMail.h"
#include "platform/Services.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

namespace lw {

namespace {

void fillList(QListWidget* list, const RowSet& rows)
{
    QStringList titles;
    titles.reserve(rows.size());
    for (const Row& row : rows)
        titles.append(row.value(0).toString());
    list->addItems(titles);
}

} // namespace

LibraryBrowser::LibraryBrowser(frmMail& window) : w(window), db(&window) {}

QString LibraryBrowser::selectedTitle(int list) const
{
    const QListWidgetItem* item = w.lstBx[list]->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void LibraryBrowser::FillSubjects()
{
    {
        LibraryOperation op(db);
        if (!op)
            return;
        const auto rows = op.run(sql::subjects());
        if (!rows)
            return;
        for (const Row& row : *rows)
            w.Cmb[0]->addItem(row.value(0).toString());
    }
    if (w.Cmb[0]->count() > 0)
        w.Cmb[0]->setCurrentIndex(0);
}

void LibraryBrowser::FillCategories()
{
    const QString subject = w.Cmb[0]->currentText();
    {
        LibraryOperation op(db);
        if (!op)
            return;
        const auto rows = op.run(sql::categories(subject));
        if (!rows)
            return;
        const QSignalBlocker quiet(w.Cmb[1]);
        w.Cmb[1]->clear();
        for (const Row& row : *rows)
            w.Cmb[1]->addItem(row.value(0).toString());
        w.Cmb[1]->setCurrentIndex(-1);
    }
    if (w.Cmb[1]->count() > 0)
        w.Cmb[1]->setCurrentIndex(0);
}

void LibraryBrowser::FillLetters()
{
    const QString subject = w.Cmb[0]->currentText();
    const QString category = w.Cmb[1]->currentText();
    {
        LibraryOperation op(db);
        if (!op)
            return;
        const auto rows = op.run(sql::letterTitles(subject, category));
        if (!rows)
            return;
        const QSignalBlocker quiet(w.lstBx[0]);
        w.lstBx[0]->clear();
        modMain().LetterCount = rows->size();
        fillList(w.lstBx[0], *rows);
    }
    if (w.lstBx[0]->count() > 0)
        w.lstBx[0]->setCurrentRow(0);
    w.lblTxt[3]->setText(QStringLiteral("This category includes ") +
                         QString::number(modMain().LetterCount) + QStringLiteral(" letter(s)."));
}

void LibraryBrowser::ShowLetter(const QString& title)
{
    LibraryOperation op(db);
    if (!op)
        return;
    const auto rows = op.run(sql::letterContent(title));
    if (!rows || rows->isEmpty())
        return;
    w.RTB->setText(rows->first().value(0).toString());
    w.setPanelText(1, QStringLiteral("Current Letter: ") + title);
    w.DocumentModified = false;
}

void LibraryBrowser::SearchLetters()
{
    modMain().SearchText = w.testSearch->text();
    LibraryOperation op(db);
    if (!op)
        return;
    const auto rows = op.run(sql::searchTitles(modMain().SearchText));
    if (!rows)
        return;
    const QSignalBlocker quiet(w.lstBx[0]);
    w.lstBx[0]->clear();
    if (!rows->isEmpty()) {
        fillList(w.lstBx[0], *rows);
        w.lstBx[0]->setCurrentRow(-1);
        w.lblTxt[3]->setText(QString::number(rows->size()) +
                             QStringLiteral(" letters containing the keyword(s) found."));
        return;
    }
    op.close();
    message(&w, QStringLiteral("No letter containing the keyword(s) found!"),
            QStringLiteral("Search failed"));
}

void LibraryBrowser::FillFavorites()
{
    {
        LibraryOperation op(db);
        if (!op)
            return;
        const auto rows = op.run(sql::favoriteTitles());
        if (!rows)
            return;
        const QSignalBlocker quiet(w.lstBx[1]);
        w.lstBx[1]->clear();
        modMain().LetterCount = rows->size();
        fillList(w.lstBx[1], *rows);
    }
    if (w.lstBx[1]->count() > 0)
        w.lstBx[1]->setCurrentRow(0);
    w.Label5->setText(QString::number(modMain().LetterCount) +
                      QStringLiteral(" letter(s) are included in My Favorite list."));
}

void LibraryBrowser::AddFavorite()
{
    const QString title = selectedTitle(0);
    {
        LibraryOperation op(db);
        if (!op)
            return;
        const auto flag = op.run(sql::favoriteFlag(title));
        if (!flag || flag->isEmpty() || flag->first().value(0).toLongLong() != 0)
            return;
        if (!op.run(sql::markFavorite(title)))
            return;
    }
    FillFavorites();
}

void LibraryBrowser::RemoveFavorite()
{
    const QString title = selectedTitle(1);
    {
        LibraryOperation op(db);
        if (!op)
            return;
        const auto flag = op.run(sql::favoriteFlag(title));
        if (!flag || flag->isEmpty() || flag->first().value(0).toLongLong() != 1)
            return;
        if (!op.run(sql::unmarkFavorite(title)))
            return;
    }
    FillFavorites();
}

void LibraryBrowser::ClearFavorites()
{
    if (message(&w,
                QStringLiteral("It will clear My Favorite but won't delete letters from this "
                               "program, proceed?"),
                QStringLiteral("Notice"), MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    {
        LibraryOperation op(db);
        if (!op || !op.run(sql::clearFavorites()))
            return;
    }
    const QSignalBlocker quiet(w.lstBx[1]);
    w.lstBx[1]->clear();
    w.Label5->setText(QStringLiteral("0 letter(s) are included in My Favorite list."));
}

void LibraryBrowser::cmdBtn_Click(int index)
{
    switch (index) {
    case 0:
        w.letterChanges.AddLetter();
        break;
    case 1:
        w.letterChanges.DeleteLetter();
        break;
    case 2:
        FillLetters();
        break;
    case 3:
        SearchLetters();
        break;
    case 4:
        AddFavorite();
        break;
    case 5:
        RemoveFavorite();
        break;
    case 6:
        ClearFavorites();
        break;
    case 7:
        w.letterChanges.MoveLetter();
        break;
    default:
        break;
    }
}

void LibraryBrowser::Cmb_Click(int index)
{
    if (modMain().Loading)
        return;
    if (index == 0)
        FillCategories();
    else
        FillLetters();
}

void LibraryBrowser::lstBx_Click(int index)
{
    if (modMain().Loading)
        return;
    const QString title = selectedTitle(index);
    if (!title.isEmpty())
        ShowLetter(title);
}

} // namespace lw
