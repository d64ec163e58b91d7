#pragma once

namespace lw {

class LetterEditor;

// The formatting and editing commands of the menus and the toolbar that act on the editor alone.
namespace editorcommands {

void SelectAll(LetterEditor& editor);
// A mixed or clear selection becomes bold (italic, underlined); a set one becomes clear.
void ToggleBold(LetterEditor& editor);
void ToggleItalic(LetterEditor& editor);
void ToggleUnderline(LetterEditor& editor);
// Turning bullets (numbers) off also sets the hanging indent to 0.
void ToggleBullet(LetterEditor& editor);
void ToggleNumbering(LetterEditor& editor);
// Moves the paragraphs' left indent by whole millimetres; it never goes below 0.
void ChangeIndent(LetterEditor& editor, int millimetres);
// Changes the case of the selected text in place, keeping its formatting and pictures, as one
// undo step; the caret then stands after it with nothing selected.
void ChangeCase(LetterEditor& editor, bool upper);

inline constexpr int indentStep = 13;

} // namespace editorcommands
} // namespace lw
