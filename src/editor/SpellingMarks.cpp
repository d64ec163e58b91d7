#include "editor/SpellingMarks.h"

#include "editor/SpellChecker.h"

#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
#include <ctime>

namespace lw {

namespace {

constexpr qint64 millisecond = 1000000;
// A slice of background work gives the event loop back after this long.
constexpr qint64 sliceBudget = 4 * millisecond;
// A change is checked as it is made while checking it takes no longer than this; the rest of it
// goes to the background.
constexpr qint64 inlineBudget = 3 * millisecond;
// A paragraph longer than this is checked in pieces, the clock read between them: a few
// thousand words none of which the dictionary knows take Nuspell tens of milliseconds.
constexpr int longestInline = 4000;
// The clock is read after this many words of a long paragraph.
constexpr int wordsBetweenClocks = 32;
// Visible paragraphs looked at first in each slice, at most.
constexpr int mostVisible = 400;
// The word being typed is underlined once typing pauses this long.
constexpr int typingPauseMs = 800;

qint64 now()
{
    static const QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return clock.nsecsElapsed();
}

// The processor time of this thread: on a busy machine the clock on the wall also counts the
// time other programs had the processor.
qint64 processorNow()
{
    timespec spent{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &spent);
    return qint64(spent.tv_sec) * 1000000000 + spent.tv_nsec;
}

QTextCharFormat misspeltFormat()
{
    QTextCharFormat format;
    format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    format.setUnderlineColor(QColor(Qt::red));
    return format;
}

} // namespace

// A check of a long paragraph under way over several slices: the text it reads, where it
// stands, what it found so far.
struct Progress
{
    Progress(QString from, int forGeneration)
        : text(std::move(from)), splitter(text), generation(forGeneration)
    {}

    const QString text;
    WordSplitter splitter;
    QList<WordSpan> found;
    const int generation;
};

struct SpellingMarks::State : DisplayFormats::BlockState
{
    // The words underlined, as positions in the paragraph, and the generation they were found in.
    QList<WordSpan> misspelt;
    int generation = -1;
    bool complete = false;
    std::unique_ptr<Progress> progress;
};

SpellingMarks::SpellingMarks(DisplayFormats& displayFormats, SpellChecker& spellChecker,
                             QObject* parent)
    : QObject(parent), formats(&displayFormats), checker(spellChecker),
      sweep(displayFormats.document())
{
    sweep.setKeepPositionOnInsert(true);
    sliceTimer.setSingleShot(true);
    sliceTimer.setInterval(0);
    connect(&sliceTimer, &QTimer::timeout, this, &SpellingMarks::slice);
    typingPause.setSingleShot(true);
    typingPause.setInterval(typingPauseMs);
    connect(&typingPause, &QTimer::timeout, this, &SpellingMarks::releaseTypedWord);
    connect(&checker, &SpellChecker::changed, this, [this] {
        ++generation;
        restart(0);
    });
    formats->addDecorator(this);
    restart(0);
}

SpellingMarks::~SpellingMarks()
{
    if (formats)
        formats->removeDecorator(this);
}

void SpellingMarks::setEnabled(bool on)
{
    if (enabled == on)
        return;
    enabled = on;
    ++generation;
    restart(0);
}

SpellingMarks::State* SpellingMarks::stateOf(const QTextBlock& block) const
{
    return static_cast<State*>(DisplayFormats::state(block, this));
}

SpellingMarks::State& SpellingMarks::ensureState(const QTextBlock& block)
{
    if (State* state = stateOf(block))
        return *state;
    auto created = std::make_unique<State>();
    State* state = created.get();
    DisplayFormats::setState(block, this, std::move(created));
    return *state;
}

bool SpellingMarks::isCurrent(const QTextBlock& block) const
{
    const State* state = stateOf(block);
    if (!enabled)
        return !state;
    return state && state->complete && state->generation == generation;
}

void SpellingMarks::restart(int from)
{
    if (!sweeping || from < sweep.position())
        sweep.setPosition(std::clamp(from, 0, formats->document()->characterCount() - 1));
    sweeping = true;
    sliceTimer.start();
}

void SpellingMarks::documentChanging(int from, int removed, int added)
{
    changeStarted = now();
    inlineSpent = 0;
    inlineProcessor = 0;
    // The word at the end of a keystroke's change is being typed.
    QTextCursor previous = typing;
    typing = QTextCursor();
    if (added + removed <= 2 && added <= 1) {
        typing = QTextCursor(formats->document());
        typing.setPosition(std::min(from + added, formats->document()->characterCount() - 1));
        typingPause.start();
    }
    if (!previous.isNull() && (typing.isNull() || previous.block() != typing.block()))
        formats->redraw(previous.block());
}

void SpellingMarks::blockChanged(const QTextBlock& block)
{
    if (!enabled) {
        DisplayFormats::setState(block, this, nullptr);
        return;
    }
    State* state = stateOf(block);
    if (state) {
        state->complete = false;
        state->progress.reset();
    }
    const qint64 started = now();
    bool checked = false;
    if (changeStarted >= 0 && started - changeStarted < inlineBudget) {
        // Words already seen cost a lookup each: even a long paragraph is mostly done at once.
        const qint64 startedProcessor = processorNow();
        checked = work(block, changeStarted + inlineBudget);
        inlineSpent += now() - started;
        inlineProcessor += processorNow() - startedProcessor;
        times.longestInline = std::max(times.longestInline, inlineSpent);
        times.longestInlineProcessor = std::max(times.longestInlineProcessor, inlineProcessor);
    }
    if (!checked) {
        // Its underlines stood where the words were before the change.
        if ((state = stateOf(block)))
            state->misspelt.clear();
        restart(block.position());
    }
}

void SpellingMarks::documentReplaced()
{
    // Nothing of the new document is checked yet; the sweep goes through it from the start.
    typing = QTextCursor();
    typingPause.stop();
    sweep = QTextCursor(formats->document());
    sweep.setKeepPositionOnInsert(true);
    sweeping = false;
    restart(0);
}

void SpellingMarks::decorate(const QTextBlock& block, QList<QTextLayout::FormatRange>& ranges)
{
    const State* state = stateOf(block);
    if (!enabled || !state)
        return;
    int typed = -1;
    if (!typing.isNull() && typing.block() == block)
        typed = typing.position() - block.position();
    static const QTextCharFormat format = misspeltFormat();
    for (const WordSpan& word : state->misspelt) {
        if (typed > word.start && typed <= word.end())
            continue;
        ranges.append({word.start, word.length, format});
    }
}

QList<WordSpan> SpellingMarks::misspeltWords(const QString& text) const
{
    QList<WordSpan> misspelt;
    WordSplitter splitter(text);
    for (WordSpan word; splitter.next(word);) {
        if (!checker.isCorrect(QStringView(text).mid(word.start, word.length)))
            misspelt.append(word);
    }
    return misspelt;
}

void SpellingMarks::checkNow(const QTextBlock& block)
{
    State& state = ensureState(block);
    state.progress.reset();
    // Until the dictionary is ready every word is right: nothing to read.
    state.misspelt = checker.isReady() ? misspeltWords(block.text()) : QList<WordSpan>();
    state.complete = true;
    state.generation = generation;
}

bool SpellingMarks::work(const QTextBlock& block, qint64 deadline)
{
    if (!enabled) {
        const State* state = stateOf(block);
        const bool marked = state && !state->misspelt.isEmpty();
        DisplayFormats::setState(block, this, nullptr);
        if (marked)
            formats->redraw(block);
        return true;
    }
    State& state = ensureState(block);
    QList<WordSpan> found;
    if (!checker.isReady()) {
        state.progress.reset();
    } else if (!state.progress && block.length() <= longestInline) {
        found = misspeltWords(block.text());
    } else {
        if (!state.progress || state.progress->generation != generation)
            state.progress = std::make_unique<Progress>(block.text(), generation);
        Progress& progress = *state.progress;
        const QStringView text(progress.text);
        WordSpan word;
        int words = 0;
        while (progress.splitter.next(word)) {
            if (!checker.isCorrect(text.mid(word.start, word.length)))
                progress.found.append(word);
            if (++words % wordsBetweenClocks == 0 && now() > deadline)
                return false;
        }
        found = std::move(progress.found);
        state.progress.reset();
    }
    const bool differs = found != state.misspelt;
    state.misspelt = std::move(found);
    state.complete = true;
    state.generation = generation;
    if (differs)
        formats->redraw(block);
    return true;
}

void SpellingMarks::slice()
{
    if (!formats)
        return;
    const qint64 started = now();
    const qint64 startedProcessor = processorNow();
    const qint64 deadline = started + sliceBudget;
    QTextDocument* document = formats->document();

    bool finished = true;
    {
        const auto [first, last] = formats->visibleRange();
        int count = 0;
        for (QTextBlock block = document->findBlock(first);
             finished && block.isValid() && block.position() <= last && count < mostVisible;
             block = block.next(), ++count) {
            if (!isCurrent(block))
                finished = work(block, deadline);
        }
    }
    if (finished && sweeping) {
        QTextBlock block = document->findBlock(sweep.position());
        while (block.isValid()) {
            if (!isCurrent(block) && !work(block, deadline)) {
                finished = false;
                break;
            }
            block = block.next();
            if (now() > deadline) {
                finished = !block.isValid();
                break;
            }
        }
        if (block.isValid())
            sweep.setPosition(block.position());
        else
            sweeping = false;
    }

    times.longestSlice = std::max(times.longestSlice, now() - started);
    times.longestSliceProcessor =
        std::max(times.longestSliceProcessor, processorNow() - startedProcessor);
    ++times.slices;
    if (sweeping || !finished)
        sliceTimer.start();
    else
        emit done();
}

void SpellingMarks::finish()
{
    while (!isDone() || sliceTimer.isActive()) {
        sliceTimer.stop();
        slice();
    }
    formats->redrawNow();
}

void SpellingMarks::releaseTypedWord()
{
    if (typing.isNull())
        return;
    const QTextBlock block = typing.block();
    typing = QTextCursor();
    formats->redraw(block);
}

std::optional<WordSpan> SpellingMarks::misspeltWordAt(int position)
{
    if (!enabled || !formats)
        return std::nullopt;
    const QTextBlock block = formats->document()->findBlock(position);
    if (!block.isValid())
        return std::nullopt;
    if (!isCurrent(block)) {
        checkNow(block);
        formats->redraw(block);
    }
    const State* state = stateOf(block);
    const int offset = position - block.position();
    for (const WordSpan& word : state->misspelt) {
        if (word.contains(offset)) {
            if (!typing.isNull() && typing.block() == block)
                releaseTypedWord();
            return WordSpan{block.position() + word.start, word.length};
        }
    }
    return std::nullopt;
}

QList<WordSpan> SpellingMarks::underlined() const
{
    QList<WordSpan> words;
    if (!enabled || !formats)
        return words;
    for (QTextBlock block = formats->document()->begin(); block.isValid(); block = block.next()) {
        const State* state = stateOf(block);
        if (!state)
            continue;
        int typed = -1;
        if (!typing.isNull() && typing.block() == block)
            typed = typing.position() - block.position();
        for (const WordSpan& word : state->misspelt) {
            if (!(typed > word.start && typed <= word.end()))
                words.append({block.position() + word.start, word.length});
        }
    }
    return words;
}

} // namespace lw
