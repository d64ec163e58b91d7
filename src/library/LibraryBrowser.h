#pragma once

#include "library/LibraryConnection.h"

#include <QObject>

namespace lw {

class LibraryWindow;

// The way into the library from the main window's left side: the subject, category and letter
// lists, the letter display, the keyword search and the favourites.
class LibraryBrowser : public QObject
{
    Q_OBJECT
public:
    explicit LibraryBrowser(LibraryWindow& window);

    void FillSubjects();
    void FillCategories();
    void FillLetters();
    // Puts the letter in the editor, after the save question when the document was modified.
    // False when it was not shown.
    bool ShowLetter(const QString& title);
    void SearchLetters();
    void FillFavorites();
    void AddFavorite();
    void RemoveFavorite();
    void ClearFavorites();

    // The eight library buttons, by index.
    void cmdBtn_Click(int index);
    // The selection handlers; they do nothing while the start-up fill runs.
    void Cmb_Click(int index);
    void lstBx_Click(int index);

    // The text of a list's selected entry, empty when nothing is selected.
    QString selectedTitle(int list) const;

    LibraryConnection& connection() { return db; }

private:
    // The data file has gone: the program ends, but the document may be saved first.
    void offerToSaveBeforeEnd();

    LibraryWindow& w;
    LibraryConnection db;
    // The letter the editor shows, empty before the first.
    QString shownTitle;
};

} // namespace lw
