#include "merge/MergeChecks.h"

#include "merge/MergeTable.h"

#include <QSet>

namespace lw {

namespace {

QString joined(const QStringList& names)
{
    return names.join(QStringLiteral(", "));
}

// Appends up to `limit` lines made by `line`, then one that counts the rest.
template <typename List, typename Line>
void appendCut(QStringList& lines, const List& list, int limit, Line line)
{
    const int shown = limit > 0 ? std::min<int>(limit, int(list.size())) : int(list.size());
    for (int i = 0; i < shown; ++i)
        lines.append(QStringLiteral("    ") + line(list.at(i)));
    if (shown < list.size())
        lines.append(QStringLiteral("    ... and %1 more rows").arg(list.size() - shown));
}

} // namespace

bool MergeChecks::isClean() const
{
    return fieldsWithoutColumn.isEmpty() && columnsWithoutField.isEmpty() && emptyCells.isEmpty() &&
           otherCellCounts.isEmpty() && emptyRows.isEmpty();
}

QStringList MergeChecks::describe(int limit) const
{
    QStringList lines;
    if (!fieldsWithoutColumn.isEmpty())
        lines.append(QStringLiteral("No column fills %1: %2 as %3 in every letter.")
                         .arg(joined(fieldsWithoutColumn),
                              fieldsWithoutColumn.size() == 1 ? QStringLiteral("it stays")
                                                              : QStringLiteral("they stay"),
                              fieldsWithoutColumn.size() == 1 ? QStringLiteral("it is")
                                                              : QStringLiteral("they are")));
    if (!columnsWithoutField.isEmpty())
        lines.append(columnsWithoutField.size() == 1
                         ? QStringLiteral("The column %1 fills no field of the letter.")
                               .arg(columnsWithoutField.first())
                         : QStringLiteral("The columns %1 fill no field of the letter.")
                               .arg(joined(columnsWithoutField)));
    if (!emptyCells.isEmpty()) {
        lines.append(QStringLiteral("Empty cells, whose fields stay as they are in that letter:"));
        appendCut(lines, emptyCells, limit, [](const EmptyCells& row) {
            return QStringLiteral("Row %1: %2").arg(row.tableRow).arg(joined(row.fields));
        });
    }
    if (!otherCellCounts.isEmpty()) {
        lines.append(QStringLiteral("Rows with another number of cells than the header's %1 "
                                    "(missing cells count as empty, extra cells are left out):")
                         .arg(headerCells));
        appendCut(lines, otherCellCounts, limit, [](const OtherCellCount& row) {
            return QStringLiteral("Row %1: %2 %3")
                .arg(row.tableRow)
                .arg(row.cells)
                .arg(row.cells == 1 ? QStringLiteral("cell") : QStringLiteral("cells"));
        });
    }
    if (!emptyRows.isEmpty()) {
        QStringList rows;
        for (int row : emptyRows)
            rows.append(QString::number(row));
        lines.append(QStringLiteral("Rows without text, for which no letter is made: %1.")
                         .arg(joined(rows)));
    }
    if (lines.isEmpty())
        lines.append(QStringLiteral("The table fits the letter: every field has a column and "
                                    "every cell is filled."));
    return lines;
}

MergeChecks checkMerge(const QStringList& fields, const MergeTable& table)
{
    MergeChecks checks;
    checks.headerCells = int(table.columns().size());
    checks.letters = table.rowCount();
    checks.emptyRows = table.emptyRows();

    // The fields that have a column, with the column that fills each.
    QList<QPair<QString, int>> filled;
    QSet<int> usedColumns;
    for (const QString& field : fields) {
        const int column = table.columnOf(field);
        if (column < 0) {
            checks.fieldsWithoutColumn.append(field);
        } else {
            filled.append({field, column});
            usedColumns.insert(column);
        }
    }
    for (int column = 0; column < table.columns().size(); ++column) {
        const QString& name = table.columns().at(column);
        // A column without a name is a spreadsheet's empty column, not one the user made.
        if (!name.isEmpty() && !usedColumns.contains(column) && table.columnOf(name) == column)
            checks.columnsWithoutField.append(name);
    }

    for (int row = 0; row < table.rowCount(); ++row) {
        const QStringList cells = table.cells(row);
        if (cells.size() != checks.headerCells)
            checks.otherCellCounts.append({table.tableRow(row), int(cells.size())});
        QStringList empty;
        for (const auto& [field, column] : filled) {
            if (column >= cells.size() || cells.at(column).trimmed().isEmpty())
                empty.append(field);
        }
        if (!empty.isEmpty())
            checks.emptyCells.append({table.tableRow(row), empty});
    }
    return checks;
}

} // namespace lw
