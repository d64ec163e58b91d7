#include "library/LetterChanges.h"

#include "library/AddLetterDialog.h"
#include "library/LetterStatements.h"
#include "library/LibraryBrowser.h"
#include "library/LibraryWindow.h"
#include "library/MoveLetterDialog.h"
#include "library/modMain.h"
#include "platform/ProgramFolders.h"
#include "platform/Services.h"

#include "editor/DocumentFiles.h"
#include "editor/RecentFiles.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>

namespace lw {

namespace {

bool sameFile(const QString& a, const QString& b)
{
    if (QDir::cleanPath(a) == QDir::cleanPath(b))
        return true;
    // The same file reached another way (a link, "..").
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

} // namespace

LetterChanges::LetterChanges(LibraryWindow& window)
    : showModal([](QDialog& dialog) { dialog.exec(); }), w(window)
{}

void LetterChanges::AddLetter()
{
    ModMain& state = modMain();
    state.NewTitle.clear();
    state.NewBody.clear();
    // A letter without a category would be listed under none of them.
    if (w.subjectBox()->currentText().isEmpty() || w.categoryBox()->currentText().isEmpty()) {
        message(w.dialogParent(),
                QStringLiteral("Please choose a subject and a category for the new letter first."),
                QStringLiteral("Notice"), MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    // A title already taken brings the dialog back with what the user typed: a letter's body
    // is work that must not be lost to a message.
    QString typedTitle;
    QString typedBody;
    LibraryBrowser& browser = w.library();
    for (;;) {
        state.NewTitle.clear();
        state.NewBody.clear();
        {
            AddLetterDialog dialog(w.dialogParent());
            dialog.showTyped(typedTitle, typedBody);
            showModal(dialog);
        }
        if (state.NewTitle.isEmpty() || state.NewBody.isEmpty())
            return;
        typedTitle = state.NewTitle;
        typedBody = state.NewBody;
        LibraryOperation op(browser.connection(), QStringLiteral("The letter could not be added"));
        if (!op)
            return;
        const auto taken = op.run(sql::titleTaken(state.NewTitle));
        if (!taken)
            return;
        if (!taken->isEmpty()) {
            op.close();
            message(w.dialogParent(), QStringLiteral("Title exists.  Please input another title."),
                    QStringLiteral("Notice"));
            continue;
        }
        if (!op.run(sql::insertLetter(state.NewTitle, w.subjectBox()->currentText(),
                                      w.categoryBox()->currentText(), state.NewBody)))
            return;
        break;
    }
    browser.FillLetters();
}

void LetterChanges::DeleteLetter()
{
    LibraryBrowser& browser = w.library();
    const QString title = browser.selectedTitle(0);
    if (title.isEmpty())
        return;
    if (message(w.dialogParent(),
                QStringLiteral("You will delete the letter '") + title +
                    QStringLiteral("' and it is unreversible, proceed?"),
                QStringLiteral("Notice"), MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    {
        LibraryOperation op(browser.connection(),
                            QStringLiteral("The letter could not be deleted"));
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
        MoveLetterDialog dialog(w.dialogParent());
        if (!dialog.Form_Load())
            return;
        showModal(dialog);
    }
    browser.FillLetters();
}

std::optional<QString> LetterChanges::lookUpLetterFile()
{
    LibraryBrowser& browser = w.library();
    LibraryOperation op(browser.connection(),
                        QStringLiteral("The letter's own file could not be looked up"));
    if (!op)
        return std::nullopt;
    const auto rows = op.run(sql::letterFile(
        w.subjectBox()->currentText(), w.categoryBox()->currentText(), browser.selectedTitle(0)));
    if (!rows || rows->isEmpty())
        return std::nullopt;
    const QString file = rows->first().value(0).toString();
    // A letter without a file name has no file of its own.
    if (file.isEmpty())
        return std::nullopt;
    modMain().LetterFilePath = letterFolder() + u'/' + file;
    return modMain().LetterFilePath;
}

bool LetterChanges::SaveDocument()
{
    if (!w.documentModified())
        return true;
    const QString title = w.library().selectedTitle(0);
    const std::optional<QString> letterFile = lookUpLetterFile();
    if (services().application->terminated())
        return false;

    const QString& current = w.documentPath();
    // No file was opened or saved in this run: there is nothing to overwrite.
    if (current.isEmpty())
        return w.SaveDocumentAs();
    // Letter case tells files apart here: "LETTER/Damaged.TXT" is not the letter's own file.
    const bool ownLetterFile = letterFile && sameFile(current, *letterFile);
    const QString question =
        ownLetterFile ? QStringLiteral("You will overwrite current letter '") + title +
                            QStringLiteral("' and it is unreversible, proceed?")
                      : QStringLiteral("You will overwrite current file at '") + current +
                            QStringLiteral("' and it is unreversible, proceed?");
    if (message(w.dialogParent(), question, QStringLiteral("Notice"), MsgButtons::YesNo) !=
        MsgAnswer::Yes)
        return w.SaveDocumentAs();
    if (!WriteCurrentFile())
        return false;
    if (!ownLetterFile)
        RecentFiles::add(current);
    w.documentModified() = false;
    message(w.dialogParent(), QStringLiteral("File Saved!"), QStringLiteral("Notice"));
    return true;
}

bool LetterChanges::WriteCurrentFile()
{
    QString error;
    switch (
        DocumentFiles(w).writeDocument(w.documentPath(), DocumentFiles::WriteStyle::Save, &error)) {
    case DocumentFiles::WriteResult::Written:
        return true;
    case DocumentFiles::WriteResult::Declined:
        return false;
    case DocumentFiles::WriteResult::Failed:
        break;
    }
    message(w.dialogParent(), error + QStringLiteral("\n\nThe document has not been saved."),
            QStringLiteral("Notice"), MsgButtons::Ok, MsgIcon::Exclamation);
    return false;
}

} // namespace lw
