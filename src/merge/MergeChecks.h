#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace lw {

class MergeTable;

// What is worth knowing about a table before letters are made from it. None of it stops a merge:
// a field without a column, or with an empty cell, stays in the letter as it stands.
struct MergeChecks
{
    struct EmptyCells
    {
        int tableRow = 0;   // as a spreadsheet numbers it: the header is row 1
        QStringList fields; // with their brackets, in the letter's order
        bool operator==(const EmptyCells&) const = default;
    };
    struct OtherCellCount
    {
        int tableRow = 0;
        int cells = 0;
        bool operator==(const OtherCellCount&) const = default;
    };

    // Fields of the letter that no column fills, with their brackets, in the letter's order.
    QStringList fieldsWithoutColumn;
    // Columns that fill no field of the letter, in the table's order.
    QStringList columnsWithoutField;
    // Rows with an empty cell in a column that fills a field.
    QList<EmptyCells> emptyCells;
    // Rows with more or fewer cells than the header.
    int headerCells = 0;
    QList<OtherCellCount> otherCellCounts;
    // Rows without any text, passed over: no letter is made for them.
    QList<int> emptyRows;
    int letters = 0;

    bool isClean() const;
    // The findings as lines for a person, each list cut after `limit` entries with a line that
    // says how many more there are. A clean table gives one line that says so.
    QStringList describe(int limit = 50) const;
};

// Compares the letter's fields (with brackets, as LetterFields gives them) with the table's
// columns and reads every row once.
MergeChecks checkMerge(const QStringList& fields, const MergeTable& table);

} // namespace lw
