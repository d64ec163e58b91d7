#pragma once

#include "editor/EditorTools.h"
#include "editor/RichTextBox.h"

#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

namespace lw::test {

// A stand-in for the main window: a shown window filled by the editor, which owns the editor's
// tool windows.
class EditorHost
{
public:
    EditorHost() : editor(new RichTextBox(&window)), tools(new EditorTools(&window, editor))
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
    RichTextBox* editor;
    EditorTools* tools;
};

} // namespace lw::test
