#pragma once

#include <QStringList>

class QTextDocument;

// What a person sees of a document, as text: one line a paragraph (alignment, indents and
// spacing in whole twips, line height, tabs, page break, list), then one line a run of equal
// formatting (font and size resolved against the document's default font, styles, colours,
// position, capitals, link) or a picture (shown size in twips, pixels and a digest of them).
// An empty paragraph tells the formatting of its mark, which sets its height. Documents that
// show the same give the same lines, however their formats are stored.
QStringList describeDocument(const QTextDocument& document);
