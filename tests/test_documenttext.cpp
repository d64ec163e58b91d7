#include "FileSizeLimit.h"
#include "formats/DocumentText.h"
#include "platform/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/wait.h>
#include <unistd.h>

using namespace lw;
using namespace Qt::StringLiterals;

class DocumentTextTest : public QObject
{
    Q_OBJECT

private slots:
    void decode_data();
    void decode();
    void decodeFormat_data();
    void decodeFormat();
    void encode_data();
    void encode();
    void encodeInFormat_data();
    void encodeInFormat();
    void fileRoundTrip_data();
    void fileRoundTrip();
    void textRoundTrip_data();
    void textRoundTrip();
    void bytesRoundTrip_data();
    void bytesRoundTrip();
    void windows1252Characters_data();
    void windows1252Characters();
    void longLinesBroken_data();
    void longLinesBroken();
    void writeFileSafely_data();
    void writeFileSafely();
    void writeFileSafelyFails_data();
    void writeFileSafelyFails();
    void writeCutShortFails_data();
    void writeCutShortFails();
    void writeInPlaceWhereOnlyTheFileIsWritable_data();
    void writeInPlaceWhereOnlyTheFileIsWritable();
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
    QTest::newRow("robustness: a stray Windows-1252 byte in UTF-8 keeps its character")
        << QByteArray("\xC3\xA9 \xE9") << u"é é"_s;
    QTest::newRow("robustness: stray bytes outnumbering the UTF-8 make Windows-1252")
        << QByteArray("\xC3\xA9 \xE9\xE8") << u"Ã© éè"_s;
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

void DocumentTextTest::decodeFormat_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<int>("lineBreak");
    const int w1252 = int(TextEncoding::Windows1252);
    const int utf8 = int(TextEncoding::Utf8);
    const int crlf = int(LineBreak::CrLf);
    const int lf = int(LineBreak::Lf);

    QTest::newRow("nominal: UTF-8 with LF")
        << QByteArray("Gr\xC3\xBC\xC3\x9F\nok\n") << u"Grüß\nok\n"_s << utf8 << lf;
    QTest::newRow("nominal: Windows-1252 with CR LF")
        << QByteArray("caf\xE9\r\n") << u"café\r\n"_s << w1252 << crlf;
    QTest::newRow("nominal: UTF-8 byte-order mark")
        << QByteArray("\xEF\xBB\xBFx\r\n") << u"x\r\n"_s << int(TextEncoding::Utf8WithBom) << crlf;
    QTest::newRow("nominal: UTF-16 little-endian")
        << QByteArray("\xFF\xFEh\0\xE9\0\n\0", 8) << u"hé\n"_s << int(TextEncoding::Utf16LE) << lf;
    QTest::newRow("nominal: UTF-16 big-endian")
        << QByteArray("\xFE\xFF\0h\0\r\0\n\x20\xAC", 10) << u"h\r\n€"_s
        << int(TextEncoding::Utf16BE) << crlf;
    QTest::newRow("edge: ASCII is Windows-1252") << QByteArray("a\nb") << u"a\nb"_s << w1252 << lf;
    QTest::newRow("edge: no line break is CR LF") << QByteArray("a") << u"a"_s << w1252 << crlf;
    QTest::newRow("edge: the first line break decides")
        << QByteArray("a\nb\r\nc") << u"a\nb\r\nc"_s << w1252 << lf;
    QTest::newRow("edge: byte-order mark twice keeps one as a character")
        << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx") << u"\uFEFFx"_s << int(TextEncoding::Utf8WithBom)
        << crlf;
    QTest::newRow("robustness: byte-order mark before stray bytes stays UTF-8")
        << QByteArray("\xEF\xBB\xBF\xE9t\xE9") << u"été"_s << int(TextEncoding::Utf8WithBom)
        << crlf;
    QTest::newRow("robustness: UTF-8 with a stray byte")
        << QByteArray("\xE2\x82\xAC 5\x80") << u"€ 5€"_s << utf8 << crlf;
    QTest::newRow("robustness: UTF-16 cut off in a character")
        << QByteArray("\xFF\xFEh\0i", 5) << u"h\uFFFD"_s << int(TextEncoding::Utf16LE) << crlf;
}

void DocumentTextTest::decodeFormat()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(int, encoding);
    QFETCH(int, lineBreak);
    const DecodedText decoded = decodeDocumentFile(bytes);
    QCOMPARE(decoded.text, text);
    QCOMPARE(int(decoded.format.encoding), encoding);
    QCOMPARE(int(decoded.format.lineBreak), lineBreak);
    QVERIFY(decoded.format.fromFile);
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

void DocumentTextTest::encodeInFormat_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<int>("lineBreak");
    QTest::addColumn<QByteArray>("bytes");
    const int lf = int(LineBreak::Lf);
    const int crlf = int(LineBreak::CrLf);

    QTest::newRow("nominal: UTF-8 stays UTF-8 where Windows-1252 would do")
        << u"Grüß\n"_s << int(TextEncoding::Utf8) << lf << QByteArray("Gr\xC3\xBC\xC3\x9F\n");
    QTest::newRow("nominal: line feeds stay line feeds")
        << u"a\nb\r\nc\u2029"_s << int(TextEncoding::Utf8) << lf << QByteArray("a\nb\nc\n");
    QTest::newRow("nominal: byte-order mark kept")
        << u"x"_s << int(TextEncoding::Utf8WithBom) << crlf << QByteArray("\xEF\xBB\xBFx");
    QTest::newRow("nominal: UTF-16 little-endian with its mark")
        << u"é\n"_s << int(TextEncoding::Utf16LE) << crlf
        << QByteArray("\xFF\xFE\xE9\0\r\0\n\0", 8);
    QTest::newRow("nominal: UTF-16 big-endian with its mark")
        << u"€"_s << int(TextEncoding::Utf16BE) << lf << QByteArray("\xFE\xFF\x20\xAC", 4);
    QTest::newRow("nominal: Windows-1252 stays Windows-1252")
        << u"café\n"_s << int(TextEncoding::Windows1252) << lf << QByteArray("caf\xE9\n");
    QTest::newRow("lossless: Windows-1252 that cannot hold a character becomes UTF-8")
        << u"café Ω"_s << int(TextEncoding::Windows1252) << crlf
        << QByteArray("caf\xC3\xA9 \xCE\xA9");
    QTest::newRow("lossless: Windows-1252 that would read as a UTF-16 mark becomes UTF-8")
        << u"ÿþa"_s << int(TextEncoding::Windows1252) << crlf
        << QByteArray("\xC3\xBF\xC3\xBE"
                      "a");
    QTest::newRow("edge: pictures left out in UTF-16")
        << u"a\uFFFCb"_s << int(TextEncoding::Utf16LE) << crlf
        << QByteArray("\xFF\xFE"
                      "a\0b\0",
                      6);
}

void DocumentTextTest::encodeInFormat()
{
    QFETCH(QString, text);
    QFETCH(int, encoding);
    QFETCH(int, lineBreak);
    QFETCH(QByteArray, bytes);
    TextFileFormat format;
    format.encoding = TextEncoding(encoding);
    format.lineBreak = LineBreak(lineBreak);
    format.fromFile = true;
    const QByteArray encoded = encodeDocumentText(text, format);
    QCOMPARE(encoded, bytes);
    // What was written reads back as the text, line breaks aside.
    QCOMPARE(decodeDocumentBytes(encoded).remove(u'\r'),
             QString(text).remove(u'\r').replace(u'\u2029', u'\n').remove(QChar(0xFFFC)));
}

void DocumentTextTest::fileRoundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("nominal: UTF-8, LF, final line break") << u"Grüße,\nAnna\n"_s.toUtf8();
    QTest::newRow("nominal: UTF-8, LF, no final line break") << u"Grüße,\nAnna"_s.toUtf8();
    QTest::newRow("nominal: UTF-8, CR LF") << u"Привет\r\n\r\nмир\r\n"_s.toUtf8();
    QTest::newRow("nominal: UTF-8 with byte-order mark")
        << QByteArray("\xEF\xBB\xBF") + u"é\n"_s.toUtf8();
    QTest::newRow("nominal: Windows-1252, CR LF") << QByteArray("Caf\xE9 \x80\r\nEnd\r\n");
    QTest::newRow("nominal: Windows-1252, LF") << QByteArray("Caf\xE9\nEnd");
    QTest::newRow("nominal: UTF-16 little-endian")
        << QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char*>(u"Ωmega\r\n"), 14);
    QTest::newRow("edge: empty") << QByteArray();
    QTest::newRow("edge: only line breaks") << QByteArray("\n\n");
    QTest::newRow("edge: blank lines at the end") << QByteArray("a\r\n\r\n\r\n");
}

// A file read and written back unedited is the same file.
void DocumentTextTest::fileRoundTrip()
{
    QFETCH(QByteArray, bytes);
    const DecodedText decoded = decodeDocumentFile(bytes);
    QCOMPARE(encodeDocumentText(decoded.text, decoded.format), bytes);
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

void DocumentTextTest::writeCutShortFails_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("robustness: a short letter") << 7;
    QTest::newRow("robustness: a long letter") << 64 * 1024;
}

// A disk that fills up in the middle of the write: the old file stays, and the reason is told.
void DocumentTextTest::writeCutShortFails()
{
    QFETCH(int, size);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"letter.txt"_s);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("old");
    }
    QString error;
    bool written = true;
    {
        test::FileSizeLimit limit(4);
        written = lw::writeFileSafely(path, QByteArray(size, 'x'), &error);
    }
    QVERIFY(!written);
    QCOMPARE(error, u"Cannot write %1: File too large"_s.arg(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("old"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"letter.txt"_s});
}

void DocumentTextTest::writeInPlaceWhereOnlyTheFileIsWritable_data()
{
    QTest::addColumn<bool>("inPlace");
    QTest::newRow("nominal: a document is written over the file itself") << true;
    QTest::newRow("robustness: a one-step write refuses") << false;
}

// A folder the user may not change, holding a file the user may write.
void DocumentTextTest::writeInPlaceWhereOnlyTheFileIsWritable()
{
    QFETCH(bool, inPlace);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath(u"shared"_s);
    QVERIFY(QDir().mkdir(folder));
    const QString path = folder + u"/letter.txt"_s;
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("old text");
    }
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther |
                                            QFile::WriteOther | QFile::ReadGroup |
                                            QFile::WriteGroup));
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                              QFile::ExeOther | QFile::ReadGroup |
                                              QFile::ExeGroup));
    QVERIFY(QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFile::ExeOther |
                                                  QFile::ExeGroup));
    const FileWrite mode = inPlace ? FileWrite::AtomicElseInPlace : FileWrite::Atomic;
    const QByteArray bytes("new text");
    int written = -1;
    if (geteuid() == 0) {
        // Folder permissions do not bind the superuser: write as an ordinary user.
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            if (setgid(65534) != 0 || setuid(65534) != 0)
                _exit(2);
            _exit(lw::writeFileSafely(path, bytes, nullptr, mode) ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QVERIFY2(WEXITSTATUS(status) != 2, "cannot switch to the user nobody");
        written = WEXITSTATUS(status) == 0;
    } else {
        QString error;
        written = lw::writeFileSafely(path, bytes, &error, mode);
        QCOMPARE(error.isEmpty(), bool(written));
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(written, int(inPlace));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), inPlace ? bytes : QByteArray("old text"));
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{u"letter.txt"_s});
}

QTEST_GUILESS_MAIN(DocumentTextTest)
void DocumentTextTest::longLinesBroken_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("broken");
    QTest::addColumn<int>("longest");
    const QString x = u"x"_s;
    QTest::newRow("nominal: short lines stay") << u"ab cd\r\nef"_s << u"ab cd\r\nef"_s << 5;
    QTest::newRow("nominal: after the last space")
        << u"aaaa bbbb cccc"_s << u"aaaa bbbb \ncccc"_s << 14;
    QTest::newRow("nominal: at the limit without a space near it")
        << x.repeated(25) << x.repeated(10) + u'\n' + x.repeated(10) + u'\n' + x.repeated(5) << 25;
    QTest::newRow("edge: exactly the limit stays") << x.repeated(10) << x.repeated(10) << 10;
    QTest::newRow("edge: each line on its own, its break kept")
        << x.repeated(12) + u"\r\n"_s + x.repeated(3) + u'\r' + x.repeated(11)
        << x.repeated(10) + u'\n' + u"xx\r\n"_s + x.repeated(3) + u'\r' + x.repeated(10) + u'\n' + x
        << 12;
    QTest::newRow("robustness: never inside a surrogate pair")
        << x.repeated(9) + u"😀y"_s << x.repeated(9) + u"\n😀y"_s << 12;
    QTest::newRow("robustness: never before a combining mark")
        << x.repeated(9) + u"e\u0301z"_s << x.repeated(9) + u"\ne\u0301z"_s << 12;
}

void DocumentTextTest::longLinesBroken()
{
    QFETCH(QString, text);
    QFETCH(QString, broken);
    QFETCH(int, longest);
    QCOMPARE(longestLine(text), qsizetype(longest));
    QCOMPARE(withLongLinesBroken(text, 10), broken);
}

#include "test_documenttext.moc"
