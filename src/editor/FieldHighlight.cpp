#include "editor/FieldHighlight.h"

#include "editor/LetterFields.h"

#include <QAbstractTextDocumentLayout>
#include <QEvent>
#include <QScrollBar>

namespace lw {

namespace {

// Marks the editor's extra selections as this highlight's own.
constexpr int fieldProperty = QTextFormat::UserProperty + 17;

} // namespace

FieldHighlight::FieldHighlight(QTextEdit* edit, LetterFields* fields)
    : QObject(fields), edit(edit), fields(fields)
{
    pending.setSingleShot(true);
    pending.setInterval(0);
    connect(&pending, &QTimer::timeout, this, &FieldHighlight::refresh);
    connect(fields, &LetterFields::fieldsChanged, this, &FieldHighlight::schedule);
    connect(edit->verticalScrollBar(), &QScrollBar::valueChanged, this, &FieldHighlight::schedule);
    connect(edit->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &FieldHighlight::schedule);
    connect(edit->document()->documentLayout(),
            &QAbstractTextDocumentLayout::documentSizeChanged, this, &FieldHighlight::schedule);
    edit->viewport()->installEventFilter(this);
    edit->installEventFilter(this);
    schedule();
}

QColor FieldHighlight::tint(const QPalette& palette)
{
    const QColor base = palette.color(QPalette::Base);
    const QColor accent = palette.color(QPalette::Highlight);
    constexpr double share = 0.22;
    return QColor::fromRgbF(float(base.redF() * (1 - share) + accent.redF() * share),
                            float(base.greenF() * (1 - share) + accent.greenF() * share),
                            float(base.blueF() * (1 - share) + accent.blueF() * share));
}

QList<FieldOccurrence> FieldHighlight::shown() const
{
    QList<FieldOccurrence> drawn;
    if (!edit)
        return drawn;
    for (const QTextEdit::ExtraSelection& selection : edit->extraSelections()) {
        if (!selection.format.hasProperty(fieldProperty))
            continue;
        const int start = selection.cursor.selectionStart();
        drawn.append({start, selection.cursor.selectionEnd() - start,
                      selection.cursor.selectedText()});
    }
    return drawn;
}

void FieldHighlight::schedule()
{
    pending.start();
}

void FieldHighlight::refresh()
{
    pending.stop();
    if (!edit || !fields)
        return;
    // What is on screen, a screenful either side, so that scrolling a little shows no gap.
    const QRect view = edit->viewport()->rect();
    const int screen = std::max(1, view.height());
    const int from =
        edit->cursorForPosition(view.topLeft() - QPoint(0, screen)).position();
    const int to = edit->cursorForPosition(view.bottomRight() + QPoint(0, screen)).position();

    QTextCharFormat format;
    format.setBackground(tint(edit->palette()));
    format.setProperty(fieldProperty, true);
    QList<QTextEdit::ExtraSelection> selections;
    // Another feature's extra selections stay as they are.
    for (const QTextEdit::ExtraSelection& selection : edit->extraSelections()) {
        if (!selection.format.hasProperty(fieldProperty))
            selections.append(selection);
    }
    for (const FieldOccurrence& field : fields->occurrencesBetween(from, to)) {
        QTextEdit::ExtraSelection selection;
        selection.cursor = QTextCursor(edit->document());
        selection.cursor.setPosition(field.position);
        selection.cursor.setPosition(field.end(), QTextCursor::KeepAnchor);
        selection.format = format;
        selections.append(selection);
    }
    edit->setExtraSelections(selections);
}

bool FieldHighlight::eventFilter(QObject* watched, QEvent* event)
{
    if (edit && ((watched == edit->viewport() && event->type() == QEvent::Resize) ||
                 (watched == edit && event->type() == QEvent::PaletteChange)))
        schedule();
    return QObject::eventFilter(watched, event);
}

} // namespace lw
