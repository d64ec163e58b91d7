#include "app/Letterwright.h"

#include "app/RunGuards.h"
#include "app/SplashScreen.h"
#include "library/DataFile.h"
#include "library/LibraryFile.h"
#include "library/modMain.h"
#include "mainwindow/MainWindow.h"
#include "platform/InstanceChannel.h"
#include "platform/InstanceLock.h"
#include "platform/ProgramFolders.h"
#include "platform/Services.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QWindow>
#include <sqlite3.h>

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

void reportUnreadableLibrary(const QString& path, const QString& error, int code)
{
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED) {
        // Healthy, most likely: nothing must suggest removing it.
        message(nullptr,
                QStringLiteral("The letter library %1 is in use by another program:\n%2\n\n"
                               "Close the other program, then start Letterwright again.")
                    .arg(QDir::toNativeSeparators(path), error),
                QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);
    } else if (code == SQLITE_CORRUPT) {
        reportDamagedLibrary(nullptr, path, error);
    } else {
        message(nullptr,
                QStringLiteral("The letter library %1 cannot be read:\n%2\n\nIt has been left as "
                               "it was. Restore it from a backup, or remove it so that the "
                               "default library can be put in its place.")
                    .arg(QDir::toNativeSeparators(path), error),
                QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);
    }
}

// Something, even a dangling link or a folder, stands at the library's place.
bool somethingAt(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

Letterwright::Letterwright() = default;

Letterwright::~Letterwright() = default;

QString Letterwright::socketPath()
{
    return datafile::dataFolder() + QStringLiteral("/letterwright.socket");
}

void Letterwright::handOver()
{
    if (sendToRunningInstance(socketPath(), startFiles) || startFiles.isEmpty())
        return;
    // A running instance that does not answer (hung, or too old to listen) must not swallow the
    // file without a word.
    message(nullptr,
            QStringLiteral("Letterwright is already running but did not answer, so %1 was not "
                           "opened.\n\nClose Letterwright and open the file again.")
                .arg(QDir::toNativeSeparators(startFiles.first())),
            QStringLiteral("Letterwright"), MsgButtons::Ok, MsgIcon::Exclamation);
}

void Letterwright::openStartFiles()
{
    openFiles(startFiles);
}

void Letterwright::openFiles(const QStringList& files)
{
    // The editor holds one document: the first file named is the one opened.
    if (window && !files.isEmpty())
        window->documentFiles.OpenNamedDocument(files.first());
}

bool Letterwright::takeInstanceLock()
{
    const QString folder = datafile::dataFolder();
    instanceLock = std::make_unique<InstanceLock>(folder);
    switch (instanceLock->take()) {
    case InstanceLock::Result::Taken:
        return true;
    case InstanceLock::Result::HeldElsewhere:
        // Another instance runs: it takes this start's files and comes to the front.
        handOver();
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

bool Letterwright::offerDefaultLibrary(const QString& defaults, const QString& path)
{
    const MsgAnswer answer =
        message(nullptr,
                QStringLiteral("You have no letter library yet.\n\nLetterwright can put its "
                               "library of ready-made letters at %1.\nDo you want to do that now?")
                    .arg(QDir::toNativeSeparators(path)),
                QStringLiteral("Letterwright"), MsgButtons::YesNo, MsgIcon::None);
    if (answer != MsgAnswer::Yes)
        return false;

    // QFile::copy never replaces a file, so a library made meanwhile by anybody stays.
    QString failure;
    QFile source(defaults);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        failure = QStringLiteral("The folder cannot be created.");
    else if (!source.copy(path))
        failure = source.errorString();
    else if (!QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        failure = QStringLiteral("Its permissions cannot be set.");
    if (failure.isEmpty())
        return true;
    message(nullptr,
            QStringLiteral("The letter library could not be put at %1:\n%2\n\nMake sure the "
                           "folder can be written and the disk has room, then start Letterwright "
                           "again.")
                .arg(QDir::toNativeSeparators(path), failure),
            QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);
    services().application->terminate(1);
    return false;
}

bool Letterwright::StartUp(const QStringList& files)
{
    startFiles = files;
    if (!takeInstanceLock())
        return false;
    // Only the instance that runs guards it: a second start ends before this.
    guards = std::make_unique<RunGuards>();

    ModMain& state = modMain();
    state.DataFilePath = datafile::dataFilePath();
    const QString defaults = defaultLibraryFile();
    if (!defaults.isEmpty() && !somethingAt(state.DataFilePath)) {
        if (!offerDefaultLibrary(defaults, state.DataFilePath))
            return false;
    }
    if (!QFileInfo(state.DataFilePath).isFile()) {
        message(nullptr,
                QStringLiteral("Components required to run this program are damaged,\n"
                               "please reinstall this program to repair them."),
                QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);
        services().application->terminate(1);
        return false;
    }
    state.ConnectionString = datafile::connectionString(state.DataFilePath);

    // A file that cannot be a library is not written to at all.
    const datafile::HeaderState found = datafile::headerState(state.DataFilePath);
    if (found == datafile::HeaderState::TooShort || found == datafile::HeaderState::Foreign) {
        reportDamagedLibrary(nullptr, state.DataFilePath,
                             found == datafile::HeaderState::TooShort
                                 ? QStringLiteral("The file is too short to be a letter library.")
                                 : QStringLiteral("The file does not begin as a letter library "
                                                  "does."));
        services().application->terminate(1);
        return false;
    }

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
    state.DataFileIdentity = datafile::identityOf(state.DataFilePath);
    guards->headerRestored(found == datafile::HeaderState::Marked);

    // A damaged file is left exactly as it was found.
    int code = 0;
    if (!datafile::isReadableLibrary(state.ConnectionString, &error, &code)) {
        datafile::writeHeader(state.DataFilePath, header, nullptr);
        reportUnreadableLibrary(state.DataFilePath, error, code);
        services().application->terminate(1);
        return false;
    }

    // A library made without the indexes gets them once; without them it still works, only
    // slower, so a failure here stops nothing.
    addMissingIndexes(state.ConnectionString, nullptr);

    {
        SplashScreen splash;
        splash.show();
        showAtOnce(splash);
        services().clock->pause(1000);
    }

    window = std::make_unique<MainWindow>();
    window->InitMainWindow();
    window->DocumentModified = false;
    if (services().application->terminated())
        return false;

    // Without the channel the program works as before; a second start then says it got no answer.
    instanceServer = std::make_unique<InstanceServer>();
    if (instanceServer->listen(socketPath())) {
        QObject::connect(instanceServer.get(), &InstanceServer::activated, window.get(),
                         [this](const QStringList& files) {
                             window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
                             window->raise();
                             window->activateWindow();
                             openFiles(files);
                         });
    }
    guards->windowReady(*window);
    return true;
}

} // namespace lw
