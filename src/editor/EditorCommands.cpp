#include "editor/EditorCommands.h"

#include "editor/LetterEditor.h"

namespace lw::editorcommands {

namespace {

void toggle(LetterEditor& editor, std::optional<bool> (LetterEditor::*get)() const,
            void (LetterEditor::*set)(bool))
{
    const std::optional<bool> current = (editor.*get)();
    (editor.*set)(!current.value_or(false));
    editor.setFocus();
}

void toggleList(LetterEditor& editor, std::optional<bool> (LetterEditor::*get)() const,
                void (LetterEditor::*set)(bool))
{
    if (!(editor.*get)().value_or(false)) {
        (editor.*set)(true);
        return;
    }
    editor.beginEdit();
    (editor.*set)(false);
    editor.setSelHangingIndent(0);
    editor.endEdit();
}

} // namespace

void SelectAll(LetterEditor& editor)
{
    editor.setSelStart(0);
    editor.setSelLength(editor.TextLength());
}

void ToggleBold(LetterEditor& editor)
{
    toggle(editor, &LetterEditor::SelBold, &LetterEditor::setSelBold);
}

void ToggleItalic(LetterEditor& editor)
{
    toggle(editor, &LetterEditor::SelItalic, &LetterEditor::setSelItalic);
}

void ToggleUnderline(LetterEditor& editor)
{
    toggle(editor, &LetterEditor::SelUnderline, &LetterEditor::setSelUnderline);
}

void ToggleBullet(LetterEditor& editor)
{
    toggleList(editor, &LetterEditor::SelBullet, &LetterEditor::setSelBullet);
}

void ToggleNumbering(LetterEditor& editor)
{
    toggleList(editor, &LetterEditor::SelNumbering, &LetterEditor::setSelNumbering);
}

void ChangeIndent(LetterEditor& editor, int millimetres)
{
    editor.setScaleUnit(LetterEditor::ScaleUnit::Millimetres);
    editor.setSelIndent(editor.SelIndent().value_or(0) + millimetres);
    editor.setScaleUnit(LetterEditor::ScaleUnit::Twips);
}

void ChangeCase(LetterEditor& editor, bool upper)
{
    editor.changeSelText(
        [upper](const QString& text) { return upper ? text.toUpper() : text.toLower(); });
}

} // namespace lw::editorcommands
