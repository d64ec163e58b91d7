// Opening documents into the visible editor, against Qt's own work on the same input: a 10 MB
// text file against QTextDocument::setPlainText, 1 MB of RTF against the reader alone, the
// memory a 10 MB document takes, and files without line breaks, or without spaces either, at two
// sizes (their cost must grow in proportion), opened or pasted.

#include "BenchSupport.h"
#include "editor/DocumentFiles.h"
#include "editor/LetterEditor.h"
#include "platform/FreedMemoryKept.h"
#include "platform/QtServices.h"
#include "rtf/RtfReader.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

using namespace lw;

namespace {

constexpr int rounds = 3;
constexpr qsizetype tenMegabytes = 10 * 1024 * 1024;

QByteArray formattedRtf(qsizetype targetSize)
{
    QByteArray rtf = R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fswiss\fcharset0 Arial;})"
                     R"({\f1\froman\fcharset0 Times New Roman;}})"
                     R"({\colortbl;\red0\green0\blue0;\red200\green0\blue0;})"
                     "\n";
    const char* words[] = {"invoice", "payment", "delivery", "contract", "customer",
                           "order",   "balance", "reminder", "account",  "schedule"};
    for (int paragraph = 0; rtf.size() < targetSize; ++paragraph) {
        rtf += paragraph % 7 < 3 ? R"(\pard\plain\fs22 )" : R"(\pard\plain\fs22\qj\li360\sa120 )";
        for (int word = 0; word < 60; ++word) {
            const QByteArray text = words[(paragraph * 7 + word) % 10];
            switch (word % 9) {
            case 1:
                rtf += R"({\b )" + text + "} ";
                break;
            case 3:
                rtf += R"({\i\cf2 )" + text + "} ";
                break;
            case 5:
                rtf += R"({\f1\ul )" + text + R"(\'e9} )";
                break;
            default:
                rtf += text + " ";
                break;
            }
        }
        rtf += "\\par\n";
    }
    return rtf + "}";
}

// The program's editor in a shown window.
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

// Puts a short document in place, so that each round replaces one, as opening does.
void resetEditor(LetterEditor& editor)
{
    editor.setText(QStringLiteral("Dear Sir,\nthank you.\n"));
    editor.setSelStart(editor.TextLength());
    QApplication::processEvents();
}

// Opens as the Open command does, a long text in pieces behind a progress window, and waits
// until the window has painted the document.
void openFile(LetterEditor& editor, const QString& path)
{
    if (!placeDocumentText(editor, editor.widget(), path, readDocumentFile(path)->text,
                           TextPlace::Document))
        std::exit(2);
    QApplication::processEvents();
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::exit(2);
    return path;
}

bool openTenMegabytes(const QTemporaryDir& dir)
{
    const QString text = bench::letterText(tenMegabytes);
    const QString path = writeFile(dir, QStringLiteral("ten.txt"), text.toUtf8());
    Window shown;
    {
        // Same text and formats as the old way, on a document of its own.
        QTextDocument old;
        old.setDefaultFont(shown.editor.Font());
        old.setPlainText(text);
        openFile(shown.editor, path);
        bench::requireSame("open", bench::documentChecksum(*shown.editor.document()),
                           bench::documentChecksum(old));
    }
    const double ours = bench::bestOf(
        rounds, [&] { openFile(shown.editor, path); }, [&] { resetEditor(shown.editor); });
    const double bare = bench::bestOf(rounds, [&] {
        QTextDocument document;
        document.setPlainText(text);
    });
    return bench::ratioRow(QStringLiteral("Open a 10 MB text file into the visible editor"), ours,
                           bare, 1.3, QStringLiteral("QTextDocument::setPlainText"));
}

bool loadRtf(const QTemporaryDir& dir)
{
    const QByteArray rtf = formattedRtf(1024 * 1024);
    const QString path = writeFile(dir, QStringLiteral("one.rtf"), rtf);
    Window shown;
    {
        QTextDocument old;
        QTextCursor cursor(&old);
        readRtf(rtf, cursor);
        shown.editor.LoadFile(path, FileKind::RichText);
        bench::requireSame("RTF load", bench::documentChecksum(*shown.editor.document()),
                           bench::documentChecksum(old));
    }
    const double ours = bench::bestOf(
        rounds,
        [&] {
            shown.editor.LoadFile(path, FileKind::RichText);
            QApplication::processEvents();
        },
        [&] { resetEditor(shown.editor); });
    const double reader = bench::bestOf(rounds, [&] {
        QTextDocument document;
        QTextCursor cursor(&document);
        readRtf(rtf, cursor);
    });
    return bench::ratioRow(QStringLiteral("Load 1 MB of RTF into the visible editor"), ours, reader,
                           1.3, QStringLiteral("the RTF reader alone"));
}

// In a process of its own, so that its peak is its own: the editor shown and idle, then the
// file opened and painted. Prints "idle peak" in MB.
int measureMemory(const QString& path)
{
    Window shown;
    resetEditor(shown.editor);
    const double idle = bench::residentMegabytes("VmRSS");
    if (qEnvironmentVariableIsSet("LW_BENCH_STAGES")) {
        const QString text = readDocumentFile(path)->text;
        std::fprintf(stderr, "read %.1f peak %.1f\n", bench::residentMegabytes("VmRSS") - idle,
                     bench::residentMegabytes("VmHWM") - idle);
        shown.editor.setText(text);
        std::fprintf(stderr, "set %.1f peak %.1f\n", bench::residentMegabytes("VmRSS") - idle,
                     bench::residentMegabytes("VmHWM") - idle);
        QApplication::processEvents();
        std::fprintf(stderr, "shown %.1f peak %.1f\n", bench::residentMegabytes("VmRSS") - idle,
                     bench::residentMegabytes("VmHWM") - idle);
    }
    openFile(shown.editor, path);
    const double opened = bench::residentMegabytes("VmHWM");
    // The rest of the layout, which Qt does in the background while the user works.
    shown.editor.document()->documentLayout()->documentSize();
    const double laidOut = bench::residentMegabytes("VmHWM");
    QTextStream(stdout) << idle << ' ' << opened << ' ' << laidOut << '\n';
    return 0;
}

// The same for a bare QTextEdit given the text, fully laid out: Qt's own cost.
int measureBareMemory(const QString& path)
{
    QTextEdit edit;
    edit.resize(800, 600);
    edit.show();
    QApplication::processEvents();
    const double idle = bench::residentMegabytes("VmRSS");
    edit.setPlainText(readDocumentFile(path)->text);
    edit.document()->documentLayout()->documentSize();
    QApplication::processEvents();
    QTextStream(stdout) << idle << ' ' << bench::residentMegabytes("VmHWM") << '\n';
    return 0;
}

QList<double> childNumbers(const QString& option, const QString& path)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {option, path});
    if (!child.waitForFinished(600000) || child.exitCode() != 0)
        std::exit(2);
    QList<double> numbers;
    for (const QByteArray& word : child.readAllStandardOutput().simplified().split(' '))
        numbers.append(word.toDouble());
    return numbers;
}

bool memoryOfTenMegabytes(const QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("ten.txt"));
    const QList<double> ours = childNumbers(QStringLiteral("--memory"), path);
    const QList<double> bare = childNumbers(QStringLiteral("--bare-memory"), path);
    if (ours.size() != 3 || bare.size() != 2)
        std::exit(2);
    const double file = QFileInfo(path).size() / 1048576.0;
    const double opened = ours.at(1) - ours.at(0);
    const double laidOut = ours.at(2) - ours.at(0);
    const double qt = bare.at(1) - bare.at(0);
    bool pass = bench::row(
        QStringLiteral("Peak memory above the idle program, 10 MB file opened and shown"),
        bench::megabytes(opened), QStringLiteral("file %1").arg(bench::megabytes(file)),
        opened / file, QStringLiteral("<= 10x the file"), opened <= 10 * file);
    pass &= bench::row(
        QStringLiteral("Memory once the background layout has finished, against a bare QTextEdit"),
        bench::megabytes(laidOut), QStringLiteral("QTextEdit %1").arg(bench::megabytes(qt)),
        laidOut / qt, QStringLiteral("<= 1.1x"), laidOut <= 1.1 * qt);
    return pass;
}

// A file without a single line break: its cost must grow with its length, not faster.
bool longLines(const QTemporaryDir& dir)
{
    const QString sentence = QStringLiteral("Dear Sir, thank you for your letter of the fifth. ");
    const QString small = writeFile(dir, QStringLiteral("line1.txt"),
                                    sentence.repeated(256 * 1024 / sentence.size()).toUtf8());
    const QString large = writeFile(dir, QStringLiteral("line2.txt"),
                                    sentence.repeated(1024 * 1024 / sentence.size()).toUtf8());
    Window shown;
    const double smallMs = bench::bestOf(
        rounds, [&] { openFile(shown.editor, small); }, [&] { resetEditor(shown.editor); });
    const double largeMs = bench::bestOf(
        rounds, [&] { openFile(shown.editor, large); }, [&] { resetEditor(shown.editor); });
    return bench::row(QStringLiteral("Open 1 MB without line breaks, against 256 KB (4x the text)"),
                      bench::milliseconds(largeMs),
                      QStringLiteral("256 KB %1").arg(bench::milliseconds(smallMs)),
                      largeMs / smallMs, QStringLiteral("<= 5x (linear)"), largeMs / smallMs <= 5);
}

// One word of 1 MB: lines must break inside it without laying it out again for every line.
bool longWords(const QTemporaryDir& dir)
{
    QByteArray word;
    for (int i = 0; i < 26; ++i)
        word += char('a' + i);
    const QString small =
        writeFile(dir, QStringLiteral("word1.txt"), word.repeated(256 * 1024 / word.size()));
    const QString large =
        writeFile(dir, QStringLiteral("word2.txt"), word.repeated(1024 * 1024 / word.size()));
    Window shown;
    const double smallMs = bench::bestOf(
        rounds, [&] { openFile(shown.editor, small); }, [&] { resetEditor(shown.editor); });
    const double largeMs = bench::bestOf(
        rounds, [&] { openFile(shown.editor, large); }, [&] { resetEditor(shown.editor); });
    return bench::row(
        QStringLiteral("Open 1 MB without spaces or line breaks, against 256 KB (4x the text)"),
        bench::milliseconds(largeMs), QStringLiteral("256 KB %1").arg(bench::milliseconds(smallMs)),
        largeMs / smallMs, QStringLiteral("<= 5x (linear)"), largeMs / smallMs <= 5);
}

// The same word pasted into an open letter: the pasted text decides how lines break as an opened
// file's does.
bool longWordPasted()
{
    QByteArray letters;
    for (int i = 0; i < 26; ++i)
        letters += char('a' + i);
    const QString small = QString::fromLatin1(letters.repeated(256 * 1024 / letters.size()));
    const QString large = QString::fromLatin1(letters.repeated(1024 * 1024 / letters.size()));
    Window shown;
    const auto paste = [&](const QString& word) {
        return bench::bestOf(
            rounds,
            [&] {
                shown.editor.paste();
                QApplication::processEvents();
            },
            [&] {
                resetEditor(shown.editor);
                QApplication::clipboard()->setText(word);
            });
    };
    const double smallMs = paste(small);
    const double largeMs = paste(large);
    return bench::row(
        QStringLiteral("Paste 1 MB without spaces or line breaks, against 256 KB (4x the text)"),
        bench::milliseconds(largeMs), QStringLiteral("256 KB %1").arg(bench::milliseconds(smallMs)),
        largeMs / smallMs, QStringLiteral("<= 5x (linear)"), largeMs / smallMs <= 5);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // As the program runs.
    FreedMemoryKept::mapLargeBlocksApart();
    QApplication app(argc, argv);
    // The program's progress window, which long texts go in behind.
    QtProgressService progress;
    Services services;
    services.progress = &progress;
    installServices(services);

    if (argc == 3 && QByteArray(argv[1]) == "--memory")
        return measureMemory(QString::fromLocal8Bit(argv[2]));
    if (argc == 3 && QByteArray(argv[1]) == "--bare-memory")
        return measureBareMemory(QString::fromLocal8Bit(argv[2]));

    QTemporaryDir dir;
    bool pass = openTenMegabytes(dir);
    pass &= loadRtf(dir);
    pass &= memoryOfTenMegabytes(dir);
    pass &= longLines(dir);
    pass &= longWords(dir);
    pass &= longWordPasted();
    return pass ? 0 : 1;
}
