// Spelling: checking 1 MB of letters against Nuspell alone in a tight loop over the same words,
// then the longest wait a keystroke has for spelling in a visible editor holding 10 MB.

#include "editor/DisplayFormats.h"
#include "editor/LetterEditor.h"
#include "editor/SpellChecker.h"
#include "editor/SpellingDictionaries.h"
#include "editor/SpellingMarks.h"
#include "editor/WordSplitter.h"

#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QTextStream>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
#include <limits>
#include <nuspell/dictionary.hxx>
#include <string>
#include <vector>

using namespace lw;

namespace {

constexpr int rounds = 3;
constexpr qsizetype megabyte = 1 << 20;

// The default library's letters, one after another, repeated up to the size.
QString letters(qsizetype size)
{
    QString all;
    QDirIterator files(QStringLiteral(LW_LIBRARY_SOURCE_DIR "/letters"), {QStringLiteral("*.txt")},
                       QDir::Files, QDirIterator::Subdirectories);
    QStringList paths;
    while (files.hasNext())
        paths.append(files.next());
    paths.sort();
    for (const QString& path : std::as_const(paths)) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            all += QString::fromUtf8(file.readAll()) + u'\n';
    }
    if (all.isEmpty())
        return {};
    QString text;
    while (text.size() < size)
        text += all;
    const qsizetype cut = text.lastIndexOf(u'\n', size);
    return text.left(cut > 0 ? cut : size);
}

SpellingDictionary englishDictionary()
{
    for (const SpellingDictionary& dictionary : findDictionaries()) {
        if (dictionary.name == QLatin1String("en_US"))
            return dictionary;
    }
    const QString fixture = QStringLiteral(LW_FIXTURES_DIR "/spelling/en_US.aff");
    return {QStringLiteral("en_US"), fixture, QStringLiteral("the tests' small en_US")};
}

double milliseconds(qint64 nanoseconds)
{
    return nanoseconds / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);

    const QString text = letters(megabyte);
    if (text.isEmpty()) {
        out << "No letters found in " << LW_LIBRARY_SOURCE_DIR << "\n";
        return 1;
    }
    const SpellingDictionary dictionary = englishDictionary();
    out << "Spelling with " << dictionary.affixPath << "\n";

    // The words of the text, split as the editor splits them.
    const QStringList paragraphs = text.split(u'\n');
    std::vector<std::string> words;
    for (const QString& paragraph : paragraphs) {
        for (const WordSpan& word : spellingWords(paragraph))
            words.push_back(paragraph.mid(word.start, word.length).toStdString());
    }

    nuspell::Dictionary nuspell;
    nuspell.load_aff_dic(std::filesystem::path(dictionary.affixPath.toStdString()));
    qint64 baseline = std::numeric_limits<qint64>::max();
    int baselineWrong = 0;
    QElapsedTimer timer;
    for (int round = 0; round < rounds; ++round) {
        int wrong = 0;
        timer.start();
        for (const std::string& word : words)
            wrong += nuspell.spell(word) ? 0 : 1;
        baseline = std::min(baseline, timer.nsecsElapsed());
        baselineWrong = wrong;
    }

    // The editor's way: split each paragraph and ask the checker, with its cache, about each
    // word; a new checker each round, so that every round starts cold.
    qint64 cold = std::numeric_limits<qint64>::max();
    qint64 warm = std::numeric_limits<qint64>::max();
    int wrong = 0;
    for (int round = 0; round < rounds; ++round) {
        SpellChecker checker;
        QString error;
        if (!checker.loadDictionary(dictionary, &error)) {
            out << error << "\n";
            return 1;
        }
        for (qint64* best : {&cold, &warm}) {
            wrong = 0;
            timer.start();
            for (const QString& paragraph : paragraphs) {
                WordSplitter splitter(paragraph);
                for (WordSpan word; splitter.next(word);)
                    wrong += checker.isCorrect(QStringView(paragraph).mid(word.start, word.length))
                                 ? 0
                                 : 1;
            }
            *best = std::min(*best, timer.nsecsElapsed());
        }
    }
    out << "Checking " << text.size() << " characters of letters (" << words.size() << " words, "
        << wrong << " not in the dictionary; Nuspell alone: " << baselineWrong << "), best of "
        << rounds << " rounds\n"
        << QStringLiteral("  Nuspell alone on the words %1 ms; the editor's check %2 ms from a "
                          "cold start (ratio %3), %4 ms once it knows the words (ratio %5); "
                          "target: ratio under 1.5\n")
               .arg(milliseconds(baseline), 0, 'f', 1)
               .arg(milliseconds(cold), 0, 'f', 1)
               .arg(double(cold) / baseline, 0, 'f', 2)
               .arg(milliseconds(warm), 0, 'f', 1)
               .arg(double(warm) / baseline, 0, 'f', 2);
    out.flush();

    // The worst a slice meets: long paragraphs of words no dictionary knows, each one new.
    {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        LetterEditor editor(&window);
        layout->addWidget(editor.widget());
        window.resize(800, 600);
        window.show();
        app.processEvents();
        SpellChecker checker;
        if (!checker.loadDictionary(dictionary))
            return 1;
        SpellingMarks marks(*editor.displayFormats(), checker);
        marks.finish();
        QString unknown;
        quint32 seed = 1;
        for (int paragraph = 0; paragraph < 40; ++paragraph) {
            QString line;
            while (line.size() < 19000) {
                for (int letter = 0, length = 5 + int(seed % 8); letter < length; ++letter) {
                    seed = seed * 1664525u + 1013904223u;
                    line += QChar(u'a' + int((seed >> 16) % 26));
                }
                line += u' ';
            }
            unknown += line + u'\n';
        }
        editor.setText(unknown);
        marks.resetTiming();
        QSignalSpy done(&marks, &SpellingMarks::done);
        if (!marks.isDone() && !done.wait(600000))
            return 1;
        const SpellingMarks::Timing sweep = marks.timing();
        out << "40 paragraphs of 19000 characters, " << marks.underlined().size()
            << " words underlined\n"
            << QStringLiteral("  checked in %1 slices, the longest %2 ms (processor %3 ms); "
                              "target: 16 ms\n")
                   .arg(sweep.slices)
                   .arg(milliseconds(sweep.longestSlice), 0, 'f', 2)
                   .arg(milliseconds(sweep.longestSliceProcessor), 0, 'f', 2);
        out.flush();
    }

    // A visible editor with a 10 MB document.
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    LetterEditor editor(&window);
    layout->addWidget(editor.widget());
    window.resize(800, 600);
    window.show();
    app.processEvents();
    SpellChecker checker;
    if (!checker.loadDictionary(dictionary))
        return 1;
    SpellingMarks marks(*editor.displayFormats(), checker);
    marks.finish();
    marks.resetTiming();

    const QString large = letters(10 * megabyte);
    timer.start();
    editor.setText(large);
    const qint64 load = timer.nsecsElapsed();
    const qint64 loadInline = marks.timing().longestInline;
    QSignalSpy done(&marks, &SpellingMarks::done);
    timer.start();
    if (!marks.isDone() && !done.wait(600000)) {
        out << "The background check did not end: " << marks.timing().slices << " slices, done "
            << marks.isDone() << ", " << timer.elapsed() << " ms\n";
        return 1;
    }
    const qint64 background = timer.nsecsElapsed();
    const SpellingMarks::Timing sweep = marks.timing();
    out << "A " << large.size() << "-character document (" << editor.lineCount() << " paragraphs, "
        << marks.underlined().size() << " words underlined)\n"
        << QStringLiteral("  shown in %1 ms, of which spelling %2 ms; checked in the background "
                          "in %3 slices over %4 ms, the longest slice %5 ms (processor %6 ms)\n")
               .arg(milliseconds(load), 0, 'f', 0)
               .arg(milliseconds(loadInline), 0, 'f', 1)
               .arg(sweep.slices)
               .arg(milliseconds(background), 0, 'f', 0)
               .arg(milliseconds(sweep.longestSlice), 0, 'f', 2)
               .arg(milliseconds(sweep.longestSliceProcessor), 0, 'f', 2);
    out.flush();

    // Typing in the middle of the document: each keystroke checks its paragraph at once. The
    // same keys typed with spelling switched off are the baseline.
    QTextEdit* edit = editor.textEdit();
    editor.setSelStart(int(large.size() / 2));
    edit->ensureCursorVisible();
    app.processEvents();
    const QString typed = QStringLiteral("We recieve your paymnet and thank you for it. ");
    constexpr int typings = 4;
    const auto typeKeys = [&] {
        std::vector<qint64> keystrokes;
        for (int i = 0; i < typings; ++i) {
            for (const QChar ch : typed) {
                timer.start();
                QTest::keyClick(edit, ch.toLatin1());
                app.processEvents();
                keystrokes.push_back(timer.nsecsElapsed());
            }
        }
        std::sort(keystrokes.begin(), keystrokes.end());
        return keystrokes;
    };
    const auto median = [](const std::vector<qint64>& sorted) { return sorted[sorted.size() / 2]; };
    // Once unmeasured, so that both runs type into a document laid out around the caret.
    typeKeys();
    marks.finish();
    marks.resetTiming();
    const std::vector<qint64> withSpelling = typeKeys();
    QTest::qWait(1000);
    const SpellingMarks::Timing typing = marks.timing();
    // Each keystroke draws the underlines on screen again once.
    qint64 longestRedraw = 0;
    for (int i = 0; i < 20; ++i) {
        timer.start();
        editor.displayFormats()->redrawNow();
        longestRedraw = std::max(longestRedraw, timer.nsecsElapsed());
    }
    marks.setEnabled(false);
    marks.finish();
    const std::vector<qint64> without = typeKeys();
    out << QStringLiteral("Typing %1 keys in the middle: spelling's longest wait in a keystroke "
                          "%2 ms (processor %3 ms), and %4 ms to draw the underlines on screen "
                          "again; the longest slice %5 ms (processor %6 ms); target: 16 ms\n")
               .arg(typed.size() * typings)
               .arg(milliseconds(typing.longestInline), 0, 'f', 3)
               .arg(milliseconds(typing.longestInlineProcessor), 0, 'f', 3)
               .arg(milliseconds(longestRedraw), 0, 'f', 3)
               .arg(milliseconds(typing.longestSlice), 0, 'f', 3)
               .arg(milliseconds(typing.longestSliceProcessor), 0, 'f', 3)
        << QStringLiteral("  a whole keystroke with spelling: median %1 ms, longest %2 ms; with "
                          "spelling off: median %3 ms, longest %4 ms (ratio of the medians %5)\n")
               .arg(milliseconds(median(withSpelling)), 0, 'f', 2)
               .arg(milliseconds(withSpelling.back()), 0, 'f', 1)
               .arg(milliseconds(median(without)), 0, 'f', 2)
               .arg(milliseconds(without.back()), 0, 'f', 1)
               .arg(double(median(withSpelling)) / median(without), 0, 'f', 2);
    return 0;
}
