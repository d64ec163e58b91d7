#include "DocumentDescription.h"
#include "SampleDocuments.h"
#include "formats/OpenDocument.h"

#include <QBuffer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentWriter>
#include <QXmlStreamReader>
#include <QtTest>
#include <memory>

using lw::readOdt;
using lw::writeOdt;

Q_DECLARE_METATYPE(Build)

class OpenDocumentTest : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void writesForOtherPrograms();
    void writesLargePackages();
    void writesWhatXmlCannotHold_data();
    void writesWhatXmlCannotHold();
    void listMarkersTakeTheTextsFont();
    void readsOtherWriters_data();
    void readsOtherWriters();
    void refusesDamagedFiles_data();
    void refusesDamagedFiles();
    void pandocReadsTheLetter();
};

namespace {

std::unique_ptr<QTextDocument> newDocument()
{
    auto doc = std::make_unique<QTextDocument>();
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(10);
    doc->setDefaultFont(font);
    return doc;
}

QByteArray written(const QTextDocument& doc)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QString error;
    if (!writeOdt(doc, buffer, &error))
        qWarning() << error;
    return bytes;
}

std::unique_ptr<QTextDocument> read(const QByteArray& odt, QString* error = nullptr)
{
    auto doc = newDocument();
    QTextCursor cursor(doc.get());
    if (!readOdt(odt, cursor, error))
        return nullptr;
    return doc;
}

// A zip archive of the given entries, stored without compression: an OpenDocument file as
// another program might write it.
QByteArray zipOf(const QList<std::pair<QByteArray, QByteArray>>& entries)
{
    QByteArray out;
    QByteArray central;
    const auto le16 = [](QByteArray& b, quint16 v) {
        b.append(char(v & 0xFF));
        b.append(char(v >> 8));
    };
    const auto le32 = [&](QByteArray& b, quint32 v) {
        le16(b, quint16(v & 0xFFFF));
        le16(b, quint16(v >> 16));
    };
    const auto crc32 = [](const QByteArray& data) {
        quint32 crc = 0xFFFFFFFF;
        for (const char byte : data) {
            crc ^= uchar(byte);
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc >> 1) ^ (0xEDB88320 & (0u - (crc & 1)));
        }
        return ~crc;
    };
    for (const auto& [name, data] : entries) {
        const quint32 offset = quint32(out.size());
        const quint32 crc = crc32(data);
        le32(out, 0x04034b50);
        le16(out, 10);
        le16(out, 0);
        le16(out, 0); // stored
        le16(out, 0);
        le16(out, 0);
        le32(out, crc);
        le32(out, quint32(data.size()));
        le32(out, quint32(data.size()));
        le16(out, quint16(name.size()));
        le16(out, 0);
        out += name;
        out += data;
        le32(central, 0x02014b50);
        le16(central, 20);
        le16(central, 10);
        le16(central, 0);
        le16(central, 0);
        le16(central, 0);
        le16(central, 0);
        le32(central, crc);
        le32(central, quint32(data.size()));
        le32(central, quint32(data.size()));
        le16(central, quint16(name.size()));
        le16(central, 0);
        le16(central, 0);
        le16(central, 0);
        le16(central, 0);
        le32(central, 0);
        le32(central, offset);
        central += name;
    }
    const quint32 centralOffset = quint32(out.size());
    out += central;
    le32(out, 0x06054b50);
    le16(out, 0);
    le16(out, 0);
    le16(out, quint16(entries.size()));
    le16(out, quint16(entries.size()));
    le32(out, quint32(central.size()));
    le32(out, centralOffset);
    le16(out, 0);
    return out;
}

const QByteArray mimetype = "application/vnd.oasis.opendocument.text";

QByteArray content(const QByteArray& styles, const QByteArray& body)
{
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"
 xmlns:xlink="http://www.w3.org/1999/xlink" office:version="1.3">
<office:automatic-styles>)" +
           styles + "</office:automatic-styles><office:body><office:text>" + body +
           "</office:text></office:body></office:document-content>";
}

} // namespace

void OpenDocumentTest::roundTrip_data()
{
    QTest::addColumn<Build>("build");
    for (const SampleDocument& sample : sampleDocuments()) {
        // An empty paragraph's own format is not in the file Qt's writer makes.
        if (!sample.emptyMarks)
            QTest::newRow(sample.name) << sample.build;
    }
}

void OpenDocumentTest::roundTrip()
{
    QFETCH(Build, build);
    auto doc = newDocument();
    build(*doc);
    const QStringList before = describeDocument(*doc);
    QString error;
    const auto back = read(written(*doc), &error);
    QVERIFY2(back, qPrintable(error));
    QCOMPARE(describeDocument(*back), before);
    // Writing leaves the document itself as it was.
    QCOMPARE(describeDocument(*doc), before);
    // What was read writes again as it shows: a second save loses nothing.
    const auto again = read(written(*back), &error);
    QVERIFY2(again, qPrintable(error));
    QCOMPARE(describeDocument(*again), before);
}

// Every run names its font and size in the file, and the document's default font is the
// default style, so that other programs show what the editor shows.
void OpenDocumentTest::writesForOtherPrograms()
{
    auto doc = newDocument();
    buildLetter(*doc);
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("letter.odt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(written(*doc));
    file.close();
    const auto part = [&](const QString& name) {
        QProcess unzip;
        unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), file.fileName(), name});
        unzip.waitForFinished(30000);
        return unzip.readAllStandardOutput();
    };
    if (QStandardPaths::findExecutable(QStringLiteral("unzip")).isEmpty())
        QSKIP("unzip is not installed");
    QHash<QString, QString> families;
    QStringList spanStyles;
    QXmlStreamReader content(part(QStringLiteral("content.xml")));
    QString style;
    while (!content.atEnd()) {
        content.readNext();
        if (!content.isStartElement())
            continue;
        const QXmlStreamAttributes a = content.attributes();
        if (content.name() == u"style")
            style = a.value(QStringLiteral("style:name")).toString();
        else if (content.name() == u"text-properties")
            families.insert(style, a.value(QStringLiteral("fo:font-family")).toString() + u' ' +
                                       a.value(QStringLiteral("fo:font-size")).toString());
        else if (content.name() == u"span" && a.hasAttribute(QStringLiteral("text:style-name")))
            spanStyles.append(a.value(QStringLiteral("text:style-name")).toString());
    }
    QVERIFY(!content.hasError());
    QVERIFY(spanStyles.size() >= 8);
    for (const QString& name : spanStyles) {
        const QString font = families.value(name);
        QVERIFY2(font == u"DejaVu Sans 10pt"_qs || font == u"DejaVu Sans 16pt"_qs,
                 qPrintable(name + u": "_qs + font));
    }
    const QByteArray styles = part(QStringLiteral("styles.xml"));
    QVERIFY2(styles.contains("fo:font-family=\"DejaVu Sans\" fo:font-size=\"10pt\""),
             styles.constData());
    QVERIFY(part(QStringLiteral("META-INF/manifest.xml")).contains("\"styles.xml\""));
    QVERIFY(part(QStringLiteral("mimetype")).startsWith("application/vnd.oasis.opendocument.text"));
}

// A photograph makes a package of megabytes, written and read like a small one.
void OpenDocumentTest::writesLargePackages()
{
    auto doc = newDocument();
    QImage noise(700, 500, QImage::Format_RGB32);
    quint32 seed = 12345;
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x) {
            seed = seed * 1103515245 + 12345;
            noise.setPixel(x, y, seed >> 8);
        }
    doc->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("photo")), noise);
    QTextCursor cursor(doc.get());
    cursor.insertText(QStringLiteral("Photo: "));
    QTextImageFormat photo;
    photo.setName(QStringLiteral("photo"));
    cursor.insertImage(photo);
    const QByteArray bytes = written(*doc);
    QVERIFY(bytes.size() > 1000 * 1000);
    QString error;
    const auto back = read(bytes, &error);
    QVERIFY2(back, qPrintable(error));
    QCOMPARE(describeDocument(*back), describeDocument(*doc));
}

void OpenDocumentTest::writesWhatXmlCannotHold_data()
{
    QTest::addColumn<QString>("text"); // HTML, or plain text after "plain:"
    QTest::addColumn<QStringList>("paragraphs");
    QTest::newRow("robustness: control characters of a text file are left out")
        << u"plain:a\u0001b\u000Cc\n😀 d"_qs << QStringList{u"abc"_qs, u"😀 d"_qs};
    QTest::newRow("robustness: a table's cells come out as paragraphs")
        << u"<p>before</p><table><tr><td>one</td><td>two</td></tr></table><p>after</p>"_qs
        << QStringList{u"before"_qs, u"one"_qs, u"two"_qs, u"after"_qs};
}

// A document whose text XML cannot hold, or with a table, still makes a file that opens.
void OpenDocumentTest::writesWhatXmlCannotHold()
{
    QFETCH(QString, text);
    QFETCH(QStringList, paragraphs);
    auto doc = newDocument();
    if (text.startsWith(u"plain:"_qs))
        doc->setPlainText(text.mid(6));
    else
        doc->setHtml(text);
    QString error;
    const auto back = read(written(*doc), &error);
    QVERIFY2(back, qPrintable(error));
    QStringList read;
    for (QTextBlock block = back->begin(); block.isValid(); block = block.next())
        if (!block.text().isEmpty())
            read << block.text();
    QCOMPARE(read, paragraphs);
}

// A bullet or number is drawn in its paragraph's own format: read back, it has the size and face of
// the text it stands before, not the document's default.
void OpenDocumentTest::listMarkersTakeTheTextsFont()
{
    auto doc = newDocument();
    QTextCursor cursor(doc.get());
    QTextCharFormat large;
    large.setFontFamilies({QStringLiteral("DejaVu Serif")});
    large.setFontPointSize(14);
    cursor.insertText(QStringLiteral("Heading"), large);
    for (const QString& item : {QStringLiteral("first"), QStringLiteral("second")}) {
        cursor.insertBlock(QTextBlockFormat(), large);
        if (!cursor.currentList())
            cursor.createList(QTextListFormat::ListDecimal);
        cursor.insertText(item, large);
    }
    QString error;
    const auto back = read(written(*doc), &error);
    QVERIFY2(back, qPrintable(error));
    QTextBlock block = back->firstBlock();
    QVERIFY(!block.textList());
    for (block = block.next(); block.isValid(); block = block.next()) {
        QVERIFY(block.textList());
        QCOMPARE(block.charFormat().fontPointSize(), 14.0);
        QCOMPARE(block.charFormat().fontFamilies().toStringList(),
                 QStringList{QStringLiteral("DejaVu Serif")});
    }
}

void OpenDocumentTest::readsOtherWriters_data()
{
    QTest::addColumn<QByteArray>("styles");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QStringList>("expected");

    const QByteArray bold = R"(<style:style style:name="T1" style:family="text">
        <style:text-properties fo:font-weight="bold" style:font-name="Face1"/></style:style>)";
    QTest::newRow("nominal: style inherited from its parent and a font face")
        << QByteArray(R"(<style:style style:name="Base" style:family="paragraph">
               <style:paragraph-properties fo:text-align="center"/>
               <style:text-properties fo:font-size="14pt" fo:color="#ff0000"/></style:style>
             <style:style style:name="P1" style:family="paragraph"
               style:parent-style-name="Base"><style:text-properties fo:font-style="italic"/>
             </style:style>)") +
               bold
        << QByteArray(
               R"(<text:p text:style-name="P1">a<text:span text:style-name="T1">b</text:span></text:p>)")
        << QStringList{u"paragraph centred"_qs, u"  DejaVu Sans 14 italic color:#ff0000: a"_qs,
                       u"  DejaVu Sans 14 bold italic color:#ff0000: b"_qs};
    QTest::newRow("nominal: blanks collapse, text:s and tabs keep theirs")
        << QByteArray()
        << QByteArray(
               "<text:p>a   b<text:s text:c=\"2\"/>c<text:tab/>d<text:line-break/>e</text:p>")
        << QStringList{u"paragraph"_qs, u"  DejaVu Sans 10: a b  c\td\u2028e"_qs};
    QTest::newRow("nominal: continued numbering")
        << QByteArray(R"x(<text:list-style style:name="L1"><text:list-level-style-number
               text:level="1" style:num-format="1" style:num-suffix=")"/></text:list-style>)x")
        << QByteArray(R"(<text:list text:style-name="L1"><text:list-item><text:p>a</text:p>
               </text:list-item></text:list><text:p>between</text:p>
               <text:list text:style-name="L1" text:continue-numbering="true"><text:list-item>
               <text:p>b</text:p></text:list-item></text:list>)")
        << QStringList{u"paragraph list A decimal level 1 item 1)"_qs,
                       u"  DejaVu Sans 10: a"_qs,
                       u"paragraph"_qs,
                       u"  DejaVu Sans 10: between"_qs,
                       u"paragraph list A decimal level 1 item 2)"_qs,
                       u"  DejaVu Sans 10: b"_qs};
    QTest::newRow("nominal: notes and annotations are no text")
        << QByteArray() << QByteArray(R"(<text:p>a<text:note><text:note-body><text:p>note</text:p>
               </text:note-body></text:note>b<text:date>3 May</text:date></text:p>)")
        << QStringList{u"paragraph"_qs, u"  DejaVu Sans 10: ab3 May"_qs};
    QTest::newRow("robustness: style that is its own parent")
        << QByteArray(R"(<style:style style:name="P1" style:family="paragraph"
               style:parent-style-name="P1"><style:paragraph-properties fo:text-align="end"/>
               </style:style>)")
        << QByteArray(R"(<text:p text:style-name="P1">a</text:p>)")
        << QStringList{u"paragraph right"_qs, u"  DejaVu Sans 10: a"_qs};
    QTest::newRow("robustness: picture missing from the archive is left out")
        << QByteArray()
        << QByteArray(R"(<text:p>a<draw:frame svg:width="1in" svg:height="1in"><draw:image
               xlink:href="Pictures/none.png"/></draw:frame>b</text:p>)")
        << QStringList{u"paragraph"_qs, u"  DejaVu Sans 10: ab"_qs};
    QTest::newRow("robustness: lists nested deeper than a document holds")
        << QByteArray()
        << QByteArray(QByteArray("<text:list><text:list-item>").repeated(20) +
                      "<text:p>deep</text:p>" +
                      QByteArray("</text:list-item></text:list>").repeated(20))
        << QStringList{u"paragraph list A disc level 9 item ."_qs, u"  DejaVu Sans 10: deep"_qs};
}

void OpenDocumentTest::readsOtherWriters()
{
    QFETCH(QByteArray, styles);
    QFETCH(QByteArray, body);
    QFETCH(QStringList, expected);
    const QByteArray stylesXml = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document-styles xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0">
<office:font-face-decls><style:font-face style:name="Face1" svg:font-family="'DejaVu Sans'"/>
</office:font-face-decls></office:document-styles>)";
    const QByteArray file = zipOf({{"mimetype", mimetype},
                                   {"styles.xml", stylesXml},
                                   {"content.xml", content(styles, body)}});
    QString error;
    const auto doc = read(file, &error);
    QVERIFY2(doc, qPrintable(error));
    QCOMPARE(describeDocument(*doc), expected);
}

void OpenDocumentTest::refusesDamagedFiles_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("error");
    const QByteArray good = content({}, "<text:p>text</text:p>");
    QTest::newRow("robustness: not an archive")
        << QByteArray("plain text") << u"it is not an OpenDocument file."_qs;
    QTest::newRow("robustness: empty") << QByteArray() << u"it is not an OpenDocument file."_qs;
    QTest::newRow("robustness: archive cut short")
        << zipOf({{"mimetype", mimetype}, {"content.xml", good}}).left(60)
        << u"it is not an OpenDocument file."_qs;
    QTest::newRow("robustness: spreadsheet")
        << zipOf({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                  {"content.xml", good}})
        << u"it is not an OpenDocument text."_qs;
    QTest::newRow("robustness: no content")
        << zipOf({{"mimetype", mimetype}}) << u"its text cannot be read."_qs;
    QTest::newRow("robustness: content is not well formed")
        << zipOf({{"mimetype", mimetype}, {"content.xml", good.left(good.size() - 20)}})
        << u"its text is damaged."_qs;
    QTest::newRow("robustness: protected with a password")
        << zipOf({{"mimetype", mimetype},
                  {"META-INF/manifest.xml", "<manifest:encryption-data/>"},
                  {"content.xml", "\x01\x02garbage"}})
        << u"it is protected with a password."_qs;
}

// A file that cannot be read changes nothing at the cursor.
void OpenDocumentTest::refusesDamagedFiles()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, error);
    auto doc = newDocument();
    QTextCursor cursor(doc.get());
    cursor.insertText(QStringLiteral("kept"));
    QString reason;
    QVERIFY(!readOdt(file, cursor, &reason));
    QCOMPARE(reason, error);
    QCOMPARE(doc->toPlainText(), u"kept"_qs);
}

// pandoc's reader shows no picture of an OpenDocument file Qt's writer made; the words, styles,
// link and lists it reads.
void OpenDocumentTest::pandocReadsTheLetter()
{
    const QString pandoc = QStandardPaths::findExecutable(QStringLiteral("pandoc"));
    if (pandoc.isEmpty())
        QSKIP("pandoc is not installed");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    auto doc = newDocument();
    buildLetter(*doc);
    QFile file(dir.filePath(QStringLiteral("letter.odt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(written(*doc));
    file.close();
    QProcess process;
    process.start(pandoc, {QStringLiteral("-f"), QStringLiteral("odt"), QStringLiteral("-t"),
                           QStringLiteral("html"), QStringLiteral("--wrap=none"), file.fileName()});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 0);
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    for (const QString& expected :
         {u"<strong>Order confirmation</strong>"_qs, u"Dear Mr Müller"_qs, u"<em>order</em>"_qs,
          u"<a href=\"https://example.com/shop\">"_qs, u"apples"_qs, u"second"_qs,
          u"Yours sincerely, Ана"_qs}) {
        QVERIFY2(html.contains(expected), qPrintable(expected + u"\n"_qs + html));
    }
    QVERIFY2(html.contains(u"<ul>"_qs) && html.contains(u"<ol"_qs), qPrintable(html));
}

QTEST_MAIN(OpenDocumentTest)
#include "test_opendocument.moc"
