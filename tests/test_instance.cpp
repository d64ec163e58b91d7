#include "platform/InstanceChannel.h"

#include <QDataStream>
#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <future>

using namespace lw;

// The hand-over of files from a second start to the running instance.
class InstanceTest : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void filesReachRunningInstance_data();
    void filesReachRunningInstance();
    void noInstanceAnswers();
    void leftoverSocketIsReplaced();
    void oversizedRequestIsDropped();

private:
    QString socketPath() const { return folder->filePath(QStringLiteral("letterwright.socket")); }

    std::unique_ptr<QTemporaryDir> folder;
};

void InstanceTest::init()
{
    folder = std::make_unique<QTemporaryDir>();
    QVERIFY(folder->isValid());
}

void InstanceTest::filesReachRunningInstance_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::newRow("nominal: no file, just show the window") << QStringList();
    QTest::newRow("nominal: one letter") << QStringList{"/home/ann/Letters/offer.rtf"};
    QTest::newRow("robustness: blanks, accents, a line break in a name")
        << QStringList{"/tmp/a b.txt", "/tmp/Ünïcødé €.txt", "/tmp/line\nbreak.rtf"};
}

void InstanceTest::filesReachRunningInstance()
{
    QFETCH(QStringList, files);
    InstanceServer server;
    QVERIFY(server.listen(socketPath()));
    QSignalSpy activated(&server, &InstanceServer::activated);

    // The second start blocks on its socket, so it runs beside this event loop.
    auto sent =
        std::async(std::launch::async, [&] { return sendToRunningInstance(socketPath(), files); });
    QVERIFY(activated.wait(5000));
    QCOMPARE(activated.first().first().toStringList(), files);
    QVERIFY(sent.get());
}

void InstanceTest::noInstanceAnswers()
{
    QVERIFY(!sendToRunningInstance(socketPath(), {QStringLiteral("/tmp/x.txt")}, 500));
}

void InstanceTest::leftoverSocketIsReplaced()
{
    QFile leftover(socketPath());
    QVERIFY(leftover.open(QIODevice::WriteOnly));
    leftover.close();
    InstanceServer server;
    QString error;
    QVERIFY2(server.listen(socketPath(), &error), qPrintable(error));
}

void InstanceTest::oversizedRequestIsDropped()
{
    InstanceServer server;
    QVERIFY(server.listen(socketPath()));
    QSignalSpy activated(&server, &InstanceServer::activated);
    auto answered = std::async(std::launch::async, [&] {
        QLocalSocket socket;
        socket.connectToServer(socketPath());
        if (!socket.waitForConnected(2000))
            return QByteArray("no connection");
        QByteArray request;
        QDataStream stream(&request, QIODevice::WriteOnly);
        stream << quint32(0x7fffffff);
        socket.write(request + QByteArray(64, 'x'));
        socket.waitForBytesWritten(2000);
        socket.waitForReadyRead(1000);
        return socket.readAll();
    });
    QTRY_COMPARE_WITH_TIMEOUT(answered.wait_for(std::chrono::seconds(0)), std::future_status::ready,
                              5000);
    QCOMPARE(answered.get(), QByteArray());
    QCOMPARE(activated.count(), 0);
}

QTEST_MAIN(InstanceTest)
#include "test_instance.moc"
