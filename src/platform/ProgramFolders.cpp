#include "platform/ProgramFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace lw {

namespace {

QString& programDirectoryOverride()
{
    static QString folder;
    return folder;
}

} // namespace

QString programDirectoryFor(const QString& executableFolder)
{
    // An installed program keeps its data apart from its executables, as the file system
    // hierarchy asks: <prefix>/bin and <prefix>/share/letterwright.
    const QString installed =
        QDir::cleanPath(executableFolder + QStringLiteral("/../share/letterwright"));
    if (!QFileInfo::exists(executableFolder + QStringLiteral("/letter")) &&
        QFileInfo(installed).isDir())
        return installed;
    return executableFolder;
}

QString programDirectory()
{
    const QString& folder = programDirectoryOverride();
    return folder.isEmpty() ? programDirectoryFor(QCoreApplication::applicationDirPath()) : folder;
}

void setProgramDirectory(const QString& folder)
{
    programDirectoryOverride() = folder;
}

QString letterFolder()
{
    return programDirectory() + QStringLiteral("/letter");
}

QString defaultLibraryFile()
{
    const QString file = programDirectory() + QStringLiteral("/lwx37.dat");
    return QFileInfo(file).isFile() ? file : QString();
}

} // namespace lw
