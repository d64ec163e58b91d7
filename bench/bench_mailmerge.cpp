// Merges a one-page letter with 10,000 rows into one PDF and into 10,000 text files, against
// exporting the same 10,000 pages as one PDF of a plain document (Export as PDF) in the same run;
// and the merge's peak memory at 10,000 rows against at 1,000. Goal: each merge within 1.5 times
// the export, the memory flat as the rows grow. LW_BENCH_ROWS sets another number of rows.
//
// Times are on the wall clock, best of a few rounds: writing ten thousand files is work for the
// disk as much as for the processor, and a processor clock would leave the disk's part out.
#include "BenchSupport.h"
#include "editor/LetterEditor.h"
#include "editor/PrintRichText.h"
#include "formats/DocumentFile.h"
#include "merge/MailMerge.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPageLayout>
#include <QTemporaryDir>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QWidget>
#include <functional>
#include <limits>
#include <memory>

namespace {

constexpr int rounds = 3;

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

std::unique_ptr<lw::MailMerge> mergeOf(const QTextDocument& letter, int rows)
{
    QString error;
    auto table = lw::MergeTable::parse(tableOf(rows), QStringLiteral("bench.csv"), &error);
    if (!table) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        std::exit(2);
    }
    return std::make_unique<lw::MailMerge>(letter, std::move(*table));
}

// The least time on the wall clock of a few runs of `work`, in milliseconds; `prepare` runs
// before each, outside the measurement. The processor time of that run is told beside it.
double bestOnTheClock(const char* what, const std::function<void()>& work,
                      const std::function<void()>& prepare = {})
{
    double best = std::numeric_limits<double>::max();
    double processor = 0;
    for (int round = 0; round < rounds; ++round) {
        if (prepare)
            prepare();
        QElapsedTimer clock;
        const double start = bench::processorMilliseconds();
        clock.start();
        work();
        const double ms = clock.nsecsElapsed() / 1e6;
        if (ms < best) {
            best = ms;
            processor = bench::processorMilliseconds() - start;
        }
    }
    std::printf("  %-48s %8.0f ms (processor %.0f ms)\n", what, best, processor);
    std::fflush(stdout);
    return best;
}

void require(const lw::MergeResult& result, int rows)
{
    if (result.failed() || result.written != rows) {
        std::fprintf(stderr, "the merge failed: %s\n", qPrintable(result.error));
        std::exit(2);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = qEnvironmentVariableIsSet("LW_BENCH_ROWS")
                         ? qEnvironmentVariableIntValue("LW_BENCH_ROWS")
                         : 10000;
    QTemporaryDir dir;
    if (!dir.isValid())
        return 2;

    lw::LetterEditor editor;
    editor.setText(letterText);
    const auto merge = mergeOf(*editor.document(), rows);
    lw::MergePage page;
    page.layout = lw::defaultMergeLayout();
    page.screenDpi = QSizeF(editor.widget()->logicalDpiX(), editor.widget()->logicalDpiY());
    std::printf("Mail merge of a one-page letter, %d rows, %d fields filled, best of %d rounds\n",
                rows, int(merge->fields().size() - merge->checks().fieldsWithoutColumn.size()),
                rounds);

    // The letters as the document path makes them, for the baseline and as the check of the
    // text files' path.
    QStringList letters;
    letters.reserve(rows);
    for (int row = 0; row < rows; ++row) {
        letters.append(lw::documentText(*merge->letter(row)));
        bench::requireSame("a text file's letter", merge->plainLetter(row).toUtf8(),
                           letters.constLast().toUtf8());
    }

    // Peak memory: a merge of a tenth of the rows, then of all of them.
    const QString pdf = dir.filePath(QStringLiteral("merged.pdf"));
    {
        const auto fewer = mergeOf(*editor.document(), rows / 10);
        require(lw::mergeToPdf(*fewer, pdf, page), rows / 10);
    }
    const double fewerPeak = bench::residentMegabytes("VmHWM");

    lw::MergeResult result;
    const double mergedPdf = bestOnTheClock("merge into one PDF", [&] {
        result = lw::mergeToPdf(*merge, pdf, page);
        require(result, rows);
    });
    const double allPeak = bench::residentMegabytes("VmHWM");

    const QString folder = dir.filePath(QStringLiteral("letters"));
    lw::FileMerge job;
    job.folder = folder;
    job.nameColumn = 0;
    const double mergedText = bestOnTheClock(
        "merge into one text file a row",
        [&] {
            result = lw::mergeToFiles(*merge, job);
            require(result, rows);
        },
        [&] {
            QDir(folder).removeRecursively();
            QDir().mkpath(folder);
        });

    // The baseline: the same letters, filled, one plain document with a page break before each,
    // exported as Export as PDF does.
    lw::LetterEditor plain;
    {
        QTextCursor cursor(plain.document());
        cursor.beginEditBlock();
        QTextBlockFormat newPage;
        newPage.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        for (int row = 0; row < rows; ++row) {
            if (row > 0)
                cursor.insertBlock(newPage);
            cursor.insertText(letters.at(row));
        }
        cursor.endEditBlock();
    }
    letters.clear();
    const QString exported = dir.filePath(QStringLiteral("exported.pdf"));
    const double baseline = bestOnTheClock("baseline: Export as PDF of the same pages", [&] {
        QString error;
        if (!lw::ExportPdf(plain, page.layout, exported, QStringLiteral("bench"), 720, 720, 720,
                           720, &error)) {
            std::fprintf(stderr, "the export failed: %s\n", qPrintable(error));
            std::exit(2);
        }
    });
    std::printf("  PDF sizes: merged %.1f MB, exported %.1f MB\n",
                QFileInfo(pdf).size() / 1048576.0, QFileInfo(exported).size() / 1048576.0);

    const QString count = QLocale(QLocale::English).toString(rows);
    const QString baselineName = QStringLiteral("Export as PDF of %1 pages").arg(count);
    bool pass = bench::ratioRow(QStringLiteral("Mail merge of %1 letters into one PDF").arg(count),
                                mergedPdf, baseline, 1.5, baselineName);
    pass &= bench::ratioRow(QStringLiteral("Mail merge of %1 letters into text files").arg(count),
                            mergedText, baseline, 1.5, baselineName);
    const double growth = allPeak / fewerPeak;
    pass &= bench::row(
        QStringLiteral("Mail merge peak memory, %1 letters").arg(count), bench::megabytes(allPeak),
        QStringLiteral("%1 at %2 letters")
            .arg(bench::megabytes(fewerPeak), QLocale(QLocale::English).toString(rows / 10)),
        growth, QStringLiteral("<= 1.2x"), growth <= 1.2);
    return pass ? 0 : 1;
}
