#include "EditorHost.h"
#include "FakeServices.h"
#include "WidgetContents.h"
#include "editor/EditorTools.h"
#include "editor/LetterEditor.h"
#include "editor/SymbolRows.h"
#include "editor/SymbolsDialog.h"
#include "platform/Twips.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace lw;
using test::entries;

namespace {

void choose(QListWidget* list, int code)
{
    list->setCurrentRow(code - 1, QItemSelectionModel::ClearAndSelect);
}

} // namespace

class SymbolsTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void symbolRow_data();
    void symbolRow();
    void rowsCoverEveryCode();

    void controlsAsDesigned_data();
    void controlsAsDesigned();
    void listUsesEditorFace();
    void insertKeepsDialogOpen();
    void doubleClickInserts();
    void insertWithoutChosenRowDoesNothing();
    void carriageReturnBreaksTheLine();
    void symbolTakesTheTextFormat();
    void closedAndOpenedAgain();

private:
    SymbolsDialog* open();

    std::unique_ptr<test::FakePlatform> platform;
    std::unique_ptr<test::EditorHost> host;
};

void SymbolsTest::init()
{
    platform = std::make_unique<test::FakePlatform>();
    host = std::make_unique<test::EditorHost>();
}

void SymbolsTest::cleanup()
{
    host.reset();
    platform.reset();
}

SymbolsDialog* SymbolsTest::open()
{
    host->tools->showSymbols();
    return host->tools->symbolsDialog();
}

void SymbolsTest::symbolRow_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("expected");
    QTest::newRow("nominal: code 1, one digit") << 1 << QStringLiteral("1     -  \u0001");
    QTest::newRow("nominal: code 9, tab") << 9 << QStringLiteral("9     -  \t");
    QTest::newRow("nominal: code 13, carriage return") << 13 << QStringLiteral("13   -  \r");
    QTest::newRow("nominal: code 65, A") << 65 << QStringLiteral("65   -  A");
    QTest::newRow("nominal: code 99, two digits") << 99 << QStringLiteral("99   -  c");
    QTest::newRow("nominal: code 100, three digits") << 100 << QStringLiteral("100 -  d");
    QTest::newRow("code page: 128 is the euro sign") << 128 << QStringLiteral("128 -  \u20ac");
    QTest::newRow("code page: 129 is undefined, a control character")
        << 129 << QStringLiteral("129 -  \u0081");
    QTest::newRow("code page: 150 is the en dash") << 150 << QStringLiteral("150 -  \u2013");
    QTest::newRow("code page: 169 is the copyright sign") << 169 << QStringLiteral("169 -  \u00a9");
    QTest::newRow("code page: 255 is y with diaeresis") << 255 << QStringLiteral("255 -  \u00ff");
}

void SymbolsTest::symbolRow()
{
    QFETCH(int, code);
    QFETCH(QString, expected);
    QCOMPARE(lw::symbolRow(code), expected);
    QCOMPARE(symbolOfRow(expected), expected.right(1));
}

void SymbolsTest::rowsCoverEveryCode()
{
    const QStringList rows = symbolRows();
    QCOMPARE(rows.size(), 255);
    for (int code = firstSymbolCode; code <= lastSymbolCode; ++code)
        QCOMPARE(rows.at(code - 1), lw::symbolRow(code));
}

void SymbolsTest::controlsAsDesigned_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("twips");
    QTest::newRow("Frame1") << "Frame1"
                            << "Symbols" << QRect(120, 90, 2895, 2985);
    QTest::newRow("lstSymbols") << "lstSymbols"
                                << "" << QRect(120, 360, 2625, 2400);
    QTest::newRow("cmdInsert") << "cmdInsert"
                               << "&Insert" << QRect(210, 3180, 1215, 375);
    QTest::newRow("cmdClose") << "cmdClose"
                              << "&Close" << QRect(1620, 3180, 1215, 375);
}

void SymbolsTest::controlsAsDesigned()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, twips);
    SymbolsDialog* dialog = open();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("  Symbols"));
    QCOMPARE(dialog->size(), QSize(twips::toPixelsX(3150, dialog), twips::toPixelsY(3735, dialog)));
    const auto* control = dialog->findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(test::captionOf(control), caption);
    QCOMPARE(control->geometry(), twips::toPixels(twips, control));
}

void SymbolsTest::listUsesEditorFace()
{
    QVERIFY(host->show());
    host->editor->setFont(QFont(QStringLiteral("Courier New"), 14));
    SymbolsDialog* dialog = open();
    QCOMPARE(dialog->lstSymbols->font().family(), QStringLiteral("Courier New"));
    QCOMPARE(entries(dialog->lstSymbols), symbolRows());
    QVERIFY(dialog->lstSymbols->selectedItems().isEmpty());
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QTRY_COMPARE(QApplication::focusWidget(), dialog->cmdClose);
    const QStringList expected{"cmdClose", "lstSymbols", "cmdInsert"};
    QCOMPARE(test::tabOrder(dialog->cmdClose, expected), expected);
}

void SymbolsTest::insertKeepsDialogOpen()
{
    host->setText(QStringLiteral("(c) 2026"), 0, 3);
    SymbolsDialog* dialog = open();
    choose(dialog->lstSymbols, 169);
    dialog->cmdInsert->click();
    QCOMPARE(host->editor->Text(), QStringLiteral("\u00a9 2026"));
    choose(dialog->lstSymbols, 65);
    dialog->cmdInsert->click();
    dialog->cmdInsert->click();
    QCOMPARE(host->editor->Text(), QStringLiteral("\u00a9AA 2026"));
    QCOMPARE(host->tools->symbolsDialog(), dialog);
}

void SymbolsTest::doubleClickInserts()
{
    QVERIFY(host->show());
    SymbolsDialog* dialog = open();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    QListWidgetItem* first = dialog->lstSymbols->item(0);
    dialog->lstSymbols->scrollToItem(first);
    const QPoint centre = dialog->lstSymbols->visualItemRect(first).center();
    // A double-click is a click followed by the double-click event.
    QTest::mouseClick(dialog->lstSymbols->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(dialog->lstSymbols->viewport(), Qt::LeftButton, {}, centre);
    QCOMPARE(host->editor->Text(), QStringLiteral("\u0001"));
    QVERIFY(dialog->isVisible());
}

void SymbolsTest::insertWithoutChosenRowDoesNothing()
{
    host->setText(QStringLiteral("keep"), 1, 2);
    SymbolsDialog* dialog = open();
    dialog->cmdInsert->click();
    QCOMPARE(host->editor->Text(), QStringLiteral("keep"));
    QCOMPARE(host->editor->SelLength(), 2);
}

void SymbolsTest::carriageReturnBreaksTheLine()
{
    host->setText(QStringLiteral("ab"), 1);
    SymbolsDialog* dialog = open();
    choose(dialog->lstSymbols, 13);
    dialog->cmdInsert->click();
    QCOMPARE(host->editor->Text(), QStringLiteral("a\nb"));
    QCOMPARE(host->editor->lineCount(), 2);
    QCOMPARE(host->editor->SelStart(), 2);
}

void SymbolsTest::symbolTakesTheTextFormat()
{
    host->editor->setFont(QFont(QStringLiteral("DejaVu Serif")));
    host->setText(QStringLiteral("Arial text"), 0, 10);
    host->editor->setSelFontName(QStringLiteral("Arial"));
    host->editor->setSelStart(5);
    SymbolsDialog* dialog = open();
    choose(dialog->lstSymbols, 169);
    dialog->cmdInsert->click();
    QCOMPARE(host->editor->Text(), QStringLiteral("Arial\u00a9 text"));
    host->editor->setSelStart(5);
    host->editor->setSelLength(1);
    QCOMPARE(host->editor->SelFontName(), std::optional<QString>(QStringLiteral("Arial")));
}

void SymbolsTest::closedAndOpenedAgain()
{
    QVERIFY(host->show());
    SymbolsDialog* dialog = open();
    choose(dialog->lstSymbols, 65);
    host->window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&host->window));
    QCOMPARE(open(), dialog);
    QCOMPARE(dialog->lstSymbols->currentRow(), 64);
    QVERIFY(QTest::qWaitForWindowActive(dialog));

    QPointer<SymbolsDialog> closing = dialog;
    dialog->cmdClose->click();
    QVERIFY(!host->tools->symbolsDialog());
    QTRY_VERIFY(!closing);
    SymbolsDialog* fresh = open();
    QVERIFY(fresh->lstSymbols->selectedItems().isEmpty());

    QPointer<SymbolsDialog> shutDown = fresh;
    host->tools->closeAll();
    QVERIFY(!host->tools->symbolsDialog());
    QTRY_VERIFY(!shutDown);
}

QTEST_MAIN(SymbolsTest)
#include "test_symbols.moc"
