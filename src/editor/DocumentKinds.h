#pragma once

#include <QString>

namespace lw {

// The kinds of document file the editor writes: plain text, RTF and OpenDocument Text.
// Filters of the Open and Save As dialogs, text files first: "Text Files", "Rich Text Format",
// "OpenDocument Text", "All Files".
QString documentFilters();

// The editor's file type (RichTextBox::FileType) for a file name: ".rtf" rich text, ".odt"
// OpenDocument Text, any other name plain text. Letter case does not count.
int documentFileType(const QString& path);

} // namespace lw
