#include "editor/EditorCommands.h"
#include "editor/LetterEditor.h"

#include <QImage>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextList>

using namespace lw;

class EditorCommandsTest : public QObject
{
    Q_OBJECT
private slots:
    void styleToggle_data();
    void styleToggle();
    void listToggle_data();
    void listToggle();
    void indentSteps();
    void caseChange_data();
    void caseChange();
    void caseChangeKeepsFormatting_data();
    void caseChangeKeepsFormatting();
    void deleteForward_data();
    void deleteForward();
    void selectAll();
};

namespace {

using Getter = std::optional<bool> (LetterEditor::*)() const;
using Setter = void (LetterEditor::*)(bool);
using Command = void (*)(LetterEditor&);

} // namespace

void EditorCommandsTest::styleToggle_data()
{
    QTest::addColumn<int>("style");
    QTest::newRow("bold") << 0;
    QTest::newRow("italic") << 1;
    QTest::newRow("underline") << 2;
}

void EditorCommandsTest::styleToggle()
{
    QFETCH(int, style);
    const Command commands[] = {&editorcommands::ToggleBold, &editorcommands::ToggleItalic,
                                &editorcommands::ToggleUnderline};
    const Getter getters[] = {&LetterEditor::SelBold, &LetterEditor::SelItalic,
                              &LetterEditor::SelUnderline};
    const Setter setters[] = {&LetterEditor::setSelBold, &LetterEditor::setSelItalic,
                              &LetterEditor::setSelUnderline};
    const Command run = commands[style];
    LetterEditor editor;
    editor.setText(QStringLiteral("Dear Sir, thank you"));
    editor.setSelStart(0);
    editor.setSelLength(4);
    (editor.*setters[style])(true);
    editor.setSelStart(0);
    editor.setSelLength(8);
    QCOMPARE((editor.*getters[style])(), std::nullopt);

    run(editor);
    QCOMPARE((editor.*getters[style])(), std::optional<bool>(true));
    QCOMPARE(editor.SelLength(), 8);
    run(editor);
    QCOMPARE((editor.*getters[style])(), std::optional<bool>(false));
    editor.setSelStart(0);
    editor.setSelLength(4);
    QCOMPARE((editor.*getters[style])(), std::optional<bool>(false));
}

void EditorCommandsTest::listToggle_data()
{
    QTest::addColumn<bool>("numbers");
    QTest::newRow("bullets") << false;
    QTest::newRow("numbering") << true;
}

void EditorCommandsTest::listToggle()
{
    QFETCH(bool, numbers);
    const Command toggle =
        numbers ? &editorcommands::ToggleNumbering : &editorcommands::ToggleBullet;
    const Getter get = numbers ? &LetterEditor::SelNumbering : &LetterEditor::SelBullet;
    LetterEditor editor;
    editor.setText(QStringLiteral("one\ntwo\nthree"));
    editor.setSelStart(0);
    editor.setSelLength(7);
    toggle(editor);
    QCOMPARE((editor.*get)(), std::optional<bool>(true));
    editor.setSelStart(10);
    QCOMPARE((editor.*get)(), std::optional<bool>(false));

    editor.setSelStart(0);
    editor.setSelLength(7);
    editor.setSelHangingIndent(200);
    toggle(editor);
    QCOMPARE((editor.*get)(), std::optional<bool>(false));
    QCOMPARE(editor.SelHangingIndent().value_or(-1), 0.0);
    QCOMPARE(editor.Text(), QStringLiteral("one\ntwo\nthree"));

    // Turning the list off is one step to undo.
    editor.undo();
    QCOMPARE((editor.*get)(), std::optional<bool>(true));
}

void EditorCommandsTest::indentSteps()
{
    LetterEditor editor;
    editor.setText(QStringLiteral("Paragraph one\nParagraph two"));
    editor.setSelStart(0);
    editor.setSelLength(20);
    editorcommands::ChangeIndent(editor, editorcommands::indentStep);
    editorcommands::ChangeIndent(editor, editorcommands::indentStep);
    editorcommands::ChangeIndent(editor, -editorcommands::indentStep);
    QCOMPARE(editor.scaleUnit(), LetterEditor::ScaleUnit::Twips);
    const double twipsPerMillimetre = 1440 / 25.4;
    QVERIFY(qAbs(editor.SelIndent().value_or(0) - 13 * twipsPerMillimetre) < 15);

    editorcommands::ChangeIndent(editor, -editorcommands::indentStep);
    editorcommands::ChangeIndent(editor, -editorcommands::indentStep);
    QCOMPARE(editor.SelIndent().value_or(-1), 0.0);
}

void EditorCommandsTest::caseChange_data()
{
    QTest::addColumn<bool>("upper");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("result");
    QTest::newRow("nominal: upper") << true << 0 << 8 << "DEAR SIR and Madam";
    QTest::newRow("nominal: lower") << false << 9 << 9 << "Dear Sir and madam";
    QTest::newRow("edge: nothing selected") << true << 3 << 0 << "Dear Sir and Madam";
}

void EditorCommandsTest::caseChange()
{
    QFETCH(bool, upper);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, result);
    LetterEditor editor;
    editor.setText(QStringLiteral("Dear Sir and Madam"));
    editor.setSelStart(start);
    editor.setSelLength(length);
    editorcommands::ChangeCase(editor, upper);
    QCOMPARE(editor.Text(), result);
    QCOMPARE(editor.SelLength(), 0);
    QCOMPARE(editor.SelStart(), start + length);
}

namespace {

// What a character looks like, apart from its letter case.
struct CharLook
{
    bool bold;
    bool underline;
    QColor colour;
    QString family;
    bool picture;

    bool operator==(const CharLook&) const = default;
};

QList<CharLook> looks(const LetterEditor& editor)
{
    QList<CharLook> result;
    for (QTextBlock block = editor.document()->begin(); block.isValid(); block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            const CharLook look{format.fontWeight() == QFont::Bold, format.fontUnderline(),
                                format.foreground().color(),
                                format.fontFamilies().toStringList().value(0),
                                format.isImageFormat()};
            for (int i = 0; i < it.fragment().length(); ++i)
                result.append(look);
        }
        result.append(CharLook{}); // the paragraph break
    }
    return result;
}

QString listStyles(const LetterEditor& editor)
{
    QString styles;
    for (QTextBlock block = editor.document()->begin(); block.isValid(); block = block.next())
        styles += block.textList() ? QString::number(block.textList()->format().style()) : "-";
    return styles;
}

// A letter with bold, underlined, coloured and other-face runs, a picture and a bullet list.
void writeFormattedLetter(LetterEditor& editor)
{
    editor.setText(QString());
    QTextCursor cursor(editor.document());
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    QTextCharFormat red;
    red.setForeground(QColor(Qt::red));
    red.setFontUnderline(true);
    QTextCharFormat serif;
    serif.setFontFamilies(QStringList{QStringLiteral("DejaVu Serif")});
    cursor.insertText(QStringLiteral("Dear "), QTextCharFormat());
    cursor.insertText(QStringLiteral("Mr Straße"), bold);
    cursor.insertText(QStringLiteral(", "), QTextCharFormat());
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::green);
    editor.document()->addResource(QTextDocument::ImageResource, QUrl("picture:logo"), picture);
    QTextImageFormat image;
    image.setName(QStringLiteral("picture:logo"));
    cursor.insertImage(image);
    cursor.insertText(QStringLiteral(" your order"), red);
    QTextListFormat bullets;
    bullets.setStyle(QTextListFormat::ListDisc);
    cursor.insertBlock();
    cursor.createList(bullets);
    cursor.insertText(QStringLiteral("item one"), serif);
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("Item Two"), QTextCharFormat());
}

} // namespace

void EditorCommandsTest::caseChangeKeepsFormatting_data()
{
    QTest::addColumn<bool>("upper");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("result");
    const QChar pic(QChar::ObjectReplacementCharacter);
    const QString all =
        QStringLiteral("Dear Mr Straße, %1 your order\nitem one\nItem Two").arg(pic);
    QTest::newRow("nominal: upper over every run, the picture and the list")
        << true << 0 << int(all.size())
        << QStringLiteral("DEAR MR STRASSE, %1 YOUR ORDER\nITEM ONE\nITEM TWO").arg(pic);
    QTest::newRow("nominal: lower over every run")
        << false << 0 << int(all.size())
        << QStringLiteral("dear mr straße, %1 your order\nitem one\nitem two").arg(pic);
    QTest::newRow("edge: part of a bold run and part of the next")
        << true << 8 << 9
        << QStringLiteral("Dear Mr STRASSE, %1 your order\nitem one\nItem Two").arg(pic);
    QTest::newRow("edge: already in that case") << false << 21 << 5 << all;
}

void EditorCommandsTest::caseChangeKeepsFormatting()
{
    QFETCH(bool, upper);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, result);
    LetterEditor editor;
    writeFormattedLetter(editor);
    const QString before = editor.Text();
    const QList<CharLook> looksBefore = looks(editor);
    const QString listsBefore = listStyles(editor);
    editor.setSelStart(start);
    editor.setSelLength(length);
    const int undoSteps = editor.document()->availableUndoSteps();

    editorcommands::ChangeCase(editor, upper);

    QCOMPARE(editor.Text(), result);
    QCOMPARE(listStyles(editor), listsBefore);
    // Every character looks as it did; "ß" became two characters that both look like it.
    QList<CharLook> expected = looksBefore;
    const qsizetype sharpS = before.indexOf(u'ß');
    if (upper && sharpS >= start && sharpS < start + length)
        expected.insert(sharpS, expected.at(sharpS));
    QCOMPARE(looks(editor), expected);
    QVERIFY(
        editor.document()->resource(QTextDocument::ImageResource, QUrl("picture:logo")).isValid());
    QCOMPARE(editor.SelLength(), 0);
    QCOMPARE(editor.SelStart(), start + length + int(result.size() - before.size()));

    // One step to undo, formats and all; none where nothing changed.
    if (result == before) {
        QCOMPARE(editor.document()->availableUndoSteps(), undoSteps);
        return;
    }
    editor.undo();
    QCOMPARE(editor.Text(), before);
    QCOMPARE(looks(editor), looksBefore);
}

void EditorCommandsTest::deleteForward_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("caret");
    QTest::newRow("nominal: a selection goes") << "Dear Sir" << 4 << 4 << "Dear" << 4;
    QTest::newRow("nominal: no selection, the character after the caret")
        << "Dear Sir" << 5 << 0 << "Dear ir" << 5;
    QTest::newRow("edge: at the end of a paragraph, the next one joins")
        << "Dear\nSir" << 4 << 0 << "DearSir" << 4;
    QTest::newRow("edge: at the end of the text nothing goes") << "Dear" << 4 << 0 << "Dear" << 4;
    QTest::newRow("edge: a character outside the basic plane goes whole")
        << QStringLiteral("a\U0001F600b") << 1 << 0 << "ab" << 1;
}

void EditorCommandsTest::deleteForward()
{
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, result);
    QFETCH(int, caret);
    LetterEditor editor;
    editor.setText(text);
    editor.setSelStart(start);
    editor.setSelLength(length);
    editor.deleteForward();
    QCOMPARE(editor.Text(), result);
    QCOMPARE(editor.SelStart(), caret);
    QCOMPARE(editor.SelLength(), 0);
}

void EditorCommandsTest::selectAll()
{
    LetterEditor editor;
    editor.setText(QStringLiteral("two\nlines"));
    editorcommands::SelectAll(editor);
    QCOMPARE(editor.SelStart(), 0);
    QCOMPARE(editor.SelText(), QStringLiteral("two\nlines"));
}

QTEST_MAIN(EditorCommandsTest)
#include "test_editorcommands.moc"
