#include "editor/DocumentFiles.h"

#include "editor/DocumentWindow.h"
#include "editor/LetterEditor.h"
#include "editor/RecentFiles.h"
#include "formats/FileKind.h"
#include "platform/RegularFile.h"
#include "platform/SafeFile.h"
#include "platform/Services.h"
#include "rtf/RtfReader.h"
#include "utilities/cDialog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>

namespace lw {

namespace {

const QString documentFilter = documentFilters();

// An OpenDocument file is packed: its text is several times its size. RTF takes far longer a
// character than text. Files up to this size are read without a progress window.
constexpr qint64 fileInPieces = qint64(64) << 10;

// What a progress window says of putting the file in the editor.
QString progressLabel(const QString& path, TextPlace place)
{
    return (place == TextPlace::Document ? QStringLiteral("Opening %1...")
                                         : QStringLiteral("Inserting %1..."))
        .arg(QFileInfo(path).fileName());
}

// Progress of a job whose size its first word tells, into a window begun then.
LetterEditor::Progress progressWindow(QWidget* parent, const QString& label,
                                      std::unique_ptr<ProgressReport>& report)
{
    return [parent, label, &report](qint64 done, qint64 total) {
        if (!report)
            report = services().progress->begin(parent, label, total);
        return report->advance(done);
    };
}

} // namespace

// Whether the user has a file with a line of `longest` characters broken, as Open or Insert
// Text File asks it.
bool breakLongLines(QWidget* parent, const QString& path, qsizetype longest, TextPlace place)
{
    return message(parent,
                   QStringLiteral("The file %1 has a line of %2 characters. Lines that long take "
                                  "minutes to show.\n\nBreak its long lines into lines of at "
                                  "most %3 characters? Saving the letter keeps these breaks. No "
                                  "leaves the letter as it is.")
                       .arg(QFileInfo(path).fileName(), QLocale().toString(longest),
                            QLocale().toString(brokenLineLength)),
                   place == TextPlace::Document ? QStringLiteral("Open")
                                                : QStringLiteral("Insert Text File"),
                   MsgButtons::YesNo, MsgIcon::Exclamation) == MsgAnswer::Yes;
}

// The same question for a formatted file, asked of its document once read, before it is shown:
// Qt lays out its paragraphs as it does a text's lines.
LetterEditor::Accept longParagraphsBroken(QWidget* parent, const QString& path, TextPlace place)
{
    return [parent, path, place](QTextDocument& read) {
        const qsizetype longest = longestParagraph(read);
        if (longest <= longestLineShown)
            return true;
        if (!breakLongLines(parent, path, longest, place))
            return false;
        breakLongParagraphs(read, brokenLineLength);
        return true;
    };
}

bool placeDocumentText(LetterEditor& editor, QWidget* parent, const QString& path,
                       const QString& text, TextPlace place)
{
    const bool rich = place == TextPlace::Document && isRtf(text);
    if (!rich) {
        if (const qsizetype longest = longestLine(text); longest > longestLineShown) {
            if (!breakLongLines(parent, path, longest, place))
                return false;
            return placeDocumentText(editor, parent, path,
                                     withLongLinesBroken(text, brokenLineLength), place);
        }
    }
    // Shorter texts go in faster than a progress window would show. RTF read as the document
    // takes many times longer a character: a million short paragraphs take seconds.
    constexpr qsizetype textInPieces = qsizetype(8) << 20;
    constexpr qsizetype rtfInPieces = qsizetype(256) << 10;
    // At the selection, the text is laid out as it goes in, which takes longer again.
    const qsizetype inPieces =
        rich ? rtfInPieces
             : (place == TextPlace::Document ? textInPieces : LetterEditor::textInsertedInPieces);
    if (text.size() <= inPieces || !services().progress) {
        if (place == TextPlace::Document)
            editor.setText(text);
        else
            editor.setSelText(text);
        return true;
    }
    std::unique_ptr<ProgressReport> report;
    const LetterEditor::Progress progress =
        progressWindow(parent, progressLabel(path, place), report);
    return place == TextPlace::Document
               ? editor.setTextInPieces(text, progress, longParagraphsBroken(parent, path, place))
               : editor.setSelTextInPieces(text, progress);
}

bool insertDocumentFile(LetterEditor& editor, LetterEditor& reader, QWidget* parent,
                        const QString& path, FileKind kind, QString* error)
{
    const qint64 size = QFileInfo(path).size();
    const LetterEditor::Accept accept = longParagraphsBroken(parent, path, TextPlace::Selection);
    if (size <= fileInPieces || !services().progress) {
        if (!reader.LoadFile(path, kind, {}, error, accept))
            return false;
        editor.insertContent(reader);
        return true;
    }
    // One window: reading the file fills the first half of it, copying it in the second.
    std::unique_ptr<ProgressReport> report;
    const LetterEditor::Progress shown =
        progressWindow(parent, progressLabel(path, TextPlace::Selection), report);
    const auto half = [&](qint64 before) {
        return [&shown, before, size](qint64 done, qint64 total) {
            return shown(before + done * size / std::max<qint64>(total, 1), 2 * size);
        };
    };
    if (!reader.LoadFile(path, kind, half(0), error, accept))
        return false;
    return editor.insertContentInPieces(reader, half(size));
}

bool loadDocumentFile(LetterEditor& editor, QWidget* parent, const QString& path, FileKind kind,
                      TextPlace place, QString* error)
{
    std::unique_ptr<ProgressReport> report;
    LetterEditor::Progress progress;
    if (QFileInfo(path).size() > fileInPieces && services().progress)
        progress = progressWindow(parent, progressLabel(path, place), report);
    // A short OpenDocument file may still hold a long paragraph: its text is packed.
    return editor.LoadFile(path, kind, progress, error, longParagraphsBroken(parent, path, place));
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
    QString path;
    try {
        dialog.ShowOpen();
        path = dialog.cFileName.Item(1);
    } catch (const std::exception&) {
        // A cancel, or a path the file buffer cannot hold: nothing is opened.
        return;
    }
    loadDocument(path);
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
    openInstead(path);
}

void DocumentFiles::OpenNamedDocument(const QString& path)
{
    if (!QFileInfo::exists(path)) {
        message(w.dialogParent(),
                QStringLiteral("%1 cannot be opened: there is no such file.")
                    .arg(QDir::toNativeSeparators(path)),
                QStringLiteral("Open"), MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    openInstead(path);
}

void DocumentFiles::openInstead(const QString& path)
{
    if (!askToSave(replaceQuestion()))
        return;
    loadDocument(path);
}

bool DocumentFiles::loadDocument(const QString& path)
{
    // A file not opened is not the document: Save must not write the old text over it.
    if (const QString tooLarge = documentFileTooLarge(path); !tooLarge.isEmpty()) {
        message(w.dialogParent(), tooLarge, QStringLiteral("Open"), MsgButtons::Ok,
                MsgIcon::Exclamation);
        return false;
    }
    // An OpenDocument file is read formatted; any other file as text, which is read formatted
    // when it begins with an RTF header.
    if (fileKindOf(path) == FileKind::OpenDocument) {
        QString error;
        if (!loadDocumentFile(w.editor(), w.dialogParent(), path, FileKind::OpenDocument,
                              TextPlace::Document, &error)) {
            // Cancelled: nothing to say.
            if (!error.isEmpty())
                message(w.dialogParent(), error, QStringLiteral("Open"), MsgButtons::Ok,
                        MsgIcon::Exclamation);
            return false;
        }
        w.documentFormat() = TextFileFormat();
    } else {
        QString error;
        const std::optional<DecodedText> read = readDocumentFile(path, &error);
        if (!read) {
            // The document and the file it is saved to stay as they were.
            message(w.dialogParent(),
                    QStringLiteral("The file %1 cannot be opened:\n%2.")
                        .arg(QDir::toNativeSeparators(path), error),
                    QStringLiteral("Open"), MsgButtons::Ok, MsgIcon::Exclamation);
            return false;
        }
        if (!setDocumentText(path, read->text))
            return false;
        w.documentFormat() = read->format;
    }
    w.documentPath() = path;
    // Setting the text raised the change notification; the document is as loaded.
    w.documentModified() = false;
    RecentFiles::add(path);
    return true;
}

bool DocumentFiles::setDocumentText(const QString& path, const QString& text)
{
    return placeDocumentText(w.editor(), w.dialogParent(), path, text, TextPlace::Document);
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
    if (const FileKind kind = fileKindOf(path); kind != FileKind::PlainText)
        return w.editor().SaveFile(path, kind, error) ? WriteResult::Written : WriteResult::Failed;

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
