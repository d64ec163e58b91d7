#pragma once

#include <QString>

class QWidget;

namespace lw {

class RichTextBox;
class cDialog;

// What the document commands need of the window that holds the editor.
class DocumentWindow
{
public:
    virtual ~DocumentWindow() = default;

    // The parent of messages and dialogs.
    virtual QWidget* dialogParent() = 0;
    virtual RichTextBox& editor() = 0;
    // The window's shared file dialog.
    virtual cDialog& fileDialog() = 0;
    // The file the document was opened from or last saved to; empty for none.
    virtual QString& documentPath() = 0;
    virtual bool& documentModified() = 0;
    // The window's Save command, which knows where the document belongs.
    virtual void SaveDocument() = 0;
};

} // namespace lw
