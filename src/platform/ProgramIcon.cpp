#include "platform/ProgramIcon.h"

#include <QIcon>

namespace lw {

QIcon programIcon()
{
    QIcon builtIn;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        builtIn.addFile(QStringLiteral(":/icons/letterwright-%1.png").arg(size), QSize(size, size));
    return QIcon::fromTheme(QStringLiteral("letterwright"), builtIn);
}

} // namespace lw
