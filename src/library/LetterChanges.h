#pragma once

#include <functional>

class QDialog;

namespace lw {

class frmMail;

// The main window's changes to the library: its Add, Delete and Move buttons.
class LetterChanges
{
public:
    explicit LetterChanges(frmMail& window);

    void AddLetter();
    void DeleteLetter();
    void MoveLetter();

    // Runs the add-letter and move-letter dialogs modally and returns when they have closed. Tests
    // put a function here that fills in the dialog and clicks its buttons, so that nothing waits
    // for a user.
    std::function<void(QDialog&)> showModal;

private:
    frmMail& w;
};

} // namespace lw
