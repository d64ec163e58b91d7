#pragma once

#include <QList>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <QStringList>

namespace lw::test {

struct PdfWord
{
    QString text;
    QRectF box; // points, from the page's top-left corner
};

// Reads a printed PDF the way a person checks a printout, through poppler-utils.
class PdfFile
{
public:
    explicit PdfFile(const QString& path) : file(path) {}

    // Whether pdfinfo, pdftotext, pdffonts and pdfimages can be run.
    static bool toolsAvailable();

    // -1 when the file is missing or not a complete PDF.
    int pageCount() const;
    // The first page's size in points.
    QSizeF pageSize() const;
    // The text of one page (1-based), or of all pages for 0, lines separated by line feeds.
    QString text(int page = 0) const;
    // The non-empty lines of one page's text.
    QStringList lines(int page) const;
    QList<PdfWord> words(int page) const;
    // The names of the fonts used.
    QStringList fonts() const;
    // The pixel sizes of the pictures, in the order they are drawn.
    QList<QSize> images() const;

private:
    QString file;
};

} // namespace lw::test
