#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;

namespace lw {

// How a second start of the program hands its files to the instance already running: a local
// socket beside the single-instance lock.
class InstanceServer : public QObject
{
    Q_OBJECT
public:
    explicit InstanceServer(QObject* parent = nullptr);
    ~InstanceServer() override;

    // Listens at `socketPath`, replacing a socket left by a run that ended without closing it:
    // call it only while holding the single-instance lock. False, with `error` set, on failure.
    bool listen(const QString& socketPath, QString* error = nullptr);

signals:
    // Another start asked for these files (absolute paths; none: just show the window).
    void activated(const QStringList& files);

private:
    void readRequest();

    QLocalServer* server;
};

// Sends `files` to the instance listening at `socketPath` and waits for it to take them. False
// when no instance answers in time.
bool sendToRunningInstance(const QString& socketPath, const QStringList& files,
                           int timeoutMs = 5000);

} // namespace lw
