#pragma once

#include "mainwindow/CommandTables.h"

#include <QHash>
#include <QWidget>

class QAction;
class QKeyEvent;
class QMenu;
class QMenuBar;
class QToolBar;
class QVBoxLayout;

namespace lw {

class ColorTool;

// The main window's menu bar with its toolbar bands below it, as one control across the top of
// the window: its height includes the bands. Menus, items, bands and tools are found by key.
class MenuBarControl : public QWidget
{
    Q_OBJECT
public:
    explicit MenuBarControl(QWidget* parent = nullptr);

    // A batch of changes between the two is drawn once. They nest.
    void beginUpdate();
    void endUpdate();

    void addMenu(const MenuDefinition& menu);
    void addItem(const MenuEntryDefinition& entry);
    // An item or check item made at run time, with a caption of any characters ("&" marks the
    // mnemonic).
    void addItem(const QString& menuKey, const QString& key, const QString& caption,
                 MenuEntryKind kind, bool enabled);
    void addBand(const QString& key);
    // A host tool shows `hosted`, which keeps its own enabled state.
    void addTool(const QString& bandKey, const ToolDefinition& tool, QWidget* hosted = nullptr);
    void setToolColor(const QString& bandKey, const QString& toolKey, quint32 bgr);

    // Each returns false when no menu, item or tool has the key.
    bool setMenuEnabled(const QString& menuKey, bool enabled);
    bool setItemEnabled(const QString& menuKey, const QString& itemKey, bool enabled);
    bool setToolEnabled(const QString& bandKey, const QString& toolKey, bool enabled);
    bool isMenuEnabled(const QString& menuKey) const;
    bool isItemEnabled(const QString& menuKey, const QString& itemKey) const;
    bool isToolEnabled(const QString& bandKey, const QString& toolKey) const;
    // For a check item.
    bool setItemChecked(const QString& menuKey, const QString& itemKey, bool checked);
    bool isItemChecked(const QString& menuKey, const QString& itemKey) const;
    // Takes every item out of a menu, so that it can be filled anew.
    void clearMenu(const QString& menuKey);

    QMenuBar* menuBar() const { return bar; }
    QMenu* menu(const QString& key) const { return menus.value(key); }
    QAction* item(const QString& menuKey, const QString& itemKey) const;
    QToolBar* band(const QString& key) const { return bands.value(key); }
    QAction* tool(const QString& bandKey, const QString& toolKey) const;
    ColorTool* colorTool(const QString& bandKey, const QString& toolKey) const;

    // True when the key pressed is the shortcut of an item or tool that can be chosen now. An
    // editor leaves such a key to the menu instead of acting on it itself.
    bool takesShortcut(const QKeyEvent* event) const;

    // Adds an item or a separator to a menu: the key as the action's data, the picture indices
    // as its properties "picture" and "disabledPicture".
    static QAction* createItem(QMenu* menu, const MenuEntryDefinition& entry);
    static QString keyOf(const QAction* action);

signals:
    void ItemClick(const QString& menuKey, const QString& itemKey);
    void ToolClick(const QString& bandKey, const QString& toolKey);
    void ToolColor(const QString& bandKey, const QString& toolKey, quint32 bgr);

private:
    void updateItemEnabled(QAction* item, bool menuEnabled);

    QVBoxLayout* column;
    QMenuBar* bar;
    QHash<QString, QMenu*> menus;
    QHash<QString, QToolBar*> bands;
    int updateDepth = 0;
};

} // namespace lw
