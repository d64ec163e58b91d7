#include "editor/SymbolRows.h"

#include "formats/DocumentText.h"

namespace lw {

QString symbolRow(int code)
{
    // Fewer digits, more blanks: a digit is about as wide as two blanks.
    const QString separator = code < 10    ? QStringLiteral("     -  ")
                              : code < 100 ? QStringLiteral("   -  ")
                                           : QStringLiteral(" -  ");
    return QString::number(code) + separator + windows1252Char(static_cast<unsigned char>(code));
}

QStringList symbolRows()
{
    QStringList rows;
    for (int code = firstSymbolCode; code <= lastSymbolCode; ++code)
        rows.append(symbolRow(code));
    return rows;
}

QString symbolOfRow(const QString& row)
{
    return row.right(1);
}

} // namespace lw
