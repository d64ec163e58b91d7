#include "merge/MergeNames.h"

#include <QRegularExpression>

namespace lw {

namespace {

// Linux allows 255 bytes; the rest is room for " (12)" and the extension.
constexpr int longestName = 200;

bool isUnsafe(QChar c)
{
    static const QString unsafe = QStringLiteral("/\\:*?\"<>|");
    return c.unicode() < 0x20 || c.unicode() == 0x7F || unsafe.contains(c) ||
           c.category() == QChar::Other_Format || c == QChar::LineSeparator ||
           c == QChar::ParagraphSeparator;
}

bool isReservedOnWindows(const QString& name)
{
    static const QRegularExpression reserved(
        QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])(\\..*)?$"),
        QRegularExpression::CaseInsensitiveOption);
    return reserved.match(name).hasMatch();
}

} // namespace

QString safeFileName(const QString& text)
{
    QString name;
    name.reserve(text.size());
    for (QChar c : text)
        name += isUnsafe(c) ? QChar(u'_') : c;
    // A leading dot hides the file; trailing dots and blanks are dropped by Windows.
    const auto trimmable = [](QChar c) { return c.isSpace() || c == u'.'; };
    qsizetype first = 0;
    while (first < name.size() && trimmable(name[first]))
        ++first;
    qsizetype last = name.size();
    while (last > first && trimmable(name[last - 1]))
        --last;
    name = name.mid(first, last - first);

    while (name.toUtf8().size() > longestName) {
        name.chop(name.size() >= 2 && name.back().isLowSurrogate() ? 2 : 1);
        while (!name.isEmpty() && trimmable(name.back()))
            name.chop(1);
    }
    if (isReservedOnWindows(name))
        name += u'_';
    return name;
}

MergeFileNames::MergeFileNames(const QString& extension, int letters)
    : extension(extension), width(int(QString::number(std::max(letters, 1)).size()))
{}

QString MergeFileNames::next(const QString& text, int number)
{
    QString base = safeFileName(text);
    if (base.isEmpty())
        base = QStringLiteral("Letter %1").arg(number, width, 10, QChar(u'0'));
    const QString suffix = extension.isEmpty() ? QString() : u'.' + extension;
    QString name = base + suffix;
    for (int copy = 2; taken.contains(name.toCaseFolded()); ++copy)
        name = QStringLiteral("%1 (%2)%3").arg(base).arg(copy).arg(suffix);
    taken.insert(name.toCaseFolded());
    return name;
}

} // namespace lw
