#pragma once

#include <QPoint>
#include <QSize>
#include <QString>
#include <functional>

class QPageLayout;
class QPrinter;
class QWidget;

namespace lw {

class LetterEditor;

// A rectangle in twips by its four edges, as the page-format arithmetic gives it.
struct PageRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const PageRect&) const = default;
};

// The rectangle the text is drawn in, relative to the top-left corner of the printable area:
// margins measured from the paper's edges, less the physical offsets (gutters) of the printable
// area. A margin smaller than its gutter gives a negative edge, kept as computed.
PageRect drawRectangle(QSize paperTwips, QPoint gutterTwips, int leftMargin, int topMargin,
                       int rightMargin, int bottomMargin);

// The printer's physical offsets: where its printable area begins on the paper, in twips.
QPoint printerGutters(const QPrinter& printer);
// The paper's full size, in twips.
QSize paperTwips(const QPrinter& printer);

// Prints the editor's whole document on the printer, page after page, with margins in twips
// measured from the paper's edges. No dialog comes first: the printer's own settings (copies,
// orientation, paper size, duplex...) apply. The editor's text, formatting and selection are left
// as they are. Returns the number of pages of one copy; 0 when the printer did not open the job.
int PrintRichText(LetterEditor& box, QPrinter& printer, int leftMargin, int topMargin,
                  int rightMargin, int bottomMargin);

// Writes the editor's document as a PDF file through the same page loop as PrintRichText, on
// paper laid out as `layout` (the current printer's), with the text selectable and its fonts
// embedded, and `title` as the document's title. No printer is needed. The file is replaced in
// one step: on failure the old file is left and `error` says why. An empty document gives one
// blank page.
bool ExportPdf(LetterEditor& box, const QPageLayout& layout, const QString& path,
               const QString& title, int leftMargin, int topMargin, int rightMargin,
               int bottomMargin, QString* error = nullptr);

// Shows the print preview of the editor's document on the printer, drawn by the same page loop
// as PrintRichText, so that what is previewed is what prints; printing from the preview prints
// it once `mayPrint` agrees. Returns true when the user printed from the preview.
bool PreviewRichText(QWidget* parent, LetterEditor& box, QPrinter& printer, int leftMargin,
                     int topMargin, int rightMargin, int bottomMargin,
                     const std::function<bool()>& mayPrint = {});

// The Print command: the editor's document on the current printer, half an inch from every edge.
// Without an installed printer the print becomes a PDF file, and the user is told which.
void PrintDocument(LetterEditor& box, QWidget* parent);

} // namespace lw
