// Find on a 10 MB document in the visible editor, the first call after loading included, against
// QString::indexOf over the same text. The matches are first compared with the old search, which
// read each paragraph through a cursor selection.

#include "BenchSupport.h"
#include "OldPaths.h"
#include "editor/LetterEditor.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QTextCursor>
#include <QVBoxLayout>
#include <QWidget>

using namespace lw;

namespace {

constexpr int rounds = 5;

struct Window
{
    Window()
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(editor.widget());
        window.resize(800, 600);
        window.show();
        QApplication::processEvents();
    }
    QWidget window;
    LetterEditor editor{&window};
};

// Same matches as the old search, on a smaller text (the old search lays it all out).
void compareWithOldSearch()
{
    const QString text = bench::letterText(300 * 1024) + QStringLiteral("Zanzibar!\n");
    LetterEditor box;
    box.setText(text);
    const struct
    {
        const char* pattern;
        int options;
    } searches[] = {
        {"chairs", 0}, {"CHAIRS", LetterEditor::MatchCase},   {"in", LetterEditor::WholeWord},
        {"in", 0},     {"zanzibar", LetterEditor::WholeWord}, {"nowhere", 0}};
    QByteArray ours;
    QByteArray old;
    for (const auto& search : searches) {
        for (int start : {0, 1000, 150000}) {
            ours += QByteArray::number(box.Find(QString::fromLatin1(search.pattern), start, -1,
                                                search.options | LetterEditor::NoHighlight)) +
                    ' ';
            old +=
                QByteArray::number(bench::oldFind(
                    box.document(), QString::fromLatin1(search.pattern), start, search.options)) +
                ' ';
        }
    }
    bench::requireSame("Find", ours, old);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    compareWithOldSearch();

    const QString text = bench::letterText(10 * 1024 * 1024 - 10) + QStringLiteral("Zanzibar!");
    const QString missing = QStringLiteral("Dear Madam");
    const QString last = QStringLiteral("zanzibar");
    Window shown;
    LetterEditor& editor = shown.editor;
    const auto load = [&] {
        editor.setText(text);
        QApplication::processEvents();
    };
    int found = 0;
    const double firstMiss = bench::bestOf(
        rounds, [&] { found = editor.Find(missing, 0); }, load);
    if (found != -1)
        return 2;
    const double firstAtEnd = bench::bestOf(
        rounds, [&] { found = editor.Find(last, 0, -1, LetterEditor::NoHighlight); }, load);
    if (found != text.size() - 9)
        return 2;

    // Find Next as the user repeats it, with the document laid out by then.
    editor.document()->documentLayout()->documentSize();
    const double nextAtEnd = bench::bestOf(rounds, [&] {
        editor.setSelStart(0);
        found = editor.Find(last, editor.SelStart() + editor.SelLength());
        QApplication::processEvents();
    });
    if (found != text.size() - 9 || editor.SelLength() != last.size())
        return 2;
    // From the start of the text, as after a match near the top.
    editor.setSelStart(0);
    const double nextMiss = bench::bestOf(
        rounds, [&] { found = editor.Find(missing, editor.SelStart() + editor.SelLength()); });
    if (found != -1)
        return 2;

    const QString plain = editor.Text();
    qsizetype plainFound = 0;
    const double indexOf =
        bench::bestOf(rounds, [&] { plainFound = plain.indexOf(missing, 0, Qt::CaseInsensitive); });
    if (plainFound != -1)
        return 2;

    const QString baseline = QStringLiteral("QString::indexOf");
    bool pass = bench::timeRow(QStringLiteral("Find, no match in 10 MB, first call after loading"),
                               firstMiss, indexOf, 50, baseline);
    pass &= bench::timeRow(
        QStringLiteral("Find, match at the end of 10 MB, first call after loading (search)"),
        firstAtEnd, indexOf, 50, baseline);
    pass &= bench::timeRow(QStringLiteral("Find Next, no match in 10 MB"), nextMiss, indexOf, 50,
                           baseline);
    pass &=
        bench::timeRow(QStringLiteral("Find Next, match at the end of 10 MB, selected and shown"),
                       nextAtEnd, indexOf, 50, baseline);
    return pass ? 0 : 1;
}
