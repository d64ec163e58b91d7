#pragma once

#include "editor/DocumentWindow.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace lw {

class LetterChanges;
class LibraryBrowser;

// What the library's commands need of the window that shows the library: the subject and category
// choices, the letter and favourites lists with their count lines, the search box, and the
// document shown beside them.
class LibraryWindow : public DocumentWindow
{
public:
    virtual QComboBox* subjectBox() = 0;
    virtual QComboBox* categoryBox() = 0;
    // 0: the letter list, 1: the favourites.
    virtual QListWidget* titleList(int list) = 0;
    virtual QLabel* letterCountLine() = 0;
    virtual QLabel* favoriteCountLine() = 0;
    virtual QLineEdit* searchBox() = 0;
    // Says which letter the editor shows.
    virtual void showLetterTitle(const QString& text) = 0;
    // True when the document was written.
    virtual bool SaveDocumentAs() = 0;

    virtual LibraryBrowser& library() = 0;
    virtual LetterChanges& changes() = 0;
};

} // namespace lw
