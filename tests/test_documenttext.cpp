#include "editor/DocumentText.h"
#include "platform/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace lw;
using namespace Qt::StringLiterals;

class DocumentTextTest : public QObject
{
    Q_OBJECT

private slots:
    void decode_data();
    void decode();
    void encode_data();
    void encode();
    void textRoundTrip_data();
    void textRoundTrip();
    void bytesRoundTrip_data();
    void bytesRoundTrip();
    void windows1252Characters_data();
    void windows1252Characters();
    void writeFileSafely_data();
    void writeFileSafely();
    void writeFileSafelyFails_data();
    void writeFileSafelyFails();
};

namespace {

// Every Windows-1252 byte from 1 to 255 except the line ends, which a file holds as CR LF.
QByteArray everyWindows1252Byte()
{
    QByteArray bytes;
    for (int byte = 1; byte < 256; ++byte) {
        if (byte != '\r' && byte != '\n')
            bytes += char(byte);
    }
    return bytes;
}

} // namespace

void DocumentTextTest::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("nominal: ASCII") << QByteArray("Dear Sir") << u"Dear Sir"_s;
    QTest::newRow("nominal: UTF-8")
        << QByteArray("Gr\xC3\xBC\xC3\x9F Gott \xE2\x82\xAC") << u"Grüß Gott €"_s;
    QTest::newRow("nominal: UTF-8 byte-order mark dropped") << QByteArray("\xEF\xBB\xBF"
                                                                          "caf\xC3\xA9")
                                                            << u"café"_s;
    QTest::newRow("nominal: Windows-1252 letters")
        << QByteArray("caf\xE9 M\xFCller") << u"café Müller"_s;
    QTest::newRow("nominal: Windows-1252 euro, quotes and dash")
        << QByteArray("\x80 5 \x93quoted\x94 \x96 \x85") << u"€ 5 “quoted” – …"_s;
    QTest::newRow("robustness: undefined Windows-1252 bytes are kept")
        << QByteArray("\x81\x8D\x8F\x90\x9D") << u"\u0081\u008D\u008F\u0090\u009D"_s;
    QTest::newRow("robustness: UTF-8 cut off at the end is Windows-1252")
        << QByteArray("ab\xC3") << u"abÃ"_s;
    QTest::newRow("robustness: overlong UTF-8 is Windows-1252")
        << QByteArray("\xC0\xAF") << u"À¯"_s;
    QTest::newRow("robustness: UTF-8 of a surrogate is Windows-1252")
        << QByteArray("\xED\xA0\x80") << u"í\u00A0€"_s;
    QTest::newRow("robustness: one bad byte makes the whole file Windows-1252")
        << QByteArray("\xC3\xA9 \xE9") << u"Ã© é"_s;
    QTest::newRow("edge: empty") << QByteArray() << QString();
    QTest::newRow("edge: byte-order mark alone") << QByteArray("\xEF\xBB\xBF") << QString();
    QTest::newRow("edge: line ends are left as they are")
        << QByteArray("a\r\nb\nc\rd") << u"a\r\nb\nc\rd"_s;
    QTest::newRow("edge: NUL byte") << QByteArray("a\0b", 3) << QString(u"a\0b"_s);
}

void DocumentTextTest::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(decodeDocumentBytes(bytes), text);
}

void DocumentTextTest::encode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("nominal: line feed becomes CR LF")
        << u"Dear Sir\nYours"_s << QByteArray("Dear Sir\r\nYours");
    QTest::newRow("nominal: Windows-1252 when every character has a byte")
        << u"café 5 € “x”"_s << QByteArray("caf\xE9 5 \x80 \x93x\x94");
    QTest::newRow("nominal: one non-Latin character makes UTF-8")
        << u"café Привет"_s
        << QByteArray("caf\xC3\xA9 \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82");
    QTest::newRow("nominal: pictures are left out") << u"a\uFFFCb\uFFFC"_s << QByteArray("ab");
    QTest::newRow("edge: CR LF is not doubled") << u"a\r\nb"_s << QByteArray("a\r\nb");
    QTest::newRow("edge: lone CR becomes CR LF") << u"a\rb"_s << QByteArray("a\r\nb");
    QTest::newRow("edge: paragraph and line separators become CR LF")
        << u"a\u2029b\u2028c"_s << QByteArray("a\r\nb\r\nc");
    QTest::newRow("edge: empty lines kept") << u"\n\na\n"_s << QByteArray("\r\n\r\na\r\n");
    QTest::newRow("edge: control characters of the undefined bytes")
        << u"\u0081\u009D"_s << QByteArray("\x81\x9D");
    QTest::newRow("edge: Windows-1252 bytes that read as UTF-8 are written as UTF-8")
        << u"Ã©"_s << QByteArray("\xC3\x83\xC2\xA9");
    QTest::newRow("edge: leading U+FEFF survives as a character")
        << u"\uFEFFx"_s << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx");
    QTest::newRow("edge: empty") << QString() << QByteArray();
}

void DocumentTextTest::encode()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(encodeDocumentText(text), bytes);
}

void DocumentTextTest::textRoundTrip_data()
{
    QTest::addColumn<QString>("text");

    QString windows1252;
    for (const char byte : everyWindows1252Byte())
        windows1252 += decodeDocumentBytes(QByteArray(1, byte));
    QTest::newRow("nominal: every Windows-1252 character") << windows1252;
    QTest::newRow("nominal: German letter") << u"Sehr geehrte Frau Müller,\r\nGrüße"_s;
    QTest::newRow("nominal: Cyrillic and Japanese") << u"Привет\r\n日本語 €"_s;
    QTest::newRow("nominal: characters outside the basic plane") << u"Smile 😀\r\n"_s;
    QTest::newRow("edge: text that looks like UTF-8 read as Windows-1252") << u"Ã© Ã¼"_s;
    QTest::newRow("edge: leading U+FEFF") << u"\uFEFFtext"_s;
    QTest::newRow("edge: leading byte-order-mark look-alike in Windows-1252") << u"ï»¿text"_s;
}

void DocumentTextTest::textRoundTrip()
{
    QFETCH(QString, text);
    QCOMPARE(decodeDocumentBytes(encodeDocumentText(text)), text);
}

void DocumentTextTest::bytesRoundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("nominal: Windows-1252 file, every byte")
        << everyWindows1252Byte() + "\r\nnext line\r\n";
    QTest::newRow("nominal: UTF-8 file with characters outside Windows-1252")
        << QByteArray("\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\r\n\xE2\x82\xAC");
    QTest::newRow("nominal: ASCII file") << QByteArray("Dear Sir,\r\n\r\nYours\r\n");
}

void DocumentTextTest::bytesRoundTrip()
{
    QFETCH(QByteArray, bytes);
    QCOMPARE(encodeDocumentText(decodeDocumentBytes(bytes)), bytes);
}

void DocumentTextTest::windows1252Characters_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<QString>("character");

    QTest::newRow("nominal: ASCII letter") << 0x41 << u"A"_s;
    QTest::newRow("nominal: euro sign") << 0x80 << u"€"_s;
    QTest::newRow("nominal: trade mark") << 0x99 << u"™"_s;
    QTest::newRow("nominal: Y with diaeresis") << 0x9F << u"Ÿ"_s;
    QTest::newRow("nominal: e acute") << 0xE9 << u"é"_s;
    QTest::newRow("nominal: last byte") << 0xFF << u"ÿ"_s;
    QTest::newRow("edge: undefined byte 0x81") << 0x81 << u"\u0081"_s;
    QTest::newRow("edge: undefined byte 0x9D") << 0x9D << u"\u009D"_s;
    QTest::newRow("edge: first symbol byte") << 0x01 << u"\u0001"_s;
}

void DocumentTextTest::windows1252Characters()
{
    QFETCH(int, byte);
    QFETCH(QString, character);
    QCOMPARE(windows1252Char(static_cast<unsigned char>(byte)), character);
}

void DocumentTextTest::writeFileSafely_data()
{
    QTest::addColumn<QByteArray>("old");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("nominal: new file") << QByteArray() << QByteArray("caf\xE9\r\n");
    QTest::newRow("nominal: replaces a longer file whole")
        << QByteArray(1000, 'x') << QByteArray("short");
    QTest::newRow("edge: empty content") << QByteArray("old") << QByteArray();
}

void DocumentTextTest::writeFileSafely()
{
    QFETCH(QByteArray, old);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"letter.txt"_s);
    if (!old.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(old);
    }
    QString error;
    QVERIFY(lw::writeFileSafely(path, bytes, &error));
    QVERIFY(error.isEmpty());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"letter.txt"_s});
}

void DocumentTextTest::writeFileSafelyFails_data()
{
    QTest::addColumn<QString>("relativePath");

    QTest::newRow("robustness: missing folder") << u"missing/letter.txt"_s;
    QTest::newRow("robustness: path is a folder") << u"folder"_s;
}

void DocumentTextTest::writeFileSafelyFails()
{
    QFETCH(QString, relativePath);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(u"folder"_s));
    const QString path = dir.filePath(relativePath);
    QString error;
    QVERIFY(!lw::writeFileSafely(path, "text", &error));
    QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
    QVERIFY(!lw::writeFileSafely(path, "text"));
    // Nothing was left behind: no file, no temporary file, the folder untouched.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{u"folder"_s});
    QVERIFY(QDir(dir.filePath(u"folder"_s))
                .isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

QTEST_GUILESS_MAIN(DocumentTextTest)
#include "test_documenttext.moc"
