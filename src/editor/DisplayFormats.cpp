#include "editor/DisplayFormats.h"

#include "editor/EditorWidget.h"

#include <QEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>
#include <map>
#include <utility>
#include <vector>

namespace lw {

namespace {

// Every decorator's state of one paragraph.
struct Decorations : QTextBlockUserData
{
    std::vector<std::pair<const DisplayDecorator*, std::unique_ptr<DisplayFormats::BlockState>>>
        states;
};

// The last paragraph laid out so far that starts at or above a height of the document.
QTextBlock laidOutBlockAt(const QTextDocument* document, qreal y)
{
    int low = 0;
    int high = document->blockCount() - 1;
    while (low < high) {
        const int middle = low + (high - low + 1) / 2;
        const QTextLayout* layout = document->findBlockByNumber(middle).layout();
        if (layout && layout->lineCount() > 0 && layout->position().y() <= y)
            low = middle;
        else
            high = middle - 1;
    }
    return document->findBlockByNumber(low);
}

// The first position of the block's lines that reach below `y`, or of its lines above `y` when
// `last`; the block is one laid out at that height.
int positionAtHeight(const QTextBlock& block, qreal y, bool last)
{
    const QTextLayout* layout = block.layout();
    int position = last ? block.position() + block.length() - 1 : block.position();
    if (!layout)
        return position;
    const qreal top = layout->position().y();
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        if (!last && top + line.y() + line.height() > y)
            return block.position() + line.textStart();
        if (last && top + line.y() > y)
            return block.position() + std::max(line.textStart() - 1, 0);
    }
    return position;
}

} // namespace

DisplayFormats::DisplayFormats(QTextEdit* textEdit) : QObject(textEdit), editor(textEdit)
{
    redrawTimer.setSingleShot(true);
    redrawTimer.setInterval(0);
    connect(&redrawTimer, &QTimer::timeout, this, &DisplayFormats::redrawNow);
    follow(editor->document());
    if (auto* widget = qobject_cast<EditorWidget*>(editor)) {
        connect(widget, &EditorWidget::documentReplaced, this, [this] {
            follow(document());
            for (DisplayDecorator* decorator : std::as_const(decorators))
                decorator->documentReplaced();
            redrawAll();
        });
    }
    connect(editor->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &DisplayFormats::redrawAll);
    editor->viewport()->installEventFilter(this);
}

void DisplayFormats::follow(QTextDocument* doc)
{
    connect(doc, &QTextDocument::contentsChange, this, &DisplayFormats::documentChanged);
    // After the change is laid out: the paragraph typed in is drawn with the keystroke.
    connect(doc, &QTextDocument::contentsChanged, this, [this] {
        if (redrawTimer.isActive())
            redrawNow();
    });
}

DisplayFormats::~DisplayFormats() = default;

QTextDocument* DisplayFormats::document() const
{
    return editor->document();
}

void DisplayFormats::addDecorator(DisplayDecorator* decorator)
{
    if (!decorators.contains(decorator))
        decorators.append(decorator);
    redrawAll();
}

void DisplayFormats::removeDecorator(DisplayDecorator* decorator)
{
    decorators.removeAll(decorator);
    // Its states would otherwise be found by a later decorator at the same address.
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (auto* data = static_cast<Decorations*>(block.userData())) {
            std::erase_if(data->states,
                          [decorator](const auto& entry) { return entry.first == decorator; });
        }
    }
    redrawAll();
}

void DisplayFormats::redraw(const QTextBlock& block)
{
    if (block.position() <= drawn.second && block.position() + block.length() > drawn.first)
        redrawAll();
}

void DisplayFormats::redrawAll()
{
    redrawTimer.start();
}

std::pair<int, int> DisplayFormats::visibleRange() const
{
    // By the paragraphs' places in the layout: the layout's own hit test walks every paragraph
    // for a point that falls between two of them.
    const QTextDocument* doc = document();
    const qreal top = editor->verticalScrollBar()->value();
    const qreal bottom = top + editor->viewport()->height();
    return {positionAtHeight(laidOutBlockAt(doc, top), top, false),
            positionAtHeight(laidOutBlockAt(doc, bottom), bottom, true)};
}

int DisplayFormats::positionAt(const QPoint& point) const
{
    const QPointF inDocument = QPointF(point) + QPointF(editor->horizontalScrollBar()->value(),
                                                        editor->verticalScrollBar()->value());
    const QTextBlock block = laidOutBlockAt(document(), inDocument.y());
    const QTextLayout* layout = block.layout();
    if (!layout)
        return -1;
    const QPointF inBlock = inDocument - layout->position();
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        if (inBlock.y() < line.y() || inBlock.y() >= line.y() + line.height())
            continue;
        if (inBlock.x() < line.x() || inBlock.x() > line.x() + line.naturalTextWidth())
            return -1;
        return block.position() + line.xToCursor(inBlock.x());
    }
    return -1;
}

void DisplayFormats::redrawNow()
{
    redrawTimer.stop();
    drawn = visibleRange();
    QList<QTextEdit::ExtraSelection> selections;
    QList<QTextLayout::FormatRange> ranges;
    QTextDocument* doc = document();
    for (QTextBlock block = doc->findBlock(drawn.first);
         block.isValid() && block.position() <= drawn.second; block = block.next()) {
        ranges.clear();
        for (DisplayDecorator* decorator : std::as_const(decorators))
            decorator->decorate(block, ranges);
        if (ranges.isEmpty())
            continue;
        // Where formats overlap, the pieces between their edges get the formats merged in order.
        const int length = block.length() - 1;
        std::map<int, bool> edges;
        for (const QTextLayout::FormatRange& range : std::as_const(ranges)) {
            edges[std::clamp(range.start, 0, length)];
            edges[std::clamp(range.start + range.length, 0, length)];
        }
        for (auto edge = edges.begin(); edge != edges.end() && std::next(edge) != edges.end();
             ++edge) {
            const int start = edge->first;
            const int end = std::next(edge)->first;
            QTextCharFormat merged;
            bool covered = false;
            for (const QTextLayout::FormatRange& range : std::as_const(ranges)) {
                if (range.start <= start && range.start + range.length >= end) {
                    merged.merge(range.format);
                    covered = true;
                }
            }
            if (!covered || block.position() + end < drawn.first ||
                block.position() + start > drawn.second)
                continue;
            QTextCursor piece(doc);
            piece.setPosition(block.position() + start);
            piece.setPosition(block.position() + end, QTextCursor::KeepAnchor);
            selections.append({piece, merged});
        }
    }
    editor->setExtraSelections(selections);
}

bool DisplayFormats::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == editor->viewport() && event->type() == QEvent::Resize)
        redrawAll();
    return QObject::eventFilter(watched, event);
}

void DisplayFormats::documentChanged(int from, int removed, int added)
{
    if (decorators.isEmpty())
        return;
    for (DisplayDecorator* decorator : std::as_const(decorators))
        decorator->documentChanging(from, removed, added);
    QTextDocument* doc = document();
    const QTextBlock last = doc->findBlock(std::min(from + added, doc->characterCount() - 1));
    for (QTextBlock block = doc->findBlock(from); block.isValid(); block = block.next()) {
        for (DisplayDecorator* decorator : std::as_const(decorators))
            decorator->blockChanged(block);
        if (block == last)
            break;
    }
    redrawAll();
}

DisplayFormats::BlockState* DisplayFormats::state(const QTextBlock& block,
                                                  const DisplayDecorator* decorator)
{
    const auto* data = static_cast<const Decorations*>(block.userData());
    if (!data)
        return nullptr;
    for (const auto& [owner, state] : data->states) {
        if (owner == decorator)
            return state.get();
    }
    return nullptr;
}

void DisplayFormats::setState(QTextBlock block, const DisplayDecorator* decorator,
                              std::unique_ptr<BlockState> state)
{
    auto* data = static_cast<Decorations*>(block.userData());
    if (!data) {
        if (!state)
            return;
        data = new Decorations;
        block.setUserData(data);
    }
    for (auto& [owner, held] : data->states) {
        if (owner == decorator) {
            held = std::move(state);
            return;
        }
    }
    if (state)
        data->states.emplace_back(decorator, std::move(state));
}

} // namespace lw
