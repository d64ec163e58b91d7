#include "DocumentDescription.h"
#include "SampleDocuments.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QtTest>
#include <functional>
#include <memory>

using lw::readRtf;
using lw::writeRtf;

Q_DECLARE_METATYPE(Build)

namespace {

QFont baseFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(10);
    return font;
}

std::unique_ptr<QTextDocument> newDocument()
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setDefaultFont(baseFont());
    return doc;
}

std::unique_ptr<QTextDocument> read(const QByteArray& rtf)
{
    auto doc = newDocument();
    QTextCursor cursor(doc.get());
    readRtf(rtf, cursor);
    return doc;
}

} // namespace

class RtfWriterTest : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void corpusRoundTrip_data();
    void corpusRoundTrip();
    void writesForOtherReaders_data();
    void writesForOtherReaders();
    void largePictureIsScaled_data();
    void largePictureIsScaled();
    void emptyDocument();
    void pandocReadsTheLetter();
};

void RtfWriterTest::roundTrip_data()
{
    QTest::addColumn<Build>("build");

    for (const SampleDocument& sample : sampleDocuments())
        QTest::newRow(sample.name) << sample.build;
}

void RtfWriterTest::roundTrip()
{
    QFETCH(Build, build);
    auto doc = newDocument();
    build(*doc);
    const QByteArray written = writeRtf(*doc);
    const auto back = read(written);
    QCOMPARE(describeDocument(*back), describeDocument(*doc));
    // Written again, the document gives the same file: nothing drifts from save to save.
    QCOMPARE(writeRtf(*back), written);
}

void RtfWriterTest::corpusRoundTrip_data()
{
    QTest::addColumn<QString>("path");
    for (const QString& folder :
         {QStringLiteral(LW_FUZZ_CORPUS_DIR "/rtf"), QStringLiteral(LW_FIXTURES_DIR "/rtf")}) {
        QDirIterator files(folder, QDir::Files);
        while (files.hasNext()) {
            const QString path = files.next();
            QTest::newRow(qPrintable(QStringLiteral("nominal: ") + QDir(folder).dirName() + u'/' +
                                     QFileInfo(path).fileName()))
                << path;
        }
    }
}

// Whatever the reader makes of a file, the writer keeps: read, write and read gives the same.
void RtfWriterTest::corpusRoundTrip()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const auto first = read(file.readAll());
    const QByteArray written = writeRtf(*first);
    const auto second = read(written);
    QCOMPARE(describeDocument(*second), describeDocument(*first));
    QCOMPARE(writeRtf(*second), written);
}

void RtfWriterTest::writesForOtherReaders_data()
{
    QTest::addColumn<QString>("expected");
    QTest::newRow("nominal: the default font is the document's")
        << u"{\\fonttbl{\\f0\\fnil\\fcharset0 DejaVu Sans;}"_qs;
    QTest::newRow("nominal: every run has its font and size") << u"\\plain\\f0\\fs32\\b"_qs;
    QTest::newRow("nominal: Windows-1252 characters as hex") << u"M\\'fcller"_qs;
    QTest::newRow("nominal: other characters as \\u with a fallback") << u"\\u1040?"_qs;
    QTest::newRow("nominal: list table") << u"{\\*\\listtable"_qs;
    QTest::newRow("nominal: list paragraph") << u"\\ls1\\ilvl0"_qs;
    QTest::newRow("nominal: older bullets") << u"{\\*\\pn\\pnlvlblt"_qs;
    QTest::newRow("nominal: older numbers") << u"{\\*\\pn\\pnlvlbody\\pndec"_qs;
    QTest::newRow("nominal: number text for the simplest readers")
        << u"{\\listtext\\pard\\plain 1.\\tab}"_qs;
    QTest::newRow("nominal: picture as PNG") << u"{\\pict\\pngblip\\picw40\\pich20"_qs;
    QTest::newRow("nominal: hyperlink field")
        << u"{\\field{\\*\\fldinst{HYPERLINK \"https://example.com/shop\"}}{\\fldrslt"_qs;
    QTest::newRow("nominal: centred") << u"\\pard\\qc"_qs;
}

void RtfWriterTest::writesForOtherReaders()
{
    QFETCH(QString, expected);
    auto doc = newDocument();
    buildLetter(*doc);
    const QByteArray written = writeRtf(*doc);
    QVERIFY2(written.contains(expected.toLatin1()), written.constData());
    // Seven-bit text, lines of reasonable length.
    for (const char c : written)
        QVERIFY(uchar(c) < 0x80);
    for (const QByteArray& line : written.split('\n'))
        QVERIFY(line.size() < 1000);
}

void RtfWriterTest::largePictureIsScaled_data()
{
    QTest::addColumn<QSize>("pixels");
    QTest::addColumn<QSizeF>("shown");
    QTest::addColumn<int>("count");
    QTest::newRow("robustness: shown wider than 22 inches")
        << QSize(40, 10) << QSizeF(4000, 1000) << 1;
    QTest::newRow("robustness: more pixels than a reader decodes")
        << QSize(9000, 8000) << QSizeF(200, 150) << 1;
    QTest::newRow("robustness: many pictures, together too many pixels")
        << QSize(3000, 3000) << QSizeF(30, 30) << 9;
}

// A picture beyond what a reader takes is written smaller, never left out.
void RtfWriterTest::largePictureIsScaled()
{
    QFETCH(QSize, pixels);
    QFETCH(QSizeF, shown);
    QFETCH(int, count);
    auto doc = newDocument();
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QTextCursor cursor(doc.get());
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("big%1").arg(i);
        doc->addResource(QTextDocument::ImageResource, QUrl(name), image);
        QTextImageFormat format;
        format.setName(name);
        format.setWidth(shown.width());
        format.setHeight(shown.height());
        cursor.insertImage(format);
    }
    const auto back = read(writeRtf(*doc));
    int found = 0;
    for (auto it = back->begin().begin(); !it.atEnd(); ++it) {
        const QTextCharFormat format = it.fragment().charFormat();
        if (!format.isImageFormat())
            continue;
        found += it.fragment().length();
        const QTextImageFormat picture = format.toImageFormat();
        const double scale = std::min(
            {1.0, lw::rtfMaxTwips / (shown.width() * 15), lw::rtfMaxTwips / (shown.height() * 15)});
        QVERIFY(std::abs(picture.width() - shown.width() * scale) < 0.1);
        QVERIFY(std::abs(picture.height() - shown.height() * scale) < 0.1);
        const QImage read =
            back->resource(QTextDocument::ImageResource, QUrl(picture.name())).value<QImage>();
        QVERIFY(!read.isNull());
        QCOMPARE(read.pixel(read.width() / 2, read.height() / 2), QColor(Qt::darkCyan).rgb());
    }
    QCOMPARE(found, count);
}

void RtfWriterTest::emptyDocument()
{
    QTextDocument doc;
    const QByteArray written = writeRtf(doc);
    QVERIFY(lw::isRtf(written));
    const auto back = read(written);
    QCOMPARE(back->characterCount(), 1);
}

// An independent reader sees the letter as the editor shows it.
void RtfWriterTest::pandocReadsTheLetter()
{
    const QString pandoc = QStandardPaths::findExecutable(QStringLiteral("pandoc"));
    if (pandoc.isEmpty())
        QSKIP("pandoc is not installed");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    auto doc = newDocument();
    buildLetter(*doc);
    QFile file(dir.filePath(QStringLiteral("letter.rtf")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(writeRtf(*doc));
    file.close();

    QProcess process;
    process.start(pandoc, {QStringLiteral("-f"), QStringLiteral("rtf"), QStringLiteral("-t"),
                           QStringLiteral("html"), QStringLiteral("--wrap=none"), file.fileName()});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 0);
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    for (const QString& expected :
         {u"<strong>Order confirmation</strong>"_qs, u"Dear Mr Müller"_qs, u"<em>order</em>"_qs,
          u"12 €"_qs, u"<a href=\"https://example.com/shop\">"_qs, u"<li><p>apples</p></li>"_qs,
          u"<li><p>pears</p></li>"_qs, u"<li><p>first</p></li>"_qs, u"<img"_qs,
          u"Yours sincerely, Ана"_qs}) {
        QVERIFY2(html.contains(expected), qPrintable(expected + u"\n"_qs + html));
    }
    QVERIFY2(html.indexOf(u"<ul>"_qs) >= 0 && html.indexOf(u"<ol"_qs) > html.indexOf(u"<ul>"_qs),
             qPrintable(html));
}

QTEST_MAIN(RtfWriterTest)
#include "test_rtfwriter.moc"
