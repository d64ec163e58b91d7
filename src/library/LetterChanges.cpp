#include "library/LetterChanges.h"

#include "app/modMain.h"
#include "library/LetterStatements.h"
#include "library/LibraryBrowser.h"
#include "library/frmAddRecord.h"
#include "library/frmMoveLetter.h"
#include "mainwindow/frmMail.h"
#include "platform/Services.h"

#include <QComboBox>

namespace lw {

LetterChanges::LetterChanges(frmMail& window)
    : showModal([](QDialog& dialog) { dialog.exec(); }), w(window)
{}

void LetterChanges::AddLetter()
{
    ModMain& state = modMain();
    state.NewTitle.clear();
    state.NewBody.clear();
    {
        frmAddRecord dialog(&w);
        showModal(dialog);
    }
    if (state.NewTitle.isEmpty() || state.NewBody.isEmpty())
        return;

    LibraryBrowser& browser = w.library();
    {
        LibraryOperation op(browser.connection());
        if (!op)
            return;
        const auto taken = op.run(sql::titleTaken(state.NewTitle));
        if (!taken)
            return;
        if (!taken->isEmpty()) {
            op.close();
            message(&w, QStringLiteral("Title exists.  Please input another title."),
                    QStringLiteral("Notice"));
            return;
        }
        if (!op.run(sql::insertLetter(state.NewTitle, w.Cmb[0]->currentText(),
                                      w.Cmb[1]->currentText(), state.NewBody)))
            return;
    }
    browser.FillLetters();
}

void LetterChanges::DeleteLetter()
{
    LibraryBrowser& browser = w.library();
    const QString title = browser.selectedTitle(0);
    if (title.isEmpty())
        return;
    if (message(&w,
                QStringLiteral("You will delete the letter '") + title +
                    QStringLiteral("' and it is unreversible, proceed?"),
                QStringLiteral("Notice"), MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    {
        LibraryOperation op(browser.connection());
        if (!op || !op.run(sql::deleteLetter(title)))
            return;
    }
    browser.FillLetters();
}

void LetterChanges::MoveLetter()
{
    LibraryBrowser& browser = w.library();
    modMain().MoveTitle = browser.selectedTitle(0);
    if (modMain().MoveTitle.isEmpty())
        return;
    {
        frmMoveLetter dialog(&w);
        if (!dialog.Form_Load())
            return;
        showModal(dialog);
    }
    browser.FillLetters();
}

} // namespace lw
