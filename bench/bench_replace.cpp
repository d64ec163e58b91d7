// Replace All of 100,000 matches in a visible editor, against QString::replace on the same text.

#include "editor/FindReplace.h"
#include "editor/RichTextBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
#include <ctime>
#include <limits>

using namespace lw;

namespace {

constexpr int matches = 100000;
constexpr int rounds = 3;
const QString search = QStringLiteral("Sir");
const QString replacement = QStringLiteral("Madam");

struct Timing
{
    double editorMs = 0;
    double editorCpuMs = 0; // the process's processor time, which other programs do not inflate
    double stringMs = 0;
};

// Best of a few rounds; nullopt when the editor's result differs from QString::replace.
std::optional<Timing> measure(QApplication& app, RichTextBox& editor, const QString& text)
{
    qint64 bestString = std::numeric_limits<qint64>::max();
    qint64 bestEditor = std::numeric_limits<qint64>::max();
    std::clock_t bestEditorCpu = std::numeric_limits<std::clock_t>::max();
    QElapsedTimer timer;
    for (int round = 0; round < rounds; ++round) {
        QString expected = text;
        timer.start();
        // The editor's search ignores case unless told otherwise.
        expected.replace(search, replacement, Qt::CaseInsensitive);
        bestString = std::min(bestString, timer.nsecsElapsed());

        editor.setText(text);
        // The editor has laid the text out before the clock starts.
        app.processEvents();
        const std::clock_t cpuStart = std::clock();
        timer.start();
        const int count = FindReplace(editor).replaceAll(search, replacement, 0);
        // The relayout and repaint of the visible editor belong to the cost.
        app.processEvents();
        bestEditor = std::min(bestEditor, timer.nsecsElapsed());
        bestEditorCpu = std::min(bestEditorCpu, std::clock() - cpuStart);
        if (count != matches || editor.Text() != expected)
            return std::nullopt;
    }
    return Timing{bestEditor / 1e6, bestEditorCpu * 1000.0 / CLOCKS_PER_SEC, bestString / 1e6};
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);

    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    RichTextBox editor(&window);
    layout->addWidget(editor.widget());
    window.resize(800, 600);
    window.show();
    app.processEvents();

    const QString sentence = QStringLiteral("Dear Sir, thank you for your letter.");
    const struct
    {
        const char* shape;
        QString text;
    } documents[] = {
        {"one match in each of 100,000 short paragraphs", (sentence + u'\n').repeated(matches)},
        {"ten matches in each of 10,000 long paragraphs",
         (sentence.repeated(10) + u'\n').repeated(matches / 10)},
    };

    out << "Replace All of " << matches << " matches (\"" << search << "\" by \"" << replacement
        << "\"), visible editor against QString::replace, best of " << rounds << " rounds\n";
    for (const auto& document : documents) {
        const std::optional<Timing> timing = measure(app, editor, document.text);
        if (!timing) {
            out << document.shape << ": Replace All gave a different result\n";
            return 1;
        }
        out << "  " << document.shape << " (" << document.text.size() << " characters)\n"
            << QStringLiteral("    editor %1 ms (processor %2 ms), QString::replace %3 ms, "
                              "ratio %4\n")
                   .arg(timing->editorMs, 0, 'f', 1)
                   .arg(timing->editorCpuMs, 0, 'f', 1)
                   .arg(timing->stringMs, 0, 'f', 2)
                   .arg(timing->editorMs / timing->stringMs, 0, 'f', 0);
    }
    return 0;
}
