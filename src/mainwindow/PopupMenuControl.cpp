#include "mainwindow/PopupMenuControl.h"

#include "mainwindow/MenuBarControl.h"
#include "platform/Fonts.h"

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

void PopupMenuControl::setLeadingItems(const QString& menuKey, const QList<LeadingItem>& items)
{
    QMenu* menu = menus.value(menuKey);
    if (!menu)
        return;
    // Later: one of them may be the item being chosen right now.
    for (QAction* old : leading.take(menuKey)) {
        menu->removeAction(old);
        old->deleteLater();
    }
    if (items.isEmpty())
        return;
    QAction* first = menu->actions().value(0);
    QList<QAction*> added;
    const auto insert = [&](QAction* action) {
        menu->insertAction(first, action);
        added.append(action);
    };
    for (const LeadingItem& item : items) {
        auto* action = new QAction(item.caption, menu);
        action->setSeparator(item.key.isEmpty());
        action->setData(item.key);
        action->setEnabled(item.enabled);
        if (!item.key.isEmpty()) {
            connect(action, &QAction::triggered, this,
                    [this, menuKey, key = item.key] { emit ItemClick(menuKey, key); });
        }
        insert(action);
    }
    auto* separator = new QAction(menu);
    separator->setSeparator(true);
    insert(separator);
    leading.insert(menuKey, added);
}

void PopupMenuControl::showPopup(const QString& menuKey, const QPoint& screenPosition)
{
    if (QMenu* menu = menus.value(menuKey))
        menu->popup(screenPosition);
}

} // namespace lw
