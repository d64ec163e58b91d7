#include "TestLibrary.h"

#include <QProcess>
#include <QTest>

using namespace lw;

// Starts the real program, as a user would, with a private data home.
class SmokeTest : public QObject
{
    Q_OBJECT
private slots:
    void programRestoresHeaderAndStaysSingle();
};

void SmokeTest::programRestoresHeaderAndStaysSingle()
{
    test::TestLibrary library;
    library.create();
    const QByteArray marked = library.bytes();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), library.dataHome());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), library.configHome());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const QString program = QStringLiteral(LW_BIN_DIR "/letterwright");

    QProcess first;
    first.setProcessEnvironment(environment);
    first.start(program, {});
    QVERIFY(first.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(library.bytes().left(15), QByteArray("SQLite format 3"), 20000);
    const QByteArray running = library.bytes();
    QCOMPARE(running.mid(15), marked.mid(15));

    QProcess second;
    second.setProcessEnvironment(environment);
    second.start(program, {});
    QVERIFY(second.waitForFinished(20000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(library.bytes(), running);
    QCOMPARE(first.state(), QProcess::Running);

    first.kill();
    QVERIFY(first.waitForFinished(20000));
}

QTEST_MAIN(SmokeTest)
#include "test_smoke.moc"
