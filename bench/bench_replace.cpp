// Replace All in the visible editor: the search-and-replace loop against QString::replace on the
// same text, the whole command against Qt laying out the resulting document once, and 100,000
// matches against 10,000. The result, text and formats, is first compared with the old way of
// finding and replacing one match after another.

#include "BenchSupport.h"
#include "OldPaths.h"
#include "editor/FindReplace.h"
#include "editor/LetterEditor.h"
#include "rtf/RtfReader.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QTextCursor>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>
#include <limits>

using namespace lw;

namespace {

constexpr int rounds = 3;
const QString search = QStringLiteral("Sir");
const QString replacement = QStringLiteral("Madam");

// `paragraphs` paragraphs of `perParagraph` sentences, each with one "Sir"; some in bold or
// italic, so that keeping each match's format counts.
QString document(int paragraphs, int perParagraph)
{
    QString rtf = QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\n");
    for (int p = 0; p < paragraphs; ++p) {
        for (int s = 0; s < perParagraph; ++s) {
            if ((p + s) % 5 == 0)
                rtf += QStringLiteral("Dear {\\b Sir}, thank you for your letter. ");
            else if ((p + s) % 7 == 0)
                rtf += QStringLiteral("{\\i Dear Sir, thank} you for your letter. ");
            else
                rtf += QStringLiteral("Dear Sir, thank you for your letter. ");
        }
        rtf += QStringLiteral("\\par\n");
    }
    return rtf + u'}';
}

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

void load(LetterEditor& editor, const QString& rtf)
{
    editor.setText(rtf);
    editor.document()->documentLayout()->documentSize();
    QApplication::processEvents();
}

// Same text and formats as the old way; compared on a tenth of the document, which the old way
// takes long enough for.
void compareWithOldWay(int paragraphs, int perParagraph)
{
    const QString rtf = document(paragraphs / 10, perParagraph);
    QTextDocument old;
    QTextCursor cursor(&old);
    readRtf(rtf, cursor);
    const int oldCount = bench::oldReplaceAll(old, search, replacement, 0);
    LetterEditor box;
    box.setText(rtf);
    const int count = FindReplace(box).replaceAll(search, replacement, 0);
    bench::requireSame("Replace All",
                       QByteArray::number(count) + bench::documentChecksum(*box.document()),
                       QByteArray::number(oldCount) + bench::documentChecksum(old));
    if (!box.document()->isUndoAvailable())
        std::exit(2);
    box.document()->undo();
    if (box.document()->isUndoAvailable())
        std::exit(2); // more than one step
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    compareWithOldWay(100000, 1);
    compareWithOldWay(10000, 10);

    Window shown;
    LetterEditor& editor = shown.editor;
    bool pass = true;
    double wholeOf100k = 0;
    double wholeOf10k = 0;
    const struct
    {
        const char* shape;
        int paragraphs;
        int perParagraph;
    } shapes[] = {{"one in each of 100,000 paragraphs", 100000, 1},
                  {"ten in each of 10,000 paragraphs", 10000, 10},
                  {"one in each of 10,000 paragraphs", 10000, 1}};
    for (const auto& shape : shapes) {
        const QString rtf = document(shape.paragraphs, shape.perParagraph);
        load(editor, rtf);
        const QString text = editor.Text();
        const int matches = shape.paragraphs * shape.perParagraph;
        int count = 0;

        // The loop alone: the same command with the layout switched off.
        const double loop = bench::bestOf(
            rounds,
            [&] {
                const QSizeF page = editor.document()->pageSize();
                editor.document()->setPageSize(QSizeF(0, 0));
                count = FindReplace(editor).replaceAll(search, replacement, 0);
                editor.document()->setPageSize(page);
            },
            [&] { load(editor, rtf); });
        if (count != matches)
            return 2;
        QString expected;
        const double stringReplace = bench::bestOf(rounds, [&] {
            expected = text;
            expected.replace(search, replacement, Qt::CaseInsensitive);
        });
        if (editor.Text() != expected)
            return 2;

        // The whole command as the user meets it: the loop, the relayout, the repaint.
        const double whole = bench::bestOf(
            rounds,
            [&] {
                count = FindReplace(editor).replaceAll(search, replacement, 0);
                QApplication::processEvents();
            },
            [&] { load(editor, rtf); });
        // Qt laying out the same resulting document once, and painting it.
        const double layout = bench::bestOf(rounds, [&] {
            editor.document()->markContentsDirty(0, editor.document()->characterCount());
            QApplication::processEvents();
        });

        // What Qt itself takes for as many edits, one a match, found beforehand and made from
        // the end back in one edit block, in a document without a layout: no loop can be
        // cheaper.
        double qtEdits = std::numeric_limits<double>::max();
        for (int round = 0; round < rounds; ++round) {
            QTextDocument bare;
            QTextCursor cursor(&bare);
            readRtf(rtf, cursor);
            const QString raw = bare.toRawText();
            QList<int> at;
            for (qsizetype i = raw.indexOf(search, 0, Qt::CaseInsensitive); i >= 0;
                 i = raw.indexOf(search, i + search.size(), Qt::CaseInsensitive))
                at.append(int(i));
            const double start = bench::processorMilliseconds();
            cursor.beginEditBlock();
            for (qsizetype i = at.size() - 1; i >= 0; --i) {
                cursor.setPosition(at.at(i));
                cursor.setPosition(at.at(i) + int(search.size()), QTextCursor::KeepAnchor);
                cursor.insertText(replacement);
            }
            cursor.endEditBlock();
            qtEdits = std::min(qtEdits, bench::processorMilliseconds() - start);
        }
        const QString name = QStringLiteral("Replace All of %L1 matches (%2)")
                                 .arg(matches)
                                 .arg(QString::fromLatin1(shape.shape));
        if (shape.paragraphs == 100000)
            wholeOf100k = whole;
        if (matches == 10000 && shape.perParagraph == 1)
            wholeOf10k = whole;
        if (shape.perParagraph == 1 && shape.paragraphs == 10000)
            continue; // only for the growth row below
        pass &= bench::ratioRow(name + QStringLiteral(": the loop"), loop, stringReplace, 15,
                                QStringLiteral("QString::replace"));
        std::printf("    Qt's own edits alone, one a match: %s, %.2fx QString::replace; with the "
                    "layout once, %.2fx the layout\n",
                    qPrintable(bench::milliseconds(qtEdits)), qtEdits / stringReplace,
                    (qtEdits + layout) / layout);
        std::fflush(stdout);
        pass &= bench::ratioRow(name + QStringLiteral(": the whole command, visible editor"), whole,
                                layout, 1.3, QStringLiteral("Qt's layout once"));
    }
    pass &= bench::row(QStringLiteral("Replace All, 100,000 against 10,000 matches"),
                       bench::milliseconds(wholeOf100k),
                       QStringLiteral("10,000: %1").arg(bench::milliseconds(wholeOf10k)),
                       wholeOf100k / wholeOf10k, QStringLiteral("<= 12 (linear)"),
                       wholeOf100k / wholeOf10k <= 12);
    return pass ? 0 : 1;
}
