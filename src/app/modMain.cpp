#include "app/modMain.h"

#include <QCoreApplication>

namespace lw {

ModMain& modMain()
{
    static ModMain state;
    return state;
}

QString programDirectory()
{
    const QString& folder = modMain().ProgramDirectory;
    return folder.isEmpty() ? QCoreApplication::applicationDirPath() : folder;
}

QString letterFolder()
{
    return programDirectory() + QStringLiteral("/letter");
}

} // namespace lw
