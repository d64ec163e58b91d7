#pragma once

#include <QDialog>

class QListWidget;
class QListWidgetItem;

namespace lw {

class LetterEditor;

// What the editor's tool windows (find, go to, date and time, symbols) share: modeless windows of
// their owner, deleted when closed.
class ToolDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ToolDialog(QWidget* owner);

    // Closed, and only waiting for its deletion: the next opening makes a new window.
    bool isClosed() const { return closed; }
    // Shows the window if hidden, raises it above the others and activates it.
    void bringForward();
    // Hidden while it had the keyboard, it hands the keyboard back to its owner's window.
    void setVisible(bool visible) override;

    // Gives the editor the keyboard focus, activating the window that holds it.
    static void focusEditor(LetterEditor* editor);
    // The row the user chose in a list, nullptr when none is selected.
    static QListWidgetItem* chosenItem(const QListWidget* list);

protected:
    // Names a control as the code does, and for assistive technology when it shows no caption.
    static void nameControl(QWidget* control, const char* objectName,
                            const QString& accessibleName = {});
    void closeEvent(QCloseEvent* event) override;

private:
    bool closed = false;
};

} // namespace lw
