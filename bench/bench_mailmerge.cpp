// Merges a one-page letter with 10,000 rows into one PDF and into 10,000 text files, against
// exporting the same 10,000 pages as one PDF of a plain document (Export as PDF) in the same run.
// Goal: the merge within 1.5 times the export, its memory flat as the rows go by.
// LW_BENCH_ROWS sets another number of rows.
#include "editor/PrintRichText.h"
#include "editor/RichTextBox.h"
#include "library/MailMerge.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QTemporaryDir>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QWidget>
#include <cstdio>
#include <functional>
#include <unistd.h>

namespace {

const QString letterText = QStringLiteral(
    "[Date]\n\n[Recipient Name]\n[Company Name]\n[Street Address]\n[City, State ZIP]\n\n"
    "Account: [Account Number]\n\nDear [Recipient Name]:\n\n"
    "We value your business and want to give you plenty of notice of a change that affects your "
    "account. From [Start Date], our prices for [Product Name] will increase by [Percentage].\n\n"
    "We do not take this step lightly. Over the past [Period], the cost of raw materials, "
    "transport and energy has risen sharply, and we have absorbed these increases for as long as "
    "we reasonably could. To keep the quality and service you expect from us, we now need to "
    "adjust our prices.\n\n"
    "To soften the effect on your business, we are offering the following:\n\n"
    "- Any order placed before [Deadline] will be invoiced at current prices, even if delivered "
    "later.\n"
    "- Customers who agree to a twelve-month supply schedule can lock in today's prices for the "
    "whole period.\n\n"
    "An updated price list is enclosed. Your account manager will be glad to review your regular "
    "orders with you and suggest ways to keep costs down, such as combining deliveries or "
    "adjusting order sizes.\n\n"
    "Thank you for your understanding and for your continued loyalty. If you have any questions, "
    "please call me at [Your Phone].\n\nSincerely,\n\n[Your Name]\n[Your Title]\n[Your Company]\n\n"
    "Enclosure");

QByteArray tableOf(int rows)
{
    QByteArray csv = "Recipient Name,Company Name,Street Address,\"City, State ZIP\",Account "
                     "Number,Start Date,Product Name,Percentage,Deadline\r\n";
    for (int i = 1; i <= rows; ++i)
        csv += QStringLiteral("Customer %1,Firm %1 Ltd,%1 Main Street,\"Springfield, IL 62701\","
                              "A-%1,1 March,office paper,%2 %,28 February\r\n")
                   .arg(i)
                   .arg(3 + i % 5)
                   .toUtf8();
    return csv;
}

// The resident memory of this process, in MB.
double residentMegabytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double timed(const char* what, const std::function<void()>& run)
{
    QElapsedTimer timer;
    timer.start();
    run();
    const double ms = timer.nsecsElapsed() / 1e6;
    std::printf("%-52s %10.0f ms\n", what, ms);
    std::fflush(stdout);
    return ms;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int rows = qEnvironmentVariableIsSet("LW_BENCH_ROWS")
                         ? qEnvironmentVariableIntValue("LW_BENCH_ROWS")
                         : 10000;
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;

    lw::RichTextBox editor;
    editor.setText(letterText);
    QString error;
    auto table = lw::MergeTable::parse(tableOf(rows), QStringLiteral("bench.csv"), &error);
    if (!table) {
        std::printf("%s\n", qPrintable(error));
        return 1;
    }
    const lw::MailMerge merge(*editor.document(), std::move(*table));
    lw::MergePage page;
    page.layout = lw::defaultMergeLayout();
    page.screenDpi = QSizeF(editor.widget()->logicalDpiX(), editor.widget()->logicalDpiY());

    std::printf("%d rows, %d fields of the letter filled from the table\n", rows,
                int(merge.fields().size() - merge.checks().fieldsWithoutColumn.size()));

    // Memory while the rows go by: at a tenth of them and at the end.
    double earlyMemory = 0;
    double lateMemory = 0;
    const auto watch = [&](int done) {
        if (done == rows / 10)
            earlyMemory = residentMegabytes();
        if (done == rows)
            lateMemory = residentMegabytes();
        return true;
    };
    const QString pdf = dir.filePath(QStringLiteral("merged.pdf"));
    lw::MergeResult result;
    const double mergedPdf =
        timed("merge into one PDF", [&] { result = lw::mergeToPdf(merge, pdf, page, watch); });
    if (result.failed() || result.written != rows) {
        std::printf("merge failed: %s\n", qPrintable(result.error));
        return 1;
    }
    std::printf("memory at %d rows %.1f MB, at %d rows %.1f MB: %+.1f MB\n", rows / 10, earlyMemory,
                rows, lateMemory, lateMemory - earlyMemory);

    const QString folder = dir.filePath(QStringLiteral("letters"));
    QDir().mkpath(folder);
    lw::FileMerge job;
    job.folder = folder;
    job.nameColumn = 0;
    const double mergedText =
        timed("merge into one text file a row", [&] { result = lw::mergeToFiles(merge, job); });
    if (result.failed() || result.written != rows) {
        std::printf("merge failed: %s\n", qPrintable(result.error));
        return 1;
    }

    // The baseline: the same letters, filled, one plain document with a page break before each,
    // exported as Export as PDF does.
    lw::RichTextBox plain;
    {
        QTextCursor cursor(plain.document());
        cursor.beginEditBlock();
        QTextBlockFormat newPage;
        newPage.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        for (int row = 0; row < rows; ++row) {
            if (row > 0)
                cursor.insertBlock(newPage);
            cursor.insertText(lw::MailMerge::plainText(*merge.letter(row)));
        }
        cursor.endEditBlock();
    }
    const QString exported = dir.filePath(QStringLiteral("exported.pdf"));
    bool written = false;
    const double baseline = timed("baseline: Export as PDF of the same pages", [&] {
        written = lw::ExportPdf(plain, page.layout, exported, QStringLiteral("bench"), 720, 720,
                                720, 720, &error);
    });
    if (!written) {
        std::printf("export failed: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("PDF sizes: merged %.1f MB, exported %.1f MB\n", QFileInfo(pdf).size() / 1048576.0,
                QFileInfo(exported).size() / 1048576.0);
    std::printf("merge into one PDF: %.2f x the export (goal: under 1.5)\n", mergedPdf / baseline);
    std::printf("merge into text files: %.2f x the export (goal: under 1.5)\n",
                mergedText / baseline);
    return 0;
}
