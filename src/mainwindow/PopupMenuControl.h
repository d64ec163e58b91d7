#pragma once

#include "mainwindow/CommandTables.h"

#include <QHash>
#include <QList>
#include <QObject>

class QAction;
class QMenu;
class QPoint;
class QWidget;

namespace lw {

// The editor's popup menus, found by key. A popup's items are always enabled; their shortcuts
// are shown, and act only while the popup itself has the keyboard.
class PopupMenuControl : public QObject
{
    Q_OBJECT
public:
    explicit PopupMenuControl(QWidget* window);

    void addMenu(const QString& key);
    void addItem(const MenuEntryDefinition& entry);

    QMenu* menu(const QString& key) const { return menus.value(key); }
    QAction* item(const QString& menuKey, const QString& itemKey) const;

    // Items shown above the menu's own, such as spelling suggestions, until they are set again;
    // an empty list takes them away. A separator parts them from the menu's own items.
    struct LeadingItem
    {
        QString key; // empty for a separator
        QString caption;
        bool enabled = true;
    };
    void setLeadingItems(const QString& menuKey, const QList<LeadingItem>& items);

    // Opens the popup at a position in screen pixels and returns at once.
    void showPopup(const QString& menuKey, const QPoint& screenPosition);

signals:
    void ItemClick(const QString& menuKey, const QString& itemKey);

private:
    QWidget* window;
    QHash<QString, QMenu*> menus;
    QHash<QString, QList<QAction*>> leading;
};

} // namespace lw
