#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTextEdit>
#include <QTimer>

namespace lw {

class LetterFields;
struct FieldOccurrence;

// Shows the fields still to fill on a light background. The tint is one of the editor's extra
// selections: drawn over the text, never part of the document, so never saved, printed, copied or
// undone. Only the fields on screen are tinted, so that a document with thousands of fields costs
// no more than one with a few.
class FieldHighlight : public QObject
{
    Q_OBJECT
public:
    FieldHighlight(QTextEdit* edit, LetterFields* fields);

    // The tinted fields, as drawn.
    QList<FieldOccurrence> shown() const;
    // The tint over the editor's base colour.
    static QColor tint(const QPalette& palette);

    // Draws the tint anew at once, rather than at the next turn of the event loop.
    void refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void schedule();
    void followLayout();
    // The first position of the paragraph at y of the document, or the position after it.
    int paragraphAt(int y, bool end) const;

    QPointer<QTextEdit> edit;
    QPointer<LetterFields> fields;
    QTimer pending;
};

} // namespace lw
