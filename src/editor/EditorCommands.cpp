#include "editor/EditorCommands.h"

#include "editor/RichTextBox.h"

namespace lw::editorcommands {

namespace {

void toggle(RichTextBox& editor, std::optional<bool> (RichTextBox::*get)() const,
            void (RichTextBox::*set)(bool))
{
    const std::optional<bool> current = (editor.*get)();
    (editor.*set)(!current.value_or(false));
    editor.setFocus();
}

void toggleList(RichTextBox& editor, std::optional<bool> (RichTextBox::*get)() const,
                void (RichTextBox::*set)(bool))
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

void SelectAll(RichTextBox& editor)
{
    editor.setSelStart(0);
    editor.setSelLength(editor.TextLength());
}

void ToggleBold(RichTextBox& editor)
{
    toggle(editor, &RichTextBox::SelBold, &RichTextBox::setSelBold);
}

void ToggleItalic(RichTextBox& editor)
{
    toggle(editor, &RichTextBox::SelItalic, &RichTextBox::setSelItalic);
}

void ToggleUnderline(RichTextBox& editor)
{
    toggle(editor, &RichTextBox::SelUnderline, &RichTextBox::setSelUnderline);
}

void ToggleBullet(RichTextBox& editor)
{
    toggleList(editor, &RichTextBox::SelBullet, &RichTextBox::setSelBullet);
}

void ToggleNumbering(RichTextBox& editor)
{
    toggleList(editor, &RichTextBox::SelNumbering, &RichTextBox::setSelNumbering);
}

void ChangeIndent(RichTextBox& editor, int millimetres)
{
    editor.setScaleUnit(RichTextBox::ScaleUnit::Millimetres);
    editor.setSelIndent(editor.SelIndent().value_or(0) + millimetres);
    editor.setScaleUnit(RichTextBox::ScaleUnit::Twips);
}

void ChangeCase(RichTextBox& editor, bool upper)
{
    editor.changeSelText(
        [upper](const QString& text) { return upper ? text.toUpper() : text.toLower(); });
}

} // namespace lw::editorcommands
