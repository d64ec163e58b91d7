#include "mainwindow/Shutdown.h"

#include "library/DataFile.h"
#include "library/modMain.h"
#include "mainwindow/frmMail.h"
#include "platform/Services.h"

#include <QApplication>

namespace lw {

bool ShutDown(frmMail& window)
{
    if (services().application->terminated() || window.shutDownDone)
        return true;
    const bool goOn = window.documentFiles.askToSave(
        QStringLiteral("Current file has been modified.  Save changes?"));
    // A guard that ended the program while saving leaves nothing more to do here.
    if (services().application->terminated())
        return true;
    if (!goOn)
        return false;
    window.shutDownDone = true;

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
    return true;
}

} // namespace lw
