#include "app/Letterwright.h"

#include "app/frmSplash.h"
#include "library/DataFile.h"
#include "library/modMain.h"
#include "mainwindow/frmMail.h"
#include "platform/InstanceLock.h"
#include "platform/Services.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QWindow>

namespace lw {

namespace {

// Waits, briefly, until the window system has put the window on screen, then paints it: the
// pause that follows blocks all painting.
void showAtOnce(QWidget& window)
{
    QElapsedTimer waited;
    waited.start();
    while (window.windowHandle() && !window.windowHandle()->isExposed() && waited.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    window.repaint();
    QCoreApplication::processEvents();
}

} // namespace

Letterwright::Letterwright() = default;

Letterwright::~Letterwright() = default;

bool Letterwright::takeInstanceLock()
{
    const QString folder = datafile::dataFolder();
    instanceLock = std::make_unique<InstanceLock>(folder);
    switch (instanceLock->take()) {
    case InstanceLock::Result::Taken:
        return true;
    case InstanceLock::Result::HeldElsewhere:
        // Another instance runs: this one ends without a word.
        return false;
    case InstanceLock::Result::Failed:
        break;
    }
    message(nullptr,
            QStringLiteral("Letterwright cannot start: it cannot write in its data folder %1:\n%2"
                           "\n\nMake sure the folder can be written and the disk has room, "
                           "then start Letterwright again.")
                .arg(QDir::toNativeSeparators(folder), instanceLock->failure()),
            QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);
    services().application->terminate(1);
    return false;
}

bool Letterwright::StartUp()
{
    if (!takeInstanceLock())
        return false;

    ModMain& state = modMain();
    state.DataFilePath = datafile::dataFilePath();
    if (!QFileInfo(state.DataFilePath).isFile()) {
        message(nullptr,
                QStringLiteral("Components required to run this program are damaged,\n"
                               "please reinstall this program to repair them."),
                QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);
        services().application->terminate(1);
        return false;
    }
    state.ConnectionString = datafile::connectionString(state.DataFilePath);

    QString error;
    const QByteArray header = datafile::readHeader(state.DataFilePath);
    if (!datafile::restoreSignature(state.DataFilePath, &error)) {
        message(nullptr,
                QStringLiteral("The letter library %1 cannot be opened for writing:\n%2\n\n"
                               "Close any program that uses it, make sure you may change it, and "
                               "start Letterwright again.")
                    .arg(QDir::toNativeSeparators(state.DataFilePath), error),
                QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);
        services().application->terminate(1);
        return false;
    }

    // A damaged file is left exactly as it was found.
    if (!datafile::isReadableLibrary(state.ConnectionString, &error)) {
        datafile::writeHeader(state.DataFilePath, header, nullptr);
        message(nullptr,
                QStringLiteral("The letter library %1 cannot be read:\n%2\n\nIt has been left as "
                               "it was. Restore it from a backup, or remove it so that the "
                               "default library can be put in its place.")
                    .arg(QDir::toNativeSeparators(state.DataFilePath), error),
                QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);
        services().application->terminate(1);
        return false;
    }

    {
        frmSplash splash;
        splash.show();
        showAtOnce(splash);
        services().clock->pause(1000);
    }

    window = std::make_unique<frmMail>();
    window->InitMainWindow();
    window->DocumentModified = false;
    return !services().application->terminated();
}

} // namespace lw
