#include "platform/InstanceChannel.h"

#include <QDataStream>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>

namespace lw {

namespace {

// One request: the length of what follows (4 bytes), then the file list in QDataStream's form,
// so that any character a path may hold (a line break too) comes through. The answer: "ok".
constexpr quint32 requestLimit = 1 << 20;

QByteArray encodeRequest(const QStringList& files)
{
    QByteArray body;
    QDataStream bodyStream(&body, QIODevice::WriteOnly);
    bodyStream << files;
    QByteArray request;
    QDataStream requestStream(&request, QIODevice::WriteOnly);
    requestStream << quint32(body.size());
    return request + body;
}

} // namespace

InstanceServer::InstanceServer(QObject* parent) : QObject(parent), server(new QLocalServer(this))
{
    // Only the same user's starts may hand over files.
    server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->bytesAvailable() < qint64(sizeof(quint32)))
                    return;
                quint32 length = 0;
                QDataStream header(socket->peek(sizeof length));
                header >> length;
                if (length > requestLimit) {
                    socket->abort();
                    return;
                }
                if (socket->bytesAvailable() < qint64(sizeof length + length))
                    return;
                socket->read(sizeof length);
                QStringList files;
                QDataStream body(socket->read(length));
                body >> files;
                if (body.status() != QDataStream::Ok) {
                    socket->abort();
                    return;
                }
                socket->write("ok\n");
                socket->flush();
                emit activated(files);
            });
        }
    });
}

InstanceServer::~InstanceServer() = default;

bool InstanceServer::listen(const QString& socketPath, QString* error)
{
    QLocalServer::removeServer(socketPath);
    if (server->listen(socketPath))
        return true;
    if (error)
        *error = server->errorString();
    return false;
}

bool sendToRunningInstance(const QString& socketPath, const QStringList& files, int timeoutMs)
{
    QElapsedTimer elapsed;
    elapsed.start();
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(encodeRequest(files));
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    while (!socket.canReadLine()) {
        const int left = timeoutMs - int(elapsed.elapsed());
        if (left <= 0 || !socket.waitForReadyRead(left))
            return false;
    }
    return socket.readLine().trimmed() == "ok";
}

} // namespace lw
