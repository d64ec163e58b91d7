#include "rtf/RtfWriter.h"

#include "rtf/RtfCodePage.h"
#include "rtf/RtfReader.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>
#include <QUrl>
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

namespace lw {

namespace {

constexpr int listLevels = 9;
constexpr int maxTabStops = 32;
// The marker of a list item stands this far before its text in other programs.
constexpr int listMarkerTwips = 360;
constexpr qsizetype hexLineLength = 128;
constexpr int maxLevelTextLength = 200;
// Qt's image reader refuses a picture of more than 128 MB, four bytes a pixel.
constexpr qint64 maxPicturePixels = 30 * 1024 * 1024;

int twips(qreal pixels)
{
    return int(std::lround(pixels * rtfTwipsPerPixel));
}

int clampedTwips(qreal pixels)
{
    return std::clamp(twips(pixels), -rtfMaxTwips, rtfMaxTwips);
}

enum class Underline : quint8 { None, Single, Dotted, Dash, DashDot, DashDotDot, Wave };
enum class Vertical : quint8 { Normal, Super, Sub };
enum class Caps : quint8 { Normal, All, Small };

struct CharProps
{
    int font = 0;
    int halfPoints = 24;
    int color = 0; // colour table index; 0 the automatic colour
    int background = 0;
    Underline underline = Underline::None;
    Vertical vertical = Vertical::Normal;
    Caps caps = Caps::Normal;
    bool bold = false;
    bool italic = false;
    bool strike = false;

    bool operator==(const CharProps&) const = default;
};

// One list of the document, with its own entry in the list and override tables, so that its
// numbering starts afresh as in the editor.
struct ListEntry
{
    QTextListFormat::Style style = QTextListFormat::ListDisc;
    int level = 0; // 0-based
    QString prefix;
    QString suffix;
};

bool isBullet(QTextListFormat::Style style)
{
    return style == QTextListFormat::ListDisc || style == QTextListFormat::ListCircle ||
           style == QTextListFormat::ListSquare || style == QTextListFormat::ListStyleUndefined;
}

char16_t bulletCharacter(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListCircle:
        return 0x25E6; // white bullet
    case QTextListFormat::ListSquare:
        return 0x25AA; // small black square
    default:
        return 0x2022;
    }
}

// \levelnfc of a numbered style.
int numberFormat(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListUpperRoman:
        return 1;
    case QTextListFormat::ListLowerRoman:
        return 2;
    case QTextListFormat::ListUpperAlpha:
        return 3;
    case QTextListFormat::ListLowerAlpha:
        return 4;
    default:
        return 0;
    }
}

// The \pn word of a numbered style, for readers that know only the older numbering.
const char* pnNumberWord(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListUpperRoman:
        return "\\pnucrm";
    case QTextListFormat::ListLowerRoman:
        return "\\pnlcrm";
    case QTextListFormat::ListUpperAlpha:
        return "\\pnucltr";
    case QTextListFormat::ListLowerAlpha:
        return "\\pnlcltr";
    default:
        return "\\pndec";
    }
}

// Number prefixes and suffixes are text; characters below 0x20 would read as level placeholders.
QString affix(const QString& text)
{
    QString kept;
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c != QChar::ObjectReplacementCharacter)
            kept += c;
    }
    return kept.left(maxLevelTextLength);
}

QImage pictureOf(const QVariant& resource)
{
    switch (resource.typeId()) {
    case QMetaType::QImage:
        return resource.value<QImage>();
    case QMetaType::QPixmap:
        return resource.value<QPixmap>().toImage();
    case QMetaType::QByteArray:
        return QImage::fromData(resource.toByteArray());
    default:
        return {};
    }
}

class Writer
{
public:
    explicit Writer(const QTextDocument& document) : doc(document)
    {
        defaultFont = doc.defaultFont();
        fontIndex(defaultFont.family());
        body.reserve(doc.characterCount() * 2 + 1024);
        countPicturePixels();
    }

    QByteArray write()
    {
        QTextBlock previous;
        for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
            const bool breakBefore =
                (block.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) ||
                (previous.isValid() &&
                 (previous.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysAfter));
            if (breakBefore)
                body += "\\page\r\n";
            writeBlock(block);
            previous = block;
        }
        return header() + body + "}\r\n";
    }

private:
    void writeBlock(const QTextBlock& block)
    {
        writeParagraphProps(block);
        bool empty = true;
        QString href;
        bool inField = false;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || fragment.length() == 0)
                continue;
            const QTextCharFormat format = fragment.charFormat();
            const QString target = format.isAnchor() ? format.anchorHref().trimmed() : QString();
            if (target != href || !inField) {
                if (inField) {
                    body += "}}}";
                    current = beforeField;
                }
                inField = false;
                href = target;
                if (!href.isEmpty()) {
                    body += "{\\field{\\*\\fldinst{HYPERLINK \"";
                    writeFieldTarget(href);
                    // The result in a group of its own, as Word writes it and pandoc expects.
                    body += "\"}}{\\fldrslt{";
                    inField = true;
                    beforeField = current;
                }
            }
            setCharProps(fragment.charFormatIndex(), format);
            if (format.isImageFormat()) {
                for (int i = 0; i < fragment.length(); ++i)
                    writePicture(format.toImageFormat());
            } else {
                writeText(fragment.text());
            }
            empty = false;
        }
        if (inField) {
            body += "}}}";
            // The field's groups ended: what they set is gone.
            current = beforeField;
        }
        if (empty)
            setCharProps(-1, block.charFormat());
        body += "\\par\r\n";
    }

    void writeParagraphProps(const QTextBlock& block)
    {
        const QTextBlockFormat format = block.blockFormat();
        body += "\\pard";
        // The paragraph properties are set anew; the character state survives \pard.
        const Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
        if (alignment & Qt::AlignJustify)
            body += "\\qj";
        else if (alignment & Qt::AlignHCenter)
            body += "\\qc";
        else if (alignment & (Qt::AlignRight | Qt::AlignTrailing))
            body += "\\qr";
        else
            body += "\\ql";

        QTextList* list = block.textList();
        const int right = clampedTwips(format.rightMargin());
        if (right > 0)
            number("\\ri", right);
        if (list) {
            const int indent = std::max(1, list->format().indent());
            const int left = std::clamp(
                twips(indent * doc.indentWidth() + std::max<qreal>(0, format.leftMargin())), 0,
                rtfMaxTwips);
            number("\\li", left);
            number("\\fi", -std::min(listMarkerTwips, left));
        } else {
            const int left = std::clamp(twips(format.leftMargin()), 0, rtfMaxTwips);
            const int first = std::clamp(twips(format.textIndent()), -left, rtfMaxTwips);
            if (left != 0)
                number("\\li", left);
            if (first != 0)
                number("\\fi", first);
        }
        const int before = std::clamp(twips(format.topMargin()), 0, rtfMaxTwips);
        const int after = std::clamp(twips(format.bottomMargin()), 0, rtfMaxTwips);
        if (before > 0)
            number("\\sb", before);
        if (after > 0)
            number("\\sa", after);
        writeLineHeight(format);
        writeTabs(format);
        // A blank ends the last word; after a group it would be text.
        if (list)
            writeListParagraph(block, list);
        else
            body += ' ';
    }

    void writeLineHeight(const QTextBlockFormat& format)
    {
        const qreal height = format.lineHeight();
        switch (format.lineHeightType()) {
        case QTextBlockFormat::ProportionalHeight:
            if (height > 0) {
                const int value = std::clamp(int(std::lround(height * 240 / 100)), 1, rtfMaxTwips);
                if (value != 240) {
                    number("\\sl", value);
                    body += "\\slmult1";
                }
            }
            break;
        case QTextBlockFormat::MinimumHeight:
            if (const int value = std::clamp(twips(height), 0, rtfMaxTwips); value > 0) {
                number("\\sl", value);
                body += "\\slmult0";
            }
            break;
        case QTextBlockFormat::FixedHeight:
            if (const int value = std::clamp(twips(height), 0, rtfMaxTwips); value > 0) {
                number("\\sl", -value);
                body += "\\slmult0";
            }
            break;
        default:
            break;
        }
    }

    void writeTabs(const QTextBlockFormat& format)
    {
        const QList<QTextOption::Tab> tabs = format.tabPositions();
        for (qsizetype i = 0; i < tabs.size() && i < maxTabStops; ++i) {
            switch (tabs[i].type) {
            case QTextOption::RightTab:
                body += "\\tqr";
                break;
            case QTextOption::CenterTab:
                body += "\\tqc";
                break;
            case QTextOption::DelimiterTab:
                body += "\\tqdec";
                break;
            default:
                break;
            }
            number("\\tx", std::clamp(twips(tabs[i].position), 0, rtfMaxTwips));
        }
    }

    void writeListParagraph(const QTextBlock& block, QTextList* list)
    {
        const int ls = listNumber(list);
        const ListEntry& entry = lists[size_t(ls - 1)];
        number("\\ls", ls);
        number("\\ilvl", entry.level);
        // The number as text and the older numbering, for readers that know no list table.
        body += "{\\listtext\\pard\\plain ";
        writeText(isBullet(entry.style) ? QString(QChar(bulletCharacter(entry.style)))
                                        : list->itemText(block));
        body += "\\tab}";
        if (isBullet(entry.style)) {
            body += "{\\*\\pn\\pnlvlblt";
            number("\\pnindent", listMarkerTwips);
            body += "{\\pntxtb ";
            writeText(QString(QChar(bulletCharacter(entry.style))));
            body += "}}";
        } else {
            body += "{\\*\\pn\\pnlvlbody";
            body += pnNumberWord(entry.style);
            number("\\pnindent", listMarkerTwips);
            if (list->itemNumber(block) == 0)
                body += "\\pnstart1";
            body += "{\\pntxtb ";
            writeText(entry.prefix);
            body += "}{\\pntxta ";
            writeText(entry.suffix);
            body += "}}";
        }
    }

    int listNumber(QTextList* list)
    {
        if (const auto it = listNumbers.constFind(list); it != listNumbers.cend())
            return *it;
        const QTextListFormat format = list->format();
        ListEntry entry;
        entry.style = format.style();
        entry.level = std::clamp(format.indent(), 1, listLevels) - 1;
        if (!isBullet(entry.style)) {
            // Without a suffix of its own, the editor shows a full stop after the number.
            entry.prefix = affix(format.numberPrefix());
            entry.suffix = format.hasProperty(QTextFormat::ListNumberSuffix)
                               ? affix(format.numberSuffix())
                               : QStringLiteral(".");
        }
        lists.push_back(entry);
        const int number = int(lists.size());
        listNumbers.insert(list, number);
        return number;
    }

    // Writes the character properties of a run when they differ from those in effect.
    void setCharProps(int formatIndex, const QTextCharFormat& format)
    {
        CharProps props;
        if (const auto it = charCache.constFind(formatIndex);
            formatIndex >= 0 && it != charCache.cend()) {
            props = *it;
        } else {
            props = charProps(format);
            if (formatIndex >= 0)
                charCache.insert(formatIndex, props);
        }
        if (current && *current == props)
            return;
        // What changed, each switched on or off by itself: simpler readers do not all undo
        // everything at \plain.
        const CharProps from = current.value_or(CharProps{
            -1, -1, -1, -1, Underline::None, Vertical::Normal, Caps::Normal, false, false, false});
        const bool fresh = !current;
        if (fresh)
            body += "\\plain";
        current = props;
        if (props.font != from.font)
            number("\\f", props.font);
        if (props.halfPoints != from.halfPoints)
            number("\\fs", props.halfPoints);
        if (props.bold != from.bold || (fresh && props.bold))
            body += props.bold ? "\\b" : "\\b0";
        if (props.italic != from.italic || (fresh && props.italic))
            body += props.italic ? "\\i" : "\\i0";
        if (props.underline != from.underline) {
            switch (props.underline) {
            case Underline::None:
                body += "\\ulnone";
                break;
            case Underline::Single:
                body += "\\ul";
                break;
            case Underline::Dotted:
                body += "\\uld";
                break;
            case Underline::Dash:
                body += "\\uldash";
                break;
            case Underline::DashDot:
                body += "\\uldashd";
                break;
            case Underline::DashDotDot:
                body += "\\uldashdd";
                break;
            case Underline::Wave:
                body += "\\ulwave";
                break;
            }
        }
        if (props.strike != from.strike || (fresh && props.strike))
            body += props.strike ? "\\strike" : "\\strike0";
        if (props.color != from.color)
            number("\\cf", props.color);
        if (props.background != from.background) {
            number("\\highlight", props.background);
            number("\\cb", props.background);
        }
        if (props.vertical != from.vertical) {
            body += props.vertical == Vertical::Super ? "\\super"
                    : props.vertical == Vertical::Sub ? "\\sub"
                                                      : "\\nosupersub";
        }
        if (props.caps != from.caps) {
            if (from.caps == Caps::All)
                body += "\\caps0";
            else if (from.caps == Caps::Small)
                body += "\\scaps0";
            if (props.caps == Caps::All)
                body += "\\caps";
            else if (props.caps == Caps::Small)
                body += "\\scaps";
        }
        body += ' ';
    }

    CharProps charProps(const QTextCharFormat& format)
    {
        const QFont font = format.font().resolve(defaultFont);
        CharProps props;
        props.font = fontIndex(font.family());
        qreal points = font.pointSizeF();
        if (points <= 0 && font.pixelSize() > 0)
            points = font.pixelSize() * 72.0 / 96.0;
        if (points <= 0)
            points = 12;
        props.halfPoints = std::clamp(int(std::lround(points * 2)), 2, 3276);
        props.bold = font.bold();
        props.italic = font.italic();
        props.strike = font.strikeOut();
        if (format.hasProperty(QTextFormat::TextUnderlineStyle)) {
            switch (format.underlineStyle()) {
            case QTextCharFormat::SingleUnderline:
                props.underline = Underline::Single;
                break;
            case QTextCharFormat::DashUnderline:
                props.underline = Underline::Dash;
                break;
            case QTextCharFormat::DotLine:
                props.underline = Underline::Dotted;
                break;
            case QTextCharFormat::DashDotLine:
                props.underline = Underline::DashDot;
                break;
            case QTextCharFormat::DashDotDotLine:
                props.underline = Underline::DashDotDot;
                break;
            case QTextCharFormat::WaveUnderline:
                props.underline = Underline::Wave;
                break;
            default:
                // Spelling marks are drawn by the editor, never part of the document.
                break;
            }
        } else if (font.underline()) {
            props.underline = Underline::Single;
        }
        if (format.hasProperty(QTextFormat::ForegroundBrush) &&
            format.foreground().style() != Qt::NoBrush)
            props.color = colorIndex(format.foreground().color());
        if (format.hasProperty(QTextFormat::BackgroundBrush) &&
            format.background().style() != Qt::NoBrush)
            props.background = colorIndex(format.background().color());
        if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
            props.vertical = Vertical::Super;
        else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
            props.vertical = Vertical::Sub;
        if (font.capitalization() == QFont::AllUppercase)
            props.caps = Caps::All;
        else if (font.capitalization() == QFont::SmallCaps)
            props.caps = Caps::Small;
        return props;
    }

    int fontIndex(const QString& family)
    {
        // A semicolon ends a name in the font table.
        QString name = family;
        name.remove(u';');
        if (const auto it = fontIndexes.constFind(name); it != fontIndexes.cend())
            return *it;
        fonts.append(name);
        const int index = int(fonts.size() - 1);
        fontIndexes.insert(name, index);
        return index;
    }

    int colorIndex(const QColor& color)
    {
        const QRgb rgb = color.rgb() & 0xFFFFFF;
        if (const auto it = colorIndexes.constFind(rgb); it != colorIndexes.cend())
            return *it;
        colors.push_back(rgb);
        const int index = int(colors.size()); // 0 is the automatic colour
        colorIndexes.insert(rgb, index);
        return index;
    }

    void writeText(QStringView text) { appendText(body, text); }

    // Text as RTF: ASCII as it is, Windows-1252 characters as \'xx, the rest as \uN with '?'.
    void appendText(QByteArray& out, QStringView text)
    {
        for (const QChar ch : text) {
            const char16_t c = ch.unicode();
            if (c >= 0x20 && c < 0x7F) {
                if (c == u'\\' || c == u'{' || c == u'}')
                    out += '\\';
                out += char(c);
                continue;
            }
            switch (c) {
            case u'\t':
                out += "\\tab ";
                continue;
            case QChar::LineSeparator:
            case QChar::ParagraphSeparator:
            case u'\n':
                out += "\\line ";
                continue;
            case 0x00A0:
                out += "\\~";
                continue;
            case 0x00AD:
                out += "\\-";
                continue;
            case 0x2011:
                out += "\\_";
                continue;
            case QChar::ObjectReplacementCharacter:
            case 0xFDD0: // frame marks of tables
            case 0xFDD1:
                continue;
            default:
                break;
            }
            if (c < 0x20 || c == 0x7F)
                continue;
            if (const uchar byte = ansiByte(c)) {
                out += "\\'";
                out += hexDigit(byte >> 4);
                out += hexDigit(byte & 0xF);
                continue;
            }
            out += "\\u";
            out += QByteArray::number(int(qint16(c)));
            out += '?';
        }
    }

    // The field instruction's target: a backslash doubled, since the instruction treats it as
    // an escape, and no quotation mark, which would end the target.
    void writeFieldTarget(const QString& href)
    {
        QString target = href;
        target.replace(u'\\', QStringLiteral("\\\\"));
        target.replace(u'"', QStringLiteral("%22"));
        writeText(target);
    }

    void writePicture(const QTextImageFormat& format)
    {
        const QVariant resource = doc.resource(QTextDocument::ImageResource, QUrl(format.name()));
        QImage image = pictureOf(resource);
        if (image.isNull())
            return; // a picture the editor has not got itself shows as nothing
        // The size the editor shows it at: a given width or height, the other in proportion.
        const double aspect = double(image.height()) / image.width();
        double width = format.width() > 0 ? format.width() : 0;
        double height = format.height() > 0 ? format.height() : 0;
        if (width <= 0 && height <= 0) {
            width = image.width();
            height = image.height();
        } else if (width <= 0) {
            width = height / aspect;
        } else if (height <= 0) {
            height = width * aspect;
        }
        // Larger than a reader takes: scaled down whole, never left out.
        const double fit = std::min({1.0, rtfMaxTwips / (width * rtfTwipsPerPixel),
                                     rtfMaxTwips / (height * rtfTwipsPerPixel)});
        width *= fit;
        height *= fit;
        const double pixels = double(image.width()) * image.height();
        const double scale = std::min(pixelScale, std::sqrt(maxPicturePixels / pixels));
        if (scale < 1.0) {
            const QSize smaller(std::max(1, int(image.width() * scale)),
                                std::max(1, int(image.height() * scale)));
            image = image.scaled(smaller, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "PNG"))
            return;
        body += "{\\pict\\pngblip";
        number("\\picw", image.width());
        number("\\pich", image.height());
        number("\\picwgoal", std::max(1, int(std::lround(width * rtfTwipsPerPixel))));
        number("\\pichgoal", std::max(1, int(std::lround(height * rtfTwipsPerPixel))));
        body += "\r\n";
        const QByteArray hex = png.toHex();
        for (qsizetype at = 0; at < hex.size(); at += hexLineLength) {
            body += QByteArrayView(hex).sliced(at, std::min(hexLineLength, hex.size() - at));
            body += "\r\n";
        }
        body += "}";
    }

    // The pixels of all pictures must stay within what one read decodes.
    void countPicturePixels()
    {
        qint64 pixels = 0;
        for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                if (!format.isImageFormat())
                    continue;
                const QVariant resource =
                    doc.resource(QTextDocument::ImageResource, QUrl(format.toImageFormat().name()));
                const QImage image = pictureOf(resource);
                pixels += qint64(image.width()) * image.height() * it.fragment().length();
            }
        }
        if (pixels > rtfMaxPicturePixels)
            pixelScale = std::sqrt(double(rtfMaxPicturePixels) / double(pixels)) * 0.99;
    }

    QByteArray header()
    {
        QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1";
        // The editor's tab stops, 80 pixels apart.
        number(out, "\\deftab", twips(80));
        out += "\r\n{\\fonttbl";
        for (qsizetype i = 0; i < fonts.size(); ++i) {
            out += "{";
            number(out, "\\f", int(i));
            out += "\\fnil\\fcharset0 ";
            appendText(out, fonts[i]);
            out += ";}";
        }
        out += "}\r\n{\\colortbl;";
        for (const QRgb rgb : colors) {
            number(out, "\\red", qRed(rgb));
            number(out, "\\green", qGreen(rgb));
            number(out, "\\blue", qBlue(rgb));
            out += ';';
        }
        out += "}\r\n";
        if (!lists.empty()) {
            out += "{\\*\\listtable\r\n";
            for (size_t i = 0; i < lists.size(); ++i)
                writeListDefinition(out, lists[i], int(i + 1));
            out += "}\r\n{\\*\\listoverridetable\r\n";
            for (size_t i = 0; i < lists.size(); ++i) {
                out += "{\\listoverride";
                number(out, "\\listid", int(i + 1));
                out += "\\listoverridecount0";
                number(out, "\\ls", int(i + 1));
                out += "}\r\n";
            }
            out += "}\r\n";
        }
        out += "{\\*\\generator Letterwright;}\r\n";
        return out;
    }

    void writeListDefinition(QByteArray& out, const ListEntry& entry, int id)
    {
        out += "{\\list";
        number(out, "\\listtemplateid", id);
        if (entry.level == 0)
            out += "\\listsimple";
        // Every level up to the list's own, in its format.
        for (int level = 0; level <= entry.level; ++level) {
            out += "{\\listlevel";
            const int nfc = isBullet(entry.style) ? 23 : numberFormat(entry.style);
            number(out, "\\levelnfc", nfc);
            number(out, "\\levelnfcn", nfc);
            out += "\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat1\\levelspace0\\levelindent0";
            out += "{\\leveltext";
            if (isBullet(entry.style)) {
                out += "\\'01";
                appendText(out, QString(QChar(bulletCharacter(entry.style))));
                out += ";}{\\levelnumbers;}";
            } else {
                const qsizetype length = entry.prefix.size() + 1 + entry.suffix.size();
                out += "\\'";
                out += hexDigit(uchar(length) >> 4);
                out += hexDigit(uchar(length) & 0xF);
                appendText(out, entry.prefix);
                out += "\\'0";
                out += char('0' + level);
                appendText(out, entry.suffix);
                out += ";}{\\levelnumbers\\'";
                out += hexDigit(uchar(entry.prefix.size() + 1) >> 4);
                out += hexDigit(uchar(entry.prefix.size() + 1) & 0xF);
                out += ";}";
            }
            const int left = twips((level + 1) * doc.indentWidth());
            number(out, "\\fi", -listMarkerTwips);
            number(out, "\\li", left);
            out += "}";
        }
        out += "{\\listname ;}";
        number(out, "\\listid", id);
        out += "}\r\n";
    }

    uchar ansiByte(char16_t c)
    {
        if (c >= 0xA0 && c <= 0xFF)
            return uchar(c);
        if (c < 0x80 || c > 0x2122)
            return 0;
        static const QHash<char16_t, uchar> upper = [] {
            QHash<char16_t, uchar> map;
            const RtfCodePage page(1252);
            for (int byte = 0x80; byte < 0xA0; ++byte) {
                const char16_t ch = page.byteToChar(uchar(byte));
                if (ch != 0xFFFD && ch >= 0x100)
                    map.insert(ch, uchar(byte));
            }
            return map;
        }();
        return upper.value(c, 0);
    }

    static char hexDigit(int value) { return "0123456789abcdef"[value & 0xF]; }

    void number(const char* word, int value) { number(body, word, value); }
    static void number(QByteArray& out, const char* word, int value)
    {
        out += word;
        out += QByteArray::number(value);
    }

    const QTextDocument& doc;
    QFont defaultFont;
    QByteArray body;
    QStringList fonts;
    QHash<QString, int> fontIndexes;
    std::vector<QRgb> colors;
    QHash<QRgb, int> colorIndexes;
    std::vector<ListEntry> lists;
    QHash<QTextList*, int> listNumbers;
    QHash<int, CharProps> charCache;
    std::optional<CharProps> current;
    std::optional<CharProps> beforeField;
    double pixelScale = 1.0;
};

} // namespace

QByteArray writeRtf(const QTextDocument& document)
{
    return Writer(document).write();
}

} // namespace lw
