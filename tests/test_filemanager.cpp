#include "FakeServices.h"
#include "editor/FileManagerDialog.h"
#include "platform/Twips.h"
#include "utilities/cDialog.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace lw;
using Section = FileManagerDialog::Section;

Q_DECLARE_METATYPE(FileManagerDialog::Section)

namespace {

const QString CopyTitle = QStringLiteral("Copy File");
const QString RenameTitle = QStringLiteral("Rename File");
const QString DeleteTitle = QStringLiteral("Delete File");

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every file of the folder with its content.
QMap<QString, QByteArray> contents(const QString& folder)
{
    QMap<QString, QByteArray> result;
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : names)
        result.insert(name, readFile(QDir(folder).filePath(name)));
    return result;
}

QtMessageHandler testHandler = nullptr;

// The offscreen platform cannot pass a fixed window size on to a window system and says so each
// time the window's height changes; a desktop can.
void withoutSizeHintNotice(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (text != QLatin1String("This plugin does not support propagateSizeHints()"))
        testHandler(type, context, text);
}

// Records what the window asks of the shell, and does nothing.
class RecordingShell : public ShellService
{
public:
    bool copyFile(QWidget* parent, const QString& from, const QString& to) override
    {
        return record(parent, {QStringLiteral("copy"), from, to});
    }
    bool renameFile(QWidget* parent, const QString& from, const QString& to) override
    {
        return record(parent, {QStringLiteral("rename"), from, to});
    }
    bool deleteFile(QWidget* parent, const QString& path) override
    {
        return record(parent, {QStringLiteral("delete"), path});
    }

    QList<QStringList> calls;
    QList<QWidget*> owners;

private:
    bool record(QWidget* parent, const QStringList& call)
    {
        calls.append(call);
        owners.append(parent);
        return true;
    }
};

QString replaceQuestion(const QString& target)
{
    return QStringLiteral("The file '%1' already exists.\n\nDo you want to replace it?")
        .arg(target);
}

} // namespace

class FileManagerTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void controlsInTheirPlaces_data();
    void controlsInTheirPlaces();
    void opensClosedAndEmpty();
    void toggleSequences_data();
    void toggleSequences();
    void fromFollowsFileName();
    void deleteActsOnFileNameBox_data();
    void deleteActsOnFileNameBox();
    void copyAndRenameActOnFromAndTo_data();
    void copyAndRenameActOnFromAndTo();
    void existingTargetAnsweredNo_data();
    void existingTargetAnsweredNo();
    void emptyTargetOrMissingSource_data();
    void emptyTargetOrMissingSource();
    void shellCalls_data();
    void shellCalls();
    void browse_data();
    void browse();
    void closeDiscardsWindow();

private:
    void click(const QString& toggle);
    QString path(const QString& name) const { return files->filePath(name); }

    std::unique_ptr<QTemporaryDir> home;
    QByteArray previousHome;
    QByteArray previousDataHome;
    std::unique_ptr<QTemporaryDir> files;
    std::unique_ptr<test::FakePlatform> platform;
    QPointer<FileManagerDialog> window;
};

void FileManagerTest::initTestCase()
{
    testHandler = qInstallMessageHandler(withoutSizeHintNotice);
    // Deleted files go to the trash of a home in a temporary folder, on the same file system as
    // the test's files.
    home = std::make_unique<QTemporaryDir>();
    QVERIFY(home->isValid());
    previousHome = qgetenv("HOME");
    previousDataHome = qgetenv("XDG_DATA_HOME");
    qputenv("HOME", home->path().toUtf8());
    qputenv("XDG_DATA_HOME", home->filePath(QStringLiteral("data")).toUtf8());
}

void FileManagerTest::cleanupTestCase()
{
    qInstallMessageHandler(testHandler);
    qputenv("HOME", previousHome);
    if (previousDataHome.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", previousDataHome);
    home.reset();
}

void FileManagerTest::init()
{
    files = std::make_unique<QTemporaryDir>(home->filePath(QStringLiteral("files-XXXXXX")));
    QVERIFY(files->isValid());
    platform = std::make_unique<test::FakePlatform>();
    window = new FileManagerDialog;
    window->show();
}

void FileManagerTest::cleanup()
{
    delete window.data();
    platform.reset();
    files.reset();
}

void FileManagerTest::click(const QString& toggle)
{
    if (toggle == QLatin1String("copy")) {
        window->cmdDCopy->click();
    } else if (toggle == QLatin1String("rename")) {
        window->cmdDRename->click();
    } else {
        // Delete goes to the shell, which has no file to delete.
        platform->messages.expect(QStringLiteral("Cannot delete: no file was given."), DeleteTitle,
                                  MsgButtons::Ok, MsgIcon::Critical);
        window->cmdDelete->click();
    }
}

void FileManagerTest::controlsInTheirPlaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("twips");

    QTest::newRow("nominal: Label1") << "Label1"
                                     << "File name:" << QRect(120, 180, 975, 255);
    QTest::newRow("nominal: txtFileName") << "txtFileName"
                                          << "" << QRect(1320, 120, 5835, 315);
    QTest::newRow("nominal: cmdDCopy") << "cmdDCopy"
                                       << "&Copy to" << QRect(240, 540, 975, 330);
    QTest::newRow("nominal: cmdDRename") << "cmdDRename"
                                         << "&Rename to" << QRect(1320, 540, 1215, 330);
    QTest::newRow("nominal: cmdDelete") << "cmdDelete"
                                        << "&Delete" << QRect(2640, 540, 975, 330);
    QTest::newRow("nominal: cmdBrowse") << "cmdBrowse"
                                        << "&Browse..." << QRect(5040, 540, 1095, 330);
    QTest::newRow("nominal: cmdClose") << "cmdClose"
                                       << "Close" << QRect(6240, 540, 975, 330);
    QTest::newRow("nominal: Label2") << "Label2"
                                     << "From:" << QRect(120, 1200, 975, 255);
    QTest::newRow("nominal: txtFrom") << "txtFrom"
                                      << "" << QRect(1200, 1200, 6015, 285);
    QTest::newRow("nominal: Label3") << "Label3"
                                     << "To:" << QRect(120, 1590, 975, 255);
    QTest::newRow("nominal: txtTo") << "txtTo"
                                    << "" << QRect(1200, 1560, 6015, 285);
    QTest::newRow("nominal: cmdCopy") << "cmdCopy"
                                      << "Copy" << QRect(6120, 1920, 1095, 375);
    QTest::newRow("nominal: cmdRename") << "cmdRename"
                                        << "Rename" << QRect(5940, 1920, 1275, 375);
}

void FileManagerTest::controlsInTheirPlaces()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, twips);
    auto* control = window->findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), twips::toPixels(twips, window));
    if (auto* label = qobject_cast<QLabel*>(control))
        QCOMPARE(label->text(), caption);
    else if (auto* button = qobject_cast<QPushButton*>(control))
        QCOMPARE(button->text(), caption);
    else
        QCOMPARE(qobject_cast<QLineEdit*>(control)->text(), caption);
}

void FileManagerTest::opensClosedAndEmpty()
{
    QCOMPARE(window->windowTitle(), QStringLiteral("  Manage Files"));
    QCOMPARE(window->section(), Section::Closed);
    QCOMPARE(window->windowHeight(), 1545);
    QCOMPARE(window->size(), QSize(twips::toPixelsX(7470, window), twips::toPixelsY(990, window)));
    QVERIFY(!window->cmdCopy->isVisible());
    QVERIFY(!window->cmdRename->isVisible());
    QVERIFY(!window->isModal());
}

void FileManagerTest::toggleSequences_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<Section>("section");
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("copyCaption");
    QTest::addColumn<QString>("renameCaption");

    QTest::newRow("nominal: first copy click opens the copy section")
        << QStringList{"copy"} << Section::CopyOpen << 2835 << "&Copy <-"
        << "&Rename ->";
    QTest::newRow("nominal: second copy click closes it")
        << QStringList{"copy", "copy"} << Section::Closed << 1545 << "&Copy ->"
        << "&Rename ->";
    QTest::newRow("nominal: first rename click opens the rename section")
        << QStringList{"rename"} << Section::RenameOpen << 2835 << "&Copy ->"
        << "&Rename <-";
    QTest::newRow("nominal: second rename click closes it")
        << QStringList{"rename", "rename"} << Section::Closed << 1545 << "&Copy ->"
        << "&Rename ->";
    QTest::newRow("edge: rename toggle switches straight from the copy section")
        << QStringList{"copy", "rename"} << Section::RenameOpen << 2835 << "&Copy ->"
        << "&Rename <-";
    QTest::newRow("edge: copy toggle switches straight from the rename section")
        << QStringList{"rename", "copy"} << Section::CopyOpen << 2835 << "&Copy <-"
        << "&Rename ->";
    QTest::newRow("edge: delete closes the copy section, its captions stay")
        << QStringList{"copy", "delete"} << Section::Closed << 1545 << "&Copy <-"
        << "&Rename ->";
    QTest::newRow("edge: delete closes the rename section, its captions stay")
        << QStringList{"rename", "delete"} << Section::Closed << 1545 << "&Copy ->"
        << "&Rename <-";
    QTest::newRow("edge: copy toggle after a delete opens the section again")
        << QStringList{"copy", "delete", "copy"} << Section::CopyOpen << 2835 << "&Copy <-"
        << "&Rename ->";
    QTest::newRow("edge: delete on the closed window changes no caption")
        << QStringList{"delete"} << Section::Closed << 1545 << "&Copy to"
        << "&Rename to";
}

void FileManagerTest::toggleSequences()
{
    QFETCH(QStringList, clicks);
    QFETCH(Section, section);
    QFETCH(int, height);
    QFETCH(QString, copyCaption);
    QFETCH(QString, renameCaption);

    for (const QString& toggle : clicks)
        click(toggle);

    QCOMPARE(window->section(), section);
    QCOMPARE(window->windowHeight(), height);
    QCOMPARE(window->cmdDCopy->text(), copyCaption);
    QCOMPARE(window->cmdDRename->text(), renameCaption);
    QCOMPARE(window->cmdCopy->isVisible(), section == Section::CopyOpen);
    QCOMPARE(window->cmdRename->isVisible(), section == Section::RenameOpen);
    // The lower section lies in the client area exactly while it is open.
    const bool open = section != Section::Closed;
    QCOMPARE(window->txtTo->geometry().bottom() < window->height(), open);
    QCOMPARE(window->Label2->geometry().top() < window->height(), open);
}

void FileManagerTest::fromFollowsFileName()
{
    QTest::keyClicks(window->txtFileName, QStringLiteral("/tmp/letter.txt"));
    QCOMPARE(window->txtFrom->text(), QStringLiteral("/tmp/letter.txt"));
    QTest::keyClick(window->txtFileName, Qt::Key_Backspace);
    QCOMPARE(window->txtFrom->text(), QStringLiteral("/tmp/letter.tx"));

    // A From box changed by hand takes the File name again on a click in the File name box.
    window->txtFrom->setText(QStringLiteral("/tmp/other.txt"));
    QTest::mouseClick(window->txtFileName, Qt::LeftButton);
    QCOMPARE(window->txtFrom->text(), QStringLiteral("/tmp/letter.tx"));

    window->txtFileName->clear();
    QCOMPARE(window->txtFrom->text(), QString());
}

void FileManagerTest::deleteActsOnFileNameBox_data()
{
    QTest::addColumn<MsgAnswer>("answer");
    QTest::newRow("nominal: confirmed, the file goes to the trash") << MsgAnswer::Yes;
    QTest::newRow("nominal: declined, the file stays") << MsgAnswer::No;
}

void FileManagerTest::deleteActsOnFileNameBox()
{
    QFETCH(MsgAnswer, answer);
    QVERIFY(writeFile(path("named.txt"), "named"));
    QVERIFY(writeFile(path("from.txt"), "from"));
    window->txtFileName->setText(path("named.txt"));
    window->txtFrom->setText(path("from.txt"));
    window->cmdDCopy->click();
    platform->messages.expect(
        QStringLiteral("Are you sure you want to move '%1' to the trash?").arg(path("named.txt")),
        DeleteTitle, MsgButtons::YesNo, MsgIcon::None, answer);

    window->cmdDelete->click();

    const QString trashed = home->filePath(QStringLiteral("data/Trash/files/named.txt"));
    if (answer == MsgAnswer::Yes) {
        QVERIFY(!QFile::exists(path("named.txt")));
        QCOMPARE(readFile(trashed), QByteArray("named"));
        QVERIFY(
            QFile::exists(home->filePath(QStringLiteral("data/Trash/info/named.txt.trashinfo"))));
        QFile::remove(trashed);
        QFile::remove(home->filePath(QStringLiteral("data/Trash/info/named.txt.trashinfo")));
    } else {
        QCOMPARE(readFile(path("named.txt")), QByteArray("named"));
        QVERIFY(!QFile::exists(trashed));
    }
    QCOMPARE(readFile(path("from.txt")), QByteArray("from"));
    QCOMPARE(window->section(), Section::Closed);
    QCOMPARE(window->txtFileName->text(), path("named.txt"));
}

void FileManagerTest::copyAndRenameActOnFromAndTo_data()
{
    QTest::addColumn<bool>("copy");
    QTest::newRow("nominal: copy") << true;
    QTest::newRow("nominal: rename") << false;
}

void FileManagerTest::copyAndRenameActOnFromAndTo()
{
    QFETCH(bool, copy);
    QVERIFY(writeFile(path("named.txt"), "named"));
    QVERIFY(writeFile(path("from.txt"), "from"));
    window->txtFileName->setText(path("named.txt"));
    window->txtFrom->setText(path("from.txt"));
    window->txtTo->setText(path("to.txt"));

    if (copy) {
        window->cmdDCopy->click();
        window->cmdCopy->click();
    } else {
        window->cmdDRename->click();
        window->cmdRename->click();
    }

    QMap<QString, QByteArray> expected{{"named.txt", "named"}, {"to.txt", "from"}};
    if (copy)
        expected.insert(QStringLiteral("from.txt"), "from");
    QCOMPARE(contents(files->path()), expected);
    // The boxes keep their texts after the operation.
    QCOMPARE(window->txtFileName->text(), path("named.txt"));
    QCOMPARE(window->txtFrom->text(), path("from.txt"));
    QCOMPARE(window->txtTo->text(), path("to.txt"));
}

void FileManagerTest::existingTargetAnsweredNo_data()
{
    QTest::addColumn<bool>("copy");
    QTest::newRow("robustness: copy onto an existing file") << true;
    QTest::newRow("robustness: rename onto an existing file") << false;
}

void FileManagerTest::existingTargetAnsweredNo()
{
    QFETCH(bool, copy);
    QVERIFY(writeFile(path("from.txt"), "new"));
    QVERIFY(writeFile(path("to.txt"), "old"));
    window->txtFileName->setText(path("from.txt"));
    window->txtTo->setText(path("to.txt"));
    platform->messages.expect(replaceQuestion(path("to.txt")), copy ? CopyTitle : RenameTitle,
                              MsgButtons::YesNo, MsgIcon::None, MsgAnswer::No);

    if (copy) {
        window->cmdDCopy->click();
        window->cmdCopy->click();
    } else {
        window->cmdDRename->click();
        window->cmdRename->click();
    }

    const QMap<QString, QByteArray> unchanged{{"from.txt", "new"}, {"to.txt", "old"}};
    QCOMPARE(contents(files->path()), unchanged);
}

void FileManagerTest::emptyTargetOrMissingSource_data()
{
    QTest::addColumn<bool>("copy");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("text"); // %1 is the From box

    QTest::newRow("robustness: copy with an empty To box")
        << true << "a.txt"
        << ""
        << "Cannot copy '%1': no target was given.";
    QTest::newRow("robustness: rename with an empty To box")
        << false << "a.txt"
        << ""
        << "Cannot rename '%1': no new name was given.";
    QTest::newRow("robustness: copy of a missing file")
        << true << "missing.txt"
        << "b.txt"
        << "Cannot copy '%1': the file does not exist.";
    QTest::newRow("robustness: rename of a missing file")
        << false << "missing.txt"
        << "b.txt"
        << "Cannot rename '%1': it does not exist.";
}

void FileManagerTest::emptyTargetOrMissingSource()
{
    QFETCH(bool, copy);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, text);
    QVERIFY(writeFile(path("a.txt"), "letter"));
    const QMap<QString, QByteArray> before = contents(files->path());
    window->txtFileName->setText(path(from));
    window->txtTo->setText(to.isEmpty() ? QString() : path(to));
    platform->messages.expect(text.arg(path(from)), copy ? CopyTitle : RenameTitle, MsgButtons::Ok,
                              MsgIcon::Critical);

    if (copy) {
        window->cmdDCopy->click();
        window->cmdCopy->click();
    } else {
        window->cmdDRename->click();
        window->cmdRename->click();
    }

    QCOMPARE(contents(files->path()), before);
}

void FileManagerTest::shellCalls_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("call");

    QTest::newRow("nominal: Delete takes the File name box")
        << "from"
        << "to"
        << "cmdDelete" << QStringList{"delete", "named"};
    QTest::newRow("nominal: Copy takes the From and To boxes")
        << "from"
        << "to"
        << "cmdCopy" << QStringList{"copy", "from", "to"};
    QTest::newRow("nominal: Rename takes the From and To boxes")
        << "from"
        << "to"
        << "cmdRename" << QStringList{"rename", "from", "to"};
    QTest::newRow("robustness: empty boxes are passed on as they stand")
        << ""
        << ""
        << "cmdCopy" << QStringList{"copy", "", ""};
}

void FileManagerTest::shellCalls()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, button);
    QFETCH(QStringList, call);
    RecordingShell shell;
    platform->shell = &shell;
    platform->install();
    window->txtFileName->setText(QStringLiteral("named"));
    window->txtFrom->setText(from);
    window->txtTo->setText(to);
    if (button == QLatin1String("cmdCopy"))
        window->cmdDCopy->click();
    else if (button == QLatin1String("cmdRename"))
        window->cmdDRename->click();

    window->findChild<QPushButton*>(button)->click();

    QCOMPARE(shell.calls, QList<QStringList>{call});
    // The shell's dialogs belong to this window, so that a long copy blocks it.
    QCOMPARE(shell.owners, QList<QWidget*>{window.data()});
}

void FileManagerTest::browse_data()
{
    QTest::addColumn<bool>("confirmed");
    QTest::newRow("nominal: a file chosen") << true;
    QTest::newRow("nominal: cancelled, the File name box keeps its text") << false;
}

void FileManagerTest::browse()
{
    QFETCH(bool, confirmed);
    const QString chosen = path("chosen.txt");
    QVERIFY(writeFile(chosen, "chosen"));
    window->txtFileName->setText(QStringLiteral("typed.txt"));
    window->txtFrom->setText(QStringLiteral("changed by hand.txt"));
    if (confirmed)
        platform->dialogs.openAnswers.push_back(QStringList{chosen});
    else
        platform->dialogs.openAnswers.push_back(std::nullopt);

    window->cmdBrowse->click();

    const QString expected = confirmed ? chosen : QStringLiteral("typed.txt");
    QCOMPARE(window->txtFileName->text(), expected);
    QCOMPARE(window->txtFrom->text(), expected);
    QCOMPARE(platform->dialogs.openRequests.size(), 1);
    const FileDialogRequest& request = platform->dialogs.openRequests.constFirst();
    QCOMPARE(request.title, QStringLiteral("Select File"));
    QCOMPARE(request.nameFilters, nameFilters(QStringLiteral("All Files (*.*)|*.*")));
    QVERIFY(!request.multiSelect);
    QVERIFY(!request.parent);
}

void FileManagerTest::closeDiscardsWindow()
{
    window->cmdDCopy->click();
    window->txtFileName->setText(QStringLiteral("typed.txt"));

    window->cmdClose->click();

    QTRY_VERIFY(window.isNull());
    // The next window starts afresh.
    window = new FileManagerDialog;
    window->show();
    QCOMPARE(window->section(), Section::Closed);
    QCOMPARE(window->cmdDCopy->text(), QStringLiteral("&Copy to"));
    QVERIFY(window->txtFileName->text().isEmpty());
}

QTEST_MAIN(FileManagerTest)
#include "test_filemanager.moc"
