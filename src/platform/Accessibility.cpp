#include "platform/Accessibility.h"

#include <QAccessibleWidget>
#include <QDialog>
#include <QLabel>
#include <QMainWindow>

namespace lw::accessibility {

namespace {

// Qt gives a window that is a plain QWidget the role of a client area, which AT-SPI calls a
// filler: a screen reader then does not announce it as the program's window.
QAccessibleInterface* windowInterface(const QString& className, QObject* object)
{
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

void nameFollowsText(QLabel* label, const QString& description)
{
    // With no name of its own, a label's accessible name is its text, and QLabel announces each
    // change of the text as a change of the name.
    label->setAccessibleName(QString());
    label->setAccessibleDescription(description);
}

} // namespace lw::accessibility
