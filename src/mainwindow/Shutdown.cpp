#include "mainwindow/Shutdown.h"

#include "library/DataFile.h"
#include "library/modMain.h"
#include "mainwindow/MainWindow.h"
#include "platform/Services.h"

#include <QApplication>
#include <QDir>

namespace lw {

namespace {

void closeOtherWindows(MainWindow& window)
{
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* other : windows) {
        if (other != &window && other->isVisible())
            other->close();
    }
}

} // namespace

bool ShutDown(MainWindow& window)
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
    const QString path = modMain().DataFilePath;
    switch (datafile::writeMarkerIfOurs(path, modMain().DataFileIdentity, &error)) {
    case datafile::MarkResult::Written:
    case datafile::MarkResult::AlreadyMarked:
        break;
    case datafile::MarkResult::NotOurs:
        message(&window,
                QStringLiteral("The letter library %1 was replaced while Letterwright was running. "
                               "The file now in its place is not the library Letterwright opened, "
                               "and it has been left as it is.")
                    .arg(QDir::toNativeSeparators(path)),
                QStringLiteral("Notice"), MsgButtons::Ok, MsgIcon::Exclamation);
        break;
    case datafile::MarkResult::Failed:
        message(&window,
                QStringLiteral("The letter library %1 could not be closed properly:\n%2")
                    .arg(QDir::toNativeSeparators(path), error),
                QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);
        break;
    }
    closeOtherWindows(window);
    return true;
}

void ShutDownWithoutQuestion(MainWindow& window)
{
    if (services().application->terminated() || window.shutDownDone)
        return;
    window.shutDownDone = true;
    datafile::writeMarkerIfOurs(modMain().DataFilePath, modMain().DataFileIdentity, nullptr);
    closeOtherWindows(window);
}

} // namespace lw
