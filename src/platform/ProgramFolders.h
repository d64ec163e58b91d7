#pragma once

#include <QString>

namespace lw {

// The folder that holds the executable, the letter folder and the manual.
QString programDirectory();
// Points the program's folders elsewhere; empty stands for the executable's folder. Tests point
// it at a temporary folder.
void setProgramDirectory(const QString& folder);
QString letterFolder();

} // namespace lw
