#include "editor/FindReplace.h"

#include "editor/LetterEditor.h"

namespace lw {

namespace {

// A match about to be replaced must be the selection, whether or not the user asked to see it.
int selectingMatch(int options)
{
    return options & ~LetterEditor::NoHighlight;
}

} // namespace

int FindReplace::optionsValue(bool wholeWord, bool matchCase, bool noHighlight)
{
    int options = 0;
    if (noHighlight)
        options += LetterEditor::NoHighlight;
    if (wholeWord)
        options += LetterEditor::WholeWord;
    if (matchCase)
        options += LetterEditor::MatchCase;
    return options;
}

int FindReplace::findFrom(const QString& text, int start, int options)
{
    return editor.Find(text, start, -1, options);
}

int FindReplace::findAfterSelection(const QString& text, int options)
{
    return findFrom(text, editor.SelStart() + editor.SelLength(), options);
}

FindReplace::Replaced FindReplace::replaceFirst(const QString& text, const QString& replacement,
                                                int options)
{
    Replaced result;
    if (findFrom(text, 0, selectingMatch(options)) >= 0 && editor.SelLength() > 0) {
        editor.setSelText(replacement);
        result.replaced = true;
    }
    result.next = findAfterSelection(text, options);
    return result;
}

int FindReplace::replaceAll(const QString& text, const QString& replacement, int options)
{
    // Every match is selected before it is replaced, whatever the user asked to see.
    return editor.replaceEvery(text, replacement, selectingMatch(options));
}

} // namespace lw
