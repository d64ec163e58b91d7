#pragma once

#include <QList>
#include <QSyntaxHighlighter>
#include <QTextLayout>
#include <memory>

class QTextDocument;

namespace lw {

// One source of display-only formats (the spelling underline, the tint of an unfilled field).
class DisplayDecorator
{
public:
    virtual ~DisplayDecorator() = default;

    // A change of the document is about to be decorated: `from`, `removed` and `added` as
    // QTextDocument::contentsChange gives them. Comes before decorate() for its paragraphs.
    virtual void documentChanging(int from, int removed, int added)
    {
        Q_UNUSED(from);
        Q_UNUSED(removed);
        Q_UNUSED(added);
    }
    // Adds the formats to draw over the paragraph's text, as ranges of `text`. `changed` is true
    // when the paragraph's text or format has changed since it was last decorated, false when
    // it is only drawn again.
    virtual void decorate(const QTextBlock& block, const QString& text, bool changed,
                          QList<QTextLayout::FormatRange>& formats) = 0;
};

// The display-only formats of a document: drawn over its text by the layout, never part of the
// document itself, so never saved, printed, copied or undone. Several decorators share it; where
// their formats overlap, the later decorator's properties are drawn over the earlier's.
class DisplayFormats : public QSyntaxHighlighter
{
    Q_OBJECT
public:
    // Best made while the document is empty: on a document with text the highlighter draws every
    // paragraph at the next turn of the event loop, and the document says it changed.
    explicit DisplayFormats(QTextDocument* document);
    ~DisplayFormats() override;

    void addDecorator(DisplayDecorator* decorator);
    void removeDecorator(DisplayDecorator* decorator);

    // Draws a paragraph's formats again, asking every decorator for them.
    void redraw(const QTextBlock& block);
    // True while formats are being drawn again: the document then says it changed, but its
    // content has not.
    bool isRedrawing() const { return redrawing > 0; }

    // What a decorator keeps about a paragraph: it lives as long as the paragraph, and goes when
    // the paragraph does.
    struct BlockState
    {
        virtual ~BlockState() = default;
    };
    // The decorator's state of the paragraph, or nullptr.
    static BlockState* state(const QTextBlock& block, const DisplayDecorator* decorator);
    static void setState(QTextBlock block, const DisplayDecorator* decorator,
                         std::unique_ptr<BlockState> state);

protected:
    void highlightBlock(const QString& text) override;

private:
    void documentChanging(int from, int removed, int added);

    QList<DisplayDecorator*> decorators;
    int redrawing = 0;
};

} // namespace lw
