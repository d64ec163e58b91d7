#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

class QIODevice;
class QTextCursor;
class QTextDocument;

namespace lw {

// True when the data is a zip archive, as every OpenDocument file is.
bool isOpenDocument(const QByteArray& data);

// Writes the document as OpenDocument Text through Qt's own writer, on a copy of the document
// in which every run names its font and size and every picture its shown size, so that other
// programs show what the editor shows. False with `error` set when it fails.
bool writeOdt(const QTextDocument& document, QIODevice& device, QString* error = nullptr);

// Reads an OpenDocument Text file: the text of its content, with its paragraph, text and list
// styles, links and pictures. open() checks the whole file first, so that a damaged or hostile
// file is refused before anything is changed; read() then puts it at the cursor, replacing its
// selection, as one edit block.
class OdtReader
{
public:
    OdtReader();
    ~OdtReader();
    OdtReader(const OdtReader&) = delete;
    OdtReader& operator=(const OdtReader&) = delete;

    // `data` must outlive the reader. False with `error` saying why the file cannot be read.
    bool open(const QByteArray& data, QString* error = nullptr);
    void read(QTextCursor& cursor);
    // read for a long file: `progress` is told now and then how much of the document's XML has
    // been read and how much there is; when it returns false the read stops, with what was read
    // so far inserted in the edit block for the caller to undo, and this returns false.
    bool read(QTextCursor& cursor, const std::function<bool(qint64 done, qint64 total)>& progress);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// Both steps in one.
bool readOdt(const QByteArray& data, QTextCursor& cursor, QString* error = nullptr);

} // namespace lw
