#pragma once

#include <QObject>
#include <csignal>

class QSocketNotifier;

namespace lw {

// The requests to end the program that come as signals: SIGTERM (logout, shutdown, kill),
// SIGHUP (the terminal closed) and SIGINT (Ctrl+C). The handler only writes the signal's number
// into a pipe; the work happens on the event loop, through `endRequested`. The newest watcher is
// the one told; when the last one goes, the signals act as before it came.
class SignalWatcher : public QObject
{
    Q_OBJECT
public:
    explicit SignalWatcher(QObject* parent = nullptr);
    ~SignalWatcher() override;
    SignalWatcher(const SignalWatcher&) = delete;
    SignalWatcher& operator=(const SignalWatcher&) = delete;

signals:
    void endRequested(int signal);

private:
    void readSignals();

    int pipe[2] = {-1, -1};
    QSocketNotifier* notifier = nullptr;
    SignalWatcher* previous = nullptr;
};

} // namespace lw
