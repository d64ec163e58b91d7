#include "mainwindow/MenuBarControl.h"

#include "mainwindow/ColorTool.h"
#include "mainwindow/Pictures.h"
#include "platform/Accessibility.h"
#include "platform/Fonts.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace lw {

namespace {

const char* const itemEnabledProperty = "itemEnabled";

QString withoutMnemonic(QString caption)
{
    return caption.remove(QLatin1Char('&'));
}

} // namespace

MenuBarControl::MenuBarControl(QWidget* parent)
    : QWidget(parent), column(new QVBoxLayout(this)), bar(new QMenuBar(this))
{
    setObjectName(QStringLiteral("MenuBar"));
    setAccessibleName(QStringLiteral("Menu bar and toolbar"));
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    // The bar belongs to this window, also on desktops with a global menu.
    bar->setNativeMenuBar(false);
    bar->setFont(fonts::verdana(8.25));
    bar->setAccessibleName(QStringLiteral("Menu bar"));
    column->addWidget(bar);
}

void MenuBarControl::beginUpdate()
{
    if (updateDepth++ == 0)
        setUpdatesEnabled(false);
}

void MenuBarControl::endUpdate()
{
    if (updateDepth == 0)
        return;
    if (--updateDepth == 0)
        setUpdatesEnabled(true);
}

void MenuBarControl::addMenu(const MenuDefinition& definition)
{
    const QString key = QString::fromLatin1(definition.key);
    const QString caption = QString::fromLatin1(definition.caption);
    auto* menu = new QMenu(caption, this);
    menu->setObjectName(key);
    menu->setFont(fonts::verdana(8.25));
    menu->setAccessibleName(withoutMnemonic(caption));
    menu->setEnabled(definition.enabled);
    bar->addMenu(menu);
    menus.insert(key, menu);
}

QAction* MenuBarControl::createItem(QMenu* menu, const MenuEntryDefinition& entry)
{
    if (!entry.key)
        return menu->addSeparator();
    const QString caption = QString::fromLatin1(entry.caption);
    QAction* action = nullptr;
    if (entry.kind == MenuEntryKind::Submenu) {
        // Not a child of its menu: a submenu filled while that menu is disabled stays usable.
        auto* submenu = new QMenu(caption, menu->parentWidget());
        submenu->setObjectName(QString::fromLatin1(entry.key));
        submenu->setFont(menu->font());
        submenu->setAccessibleName(withoutMnemonic(caption));
        action = menu->addMenu(submenu);
        action->setIcon(pictures::icon(entry.picture));
    } else {
        action = menu->addAction(pictures::icon(entry.picture), caption);
    }
    action->setCheckable(entry.kind == MenuEntryKind::Check);
    action->setData(QString::fromLatin1(entry.key));
    action->setProperty("picture", entry.picture);
    action->setProperty("disabledPicture", entry.disabledPicture);
    action->setShortcut(
        QKeySequence::fromString(QString::fromLatin1(entry.shortcut), QKeySequence::PortableText));
    // Del belongs to the control with the keyboard: the editor deletes forward, a box or a list
    // acts on itself. The item shows the key but never takes it from them.
    if (action->shortcut() == QKeySequence(Qt::Key_Delete))
        action->setShortcutContext(Qt::WidgetShortcut);
    action->setEnabled(entry.enabled);
    return action;
}

QString MenuBarControl::keyOf(const QAction* action)
{
    return action ? action->data().toString() : QString();
}

void MenuBarControl::addItem(const MenuEntryDefinition& entry)
{
    QMenu* menu = menus.value(QString::fromLatin1(entry.menuKey));
    if (!menu)
        return;
    QAction* action = createItem(menu, entry);
    if (!entry.key)
        return;
    if (action->menu())
        menus.insert(keyOf(action), action->menu());
    action->setProperty(itemEnabledProperty, entry.enabled);
    updateItemEnabled(action, menu->isEnabled());
    connect(action, &QAction::triggered, this,
            [this, menuKey = menu->objectName(), key = keyOf(action)] {
                emit ItemClick(menuKey, key);
            });
}

void MenuBarControl::addItem(const QString& menuKey, const QString& key, const QString& caption,
                             MenuEntryKind kind, bool enabled)
{
    QMenu* menu = menus.value(menuKey);
    if (!menu || kind == MenuEntryKind::Submenu)
        return;
    QAction* action = menu->addAction(caption);
    action->setCheckable(kind == MenuEntryKind::Check);
    action->setData(key);
    action->setProperty("picture", -1);
    action->setProperty("disabledPicture", -1);
    action->setProperty(itemEnabledProperty, enabled);
    updateItemEnabled(action, menu->isEnabled());
    connect(action, &QAction::triggered, this,
            [this, menuKey, key] { emit ItemClick(menuKey, key); });
}

void MenuBarControl::addBand(const QString& key)
{
    auto* band = new QToolBar(this);
    band->setObjectName(key);
    band->setAccessibleName(QStringLiteral("Toolbar"));
    band->setWindowTitle(QStringLiteral("Toolbar"));
    band->setMovable(false);
    band->setFloatable(false);
    band->setIconSize(QSize(pictures::size, pictures::size));
    band->setFont(fonts::verdana(8.25));
    column->addWidget(band);
    bands.insert(key, band);
}

void MenuBarControl::addTool(const QString& bandKey, const ToolDefinition& definition,
                             QWidget* hosted)
{
    QToolBar* band = bands.value(bandKey);
    if (!band)
        return;
    const QString key = QString::fromLatin1(definition.key);
    const QString tooltip = QString::fromLatin1(definition.tooltip);
    const bool hostedEnabled = hosted && hosted->isEnabled();
    QAction* action = nullptr;
    switch (definition.kind) {
    case ToolKind::Separator:
        band->addSeparator();
        return;
    case ToolKind::Host: {
        if (!hosted)
            return;
        action = band->addWidget(hosted);
        break;
    }
    case ToolKind::Color: {
        auto* color = new ColorTool(pictures::icon(definition.picture), tooltip, window(), band);
        action = color->action();
        band->addAction(action);
        if (auto* button = qobject_cast<QToolButton*>(band->widgetForAction(action))) {
            button->setPopupMode(QToolButton::InstantPopup);
            // From now on a screen reader is offered the colours as the button's menu.
            accessibility::announceWindows();
            accessibility::askAgain(button);
        }
        connect(color, &ColorTool::clicked, this,
                [this, bandKey, key] { emit ToolClick(bandKey, key); });
        connect(color, &ColorTool::colorChosen, this,
                [this, bandKey, key](quint32 bgr) { emit ToolColor(bandKey, key, bgr); });
        break;
    }
    case ToolKind::Button:
        action = band->addAction(pictures::icon(definition.picture), tooltip);
        action->setToolTip(tooltip);
        action->setShortcut(QKeySequence::fromString(
            QString::fromLatin1(toolShortcut(definition.key)), QKeySequence::PortableText));
        connect(action, &QAction::triggered, this,
                [this, bandKey, key] { emit ToolClick(bandKey, key); });
        break;
    }
    action->setData(key);
    action->setProperty("picture", definition.picture);
    action->setProperty("disabledPicture", definition.disabledPicture);
    if (definition.kind == ToolKind::Host) {
        // The tool hands its own enabled state to the hosted control on every change of it.
        hosted->setEnabled(hostedEnabled);
    } else {
        action->setEnabled(definition.enabled);
        if (QWidget* button = band->widgetForAction(action)) {
            button->setAccessibleName(tooltip);
            // The keyboard reaches every tool with Tab, after the window's other controls.
            button->setFocusPolicy(Qt::TabFocus);
        }
    }
}

void MenuBarControl::setToolColor(const QString& bandKey, const QString& toolKey, quint32 bgr)
{
    if (ColorTool* color = colorTool(bandKey, toolKey))
        color->setColor(bgr);
}

bool MenuBarControl::setMenuEnabled(const QString& menuKey, bool enabled)
{
    QMenu* menu = menus.value(menuKey);
    if (!menu)
        return false;
    menu->setEnabled(enabled);
    const auto actions = menu->actions();
    for (QAction* action : actions) {
        if (!action->isSeparator())
            updateItemEnabled(action, enabled);
    }
    return true;
}

bool MenuBarControl::setItemEnabled(const QString& menuKey, const QString& itemKey, bool enabled)
{
    QAction* action = item(menuKey, itemKey);
    if (!action)
        return false;
    action->setProperty(itemEnabledProperty, enabled);
    updateItemEnabled(action, menus.value(menuKey)->isEnabled());
    return true;
}

bool MenuBarControl::setToolEnabled(const QString& bandKey, const QString& toolKey, bool enabled)
{
    QAction* action = tool(bandKey, toolKey);
    if (!action)
        return false;
    action->setEnabled(enabled);
    return true;
}

bool MenuBarControl::setItemChecked(const QString& menuKey, const QString& itemKey, bool checked)
{
    QAction* action = item(menuKey, itemKey);
    if (!action || !action->isCheckable())
        return false;
    action->setChecked(checked);
    return true;
}

bool MenuBarControl::isItemChecked(const QString& menuKey, const QString& itemKey) const
{
    const QAction* action = item(menuKey, itemKey);
    return action && action->isChecked();
}

void MenuBarControl::clearMenu(const QString& menuKey)
{
    QMenu* menu = menus.value(menuKey);
    if (!menu)
        return;
    const auto actions = menu->actions();
    for (QAction* action : actions) {
        menu->removeAction(action);
        if (action->parent() == menu)
            delete action;
    }
}

bool MenuBarControl::isMenuEnabled(const QString& menuKey) const
{
    const QMenu* menu = menus.value(menuKey);
    return menu && menu->isEnabled();
}

bool MenuBarControl::isItemEnabled(const QString& menuKey, const QString& itemKey) const
{
    const QAction* action = item(menuKey, itemKey);
    return action && action->property(itemEnabledProperty).toBool();
}

bool MenuBarControl::isToolEnabled(const QString& bandKey, const QString& toolKey) const
{
    const QAction* action = tool(bandKey, toolKey);
    return action && action->isEnabled();
}

QAction* MenuBarControl::item(const QString& menuKey, const QString& itemKey) const
{
    const QMenu* menu = menus.value(menuKey);
    if (!menu)
        return nullptr;
    const auto actions = menu->actions();
    for (QAction* action : actions) {
        if (!action->isSeparator() && keyOf(action) == itemKey)
            return action;
    }
    return nullptr;
}

QAction* MenuBarControl::tool(const QString& bandKey, const QString& toolKey) const
{
    const QToolBar* band = bands.value(bandKey);
    if (!band)
        return nullptr;
    const auto actions = band->actions();
    for (QAction* action : actions) {
        if (!action->isSeparator() && keyOf(action) == toolKey)
            return action;
    }
    return nullptr;
}

ColorTool* MenuBarControl::colorTool(const QString& bandKey, const QString& toolKey) const
{
    const QAction* action = tool(bandKey, toolKey);
    return action ? qobject_cast<ColorTool*>(action->parent()) : nullptr;
}

bool MenuBarControl::takesShortcut(const QKeyEvent* event) const
{
    const QKeySequence pressed(
        QKeyCombination(event->modifiers() & ~Qt::KeypadModifier, Qt::Key(event->key())));
    const auto takes = [&pressed](const QList<QAction*>& actions) {
        for (const QAction* action : actions) {
            if (action->isEnabled() && action->shortcutContext() != Qt::WidgetShortcut &&
                !action->shortcut().isEmpty() && action->shortcut() == pressed)
                return true;
        }
        return false;
    };
    for (const QMenu* menu : menus) {
        if (takes(menu->actions()))
            return true;
    }
    for (const QToolBar* band : bands) {
        if (takes(band->actions()))
            return true;
    }
    return false;
}

// An item of a disabled menu cannot be chosen, not even by its shortcut.
void MenuBarControl::updateItemEnabled(QAction* item, bool menuEnabled)
{
    item->setEnabled(menuEnabled && item->property(itemEnabledProperty).toBool());
}

} // namespace lw
