// The fields of a 10 MB letter with 10,000 fields, in a visible editor: what keeping them up to
// date costs a keystroke, against the same keystroke in the same editor without them; reading the
// whole document, against a plain search of its text for brackets; Fill All, against the editor's
// Replace All of as many matches; the tint and the Fill Fields panel.

#include "editor/FieldHighlight.h"
#include "editor/FieldVocabulary.h"
#include "editor/FillFieldsPanel.h"
#include "editor/FindReplace.h"
#include "editor/LetterEditor.h"
#include "editor/LetterFields.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextStream>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <limits>
#include <memory>

using namespace lw;

namespace {

constexpr int documentBytes = 10 * 1024 * 1024;
constexpr int fieldCount = 10000;
constexpr int keystrokes = 400;
constexpr int rounds = 3;

// A long letter: paragraphs of ordinary text, one in ten holding a field. The fields are the
// vocabulary's and some of the writer's own, each of those twice.
QString longLetter(const FieldVocabulary& vocabulary)
{
    const QString filler = QStringLiteral(
        "We were deeply moved that you chose to honour someone so dear to you by supporting our "
        "work, and we thank you. ");
    const int paragraphs = documentBytes / int(filler.size());
    const int every = paragraphs / fieldCount;
    QString text;
    text.reserve(documentBytes + fieldCount * 32);
    int field = 0;
    for (int i = 0; i < paragraphs; ++i) {
        text += filler;
        if (i % every == 0 && field < fieldCount) {
            text += field % 2 ? vocabulary.names().at(field % vocabulary.names().size())
                              : QStringLiteral("[Own Field %1]").arg(field / 4);
            ++field;
        }
        text += u'\n';
    }
    return text;
}

double bestOf(const std::function<void()>& prepare, const std::function<void()>& run)
{
    qint64 best = std::numeric_limits<qint64>::max();
    QElapsedTimer timer;
    for (int round = 0; round < rounds; ++round) {
        prepare();
        timer.start();
        run();
        best = std::min(best, timer.nsecsElapsed());
    }
    return best / 1e6;
}

// Types `keystrokes` characters, one at a time, spread over the document, some into paragraphs
// with a field; the editor lays out and paints after each, as it does for a user.
void type(QApplication& app, LetterEditor& editor)
{
    QTextDocument* document = editor.document();
    const int blocks = document->blockCount();
    for (int i = 0; i < keystrokes; ++i) {
        const QTextBlock block = document->findBlockByNumber(int((qint64(i) * 7919) % blocks));
        QTextCursor cursor(block);
        cursor.movePosition(QTextCursor::EndOfBlock);
        cursor.insertText(QStringLiteral("x"));
        app.processEvents();
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);

    const FieldVocabulary& vocabulary = FieldVocabulary::installed();
    const QString text = longLetter(vocabulary);

    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    LetterEditor editor(&window);
    layout->addWidget(editor.widget());
    window.resize(800, 600);
    window.show();
    editor.setText(text);
    app.processEvents();

    out << "Fields of a letter of " << text.size() << " characters, "
        << editor.document()->blockCount() << " paragraphs, best of " << rounds << " rounds\n";

    // A keystroke, without and with the fields kept up to date.
    const auto reset = [&] {
        editor.setText(text);
        app.processEvents();
    };
    const double plainTyping = bestOf(reset, [&] { type(app, editor); });
    auto fields = std::make_unique<LetterFields>(editor.document(), vocabulary);
    auto* tint = new FieldHighlight(editor.textEdit(), fields.get());
    const int fieldNames = int(fields->fields().size());
    const int occurrences =
        int(fields->occurrencesBetween(0, editor.document()->characterCount()).size());
    const double fieldTyping = bestOf(reset, [&] { type(app, editor); });
    out << QStringLiteral("  %1 fields in %2 places\n").arg(fieldNames).arg(occurrences);
    out << QStringLiteral("  a keystroke: %1 ms with the fields kept, %2 ms without, ratio %3\n")
               .arg(fieldTyping / keystrokes, 0, 'f', 3)
               .arg(plainTyping / keystrokes, 0, 'f', 3)
               .arg(fieldTyping / plainTyping, 0, 'f', 2);

    // Reading the whole document, against finding every bracket in its text.
    reset();
    const QString plain = editor.document()->toPlainText();
    qsizetype brackets = 0;
    const double scan = bestOf([] {}, [&] { fields->rescan(); });
    const double search = bestOf([] {}, [&] { brackets = plain.count(u'['); });
    out << QStringLiteral("  reading the whole document: %1 ms, counting its brackets in a "
                          "QString %2 ms, ratio %3 (%4 brackets)\n")
               .arg(scan, 0, 'f', 1)
               .arg(search, 0, 'f', 2)
               .arg(scan / search, 0, 'f', 0)
               .arg(brackets);

    // Fill All of every field, against Replace All of every opening bracket in the same editor.
    QList<std::pair<QString, QString>> values;
    for (const QString& field : fields->fields())
        values.append({field, QStringLiteral("filled")});
    int filled = 0;
    const double fill = bestOf(reset, [&] {
        filled = fields->fill(values);
        app.processEvents();
    });
    if (filled != occurrences || !fields->fields().isEmpty()) {
        out << "  Fill All left fields unfilled\n";
        return 1;
    }
    int matches = 0;
    const double replace = bestOf(reset, [&] {
        matches = FindReplace(editor).replaceAll(QStringLiteral("["), QStringLiteral("("), 0);
        app.processEvents();
    });
    out << QStringLiteral("  Fill All of %1 places: %2 ms, Replace All of %3 brackets %4 ms, "
                          "ratio %5\n")
               .arg(filled)
               .arg(fill, 0, 'f', 1)
               .arg(matches)
               .arg(replace, 0, 'f', 1)
               .arg(fill / replace, 0, 'f', 2);

    // Typing goes on at the same pace with every value of the fill known.
    const double afterFill = bestOf(
        [&] {
            reset();
            fields->fill(values);
            app.processEvents();
        },
        [&] { type(app, editor); });
    out << QStringLiteral("  a keystroke after Fill All: %1 ms, ratio %2 to one without fields\n")
               .arg(afterFill / keystrokes, 0, 'f', 3)
               .arg(afterFill / plainTyping, 0, 'f', 2);

    // The tint of the fields on screen, and the panel.
    reset();
    const double refresh = bestOf([] {}, [&] { tint->refresh(); });
    out << QStringLiteral("  tinting the fields on screen: %1 ms (%2 tinted)\n")
               .arg(refresh, 0, 'f', 2)
               .arg(tint->shown().size());
    std::unique_ptr<FillFieldsPanel> panel;
    const double open =
        bestOf([&] { panel.reset(); },
               [&] {
                   panel = std::make_unique<FillFieldsPanel>(&window, &editor, fields.get());
                   panel->show();
                   app.processEvents();
               });
    out << QStringLiteral("  opening Fill Fields: %1 ms (%2 of %3 fields listed)\n")
               .arg(open, 0, 'f', 1)
               .arg(panel->listedFields().size())
               .arg(fields->fields().size());
    return 0;
}
