#include "rtf/RtfReader.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QtTest>
#include <memory>

using lw::readRtf;

namespace {

// A small PNG, 8 by 6 red pixels, as RTF writes it: hex digits.
const QByteArray pngHex = "89504e470d0a1a0a0000000d4948445200000008000000060802000000716748ac0000"
                          "00114944415478da63f8cfc08015310ca4040033282fd137cc85ae0000000049454e"
                          "44ae426082";

quint32 crc32(const QByteArray& data)
{
    quint32 crc = 0xFFFFFFFF;
    for (const char byte : data) {
        crc ^= uchar(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320 & (0u - (crc & 1)));
    }
    return ~crc;
}

// A black-and-white PNG of the given size, one bit a pixel, all black.
QByteArray blankPng(quint32 width, quint32 height)
{
    const auto chunk = [](const QByteArray& type, const QByteArray& data) {
        QByteArray out;
        QDataStream stream(&out, QIODevice::WriteOnly);
        stream << quint32(data.size());
        stream.writeRawData(type.constData(), int(type.size()));
        stream.writeRawData(data.constData(), int(data.size()));
        stream << crc32(type + data);
        return out;
    };
    QByteArray header;
    QDataStream stream(&header, QIODevice::WriteOnly);
    stream << width << height << quint8(1) << quint8(0) << quint8(0) << quint8(0) << quint8(0);
    // Each row: filter byte 0, then the pixels. qCompress puts a length before the zlib data.
    const QByteArray rows(qsizetype(height) * (1 + (width + 7) / 8), '\0');
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) +
           chunk("IDAT", qCompress(rows).mid(4)) + chunk("IEND", {});
}

QByteArray rtf(const QByteArray& body)
{
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Times New Roman;}}"
           "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}" +
           body + "}";
}

std::unique_ptr<QTextDocument> read(const QByteArray& data)
{
    auto doc = std::make_unique<QTextDocument>();
    QTextCursor cursor(doc.get());
    readRtf(data, cursor);
    return doc;
}

std::unique_ptr<QTextDocument> readFixture(const QString& name)
{
    QFile file(QStringLiteral(LW_FIXTURES_DIR "/rtf/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    return read(file.readAll());
}

// The character format of the first character of the first occurrence of text.
QTextCharFormat charFormatOf(const QTextDocument& doc, const QString& text)
{
    const QTextCursor found = doc.find(text);
    if (found.isNull())
        return {};
    QTextCursor cursor = found;
    cursor.setPosition(found.selectionStart() + 1);
    return cursor.charFormat();
}

QTextBlock blockOf(const QTextDocument& doc, const QString& text)
{
    return doc.find(text).block();
}

QString listStyleName(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListDisc:
        return QStringLiteral("disc");
    case QTextListFormat::ListCircle:
        return QStringLiteral("circle");
    case QTextListFormat::ListSquare:
        return QStringLiteral("square");
    default:
        return QStringLiteral("number");
    }
}

// Each paragraph as "text" or "text <list>:<indent>:<bullet style or item text>", the lists named
// A, B, ... in order of appearance.
QStringList describeLists(const QTextDocument& doc)
{
    QStringList lines;
    QList<QTextList*> seen;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        QString line = block.text();
        if (QTextList* list = block.textList()) {
            if (!seen.contains(list))
                seen.append(list);
            const QTextListFormat format = list->format();
            const QString marker = format.style() == QTextListFormat::ListDisc ||
                                           format.style() == QTextListFormat::ListCircle ||
                                           format.style() == QTextListFormat::ListSquare
                                       ? listStyleName(format.style())
                                       : list->itemText(block);
            line += QStringLiteral(" %1:%2:%3")
                        .arg(QChar(char16_t(u'A' + seen.indexOf(list))))
                        .arg(format.indent())
                        .arg(marker);
        }
        lines.append(line);
    }
    return lines;
}

QList<QTextImageFormat> images(const QTextDocument& doc)
{
    QList<QTextImageFormat> found;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            // Equal images side by side share one fragment.
            if (it.fragment().charFormat().isImageFormat()) {
                for (int i = 0; i < it.fragment().length(); ++i)
                    found.append(it.fragment().charFormat().toImageFormat());
            }
        }
    }
    return found;
}

// The text with paragraphs ended by a line feed; unlike toPlainText(), no blanks and line
// separators are changed.
QString plainText(const QTextDocument& doc)
{
    return doc.toRawText().replace(QChar::ParagraphSeparator, u'\n');
}

QStringList paragraphs(const QTextDocument& doc)
{
    return plainText(doc).split(u'\n');
}

} // namespace

class RtfTest : public QObject
{
    Q_OBJECT

private slots:
    void detectsHeader_data();
    void detectsHeader();
    void text_data();
    void text();
    void textFromString();
    void charFormat_data();
    void charFormat();
    void blockFormat_data();
    void blockFormat();
    void pageBreak();
    void lists_data();
    void lists();
    void picture_data();
    void picture();
    void insertion_data();
    void insertion();
    void insertionIsOneUndoStep();
    void libreOfficeLetter();
    void libreOfficeLists();
    void pandocLetter();
    void abiWordLetter();
    void wordPadStyle();
    void truncatedFilesKeepEarlierParagraphs_data();
    void truncatedFilesKeepEarlierParagraphs();
};

void RtfTest::detectsHeader_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("expected");
    QTest::newRow("nominal: header") << QByteArray("{\\rtf1\\ansi hello}") << true;
    QTest::newRow("nominal: blanks and line breaks before")
        << QByteArray(" \r\n\t{\\rtf1 x}") << true;
    QTest::newRow("nominal: UTF-8 byte-order mark before")
        << QByteArray("\xEF\xBB\xBF{\\rtf1 x}") << true;
    QTest::newRow("robustness: plain text") << QByteArray("Dear Sir,") << false;
    QTest::newRow("robustness: empty") << QByteArray() << false;
    QTest::newRow("robustness: header in capitals") << QByteArray("{\\RTF1 x}") << false;
    QTest::newRow("robustness: header cut short") << QByteArray("{\\rt") << false;
    QTest::newRow("robustness: text before the header") << QByteArray("x{\\rtf1 }") << false;
}

void RtfTest::detectsHeader()
{
    QFETCH(QByteArray, data);
    QFETCH(bool, expected);
    QCOMPARE(lw::isRtf(data), expected);
    QCOMPARE(lw::isRtf(QString::fromLatin1(data)), expected);
}

void RtfTest::text_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("expected");

    QTest::newRow("nominal: words") << rtf("Dear Sir,") << u"Dear Sir,"_qs;
    QTest::newRow("nominal: the blank ending a control word is dropped")
        << rtf(R"(\b Bold\b0  plain)") << u"Bold plain"_qs;
    QTest::newRow("nominal: line breaks of the source are not text")
        << rtf("one\r\ntwo\nthree") << u"onetwothree"_qs;
    QTest::newRow("nominal: escaped braces and backslash") << rtf(R"(\{a\}\\b)") << u"{a}\\b"_qs;
    QTest::newRow("nominal: hex escapes in Windows-1252")
        << rtf(R"(caf\'e9 \'80 \'93q\'94)") << u"café € “q”"_qs;
    QTest::newRow("nominal: 8-bit bytes written raw") << rtf("caf\xe9") << u"café"_qs;
    QTest::newRow("nominal: document code page")
        << QByteArray(R"({\rtf1\ansi\ansicpg1251 \'cf\'f0\'e8\'e2\'e5\'f2})") << u"Привет"_qs;
    QTest::newRow("nominal: font charset chooses the code page")
        << rtf(R"(\f1\'cf\'f0\'e8\'e2\'e5\'f2\f0  caf\'e9)") << u"Привет café"_qs;
    QTest::newRow("nominal: font code page overrides its charset")
        << QByteArray(R"({\rtf1{\fonttbl{\f0\fcharset0\cpg1253 Arial;}}\f0\'e1\'e2})") << u"αβ"_qs;
    QTest::newRow("nominal: double-byte code page")
        << QByteArray(R"({\rtf1\ansi\ansicpg932 \'82\'a0\'82\'a2 ok})") << u"あい ok"_qs;
    QTest::newRow("nominal: mac code page") << QByteArray(R"({\rtf1\mac \'8e})") << u"é"_qs;
    QTest::newRow("nominal: unicode skips one fallback character")
        << rtf(R"(\u8364?5)") << u"€5"_qs;
    QTest::newRow("nominal: unicode skips a hex escape as one character")
        << rtf(R"(\u8364\'80 5)") << u"€ 5"_qs;
    QTest::newRow("nominal: uc0 skips nothing") << rtf(R"(\uc0\u8364 5)") << u"€5"_qs;
    QTest::newRow("nominal: uc2 skips two characters")
        << rtf(R"(\uc2\u21487\'b3\'a3!)") << u"可!"_qs;
    QTest::newRow("nominal: uc is local to its group")
        << rtf(R"({\uc2\u8364 ab}\u8364 cd)") << u"€€d"_qs;
    QTest::newRow("nominal: skipping ends at a group boundary")
        << rtf(R"({\uc3\u8364 a}bc)") << u"€bc"_qs;
    QTest::newRow("nominal: negative unicode") << rtf(R"(\u-223?)") << u"Ａ"_qs;
    QTest::newRow("nominal: surrogate pair")
        << rtf(R"(\u-10179?\u-8704?)") << QString::fromUcs4(U"\U0001F600");
    QTest::newRow("nominal: special characters")
        << rtf(R"(\emdash\endash\lquote\rquote\ldblquote\rdblquote\bullet\~\_\-)")
        << u"—–‘’“”•\u00A0\u2011\u00AD"_qs;
    QTest::newRow("nominal: tab") << rtf(R"(a\tab b)") << u"a\tb"_qs;
    QTest::newRow("nominal: line break") << rtf(R"(a\line b)") << u"a\u2028b"_qs;
    QTest::newRow("nominal: paragraphs") << rtf(R"(a\par b)") << u"a\nb"_qs;
    QTest::newRow("nominal: the last paragraph mark adds no empty paragraph")
        << rtf(R"(a\par b\par)") << u"a\nb"_qs;
    QTest::newRow("nominal: empty paragraphs are kept")
        << rtf(R"(a\par\par b\par)") << u"a\n\nb"_qs;
    QTest::newRow("nominal: backslash before a line break is a paragraph mark")
        << rtf("a\\\nb") << u"a\nb"_qs;
    QTest::newRow("nominal: section break adds no empty paragraph")
        << rtf(R"(a\par\sect b\sect c)") << u"a\nb\nc"_qs;
    QTest::newRow("nominal: table cells and rows")
        << rtf(R"(\trowd a\cell b\cell\row c)") << u"a\tb\t\nc"_qs;
    QTest::newRow("nominal: tables and style sheet are not text")
        << rtf(R"({\stylesheet{\s0 Normal;}}{\*\listtable{\list{\listlevel{\leveltext \'01x;}})"
               R"(\listid1}}{\listoverridetable{\listoverride\listid1\ls1}}Body)")
        << u"Body"_qs;
    QTest::newRow("nominal: unknown destination is skipped")
        << rtf(R"({\*\unheardof secret {nested}}shown)") << u"shown"_qs;
    QTest::newRow("nominal: unknown word keeps its group's text")
        << rtf(R"({\unheardof shown})") << u"shown"_qs;
    QTest::newRow("nominal: known word after the star is read")
        << rtf(R"({\*\shppict shown})") << u"shown"_qs;
    QTest::newRow("nominal: header, footer, footnote and info are skipped")
        << rtf(R"({\info{\title T}{\author A}}{\header H}{\footer F}a{\footnote N}b)") << u"ab"_qs;
    QTest::newRow("nominal: field shows its result")
        << rtf(R"({\field{\*\fldinst{ PAGE }}{\fldrslt 3}})") << u"3"_qs;
    QTest::newRow("nominal: field nested in an instruction adds nothing")
        << rtf(R"({\field{\*\fldinst IF {\field{\*\fldinst X}{\fldrslt 1}} = 1 "y"}{\fldrslt y}})")
        << u"y"_qs;
    QTest::newRow("nominal: hidden text is dropped") << rtf(R"(a{\v hidden}b)") << u"ab"_qs;
    QTest::newRow("nominal: list texts are dropped")
        << rtf(R"({\listtext 1.\tab}{\pntext 2.\tab}item)") << u"item"_qs;
    QTest::newRow("nominal: the Unicode version of upr is read")
        << rtf(R"({\upr{ansi}{\*\ud{unicode}}})") << u"unicode"_qs;
    QTest::newRow("nominal: binary data is not parsed") << rtf(R"(a\bin3 {}\b)") << u"ab"_qs;
    QTest::newRow("nominal: picture without a supported format is dropped")
        << rtf(R"(a{\pict\wmetafile8 0102}b)") << u"ab"_qs;

    QTest::newRow("robustness: closing braces missing")
        << QByteArray(R"({\rtf1 {\b bold {\i more)") << u"bold more"_qs;
    QTest::newRow("robustness: closing braces too many")
        << QByteArray(R"({\rtf1 a}}} b})") << u"a b"_qs;
    QTest::newRow("robustness: nesting near the bound is read")
        << rtf(QByteArray(900, '{') + "x" + QByteArray(900, '}')) << u"x"_qs;
    QTest::newRow("robustness: nesting beyond the bound is dropped")
        << rtf("a" + QByteArray(100000, '{') + "x" + QByteArray(100000, '}') + "b") << u"ab"_qs;
    QTest::newRow("robustness: nesting beyond the bound never closed")
        << rtf("a" + QByteArray(100000, '{') + "x") << u"a"_qs;
    QTest::newRow("robustness: huge parameters")
        << rtf(R"(\fs999999999999999999999\li99999999999\u99999999999?a)") << u"a"_qs;
    QTest::newRow("robustness: negative parameters")
        << rtf(R"(\fs-5\li-2147483648\sb-9\uc-3\u-99999?a)") << u"?a"_qs;
    QTest::newRow("robustness: parameter with a lone minus sign") << rtf(R"(\fs- a)") << u"- a"_qs;
    QTest::newRow("robustness: binary length beyond the end")
        << QByteArray(R"({\rtf1 a\bin999999999 xyz)") << u"a"_qs;
    QTest::newRow("robustness: negative binary length") << rtf(R"(a\bin-5 b)") << u"ab"_qs;
    QTest::newRow("robustness: bad hex escape") << rtf(R"(\'zz a\'4)") << u"zz a4"_qs;
    QTest::newRow("robustness: hex escape cut off at the end")
        << QByteArray(R"({\rtf1 a\'4)") << u"a4"_qs;
    QTest::newRow("robustness: backslash at the end") << QByteArray(R"({\rtf1 a\)") << u"a"_qs;
    QTest::newRow("robustness: cut off inside a control word")
        << QByteArray(R"({\rtf1 abc\pa)") << u"abc"_qs;
    QTest::newRow("robustness: control word longer than RTF allows")
        << rtf("\\" + QByteArray(5000, 'b') + " a") << u"a"_qs;
    QTest::newRow("robustness: out-of-range font, colour, style and list")
        << rtf(R"(\f99\cf99\highlight-1\cs77\s88\ls99\ilvl40 text)") << u"text"_qs;
    QTest::newRow("robustness: control characters are dropped")
        << rtf(QByteArray("a\0b\x01"
                          "c\x7f"
                          "d",
                          7) +
               R"(\'00\u0?\u65532?\u64976?\u64977?e)")
        << u"abcde"_qs;
    QTest::newRow("robustness: paragraph separator becomes a line break")
        << rtf(R"(a\u8233?b)") << u"a\u2028b"_qs;
    QTest::newRow("robustness: lone surrogate")
        << rtf(R"(\u-10179?a)") << QString(QChar(0xD83D)) + u"a"_qs;
    QTest::newRow("robustness: undefined Windows-1252 byte") << rtf(R"(\'81a)") << u"\uFFFDa"_qs;
    QTest::newRow("robustness: unknown code page reads as Windows-1252")
        << QByteArray(R"({\rtf1\ansicpg12345 \'e9})") << u"é"_qs;
    QTest::newRow("robustness: field instruction never closed")
        << QByteArray(R"({\rtf1 a{\field{\*\fldinst HYPERLINK "x)") << u"a"_qs;
    QTest::newRow("robustness: picture never closed")
        << QByteArray(R"({\rtf1 a{\pict\pngblip 89504e)") << u"a"_qs;
    QTest::newRow("robustness: text after the document")
        << QByteArray("{\\rtf1 a}\r\n\0\0", 13) << u"a"_qs;

    QTest::newRow("plain: text that is not RTF")
        << QByteArray("Dear {Sir}\\") << u"Dear {Sir}\\"_qs;
    QTest::newRow("plain: line breaks of every kind")
        << QByteArray("a\r\nb\rc\nd") << u"a\nb\nc\nd"_qs;
    QTest::newRow("plain: UTF-8") << QByteArray("caf\xc3\xa9") << u"café"_qs;
    QTest::newRow("plain: Windows-1252") << QByteArray("caf\xe9 \x80") << u"café €"_qs;
}

void RtfTest::text()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, expected);
    const auto doc = read(data);
    QCOMPARE(plainText(*doc), expected);
}

void RtfTest::textFromString()
{
    QTextDocument doc;
    QTextCursor cursor(&doc);
    // Characters up to 0xFF are bytes of the RTF; characters above stand for themselves.
    readRtf(u"{\\rtf1\\ansi\\ansicpg1252 Привет \\'e9 {\\b 日本}}"_qs, cursor);
    QCOMPARE(plainText(doc), u"Привет é 日本"_qs);
    QCOMPARE(charFormatOf(doc, u"日本"_qs).fontWeight(), int(QFont::Bold));

    QTextDocument plain;
    QTextCursor plainCursor(&plain);
    readRtf(u"Привет {\\b}\r\nx"_qs, plainCursor);
    QCOMPARE(plainText(plain), u"Привет {\\b}\nx"_qs);
}

void RtfTest::charFormat_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("property");
    QTest::addColumn<QVariant>("expected");

    const int weight = QTextFormat::FontWeight;
    const int underline = QTextFormat::TextUnderlineStyle;
    const int vertical = QTextFormat::TextVerticalAlignment;
    const int foreground = QTextFormat::ForegroundBrush;
    const int background = QTextFormat::BackgroundBrush;
    const int size = QTextFormat::FontPointSize;
    const int families = QTextFormat::FontFamilies;
    const QVariant none;

    QTest::newRow("nominal: bold") << rtf(R"({\b X})") << weight << QVariant(int(QFont::Bold));
    QTest::newRow("nominal: bold switched off") << rtf(R"(\b\b0 X)") << weight << none;
    QTest::newRow("nominal: group end restores") << rtf(R"({\b a}X)") << weight << none;
    QTest::newRow("nominal: italic")
        << rtf(R"(\i X)") << int(QTextFormat::FontItalic) << QVariant(true);
    QTest::newRow("nominal: underline")
        << rtf(R"(\ul X)") << underline << QVariant(int(QTextCharFormat::SingleUnderline));
    QTest::newRow("nominal: double underline shows as single")
        << rtf(R"(\uldb X)") << underline << QVariant(int(QTextCharFormat::SingleUnderline));
    QTest::newRow("nominal: dotted underline")
        << rtf(R"(\uld X)") << underline << QVariant(int(QTextCharFormat::DotLine));
    QTest::newRow("nominal: dashed underline")
        << rtf(R"(\uldash X)") << underline << QVariant(int(QTextCharFormat::DashUnderline));
    QTest::newRow("nominal: wavy underline")
        << rtf(R"(\ulwave X)") << underline << QVariant(int(QTextCharFormat::WaveUnderline));
    QTest::newRow("nominal: underline switched off") << rtf(R"(\ul\ulnone X)") << underline << none;
    QTest::newRow("nominal: strike-through")
        << rtf(R"(\strike X)") << int(QTextFormat::FontStrikeOut) << QVariant(true);
    QTest::newRow("nominal: double strike-through")
        << rtf(R"(\striked1 X)") << int(QTextFormat::FontStrikeOut) << QVariant(true);
    QTest::newRow("nominal: font from the table")
        << rtf(R"(\f1 X)") << families << QVariant(QStringList{u"Times New Roman"_qs});
    QTest::newRow("nominal: default font")
        << rtf("X") << families << QVariant(QStringList{u"Arial"_qs});
    QTest::newRow("nominal: font names with alternatives")
        << QByteArray(R"({\rtf1{\fonttbl{\f0 Liberation Serif{\*\falt Times};}}\f0 X})") << families
        << QVariant(QStringList{u"Liberation Serif"_qs});
    QTest::newRow("nominal: flat font table")
        << QByteArray(R"({\rtf1{\fonttbl\f0\fswiss Arial;\f1\froman Times;}\f1 X})") << families
        << QVariant(QStringList{u"Times"_qs});
    QTest::newRow("nominal: size in half points") << rtf(R"(\fs28 X)") << size << QVariant(14.0);
    QTest::newRow("nominal: no size leaves the editor's") << rtf(R"({\fs28 a}X)") << size << none;
    QTest::newRow("nominal: colour")
        << rtf(R"(\cf1 X)") << foreground << QVariant(QBrush(QColor(255, 0, 0)));
    QTest::newRow("nominal: automatic colour") << rtf(R"(\cf1\cf0 X)") << foreground << none;
    QTest::newRow("nominal: highlight")
        << rtf(R"(\highlight2 X)") << background << QVariant(QBrush(QColor(0, 0, 255)));
    QTest::newRow("nominal: background shading")
        << rtf(R"(\chcbpat1 X)") << background << QVariant(QBrush(QColor(255, 0, 0)));
    QTest::newRow("nominal: superscript")
        << rtf(R"(\super X)") << vertical << QVariant(int(QTextCharFormat::AlignSuperScript));
    QTest::newRow("nominal: subscript")
        << rtf(R"(\sub X)") << vertical << QVariant(int(QTextCharFormat::AlignSubScript));
    QTest::newRow("nominal: raised text")
        << rtf(R"(\up6 X)") << vertical << QVariant(int(QTextCharFormat::AlignSuperScript));
    QTest::newRow("nominal: lowered text")
        << rtf(R"(\dn6 X)") << vertical << QVariant(int(QTextCharFormat::AlignSubScript));
    QTest::newRow("nominal: back to the baseline")
        << rtf(R"(\super\nosupersub X)") << vertical << none;
    QTest::newRow("nominal: small capitals")
        << rtf(R"(\scaps X)") << int(QTextFormat::FontCapitalization)
        << QVariant(int(QFont::SmallCaps));
    QTest::newRow("nominal: plain resets") << rtf(R"(\b\i\fs40\cf1\plain X)") << weight << none;
    QTest::newRow("nominal: plain keeps the default font")
        << rtf(R"(\f1\plain X)") << families << QVariant(QStringList{u"Arial"_qs});
    QTest::newRow("nominal: character style")
        << rtf(R"({\stylesheet{\*\cs10\additive\b Strong;}}{\cs10 X})") << weight
        << QVariant(int(QFont::Bold));
    QTest::newRow("nominal: paragraph style brings its characters")
        << rtf(R"({\stylesheet{\s0 Normal;}{\s1\fs40\b Heading;}}\pard\plain\s1 X\par)") << size
        << QVariant(20.0);
    QTest::newRow("nominal: explicit formatting after the style wins")
        << rtf(R"({\stylesheet{\s1\fs40 Heading;}}\pard\plain\s1\fs20 X\par)") << size
        << QVariant(10.0);
    QTest::newRow("nominal: style word inside formatted text changes nothing")
        << rtf(R"({\stylesheet{\s1\fs40 Heading;}}\pard\plain\fs20{\s1 X}\par)") << size
        << QVariant(10.0);
    QTest::newRow("nominal: style based on another")
        << rtf(R"({\stylesheet{\s0\fs20 Normal;}{\s2\sbasedon0\b Note;}}\pard\plain\s2 X)") << size
        << QVariant(10.0);
    QTest::newRow("nominal: hyperlink target")
        << rtf(R"({\field{\*\fldinst{HYPERLINK "https://example.com/a b"}}{\fldrslt{\ul X}}})")
        << int(QTextFormat::AnchorHref) << QVariant(u"https://example.com/a b"_qs);
    QTest::newRow("nominal: hyperlink to a bookmark")
        << rtf(R"({\field{\*\fldinst HYPERLINK \\l "top" }{\fldrslt X}})")
        << int(QTextFormat::AnchorHref) << QVariant(u"#top"_qs);
    QTest::newRow("nominal: hyperlink with switches")
        << rtf(R"({\field{\*\fldinst HYPERLINK \\o "tip" "http://x.org" \\h}{\fldrslt X}})")
        << int(QTextFormat::AnchorHref) << QVariant(u"http://x.org"_qs);
    QTest::newRow("nominal: other fields are no links")
        << rtf(R"({\field{\*\fldinst DATE}{\fldrslt X}})") << int(QTextFormat::IsAnchor) << none;
    QTest::newRow("nominal: text after a link is no link")
        << rtf(R"({\field{\*\fldinst HYPERLINK "u"}{\fldrslt a}}X)") << int(QTextFormat::IsAnchor)
        << none;
    QTest::newRow("robustness: colour index out of range")
        << rtf(R"(\cf9 X)") << foreground << none;
    QTest::newRow("robustness: empty colour table entry is automatic")
        << QByteArray(R"({\rtf1{\colortbl;;\red1\green2\blue3;}\cf1 X})") << foreground << none;
    QTest::newRow("robustness: colour components clamped")
        << QByteArray(R"({\rtf1{\colortbl;\red999\green-4\blue7;}\cf1 X})") << foreground
        << QVariant(QBrush(QColor(255, 0, 7)));
    QTest::newRow("robustness: font index out of range") << rtf(R"(\f42 X)") << families << none;
    QTest::newRow("robustness: size clamped") << rtf(R"(\fs999999 X)") << size << QVariant(1638.0);
}

void RtfTest::charFormat()
{
    QFETCH(QByteArray, data);
    QFETCH(int, property);
    QFETCH(QVariant, expected);
    const auto doc = read(data);
    const QTextCharFormat format = charFormatOf(*doc, u"X"_qs);
    QVERIFY2(format.isValid(), "the marker text was not read");
    QCOMPARE(format.property(property), expected);
}

void RtfTest::blockFormat_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("property");
    QTest::addColumn<QVariant>("expected");

    const int alignment = QTextFormat::BlockAlignment;
    const int left = QTextFormat::BlockLeftMargin;
    const int indent = QTextFormat::TextIndent;
    const QVariant none;

    QTest::newRow("nominal: centred")
        << rtf(R"(\qc X\par)") << alignment << QVariant(int(Qt::AlignHCenter));
    QTest::newRow("nominal: right")
        << rtf(R"(\qr X\par)") << alignment << QVariant(int(Qt::AlignRight));
    QTest::newRow("nominal: justified")
        << rtf(R"(\qj X\par)") << alignment << QVariant(int(Qt::AlignJustify));
    QTest::newRow("nominal: left")
        << rtf(R"(\qc\ql X\par)") << alignment << QVariant(int(Qt::AlignLeft));
    QTest::newRow("nominal: pard resets") << rtf(R"(\qc\li720 a\par\pard X\par)") << left << none;
    QTest::newRow("nominal: formats hold until pard")
        << rtf(R"(\qc a\par X\par)") << alignment << QVariant(int(Qt::AlignHCenter));
    QTest::newRow("nominal: format at the paragraph mark applies")
        << rtf(R"(X\qr\par)") << alignment << QVariant(int(Qt::AlignRight));
    QTest::newRow("nominal: last paragraph without a mark")
        << rtf(R"(a\par\qc X)") << alignment << QVariant(int(Qt::AlignHCenter));
    QTest::newRow("nominal: left indent in twips")
        << rtf(R"(\li1440 X\par)") << left << QVariant(96.0);
    QTest::newRow("nominal: right indent")
        << rtf(R"(\ri720 X\par)") << int(QTextFormat::BlockRightMargin) << QVariant(48.0);
    QTest::newRow("nominal: hanging first line")
        << rtf(R"(\li720\fi-360 X\par)") << indent << QVariant(-24.0);
    QTest::newRow("nominal: first line indent")
        << rtf(R"(\fi360 X\par)") << indent << QVariant(24.0);
    QTest::newRow("nominal: space before")
        << rtf(R"(\sb240 X\par)") << int(QTextFormat::BlockTopMargin) << QVariant(16.0);
    QTest::newRow("nominal: space after")
        << rtf(R"(\sa120 X\par)") << int(QTextFormat::BlockBottomMargin) << QVariant(8.0);
    QTest::newRow("nominal: proportional line spacing")
        << rtf(R"(\sl360\slmult1 X\par)") << int(QTextFormat::LineHeight) << QVariant(150.0);
    QTest::newRow("nominal: exact line spacing")
        << rtf(R"(\sl-300\slmult0 X\par)") << int(QTextFormat::LineHeightType)
        << QVariant(int(QTextBlockFormat::FixedHeight));
    QTest::newRow("nominal: tab stops")
        << rtf(R"(\tx720\tqr\tx2880 X\tab y\par)") << int(QTextFormat::TabPositions)
        << QVariant::fromValue(
               QList<QVariant>{QVariant::fromValue(QTextOption::Tab(48, QTextOption::LeftTab)),
                               QVariant::fromValue(QTextOption::Tab(192, QTextOption::RightTab))});
    QTest::newRow("nominal: paragraph style")
        << rtf(R"({\stylesheet{\s3\qc\sb240 Title;}}\pard\plain\s3 X\par)") << alignment
        << QVariant(int(Qt::AlignHCenter));
    QTest::newRow("robustness: hanging indent beyond the margin is clamped")
        << rtf(R"(\li100\fi-5000 X\par)") << indent << QVariant(-100 / 15.0);
    QTest::newRow("robustness: negative left indent") << rtf(R"(\li-720 X\par)") << left << none;
    QTest::newRow("robustness: huge indent clamped")
        << rtf(R"(\li2147483647 X\par)") << left << QVariant(31680 / 15.0);
}

void RtfTest::blockFormat()
{
    QFETCH(QByteArray, data);
    QFETCH(int, property);
    QFETCH(QVariant, expected);
    const auto doc = read(data);
    const QTextBlock block = blockOf(*doc, u"X"_qs);
    QVERIFY2(block.isValid(), "the marker text was not read");
    QCOMPARE(block.blockFormat().property(property), expected);
}

void RtfTest::pageBreak()
{
    const auto doc = read(rtf(R"(one\page two\par\page three\par four)"));
    QCOMPARE(paragraphs(*doc), (QStringList{u"one"_qs, u"two"_qs, u"three"_qs, u"four"_qs}));
    const auto policy = [&](const QString& text) {
        return int(blockOf(*doc, text).blockFormat().pageBreakPolicy());
    };
    QCOMPARE(policy(u"one"_qs), int(QTextFormat::PageBreak_Auto));
    QCOMPARE(policy(u"two"_qs), int(QTextFormat::PageBreak_AlwaysBefore));
    QCOMPARE(policy(u"three"_qs), int(QTextFormat::PageBreak_AlwaysBefore));
    QCOMPARE(policy(u"four"_qs), int(QTextFormat::PageBreak_Auto));
}

void RtfTest::lists_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QStringList>("expected");

    const QByteArray tables =
        R"({\*\listtable)"
        R"({\list{\listlevel\levelnfc23{\leveltext \'01\u8226 ?;}}{\listlevel\levelnfc23)"
        R"({\leveltext \'01o;}}\listid10})"
        R"({\list{\listlevel\levelnfc0{\leveltext \'02\'00.;}{\levelnumbers\'01;}})"
        R"({\listlevel\levelnfc4{\leveltext \'03(\'01);}}\listid20})"
        R"({\list{\listlevel\levelnfc1{\leveltext \'02\'00.;}}\listid30})"
        R"({\list{\listlevel\levelnfc255{\leveltext \'00;}}\listid40})"
        R"({\list{\listlevel\levelnfc23{\leveltext \'01\u-3929 ?;}}\listid50}})"
        R"({\listoverridetable{\listoverride\listid10\ls1}{\listoverride\listid20\ls2})"
        R"({\listoverride\listid30\ls3}{\listoverride\listid40\ls4})"
        R"({\listoverride\listid50\ls5}{\listoverride\listid99\ls6}})";

    QTest::newRow("nominal: bullets") << rtf(tables + R"(\pard\ls1 a\par b\par\pard c\par)")
                                      << QStringList{u"a A:1:disc"_qs, u"b A:1:disc"_qs, u"c"_qs};
    QTest::newRow("nominal: second level")
        << rtf(tables + R"(\pard\ls1 a\par\ilvl1 b\par\ilvl0 c\par)")
        << QStringList{u"a A:1:disc"_qs, u"b B:2:circle"_qs, u"c A:1:disc"_qs};
    QTest::newRow("nominal: square bullet from a symbol font")
        << rtf(tables + R"(\pard\ls5 a\par)") << QStringList{u"a A:1:square"_qs};
    QTest::newRow("nominal: numbers")
        << rtf(tables + R"(\pard\ls2 a\par b\par)") << QStringList{u"a A:1:1."_qs, u"b A:1:2."_qs};
    QTest::newRow("nominal: numbering goes on after a paragraph outside the list")
        << rtf(tables + R"(\pard\ls2 a\par\pard b\par\ls2 c\par)")
        << QStringList{u"a A:1:1."_qs, u"b"_qs, u"c A:1:2."_qs};
    QTest::newRow("nominal: letters with text around the number")
        << rtf(tables + R"(\pard\ls2\ilvl1 a\par b\par)")
        << QStringList{u"a A:2:(a)"_qs, u"b A:2:(b)"_qs};
    QTest::newRow("nominal: roman numbers")
        << rtf(tables + R"(\pard\ls3 a\par b\par)") << QStringList{u"a A:1:I."_qs, u"b A:1:II."_qs};
    QTest::newRow("nominal: level without a number is no list")
        << rtf(tables + R"(\pard\ls4 a\par)") << QStringList{u"a"_qs};
    QTest::newRow("nominal: two lists") << rtf(tables + R"(\pard\ls1 a\par\pard\ls2 b\par)")
                                        << QStringList{u"a A:1:disc"_qs, u"b B:1:1."_qs};
    QTest::newRow("nominal: last paragraph without a mark")
        << rtf(tables + R"(\pard\ls2 a\par b)") << QStringList{u"a A:1:1."_qs, u"b A:1:2."_qs};
    QByteArray longList = tables + R"(\pard\ls2 )";
    QStringList longListItems;
    for (int item = 1; item <= 300; ++item) {
        longList += "x\\par ";
        longListItems.append(item <= 256 ? u"x A:1:%1."_qs.arg(item)
                                         : u"x B:1:%1."_qs.arg(item - 256));
    }
    QTest::newRow("robustness: a very long list goes on as a new list")
        << rtf(longList) << longListItems;
    QTest::newRow("nominal: old-style bullets")
        << rtf(R"({\pntext\'b7\tab}{\*\pn\pnlvlblt\pnf1{\pntxtb\'b7}}\fi-360\li360 a\par)"
               R"({\pntext\'b7\tab}b\par\pard c\par)")
        << QStringList{u"a A:1:disc"_qs, u"b A:1:disc"_qs, u"c"_qs};
    QTest::newRow("nominal: old-style numbers")
        << rtf(R"({\*\pn\pnlvlbody\pndec\pnstart1{\pntxta )}}a\par b\par)")
        << QStringList{u"a A:1:1)"_qs, u"b A:1:2)"_qs};
    QTest::newRow("nominal: old-style letters with text before")
        << rtf(R"({\*\pn\pnlvlbody\pnlcltr{\pntxtb (}{\pntxta )}}a\par)")
        << QStringList{u"a A:1:(a)"_qs};
    QTest::newRow("nominal: old-style outline level")
        << rtf(R"({\*\pn\pnlvl2\pnucrm{\pntxta .}}a\par)") << QStringList{u"a A:2:I."_qs};
    QTest::newRow("nominal: old-style numbering restarts after a break")
        << rtf(R"({\*\pn\pnlvlbody\pndec}a\par\pard b\par{\*\pn\pnlvlbody\pndec}c\par)")
        << QStringList{u"a A:1:1"_qs, u"b"_qs, u"c B:1:1"_qs};
    QTest::newRow("nominal: old-style numbering repeated in every paragraph")
        << rtf(R"({\*\pn\pnlvlbody\pndec{\pntxta .}}a\par{\*\pn\pnlvlbody\pndec{\pntxta .}}b\par)")
        << QStringList{u"a A:1:1."_qs, u"b A:1:2."_qs};
    QTest::newRow("nominal: old-style continuation paragraph is no item")
        << rtf(R"({\*\pn\pnlvlcont}a\par)") << QStringList{u"a"_qs};
    QTest::newRow("nominal: list override preferred to old-style numbering")
        << rtf(tables + R"(\pard\ls2{\*\pn\pnlvlblt{\pntxtb x}}a\par)")
        << QStringList{u"a A:1:1."_qs};
    QTest::newRow("robustness: unknown list override falls back to old-style numbering")
        << rtf(R"(\pard\ls7{\*\pn\pnlvlblt{\pntxtb\bullet}}a\par)")
        << QStringList{u"a A:1:disc"_qs};
    QTest::newRow("robustness: unknown list override")
        << rtf(tables + R"(\pard\ls77 a\par)") << QStringList{u"a"_qs};
    QTest::newRow("robustness: list override of a missing list")
        << rtf(tables + R"(\pard\ls6 a\par)") << QStringList{u"a"_qs};
    QTest::newRow("robustness: level beyond the last")
        << rtf(tables + R"(\pard\ls2\ilvl999 a\par)") << QStringList{u"a A:9:1."_qs};
    QTest::newRow("robustness: level text cut short")
        << rtf(R"({\*\listtable{\list{\listlevel\levelnfc0{\leveltext \'09\'00}}\listid1}})"
               R"({\listoverridetable{\listoverride\listid1\ls1}}\ls1 a\par)")
        << QStringList{u"a A:1:1"_qs};
}

void RtfTest::lists()
{
    QFETCH(QByteArray, data);
    QFETCH(QStringList, expected);
    const auto doc = read(data);
    QCOMPARE(describeLists(*doc), expected);
}

void RtfTest::picture_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QSize>("pixels");       // of the image; empty for no image
    QTest::addColumn<QSizeF>("displaySize"); // 0 by 0 when the image's own size applies

    QImage photo(10, 4, QImage::Format_RGB32);
    photo.fill(Qt::blue);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    photo.save(&buffer, "JPEG");

    const QString image = QString(QChar::ObjectReplacementCharacter);
    QTest::newRow("nominal: PNG in hex")
        << rtf(R"(a{\pict\pngblip\picw8\pich6 )" + pngHex + "}b") << u"a"_qs + image + u"b"_qs
        << QSize(8, 6) << QSizeF(0, 0);
    QTest::newRow("nominal: display size in twips")
        << rtf(R"({\pict\pngblip\picwgoal300\pichgoal150 )" + pngHex + "}") << image << QSize(8, 6)
        << QSizeF(20, 10);
    QTest::newRow("nominal: display size scaled")
        << rtf(R"({\pict\pngblip\picwgoal300\pichgoal150\picscalex50\picscaley200 )" + pngHex + "}")
        << image << QSize(8, 6) << QSizeF(10, 20);
    QTest::newRow("nominal: own size scaled")
        << rtf(R"({\pict\pngblip\picscalex200 )" + pngHex + "}") << image << QSize(8, 6)
        << QSizeF(16, 6);
    QTest::newRow("nominal: JPEG as binary data")
        << rtf(R"({\pict\jpegblip\bin)" + QByteArray::number(jpeg.size()) + " " + jpeg + "}x")
        << image + u"x"_qs << QSize(10, 4) << QSizeF(0, 0);
    QTest::newRow("nominal: shape picture read, its fallback not")
        << rtf(R"({\*\shppict{\pict\pngblip )" + pngHex +
               R"(}}{\nonshppict{\pict\wmetafile8 0100}})")
        << image << QSize(8, 6) << QSizeF(0, 0);
    QTest::newRow("nominal: picture of an object's result")
        << rtf(R"({\object\objemb{\*\objdata 0102}{\result{\pict\pngblip )" + pngHex + "}}}")
        << image << QSize(8, 6) << QSizeF(0, 0);
    QTest::newRow("nominal: hex broken by blanks and line breaks")
        << rtf(R"({\pict\pngblip )" + pngHex.left(20) + "\r\n " + pngHex.mid(20) + "}") << image
        << QSize(8, 6) << QSizeF(0, 0);
    QTest::newRow("robustness: picture in a skipped destination")
        << rtf(R"(a{\header{\pict\pngblip )" + pngHex + "}}") << u"a"_qs << QSize() << QSizeF();
    QTest::newRow("nominal: large picture")
        << rtf(R"({\pict\pngblip )" + blankPng(3000, 3000).toHex() + "}") << image
        << QSize(3000, 3000) << QSizeF(0, 0);
    QTest::newRow("robustness: picture with more pixels than a read may decode")
        << rtf(R"(a{\pict\pngblip )" + blankPng(9000, 9000).toHex() + "}b") << u"ab"_qs << QSize()
        << QSizeF();
    const QByteArray quarterBudget = R"({\pict\pngblip )" + blankPng(5000, 5000).toHex() + "}";
    QTest::newRow("robustness: pictures with more pixels in all than a read may decode")
        << rtf(quarterBudget + quarterBudget + quarterBudget) << image + image << QSize(5000, 5000)
        << QSizeF(0, 0);
    QTest::newRow("robustness: unsupported format")
        << rtf(R"(a{\pict\emfblip 0102}b)") << u"ab"_qs << QSize() << QSizeF();
    QTest::newRow("robustness: corrupt data")
        << rtf(R"(a{\pict\pngblip )" + pngHex.left(60) + "}b") << u"ab"_qs << QSize() << QSizeF();
    QTest::newRow("robustness: JPEG data said to be PNG")
        << rtf(R"({\pict\pngblip\bin)" + QByteArray::number(jpeg.size()) + " " + jpeg + "}x")
        << u"x"_qs << QSize() << QSizeF();
    QTest::newRow("robustness: bad hex digits between good ones")
        << rtf(R"(a{\pict\pngblip zz)" + pngHex.left(30) + "g!" + pngHex.mid(30) + "}")
        << u"a"_qs + image << QSize(8, 6) << QSizeF(0, 0);
    QTest::newRow("robustness: binary data cut off")
        << QByteArray(R"({\rtf1 a{\pict\pngblip\bin500 )" + QByteArray::fromHex(pngHex).left(40))
        << u"a"_qs << QSize() << QSizeF();
}

void RtfTest::picture()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, text);
    QFETCH(QSize, pixels);
    QFETCH(QSizeF, displaySize);
    const auto doc = read(data);
    QCOMPARE(plainText(*doc), text);
    const QList<QTextImageFormat> found = images(*doc);
    if (pixels.isEmpty()) {
        QVERIFY(found.isEmpty());
        return;
    }
    QCOMPARE(found.size(), text.count(QChar::ObjectReplacementCharacter));
    for (const QTextImageFormat& format : found) {
        const QVariant resource = doc->resource(QTextDocument::ImageResource, QUrl(format.name()));
        QCOMPARE(resource.value<QImage>().size(), pixels);
        QCOMPARE(QSizeF(format.width(), format.height()), displaySize);
    }
}

void RtfTest::insertion_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("selectionStart");
    QTest::addColumn<int>("selectionEnd");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("centredBlocks"); // the target is one centred paragraph

    QTest::newRow("nominal: words inside a paragraph take its paragraph format")
        << rtf("X") << 2 << 2 << u"abXcd"_qs << 3 << 1;
    QTest::newRow("nominal: a paragraph mark splits the paragraph")
        << rtf(R"(\qr X\par)") << 2 << 2 << u"abX\ncd"_qs << 4 << 1;
    QTest::newRow("nominal: paragraphs at the end")
        << rtf(R"(X\par Y\par)") << 4 << 4 << u"abcdX\nY"_qs << 7 << 0;
    QTest::newRow("nominal: last paragraph without a mark merges with the text after it")
        << rtf(R"(X\par Y)") << 0 << 0 << u"X\nYabcd"_qs << 3 << 1;
    QTest::newRow("nominal: the selection is replaced")
        << rtf("X") << 1 << 3 << u"aXd"_qs << 2 << 1;
    QTest::newRow("plain: text at the caret")
        << QByteArray("X\r\nY") << 2 << 2 << u"abX\nYcd"_qs << 5 << 2;
}

void RtfTest::insertion()
{
    QFETCH(QByteArray, data);
    QFETCH(int, selectionStart);
    QFETCH(int, selectionEnd);
    QFETCH(QString, expected);
    QFETCH(int, caret);
    QFETCH(int, centredBlocks);

    QTextDocument doc;
    QTextCursor cursor(&doc);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.setBlockFormat(centred);
    cursor.insertText(u"abcd"_qs);
    cursor.setPosition(selectionStart);
    cursor.setPosition(selectionEnd, QTextCursor::KeepAnchor);

    readRtf(data, cursor);

    QCOMPARE(plainText(doc), expected);
    QCOMPARE(cursor.position(), caret);
    QVERIFY(!cursor.hasSelection());
    int centredCount = 0;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        centredCount += block.blockFormat().alignment() == Qt::AlignHCenter ? 1 : 0;
    QCOMPARE(centredCount, centredBlocks);
}

void RtfTest::insertionIsOneUndoStep()
{
    QTextDocument doc;
    QTextCursor cursor(&doc);
    cursor.insertText(u"before"_qs);
    QFile file(QStringLiteral(LW_FIXTURES_DIR "/rtf/libreoffice_letter.rtf"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    readRtf(file.readAll(), cursor);
    QVERIFY(doc.toPlainText().contains(u"Regards"_qs));
    doc.undo();
    QCOMPARE(doc.toPlainText(), u"before"_qs);
}

void RtfTest::libreOfficeLetter()
{
    const auto doc = readFixture(u"libreoffice_letter.rtf"_qs);
    QVERIFY(doc);
    const QString image = QString(QChar::ObjectReplacementCharacter);
    QCOMPARE(paragraphs(*doc),
             (QStringList{u"Invoice reminder"_qs, u"Köln, 3 May"_qs,
                          u"Dear Ms Šťastná, please note: overdue, old, marked, x2 and H2O. "
                          u"Euro: €, Cyrillic: Привет."_qs,
                          u"Justified and indented paragraph text that goes on for a while so that "
                          u"it wraps."_qs,
                          u"apples"_qs, u"pears"_qs, u"first"_qs, u"second"_qs,
                          u"See the payment page."_qs, image, u"Regards"_qs}));

    const QTextCharFormat title = charFormatOf(*doc, u"Invoice"_qs);
    QCOMPARE(title.fontWeight(), int(QFont::Bold));
    QCOMPARE(title.fontPointSize(), 16.0);
    QCOMPARE(title.fontFamilies().toStringList(), QStringList{u"Liberation Serif"_qs});
    QCOMPARE(charFormatOf(*doc, u"Šťastná"_qs).fontItalic(), true);
    QCOMPARE(charFormatOf(*doc, u"please"_qs).underlineStyle(), QTextCharFormat::SingleUnderline);
    QCOMPARE(charFormatOf(*doc, u"overdue"_qs).foreground().color(), QColor(255, 0, 0));
    QCOMPARE(charFormatOf(*doc, u"old"_qs).fontStrikeOut(), true);
    QCOMPARE(charFormatOf(*doc, u"marked"_qs).background().color(), QColor(255, 255, 0));
    QCOMPARE(charFormatOf(*doc, u"x2"_qs).verticalAlignment(), QTextCharFormat::AlignNormal);
    QTextCursor superscript(doc.get());
    superscript.setPosition(doc->find(u"x2"_qs).selectionEnd());
    QCOMPARE(superscript.charFormat().verticalAlignment(), QTextCharFormat::AlignSuperScript);
    QCOMPARE(charFormatOf(*doc, u"payment"_qs).anchorHref(), u"https://example.org/pay"_qs);
    QCOMPARE(charFormatOf(*doc, u"Regards"_qs).fontPointSize(), 12.0);

    QCOMPARE(blockOf(*doc, u"Invoice"_qs).blockFormat().alignment(), Qt::AlignHCenter);
    QCOMPARE(blockOf(*doc, u"Köln"_qs).blockFormat().alignment(), Qt::AlignRight);
    const QTextBlockFormat justified = blockOf(*doc, u"Justified"_qs).blockFormat();
    QCOMPARE(justified.alignment(), Qt::AlignJustify);
    QCOMPARE(justified.leftMargin(), 96.0);
    QCOMPARE(justified.rightMargin(), 48.0);
    QCOMPARE(justified.textIndent(), 24.0);
    QCOMPARE(justified.lineHeightType(), int(QTextBlockFormat::ProportionalHeight));
    QCOMPARE(justified.lineHeight(), 115.0);

    const QStringList lists = describeLists(*doc);
    QCOMPARE(lists.mid(4, 4), (QStringList{u"apples A:1:disc"_qs, u"pears A:1:disc"_qs,
                                           u"first B:1:1."_qs, u"second B:1:2."_qs}));

    const QList<QTextImageFormat> found = images(*doc);
    QCOMPARE(found.size(), 1);
    const QImage picture =
        doc->resource(QTextDocument::ImageResource, QUrl(found[0].name())).value<QImage>();
    QCOMPARE(picture.size(), QSize(8, 6));
    QCOMPARE(picture.pixelColor(3, 3), QColor(255, 0, 0));
    QCOMPARE(QSizeF(found[0].width(), found[0].height()), QSizeF(16, 12));
}

void RtfTest::libreOfficeLists()
{
    const auto doc = readFixture(u"libreoffice_lists.rtf"_qs);
    QVERIFY(doc);
    QCOMPARE(
        describeLists(*doc),
        (QStringList{u"Agenda for the meeting:"_qs, u"Budget A:1:disc"_qs, u"travel B:2:disc"_qs,
                     u"equipment B:2:disc"_qs, u"Staff A:1:disc"_qs, u"Open the meeting C:1:1."_qs,
                     u"Approve the minutes C:1:2."_qs, u"corrections D:2:a."_qs, u"vote D:2:b."_qs,
                     u"Close C:1:3."_qs, u"Signed: A. Smith, Manager"_qs}));
    // Sizes come from the style chain: First Paragraph on Body Text on Normal.
    QCOMPARE(charFormatOf(*doc, u"Agenda"_qs).fontPointSize(), 12.0);
    QCOMPARE(charFormatOf(*doc, u"Smith"_qs).fontWeight(), int(QFont::Bold));
    QCOMPARE(charFormatOf(*doc, u"Manager"_qs).fontItalic(), true);
    QCOMPARE(blockOf(*doc, u"Agenda"_qs).blockFormat().topMargin(), 12.0);
}

void RtfTest::pandocLetter()
{
    const auto doc = readFixture(u"pandoc_letter.rtf"_qs);
    QVERIFY(doc);
    const QStringList text = paragraphs(*doc);
    QCOMPARE(text.size(), 12);
    QCOMPARE(text[0], u"Order confirmation"_qs);
    QCOMPARE(text[1], u"Dear Mr.\u00A0Müller,"_qs);
    QCOMPARE(text[3], u"•\tfirst point"_qs);
    QCOMPARE(text[8], u"Visit our site for details. Water is H2O and E = mc2."_qs);
    QCOMPARE(text[11], u"Yours sincerely"_qs);

    const QTextCharFormat heading = charFormatOf(*doc, u"Order"_qs);
    QCOMPARE(heading.fontWeight(), int(QFont::Bold));
    QCOMPARE(heading.fontPointSize(), 18.0);
    QCOMPARE(heading.fontFamilies().toStringList(), QStringList{u"Helvetica"_qs});
    QCOMPARE(charFormatOf(*doc, u"Müller"_qs).fontWeight(), int(QFont::Bold));
    QCOMPARE(charFormatOf(*doc, u"€"_qs).fontWeight(), int(QFont::Bold));
    QCOMPARE(charFormatOf(*doc, u"ten"_qs).fontStrikeOut(), true);
    QCOMPARE(charFormatOf(*doc, u"our site"_qs).anchorHref(), u"https://example.com/shop"_qs);
    QCOMPARE(charFormatOf(*doc, u"our site"_qs).underlineStyle(), QTextCharFormat::SingleUnderline);

    const QTextBlockFormat bullet = blockOf(*doc, u"first point"_qs).blockFormat();
    QCOMPARE(bullet.leftMargin(), 24.0);
    QCOMPARE(bullet.textIndent(), -24.0);
    QCOMPARE(bullet.tabPositions().size(), 1);
    QCOMPARE(blockOf(*doc, u"Quoted"_qs).blockFormat().leftMargin(), 48.0);
    QCOMPARE(blockOf(*doc, u"Dear"_qs).blockFormat().bottomMargin(), 12.0);

    const QList<QTextImageFormat> found = images(*doc);
    QCOMPARE(found.size(), 1);
    QCOMPARE(
        doc->resource(QTextDocument::ImageResource, QUrl(found[0].name())).value<QImage>().size(),
        QSize(8, 6));
}

void RtfTest::abiWordLetter()
{
    const auto doc = readFixture(u"abiword_letter.rtf"_qs);
    QVERIFY(doc);
    const QStringList lists = describeLists(*doc);
    QCOMPARE(lists.mid(0, 2), (QStringList{u"Invoice reminder"_qs, u"Köln, 3 May"_qs}));
    QVERIFY(lists[2].startsWith(u"Dear Ms Šťastná, please"_qs));
    // AbiWord numbers its lists the old way, and its \ls numbers lead nowhere.
    QCOMPARE(lists.mid(4, 4), (QStringList{u"apples A:1:disc"_qs, u"pears A:1:disc"_qs,
                                           u"first B:1:1."_qs, u"second B:1:2."_qs}));
    QCOMPARE(charFormatOf(*doc, u"Invoice"_qs).fontWeight(), int(QFont::Bold));
    QCOMPARE(charFormatOf(*doc, u"Invoice"_qs).fontPointSize(), 16.0);
    QCOMPARE(charFormatOf(*doc, u"overdue"_qs).foreground().color(), QColor(255, 0, 0));
    QCOMPARE(charFormatOf(*doc, u"marked"_qs).background().color(), QColor(255, 255, 0));
    QCOMPARE(charFormatOf(*doc, u"payment"_qs).anchorHref(), u"https://example.org/pay"_qs);
    QCOMPARE(blockOf(*doc, u"Invoice"_qs).blockFormat().alignment(), Qt::AlignHCenter);
    QCOMPARE(blockOf(*doc, u"Justified"_qs).blockFormat().alignment(), Qt::AlignJustify);
    QCOMPARE(blockOf(*doc, u"Justified"_qs).blockFormat().leftMargin(), 96.0);
    QCOMPARE(images(*doc).size(), 1);
}

void RtfTest::wordPadStyle()
{
    const auto doc = readFixture(u"handmade_wordpad.rtf"_qs);
    QVERIFY(doc);
    QCOMPARE(
        describeLists(*doc),
        (QStringList{u"Notice"_qs, u"Café € 5, italic, under, blue, Привет."_qs, u"one A:1:disc"_qs,
                     u"two A:1:disc"_qs, u"first B:1:1."_qs, u"second B:1:2."_qs, u"Indented"_qs}));
    QCOMPARE(charFormatOf(*doc, u"Notice"_qs).fontPointSize(), 14.0);
    QCOMPARE(charFormatOf(*doc, u"Notice"_qs).fontWeight(), int(QFont::Bold));
    QCOMPARE(charFormatOf(*doc, u"Café"_qs).fontWeight(), int(QFont::Normal));
    QCOMPARE(charFormatOf(*doc, u"Café"_qs).fontPointSize(), 10.0);
    QCOMPARE(charFormatOf(*doc, u"blue"_qs).foreground().color(), QColor(0, 0, 255));
    QCOMPARE(blockOf(*doc, u"Notice"_qs).blockFormat().alignment(), Qt::AlignHCenter);
    QCOMPARE(blockOf(*doc, u"Indented"_qs).blockFormat().leftMargin(), 96.0);
}

void RtfTest::truncatedFilesKeepEarlierParagraphs_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<int>("step");
    QTest::newRow("robustness: pandoc letter cut anywhere") << u"pandoc_letter.rtf"_qs << 1;
    QTest::newRow("robustness: LibreOffice letter cut every few bytes")
        << u"libreoffice_letter.rtf"_qs << 7;
    QTest::newRow("robustness: WordPad-style letter cut anywhere")
        << u"handmade_wordpad.rtf"_qs << 1;
}

void RtfTest::truncatedFilesKeepEarlierParagraphs()
{
    QFETCH(QString, fixture);
    QFETCH(int, step);
    QFile file(QStringLiteral(LW_FIXTURES_DIR "/rtf/") + fixture);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    const QStringList full = paragraphs(*read(whole));
    for (qsizetype length = 0; length < whole.size(); length += step) {
        const QStringList cut = paragraphs(*read(whole.left(length)));
        // Every paragraph before the one the cut falls in is read as in the whole file.
        const QStringList complete = cut.mid(0, cut.size() - 1);
        if (complete != full.mid(0, complete.size()))
            QFAIL(qPrintable(QStringLiteral("cut at %1 gives %2").arg(length).arg(cut.join(u'|'))));
    }
}

QTEST_MAIN(RtfTest)
#include "test_rtf.moc"
