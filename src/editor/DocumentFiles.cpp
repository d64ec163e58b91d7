#include "editor/DocumentFiles.h"

#include "editor/DocumentKinds.h"
#include "editor/DocumentWindow.h"
#include "editor/RecentFiles.h"
#include "editor/RichTextBox.h"
#include "platform/SafeFile.h"
#include "platform/Services.h"
#include "utilities/cDialog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lw {

namespace {

const QString documentFilter = documentFilters();

} // namespace

std::optional<DecodedText> readDocumentFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const qint64 length = file.size();
    const QByteArray bytes = file.read(length);
    if (bytes.size() != length)
        return std::nullopt;
    return decodeDocumentFile(bytes);
}

QString withDefaultExtension(const QString& path, const QString& extension)
{
    if (extension.isEmpty() || QFileInfo(path).fileName().lastIndexOf(u'.') > 0)
        return path;
    return path + u'.' + extension;
}

DocumentFiles::DocumentFiles(DocumentWindow& window) : w(window) {}

QString DocumentFiles::replaceQuestion()
{
    return QStringLiteral("The current file has been modified.  Save changes?");
}

bool DocumentFiles::askToSave(const QString& question)
{
    if (!w.documentModified())
        return true;
    switch (
        message(w.dialogParent(), question, QStringLiteral("Notice"), MsgButtons::YesNoCancel)) {
    case MsgAnswer::Yes:
        return w.SaveDocument() && !services().application->terminated();
    case MsgAnswer::No:
        return true;
    default:
        return false;
    }
}

void DocumentFiles::OpenDocument()
{
    // Cancel, or a save that did not happen, keeps the document as it is.
    if (!askToSave(replaceQuestion()))
        return;
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
    try {
        dialog.ShowOpen();
        w.documentPath() = dialog.cFileName.Item(1);
    } catch (const std::exception&) {
        // A cancel, or a path the file buffer cannot hold: nothing is opened.
        return;
    }
    loadDocument(w.documentPath());
}

void DocumentFiles::OpenRecentDocument(const QString& path)
{
    if (!QFileInfo(path).isFile()) {
        RecentFiles::remove(path);
        message(w.dialogParent(),
                QStringLiteral("%1 is no longer there. It has been taken off the list of recent "
                               "files.")
                    .arg(QDir::toNativeSeparators(path)),
                QStringLiteral("Open"), MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    if (!askToSave(replaceQuestion()))
        return;
    w.documentPath() = path;
    loadDocument(path);
}

bool DocumentFiles::loadDocument(const QString& path)
{
    // An OpenDocument file is read formatted; any other file as text, which is read formatted
    // when it begins with an RTF header.
    if (documentFileType(path) == RichTextBox::OpenDocumentText) {
        QString error;
        if (!w.editor().LoadFile(path, RichTextBox::OpenDocumentText, &error)) {
            message(w.dialogParent(), error, QStringLiteral("Open"), MsgButtons::Ok,
                    MsgIcon::Exclamation);
            return false;
        }
        w.documentFormat() = TextFileFormat();
    } else {
        const std::optional<DecodedText> read = readDocumentFile(path);
        if (!read)
            return false;
        w.editor().setText(read->text);
        w.documentFormat() = read->format;
    }
    // Setting the text raised the change notification; the document is as loaded.
    w.documentModified() = false;
    RecentFiles::add(path);
    return true;
}

bool DocumentFiles::SaveDocumentAs()
{
    cDialog& dialog = w.fileDialog();
    dialog.setCancelError(true);
    dialog.setDialogTitle(QStringLiteral("Save As"));
    dialog.setFilter(documentFilter);
    dialog.setFilterIndex(1);
    QString chosen;
    try {
        dialog.ShowSave();
        chosen = dialog.cFileName.Item(1);
    } catch (const std::exception&) {
        reportNotSaved();
        return false;
    }
    // The dialog asked about replacing the name it gave back; a name it left without an extension
    // gets the chosen type's here, and the question is asked again for that one.
    const QString path =
        withDefaultExtension(chosen, defaultExtension(documentFilter, dialog.chosenFilterIndex()));
    if (path != chosen && QFileInfo::exists(path) &&
        message(w.dialogParent(),
                QStringLiteral("%1 already exists.\nDo you want to replace it?")
                    .arg(QDir::toNativeSeparators(path)),
                QStringLiteral("Save As"), MsgButtons::YesNo,
                MsgIcon::Exclamation) != MsgAnswer::Yes) {
        reportNotSaved();
        return false;
    }

    QString error;
    const WriteResult written = writeDocument(path, WriteStyle::SaveAs, &error);
    if (written == WriteResult::Declined) {
        reportNotSaved();
        return false;
    }
    w.documentPath() = path;
    if (written == WriteResult::Failed) {
        reportNotSaved(error);
        return false;
    }
    RecentFiles::add(path);
    message(w.dialogParent(), QStringLiteral("File Saved!"), QStringLiteral("Notice"),
            MsgButtons::Ok, MsgIcon::Information);
    w.documentModified() = false;
    return true;
}

DocumentFiles::WriteResult DocumentFiles::writeDocument(const QString& path, WriteStyle style,
                                                        QString* error)
{
    // RTF and OpenDocument files are written formatted, in their own kind.
    if (const int type = documentFileType(path); type != RichTextBox::PlainText)
        return w.editor().SaveFile(path, type, error) ? WriteResult::Written : WriteResult::Failed;

    const TextFileFormat& format = w.documentFormat();
    QString text = w.editor().Text();
    if (style == WriteStyle::Save && !format.fromFile)
        text += u'\n';
    if (!writeFileSafely(path, encodeDocumentText(text, format), error,
                         FileWrite::AtomicElseInPlace))
        return WriteResult::Failed;
    return WriteResult::Written;
}

void DocumentFiles::reportNotSaved(const QString& reason)
{
    w.documentModified() = true;
    message(w.dialogParent(),
            reason.isEmpty() ? QStringLiteral("File not Saved!")
                             : QStringLiteral("File not Saved!\n\n") + reason,
            QStringLiteral("Notice"));
}

} // namespace lw
