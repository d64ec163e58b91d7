#include "EditorHost.h"
#include "FakeServices.h"
#include "WidgetContents.h"
#include "editor/DateFormat.h"
#include "editor/DateTimeDialog.h"
#include "editor/EditorTools.h"
#include "editor/LetterEditor.h"
#include "platform/Twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTest>

using namespace lw;
using test::entries;

namespace {

const QLocale english(QLocale::English, QLocale::UnitedStates);
// A Saturday.
const QDateTime evening(QDate(2026, 12, 5), QTime(19, 7, 5));

// A clock that moves on one second at every reading.
class SteppingClock : public ClockService
{
public:
    explicit SteppingClock(const QDateTime& start) : next(start) {}
    QDateTime now() override
    {
        const QDateTime reading = next;
        next = next.addSecs(1);
        return reading;
    }
    void pause(int) override {}

    QDateTime next;
};

void doubleClickRow(QListWidget* list, int row)
{
    // A double-click is a click followed by the double-click event.
    const QPoint centre = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
}

} // namespace

class TimeDateTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void rows_data();
    void rows();
    void eachRowReadsTheClock();
    void customFormat_data();
    void customFormat();

    void controlsAsDesigned_data();
    void controlsAsDesigned();
    void loadFillsRowsNoneChosen();
    void doubleClickInsertsAndStaysOpen();
    void insertReplacesSelectionAndCloses();
    void insertWithoutChosenRowInsertsTheTopRow();
    void everyRowShowsWithoutScrolling();
    void customPreviewAndInsert();
    void customInsertBeforeAnyPreview_data();
    void customInsertBeforeAnyPreview();
    void customInsertIsThePreviewShown();
    void clickInCustomBoxRefreshesPreview();
    void openedAgainKeepsItsMoment();

private:
    DateTimeDialog* open();

    std::unique_ptr<test::FakePlatform> platform;
    std::unique_ptr<test::EditorHost> host;
};

void TimeDateTest::initTestCase()
{
    // The windows use the system's locale, which a test fixes through the default locale.
    QLocale::setDefault(english);
}

void TimeDateTest::init()
{
    platform = std::make_unique<test::FakePlatform>();
    platform->clock.fixedNow = evening;
    host = std::make_unique<test::EditorHost>();
}

void TimeDateTest::cleanup()
{
    host.reset();
    platform.reset();
}

DateTimeDialog* TimeDateTest::open()
{
    host->tools->showTimeDate();
    return host->tools->timeDateDialog();
}

void TimeDateTest::rows_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("nominal: evening") << QTime(19, 7, 5) << QStringList{"05/12/26",
                                                                        "05 December 2026",
                                                                        "05 December, 2026",
                                                                        "December 05, 2026",
                                                                        "05/Dec/26",
                                                                        "December, 26",
                                                                        "Dec/26",
                                                                        "05/12/26 19:07",
                                                                        "05/12/26 19:07:05",
                                                                        "19:07",
                                                                        "19:07:05",
                                                                        "07:07 PM",
                                                                        "07:07:05 PM"};
    QTest::newRow("edge: half past midnight") << QTime(0, 30, 0) << QStringList{"05/12/26",
                                                                                "05 December 2026",
                                                                                "05 December, 2026",
                                                                                "December 05, 2026",
                                                                                "05/Dec/26",
                                                                                "December, 26",
                                                                                "Dec/26",
                                                                                "05/12/26 00:30",
                                                                                "05/12/26 00:30:00",
                                                                                "00:30",
                                                                                "00:30:00",
                                                                                "12:30 AM",
                                                                                "12:30:00 AM"};
    QTest::newRow("edge: noon") << QTime(12, 0, 9) << QStringList{"05/12/26",
                                                                  "05 December 2026",
                                                                  "05 December, 2026",
                                                                  "December 05, 2026",
                                                                  "05/Dec/26",
                                                                  "December, 26",
                                                                  "Dec/26",
                                                                  "05/12/26 12:00",
                                                                  "05/12/26 12:00:09",
                                                                  "12:00",
                                                                  "12:00:09",
                                                                  "12:00 PM",
                                                                  "12:00:09 PM"};
}

void TimeDateTest::rows()
{
    QFETCH(QTime, time);
    QFETCH(QStringList, expected);
    const QDateTime moment(evening.date(), time);
    QCOMPARE(timeDateRows([&] { return moment; }, english), expected);
}

void TimeDateTest::eachRowReadsTheClock()
{
    SteppingClock clock(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 58)));
    const QStringList rows = timeDateRows([&] { return clock.now(); }, english);
    QCOMPARE(clock.next, QDateTime(QDate(2027, 1, 1), QTime(0, 0, 11)));
    QCOMPARE(rows.at(0), QStringLiteral("31/12/26"));
    QCOMPARE(rows.at(1), QStringLiteral("31 December 2026"));
    QCOMPARE(rows.at(2), QStringLiteral("01 January, 2027"));
    QCOMPARE(rows.at(7), QStringLiteral("01/01/27 00:00"));
    QCOMPARE(rows.at(12), QStringLiteral("12:00:10 AM"));
}

void TimeDateTest::customFormat_data()
{
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("expected");
    const QDateTime morning(QDate(2027, 3, 7), QTime(9, 5, 3));
    const QDateTime halfPastMidnight(QDate(2026, 1, 4), QTime(0, 30, 0));
    const QLocale german(QLocale::German, QLocale::Germany);
    const QLocale british(QLocale::English, QLocale::UnitedKingdom);
    const QLocale finnish(QLocale::Finnish, QLocale::Finland);

    QTest::newRow("nominal: dashes") << evening << "yyyy-mm-dd" << english << "2026-12-05";
    QTest::newRow("nominal: single digits")
        << morning << "d/m/yy h:n:s" << english << "7/3/27 9:5:3";
    QTest::newRow("nominal: two digits")
        << morning << "dd/mm/yyyy hh:nn:ss" << english << "07/03/2027 09:05:03";
    QTest::newRow("nominal: day names") << evening << "ddd, dddd" << english << "Sat, Saturday";
    QTest::newRow("nominal: month names") << evening << "mmm mmmm" << english << "Dec December";
    QTest::newRow("nominal: letters in any case")
        << evening << "MMMM D, YYYY" << english << "December 5, 2026";
    QTest::newRow("minutes: mm after an hour") << evening << "hh mm" << english << "19 07";
    QTest::newRow("minutes: m after an hour") << morning << "h:m" << english << "9:5";
    QTest::newRow("minutes: mm elsewhere is the month") << evening << "mm ss" << english << "12 05";
    QTest::newRow("designator: AM/PM") << evening << "h:nn AM/PM" << english << "7:07 PM";
    QTest::newRow("designator: am/pm") << morning << "h:nn am/pm" << english << "9:05 am";
    QTest::newRow("designator: A/P") << evening << "hA/P" << english << "7P";
    QTest::newRow("designator: a/p after midnight")
        << halfPastMidnight << "hh:nn a/p" << english << "12:30 a";
    QTest::newRow("designator: AMPM from the locale") << evening << "hh AMPM" << british << "07 pm";
    QTest::newRow("week: day of the week, Sunday first") << evening << "w" << english << "7";
    QTest::newRow("week: week of the year") << evening << "ww" << english << "49";
    QTest::newRow("week: Saturday 3 January is in week 1")
        << QDateTime(QDate(2026, 1, 3), QTime(12, 0)) << "ww" << english << "1";
    QTest::newRow("week: Sunday 4 January starts week 2")
        << halfPastMidnight << "ww w" << english << "2 1";
    QTest::newRow("week: a leap year from a Saturday ends in week 54")
        << QDateTime(QDate(2028, 12, 31), QTime(12, 0)) << "ww y" << english << "54 366";
    QTest::newRow("nominal: quarter and day of year") << evening << "q y" << english << "4 339";
    QTest::newRow("literal: quoted text") << evening << "\"Date:\" dd" << english << "Date: 05";
    QTest::newRow("literal: escaped characters") << evening << "\\d\\a\\y d" << english << "day 5";
    QTest::newRow("literal: other characters copied")
        << evening << "dd - mm, [x]" << english << "05 - 12, [x]";
    QTest::newRow("robustness: unterminated quote") << evening << "d \"yyyy" << english << "5 yyyy";
    QTest::newRow("robustness: backslash at the end") << evening << "d\\" << english << "5";
    QTest::newRow("robustness: empty format") << evening << "" << english << "";
    QTest::newRow("robustness: a lone a is copied") << evening << "a d" << english << "a 5";
    QTest::newRow("locale: German separators and names")
        << evening << "dd/mm/yy, dddd mmmm" << german << "05.12.26, Samstag Dezember";
    QTest::newRow("locale: Finnish time separator") << evening << "hh:nn" << finnish << "19.07";
}

void TimeDateTest::customFormat()
{
    QFETCH(QDateTime, moment);
    QFETCH(QString, format);
    QFETCH(QLocale, locale);
    QFETCH(QString, expected);
    QCOMPARE(formatDateTime(moment, format, locale), expected);
}

void TimeDateTest::controlsAsDesigned_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("twips");
    QTest::newRow("Frame1") << "Frame1"
                            << "Formats:" << QRect(90, 90, 2655, 3135);
    QTest::newRow("lstDates") << "lstDates"
                              << "" << QRect(120, 330, 2385, 2595);
    QTest::newRow("cmdInsert") << "cmdInsert"
                               << "&Insert" << QRect(150, 3360, 1215, 315);
    QTest::newRow("cmdClose") << "cmdClose"
                              << "&Close" << QRect(1470, 3360, 1215, 315);
    QTest::newRow("Frame2") << "Frame2"
                            << "Custom" << QRect(90, 3780, 2655, 1965);
    QTest::newRow("lblSample") << "lblSample"
                               << "" << QRect(90, 330, 2415, 315);
    QTest::newRow("Label1") << "Label1"
                            << "Enter custom format:" << QRect(90, 750, 2415, 255);
    QTest::newRow("txtCustom") << "txtCustom"
                               << "" << QRect(90, 1050, 2415, 285);
    QTest::newRow("cmdInsCusFor") << "cmdInsCusFor"
                                  << "Insert Custom Format" << QRect(90, 1470, 2415, 315);
}

void TimeDateTest::controlsAsDesigned()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, twips);
    DateTimeDialog* dialog = open();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("  Time and Date"));
    // The list grows as far as its thirteen rows need, and the dialog with it: what stands
    // below the list moves down by as much.
    const int extra = dialog->height() - twips::toPixelsY(5835, dialog);
    QVERIFY(extra >= 0);
    QCOMPARE(dialog->width(), twips::toPixelsX(2850, dialog));
    const auto* control = dialog->findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(test::captionOf(control), caption);
    QRect expected = twips::toPixels(twips, control);
    if (name == QLatin1String("Frame1") || name == QLatin1String("lstDates"))
        expected.setHeight(expected.height() + extra);
    else if (control->parentWidget() == dialog)
        expected.translate(0, extra);
    QCOMPARE(control->geometry(), expected);
}

void TimeDateTest::everyRowShowsWithoutScrolling()
{
    QVERIFY(host->show());
    DateTimeDialog* dialog = open();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    QListWidget* list = dialog->lstDates;
    QCOMPARE(list->count(), 13);
    const QRect visible = list->viewport()->rect();
    for (int row = 0; row < list->count(); ++row)
        QVERIFY2(visible.contains(list->visualItemRect(list->item(row))),
                 qPrintable(QString::number(row)));
    QVERIFY(!list->verticalScrollBar()->isVisible());
    // Nothing is cut off at the bottom of the dialog.
    QVERIFY(dialog->rect().contains(dialog->Frame2->geometry()));
    QVERIFY(dialog->cmdInsert->geometry().top() >= dialog->Frame1->geometry().bottom());
    QVERIFY(dialog->Frame2->geometry().top() >= dialog->cmdInsert->geometry().bottom());
}

void TimeDateTest::loadFillsRowsNoneChosen()
{
    QVERIFY(host->show());
    DateTimeDialog* dialog = open();
    QCOMPARE(entries(dialog->lstDates), timeDateRows([] { return evening; }, english));
    QVERIFY(dialog->lstDates->selectedItems().isEmpty());
    QVERIFY(dialog->lblSample->text().isEmpty());
    QVERIFY(dialog->txtCustom->text().isEmpty());
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QTRY_COMPARE(QApplication::focusWidget(), dialog->cmdInsert);
    const QStringList expected{"cmdInsert", "cmdClose", "txtCustom", "cmdInsCusFor", "lstDates"};
    QCOMPARE(test::tabOrder(dialog->cmdInsert, expected), expected);
}

void TimeDateTest::doubleClickInsertsAndStaysOpen()
{
    QVERIFY(host->show());
    host->setText(QStringLiteral("On  we met."), 3);
    DateTimeDialog* dialog = open();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    doubleClickRow(dialog->lstDates, 1);
    QCOMPARE(host->editor->Text(), QStringLiteral("On 05 December 2026 we met."));
    doubleClickRow(dialog->lstDates, 1);
    QCOMPARE(host->editor->Text(), QStringLiteral("On 05 December 202605 December 2026 we met."));
    QCOMPARE(host->tools->timeDateDialog(), dialog);
    QVERIFY(dialog->isVisible());
}

void TimeDateTest::insertReplacesSelectionAndCloses()
{
    host->setText(QStringLiteral("Time: now."), 6, 3);
    QPointer<DateTimeDialog> dialog = open();
    dialog->lstDates->setCurrentRow(11);
    dialog->cmdInsert->click();
    QCOMPARE(host->editor->Text(), QStringLiteral("Time: 07:07 PM."));
    QCOMPARE(host->editor->SelStart(), 14);
    QCOMPARE(host->editor->SelLength(), 0);
    QVERIFY(!host->tools->timeDateDialog());
    QTRY_VERIFY(!dialog);
}

void TimeDateTest::insertWithoutChosenRowInsertsTheTopRow()
{
    host->setText(QStringLiteral("Date: this"), 6, 4);
    QPointer<DateTimeDialog> dialog = open();
    QVERIFY(dialog->lstDates->selectedItems().isEmpty());
    dialog->cmdInsert->click();
    QCOMPARE(host->editor->Text(), QStringLiteral("Date: 05/12/26"));
    QCOMPARE(host->editor->SelLength(), 0);
    QVERIFY(!host->tools->timeDateDialog());
    QTRY_VERIFY(!dialog);
}

void TimeDateTest::customPreviewAndInsert()
{
    host->setText(QStringLiteral("Date: "), 6);
    QPointer<DateTimeDialog> dialog = open();
    QTest::keyClicks(dialog->txtCustom, QStringLiteral("yyyy-mm-dd"));
    QCOMPARE(dialog->lblSample->text(), QStringLiteral("2026-12-05"));
    dialog->cmdInsCusFor->click();
    QCOMPARE(host->editor->Text(), QStringLiteral("Date: 2026-12-05"));
    QVERIFY(!host->tools->timeDateDialog());
}

void TimeDateTest::customInsertBeforeAnyPreview_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("selected");
    QTest::newRow("nominal: no format gives the date and time") << ""
                                                                << "Hello 05/12/26 19:07:05" << 0;
    QTest::newRow("nominal: a format set without a key press") << "yyyy"
                                                               << "Hello 2026" << 0;
    QTest::newRow("robustness: a format that gives nothing leaves the selection")
        << "\"\""
        << "Hello World" << 5;
}

void TimeDateTest::customInsertBeforeAnyPreview()
{
    QFETCH(QString, format);
    QFETCH(QString, result);
    QFETCH(int, selected);
    host->setText(QStringLiteral("Hello World"), 6, 5);
    DateTimeDialog* dialog = open();
    {
        // As a format arrives that no key or click reported.
        const QSignalBlocker quiet(dialog->txtCustom);
        dialog->txtCustom->setText(format);
    }
    QVERIFY(dialog->lblSample->text().isEmpty());
    dialog->cmdInsCusFor->click();
    QCOMPARE(host->editor->Text(), result);
    QCOMPARE(host->editor->SelLength(), selected);
    QVERIFY(!host->tools->timeDateDialog());
}

void TimeDateTest::customInsertIsThePreviewShown()
{
    DateTimeDialog* dialog = open();
    QTest::keyClicks(dialog->txtCustom, QStringLiteral("hh:nn:ss"));
    QCOMPARE(dialog->lblSample->text(), QStringLiteral("19:07:05"));
    platform->clock.fixedNow = evening.addSecs(3600);
    dialog->cmdInsCusFor->click();
    QCOMPARE(host->editor->Text(), QStringLiteral("19:07:05"));
}

void TimeDateTest::clickInCustomBoxRefreshesPreview()
{
    QVERIFY(host->show());
    DateTimeDialog* dialog = open();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    dialog->txtCustom->setText(QStringLiteral("hh:nn"));
    QCOMPARE(dialog->lblSample->text(), QStringLiteral("19:07"));
    platform->clock.fixedNow = evening.addSecs(60);
    QTest::mouseClick(dialog->txtCustom, Qt::LeftButton);
    QCOMPARE(dialog->lblSample->text(), QStringLiteral("19:08"));
    platform->clock.fixedNow = evening.addSecs(120);
    QTest::keyClick(dialog->txtCustom, Qt::Key_Left);
    QCOMPARE(dialog->lblSample->text(), QStringLiteral("19:09"));
}

void TimeDateTest::openedAgainKeepsItsMoment()
{
    DateTimeDialog* dialog = open();
    platform->clock.fixedNow = evening.addDays(1);
    QCOMPARE(open(), dialog);
    QCOMPARE(dialog->lstDates->item(0)->text(), QStringLiteral("05/12/26"));

    QPointer<DateTimeDialog> closing = dialog;
    dialog->cmdClose->click();
    QVERIFY(!host->tools->timeDateDialog());
    QTRY_VERIFY(!closing);
    QCOMPARE(open()->lstDates->item(0)->text(), QStringLiteral("06/12/26"));
}

QTEST_MAIN(TimeDateTest)
#include "test_timedate.moc"
