#pragma once

#include <QList>
#include <QObject>
#include <QTextLayout>
#include <QTimer>
#include <memory>
#include <utility>

class QPoint;
class QTextBlock;
class QTextDocument;
class QTextEdit;

namespace lw {

// One source of display-only formats (the spelling underline, the tint of an unfilled field).
class DisplayDecorator
{
public:
    virtual ~DisplayDecorator() = default;

    // The document changed: `from`, `removed` and `added` as QTextDocument::contentsChange gives
    // them. Comes before blockChanged() for the paragraphs of the change.
    virtual void documentChanging(int from, int removed, int added)
    {
        Q_UNUSED(from);
        Q_UNUSED(removed);
        Q_UNUSED(added);
    }
    // The paragraph's text or format changed.
    virtual void blockChanged(const QTextBlock& block) { Q_UNUSED(block); }
    // The editor shows another document, whose paragraphs hold no states yet.
    virtual void documentReplaced() {}
    // Adds the formats to draw over the paragraph, as ranges of its text.
    virtual void decorate(const QTextBlock& block, QList<QTextLayout::FormatRange>& formats) = 0;
};

// The display-only formats of an editor's document: drawn over the text as the editor's extra
// selections, never part of the document, so never saved, printed, copied or undone, and never
// a reason to lay the text out again. Only the paragraphs on screen are drawn, so that the cost
// does not grow with the document. Several decorators share it; where their formats overlap,
// the properties of the later decorator are drawn over those of the earlier.
class DisplayFormats : public QObject
{
    Q_OBJECT
public:
    explicit DisplayFormats(QTextEdit* editor);
    ~DisplayFormats() override;

    QTextDocument* document() const;
    void addDecorator(DisplayDecorator* decorator);
    void removeDecorator(DisplayDecorator* decorator);

    // Draws the paragraph again soon, if it is on screen.
    void redraw(const QTextBlock& block);
    // Draws every paragraph on screen again soon.
    void redrawAll();
    // Draws the paragraphs on screen now.
    void redrawNow();

    // The first and last positions on screen.
    std::pair<int, int> visibleRange() const;
    // The position nearest to a point of the viewport over text; -1 where there is no text.
    int positionAt(const QPoint& point) const;

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
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void documentChanged(int from, int removed, int added);
    void follow(QTextDocument* doc);

    QTextEdit* editor;
    QList<DisplayDecorator*> decorators;
    QTimer redrawTimer;
    // What was on screen at the last drawing.
    std::pair<int, int> drawn{0, -1};
};

} // namespace lw
