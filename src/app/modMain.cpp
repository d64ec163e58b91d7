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
    return QCoreApplication::applicationDirPath();
}

QString letterFolder()
{
    return programDirectory() + QStringLiteral("/letter");
}

} // namespace lw
