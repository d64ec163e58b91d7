#include "TestLibrary.h"
#include "platform/ProgramFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace lw;

// The program as `cmake --install` lays it out under a prefix of the test's own.
class InstallTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void layout_data();
    void layout();
    void installedProgramFindsItsFolders();
    void buildTreeKeepsItsFolders();
    void installedProgramStarts();
    void versionAndHelpLeaveLibraryAlone_data();
    void versionAndHelpLeaveLibraryAlone();

private:
    QString installed(const QString& path) const { return prefix.filePath(path); }
    QProcessEnvironment environmentWith(const QString& dataHome) const;

    QTemporaryDir prefix;
};

void InstallTest::initTestCase()
{
    QVERIFY(prefix.isValid());
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral("cmake"),
                  {QStringLiteral("--install"), QStringLiteral(LW_BUILD_DIR),
                   QStringLiteral("--prefix"), prefix.path()});
    QVERIFY(install.waitForFinished(120000));
    QVERIFY2(install.exitCode() == 0, install.readAll().constData());
}

void InstallTest::layout_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("the program") << "bin/letterwright";
    QTest::newRow("the library builder") << "bin/letterwright-library";
    QTest::newRow("the manual") << "share/letterwright/help/index.html";
    QTest::newRow("a letter of the letter folder")
        << "share/letterwright/letter/" + QDir(QStringLiteral(LW_BIN_DIR "/letter"))
                                              .entryList(QDir::Files)
                                              .value(0, QStringLiteral("(none built)"));
    QTest::newRow("the default library") << "share/letterwright/lwx37.dat";
    QTest::newRow("the desktop entry") << "share/applications/letterwright.desktop";
    QTest::newRow("the metadata") << "share/metainfo/letterwright.metainfo.xml";
    QTest::newRow("the scalable icon") << "share/icons/hicolor/scalable/apps/letterwright.svg";
    QTest::newRow("the smallest icon") << "share/icons/hicolor/16x16/apps/letterwright.png";
    QTest::newRow("the largest icon") << "share/icons/hicolor/256x256/apps/letterwright.png";
}

void InstallTest::layout()
{
    QFETCH(QString, path);
    QVERIFY2(QFileInfo(installed(path)).isFile(), qPrintable(path));
}

void InstallTest::installedProgramFindsItsFolders()
{
    const QString folder = programDirectoryFor(installed(QStringLiteral("bin")));
    QCOMPARE(folder, installed(QStringLiteral("share/letterwright")));
    setProgramDirectory(folder);
    QCOMPARE(letterFolder(), installed(QStringLiteral("share/letterwright/letter")));
    QCOMPARE(defaultLibraryFile(), installed(QStringLiteral("share/letterwright/lwx37.dat")));
    setProgramDirectory({});
}

void InstallTest::buildTreeKeepsItsFolders()
{
    QCOMPARE(programDirectoryFor(QStringLiteral(LW_BIN_DIR)), QStringLiteral(LW_BIN_DIR));
    setProgramDirectory(QStringLiteral(LW_BIN_DIR));
    // A build tree carries no default library to hand out.
    QCOMPARE(defaultLibraryFile(), QString());
    setProgramDirectory({});
}

QProcessEnvironment InstallTest::environmentWith(const QString& dataHome) const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return environment;
}

// Started from the prefix with the library it installed, the program opens that library.
void InstallTest::installedProgramStarts()
{
    QTemporaryDir home;
    QVERIFY(QDir().mkpath(home.filePath(QStringLiteral("letterwright"))));
    const QString library = home.filePath(QStringLiteral("letterwright/lwx37.dat"));
    QVERIFY(QFile::copy(installed(QStringLiteral("share/letterwright/lwx37.dat")), library));

    QProcess program;
    program.setProcessEnvironment(environmentWith(home.path()));
    program.start(installed(QStringLiteral("bin/letterwright")), {});
    QVERIFY(program.waitForStarted());
    auto header = [&] {
        QFile file(library);
        return file.open(QIODevice::ReadOnly) ? file.read(15) : QByteArray();
    };
    QTRY_COMPARE_WITH_TIMEOUT(header(), QByteArray("SQLite format 3"), 20000);
    QCOMPARE(program.state(), QProcess::Running);
    program.kill();
    QVERIFY(program.waitForFinished(20000));
}

void InstallTest::versionAndHelpLeaveLibraryAlone_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("printed");
    QTest::newRow("nominal: version") << "--version"
                                      << "Letterwright 6.7";
    QTest::newRow("nominal: help") << "--help"
                                   << "Usage: letterwright [options] [files...]";
}

void InstallTest::versionAndHelpLeaveLibraryAlone()
{
    QFETCH(QString, option);
    QFETCH(QString, printed);
    test::TestLibrary library;
    library.create();
    const QByteArray before = library.bytes();

    QProcess program;
    program.setProcessEnvironment(environmentWith(library.dataHome()));
    program.start(installed(QStringLiteral("bin/letterwright")), {option});
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QVERIFY2(program.readAllStandardOutput().contains(printed.toUtf8()), qPrintable(printed));
    QCOMPARE(library.bytes(), before);
    QVERIFY(
        !QFileInfo::exists(library.dataHome() + QStringLiteral("/letterwright/letterwright.lock")));
}

QTEST_MAIN(InstallTest)
#include "test_install.moc"
