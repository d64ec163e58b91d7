#pragma once

#include <QByteArray>

class QTextDocument;

namespace lw {

// Writes the whole document as RTF, in the forms most readers know: fonts, sizes, styles, colours
// and highlight, super- and subscript, capitals, hyperlinks, alignment, indents, spacing, tabs,
// page breaks, lists (list table with the older paragraph numbering beside it), pictures as PNG,
// text outside Windows-1252 as \uN with a fallback. The document's default font is written as the
// default font, and every run carries its font and size, so that other programs show what the
// editor shows. Pictures beyond what a reader takes (22 inches, or more pixels than readRtf
// decodes) are written scaled down, never left out.
QByteArray writeRtf(const QTextDocument& document);

} // namespace lw
