#pragma once

#include "library/LibraryCheck.h"
#include "platform/SignalWatcher.h"

class QWidget;

namespace lw {

class MainWindow;

// What keeps a run safe once start-up has begun: the signals that end it (logout, shutdown,
// kill), and the check of the whole library, which runs after the window shows.
class RunGuards
{
public:
    // Watches the signals from now on.
    RunGuards();
    ~RunGuards();
    RunGuards(const RunGuards&) = delete;
    RunGuards& operator=(const RunGuards&) = delete;

    // The library's signature was restored; `wasMarked` whether the marker stood there before.
    void headerRestored(bool wasMarked);
    // Starts the check of the whole library; damage found is told and ends the run.
    void windowReady(MainWindow& window);

private:
    void endBySignal();
    void checked(const CheckResult& result);

    SignalWatcher signalWatcher;
    LibraryCheck check;
    MainWindow* window = nullptr;
    bool restored = false;
    bool wasMarked = false;
};

// The start-up message for a library that is damaged: it is left as it was.
void reportDamagedLibrary(QWidget* parent, const QString& path, const QString& detail);

} // namespace lw
