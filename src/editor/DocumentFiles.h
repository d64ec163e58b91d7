#pragma once

#include "formats/DocumentFile.h"

#include <QString>
#include <QtGlobal>
#include <optional>

class QWidget;

namespace lw {

class DocumentWindow;

class LetterEditor;

enum class TextPlace {
    Document,  // the text becomes the whole document, as setText
    Selection, // the text replaces the selection, as setSelText
};

// Puts a file's text in the editor. A text with a line longer than longestLineShown goes in
// with its long lines broken when the user agrees, not at all otherwise. A long text goes in
// behind a progress window with Cancel, labelled with the file's name and shown once it has taken
// a second; false when the user cancelled or declined, and the editor is as it was.
bool placeDocumentText(LetterEditor& editor, QWidget* parent, const QString& path,
                       const QString& text, TextPlace place);
// Reads an RTF or OpenDocument file into `reader`, then inserts its content at the editor's
// selection as LetterEditor::insertContent does, behind one progress window for both when the file
// is long, as loadDocumentFile's; false when it cannot be read (`error` says why) or the user
// cancelled (`error` empty), and the editor is as it was.
bool insertDocumentFile(LetterEditor& editor, LetterEditor& reader, QWidget* parent,
                        const QString& path, FileKind kind, QString* error);
// LetterEditor::LoadFile of an RTF or OpenDocument file, on its way to `place`, behind a
// progress window as
// placeDocumentText's when the file is long; false when it cannot be read (`error` says why) or
// the user cancelled (`error` empty), and the editor is as it was.
bool loadDocumentFile(LetterEditor& editor, QWidget* parent, const QString& path, FileKind kind,
                      TextPlace place, QString* error);

// The editor's own file commands on the main window's document: Open, with its save question,
// and Save As; and the writing of the document that every save shares.
class DocumentFiles
{
public:
    explicit DocumentFiles(DocumentWindow& window);

    void OpenDocument();
    void LoadDocumentFile();
    // True when the document was written.
    bool SaveDocumentAs();
    // Opens a file of the recent files' list, with Open's save question; a file no longer there
    // is taken off the list, with a message.
    void OpenRecentDocument(const QString& path);
    // A document named from outside: on the command line, or by a second start of the program.
    void OpenNamedDocument(const QString& path);

    // Before the document is replaced or closed: asks `question` with Yes, No and Cancel while the
    // document is modified, and Yes runs the window's Save. True when the caller may go on (the
    // document was saved, was not modified, or the user chose No); false on Cancel and when the
    // save did not happen.
    bool askToSave(const QString& question);
    // Open's question, also asked before another letter replaces the document.
    static QString replaceQuestion();

    enum class WriteStyle {
        // The text as it stands.
        SaveAs,
        // Printed line by line: a new document's last line gets its line break too.
        Save,
    };
    enum class WriteResult { Written, Declined, Failed };
    // Writes the editor's document to `path` in the kind its name gives: RTF for ".rtf",
    // OpenDocument Text for ".odt", otherwise text in the document's own encoding and line
    // breaks. On Failed, `error` names the file and the reason.
    WriteResult writeDocument(const QString& path, WriteStyle style, QString* error);

private:
    void reportNotSaved(const QString& reason = QString());
    // Opens `path`; only a file opened becomes the document's file, so that Save never writes
    // the old text over a file that was not read.
    bool loadDocument(const QString& path);
    // Puts an opened file's text in the editor; false when the user cancelled.
    bool setDocumentText(const QString& path, const QString& text);
    // Open's own path, after its save question.
    void openInstead(const QString& path);

    DocumentWindow& w;
};

} // namespace lw
