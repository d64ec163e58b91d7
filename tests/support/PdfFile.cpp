#include "PdfFile.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace lw::test {

namespace {

// The tool's standard output, or a null string when it failed.
QString run(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

QStringList pageRange(int page)
{
    if (page <= 0)
        return {};
    return {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
            QString::number(page)};
}

} // namespace

bool PdfFile::toolsAvailable()
{
    for (const char* tool : {"pdfinfo", "pdftotext", "pdffonts", "pdfimages"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            return false;
    }
    return true;
}

int PdfFile::pageCount() const
{
    const QString info = run(QStringLiteral("pdfinfo"), {file});
    const auto match =
        QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption)
            .match(info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QSizeF PdfFile::pageSize() const
{
    const QString info = run(QStringLiteral("pdfinfo"), {file});
    const auto match =
        QRegularExpression(QStringLiteral("^Page size:\\s+([\\d.]+) x ([\\d.]+) pts"),
                           QRegularExpression::MultilineOption)
            .match(info);
    if (!match.hasMatch())
        return {};
    return {match.captured(1).toDouble(), match.captured(2).toDouble()};
}

QString PdfFile::text(int page) const
{
    QString all =
        run(QStringLiteral("pdftotext"), pageRange(page) + QStringList{file, QStringLiteral("-")});
    // pdftotext ends every page with a form feed.
    all.remove(QChar(u'\f'));
    return all;
}

QStringList PdfFile::lines(int page) const
{
    QStringList result;
    const QStringList all = text(page).split(u'\n');
    for (const QString& line : all) {
        if (!line.trimmed().isEmpty())
            result.append(line.trimmed());
    }
    return result;
}

QList<PdfWord> PdfFile::words(int page) const
{
    const QString html =
        run(QStringLiteral("pdftotext"),
            pageRange(page) + QStringList{QStringLiteral("-bbox"), file, QStringLiteral("-")});
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([\\d.-]+)\" yMin=\"([\\d.-]+)\" xMax=\"([\\d.-]+)\" "
                       "yMax=\"([\\d.-]+)\">([^<]*)</word>"));
    QList<PdfWord> result;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        const QPointF topLeft(m.captured(1).toDouble(), m.captured(2).toDouble());
        const QPointF bottomRight(m.captured(3).toDouble(), m.captured(4).toDouble());
        result.append({m.captured(5), QRectF(topLeft, bottomRight)});
    }
    return result;
}

QStringList PdfFile::fonts() const
{
    // Two header lines, then one font a line, its name first.
    const QStringList lines = run(QStringLiteral("pdffonts"), {file}).split(u'\n');
    QStringList result;
    for (const QString& line : lines.mid(2)) {
        const QString name = line.section(u' ', 0, 0, QString::SectionSkipEmpty);
        if (!name.isEmpty())
            result.append(name);
    }
    return result;
}

QList<QSize> PdfFile::images() const
{
    // Two header lines, then one image a line: page, number, type, width, height...; a picture's
    // transparency comes as a line of its own, of type "smask".
    const QStringList lines = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), file})
                                  .split(u'\n', Qt::SkipEmptyParts);
    QList<QSize> result;
    for (const QString& line : lines.mid(2)) {
        const QStringList columns = line.split(u' ', Qt::SkipEmptyParts);
        if (columns.size() > 4 && columns.at(2) == QLatin1String("image"))
            result.append(QSize(columns.at(3).toInt(), columns.at(4).toInt()));
    }
    return result;
}

} // namespace lw::test
