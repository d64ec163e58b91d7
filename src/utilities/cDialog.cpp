#include "utilities/cDialog.h"

#include "platform/Services.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <algorithm>

namespace lw {

namespace {

const QChar Nul(u'\0');
const QChar Separator(u'/');

const QString NoPrinterText = QStringLiteral(
    "Error: no printer detected!  Please make sure your printer is properly installed first.  "
    "If you are using a network printer, please check your network connection.");

// The face name field holds 31 characters, its end mark included.
constexpr int FaceNameRoom = 31;
constexpr int MinFontSize = 10;
constexpr int MaxFontSize = 72;
constexpr int BoldWeight = 700;
constexpr int NormalWeight = 400;

// The chosen files as the platform writes them into a buffer of `capacity` characters and a
// terminating NUL: one path, or the folder followed by the names, each ended by a NUL, with one
// more NUL after the last. Nothing when the answer does not fit: the dialog refuses it.
std::optional<QString> fileBuffer(const QStringList& paths, int capacity)
{
    if (paths.isEmpty())
        return std::nullopt;
    QString text;
    if (paths.size() == 1) {
        text = paths.first() + Nul;
    } else {
        const QString folder = QFileInfo(paths.first()).path();
        const QDir dir(folder);
        text = folder;
        for (const QString& path : paths)
            text += Nul + dir.relativeFilePath(path);
        text += QString(2, Nul);
    }
    if (text.size() > capacity + 1)
        return std::nullopt;
    text.resize(capacity + 1, Nul);
    return text;
}

quint32 toBgr(const QColor& color)
{
    return quint32(color.red()) | quint32(color.green()) << 8 | quint32(color.blue()) << 16;
}

// Tenths of a point to whole points, halves to the even neighbour.
int wholePoints(int tenths)
{
    int points = tenths / 10;
    const int rest = tenths % 10;
    if (rest > 5 || (rest == 5 && points % 2 != 0))
        ++points;
    return points;
}

QString qtPatterns(const QString& patterns)
{
    QStringList result;
    for (const QString& pattern : patterns.split(u';', Qt::SkipEmptyParts)) {
        const QString trimmed = pattern.trimmed();
        if (trimmed == QLatin1String("*.*"))
            result << QStringLiteral("*");
        else if (!trimmed.isEmpty())
            result << trimmed;
    }
    return result.join(u' ');
}

} // namespace

QString FileList::Item(int index) const
{
    if (!list || index < 1 || index > list->size())
        throw MissingFileItem();
    return list->at(index - 1);
}

void cDialog::ShowOpen()
{
    const int capacity = MultiSelect() ? MultiSelectCapacity : PathCapacity;
    if (DefaultFilename().size() > capacity)
        throw std::invalid_argument("the default file name does not fit the file buffer");
    FileDialogRequest request;
    request.parent = ParentHwnd;
    request.title = DialogTitle();
    request.initialDir = InitialDir();
    request.defaultFilename = DefaultFilename();
    request.nameFilters = nameFilters(Filter());
    request.filterIndex = FilterIndex() - 1;
    request.multiSelect = MultiSelect();
    const std::optional<QStringList> chosen = services().dialogs->openFiles(request);
    const std::optional<QString> buffer = chosen ? fileBuffer(*chosen, capacity) : std::nullopt;
    if (!buffer)
        return cancelled();
    ParseFileList(*buffer);
}

void cDialog::ShowSave()
{
    if (DefaultFilename().size() > PathCapacity)
        throw std::invalid_argument("the default file name does not fit the file buffer");
    FileDialogRequest request;
    request.title = DialogTitle();
    request.initialDir = InitialDir();
    request.defaultFilename = DefaultFilename();
    request.nameFilters = nameFilters(Filter());
    request.filterIndex = FilterIndex() - 1;
    int filterChosen = request.filterIndex;
    request.chosenFilter = &filterChosen;
    const std::optional<QString> chosen = services().dialogs->saveFile(request);
    const std::optional<QString> buffer =
        chosen ? fileBuffer(QStringList{*chosen}, PathCapacity) : std::nullopt;
    if (!buffer)
        return cancelled();
    ParseFileList(*buffer);
    chosenFilter = qint16(filterChosen >= 0 ? filterChosen + 1 : FilterIndex());
}

bool cDialog::ShowFont()
{
    // Always the same start, whatever the font properties hold: Arial regular at 10 points, the
    // smallest size offered, black.
    FontChoice initial;
    initial.family = QStringLiteral("Arial");
    initial.pointSize = MinFontSize;
    initial.weight = NormalWeight;
    initial.color = Qt::black;
    initial.minPointSize = MinFontSize;
    initial.maxPointSize = MaxFontSize;
    const std::optional<FontChoice> chosen = services().dialogs->chooseFont(nullptr, initial);
    if (!chosen)
        return false;
    if (chosen->family.size() < FaceNameRoom)
        setFontName(chosen->family);
    // The dialog refuses other sizes; one that comes back all the same is held to the limits.
    const int points = wholePoints(qRound(chosen->pointSize * 10));
    setFontSize(qint16(std::clamp(points, MinFontSize, MaxFontSize)));
    fontColorChosen = chosen->color.isValid();
    if (fontColorChosen)
        setFontColor(toBgr(chosen->color));
    if (chosen->weight == BoldWeight)
        setFontBold(true);
    else if (chosen->weight == NormalWeight)
        setFontBold(false);
    setFontItalic(chosen->italic);
    setFontUnderline(chosen->underline);
    setFontStrikeThru(chosen->strikeOut);
    return true;
}

std::optional<quint32> cDialog::ShowColor()
{
    const std::optional<QColor> chosen = services().dialogs->chooseColor(nullptr, Qt::black);
    if (!chosen) {
        cancelled();
        return std::nullopt;
    }
    return toBgr(*chosen);
}

void cDialog::ShowPageSetup()
{
    // A printer of its own: the dialog shows the default paper and margins, and the choice is
    // dropped with it.
    QPrinter printer;
    if (!services().dialogs->pageSetup(nullptr, printer))
        cancelled();
}

void cDialog::ShowPrinter()
{
    PrinterService& printers = *services().printers;
    if (printers.installedPrinters().isEmpty()) {
        message(nullptr, NoPrinterText, QCoreApplication::applicationName());
        return;
    }
    const PrinterSettings current = printers.currentSettings();
    // The dialog starts at the current printer with its orientation, paper and duplex; the
    // other settings start at the dialog's own defaults.
    PrinterSettings chosen;
    chosen.printerName = current.printerName;
    chosen.orientation = current.orientation;
    chosen.pageSize = current.pageSize;
    chosen.duplex = current.duplex;
    if (!services().dialogs->choosePrinter(nullptr, chosen))
        return;

    const QString name = chosen.printerName.toUpper();
    QString printer = current.printerName;
    if (current.printerName != name) {
        // Every installed printer is looked at, so that the last match wins.
        for (const QString& installed : printers.installedPrinters()) {
            if (installed.toUpper() == name)
                printer = installed;
        }
    }
    chosen.printerName = printer;
    printers.applySettings(chosen);
}

QString cDialog::ConvertFilter(const QString& text)
{
    QString converted = text;
    converted.replace(u'|', Nul);
    return converted;
}

void cDialog::ParseFileList(const QString& buffer)
{
    cFileName = FileList(QStringList());
    cFileTitle = FileList(QStringList());
    const qsizetype end = buffer.indexOf(QString(2, Nul));
    if (end < 0)
        throw std::length_error("the chosen path fills the whole file buffer");
    const QString text = buffer.left(end);

    QStringList names;
    QStringList titles;
    if (text.contains(Nul)) {
        const QStringList pieces = text.split(Nul);
        QString folder = pieces.first();
        if (!folder.endsWith(Separator))
            folder += Separator;
        for (qsizetype i = 1; i < pieces.size(); ++i) {
            names << folder + pieces.at(i);
            titles << pieces.at(i);
        }
    } else {
        names << text;
        titles << text.mid(text.lastIndexOf(Separator) + 1);
    }
    cFileName = FileList(names);
    cFileTitle = FileList(titles);
}

void cDialog::cancelled() const
{
    if (CancelError())
        throw DialogCancelled();
}

QString defaultExtension(const QString& filter, int index)
{
    const QStringList parts = filter.split(u'|');
    const qsizetype patterns = qsizetype(index) * 2 - 1;
    if (index < 1 || patterns >= parts.size())
        return {};
    const QString first = parts.at(patterns).split(u';').value(0).trimmed();
    if (!first.startsWith(QLatin1String("*.")))
        return {};
    const QString extension = first.mid(2);
    return extension.contains(u'*') || extension.contains(u'?') ? QString() : extension;
}

QStringList nameFilters(const QString& filter)
{
    // The platform reads the list up to its first empty entry, and pairs what it read.
    const QStringList entries = (cDialog::ConvertFilter(filter) + Nul).split(Nul);
    QStringList pieces;
    for (const QString& entry : entries) {
        if (entry.isEmpty())
            break;
        pieces << entry;
    }
    QStringList filters;
    for (qsizetype i = 0; i + 1 < pieces.size(); i += 2)
        filters << pieces.at(i) + QStringLiteral(" (") + qtPatterns(pieces.at(i + 1)) + u')';
    return filters;
}

} // namespace lw
