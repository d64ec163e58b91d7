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

// An indicator that is off stays readable but greyed, as on a keyboard. A screen reader reads
// the panel's text, and from its description which key it is and whether it is on.
void showIndicator(QLabel* panel, const QString& text, const QString& key, std::optional<bool> on)
{
    panel->setText(on ? text : QString());
    panel->setEnabled(on.value_or(false));
    panel->setAccessibleDescription(!on   ? key
                                    : *on ? key + QStringLiteral(" on")
                                          : key + QStringLiteral(" off"));
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
    showIndicator(panels.numLock, QStringLiteral("NUM"), QStringLiteral("Num Lock"), keys.numLock);
    showIndicator(panels.capsLock, QStringLiteral("CAPS"), QStringLiteral("Caps Lock"),
                  keys.capsLock);
    showIndicator(panels.scrollLock, QStringLiteral("SCRL"), QStringLiteral("Scroll Lock"),
                  keys.scrollLock);
    const bool overwrite = editor->overwriteMode();
    panels.insert->setText(overwrite ? QStringLiteral("OVR") : QStringLiteral("INS"));
    panels.insert->setAccessibleDescription(overwrite ? QStringLiteral("Overwrite mode")
                                                      : QStringLiteral("Insert mode"));
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
