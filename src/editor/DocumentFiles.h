#pragma once

#include "editor/DocumentText.h"

#include <QString>
#include <optional>

namespace lw {

class DocumentWindow;

// Reads a document file whole, in one read of its length, and decodes it (see
// decodeDocumentFile). std::nullopt when the file cannot be opened or read.
std::optional<DecodedText> readDocumentFile(const QString& path);

// The name with the extension added when it has none ("letter" and "txt" give "letter.txt"; a
// leading dot does not make an extension). An empty extension adds nothing.
QString withDefaultExtension(const QString& path, const QString& extension);

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
    bool loadDocument(const QString& path);

    DocumentWindow& w;
};

} // namespace lw
