#include "editor/EditorTools.h"

#include "editor/FindReplace.h"
#include "editor/RichTextBox.h"
#include "editor/frmFind.h"
#include "editor/frmGoTo.h"
#include "editor/frmSymbols.h"
#include "editor/frmTimeDate.h"
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

EditorTools::EditorTools(QWidget* owner, RichTextBox* editor)
    : QObject(owner), owner(owner), editor(editor)
{}

void EditorTools::showFind(bool findOnly)
{
    FindOnly = findOnly;
    loadFind()->bringForward();
}

void EditorTools::showReplaceFromPopup()
{
    frmFind* dialog = loadFind();
    dialog->showReplaceLayout();
    dialog->bringForward();
}

void EditorTools::findNext()
{
    frmFind* dialog = loadFind();
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
    loadedOrNew(goTo, [this] { return new frmGoTo(owner, editor); })->bringForward();
}

void EditorTools::showTimeDate()
{
    loadedOrNew(timeDate, [this] { return new frmTimeDate(owner, editor); })->bringForward();
}

void EditorTools::showSymbols()
{
    loadedOrNew(symbols, [this] { return new frmSymbols(owner, editor); })->bringForward();
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

frmFind* EditorTools::findDialog() const
{
    return loaded(find);
}

frmGoTo* EditorTools::goToDialog() const
{
    return loaded(goTo);
}

frmTimeDate* EditorTools::timeDateDialog() const
{
    return loaded(timeDate);
}

frmSymbols* EditorTools::symbolsDialog() const
{
    return loaded(symbols);
}

frmFind* EditorTools::loadFind()
{
    return loadedOrNew(find, [this] {
        auto* dialog = new frmFind(owner, editor, FindOnly);
        connect(dialog, &frmFind::findNextEnabledChanged, this,
                &EditorTools::findNextEnabledChanged);
        return dialog;
    });
}

} // namespace lw
