#pragma once

#include <QString>

namespace lw {

// The folder that holds the letter folder and the manual: beside the executable in a build tree,
// `share/letterwright` of the prefix in an installed program.
QString programDirectory();
// The same, for an executable in `executableFolder`.
QString programDirectoryFor(const QString& executableFolder);
// Points the program's folders elsewhere; empty stands for the executable's. Tests point it at a
// temporary folder.
void setProgramDirectory(const QString& folder);
QString letterFolder();
// The default library an installed program carries, to give a new user; empty when there is none
// (a build tree).
QString defaultLibraryFile();

} // namespace lw
