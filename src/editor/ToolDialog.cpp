#include "editor/ToolDialog.h"

#include "editor/LetterEditor.h"

#include <QCloseEvent>
#include <QListWidget>

namespace lw {

ToolDialog::ToolDialog(QWidget* owner) : QDialog(owner)
{
    setWindowModality(Qt::NonModal);
    setAttribute(Qt::WA_DeleteOnClose);
}

void ToolDialog::bringForward()
{
    show();
    raise();
    activateWindow();
}

void ToolDialog::focusEditor(LetterEditor* editor)
{
    if (!editor)
        return;
    // The tool window is the active one; the editor's keyboard focus needs its own window active.
    editor->widget()->window()->activateWindow();
    editor->setFocus();
}

QListWidgetItem* ToolDialog::chosenItem(const QListWidget* list)
{
    // The current row alone is not a choice: the list makes its first row current on focus.
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void ToolDialog::nameControl(QWidget* control, const char* objectName,
                             const QString& accessibleName)
{
    control->setObjectName(QLatin1String(objectName));
    if (!accessibleName.isEmpty())
        control->setAccessibleName(accessibleName);
}

void ToolDialog::setVisible(bool visible)
{
    const bool hadKeyboard = !visible && isVisible() && isActiveWindow();
    QDialog::setVisible(visible);
    // A window manager usually does this; without one the keyboard would be nowhere.
    if (hadKeyboard && parentWidget() && parentWidget()->window()->isVisible())
        parentWidget()->window()->activateWindow();
}

void ToolDialog::closeEvent(QCloseEvent* event)
{
    QDialog::closeEvent(event);
    if (event->isAccepted())
        closed = true;
}

} // namespace lw
