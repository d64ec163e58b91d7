#include "editor/DocumentFiles.h"

#include "editor/DocumentText.h"
#include "editor/DocumentWindow.h"
#include "editor/RichTextBox.h"
#include "platform/Services.h"
#include "utilities/cDialog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lw {

namespace {

const QString documentFilter = QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*|");

} // namespace

std::optional<QString> readDocumentFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const qint64 length = file.size();
    const QByteArray bytes = file.read(length);
    if (bytes.size() != length)
        return std::nullopt;
    return decodeDocumentBytes(bytes);
}

QString documentFileTooLarge(const QString& path)
{
    const qint64 size = QFileInfo(path).size();
    if (size <= largestDocumentFile)
        return {};
    return QStringLiteral("The file %1 is %2 MB. Letterwright opens text files of up to %3 MB.")
        .arg(QDir::toNativeSeparators(path), QString::number(size / 1048576.0, 'f', 1),
             QString::number(largestDocumentFile >> 20));
}

DocumentFiles::DocumentFiles(DocumentWindow& window) : w(window) {}

void DocumentFiles::OpenDocument()
{
    // There is no Cancel: whatever the answer and whatever Save did, the file choice follows.
    if (w.documentModified() &&
        message(w.dialogParent(),
                QStringLiteral("The current file has been modified.  Save changes?"),
                QStringLiteral("Notice"), MsgButtons::YesNo) == MsgAnswer::Yes) {
        w.SaveDocument();
        if (services().application->terminated())
            return;
    }
    LoadDocumentFile();
}

void DocumentFiles::LoadDocumentFile()
{
    cDialog& dialog = w.fileDialog();
    dialog.setCancelError(true);
    dialog.setMultiSelect(false);
    dialog.setDialogTitle(QStringLiteral("Select a file to open"));
    dialog.setFilter(documentFilter);
    dialog.setFilterIndex(1);
    const QString previousPath = w.documentPath();
    try {
        dialog.ShowOpen();
        w.documentPath() = dialog.cFileName.Item(1);
    } catch (const std::exception&) {
        // A cancel, or a path the file buffer cannot hold: nothing is opened.
        return;
    }
    // A file not opened is not the document: Save must not write the old text over it.
    if (const QString tooLarge = documentFileTooLarge(w.documentPath()); !tooLarge.isEmpty()) {
        w.documentPath() = previousPath;
        message(w.dialogParent(), tooLarge, QStringLiteral("Open"), MsgButtons::Ok,
                MsgIcon::Exclamation);
        return;
    }
    const std::optional<QString> text = readDocumentFile(w.documentPath());
    if (!text)
        return;
    if (!setDocumentText(*text)) {
        w.documentPath() = previousPath;
        return;
    }
    // Setting the text raised the change notification; the document is as loaded.
    w.documentModified() = false;
}

bool DocumentFiles::setDocumentText(const QString& text)
{
    // A long text goes in piece by piece behind a progress window, which shows after a second
    // and whose Cancel leaves the document as it was.
    constexpr qsizetype textInPieces = qsizetype(8) << 20;
    if (text.size() <= textInPieces || !services().progress) {
        w.editor().setText(text);
        return true;
    }
    const QString name = QFileInfo(w.documentPath()).fileName();
    const std::unique_ptr<ProgressReport> progress = services().progress->begin(
        w.dialogParent(), QStringLiteral("Opening %1...").arg(name), text.size());
    return w.editor().setTextInPieces(
        text, [&](qint64 done, qint64) { return progress->advance(done); });
}

void DocumentFiles::SaveDocumentAs()
{
    cDialog& dialog = w.fileDialog();
    dialog.setCancelError(true);
    dialog.setDialogTitle(QStringLiteral("Save As"));
    dialog.setFilter(documentFilter);
    dialog.setFilterIndex(1);
    try {
        dialog.ShowSave();
        // Always appended, also to a name that has ".txt" or another extension already.
        w.documentPath() = dialog.cFileName.Item(1) + QStringLiteral(".txt");
    } catch (const std::exception&) {
        reportNotSaved();
        return;
    }
    if (!w.editor().SaveFile(w.documentPath(), RichTextBox::PlainText)) {
        reportNotSaved();
        return;
    }
    message(w.dialogParent(), QStringLiteral("File Saved!"), QStringLiteral("Notice"),
            MsgButtons::Ok, MsgIcon::Information);
    w.documentModified() = false;
}

void DocumentFiles::reportNotSaved()
{
    w.documentModified() = true;
    message(w.dialogParent(), QStringLiteral("File not Saved!"), QStringLiteral("Notice"));
}

} // namespace lw
