#pragma once

#include "editor/FieldVocabulary.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

namespace lw {

class FieldHighlight;
class LetterFields;
class LetterEditor;
class FillFieldsPanel;
class SenderDetailsDialog;

// Filling a letter in the main window's editor: the fields kept up to date, their tint, the Fill
// Fields panel, next and previous field, the sender's details, and the question before a letter
// with unfilled fields goes out. The command dispatcher calls one function per command.
class FieldTools : public QObject
{
    Q_OBJECT
public:
    // `owner` owns the windows and this object; `editor` is the letter they fill.
    FieldTools(QWidget* owner, LetterEditor* editor,
               const FieldVocabulary& vocabulary = FieldVocabulary::installed());
    ~FieldTools() override;

    LetterFields& fields() { return *letterFields; }
    FieldHighlight& highlight() { return *tint; }

    // Fill Fields: opens the panel, or brings it forward.
    void showFillFields();
    // Selects the next field after the selection, wrapping at the end, so that typing replaces
    // it; with no field left, says so.
    void nextField();
    // The same backwards: the last field before the selection.
    void previousField();
    // Opens the sender's details, or brings them forward.
    void showSenderDetails();
    // Before a letter goes out: true when `action` ("Print", "Save", "Export") may go on. With
    // fields unfilled it asks, naming up to five; No selects the first of them in the editor.
    bool confirmFilled(const QString& action);
    // The question confirmFilled asks, for the fields given.
    static QString unfilledQuestion(const QStringList& fields, const QString& action);
    // Closes the panel and the sender's details: the main window is shutting down.
    void closeAll();

    FillFieldsPanel* fillFieldsPanel() const;
    SenderDetailsDialog* senderDialog() const;

private:
    void select(int position, int length);
    void placeBeside(QWidget* window) const;

    QWidget* owner;
    QPointer<LetterEditor> editor;
    LetterFields* letterFields;
    FieldHighlight* tint;
    QPointer<FillFieldsPanel> panel;
    QPointer<SenderDetailsDialog> sender;
};

} // namespace lw
