#include "EditorHost.h"
#include "FakeServices.h"
#include "editor/EditorTools.h"
#include "editor/FindDialog.h"
#include "editor/FindReplace.h"
#include "editor/LetterEditor.h"
#include "platform/Twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace lw;

namespace {

const QString notFound = QStringLiteral("Text not found! ");

QStringList listEntries(const QComboBox* combo)
{
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i)
        entries.append(combo->itemText(i));
    return entries;
}

} // namespace

class FindReplaceTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    // The engine on the editor.
    void optionsValue_data();
    void optionsValue();
    void find_data();
    void find();
    void replaceFirst_data();
    void replaceFirst();
    void replaceAllIsOneUndoStep();

    // The dialog.
    void controlsAsDesigned_data();
    void controlsAsDesigned();
    void tabOrderStartsAtFind();
    void layout_data();
    void layout();
    void loadTakesSelection_data();
    void loadTakesSelection();
    void dialogOptions();
    void findStepsThroughMatchesWithoutWrapping();
    void findWithWholeWordAndCase_data();
    void findWithWholeWordAndCase();
    void replaceStepsThroughMatches();
    void replaceWithoutMatch();
    void replaceWithNoHighlightReplacesTheMatch();
    void replaceAll_data();
    void replaceAll();
    void cancelDiscardsTheDialog();
    void reopenedDialogKeepsItsLayoutAndTexts();
    void popupReplaceShowsReplaceRow_data();
    void popupReplaceShowsReplaceRow();

    // Find Next of the main window.
    void findNextUsesOpenDialog();
    void findNextLoadsDialogUnseen();
    void findNextStartsBeyond16Bits();
    void findNextWithNoHighlightKeepsSelection();
    void closeAllClosesUnseenDialog();

private:
    FindDialog* openFind(bool findOnly);

    std::unique_ptr<test::FakePlatform> platform;
    std::unique_ptr<test::EditorHost> host;
};

void FindReplaceTest::init()
{
    platform = std::make_unique<test::FakePlatform>();
    host = std::make_unique<test::EditorHost>();
}

void FindReplaceTest::cleanup()
{
    host.reset();
    platform.reset();
}

FindDialog* FindReplaceTest::openFind(bool findOnly)
{
    host->tools->showFind(findOnly);
    return host->tools->findDialog();
}

void FindReplaceTest::optionsValue_data()
{
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("noHighlight");
    QTest::addColumn<int>("expected");
    QTest::newRow("nominal: none") << false << false << false << 0;
    QTest::newRow("nominal: whole word") << true << false << false << 2;
    QTest::newRow("nominal: match case") << false << true << false << 4;
    QTest::newRow("nominal: no highlight") << false << false << true << 8;
    QTest::newRow("nominal: all three add up") << true << true << true << 14;
}

void FindReplaceTest::optionsValue()
{
    QFETCH(bool, wholeWord);
    QFETCH(bool, matchCase);
    QFETCH(bool, noHighlight);
    QFETCH(int, expected);
    QCOMPARE(FindReplace::optionsValue(wholeWord, matchCase, noHighlight), expected);
}

void FindReplaceTest::find_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("search");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("options");
    QTest::addColumn<int>("expected");
    QTest::newRow("nominal: first match") << "a b a"
                                          << "a" << 0 << 0 << 0;
    QTest::newRow("nominal: match after start") << "a b a"
                                                << "a" << 1 << 0 << 4;
    QTest::newRow("nominal: nothing after the last match") << "a b a"
                                                           << "a" << 5 << 0 << -1;
    QTest::newRow("whole word: inside a word is passed over") << "within in"
                                                              << "in" << 0 << 2 << 7;
    QTest::newRow("whole word off: inside a word is found") << "within in"
                                                            << "in" << 0 << 0 << 4;
    QTest::newRow("match case off: Letter finds letter") << "Dear letter"
                                                         << "Letter" << 0 << 0 << 5;
    QTest::newRow("match case on: Letter misses letter") << "Dear letter"
                                                         << "Letter" << 0 << 4 << -1;
    QTest::newRow("robustness: empty search text finds nothing") << "a b a"
                                                                 << "" << 0 << 0 << -1;
    QTest::newRow("robustness: start past the end") << "a b a"
                                                    << "a" << 99 << 0 << -1;
}

void FindReplaceTest::find()
{
    QFETCH(QString, text);
    QFETCH(QString, search);
    QFETCH(int, start);
    QFETCH(int, options);
    QFETCH(int, expected);
    host->setText(text);
    QCOMPARE(FindReplace(*host->editor).findFrom(search, start, options), expected);
    if (expected >= 0) {
        QCOMPARE(host->editor->SelStart(), expected);
        QCOMPARE(host->editor->SelLength(), search.size());
    }
}

void FindReplaceTest::replaceFirst_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<int>("options");
    QTest::addColumn<QString>("expectedText");
    QTest::addColumn<bool>("replaced");
    QTest::addColumn<int>("next");
    QTest::addColumn<int>("expectedSelStart");
    QTest::addColumn<int>("expectedSelLength");
    // Search text "a", replacement "bb".
    QTest::newRow("nominal: first match replaced, next one selected")
        << "a a" << 0 << 0 << 0 << "bb a" << true << 3 << 3 << 1;
    QTest::newRow("nominal: first match of the text, wherever the selection is")
        << "xa a" << 3 << 1 << 0 << "xbb a" << true << 4 << 4 << 1;
    QTest::newRow("nominal: last match replaced, nothing after it")
        << "x a" << 0 << 0 << 0 << "x bb" << true << -1 << 4 << 0;
    QTest::newRow("nominal: no match, nothing replaced")
        << "xyz" << 1 << 1 << 0 << "xyz" << false << -1 << 1 << 1;
    QTest::newRow("no highlight: the match is replaced, not the selection")
        << "a x a" << 2 << 1 << 8 << "bb x a" << true << 5 << 2 << 0;
}

void FindReplaceTest::replaceFirst()
{
    QFETCH(QString, text);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(int, options);
    QFETCH(QString, expectedText);
    QFETCH(bool, replaced);
    QFETCH(int, next);
    QFETCH(int, expectedSelStart);
    QFETCH(int, expectedSelLength);
    host->setText(text, selStart, selLength);
    const FindReplace::Replaced result =
        FindReplace(*host->editor).replaceFirst(QStringLiteral("a"), QStringLiteral("bb"), options);
    QCOMPARE(host->editor->Text(), expectedText);
    QCOMPARE(result.replaced, replaced);
    QCOMPARE(result.next, next);
    QCOMPARE(host->editor->SelStart(), expectedSelStart);
    QCOMPARE(host->editor->SelLength(), expectedSelLength);
}

void FindReplaceTest::replaceAllIsOneUndoStep()
{
    host->setText(QStringLiteral("one a two a\nthree a"));
    QSignalSpy changes(host->editor, &LetterEditor::Change);
    QCOMPARE(FindReplace(*host->editor).replaceAll(QStringLiteral("a"), QStringLiteral("b"), 0), 3);
    QCOMPARE(host->editor->Text(), QStringLiteral("one b two b\nthree b"));
    QCOMPARE(host->editor->SelStart(), 19);
    QVERIFY(!changes.isEmpty());
    host->editor->undo();
    QCOMPARE(host->editor->Text(), QStringLiteral("one a two a\nthree a"));
}

void FindReplaceTest::controlsAsDesigned_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("twips");
    // The labels' and Replace All's mnemonics stay clear of the Find and Replace buttons'.
    QTest::newRow("lblFind") << "lblFind"
                             << "Fi&nd What:" << QRect(210, 180, 1155, 255);
    QTest::newRow("cboFind") << "cboFind"
                             << "" << QRect(1500, 120, 2445, 330);
    QTest::newRow("lblReplace") << "lblReplace"
                                << "Re&place With:" << QRect(210, 570, 1245, 255);
    QTest::newRow("cboReplace") << "cboReplace"
                                << "" << QRect(1500, 510, 2445, 330);
    QTest::newRow("F1") << "F1"
                        << "Search Options" << QRect(180, 960, 3795, 1335);
    QTest::newRow("chkWholeWord") << "chkWholeWord"
                                  << "Find Whole Word &Only" << QRect(180, 330, 2805, 240);
    QTest::newRow("chkMatchCase") << "chkMatchCase"
                                  << "Match Ca&se" << QRect(180, 630, 1965, 240);
    QTest::newRow("chkNoHighlight") << "chkNoHighlight"
                                    << "No &Highlight" << QRect(180, 930, 1965, 240);
    QTest::newRow("cmdFind") << "cmdFind"
                             << "&Find" << QRect(4170, 135, 1260, 330);
    QTest::newRow("cmdCancel") << "cmdCancel"
                               << "Cancel" << QRect(4170, 540, 1260, 330);
    QTest::newRow("cmdReplace") << "cmdReplace"
                                << "&Replace" << QRect(4170, 1020, 1260, 330);
    QTest::newRow("cmdReplaceAll") << "cmdReplaceAll"
                                   << "Replace &All" << QRect(4170, 1440, 1260, 330);
}

void FindReplaceTest::controlsAsDesigned()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, twips);
    FindDialog* dialog = openFind(false);
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("  Find"));
    const auto* control = dialog->findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(test::captionOf(control), caption);
    QCOMPARE(control->geometry(), twips::toPixels(twips, control));
    QVERIFY(control->isVisible());
}

void FindReplaceTest::tabOrderStartsAtFind()
{
    QVERIFY(host->show());
    FindDialog* dialog = openFind(false);
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QTRY_COMPARE(QApplication::focusWidget(), dialog->cmdFind);
    // Down the buttons, then the boxes and the options, as the dialog reads.
    const QStringList expected{"cmdFind",       "cmdCancel",    "cmdReplace",
                               "cmdReplaceAll", "cboFind",      "cboReplace",
                               "chkWholeWord",  "chkMatchCase", "chkNoHighlight"};
    QCOMPARE(test::tabOrder(dialog->cmdFind, expected), expected);
}

void FindReplaceTest::layout_data()
{
    QTest::addColumn<bool>("findOnly");
    QTest::addColumn<int>("frameTop");
    QTest::addColumn<int>("clientHeight");
    QTest::newRow("nominal: Find hides the replace row") << true << 620 << 2060;
    QTest::newRow("nominal: Replace shows everything") << false << 960 << 2400;
}

void FindReplaceTest::layout()
{
    QFETCH(bool, findOnly);
    QFETCH(int, frameTop);
    QFETCH(int, clientHeight);
    FindDialog* dialog = openFind(findOnly);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->isFindOnlyLayout(), findOnly);
    for (QWidget* replaceRow :
         {static_cast<QWidget*>(dialog->lblReplace), static_cast<QWidget*>(dialog->cboReplace),
          static_cast<QWidget*>(dialog->cmdReplace), static_cast<QWidget*>(dialog->cmdReplaceAll)})
        QCOMPARE(replaceRow->isVisible(), !findOnly);
    QCOMPARE(dialog->F1->geometry(), twips::toPixels(QRect(180, frameTop, 3795, 1335), dialog));
    QCOMPARE(dialog->size(),
             QSize(twips::toPixelsX(5655, dialog), twips::toPixelsY(clientHeight, dialog)));
    // The options frame stays inside the window.
    QVERIFY(dialog->F1->geometry().bottom() < dialog->height());
}

void FindReplaceTest::loadTakesSelection_data()
{
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QString>("expected");
    QTest::newRow("nominal: the selected word") << 5 << 2 << "is";
    QTest::newRow("nominal: nothing selected, one empty entry") << 3 << 0 << "";
}

void FindReplaceTest::loadTakesSelection()
{
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QString, expected);
    host->setText(QStringLiteral("This is it"), selStart, selLength);
    FindDialog* dialog = openFind(true);
    QCOMPARE(dialog->cboFind->currentText(), expected);
    QCOMPARE(listEntries(dialog->cboFind), QStringList{expected});
    QCOMPARE(dialog->cboReplace->count(), 0);
    QVERIFY(!dialog->chkWholeWord->isChecked());
    QVERIFY(!dialog->chkMatchCase->isChecked());
    QVERIFY(!dialog->chkNoHighlight->isChecked());
    QCOMPARE(dialog->cmdFind->text(), QStringLiteral("&Find"));
}

void FindReplaceTest::dialogOptions()
{
    FindDialog* dialog = openFind(false);
    QCOMPARE(dialog->optionsValue(), 0);
    dialog->chkNoHighlight->click();
    QCOMPARE(dialog->optionsValue(), 8);
    dialog->chkWholeWord->click();
    QCOMPARE(dialog->optionsValue(), 10);
    dialog->chkMatchCase->click();
    QCOMPARE(dialog->optionsValue(), 14);
    dialog->chkNoHighlight->click();
    QCOMPARE(dialog->optionsValue(), 6);
}

void FindReplaceTest::findStepsThroughMatchesWithoutWrapping()
{
    QVERIFY(host->show());
    host->setText(QStringLiteral("a b a"));
    QSignalSpy findNext(host->tools, &EditorTools::findNextEnabledChanged);
    FindDialog* dialog = openFind(true);
    dialog->cboFind->setEditText(QStringLiteral("a"));
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QTRY_VERIFY(!host->editor->hasFocus());

    dialog->cmdFind->click();
    QCOMPARE(host->editor->SelStart(), 0);
    QCOMPARE(host->editor->SelLength(), 1);
    QCOMPARE(dialog->cmdFind->text(), QStringLiteral("&Find Next"));
    QCOMPARE(findNext.takeFirst(), QVariantList{true});
    QTRY_VERIFY(host->editor->hasFocus());

    dialog->cmdFind->click();
    QCOMPARE(host->editor->SelStart(), 4);
    QCOMPARE(dialog->cmdFind->text(), QStringLiteral("&Find Next"));
    QCOMPARE(findNext.takeFirst(), QVariantList{true});

    platform->messages.expect(notFound, QStringLiteral("Find"), MsgButtons::Ok, MsgIcon::None);
    dialog->cmdFind->click();
    platform->messages.verifyDone();
    QCOMPARE(host->editor->SelStart(), 4);
    QCOMPARE(dialog->cmdFind->text(), QStringLiteral("&Find"));
    QCOMPARE(findNext.takeFirst(), QVariantList{false});
    QVERIFY(dialog->isVisible());

    // After the miss the search begins again at the start of the text.
    dialog->cmdFind->click();
    QCOMPARE(host->editor->SelStart(), 0);
    QCOMPARE(dialog->cmdFind->text(), QStringLiteral("&Find Next"));
}

void FindReplaceTest::findWithWholeWordAndCase_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("search");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<int>("expected");
    QTest::newRow("whole word: within in finds the word") << "within in"
                                                          << "in" << true << false << 7;
    QTest::newRow("whole word off: within in finds inside within") << "within in"
                                                                   << "in" << false << false << 4;
    QTest::newRow("match case off: Letter finds letter") << "a letter"
                                                         << "Letter" << false << false << 2;
}

void FindReplaceTest::findWithWholeWordAndCase()
{
    QFETCH(QString, text);
    QFETCH(QString, search);
    QFETCH(bool, wholeWord);
    QFETCH(bool, matchCase);
    QFETCH(int, expected);
    host->setText(text);
    FindDialog* dialog = openFind(true);
    dialog->cboFind->setEditText(search);
    dialog->chkWholeWord->setChecked(wholeWord);
    dialog->chkMatchCase->setChecked(matchCase);
    dialog->cmdFind->click();
    QCOMPARE(host->editor->SelStart(), expected);
    QCOMPARE(host->editor->SelLength(), search.size());
}

void FindReplaceTest::replaceStepsThroughMatches()
{
    QVERIFY(host->show());
    host->setText(QStringLiteral("a a"));
    QSignalSpy findNext(host->tools, &EditorTools::findNextEnabledChanged);
    FindDialog* dialog = openFind(false);
    dialog->cboFind->setEditText(QStringLiteral("a"));
    dialog->cboReplace->setEditText(QStringLiteral("b"));
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QTRY_VERIFY(!host->editor->hasFocus());

    dialog->cmdReplace->click();
    QCOMPARE(host->editor->Text(), QStringLiteral("b a"));
    QCOMPARE(host->editor->SelStart(), 2);
    QCOMPARE(host->editor->SelLength(), 1);
    QTRY_VERIFY(host->editor->hasFocus());

    dialog->cmdFind->click();
    QCOMPARE(dialog->cmdFind->text(), QStringLiteral("&Find Next"));
    findNext.clear();
    platform->messages.expect(notFound, QStringLiteral("Replace"), MsgButtons::Ok, MsgIcon::None);
    dialog->cmdReplace->click();
    platform->messages.verifyDone();
    QCOMPARE(host->editor->Text(), QStringLiteral("b b"));
    QCOMPARE(dialog->cmdFind->text(), QStringLiteral("&Find"));
    QVERIFY(findNext.isEmpty());
}

void FindReplaceTest::replaceWithoutMatch()
{
    host->setText(QStringLiteral("nothing here"), 2, 3);
    FindDialog* dialog = openFind(false);
    dialog->cboFind->setEditText(QStringLiteral("absent"));
    dialog->cboReplace->setEditText(QStringLiteral("b"));
    platform->messages.expect(notFound, QStringLiteral("Replace"), MsgButtons::Ok, MsgIcon::None);
    dialog->cmdReplace->click();
    QCOMPARE(host->editor->Text(), QStringLiteral("nothing here"));
    QCOMPARE(host->editor->SelStart(), 2);
    QCOMPARE(host->editor->SelLength(), 3);
}

void FindReplaceTest::replaceWithNoHighlightReplacesTheMatch()
{
    host->setText(QStringLiteral("a x a"), 2, 1);
    FindDialog* dialog = openFind(false);
    dialog->cboFind->setEditText(QStringLiteral("a"));
    dialog->cboReplace->setEditText(QStringLiteral("b"));
    dialog->chkNoHighlight->setChecked(true);
    dialog->cmdReplace->click();
    QCOMPARE(host->editor->Text(), QStringLiteral("b x a"));
    // The next match is found but, without highlight, not selected.
    QCOMPARE(host->editor->SelStart(), 1);
    QCOMPARE(host->editor->SelLength(), 0);
}

void FindReplaceTest::replaceAll_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<bool>("noHighlight");
    QTest::addColumn<QString>("expectedText");
    QTest::addColumn<int>("count");
    QTest::newRow("nominal: aa by b in aaaa") << "aaaa"
                                              << "aa"
                                              << "b" << false << "bb" << 2;
    QTest::newRow("nominal: across paragraphs") << "a\nb a\na"
                                                << "a"
                                                << "c" << false << "c\nb c\nc" << 3;
    QTest::newRow("robustness: a by aa counts each original match once")
        << "a a"
        << "a"
        << "aa" << false << "aa aa" << 2;
    QTest::newRow("robustness: no highlight still replaces every match")
        << "a a"
        << "a"
        << "b" << true << "b b" << 2;
    QTest::newRow("robustness: empty replacement") << "abab"
                                                   << "ab"
                                                   << "" << false << "" << 2;
    QTest::newRow("robustness: no match, no message") << "xyz"
                                                      << "a"
                                                      << "b" << false << "xyz" << 0;
    QTest::newRow("robustness: empty search text ends at once") << "a a"
                                                                << ""
                                                                << "b" << false << "a a" << 0;
    const QString many = QStringLiteral("a ").repeated(40000);
    QTest::newRow("robustness: counter passes 32767")
        << many << "a"
        << "b" << false << QStringLiteral("b ").repeated(40000) << 40000;
}

void FindReplaceTest::replaceAll()
{
    QFETCH(QString, text);
    QFETCH(QString, search);
    QFETCH(QString, replacement);
    QFETCH(bool, noHighlight);
    QFETCH(QString, expectedText);
    QFETCH(int, count);
    host->setText(text);
    QSignalSpy findNext(host->tools, &EditorTools::findNextEnabledChanged);
    FindDialog* dialog = openFind(false);
    dialog->cboFind->setEditText(search);
    dialog->cboReplace->setEditText(replacement);
    dialog->chkNoHighlight->setChecked(noHighlight);
    dialog->cmdFind->setText(QStringLiteral("&Find Next"));
    if (count > 0)
        platform->messages.expect(QStringLiteral("The specified region has been searched. \r\n") +
                                      QString::number(count) +
                                      QStringLiteral(" replacements have been made."),
                                  QStringLiteral("ReplaceAll"), MsgButtons::Ok, MsgIcon::None);
    dialog->cmdReplaceAll->click();
    platform->messages.verifyDone();
    QCOMPARE(host->editor->Text(), expectedText);
    QCOMPARE(dialog->cmdFind->text(), QStringLiteral("&Find"));
    QVERIFY(findNext.isEmpty());
}

void FindReplaceTest::cancelDiscardsTheDialog()
{
    host->setText(QStringLiteral("first second"), 0, 5);
    QPointer<FindDialog> dialog = openFind(false);
    dialog->cboFind->setEditText(QStringLiteral("typed"));
    dialog->chkMatchCase->setChecked(true);
    dialog->cmdCancel->click();
    QVERIFY(!host->tools->findDialog());
    QTRY_VERIFY(!dialog);

    host->editor->setSelStart(6);
    host->editor->setSelLength(6);
    FindDialog* fresh = openFind(false);
    QCOMPARE(fresh->cboFind->currentText(), QStringLiteral("second"));
    QVERIFY(!fresh->chkMatchCase->isChecked());
}

void FindReplaceTest::reopenedDialogKeepsItsLayoutAndTexts()
{
    QVERIFY(host->show());
    FindDialog* dialog = openFind(true);
    dialog->cboFind->setEditText(QStringLiteral("kept"));
    host->window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&host->window));

    QCOMPARE(openFind(false), dialog);
    QVERIFY(dialog->isFindOnlyLayout());
    QCOMPARE(dialog->cboFind->currentText(), QStringLiteral("kept"));
    QVERIFY(QTest::qWaitForWindowActive(dialog));
}

void FindReplaceTest::popupReplaceShowsReplaceRow_data()
{
    QTest::addColumn<bool>("loadedFirst");
    QTest::newRow("nominal: dialog open in its find-only layout") << true;
    QTest::newRow("nominal: dialog not loaded") << false;
}

void FindReplaceTest::popupReplaceShowsReplaceRow()
{
    QFETCH(bool, loadedFirst);
    if (loadedFirst)
        openFind(true);
    else
        host->tools->FindOnly = true;
    host->tools->showReplaceFromPopup();
    FindDialog* dialog = host->tools->findDialog();
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QVERIFY(!dialog->isFindOnlyLayout());
    QVERIFY(dialog->cmdReplace->isVisible());
    QVERIFY(dialog->cmdReplaceAll->isVisible());
    QVERIFY(dialog->cboReplace->isVisible());
    QCOMPARE(dialog->cmdReplace->text(), QStringLiteral("&Replace"));
    QCOMPARE(dialog->F1->geometry(), twips::toPixels(QRect(180, 960, 3795, 1335), dialog));
    QCOMPARE(dialog->height(), twips::toPixelsY(2400, dialog));
    QVERIFY(host->tools->FindOnly);
}

void FindReplaceTest::findNextUsesOpenDialog()
{
    QVERIFY(host->show());
    host->setText(QStringLiteral("a b a"));
    QSignalSpy findNext(host->tools, &EditorTools::findNextEnabledChanged);
    FindDialog* dialog = openFind(true);
    dialog->cboFind->setEditText(QStringLiteral("a"));
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QTRY_VERIFY(!host->editor->hasFocus());

    host->tools->findNext();
    QCOMPARE(host->editor->SelStart(), 0);
    QCOMPARE(host->editor->SelLength(), 1);
    QTRY_VERIFY(host->editor->hasFocus());
    host->tools->findNext();
    QCOMPARE(host->editor->SelStart(), 4);
    QVERIFY(findNext.isEmpty());

    platform->messages.expect(QStringLiteral("Text not found!"), QStringLiteral("FindNext"),
                              MsgButtons::Ok, MsgIcon::None);
    host->tools->findNext();
    platform->messages.verifyDone();
    QCOMPARE(findNext.takeFirst(), QVariantList{false});
    QCOMPARE(host->editor->SelStart(), 4);
    QCOMPARE(dialog->cmdFind->text(), QStringLiteral("&Find"));
}

void FindReplaceTest::findNextLoadsDialogUnseen()
{
    host->setText(QStringLiteral("a b a b"), 2, 1);
    host->tools->FindOnly = true;
    host->tools->findNext();
    FindDialog* dialog = host->tools->findDialog();
    QVERIFY(dialog);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->cboFind->currentText(), QStringLiteral("b"));
    QCOMPARE(host->editor->SelStart(), 6);
    QCOMPARE(host->editor->SelLength(), 1);

    // Opening it later shows the dialog that was loaded, in its layout.
    QCOMPARE(openFind(false), dialog);
    QVERIFY(dialog->isVisible());
    QVERIFY(dialog->isFindOnlyLayout());
}

void FindReplaceTest::findNextStartsBeyond16Bits()
{
    const QString filler = QStringLiteral("filler line\n").repeated(4000);
    host->setText(QStringLiteral("needle\n") + filler + QStringLiteral("needle"));
    const int last = int(7 + filler.size());
    host->editor->setSelStart(40000);
    FindDialog* dialog = openFind(true);
    dialog->cboFind->setEditText(QStringLiteral("needle"));
    host->tools->findNext();
    QCOMPARE(host->editor->SelStart(), last);
}

void FindReplaceTest::findNextWithNoHighlightKeepsSelection()
{
    host->setText(QStringLiteral("a b a"), 1, 1);
    FindDialog* dialog = openFind(true);
    dialog->cboFind->setEditText(QStringLiteral("a"));
    dialog->chkNoHighlight->setChecked(true);
    host->tools->findNext();
    QCOMPARE(host->editor->SelStart(), 1);
    QCOMPARE(host->editor->SelLength(), 1);
}

void FindReplaceTest::closeAllClosesUnseenDialog()
{
    host->setText(QStringLiteral("a a"), 0, 1);
    host->tools->findNext();
    QPointer<FindDialog> unseen = host->tools->findDialog();
    QVERIFY(unseen);
    host->tools->closeAll();
    QVERIFY(!host->tools->findDialog());
    QTRY_VERIFY(!unseen);
}

QTEST_MAIN(FindReplaceTest)
#include "test_findreplace.moc"
