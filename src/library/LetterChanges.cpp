#include "library/LetterChanges.h"

#include "library/LetterStatements.h"
#include "library/LibraryBrowser.h"
#include "library/LibraryWindow.h"
#include "library/frmAddRecord.h"
#include "library/frmMoveLetter.h"
#include "library/modMain.h"
#include "platform/ProgramFolders.h"
#include "platform/Services.h"

#include "editor/DocumentKinds.h"
#include "editor/DocumentText.h"
#include "editor/RecentFiles.h"
#include "editor/RichTextBox.h"
#include "platform/SafeFile.h"

#include <QComboBox>
#include <QDir>

namespace lw {

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
    {
        frmAddRecord dialog(w.dialogParent());
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
            message(w.dialogParent(), QStringLiteral("Title exists.  Please input another title."),
                    QStringLiteral("Notice"));
            return;
        }
        if (!op.run(sql::insertLetter(state.NewTitle, w.subjectBox()->currentText(),
                                      w.categoryBox()->currentText(), state.NewBody)))
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
    if (message(w.dialogParent(),
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
        frmMoveLetter dialog(w.dialogParent());
        if (!dialog.Form_Load())
            return;
        showModal(dialog);
    }
    browser.FillLetters();
}

std::optional<QString> LetterChanges::lookUpLetterFile()
{
    LibraryBrowser& browser = w.library();
    LibraryOperation op(browser.connection());
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

void LetterChanges::SaveDocument()
{
    if (!w.documentModified())
        return;
    const QString title = w.library().selectedTitle(0);
    const std::optional<QString> letterFile = lookUpLetterFile();
    if (services().application->terminated())
        return;

    const QString& current = w.documentPath();
    // No file was opened or saved in this run: there is nothing to overwrite.
    if (current.isEmpty()) {
        w.SaveDocumentAs();
        return;
    }
    const bool ownLetterFile =
        letterFile && QString::compare(QDir::cleanPath(current), QDir::cleanPath(*letterFile),
                                       Qt::CaseInsensitive) == 0;
    const QString question =
        ownLetterFile ? QStringLiteral("You will overwrite current letter '") + title +
                            QStringLiteral("' and it is unreversible, proceed?")
                      : QStringLiteral("You will overwrite current file at '") + current +
                            QStringLiteral("' and it is unreversible, proceed?");
    if (message(w.dialogParent(), question, QStringLiteral("Notice"), MsgButtons::YesNo) !=
        MsgAnswer::Yes) {
        w.SaveDocumentAs();
        return;
    }
    if (!(ownLetterFile ? writeDocument(*letterFile) : WriteCurrentFile()))
        return;
    if (!ownLetterFile)
        RecentFiles::add(current);
    w.documentModified() = false;
    message(w.dialogParent(), QStringLiteral("File Saved!"), QStringLiteral("Notice"));
}

bool LetterChanges::WriteCurrentFile()
{
    return writeDocument(w.documentPath());
}

bool LetterChanges::writeDocument(const QString& path)
{
    QString error;
    // An RTF or OpenDocument file is written in its kind; text is printed line by line: every
    // line ends with CR LF, the last one too.
    const int type = documentFileType(path);
    if (type != RichTextBox::PlainText
            ? w.editor().SaveFile(path, type, &error)
            : writeFileSafely(path, encodeDocumentText(w.editor().Text() + u'\n'), &error))
        return true;
    message(w.dialogParent(), error + QStringLiteral("\n\nThe document has not been saved."),
            QStringLiteral("Notice"), MsgButtons::Ok, MsgIcon::Exclamation);
    return false;
}

} // namespace lw
