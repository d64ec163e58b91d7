#include "platform/Accessibility.h"

#include <QAccessibleWidget>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QToolButton>

namespace lw::accessibility {

namespace {

// A tool button whose action holds a menu opens the menu at once (the colours of Font Color);
// Qt offers a screen reader no action on it unless the menu was set on the button itself.
class MenuToolButton : public QAccessibleWidget
{
public:
    explicit MenuToolButton(QToolButton* button)
        : QAccessibleWidget(button, QAccessible::ButtonMenu)
    {}

    QStringList actionNames() const override
    {
        return widget()->isEnabled() ? QStringList{showMenuAction()} : QStringList();
    }

    void doAction(const QString& actionName) override
    {
        if (actionName == showMenuAction() && widget()->isEnabled())
            static_cast<QToolButton*>(widget())->showMenu();
    }
};

bool opensMenuAtOnce(const QToolButton* button)
{
    return button->popupMode() == QToolButton::InstantPopup && !button->menu() &&
           button->defaultAction() && button->defaultAction()->menu();
}

// Qt gives a window that is a plain QWidget the role of a client area, which AT-SPI calls a
// filler: a screen reader then does not announce it as the program's window.
QAccessibleInterface* windowInterface(const QString& className, QObject* object)
{
    // A divider rule is announced as a separator, not as a frame that holds something.
    if (className == QLatin1String("QFrame")) {
        auto* rule = qobject_cast<QFrame*>(object);
        return rule && (rule->frameShape() == QFrame::HLine || rule->frameShape() == QFrame::VLine)
                   ? new QAccessibleWidget(rule, QAccessible::Separator)
                   : nullptr;
    }
    if (className == QLatin1String("QToolButton")) {
        auto* button = qobject_cast<QToolButton*>(object);
        return button && opensMenuAtOnce(button) ? new MenuToolButton(button) : nullptr;
    }
    if (!className.startsWith(QLatin1String("lw::")) || !object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (!widget->isWindow() || qobject_cast<QDialog*>(widget) || qobject_cast<QMainWindow*>(widget))
        return nullptr;
    const Qt::WindowType type = widget->windowType();
    return new QAccessibleWidget(widget, type == Qt::Dialog || type == Qt::Sheet
                                             ? QAccessible::Dialog
                                             : QAccessible::Window);
}

} // namespace

void announceWindows()
{
    static const bool installed = [] {
        QAccessible::installFactory(windowInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

void askAgain(QObject* object)
{
    // Qt keeps an object's interface from the first time anything asked for it.
    if (QAccessibleInterface* known = QAccessible::queryAccessibleInterface(object))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(known));
}

void nameFollowsText(QLabel* label, const QString& description)
{
    // With no name of its own, a label's accessible name is its text, and QLabel announces each
    // change of the text as a change of the name.
    label->setAccessibleName(QString());
    label->setAccessibleDescription(description);
}

} // namespace lw::accessibility
