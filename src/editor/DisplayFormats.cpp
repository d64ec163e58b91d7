#include "editor/DisplayFormats.h"

#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
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

} // namespace

DisplayFormats::DisplayFormats(QTextDocument* document)
    : QSyntaxHighlighter(static_cast<QObject*>(document))
{
    // Before the highlighter's own handler, so that decorators hear of a change before they are
    // asked to decorate it.
    connect(document, &QTextDocument::contentsChange, this, &DisplayFormats::documentChanging);
    setDocument(document);
}

DisplayFormats::~DisplayFormats() = default;

void DisplayFormats::addDecorator(DisplayDecorator* decorator)
{
    if (!decorators.contains(decorator))
        decorators.append(decorator);
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
}

void DisplayFormats::redraw(const QTextBlock& block)
{
    ++redrawing;
    rehighlightBlock(block);
    --redrawing;
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

void DisplayFormats::documentChanging(int from, int removed, int added)
{
    if (redrawing > 0)
        return;
    for (DisplayDecorator* decorator : std::as_const(decorators))
        decorator->documentChanging(from, removed, added);
}

void DisplayFormats::highlightBlock(const QString& text)
{
    if (decorators.isEmpty())
        return;
    const QTextBlock block = currentBlock();
    QList<QTextLayout::FormatRange> ranges;
    for (DisplayDecorator* decorator : std::as_const(decorators))
        decorator->decorate(block, text, redrawing == 0, ranges);
    const int length = int(text.size());
    for (const QTextLayout::FormatRange& range : std::as_const(ranges)) {
        int at = std::clamp(range.start, 0, length);
        const int end = std::clamp(range.start + range.length, at, length);
        // Over what an earlier decorator drew, run by run of equal format.
        while (at < end) {
            QTextCharFormat drawn = format(at);
            int run = at + 1;
            while (run < end && format(run) == drawn)
                ++run;
            drawn.merge(range.format);
            setFormat(at, run - at, drawn);
            at = run;
        }
    }
}

} // namespace lw
