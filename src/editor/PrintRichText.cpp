#include "editor/PrintRichText.h"

#include "editor/LetterEditor.h"
#include "editor/PageFormatter.h"
#include "platform/SafeFile.h"
#include "platform/Services.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace lw {

namespace {

constexpr double twipsPerInch = 1440.0;

// Rounds to the nearest whole twip, halves to the even neighbour.
int toTwips(qreal pixels, int dpi)
{
    return int(std::nearbyint(pixels * twipsPerInch / dpi));
}

qreal toDevice(int twips, int dpi)
{
    return twips * dpi / twipsPerInch;
}

} // namespace

PageRect drawRectangle(QSize paper, QPoint gutter, int leftMargin, int topMargin, int rightMargin,
                       int bottomMargin)
{
    return {leftMargin - gutter.x(), topMargin - gutter.y(),
            paper.width() - rightMargin - gutter.x(), paper.height() - bottomMargin - gutter.y()};
}

QPoint printerGutters(const QPrinter& printer)
{
    const QPointF offset = printer.pageRect(QPrinter::DevicePixel).topLeft() -
                           printer.paperRect(QPrinter::DevicePixel).topLeft();
    return {toTwips(offset.x(), printer.logicalDpiX()), toTwips(offset.y(), printer.logicalDpiY())};
}

QSize paperTwips(const QPrinter& printer)
{
    const QSizeF paper = printer.paperRect(QPrinter::DevicePixel).size();
    return {toTwips(paper.width(), printer.logicalDpiX()),
            toTwips(paper.height(), printer.logicalDpiY())};
}

int PrintRichText(LetterEditor& box, QPrinter& printer, int leftMargin, int topMargin,
                  int rightMargin, int bottomMargin)
{
    // Opening the painter opens the job and its first page.
    QPainter painter;
    if (!painter.begin(&printer))
        return 0;

    const PageRect draw = drawRectangle(paperTwips(printer), printerGutters(printer), leftMargin,
                                        topMargin, rightMargin, bottomMargin);
    const int dpiX = printer.logicalDpiX();
    const int dpiY = printer.logicalDpiY();
    const QRectF drawDevice(toDevice(draw.left, dpiX), toDevice(draw.top, dpiY),
                            toDevice(draw.width(), dpiX), toDevice(draw.height(), dpiY));
    // The editor measures its document in pixels of the screen it is on.
    const QSizeF scale(qreal(dpiX) / box.widget()->logicalDpiX(),
                       qreal(dpiY) / box.widget()->logicalDpiY());
    PageFormatter formatter(*box.document(), drawDevice, scale);

    // A printer that cannot make copies itself (a PDF file) gets each copy from us.
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    const int documentCopies = printer.collateCopies() ? copies : 1;
    const int pageCopies = printer.collateCopies() ? 1 : copies;

    bool firstPage = true;
    const auto startPage = [&] {
        if (!firstPage)
            printer.newPage();
        firstPage = false;
    };

    int pages = 0;
    for (int copy = 0; copy < documentCopies; ++copy) {
        int position = 0;
        int pagesOfCopy = 0;
        for (;;) {
            int next = position;
            for (int i = 0; i < pageCopies; ++i) {
                startPage();
                next = formatter.formatRange(painter, position);
            }
            ++pagesOfCopy;
            // A page that advances by nothing would come back forever: the job ends there.
            if (next >= formatter.length() || next <= position)
                break;
            position = next;
        }
        pages = pagesOfCopy;
    }
    painter.end();
    return pages;
}

bool ExportPdf(LetterEditor& box, const QPageLayout& layout, const QString& path,
               const QString& title, int leftMargin, int topMargin, int rightMargin,
               int bottomMargin, QString* error)
{
    const auto fail = [&](const QString& reason) {
        if (error)
            *error =
                QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), reason);
        return false;
    };
    // The PDF is made aside and then put in place in one step, so that a failure leaves the old
    // file as it was.
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return fail(scratch.errorString());
    const QString made = scratch.filePath(QStringLiteral("export.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(made);
    printer.setPageLayout(layout);
    printer.setDocName(title);
    printer.setCreator(QStringLiteral("Letterwright"));
    printer.setFontEmbeddingEnabled(true);
    if (PrintRichText(box, printer, leftMargin, topMargin, rightMargin, bottomMargin) == 0)
        return fail(QStringLiteral("the PDF could not be made."));
    QFile file(made);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError || !bytes.startsWith("%PDF"))
        return fail(QStringLiteral("the PDF could not be made."));
    return writeFileSafely(path, bytes, error);
}

bool PreviewRichText(QWidget* parent, LetterEditor& box, QPrinter& printer, int leftMargin,
                     int topMargin, int rightMargin, int bottomMargin,
                     const std::function<bool()>& mayPrint)
{
    return services().dialogs->printPreview(
        parent, printer,
        [&](QPrinter& target) {
            PrintRichText(box, target, leftMargin, topMargin, rightMargin, bottomMargin);
        },
        mayPrint);
}

void PrintDocument(LetterEditor& box, QWidget* parent)
{
    constexpr int halfInch = 720;
    PrinterService& printers = *services().printers;
    QPrinter& printer = printers.currentPrinter();
    const int pages = PrintRichText(box, printer, halfInch, halfInch, halfInch, halfInch);
    if (!printers.printsToFiles())
        return;
    const QString file = QDir::toNativeSeparators(printer.outputFileName());
    if (pages > 0)
        message(parent,
                QStringLiteral("No printer is installed, so the letter was printed to the PDF "
                               "file %1.")
                    .arg(file),
                QStringLiteral("Notice"), MsgButtons::Ok, MsgIcon::Information);
    else
        message(parent,
                QStringLiteral("No printer is installed, and the PDF file %1 could not be "
                               "written. Nothing was printed.")
                    .arg(file),
                QStringLiteral("Notice"), MsgButtons::Ok, MsgIcon::Exclamation);
}

} // namespace lw
