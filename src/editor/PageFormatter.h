#pragma once

#include <QRectF>
#include <QSizeF>
#include <memory>

class QPainter;
class QTextDocument;

namespace lw {

// Formats a document for a printer one page at a time: each call lays out and draws, from a
// given position, what fits in the draw rectangle and tells where the next page starts. It works
// on a copy of the document, so the editor's text, formatting and selection stay as they are;
// the copy is released with the formatter.
class PageFormatter
{
public:
    // `drawRect` is in device units, relative to the painter's origin on each page. The document
    // is laid out in the editor's own units, as on screen; `scale` turns them into device units
    // (the device's resolution over the editor's).
    PageFormatter(const QTextDocument& source, const QRectF& drawRect, QSizeF scale);
    ~PageFormatter();
    PageFormatter(const PageFormatter&) = delete;
    PageFormatter& operator=(const PageFormatter&) = delete;

    // The copy that is laid out. A caller may change its text between pages (many letters drawn
    // from one copy, each filled and then put back); the layout follows.
    QTextDocument& text() { return *document; }

    // The number of positions in the document; a position at or past it is the end.
    int length() const;
    // Draws the page that begins at `first` and returns the first position that did not fit:
    // `first` itself when nothing fits (a draw rectangle with no room).
    int formatRange(QPainter& painter, int first);

private:
    void takePictures(const QTextDocument& source);
    int pageOf(int position) const;
    int firstPositionFrom(int position, qreal top) const;

    std::unique_ptr<QTextDocument> document;
    QPointF origin; // device units
    QSizeF scale;
    QSizeF page; // the editor's units
};

} // namespace lw
