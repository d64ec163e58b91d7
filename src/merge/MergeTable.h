#pragma once

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>
#include <vector>

namespace lw {

// The table of a mail merge, as spreadsheets write CSV: the first row names the columns, every
// further row is one recipient. Fields are separated by commas, semicolons or tabs (whichever the
// header holds most of; an Excel "sep=X" line before it decides), may be quoted with '"' (a
// doubled quote inside stands for one), and may hold line breaks inside quotes; records end with
// CR LF, LF or CR. The bytes are decoded as document files are: UTF-8 with or without byte-order
// mark, otherwise Windows-1252.
//
// Only the decoded text and where each row starts are kept: a row's cells are read when asked
// for, so that a long table costs little more than its text.
class MergeTable
{
public:
    // Reads the file. std::nullopt with `error` naming the file and the reason when it cannot be
    // read, is not a regular file, is empty or has a quoted cell that is never closed.
    static std::optional<MergeTable> read(const QString& path, QString* error = nullptr);
    // The same for bytes already read; `name` stands for the file in messages.
    static std::optional<MergeTable> parse(const QByteArray& bytes, const QString& name,
                                           QString* error = nullptr);

    // The names of the columns as the header gives them, blanks around them taken off.
    const QStringList& columns() const { return header; }
    QChar separator() const { return sep; }

    // The recipients: the rows below the header that hold anything. Rows with only empty cells
    // are passed over.
    int rowCount() const { return int(rows.size()); }
    // The cells of a recipient's row (0-based), as many as the row holds.
    QStringList cells(int row) const;
    // The row's number as a spreadsheet shows it: the header is row 1.
    int tableRow(int row) const { return rows.at(row).tableRow; }
    // The rows of the table that were passed over as empty, by their number in the table.
    const QList<int>& emptyRows() const { return skipped; }

    // The column that fills a field or is named so: "Recipient Name" and "[Recipient Name]" both
    // fill "[Recipient Name]"; letter case and blanks around the name do not count. -1 for none;
    // of two columns with one name, the first.
    int columnOf(QStringView name) const;
    // The form of a column or field name that columnOf compares.
    static QString nameKey(QStringView name);

private:
    struct RowStart
    {
        qsizetype offset;
        int tableRow;
    };

    MergeTable() = default;

    QString text;
    QChar sep = u',';
    QStringList header;
    QStringList headerKeys;
    std::vector<RowStart> rows;
    QList<int> skipped;
};

} // namespace lw
