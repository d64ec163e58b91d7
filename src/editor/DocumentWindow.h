#pragma once

#include <QString>

class QWidget;

namespace lw {

class LetterEditor;
class cDialog;
struct TextFileFormat;

// What the document commands need of the window that holds the editor.
class DocumentWindow
{
public:
    virtual ~DocumentWindow() = default;

    // The parent of messages and dialogs.
    virtual QWidget* dialogParent() = 0;
    virtual LetterEditor& editor() = 0;
    // The window's shared file dialog.
    virtual cDialog& fileDialog() = 0;
    // The file the document was opened from or last saved to; empty for none.
    virtual QString& documentPath() = 0;
    virtual bool& documentModified() = 0;
    // How the document is written as a text file: as the file it was read from, or new.
    virtual TextFileFormat& documentFormat() = 0;
    // The window's Save command, which knows where the document belongs. True when nothing is
    // left unsaved: the document was written, or was not modified.
    virtual bool SaveDocument() = 0;
};

} // namespace lw
