// Mail merge from the command line: one letter a row of a table, as the program's Mail Merge makes
// them.
#include "formats/DocumentFile.h"
#include "library/DataFile.h"
#include "library/LibraryFile.h"
#include "merge/MailMerge.h"
#include "platform/Fonts.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTextDocument>
#include <QTextStream>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t interrupted = 0;

void interrupt(int)
{
    interrupted = 1;
}

// Qt's notes for developers (a missing XDG_RUNTIME_DIR under cron, font fallbacks) are no news
// for the user of a script; its errors still reach the terminal.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "letterwright-merge: %s\n", qPrintable(text));
}

enum Exit { Success = 0, Failure = 1, Usage = 2, Stopped = 130 };

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

int failed(const QString& message)
{
    out().flush();
    err() << "letterwright-merge: " << message << Qt::endl;
    return Failure;
}

int usage(const QString& message)
{
    out().flush();
    err() << "letterwright-merge: " << message << "\n"
          << "Try 'letterwright-merge --help' for more information." << Qt::endl;
    return Usage;
}

QString letters(int count)
{
    return count == 1 ? QStringLiteral("1 letter") : QStringLiteral("%1 letters").arg(count);
}

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// Reads the letter file as Open does: OpenDocument Text formatted, any other file as text, which
// is read formatted when it begins with an RTF header.
bool loadLetter(QTextDocument& letter, const QString& path, lw::TextFileFormat& format,
                QString* error)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        *error = QStringLiteral("The letter %1 does not exist.").arg(shown(path));
        return false;
    }
    if (!info.isFile()) {
        *error = QStringLiteral("The letter %1 is not a file.").arg(shown(path));
        return false;
    }
    return lw::loadDocument(letter, path, &format, error);
}

// Progress on a terminal: one line, written over.
class TerminalProgress
{
public:
    TerminalProgress(int total, const QString& what)
        : total(total), what(what), terminal(isatty(STDERR_FILENO) == 1)
    {}
    ~TerminalProgress()
    {
        if (terminal && drawn)
            err() << "\r\033[K" << Qt::flush;
    }
    bool operator()(int done)
    {
        if (terminal) {
            err() << "\r" << what << ' ' << done << " of " << total << "..." << Qt::flush;
            drawn = true;
        }
        return !interrupted;
    }

private:
    int total;
    QString what;
    bool terminal;
    bool drawn = false;
};

} // namespace

int main(int argc, char* argv[])
{
    qInstallMessageHandler(quietMessages);
    // No window is ever shown: fonts and layout need no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("letterwright-merge"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes one letter for every row of a table: the fields of the letter, such as "
        "[Recipient Name], are filled from the columns of the same names.\n\n"
        "LETTER is a document file (.txt, .rtf or .odt); with --title it is a letter of the "
        "library instead. TABLE is a CSV file whose first row names the columns."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("LETTER"),
                                 QStringLiteral("The letter file (left out with --title)."),
                                 QStringLiteral("[LETTER]"));
    parser.addPositionalArgument(QStringLiteral("TABLE"),
                                 QStringLiteral("The table of recipients, a CSV file."));
    const QCommandLineOption outOption(QStringLiteral("out"),
                                       QStringLiteral("Write one file per letter into DIR."),
                                       QStringLiteral("DIR"));
    const QCommandLineOption formatOption(
        QStringLiteral("format"),
        QStringLiteral("The files' format: txt (the default), rtf, odt or pdf."),
        QStringLiteral("FORMAT"), QStringLiteral("txt"));
    const QCommandLineOption nameOption(
        QStringLiteral("name-column"),
        QStringLiteral("Name each file from this column (otherwise Letter 001, Letter 002...)."),
        QStringLiteral("COLUMN"));
    const QCommandLineOption singleOption(QStringLiteral("single-pdf"),
                                          QStringLiteral("Write all letters into one PDF file."),
                                          QStringLiteral("FILE"));
    const QCommandLineOption titleOption(
        QStringLiteral("title"), QStringLiteral("Take the letter of this title from the library."),
        QStringLiteral("TITLE"));
    const QCommandLineOption dataOption(
        QStringLiteral("data"),
        QStringLiteral("The library file (default: %1). It is only read.")
            .arg(shown(lw::datafile::dataFilePath())),
        QStringLiteral("FILE"));
    const QCommandLineOption replaceOption(
        QStringLiteral("replace"),
        QStringLiteral("Replace files of the same names; without it the merge stops before "
                       "writing when there is one."));
    const QCommandLineOption checkOption(QStringLiteral("check"),
                                         QStringLiteral("Only print the checks; write nothing."));
    parser.addOptions({outOption, formatOption, nameOption, singleOption, titleOption, dataOption,
                       replaceOption, checkOption});
    if (!parser.parse(QCoreApplication::arguments()))
        return usage(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        out() << parser.helpText();
        return Success;
    }

    const QStringList arguments = parser.positionalArguments();
    const bool fromLibrary = parser.isSet(titleOption);
    const qsizetype wanted = fromLibrary ? 1 : 2;
    if (arguments.size() != wanted)
        return usage(fromLibrary
                         ? QStringLiteral("give the table after --title, and no letter file.")
                         : QStringLiteral("give a letter file and a table."));
    if (parser.isSet(dataOption) && !fromLibrary)
        return usage(QStringLiteral("--data goes with --title."));
    const bool check = parser.isSet(checkOption);
    const bool single = parser.isSet(singleOption);
    const bool files = parser.isSet(outOption);
    if (!check && single == files)
        return usage(QStringLiteral("give either --out DIR or --single-pdf FILE."));
    if (single && (parser.isSet(formatOption) || parser.isSet(nameOption)))
        return usage(QStringLiteral("--format and --name-column go with --out."));
    const std::optional<lw::MergeFormat> format = lw::mergeFormatOf(parser.value(formatOption));
    if (!format)
        return usage(QStringLiteral("unknown format \"%1\": use txt, rtf, odt or pdf.")
                         .arg(parser.value(formatOption)));

    // The letter, in an editor as the program's, with its font.
    QTextDocument letter;
    letter.setDefaultFont(lw::letterFont());
    lw::TextFileFormat textFormat;
    QString error;
    QString title;
    if (fromLibrary) {
        title = parser.value(titleOption);
        const QString data =
            parser.isSet(dataOption) ? parser.value(dataOption) : lw::datafile::dataFilePath();
        const std::optional<QString> content = lw::readLibraryLetter(data, title, &error);
        if (!content)
            return failed(error);
        lw::setDocumentText(letter, *content);
    } else {
        const QString letterPath = arguments.at(0);
        if (!loadLetter(letter, letterPath, textFormat, &error))
            return failed(error);
        title = QFileInfo(letterPath).completeBaseName();
    }

    std::optional<lw::MergeTable> table = lw::MergeTable::read(arguments.last(), &error);
    if (!table)
        return failed(error);
    if (table->rowCount() == 0)
        return failed(QStringLiteral("The table %1 has no rows below its header: there is "
                                     "nobody to write to.")
                          .arg(shown(arguments.last())));
    int nameColumn = -1;
    if (parser.isSet(nameOption)) {
        nameColumn = table->columnOf(parser.value(nameOption));
        if (nameColumn < 0)
            return failed(
                QStringLiteral("The table has no column \"%1\". Its columns are: %2.")
                    .arg(parser.value(nameOption), table->columns().join(QStringLiteral(", "))));
    }

    const lw::MailMerge merge(letter, std::move(*table));
    const lw::MergeChecks checks = merge.checks();
    out() << QStringLiteral("%1 from %2.\n")
                 .arg(letters(merge.letterCount()), shown(arguments.last()));
    for (const QString& line : checks.describe(0))
        out() << line << '\n';
    out().flush();
    if (check)
        return Success;

    std::signal(SIGINT, interrupt);
    std::signal(SIGTERM, interrupt);
    lw::MergePage page;
    page.title = title;
    // Laid out as the program's editor lays it out on its screen.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        page.screenDpi = QSizeF(screen->logicalDotsPerInchX(), screen->logicalDotsPerInchY());

    lw::MergeResult result;
    QString where;
    if (single) {
        const QString path = parser.value(singleOption);
        where = shown(path);
        if (QFileInfo(path).exists() && !parser.isSet(replaceOption))
            return failed(
                QStringLiteral("%1 already exists; give --replace to replace it.").arg(where));
        TerminalProgress progress(merge.letterCount(), QStringLiteral("Letter"));
        result = lw::mergeToPdf(merge, path, page, std::ref(progress));
    } else {
        lw::FileMerge job;
        job.folder = parser.value(outOption);
        job.format = *format;
        job.nameColumn = nameColumn;
        job.textFormat = textFormat;
        job.page = page;
        job.replaceExisting = parser.isSet(replaceOption);
        where = shown(job.folder);
        const QFileInfo folder(job.folder);
        if (folder.exists() && !folder.isDir())
            return failed(QStringLiteral("%1 is not a folder.").arg(where));
        if (!folder.exists() && !QDir().mkpath(job.folder))
            return failed(QStringLiteral("The folder %1 cannot be made.").arg(where));
        if (!job.replaceExisting) {
            const QStringList existing = lw::existingMergeFiles(merge, job);
            if (!existing.isEmpty())
                return failed(QStringLiteral("%1 of the letters' files are already in %2, such as "
                                             "%3. Nothing was written; give --replace to replace "
                                             "them.")
                                  .arg(existing.size())
                                  .arg(where, QFileInfo(existing.first()).fileName()));
        }
        TerminalProgress progress(merge.letterCount(), QStringLiteral("Letter"));
        result = lw::mergeToFiles(merge, job, std::ref(progress));
    }

    if (result.failed())
        return failed(single || result.written == 0
                          ? result.error
                          : QStringLiteral("%1 %2 of %3 had been written to %4.")
                                .arg(result.error, QString::number(result.written),
                                     letters(merge.letterCount()), where));
    if (result.cancelled) {
        err() << "letterwright-merge: stopped. "
              << (single ? QStringLiteral("No PDF was written.")
                         : QStringLiteral("%1 of %2 were written to %3.")
                               .arg(QString::number(result.written), letters(merge.letterCount()),
                                    where))
              << Qt::endl;
        return Stopped;
    }
    out() << (single ? QStringLiteral("%1 written into %2.\n")
                     : QStringLiteral("%1 written to %2.\n"))
                 .arg(letters(result.written), where);
    return Success;
}
