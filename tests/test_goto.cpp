#include "EditorHost.h"
#include "FakeServices.h"
#include "editor/EditorTools.h"
#include "editor/GoToDialog.h"
#include "editor/GoToLine.h"
#include "editor/LetterEditor.h"
#include "platform/Twips.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace lw;

namespace {

// Lines start at 0, 9 and 18.
const QString threeLines = QStringLiteral("line one\nline two\nline three");
const QString notANumber = QStringLiteral("You can only type numbers!!!");
const QString invalidLine = QStringLiteral("Invalid line number!");

} // namespace

class GoToTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void parseLineNumber_data();
    void parseLineNumber();
    void parseLineNumberInLocaleNotation();

    void controlsAsDesigned_data();
    void controlsAsDesigned();
    void loadChoosesLineWithGoDisabled();
    void goButtonRule();
    void goToLine_data();
    void goToLine();
    void jumpClosesAndFocusesEditor();
    void startAndEndWithEmptyBox_data();
    void startAndEndWithEmptyBox();
    void closeLeavesCaret();
    void openedAgainIsBroughtForward();

private:
    GoToDialog* open();

    std::unique_ptr<test::FakePlatform> platform;
    std::unique_ptr<test::EditorHost> host;
};

void GoToTest::init()
{
    platform = std::make_unique<test::FakePlatform>();
    host = std::make_unique<test::EditorHost>();
}

void GoToTest::cleanup()
{
    host.reset();
    platform.reset();
}

GoToDialog* GoToTest::open()
{
    host->tools->showGoTo();
    return host->tools->goToDialog();
}

void GoToTest::parseLineNumber_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("line");
    const int valid = TypedLine::Valid;
    QTest::newRow("nominal: first line") << "1" << valid << 0;
    QTest::newRow("nominal: blanks around") << "  2 " << valid << 1;
    QTest::newRow("nominal: plus sign") << "+3" << valid << 2;
    QTest::newRow("nominal: 0 is the caret's line") << "0" << valid << -1;
    QTest::newRow("rounding: 2.5 goes to line 3") << "2.5" << valid << 2;
    QTest::newRow("rounding: 1.5 goes to line 1") << "1.5" << valid << 0;
    QTest::newRow("rounding: 0.5 goes to line 1") << "0.5" << valid << 0;
    QTest::newRow("rounding: 2.6 goes to line 3") << "2.6" << valid << 2;
    QTest::newRow("notation: leading point") << ".5e1" << valid << 4;
    QTest::newRow("notation: exponent") << "1e2" << valid << 99;
    QTest::newRow("negative: below the caret's line") << "-1" << valid << -2;
    QTest::newRow("refused: letters") << "abc" << int(TypedLine::NotANumber) << 0;
    QTest::newRow("refused: number followed by letters")
        << "12ab" << int(TypedLine::NotANumber) << 0;
    QTest::newRow("refused: blanks only") << "   " << int(TypedLine::NotANumber) << 0;
    QTest::newRow("refused: blank inside") << "1 2" << int(TypedLine::NotANumber) << 0;
    QTest::newRow("refused: infinity") << "inf" << int(TypedLine::NotANumber) << 0;
    QTest::newRow("refused: not a number") << "nan" << int(TypedLine::NotANumber) << 0;
    QTest::newRow("out of range: too large") << "3e9" << int(TypedLine::OutOfRange) << 0;
    QTest::newRow("out of range: too small") << "-3e9" << int(TypedLine::OutOfRange) << 0;
    QTest::newRow("edge: largest line number") << "2147483648" << valid << 2147483647;
}

void GoToTest::parseLineNumber()
{
    QFETCH(QString, typed);
    QFETCH(int, status);
    QFETCH(int, line);
    const TypedLine parsed = lw::parseLineNumber(typed);
    QCOMPARE(int(parsed.status), status);
    if (parsed.status == TypedLine::Valid)
        QCOMPARE(parsed.line, line);
}

void GoToTest::parseLineNumberInLocaleNotation()
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const TypedLine comma = lw::parseLineNumber(QStringLiteral("2,5"));
    const TypedLine point = lw::parseLineNumber(QStringLiteral("2.5"));
    const TypedLine grouped = lw::parseLineNumber(QStringLiteral("1.000"));
    QLocale::setDefault(previous);
    QCOMPARE(int(comma.status), int(TypedLine::Valid));
    QCOMPARE(comma.line, 2);
    QCOMPARE(point.line, 2);
    // A point is read as a decimal point first, never as a group separator.
    QCOMPARE(grouped.line, 0);
}

void GoToTest::controlsAsDesigned_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("twips");
    QTest::newRow("Frame1") << "Frame1"
                            << "Go to what:" << QRect(120, 150, 1575, 1455);
    QTest::newRow("GotoLine") << "GotoLine"
                              << "&Line" << QRect(210, 330, 780, 252);
    QTest::newRow("GotoStart") << "GotoStart"
                               << "&Start" << QRect(210, 690, 840, 252);
    QTest::newRow("GoToEnd") << "GoToEnd"
                             << "End" << QRect(210, 1050, 765, 255);
    QTest::newRow("txtGo") << "txtGo"
                           << "" << QRect(1860, 120, 2415, 345);
    QTest::newRow("Label1") << "Label1"
                            << "Enter line number you want to go to" << QRect(1890, 570, 2445, 465);
    QTest::newRow("cmdGo") << "cmdGo"
                           << "&GO" << QRect(1890, 1170, 1095, 345);
    QTest::newRow("cmdClose") << "cmdClose"
                              << "&Close" << QRect(3210, 1170, 1095, 345);
}

void GoToTest::controlsAsDesigned()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, twips);
    GoToDialog* dialog = open();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("  Go To..."));
    QCOMPARE(dialog->size(), QSize(twips::toPixelsX(4500, dialog), twips::toPixelsY(1695, dialog)));
    const auto* control = dialog->findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(test::captionOf(control), caption);
    QCOMPARE(control->geometry(), twips::toPixels(twips, control));
}

void GoToTest::loadChoosesLineWithGoDisabled()
{
    QVERIFY(host->show());
    GoToDialog* dialog = open();
    QVERIFY(dialog->GotoLine->isChecked());
    QVERIFY(dialog->txtGo->isEnabled());
    QVERIFY(dialog->txtGo->text().isEmpty());
    QVERIFY(!dialog->cmdGo->isEnabled());
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QTRY_COMPARE(QApplication::focusWidget(), dialog->txtGo);
    const QStringList expected{"txtGo", "cmdGo", "cmdClose", "GotoLine", "GotoStart", "GoToEnd"};
    QCOMPARE(test::tabOrder(dialog->txtGo, expected), expected);
}

void GoToTest::goButtonRule()
{
    GoToDialog* dialog = open();
    QTest::keyClicks(dialog->txtGo, QStringLiteral("5"));
    QVERIFY(dialog->cmdGo->isEnabled());
    dialog->txtGo->clear();
    QVERIFY(!dialog->cmdGo->isEnabled());

    dialog->GotoStart->click();
    QVERIFY(!dialog->txtGo->isEnabled());
    QVERIFY(dialog->cmdGo->isEnabled());
    dialog->GoToEnd->click();
    QVERIFY(!dialog->txtGo->isEnabled());
    QVERIFY(dialog->cmdGo->isEnabled());
    dialog->GotoLine->click();
    QVERIFY(dialog->txtGo->isEnabled());
    QVERIFY(!dialog->cmdGo->isEnabled());

    // A disabled box keeps its text.
    dialog->txtGo->setText(QStringLiteral("7"));
    dialog->GotoStart->click();
    QCOMPARE(dialog->txtGo->text(), QStringLiteral("7"));
    dialog->GotoLine->click();
    QVERIFY(dialog->cmdGo->isEnabled());
}

void GoToTest::goToLine_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("caretBefore");
    QTest::addColumn<int>("expectedCaret");
    QTest::addColumn<QString>("expectedMessage");
    QTest::newRow("nominal: line 1") << "1" << 20 << 0 << "";
    QTest::newRow("nominal: the last line") << "3" << 0 << 18 << "";
    QTest::newRow("nominal: blanks around") << " 2 " << 0 << 9 << "";
    QTest::newRow("nominal: line 0 is the caret's line") << "0" << 12 << 9 << "";
    QTest::newRow("rounding: 2.5 goes to line 3") << "2.5" << 0 << 18 << "";
    QTest::newRow("rounding: 1.5 goes to line 1") << "1.5" << 20 << 0 << "";
    QTest::newRow("refused: one past the last line") << "4" << 12 << 12 << invalidLine;
    QTest::newRow("refused: negative line") << "-1" << 12 << 12 << invalidLine;
    QTest::newRow("refused: letters") << "abc" << 12 << 12 << notANumber;
    QTest::newRow("refused: number followed by letters") << "2x" << 12 << 12 << notANumber;
    QTest::newRow("refused silently: too large for a line number") << "1e12" << 12 << 12 << "";
}

void GoToTest::goToLine()
{
    QFETCH(QString, typed);
    QFETCH(int, caretBefore);
    QFETCH(int, expectedCaret);
    QFETCH(QString, expectedMessage);
    host->setText(threeLines, caretBefore, 3);
    const bool jumps = expectedMessage.isEmpty() && expectedCaret != caretBefore;
    QPointer<GoToDialog> dialog = open();
    dialog->txtGo->setText(typed);
    if (!expectedMessage.isEmpty())
        platform->messages.expect(expectedMessage, QStringLiteral("Go To"), MsgButtons::Ok,
                                  MsgIcon::None);
    dialog->cmdGo->click();
    platform->messages.verifyDone();
    QCOMPARE(host->editor->SelStart(), expectedCaret);
    QCOMPARE(host->editor->SelLength(), jumps ? 0 : 3);
    QCOMPARE(host->tools->goToDialog() != nullptr, !jumps);
}

void GoToTest::jumpClosesAndFocusesEditor()
{
    QVERIFY(host->show());
    host->setText(threeLines);
    QPointer<GoToDialog> dialog = open();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QTRY_VERIFY(!host->editor->hasFocus());
    dialog->txtGo->setText(QStringLiteral("2"));
    dialog->cmdGo->click();
    QCOMPARE(host->editor->SelStart(), 9);
    QVERIFY(!host->tools->goToDialog());
    QTRY_VERIFY(!dialog);
    QTRY_VERIFY(host->editor->hasFocus());

    // The next opening starts afresh.
    GoToDialog* fresh = open();
    QVERIFY(fresh->txtGo->text().isEmpty());
    QVERIFY(fresh->GotoLine->isChecked());
}

void GoToTest::startAndEndWithEmptyBox_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("toEnd");
    QTest::addColumn<int>("expectedCaret");
    QTest::newRow("nominal: start") << threeLines << false << 0;
    QTest::newRow("nominal: end") << threeLines << true << int(threeLines.size());
    QTest::newRow("edge: end of an empty document") << "" << true << 0;
}

void GoToTest::startAndEndWithEmptyBox()
{
    QFETCH(QString, text);
    QFETCH(bool, toEnd);
    QFETCH(int, expectedCaret);
    host->setText(text, text.isEmpty() ? 0 : 5, text.isEmpty() ? 0 : 2);
    GoToDialog* dialog = open();
    (toEnd ? dialog->GoToEnd : dialog->GotoStart)->click();
    QVERIFY(dialog->cmdGo->isEnabled());
    dialog->cmdGo->click();
    QCOMPARE(host->editor->SelStart(), expectedCaret);
    QCOMPARE(host->editor->SelLength(), 0);
    QVERIFY(!host->tools->goToDialog());
}

void GoToTest::closeLeavesCaret()
{
    host->setText(threeLines, 12, 2);
    GoToDialog* dialog = open();
    dialog->txtGo->setText(QStringLiteral("1"));
    dialog->cmdClose->click();
    QVERIFY(!host->tools->goToDialog());
    QCOMPARE(host->editor->SelStart(), 12);
    QCOMPARE(host->editor->SelLength(), 2);
}

void GoToTest::openedAgainIsBroughtForward()
{
    QVERIFY(host->show());
    GoToDialog* dialog = open();
    dialog->txtGo->setText(QStringLiteral("3"));
    host->window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&host->window));
    QCOMPARE(open(), dialog);
    QCOMPARE(dialog->txtGo->text(), QStringLiteral("3"));
    QVERIFY(QTest::qWaitForWindowActive(dialog));

    QPointer<GoToDialog> closing = dialog;
    host->tools->closeAll();
    QVERIFY(!host->tools->goToDialog());
    QTRY_VERIFY(!closing);
}

QTEST_MAIN(GoToTest)
#include "test_goto.moc"
