#include "platform/QtServices.h"

#include "platform/FontDialog.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinterInfo>
#include <QProcess>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>

namespace lw {

MsgAnswer QtMessageService::show(QWidget* parent, const QString& text, const QString& title,
                                 MsgButtons buttons, MsgIcon icon)
{
    QMessageBox box(parent);
    box.setWindowTitle(title);
    // Texts carry names from documents and the library: never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    switch (icon) {
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    if (buttons == MsgButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
    }
    if (buttons == MsgButtons::YesNoCancel) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        switch (box.exec()) {
        case QMessageBox::Yes:
            return MsgAnswer::Yes;
        case QMessageBox::No:
            return MsgAnswer::No;
        default:
            return MsgAnswer::Cancel;
        }
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MsgAnswer::Ok;
}

namespace {

void prepare(QFileDialog& dialog, const FileDialogRequest& request)
{
    // The filters carry their patterns twice ("All Files (*.*) (*)"): show the description only.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setWindowTitle(request.title);
    if (!request.initialDir.isEmpty())
        dialog.setDirectory(request.initialDir);
    if (!request.nameFilters.isEmpty()) {
        dialog.setNameFilters(request.nameFilters);
        if (request.filterIndex >= 0 && request.filterIndex < request.nameFilters.size())
            dialog.selectNameFilter(request.nameFilters.at(request.filterIndex));
    }
    if (!request.defaultFilename.isEmpty())
        dialog.selectFile(request.defaultFilename);
}

// QPrinter ignores a name that is not an installed printer and a setting the printer lacks.
void applyTo(QPrinter& printer, const PrinterSettings& settings)
{
    // The printer first, so that its own defaults do not override the settings.
    if (!settings.printerName.isEmpty() && settings.printerName != printer.printerName())
        printer.setPrinterName(settings.printerName);
    printer.setCopyCount(settings.copies);
    printer.setDuplex(settings.duplex);
    printer.setPageOrientation(settings.orientation);
    printer.setPageSize(settings.pageSize);
    if (settings.resolution > 0)
        printer.setResolution(settings.resolution);
    printer.setColorMode(settings.colorMode);
    printer.setPaperSource(settings.paperSource);
}

// The index of the filter the dialog shows as chosen: with the details hidden it gives the
// description alone.
int filterIndexOf(const QStringList& filters, const QString& chosen)
{
    for (qsizetype i = 0; i < filters.size(); ++i) {
        if (filters[i] == chosen || filters[i].startsWith(chosen + QStringLiteral(" (")))
            return int(i);
    }
    return -1;
}

} // namespace

std::optional<QStringList> QtDialogService::openFiles(const FileDialogRequest& request)
{
    QFileDialog dialog(request.parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.multiSelect ? QFileDialog::ExistingFiles
                                           : QFileDialog::ExistingFile);
    prepare(dialog, request);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles();
}

std::optional<QString> QtDialogService::saveFile(const FileDialogRequest& request)
{
    QFileDialog dialog(request.parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    prepare(dialog, request);
    // A name typed without an extension gets the chosen filter's, before the dialog asks whether
    // to replace an existing file: the question is about the file that will be written.
    const auto followFilter = [&dialog](const QString& filter) {
        dialog.setDefaultSuffix(defaultSuffixOf(filter));
    };
    followFilter(dialog.selectedNameFilter());
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, followFilter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    if (request.chosenFilter)
        *request.chosenFilter = filterIndexOf(request.nameFilters, dialog.selectedNameFilter());
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtDialogService::chooseFolder(const FileDialogRequest& request)
{
    QFileDialog dialog(request.parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    prepare(dialog, request);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

QString QtDialogService::defaultSuffixOf(const QString& nameFilter)
{
    // "Text Files (*.txt) (*.txt)": the first pattern of the last parenthesis.
    const qsizetype open = nameFilter.lastIndexOf(u'(');
    const qsizetype close = nameFilter.lastIndexOf(u')');
    if (open < 0 || close < open)
        return {};
    const QString first =
        nameFilter.mid(open + 1, close - open - 1).split(u' ', Qt::SkipEmptyParts).value(0);
    if (!first.startsWith(QLatin1String("*.")))
        return {};
    const QString suffix = first.mid(2);
    return suffix.contains(u'*') || suffix.contains(u'?') ? QString() : suffix;
}

std::optional<FontChoice> QtDialogService::chooseFont(QWidget* parent, const FontChoice& initial)
{
    QFont font(initial.family);
    font.setPointSizeF(initial.pointSize);
    font.setWeight(static_cast<QFont::Weight>(initial.weight));
    font.setItalic(initial.italic);
    font.setUnderline(initial.underline);
    font.setStrikeOut(initial.strikeOut);
    FontDialog dialog(font, initial.minPointSize, initial.maxPointSize, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QFont chosen = dialog.selectedFont();
    // The dialog has no colour: the choice carries none.
    FontChoice choice;
    choice.family = chosen.family();
    choice.pointSize = chosen.pointSizeF();
    choice.weight = chosen.weight();
    choice.italic = chosen.italic();
    choice.underline = chosen.underline();
    choice.strikeOut = chosen.strikeOut();
    return choice;
}

std::optional<QColor> QtDialogService::chooseColor(QWidget* parent, const QColor& initial)
{
    // Every colour dialog starts with white custom colours, whatever an earlier one left there.
    for (int i = 0; i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, Qt::white);
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

bool QtDialogService::pageSetup(QWidget* parent, QPrinter& printer)
{
    QPageSetupDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

bool QtDialogService::choosePrinter(QWidget* parent, PrinterSettings& settings)
{
    QPrinter printer(QPrinter::HighResolution);
    applyTo(printer, settings);
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    settings = printerSettingsOf(printer);
    return true;
}

bool askBeforePrinting(QPrintPreviewDialog& dialog, const std::function<bool()>& mayPrint)
{
    // The dialog's Print button prints at once; put the question between the button and the
    // dialog's own print slot.
    QAction* print = nullptr;
    for (QAction* action : dialog.findChildren<QAction*>()) {
        if (action->text().remove(QLatin1Char('&')) == QLatin1String("Print"))
            print = action;
    }
    if (!print || dialog.metaObject()->indexOfMethod("_q_print()") < 0)
        return false;
    QObject::disconnect(print, &QAction::triggered, &dialog, nullptr);
    QObject::connect(print, &QAction::triggered, &dialog, [&dialog, mayPrint] {
        if (!mayPrint())
            dialog.reject();
        else
            QMetaObject::invokeMethod(&dialog, "_q_print");
    });
    return true;
}

bool QtDialogService::printPreview(QWidget* parent, QPrinter& printer,
                                   const std::function<void(QPrinter&)>& paint,
                                   const std::function<bool()>& mayPrint)
{
    // Where the button cannot be reached, ask before showing the preview rather than never.
    QPrintPreviewDialog dialog(&printer, parent);
    if (mayPrint && !askBeforePrinting(dialog, mayPrint) && !mayPrint())
        return false;
    dialog.setWindowTitle(QStringLiteral("Print Preview"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&paint](QPrinter* target) { paint(*target); });
    return dialog.exec() == QDialog::Accepted;
}

namespace {

// xdg-open hands a mail address on without saying whether a program takes it, and then nothing
// happens at all: ask the desktop for the program first. Where it cannot tell, opening decides.
bool hasMailProgram()
{
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                             QStringLiteral("x-scheme-handler/mailto")});
    if (!query.waitForFinished(5000)) {
        query.kill();
        query.waitForFinished();
        return true;
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return true;
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

} // namespace

bool QtDesktopService::openUrl(const QUrl& url)
{
    if (url.scheme() == QLatin1String("mailto") && !hasMailProgram())
        return false;
    return QDesktopServices::openUrl(url);
}

bool QtDesktopService::startProgram(const QString& program, const QStringList& arguments)
{
    return QProcess::startDetached(program, arguments);
}

QStringList QtPrinterService::installedPrinters()
{
    return QPrinterInfo::availablePrinterNames();
}

QPrinter& QtPrinterService::currentPrinter()
{
    if (!printer) {
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setDocName(QStringLiteral("Letterwright"));
    }
    // Qt falls back to PDF output when no printer is installed. A print then still gives the
    // user pages, without replacing an earlier print.
    if (printer->outputFormat() == QPrinter::PdfFormat) {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        QDir().mkpath(folder);
        printer->setOutputFileName(unusedPrintFile(folder));
    }
    return *printer;
}

bool QtPrinterService::printsToFiles()
{
    if (!printer)
        return installedPrinters().isEmpty();
    return printer->outputFormat() == QPrinter::PdfFormat;
}

QString QtPrinterService::unusedPrintFile(const QString& folder)
{
    const QDir dir(folder);
    QString name = QStringLiteral("Letterwright.pdf");
    for (int n = 2; dir.exists(name); ++n)
        name = QStringLiteral("Letterwright (%1).pdf").arg(n);
    return dir.filePath(name);
}

PrinterSettings QtPrinterService::currentSettings()
{
    return printerSettingsOf(currentPrinter());
}

void QtPrinterService::applySettings(const PrinterSettings& settings)
{
    applyTo(currentPrinter(), settings);
}

QDateTime QtClockService::now()
{
    return QDateTime::currentDateTime();
}

void QtClockService::pause(int milliseconds)
{
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}

void QtApplicationService::terminate(int exitCode)
{
    ended = true;
    code = exitCode;
    QCoreApplication::exit(exitCode);
}

namespace {

class QtProgressReport : public ProgressReport
{
public:
    QtProgressReport(QWidget* parent, const QString& label, qint64 total)
        : dialog(label, QStringLiteral("Cancel"), 0, steps, parent),
          total(std::max<qint64>(total, 1))
    {
        dialog.setWindowTitle(QCoreApplication::applicationName());
        dialog.setWindowModality(Qt::WindowModal);
        dialog.setMinimumDuration(1000);
        dialog.setAutoClose(false);
        dialog.setAutoReset(false);
        dialog.setValue(0);
    }

    bool advance(qint64 done) override
    {
        // Shown, the window-modal dialog takes its events here, Cancel among them.
        dialog.setValue(int(std::clamp<qint64>(done * steps / total, 0, steps)));
        return !dialog.wasCanceled();
    }

private:
    static constexpr int steps = 1000;
    QProgressDialog dialog;
    qint64 total;
};

} // namespace

std::unique_ptr<ProgressReport> QtProgressService::begin(QWidget* parent, const QString& label,
                                                         qint64 total)
{
    return std::make_unique<QtProgressReport>(parent, label, total);
}

} // namespace lw
