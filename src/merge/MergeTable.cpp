#include "merge/MergeTable.h"

#include "formats/DocumentText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <array>

namespace lw {

namespace {

// A table is read whole; one far beyond any list of recipients is refused rather than filling
// the memory.
constexpr qint64 largestTable = qint64(256) * 1024 * 1024;

struct Record
{
    QStringList cells;
    qsizetype next = 0;    // where the following record starts
    int lineBreaks = 0;    // inside the record and at its end
    bool unclosed = false; // a quoted cell ran to the end of the text
    bool blank = true;     // every cell is empty or blanks only
};

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r';
}

// Reads the record that starts at `from`.
Record readRecord(QStringView text, qsizetype from, QChar separator)
{
    Record record;
    qsizetype pos = from;
    const qsizetype end = text.size();
    QString cell;
    for (;;) {
        cell.clear();
        if (pos < end && text[pos] == u'"') {
            ++pos;
            for (;;) {
                const qsizetype quote = text.indexOf(u'"', pos);
                if (quote < 0) {
                    record.unclosed = true;
                    cell += text.mid(pos);
                    pos = end;
                    break;
                }
                const QStringView part = text.mid(pos, quote - pos);
                record.lineBreaks += int(part.count(u'\n')) + int(part.count(u'\r')) -
                                     int(part.count(QStringLiteral("\r\n")));
                cell += part;
                pos = quote + 1;
                if (pos < end && text[pos] == u'"') {
                    cell += u'"';
                    ++pos;
                    continue;
                }
                break;
            }
            // Text after the closing quote belongs to the cell, as spreadsheets read it.
            while (pos < end && text[pos] != separator && !isLineBreak(text[pos]))
                cell += text[pos++];
        } else {
            const qsizetype start = pos;
            while (pos < end && text[pos] != separator && !isLineBreak(text[pos]))
                ++pos;
            cell = text.mid(start, pos - start).toString();
        }
        if (record.blank && !cell.trimmed().isEmpty())
            record.blank = false;
        record.cells.append(cell);
        if (pos < end && text[pos] == separator) {
            ++pos;
            continue;
        }
        break;
    }
    if (pos < end && text[pos] == u'\r')
        ++pos;
    if (pos < end && text[pos] == u'\n')
        ++pos;
    if (pos > 0 && isLineBreak(text[pos - 1]))
        ++record.lineBreaks;
    record.next = pos;
    return record;
}

// The separator the header line holds most of, outside quotes; a comma when it holds none.
QChar detectSeparator(QStringView text, qsizetype from)
{
    // Ties go to the rarer character in ordinary text.
    constexpr std::array<char16_t, 3> candidates{u'\t', u';', u','};
    std::array<int, 3> counts{};
    bool quoted = false;
    for (qsizetype i = from; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted) {
            if (isLineBreak(c))
                break;
            for (size_t k = 0; k < candidates.size(); ++k) {
                if (c == candidates[k])
                    ++counts[k];
            }
        }
    }
    size_t best = 0;
    for (size_t k = 1; k < candidates.size(); ++k) {
        if (counts[k] > counts[best])
            best = k;
    }
    return counts[best] > 0 ? QChar(candidates[best]) : QChar(u',');
}

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

std::optional<MergeTable> MergeTable::read(const QString& path, QString* error)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    if (!info.exists()) {
        fail(error, QStringLiteral("The table %1 does not exist.").arg(shown));
        return std::nullopt;
    }
    // A pipe or a device would be read without end.
    if (!info.isFile()) {
        fail(error, QStringLiteral("The table %1 is not a file.").arg(shown));
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(error,
             QStringLiteral("The table %1 cannot be read: %2").arg(shown, file.errorString()));
        return std::nullopt;
    }
    if (file.size() > largestTable) {
        fail(
            error,
            QStringLiteral("The table %1 is too large: a table may hold up to 256 MB.").arg(shown));
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        fail(error,
             QStringLiteral("The table %1 cannot be read: %2").arg(shown, file.errorString()));
        return std::nullopt;
    }
    return parse(bytes, shown, error);
}

std::optional<MergeTable> MergeTable::parse(const QByteArray& bytes, const QString& name,
                                            QString* error)
{
    MergeTable table;
    table.text = decodeDocumentBytes(bytes);
    const QStringView text(table.text);

    qsizetype pos = 0;
    int line = 1;
    // Excel reads and writes a first line "sep=;" that names the separator.
    static const QString sepLine = QStringLiteral("sep=");
    if (text.startsWith(sepLine, Qt::CaseInsensitive) && text.size() > sepLine.size() &&
        (text.size() == sepLine.size() + 1 || isLineBreak(text[sepLine.size() + 1]))) {
        table.sep = text[sepLine.size()];
        pos = sepLine.size() + 1;
        if (pos < text.size() && text[pos] == u'\r')
            ++pos;
        if (pos < text.size() && text[pos] == u'\n')
            ++pos;
        ++line;
    } else {
        table.sep = detectSeparator(text, 0);
    }

    // Blank lines before the header are no part of the table.
    while (pos < text.size() && isLineBreak(text[pos])) {
        if (text[pos] == u'\n' || !(pos + 1 < text.size() && text[pos + 1] == u'\n'))
            ++line;
        ++pos;
    }
    if (pos >= text.size() || text.mid(pos).trimmed().isEmpty()) {
        fail(error, QStringLiteral("The table %1 is empty: its first row must name the columns.")
                        .arg(name));
        return std::nullopt;
    }

    const auto unclosed = [&](int row, int atLine) {
        fail(error, QStringLiteral("The table %1 cannot be read: the quoted cell in row %2 (line "
                                   "%3) has no closing quote.")
                        .arg(name)
                        .arg(row)
                        .arg(atLine));
        return std::nullopt;
    };

    Record header = readRecord(text, pos, table.sep);
    if (header.unclosed)
        return unclosed(1, line);
    for (const QString& cell : header.cells) {
        table.header.append(cell.trimmed());
        table.headerKeys.append(nameKey(cell));
    }
    pos = header.next;
    line += header.lineBreaks;

    int tableRow = 1;
    while (pos < text.size()) {
        ++tableRow;
        const Record record = readRecord(text, pos, table.sep);
        if (record.unclosed)
            return unclosed(tableRow, line);
        if (record.blank)
            table.skipped.append(tableRow);
        else
            table.rows.push_back({pos, tableRow});
        pos = record.next;
        line += record.lineBreaks;
    }
    // Blank lines after the last recipient are the end of the file, not rows left out.
    const int lastRow = table.rows.empty() ? 1 : table.rows.back().tableRow;
    while (!table.skipped.isEmpty() && table.skipped.last() > lastRow)
        table.skipped.removeLast();
    return table;
}

QStringList MergeTable::cells(int row) const
{
    return readRecord(text, rows.at(row).offset, sep).cells;
}

int MergeTable::columnOf(QStringView name) const
{
    const QString key = nameKey(name);
    return key.isEmpty() ? -1 : int(headerKeys.indexOf(key));
}

QString MergeTable::nameKey(QStringView name)
{
    QStringView key = name.trimmed();
    if (key.size() >= 2 && key.startsWith(u'[') && key.endsWith(u']'))
        key = key.mid(1, key.size() - 2);
    return key.toString().simplified().toCaseFolded();
}

} // namespace lw
