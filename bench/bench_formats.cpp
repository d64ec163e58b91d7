// Writes about 1 MB of formatted text as RTF and as OpenDocument, and exports it as a PDF of
// some 300 pages, each against Qt's own way of doing the same in the same run:
// QTextDocumentWriter for OpenDocument, QTextDocument::print for the PDF. Goals: each within
// 1.5 times Qt's, and RTF under 250 ms.
#include "editor/LetterEditor.h"
#include "editor/PrintRichText.h"
#include "formats/OpenDocument.h"
#include "rtf/RtfWriter.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentWriter>
#include <QTextList>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

void fill(QTextDocument& doc, qsizetype targetCharacters)
{
    const char* words[] = {"invoice", "payment", "delivery", "contract", "customer",
                           "order",   "balance", "reminder", "account",  "schedule"};
    QTextCursor cursor(&doc);
    cursor.beginEditBlock();
    QTextCharFormat plain;
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    QTextCharFormat red;
    red.setForeground(QColor(200, 0, 0));
    red.setFontItalic(true);
    QTextCharFormat serif;
    serif.setFontFamilies({QStringLiteral("Liberation Serif")});
    serif.setFontPointSize(12);
    serif.setFontUnderline(true);
    QTextCharFormat heading;
    heading.setFontWeight(QFont::Bold);
    heading.setFontPointSize(16);
    QTextBlockFormat justified;
    justified.setAlignment(Qt::AlignJustify);
    justified.setLeftMargin(24);
    justified.setBottomMargin(8);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    QTextList* bullets = nullptr;
    int paragraph = 0;
    while (doc.characterCount() < targetCharacters) {
        if (paragraph > 0)
            cursor.insertBlock(paragraph % 25 == 0 ? centred : justified, plain);
        if (paragraph % 25 == 0) {
            cursor.insertText(QStringLiteral("Section heading € %1").arg(paragraph), heading);
            bullets = nullptr;
            ++paragraph;
            continue;
        }
        if (paragraph % 7 < 3) {
            QTextBlockFormat item;
            cursor.setBlockFormat(item);
            if (bullets)
                bullets->add(cursor.block());
            else
                bullets = cursor.createList(paragraph % 2 ? QTextListFormat::ListDisc
                                                          : QTextListFormat::ListDecimal);
        } else {
            bullets = nullptr;
        }
        for (int word = 0; word < 12; ++word) {
            const QString text = QString::fromLatin1(words[(paragraph * 7 + word) % 10]) + u' ';
            switch (word % 9) {
            case 1:
                cursor.insertText(text, bold);
                break;
            case 3:
                cursor.insertText(text, red);
                break;
            case 5:
                cursor.insertText(text + QStringLiteral("é "), serif);
                break;
            case 7:
                cursor.insertText(QStringLiteral("Привет – ") + text, plain);
                break;
            default:
                cursor.insertText(text, plain);
                break;
            }
        }
        ++paragraph;
    }
    cursor.endEditBlock();
}

// The best of several runs, in milliseconds.
double measure(const char* what, int runs, const std::function<void()>& run)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    std::printf("%-46s best %8.1f ms   median %8.1f ms   (%d runs)\n", what, times.front(),
                times[times.size() / 2], runs);
    return times.front();
}

void pdfPrinter(QPrinter& printer, const QString& path)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(12.7, 12.7, 12.7, 12.7), QPageLayout::Millimeter));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    lw::LetterEditor box;
    box.widget()->resize(800, 600);
    fill(*box.document(), 1024 * 1024);
    const QTextDocument& doc = *box.document();
    std::printf("document: %lld characters, %d paragraphs\n", qlonglong(doc.characterCount()),
                doc.blockCount());

    QByteArray rtf;
    const double rtfTime = measure("RTF, writeRtf", 5, [&] { rtf = lw::writeRtf(doc); });
    std::printf("  %lld bytes of RTF\n", qlonglong(rtf.size()));

    const double qtOdt = measure("OpenDocument, QTextDocumentWriter (baseline)", 3, [&] {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QTextDocumentWriter writer(&buffer, "odf");
        writer.write(&doc);
    });
    const double ourOdt = measure("OpenDocument, writeOdt", 3, [&] {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        lw::writeOdt(doc, buffer);
    });

    QTemporaryDir dir;
    int pages = 0;
    const double qtPdf = measure("PDF, QTextDocument::print (baseline)", 2, [&] {
        QPrinter printer(QPrinter::HighResolution);
        pdfPrinter(printer, dir.filePath(QStringLiteral("qt.pdf")));
        doc.print(&printer);
    });
    const double ourPdf = measure("PDF, ExportPdf", 2, [&] {
        QPrinter layout(QPrinter::HighResolution);
        pdfPrinter(layout, QString());
        lw::ExportPdf(box, layout.pageLayout(), dir.filePath(QStringLiteral("ours.pdf")),
                      QStringLiteral("Benchmark"), 720, 720, 720, 720);
    });
    {
        QPrinter printer(QPrinter::HighResolution);
        pdfPrinter(printer, dir.filePath(QStringLiteral("count.pdf")));
        pages = lw::PrintRichText(box, printer, 720, 720, 720, 720);
    }
    std::printf("  %d pages\n", pages);

    std::printf("\nRTF:          %8.1f ms for 1 MB (goal: under 250 ms)\n", rtfTime);
    std::printf("OpenDocument: ratio %.2f against QTextDocumentWriter (goal: at most 1.5)\n",
                ourOdt / qtOdt);
    std::printf("PDF:          ratio %.2f against QTextDocument::print (goal: at most 1.5)\n",
                ourPdf / qtPdf);
    return 0;
}
