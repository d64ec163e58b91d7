#pragma once

#include "editor/ToolDialog.h"

#include <QPointer>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace lw {

class LetterEditor;

// Moves the editor's caret to the start of a line, of the text or to its end; modeless.
class GoToDialog : public ToolDialog
{
    Q_OBJECT
public:
    // The dialog load: Line chosen, the box empty, Go disabled. The caller shows it.
    GoToDialog(QWidget* owner, LetterEditor* editor);

    // Go is enabled while the box holds text or while the box is disabled.
    void GoButtonRule();
    void GotoLine_Click();
    void GotoStart_Click();
    void GoToEnd_Click();
    void cmdGo_Click();
    void cmdClose_Click();

    QGroupBox* Frame1 = nullptr;
    QRadioButton* GotoLine = nullptr;
    QRadioButton* GotoStart = nullptr;
    QRadioButton* GoToEnd = nullptr;
    QLineEdit* txtGo = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* cmdGo = nullptr;
    QPushButton* cmdClose = nullptr;

private:
    QPointer<LetterEditor> RTB;
};

} // namespace lw
