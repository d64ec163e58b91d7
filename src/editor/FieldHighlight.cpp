#include "editor/FieldHighlight.h"

#include "editor/LetterFields.h"

#include <QAbstractTextDocumentLayout>
#include <QEvent>
#include <QScrollBar>
#include <QTextBlock>

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
    followLayout();
    // Another document in the editor has a layout of its own.
    connect(fields, &LetterFields::documentReplaced, this, &FieldHighlight::followLayout);
    edit->viewport()->installEventFilter(this);
    edit->installEventFilter(this);
    schedule();
}

void FieldHighlight::followLayout()
{
    connect(edit->document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged,
            this, &FieldHighlight::schedule, Qt::UniqueConnection);
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
        drawn.append(
            {start, selection.cursor.selectionEnd() - start, selection.cursor.selectedText()});
    }
    return drawn;
}

int FieldHighlight::paragraphAt(int y, bool end) const
{
    // Paragraphs stand one below the other: a binary search finds the one at y at once, where a
    // hit test would go through every paragraph above it.
    QTextDocument* document = edit->document();
    QAbstractTextDocumentLayout* layout = document->documentLayout();
    int low = 0;
    int high = document->blockCount() - 1;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        const QRectF box = layout->blockBoundingRect(document->findBlockByNumber(middle));
        if (box.isNull()) {
            // Not laid out yet: ask the layout itself.
            const QPoint point(0, y - edit->verticalScrollBar()->value());
            return edit->cursorForPosition(point).position();
        }
        if (box.bottom() < y)
            low = middle + 1;
        else
            high = middle;
    }
    const QTextBlock block = document->findBlockByNumber(low);
    return end ? block.position() + block.length() : block.position();
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
    const int screen = std::max(1, edit->viewport()->height());
    const int top = edit->verticalScrollBar()->value() - screen;
    const int from = paragraphAt(top, false);
    const int to = paragraphAt(top + 3 * screen, true);

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
