#include "app/RunGuards.h"

#include "library/DataFile.h"
#include "library/LibraryBrowser.h"
#include "library/modMain.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/Shutdown.h"
#include "platform/Services.h"

#include <QDir>

namespace lw {

void reportDamagedLibrary(QWidget* parent, const QString& path, const QString& detail)
{
    message(parent,
            QStringLiteral("The letter library %1 is damaged:\n%2\n\nIt has been left as it was. "
                           "Restore it from a backup, or remove it so that the default library "
                           "can be put in its place.")
                .arg(QDir::toNativeSeparators(path), detail),
            QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);
}

RunGuards::RunGuards()
{
    QObject::connect(&signalWatcher, &SignalWatcher::endRequested, &signalWatcher,
                     [this] { endBySignal(); });
    QObject::connect(&check, &LibraryCheck::finished, &check,
                     [this](const CheckResult& result) { checked(result); });
}

RunGuards::~RunGuards() = default;

void RunGuards::headerRestored(bool marked)
{
    restored = true;
    wasMarked = marked;
}

void RunGuards::windowReady(MainWindow& mainWindow)
{
    window = &mainWindow;
    check.start(modMain().ConnectionString);
}

void RunGuards::endBySignal()
{
    if (services().application->terminated())
        return;
    // The check reads the file whose header is about to change.
    check.stop();
    if (window)
        ShutDownWithoutQuestion(*window);
    else if (restored)
        datafile::writeMarkerIfOurs(modMain().DataFilePath, modMain().DataFileIdentity, nullptr);
    services().application->terminate(0);
}

void RunGuards::checked(const CheckResult& result)
{
    if (result.verdict != CheckResult::Verdict::Damaged || !window || window->shutDownDone ||
        services().application->terminated())
        return;
    const QString path = modMain().DataFilePath;
    reportDamagedLibrary(window, path, result.problem);
    // The program ends, but the document may be saved first.
    if (const auto& offerToSave = window->library().connection().beforeEnd)
        offerToSave();
    if (services().application->terminated())
        return;
    window->shutDownDone = true;
    // Left as it was found: marked again only where the marker stood.
    if (wasMarked)
        datafile::writeMarkerIfOurs(path, modMain().DataFileIdentity, nullptr);
    services().application->terminate(1);
}

} // namespace lw
