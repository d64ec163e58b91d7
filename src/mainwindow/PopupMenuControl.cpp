#include "mainwindow/PopupMenuControl.h"

#include "mainwindow/Fonts.h"
#include "mainwindow/MenuBarControl.h"

#include <QAction>
#include <QMenu>

namespace lw {

PopupMenuControl::PopupMenuControl(QWidget* window) : QObject(window), window(window)
{
    setObjectName(QStringLiteral("mnuPopup"));
}

void PopupMenuControl::addMenu(const QString& key)
{
    auto* menu = new QMenu(window);
    menu->setObjectName(key);
    menu->setFont(fonts::verdana(8.25));
    menu->setAccessibleName(QStringLiteral("Editor menu"));
    menus.insert(key, menu);
}

void PopupMenuControl::addItem(const MenuEntryDefinition& entry)
{
    QMenu* menu = menus.value(QString::fromLatin1(entry.menuKey));
    if (!menu)
        return;
    QAction* action = MenuBarControl::createItem(menu, entry);
    if (!entry.key)
        return;
    // The menu bar's items own these shortcuts while the window has the keyboard.
    action->setShortcutContext(Qt::WidgetShortcut);
    connect(action, &QAction::triggered, this,
            [this, menuKey = menu->objectName(), key = MenuBarControl::keyOf(action)] {
                emit ItemClick(menuKey, key);
            });
}

QAction* PopupMenuControl::item(const QString& menuKey, const QString& itemKey) const
{
    const QMenu* menu = menus.value(menuKey);
    if (!menu)
        return nullptr;
    const auto actions = menu->actions();
    for (QAction* action : actions) {
        if (!action->isSeparator() && MenuBarControl::keyOf(action) == itemKey)
            return action;
    }
    return nullptr;
}

void PopupMenuControl::showPopup(const QString& menuKey, const QPoint& screenPosition)
{
    if (QMenu* menu = menus.value(menuKey))
        menu->popup(screenPosition);
}

} // namespace lw
