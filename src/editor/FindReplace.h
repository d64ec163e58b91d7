#pragma once

#include <QString>

namespace lw {

class LetterEditor;

// The searches and replacements of the find dialog and of Find Next, made with the editor's own
// search. Options are those of LetterEditor::Find: 2 whole words, 4 match case, 8 no highlight.
class FindReplace
{
public:
    explicit FindReplace(LetterEditor& editor) : editor(editor) {}

    static int optionsValue(bool wholeWord, bool matchCase, bool noHighlight);

    // Searches from `start` to the end of the text; returns the match's position or -1.
    int findFrom(const QString& text, int start, int options);
    // Searches on from the end of the editor's selection.
    int findAfterSelection(const QString& text, int options);

    struct Replaced
    {
        bool replaced = false; // a match was replaced
        int next = -1;         // position of the next match after the replacement, or -1
    };
    // Replaces the first match of the whole text, wherever the selection is, then searches on from
    // the end of the replacement (or of the selection when nothing was replaced).
    Replaced replaceFirst(const QString& text, const QString& replacement, int options);

    // Replaces every match, from the start of the text, as one edit (one undo step); returns how
    // many were replaced. Text inserted by a replacement is never searched again.
    int replaceAll(const QString& text, const QString& replacement, int options);

private:
    LetterEditor& editor;
};

} // namespace lw
