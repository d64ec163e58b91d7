#include "mainwindow/Shutdown.h"

#include "library/DataFile.h"
#include "library/modMain.h"
#include "mainwindow/frmMail.h"
#include "platform/Services.h"

#include <QApplication>

namespace lw {

void ShutDown(frmMail& window)
{
    if (services().application->terminated() || window.shutDownDone)
        return;
    window.shutDownDone = true;

    if (window.DocumentModified &&
        message(&window, QStringLiteral("Current file has been modified.  Save changes?"),
                QStringLiteral("Notice"), MsgButtons::YesNo) == MsgAnswer::Yes) {
        window.SaveDocument();
        if (services().application->terminated())
            return;
    }

    QString error;
    if (!datafile::writeMarker(modMain().DataFilePath, &error))
        message(&window,
                QStringLiteral("The letter library %1 could not be closed properly:\n%2")
                    .arg(modMain().DataFilePath, error),
                QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);

    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* other : windows) {
        if (other != &window && other->isVisible())
            other->close();
    }
}

} // namespace lw
