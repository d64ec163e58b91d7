#include "FakeServices.h"
#include "TestLibrary.h"
#include "app/Letterwright.h"
#include "editor/LetterEditor.h"
#include "mainwindow/MainWindow.h"
#include "merge/MailMergeDialog.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

using namespace lw;
using namespace Qt::StringLiterals;

namespace {

const QString letterText =
    u"Dear [Recipient Name],\nyour account [Account Number] is due.\nRegards,\n[Your Name]"_s;

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList entries(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

// Presses a control the way a screen reader does.
void press(QWidget* control)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
    QVERIFY(accessible);
    QAccessibleActionInterface* actions = accessible->actionInterface();
    QVERIFY(actions);
    QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    actions->doAction(QAccessibleActionInterface::pressAction());
}

} // namespace

// The Mail Merge window on a real X server: keys, mnemonics, focus, accessibility.
class MailMergeX11Test : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void checksAndPreview();
    void everyControlHasAName();
    void mergeFilesWithCancelThenReplace();
    void checksQuestionNoWritesNothing();
    void unreadableTableKeepsTheWindow();
    void escapeCloses();
    void fileMenuOpensItOnTheEditorsLetter();

private:
    void openWindow();
    void chooseTable(const QString& path);

    std::unique_ptr<test::FakePlatform> platform;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<QTextDocument> letter;
    std::unique_ptr<MailMergeDialog> window;
};

void MailMergeX11Test::init()
{
    QCOMPARE(QGuiApplication::platformName(), u"xcb"_s);
    platform = std::make_unique<test::FakePlatform>();
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    letter = std::make_unique<QTextDocument>();
    letter->setPlainText(letterText);
}

void MailMergeX11Test::cleanup()
{
    window.reset();
    letter.reset();
    dir.reset();
    platform.reset();
}

void MailMergeX11Test::openWindow()
{
    window = std::make_unique<MailMergeDialog>(nullptr, *letter, u"Reminder"_s, TextFileFormat(),
                                               QSizeF(96, 96));
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
}

void MailMergeX11Test::chooseTable(const QString& path)
{
    platform->dialogs.openAnswers.push_back(QStringList{path});
    const qsizetype asked = platform->dialogs.openRequests.size();
    // The table button's mnemonic, which clicks it a moment later.
    QTest::keyClick(window.get(), Qt::Key_C, Qt::AltModifier);
    QTRY_COMPARE(platform->dialogs.openRequests.size(), asked + 1);
}

void MailMergeX11Test::checksAndPreview()
{
    const QString table = dir->filePath(u"people.csv"_s);
    QVERIFY(writeBytes(table, "Recipient Name;Account Number;Notes\r\nAnna Berg;A-1;x\r\n"
                              "Bob;;y\r\nCarl;C-3;z\r\n"));
    openWindow();
    QVERIFY(!window->previousButton()->isEnabled());
    QVERIFY(!window->nextButton()->isEnabled());
    QVERIFY(!window->mergeButton()->isEnabled());
    chooseTable(table);
    QCOMPARE(platform->dialogs.openRequests.size(), 1);
    QCOMPARE(window->tableEdit()->text(), QDir::toNativeSeparators(table));
    QCOMPARE(window->checksView()->toPlainText(),
             u"3 letters from 3 rows.\n"
             "No column fills [Your Name]: it stays as it is in every letter.\n"
             "The column Notes fills no field of the letter.\n"
             "Empty cells, whose fields stay as they are in that letter:\n"
             "    Row 3: [Account Number]"_s);
    QCOMPARE(window->letterLabel()->text(), u"Letter 1 of 3 (row 2 of the table)"_s);
    QVERIFY(
        window->previewView()->toPlainText().startsWith(u"Dear Anna Berg,\nyour account A-1"_s));
    // Files are named after the recipient, into the table's folder, unless chosen otherwise.
    QCOMPARE(window->nameColumnBox()->currentText(), u"Recipient Name"_s);
    QCOMPARE(window->folderEdit()->text(), QDir::toNativeSeparators(dir->path()));

    QTest::keyClick(window.get(), Qt::Key_N, Qt::AltModifier);
    QTRY_COMPARE(window->letterLabel()->text(), u"Letter 2 of 3 (row 3 of the table)"_s);
    QVERIFY(window->previewView()->toPlainText().startsWith(
        u"Dear Bob,\nyour account [Account Number] is due."_s));
    press(window->nextButton());
    QTRY_COMPARE(window->currentLetter(), 2);
    QVERIFY(window->previewView()->toPlainText().startsWith(u"Dear Carl,"_s));
    QVERIFY(!window->nextButton()->isEnabled());
    QTest::keyClick(window.get(), Qt::Key_P, Qt::AltModifier);
    QTRY_COMPARE(window->currentLetter(), 1);
    QTest::keyClick(window.get(), Qt::Key_P, Qt::AltModifier);
    QTRY_COMPARE(window->currentLetter(), 0);
    QVERIFY(!window->previousButton()->isEnabled());
    // The editor's letter is never touched.
    QCOMPARE(letter->toPlainText(), letterText);
}

void MailMergeX11Test::everyControlHasAName()
{
    openWindow();
    QList<QWidget*> controls;
    for (QWidget* control : window->findChildren<QWidget*>()) {
        // The combo boxes' lists are windows of their own, named by their box.
        if (control->window() != window.get())
            continue;
        if (qobject_cast<QAbstractButton*>(control) || qobject_cast<QLineEdit*>(control) ||
            qobject_cast<QComboBox*>(control) || qobject_cast<QAbstractScrollArea*>(control))
            controls.append(control);
    }
    int named = 0;
    for (QWidget* control : controls) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        QVERIFY(accessible);
        QVERIFY2(!accessible->text(QAccessible::Name).isEmpty(),
                 qPrintable(control->metaObject()->className()));
        ++named;
    }
    QVERIFY(named >= 12);
    QCOMPARE(QAccessible::queryAccessibleInterface(window->tableEdit())->text(QAccessible::Name),
             u"Table:"_s);
    QCOMPARE(QAccessible::queryAccessibleInterface(window->folderEdit())->text(QAccessible::Name),
             u"Folder:"_s);
}

void MailMergeX11Test::mergeFilesWithCancelThenReplace()
{
    const QString table = dir->filePath(u"people.csv"_s);
    QVERIFY(writeBytes(table, "Recipient Name,Account Number,Your Name\nAnna,1,Me\nBob,2,Me\n"
                              "Carl,3,Me\n"));
    const QString out = dir->filePath(u"out"_s);
    QVERIFY(QDir().mkpath(out));
    openWindow();
    chooseTable(table);
    QCOMPARE(window->checksView()->toPlainText(),
             u"3 letters from 3 rows.\nThe table fits the letter: every field has a column and "
             "every cell is filled."_s);

    // One file per letter, by keys: the output, then the folder through its dialog.
    window->setOutput(MailMergeDialog::Output::SinglePdf);
    QTest::keyClick(window.get(), Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(window->filesChoice()->isChecked());
    platform->dialogs.folderAnswers.push_back(out);
    QTest::keyClick(window.get(), Qt::Key_E, Qt::AltModifier);
    QTRY_COMPARE(window->folderEdit()->text(), QDir::toNativeSeparators(out));

    // Cancel after the second letter.
    platform->progress.cancelAt = 2;
    platform->messages.expect(u"The merge was cancelled: 2 of 3 letters were written to %1."_s.arg(
                                  QDir::toNativeSeparators(out)),
                              u"Mail Merge"_s, MsgButtons::Ok, MsgIcon::Information);
    QTest::keyClick(window.get(), Qt::Key_M, Qt::AltModifier);
    QTRY_COMPARE(platform->progress.jobs.size(), 1);
    QCOMPARE(platform->progress.jobs.first().label, u"Writing 3 letters..."_s);
    QCOMPARE(platform->progress.jobs.first().total, 3);
    QCOMPARE(platform->progress.jobs.first().advances, (QList<qint64>{1, 2}));
    QCOMPARE(entries(out), (QStringList{u"Anna.txt"_s, u"Bob.txt"_s}));

    // Again: the files there are replaced once the user agrees.
    platform->progress.cancelAt = -1;
    platform->messages.expect(
        u"2 of the letters' files are already in %1, such as Anna.txt.\nDo you want to replace "
        "them?"_s.arg(QDir::toNativeSeparators(out)),
        u"Mail Merge"_s, MsgButtons::YesNo, MsgIcon::Exclamation, MsgAnswer::Yes);
    platform->messages.expect(u"3 letters written to %1."_s.arg(QDir::toNativeSeparators(out)),
                              u"Mail Merge"_s, MsgButtons::Ok, MsgIcon::Information);
    press(window->mergeButton());
    QTRY_COMPARE(entries(out).size(), 3);
    QCOMPARE(entries(out), (QStringList{u"Anna.txt"_s, u"Bob.txt"_s, u"Carl.txt"_s}));
    QFile carl(QDir(out).filePath(u"Carl.txt"_s));
    QVERIFY(carl.open(QIODevice::ReadOnly));
    QCOMPARE(carl.readAll(), "Dear Carl,\r\nyour account 3 is due.\r\nRegards,\r\nMe"_ba);
}

void MailMergeX11Test::checksQuestionNoWritesNothing()
{
    const QString table = dir->filePath(u"people.csv"_s);
    QVERIFY(writeBytes(table, "Recipient Name\nAnna\nBob\n"));
    const QString out = dir->filePath(u"out"_s);
    QVERIFY(QDir().mkpath(out));
    openWindow();
    chooseTable(table);
    window->setOutput(MailMergeDialog::Output::Files);
    window->folderEdit()->setText(out);
    platform->messages.expect(u"The checks found fields that stay as they are in some letters "
                              "(see Checks).\nMerge all 2 letters anyway?"_s,
                              u"Mail Merge"_s, MsgButtons::YesNo, MsgIcon::Exclamation,
                              MsgAnswer::No);
    QTest::keyClick(window.get(), Qt::Key_M, Qt::AltModifier);
    QTRY_COMPARE(platform->messages.shown.size(), 1);
    QVERIFY(entries(out).isEmpty());
    QVERIFY(platform->progress.jobs.isEmpty());
}

void MailMergeX11Test::unreadableTableKeepsTheWindow()
{
    const QString good = dir->filePath(u"good.csv"_s);
    QVERIFY(writeBytes(good, "Recipient Name\nAnna\n"));
    const QString header = dir->filePath(u"header.csv"_s);
    QVERIFY(writeBytes(header, "Recipient Name\n"));
    openWindow();
    chooseTable(good);
    QVERIFY(window->previewView()->toPlainText().startsWith(u"Dear Anna,"_s));

    platform->messages.expect(
        u"The table %1 has no rows below its header: there is nobody to write to."_s.arg(
            QDir::toNativeSeparators(header)),
        u"Mail Merge"_s, MsgButtons::Ok, MsgIcon::Exclamation);
    chooseTable(header);
    platform->messages.expect(u"The table %1 does not exist."_s.arg(
                                  QDir::toNativeSeparators(dir->filePath(u"gone.csv"_s))),
                              u"Mail Merge"_s, MsgButtons::Ok, MsgIcon::Exclamation);
    chooseTable(dir->filePath(u"gone.csv"_s));
    // The table chosen before stays, with its preview.
    QCOMPARE(window->tableEdit()->text(), QDir::toNativeSeparators(good));
    QVERIFY(window->previewView()->toPlainText().startsWith(u"Dear Anna,"_s));
    QVERIFY(window->mergeButton()->isEnabled());
}

void MailMergeX11Test::escapeCloses()
{
    openWindow();
    QVERIFY(window->isVisible());
    QTest::keyClick(window.get(), Qt::Key_Escape);
    QVERIFY(!window->isVisible());
    QCOMPARE(window->result(), int(QDialog::Rejected));
}

void MailMergeX11Test::fileMenuOpensItOnTheEditorsLetter()
{
    test::TestLibrary library;
    library.create();
    Letterwright program;
    QVERIFY(program.StartUp());
    MainWindow& main = *program.mainWindow();
    main.show();
    main.RTB->setText(u"Hello [Recipient Name]"_s);
    const QString table = dir->filePath(u"people.csv"_s);
    QVERIFY(writeBytes(table, "Recipient Name\nAnna\n"));
    platform->dialogs.openAnswers.push_back(QStringList{table});

    QString shown;
    bool seen = false;
    // The window is modal: looked at and closed from inside its own event loop.
    QTimer look;
    look.setInterval(10);
    connect(&look, &QTimer::timeout, this, [&] {
        MailMergeDialog* merge = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->isVisible() && qobject_cast<MailMergeDialog*>(top))
                merge = static_cast<MailMergeDialog*>(top);
        }
        if (!merge)
            return;
        look.stop();
        seen = true;
        // Closed even when a check below fails, so that the menu command returns.
        const auto close = qScopeGuard([merge] { merge->reject(); });
        // Its mnemonics answer only once it is the active window.
        QVERIFY(QTest::qWaitForWindowActive(merge));
        QTest::keyClick(merge, Qt::Key_C, Qt::AltModifier);
        // The preview fills after the table is read: give a loaded machine time.
        QTRY_VERIFY_WITH_TIMEOUT(!merge->previewView()->toPlainText().isEmpty(), 30000);
        shown = merge->previewView()->toPlainText();
    });
    look.start();
    main.MenuBar_ItemClick(u"mnuFile"_s, u"MailMerge"_s);
    QVERIFY(seen);
    QCOMPARE(shown, u"Hello Anna"_s);
    QCOMPARE(main.RTB->Text(), u"Hello [Recipient Name]"_s);
    main.shutDownDone = true;
}

QTEST_MAIN(MailMergeX11Test)
#include "test_mailmerge_x11.moc"
