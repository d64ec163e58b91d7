#pragma once

#include <QString>
#include <QStringList>

namespace lw {

inline constexpr int firstSymbolCode = 1;
inline constexpr int lastSymbolCode = 255;

// The symbol list's row for a character code from 1 to 255: the code, a separator that lines the
// dashes up in a proportional font, and the character the Windows-1252 byte stands for.
QString symbolRow(int code);
// The rows for every code, code 1 first.
QStringList symbolRows();
// The symbol a row inserts: its last character.
QString symbolOfRow(const QString& row);

} // namespace lw
