#include "library/LibraryBrowser.h"

#include "editor/DocumentFiles.h"
#include "editor/LetterEditor.h"
#include "library/LetterChanges.h"
#include "library/LetterStatements.h"
#include "library/LibraryWindow.h"
#include "library/modMain.h"
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

LibraryBrowser::LibraryBrowser(LibraryWindow& window) : w(window), db(window.dialogParent())
{
    db.beforeEnd = [this] { offerToSaveBeforeEnd(); };
}

void LibraryBrowser::offerToSaveBeforeEnd()
{
    // No Cancel: the program ends either way. A save that did not happen is offered again.
    while (w.documentModified() && !services().application->terminated()) {
        if (message(w.dialogParent(),
                    QStringLiteral("Current file has been modified.  Save changes?"),
                    QStringLiteral("Notice"), MsgButtons::YesNo) != MsgAnswer::Yes)
            return;
        if (w.SaveDocument())
            return;
    }
}

QString LibraryBrowser::selectedTitle(int list) const
{
    const QListWidgetItem* item = w.titleList(list)->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void LibraryBrowser::FillSubjects()
{
    {
        LibraryOperation op(db, QStringLiteral("The subjects could not be listed"));
        if (!op)
            return;
        const auto rows = op.run(sql::subjects());
        if (!rows)
            return;
        for (const Row& row : *rows)
            w.subjectBox()->addItem(row.value(0).toString());
    }
    if (w.subjectBox()->count() > 0)
        w.subjectBox()->setCurrentIndex(0);
}

void LibraryBrowser::FillCategories()
{
    const QString subject = w.subjectBox()->currentText();
    {
        LibraryOperation op(db, QStringLiteral("The categories could not be listed"));
        if (!op)
            return;
        const auto rows = op.run(sql::categories(subject));
        if (!rows)
            return;
        const QSignalBlocker quiet(w.categoryBox());
        w.categoryBox()->clear();
        for (const Row& row : *rows)
            w.categoryBox()->addItem(row.value(0).toString());
        w.categoryBox()->setCurrentIndex(-1);
    }
    if (w.categoryBox()->count() > 0)
        w.categoryBox()->setCurrentIndex(0);
}

void LibraryBrowser::FillLetters()
{
    const QString subject = w.subjectBox()->currentText();
    const QString category = w.categoryBox()->currentText();
    {
        LibraryOperation op(db, QStringLiteral("The letters could not be listed"));
        if (!op)
            return;
        const auto rows = op.run(sql::letterTitles(subject, category));
        if (!rows)
            return;
        const QSignalBlocker quiet(w.titleList(0));
        w.titleList(0)->clear();
        modMain().LetterCount = rows->size();
        fillList(w.titleList(0), *rows);
        searchShown = false;
    }
    if (w.titleList(0)->count() > 0)
        w.titleList(0)->setCurrentRow(0);
    w.letterCountLine()->setText(QStringLiteral("This category includes ") +
                                 QString::number(modMain().LetterCount) +
                                 QStringLiteral(" letter(s)."));
}

bool LibraryBrowser::ShowLetter(const QString& title)
{
    QString content;
    {
        LibraryOperation op(db, QStringLiteral("The letter could not be shown"));
        if (!op)
            return false;
        const auto rows = op.run(sql::letterContent(title));
        if (!rows || rows->isEmpty())
            return false;
        content = rows->first().value(0).toString();
    }
    // Asked with the library closed: Yes may save, and Save looks the letter's file up.
    if (!DocumentFiles(w).askToSave(DocumentFiles::replaceQuestion()))
        return false;
    watchEditor();
    w.editor().setText(content);
    w.documentFormat() = TextFileFormat();
    letterOnDisplay = title;
    w.showLetterTitle(QStringLiteral("Current Letter: ") + title);
    w.documentModified() = false;
    return true;
}

void LibraryBrowser::forgetLetterOnDisplay()
{
    // The status bar names no letter the editor no longer shows.
    if (!letterOnDisplay.isEmpty())
        w.showLetterTitle(QString());
    letterOnDisplay.clear();
}

void LibraryBrowser::watchEditor()
{
    if (!replacedWatch) {
        // A long file is read into a document of its own, which takes the editor's place.
        replacedWatch = connect(&w.editor(), &LetterEditor::documentReplaced, this,
                                [this] { forgetLetterOnDisplay(); });
    }
    QTextDocument* document = w.editor().document();
    if (watched == document)
        return;
    watched = document;
    connect(document, &QTextDocument::contentsChange, this,
            [this, document](int from, int removed, int added) {
                // All that stood there went, and not by an edit the user can undo: the program
                // put another content in its place (Open, or a letter).
                const int before = document->characterCount() - added + removed;
                if (from == 0 && removed >= before - 1 && !document->isUndoAvailable())
                    forgetLetterOnDisplay();
            });
}

void LibraryBrowser::SearchLetters()
{
    modMain().SearchText = w.searchBox()->text();
    LibraryOperation op(db, QStringLiteral("The search could not be made"));
    if (!op)
        return;
    const auto rows = op.run(sql::searchTitles(modMain().SearchText));
    if (!rows)
        return;
    const QSignalBlocker quiet(w.titleList(0));
    w.titleList(0)->clear();
    searchShown = true;
    if (!rows->isEmpty()) {
        fillList(w.titleList(0), *rows);
        w.titleList(0)->setCurrentRow(-1);
        w.letterCountLine()->setText(QString::number(rows->size()) +
                                     QStringLiteral(" letters containing the keyword(s) found."));
        return;
    }
    op.close();
    message(w.dialogParent(), QStringLiteral("No letter containing the keyword(s) found!"),
            QStringLiteral("Search failed"));
}

void LibraryBrowser::FillFavorites()
{
    {
        LibraryOperation op(db, QStringLiteral("My Favorite could not be listed"));
        if (!op)
            return;
        const auto rows = op.run(sql::favoriteTitles());
        if (!rows)
            return;
        const QSignalBlocker quiet(w.titleList(1));
        w.titleList(1)->clear();
        modMain().LetterCount = rows->size();
        fillList(w.titleList(1), *rows);
    }
    if (w.titleList(1)->count() > 0)
        w.titleList(1)->setCurrentRow(0);
    w.favoriteCountLine()->setText(QString::number(modMain().LetterCount) +
                                   QStringLiteral(" letter(s) are included in My Favorite list."));
}

void LibraryBrowser::AddFavorite()
{
    const QString title = selectedTitle(0);
    {
        LibraryOperation op(db, QStringLiteral("The letter could not be added to My Favorite"));
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
        LibraryOperation op(db, QStringLiteral("The letter could not be removed from My Favorite"));
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
    if (message(w.dialogParent(),
                QStringLiteral("It will clear My Favorite but won't delete letters from this "
                               "program, proceed?"),
                QStringLiteral("Notice"), MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    {
        LibraryOperation op(db, QStringLiteral("My Favorite could not be cleared"));
        if (!op || !op.run(sql::clearFavorites()))
            return;
    }
    const QSignalBlocker quiet(w.titleList(1));
    w.titleList(1)->clear();
    w.favoriteCountLine()->setText(QStringLiteral("0 letter(s) are included in My Favorite list."));
}

void LibraryBrowser::cmdBtn_Click(int index)
{
    switch (index) {
    case 0:
        w.changes().AddLetter();
        break;
    case 1:
        w.changes().DeleteLetter();
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
        w.changes().MoveLetter();
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
    if (title.isEmpty() || ShowLetter(title))
        return;
    // The document stays: the list marks the letter the editor shows, or none, so that Save,
    // Delete and Move never take the chosen entry for it.
    QListWidget* list = w.titleList(index);
    const QSignalBlocker quiet(list);
    const auto shown = letterOnDisplay.isEmpty()
                           ? QList<QListWidgetItem*>()
                           : list->findItems(letterOnDisplay, Qt::MatchExactly);
    if (shown.isEmpty()) {
        list->setCurrentRow(-1);
        list->clearSelection();
    } else {
        list->setCurrentItem(shown.first());
    }
}

void LibraryBrowser::Cmb_Rechosen(int index)
{
    // A choice that changed the entry has run the fill already.
    if (searchShown)
        Cmb_Click(index);
}

void LibraryBrowser::lstBx_Rechosen(int index)
{
    const QString title = selectedTitle(index);
    if (!title.isEmpty() && title != letterOnDisplay)
        lstBx_Click(index);
}

} // namespace lw
