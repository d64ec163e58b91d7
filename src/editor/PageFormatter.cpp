#include "editor/PageFormatter.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QUrl>
#include <algorithm>
#include <cmath>

namespace lw {

namespace {

// The layout keeps lengths in 1/64 of a unit. A page height it can hold exactly keeps the page
// boundaries it computes exactly where this class expects them, however many pages.
constexpr qreal layoutUnit = 1.0 / 64;
constexpr qreal tolerance = layoutUnit / 2;

qreal toLayoutUnits(qreal length)
{
    return std::floor(length / layoutUnit) * layoutUnit;
}

} // namespace

PageFormatter::PageFormatter(const QTextDocument& source, const QRectF& drawRect, QSizeF scale)
    : document(source.clone()), origin(drawRect.topLeft()), scale(scale),
      page(drawRect.width() / scale.width(), toLayoutUnits(drawRect.height() / scale.height()))
{
    takePictures(source);
    // The draw rectangle is the edge of the text itself.
    document->setDocumentMargin(0);
    // Unhinted glyph widths: the screen's rounded ones would space the letters unevenly on paper.
    document->setUseDesignMetrics(true);
    if (!page.isEmpty())
        document->setPageSize(page);
}

PageFormatter::~PageFormatter() = default;

void PageFormatter::takePictures(const QTextDocument& source)
{
    // A copy holds only the pictures added to the document itself; those the editor found
    // elsewhere (pasted from another editor, loaded from a file) are given to it here.
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto run = block.begin(); !run.atEnd(); ++run) {
            const QTextCharFormat format = run.fragment().charFormat();
            if (!format.isImageFormat())
                continue;
            const QUrl name(format.toImageFormat().name());
            const QVariant picture = source.resource(QTextDocument::ImageResource, name);
            if (picture.isValid())
                document->addResource(QTextDocument::ImageResource, name, picture);
        }
    }
}

int PageFormatter::length() const
{
    return document->characterCount() - 1;
}

int PageFormatter::formatRange(QPainter& painter, int first)
{
    if (page.isEmpty())
        return first;
    first = std::clamp(first, 0, length());
    const QRectF view(QPointF(0, pageOf(first) * page.height()), page);

    painter.save();
    painter.translate(origin);
    painter.scale(scale.width(), scale.height());
    painter.translate(0, -view.top());
    painter.setClipRect(view, Qt::IntersectClip);
    QAbstractTextDocumentLayout::PaintContext context;
    // Lines that only touch the page's edges belong to the neighbouring pages: left out, they
    // leave no hidden copy of their text in a PDF.
    context.clip = view.adjusted(0, tolerance, 0, -tolerance);
    context.palette.setColor(QPalette::Text, Qt::black);
    document->documentLayout()->draw(&painter, context);
    painter.restore();

    return firstPositionFrom(first, view.bottom());
}

int PageFormatter::pageOf(int position) const
{
    const QTextBlock block = document->findBlock(position);
    if (!block.isValid())
        return 0;
    qreal top = document->documentLayout()->blockBoundingRect(block).top();
    const QTextLine line = block.layout()->lineForTextPosition(position - block.position());
    if (line.isValid())
        top += line.y();
    return std::max(0, int(std::floor((top + tolerance) / page.height())));
}

int PageFormatter::firstPositionFrom(int position, qreal top) const
{
    const QAbstractTextDocumentLayout* layout = document->documentLayout();
    for (QTextBlock block = document->findBlock(position); block.isValid(); block = block.next()) {
        const qreal blockTop = layout->blockBoundingRect(block).top();
        const QTextLayout* lines = block.layout();
        for (int i = 0; i < lines->lineCount(); ++i) {
            const QTextLine line = lines->lineAt(i);
            const int start = block.position() + line.textStart();
            if (start >= position && blockTop + line.y() >= top - tolerance)
                return start;
        }
    }
    return length();
}

} // namespace lw
