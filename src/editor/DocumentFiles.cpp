#include "editor/DocumentFiles.h"

#include "editor/DocumentKinds.h"
#include "editor/DocumentText.h"
#include "editor/DocumentWindow.h"
#include "editor/OpenDocument.h"
#include "editor/RecentFiles.h"
#include "editor/RichTextBox.h"
#include "platform/Services.h"
#include "utilities/cDialog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lw {

namespace {

const QString documentFilter = documentFilters();

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
    if (w.documentModified() &&
        message(w.dialogParent(),
                QStringLiteral("The current file has been modified.  Save changes?"),
                QStringLiteral("Notice"), MsgButtons::YesNo) == MsgAnswer::Yes) {
        w.SaveDocument();
        if (services().application->terminated())
            return;
    }
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
    } else {
        const std::optional<QString> text = readDocumentFile(path);
        if (!text)
            return false;
        w.editor().setText(*text);
    }
    // Setting the text raised the change notification; the document is as loaded.
    w.documentModified() = false;
    RecentFiles::add(path);
    return true;
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
        // The kind follows the name's extension, or else the filter chosen.
        w.documentPath() = savedDocumentName(dialog.cFileName.Item(1), dialog.FilterIndex());
    } catch (const std::exception&) {
        reportNotSaved();
        return;
    }
    if (!w.editor().SaveFile(w.documentPath(), documentFileType(w.documentPath()))) {
        reportNotSaved();
        return;
    }
    RecentFiles::add(w.documentPath());
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
