#pragma once

#include <QString>
#include <functional>
#include <optional>

class QDialog;

namespace lw {

class LibraryWindow;

// The main window's changes to the library, its Add, Delete and Move buttons, and the Save
// command, which overwrites the current document file or the selected letter's own file.
class LetterChanges
{
public:
    explicit LetterChanges(LibraryWindow& window);

    void AddLetter();
    void DeleteLetter();
    void MoveLetter();
    // Does nothing while the document is unmodified; without a current file it runs Save As. True
    // when nothing is left unsaved.
    bool SaveDocument();
    // Writes the editor's text to CurrentDocumentPath. False when it was not written; the user was
    // told why.
    bool WriteCurrentFile();

    // Runs the add-letter and move-letter dialogs modally and returns when they have closed. Tests
    // put a function here that fills in the dialog and clicks its buttons, so that nothing waits
    // for a user.
    std::function<void(QDialog&)> showModal;

private:
    // The selected letter's own file, when the library names one for it.
    std::optional<QString> lookUpLetterFile();

    LibraryWindow& w;
};

} // namespace lw
