#include "platform/ProgramFolders.h"

#include <QCoreApplication>

namespace lw {

namespace {

QString& programDirectoryOverride()
{
    static QString folder;
    return folder;
}

} // namespace

QString programDirectory()
{
    const QString& folder = programDirectoryOverride();
    return folder.isEmpty() ? QCoreApplication::applicationDirPath() : folder;
}

void setProgramDirectory(const QString& folder)
{
    programDirectoryOverride() = folder;
}

QString letterFolder()
{
    return programDirectory() + QStringLiteral("/letter");
}

} // namespace lw
