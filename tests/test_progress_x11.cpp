#include "editor/LetterEditor.h"
#include "platform/QtServices.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QImage>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

using namespace lw;

// The desktop's progress window for a long open or insert, on a real X server: it stays away
// from short jobs, shows with its Cancel for long ones, and every way of cancelling stops the job.
class ProgressX11Test : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void shortJobShowsNothing();
    void cancel_data();
    void cancel();
    void longOpenKeepsTheLetterInSight_data();
    void longOpenKeepsTheLetterInSight();

private:
    std::unique_ptr<QWidget> window;
};

void ProgressX11Test::init()
{
    window = std::make_unique<QWidget>();
    window->resize(500, 400);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void ProgressX11Test::cleanup()
{
    window.reset();
}

void ProgressX11Test::shortJobShowsNothing()
{
    QtProgressService service;
    {
        const std::unique_ptr<ProgressReport> report =
            service.begin(window.get(), QStringLiteral("Opening short.txt..."), 100);
        for (qint64 done = 0; done <= 100; done += 25)
            QVERIFY(report->advance(done));
        const auto* dialog = window->findChild<QProgressDialog*>();
        QVERIFY(dialog);
        QVERIFY(!dialog->isVisible());
    }
    // Gone with its job.
    QVERIFY(!window->findChild<QProgressDialog*>());
}

void ProgressX11Test::cancel_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("nominal: Esc") << "Esc";
    QTest::newRow("nominal: a click on Cancel") << "click";
    QTest::newRow("nominal: Space on Cancel") << "Space";
    QTest::newRow("nominal: Cancel's accessibility action") << "accessible";
}

void ProgressX11Test::cancel()
{
    QFETCH(QString, how);
    QtProgressService service;
    const std::unique_ptr<ProgressReport> report =
        service.begin(window.get(), QStringLiteral("Opening long.txt..."), 1000);
    QVERIFY(report->advance(1));
    auto* dialog = window->findChild<QProgressDialog*>();
    QVERIFY(dialog);
    // Not before a second has passed, then without the job having to finish.
    QVERIFY(!dialog->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(dialog->isVisible(), 5000);
    QCOMPARE(dialog->windowModality(), Qt::WindowModal);
    QCOMPARE(dialog->labelText(), QStringLiteral("Opening long.txt..."));
    QVERIFY(report->advance(2));

    QPushButton* button = nullptr;
    for (QPushButton* candidate : dialog->findChildren<QPushButton*>()) {
        if (candidate->text() == QLatin1String("Cancel"))
            button = candidate;
    }
    QVERIFY(button);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
    QVERIFY(accessible);
    QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("Cancel"));

    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    if (how == QLatin1String("Esc")) {
        QTest::keyClick(dialog, Qt::Key_Escape);
    } else if (how == QLatin1String("click")) {
        QTest::mouseClick(button, Qt::LeftButton);
    } else if (how == QLatin1String("Space")) {
        button->setFocus();
        QTRY_VERIFY(button->hasFocus());
        QTest::keyClick(button, Qt::Key_Space);
    } else {
        QAccessibleActionInterface* actions = accessible->actionInterface();
        QVERIFY(actions);
        QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
        actions->doAction(QAccessibleActionInterface::pressAction());
        // The press comes a moment later, as a click shown on the button; the job goes on
        // meanwhile.
        QTRY_VERIFY_WITH_TIMEOUT(!report->advance(3), 5000);
    }
    QVERIFY(!report->advance(3));
    // Once cancelled, the job stays cancelled.
    QVERIFY(!report->advance(4));
}

void ProgressX11Test::longOpenKeepsTheLetterInSight_data()
{
    QTest::addColumn<bool>("cancelled");
    QTest::newRow("nominal: opened, then typed into") << false;
    QTest::newRow("nominal: Esc keeps the letter") << true;
}

void ProgressX11Test::longOpenKeepsTheLetterInSight()
{
    QFETCH(bool, cancelled);
    auto* layout = new QVBoxLayout(window.get());
    LetterEditor editor(window.get());
    layout->addWidget(editor.widget());
    editor.setText(QStringLiteral("Dear Sir,\nthank you."));
    QApplication::processEvents();
    QPointer<QTextDocument> letter = editor.document();
    QString text;
    for (int line = 0; line < 20000; ++line)
        text += QStringLiteral("Line %1 of a long file.\n").arg(line);

    // The file goes in while the progress window shows and the letter stays painted behind it.
    QtProgressService service;
    std::unique_ptr<ProgressReport> report;
    bool seen = false;
    const auto progress = [&](qint64 done, qint64 total) {
        if (!report)
            report = service.begin(window.get(), QStringLiteral("Opening long.txt..."), total);
        if (!seen) {
            auto* dialog = window->findChild<QProgressDialog*>();
            if (!dialog || !QTest::qWaitFor([&] { return dialog->isVisible(); }, 5000))
                return false;
            seen = true;
            const QImage shown = editor.widget()->grab().toImage();
            const QColor middle = shown.pixelColor(shown.width() / 2, shown.height() / 2);
            if (middle.lightness() < 128)
                return false;
            if (cancelled) {
                dialog->activateWindow();
                if (QTest::qWaitForWindowActive(dialog))
                    QTest::keyClick(dialog, Qt::Key_Escape);
            }
        }
        return report->advance(done);
    };
    const bool opened = editor.setTextInPieces(text, progress);
    // Done, the window goes, as the program's goes when its open returns: while it stays, it is
    // modal and the letter cannot take the focus.
    report.reset();
    QVERIFY(seen);
    QCOMPARE(opened, !cancelled);
    if (cancelled) {
        QCOMPARE(editor.document(), letter.data());
        QCOMPARE(editor.Text(), QStringLiteral("Dear Sir,\nthank you."));
        return;
    }
    QVERIFY(!letter);
    // The new document takes the real keys.
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    editor.setFocus();
    QTRY_VERIFY(editor.textEdit()->hasFocus());
    QTest::keyClicks(editor.textEdit(), QStringLiteral("Re: "));
    QVERIFY(editor.Text().startsWith(QStringLiteral("Re: Line 0 of a long file.\nLine 1")));
    QTest::keyClick(editor.textEdit(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(editor.Text().startsWith(QStringLiteral("Line 0 of")));
}

QTEST_MAIN(ProgressX11Test)
#include "test_progress_x11.moc"
