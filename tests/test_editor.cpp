#include "EditorHost.h"
#include "editor/LetterEditor.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextList>
#include <QTextTable>
#include <functional>
#include <memory>

using namespace lw;
using namespace Qt::StringLiterals;

using Action = std::function<void(LetterEditor&)>;
using Reading = std::function<QVariant(const LetterEditor&)>;
Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(Reading)

namespace {

constexpr int Mixed = -1;

int tri(const std::optional<bool>& value)
{
    return value ? int(*value) : Mixed;
}

template <typename T> QVariant variant(const std::optional<T>& value)
{
    return value ? QVariant::fromValue(*value) : QVariant();
}

void select(LetterEditor& box, int start, int length)
{
    box.setSelStart(start);
    box.setSelLength(length);
}

QTextCharFormat formatAt(const LetterEditor& box, int position)
{
    QTextCursor cursor(box.document());
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

int listStyle(const LetterEditor& box, int block)
{
    const QTextList* list = box.document()->findBlockByNumber(block).textList();
    return list ? int(list->format().style()) : 0;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList folderEntries(const QString& path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

double twipsToPixels(const LetterEditor& box, double twips)
{
    return twips * box.widget()->logicalDpiX() / 1440.0;
}

bool near(double actual, double expected)
{
    return qAbs(actual - expected) < 1e-6;
}

// The search as the rich-edit control defines it, over the plain text, one position at a time.
int simpleFind(const QString& text, const QString& pattern, int start, int end, int options)
{
    const auto isWord = [&](qsizetype at) {
        return at >= 0 && at < text.size() && (text[at].isLetterOrNumber() || text[at].isMark());
    };
    const Qt::CaseSensitivity sensitivity =
        (options & LetterEditor::MatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (int at = start; at + pattern.size() <= end; ++at) {
        if (QStringView(text).mid(at, pattern.size()).compare(pattern, sensitivity) != 0)
            continue;
        if ((options & LetterEditor::WholeWord) && (isWord(at - 1) || isWord(at + pattern.size())))
            continue;
        return at;
    }
    return -1;
}

// Replace All as the find dialog runs it, bounded so that a search that never moves on fails
// instead of hanging.
void replaceAll(LetterEditor& box, const QString& pattern, const QString& replacement)
{
    int rounds = 0;
    for (int at = box.Find(pattern, 0); at >= 0 && ++rounds < 1000;
         at = box.Find(pattern, box.SelStart() + box.SelLength()))
        box.setSelText(replacement);
    QVERIFY2(rounds < 1000, "the search does not move on");
}

} // namespace

class EditorTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void text_data();
    void text();
    void setTextStartsAfresh_data();
    void setTextStartsAfresh();
    void selection_data();
    void selection();
    void setSelText_data();
    void setSelText();
    void setSelTextTakesTheFormatTypedThere_data();
    void setSelTextTakesTheFormatTypedThere();

    void characterFormatOnSelection_data();
    void characterFormatOnSelection();
    void characterFormatAtCaret_data();
    void characterFormatAtCaret();
    void characterFormatOverMixedSelection_data();
    void characterFormatOverMixedSelection();
    void colourByteOrder_data();
    void colourByteOrder();
    void setSelFontAppliesEveryAttribute();
    void fontSizeOfPastedPixelSizes();
    void baseFont();

    void listTriState_data();
    void listTriState();
    void bulletsOnAndOff();
    void bulletsOverMixedSelection();
    void bulletsOffLeavesOtherParagraphs();
    void numberingOnAndOff();
    void alignment_data();
    void alignment();
    void alignmentOfMixedParagraphs();
    void leftIndent_data();
    void leftIndent();
    void indentSteps();
    void hangingIndent_data();
    void hangingIndent();
    void leftIndentKeepsHangingIndent();
    void indentsOfMixedParagraphs();

    void find_data();
    void find();
    void findAtEveryOffsetOfALongParagraph();
    void findAgreesWithASimpleSearch();
    void findInTablesAndLineBreaks_data();
    void findInTablesAndLineBreaks();
    void findSeesEveryChange_data();
    void findSeesEveryChange();
    void findInLoadedLineEnds_data();
    void findInLoadedLineEnds();
    void replaceEveryAgreesWithOneAtATime_data();
    void replaceEveryAgreesWithOneAtATime();
    void setTextShowsTheStartOfTheNewText();
    void inPiecesAsInOne_data();
    void inPiecesAsInOne();
    void inPiecesCancelledLeavesAll_data();
    void inPiecesCancelledLeavesAll();
    void contentInPiecesAsInOne_data();
    void contentInPiecesAsInOne();
    void documentReadInPiecesIsEditedAsAnyOther_data();
    void documentReadInPiecesIsEditedAsAnyOther();
    void veryLongWordsBreakAnywhere_data();
    void veryLongWordsBreakAnywhere();
    void lineIndex_data();
    void lineIndex();

    void changeNotification_data();
    void changeNotification();
    void editBlock_data();
    void editBlock();
    void withoutEditBlockEachReplacementIsOneStep();
    void nestedEditBlocks();
    void paragraphFormatIsOneUndoStep_data();
    void paragraphFormatIsOneUndoStep();

    void pasteText();
    void pasteWithoutUsableDataChangesNothing_data();
    void pasteWithoutUsableDataChangesNothing();
    void pasteHtmlKeepsFormatting();
    void pastePicture();
    void pasteBetweenEditorsKeepsPictures();
    void cutCopyAndClear();
    void readOnlyRefusesUserCommands();

    void mouseDown_data();
    void mouseDown();
    void rightButtonOpensNoContextMenu_data();
    void rightButtonOpensNoContextMenu();
    void gotFocus();

    void saveAndLoad_data();
    void saveAndLoad();
    void saveLeavesOutFormattingAndPictures();
    void saveReplacesExistingFile();
    void saveFailure_data();
    void saveFailure();
    void loadFile_data();
    void loadFile();
    void loadFailureKeepsContent_data();
    void loadFailureKeepsContent();

private:
    // Bullets (first) and numbering (second) on the paragraphs whose bits are set.
    void makeLists(int bullets, int numbered);

    std::unique_ptr<LetterEditor> box;
};

void EditorTest::init()
{
    box = std::make_unique<LetterEditor>();
    box->setFont(QFont(u"Verdana"_s, 10));
}

void EditorTest::cleanup()
{
    box.reset();
    QGuiApplication::clipboard()->clear();
}

// ---- text and selection ----

void EditorTest::text_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("text");

    QTest::newRow("nominal: one line") << u"Dear Sir"_s << u"Dear Sir"_s;
    QTest::newRow("nominal: paragraphs") << u"Dear Sir\n\nYours"_s << u"Dear Sir\n\nYours"_s;
    QTest::newRow("nominal: CR LF is one paragraph break") << u"a\r\nb"_s << u"a\nb"_s;
    QTest::newRow("edge: lone CR is a paragraph break") << u"a\rb"_s << u"a\nb"_s;
    QTest::newRow("edge: trailing line feed") << u"a\n"_s << u"a\n"_s;
    QTest::newRow("edge: non-breaking space stays") << u"a\u00A0b"_s << u"a\u00A0b"_s;
    QTest::newRow("edge: empty") << QString() << QString();
}

void EditorTest::text()
{
    QFETCH(QString, given);
    QFETCH(QString, text);
    box->setText(u"old text"_s);
    select(*box, 2, 3);
    box->setText(given);
    QCOMPARE(box->Text(), text);
    QCOMPARE(box->TextLength(), text.size());
    QCOMPARE(box->SelStart(), 0);
    QCOMPARE(box->SelLength(), 0);
    QCOMPARE(box->lineCount(), text.count(u'\n') + 1);
}

void EditorTest::setTextStartsAfresh_data()
{
    QTest::addColumn<bool>("inEdit");

    QTest::newRow("nominal: on its own") << false;
    QTest::newRow("nominal: inside an edit") << true;
}

void EditorTest::setTextStartsAfresh()
{
    QFETCH(bool, inEdit);
    box->setText(u"old bold\ntext"_s);
    select(*box, 0, 13);
    box->setSelBold(true);
    box->setSelAlignment(LetterEditor::AlignCenter);
    box->setSelBullet(true);
    box->setSelIndent(720);
    if (inEdit)
        box->beginEdit();
    box->setText(u"new\nlines"_s);
    QCOMPARE(box->SelStart(), 0);
    if (inEdit)
        box->endEdit();
    select(*box, 0, 9);
    QCOMPARE(tri(box->SelBold()), 0);
    QCOMPARE(box->SelAlignment(), std::optional<int>(LetterEditor::AlignLeft));
    QCOMPARE(tri(box->SelBullet()), 0);
    QCOMPARE(box->SelIndent(), std::optional<double>(0));
    box->undo();
    // On its own a new text is no edit the user could undo; inside an edit it is part of it.
    QCOMPARE(box->Text(), inEdit ? u"old bold\ntext"_s : u"new\nlines"_s);
}

void EditorTest::selection_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QString>("selText");

    // The text is "Dear Sir\nYours", 14 characters.
    QTest::newRow("nominal: inside a line") << 5 << 3 << 5 << 3 << u"Sir"_s;
    QTest::newRow("nominal: across a paragraph break") << 5 << 6 << 5 << 6 << u"Sir\nYo"_s;
    QTest::newRow("nominal: caret only") << 4 << 0 << 4 << 0 << QString();
    QTest::newRow("nominal: whole text") << 0 << 14 << 0 << 14 << u"Dear Sir\nYours"_s;
    QTest::newRow("robustness: start past the end") << 100 << 0 << 14 << 0 << QString();
    QTest::newRow("robustness: length past the end") << 10 << 100 << 10 << 4 << u"ours"_s;
    QTest::newRow("robustness: negative start") << -5 << 4 << 0 << 4 << u"Dear"_s;
    QTest::newRow("robustness: negative length selects nothing") << 5 << -3 << 5 << 0 << QString();
}

void EditorTest::selection()
{
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QString, selText);
    box->setText(u"Dear Sir\nYours"_s);
    select(*box, start, length);
    QCOMPARE(box->SelStart(), selStart);
    QCOMPARE(box->SelLength(), selLength);
    QCOMPARE(box->SelText(), selText);
    // The widget shows the same selection.
    QCOMPARE(box->textEdit()->textCursor().selectionStart(), selStart);
    QCOMPARE(box->textEdit()->textCursor().selectionEnd(), selStart + selLength);
}

void EditorTest::setSelText_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("inserted");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");

    QTest::newRow("nominal: replaces the selection")
        << 5 << 3 << u"Madam"_s << u"Dear Madam\nYours"_s << 10;
    QTest::newRow("nominal: inserts at the caret")
        << 0 << 0 << u"My "_s << u"My Dear Sir\nYours"_s << 3;
    QTest::newRow("nominal: line break makes a paragraph")
        << 8 << 0 << u",\n"_s << u"Dear Sir,\n\nYours"_s << 10;
    QTest::newRow("nominal: CR LF makes one paragraph")
        << 8 << 0 << u",\r\n"_s << u"Dear Sir,\n\nYours"_s << 10;
    QTest::newRow("nominal: replaces across paragraphs") << 5 << 6 << u"M"_s << u"Dear Murs"_s << 6;
    QTest::newRow("edge: empty text deletes the selection")
        << 4 << 4 << QString() << u"Dear\nYours"_s << 4;
    QTest::newRow("edge: at the very end") << 14 << 0 << u"."_s << u"Dear Sir\nYours."_s << 15;
}

void EditorTest::setSelText()
{
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, inserted);
    QFETCH(QString, text);
    QFETCH(int, caret);
    box->setText(u"Dear Sir\nYours"_s);
    select(*box, start, length);
    box->setSelText(inserted);
    QCOMPARE(box->Text(), text);
    QCOMPARE(box->SelStart(), caret);
    QCOMPARE(box->SelLength(), 0);
}

void EditorTest::setSelTextTakesTheFormatTypedThere_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("bold");

    // "plain BOLD plain" with BOLD (6 to 10) bold.
    QTest::newRow("nominal: caret after bold text") << 10 << 0 << true;
    QTest::newRow("nominal: caret after plain text") << 6 << 0 << false;
    QTest::newRow("nominal: selection starting in bold text") << 7 << 5 << true;
    QTest::newRow("nominal: selection starting in plain text") << 4 << 4 << false;
}

void EditorTest::setSelTextTakesTheFormatTypedThere()
{
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(bool, bold);
    box->setText(u"plain BOLD plain"_s);
    select(*box, 6, 4);
    box->setSelBold(true);
    select(*box, start, length);
    box->setSelText(u"new"_s);
    select(*box, start, 3);
    QCOMPARE(box->SelText(), u"new"_s);
    QCOMPARE(tri(box->SelBold()), int(bold));
}

// ---- character formats ----

namespace {

void addCharacterFormatRows()
{
    QTest::addColumn<Action>("apply");
    QTest::addColumn<Action>("remove");
    QTest::addColumn<Reading>("read");
    QTest::addColumn<QVariant>("on");
    QTest::addColumn<QVariant>("off");

    QTest::newRow("bold") << Action([](LetterEditor& b) { b.setSelBold(true); })
                          << Action([](LetterEditor& b) { b.setSelBold(false); })
                          << Reading([](const LetterEditor& b) { return variant(b.SelBold()); })
                          << QVariant(true) << QVariant(false);
    QTest::newRow("italic") << Action([](LetterEditor& b) { b.setSelItalic(true); })
                            << Action([](LetterEditor& b) { b.setSelItalic(false); })
                            << Reading([](const LetterEditor& b) { return variant(b.SelItalic()); })
                            << QVariant(true) << QVariant(false);
    QTest::newRow("underline") << Action([](LetterEditor& b) { b.setSelUnderline(true); })
                               << Action([](LetterEditor& b) { b.setSelUnderline(false); })
                               << Reading([](const LetterEditor& b) {
                                      return variant(b.SelUnderline());
                                  })
                               << QVariant(true) << QVariant(false);
    QTest::newRow("colour") << Action([](LetterEditor& b) { b.setSelColor(0x0000FF); })
                            << Action([](LetterEditor& b) { b.setSelColor(0); })
                            << Reading([](const LetterEditor& b) { return variant(b.SelColor()); })
                            << QVariant(quint32(0x0000FF)) << QVariant(quint32(0));
    QTest::newRow("font name") << Action([](LetterEditor& b) {
        b.setSelFontName(u"Courier New"_s);
    }) << Action([](LetterEditor& b) {
        b.setSelFontName(u"Verdana"_s);
    }) << Reading([](const LetterEditor& b) { return variant(b.SelFontName()); })
                               << QVariant(u"Courier New"_s) << QVariant(u"Verdana"_s);
    QTest::newRow("font size") << Action([](LetterEditor& b) { b.setSelFontSize(72); })
                               << Action([](LetterEditor& b) { b.setSelFontSize(10); })
                               << Reading([](const LetterEditor& b) {
                                      return variant(b.SelFontSize());
                                  })
                               << QVariant(72.0) << QVariant(10.0);
}

} // namespace

void EditorTest::characterFormatOnSelection_data()
{
    addCharacterFormatRows();
}

void EditorTest::characterFormatOnSelection()
{
    QFETCH(Action, apply);
    QFETCH(Reading, read);
    QFETCH(QVariant, on);
    QFETCH(QVariant, off);
    box->setText(u"one two\nthree"_s);
    select(*box, 4, 3);
    apply(*box);
    QCOMPARE(read(*box), on);
    select(*box, 0, 3);
    QCOMPARE(read(*box), off);
    select(*box, 8, 5);
    QCOMPARE(read(*box), off);
    select(*box, 0, 7);
    QCOMPARE(read(*box), QVariant()); // mixed
    select(*box, 5, 8);
    QCOMPARE(read(*box), QVariant()); // mixed, across a paragraph break
    box->setSelStart(7);
    QCOMPARE(read(*box), on);
    box->setSelStart(3);
    QCOMPARE(read(*box), off);
}

void EditorTest::characterFormatAtCaret_data()
{
    addCharacterFormatRows();
}

void EditorTest::characterFormatAtCaret()
{
    QFETCH(Action, apply);
    QFETCH(Reading, read);
    QFETCH(QVariant, on);
    QFETCH(QVariant, off);
    box->setText(u"one two"_s);
    box->setSelStart(3);
    QSignalSpy changes(box.get(), &LetterEditor::Change);
    apply(*box);
    QCOMPARE(changes.count(), 0); // nothing in the document changed yet
    QCOMPARE(read(*box), on);
    box->setSelText(u"X"_s);
    QCOMPARE(box->Text(), u"oneX two"_s);
    select(*box, 3, 1);
    QCOMPARE(read(*box), on);
    select(*box, 0, 3);
    QCOMPARE(read(*box), off);
}

void EditorTest::characterFormatOverMixedSelection_data()
{
    addCharacterFormatRows();
}

void EditorTest::characterFormatOverMixedSelection()
{
    QFETCH(Action, apply);
    QFETCH(Action, remove);
    QFETCH(Reading, read);
    QFETCH(QVariant, on);
    QFETCH(QVariant, off);
    box->setText(u"one two three"_s);
    select(*box, 4, 3);
    apply(*box);
    select(*box, 0, 13);
    QCOMPARE(read(*box), QVariant());
    apply(*box);
    QCOMPARE(read(*box), on);
    select(*box, 8, 5);
    QCOMPARE(read(*box), on);
    select(*box, 0, 13);
    remove(*box);
    QCOMPARE(read(*box), off);
    select(*box, 4, 3);
    QCOMPARE(read(*box), off);
}

void EditorTest::colourByteOrder_data()
{
    QTest::addColumn<quint32>("bgr");
    QTest::addColumn<QColor>("color");

    QTest::newRow("nominal: red is the low byte") << quint32(0x0000FF) << QColor(255, 0, 0);
    QTest::newRow("nominal: green is the middle byte") << quint32(0x00FF00) << QColor(0, 255, 0);
    QTest::newRow("nominal: blue is the high byte") << quint32(0xFF0000) << QColor(0, 0, 255);
    QTest::newRow("nominal: every byte distinct") << quint32(0x123456) << QColor(0x56, 0x34, 0x12);
    QTest::newRow("edge: white") << quint32(0xFFFFFF) << QColor(255, 255, 255);
}

void EditorTest::colourByteOrder()
{
    QFETCH(quint32, bgr);
    QFETCH(QColor, color);
    box->setText(u"coloured"_s);
    select(*box, 0, 8);
    box->setSelColor(bgr);
    QCOMPARE(formatAt(*box, 3).foreground().color(), color);
    QCOMPARE(box->SelColor(), std::optional<quint32>(bgr));
}

void EditorTest::setSelFontAppliesEveryAttribute()
{
    box->setText(u"styled"_s);
    select(*box, 0, 6);
    QFont font(u"Georgia"_s, 14);
    font.setBold(true);
    font.setItalic(true);
    font.setUnderline(true);
    font.setStrikeOut(true);
    box->setSelFont(font);
    QCOMPARE(box->SelFontName(), std::optional<QString>(u"Georgia"_s));
    QCOMPARE(box->SelFontSize(), std::optional<double>(14));
    QCOMPARE(tri(box->SelBold()), 1);
    QCOMPARE(tri(box->SelItalic()), 1);
    QCOMPARE(tri(box->SelUnderline()), 1);
    QVERIFY(formatAt(*box, 2).fontStrikeOut());

    box->setSelFont(QFont(u"Verdana"_s, 9));
    QCOMPARE(box->SelFontName(), std::optional<QString>(u"Verdana"_s));
    QCOMPARE(box->SelFontSize(), std::optional<double>(9));
    QCOMPARE(tri(box->SelBold()), 0);
    QCOMPARE(tri(box->SelItalic()), 0);
    QCOMPARE(tri(box->SelUnderline()), 0);
    QVERIFY(!formatAt(*box, 2).fontStrikeOut());
}

void EditorTest::fontSizeOfPastedPixelSizes()
{
    auto* data = new QMimeData;
    data->setHtml(u"<span style=\"font-size:24px\">big</span>"_s);
    data->setText(u"big"_s);
    QGuiApplication::clipboard()->setMimeData(data);
    box->paste();
    select(*box, 0, 3);
    const std::optional<double> size = box->SelFontSize();
    QVERIFY(size);
    QVERIFY(near(*size, 24 * 72.0 / box->widget()->logicalDpiY()));
}

void EditorTest::baseFont()
{
    box->setFont(QFont(u"Tahoma"_s, 12));
    QCOMPARE(box->Font().family(), u"Tahoma"_s);
    QCOMPARE(box->Font().pointSizeF(), 12.0);
    box->setText(u"plain"_s);
    select(*box, 0, 5);
    QCOMPARE(box->SelFontName(), std::optional<QString>(u"Tahoma"_s));
    QCOMPARE(box->SelFontSize(), std::optional<double>(12));
    // Text with a face of its own keeps it when the base font changes.
    box->setSelFontName(u"Georgia"_s);
    box->setFont(QFont(u"Verdana"_s, 9));
    QCOMPARE(box->SelFontName(), std::optional<QString>(u"Georgia"_s));
    QCOMPARE(box->Font().family(), u"Verdana"_s);
}

// ---- paragraphs ----

void EditorTest::makeLists(int bullets, int numbered)
{
    box->setText(u"one\ntwo\nthree"_s);
    for (int block = 0; block < 3; ++block) {
        box->setSelStart(box->lineIndex(block));
        if (bullets & 1 << block)
            box->setSelBullet(true);
        if (numbered & 1 << block)
            box->setSelNumbering(true);
    }
}

void EditorTest::listTriState_data()
{
    QTest::addColumn<int>("bullets");
    QTest::addColumn<int>("numbered");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("bullet");
    QTest::addColumn<int>("numbering");

    // "one\ntwo\nthree": paragraphs start at 0, 4 and 8; bit n is paragraph n.
    QTest::newRow("nominal: every paragraph a bullet") << 0b111 << 0 << 0 << 13 << 1 << 0;
    QTest::newRow("nominal: no list") << 0 << 0 << 0 << 13 << 0 << 0;
    QTest::newRow("nominal: some bullets is mixed") << 0b001 << 0 << 0 << 13 << Mixed << 0;
    QTest::newRow("nominal: caret in a bullet paragraph") << 0b010 << 0 << 5 << 0 << 1 << 0;
    QTest::newRow("nominal: caret in a plain paragraph") << 0b010 << 0 << 9 << 0 << 0 << 0;
    QTest::newRow("nominal: selection within the bullet paragraphs")
        << 0b011 << 0 << 1 << 5 << 1 << 0;
    QTest::newRow("nominal: numbering is no bullet") << 0 << 0b111 << 0 << 13 << 0 << 1;
    QTest::newRow("nominal: bullets and numbering mixed")
        << 0b001 << 0b110 << 0 << 13 << Mixed << Mixed;
    QTest::newRow("edge: selection ending at the start of a paragraph takes it in")
        << 0b001 << 0 << 0 << 4 << Mixed << 0;
}

void EditorTest::listTriState()
{
    QFETCH(int, bullets);
    QFETCH(int, numbered);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(int, bullet);
    QFETCH(int, numbering);
    makeLists(bullets, numbered);
    select(*box, start, length);
    QCOMPARE(tri(box->SelBullet()), bullet);
    QCOMPARE(tri(box->SelNumbering()), numbering);
}

void EditorTest::bulletsOnAndOff()
{
    makeLists(0, 0);
    select(*box, 0, 13);
    box->setSelBullet(true);
    QCOMPARE(tri(box->SelBullet()), 1);
    const QTextList* list = box->document()->firstBlock().textList();
    QVERIFY(list);
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->format().style(), QTextListFormat::ListDisc);

    box->setSelBullet(false);
    QCOMPARE(tri(box->SelBullet()), 0);
    for (int block = 0; block < 3; ++block) {
        const QTextBlock paragraph = box->document()->findBlockByNumber(block);
        QVERIFY(!paragraph.textList());
        QCOMPARE(paragraph.blockFormat().indent(), 0);
    }
    QCOMPARE(box->Text(), u"one\ntwo\nthree"_s);
}

void EditorTest::bulletsOverMixedSelection()
{
    makeLists(0b001, 0b100);
    select(*box, 0, 13);
    box->setSelBullet(true);
    QCOMPARE(tri(box->SelBullet()), 1);
    QCOMPARE(tri(box->SelNumbering()), 0);
    for (int block = 0; block < 3; ++block)
        QCOMPARE(listStyle(*box, block), int(QTextListFormat::ListDisc));
}

void EditorTest::bulletsOffLeavesOtherParagraphs()
{
    makeLists(0b111, 0);
    box->setSelStart(5);
    box->setSelBullet(false);
    QCOMPARE(listStyle(*box, 0), int(QTextListFormat::ListDisc));
    QCOMPARE(listStyle(*box, 1), 0);
    QCOMPARE(listStyle(*box, 2), int(QTextListFormat::ListDisc));
}

void EditorTest::numberingOnAndOff()
{
    makeLists(0, 0);
    select(*box, 0, 13);
    box->setSelNumbering(true);
    QCOMPARE(tri(box->SelNumbering()), 1);
    QCOMPARE(tri(box->SelBullet()), 0);
    QCOMPARE(listStyle(*box, 2), int(QTextListFormat::ListDecimal));
    box->setSelNumbering(false);
    QCOMPARE(tri(box->SelNumbering()), 0);
    QCOMPARE(listStyle(*box, 0), 0);
}

void EditorTest::alignment_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("qtAlignment");

    QTest::newRow("nominal: right") << 0 << 1 << 1 << int(Qt::AlignRight);
    QTest::newRow("nominal: centre") << 0 << 2 << 2 << int(Qt::AlignHCenter);
    QTest::newRow("nominal: back to left") << 2 << 0 << 0 << int(Qt::AlignLeft);
    QTest::newRow("robustness: unknown value changes nothing")
        << 1 << 3 << 1 << int(Qt::AlignRight);
    QTest::newRow("robustness: negative value changes nothing")
        << 2 << -1 << 2 << int(Qt::AlignHCenter);
}

void EditorTest::alignment()
{
    QFETCH(int, before);
    QFETCH(int, value);
    QFETCH(int, expected);
    QFETCH(int, qtAlignment);
    box->setText(u"one\ntwo\nthree"_s);
    select(*box, 2, 4); // the first two paragraphs
    box->setSelAlignment(before);
    box->setSelAlignment(value);
    QCOMPARE(box->SelAlignment(), std::optional<int>(expected));
    for (int block = 0; block < 2; ++block) {
        const QTextBlock paragraph = box->document()->findBlockByNumber(block);
        QCOMPARE(int(paragraph.blockFormat().alignment() & Qt::AlignHorizontal_Mask), qtAlignment);
    }
    box->setSelStart(10);
    QCOMPARE(box->SelAlignment(), std::optional<int>(LetterEditor::AlignLeft));
}

void EditorTest::alignmentOfMixedParagraphs()
{
    box->setText(u"one\ntwo"_s);
    box->setSelAlignment(LetterEditor::AlignCenter);
    select(*box, 0, 7);
    QCOMPARE(box->SelAlignment(), std::nullopt);
}

void EditorTest::leftIndent_data()
{
    QTest::addColumn<bool>("millimetres");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("twips");
    QTest::addColumn<double>("mm");

    QTest::newRow("twips: one inch") << false << 1440.0 << 1440.0 << 25.4;
    QTest::newRow("millimetres: 13 mm") << true << 13.0 << 13 * 1440 / 25.4 << 13.0;
    QTest::newRow("twips: fraction of a pixel kept")
        << false << 737.0 << 737.0 << 737 * 25.4 / 1440;
    QTest::newRow("edge: zero") << true << 0.0 << 0.0 << 0.0;
    QTest::newRow("robustness: below zero clamps at 0") << false << -720.0 << 0.0 << 0.0;
}

void EditorTest::leftIndent()
{
    QFETCH(bool, millimetres);
    QFETCH(double, value);
    QFETCH(double, twips);
    QFETCH(double, mm);
    box->setText(u"one\ntwo\nthree"_s);
    select(*box, 0, 5);
    box->setScaleUnit(millimetres ? LetterEditor::ScaleUnit::Millimetres
                                  : LetterEditor::ScaleUnit::Twips);
    box->setSelIndent(value);

    box->setScaleUnit(LetterEditor::ScaleUnit::Twips);
    QVERIFY(box->SelIndent());
    QVERIFY2(near(*box->SelIndent(), twips), qPrintable(QString::number(*box->SelIndent())));
    box->setScaleUnit(LetterEditor::ScaleUnit::Millimetres);
    QVERIFY(near(box->SelIndent().value_or(-1), mm));
    for (int block = 0; block < 2; ++block) {
        const QTextBlockFormat format = box->document()->findBlockByNumber(block).blockFormat();
        QVERIFY(near(format.leftMargin() + format.textIndent(), twipsToPixels(*box, twips)));
    }
    QCOMPARE(box->document()->findBlockByNumber(2).blockFormat().leftMargin(), 0.0);
}

void EditorTest::indentSteps()
{
    box->setText(u"one\ntwo\nthree"_s);
    select(*box, 0, 5);
    const auto step = [&](double millimetres) {
        box->setScaleUnit(LetterEditor::ScaleUnit::Millimetres);
        box->setSelIndent(box->SelIndent().value_or(0) + millimetres);
        box->setScaleUnit(LetterEditor::ScaleUnit::Twips);
    };
    step(13);
    step(13);
    step(-13);
    QVERIFY(near(box->SelIndent().value_or(-1), 13 * 1440 / 25.4));
    step(-13);
    step(-13);
    QCOMPARE(box->SelIndent(), std::optional<double>(0));
    box->setSelStart(9);
    QCOMPARE(box->SelIndent(), std::optional<double>(0));
}

void EditorTest::hangingIndent_data()
{
    QTest::addColumn<double>("indent");
    QTest::addColumn<double>("hanging");
    QTest::addColumn<double>("readHanging");
    QTest::addColumn<double>("otherLines");

    QTest::newRow("nominal: other lines further in") << 720.0 << 360.0 << 360.0 << 1080.0;
    QTest::newRow("nominal: first line further in") << 720.0 << -360.0 << -360.0 << 360.0;
    QTest::newRow("nominal: none") << 720.0 << 0.0 << 0.0 << 720.0;
    QTest::newRow("robustness: other lines stop at the margin") << 360.0 << -720.0 << -360.0 << 0.0;
}

void EditorTest::hangingIndent()
{
    QFETCH(double, indent);
    QFETCH(double, hanging);
    QFETCH(double, readHanging);
    QFETCH(double, otherLines);
    box->setText(u"one\ntwo"_s);
    select(*box, 0, 7);
    box->setSelIndent(indent);
    box->setSelHangingIndent(hanging);
    QVERIFY(near(box->SelIndent().value_or(-1), indent));
    QVERIFY(near(box->SelHangingIndent().value_or(-1000), readHanging));
    const QTextBlockFormat format = box->document()->lastBlock().blockFormat();
    QVERIFY(near(format.leftMargin(), twipsToPixels(*box, otherLines)));
    QVERIFY(near(format.leftMargin() + format.textIndent(), twipsToPixels(*box, indent)));
}

void EditorTest::leftIndentKeepsHangingIndent()
{
    box->setText(u"one"_s);
    box->setSelIndent(720);
    box->setSelHangingIndent(360);
    box->setSelIndent(1440);
    QVERIFY(near(box->SelIndent().value_or(-1), 1440));
    QVERIFY(near(box->SelHangingIndent().value_or(-1), 360));
    box->setSelHangingIndent(0);
    QVERIFY(near(box->SelIndent().value_or(-1), 1440));
    QVERIFY(near(box->document()->firstBlock().blockFormat().textIndent(), 0));
}

void EditorTest::indentsOfMixedParagraphs()
{
    box->setText(u"one\ntwo"_s);
    box->setSelIndent(720);
    box->setSelHangingIndent(360);
    select(*box, 0, 7);
    QCOMPARE(box->SelIndent(), std::nullopt);
    QCOMPARE(box->SelHangingIndent(), std::nullopt);
}

// ---- search and lines ----

void EditorTest::find_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("options");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("length");

    const int whole = LetterEditor::WholeWord;
    const int matchCase = LetterEditor::MatchCase;
    const int noHighlight = LetterEditor::NoHighlight;
    QTest::newRow("nominal: first match") << u"a b a"_s << u"a"_s << 0 << -1 << 0 << 0 << 1;
    QTest::newRow("nominal: next match from start")
        << u"a b a"_s << u"a"_s << 1 << -1 << 0 << 4 << 1;
    QTest::newRow("nominal: no match") << u"a b a"_s << u"c"_s << 0 << -1 << 0 << -1 << 0;
    QTest::newRow("nominal: no highlight leaves the selection")
        << u"a b a"_s << u"b"_s << 0 << -1 << noHighlight << 2 << 1;
    QTest::newRow("case: ignored without the option")
        << u"a letter"_s << u"Letter"_s << 0 << -1 << 0 << 2 << 6;
    QTest::newRow("case: ignored for non-ASCII letters")
        << u"à l'ÉTÉ"_s << u"été"_s << 0 << -1 << 0 << 4 << 3;
    QTest::newRow("case: match case refuses the other case")
        << u"a letter"_s << u"Letter"_s << 0 << -1 << matchCase << -1 << 0;
    QTest::newRow("case: match case finds the same case")
        << u"letter Letter"_s << u"Letter"_s << 0 << -1 << matchCase << 7 << 6;
    QTest::newRow("whole word: part of a word is skipped")
        << u"within in"_s << u"in"_s << 0 << -1 << whole << 7 << 2;
    QTest::newRow("whole word: without the option a part counts")
        << u"within in"_s << u"in"_s << 0 << -1 << 0 << 4 << 2;
    QTest::newRow("whole word: a start inside a word makes no word")
        << u"within"_s << u"in"_s << 4 << -1 << whole << -1 << 0;
    QTest::newRow("whole word: punctuation is a boundary")
        << u"(in)"_s << u"in"_s << 0 << -1 << whole << 1 << 2;
    QTest::newRow("whole word: paragraph breaks are boundaries")
        << u"x\nin\ny"_s << u"in"_s << 0 << -1 << whole << 2 << 2;
    QTest::newRow("whole word: digits belong to the word")
        << u"in2 in"_s << u"in"_s << 0 << -1 << whole << 4 << 2;
    QTest::newRow("whole word: accented letters belong to the word")
        << u"iné in"_s << u"in"_s << 0 << -1 << whole << 4 << 2;
    QTest::newRow("whole word: with match case")
        << u"In in within"_s << u"in"_s << 0 << -1 << whole + matchCase << 3 << 2;
    QTest::newRow("range: match must end by the end")
        << u"a b a"_s << u"a"_s << 1 << 4 << 0 << -1 << 0;
    QTest::newRow("range: match ending at the end")
        << u"a b a"_s << u"a"_s << 1 << 5 << 0 << 4 << 1;
    QTest::newRow("range: end past the text is the end")
        << u"a b a"_s << u"a"_s << 1 << 500 << 0 << 4 << 1;
    QTest::newRow("range: start past the text") << u"a b a"_s << u"a"_s << 9 << -1 << 0 << -1 << 0;
    QTest::newRow("range: negative start is the beginning")
        << u"a b a"_s << u"a"_s << -4 << -1 << 0 << 0 << 1;
    QTest::newRow("range: end before start") << u"a b a"_s << u"a"_s << 3 << 1 << 0 << -1 << 0;
    QTest::newRow("range: match in a later paragraph")
        << u"one\ntwo\nthree"_s << u"three"_s << 2 << -1 << 0 << 8 << 5;
    QTest::newRow("robustness: empty search text")
        << u"a b a"_s << QString() << 0 << -1 << 0 << -1 << 0;
    QTest::newRow("robustness: search text longer than the text")
        << u"ab"_s << u"abc"_s << 0 << -1 << 0 << -1 << 0;
    QTest::newRow("lines: across a paragraph break")
        << u"xa\nby"_s << u"a\nb"_s << 0 << -1 << 0 << 1 << 3;
    QTest::newRow("lines: CR LF in the search text is one break")
        << u"xa\nby"_s << u"a\r\nb"_s << 0 << -1 << 0 << 1 << 3;
    QTest::newRow("lines: a break must match a break")
        << u"a b"_s << u"a\nb"_s << 0 << -1 << 0 << -1 << 0;
    QTest::newRow("lines: whole word across a break")
        << u"xa\nb a\nb"_s << u"a\nb"_s << 0 << -1 << whole << 5 << 3;
    QTest::newRow("long paragraph: match far into it")
        << QString(u"x"_s.repeated(100000) + u" needle"_s) << u"needle"_s << 0 << -1 << 0 << 100001
        << 6;
    QTest::newRow("long paragraph: rejected word before the match")
        << QString(u"y"_s.repeated(300) + u"needles "_s.repeated(1000) + u"needle"_s) << u"needle"_s
        << 0 << -1 << whole << 8300 << 6;
    QTest::newRow("edge: characters outside the basic plane count twice")
        << u"😀 a"_s << u"a"_s << 0 << -1 << 0 << 3 << 1;
    QTest::newRow("edge: pictures are characters")
        << u"\uFFFCa"_s << u"a"_s << 0 << -1 << 0 << 1 << 1;
}

void EditorTest::find()
{
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(int, options);
    QFETCH(int, position);
    QFETCH(int, length);
    box->setText(text);
    const int caret = box->TextLength();
    box->setSelStart(caret);
    QCOMPARE(box->Find(pattern, start, end, options), position);
    if (position >= 0 && !(options & LetterEditor::NoHighlight)) {
        QCOMPARE(box->SelStart(), position);
        QCOMPARE(box->SelLength(), length);
    } else {
        QCOMPARE(box->SelStart(), caret);
        QCOMPARE(box->SelLength(), 0);
    }
}

void EditorTest::findAtEveryOffsetOfALongParagraph()
{
    // The search reads a paragraph in pieces; a match may straddle any of their ends.
    for (int offset = 0; offset < 1500; ++offset) {
        box->setText(u"x"_s.repeated(offset) + u" needle "_s + u"x"_s.repeated(300));
        QCOMPARE(box->Find(u"needle"_s, 0, -1, LetterEditor::WholeWord), offset + 1);
        QCOMPARE(box->Find(u"needle"_s, 1, offset + 7), offset + 1);
        QCOMPARE(box->Find(u"needle"_s, 1, offset + 6), -1);
    }
}

void EditorTest::findAgreesWithASimpleSearch()
{
    // Rare words in long runs of filler, in paragraphs short and long, so that the search's
    // pieces end at every kind of place before a match.
    QRandomGenerator random(20261210);
    const QStringList words{u"needle"_s,  u"NEEDLE"_s, u"nee-dle"_s, u"néédle2"_s,
                            u"dle nee"_s, u"é"_s,      u"n"_s};
    QString text;
    while (text.size() < 60000) {
        const int filler = int(random.bounded(1200));
        for (int i = 0; i < filler; ++i)
            text += random.bounded(5) == 0 ? u' ' : u'x';
        text += words[random.bounded(words.size())];
        const bool longParagraph = text.size() > 20000 && text.size() < 50000;
        if (!longParagraph && random.bounded(3) == 0)
            text += u'\n';
    }
    box->setText(text);
    QCOMPARE(box->Text(), text);
    for (int round = 0; round < 1000; ++round) {
        const int at = random.bounded(text.size() - 8);
        const QString pattern = random.bounded(2) == 0 ? words[random.bounded(words.size())]
                                                       : text.mid(at, 1 + random.bounded(10));
        const int start = random.bounded(text.size());
        const int end = random.bounded(3) == 0 ? random.bounded(text.size()) : -1;
        const int options = random.bounded(16);
        const int expected =
            simpleFind(text, pattern, start, end < 0 ? int(text.size()) : end, options);
        QVERIFY2(box->Find(pattern, start, end, options) == expected,
                 qPrintable(u"pattern \"%1\" start %2 end %3 options %4: expected %5"_s.arg(
                     QString(pattern).replace(u'\n', u"\\n"_s), QString::number(start),
                     QString::number(end), QString::number(options), QString::number(expected))));
    }
}

// A paragraph "before", a table of two rows ("a1" "b1" / "a2" "needle"), a paragraph "after
// needle" and a soft line break inside "one\u2028two".
static void fillWithTableAndLineBreak(LetterEditor& box)
{
    box.setText(u"before"_s);
    QTextCursor cursor(box.document());
    cursor.movePosition(QTextCursor::End);
    QTextTable* table = cursor.insertTable(2, 2);
    const QStringList cells{u"a1"_s, u"b1"_s, u"a2"_s, u"needle"_s};
    for (int i = 0; i < 4; ++i)
        table->cellAt(i / 2, i % 2).firstCursorPosition().insertText(cells[i]);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(u"after needle\none"_s + QChar(QChar::LineSeparator) + u"two"_s);
}

void EditorTest::findInTablesAndLineBreaks_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("options");
    QTest::addColumn<QString>("where");
    // Where: "cell" the last cell's needle, "after" the needle after the table, "line" the text
    // at the soft line break, "none" nothing.
    QTest::newRow("nominal: inside a table cell") << u"needle"_s << 0 << 0 << u"cell"_s;
    QTest::newRow("nominal: whole word at the edges of a cell")
        << u"needle"_s << 0 << int(LetterEditor::WholeWord) << u"cell"_s;
    QTest::newRow("nominal: after the table") << u"needle"_s << -1 << 0 << u"after"_s;
    QTest::newRow("lines: a line break within a paragraph, typed as such")
        << QString(u"one"_s + QChar(QChar::LineSeparator) + u"two"_s) << 0 << 0 << u"line"_s;
    QTest::newRow("lines: a line break within a paragraph meets a line feed")
        << u"one\ntwo"_s << 0 << 0 << u"line"_s;
    QTest::newRow("robustness: a paragraph separator in the search text is never found")
        << QString(u"after needle"_s + QChar(QChar::ParagraphSeparator) + u"one"_s) << 0 << 0
        << u"none"_s;
    QTest::newRow("robustness: cells do not run into each other")
        << u"a1b1"_s << 0 << 0 << u"none"_s;
}

void EditorTest::findInTablesAndLineBreaks()
{
    QFETCH(QString, pattern);
    QFETCH(int, start);
    QFETCH(int, options);
    QFETCH(QString, where);
    fillWithTableAndLineBreak(*box);
    const QTextTable* table = QTextCursor(box->document()).currentTable();
    QTextCursor probe(box->document());
    for (QTextBlock block = box->document()->begin(); block.isValid() && !table;
         block = block.next()) {
        probe.setPosition(block.position());
        table = probe.currentTable();
    }
    QVERIFY(table);
    const int cell = table->cellAt(1, 1).firstCursorPosition().position();
    const int after = int(box->Text().lastIndexOf(u"needle"_s));
    const int line = int(box->Text().indexOf(u"one"_s));
    const QHash<QString, int> expected{
        {u"cell"_s, cell}, {u"after"_s, after}, {u"line"_s, line}, {u"none"_s, -1}};
    QCOMPARE(box->Find(pattern, start < 0 ? cell + 1 : start, -1, options), expected[where]);
}

void EditorTest::findSeesEveryChange_data()
{
    QTest::addColumn<Action>("change");
    QTest::addColumn<int>("position");
    QTest::newRow("typed before it") << Action([](LetterEditor& b) {
        b.setSelStart(0);
        b.setSelText(u"Oh, "_s);
    }) << 9;
    QTest::newRow("the word removed") << Action([](LetterEditor& b) {
        b.setSelStart(5);
        b.setSelLength(3);
        b.clear();
    }) << -1;
    QTest::newRow("undone") << Action([](LetterEditor& b) {
        b.setSelStart(0);
        b.setSelText(u"Oh, "_s);
        b.undo();
    }) << 5;
    QTest::newRow("a new text") << Action([](LetterEditor& b) { b.setText(u"Sir, Sir"_s); }) << 0;
    QTest::newRow("a new rich text")
        << Action([](LetterEditor& b) { b.setText(u"{\\rtf1 Dear {\\b Madam and Sir}}"_s); }) << 15;
    QTest::newRow("pasted") << Action([](LetterEditor& b) {
        QGuiApplication::clipboard()->setText(u"Sir "_s);
        b.setSelStart(0);
        b.paste();
    }) << 0;
    QTest::newRow("formatting only") << Action([](LetterEditor& b) {
        b.setSelStart(0);
        b.setSelLength(4);
        b.setSelBold(true);
    }) << 5;
}

void EditorTest::findSeesEveryChange()
{
    QFETCH(Action, change);
    QFETCH(int, position);
    box->setText(u"Dear Sir,\nthank you."_s);
    QCOMPARE(box->Find(u"Sir"_s, 0), 5);
    change(*box);
    QCOMPARE(box->Find(u"Sir"_s, 0, -1, LetterEditor::NoHighlight), position);
}

void EditorTest::findInLoadedLineEnds_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("line feeds") << u"a\nSir b\nc Sir"_s;
    QTest::newRow("CR LF") << u"a\r\nSir b\r\nc Sir\r\n"_s;
    QTest::newRow("lone CRs") << u"a\rSir b\rc Sir"_s;
    QTest::newRow("mixed, with blank lines") << u"\r\n\n\ra\r\r\nSir b\n\r\nc Sir"_s;
    QTest::newRow("paragraph and line separators")
        << QString(u"a"_s + QChar(QChar::ParagraphSeparator) + u"Sir"_s +
                   QChar(QChar::LineSeparator) + u"b Sir"_s);
}

void EditorTest::findInLoadedLineEnds()
{
    // A text just loaded is searched without reading it back from the document; it must give
    // what reading it back gives.
    QFETCH(QString, text);
    box->setText(text);
    const QStringList patterns{u"Sir"_s, u"a\nSir"_s, u"b\nc"_s, u"\n"_s, u"\nSir"_s, u"\n\n"_s};
    QList<int> loaded;
    for (const QString& pattern : patterns) {
        for (int start = 0; start < box->TextLength(); ++start)
            loaded.append(box->Find(pattern, start, -1, LetterEditor::NoHighlight));
    }
    // An edit that leaves the same text makes the search read the document.
    box->setSelStart(0);
    box->setSelText(u"x"_s);
    box->setSelStart(0);
    box->setSelLength(1);
    box->clear();
    QList<int> readBack;
    for (const QString& pattern : patterns) {
        for (int start = 0; start < box->TextLength(); ++start)
            readBack.append(box->Find(pattern, start, -1, LetterEditor::NoHighlight));
    }
    QCOMPARE(loaded, readBack);
}

// The text and, character by character, the format of a document.
static QList<QPair<QChar, QTextCharFormat>> formattedCharacters(const QTextDocument* document)
{
    QList<QPair<QChar, QTextCharFormat>> characters;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment run = it.fragment();
            for (const QChar ch : run.text())
                characters.append({ch, run.charFormat()});
        }
        characters.append({u'\n', block.charFormat()});
    }
    return characters;
}

void EditorTest::replaceEveryAgreesWithOneAtATime_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<int>("options");
    const int whole = LetterEditor::WholeWord;
    QTest::newRow("nominal: several in a paragraph")
        << u"Dear Sir, dear sir, SIR."_s << u"sir"_s << u"Madam"_s << 0;
    QTest::newRow("nominal: one in each paragraph")
        << u"a Sir\nb Sir\n\nSir"_s << u"Sir"_s << u"Madam"_s << 0;
    QTest::newRow("case: match case")
        << u"Sir sir SIR"_s << u"sir"_s << u"x"_s << int(LetterEditor::MatchCase);
    QTest::newRow("whole word: parts of words stay")
        << u"in within in, pin in"_s << u"in"_s << u"on"_s << whole;
    QTest::newRow("whole word: judged after the replacement before it")
        << u"-a-a -a"_s << u"-a"_s << u"--"_s << whole;
    QTest::newRow("whole word: an empty replacement joins words")
        << u"x -a-a -a"_s << u"-a"_s << QString() << whole;
    QTest::newRow("edge: adjacent matches") << u"aaaaa"_s << u"aa"_s << u"b"_s << 0;
    QTest::newRow("edge: the replacement holds the search text")
        << u"a a"_s << u"a"_s << u"aa"_s << 0;
    QTest::newRow("edge: removed") << u"one, two, three"_s << u", "_s << QString() << 0;
    QTest::newRow("lines: across paragraphs") << u"xa\nb a\nby"_s << u"a\nb"_s << u"-"_s << 0;
    QTest::newRow("lines: a replacement with a line break")
        << u"a b a"_s << u"a"_s << u"1\n2"_s << 0;
    QTest::newRow("edge: characters outside the basic plane")
        << u"😀 a 😀a"_s << u"a"_s << u"😀"_s << 0;
}

void EditorTest::replaceEveryAgreesWithOneAtATime()
{
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(QString, replacement);
    QFETCH(int, options);
    // Bold and italic runs that matches start in, end in and straddle.
    const auto prepare = [&](LetterEditor& b) {
        b.setText(text);
        for (int at = 0; at + 3 <= b.TextLength(); at += 5) {
            b.setSelStart(at);
            b.setSelLength(3);
            at % 2 ? b.setSelItalic(true) : b.setSelBold(true);
        }
        b.setSelStart(0);
    };
    prepare(*box);
    LetterEditor oneAtATime;
    oneAtATime.setFont(box->Font());
    prepare(oneAtATime);
    int count = 0;
    oneAtATime.beginEdit();
    for (int at = oneAtATime.Find(pattern, 0, -1, options); at >= 0 && ++count < 1000;
         at = oneAtATime.Find(pattern, oneAtATime.SelStart() + oneAtATime.SelLength(), -1, options))
        oneAtATime.setSelText(replacement);
    oneAtATime.endEdit();

    QCOMPARE(box->replaceEvery(pattern, replacement, options), count);
    QCOMPARE(box->Text(), oneAtATime.Text());
    QCOMPARE(box->SelStart(), oneAtATime.SelStart());
    QCOMPARE(box->SelLength(), oneAtATime.SelLength());
    QCOMPARE(formattedCharacters(box->document()), formattedCharacters(oneAtATime.document()));
    if (count == 0)
        return;
    // One step undoes it all.
    box->undo();
    prepare(oneAtATime);
    QCOMPARE(box->Text(), oneAtATime.Text());
    QCOMPARE(formattedCharacters(box->document()), formattedCharacters(oneAtATime.document()));
}

void EditorTest::setTextShowsTheStartOfTheNewText()
{
    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    LetterEditor shown(&window);
    layout->addWidget(shown.widget());
    window.resize(400, 300);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QString text = u"Dear Sir,\n"_s.repeated(5000);
    shown.setText(text);
    shown.setSelStart(shown.TextLength());
    QApplication::processEvents();
    QVERIFY(shown.textEdit()->verticalScrollBar()->value() > 0);

    shown.setText(u"Dear Madam,\n"_s.repeated(5000));
    QApplication::processEvents();
    QCOMPARE(shown.SelStart(), 0);
    QCOMPARE(shown.SelLength(), 0);
    QCOMPARE(shown.textEdit()->verticalScrollBar()->value(), 0);
    QCOMPARE(shown.Text(), u"Dear Madam,\n"_s.repeated(5000));
}

namespace {

// Each paragraph's format and its runs of equally formatted characters: what formattedCharacters
// tells, in less memory.
QList<QPair<int, QTextFormat>> formatRuns(const QTextDocument* document)
{
    QList<QPair<int, QTextFormat>> runs;
    const auto add = [&](int length, const QTextFormat& format) {
        if (!runs.isEmpty() && runs.last().first >= 0 && runs.last().second == format)
            runs.last().first += length;
        else
            runs.append({length, format});
    };
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        runs.append({-1, block.blockFormat()});
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it)
            add(it.fragment().length(), it.fragment().charFormat());
        add(1, block.charFormat());
    }
    return runs;
}

// "Start End" with "Start" bold, then `length` characters from `start` selected.
void boldStartEnd(LetterEditor& box, int start, int length)
{
    box.setText(u"Start End"_s);
    select(box, 0, 5);
    box.setSelBold(true);
    select(box, start, length);
}

// Lines of prose with CR LF, long enough for more than one piece.
QString piecesText()
{
    QString text;
    text.reserve(5 << 20);
    for (int line = 0; text.size() < (5 << 20); ++line)
        text += u"Line %1: Dear Sir, thank you for your letter.\r\n"_s.arg(line);
    return text;
}

} // namespace

void EditorTest::inPiecesAsInOne_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("replace");
    QTest::newRow("nominal: short text replaces the document") << u"Dear Sir,\r\nyes."_s << true;
    QTest::newRow("nominal: long text replaces the document") << piecesText() << true;
    QTest::newRow("nominal: long text replaces the selection") << piecesText() << false;
    QTest::newRow("edge: a line longer than a piece")
        << u"x"_s.repeated(4 << 20) + u"\r\nend"_s << true;
    QTest::newRow("edge: CR LF astride the end of a piece")
        << u"y"_s.repeated((4 << 20) - 1) + u"\r\nend"_s << false;
}

void EditorTest::inPiecesAsInOne()
{
    QFETCH(QString, text);
    QFETCH(bool, replace);
    LetterEditor inOne;
    boldStartEnd(inOne, 6, 3);
    LetterEditor inPieces;
    boldStartEnd(inPieces, 6, 3);
    QList<qint64> advances;
    const auto progress = [&](qint64 done, qint64 total) {
        advances.append(done);
        return total == text.size();
    };
    QSignalSpy changes(&inPieces, &LetterEditor::Change);
    if (replace) {
        inOne.setText(text);
        QVERIFY(inPieces.setTextInPieces(text, progress));
    } else {
        inOne.setSelText(text);
        QVERIFY(inPieces.setSelTextInPieces(text, progress));
    }
    QCOMPARE(advances.last(), qint64(text.size()));
    QCOMPARE(changes.size(), 1);
    QVERIFY(inPieces.Text() == inOne.Text());
    QCOMPARE(formatRuns(inPieces.document()), formatRuns(inOne.document()));
    QCOMPARE(inPieces.SelStart(), inOne.SelStart());
    QCOMPARE(inPieces.SelLength(), inOne.SelLength());
    QCOMPARE(inPieces.document()->isModified(), inOne.document()->isModified());
    // Found as in the text given.
    QCOMPARE(inPieces.Find(u"End"_s, 0), inOne.Find(u"End"_s, 0));
    // The same history: none after a new document, one step for an insert.
    QCOMPARE(inPieces.document()->isUndoAvailable(), inOne.document()->isUndoAvailable());
    inOne.undo();
    inPieces.undo();
    QVERIFY(inPieces.Text() == inOne.Text());
    QCOMPARE(formatRuns(inPieces.document()), formatRuns(inOne.document()));
}

void EditorTest::inPiecesCancelledLeavesAll_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("replace");
    QTest::addColumn<int>("cancelAt");
    QTest::newRow("nominal: replace cancelled at the first piece") << piecesText() << true << 1;
    QTest::newRow("nominal: replace cancelled at the last piece") << piecesText() << true << 2;
    QTest::newRow("nominal: insert cancelled at the last piece") << piecesText() << false << 2;
    QTest::newRow("nominal: insert cancelled while laid out up to the caret")
        << piecesText() << false << 4;
    QTest::newRow("edge: a short text cancelled") << u"short"_s << false << 1;
}

void EditorTest::inPiecesCancelledLeavesAll()
{
    QFETCH(QString, text);
    QFETCH(bool, replace);
    QFETCH(int, cancelAt);
    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    LetterEditor shown(&window);
    layout->addWidget(shown.widget());
    window.resize(400, 300);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    shown.setText(u"Dear Sir,\n"_s.repeated(200));
    shown.setSelStart(1000);
    shown.setSelLength(8);
    shown.setSelBold(true);
    shown.setSelStart(500);
    shown.setSelLength(3);
    QApplication::processEvents();
    const int scrolled = shown.textEdit()->verticalScrollBar()->value();
    QVERIFY(scrolled > 0);
    const QString before = shown.Text();
    const auto formatsBefore = formatRuns(shown.document());
    const bool modifiedBefore = shown.document()->isModified();
    const QTextOption::WrapMode wrapBefore = shown.document()->defaultTextOption().wrapMode();

    int advances = 0;
    QSignalSpy changes(&shown, &LetterEditor::Change);
    const auto progress = [&](qint64, qint64) { return ++advances < cancelAt; };
    QVERIFY(!(replace ? shown.setTextInPieces(text, progress)
                      : shown.setSelTextInPieces(text, progress)));
    QApplication::processEvents();
    QCOMPARE(advances, cancelAt);
    QVERIFY(changes.isEmpty());
    QCOMPARE(shown.Text(), before);
    QCOMPARE(formatRuns(shown.document()), formatsBefore);
    QCOMPARE(shown.SelStart(), 500);
    QCOMPARE(shown.SelLength(), 3);
    QCOMPARE(shown.textEdit()->verticalScrollBar()->value(), scrolled);
    QCOMPARE(shown.document()->isModified(), modifiedBefore);
    QCOMPARE(shown.document()->defaultTextOption().wrapMode(), wrapBefore);
    QVERIFY(!shown.document()->isRedoAvailable());
    // The bold is still the last step to undo.
    shown.undo();
    select(shown, 1000, 8);
    QCOMPARE(shown.SelBold(), std::optional<bool>(false));
}

void EditorTest::contentInPiecesAsInOne_data()
{
    QTest::addColumn<Action>("fill");
    QTest::addColumn<int>("cancelAt");
    const QString paragraphs =
        uR"({\rtf1\ansi {\b One} a\par\pard\qc Two\par\pard Three {\i it}\par Four\par Five})"_s;
    const QString list = uR"({\rtf1\ansi Before\par )"
                         uR"({\*\pn\pnlvlbody\pndec\pnstart1}\fi-360\li720 One\par Two\par )"
                         uR"(Three\par Four\par\pard After\par End})"_s;
    const auto rtf = [](const QString& text) {
        return Action([text](LetterEditor& box) { box.setText(text); });
    };
    // As a table pasted from a web page comes.
    const Action table = [](LetterEditor& box) {
        box.setText(u"Before\nAfter\nEnd"_s);
        QTextCursor at(box.document()->firstBlock().next());
        QTextTable* cells = at.insertTable(3, 2);
        for (int cell = 0; cell < 6; ++cell) {
            QTextCursor in = cells->cellAt(cell / 2, cell % 2).firstCursorPosition();
            in.insertText(QString(QChar(u'A' + cell)));
        }
    };
    QTest::newRow("nominal: paragraphs and their formats") << rtf(paragraphs) << -1;
    QTest::newRow("nominal: a list is never split") << rtf(list) << -1;
    QTest::newRow("nominal: a table is never split") << table << -1;
    QTest::newRow("nominal: cancelled at the first piece") << rtf(paragraphs) << 1;
    QTest::newRow("nominal: a list cancelled at the second piece") << rtf(list) << 2;
}

void EditorTest::contentInPiecesAsInOne()
{
    QFETCH(Action, fill);
    QFETCH(int, cancelAt);
    LetterEditor source;
    fill(source);
    // The samples hold what they are named for.
    const QString row = QString::fromLatin1(QTest::currentDataTag());
    QTextCursor third(source.document()->findBlockByNumber(2));
    QCOMPARE(bool(third.currentList()), row.contains(u"list"_s));
    QCOMPARE(bool(third.currentTable()), row.contains(u"table"_s));
    LetterEditor inOne;
    boldStartEnd(inOne, 3, 3);
    LetterEditor inPieces;
    boldStartEnd(inPieces, 3, 3);
    const QString before = inPieces.Text();
    const auto formatsBefore = formatRuns(inPieces.document());
    QList<qint64> advances;
    const auto progress = [&](qint64 done, qint64 total) {
        advances.append(done);
        return total == source.document()->blockCount() && advances.size() != cancelAt;
    };
    QSignalSpy changes(&inPieces, &LetterEditor::Change);
    inOne.insertContent(source);
    const bool done = inPieces.insertContentInPieces(source, progress, 2);
    QCOMPARE(done, cancelAt < 0);
    if (!done) {
        QCOMPARE(advances.size(), cancelAt);
        QVERIFY(changes.isEmpty());
        QCOMPARE(inPieces.Text(), before);
        QCOMPARE(formatRuns(inPieces.document()), formatsBefore);
        QCOMPARE(inPieces.SelStart(), 3);
        QCOMPARE(inPieces.SelLength(), 3);
        return;
    }
    QVERIFY(advances.size() > 1);
    QCOMPARE(advances.last(), qint64(source.document()->blockCount()));
    QCOMPARE(changes.size(), 1);
    QCOMPARE(inPieces.Text(), inOne.Text());
    QCOMPARE(formatRuns(inPieces.document()), formatRuns(inOne.document()));
    QCOMPARE(inPieces.SelStart(), inOne.SelStart());
    QCOMPARE(inPieces.document()->begin().next().next().textList() != nullptr,
             inOne.document()->begin().next().next().textList() != nullptr);
    // One undo step, as in one go.
    inPieces.undo();
    QCOMPARE(inPieces.Text(), before);
    QCOMPARE(formatRuns(inPieces.document()), formatsBefore);
}

void EditorTest::documentReadInPiecesIsEditedAsAnyOther_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("nominal: plain text") << u"First line\nSecond line\n"_s.repeated(50);
    QTest::newRow("nominal: RTF") << u"{\\rtf1\\ansi First line\\par {\\b Second} line\\par}"_s;
}

void EditorTest::documentReadInPiecesIsEditedAsAnyOther()
{
    QFETCH(QString, text);
    test::EditorHost host;
    QVERIFY(host.show());
    LetterEditor& shown = *host.editor;
    QFont font(u"DejaVu Serif"_s, 14);
    shown.setFont(font);
    shown.setText(u"Dear Sir,\n"_s.repeated(200));
    shown.setSelStart(1000);
    QApplication::processEvents();
    QPointer<QTextDocument> old = shown.document();
    QSignalSpy changes(&shown, &LetterEditor::Change);
    QSignalSpy replaced(&shown, &LetterEditor::documentReplaced);

    QVERIFY(shown.setTextInPieces(text, [](qint64, qint64) { return true; }));
    QCOMPARE(replaced.size(), 1);
    QCOMPARE(changes.size(), 1);
    QVERIFY(!old);
    QCOMPARE(shown.textEdit()->document(), shown.document());
    QVERIFY(shown.Text().startsWith(u"First line\nSecond line"_s));
    QCOMPARE(shown.Font(), font);
    QCOMPARE(shown.SelStart(), 0);
    QCOMPARE(shown.textEdit()->verticalScrollBar()->value(), 0);
    QVERIFY(!shown.document()->isUndoAvailable());

    // Typed into as any document: a change, found by Find, one step to undo.
    QApplication::processEvents();
    shown.setFocus();
    QTest::keyClicks(shown.textEdit(), u"Re: "_s);
    QCOMPARE(changes.size(), 5);
    QCOMPARE(shown.Find(u"Re: First"_s, 0), 0);
    QVERIFY(shown.document()->isUndoAvailable());
    shown.undo();
    QVERIFY(shown.Text().startsWith(u"First line"_s));
    QVERIFY(!shown.document()->isUndoAvailable());
    // A cancelled read leaves this one in place.
    QPointer<QTextDocument> current = shown.document();
    QVERIFY(!shown.setTextInPieces(text, [](qint64, qint64) { return false; }));
    QCOMPARE(shown.document(), current.data());
    QCOMPARE(replaced.size(), 1);
}

void EditorTest::veryLongWordsBreakAnywhere_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<QTextOption::WrapMode>("wrap");
    const QString word = u"x"_s.repeated(30000);
    const QString prose = u"Dear Sir, thank you. "_s.repeated(3000);
    const auto wordBoundary = QTextOption::WrapAtWordBoundaryOrAnywhere;
    QTest::newRow("nominal: prose keeps its words whole")
        << Action([=](LetterEditor& box) { box.setText(prose); }) << wordBoundary;
    QTest::newRow("robustness: a 30,000-character word breaks anywhere")
        << Action([=](LetterEditor& box) { box.setText(prose + word); })
        << QTextOption::WrapAnywhere;
    QTest::newRow("robustness: in RTF too")
        << Action([=](LetterEditor& box) { box.setText(u"{\\rtf1\\ansi "_s + word + u"}"_s); })
        << QTextOption::WrapAnywhere;
    QTest::newRow("robustness: inserted")
        << Action([=](LetterEditor& box) { box.setSelText(word); }) << QTextOption::WrapAnywhere;
    QTest::newRow("robustness: inserted in pieces") << Action([=](LetterEditor& box) {
        box.setSelTextInPieces(word, [](qint64, qint64) { return true; });
    }) << QTextOption::WrapAnywhere;
    QTest::newRow("robustness: read in pieces as the whole document")
        << Action([=](LetterEditor& box) {
               box.setTextInPieces(prose + word, [](qint64, qint64) { return true; });
           })
        << QTextOption::WrapAnywhere;
    QTest::newRow("nominal: prose read in pieces after a long word keeps its words whole")
        << Action([=](LetterEditor& box) {
               box.setTextInPieces(word, [](qint64, qint64) { return true; });
               box.setTextInPieces(prose, [](qint64, qint64) { return true; });
           })
        << wordBoundary;
    QTest::newRow("robustness: pasted") << Action([=](LetterEditor& box) {
        QApplication::clipboard()->setText(word);
        box.paste();
    }) << QTextOption::WrapAnywhere;
    QTest::newRow("robustness: pasted as RTF alone") << Action([=](LetterEditor& box) {
        auto* data = new QMimeData;
        data->setData(u"text/rtf"_s, "{\\rtf1\\ansi " + word.toLatin1() + "}");
        QApplication::clipboard()->setMimeData(data);
        box.paste();
    }) << QTextOption::WrapAnywhere;
    QTest::newRow("nominal: pasted prose keeps its words whole") << Action([=](LetterEditor& box) {
        QApplication::clipboard()->setText(prose);
        box.paste();
    }) << wordBoundary;
    QTest::newRow("nominal: the next document of prose keeps its words whole again")
        << Action([=](LetterEditor& box) {
               box.setText(word);
               box.setText(prose);
           })
        << wordBoundary;
    QTest::newRow("edge: spaces of other scripts break words") << Action([=](LetterEditor& box) {
        box.setText(u"x"_s.repeated(15000) + QChar(0x3000) + u"x"_s.repeated(15000));
    }) << wordBoundary;
}

void EditorTest::veryLongWordsBreakAnywhere()
{
    QFETCH(Action, action);
    QFETCH(QTextOption::WrapMode, wrap);
    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    LetterEditor shown(&window);
    layout->addWidget(shown.widget());
    window.resize(400, 300);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    shown.setText(u"Dear Sir,"_s);
    action(shown);
    QApplication::processEvents();
    QCOMPARE(shown.document()->defaultTextOption().wrapMode(), wrap);
    // Laid out and wrapped to the window, either way.
    const QTextLayout* first = shown.document()->firstBlock().layout();
    QVERIFY(first->lineCount() > 1);
    QVERIFY(first->lineAt(0).naturalTextWidth() <= shown.textEdit()->viewport()->width());
}

void EditorTest::lineIndex_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("index");

    QTest::newRow("nominal: first line") << u"one\ntwo\nthree"_s << 0 << 0 << 0;
    QTest::newRow("nominal: second line") << u"one\ntwo\nthree"_s << 0 << 1 << 4;
    QTest::newRow("nominal: last line") << u"one\ntwo\nthree"_s << 0 << 2 << 8;
    QTest::newRow("nominal: the caret's line") << u"one\ntwo\nthree"_s << 6 << -1 << 4;
    QTest::newRow("nominal: the caret at the end of its line")
        << u"one\ntwo\nthree"_s << 7 << -1 << 4;
    QTest::newRow("nominal: empty line") << u"one\n\nthree"_s << 0 << 1 << 4;
    QTest::newRow("robustness: one past the last line") << u"one\ntwo\nthree"_s << 0 << 3 << -1;
    QTest::newRow("robustness: far past the last line") << u"one"_s << 0 << 1000000 << -1;
    QTest::newRow("robustness: negative line other than -1") << u"one\ntwo"_s << 4 << -2 << -1;
    QTest::newRow("edge: empty text has line 0") << QString() << 0 << 0 << 0;
    QTest::newRow("edge: empty text has no line 1") << QString() << 0 << 1 << -1;
    QTest::newRow("edge: a trailing break opens a line") << u"one\n"_s << 0 << 1 << 4;
}

void EditorTest::lineIndex()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(int, line);
    QFETCH(int, index);
    box->setText(text);
    box->setSelStart(caret);
    QCOMPARE(box->lineIndex(line), index);
}

// ---- notifications and edits ----

void EditorTest::changeNotification_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<int>("changes");

    QTest::newRow("program: set the text")
        << Action([](LetterEditor& b) { b.setText(u"x"_s); }) << 1;
    QTest::newRow("program: set the same text again")
        << Action([](LetterEditor& b) { b.setText(u"Dear Sir"_s); }) << 1;
    QTest::newRow("program: set an empty text over an empty one") << Action([](LetterEditor& b) {
        b.setText(QString());
        b.setText(QString());
    }) << 2;
    QTest::newRow("program: insert text")
        << Action([](LetterEditor& b) { b.setSelText(u"x"_s); }) << 1;
    QTest::newRow("program: paste") << Action([](LetterEditor& b) {
        QGuiApplication::clipboard()->setText(u"pasted"_s);
        b.paste();
    }) << 1;
    QTest::newRow("program: paste a picture") << Action([](LetterEditor& b) {
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        QGuiApplication::clipboard()->setImage(picture);
        b.paste();
    }) << 1;
    QTest::newRow("program: cut") << Action([](LetterEditor& b) {
        select(b, 0, 4);
        b.cut();
    }) << 1;
    QTest::newRow("program: clear the selection") << Action([](LetterEditor& b) {
        select(b, 0, 4);
        b.clear();
    }) << 1;
    QTest::newRow("program: undo") << Action([](LetterEditor& b) {
        b.setSelText(u"x"_s);
        b.undo();
    }) << 2;
    QTest::newRow("format: bold") << Action([](LetterEditor& b) {
        select(b, 0, 4);
        b.setSelBold(true);
    }) << 1;
    QTest::newRow("format: colour") << Action([](LetterEditor& b) {
        select(b, 0, 4);
        b.setSelColor(0xFF);
    }) << 1;
    QTest::newRow("format: font size") << Action([](LetterEditor& b) {
        select(b, 0, 4);
        b.setSelFontSize(20);
    }) << 1;
    QTest::newRow("format: alignment")
        << Action([](LetterEditor& b) { b.setSelAlignment(LetterEditor::AlignCenter); }) << 1;
    QTest::newRow("format: bullets") << Action([](LetterEditor& b) { b.setSelBullet(true); }) << 1;
    QTest::newRow("format: indent") << Action([](LetterEditor& b) { b.setSelIndent(720); }) << 1;
    QTest::newRow("user: typing") << Action([](LetterEditor& b) {
        QTest::keyClicks(b.widget(), u"ab"_s);
    }) << 2;
    QTest::newRow("no change: moving the selection")
        << Action([](LetterEditor& b) { select(b, 2, 3); }) << 0;
    QTest::newRow("no change: copy") << Action([](LetterEditor& b) {
        select(b, 0, 4);
        b.copy();
    }) << 0;
    QTest::newRow("no change: find") << Action([](LetterEditor& b) { b.Find(u"Sir"_s, 0); }) << 0;
    QTest::newRow("no change: clear without a selection")
        << Action([](LetterEditor& b) { b.clear(); }) << 0;
}

void EditorTest::changeNotification()
{
    QFETCH(Action, action);
    QFETCH(int, changes);
    box->setText(u"Dear Sir"_s);
    QSignalSpy spy(box.get(), &LetterEditor::Change);
    action(*box);
    QCOMPARE(spy.count(), changes);
}

void EditorTest::editBlock_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("caret");

    QTest::newRow("nominal: replace all")
        << u"a a\na a"_s << Action([](LetterEditor& b) { replaceAll(b, u"a"_s, u"bb"_s); })
        << u"bb bb\nbb bb"_s << 11;
    QTest::newRow("nominal: case change") << u"Dear Sir"_s << Action([](LetterEditor& b) {
        select(b, 0, 8);
        b.setSelText(b.SelText().toUpper());
    }) << u"DEAR SIR"_s << 8;
    QTest::newRow("nominal: text and format together")
        << u"Dear Sir"_s << Action([](LetterEditor& b) {
               select(b, 5, 3);
               b.setSelBold(true);
               b.setSelAlignment(LetterEditor::AlignRight);
               b.setSelStart(0);
               b.setSelText(u"My "_s);
           })
        << u"My Dear Sir"_s << 3;
    QTest::newRow("edge: whole text set inside the edit")
        << u"Dear Sir"_s << Action([](LetterEditor& b) {
               b.setText(u"Madam"_s);
               b.setSelText(u"Dear "_s);
           })
        << u"Dear Madam"_s << 5;
    QTest::newRow("edge: paste inside the edit") << u"Dear Sir"_s << Action([](LetterEditor& b) {
        QGuiApplication::clipboard()->setText(u"My "_s);
        b.setSelStart(0);
        b.paste();
        b.setSelText(u"own "_s);
    }) << u"My own Dear Sir"_s << 7;
}

void EditorTest::editBlock()
{
    QFETCH(QString, text);
    QFETCH(Action, action);
    QFETCH(QString, result);
    QFETCH(int, caret);
    box->setText(text);
    QSignalSpy changes(box.get(), &LetterEditor::Change);
    box->beginEdit();
    action(*box);
    QCOMPARE(box->SelStart(), caret); // the edit's own selection, before it ends
    box->endEdit();
    QCOMPARE(box->Text(), result);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(box->textEdit()->textCursor().position(), caret);

    box->undo();
    QCOMPARE(box->Text(), text);
    select(*box, 0, box->TextLength());
    QCOMPARE(tri(box->SelBold()), 0);
    QCOMPARE(box->SelAlignment(), std::optional<int>(LetterEditor::AlignLeft));
}

void EditorTest::withoutEditBlockEachReplacementIsOneStep()
{
    box->setText(u"a a a"_s);
    replaceAll(*box, u"a"_s, u"bb"_s);
    QCOMPARE(box->Text(), u"bb bb bb"_s);
    box->undo();
    QCOMPARE(box->Text(), u"bb bb a"_s);
}

void EditorTest::nestedEditBlocks()
{
    box->setText(u"Dear Sir"_s);
    QSignalSpy changes(box.get(), &LetterEditor::Change);
    box->beginEdit();
    box->beginEdit();
    box->setSelText(u"My "_s);
    box->endEdit();
    QCOMPARE(changes.count(), 0);
    box->setSelText(u"own "_s);
    box->endEdit();
    QCOMPARE(changes.count(), 1);
    box->endEdit(); // one too many does no harm
    box->undo();
    QCOMPARE(box->Text(), u"Dear Sir"_s);
}

void EditorTest::paragraphFormatIsOneUndoStep_data()
{
    QTest::addColumn<Action>("action");

    QTest::newRow("nominal: left indent") << Action([](LetterEditor& b) { b.setSelIndent(720); });
    QTest::newRow("nominal: hanging indent")
        << Action([](LetterEditor& b) { b.setSelHangingIndent(360); });
    QTest::newRow("nominal: alignment")
        << Action([](LetterEditor& b) { b.setSelAlignment(LetterEditor::AlignRight); });
    QTest::newRow("nominal: bullets") << Action([](LetterEditor& b) { b.setSelBullet(true); });
    QTest::newRow("nominal: numbering") << Action([](LetterEditor& b) { b.setSelNumbering(true); });
}

void EditorTest::paragraphFormatIsOneUndoStep()
{
    QFETCH(Action, action);
    box->setText(u"one\ntwo\nthree"_s);
    select(*box, 0, 13);
    QSignalSpy changes(box.get(), &LetterEditor::Change);
    action(*box);
    QCOMPARE(changes.count(), 1);
    box->undo();
    for (int block = 0; block < 3; ++block) {
        const QTextBlock paragraph = box->document()->findBlockByNumber(block);
        QCOMPARE(paragraph.blockFormat().leftMargin(), 0.0);
        QCOMPARE(paragraph.blockFormat().textIndent(), 0.0);
        QCOMPARE(int(paragraph.blockFormat().alignment() & Qt::AlignHorizontal_Mask),
                 int(Qt::AlignLeft));
        QVERIFY(!paragraph.textList());
    }
}

// ---- clipboard ----

void EditorTest::pasteText()
{
    box->setText(u"abc def"_s);
    QGuiApplication::clipboard()->setText(u"XY"_s);
    box->setSelStart(3);
    box->paste();
    QCOMPARE(box->Text(), u"abcXY def"_s);
    QCOMPARE(box->SelStart(), 5);
    select(*box, 4, 3);
    box->paste();
    QCOMPARE(box->Text(), u"abcXXYef"_s);
}

void EditorTest::pasteWithoutUsableDataChangesNothing_data()
{
    QTest::addColumn<QString>("format"); // empty: no format at all
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("byKey");
    for (const bool byKey : {false, true}) {
        const char* route = byKey ? "Ctrl+V" : "Edit, Paste";
        QTest::addRow("robustness: %s, data without a single format", route)
            << QString() << QByteArray() << byKey;
        QTest::addRow("robustness: %s, only a format nobody reads", route)
            << u"application/x-nothing-usable"_s << QByteArray("\x01\x02") << byKey;
        QTest::addRow("robustness: %s, a picture format holding no picture", route)
            << u"image/png"_s << QByteArray("not a picture") << byKey;
    }
}

// A clipboard emptied by another program hands over data that holds nothing to paste.
void EditorTest::pasteWithoutUsableDataChangesNothing()
{
    QFETCH(QString, format);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, byKey);
    box->setText(u"abc def"_s);
    select(*box, 4, 3);
    auto* data = new QMimeData;
    if (!format.isEmpty())
        data->setData(format, bytes);
    QGuiApplication::clipboard()->setMimeData(data);
    QSignalSpy changes(box->textEdit()->document(), &QTextDocument::contentsChanged);
    if (byKey)
        QTest::keyClick(box->textEdit(), Qt::Key_V, Qt::ControlModifier);
    else
        box->paste();
    QCOMPARE(box->Text(), u"abc def"_s);
    QCOMPARE(box->SelText(), u"def"_s);
    QCOMPARE(changes.size(), 0);
    // The editor stays usable: a paste of text after it goes in.
    QGuiApplication::clipboard()->setText(u"XY"_s);
    box->paste();
    QCOMPARE(box->Text(), u"abc XY"_s);
}

void EditorTest::pasteHtmlKeepsFormatting()
{
    auto* data = new QMimeData;
    data->setHtml(u"<b>bold</b> plain"_s);
    data->setText(u"bold plain"_s);
    QGuiApplication::clipboard()->setMimeData(data);
    box->paste();
    QCOMPARE(box->Text(), u"bold plain"_s);
    select(*box, 0, 4);
    QCOMPARE(tri(box->SelBold()), 1);
    select(*box, 5, 5);
    QCOMPARE(tri(box->SelBold()), 0);
}

void EditorTest::pastePicture()
{
    box->setText(u"abc def"_s);
    QImage picture(10, 20, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QGuiApplication::clipboard()->setImage(picture);
    select(*box, 3, 1);
    box->paste();
    QCOMPARE(box->Text(), u"abc\uFFFCdef"_s);
    QCOMPARE(box->SelStart(), 4);
    const QTextCharFormat format = formatAt(*box, 3);
    QVERIFY(format.isImageFormat());
    const QVariant stored = box->document()->resource(QTextDocument::ImageResource,
                                                      QUrl(format.toImageFormat().name()));
    QCOMPARE(qvariant_cast<QImage>(stored).size(), QSize(10, 20));
    // A second picture gets a name of its own.
    box->paste();
    QVERIFY(formatAt(*box, 4).toImageFormat().name() != format.toImageFormat().name());
}

void EditorTest::pasteBetweenEditorsKeepsPictures()
{
    // The hidden editor of Insert Text File: load, cut everything, paste into the editor.
    auto source = std::make_unique<LetterEditor>();
    source->setText(u"a b"_s);
    QImage picture(6, 8, QImage::Format_RGB32);
    picture.fill(Qt::yellow);
    QGuiApplication::clipboard()->setImage(picture);
    source->setSelStart(1);
    source->paste();
    const QString name = formatAt(*source, 1).toImageFormat().name();
    select(*source, 0, source->TextLength());
    source->cut();
    QCOMPARE(source->Text(), QString());
    box->setText(u"xy"_s);
    box->setSelStart(1);
    box->paste();
    QCOMPARE(box->Text(), u"xa\uFFFC by"_s);
    QCOMPARE(formatAt(*box, 2).toImageFormat().name(), name);
    // The picture stays when its source is emptied for the next file and then gone.
    source->setText(QString());
    source.reset();
    const QVariant stored = box->document()->resource(QTextDocument::ImageResource, QUrl(name));
    QCOMPARE(qvariant_cast<QImage>(stored).size(), QSize(6, 8));
}

void EditorTest::cutCopyAndClear()
{
    box->setText(u"one two three"_s);
    select(*box, 4, 4);
    box->copy();
    QCOMPARE(QGuiApplication::clipboard()->text(), u"two "_s);
    QCOMPARE(box->Text(), u"one two three"_s);
    select(*box, 0, 4);
    box->cut();
    QCOMPARE(QGuiApplication::clipboard()->text(), u"one "_s);
    QCOMPARE(box->Text(), u"two three"_s);
    select(*box, 3, 6);
    box->clear();
    QCOMPARE(box->Text(), u"two"_s);
    QCOMPARE(QGuiApplication::clipboard()->text(), u"one "_s);
    box->setSelStart(3);
    box->paste();
    QCOMPARE(box->Text(), u"twoone "_s);
}

void EditorTest::readOnlyRefusesUserCommands()
{
    box->setText(u"one two"_s);
    box->textEdit()->setReadOnly(true);
    QGuiApplication::clipboard()->setText(u"X"_s);
    select(*box, 0, 3);
    box->cut();
    box->clear();
    box->paste();
    QCOMPARE(box->Text(), u"one two"_s);
    // The program's own changes still go through.
    box->setSelText(u"1"_s);
    QCOMPARE(box->Text(), u"1 two"_s);
}

// ---- mouse and focus ----

void EditorTest::mouseDown_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("code");

    QTest::newRow("nominal: left") << Qt::LeftButton << Qt::KeyboardModifiers() << 1;
    QTest::newRow("nominal: right") << Qt::RightButton << Qt::KeyboardModifiers() << 2;
    QTest::newRow("nominal: middle") << Qt::MiddleButton << Qt::KeyboardModifiers() << 4;
    QTest::newRow("nominal: right with shift")
        << Qt::RightButton << Qt::KeyboardModifiers(Qt::ShiftModifier) << 2;
    QTest::newRow("nominal: left with control and shift")
        << Qt::LeftButton << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::ShiftModifier) << 1;
}

void EditorTest::mouseDown()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, code);
    box->widget()->resize(300, 200);
    box->widget()->show();
    QVERIFY(QTest::qWaitForWindowExposed(box->widget()));
    QSignalSpy spy(box.get(), &LetterEditor::MouseDown);
    const QPoint at(30, 20);
    QTest::mouseClick(box->textEdit()->viewport(), button, modifiers, at);
    QCOMPARE(spy.count(), 1);
    const QPoint inWidget = box->textEdit()->viewport()->mapTo(box->widget(), at);
    QCOMPARE(spy.at(0).at(0).toInt(), code);
    QCOMPARE(spy.at(0).at(1).toInt(), int(modifiers));
    QCOMPARE(spy.at(0).at(2).toInt(), inWidget.x());
    QCOMPARE(spy.at(0).at(3).toInt(), inWidget.y());
}

void EditorTest::rightButtonOpensNoContextMenu_data()
{
    QTest::addColumn<bool>("plainTextEdit");
    QTest::addColumn<bool>("menu");

    QTest::newRow("nominal: the editor opens no menu of its own") << false << false;
    // Shows that a menu opened this way would be seen.
    QTest::newRow("control: a plain QTextEdit opens its menu") << true << true;
}

void EditorTest::rightButtonOpensNoContextMenu()
{
    QFETCH(bool, plainTextEdit);
    QFETCH(bool, menu);
    QTextEdit plain;
    QWidget* target = plainTextEdit ? static_cast<QWidget*>(&plain) : box->widget();
    target->resize(300, 200);
    target->show();
    QVERIFY(QTest::qWaitForWindowExposed(target));
    QSignalSpy mouse(box.get(), &LetterEditor::MouseDown);
    // Through the window, as the platform delivers it, so that Qt raises the context menu event.
    QTest::mousePress(target->windowHandle(), Qt::RightButton, {}, QPoint(50, 50));
    QTest::mouseRelease(target->windowHandle(), Qt::RightButton, {}, QPoint(50, 50));
    QWidget* popup = QApplication::activePopupWidget();
    if (popup)
        popup->close();
    QCOMPARE(popup != nullptr, menu);
    if (!plainTextEdit) {
        QCOMPARE(mouse.count(), 1);
        QCOMPARE(mouse.at(0).at(0).toInt(), 2);
    }
}

void EditorTest::gotFocus()
{
    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    auto* other = new QLineEdit(&window);
    layout->addWidget(other);
    layout->addWidget(box->widget());
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    other->setFocus();
    QTRY_VERIFY(other->hasFocus());
    QVERIFY(!box->hasFocus());

    QSignalSpy spy(box.get(), &LetterEditor::GotFocus);
    box->setFocus();
    QTRY_VERIFY(box->hasFocus());
    QCOMPARE(spy.count(), 1);
    other->setFocus();
    QTRY_VERIFY(!box->hasFocus());
    QCOMPARE(spy.count(), 1);
    // The editor belongs to the window now; the box must not delete it twice.
    box.reset();
}

// ---- files ----

void EditorTest::saveAndLoad_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("nominal: Windows-1252 text")
        << u"Dear Mr Müller,\n\nthe price is 5 €."_s
        << QByteArray("Dear Mr M\xFCller,\r\n\r\nthe price is 5 \x80.");
    QTest::newRow("nominal: non-Latin text as UTF-8")
        << u"Уважаемый\nгосподин"_s
        << QByteArray("\xD0\xA3\xD0\xB2\xD0\xB0\xD0\xB6\xD0\xB0\xD0\xB5\xD0\xBC\xD1\x8B\xD0\xB9\r\n"
                      "\xD0\xB3\xD0\xBE\xD1\x81\xD0\xBF\xD0\xBE\xD0\xB4\xD0\xB8\xD0\xBD");
    QTest::newRow("edge: empty lines at the end") << u"a\n\n"_s << QByteArray("a\r\n\r\n");
    QTest::newRow("edge: empty document") << QString() << QByteArray();
}

void EditorTest::saveAndLoad()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"letter.txt"_s);
    box->setText(text);
    QString error;
    QVERIFY(box->SaveFile(path, FileKind::PlainText, &error));
    QVERIFY(error.isEmpty());
    QCOMPARE(readFile(path), bytes);

    LetterEditor other;
    QVERIFY(other.LoadFile(path, FileKind::PlainText));
    QCOMPARE(other.Text(), text);
}

void EditorTest::saveLeavesOutFormattingAndPictures()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    box->setText(u"bold and red"_s);
    select(*box, 0, 4);
    box->setSelBold(true);
    select(*box, 9, 3);
    box->setSelColor(0x0000FF);
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::green);
    QGuiApplication::clipboard()->setImage(picture);
    box->setSelStart(4);
    box->paste();
    QCOMPARE(box->Text(), u"bold\uFFFC and red"_s);
    const QString path = dir.filePath(u"letter.txt"_s);
    QVERIFY(box->SaveFile(path, FileKind::PlainText));
    QCOMPARE(readFile(path), QByteArray("bold and red"));
}

void EditorTest::saveReplacesExistingFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"letter.txt"_s);
    QVERIFY(writeFile(path, QByteArray(5000, 'x')));
    box->setText(u"short"_s);
    QVERIFY(box->SaveFile(path, FileKind::PlainText));
    QCOMPARE(readFile(path), QByteArray("short"));
    QCOMPARE(folderEntries(dir.path()), QStringList{u"letter.txt"_s});
}

void EditorTest::saveFailure_data()
{
    QTest::addColumn<QString>("relativePath");
    QTest::addColumn<FileKind>("kind");
    QTest::addColumn<bool>("namesPath");

    QTest::newRow("robustness: missing folder")
        << u"missing/letter.txt"_s << FileKind::PlainText << true;
    QTest::newRow("robustness: rich text into a missing folder")
        << u"missing/letter.rtf"_s << FileKind::RichText << true;
    QTest::newRow("robustness: OpenDocument text into a missing folder")
        << u"missing/letter.odt"_s << FileKind::OpenDocument << true;
}

void EditorTest::saveFailure()
{
    QFETCH(QString, relativePath);
    QFETCH(FileKind, kind);
    QFETCH(bool, namesPath);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(relativePath);
    box->setText(u"text"_s);
    QString error;
    QVERIFY(!box->SaveFile(path, kind, &error));
    QVERIFY(!error.isEmpty());
    if (namesPath)
        QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
    QVERIFY(!box->SaveFile(path, kind)); // no error wanted: no crash either
    QCOMPARE(folderEntries(dir.path()), QStringList());
    QCOMPARE(box->Text(), u"text"_s);
}

void EditorTest::loadFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("nominal: Windows-1252 file")
        << QByteArray("Sehr geehrter Herr M\xFCller,\r\n\x80 5")
        << u"Sehr geehrter Herr Müller,\n€ 5"_s;
    QTest::newRow("nominal: UTF-8 file with byte-order mark")
        << QByteArray("\xEF\xBB\xBFGr\xC3\xBC\xC3\x9F\xE2\x80\x94\xD0\x96") << u"Grüß—Ж"_s;
    QTest::newRow("nominal: Linux line ends") << QByteArray("a\nb\n") << u"a\nb\n"_s;
    QTest::newRow("nominal: text that looks like rich text stays plain")
        << QByteArray("{\\rtf1 plain}") << u"{\\rtf1 plain}"_s;
    QTest::newRow("edge: empty file") << QByteArray() << QString();
}

void EditorTest::loadFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"letter.txt"_s);
    QVERIFY(writeFile(path, bytes));
    box->setText(u"old content"_s);
    select(*box, 0, 3);
    box->setSelBold(true);
    box->setSelStart(5);
    QSignalSpy changes(box.get(), &LetterEditor::Change);
    QVERIFY(box->LoadFile(path, FileKind::PlainText));
    QCOMPARE(box->Text(), text);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(box->SelStart(), 0);
    select(*box, 0, box->TextLength());
    QCOMPARE(tri(box->SelBold()), 0);
}

void EditorTest::loadFailureKeepsContent_data()
{
    QTest::addColumn<QString>("relativePath");
    QTest::addColumn<FileKind>("kind");

    QTest::newRow("robustness: missing file") << u"missing.txt"_s << FileKind::PlainText;
    QTest::newRow("robustness: missing rich-text file") << u"missing.rtf"_s << FileKind::RichText;
    QTest::newRow("robustness: a folder") << u"folder"_s << FileKind::PlainText;
}

void EditorTest::loadFailureKeepsContent()
{
    QFETCH(QString, relativePath);
    QFETCH(FileKind, kind);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(u"folder"_s));
    QVERIFY(writeFile(dir.filePath(u"letter.txt"_s), "file text"));
    box->setText(u"old content"_s);
    select(*box, 4, 3);
    QSignalSpy changes(box.get(), &LetterEditor::Change);
    QVERIFY(!box->LoadFile(dir.filePath(relativePath), kind));
    QCOMPARE(box->Text(), u"old content"_s);
    QCOMPARE(box->SelStart(), 4);
    QCOMPARE(box->SelLength(), 3);
    QCOMPARE(changes.count(), 0);
}

QTEST_MAIN(EditorTest)
#include "test_editor.moc"
