#include "formats/OpenDocument.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentWriter>
#include <QTextList>
#include <QUrl>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <optional>
#include <vector>
#include <zip.h>

namespace lw {

namespace {

// What one read may take from a file: parts of the archive beyond these sizes, lists nested
// deeper, or more picture pixels than this are refused or left out.
constexpr zip_uint64_t maxXmlBytes = 64 * 1024 * 1024;
constexpr zip_uint64_t maxPictureBytes = 64 * 1024 * 1024;
constexpr qint64 maxPicturePixels = 64 * 1024 * 1024;
constexpr int maxListLevels = 9;
constexpr int maxDepth = 256;
constexpr int maxStyleChain = 32;
constexpr double pixelsPerInch = 96.0;

const QString officeNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QString styleNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:style:1.0");
const QString textNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QString foNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0");
const QString svgNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0");
const QString drawNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:drawing:1.0");
const QString tableNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
const QString xlinkNs = QStringLiteral("http://www.w3.org/1999/xlink");

// ---- writing ----

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

// Qt's writer names a font only where the run's format has the older family property, writes a
// size only where the run has one, and a picture's height as its own where only the width was
// given. The format of a run as it is to be written; std::nullopt where it is complete already.
std::optional<QTextCharFormat> preparedFormat(const QTextDocument& source,
                                              const QTextCharFormat& original)
{
    QTextCharFormat format = original;
    const QFont font = format.font().resolve(source.defaultFont());
    bool changed = false;
    if (format.stringProperty(QTextFormat::FontFamily) != font.family() ||
        !format.hasProperty(QTextFormat::FontFamilies)) {
        format.setProperty(QTextFormat::FontFamily, font.family());
        format.setFontFamilies(QStringList{font.family()});
        changed = true;
    }
    if (!format.hasProperty(QTextFormat::FontPointSize)) {
        const qreal points =
            font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / 96.0;
        if (points > 0) {
            format.setFontPointSize(points);
            changed = true;
        }
    }
    if (format.isImageFormat()) {
        QTextImageFormat image = format.toImageFormat();
        const QImage picture =
            pictureOf(source.resource(QTextDocument::ImageResource, QUrl(image.name())));
        if (!picture.isNull() && (image.width() <= 0 || image.height() <= 0)) {
            const double aspect = double(picture.height()) / picture.width();
            if (image.width() <= 0 && image.height() <= 0) {
                image.setWidth(picture.width());
                image.setHeight(picture.height());
            } else if (image.width() <= 0) {
                image.setWidth(image.height() / aspect);
            } else {
                image.setHeight(image.width() * aspect);
            }
            format = image;
            changed = true;
        }
    }
    if (!changed)
        return std::nullopt;
    return format;
}

// Characters XML cannot hold (control characters from a text file, lone surrogates) would make
// the whole file unreadable: they are left out.
QString writableText(const QString& text)
{
    QString kept;
    bool dropped = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text[i + 1].unicode())) {
            if (dropped)
                kept += text.sliced(i, 2);
            ++i;
            continue;
        }
        const bool unwritable =
            (c < 0x20 && c != u'\t') || c == 0xFFFE || c == 0xFFFF || QChar::isSurrogate(c);
        if (unwritable && !dropped) {
            kept = text.left(i);
            dropped = true;
        } else if (!unwritable && dropped) {
            kept += text[i];
        }
    }
    return dropped ? kept : text;
}

// The copy Qt's writer is given: every run's format prepared, text XML can hold, equal pictures
// side by side in fragments of their own (Qt's writer takes a fragment of several for text).
// Built paragraph by paragraph, which costs a fraction of QTextDocument::clone() and a second
// pass; a document with tables or frames, which this does not rebuild, is cloned.
std::unique_ptr<QTextDocument> copyForWriter(const QTextDocument& source)
{
    auto copy = std::make_unique<QTextDocument>();
    copy->setUndoRedoEnabled(false);
    copy->setDefaultFont(source.defaultFont());
    copy->setIndentWidth(source.indentWidth());
    const bool flat = source.rootFrame()->childFrames().isEmpty();
    QHash<int, std::optional<QTextCharFormat>> prepared;
    const auto formatOf = [&](const QTextFragment& fragment) {
        auto found = prepared.constFind(fragment.charFormatIndex());
        if (found == prepared.cend())
            found = prepared.insert(fragment.charFormatIndex(),
                                    preparedFormat(source, fragment.charFormat()));
        return found->value_or(fragment.charFormat());
    };
    QTextCursor out(copy.get());
    out.beginEditBlock();
    if (flat) {
        QHash<QTextList*, QTextList*> lists;
        bool first = true;
        for (QTextBlock block = source.begin(); block.isValid(); block = block.next()) {
            QTextBlockFormat blockFormat = block.blockFormat();
            blockFormat.clearProperty(QTextFormat::ObjectIndex);
            if (first) {
                out.setBlockFormat(blockFormat);
                out.setBlockCharFormat(block.charFormat());
            } else {
                out.insertBlock(blockFormat, block.charFormat());
            }
            first = false;
            if (QTextList* list = block.textList()) {
                if (QTextList* own = lists.value(list))
                    own->add(out.block());
                else
                    lists.insert(list, out.createList(list->format()));
            }
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                const QTextCharFormat format = formatOf(fragment);
                if (format.isImageFormat()) {
                    for (int i = 0; i < fragment.length(); ++i) {
                        QTextCharFormat own = format;
                        own.setProperty(QTextFormat::UserProperty + 1, i);
                        out.insertText(QString(QChar::ObjectReplacementCharacter), own);
                    }
                } else {
                    out.insertText(writableText(fragment.text()), format);
                }
            }
        }
    } else {
        copy.reset(source.clone());
        copy->setUndoRedoEnabled(false);
        copy->setDefaultFont(source.defaultFont());
        out = QTextCursor(copy.get());
        out.beginEditBlock();
        struct Change
        {
            int start;
            int length;
            QTextCharFormat format;
        };
        std::vector<Change> changes;
        std::vector<int> unwritable;
        for (QTextBlock block = copy->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                const QTextCharFormat format = formatOf(fragment);
                for (int i = 0; i < (format.isImageFormat() ? fragment.length() : 1); ++i) {
                    QTextCharFormat own = format;
                    if (format.isImageFormat())
                        own.setProperty(QTextFormat::UserProperty + 1, i);
                    changes.push_back({fragment.position() + i,
                                       format.isImageFormat() ? 1 : fragment.length(), own});
                }
            }
            const QString text = block.text();
            if (writableText(text).size() != text.size()) {
                for (qsizetype i = 0; i < text.size(); ++i) {
                    if (writableText(text.sliced(i, 1)).isEmpty() &&
                        !QChar::isSurrogate(text[i].unicode()))
                        unwritable.push_back(block.position() + int(i));
                }
            }
        }
        for (const Change& change : changes) {
            out.setPosition(change.start);
            out.setPosition(change.start + change.length, QTextCursor::KeepAnchor);
            out.setCharFormat(change.format);
        }
        for (auto it = unwritable.rbegin(); it != unwritable.rend(); ++it) {
            out.setPosition(*it);
            out.deleteChar();
        }
    }
    out.endEditBlock();
    // The copy holds only the pictures added to the document itself.
    for (QTextBlock block = copy->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat())
                continue;
            const QUrl name(format.toImageFormat().name());
            const QVariant picture = source.resource(QTextDocument::ImageResource, name);
            if (picture.isValid())
                copy->addResource(QTextDocument::ImageResource, name, picture);
        }
    }
    return copy;
}

// ---- reading ----

struct Zip
{
    zip_t* archive = nullptr;
    ~Zip()
    {
        if (archive)
            zip_discard(archive);
    }
};

// The entry's bytes, up to `limit`; std::nullopt when it is missing, larger or unreadable.
std::optional<QByteArray> readEntry(zip_t* archive, const QString& name, zip_uint64_t limit)
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    const QByteArray entry = name.toUtf8();
    if (zip_stat(archive, entry.constData(), 0, &stat) != 0)
        return std::nullopt;
    if ((stat.valid & ZIP_STAT_SIZE) && stat.size > limit)
        return std::nullopt;
    zip_file_t* file = zip_fopen(archive, entry.constData(), 0);
    if (!file)
        return std::nullopt;
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const zip_int64_t got = zip_fread(file, buffer, sizeof buffer);
        if (got < 0 || zip_uint64_t(bytes.size()) + zip_uint64_t(got) > limit) {
            zip_fclose(file);
            return std::nullopt;
        }
        if (got == 0)
            break;
        bytes.append(buffer, qsizetype(got));
    }
    zip_fclose(file);
    return bytes;
}

// The styles part Qt's writer leaves out, which other readers need: the document's default font
// as the default of every paragraph.
QByteArray stylesPart(const QFont& font)
{
    QByteArray xml;
    QXmlStreamWriter writer(&xml);
    writer.writeStartDocument();
    writer.writeNamespace(officeNs, QStringLiteral("office"));
    writer.writeNamespace(styleNs, QStringLiteral("style"));
    writer.writeNamespace(foNs, QStringLiteral("fo"));
    writer.writeStartElement(officeNs, QStringLiteral("document-styles"));
    writer.writeAttribute(officeNs, QStringLiteral("version"), QStringLiteral("1.2"));
    writer.writeStartElement(officeNs, QStringLiteral("styles"));
    writer.writeStartElement(styleNs, QStringLiteral("default-style"));
    writer.writeAttribute(styleNs, QStringLiteral("family"), QStringLiteral("paragraph"));
    writer.writeEmptyElement(styleNs, QStringLiteral("text-properties"));
    writer.writeAttribute(foNs, QStringLiteral("font-family"), font.family());
    if (font.pointSizeF() > 0)
        writer.writeAttribute(foNs, QStringLiteral("font-size"),
                              QString::number(font.pointSizeF()) + QStringLiteral("pt"));
    writer.writeEndElement(); // default-style
    writer.writeEndElement(); // styles
    writer.writeEndElement(); // document-styles
    writer.writeEndDocument();
    return xml;
}

// Adds the styles part to the package Qt's writer made, and names it in the manifest. The
// package is changed as a file: libzip's writing into memory is not to be trusted in the version
// Debian has.
bool addStylesPart(QByteArray& package, const QByteArray& styles)
{
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return false;
    const QString path = scratch.filePath(QStringLiteral("package.odt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(package) != package.size())
        return false;
    file.close();
    int zipError = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), 0, &zipError);
    if (!archive)
        return false;
    std::optional<QByteArray> manifest =
        readEntry(archive, QStringLiteral("META-INF/manifest.xml"), 1024 * 1024);
    if (!manifest || !manifest->contains("</manifest:manifest>")) {
        zip_discard(archive);
        return false;
    }
    manifest->replace("</manifest:manifest>",
                      " <manifest:file-entry manifest:media-type=\"text/xml\" "
                      "manifest:full-path=\"styles.xml\"/>\n</manifest:manifest>");
    zip_source_t* stylesSource =
        zip_source_buffer(archive, styles.constData(), zip_uint64_t(styles.size()), 0);
    if (!stylesSource || zip_file_add(archive, "styles.xml", stylesSource, ZIP_FL_OVERWRITE) < 0) {
        zip_source_free(stylesSource);
        zip_discard(archive);
        return false;
    }
    zip_source_t* manifestSource =
        zip_source_buffer(archive, manifest->constData(), zip_uint64_t(manifest->size()), 0);
    if (!manifestSource ||
        zip_file_add(archive, "META-INF/manifest.xml", manifestSource, ZIP_FL_OVERWRITE) < 0) {
        zip_source_free(manifestSource);
        zip_discard(archive);
        return false;
    }
    if (zip_close(archive) < 0) {
        zip_discard(archive);
        return false;
    }
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray result = file.readAll();
    if (file.error() != QFileDevice::NoError || result.isEmpty())
        return false;
    package = result;
    return true;
}

// A length in pixels of 96 an inch; std::nullopt for a percentage or what is no length.
std::optional<double> length(QStringView text)
{
    text = text.trimmed();
    qsizetype unit = 0;
    while (unit < text.size() &&
           (text[unit].isDigit() || text[unit] == u'.' || text[unit] == u'-' || text[unit] == u'+'))
        ++unit;
    bool ok = false;
    const double value = text.left(unit).toDouble(&ok);
    if (!ok)
        return std::nullopt;
    const QStringView suffix = text.sliced(unit).trimmed();
    double pixels = 0;
    if (suffix == u"pt")
        pixels = value * pixelsPerInch / 72.0;
    else if (suffix == u"in" || suffix == u"inch")
        pixels = value * pixelsPerInch;
    else if (suffix == u"cm")
        pixels = value * pixelsPerInch / 2.54;
    else if (suffix == u"mm")
        pixels = value * pixelsPerInch / 25.4;
    else if (suffix == u"pc")
        pixels = value * pixelsPerInch / 6.0;
    else if (suffix == u"px" || suffix.isEmpty())
        pixels = value;
    else
        return std::nullopt;
    // 100 inches: beyond any page.
    return std::clamp(pixels, -9600.0, 9600.0);
}

std::optional<double> percentage(QStringView text)
{
    text = text.trimmed();
    if (!text.endsWith(u'%'))
        return std::nullopt;
    bool ok = false;
    const double value = text.chopped(1).toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return std::clamp(value, -1000.0, 1000.0);
}

std::optional<QColor> color(QStringView text)
{
    const QColor value = QColor::fromString(text.trimmed());
    if (!value.isValid())
        return std::nullopt;
    return value;
}

template <typename T> void inherit(std::optional<T>& mine, const std::optional<T>& base)
{
    if (!mine)
        mine = base;
}

struct TextProps
{
    std::optional<QString> family;
    std::optional<double> points;
    std::optional<double> sizePercent;
    std::optional<bool> bold;
    std::optional<bool> italic;
    std::optional<QTextCharFormat::UnderlineStyle> underline;
    std::optional<bool> strike;
    std::optional<QColor> color;
    std::optional<QColor> background; // invalid: transparent
    std::optional<QTextCharFormat::VerticalAlignment> position;
    std::optional<QFont::Capitalization> caps;

    void inheritFrom(const TextProps& base)
    {
        inherit(family, base.family);
        if (!points && base.points)
            points = sizePercent ? *base.points * *sizePercent / 100.0 : *base.points;
        inherit(bold, base.bold);
        inherit(italic, base.italic);
        inherit(underline, base.underline);
        inherit(strike, base.strike);
        inherit(color, base.color);
        inherit(background, base.background);
        inherit(position, base.position);
        inherit(caps, base.caps);
    }

    QTextCharFormat format() const
    {
        QTextCharFormat format;
        if (family && !family->isEmpty()) {
            format.setFontFamilies(QStringList{*family});
            format.setProperty(QTextFormat::FontFamily, *family);
        }
        if (points && *points > 0)
            format.setFontPointSize(std::clamp(*points, 1.0, 1638.0));
        if (bold)
            format.setFontWeight(*bold ? QFont::Bold : QFont::Normal);
        if (italic)
            format.setFontItalic(*italic);
        if (underline)
            format.setUnderlineStyle(*underline);
        if (strike)
            format.setFontStrikeOut(*strike);
        if (color)
            format.setForeground(*color);
        if (background && background->isValid())
            format.setBackground(*background);
        if (position && *position != QTextCharFormat::AlignNormal)
            format.setVerticalAlignment(*position);
        if (caps && *caps != QFont::MixedCase)
            format.setFontCapitalization(*caps);
        return format;
    }
};

struct ParaProps
{
    std::optional<Qt::Alignment> alignment;
    std::optional<double> left;
    std::optional<double> right;
    std::optional<double> top;
    std::optional<double> bottom;
    std::optional<double> indent;
    std::optional<std::pair<int, double>> lineHeight; // QTextBlockFormat::LineHeightTypes
    std::optional<QList<QTextOption::Tab>> tabs;
    std::optional<bool> breakBefore;
    std::optional<bool> breakAfter;

    void inheritFrom(const ParaProps& base)
    {
        inherit(alignment, base.alignment);
        inherit(left, base.left);
        inherit(right, base.right);
        inherit(top, base.top);
        inherit(bottom, base.bottom);
        inherit(indent, base.indent);
        inherit(lineHeight, base.lineHeight);
        inherit(tabs, base.tabs);
        // A page break belongs to the paragraph whose style says so, and to its children.
        inherit(breakBefore, base.breakBefore);
        inherit(breakAfter, base.breakAfter);
    }

    QTextBlockFormat format() const
    {
        QTextBlockFormat format;
        if (alignment)
            format.setAlignment(*alignment);
        if (left && *left != 0)
            format.setLeftMargin(std::max(0.0, *left));
        if (right && *right > 0)
            format.setRightMargin(*right);
        if (top && *top > 0)
            format.setTopMargin(*top);
        if (bottom && *bottom > 0)
            format.setBottomMargin(*bottom);
        if (indent && *indent != 0)
            format.setTextIndent(*indent);
        if (lineHeight && lineHeight->first != QTextBlockFormat::SingleHeight)
            format.setLineHeight(lineHeight->second, lineHeight->first);
        if (tabs && !tabs->isEmpty())
            format.setTabPositions(*tabs);
        QTextFormat::PageBreakFlags breaks = QTextFormat::PageBreak_Auto;
        if (breakBefore && *breakBefore)
            breaks |= QTextFormat::PageBreak_AlwaysBefore;
        if (breakAfter && *breakAfter)
            breaks |= QTextFormat::PageBreak_AlwaysAfter;
        if (breaks != QTextFormat::PageBreak_Auto)
            format.setPageBreakPolicy(breaks);
        return format;
    }
};

struct Style
{
    QString parent;
    QString listStyle;
    TextProps text;
    ParaProps para;
};

struct ListLevel
{
    QTextListFormat::Style style = QTextListFormat::ListDisc;
    QString prefix;
    QString suffix;
    bool hasSuffix = false;
};

using ListStyle = std::array<std::optional<ListLevel>, maxListLevels>;

QTextListFormat::Style bulletStyle(QStringView bullet)
{
    if (bullet.isEmpty())
        return QTextListFormat::ListDisc;
    switch (bullet[0].unicode()) {
    case u'○':
    case u'◦':
    case u'o':
    case 0xE009:
        return QTextListFormat::ListCircle;
    case u'□':
    case u'■':
    case u'▪':
    case u'▫':
    case 0x25FE:
    case 0xE00A:
        return QTextListFormat::ListSquare;
    default:
        return QTextListFormat::ListDisc;
    }
}

QTextListFormat::Style numberStyle(QStringView format)
{
    if (format == u"a")
        return QTextListFormat::ListLowerAlpha;
    if (format == u"A")
        return QTextListFormat::ListUpperAlpha;
    if (format == u"i")
        return QTextListFormat::ListLowerRoman;
    if (format == u"I")
        return QTextListFormat::ListUpperRoman;
    return QTextListFormat::ListDecimal;
}

class Styles
{
public:
    QHash<QString, Style> paragraph;
    QHash<QString, Style> text;
    QHash<QString, ListStyle> lists;
    QHash<QString, QString> fontFaces;
    Style defaultParagraph;

    // The properties of a style with those it inherits, default style last.
    Style resolved(const QHash<QString, Style>& family, const QString& name) const
    {
        Style result;
        QString next = name;
        for (int step = 0; step < maxStyleChain && !next.isEmpty(); ++step) {
            const auto it = family.constFind(next);
            if (it == family.cend())
                break;
            result.text.inheritFrom(it->text);
            result.para.inheritFrom(it->para);
            if (result.listStyle.isEmpty())
                result.listStyle = it->listStyle;
            next = it->parent;
        }
        return result;
    }

    void read(QXmlStreamReader& xml)
    {
        // Called at office:font-face-decls, office:styles or office:automatic-styles.
        const int depth = 1;
        int level = depth;
        while (level > 0 && !xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement()) {
                --level;
                continue;
            }
            if (!xml.isStartElement())
                continue;
            const QStringView name = xml.name();
            if (xml.namespaceUri() == styleNs && name == u"font-face") {
                const QXmlStreamAttributes a = xml.attributes();
                QString family = a.value(svgNs, QLatin1String("font-family")).toString().trimmed();
                if (family.size() >= 2 && (family.startsWith(u'\'') || family.startsWith(u'"')))
                    family = family.mid(1, family.size() - 2);
                fontFaces.insert(a.value(styleNs, QLatin1String("name")).toString(), family);
                xml.skipCurrentElement();
            } else if (xml.namespaceUri() == styleNs &&
                       (name == u"style" || name == u"default-style")) {
                readStyle(xml, name == u"default-style");
            } else if (xml.namespaceUri() == textNs && name == u"list-style") {
                readListStyle(xml);
            } else {
                xml.skipCurrentElement();
            }
        }
    }

private:
    void readStyle(QXmlStreamReader& xml, bool isDefault)
    {
        const QXmlStreamAttributes a = xml.attributes();
        const QStringView family = a.value(styleNs, QLatin1String("family"));
        Style style;
        style.parent = a.value(styleNs, QLatin1String("parent-style-name")).toString();
        style.listStyle = a.value(styleNs, QLatin1String("list-style-name")).toString();
        while (xml.readNextStartElement()) {
            if (xml.namespaceUri() == styleNs && xml.name() == u"text-properties")
                readTextProps(xml, style.text);
            else if (xml.namespaceUri() == styleNs && xml.name() == u"paragraph-properties")
                readParaProps(xml, style.para);
            else
                xml.skipCurrentElement();
        }
        const QString name = a.value(styleNs, QLatin1String("name")).toString();
        if (family == u"paragraph") {
            if (isDefault)
                defaultParagraph = style;
            else
                paragraph.insert(name, style);
        } else if (family == u"text" && !isDefault) {
            text.insert(name, style);
        }
    }

    void readTextProps(QXmlStreamReader& xml, TextProps& props)
    {
        const QXmlStreamAttributes a = xml.attributes();
        if (const QStringView face = a.value(styleNs, QLatin1String("font-name")); !face.isEmpty())
            props.family = fontFaces.value(face.toString(), face.toString());
        if (QString family = a.value(foNs, QLatin1String("font-family")).toString().trimmed();
            !family.isEmpty()) {
            if (family.size() >= 2 && (family.startsWith(u'\'') || family.startsWith(u'"')))
                family = family.mid(1, family.size() - 2);
            props.family = family;
        }
        if (const QStringView size = a.value(foNs, QLatin1String("font-size")); !size.isEmpty()) {
            if (const auto percent = percentage(size))
                props.sizePercent = *percent;
            else if (const auto pixels = length(size); pixels && *pixels > 0)
                props.points = *pixels * 72.0 / pixelsPerInch;
        }
        if (const QStringView weight = a.value(foNs, QLatin1String("font-weight"));
            !weight.isEmpty())
            props.bold = weight == u"bold" || weight.toInt() >= 600;
        if (const QStringView italic = a.value(foNs, QLatin1String("font-style"));
            !italic.isEmpty())
            props.italic = italic == u"italic" || italic == u"oblique";
        const QStringView lineStyle = a.value(styleNs, QLatin1String("text-underline-style"));
        const QStringView lineType = a.value(styleNs, QLatin1String("text-underline-type"));
        if (!lineStyle.isEmpty()) {
            if (lineStyle == u"none")
                props.underline = QTextCharFormat::NoUnderline;
            else if (lineStyle == u"dotted")
                props.underline = QTextCharFormat::DotLine;
            else if (lineStyle == u"dash" || lineStyle == u"long-dash")
                props.underline = QTextCharFormat::DashUnderline;
            else if (lineStyle == u"dot-dash" || lineStyle == u"dash-dot")
                props.underline = QTextCharFormat::DashDotLine;
            else if (lineStyle == u"dot-dot-dash")
                props.underline = QTextCharFormat::DashDotDotLine;
            else if (lineStyle == u"wave")
                props.underline = QTextCharFormat::WaveUnderline;
            else
                props.underline = QTextCharFormat::SingleUnderline;
        } else if (!lineType.isEmpty()) {
            props.underline = lineType == u"none" ? QTextCharFormat::NoUnderline
                                                  : QTextCharFormat::SingleUnderline;
        }
        const QStringView strikeStyle = a.value(styleNs, QLatin1String("text-line-through-style"));
        const QStringView strikeType = a.value(styleNs, QLatin1String("text-line-through-type"));
        if (!strikeStyle.isEmpty())
            props.strike = strikeStyle != u"none";
        else if (!strikeType.isEmpty())
            props.strike = strikeType != u"none";
        if (const QStringView value = a.value(foNs, QLatin1String("color")); !value.isEmpty())
            props.color = color(value);
        if (const QStringView value = a.value(foNs, QLatin1String("background-color"));
            !value.isEmpty())
            props.background = value == u"transparent" ? QColor() : color(value).value_or(QColor());
        if (const QStringView value = a.value(styleNs, QLatin1String("text-position"));
            !value.isEmpty()) {
            if (value.startsWith(u"super"))
                props.position = QTextCharFormat::AlignSuperScript;
            else if (value.startsWith(u"sub"))
                props.position = QTextCharFormat::AlignSubScript;
            else if (const auto percent = percentage(value.split(u' ').front()))
                props.position = *percent > 0   ? QTextCharFormat::AlignSuperScript
                                 : *percent < 0 ? QTextCharFormat::AlignSubScript
                                                : QTextCharFormat::AlignNormal;
        }
        if (const QStringView value = a.value(foNs, QLatin1String("font-variant"));
            !value.isEmpty())
            props.caps = value == u"small-caps" ? QFont::SmallCaps : QFont::MixedCase;
        if (const QStringView value = a.value(foNs, QLatin1String("text-transform"));
            !value.isEmpty()) {
            if (value == u"uppercase")
                props.caps = QFont::AllUppercase;
            else if (value == u"lowercase")
                props.caps = QFont::AllLowercase;
            else if (value == u"capitalize")
                props.caps = QFont::Capitalize;
            else if (!props.caps)
                props.caps = QFont::MixedCase;
        }
        xml.skipCurrentElement();
    }

    void readParaProps(QXmlStreamReader& xml, ParaProps& props)
    {
        const QXmlStreamAttributes a = xml.attributes();
        if (const QStringView value = a.value(foNs, QLatin1String("text-align"));
            !value.isEmpty()) {
            if (value == u"center")
                props.alignment = Qt::AlignHCenter;
            else if (value == u"end" || value == u"right")
                props.alignment = Qt::AlignRight;
            else if (value == u"justify")
                props.alignment = Qt::AlignJustify;
            else
                props.alignment = Qt::AlignLeft;
        }
        const auto readLength = [&](const char* name, std::optional<double>& into) {
            if (const QStringView value = a.value(foNs, QLatin1String(name)); !value.isEmpty())
                if (const auto pixels = length(value))
                    into = *pixels;
        };
        readLength("margin-left", props.left);
        readLength("margin-right", props.right);
        readLength("margin-top", props.top);
        readLength("margin-bottom", props.bottom);
        readLength("text-indent", props.indent);
        // Qt's own writer puts the line height in the style namespace.
        QStringView lineHeight = a.value(foNs, QLatin1String("line-height"));
        if (lineHeight.isEmpty())
            lineHeight = a.value(styleNs, QLatin1String("line-height"));
        if (const QStringView value = lineHeight; !value.isEmpty()) {
            if (value == u"normal")
                props.lineHeight = std::pair(int(QTextBlockFormat::SingleHeight), 0.0);
            else if (const auto percent = percentage(value); percent && *percent > 0)
                props.lineHeight = std::pair(int(QTextBlockFormat::ProportionalHeight), *percent);
            else if (const auto pixels = length(value); pixels && *pixels > 0)
                props.lineHeight = std::pair(int(QTextBlockFormat::FixedHeight), *pixels);
        }
        if (const QStringView value = a.value(styleNs, QLatin1String("line-height-at-least"));
            !value.isEmpty())
            if (const auto pixels = length(value); pixels && *pixels > 0)
                props.lineHeight = std::pair(int(QTextBlockFormat::MinimumHeight), *pixels);
        if (const QStringView value = a.value(foNs, QLatin1String("break-before"));
            !value.isEmpty())
            props.breakBefore = value == u"page";
        if (const QStringView value = a.value(foNs, QLatin1String("break-after")); !value.isEmpty())
            props.breakAfter = value == u"page";
        while (xml.readNextStartElement()) {
            if (xml.namespaceUri() == styleNs && xml.name() == u"tab-stops") {
                QList<QTextOption::Tab> tabs;
                while (xml.readNextStartElement()) {
                    const QXmlStreamAttributes t = xml.attributes();
                    const auto position = length(t.value(styleNs, QLatin1String("position")));
                    const QStringView type = t.value(styleNs, QLatin1String("type"));
                    QTextOption::Tab tab;
                    tab.position = std::max(0.0, position.value_or(0));
                    tab.type = type == u"right"    ? QTextOption::RightTab
                               : type == u"center" ? QTextOption::CenterTab
                               : type == u"char"   ? QTextOption::DelimiterTab
                                                   : QTextOption::LeftTab;
                    const QStringView delimiter = t.value(styleNs, QLatin1String("char"));
                    if (!delimiter.isEmpty())
                        tab.delimiter = delimiter[0];
                    if (position && tabs.size() < 64)
                        tabs.append(tab);
                    xml.skipCurrentElement();
                }
                props.tabs = tabs;
            } else {
                xml.skipCurrentElement();
            }
        }
    }

    void readListStyle(QXmlStreamReader& xml)
    {
        const QString name = xml.attributes().value(styleNs, QLatin1String("name")).toString();
        ListStyle style;
        while (xml.readNextStartElement()) {
            const QXmlStreamAttributes a = xml.attributes();
            const int level = a.value(textNs, QLatin1String("level")).toInt();
            if (level >= 1 && level <= maxListLevels) {
                ListLevel entry;
                if (xml.name() == u"list-level-style-number") {
                    entry.style = numberStyle(a.value(styleNs, QLatin1String("num-format")));
                    entry.prefix = a.value(styleNs, QLatin1String("num-prefix")).toString();
                    entry.hasSuffix = a.hasAttribute(styleNs, QLatin1String("num-suffix"));
                    entry.suffix = a.value(styleNs, QLatin1String("num-suffix")).toString();
                    // A level that shows no number is no numbered list.
                    if (a.value(styleNs, QLatin1String("num-format")).isEmpty())
                        entry.style = QTextListFormat::ListDisc;
                } else {
                    entry.style = bulletStyle(a.value(textNs, QLatin1String("bullet-char")));
                }
                style[size_t(level - 1)] = entry;
            }
            xml.skipCurrentElement();
        }
        lists.insert(name, style);
    }
};

class Builder
{
public:
    Builder(zip_t* archive, Styles& styles, QTextCursor& cursor)
        : archive(archive), styles(styles), cursor(cursor)
    {}

    // Told now and then how much of the XML is read; returns false to stop.
    std::function<bool(qint64 done)> progress;
    bool stopped = false;

    // At office:text.
    void readBody(QXmlStreamReader& xml)
    {
        while (goOn(xml) && xml.readNextStartElement())
            readBlockLevel(xml, 0);
    }

private:
    struct ListContext
    {
        QString style;
        int level = 0; // 1-based nesting depth
    };

    // Asks `progress` between paragraphs, every few kilobytes of XML; false once it said stop.
    bool goOn(const QXmlStreamReader& xml)
    {
        constexpr qint64 progressStep = qint64(1) << 15;
        if (stopped || !progress || xml.characterOffset() < nextReport)
            return !stopped;
        nextReport = xml.characterOffset() + progressStep;
        stopped = !progress(xml.characterOffset());
        return !stopped;
    }
    qint64 nextReport = 0;

    void readBlockLevel(QXmlStreamReader& xml, int depth)
    {
        if (depth > maxDepth) {
            xml.skipCurrentElement();
            return;
        }
        const QStringView name = xml.name();
        const QStringView ns = xml.namespaceUri();
        if (ns == textNs && (name == u"p" || name == u"h")) {
            readParagraph(xml, depth);
        } else if (ns == textNs && name == u"list") {
            readList(xml, depth);
        } else if ((ns == textNs && (name == u"section" || name == u"list-item" ||
                                     name == u"list-header" || name == u"index-body")) ||
                   (ns == tableNs &&
                    (name == u"table" || name == u"table-row" || name == u"table-cell" ||
                     name == u"table-rows" || name == u"table-header-rows" ||
                     name == u"table-row-group"))) {
            // Containers: their paragraphs follow one another.
            while (goOn(xml) && xml.readNextStartElement())
                readBlockLevel(xml, depth + 1);
        } else {
            xml.skipCurrentElement();
        }
    }

    void readList(QXmlStreamReader& xml, int depth)
    {
        const QXmlStreamAttributes a = xml.attributes();
        const ListContext saved = list;
        const bool topLevel = list.level == 0;
        QString style = a.value(textNs, QLatin1String("style-name")).toString();
        if (style.isEmpty())
            style = list.style;
        if (topLevel) {
            // Numbering goes on from the list before when the file says so.
            const bool goesOn = a.value(textNs, QLatin1String("continue-numbering")) == u"true" ||
                                !a.value(textNs, QLatin1String("continue-list")).isEmpty();
            if (!goesOn || style != lastTopStyle)
                lists.clear();
            lastTopStyle = style;
        }
        list = {style, std::min(list.level + 1, maxListLevels)};
        // A nested list element is a list of its own at its level.
        if (!topLevel)
            lists.erase(list.level);
        while (goOn(xml) && xml.readNextStartElement())
            readBlockLevel(xml, depth + 1);
        list = saved;
    }

    void startParagraph(const Style& style)
    {
        if (blocks++ > 0)
            cursor.insertBlock();
        QTextBlockFormat format = style.para.format();
        QTextList* target = nullptr;
        if (list.level > 0) {
            QString listStyleName = list.style;
            if (listStyleName.isEmpty())
                listStyleName = style.listStyle;
            const ListStyle levels = styles.lists.value(listStyleName);
            const std::optional<ListLevel>& level = levels[size_t(list.level - 1)];
            QTextListFormat listFormat;
            const ListLevel entry = level.value_or(ListLevel());
            listFormat.setStyle(entry.style);
            listFormat.setIndent(list.level);
            if (!entry.prefix.isEmpty())
                listFormat.setNumberPrefix(entry.prefix);
            if (entry.hasSuffix)
                listFormat.setNumberSuffix(entry.suffix);
            const auto it = lists.find(list.level);
            if (it != lists.end() && it->second.list &&
                it->second.list->format().style() == listFormat.style()) {
                target = it->second.list;
            } else {
                lists[list.level] = {nullptr};
            }
            cursor.setBlockFormat(format);
            if (target) {
                target->add(cursor.block());
            } else {
                lists[list.level].list = cursor.createList(listFormat);
            }
        } else {
            cursor.setBlockFormat(format);
        }
    }

    void readParagraph(QXmlStreamReader& xml, int depth)
    {
        const QString styleName =
            xml.attributes().value(textNs, QLatin1String("style-name")).toString();
        Style style = styles.resolved(styles.paragraph, styleName);
        const QTextCharFormat own = style.text.format();
        style.text.inheritFrom(styles.defaultParagraph.text);
        style.para.inheritFrom(styles.defaultParagraph.para);
        startParagraph(style);
        const QTextCharFormat base = style.text.format();
        cursor.setBlockCharFormat(base);
        pendingTab = false;
        readInline(xml, style.text, QString(), depth + 1);
        flushTab(style.text.format());
        markerLikeText(base, own);
    }

    // Qt draws a list's bullet or number in the paragraph's own character format, which files
    // rarely carry: without it the marker would take the document's default font. Where the
    // paragraph's own style names no font, the marker takes the first character's, as it shows.
    void markerLikeText(const QTextCharFormat& base, const QTextCharFormat& own)
    {
        const QTextBlock block = cursor.block();
        if (!block.textList() || block.begin().atEnd())
            return;
        const QTextCharFormat first = block.begin().fragment().charFormat();
        QTextCharFormat marker = base;
        if (!own.hasProperty(QTextFormat::FontFamilies) &&
            first.hasProperty(QTextFormat::FontFamilies))
            marker.setFontFamilies(first.fontFamilies().toStringList());
        if (!own.hasProperty(QTextFormat::FontPointSize) &&
            first.hasProperty(QTextFormat::FontPointSize))
            marker.setFontPointSize(first.fontPointSize());
        if (marker != base) {
            QTextCursor mark(block);
            mark.setBlockCharFormat(marker);
        }
    }

    void flushTab(const QTextCharFormat& format)
    {
        if (pendingTab) {
            cursor.insertText(QStringLiteral("\t"),
                              pendingTabFormat.isValid() ? pendingTabFormat : format);
            pendingTab = false;
        }
    }

    QTextCharFormat charFormat(const TextProps& props, const QString& href)
    {
        QTextCharFormat format = props.format();
        if (!href.isEmpty()) {
            format.setAnchor(true);
            format.setAnchorHref(href);
        }
        return format;
    }

    void insertText(const QString& text, const TextProps& props, const QString& href)
    {
        if (text.isEmpty())
            return;
        const QTextCharFormat format = charFormat(props, href);
        flushTab(format);
        cursor.insertText(text, format);
    }

    void readInline(QXmlStreamReader& xml, const TextProps& props, const QString& href, int depth)
    {
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement())
                return;
            if (xml.isCharacters()) {
                QStringView raw = xml.text();
                // Indentation between elements, as Qt's own writer puts it, is not text.
                if (xml.isWhitespace() && raw.contains(u'\n'))
                    continue;
                // Blanks collapse within a text, not across: Qt's own writer puts one blank
                // literally on either side of a change of format.
                bool lastWasSpace = false;
                QString text;
                text.reserve(raw.size());
                for (const QChar c : raw) {
                    const bool space = c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
                    if (space) {
                        if (!lastWasSpace)
                            text += u' ';
                        lastWasSpace = true;
                    } else {
                        text += c;
                        lastWasSpace = false;
                    }
                }
                insertText(text, props, href);
                continue;
            }
            if (!xml.isStartElement())
                continue;
            if (depth > maxDepth) {
                xml.skipCurrentElement();
                continue;
            }
            const QStringView name = xml.name();
            const QStringView ns = xml.namespaceUri();
            const QXmlStreamAttributes a = xml.attributes();
            if (ns == textNs && name == u"span") {
                Style span = styles.resolved(
                    styles.text, a.value(textNs, QLatin1String("style-name")).toString());
                span.text.inheritFrom(props);
                readInline(xml, span.text, href, depth + 1);
            } else if (ns == textNs && name == u"a") {
                const QString target = a.value(xlinkNs, QLatin1String("href")).toString();
                Style span = styles.resolved(
                    styles.text, a.value(textNs, QLatin1String("style-name")).toString());
                span.text.inheritFrom(props);
                readInline(xml, span.text, target.isEmpty() ? href : target, depth + 1);
            } else if (ns == textNs && name == u"s") {
                const int count = std::clamp(a.hasAttribute(textNs, QLatin1String("c"))
                                                 ? a.value(textNs, QLatin1String("c")).toInt()
                                                 : 1,
                                             1, 1000);
                insertText(QString(count, u' '), props, href);
                xml.skipCurrentElement();
            } else if (ns == textNs && name == u"tab") {
                // Held back: Qt's own writer puts a tab before every line break.
                flushTab(charFormat(props, href));
                pendingTab = true;
                pendingTabFormat = charFormat(props, href);
                xml.skipCurrentElement();
            } else if (ns == textNs && name == u"line-break") {
                pendingTab = false;
                insertText(QString(QChar::LineSeparator), props, href);
                xml.skipCurrentElement();
            } else if (ns == drawNs && name == u"frame") {
                readFrame(xml, props, href);
            } else if ((ns == textNs &&
                        (name == u"note" || name == u"tracked-changes" || name == u"bookmark" ||
                         name == u"bookmark-start" || name == u"bookmark-end" ||
                         name == u"soft-page-break" || name == u"sequence-decls")) ||
                       ns == officeNs) {
                // Notes and annotations are not part of the letter's text.
                xml.skipCurrentElement();
            } else {
                // Fields and other inline elements show their text.
                readInline(xml, props, href, depth + 1);
            }
        }
    }

    void readFrame(QXmlStreamReader& xml, const TextProps& props, const QString& href)
    {
        const QXmlStreamAttributes a = xml.attributes();
        const auto width = length(a.value(svgNs, QLatin1String("width")));
        const auto height = length(a.value(svgNs, QLatin1String("height")));
        while (xml.readNextStartElement()) {
            if (xml.namespaceUri() == drawNs && xml.name() == u"image") {
                const QString target =
                    xml.attributes().value(xlinkNs, QLatin1String("href")).toString();
                QByteArray data;
                if (!target.isEmpty() && !target.contains(u"://")) {
                    QString entry = target;
                    if (entry.startsWith(QStringLiteral("./")))
                        entry = entry.mid(2);
                    data = readEntry(archive, entry, maxPictureBytes).value_or(QByteArray());
                }
                while (xml.readNextStartElement()) {
                    if (xml.namespaceUri() == officeNs && xml.name() == u"binary-data" &&
                        data.isEmpty())
                        data = QByteArray::fromBase64(xml.readElementText().toLatin1());
                    else
                        xml.skipCurrentElement();
                }
                insertPicture(data, width, height, props, href);
            } else {
                xml.skipCurrentElement();
            }
        }
    }

    void insertPicture(const QByteArray& data, std::optional<double> width,
                       std::optional<double> height, const TextProps& props, const QString& href)
    {
        if (data.isEmpty())
            return;
        QBuffer buffer;
        buffer.setData(data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        const QSize size = reader.size();
        const qint64 pixels = qint64(size.width()) * size.height();
        if (!size.isValid() || pixels > pixelBudget)
            return;
        const QImage image = reader.read();
        if (image.isNull())
            return;
        pixelBudget -= pixels;
        const QString name =
            QStringLiteral("odtimage:") +
            QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex());
        cursor.document()->addResource(QTextDocument::ImageResource, QUrl(name), image);
        QTextImageFormat format;
        format.merge(charFormat(props, href));
        format.setObjectType(QTextFormat::ImageObject);
        format.setName(name);
        if (width && *width > 0)
            format.setWidth(*width);
        if (height && *height > 0)
            format.setHeight(*height);
        flushTab(charFormat(props, href));
        cursor.insertImage(format);
    }

    struct LevelList
    {
        QTextList* list = nullptr;
    };

    zip_t* archive;
    Styles& styles;
    QTextCursor& cursor;
    ListContext list;
    std::map<int, LevelList> lists;
    QString lastTopStyle;
    int blocks = 0;
    bool pendingTab = false;
    QTextCharFormat pendingTabFormat;
    qint64 pixelBudget = maxPicturePixels;
};

bool fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

// Reads the styles of styles.xml or content.xml; false when the XML is not well formed.
bool readStyles(const QByteArray& xmlData, Styles& styles)
{
    QXmlStreamReader xml(xmlData);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.namespaceUri() == officeNs &&
            (xml.name() == u"font-face-decls" || xml.name() == u"styles" ||
             xml.name() == u"automatic-styles"))
            styles.read(xml);
    }
    return !xml.hasError();
}

} // namespace

bool isOpenDocument(const QByteArray& data)
{
    return data.startsWith("PK\x03\x04");
}

bool writeOdt(const QTextDocument& document, QIODevice& device, QString* error)
{
    const std::unique_ptr<QTextDocument> copy = copyForWriter(document);
    QByteArray package;
    QBuffer buffer(&package);
    buffer.open(QIODevice::WriteOnly);
    QTextDocumentWriter writer(&buffer, "odf");
    if (!writer.write(copy.get()) || !addStylesPart(package, stylesPart(document.defaultFont())))
        return fail(error, QStringLiteral("the document could not be made."));
    if (device.write(package) != package.size())
        return fail(error, device.errorString());
    return true;
}

struct OdtReader::Private
{
    Zip zip;
    Styles styles;
    std::optional<QByteArray> content;
};

OdtReader::OdtReader() : d(std::make_unique<Private>()) {}

OdtReader::~OdtReader() = default;

bool OdtReader::open(const QByteArray& data, QString* error)
{
    d = std::make_unique<Private>();
    if (!isOpenDocument(data))
        return fail(error, QStringLiteral("it is not an OpenDocument file."));
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* source =
        zip_source_buffer_create(data.constData(), zip_uint64_t(data.size()), 0, &zipError);
    if (!source) {
        zip_error_fini(&zipError);
        return fail(error, QStringLiteral("it is not an OpenDocument file."));
    }
    d->zip.archive = zip_open_from_source(source, ZIP_RDONLY, &zipError);
    zip_error_fini(&zipError);
    if (!d->zip.archive) {
        zip_source_free(source);
        return fail(error, QStringLiteral("it is not an OpenDocument file."));
    }
    if (const auto mimetype = readEntry(d->zip.archive, QStringLiteral("mimetype"), 256);
        mimetype && !mimetype->trimmed().startsWith("application/vnd.oasis.opendocument.text"))
        return fail(error, QStringLiteral("it is not an OpenDocument text."));
    if (const auto manifest =
            readEntry(d->zip.archive, QStringLiteral("META-INF/manifest.xml"), maxXmlBytes);
        manifest && manifest->contains("encryption-data"))
        return fail(error, QStringLiteral("it is protected with a password."));
    d->content = readEntry(d->zip.archive, QStringLiteral("content.xml"), maxXmlBytes);
    if (!d->content)
        return fail(error, QStringLiteral("its text cannot be read."));
    if (const auto stylesXml = readEntry(d->zip.archive, QStringLiteral("styles.xml"), maxXmlBytes))
        readStyles(*stylesXml, d->styles);
    // The whole text is checked here, so that a damaged file changes nothing.
    if (!readStyles(*d->content, d->styles)) {
        d->content.reset();
        return fail(error, QStringLiteral("its text is damaged."));
    }
    return true;
}

void OdtReader::read(QTextCursor& cursor)
{
    read(cursor, {});
}

bool OdtReader::read(QTextCursor& cursor,
                     const std::function<bool(qint64 done, qint64 total)>& progress)
{
    if (cursor.isNull() || !d->content)
        return true;
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    Builder builder(d->zip.archive, d->styles, cursor);
    // The XML is UTF-8: its characters stand for about as many bytes.
    const qint64 total = d->content->size();
    if (progress)
        builder.progress = [&](qint64 done) { return progress(std::min(done, total), total); };
    QXmlStreamReader xml(*d->content);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.namespaceUri() == officeNs && xml.name() == u"text") {
            builder.readBody(xml);
            break;
        }
    }
    cursor.endEditBlock();
    if (builder.stopped)
        return false;
    return !progress || progress(total, total);
}

bool readOdt(const QByteArray& data, QTextCursor& cursor, QString* error)
{
    OdtReader reader;
    if (!reader.open(data, error))
        return false;
    reader.read(cursor);
    return true;
}

} // namespace lw
