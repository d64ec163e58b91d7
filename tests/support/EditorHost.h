#pragma once

#include "editor/EditorTools.h"
#include "editor/LetterEditor.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QStringList>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

namespace lw::test {

// A stand-in for the main window: a shown window filled by the editor, which owns the editor's
// tool windows.
class EditorHost
{
public:
    EditorHost() : editor(new LetterEditor(&window)), tools(new EditorTools(&window, editor))
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(editor->widget());
        window.resize(600, 400);
    }

    // Shows the window and waits until it is the active one.
    bool show()
    {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }

    // Sets the text and selects `length` characters from `start`.
    void setText(const QString& text, int start = 0, int length = 0)
    {
        editor->setText(text);
        editor->setSelStart(start);
        editor->setSelLength(length);
    }

    QWidget window;
    LetterEditor* editor;
    EditorTools* tools;
};

// The caption a label, button or frame shows; empty for other controls.
inline QString captionOf(const QWidget* widget)
{
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (const auto* frame = qobject_cast<const QGroupBox*>(widget))
        return frame->title();
    return {};
}

// The named widgets in the order the Tab key visits them, starting at `first`.
inline QStringList tabOrder(QWidget* first, const QStringList& names)
{
    QStringList order;
    QWidget* widget = first;
    do {
        if (names.contains(widget->objectName()) && !order.contains(widget->objectName()))
            order.append(widget->objectName());
        widget = widget->nextInFocusChain();
    } while (widget != first);
    return order;
}

} // namespace lw::test
