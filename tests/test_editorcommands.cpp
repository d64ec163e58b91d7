#include "editor/EditorCommands.h"
#include "editor/RichTextBox.h"

#include <QTest>
#include <QTextEdit>

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
    void selectAll();
};

namespace {

using Getter = std::optional<bool> (RichTextBox::*)() const;
using Setter = void (RichTextBox::*)(bool);
using Command = void (*)(RichTextBox&);

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
    const Getter getters[] = {&RichTextBox::SelBold, &RichTextBox::SelItalic,
                              &RichTextBox::SelUnderline};
    const Setter setters[] = {&RichTextBox::setSelBold, &RichTextBox::setSelItalic,
                              &RichTextBox::setSelUnderline};
    const Command run = commands[style];
    RichTextBox editor;
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
    const Getter get = numbers ? &RichTextBox::SelNumbering : &RichTextBox::SelBullet;
    RichTextBox editor;
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
    RichTextBox editor;
    editor.setText(QStringLiteral("Paragraph one\nParagraph two"));
    editor.setSelStart(0);
    editor.setSelLength(20);
    editorcommands::ChangeIndent(editor, editorcommands::indentStep);
    editorcommands::ChangeIndent(editor, editorcommands::indentStep);
    editorcommands::ChangeIndent(editor, -editorcommands::indentStep);
    QCOMPARE(editor.scaleUnit(), RichTextBox::ScaleUnit::Twips);
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
    RichTextBox editor;
    editor.setText(QStringLiteral("Dear Sir and Madam"));
    editor.setSelStart(start);
    editor.setSelLength(length);
    editorcommands::ChangeCase(editor, upper);
    QCOMPARE(editor.Text(), result);
    QCOMPARE(editor.SelLength(), 0);
    QCOMPARE(editor.SelStart(), start + length);
}

void EditorCommandsTest::selectAll()
{
    RichTextBox editor;
    editor.setText(QStringLiteral("two\nlines"));
    editorcommands::SelectAll(editor);
    QCOMPARE(editor.SelStart(), 0);
    QCOMPARE(editor.SelText(), QStringLiteral("two\nlines"));
}

QTEST_MAIN(EditorCommandsTest)
#include "test_editorcommands.moc"
