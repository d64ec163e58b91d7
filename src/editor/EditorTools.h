#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace lw {

class LetterEditor;
class FindDialog;
class GoToDialog;
class SymbolsDialog;
class DateTimeDialog;

// The editor's tool windows, owned by the main window: each is created at its first use, only
// brought forward when opened again, and deleted when closed. The command dispatcher calls one
// function per command.
class EditorTools : public QObject
{
    Q_OBJECT
public:
    // `owner` owns the windows and this object; `editor` is the document they act on.
    EditorTools(QWidget* owner, LetterEditor* editor);

    // Find (findOnly) and Replace of the Edit menu. The layout is chosen when the dialog loads; an
    // open dialog keeps its own.
    void showFind(bool findOnly);
    // The popup menu's Replace: the find dialog in its find-and-replace layout.
    void showReplaceFromPopup();
    // Find Next: searches on from the end of the selection with the find dialog's text and
    // options, loading the dialog unseen when it is not loaded. A miss disables Find Next.
    void findNext();
    void showGoTo();
    void showTimeDate();
    void showSymbols();
    // Closes every tool window: the main window is shutting down.
    void closeAll();

    // The layout the find dialog loads with: set by showFind, false at start.
    bool FindOnly = false;

    // The windows while they are loaded, nullptr otherwise.
    FindDialog* findDialog() const;
    GoToDialog* goToDialog() const;
    DateTimeDialog* timeDateDialog() const;
    SymbolsDialog* symbolsDialog() const;

signals:
    // The Edit menu item "FindNext" is to be enabled or disabled.
    void findNextEnabledChanged(bool enabled);

private:
    FindDialog* loadFind();

    QWidget* owner;
    QPointer<LetterEditor> editor;
    QPointer<FindDialog> find;
    QPointer<GoToDialog> goTo;
    QPointer<DateTimeDialog> timeDate;
    QPointer<SymbolsDialog> symbols;
};

} // namespace lw
