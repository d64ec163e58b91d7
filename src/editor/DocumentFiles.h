#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace lw {

class DocumentWindow;

// Reads a document file whole, in one read of its length, and decodes it (UTF-8, else
// Windows-1252). std::nullopt when the file cannot be opened or read.
std::optional<QString> readDocumentFile(const QString& path);

// The largest document file the editor opens or inserts: it holds several times a file's size
// in memory, and a letter is a few kilobytes.
inline constexpr qint64 largestDocumentFile = qint64(256) << 20;
// The message for a file over that size, naming its size; empty for a file within it.
QString documentFileTooLarge(const QString& path);

// The editor's own file commands on the main window's document: Open, with its save question,
// and Save As. Neither tells its caller whether a file was read or written.
class DocumentFiles
{
public:
    explicit DocumentFiles(DocumentWindow& window);

    void OpenDocument();
    void LoadDocumentFile();
    void SaveDocumentAs();

private:
    void reportNotSaved();
    // Puts an opened file's text in the editor; false when the user cancelled.
    bool setDocumentText(const QString& text);

    DocumentWindow& w;
};

} // namespace lw
