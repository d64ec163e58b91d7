#pragma once

#include <QString>
#include <optional>

namespace lw {

class DocumentWindow;

// Reads a document file whole, in one read of its length, and decodes it (UTF-8, else
// Windows-1252). std::nullopt when the file cannot be opened or read.
std::optional<QString> readDocumentFile(const QString& path);

// The editor's own file commands on the main window's document: Open, with its save question,
// and Save As. Neither tells its caller whether a file was read or written.
class DocumentFiles
{
public:
    explicit DocumentFiles(DocumentWindow& window);

    void OpenDocument();
    void LoadDocumentFile();
    void SaveDocumentAs();
    // Opens a file of the recent files' list, with Open's save question; a file no longer there
    // is taken off the list, with a message.
    void OpenRecentDocument(const QString& path);

private:
    void reportNotSaved();
    bool loadDocument(const QString& path);

    DocumentWindow& w;
};

} // namespace lw
