#pragma once

namespace lw {

class RichTextBox;

// The formatting and editing commands of the menus and the toolbar that act on the editor alone.
namespace editorcommands {

void SelectAll(RichTextBox& editor);
// A mixed or clear selection becomes bold (italic, underlined); a set one becomes clear.
void ToggleBold(RichTextBox& editor);
void ToggleItalic(RichTextBox& editor);
void ToggleUnderline(RichTextBox& editor);
// Turning bullets (numbers) off also sets the hanging indent to 0.
void ToggleBullet(RichTextBox& editor);
void ToggleNumbering(RichTextBox& editor);
// Moves the paragraphs' left indent by whole millimetres; it never goes below 0.
void ChangeIndent(RichTextBox& editor, int millimetres);
// Changes the case of the selected text in place, keeping its formatting and pictures, as one
// undo step; the caret then stands after it with nothing selected.
void ChangeCase(RichTextBox& editor, bool upper);

inline constexpr int indentStep = 13;

} // namespace editorcommands
} // namespace lw
