#pragma once

#include "editor/DisplayFormats.h"
#include "editor/WordSplitter.h"

#include <QObject>
#include <QPointer>
#include <QTextCursor>
#include <QTimer>
#include <optional>

namespace lw {

class SpellChecker;

// Underlines the misspelt words of a document as it is typed in, with a red wavy line drawn by
// the editor's display formats. A paragraph is checked when it changes, at once while that
// takes a few milliseconds; everything else (a letter loaded, a dictionary changed) is checked
// in short slices between the user's keystrokes, the paragraphs on screen first.
class SpellingMarks : public QObject, public DisplayDecorator
{
    Q_OBJECT
public:
    SpellingMarks(DisplayFormats& formats, SpellChecker& checker, QObject* parent = nullptr);
    ~SpellingMarks() override;

    void setEnabled(bool on);
    bool isEnabled() const { return enabled; }

    // The misspelt word at a position of the document (touching it counts), its paragraph
    // checked first when it has not been yet.
    std::optional<WordSpan> misspeltWordAt(int position);
    // The words underlined now, as positions of the document.
    QList<WordSpan> underlined() const;
    // True when every paragraph has been checked.
    bool isDone() const { return !sweeping; }
    // Checks everything that is left before returning.
    void finish();

    // How long checking kept the user waiting: the longest slice of background work and the
    // longest check of a change as it was typed, in nanoseconds, on the clock and in processor
    // time of the program.
    struct Timing
    {
        qint64 longestSlice = 0;
        qint64 longestSliceProcessor = 0;
        qint64 longestInline = 0;
        qint64 longestInlineProcessor = 0;
        int slices = 0;
    };
    Timing timing() const { return times; }
    void resetTiming() { times = {}; }

    void documentChanging(int from, int removed, int added) override;
    void blockChanged(const QTextBlock& block) override;
    void documentReplaced() override;
    void decorate(const QTextBlock& block, QList<QTextLayout::FormatRange>& formats) override;

signals:
    // Every paragraph has been checked.
    void done();

private:
    struct State;
    State* stateOf(const QTextBlock& block) const;
    State& ensureState(const QTextBlock& block);
    bool isCurrent(const QTextBlock& block) const;
    // Checks the paragraph until the clock passes the deadline; true when it is done.
    bool work(const QTextBlock& block, qint64 deadline);
    void checkNow(const QTextBlock& block);
    QList<WordSpan> misspeltWords(const QString& text) const;
    void restart(int from);
    void slice();
    void releaseTypedWord();

    QPointer<DisplayFormats> formats;
    SpellChecker& checker;
    bool enabled = true;
    // Changes whenever words may be judged otherwise: every paragraph checked before is due again.
    int generation = 0;

    // The background: paragraphs from `sweep` on may be due; none before it.
    QTimer sliceTimer;
    QTextCursor sweep;
    bool sweeping = false;

    // The word being typed is not underlined until the typing pauses.
    QTextCursor typing;
    QTimer typingPause;

    // The change being decorated: paragraphs are checked inline while this is short.
    qint64 changeStarted = -1;
    qint64 inlineSpent = 0;
    qint64 inlineProcessor = 0;
    Timing times;
};

} // namespace lw
