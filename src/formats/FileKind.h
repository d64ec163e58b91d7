#pragma once

#include <QString>

namespace lw {

// The kinds of document file: RTF, plain text and OpenDocument Text.
enum class FileKind { RichText = 0, PlainText = 1, OpenDocument = 2 };

// The kind a file's name gives: ".rtf" rich text, ".odt" OpenDocument Text, any other name plain
// text. Letter case does not count.
FileKind fileKindOf(const QString& path);

// Filters of the Open and Save As dialogs, text files first: "Text Files", "Rich Text Format",
// "OpenDocument Text", "All Files".
QString documentFilters();

} // namespace lw
