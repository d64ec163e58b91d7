#include "mainwindow/StatusIndicators.h"

#include "mainwindow/KeyboardIndicators.h"
#include "platform/Services.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QTextEdit>

namespace lw {

namespace {

// An indicator that is off stays readable but greyed, as on a keyboard.
void showIndicator(QLabel* panel, const QString& name, std::optional<bool> on)
{
    panel->setText(on ? name : QString());
    panel->setEnabled(on.value_or(false));
    panel->setAccessibleDescription(!on   ? QString()
                                    : *on ? QStringLiteral("on")
                                          : QStringLiteral("off"));
}

bool isLockKey(int key)
{
    return key == Qt::Key_NumLock || key == Qt::Key_CapsLock || key == Qt::Key_ScrollLock;
}

} // namespace

StatusIndicators::StatusIndicators(const Panels& panels, QTextEdit* editor, QObject* parent)
    : QObject(parent), panels(panels), editor(editor)
{
    editor->installEventFilter(this);
    QCoreApplication::instance()->installEventFilter(this);
    clock.setInterval(1000);
    connect(&clock, &QTimer::timeout, this, &StatusIndicators::refresh);
    clock.start();
    refresh();
}

void StatusIndicators::refresh()
{
    const KeyboardIndicators keys = KeyboardIndicators::read();
    showIndicator(panels.numLock, QStringLiteral("NUM"), keys.numLock);
    showIndicator(panels.capsLock, QStringLiteral("CAPS"), keys.capsLock);
    showIndicator(panels.scrollLock, QStringLiteral("SCRL"), keys.scrollLock);
    panels.insert->setText(editor->overwriteMode() ? QStringLiteral("OVR") : QStringLiteral("INS"));
    panels.time->setText(QLocale().toString(services().clock->now().time(), QLocale::ShortFormat));
}

bool StatusIndicators::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyRelease && isLockKey(static_cast<QKeyEvent*>(event)->key())) {
        refresh();
    } else if (watched == editor && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Insert && key->modifiers() == Qt::NoModifier) {
            editor->setOverwriteMode(!editor->overwriteMode());
            refresh();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace lw
