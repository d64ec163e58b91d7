#include "editor/EditorTools.h"

#include "editor/DateTimeDialog.h"
#include "editor/FindDialog.h"
#include "editor/FindReplace.h"
#include "editor/GoToDialog.h"
#include "editor/LetterEditor.h"
#include "editor/SymbolsDialog.h"
#include "platform/Services.h"

#include <array>

namespace lw {

namespace {

// A window that was closed waits for its deletion; it counts as gone.
template <typename Window> Window* loaded(const QPointer<Window>& window)
{
    return window && !window->isClosed() ? window.data() : nullptr;
}

// The loaded window, or a new one made by `create`.
template <typename Window, typename Create>
Window* loadedOrNew(QPointer<Window>& window, Create create)
{
    if (!loaded(window))
        window = create();
    return window;
}

} // namespace

EditorTools::EditorTools(QWidget* owner, LetterEditor* editor)
    : QObject(owner), owner(owner), editor(editor)
{}

void EditorTools::showFind(bool findOnly)
{
    FindOnly = findOnly;
    loadFind()->bringForward();
}

void EditorTools::showReplaceFromPopup()
{
    FindDialog* dialog = loadFind();
    dialog->showReplaceLayout();
    dialog->bringForward();
}

void EditorTools::findNext()
{
    FindDialog* dialog = loadFind();
    if (!editor)
        return;
    const int found = FindReplace(*editor).findAfterSelection(dialog->cboFind->currentText(),
                                                              dialog->optionsValue());
    if (found >= 0) {
        ToolDialog::focusEditor(editor);
        return;
    }
    message(owner, QStringLiteral("Text not found!"), QStringLiteral("FindNext"));
    emit findNextEnabledChanged(false);
}

void EditorTools::showGoTo()
{
    loadedOrNew(goTo, [this] { return new GoToDialog(owner, editor); })->bringForward();
}

void EditorTools::showTimeDate()
{
    loadedOrNew(timeDate, [this] { return new DateTimeDialog(owner, editor); })->bringForward();
}

void EditorTools::showSymbols()
{
    loadedOrNew(symbols, [this] { return new SymbolsDialog(owner, editor); })->bringForward();
}

void EditorTools::closeAll()
{
    // A find dialog loaded unseen by Find Next is closed as well.
    const std::array<ToolDialog*, 4> windows{loaded(find), loaded(goTo), loaded(timeDate),
                                             loaded(symbols)};
    for (ToolDialog* window : windows) {
        if (window)
            window->close();
    }
}

FindDialog* EditorTools::findDialog() const
{
    return loaded(find);
}

GoToDialog* EditorTools::goToDialog() const
{
    return loaded(goTo);
}

DateTimeDialog* EditorTools::timeDateDialog() const
{
    return loaded(timeDate);
}

SymbolsDialog* EditorTools::symbolsDialog() const
{
    return loaded(symbols);
}

FindDialog* EditorTools::loadFind()
{
    return loadedOrNew(find, [this] {
        auto* dialog = new FindDialog(owner, editor, FindOnly);
        connect(dialog, &FindDialog::findNextEnabledChanged, this,
                &EditorTools::findNextEnabledChanged);
        return dialog;
    });
}

} // namespace lw
