#include "platform/QtServices.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>

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

QTEST_MAIN(ProgressX11Test)
#include "test_progress_x11.moc"
