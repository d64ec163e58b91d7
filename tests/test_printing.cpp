#include "FakeServices.h"
#include "PdfFile.h"
#include "editor/LetterEditor.h"
#include "editor/PrintRichText.h"
#include "platform/QtServices.h"
#include "utilities/cDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTimer>
#include <QUuid>

Q_DECLARE_METATYPE(lw::PageRect)

using namespace lw;

namespace {

constexpr int halfInch = 720;
constexpr qreal pointsPerTwip = 1.0 / 20;
// pdftotext reports a word's box from its font's ascent and descent, a little apart from the
// line box the editor lays out.
constexpr qreal lineTolerance = 2.0;

QStringList numberedLines(int count)
{
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines.append(QStringLiteral("Line %1").arg(i));
    return lines;
}

QString numberedText(int count)
{
    return numberedLines(count).join(u'\n');
}

// Enough numbered lines for about `pages` pages between half-inch margins.
int linesForPages(double pages, const LetterEditor& box, QPrinter& printer)
{
    const QFontMetricsF metrics(box.document()->defaultFont(), &printer);
    const qreal drawHeight =
        printer.paperRect(QPrinter::DevicePixel).height() - 2.0 * printer.logicalDpiY() / 2;
    return int(pages * drawHeight / metrics.height());
}

QPrinter& currentPrinter()
{
    return services().printers->currentPrinter();
}

QString printedFile()
{
    return static_cast<test::FakePrinters*>(services().printers)->outputPath();
}

int printHalfInch(LetterEditor& box)
{
    return PrintRichText(box, currentPrinter(), halfInch, halfInch, halfInch, halfInch);
}

// The CUPS queue that writes PDF files, when this machine has one.
QPrinterInfo cupsPdfQueue()
{
    const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
    for (const QPrinterInfo& printer : printers) {
        if (printer.makeAndModel().contains(QLatin1String("CUPS-PDF"), Qt::CaseInsensitive))
            return printer;
    }
    return {};
}

QString cupsOutput(const QString& folder, const QString& title)
{
    const QStringList found =
        QDir(folder).entryList({title + QStringLiteral("*.pdf")}, QDir::Files, QDir::Name);
    return found.isEmpty() ? QString() : QDir(folder).filePath(found.constFirst());
}

} // namespace

class PrintingTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void drawRectangleArithmetic_data();
    void drawRectangleArithmetic();
    void guttersFromPrintableArea_data();
    void guttersFromPrintableArea();
    void pagesOfDocument_data();
    void pagesOfDocument();
    void textStartsAtMargins_data();
    void textStartsAtMargins();
    void noRoomEndsJob_data();
    void noRoomEndsJob();
    void printSetupReachesJob_data();
    void printSetupReachesJob();
    void formattingPrintsAsShown();
    void indentPrintsAtItsWidth();
    void pictureTakenFromAnotherEditorPrints();
    void editorLeftUntouched();
    void printerThatCannotOpenPrintsNothing();
    void unusedPrintFileKeepsEarlierPrints_data();
    void unusedPrintFileKeepsEarlierPrints();
    void printCommandTellsWherePdfWent_data();
    void printCommandTellsWherePdfWent();
    void noInstalledPrinterPrintsToFiles();
    void printsThroughCupsQueue();
    void previewPrintButtonAsksFirst_data();
    void previewPrintButtonAsksFirst();

private:
    std::unique_ptr<test::FakePlatform> platform;
};

void PrintingTest::initTestCase()
{
    QVERIFY2(test::PdfFile::toolsAvailable(), "the printing tests read PDFs with poppler-utils");
}

void PrintingTest::init()
{
    platform = std::make_unique<test::FakePlatform>();
}

void PrintingTest::cleanup()
{
    platform.reset();
}

void PrintingTest::drawRectangleArithmetic_data()
{
    QTest::addColumn<QSize>("paper");
    QTest::addColumn<QPoint>("gutter");
    QTest::addColumn<int>("margin");
    QTest::addColumn<PageRect>("expected");

    QTest::newRow("nominal: half-inch margins, quarter-inch offsets")
        << QSize(11900, 16840) << QPoint(360, 360) << 720 << PageRect{360, 360, 10820, 15760};
    QTest::newRow("nominal: no offsets")
        << QSize(12240, 15840) << QPoint(0, 0) << 720 << PageRect{720, 720, 11520, 15120};
    QTest::newRow("edge: margins smaller than the offsets")
        << QSize(11900, 16840) << QPoint(360, 480) << 200 << PageRect{-160, -280, 11340, 16160};
    QTest::newRow("edge: margins wider than the paper")
        << QSize(11900, 16840) << QPoint(0, 0) << 6000 << PageRect{6000, 6000, 5900, 10840};
}

void PrintingTest::drawRectangleArithmetic()
{
    QFETCH(QSize, paper);
    QFETCH(QPoint, gutter);
    QFETCH(int, margin);
    QFETCH(PageRect, expected);
    const PageRect draw = drawRectangle(paper, gutter, margin, margin, margin, margin);
    QCOMPARE(draw.left, expected.left);
    QCOMPARE(draw.top, expected.top);
    QCOMPARE(draw.right, expected.right);
    QCOMPARE(draw.bottom, expected.bottom);
}

void PrintingTest::guttersFromPrintableArea_data()
{
    QTest::addColumn<QMarginsF>("marginsInPoints");
    QTest::addColumn<QPoint>("expected");

    QTest::newRow("nominal: quarter-inch offsets") << QMarginsF(18, 18, 18, 18) << QPoint(360, 360);
    QTest::newRow("nominal: different offsets across and down")
        << QMarginsF(9, 36, 18, 18) << QPoint(180, 720);
    QTest::newRow("edge: printable area is the whole paper")
        << QMarginsF(0, 0, 0, 0) << QPoint(0, 0);
}

void PrintingTest::guttersFromPrintableArea()
{
    QFETCH(QMarginsF, marginsInPoints);
    QFETCH(QPoint, expected);
    QPrinter& printer = currentPrinter();
    QVERIFY(printer.setPageMargins(marginsInPoints, QPageLayout::Point));
    QCOMPARE(printerGutters(printer), expected);
}

void PrintingTest::pagesOfDocument_data()
{
    QTest::addColumn<double>("pagesOfText");
    QTest::addColumn<int>("expectedPages");

    QTest::newRow("edge: empty document") << 0.0 << 1;
    QTest::newRow("nominal: one page of text") << 0.6 << 1;
    QTest::newRow("nominal: three pages of text") << 2.5 << 3;
    QTest::newRow("robustness: many pages, no drift at the page ends") << 39.5 << 40;
}

void PrintingTest::pagesOfDocument()
{
    QFETCH(double, pagesOfText);
    QFETCH(int, expectedPages);
    LetterEditor box;
    const int lines = linesForPages(pagesOfText, box, currentPrinter());
    box.setText(numberedText(lines));

    QCOMPARE(printHalfInch(box), expectedPages);

    const test::PdfFile pdf(printedFile());
    QCOMPARE(pdf.pageCount(), expectedPages);
    // Every line printed once, in order, none lost or doubled where a page ends.
    QStringList printed;
    for (int page = 1; page <= expectedPages; ++page) {
        const QStringList onPage = pdf.lines(page);
        if (lines > 0)
            QVERIFY2(!onPage.isEmpty(), qPrintable(QStringLiteral("page %1 is blank").arg(page)));
        printed += onPage;
    }
    QCOMPARE(printed, numberedLines(lines));
}

void PrintingTest::textStartsAtMargins_data()
{
    QTest::addColumn<qreal>("offsetPoints");
    QTest::addColumn<int>("margin");

    QTest::newRow("nominal: quarter-inch physical offsets") << 18.0 << halfInch;
    QTest::newRow("nominal: no physical offsets") << 0.0 << halfInch;
    QTest::newRow("edge: margins smaller than the offsets") << 36.0 << 360;
}

void PrintingTest::textStartsAtMargins()
{
    QFETCH(qreal, offsetPoints);
    QFETCH(int, margin);
    QPrinter& printer = currentPrinter();
    const QMarginsF offsets(offsetPoints, offsetPoints, offsetPoints, offsetPoints);
    QVERIFY(printer.setPageMargins(offsets, QPageLayout::Point));
    LetterEditor box;
    box.setText(QStringLiteral("Dear Sir,\n") +
                QStringLiteral("we write to confirm the order placed last week. ").repeated(20));

    QCOMPARE(PrintRichText(box, printer, margin, margin, margin, margin), 1);

    const QList<test::PdfWord> words = test::PdfFile(printedFile()).words(1);
    QVERIFY(words.size() > 20);
    const qreal marginPoints = margin * pointsPerTwip;
    QCOMPARE(words.constFirst().text, QStringLiteral("Dear"));
    QVERIFY2(qAbs(words.constFirst().box.left() - marginPoints) < 0.5,
             qPrintable(QString::number(words.constFirst().box.left())));
    QVERIFY2(qAbs(words.constFirst().box.top() - marginPoints) < lineTolerance,
             qPrintable(QString::number(words.constFirst().box.top())));
    // The long paragraph wraps inside the right margin, back at the left one.
    const qreal paperWidth = printer.paperRect(QPrinter::Point).width();
    qreal rightmost = 0;
    int lineStarts = 0;
    for (const test::PdfWord& word : words) {
        rightmost = std::max(rightmost, word.box.right());
        if (qAbs(word.box.left() - marginPoints) < 0.5)
            ++lineStarts;
    }
    QVERIFY2(rightmost <= paperWidth - marginPoints + 0.5, qPrintable(QString::number(rightmost)));
    QVERIFY(rightmost > paperWidth / 2);
    QVERIFY(lineStarts >= 3);
}

void PrintingTest::noRoomEndsJob_data()
{
    QTest::addColumn<int>("side");
    QTest::addColumn<int>("topAndBottom");

    QTest::newRow("robustness: side margins wider than the paper") << 6000 << halfInch;
    QTest::newRow("robustness: top and bottom margins taller than the paper") << halfInch << 9000;
}

void PrintingTest::noRoomEndsJob()
{
    QFETCH(int, side);
    QFETCH(int, topAndBottom);
    LetterEditor box;
    box.setText(numberedText(10));

    QCOMPARE(PrintRichText(box, currentPrinter(), side, topAndBottom, side, topAndBottom), 1);

    const test::PdfFile pdf(printedFile());
    QCOMPARE(pdf.pageCount(), 1);
    QVERIFY(pdf.lines(1).isEmpty());
}

void PrintingTest::printSetupReachesJob_data()
{
    QTest::addColumn<int>("copies");
    QTest::addColumn<bool>("collate");
    QTest::addColumn<QPageLayout::Orientation>("orientation");
    QTest::addColumn<QPageSize::PageSizeId>("paper");
    QTest::addColumn<QString>("pageOrder");
    QTest::addColumn<QSizeF>("pageSize");

    QTest::newRow("nominal: two collated copies")
        << 2 << true << QPageLayout::Portrait << QPageSize::A4 << "ABAB" << QSizeF(595, 842);
    QTest::newRow("nominal: two uncollated copies")
        << 2 << false << QPageLayout::Portrait << QPageSize::A4 << "AABB" << QSizeF(595, 842);
    QTest::newRow("nominal: landscape")
        << 1 << true << QPageLayout::Landscape << QPageSize::A4 << "AB" << QSizeF(842, 595);
    QTest::newRow("nominal: letter paper")
        << 1 << true << QPageLayout::Portrait << QPageSize::Letter << "AB" << QSizeF(612, 792);
}

void PrintingTest::printSetupReachesJob()
{
    QFETCH(int, copies);
    QFETCH(bool, collate);
    QFETCH(QPageLayout::Orientation, orientation);
    QFETCH(QPageSize::PageSizeId, paper);
    QFETCH(QString, pageOrder);
    QFETCH(QSizeF, pageSize);
    platform->dialogs.printerAnswers.push_back([&](PrinterSettings& settings) {
        settings.copies = copies;
        settings.orientation = orientation;
        settings.pageSize = QPageSize(paper);
    });
    cDialog().ShowPrinter();
    // Collation is the printer's own setting, which the dialog leaves as it was.
    currentPrinter().setCollateCopies(collate);
    LetterEditor box;
    box.setText(numberedText(linesForPages(1.5, box, currentPrinter())));

    QCOMPARE(printHalfInch(box), 2);

    const test::PdfFile pdf(printedFile());
    QCOMPARE(pdf.pageCount(), int(pageOrder.size()));
    const QSizeF printedSize = pdf.pageSize();
    QVERIFY2(
        qAbs(printedSize.width() - pageSize.width()) < 1 &&
            qAbs(printedSize.height() - pageSize.height()) < 1,
        qPrintable(QStringLiteral("%1 x %2").arg(printedSize.width()).arg(printedSize.height())));
    for (int i = 0; i < pageOrder.size(); ++i) {
        for (int j = i + 1; j < pageOrder.size(); ++j) {
            const bool same = pdf.text(i + 1) == pdf.text(j + 1);
            QCOMPARE(same, pageOrder.at(i) == pageOrder.at(j));
        }
    }
}

void PrintingTest::formattingPrintsAsShown()
{
    LetterEditor box;
    box.setText(QStringLiteral("Plain and bold\nFirst point\nSecond point\n"));
    box.setSelStart(10);
    box.setSelLength(4);
    box.setSelBold(true);
    box.setSelStart(box.lineIndex(1));
    box.setSelLength(box.lineIndex(2) + 3 - box.lineIndex(1));
    box.setSelNumbering(true);
    QImage picture(96, 48, QImage::Format_RGB32);
    picture.fill(Qt::darkBlue);
    box.document()->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("picture:1")),
                                picture);
    QTextImageFormat image;
    image.setName(QStringLiteral("picture:1"));
    QTextCursor end(box.document());
    end.movePosition(QTextCursor::End);
    end.insertImage(image);

    QCOMPARE(printHalfInch(box), 1);

    const test::PdfFile pdf(printedFile());
    const QStringList lines = pdf.lines(1);
    QVERIFY2(lines.contains(QStringLiteral("Plain and bold")), qPrintable(lines.join(u'|')));
    QVERIFY2(lines.contains(QStringLiteral("1. First point")) ||
                 (lines.contains(QStringLiteral("1.")) && lines.contains(QStringLiteral("2."))),
             qPrintable(lines.join(u'|')));
    const QStringList fonts = pdf.fonts();
    QVERIFY2(fonts.filter(QStringLiteral("Bold")).size() == 1, qPrintable(fonts.join(u' ')));
    QCOMPARE(pdf.images(), QList<QSize>{QSize(96, 48)});
}

void PrintingTest::indentPrintsAtItsWidth()
{
    LetterEditor box;
    box.setText(QStringLiteral("Flush\nIndented\nFlushed"));
    box.setSelStart(box.lineIndex(1));
    box.setSelIndent(1440);

    QCOMPARE(printHalfInch(box), 1);

    QList<qreal> lefts;
    const QList<test::PdfWord> words = test::PdfFile(printedFile()).words(1);
    for (const test::PdfWord& word : words)
        lefts.append(std::round(word.box.left()));
    // Half an inch of margin, and an inch of indent for the second paragraph.
    QCOMPARE(lefts, (QList<qreal>{36, 108, 36}));
}

void PrintingTest::pictureTakenFromAnotherEditorPrints()
{
    // Insert Text File: the hidden editor loads a file with a picture, its content is cut and
    // pasted into the editor, and the hidden editor is emptied.
    auto source = std::make_unique<LetterEditor>();
    source->setText(QStringLiteral("With a picture: "));
    QImage picture(120, 60, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    QGuiApplication::clipboard()->setImage(picture);
    source->setSelStart(source->TextLength());
    source->paste();
    source->setSelStart(0);
    source->setSelLength(source->TextLength());
    source->cut();
    LetterEditor box;
    box.paste();
    source.reset();

    QCOMPARE(printHalfInch(box), 1);

    const test::PdfFile pdf(printedFile());
    QCOMPARE(pdf.lines(1), QStringList{QStringLiteral("With a picture:")});
    QCOMPARE(pdf.images(), QList<QSize>{QSize(120, 60)});
}

void PrintingTest::editorLeftUntouched()
{
    LetterEditor box;
    box.setText(numberedText(80));
    box.setSelStart(7);
    box.setSelLength(20);
    box.setSelBold(true);
    box.setSelStart(3);
    box.setSelLength(12);
    const QString html = box.document()->toHtml();
    const int undoSteps = box.document()->availableUndoSteps();
    QSignalSpy changes(&box, &LetterEditor::Change);

    QCOMPARE(printHalfInch(box), 2);

    QCOMPARE(box.document()->toHtml(), html);
    QCOMPARE(box.SelStart(), 3);
    QCOMPARE(box.SelLength(), 12);
    QCOMPARE(box.document()->availableUndoSteps(), undoSteps);
    QCOMPARE(changes.count(), 0);
}

void PrintingTest::printerThatCannotOpenPrintsNothing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString unreachable = dir.filePath(QStringLiteral("no such folder/printed.pdf"));
    currentPrinter().setOutputFileName(unreachable);
    LetterEditor box;
    box.setText(numberedText(5));

    QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    QCOMPARE(printHalfInch(box), 0);
    QVERIFY(!QFile::exists(unreachable));
    QCOMPARE(box.Text(), numberedText(5));
}

void PrintingTest::unusedPrintFileKeepsEarlierPrints_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("expected");

    QTest::newRow("nominal: first print") << QStringList() << "Letterwright.pdf";
    QTest::newRow("nominal: after two prints")
        << QStringList{"Letterwright.pdf", "Letterwright (2).pdf"} << "Letterwright (3).pdf";
    QTest::newRow("edge: a gap left by a deleted print")
        << QStringList{"Letterwright.pdf", "Letterwright (3).pdf"} << "Letterwright (2).pdf";
}

void PrintingTest::unusedPrintFileKeepsEarlierPrints()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const QString& name : existing) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QCOMPARE(QtPrinterService::unusedPrintFile(dir.path()), dir.filePath(expected));
}

void PrintingTest::printCommandTellsWherePdfWent_data()
{
    QTest::addColumn<bool>("toFiles");
    QTest::addColumn<bool>("writable");
    QTest::newRow("nominal: an installed printer, no word") << false << true;
    QTest::newRow("nominal: no printer, the PDF file named") << true << true;
    QTest::newRow("robustness: no printer, the PDF file not written") << true << false;
}

void PrintingTest::printCommandTellsWherePdfWent()
{
    QFETCH(bool, toFiles);
    QFETCH(bool, writable);
    platform->printers.toFiles = toFiles;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString output =
        writable ? printedFile() : dir.filePath(QStringLiteral("no such folder/Letterwright.pdf"));
    currentPrinter().setOutputFileName(output);
    LetterEditor box;
    box.setText(numberedText(3));
    if (toFiles && writable)
        platform->messages.expect(
            QStringLiteral("No printer is installed, so the letter was printed to the PDF file %1.")
                .arg(output),
            QStringLiteral("Notice"), MsgButtons::Ok, MsgIcon::Information);
    if (!writable) {
        QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
        platform->messages.expect(
            QStringLiteral("No printer is installed, and the PDF file %1 could not be written. "
                           "Nothing was printed.")
                .arg(output),
            QStringLiteral("Notice"), MsgButtons::Ok, MsgIcon::Exclamation);
    }
    PrintDocument(box, nullptr);
    QCOMPARE(QFile::exists(output), writable);
    if (writable)
        QCOMPARE(test::PdfFile(output).lines(1), numberedLines(3));
}

// A machine without printers: every print is a PDF file of its own in the documents folder.
void PrintingTest::noInstalledPrinterPrintsToFiles()
{
    QtPrinterService printers;
    if (!printers.installedPrinters().isEmpty())
        QSKIP("this machine has a printer installed");
    // The documents folder of a home of the test's own.
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QByteArray previousHome = qgetenv("HOME");
    const QByteArray previousConfig = qgetenv("XDG_CONFIG_HOME");
    const auto restore = qScopeGuard([&] {
        qputenv("HOME", previousHome);
        qputenv("XDG_CONFIG_HOME", previousConfig);
    });
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral(".config")).toUtf8());
    QVERIFY(printers.printsToFiles());
    const QString first = printers.currentPrinter().outputFileName();
    QCOMPARE(first, home.filePath(QStringLiteral("Documents/Letterwright.pdf")));
    QVERIFY(printers.printsToFiles());
    QCOMPARE(printers.currentPrinter().outputFileName(), first);
}

void PrintingTest::printsThroughCupsQueue()
{
    const QPrinterInfo queue = cupsPdfQueue();
    if (queue.isNull())
        QSKIP("no CUPS-PDF queue on this machine (scripts/start-cups sets one up)");
    // cups-pdf writes into the PDF folder of the job's owner.
    const QString folder =
        qEnvironmentVariable("LW_CUPS_PDF_DIR", QDir::home().filePath(QStringLiteral("PDF")));
    const QString title =
        QStringLiteral("lwtest") + QUuid::createUuid().toString(QUuid::Id128).left(16);
    QString produced;
    const auto removeOutput = qScopeGuard([&] {
        if (!produced.isEmpty())
            QFile::remove(produced);
    });
    QPrinter printer(queue, QPrinter::HighResolution);
    printer.setDocName(title);
    LetterEditor box;
    const int lines = linesForPages(1.5, box, printer);
    box.setText(numberedText(lines));

    QCOMPARE(PrintRichText(box, printer, halfInch, halfInch, halfInch, halfInch), 2);

    QTRY_VERIFY_WITH_TIMEOUT(!(produced = cupsOutput(folder, title)).isEmpty() &&
                                 test::PdfFile(produced).pageCount() == 2,
                             120000);
    const test::PdfFile pdf(produced);
    const QSizeF paper = printer.paperRect(QPrinter::Point).size();
    QVERIFY(qAbs(pdf.pageSize().width() - paper.width()) < 1);
    QVERIFY(qAbs(pdf.pageSize().height() - paper.height()) < 1);
    // The queue's PDF keeps the lines but not the letters' encoding: count them.
    QCOMPARE((pdf.lines(1) + pdf.lines(2)).size(), lines);
}

void PrintingTest::previewPrintButtonAsksFirst_data()
{
    QTest::addColumn<bool>("answer");

    QTest::newRow("nominal: yes goes on to the dialog's printing") << true;
    QTest::newRow("nominal: no closes the preview unprinted") << false;
}

void PrintingTest::previewPrintButtonAsksFirst()
{
    QFETCH(bool, answer);

    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("out.pdf")));
    QPrintPreviewDialog dialog(&printer);
    int asked = 0;
    QVERIFY(askBeforePrinting(dialog, [&] {
        ++asked;
        return answer;
    }));

    // The dialog's own print asks for the printer or the file next: that dialog showing up shows
    // the print went on. Close it unanswered.
    bool printDialogShown = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto* next = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (next && next != &dialog) {
            printDialogShown = true;
            next->reject();
        }
    });
    closer.start(10);
    QAction* print = nullptr;
    for (QAction* action : dialog.findChildren<QAction*>()) {
        if (action->text().remove(QLatin1Char('&')) == QLatin1String("Print"))
            print = action;
    }
    QVERIFY(print);
    dialog.setResult(-1);
    print->trigger();

    QCOMPARE(asked, 1);
    QCOMPARE(printDialogShown, answer);
    if (!answer)
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(!QFile::exists(printer.outputFileName()));
}

QTEST_MAIN(PrintingTest)
#include "test_printing.moc"
