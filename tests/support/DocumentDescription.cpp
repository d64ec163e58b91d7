#include "DocumentDescription.h"

#include <QCryptographicHash>
#include <QImage>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>
#include <cmath>

namespace {

long twips(qreal pixels)
{
    return std::lround(pixels * 15.0);
}

QString colorName(const QBrush& brush)
{
    if (brush.style() == Qt::NoBrush)
        return QStringLiteral("auto");
    return brush.color().name(QColor::HexRgb);
}

QString listStyle(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListDisc:
    case QTextListFormat::ListStyleUndefined:
        return QStringLiteral("disc");
    case QTextListFormat::ListCircle:
        return QStringLiteral("circle");
    case QTextListFormat::ListSquare:
        return QStringLiteral("square");
    case QTextListFormat::ListDecimal:
        return QStringLiteral("decimal");
    case QTextListFormat::ListLowerAlpha:
        return QStringLiteral("a");
    case QTextListFormat::ListUpperAlpha:
        return QStringLiteral("A");
    case QTextListFormat::ListLowerRoman:
        return QStringLiteral("i");
    case QTextListFormat::ListUpperRoman:
        return QStringLiteral("I");
    default:
        return QString::number(int(style));
    }
}

QString underline(const QTextCharFormat& format, const QFont& font)
{
    if (!format.hasProperty(QTextFormat::TextUnderlineStyle))
        return font.underline() ? QStringLiteral("single") : QString();
    switch (format.underlineStyle()) {
    case QTextCharFormat::SingleUnderline:
        return QStringLiteral("single");
    case QTextCharFormat::DashUnderline:
        return QStringLiteral("dash");
    case QTextCharFormat::DotLine:
        return QStringLiteral("dot");
    case QTextCharFormat::DashDotLine:
        return QStringLiteral("dashdot");
    case QTextCharFormat::DashDotDotLine:
        return QStringLiteral("dashdotdot");
    case QTextCharFormat::WaveUnderline:
        return QStringLiteral("wave");
    default:
        return QString();
    }
}

QString describeChar(const QTextCharFormat& format, const QFont& base)
{
    const QFont font = format.font().resolve(base);
    qreal points = font.pointSizeF();
    if (points <= 0 && font.pixelSize() > 0)
        points = font.pixelSize() * 72.0 / 96.0;
    QStringList parts{font.family(), QString::number(std::lround(points * 2) / 2.0)};
    if (font.bold())
        parts << QStringLiteral("bold");
    if (font.italic())
        parts << QStringLiteral("italic");
    if (const QString line = underline(format, font); !line.isEmpty())
        parts << QStringLiteral("underline:") + line;
    if (font.strikeOut())
        parts << QStringLiteral("strike");
    const QBrush foreground =
        format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground() : QBrush();
    const QBrush background =
        format.hasProperty(QTextFormat::BackgroundBrush) ? format.background() : QBrush();
    if (foreground.style() != Qt::NoBrush)
        parts << QStringLiteral("color:") + colorName(foreground);
    if (background.style() != Qt::NoBrush)
        parts << QStringLiteral("background:") + colorName(background);
    if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        parts << QStringLiteral("super");
    else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
        parts << QStringLiteral("sub");
    if (font.capitalization() == QFont::AllUppercase)
        parts << QStringLiteral("caps");
    else if (font.capitalization() == QFont::SmallCaps)
        parts << QStringLiteral("smallcaps");
    if (format.isAnchor() && !format.anchorHref().isEmpty())
        parts << QStringLiteral("link:") + format.anchorHref();
    return parts.join(u' ');
}

QImage pictureOf(const QVariant& resource)
{
    if (resource.typeId() == QMetaType::QImage)
        return resource.value<QImage>();
    if (resource.typeId() == QMetaType::QPixmap)
        return resource.value<QPixmap>().toImage();
    if (resource.typeId() == QMetaType::QByteArray)
        return QImage::fromData(resource.toByteArray());
    return {};
}

QString describePicture(const QTextDocument& document, const QTextImageFormat& format)
{
    const QImage image =
        pictureOf(document.resource(QTextDocument::ImageResource, QUrl(format.name())))
            .convertToFormat(QImage::Format_ARGB32);
    if (image.isNull())
        return QStringLiteral("picture missing");
    double width = format.width() > 0 ? format.width() : 0;
    double height = format.height() > 0 ? format.height() : 0;
    if (width <= 0 && height <= 0) {
        width = image.width();
        height = image.height();
    } else if (width <= 0) {
        width = height * image.width() / image.height();
    } else if (height <= 0) {
        height = width * image.height() / image.width();
    }
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (int y = 0; y < image.height(); ++y)
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(image.constScanLine(y)),
                                    qsizetype(image.width()) * 4));
    return QStringLiteral("picture %1x%2 twips, %3x%4 pixels, %5")
        .arg(twips(width))
        .arg(twips(height))
        .arg(image.width())
        .arg(image.height())
        .arg(QString::fromLatin1(hash.result().toHex().left(12)));
}

QString describeBlock(const QTextBlock& block, bool breakBefore, QList<QTextList*>& lists)
{
    const QTextBlockFormat format = block.blockFormat();
    QStringList parts{QStringLiteral("paragraph")};
    const Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
    if (alignment & Qt::AlignJustify)
        parts << QStringLiteral("justified");
    else if (alignment & Qt::AlignHCenter)
        parts << QStringLiteral("centred");
    else if (alignment & (Qt::AlignRight | Qt::AlignTrailing))
        parts << QStringLiteral("right");
    if (const long left = twips(format.leftMargin()); left != 0)
        parts << QStringLiteral("left:%1").arg(left);
    if (const long indent = twips(format.textIndent()); indent != 0)
        parts << QStringLiteral("first:%1").arg(indent);
    if (const long right = twips(format.rightMargin()); right != 0)
        parts << QStringLiteral("right:%1").arg(right);
    if (const long before = twips(format.topMargin()); before != 0)
        parts << QStringLiteral("before:%1").arg(before);
    if (const long after = twips(format.bottomMargin()); after != 0)
        parts << QStringLiteral("after:%1").arg(after);
    switch (format.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        if (std::lround(format.lineHeight()) != 100)
            parts << QStringLiteral("line:%1%").arg(std::lround(format.lineHeight()));
        break;
    case QTextBlockFormat::MinimumHeight:
        parts << QStringLiteral("line:at least %1").arg(twips(format.lineHeight()));
        break;
    case QTextBlockFormat::FixedHeight:
        parts << QStringLiteral("line:exactly %1").arg(twips(format.lineHeight()));
        break;
    default:
        break;
    }
    for (const QTextOption::Tab& tab : format.tabPositions())
        parts << QStringLiteral("tab:%1:%2").arg(int(tab.type)).arg(twips(tab.position));
    if (breakBefore)
        parts << QStringLiteral("page break");
    if (QTextList* list = block.textList()) {
        if (!lists.contains(list))
            lists.append(list);
        const QTextListFormat listFormat = list->format();
        parts << QStringLiteral("list %1 %2 level %3 item %4")
                     .arg(QChar(char16_t(u'A' + lists.indexOf(list) % 26)))
                     .arg(listStyle(listFormat.style()))
                     .arg(listFormat.indent())
                     .arg(list->itemText(block));
    }
    return parts.join(u' ');
}

} // namespace

QStringList describeDocument(const QTextDocument& document)
{
    const QFont base = document.defaultFont();
    QStringList lines;
    QList<QTextList*> lists;
    QTextBlock previous;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const bool breakBefore =
            (block.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) ||
            (previous.isValid() &&
             (previous.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysAfter));
        lines << describeBlock(block, breakBefore, lists);
        previous = block;
        if (block.length() == 1) {
            // The first paragraph's mark takes no format from a file: its own is the editor's.
            if (block != document.begin())
                lines << QStringLiteral("  mark ") + describeChar(block.charFormat(), base);
            continue;
        }
        QString runFormat;
        QString runText;
        const auto endRun = [&] {
            if (!runText.isEmpty())
                lines << QStringLiteral("  ") + runFormat + QStringLiteral(": ") + runText;
            runText.clear();
        };
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (format.isImageFormat()) {
                endRun();
                for (int i = 0; i < fragment.length(); ++i)
                    lines << QStringLiteral("  ") +
                                 describePicture(document, format.toImageFormat());
                continue;
            }
            const QString description = describeChar(format, base);
            if (description != runFormat)
                endRun();
            runFormat = description;
            runText += fragment.text();
        }
        endRun();
    }
    return lines;
}
